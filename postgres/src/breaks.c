/* The aggregates mensora_breaks and mensora_summary. Natural and quantile
 * breaks come from the distinct values with their counts (or the weighted
 * rows) through the library's weighted functions; every other method and the
 * summary classify the group's values rebuilt in ascending order. */
#include "mensora_pg.h"

#include <math.h>

#include "catalog/pg_type.h"
#include "utils/array.h"
#include "utils/builtins.h"
#include "utils/float.h"
#include "utils/jsonb.h"
#include "utils/memutils.h"

/* The state with the arguments of the first row. */
static MensoraState *
breaks_state(FunctionCallInfo fcinfo, int k_arg, int options_arg, bool weighted)
{
	MemoryContext context;
	MensoraState *state = mensora_pg_state(fcinfo, &context);

	if (!state->has_args)
	{
		MemoryContext old = MemoryContextSwitchTo(context);
		int			method_arg = weighted ? 3 : 2;

		mensora_pg_parse_args(&state->args,
							  PG_ARGISNULL(method_arg) ? NULL : PG_GETARG_TEXT_PP(method_arg),
							  k_arg > 0 && !PG_ARGISNULL(k_arg),
							  k_arg > 0 && !PG_ARGISNULL(k_arg) ? PG_GETARG_INT32(k_arg) : 0,
							  options_arg > 0 && !PG_ARGISNULL(options_arg)
							  ? PG_GETARG_DATUM(options_arg) : (Datum) 0,
							  options_arg > 0 && !PG_ARGISNULL(options_arg), weighted);
		MemoryContextSwitchTo(old);
		state->has_args = true;
		state->weighted = weighted;
	}
	return state;
}

static Datum
add_value(FunctionCallInfo fcinfo, MensoraState *state)
{
	if (PG_ARGISNULL(1))
		++state->missing;
	else
		mensora_pg_add(state, PG_GETARG_FLOAT8(1));
	PG_RETURN_POINTER(state);
}

PG_FUNCTION_INFO_V1(mensora_pg_breaks_trans);
Datum
mensora_pg_breaks_trans(PG_FUNCTION_ARGS)
{
	return add_value(fcinfo, breaks_state(fcinfo, 3, 0, false));
}

PG_FUNCTION_INFO_V1(mensora_pg_breaks_options_trans);
Datum
mensora_pg_breaks_options_trans(PG_FUNCTION_ARGS)
{
	return add_value(fcinfo, breaks_state(fcinfo, 0, 3, false));
}

PG_FUNCTION_INFO_V1(mensora_pg_breaks_k_options_trans);
Datum
mensora_pg_breaks_k_options_trans(PG_FUNCTION_ARGS)
{
	return add_value(fcinfo, breaks_state(fcinfo, 3, 4, false));
}

PG_FUNCTION_INFO_V1(mensora_pg_weighted_trans);
Datum
mensora_pg_weighted_trans(PG_FUNCTION_ARGS)
{
	MensoraState *state = breaks_state(fcinfo, 4, 0, true);

	/* A row without a value or a weight is missing. */
	if (PG_ARGISNULL(1) || PG_ARGISNULL(2))
		++state->missing;
	else
		mensora_pg_add_weighted(state, PG_GETARG_FLOAT8(1), PG_GETARG_FLOAT8(2));
	PG_RETURN_POINTER(state);
}

PG_FUNCTION_INFO_V1(mensora_pg_summary_trans);
Datum
mensora_pg_summary_trans(PG_FUNCTION_ARGS)
{
	MemoryContext context;

	return add_value(fcinfo, mensora_pg_state(fcinfo, &context));
}

static ArrayType *
float8_array(const double *values, int n)
{
	Datum	   *items = palloc(Max(n, 1) * sizeof(Datum));

	for (int i = 0; i < n; ++i)
		items[i] = Float8GetDatum(values[i]);
	return construct_array(items, n, FLOAT8OID, sizeof(float8), FLOAT8PASSBYVAL, TYPALIGN_DOUBLE);
}

