/* Mensora C interface: descriptive statistics and class breaks over one
 * numeric sample, for C and for every language that calls C.
 *
 * One sample handle stands for one array of doubles that the caller owns. The
 * handle borrows the array: the caller keeps it alive and unchanged until the
 * handle is freed; the library never writes or frees it. Arrays handed back
 * (class breaks, counts, ids, selections) belong to the handle; each stays
 * valid until the next call that rebuilds the same kind of result (see
 * mensora_classes) or until the handle is freed. One handle is used by one
 * thread at a time; separate handles are independent.
 *
 * Functions that can fail return an int status: MENSORA_OK (0) or a negative
 * MENSORA_ERROR_* code, and leave every output untouched on failure; a call
 * refused for its arguments changes nothing in the handle. Every failure also
 * sets this thread's reason text (mensora_last_reason), the one wording of
 * each refusal that every binding shows. Measures return a
 * double: NaN for a NULL handle, otherwise the value of the library's own
 * rules (a sample with no values gives NaN or 0.0 as each measure's rule
 * says). When working memory cannot be had, the deviation and shape measures
 * give NaN, those of the sorted order act as for an empty sample (NaN), and
 * the mode and the frequency mean give 0.0. No function aborts, throws or
 * reads past the lengths the caller hands in.
 *
 * Stable names: every name in this header. Later versions add names; they do
 * not change or remove these.
 */
#ifndef MENSORA_C_H
#define MENSORA_C_H

#include <stdint.h>

#if defined(_WIN32) || defined(__CYGWIN__)
#  if defined(MENSORA_STATIC)
#    define MENSORA_C_API
#  elif defined(MENSORA_BUILDING_LIBRARY)
#    define MENSORA_C_API __declspec(dllexport)
#  else
#    define MENSORA_C_API __declspec(dllimport)
#  endif
#else
#  define MENSORA_C_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes. */
#define MENSORA_OK 0
#define MENSORA_ERROR_ARGUMENT (-1) /* a NULL handle or out-pointer, or an argument out of range */
#define MENSORA_ERROR_EMPTY (-2)    /* the sample has no values */
#define MENSORA_ERROR_MEMORY (-3)   /* working memory or a result buffer could not be had */
#define MENSORA_ERROR_DATA (-4)     /* the sample's values do not allow the method (a step
                                       class count taken from the data's maximum, pretty
                                       breaks without a finite value, geometric breaks
                                       without a positive minimum and a finite maximum) */
#define MENSORA_ERROR_NO_RESULT (-5) /* the class set to be measured holds no class result */
#define MENSORA_ERROR_CANCELLED (-6) /* the calling thread's progress handler stopped the call */

/* Limits that mean "the data's own extreme" (an argument within
 * MENSORA_EQ_TOLERANCE of the sentinel is replaced by it). */
#define MENSORA_AUTO_MAX 999.0
#define MENSORA_AUTO_MIN (-999.0)
#define MENSORA_EQ_TOLERANCE 1e-7
/* Outer breaks of the standard-deviation classes. */
#define MENSORA_HUGE_BOUND 1.79769313486232e307

typedef struct mensora_sample mensora_sample;

/* A class result. Class s (0 .. class_count - 1) covers breaks[s] (included)
 * to breaks[s + 1] (excluded; the closing rules of each method may add the
 * last break to the last class). breaks has class_count + 1 entries, counts
 * class_count, ids the sum of the counts: the positions in the caller's array
 * of the members of class 0, then of class 1, and so on. The arrays belong to
 * the handle. The range classes (equal, step, count, quantile, natural and
 * every other method not named below) share one set of arrays, replaced by
 * the next call of any of them; the standard-deviation classes (stddev,
 * stddev_window) share another. */
typedef struct mensora_classes {
  int32_t class_count;
  const double* breaks;
  const int32_t* counts;
  const int32_t* ids;
} mensora_classes;

