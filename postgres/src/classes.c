/* mensora_class(value, breaks): the class of one value. */
#include "mensora_pg.h"

#include <math.h>

#include "catalog/pg_type.h"
#include "utils/array.h"

/* The class s (0-based) of value under the library's closing rule of the
 * range classes, the last class closed; -1 for a value in no class. */
static int
find_class(const double *breaks, int count, double value)
{
	int32		s = -1;

	mensora_pg_check(mensora_find_classes(breaks, count, MENSORA_LAST_CLOSED, &value, 1, &s),
					 "class");
	return s;
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

	mensora_pg_check_breaks(array, count);
	if (isnan(value))
		PG_RETURN_NULL();
	s = find_class(breaks, count, value);
	if (s < 0)
		PG_RETURN_NULL();
	PG_RETURN_INT32(s + 1);
}
