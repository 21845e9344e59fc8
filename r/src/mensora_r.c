/* The R entry points of the package: thin glue between R's vectors and the
 * library's C interface. Every rule (classes, closing, fit, reasons) is the
 * library's; this file only moves values in and out.
 *
 * A failed library call returns a character vector holding the library's
 * reason, with the status as its "status" attribute; the R code turns it into
 * a condition. Handles live in external pointers with a finalizer, so an R
 * error (out of memory while building a result) cannot leak them. */
#include <stdint.h>
#include <string.h>

#define R_NO_REMAP
#include <R.h>
#include <Rinternals.h>
#include <R_ext/Rdynload.h>

#include "mensora_c.h"

/* A sample over an R double vector; NA and NaN values are missing, left out
 * by the library, which still gives ids and labels in positions of x. */
typedef struct {
  mensora_sample* sample;
  int32_t n;       /* length of x */
  int32_t missing; /* values left out */
  SEXP holder;     /* the external pointer that owns `sample` */
} r_sample;

static void free_handle(SEXP holder) {
  mensora_sample* s = (mensora_sample*)R_ExternalPtrAddr(holder);
  if (s != NULL) {
    mensora_sample_free(s);
    R_ClearExternalPtr(holder);
  }
}

static int32_t vector_length(SEXP x) {
  if (XLENGTH(x) > INT32_MAX) Rf_error("mensora: at most 2147483647 values");
  return (int32_t)XLENGTH(x);
}

/* The library's reason for the last failed call on this thread. */
static SEXP failure(int status) {
  SEXP text = PROTECT(Rf_mkString(mensora_last_reason()));
  Rf_setAttrib(text, Rf_install("status"), Rf_ScalarInteger(status));
  UNPROTECT(1);
  return text;
}

/* Opens a sample over x (a double vector); leaves the holder PROTECTed. */
static void open_sample(SEXP x, r_sample* out) {
  out->n = vector_length(x);
  out->holder = PROTECT(R_MakeExternalPtr(NULL, R_NilValue, R_NilValue));
  R_RegisterCFinalizerEx(out->holder, free_handle, TRUE);
  if (mensora_sample_open(REAL(x), out->n, MENSORA_SKIP_MISSING, &out->sample) != MENSORA_OK) {
    Rf_error("mensora: %s", mensora_last_reason());
  }
  R_SetExternalPtrAddr(out->holder, out->sample);
  out->missing = mensora_sample_missing(out->sample);
}

/* The failure of a call on a sample, with the number of missing values left
 * out (warned about before the error). */
static SEXP close_with_failure(r_sample* s, int status) {
  SEXP text = PROTECT(failure(status));
  free_handle(s->holder);
  Rf_setAttrib(text, Rf_install("missing"), Rf_ScalarInteger(s->missing));
  UNPROTECT(2);
  return text;
}

/* Ctrl-C in R stops a long call: while it runs, the library polls a handler
 * on this thread, which asks R whether the user interrupted. R_ToplevelExec
 * keeps R's interrupt from jumping out through the library; the call then
 * ends with MENSORA_ERROR_CANCELLED and its reason. Libraries without the
 * handler are not interrupted. */
#ifdef MENSORA_ERROR_CANCELLED
static void check_interrupt(void* unused) {
  (void)unused;
  R_CheckUserInterrupt();
}

static int interrupted(void* unused, double done) {
  (void)unused;
  (void)done;
  return R_ToplevelExec(check_interrupt, NULL) ? 0 : 1;
}

static void watch_interrupts(int on) { mensora_set_progress(on ? interrupted : NULL, NULL); }
#else
static void watch_interrupts(int on) { (void)on; }
#endif