/* The library's version, "major.minor.patch". */
MENSORA_C_API const char* mensora_version(void);
/* A short English text for a status code ("out of memory"); never NULL. */
MENSORA_C_API const char* mensora_status_message(int status);

/* A handle over values[0 .. n-1], borrowed. NULL when n < 0, when values is
 * NULL with n > 0, or when memory is short. n = 0 is an empty sample. */
MENSORA_C_API mensora_sample* mensora_sample_new(const double* values, int32_t n);

/* Missing values. With flags 0, mensora_sample_open makes the handle of
 * mensora_sample_new. With MENSORA_SKIP_MISSING, NaN values are missing: left
 * out of every measure and every class (a sample of missing values only is
 * empty), while ids, labels and deviations still give positions in the
 * caller's array (a missing value is in no class; its deviation is NaN).
 * The handle then copies the other values once, only when some are missing;
 * the caller's array is still read by no later call but must stay as it is
 * while the handle lives. MENSORA_OK with *out set, or MENSORA_ERROR_ARGUMENT
 * (n < 0, values NULL with n > 0, out NULL, unknown flags) or
 * MENSORA_ERROR_MEMORY, with *out set to NULL. */
#define MENSORA_SKIP_MISSING 1
MENSORA_C_API int mensora_sample_open(const double* values, int32_t n, int32_t flags,
                                      mensora_sample** out);
/* The number of values left out as missing (0 without MENSORA_SKIP_MISSING),
 * or -1 for a NULL handle. */
MENSORA_C_API int32_t mensora_sample_missing(const mensora_sample* sample);
/* The reason of this thread's last failed call, in plain English without a
 * final full stop ("step must not be 0"); "" before any failure. Valid until
 * the next failed call on this thread. */
MENSORA_C_API const char* mensora_last_reason(void);
/* The largest number of classes a call accepts for a sample of n values: the
 * larger of 2^20 and n (below 2^31 - 1). A larger k is refused before any
 * memory is taken, with MENSORA_ERROR_ARGUMENT. n is the sample's size
 * (mensora_sample_size). */
MENSORA_C_API int32_t mensora_class_limit(int32_t n);
/* Frees the handle and every array it handed out. NULL is allowed. */
MENSORA_C_API void mensora_sample_free(mensora_sample* sample);
/* The number of values of the caller's array (missing ones included), or -1
 * for a NULL handle. */
MENSORA_C_API int32_t mensora_sample_size(const mensora_sample* sample);

/* Means and mode. */
MENSORA_C_API double mensora_mean(mensora_sample* sample);           /* arithmetic mean */
MENSORA_C_API double mensora_frequency_mean(mensora_sample* sample); /* each value weighted by its own frequency */
MENSORA_C_API double mensora_geometric_mean(mensora_sample* sample); /* geometric mean */
/* The geometric mean into *out: 0 when a value is 0; MENSORA_ERROR_DATA, with
 * the reason, when no real geometric mean exists (a negative product, an
 * infinite or NaN value, or a product out of the range of doubles);
 * MENSORA_ERROR_EMPTY without values. */
MENSORA_C_API int mensora_geometric_mean_checked(mensora_sample* sample, double* out);
MENSORA_C_API double mensora_mode(mensora_sample* sample);           /* most frequent value, first in input order */

/* Order statistics. */
MENSORA_C_API double mensora_median(mensora_sample* sample);         /* median */
MENSORA_C_API double mensora_range(mensora_sample* sample);          /* maximum - minimum */
/* The smallest value into *min and the largest into *max. */
MENSORA_C_API int mensora_extremes(mensora_sample* sample, double* min, double* max);
/* Every step-th sorted value, from the smallest: *values receives
 * ceil(n / step) values (an array of the handle, valid until the next call of
 * this function), *count their number. step >= 1; a step beyond n gives the
 * smallest value. */