/* Natural (a given count) and quantile breaks of the values with their
 * counts or weights; NULL when no weight is positive. */
static ArrayType *
weighted_breaks(MensoraState *state)
{
	const MethodArgs *args = &state->args;
	bool		natural = strcmp(mensora_pg_methods[args->method].name, "natural") == 0;
	double	   *breaks = MemoryContextAllocExtended(CurrentMemoryContext,
													((Size) args->classes + 1) * sizeof(double),
													MCXT_ALLOC_HUGE);
	int			status;

	do
	{
		status = natural
			? mensora_natural_breaks_weighted(state->values, state->weights, (int32) state->count,
											  args->classes, breaks)
			: mensora_quantile_breaks_weighted(state->values, state->weights,
											   (int32) state->count, args->classes, breaks);
	} while (mensora_pg_retry(status));
	if (status == MENSORA_ERROR_EMPTY)
		return NULL;
	mensora_pg_check(status, mensora_pg_methods[args->method].name);
	return float8_array(breaks, args->classes + 1);
}

/* The classes of one method over the sample. */
static int
classify(mensora_sample *s, const MethodArgs *a, mensora_classes *out)
{
	const char *name = mensora_pg_methods[a->method].name;

	if (strcmp(name, "equal") == 0)
		return mensora_classify_equal(s, a->classes, out);
	if (strcmp(name, "step") == 0)
		return mensora_classify_step(s, a->start, a->step, a->end, out);
	if (strcmp(name, "count") == 0)
		return mensora_classify_count(s, a->start, a->classes, a->end, out);
	if (strcmp(name, "stddev") == 0)
		return mensora_classify_stddev(s, a->steps, a->times, out);
	if (strcmp(name, "stddev-window") == 0)
		return mensora_classify_stddev_window(s, a->steps, a->times, a->min, a->max, out);
	if (strcmp(name, "quantile") == 0)
		return mensora_classify_quantile(s, a->classes, out);
	if (strcmp(name, "natural") == 0)
		return a->auto_classes ? mensora_classify_natural_auto(s, a->max_classes, a->gvf, out)
			: mensora_classify_natural(s, a->classes, out);
	if (strcmp(name, "breaks") == 0)
		return mensora_classify_breaks(s, a->list, a->list_count, out);
	if (strcmp(name, "pretty") == 0)
		return mensora_classify_pretty(s, a->classes, out);
	if (strcmp(name, "headtail") == 0)
		return mensora_classify_head_tail(s, a->head_share, out);
	if (strcmp(name, "box") == 0)
		return mensora_classify_box_plot(s, a->hinge, out);
	if (strcmp(name, "maxbreaks") == 0)
		return mensora_classify_max_breaks(s, a->classes, out);
	if (strcmp(name, "percentile") == 0)
		return mensora_classify_percentile(s, a->list, a->list_count, out);
	return mensora_classify_geometric(s, a->classes, out);
}

/* The breaks of any method over the group's values in ascending order. */
static ArrayType *
sample_breaks(MensoraState *state)
{
	int32		n = 0;
	double	   *values = mensora_pg_expand(state, &n);
	mensora_sample *volatile s = mensora_sample_new(values, n);
	ArrayType  *result = NULL;

	if (s == NULL)
		mensora_pg_check(MENSORA_ERROR_MEMORY, "sample");
	PG_TRY();
	{
		mensora_classes out;
		int			status;

		do
			status = classify(s, &state->args, &out);
		while (mensora_pg_retry(status));
		mensora_pg_check(status, mensora_pg_methods[state->args.method].name);
		result = float8_array(out.breaks, out.class_count + 1);
	}
	PG_FINALLY();
	{
		mensora_sample_free(s);
	}
	PG_END_TRY();
	pfree(values);
	return result;
}

