/* mensora_labels(breaks, options): the legend's labels of given breaks. */
#include "mensora_pg.h"

#include "catalog/pg_type.h"
#include "utils/builtins.h"

/* The lines of the library's label text, one element each. */
ArrayType *
mensora_pg_label_array(const char *lines)
{
	int			count = 1;
	Datum	   *items;
	const char *line = lines;

	for (const char *c = lines; *c != '\0'; ++c)
		count += *c == '\n';
	items = palloc(count * sizeof(Datum));
	for (int i = 0; i < count; ++i)
	{
		const char *end = strchr(line, '\n');
		int			length = end != NULL ? (int) (end - line) : (int) strlen(line);

		items[i] = PointerGetDatum(cstring_to_text_with_len(line, length));
		line += length + 1;
	}
	return construct_array(items, count, TEXTOID, -1, false, TYPALIGN_INT);
}

PG_FUNCTION_INFO_V1(mensora_pg_labels);
Datum
mensora_pg_labels(PG_FUNCTION_ARGS)
{
	ArrayType  *array = PG_GETARG_ARRAYTYPE_P(0);
	const double *breaks = (const double *) ARR_DATA_PTR(array);
	int			count = ArrayGetNItems(ARR_NDIM(array), ARR_DIMS(array));
	int32		flags = 0,
				rule = MENSORA_LAST_CLOSED,
				needed = 0;
	char	   *text;

	mensora_pg_check_breaks(array, count);
	mensora_pg_label_options(PG_GETARG_DATUM(1), &flags, &rule);
	mensora_pg_check(mensora_format_labels(breaks, count - 1, NULL, NULL, NULL, rule, flags,
										   NULL, 0, &needed), "labels");
	text = palloc(needed);
	mensora_pg_check(mensora_format_labels(breaks, count - 1, NULL, NULL, NULL, rule, flags,
										   text, needed, &needed), "labels");
	PG_RETURN_ARRAYTYPE_P(mensora_pg_label_array(text));
}