MENSORA_C_API int mensora_every_nth(mensora_sample* sample, int32_t step, const double** values,
                                    int32_t* count);

/* Deviation and shape measures (variance and standard deviation divide by n). */
/* The deviation of every value from the mean into out[0 .. n-1], n the
 * sample's size (mensora_sample_size; NaN at a missing value's position);
 * capacity is the length of out and must be at least n. */
MENSORA_C_API int mensora_deviations(mensora_sample* sample, double* out, int32_t capacity);
MENSORA_C_API double mensora_mean_abs_deviation(mensora_sample* sample);   /* mean absolute deviation */
MENSORA_C_API double mensora_sum_of_squares(mensora_sample* sample);       /* squared deviations from the mean, summed */
MENSORA_C_API double mensora_variance(mensora_sample* sample);             /* variance */
MENSORA_C_API double mensora_root_variance(mensora_sample* sample);        /* square root of the variance, as its own field */
MENSORA_C_API double mensora_std_deviation(mensora_sample* sample);        /* standard deviation */
MENSORA_C_API double mensora_variation_coefficient(mensora_sample* sample); /* standard deviation / mean */
MENSORA_C_API double mensora_skewness(mensora_sample* sample);             /* skewness statistic, g1 / sqrt(6/n) */
MENSORA_C_API double mensora_kurtosis(mensora_sample* sample);             /* excess kurtosis statistic, g2 / sqrt(24/n) */

/* Value window: the positions of the values with min <= value < max (a NaN
 * value lies in every window), ascending, into *ids (an array of the handle,
 * valid until the next selection that finds at least one value, even one
 * that then fails for memory) and their number into *count. Nothing found,
 * in an empty sample too, is a success with *count = 0 and *ids = NULL. */
MENSORA_C_API int mensora_select(mensora_sample* sample, double min, double max,
                                 const int32_t** ids, int32_t* count);

/* Class breaks. Each fills *out on success and leaves it untouched on failure.
 * k (and k_max, and the class count a step gives) is at most
 * mensora_class_limit(mensora_sample_size(sample)). A result with a NaN break
 * (from NaN or infinite values) is MENSORA_ERROR_DATA, *out untouched; the
 * set holds that result for mensora_class_fit and mensora_class_notes. Where the last class of equal, step and count classes
 * closes on its break (the maximum lies within the closing tolerance of it),
 * it takes the values within that tolerance: the larger of
 * MENSORA_EQ_TOLERANCE and 4 units in the last place of the break, so that
 * rounding of the breaks never leaves the maximum out at any magnitude. */
/* k classes of equal width between the minimum and the maximum. */
MENSORA_C_API int mensora_classify_equal(mensora_sample* sample, int32_t k, mensora_classes* out);
/* Classes of width step from start up to end (MENSORA_AUTO_MAX: the maximum);
 * their number is (end - start) / step truncated, at least 1. start and step
 * finite, step != 0. A number of classes out of range is
 * MENSORA_ERROR_ARGUMENT for a given end and MENSORA_ERROR_DATA when the end
 * is the maximum. */
MENSORA_C_API int mensora_classify_step(mensora_sample* sample, double start, double step,
                                        double end, mensora_classes* out);
/* k classes of equal width from start up to end (MENSORA_AUTO_MAX: the maximum). */
MENSORA_C_API int mensora_classify_count(mensora_sample* sample, double start, int32_t k,
                                         double end, mensora_classes* out);
/* k classes of about equal counts over the values that are not NaN. */
MENSORA_C_API int mensora_classify_quantile(mensora_sample* sample, int32_t k, mensora_classes* out);
/* k natural-breaks classes: the least total squared deviation from the class means. */
MENSORA_C_API int mensora_classify_natural(mensora_sample* sample, int32_t k, mensora_classes* out);
/* 2 * steps + 2 classes around the mean, each times standard deviations wide,
 * the outer two bounded by -/+MENSORA_HUGE_BOUND. steps >= 0, times >= 0, and
 * 2 * steps + 2 at most mensora_class_limit of the sample's size. */