/* One class call by its name; args holds the method's numbers. */
static int run_method(mensora_sample* s, const char* m, int32_t k, const double* a, int32_t na,
                      int* std_set, mensora_classes* c) {
  const double a0 = na > 0 ? a[0] : R_NaN; /* the library refuses a NaN argument */
  *std_set = 0;
  if (strcmp(m, "natural") == 0) return mensora_classify_natural(s, k, c);
  if (strcmp(m, "natural_auto") == 0) return mensora_classify_natural_auto(s, k, a0, c);
  if (strcmp(m, "equal") == 0) return mensora_classify_equal(s, k, c);
  if (strcmp(m, "quantile") == 0) return mensora_classify_quantile(s, k, c);
  if (strcmp(m, "quantile7") == 0) {
    /* R's quantiles of type 7: the percentiles 100 s / k, s = 0 .. k. A k
     * out of the library's range is refused (with its reason) by the equal
     * classes before any array of that size is made. */
    if (k < 1 || k > mensora_class_limit(mensora_sample_size(s))) {
      return mensora_classify_equal(s, k, c);
    }
    double* percents = (double*)R_alloc((size_t)k + 1, sizeof(double));
    for (int32_t i = 0; i <= k; ++i) percents[i] = 100.0 * i / k;
    return mensora_classify_percentile(s, percents, k + 1, c);
  }
  if (strcmp(m, "percentile") == 0) return mensora_classify_percentile(s, a, na, c);
  if (strcmp(m, "breaks") == 0) return mensora_classify_breaks(s, a, na, c);
  if (strcmp(m, "pretty") == 0) return mensora_classify_pretty(s, k, c);
  if (strcmp(m, "headtail") == 0) return mensora_classify_head_tail(s, a0, c);
  if (strcmp(m, "box") == 0) return mensora_classify_box_plot(s, a0, c);
  if (strcmp(m, "maxbreaks") == 0) return mensora_classify_max_breaks(s, k, c);
  if (strcmp(m, "geometric") == 0) return mensora_classify_geometric(s, k, c);
  if (strcmp(m, "stddev") == 0) {
    *std_set = 1;
    return mensora_classify_stddev(s, k, a0, c);
  }
  return MENSORA_ERROR_ARGUMENT;
}

/* classes(x, method, k, args): list(brks, counts, classes, fit, missing,
 * distinct values, values in no class, empty classes), or the reason of the
 * failure. `classes` is 1-based with
 * NA for a value in no class and for a missing value. */
SEXP mensora_r_classify(SEXP x, SEXP method, SEXP k, SEXP args) {
  r_sample s;
  open_sample(x, &s);
  mensora_classes c;
  int std_set = 0;
  watch_interrupts(1);
  const int status = run_method(s.sample, CHAR(STRING_ELT(method, 0)), INTEGER(k)[0], REAL(args),
                                (int32_t)XLENGTH(args), &std_set, &c);
  watch_interrupts(0);
  if (status != MENSORA_OK) return close_with_failure(&s, status);
  mensora_fit fit;
  const int fit_status = mensora_class_fit(s.sample, std_set, &fit);
  struct mensora_class_notes notes = {0, 0, 0};
  mensora_class_notes(s.sample, std_set, &notes);
  /* The number of distinct values, from the sorted values. */
  int32_t distinct = NA_INTEGER;
  const double* sorted = NULL;
  int32_t sorted_count = 0;
  if (mensora_every_nth(s.sample, 1, &sorted, &sorted_count) == MENSORA_OK) {
    distinct = sorted_count > 0 ? 1 : 0;
    for (int32_t i = 1; i < sorted_count; ++i) distinct += sorted[i] != sorted[i - 1] ? 1 : 0;
  }

  SEXP brks = PROTECT(Rf_allocVector(REALSXP, (R_xlen_t)c.class_count + 1));
  memcpy(REAL(brks), c.breaks, sizeof(double) * ((size_t)c.class_count + 1));
  SEXP counts = PROTECT(Rf_allocVector(INTSXP, c.class_count));
  if (c.class_count > 0) memcpy(INTEGER(counts), c.counts, sizeof(int32_t) * (size_t)c.class_count);
  SEXP classes = PROTECT(Rf_allocVector(INTSXP, s.n));
  int* cls = INTEGER(classes);
  /* R's int is the library's int32_t. */
  const int label_status = mensora_class_labels(&c, s.n, (int32_t*)cls);
  if (label_status != MENSORA_OK) {
    UNPROTECT(3);
    return close_with_failure(&s, label_status);
  }
  for (int32_t i = 0; i < s.n; ++i) cls[i] = cls[i] < 0 ? NA_INTEGER : cls[i] + 1;
  SEXP fitv = PROTECT(Rf_allocVector(REALSXP, 5));
  double* f = REAL(fitv);
  if (fit_status == MENSORA_OK) {
    f[0] = fit.gvf;
    f[1] = fit.adcm;
    f[2] = fit.tai;
    f[3] = fit.sdam;
    f[4] = fit.sdcm;
  } else {
    for (int i = 0; i < 5; ++i) f[i] = NA_REAL;
  }
  free_handle(s.holder);

  SEXP out = PROTECT(Rf_allocVector(VECSXP, 8));
  SET_VECTOR_ELT(out, 0, brks);
  SET_VECTOR_ELT(out, 1, counts);
  SET_VECTOR_ELT(out, 2, classes);
  SET_VECTOR_ELT(out, 3, fitv);
  SET_VECTOR_ELT(out, 4, Rf_ScalarInteger(s.missing));
  SET_VECTOR_ELT(out, 5, Rf_ScalarInteger(distinct));
  SET_VECTOR_ELT(out, 6, Rf_ScalarInteger(notes.unclassified));
  SET_VECTOR_ELT(out, 7, Rf_ScalarInteger(notes.empty_classes));
  UNPROTECT(6);
  return out;
}

