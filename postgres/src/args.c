/* The class methods and the checking of their arguments: the same names and
 * rules as the options of `mensora classify`. */
#include "mensora_pg.h"

#include <float.h>
#include <math.h>

#include "utils/builtins.h"
#include "utils/fmgrprotos.h"
#include "utils/jsonb.h"

const MethodInfo mensora_pg_methods[] = {
	{"equal", ARG_CLASSES, 0, false},
	{"step", ARG_START | ARG_STEP, ARG_END, false},
	{"count", ARG_START | ARG_CLASSES, ARG_END, false},
	{"stddev", ARG_STEPS | ARG_TIMES, 0, false},
	{"stddev-window", ARG_STEPS | ARG_TIMES, ARG_MIN | ARG_MAX, false},
	{"quantile", ARG_CLASSES, 0, true},
	{"natural", ARG_CLASSES, ARG_GVF | ARG_MAX_CLASSES, true},
	{"breaks", ARG_BREAKS, 0, false},
	{"pretty", ARG_CLASSES, 0, false},
	{"headtail", 0, ARG_HEAD_SHARE, false},
	{"box", 0, ARG_HINGE, false},
	{"maxbreaks", ARG_CLASSES, 0, false},
	{"percentile", ARG_PERCENTILES, 0, false},
	{"geometric", ARG_CLASSES, 0, false},
};
const int	mensora_pg_method_count = lengthof(mensora_pg_methods);

/* Option names, in the order of the ARG_* bits. */
static const char *const arg_names[ARG_COUNT] = {
	"classes", "start", "step", "end", "steps", "times", "min", "max",
	"breaks", "percentiles", "head-share", "hinge", "gvf", "max-classes"
};

static void pg_attribute_noreturn()
bad_argument(const char *message)
{
	ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE), errmsg("mensora: %s", message)));
}

static int
find_method(const char *name)
{
	StringInfoData names;

	for (int m = 0; m < mensora_pg_method_count; ++m)
		if (strcmp(name, mensora_pg_methods[m].name) == 0)
			return m;
	initStringInfo(&names);
	for (int m = 0; m < mensora_pg_method_count; ++m)
		appendStringInfo(&names, "%s%s", m ? ", " : "", mensora_pg_methods[m].name);
	bad_argument(psprintf("unknown method '%s' (methods: %s)", name, names.data));
}

/* The ARG_* bit of an option name; '_' may stand for '-'. */
static uint32
find_option(const char *key, int length)
{
	for (int a = 0; a < ARG_COUNT; ++a)
	{
		const char *name = arg_names[a];
		int			i = 0;

		for (; i < length && name[i] != '\0'; ++i)
			if (key[i] != name[i] && !(key[i] == '_' && name[i] == '-'))
				break;
		if (i == length && name[i] == '\0')
			return 1u << a;
	}
	bad_argument(psprintf("unknown option '%.*s' (options: classes, start, step, end, steps, "
						  "times, min, max, breaks, percentiles, head-share, hinge, gvf, "
						  "max-classes)", length, key));
}

static const char *
option_name(uint32 bit)
{
	for (int a = 0; a < ARG_COUNT; ++a)
		if (bit == (1u << a))
			return arg_names[a];
	return "";
}

static double
number_of(JsonbValue *v, uint32 bit)
{
	if (v->type != jbvNumeric)
		bad_argument(psprintf("option %s: not a number", option_name(bit)));
	return DatumGetFloat8(DirectFunctionCall1(numeric_float8, NumericGetDatum(v->val.numeric)));
}

static double
finite_of(JsonbValue *v, uint32 bit)
{
	double		x = number_of(v, bit);

	if (!isfinite(x))
		bad_argument(psprintf("option %s: %g is not a finite number", option_name(bit), x));
	return x;
}

static int32
count_of(double x, uint32 bit, int32 least)
{
	if (!(x >= least && x <= PG_INT32_MAX && x == floor(x)))
		bad_argument(psprintf("option %s: %g is not a whole number of %d or more",
							  option_name(bit), x, least));
	return (int32) x;
}

static double
within(double x, uint32 bit, double least, double most, bool open)
{
	bool		inside = open ? (x > least && x < most) : (x >= least && x <= most);

	if (!inside)
		bad_argument(psprintf("option %s: %g is not a number %s %g %s %g", option_name(bit), x,
							  open ? "between" : "from", least, open ? "and" : "to", most));
	return x;
}

/* classes: a whole number, or 'auto' for natural breaks. */
static void
set_classes(MethodArgs *args, double x)
{
	args->classes = count_of(x, ARG_CLASSES, 1);
	args->given |= ARG_CLASSES;
}