MENSORA_C_API int mensora_classify_stddev(mensora_sample* sample, int32_t steps, double times,
                                          mensora_classes* out);
/* The stddev classes with members limited to min <= value <= max
 * (MENSORA_AUTO_MIN / MENSORA_AUTO_MAX: the data's extremes). */
MENSORA_C_API int mensora_classify_stddev_window(mensora_sample* sample, int32_t steps,
                                                 double times, double min, double max,
                                                 mensora_classes* out);

/* The caller's break_count breaks (at least 2, finite, ascending; equal
 * neighbours allowed): break_count - 1 classes, the last closed on its upper
 * break; values outside the breaks are in no class. */
MENSORA_C_API int mensora_classify_breaks(mensora_sample* sample, const double* breaks,
                                          int32_t break_count, mensora_classes* out);
/* About k classes between round numbers (1, 2 or 5 times a power of ten) over
 * the finite values; MENSORA_ERROR_DATA when no value is finite. */
MENSORA_C_API int mensora_classify_pretty(mensora_sample* sample, int32_t k, mensora_classes* out);
/* Head/tail breaks: the minimum, the successive means of the heads while a
 * head holds less than head_share (0 < head_share < 1) of its set, the maximum. */
MENSORA_C_API int mensora_classify_head_tail(mensora_sample* sample, double head_share,
                                             mensora_classes* out);
/* Six box-plot classes: -inf, q1 - h iqr, q1, median, q3, q3 + h iqr, +inf
 * for the finite hinge h >= 0. */
MENSORA_C_API int mensora_classify_box_plot(mensora_sample* sample, double hinge,
                                            mensora_classes* out);
/* k classes split in the middle of the k - 1 widest gaps between distinct values. */
MENSORA_C_API int mensora_classify_max_breaks(mensora_sample* sample, int32_t k,
                                              mensora_classes* out);
/* Breaks at the caller's count percentiles (at least 2, within 0 .. 100,
 * ascending), interpolated between order statistics: count - 1 classes. */
MENSORA_C_API int mensora_classify_percentile(mensora_sample* sample, const double* percents,
                                              int32_t count, mensora_classes* out);
/* k classes whose breaks grow by one ratio from the minimum to the maximum
 * (NaN aside); MENSORA_ERROR_DATA unless the minimum is above 0 and the
 * maximum finite. */
MENSORA_C_API int mensora_classify_geometric(mensora_sample* sample, int32_t k,
                                             mensora_classes* out);
/* Natural breaks with the fewest classes from 2 to k_max (2 <= k_max <
 * INT32_MAX) whose GVF (see mensora_fit) is at least min_gvf (0 .. 1); k_max
 * classes when none reaches it. The count chosen is out->class_count. */
MENSORA_C_API int mensora_classify_natural_auto(mensora_sample* sample, int32_t k_max,
                                                double min_gvf, mensora_classes* out);

/* Goodness of fit of a class result: squared deviations of the members from
 * their mean (sdam) and from their class means (sdcm), gvf = 1 - sdcm / sdam,
 * absolute deviations from the class medians (adcm) and the tabular accuracy
 * index (tai); gvf and tai are 1 when the members do not vary, NaN without
 * members. */
typedef struct mensora_fit {
  double sdam, sdcm, gvf, adcm, tai;
} mensora_fit;
/* The fit of the handle's current standard-deviation classes (std_classes
 * != 0) or range classes (0) into *out. MENSORA_ERROR_NO_RESULT when that set
 * holds no result: never classified, or its last class call failed for
 * memory after replacing an array (after any class call of the set that
 * failed for memory, a fit short of memory reports the same). */
MENSORA_C_API int mensora_class_fit(mensora_sample* sample, int32_t std_classes, mensora_fit* out);

