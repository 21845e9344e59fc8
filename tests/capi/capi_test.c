/* The C interface from C: every function, its error statuses, and which
 * call keeps or replaces the arrays a handle hands out. Exits non-zero at the
 * first failed check. */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "mensora_c.h"

static int failures = 0;

#define CHECK(cond)                                                   \
  do {                                                                \
    if (!(cond)) {                                                    \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      ++failures;                                                     \
    }                                                                 \
  } while (0)

static int same_doubles(const double* a, const double* b, int n) {
  return memcmp(a, b, (size_t)n * sizeof(double)) == 0;
}

static int same_ints(const int32_t* a, const int32_t* b, int n) {
  return n == 0 || memcmp(a, b, (size_t)n * sizeof(int32_t)) == 0;
}

static void version_and_messages(void) {
  int status;
  CHECK(strcmp(mensora_version(), "2.0.0") == 0);
  for (status = -6; status <= 1; ++status) CHECK(mensora_status_message(status) != NULL);
  CHECK(strcmp(mensora_status_message(MENSORA_ERROR_MEMORY), "out of memory") == 0);
  CHECK(strcmp(mensora_status_message(MENSORA_OK), mensora_status_message(-99)) != 0);
}

static void handles_and_measures(void) {
  double values[] = {2, 4, 4, 4, 5, 5, 7, 9};
  double deviations[8];
  double min = 0, max = 0;
  const double* nth = NULL;
  int32_t count = 0;
  mensora_sample* s = mensora_sample_new(values, 8);

  CHECK(mensora_sample_new(values, -1) == NULL);
  CHECK(mensora_sample_new(NULL, 3) == NULL);
  CHECK(s != NULL && mensora_sample_size(s) == 8 && mensora_sample_size(NULL) == -1);
  mensora_sample_free(NULL);

  CHECK(mensora_mean(s) == 5 && mensora_median(s) == 4.5 && mensora_mode(s) == 4);
  CHECK(mensora_frequency_mean(s) == 74.0 / 16);
  CHECK(fabs(mensora_geometric_mean(s) - pow(2.0 * 4 * 4 * 4 * 5 * 5 * 7 * 9, 1.0 / 8)) < 1e-12);
  CHECK(mensora_range(s) == 7);
  CHECK(mensora_mean_abs_deviation(s) == 1.5 && mensora_sum_of_squares(s) == 32);
  CHECK(mensora_variance(s) == 4 && mensora_std_deviation(s) == 2 && mensora_root_variance(s) == 2);
  CHECK(mensora_variation_coefficient(s) == 0.4);
  CHECK(mensora_skewness(s) == 5.25 * sqrt(1.0 / 48));
  CHECK(mensora_kurtosis(s) == sqrt(1.0 / 3) * (89.0 / 32 - 3));
  CHECK(isnan(mensora_mean(NULL)) && isnan(mensora_median(NULL)) && isnan(mensora_kurtosis(NULL)));

  CHECK(mensora_extremes(s, &min, &max) == MENSORA_OK && min == 2 && max == 9);
  CHECK(mensora_extremes(s, NULL, &max) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_extremes(NULL, &min, &max) == MENSORA_ERROR_ARGUMENT);

  CHECK(mensora_every_nth(s, 3, &nth, &count) == MENSORA_OK && count == 3);
  CHECK(nth[0] == 2 && nth[1] == 4 && nth[2] == 7);
  CHECK(mensora_every_nth(s, 0, &nth, &count) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_every_nth(s, 100, &nth, &count) == MENSORA_OK && count == 1 && nth[0] == 2);

  CHECK(mensora_deviations(s, deviations, 7) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_deviations(s, NULL, 8) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_deviations(s, deviations, 8) == MENSORA_OK);
  CHECK(deviations[0] == -3 && deviations[7] == 4);
  mensora_sample_free(s);
}