/* The bare library call for the benchmark: natural breaks of x, no copy, no
 * labels, no fit. */
SEXP mensora_r_natural_only(SEXP x, SEXP k) {
  mensora_sample* s = mensora_sample_new(REAL(x), vector_length(x));
  if (s == NULL) Rf_error("mensora: out of memory");
  mensora_classes c;
  const int status = mensora_classify_natural(s, INTEGER(k)[0], &c);
  double first = status == MENSORA_OK ? c.breaks[0] : NA_REAL;
  mensora_sample_free(s);
  return Rf_ScalarReal(first);
}

/* Weighted natural (quantile = FALSE) or quantile breaks. A k the library
 * refuses is handed over with a one-place array: it is refused before
 * anything is written, and no R vector of that size is made. */
SEXP mensora_r_weighted(SEXP x, SEXP w, SEXP k, SEXP quantile) {
  const int32_t n = vector_length(x);
  const int32_t kk = INTEGER(k)[0];
  const int room = kk >= 1 && kk <= mensora_class_limit(n);
  double refused[1];
  SEXP brks = PROTECT(Rf_allocVector(REALSXP, room ? (R_xlen_t)kk + 1 : 0));
  double* b = room ? REAL(brks) : refused;
  watch_interrupts(1);
  const int status = Rf_asLogical(quantile)
                         ? mensora_quantile_breaks_weighted(REAL(x), REAL(w), n, kk, b)
                         : mensora_natural_breaks_weighted(REAL(x), REAL(w), n, kk, b);
  watch_interrupts(0);
  UNPROTECT(1);
  return status == MENSORA_OK ? brks : failure(status);
}

/* Every measure of the sample, in the order of describe()'s names, then the
 * number of missing values left out. */
SEXP mensora_r_describe(SEXP x) {
  r_sample s;
  open_sample(x, &s);
  mensora_sample* h = s.sample;
  SEXP out = PROTECT(Rf_allocVector(REALSXP, 17));
  double* o = REAL(out);
  double lo = R_NaN, hi = R_NaN;
  mensora_extremes(h, &lo, &hi);
  o[0] = (double)(s.n - s.missing);
  o[1] = mensora_mean(h);
  o[2] = mensora_frequency_mean(h);
  if (mensora_geometric_mean_checked(h, &o[3]) != MENSORA_OK) o[3] = NA_REAL;
  o[4] = mensora_mode(h);
  o[5] = mensora_median(h);
  o[6] = lo;
  o[7] = hi;
  o[8] = mensora_range(h);
  o[9] = mensora_mean_abs_deviation(h);
  o[10] = mensora_sum_of_squares(h);
  o[11] = mensora_variance(h);
  o[12] = mensora_std_deviation(h);
  o[13] = mensora_variation_coefficient(h);
  o[14] = mensora_skewness(h);
  o[15] = mensora_kurtosis(h);
  o[16] = (double)s.missing;
  free_handle(s.holder);
  UNPROTECT(2);
  return out;
}

SEXP mensora_r_version(void) { return Rf_mkString(mensora_version()); }

static const R_CallMethodDef call_methods[] = {
    {"mensora_r_classify", (DL_FUNC)&mensora_r_classify, 4},
    {"mensora_r_natural_only", (DL_FUNC)&mensora_r_natural_only, 2},
    {"mensora_r_weighted", (DL_FUNC)&mensora_r_weighted, 4},
    {"mensora_r_describe", (DL_FUNC)&mensora_r_describe, 1},
    {"mensora_r_version", (DL_FUNC)&mensora_r_version, 0},
    {NULL, NULL, 0}};

void R_init_mensora(DllInfo* dll) {
  R_registerRoutines(dll, NULL, call_methods, NULL, NULL);
  R_useDynamicSymbols(dll, FALSE);
  R_forceSymbols(dll, TRUE);
}