/* What a class result leaves out: missing values (as mensora_sample_missing),
 * values that are not missing but in no class (outside the caller's breaks,
 * infinite under pretty breaks, outside a window, above the last break), and
 * classes without a member. Of the current standard-deviation classes
 * (std_classes != 0) or range classes (0); MENSORA_ERROR_NO_RESULT as for
 * mensora_class_fit. The struct has no typedef: its tag and the function
 * share the name, which C and C++ allow only for a tag. */
struct mensora_class_notes {
  int32_t missing, unclassified, empty_classes;
};
MENSORA_C_API int mensora_class_notes(mensora_sample* sample, int32_t std_classes,
                                      struct mensora_class_notes* out);

/* The closing tolerance of breaks from first_break to last_break (see the
 * class methods above): a last class closed by the rule holds the values v
 * with |v - last_break| below it. */
MENSORA_C_API double mensora_closing_tolerance(double first_break, double last_break);

/* The class of every position 0 .. n-1 of the sample into labels[0 .. n-1]:
 * the class index, or -1 for a value in no class (a value listed twice takes
 * the later class). n is the sample's size; an id outside 0 .. n-1 is
 * MENSORA_ERROR_ARGUMENT, with nothing written. */
MENSORA_C_API int mensora_class_labels(const mensora_classes* classes, int32_t n, int32_t* labels);

/* Progress and cancelling. A handler set on a thread is polled by the long
 * loops of the calls that thread makes (the natural-breaks classes, plain,
 * automatic and weighted), on that thread only, with the fraction of the
 * work done (0 .. 1, not always growing), often enough that a call answers
 * within a small part of a second. It returns 0 to go on; anything else stops
 * the call, which then returns MENSORA_ERROR_CANCELLED with every output
 * untouched, as after a failure for memory. The handler must not call the
 * library. A
 * NULL fn removes the handler; without one nothing is polled and results are
 * the same with or without it. */
typedef int (*mensora_progress_fn)(void* user_data, double fraction_done);
MENSORA_C_API void mensora_set_progress(mensora_progress_fn fn, void* user_data);

/* Working memory. A thread keeps the large working arrays its calls release
 * (the sorted view, the sort's buffers, the members of classes), so that its
 * next calls over as many values do not have the system clear and map that
 * memory again; arrays under 64 KiB are left to the system allocator. Each
 * thread keeps the arrays it released last, at most MENSORA_KEEP_MEMORY
 * mebibytes of them (an environment variable, read once: 128 when unset, 0
 * to keep nothing; in WebAssembly, whose memory never goes back to the
 * system, nothing is kept), and frees them when it ends. mensora_keep_memory
 * sets that limit for every thread and returns the one it replaces (a
 * negative limit is 0); mensora_release_memory frees what the calling thread
 * keeps now, for a long-lived thread after a large call. */
MENSORA_C_API int32_t mensora_keep_memory(int32_t mebibytes);
MENSORA_C_API void mensora_release_memory(void);

/* The k + 1 breaks of mensora_classify_natural / mensora_classify_quantile
 * over mensora_sample_open(values, n, flags, ...), into breaks, in one call
 * without a handle to keep: the same breaks, statuses and reasons. */
MENSORA_C_API int mensora_natural_breaks(const double* values, int32_t n, int32_t flags,
                                         int32_t k, double* breaks);
MENSORA_C_API int mensora_quantile_breaks(const double* values, int32_t n, int32_t flags,
                                          int32_t k, double* breaks);

/* Breaks of pre-aggregated data: values[i] stands for weights[i]
 * observations. values in any order, repeats allowed (their weights add); NaN
 * values are skipped; a weight that is negative, NaN or infinite is
 * MENSORA_ERROR_ARGUMENT; zero weights count as absent, and no positive
 * weight at all is MENSORA_ERROR_EMPTY (values that are all NaN give NaN
 * breaks). breaks receives k + 1 values. With whole-number weights the
 * breaks are those of mensora_classify_natural / mensora_classify_quantile
 * over the sample in which every value is repeated weight times, bit for bit
 * (natural breaks while the total stays below 2^53; quantile breaks for any
 * total, computed exactly). The quantile break s < k is the first value whose
 * cumulative weight exceeds s / k of the total, for any weights. The natural
 * breaks leave out a value whose weight is below 2^-53 of the total. */
