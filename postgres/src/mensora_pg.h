/* Shared parts of the mensora extension: the aggregate state, the class
 * methods and their arguments, and the translation of library statuses into
 * SQL errors. */
#ifndef MENSORA_PG_H
#define MENSORA_PG_H

#include "postgres.h"

#include "fmgr.h"
#include "utils/array.h"
#include "mensora_c.h"

/* The most distinct values one group may hold (and, for the weighted
 * aggregate, the most rows). Past it the aggregate fails and asks for
 * rounded values. */
#define MENSORA_PG_MAX_VALUES (1 << 25)

/* Arguments of a class method (bits of MethodArgs.given). */
#define ARG_CLASSES (1u << 0)
#define ARG_START (1u << 1)
#define ARG_STEP (1u << 2)
#define ARG_END (1u << 3)
#define ARG_STEPS (1u << 4)
#define ARG_TIMES (1u << 5)
#define ARG_MIN (1u << 6)
#define ARG_MAX (1u << 7)
#define ARG_BREAKS (1u << 8)
#define ARG_PERCENTILES (1u << 9)
#define ARG_HEAD_SHARE (1u << 10)
#define ARG_HINGE (1u << 11)
#define ARG_GVF (1u << 12)
#define ARG_MAX_CLASSES (1u << 13)
#define ARG_COUNT 14

/* A class method and its arguments, as checked from the first row of a group. */
typedef struct MethodArgs
{
	int32		method;			/* index into mensora_pg_methods */
	uint32		given;			/* ARG_* bits given */
	bool		auto_classes;	/* classes 'auto' (natural) */
	int32		classes;
	int32		steps;
	int32		max_classes;
	double		start, step, end, times, min, max, head_share, hinge, gvf;
	int32		list_count;		/* breaks or percentiles */
	double	   *list;
	bool		round;			/* round breaks that keep every class */
	int32		label_flags;	/* MENSORA_LABEL_INTERVAL, _THOUSANDS */
} MethodArgs;

typedef struct MethodInfo
{
	const char *name;
	uint32		required;
	uint32		optional;
	bool		weighted;		/* also for pre-aggregated rows */
	bool		std_set;		/* the standard-deviation classes (last one open) */
} MethodInfo;

extern const MethodInfo mensora_pg_methods[];
extern const int mensora_pg_method_count;

/*
 * The state of every aggregate of the extension, in the aggregate's memory
 * context. Values that are NULL or NaN are missing: counted, never kept.
 *
 * Plain aggregates keep the distinct values ascending with their counts
 * (values/weights, `count` of them) and the rows not yet merged in `raw`;
 * the weighted aggregate keeps every (value, weight) row as it came, so that
 * the library adds the weights of one value in its own order.
 */
typedef struct MensoraState
{
	bool		has_args;
	bool		weighted;
	MethodArgs	args;
	int64		missing;
	int64		count;
	int64		capacity;
	double	   *values;
	double	   *weights;
	int64		raw_count;
	int64		raw_capacity;
	double	   *raw;
} MensoraState;

/* state.c */
extern MensoraState *mensora_pg_state(FunctionCallInfo fcinfo, MemoryContext *context);
extern void mensora_pg_add(MensoraState *state, double value);
extern void mensora_pg_add_weighted(MensoraState *state, double value, double weight);
extern void mensora_pg_compact(MensoraState *state);
extern double *mensora_pg_expand(MensoraState *state, int32 *n);

/* args.c */
extern int	mensora_pg_find_method(const char *name);
extern void mensora_pg_label_options(Datum options, int32 *flags, int32 *rule);
extern void mensora_pg_parse_args(MethodArgs *args, text *method, bool has_k, int32 k,
								  Datum options, bool has_options, bool weighted);

/* labels.c */
extern ArrayType *mensora_pg_label_array(const char *lines);

/* common.c */
extern void mensora_pg_check(int status, const char *what);
extern bool mensora_pg_retry(int status);
extern void mensora_pg_check_breaks(ArrayType *array, int count);

#endif							/* MENSORA_PG_H */