PG_FUNCTION_INFO_V1(mensora_pg_breaks_final);
Datum
mensora_pg_breaks_final(PG_FUNCTION_ARGS)
{
	MensoraState *state;
	const char *name;
	ArrayType  *result;

	if (PG_ARGISNULL(0))
		PG_RETURN_NULL();
	state = (MensoraState *) PG_GETARG_POINTER(0);
	mensora_pg_compact(state);
	if (state->count == 0)
		PG_RETURN_NULL();
	name = mensora_pg_methods[state->args.method].name;
	if (state->weighted || strcmp(name, "quantile") == 0 ||
		(strcmp(name, "natural") == 0 && !state->args.auto_classes))
		result = weighted_breaks(state);
	else
		result = sample_breaks(state);
	if (result == NULL)
		PG_RETURN_NULL();
	PG_RETURN_ARRAYTYPE_P(result);
}

/* A JSON number, or "NaN", "Infinity", "-Infinity" as `mensora` writes them. */
static void
append_number(StringInfo json, const char *key, double value)
{
	appendStringInfo(json, "%s\"%s\": ", json->len > 1 ? ", " : "", key);
	if (isnan(value))
		appendStringInfoString(json, "\"NaN\"");
	else if (isinf(value))
		appendStringInfoString(json, value > 0 ? "\"Infinity\"" : "\"-Infinity\"");
	else
		appendStringInfoString(json, float8out_internal(value));
}

PG_FUNCTION_INFO_V1(mensora_pg_summary_final);
Datum
mensora_pg_summary_final(PG_FUNCTION_ARGS)
{
	MensoraState *state;
	double	   *values;
	int32		n = 0;
	mensora_sample *volatile s;
	StringInfoData json;

	if (PG_ARGISNULL(0))
		PG_RETURN_NULL();
	state = (MensoraState *) PG_GETARG_POINTER(0);
	mensora_pg_compact(state);
	if (state->count == 0)
		PG_RETURN_NULL();
	values = mensora_pg_expand(state, &n);
	s = mensora_sample_new(values, n);
	if (s == NULL)
		mensora_pg_check(MENSORA_ERROR_MEMORY, "summary");
	initStringInfo(&json);
	PG_TRY();
	{
		double		min = 0,
					max = 0,
					geometric;
		bool		zero = false;

		appendStringInfoChar(&json, '{');
		appendStringInfo(&json, "\"count\": %d, \"missing\": " INT64_FORMAT, n, state->missing);
		append_number(&json, "mean", mensora_mean(s));
		append_number(&json, "weighted_mean", mensora_frequency_mean(s));
		/* A geometric mean of 0 without a zero value is one the library
		 * cannot form (a negative product, or beyond its range). */
		geometric = mensora_geometric_mean(s);
		for (int64 i = 0; i < state->count; ++i)
			zero = zero || state->values[i] == 0;
		if (geometric == 0 && !zero)
			appendStringInfoString(&json, ", \"geometric_mean\": null");
		else
			append_number(&json, "geometric_mean", geometric);
		append_number(&json, "mode", mensora_mode(s));
		append_number(&json, "median", mensora_median(s));
		mensora_pg_check(mensora_extremes(s, &min, &max), "summary");
		append_number(&json, "minimum", min);
		append_number(&json, "maximum", max);
		append_number(&json, "range", mensora_range(s));
		append_number(&json, "mean_absolute_deviation", mensora_mean_abs_deviation(s));
		append_number(&json, "sum_of_squares", mensora_sum_of_squares(s));
		append_number(&json, "variance", mensora_variance(s));
		append_number(&json, "standard_deviation", mensora_std_deviation(s));
		append_number(&json, "coefficient_of_variation", mensora_variation_coefficient(s));
		append_number(&json, "skewness", mensora_skewness(s));
		append_number(&json, "kurtosis", mensora_kurtosis(s));
		appendStringInfoChar(&json, '}');
	}
	PG_FINALLY();
	{
		mensora_sample_free(s);
	}
	PG_END_TRY();
	pfree(values);
	PG_RETURN_DATUM(DirectFunctionCall1(jsonb_in, CStringGetDatum(json.data)));
}
