// C interface: the class-break methods of the sample handle, the goodness of
// fit of their results and the class label of every value.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <memory>

#include "Mensora.h"
#include "capi/internal/handle.h"
#include "classify/internal/break_rules.h"
#include "classify/internal/class_result.h"
#include "classify/internal/pretty_breaks.h"
#include "mensora_c.h"

using mensora::capi::ClassCountRefused;
using mensora::capi::Fail;
using mensora::capi::Failed;
using mensora::capi::Guarded;
using mensora::internal::AscendingWithin;
using mensora::internal::ChoosePrettyScale;
using mensora::internal::ValidClassCount;

namespace {

// The four out-parameters of a class member.
struct MemberOutputs {
  double* breaks = nullptr;
  std::int32_t breakCount = 0;
  std::int32_t* ids = nullptr;
  std::int32_t* counts = nullptr;
};

// Why a member whose arguments are checked failed, when only memory can be the cause.
int ShortOfMemory(CMensora&) { return Failed(MENSORA_ERROR_MEMORY); }

// The two class sets of a handle: where each keeps its flag, its current
// result and its translated ids.
struct ClassSet {
  bool mensora_sample::*result;
  mensora_classes mensora_sample::*classes;
  mensora::internal::OwnedArray<std::int32_t> mensora_sample::*ids;
};
constexpr ClassSet kRangeSet{&mensora_sample::rangeResult, &mensora_sample::rangeClasses,
                             &mensora_sample::rangeIds};
constexpr ClassSet kStdSet{&mensora_sample::stdResult, &mensora_sample::stdClasses,
                           &mensora_sample::stdIds};

// Runs a class member whose arguments are already checked: an empty sample is
// MENSORA_ERROR_EMPTY; a failure of the member can then only be for memory,
// unless `diagnose` finds another cause (and sets its reason). A result with
// a NaN break is MENSORA_ERROR_DATA (the set keeps it). *out is written on success only. `set`
// is the class set the member writes: its flag tells whether it holds a result.
template <class Member, class Diagnose = int (*)(CMensora&)>
int RunClasses(mensora_sample* sample, mensora_classes* out, Member member,
               Diagnose diagnose = ShortOfMemory, const ClassSet& set = kRangeSet) {
  if (sample->n == 0) return mensora::capi::EmptyFailure(*sample);
  mensora_classes got{};
  const int status = Guarded([&] {
    MemberOutputs r;
    if (member(sample->object, r) != 1) return diagnose(sample->object);
    got.class_count = r.breakCount - 1;
    got.breaks = r.breaks;
    got.counts = r.counts;
    got.ids = r.ids;
    for (std::int32_t b = 0; b <= got.class_count; ++b) {
      if (std::isnan(got.breaks[b])) {
        bool nan = false;
        for (std::int32_t i = 0; i < sample->n && !nan; ++i) nan = std::isnan(sample->values[i]);
        return Fail(MENSORA_ERROR_DATA,
                    "the breaks are not numbers (break %ld is NaN): the values include %s",
                    static_cast<long>(b), nan ? "NaN" : "infinities");
      }
    }
    std::int64_t total = 0;
    for (std::int32_t c = 0; c < got.class_count; ++c) total += got.counts[c];
    if (!mensora::capi::TranslateIds(*sample, got.ids, total, sample->*set.ids)) {
      return Failed(MENSORA_ERROR_MEMORY);
    }
    return MENSORA_OK;
  });
  // A result refused for its NaN breaks stays the set's result (its fit and
  // notes can be had), as the member made it.
  const bool ran = got.breaks != nullptr;
  if (status == MENSORA_OK || status == MENSORA_ERROR_MEMORY ||
      status == MENSORA_ERROR_CANCELLED || ran) {
    sample->*set.result = status == MENSORA_OK || (ran && status != MENSORA_ERROR_MEMORY);
  }
  if (ran) sample->*set.classes = got;
  if (status == MENSORA_OK) *out = got;
  return status;
}

// A refusal for a NULL handle or out-pointer.
int NullArgument() { return Fail(MENSORA_ERROR_ARGUMENT, "the sample or the out-pointer is NULL"); }

// k within the class limit of the sample.
int CheckK(const mensora_sample* sample, std::int32_t k) {
  return ClassCountRefused(k, sample->size);
}

// steps on each side need 2 steps + 3 breaks; a negative or NaN width is refused.
int CheckSteps(std::int32_t steps, double times) {
  if (!(steps >= 0 && 2 * static_cast<std::int64_t>(steps) + 3 <= INT32_MAX)) {
    return Fail(MENSORA_ERROR_ARGUMENT, "steps must be from 0 to %ld, not %ld",
                static_cast<long>((INT32_MAX - 3) / 2), static_cast<long>(steps));
  }
  if (!(times >= 0.0)) {
    return Fail(MENSORA_ERROR_ARGUMENT, "times must be 0 or more, not %.17g", times);
  }
  return MENSORA_OK;
}

// A limit within EQ_TOLERANCE of its sentinel, or NaN, stands for the data's extreme.
bool IsSentinel(double limit, double sentinel) {
  return !(std::fabs(limit - sentinel) >= EQ_TOLERANCE);
}

// The class count (end - start) / step gives, or a refusal with its reason:
// at least 1 and within the class limit of the sample.
int CheckStepCount(const mensora_sample& sample, double start, double step, double end,
                   int refusal) {
  const double quotient = (end - start) / step;
  if (!(quotient >= 1.0)) {
    return Fail(refusal, "step %.17g from %.17g to %.17g gives no class", step, start, end);
  }
  if (std::isinf(quotient)) {
    return Fail(refusal, "step %.17g from %.17g to %.17g gives infinitely many classes", step,
                start, end);
  }
  const double limit = mensora_class_limit(sample.size);
  if (quotient >= limit + 1.0) {
    return Fail(refusal, "step %.17g from %.17g to %.17g gives %.17g classes for %ld values: "
                "at most %ld (the larger of %ld and the number of values)",
                step, start, end, std::floor(quotient), static_cast<long>(sample.size),
                static_cast<long>(limit), static_cast<long>(mensora::capi::kClassLimit));
  }
  return MENSORA_OK;
}

// Why a pretty-breaks call with valid arguments failed: no finite value, a
// round-number scale of more classes than a result can carry, or memory. The
// extremes are those the member takes, zeros as +0.
int PrettyFailure(const mensora_sample& sample, std::int32_t k) {
  double lo = HUGE_VAL, up = -HUGE_VAL;
  for (std::int32_t i = 0; i < sample.n; ++i) {
    const double x = sample.values[i];
    if (!std::isfinite(x)) continue;
    lo = std::min(lo, x + 0.0);
    up = std::max(up, x + 0.0);
  }
  if (!(lo <= up)) return Fail(MENSORA_ERROR_DATA, "pretty breaks need a finite value");
  const std::int64_t steps = ChoosePrettyScale(lo, up, k).steps;
  if (ValidClassCount(std::max<std::int64_t>(steps, 1))) return Failed(MENSORA_ERROR_MEMORY);
  return Fail(MENSORA_ERROR_ARGUMENT, "round breaks from %.17g to %.17g need more classes than a "
              "result can carry", lo, up);
}

// Why a geometric call with valid arguments failed: the values that are not
// NaN must exist, with a minimum above 0 and a finite maximum; else memory.
int GeometricFailure(const mensora_sample& sample) {
  std::int32_t numbers = 0;
  double lo = HUGE_VAL, up = -HUGE_VAL;
  for (std::int32_t i = 0; i < sample.n; ++i) {
    const double x = sample.values[i];
    if (std::isnan(x)) continue;
    ++numbers;
    lo = std::min(lo, x);
    up = std::max(up, x);
  }
  if (numbers == 0) return Fail(MENSORA_ERROR_DATA, "geometric classes need a value that is a number");
  if (!(lo > 0.0)) {
    return Fail(MENSORA_ERROR_DATA,
                "geometric classes need a smallest value above 0, not %.17g", lo + 0.0);
  }
  if (!std::isfinite(up)) return Fail(MENSORA_ERROR_DATA, "geometric classes need a finite largest value");
  return Failed(MENSORA_ERROR_MEMORY);
}

// Whether count numbers ascend within low .. high; a refusal naming `what` if not.
int CheckAscending(const double* list, std::int32_t count, double low, double high,
                   const char* what, const char* range) {
  if (AscendingWithin(list, count, low, high)) return MENSORA_OK;
  if (list == nullptr || count < 2) {
    return Fail(MENSORA_ERROR_ARGUMENT, "%s: at least 2 are needed, not %ld", what,
                static_cast<long>(count));
  }
  for (std::int32_t i = 0; i < count; ++i) {
    if (!(list[i] >= low && list[i] <= high)) {
      return Fail(MENSORA_ERROR_ARGUMENT, "%s: %.17g is out of %s", what, list[i], range);
    }
    if (i > 0 && list[i] < list[i - 1]) {
      return Fail(MENSORA_ERROR_ARGUMENT, "%s: %.17g is below the one before, %.17g", what,
                  list[i], list[i - 1]);
    }
  }
  return Fail(MENSORA_ERROR_ARGUMENT, "%s are not valid", what);
}

}  // namespace

