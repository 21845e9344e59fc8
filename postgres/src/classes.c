/* mensora_class(value, breaks): the class of one value. */
#include "mensora_pg.h"

#include <math.h>

#include "catalog/pg_type.h"
#include "utils/array.h"

/*
 * The class s (0-based) of value under breaks[0..count-1]: class s holds
 * breaks[s] <= value < breaks[s + 1], the last class also its upper break;
 * where breaks repeat, the value goes to the last class that can hold it.
 * -1 for a value in no class.
 */
static int
find_class(const double *breaks, int count, double value)
{
	int			lo = 0,
				hi = count - 2;

	if (!(value >= breaks[0] && value <= breaks[count - 1]))
		return -1;
	if (value == breaks[count - 1])
		return count - 2;
	/* The last s in 0 .. count - 2 with breaks[s] <= value. */
	while (lo < hi)
	{
		int			mid = lo + (hi - lo + 1) / 2;

		if (breaks[mid] <= value)
			lo = mid;
		else
			hi = mid - 1;
	}
	return lo;
}

PG_FUNCTION_INFO_V1(mensora_pg_class);
Datum
mensora_pg_class(PG_FUNCTION_ARGS)
{
	double		value = PG_GETARG_FLOAT8(0);
	ArrayType  *array = PG_GETARG_ARRAYTYPE_P(1);
	const double *breaks = (const double *) ARR_DATA_PTR(array);
	int			count = ArrayGetNItems(ARR_NDIM(array), ARR_DIMS(array));
	int			s;

	if (ARR_NDIM(array) > 1 || ARR_HASNULL(array) || count < 2)
		ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
						errmsg("mensora: the breaks are not a list of two or more numbers")));
	for (int i = 0; i < count; ++i)
		if (isnan(breaks[i]) || (i > 0 && !(breaks[i - 1] <= breaks[i])))
			ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
							errmsg("mensora: the breaks must ascend")));
	if (isnan(value))
		PG_RETURN_NULL();
	s = find_class(breaks, count, value);
	if (s < 0)
		PG_RETURN_NULL();
	PG_RETURN_INT32(s + 1);
}