MENSORA_C_API int mensora_natural_breaks_weighted(const double* values, const double* weights,
                                                  int32_t n, int32_t k, double* breaks);
MENSORA_C_API int mensora_quantile_breaks_weighted(const double* values, const double* weights,
                                                   int32_t n, int32_t k, double* breaks);

/* Legends. */

/* How the last class of a result ends: before its upper break (open), with
 * it (closed), or by the closing rule of the equal-width classes (equal, step,
 * count): closed, and taking the values less than the closing tolerance
 * (mensora_closing_tolerance) above the break, unless the largest value lies
 * that far or more from the break, then open. The standard-deviation classes
 * are open, the range classes of every other method closed. */
#define MENSORA_LAST_OPEN 0
#define MENSORA_LAST_CLOSED 1
#define MENSORA_LAST_CLOSING 2

/* The rule (MENSORA_LAST_*) of the handle's current standard-deviation
 * (std_classes != 0) or range classes into *rule; MENSORA_ERROR_NO_RESULT
 * when that set holds no result. */
MENSORA_C_API int mensora_class_rule(mensora_sample* sample, int32_t std_classes, int32_t* rule);

/* Round breaks for the handle's current standard-deviation (std_classes !=
 * 0) or range classes: each break becomes the number with the fewest
 * significant decimal digits (the nearest to the exact break among those)
 * that leaves the class of every value unchanged, "in no class" included; the
 * breaks stay in order, so empty classes keep theirs. A break with no value
 * beyond it moves out by at most the width of a class beside it. Infinite
 * breaks and the outer breaks of the standard-deviation classes stay, and so
 * do all breaks of a result whose breaks descend or are NaN. The counts and
 * ids are unchanged; the breaks array is rewritten in place and *out filled.
 * MENSORA_ERROR_NO_RESULT when the set holds no result. */
MENSORA_C_API int mensora_round_breaks(mensora_sample* sample, int32_t std_classes,
                                       mensora_classes* out);

/* The class of each of values[0 .. n-1] under breaks[0 .. break_count-1]
 * (at least 2, none NaN, never descending; infinite ends allowed) and a
 * MENSORA_LAST_* rule, into classes[0 .. n-1]: the class index, or -1 for a
 * value in no class (NaN always). MENSORA_LAST_CLOSING reads the largest of
 * these values. The classes of a handle's result are found again from its
 * breaks, its rule (mensora_class_rule) and its values (a sample whose last
 * value is NaN aside; members limited to a window by
 * mensora_classify_stddev_window aside). */
MENSORA_C_API int mensora_find_classes(const double* breaks, int32_t break_count, int32_t rule,
                                       const double* values, int32_t n, int32_t* classes);

/* Label flags. */
#define MENSORA_LABEL_INTERVAL 1  /* "[10, 20)" rather than "10 - 20" */
#define MENSORA_LABEL_THOUSANDS 2 /* "12,500" rather than "12500" */
#define MENSORA_LABEL_INTEGER 4   /* mensora_format_labels: the values are whole numbers */