#define MENSORA_CHECK(call)                  \
  do {                                       \
    const int mensora_status_ = (call);      \
    if (mensora_status_ != MENSORA_OK) return mensora_status_; \
  } while (0)

extern "C" {

int mensora_classify_equal(mensora_sample* sample, int32_t k, mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  MENSORA_CHECK(CheckK(sample, k));
  return RunClasses(sample, out, [k](CMensora& o, MemberOutputs& r) {
    return o.DataSecByMaxMin(k, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_step(mensora_sample* sample, double start, double step, double end,
                          mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  if (!std::isfinite(start)) {
    return Fail(MENSORA_ERROR_ARGUMENT, "start must be a finite number, not %.17g", start);
  }
  if (!std::isfinite(step) || step == 0.0) {
    return Fail(MENSORA_ERROR_ARGUMENT, "step must be a finite number other than 0, not %.17g",
                step);
  }
  const bool autoEnd = IsSentinel(end, AUTO_MAX);
  if (!autoEnd) {
    MENSORA_CHECK(CheckStepCount(*sample, start, step, end, MENSORA_ERROR_ARGUMENT));
  } else if (sample->n > 0) {
    // Up to the maximum (the last entry of the sorted view, as the member
    // reads it) the data decide the class count: too many are refused here,
    // before the member allocates them.
    double max = 0.0, min = 0.0;
    if (!mensora::capi::SortedExtremes(sample->object, &max, &min)) {
      return Failed(MENSORA_ERROR_MEMORY);
    }
    if ((max - start) / step >= 1.0) {
      MENSORA_CHECK(CheckStepCount(*sample, start, step, max, MENSORA_ERROR_DATA));
    }
  }
  return RunClasses(
      sample, out,
      [=](CMensora& o, MemberOutputs& r) {
        return o.DataStatByStartAndStep(start, step, &r.breaks, &r.breakCount, &r.ids,
                                        &r.counts, end);
      },
      [=](CMensora& o) {
        double max = 0.0, min = 0.0;
        if (!autoEnd || !mensora::capi::SortedExtremes(o, &max, &min)) {
          return Failed(MENSORA_ERROR_MEMORY);
        }
        const int status = CheckStepCount(*sample, start, step, max, MENSORA_ERROR_DATA);
        return status == MENSORA_OK ? Failed(MENSORA_ERROR_MEMORY) : status;
      });
}

int mensora_classify_count(mensora_sample* sample, double start, int32_t k, double end,
                           mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  MENSORA_CHECK(CheckK(sample, k));
  return RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataStatByStartAndGroupNum(start, k, &r.breaks, &r.breakCount, &r.ids, &r.counts,
                                        end);
  });
}

int mensora_classify_quantile(mensora_sample* sample, int32_t k, mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  MENSORA_CHECK(CheckK(sample, k));
  return RunClasses(sample, out, [k](CMensora& o, MemberOutputs& r) {
    return o.DataSecByQuantile(k, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_natural(mensora_sample* sample, int32_t k, mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  MENSORA_CHECK(CheckK(sample, k));
  return RunClasses(sample, out, [k](CMensora& o, MemberOutputs& r) {
    return o.DataSecByNaturalBreaks(k, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_stddev(mensora_sample* sample, int32_t steps, double times,
                            mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  MENSORA_CHECK(CheckSteps(steps, times));
  MENSORA_CHECK(CheckK(sample, 2 * steps + 2));  // the classes the steps make
  const int status = RunClasses(
      sample, out,
      [=](CMensora& o, MemberOutputs& r) {
        return o.DataSecByAverStd(steps, times, &r.breaks, &r.breakCount, &r.ids, &r.counts);
      },
      ShortOfMemory, kStdSet);
  if (status == MENSORA_OK) sample->deviationsReady = true;
  return status;
}

int mensora_classify_stddev_window(mensora_sample* sample, int32_t steps, double times,
                                   double min, double max, mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  MENSORA_CHECK(CheckSteps(steps, times));
  MENSORA_CHECK(CheckK(sample, 2 * steps + 2));  // the classes the steps make
  const int status = RunClasses(
      sample, out,
      [=](CMensora& o, MemberOutputs& r) {
        return o.DataSecByAverStdAndMinMax(steps, times, &r.breaks, &r.breakCount, &r.ids,
                                           &r.counts, min, max);
      },
      ShortOfMemory, kStdSet);
  if (status == MENSORA_OK) sample->deviationsReady = true;
  return status;
}

int mensora_classify_breaks(mensora_sample* sample, const double* breaks, int32_t break_count,
                            mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  MENSORA_CHECK(CheckAscending(breaks, break_count, -DBL_MAX, DBL_MAX, "breaks",
                               "the finite numbers"));
  return RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataSecByBreaks(breaks, break_count, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_pretty(mensora_sample* sample, int32_t k, mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  MENSORA_CHECK(CheckK(sample, k));
  return RunClasses(
      sample, out,
      [k](CMensora& o, MemberOutputs& r) {
        return o.DataSecByPretty(k, &r.breaks, &r.breakCount, &r.ids, &r.counts);
      },
      [=](CMensora&) { return PrettyFailure(*sample, k); });
}

int mensora_classify_head_tail(mensora_sample* sample, double head_share, mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  if (!(head_share > 0.0 && head_share < 1.0)) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the head share must lie between 0 and 1, not %.17g",
                head_share);
  }
  return RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataSecByHeadTail(head_share, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_box_plot(mensora_sample* sample, double hinge, mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  if (!(hinge >= 0.0 && std::isfinite(hinge))) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the hinge must be a finite number, 0 or more, not %.17g",
                hinge);
  }
  return RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataSecByBoxPlot(hinge, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_max_breaks(mensora_sample* sample, int32_t k, mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  MENSORA_CHECK(CheckK(sample, k));
  return RunClasses(sample, out, [k](CMensora& o, MemberOutputs& r) {
    return o.DataSecByMaxBreaks(k, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_percentile(mensora_sample* sample, const double* percents, int32_t count,
                                mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  MENSORA_CHECK(CheckAscending(percents, count, 0.0, 100.0, "percentiles", "[0, 100]"));
  return RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataSecByPercentile(percents, count, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_geometric(mensora_sample* sample, int32_t k, mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  MENSORA_CHECK(CheckK(sample, k));
  return RunClasses(
      sample, out,
      [k](CMensora& o, MemberOutputs& r) {
        return o.DataSecByGeometric(k, &r.breaks, &r.breakCount, &r.ids, &r.counts);
      },
      [=](CMensora&) { return GeometricFailure(*sample); });
}

int mensora_classify_natural_auto(mensora_sample* sample, int32_t k_max, double min_gvf,
                                  mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  if (k_max < 2) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the largest number of classes must be 2 or more, not %ld",
                static_cast<long>(k_max));
  }
  MENSORA_CHECK(CheckK(sample, k_max));
  if (!(min_gvf >= 0.0 && min_gvf <= 1.0)) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the least GVF must lie from 0 to 1, not %.17g", min_gvf);
  }
  return RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataSecByNaturalBreaksAuto(k_max, min_gvf, &r.breaks, &r.breakCount, &r.ids,
                                        &r.counts);
  });
}

int mensora_class_fit(mensora_sample* sample, int32_t std_classes, mensora_fit* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  if (sample->n == 0) return mensora::capi::EmptyFailure(*sample);
  const bool stdSet = std_classes != 0;
  return Guarded([&] {
    mensora_fit fit{};
    if (sample->object.DataSecFitNum(stdSet ? 1 : 0, &fit.sdam, &fit.sdcm, &fit.gvf, &fit.adcm,
                                     &fit.tai) != 1) {
      // With a result in the set, only memory can be short.
      const bool result = stdSet ? sample->stdResult : sample->rangeResult;
      return Failed(result ? MENSORA_ERROR_MEMORY : MENSORA_ERROR_NO_RESULT);
    }
    *out = fit;
    return MENSORA_OK;
  });
}

double mensora_closing_tolerance(double first_break, double last_break) {
  return mensora::internal::ClosingTolerance(first_break, last_break);
}

int mensora_class_notes(mensora_sample* sample, int32_t std_classes,
                        struct mensora_class_notes* out) {
  if (sample == nullptr || out == nullptr) return NullArgument();
  const bool stdSet = std_classes != 0;
  if (!(stdSet ? sample->stdResult : sample->rangeResult)) {
    return Failed(MENSORA_ERROR_NO_RESULT);
  }
  const mensora_classes& classes = stdSet ? sample->stdClasses : sample->rangeClasses;
  struct mensora_class_notes notes {sample->size - sample->n, 0, 0};
  std::int64_t members = 0;
  for (std::int32_t s = 0; s < classes.class_count; ++s) {
    members += classes.counts[s];
    notes.empty_classes += classes.counts[s] == 0 ? 1 : 0;
  }
  // Every value is in at most one class of a result.
  notes.unclassified = static_cast<std::int32_t>(std::max<std::int64_t>(sample->n - members, 0));
  *out = notes;
  return MENSORA_OK;
}

int mensora_class_labels(const mensora_classes* classes, int32_t n, int32_t* labels) {
  if (classes == nullptr || n < 0 || (labels == nullptr && n > 0) || classes->class_count < 0 ||
      (classes->counts == nullptr && classes->class_count > 0)) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the classes or the labels are NULL or n is negative");
  }
  // Every count and id is checked before anything is written.
  std::int64_t total = 0;
  for (std::int32_t s = 0; s < classes->class_count; ++s) {
    if (classes->counts[s] < 0) return Fail(MENSORA_ERROR_ARGUMENT, "a class count is negative");
    total += classes->counts[s];
  }
  if (total > 0 && classes->ids == nullptr) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the classes have members but no ids");
  }
  for (std::int64_t i = 0; i < total; ++i) {
    if (classes->ids[i] < 0 || classes->ids[i] >= n) {
      return Fail(MENSORA_ERROR_ARGUMENT, "id %ld lies outside the %ld values",
                  static_cast<long>(classes->ids[i]), static_cast<long>(n));
    }
  }
  if (n > 0) mensora::capi::WriteLabels(*classes, n, labels);
  return MENSORA_OK;
}

// The k + 1 breaks of one class call over a handle opened on the values
// with the flags, the handle freed: every status and reason is the call's.
static int BreaksOf(const double* values, int32_t n, int32_t flags, int32_t k, double* breaks,
                    int (*classify)(mensora_sample*, int32_t, mensora_classes*)) {
  if (breaks == nullptr) return Fail(MENSORA_ERROR_ARGUMENT, "no place for the breaks (NULL)");
  mensora_sample* sample = nullptr;
  int status = mensora_sample_open(values, n, flags, &sample);
  if (status != MENSORA_OK) return status;
  mensora_classes got{};
  status = classify(sample, k, &got);
  if (status == MENSORA_OK) {
    std::copy(got.breaks, got.breaks + std::min(got.class_count, k) + 1, breaks);
  }
  mensora_sample_free(sample);
  return status;
}

int mensora_natural_breaks(const double* values, int32_t n, int32_t flags, int32_t k,
                           double* breaks) {
  return BreaksOf(values, n, flags, k, breaks, mensora_classify_natural);
}

int mensora_quantile_breaks(const double* values, int32_t n, int32_t flags, int32_t k,
                            double* breaks) {
  return BreaksOf(values, n, flags, k, breaks, mensora_classify_quantile);
}

}  // extern "C"