static void empty_sample(void) {
  mensora_sample* s = mensora_sample_new(NULL, 0);
  mensora_classes out = {-7, NULL, NULL, NULL};
  const double* nth = NULL;
  const int32_t* ids = (const int32_t*)&out;
  int32_t count = -1;
  double min = 0, max = 0, dev = 0;

  CHECK(s != NULL && mensora_sample_size(s) == 0);
  CHECK(isnan(mensora_mean(s)) && isnan(mensora_median(s)) && isnan(mensora_variance(s)));
  CHECK(mensora_extremes(s, &min, &max) == MENSORA_ERROR_EMPTY);
  CHECK(mensora_every_nth(s, 1, &nth, &count) == MENSORA_ERROR_EMPTY);
  CHECK(mensora_deviations(s, &dev, 0) == MENSORA_ERROR_EMPTY);
  CHECK(mensora_classify_equal(s, 3, &out) == MENSORA_ERROR_EMPTY);
  CHECK(mensora_classify_natural(s, 3, &out) == MENSORA_ERROR_EMPTY);
  CHECK(mensora_classify_stddev(s, 1, 1.0, &out) == MENSORA_ERROR_EMPTY);
  CHECK(out.class_count == -7);
  CHECK(mensora_select(s, 0, 1, &ids, &count) == MENSORA_OK && count == 0 && ids == NULL);
  mensora_sample_free(s);
}