/* Labels of class_count classes, one per line ('\n' between them), into
 * buffer as one text ending in '\0'. Each class reads "lo - hi" (with
 * MENSORA_LABEL_INTERVAL "[lo, hi)", "[lo, hi]" for a closed last class),
 * every number printed with the fewest decimals (shared by all) that keep the
 * distinct breaks apart and, where lowest and highest are given, put every
 * member on the side of its breaks where it lies. An outer break at or
 * beyond +/-MENSORA_HUGE_BOUND or infinite is open: "below 9.28", "74.97 or
 * more" ("(-inf, 9.28)", "[74.97, inf)"). With MENSORA_LABEL_INTEGER a class
 * reads from the first to the last whole number it can hold ("0 - 9",
 * "10 - 19"; "9 or less", "10 or more"). A class whose members are one value
 * reads as that value; an empty class ends in " (empty)".
 * breaks: class_count + 1 values; counts, lowest and highest (the smallest
 * and largest member of each class): class_count values each, or NULL when
 * not known. rule: MENSORA_LAST_*, CLOSING read as CLOSED.
 * *needed receives the size of the whole text with its '\0'; when capacity
 * is smaller the text is cut to capacity - 1 bytes and ended (nothing is
 * written with capacity 0, buffer may then be NULL), and the call still
 * succeeds: call again with a buffer of *needed bytes. */
MENSORA_C_API int mensora_format_labels(const double* breaks, int32_t class_count,
                                        const int32_t* counts, const double* lowest,
                                        const double* highest, int32_t rule, int32_t flags,
                                        char* buffer, int32_t capacity, int32_t* needed);

/* 1 when every value of values[0 .. n-1] that is finite is a whole number
 * below 2^53 in magnitude (labels then take MENSORA_LABEL_INTEGER), else 0;
 * 0 for NULL values with n > 0. */
MENSORA_C_API int32_t mensora_whole_numbers(const double* values, int32_t n);

/* What labels of the handle's current standard-deviation (std_classes != 0)
 * or range classes read from their members: the smallest and largest member
 * of each class into lowest[0 .. k-1] and highest[0 .. k-1] (NaN for an
 * empty class), and into *whole 1 when the sample's values take
 * MENSORA_LABEL_INTEGER (as mensora_whole_numbers finds), else 0. With them,
 * mensora_format_labels gives the text of mensora_class_labels_text later,
 * without the handle (rule: MENSORA_LAST_CLOSED when the last class holds
 * its upper break for this sample, else MENSORA_LAST_OPEN).
 * MENSORA_ERROR_NO_RESULT when the set holds no result. */
MENSORA_C_API int mensora_class_extremes(mensora_sample* sample, int32_t std_classes,
                                         double* lowest, double* highest, int32_t* whole);

/* What a binding copies out of the handle's current standard-deviation
 * (std_classes != 0) or range classes besides their breaks, counts and ids,
 * in one call: the fit, the notes and the rule (as mensora_class_fit,
 * mensora_class_notes and mensora_class_rule), whether the last class holds
 * its upper break for this sample (the rule as it fell out), and where not
 * NULL the class of every position into labels (mensora_sample_size entries,
 * as mensora_class_labels) and the members' extremes into lowest and highest
 * (as mensora_class_extremes, which also sets whole; else whole is 0).
 * *out is written only on success. */
typedef struct mensora_facts {
  mensora_fit fit;
  struct mensora_class_notes notes;
  int32_t rule;
  int32_t closed;
  int32_t whole;
} mensora_facts;
MENSORA_C_API int mensora_class_facts(mensora_sample* sample, int32_t std_classes,
                                      int32_t* labels, double* lowest, double* highest,
                                      mensora_facts* out);

/* mensora_format_labels for the handle's current standard-deviation
 * (std_classes != 0) or range classes, with their counts, the smallest and
 * largest member of each class, the rule as it fell out for this sample,
 * and MENSORA_LABEL_INTEGER as mensora_whole_numbers finds for its values
 * (the flag in flags is ignored). MENSORA_ERROR_NO_RESULT when the set holds no result. */
MENSORA_C_API int mensora_class_labels_text(mensora_sample* sample, int32_t std_classes,
                                            int32_t flags, char* buffer, int32_t capacity,
                                            int32_t* needed);

#ifdef __cplusplus
}
#endif

#endif /* MENSORA_C_H */
