/* The aggregate state: the distinct values of a group with their counts,
 * merged in batches, and its combination, serialization and deserialization
 * for parallel plans. A group's state does not depend on the order of its
 * rows nor on how they were shared out among workers. */
#include "mensora_pg.h"

#include <math.h>

#include "miscadmin.h"
#include "utils/memutils.h"

/* The first batch of rows; later batches are as large as the distinct
 * values so far, which keeps the merging linear. */
#define FIRST_BATCH 256

MensoraState *
mensora_pg_state(FunctionCallInfo fcinfo, MemoryContext *context)
{
	if (!AggCheckCallContext(fcinfo, context))
		elog(ERROR, "mensora aggregate function called in non-aggregate context");
	if (PG_ARGISNULL(0))
		return MemoryContextAllocZero(*context, sizeof(MensoraState));
	return (MensoraState *) PG_GETARG_POINTER(0);
}

static void pg_attribute_noreturn()
too_many(void)
{
	ereport(ERROR,
			(errcode(ERRCODE_PROGRAM_LIMIT_EXCEEDED),
			 errmsg("mensora: more than %d distinct values in one group", MENSORA_PG_MAX_VALUES),
			 errhint("Round the values (for example round(v::numeric, 2)::float8) or split the "
					 "groups.")));
}

/* Sorts n doubles (no NaN, no -0) ascending: a radix sort of their bits
 * turned into unsigned keys of the same order. */
static void
sort_values(double *values, int64 n)
{
	uint64	   *keys = (uint64 *) values;
	uint64	   *other;
	int64	   *counts;
	const uint64 sign = UINT64CONST(1) << 63;

	if (n < 64)
	{
		for (int64 i = 1; i < n; ++i)
		{
			double		x = values[i];
			int64		j = i;

			for (; j > 0 && values[j - 1] > x; --j)
				values[j] = values[j - 1];
			values[j] = x;
		}
		return;
	}
	counts = palloc0(8 * 256 * sizeof(int64));
	for (int64 i = 0; i < n; ++i)
	{
		uint64		k;

		memcpy(&k, &values[i], sizeof(k));
		k = (k & sign) ? ~k : (k | sign);
		keys[i] = k;
		for (int b = 0; b < 8; ++b)
			++counts[b * 256 + ((k >> (8 * b)) & 0xff)];
	}
	other = MemoryContextAllocHuge(CurrentMemoryContext, n * sizeof(uint64));
	for (int b = 0; b < 8; ++b)
	{
		int64	   *count = counts + b * 256;
		int64		at = 0;
		uint64	   *swap;

		if (count[(keys[0] >> (8 * b)) & 0xff] == n)
			continue;			/* every key has this digit */
		CHECK_FOR_INTERRUPTS();
		for (int d = 0; d < 256; ++d)
		{
			int64		c = count[d];

			count[d] = at;
			at += c;
		}
		for (int64 i = 0; i < n; ++i)
			other[count[(keys[i] >> (8 * b)) & 0xff]++] = keys[i];
		swap = keys;
		keys = other;
		other = swap;
	}
	for (int64 i = 0; i < n; ++i)
	{
		uint64		k = keys[i];

		k = (k & sign) ? (k & ~sign) : ~k;
		memcpy(&values[i], &k, sizeof(k));
	}
	pfree(keys == (uint64 *) values ? other : keys);
	pfree(counts);
}

/* Merges the ascending distinct values b (with their counts) into those of
 * the state. */
static void
merge_into(MensoraState *state, const double *values, const double *weights, int64 count,
		   MemoryContext context)
{
	int64		total = state->count + count;
	double	   *v = MemoryContextAllocHuge(context, Max(total, 1) * sizeof(double));
	double	   *w = MemoryContextAllocHuge(context, Max(total, 1) * sizeof(double));
	int64		i = 0,
				j = 0,
				d = 0;

	while (i < state->count || j < count)
	{
		if (j == count || (i < state->count && state->values[i] < values[j]))
		{
			v[d] = state->values[i];
			w[d++] = state->weights[i++];
		}
		else if (i == state->count || values[j] < state->values[i])
		{
			v[d] = values[j];
			w[d++] = weights[j++];
		}
		else
		{
			v[d] = values[j];
			w[d++] = state->weights[i++] + weights[j++];
		}
	}
	if (d > MENSORA_PG_MAX_VALUES)
		too_many();
	if (state->values)
	{
		pfree(state->values);
		pfree(state->weights);
	}
	state->values = v;
	state->weights = w;
	state->count = d;
	state->capacity = total;
}

/* Sorts raw[0..n-1] and collapses it into its distinct values (in raw) with
 * their counts (into counts); returns their number. */