static void
set_option(MethodArgs *args, uint32 bit, JsonbValue *v)
{
	if (args->given & bit)
		bad_argument(psprintf("option %s given twice", option_name(bit)));
	if (bit == ARG_BREAKS || bit == ARG_PERCENTILES)
	{
		/* Two or more ascending numbers; percentiles from 0 to 100. */
		JsonbValue	item;
		JsonbIterator *items;
		JsonbIteratorToken token;
		int			capacity = 8;

		if (v->type != jbvBinary || !JsonContainerIsArray(v->val.binary.data))
			bad_argument(psprintf("option %s: not an array of numbers", option_name(bit)));
		args->list = palloc(capacity * sizeof(double));
		args->list_count = 0;
		items = JsonbIteratorInit(v->val.binary.data);
		while ((token = JsonbIteratorNext(&items, &item, true)) != WJB_DONE)
		{
			double		x;

			if (token != WJB_ELEM)
				continue;
			x = number_of(&item, bit);

			if (bit == ARG_PERCENTILES)
				within(x, bit, 0, 100, false);
			else if (!isfinite(x))
				bad_argument(psprintf("option breaks: %g is not a finite number", x));
			if (args->list_count > 0 && x < args->list[args->list_count - 1])
				bad_argument(psprintf("option %s: the numbers must ascend", option_name(bit)));
			if (args->list_count == capacity)
				args->list = repalloc(args->list, (capacity *= 2) * sizeof(double));
			args->list[args->list_count++] = x;
		}
		if (args->list_count < 2)
			bad_argument(psprintf("option %s: give two or more numbers", option_name(bit)));
		args->given |= bit;
		return;
	}
	if (bit == ARG_CLASSES && v->type == jbvString)
	{
		if (v->val.string.len != 4 || strncmp(v->val.string.val, "auto", 4) != 0)
			bad_argument("option classes: a whole number or 'auto'");
		args->auto_classes = true;
		args->given |= bit;
		return;
	}
	switch (bit)
	{
		case ARG_CLASSES:
			set_classes(args, number_of(v, bit));
			return;
		case ARG_START:
			args->start = finite_of(v, bit);
			break;
		case ARG_STEP:
			args->step = finite_of(v, bit);
			if (!(args->step > 0))
				bad_argument(psprintf("option step: %g is not a number above 0", args->step));
			break;
		case ARG_END:
			args->end = finite_of(v, bit);
			break;
		case ARG_STEPS:
			args->steps = count_of(number_of(v, bit), bit, 0);
			break;
		case ARG_TIMES:
			args->times = finite_of(v, bit);
			if (args->times < 0)
				bad_argument(psprintf("option times: %g is below 0", args->times));
			break;
		case ARG_MIN:
			args->min = number_of(v, bit);
			break;
		case ARG_MAX:
			args->max = number_of(v, bit);
			break;
		case ARG_HEAD_SHARE:
			args->head_share = within(number_of(v, bit), bit, 0, 1, true);
			break;
		case ARG_HINGE:
			args->hinge = within(number_of(v, bit), bit, 0, DBL_MAX, false);
			break;
		case ARG_GVF:
			args->gvf = within(number_of(v, bit), bit, 0, 1, false);
			break;
		case ARG_MAX_CLASSES:
			args->max_classes = count_of(number_of(v, bit), bit, 2);
			break;
	}
	args->given |= bit;
}

void
mensora_pg_parse_args(MethodArgs *args, text *method, bool has_k, int32 k, Datum options,
					  bool has_options, bool weighted)
{
	const MethodInfo *info;

	memset(args, 0, sizeof(*args));
	args->end = MENSORA_AUTO_MAX;
	args->min = MENSORA_AUTO_MIN;
	args->max = MENSORA_AUTO_MAX;
	args->head_share = 0.4;
	args->hinge = 1.5;
	args->gvf = 0.8;
	args->max_classes = 10;
	if (method == NULL)
		bad_argument("the method is null");
	args->method = find_method(text_to_cstring(method));
	info = &mensora_pg_methods[args->method];
	if (weighted && !info->weighted)
		bad_argument(psprintf("method %s does not take weights (weighted methods: natural, "
							  "quantile)", info->name));
	if (has_k)
		set_classes(args, k);
	if (has_options)
	{
		Jsonb	   *jb = DatumGetJsonbP(options);
		JsonbIterator *it;
		JsonbValue	v;
		JsonbIteratorToken token;

		if (!JB_ROOT_IS_OBJECT(jb))
			bad_argument("the options are not a JSON object");
		it = JsonbIteratorInit(&jb->root);
		while ((token = JsonbIteratorNext(&it, &v, true)) != WJB_DONE)
		{
			uint32		bit;

			if (token != WJB_KEY)
				continue;
			bit = find_option(v.val.string.val, v.val.string.len);
			if (bit == ARG_CLASSES && has_k)
				bad_argument("option classes given twice");
			JsonbIteratorNext(&it, &v, true);
			set_option(args, bit, &v);
		}
	}
	/* The rules of `mensora classify`. */
	for (int a = 0; a < ARG_COUNT; ++a)
	{
		uint32		bit = 1u << a;

		if ((info->required & bit) && !(args->given & bit))
			bad_argument(psprintf("method %s needs %s", info->name, arg_names[a]));
		if ((args->given & bit) && !((info->required | info->optional) & bit))
			bad_argument(psprintf("%s does not apply to method %s", arg_names[a], info->name));
	}
	if ((args->given & ARG_START) && (args->given & ARG_END) && !(args->end > args->start))
		bad_argument("end must be above start");
	if (args->auto_classes && strcmp(info->name, "natural") != 0)
		bad_argument(psprintf("classes 'auto' does not apply to method %s", info->name));
	if (args->auto_classes && weighted)
		bad_argument("classes 'auto' does not apply to weighted rows");
	if ((args->given & (ARG_GVF | ARG_MAX_CLASSES)) && !args->auto_classes)
		bad_argument(psprintf("%s applies only with classes 'auto'",
							  option_name(args->given & ARG_GVF ? ARG_GVF : ARG_MAX_CLASSES)));
}