static void classes_and_labels(void) {
  double values[] = {4, 1, 3, 2, 5};
  mensora_sample* s = mensora_sample_new(values, 5);
  mensora_classes out, untouched = {-7, NULL, NULL, NULL};
  const int32_t ids_equal[] = {1, 3, 2, 0, 4}, counts_equal[] = {2, 3};
  const double breaks_equal[] = {1, 3, 5};
  int32_t labels[5] = {9, 9, 9, 9, 9};
  const int32_t labels_equal[] = {1, 0, 1, 0, 1}, nine[5] = {9, 9, 9, 9, 9};
  int32_t bad_ids[] = {0, 5};
  const mensora_classes bad = {1, breaks_equal, counts_equal, bad_ids};

  CHECK(mensora_classify_equal(s, 2, &out) == MENSORA_OK && out.class_count == 2);
  CHECK(same_doubles(out.breaks, breaks_equal, 3) && same_ints(out.counts, counts_equal, 2));
  CHECK(same_ints(out.ids, ids_equal, 5));
  CHECK(mensora_class_labels(&out, 5, labels) == MENSORA_OK && same_ints(labels, labels_equal, 5));
  memcpy(labels, nine, sizeof labels);
  CHECK(mensora_class_labels(&out, 4, labels) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_class_labels(&bad, 5, labels) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_class_labels(NULL, 5, labels) == MENSORA_ERROR_ARGUMENT);
  CHECK(same_ints(labels, nine, 5));

  CHECK(mensora_classify_step(s, 1, 1, MENSORA_AUTO_MAX, &out) == MENSORA_OK && out.class_count == 4);
  CHECK(mensora_classify_count(s, 0, 2, 4, &out) == MENSORA_OK && out.breaks[1] == 2);
  CHECK(mensora_classify_quantile(s, 5, &out) == MENSORA_OK && out.counts[4] == 1);
  CHECK(mensora_classify_natural(s, 2, &out) == MENSORA_OK && out.class_count == 2);
  CHECK(mensora_classify_stddev(s, 1, 1.0, &out) == MENSORA_OK && out.class_count == 4);
  CHECK(out.breaks[0] == -MENSORA_HUGE_BOUND && out.breaks[2] == 3);
  CHECK(mensora_classify_stddev_window(s, 0, 1.0, 2, 4, &out) == MENSORA_OK);
  CHECK(out.class_count == 2 && out.counts[0] == 1 && out.counts[1] == 2);

  /* Bad arguments and the data's own refusal leave *out untouched. */
  out = untouched;
  CHECK(mensora_classify_equal(s, 0, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_equal(NULL, 2, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_equal(s, 2, NULL) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_quantile(s, INT32_MAX, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_natural(s, -1, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_count(s, 0, 0, 4, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_step(s, 0, 0, 4, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_step(s, 0, NAN, MENSORA_AUTO_MAX, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_step(s, 3, 1, 2, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_step(s, 3, 5, MENSORA_AUTO_MAX, &out) == MENSORA_ERROR_DATA);
  CHECK(mensora_classify_stddev(s, -1, 1.0, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_stddev_window(s, 1, -1.0, 0, 9, &out) == MENSORA_ERROR_ARGUMENT);
  /* Steps that would make more classes than the limit, not a huge allocation. */
  CHECK(mensora_classify_stddev(s, 1 << 19, 1.0, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_stddev_window(s, 1000000000, 1.0, 0, 9, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(out.class_count == -7 && out.breaks == NULL);
  mensora_sample_free(s);
}

/* Range classes replace the arrays of every earlier range-class call; the
 * standard-deviation classes keep their own. A selection that finds nothing
 * keeps the earlier ids. The sanitizer and valgrind runs catch any read of a
 * released array here. */
static void lifetimes(void) {
  double values[] = {2, 4, 4, 4, 5, 5, 7, 9};
  mensora_sample* s = mensora_sample_new(values, 8);
  mensora_classes range, std, again;
  const int32_t std_counts[] = {1, 3, 2, 2};
  const int32_t* ids = NULL;
  const int32_t* kept = NULL;
  const double* nth = NULL;
  int32_t count = 0, kept_count = 0, nth_count = 0;

  CHECK(mensora_every_nth(s, 2, &nth, &nth_count) == MENSORA_OK && nth_count == 4);
  CHECK(mensora_classify_stddev(s, 1, 1.0, &std) == MENSORA_OK);
  CHECK(mensora_classify_equal(s, 3, &range) == MENSORA_OK);
  CHECK(mensora_classify_natural(s, 2, &again) == MENSORA_OK);
  CHECK(mensora_classify_quantile(s, 4, &range) == MENSORA_OK);
  /* range now holds the quantile arrays; std survived three range calls. */
  CHECK(same_ints(std.counts, std_counts, 4) && std.breaks[2] == 5);
  CHECK(range.class_count == 4 && range.breaks[4] == 9);
  CHECK(nth[0] == 2 && nth[3] == 7);

  CHECK(mensora_select(s, 4, 6, &kept, &kept_count) == MENSORA_OK && kept_count == 5);
  CHECK(mensora_select(s, 20, 30, &ids, &count) == MENSORA_OK && count == 0 && ids == NULL);
  CHECK(kept[0] == 1 && kept[4] == 5);
  CHECK(mensora_select(s, 9, MENSORA_AUTO_MAX, &ids, &count) == MENSORA_OK && count == 1 && ids[0] == 7);
  CHECK(mensora_select(s, 0, 1, NULL, &count) == MENSORA_ERROR_ARGUMENT);
  mensora_sample_free(s);
}

/* The methods beyond equal, step, count, quantile and natural, over a sample
 * whose sorted values are 1 2 3 5 7 12 30 and a NaN (in no class). */
static void more_methods(void) {
  double values[] = {3, 1, 7, 2, 30, 5, 12, NAN};
  double no_finite[] = {INFINITY, NAN, -INFINITY}, not_positive[] = {0, 4}, unbounded[] = {1, INFINITY};
  mensora_sample* s = mensora_sample_new(values, 8);
  mensora_sample* bad_data[3];
  mensora_classes out, untouched = {-7, NULL, NULL, NULL};
  const double given[] = {0, 4, 10, 40}, percents[] = {0, 50, 100};
  const double bad_breaks[][3] = {{0, NAN, 1}, {0, INFINITY, INFINITY}, {2, 1, 3}};
  const double bad_percents[][3] = {{-1, 0, 50}, {0, 50, 100.5}, {50, 0, 100}};
  const double pretty[] = {0, 10, 20, 30}, head_tail[] = {1, 60.0 / 7, 21, 30};
  const double box[] = {-INFINITY, -8, 2.5, 5, 9.5, 20, INFINITY}, gaps[] = {1, 9.5, 21, 30};
  const int32_t given_counts[] = {3, 2, 2}, box_counts[] = {0, 2, 1, 2, 1, 1}, head[] = {5, 1, 1};
  int i;

  CHECK(mensora_classify_breaks(s, given, 4, &out) == MENSORA_OK && out.class_count == 3);
  CHECK(same_ints(out.counts, given_counts, 3) && out.ids[6] == 4);
  CHECK(mensora_classify_pretty(s, 3, &out) == MENSORA_OK && same_doubles(out.breaks, pretty, 4));
  CHECK(same_ints(out.counts, head, 3));
  CHECK(mensora_classify_head_tail(s, 0.4, &out) == MENSORA_OK && same_doubles(out.breaks, head_tail, 4));
  CHECK(mensora_classify_box_plot(s, 1.5, &out) == MENSORA_OK && same_doubles(out.breaks, box, 7));
  CHECK(same_ints(out.counts, box_counts, 6));
  CHECK(mensora_classify_max_breaks(s, 3, &out) == MENSORA_OK && same_doubles(out.breaks, gaps, 4));
  CHECK(mensora_classify_percentile(s, percents, 3, &out) == MENSORA_OK && out.class_count == 2);
  CHECK(out.breaks[1] == 5 && out.counts[0] == 3 && out.counts[1] == 4);
  CHECK(mensora_classify_geometric(s, 3, &out) == MENSORA_OK && same_ints(out.counts, given_counts, 3));
  CHECK(fabs(out.breaks[1] - cbrt(30.0)) < 1e-14 && out.breaks[3] == 30);
  /* The fewest classes that reach the GVF: 2 for 0.8, 4 for 0.99. */
  CHECK(mensora_classify_natural_auto(s, 5, 0.8, &out) == MENSORA_OK && out.class_count == 2);
  CHECK(mensora_classify_natural_auto(s, 5, 0.99, &out) == MENSORA_OK && out.class_count == 4);
  CHECK(out.breaks[2] == 12 && out.counts[3] == 1);

  out = untouched;
  for (i = 0; i < 3; ++i) {
    CHECK(mensora_classify_breaks(s, bad_breaks[i], 3, &out) == MENSORA_ERROR_ARGUMENT);
    CHECK(mensora_classify_percentile(s, bad_percents[i], 3, &out) == MENSORA_ERROR_ARGUMENT);
  }
  CHECK(mensora_classify_breaks(s, given, 1, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_breaks(s, NULL, 4, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_percentile(s, NULL, 3, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_percentile(NULL, percents, 3, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_pretty(s, 0, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_pretty(s, INT32_MAX, &out) == MENSORA_ERROR_ARGUMENT);
  /* A round-number scale of more than INT32_MAX - 1 classes. */
  CHECK(mensora_classify_pretty(s, INT32_MAX - 1, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_head_tail(s, 0, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_head_tail(s, 1, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_head_tail(s, NAN, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_box_plot(s, -0.5, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_box_plot(s, INFINITY, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_max_breaks(s, 0, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_geometric(s, -2, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_natural_auto(s, 1, 0.8, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_natural_auto(s, INT32_MAX, 0.8, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_natural_auto(s, 5, 1.5, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_natural_auto(s, 5, NAN, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_classify_natural_auto(s, 5, 0.8, NULL) == MENSORA_ERROR_ARGUMENT);

  /* Samples the method cannot classify. */
  bad_data[0] = mensora_sample_new(no_finite, 3);
  bad_data[1] = mensora_sample_new(not_positive, 2);
  bad_data[2] = mensora_sample_new(unbounded, 2);
  CHECK(mensora_classify_pretty(bad_data[0], 4, &out) == MENSORA_ERROR_DATA);
  for (i = 0; i < 3; ++i) {
    CHECK(mensora_classify_geometric(bad_data[i], 4, &out) == MENSORA_ERROR_DATA);
    mensora_sample_free(bad_data[i]);
  }
  CHECK(out.class_count == -7 && out.breaks == NULL);
  mensora_sample_free(s);
}

/* The fit of each class set: a worked example, and which calls leave a set
 * with or without a result. */
static void class_fit(void) {
  double values[] = {3, 1, 7, 2, 30, 5, 12, NAN};
  double negative[] = {-1, 2, 3};
  mensora_sample* s = NULL;
  mensora_sample* legacy = mensora_sample_new(values, 8);
  mensora_sample* e = mensora_sample_new(NULL, 0);
  mensora_sample* n = mensora_sample_new(negative, 3);
  mensora_classes out;
  mensora_fit fit, untouched = {-1, -1, -1, -1, -1};
  const double given[] = {0, 4, 10, 40};

  CHECK(mensora_sample_open(values, 8, MENSORA_SKIP_MISSING, &s) == MENSORA_OK);
  fit = untouched;
  CHECK(mensora_class_fit(s, 0, &fit) == MENSORA_ERROR_NO_RESULT);
  CHECK(mensora_class_fit(s, 1, &fit) == MENSORA_ERROR_NO_RESULT);
  CHECK(memcmp(&fit, &untouched, sizeof fit) == 0);
  CHECK(strcmp(mensora_status_message(MENSORA_ERROR_NO_RESULT), "no class result to measure") == 0);

  /* Classes {1 2 3} {5 7} {12 30}; the mean of all is 60/7. */
  CHECK(mensora_classify_breaks(s, given, 4, &out) == MENSORA_OK);
  CHECK(mensora_class_fit(s, 0, &fit) == MENSORA_OK);
  CHECK(fabs(fit.sdam - (1132 - 3600.0 / 7)) < 1e-9 && fit.sdcm == 166 && fit.adcm == 22);
  CHECK(fit.gvf == 1 - fit.sdcm / fit.sdam && fabs(fit.tai - (1 - 22 / (348.0 / 7))) < 1e-12);
  CHECK(mensora_class_fit(s, 1, &fit) == MENSORA_ERROR_NO_RESULT);
  CHECK(mensora_classify_stddev(s, 0, 1.0, &out) == MENSORA_OK);
  CHECK(mensora_class_fit(s, 1, &fit) == MENSORA_OK && fit.sdam > 0 && fit.gvf < 1);
  /* Without skipping, the NaN makes the mean and so the breaks NaN: an error. */
  CHECK(mensora_classify_stddev(legacy, 0, 1.0, &out) == MENSORA_ERROR_DATA);
  CHECK(strstr(mensora_last_reason(), "NaN") != NULL);
  /* A call refused for its arguments keeps the result. */
  CHECK(mensora_classify_pretty(s, 0, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_class_fit(s, 0, &fit) == MENSORA_OK && fit.sdcm == 166);

  /* So does a call refused for the data; one value in no class adds nothing. */
  CHECK(mensora_classify_count(n, 0, 1, 3, &out) == MENSORA_OK && out.counts[0] == 2);
  CHECK(mensora_classify_geometric(n, 2, &out) == MENSORA_ERROR_DATA);
  CHECK(mensora_class_fit(n, 0, &fit) == MENSORA_OK && fit.sdam == 0.5 && fit.gvf == 0);

  CHECK(mensora_class_fit(e, 0, &fit) == MENSORA_ERROR_EMPTY);
  CHECK(mensora_class_fit(NULL, 0, &fit) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_class_fit(s, 0, NULL) == MENSORA_ERROR_ARGUMENT);
  mensora_sample_free(s);
  mensora_sample_free(legacy);
  mensora_sample_free(e);
  mensora_sample_free(n);
}

static void weighted_breaks(void) {
  /* values and their counts in any order, a repeated value, a zero weight
   * and a NaN; the same sample written out. */
  const double values[] = {5, 1, 9, 5, 3, NAN, 7};
  const double counts[] = {2, 3, 1, 1, 0, 4, 2};
  double expanded[] = {1, 1, 1, 5, 5, 5, 9, 7, 7, NAN, NAN, NAN, NAN};
  mensora_sample* s = mensora_sample_new(expanded, 13);
  mensora_classes out;
  double breaks[5], untouched[5] = {-1, -1, -1, -1, -1};
  const double bad_weights[][1] = {{-1}, {NAN}, {INFINITY}};
  const double one = 1, zero = 0, nan_value = NAN;
  int k, i;

  for (k = 1; k <= 4; ++k) {
    CHECK(mensora_natural_breaks_weighted(values, counts, 7, k, breaks) == MENSORA_OK);
    CHECK(mensora_classify_natural(s, k, &out) == MENSORA_OK && same_doubles(breaks, out.breaks, k + 1));
    CHECK(mensora_quantile_breaks_weighted(values, counts, 7, k, breaks) == MENSORA_OK);
    CHECK(mensora_classify_quantile(s, k, &out) == MENSORA_OK && same_doubles(breaks, out.breaks, k + 1));
  }
  mensora_sample_free(s);

  memcpy(breaks, untouched, sizeof breaks);
  for (i = 0; i < 3; ++i) {
    CHECK(mensora_natural_breaks_weighted(&one, bad_weights[i], 1, 2, breaks) == MENSORA_ERROR_ARGUMENT);
    CHECK(mensora_quantile_breaks_weighted(&one, bad_weights[i], 1, 2, breaks) == MENSORA_ERROR_ARGUMENT);
  }
  CHECK(mensora_natural_breaks_weighted(values, counts, 7, 0, breaks) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_quantile_breaks_weighted(values, NULL, 7, 2, breaks) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_quantile_breaks_weighted(values, counts, -1, 2, breaks) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_natural_breaks_weighted(values, counts, 7, 2, NULL) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_natural_breaks_weighted(&one, &zero, 1, 2, breaks) == MENSORA_ERROR_EMPTY);
  CHECK(mensora_quantile_breaks_weighted(NULL, NULL, 0, 2, breaks) == MENSORA_ERROR_EMPTY);
  CHECK(same_doubles(breaks, untouched, 5));
  CHECK(mensora_quantile_breaks_weighted(&nan_value, &one, 1, 2, breaks) == MENSORA_OK);
  CHECK(isnan(breaks[0]) && isnan(breaks[2]));
}

/* Counts far beyond 2^31: 3e9 ones, 1e9 twos and 2e9 threes (6e9 values);
 * the quartile positions are 1.5e9, 3e9 and 4.5e9. */
static void huge_counts(void) {
  const double values[] = {3, 1, 2};
  const double counts[] = {2e9, 3e9, 1e9};
  const double expected[] = {1, 1, 2, 3, 3};
  const double halves[] = {0.5, 0.25, 0.25};
  double breaks[5];
  CHECK(mensora_quantile_breaks_weighted(values, counts, 3, 4, breaks) == MENSORA_OK);
  CHECK(same_doubles(breaks, expected, 5));
  CHECK(mensora_natural_breaks_weighted(values, counts, 3, 2, breaks) == MENSORA_OK);
  CHECK(breaks[0] == 1 && breaks[1] == 2 && breaks[2] == 3);
  /* Real weights: the first half of the weight ends exactly with the value
   * 2, so break 1 is the next value. */
  CHECK(mensora_quantile_breaks_weighted(values, halves, 3, 2, breaks) == MENSORA_OK);
  CHECK(breaks[0] == 1 && breaks[1] == 3 && breaks[2] == 3);
}

/* A progress handler that counts its polls, checks the fractions and asks to
 * stop at poll number stop_at (0: never). */
typedef struct poll_log {
  int polls, stop_at, bad_fraction;
} poll_log;

static int log_poll(void* user_data, double fraction_done) {
  poll_log* log = (poll_log*)user_data;
  if (!(fraction_done >= 0 && fraction_done <= 1)) log->bad_fraction = 1;
  return ++log->polls == log->stop_at;
}

static void progress_and_cancel(void) {
  /* Enough distinct values for the layers to be shared out among threads. */
  enum { n = 40000, k = 6 };
  static double values[n], weights[n], plain[n + 1], watched[k + 1];
  double wbreaks[k + 1];
  const mensora_classes untouched = {-7, NULL, NULL, NULL};
  mensora_classes first, out = untouched;
  poll_log log = {0, 0, 0};
  int32_t i;
  mensora_sample* s;

  for (i = 0; i < n; ++i) {
    values[i] = (double)((i * 7919) % n) + (double)(i % 3) / 4;
    weights[i] = (double)(1 + i % 5);
  }
  s = mensora_sample_new(values, n);
  CHECK(mensora_classify_natural(s, k, &first) == MENSORA_OK);
  memcpy(plain, first.breaks, (k + 1) * sizeof(double));

  /* Watched and let run: the same result, bit for bit. */
  mensora_set_progress(log_poll, &log);
  CHECK(mensora_classify_natural(s, k, &out) == MENSORA_OK);
  CHECK(log.polls >= k && !log.bad_fraction);
  CHECK(out.class_count == k && same_doubles(out.breaks, plain, k + 1));

  /* Stopped, in the first poll and in the third: nothing written. The
   * calling thread polls once at the start, once as each layer begins and
   * in the ranges of a layer it solves itself, and how many of those it
   * takes depends on the other threads, so the third poll is the latest
   * every call makes: within the first layer, or as the second begins. */
  for (log.stop_at = 1; log.stop_at <= 3; log.stop_at += 2) {
    log.polls = 0;
    out = untouched;
    CHECK(mensora_classify_natural(s, k, &out) == MENSORA_ERROR_CANCELLED);
    CHECK(out.class_count == -7 && out.breaks == NULL && log.polls == log.stop_at);
    log.polls = 0;
    CHECK(mensora_classify_natural_auto(s, 8, 0.999, &out) == MENSORA_ERROR_CANCELLED);
    log.polls = 0;
    wbreaks[0] = -1;
    CHECK(mensora_natural_breaks_weighted(values, weights, n, k, wbreaks) ==
          MENSORA_ERROR_CANCELLED);
    CHECK(wbreaks[0] == -1 && out.class_count == -7);
  }
  /* A stop belongs to the call that was stopped: the next call runs. */
  log.stop_at = 0;
  CHECK(mensora_natural_breaks_weighted(values, weights, n, k, watched) == MENSORA_OK);
  CHECK(strcmp(mensora_status_message(MENSORA_ERROR_CANCELLED), "cancelled") == 0);
  CHECK(strcmp(mensora_last_reason(), "cancelled") == 0);

  mensora_set_progress(NULL, &log);
  log.polls = 0;
  CHECK(mensora_classify_natural(s, k, &out) == MENSORA_OK && log.polls == 0);
  CHECK(same_doubles(out.breaks, plain, k + 1));
  CHECK(mensora_natural_breaks_weighted(values, weights, n, k, wbreaks) == MENSORA_OK);
  CHECK(same_doubles(wbreaks, watched, k + 1));
  mensora_sample_free(s);
}

/* Missing values left out: measures and classes over the present values,
 * ids, labels and deviations in the caller's positions; the notes, the
 * limit on k, the checked geometric mean and a reason for every refusal. */
static void missing_values(void) {
  const double values[] = {NAN, 4, NAN, NAN, 1, 2, NAN};
  const double plain[] = {1, 4, 2};
  const double none[] = {NAN, NAN};
  const double breaks[] = {1, 2, 3};
  const int32_t members[] = {4, 5, 1};
  double deviations[7], min = 0, max = 0, mean = -1;
  int32_t labels[7];
  const int32_t* ids = NULL;
  int32_t count = 0;
  mensora_classes out;
  struct mensora_class_notes notes;
  mensora_sample* s = NULL;
  mensora_sample* p = NULL;
  mensora_sample* e = NULL;

  CHECK(mensora_sample_open(values, 7, MENSORA_SKIP_MISSING, &s) == MENSORA_OK);
  CHECK(mensora_sample_size(s) == 7 && mensora_sample_missing(s) == 4);
  CHECK(mensora_sample_missing(NULL) == -1);
  CHECK(mensora_mean(s) == 7.0 / 3 && mensora_median(s) == 2 && mensora_range(s) == 3);
  CHECK(mensora_extremes(s, &min, &max) == MENSORA_OK && min == 1 && max == 4);
  CHECK(mensora_deviations(s, deviations, 6) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_deviations(s, deviations, 7) == MENSORA_OK);
  CHECK(isnan(deviations[0]) && deviations[1] == 4 - 7.0 / 3 && isnan(deviations[6]));
  CHECK(mensora_select(s, 2, 5, &ids, &count) == MENSORA_OK && count == 2);
  CHECK(ids[0] + ids[1] == 6 && ids[0] * ids[1] == 5);
  CHECK(mensora_classify_quantile(s, 3, &out) == MENSORA_OK && same_ints(out.ids, members, 3));
  CHECK(mensora_class_labels(&out, 7, labels) == MENSORA_OK);
  CHECK(labels[0] == -1 && labels[1] == 2 && labels[4] == 0 && labels[5] == 1 && labels[6] == -1);
  CHECK(mensora_class_notes(s, 0, &notes) == MENSORA_OK);
  CHECK(notes.missing == 4 && notes.unclassified == 0 && notes.empty_classes == 0);
  /* Given breaks leave 4 out; five classes over three values leave two empty. */
  CHECK(mensora_classify_breaks(s, breaks, 3, &out) == MENSORA_OK);
  CHECK(mensora_class_notes(s, 0, &notes) == MENSORA_OK && notes.unclassified == 1);
  CHECK(mensora_classify_natural(s, 5, &out) == MENSORA_OK);
  CHECK(mensora_class_notes(s, 0, &notes) == MENSORA_OK && notes.empty_classes == 2);
  CHECK(mensora_class_notes(s, 1, &notes) == MENSORA_ERROR_NO_RESULT);
  CHECK(mensora_geometric_mean_checked(s, &mean) == MENSORA_OK && fabs(mean - 2) < 1e-15);

  /* Nothing missing: the caller's array itself, bit for bit the classes of mensora_sample_new. */
  CHECK(mensora_sample_open(plain, 3, MENSORA_SKIP_MISSING, &p) == MENSORA_OK);
  CHECK(mensora_sample_missing(p) == 0 && mensora_classify_quantile(p, 3, &out) == MENSORA_OK);
  mensora_sample_free(p);
  CHECK(mensora_sample_open(values, 7, 0, &p) == MENSORA_OK && mensora_sample_missing(p) == 0);
  CHECK(isnan(mensora_mean(p)));
  mensora_sample_free(p);

  /* All missing: an empty sample whose reason says so. */
  CHECK(mensora_sample_open(none, 2, MENSORA_SKIP_MISSING, &e) == MENSORA_OK);
  CHECK(mensora_classify_equal(e, 2, &out) == MENSORA_ERROR_EMPTY);
  CHECK(strstr(mensora_last_reason(), "all 2 are missing") != NULL);
  mensora_sample_free(e);

  CHECK(mensora_sample_open(values, 7, 2, &p) == MENSORA_ERROR_ARGUMENT && p == NULL);
  CHECK(mensora_sample_open(values, -1, 0, &p) == MENSORA_ERROR_ARGUMENT);
  CHECK(mensora_sample_open(values, 7, 0, NULL) == MENSORA_ERROR_ARGUMENT);

  /* The limit on k, refused with one wording. */
  CHECK(mensora_class_limit(3) == 1 << 20 && mensora_class_limit(5000000) == 5000000);
  CHECK(mensora_class_limit(INT32_MAX) == INT32_MAX - 1);
  CHECK(mensora_classify_natural(s, 100000000, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(strcmp(mensora_last_reason(), "100000000 classes for 7 values: at most 1048576 "
                                      "(the larger of 1048576 and the number of values)") == 0);
  CHECK(mensora_classify_step(s, 0, 1e-9, 999, &out) == MENSORA_ERROR_DATA);
  CHECK(strstr(mensora_last_reason(), "at most 1048576") != NULL);
  CHECK(mensora_classify_step(s, 0, 0, 5, &out) == MENSORA_ERROR_ARGUMENT);
  CHECK(strstr(mensora_last_reason(), "step") != NULL);
  {
    const double percents[] = {0, 50, 120};
    const double weights[] = {1, -1};
    double wbreaks[3];
    CHECK(mensora_classify_percentile(s, percents, 3, &out) == MENSORA_ERROR_ARGUMENT);
    CHECK(strstr(mensora_last_reason(), "120 is out of [0, 100]") != NULL);
    CHECK(mensora_quantile_breaks_weighted(plain, weights, 2, 2, wbreaks) == MENSORA_ERROR_ARGUMENT);
    CHECK(strstr(mensora_last_reason(), "weight 1 is -1") != NULL);
  }
  mensora_sample_free(s);

  /* The geometric mean without a real value; a zero still gives 0. */
  {
    const double negative[] = {-1, 2, 3};
    const double zero[] = {-1, 0, 3};
    const double huge[] = {1e300, 1e300, -1e300, -1e300, INFINITY};
    CHECK(mensora_sample_open(negative, 3, 0, &p) == MENSORA_OK);
    CHECK(mensora_geometric_mean_checked(p, &mean) == MENSORA_ERROR_DATA && mean == 2);
    CHECK(strstr(mensora_last_reason(), "negative") != NULL);
    CHECK(mensora_classify_geometric(p, 2, &out) == MENSORA_ERROR_DATA);
    CHECK(strstr(mensora_last_reason(), "smallest value above 0") != NULL);
    mensora_sample_free(p);
    CHECK(mensora_sample_open(zero, 3, 0, &p) == MENSORA_OK);
    CHECK(mensora_geometric_mean_checked(p, &mean) == MENSORA_OK && mean == 0);
    mensora_sample_free(p);
    CHECK(mensora_sample_open(huge, 5, 0, &p) == MENSORA_OK);
    CHECK(mensora_geometric_mean_checked(p, &mean) == MENSORA_ERROR_DATA);
    CHECK(strstr(mensora_last_reason(), "infinite") != NULL);
    /* Equal classes over an infinity have NaN breaks: an error, not a table. */
    CHECK(mensora_classify_equal(p, 2, &out) == MENSORA_ERROR_DATA);
    CHECK(strstr(mensora_last_reason(), "NaN") != NULL);
    mensora_sample_free(p);
  }
}

int main(void) {
  version_and_messages();
  handles_and_measures();
  empty_sample();
  classes_and_labels();
  lifetimes();
  more_methods();
  class_fit();
  weighted_breaks();
  huge_counts();
  progress_and_cancel();
  missing_values();
  if (failures != 0) {
    fprintf(stderr, "%d checks failed\n", failures);
    return 1;
  }
  printf("C interface: all checks passed\n");
  return 0;
}