static int64
collapse(double *raw, int64 n, double *counts)
{
	int64		d = 0;

	sort_values(raw, n);
	for (int64 i = 0; i < n; ++i)
	{
		if (d > 0 && raw[i] == raw[d - 1])
			counts[d - 1] += 1.0;
		else
		{
			raw[d] = raw[i];
			counts[d++] = 1.0;
		}
	}
	return d;
}

void
mensora_pg_compact(MensoraState *state)
{
	MemoryContext context = GetMemoryChunkContext(state);
	double	   *counts;
	int64		d;

	if (state->weighted || state->raw_count == 0)
		return;
	counts = MemoryContextAllocHuge(CurrentMemoryContext, state->raw_count * sizeof(double));
	d = collapse(state->raw, state->raw_count, counts);
	merge_into(state, state->raw, counts, d, context);
	pfree(counts);
	state->raw_count = 0;
}

void
mensora_pg_add(MensoraState *state, double value)
{
	if (isnan(value))
	{
		++state->missing;
		return;
	}
	if (state->raw_count == state->raw_capacity)
	{
		MemoryContext context = GetMemoryChunkContext(state);
		int64		capacity;

		mensora_pg_compact(state);
		capacity = Min(Max(FIRST_BATCH, state->count), MENSORA_PG_MAX_VALUES);
		if (capacity > state->raw_capacity)
		{
			if (state->raw)
				pfree(state->raw);
			state->raw = MemoryContextAllocHuge(context, capacity * sizeof(double));
			state->raw_capacity = capacity;
		}
	}
	/* -0 and +0 are one value. */
	state->raw[state->raw_count++] = value == 0.0 ? 0.0 : value;
}

void
mensora_pg_add_weighted(MensoraState *state, double value, double weight)
{
	if (isnan(value))
	{
		++state->missing;
		return;
	}
	if (!(weight >= 0) || isinf(weight))
		ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
						errmsg("mensora: the weight %g is not a finite number of 0 or more",
							   weight)));
	if (state->count == state->capacity)
	{
		MemoryContext context = GetMemoryChunkContext(state);
		int64		capacity = Max(FIRST_BATCH, 2 * state->capacity);

		if (state->count >= MENSORA_PG_MAX_VALUES)
			too_many();
		capacity = Min(capacity, MENSORA_PG_MAX_VALUES);
		if (state->values == NULL)
		{
			state->values = MemoryContextAllocHuge(context, capacity * sizeof(double));
			state->weights = MemoryContextAllocHuge(context, capacity * sizeof(double));
		}
		else
		{
			state->values = repalloc_huge(state->values, capacity * sizeof(double));
			state->weights = repalloc_huge(state->weights, capacity * sizeof(double));
		}
		state->capacity = capacity;
	}
	state->values[state->count] = value;
	state->weights[state->count++] = weight;
}

double *
mensora_pg_expand(MensoraState *state, int32 *n)
{
	double		total = 0;
	double	   *values;
	int64		at = 0;

	mensora_pg_compact(state);
	for (int64 i = 0; i < state->count; ++i)
		total += state->weights[i];
	if (total > PG_INT32_MAX - 1)
		ereport(ERROR, (errcode(ERRCODE_PROGRAM_LIMIT_EXCEEDED),
						errmsg("mensora: more than %d values in one group for method %s",
							   PG_INT32_MAX - 1, mensora_pg_methods[state->args.method].name),
						errhint("The methods natural and quantile take any number of rows.")));
	values = MemoryContextAllocExtended(CurrentMemoryContext, Max(total, 1) * sizeof(double),
										MCXT_ALLOC_HUGE);
	for (int64 i = 0; i < state->count; ++i)
	{
		for (int64 c = (int64) state->weights[i]; c > 0; --c)
			values[at++] = state->values[i];
		if ((i & 0xffff) == 0)
			CHECK_FOR_INTERRUPTS();
	}
	*n = (int32) at;
	return values;
}

/* Adds the rows of `from` to `into` (into's arguments are kept when it has
 * them); `from` is left as it was. */
static void
combine(MensoraState *into, MensoraState *from, MemoryContext context)
{
	if (!into->has_args && from->has_args)
	{
		into->args = from->args;
		into->has_args = true;
		if (from->args.list_count > 0)
		{
			into->args.list = MemoryContextAlloc(context, from->args.list_count * sizeof(double));
			memcpy(into->args.list, from->args.list, from->args.list_count * sizeof(double));
		}
	}
	into->weighted = from->weighted;
	into->missing += from->missing;
	if (from->weighted)
	{
		for (int64 i = 0; i < from->count; ++i)
			mensora_pg_add_weighted(into, from->values[i], from->weights[i]);
		return;
	}
	mensora_pg_compact(into);
	merge_into(into, from->values, from->weights, from->count, context);
	if (from->raw_count > 0)
	{
		double	   *raw = palloc(from->raw_count * sizeof(double));
		double	   *counts = palloc(from->raw_count * sizeof(double));
		int64		d;

		memcpy(raw, from->raw, from->raw_count * sizeof(double));
		d = collapse(raw, from->raw_count, counts);
		merge_into(into, raw, counts, d, context);
		pfree(raw);
		pfree(counts);
	}
}

PG_FUNCTION_INFO_V1(mensora_pg_combine);
Datum
mensora_pg_combine(PG_FUNCTION_ARGS)
{
	MemoryContext context;
	MensoraState *into;

	if (!AggCheckCallContext(fcinfo, &context))
		elog(ERROR, "mensora aggregate function called in non-aggregate context");
	if (PG_ARGISNULL(1))
	{
		if (PG_ARGISNULL(0))
			PG_RETURN_NULL();
		PG_RETURN_POINTER(PG_GETARG_POINTER(0));
	}
	into = PG_ARGISNULL(0) ? MemoryContextAllocZero(context, sizeof(MensoraState))
		: (MensoraState *) PG_GETARG_POINTER(0);
	combine(into, (MensoraState *) PG_GETARG_POINTER(1), context);
	PG_RETURN_POINTER(into);
}

/* The serialized state: this header, the list of the arguments, then the
 * values and their counts (or weights). */
typedef struct SerialHeader
{
	bool		has_args;
	bool		weighted;
	MethodArgs	args;
	int64		missing;
	int64		count;
} SerialHeader;

PG_FUNCTION_INFO_V1(mensora_pg_serialize);
Datum
mensora_pg_serialize(PG_FUNCTION_ARGS)
{
	MensoraState *state = (MensoraState *) PG_GETARG_POINTER(0);
	SerialHeader header;
	Size		list = state->args.list_count * sizeof(double);
	Size		size;
	bytea	   *out;
	char	   *at;

	mensora_pg_compact(state);
	memset(&header, 0, sizeof(header));
	header.has_args = state->has_args;
	header.weighted = state->weighted;
	header.args = state->args;
	header.args.list = NULL;
	header.missing = state->missing;
	header.count = state->count;
	size = VARHDRSZ + sizeof(header) + list + 2 * state->count * sizeof(double);
	out = MemoryContextAllocExtended(CurrentMemoryContext, size, MCXT_ALLOC_HUGE);
	SET_VARSIZE(out, size);
	at = VARDATA(out);
	memcpy(at, &header, sizeof(header));
	at += sizeof(header);
	if (list > 0)
		memcpy(at, state->args.list, list);
	at += list;
	if (state->count > 0)
	{
		memcpy(at, state->values, state->count * sizeof(double));
		memcpy(at + state->count * sizeof(double), state->weights, state->count * sizeof(double));
	}
	PG_RETURN_BYTEA_P(out);
}

PG_FUNCTION_INFO_V1(mensora_pg_deserialize);
Datum
mensora_pg_deserialize(PG_FUNCTION_ARGS)
{
	bytea	   *in = PG_GETARG_BYTEA_PP(0);
	const char *at = VARDATA_ANY(in);
	MemoryContext context;
	MensoraState *state;
	SerialHeader header;
	Size		bytes;

	if (!AggCheckCallContext(fcinfo, &context))
		elog(ERROR, "mensora aggregate function called in non-aggregate context");
	if (VARSIZE_ANY_EXHDR(in) < sizeof(header))
		elog(ERROR, "mensora: malformed aggregate state");
	memcpy(&header, at, sizeof(header));
	at += sizeof(header);
	if (header.count < 0 || header.args.list_count < 0 ||
		VARSIZE_ANY_EXHDR(in) != sizeof(header) + (header.args.list_count + 2 * header.count) *
		sizeof(double))
		elog(ERROR, "mensora: malformed aggregate state");
	state = MemoryContextAllocZero(context, sizeof(MensoraState));
	state->has_args = header.has_args;
	state->weighted = header.weighted;
	state->args = header.args;
	state->missing = header.missing;
	if (header.args.list_count > 0)
	{
		state->args.list = MemoryContextAlloc(context, header.args.list_count * sizeof(double));
		memcpy(state->args.list, at, header.args.list_count * sizeof(double));
		at += header.args.list_count * sizeof(double);
	}
	if (header.count > 0)
	{
		bytes = header.count * sizeof(double);
		state->values = MemoryContextAllocHuge(context, bytes);
		state->weights = MemoryContextAllocHuge(context, bytes);
		memcpy(state->values, at, bytes);
		memcpy(state->weights, at + bytes, bytes);
		state->count = state->capacity = header.count;
	}
	PG_RETURN_POINTER(state);
}
