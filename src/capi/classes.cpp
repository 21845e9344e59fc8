// C interface: the class-break methods of the sample handle, the goodness of
// fit of their results and the class label of every value.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "Mensora.h"
#include "capi/internal/handle.h"
#include "classify/internal/break_rules.h"
#include "classify/internal/class_result.h"
#include "classify/internal/pretty_breaks.h"
#include "mensora_c.h"

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
int ShortOfMemory(CMensora&) { return MENSORA_ERROR_MEMORY; }

// Runs a class member whose arguments are already checked: an empty sample is
// MENSORA_ERROR_EMPTY; a failure of the member can then only be for memory,
// unless `diagnose` finds another cause. *out is written on success only.
// `result` marks whether the class set the member writes holds a result.
template <class Member, class Diagnose = int (*)(CMensora&)>
int RunClasses(mensora_sample* sample, mensora_classes* out, Member member,
               Diagnose diagnose = ShortOfMemory,
               bool mensora_sample::*result = &mensora_sample::rangeResult) {
  if (sample->n == 0) return MENSORA_ERROR_EMPTY;
  const int status = Guarded([&] {
    MemberOutputs got;
    if (member(sample->object, got) != 1) return diagnose(sample->object);
    out->class_count = got.breakCount - 1;
    out->breaks = got.breaks;
    out->counts = got.counts;
    out->ids = got.ids;
    return MENSORA_OK;
  });
  if (status == MENSORA_OK || status == MENSORA_ERROR_MEMORY || status == MENSORA_ERROR_CANCELLED) {
    sample->*result = status == MENSORA_OK;
  }
  if (status == MENSORA_OK) {
    (result == &mensora_sample::stdResult ? sample->stdClasses : sample->rangeClasses) = *out;
  }
  return status;
}

// Class counts whose k + 1 breaks are countable in 32 bits.
bool ValidK(std::int32_t k) { return k >= 1 && k < INT32_MAX; }

// steps on each side need 2 steps + 3 breaks; a negative or NaN width is refused.
bool ValidSteps(std::int32_t steps, double times) {
  return steps >= 0 && 2 * static_cast<std::int64_t>(steps) + 3 <= INT32_MAX && times >= 0.0;
}

// A limit within EQ_TOLERANCE of its sentinel, or NaN, stands for the data's extreme.
bool IsSentinel(double limit, double sentinel) {
  return !(std::fabs(limit - sentinel) >= EQ_TOLERANCE);
}

// Whether (end - start) / step truncated is a class count from 1 to INT32_MAX - 1.
bool ValidStepCount(double start, double step, double end) {
  const double quotient = (end - start) / step;
  return quotient >= 1.0 && quotient < static_cast<double>(INT32_MAX);
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
  if (!(lo <= up)) return MENSORA_ERROR_DATA;
  const std::int64_t steps = ChoosePrettyScale(lo, up, k).steps;
  return ValidClassCount(std::max<std::int64_t>(steps, 1)) ? MENSORA_ERROR_MEMORY
                                                             : MENSORA_ERROR_ARGUMENT;
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
  return numbers > 0 && lo > 0.0 && std::isfinite(up) ? MENSORA_ERROR_MEMORY : MENSORA_ERROR_DATA;
}

}  // namespace

extern "C" {

int mensora_classify_equal(mensora_sample* sample, int32_t k, mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !ValidK(k)) return MENSORA_ERROR_ARGUMENT;
  return RunClasses(sample, out, [k](CMensora& o, MemberOutputs& r) {
    return o.DataSecByMaxMin(k, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_step(mensora_sample* sample, double start, double step, double end,
                          mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !std::isfinite(start) || !std::isfinite(step) ||
      step == 0.0) {
    return MENSORA_ERROR_ARGUMENT;
  }
  const bool autoEnd = IsSentinel(end, AUTO_MAX);
  if (!autoEnd && !ValidStepCount(start, step, end)) return MENSORA_ERROR_ARGUMENT;
  return RunClasses(
      sample, out,
      [=](CMensora& o, MemberOutputs& r) {
        return o.DataStatByStartAndStep(start, step, &r.breaks, &r.breakCount, &r.ids,
                                        &r.counts, end);
      },
      // Up to the maximum, the data decide the class count.
      [=](CMensora& o) {
        double max = 0.0, min = 0.0;
        if (!autoEnd || !mensora::capi::SortedExtremes(o, &max, &min)) return MENSORA_ERROR_MEMORY;
        return ValidStepCount(start, step, max) ? MENSORA_ERROR_MEMORY : MENSORA_ERROR_DATA;
      });
}

int mensora_classify_count(mensora_sample* sample, double start, int32_t k, double end,
                           mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !ValidK(k)) return MENSORA_ERROR_ARGUMENT;
  return RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataStatByStartAndGroupNum(start, k, &r.breaks, &r.breakCount, &r.ids, &r.counts,
                                        end);
  });
}

int mensora_classify_quantile(mensora_sample* sample, int32_t k, mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !ValidK(k)) return MENSORA_ERROR_ARGUMENT;
  return RunClasses(sample, out, [k](CMensora& o, MemberOutputs& r) {
    return o.DataSecByQuantile(k, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_natural(mensora_sample* sample, int32_t k, mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !ValidK(k)) return MENSORA_ERROR_ARGUMENT;
  return RunClasses(sample, out, [k](CMensora& o, MemberOutputs& r) {
    return o.DataSecByNaturalBreaks(k, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_stddev(mensora_sample* sample, int32_t steps, double times,
                            mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !ValidSteps(steps, times)) {
    return MENSORA_ERROR_ARGUMENT;
  }
  const int status = RunClasses(
      sample, out,
      [=](CMensora& o, MemberOutputs& r) {
        return o.DataSecByAverStd(steps, times, &r.breaks, &r.breakCount, &r.ids, &r.counts);
      },
      ShortOfMemory, &mensora_sample::stdResult);
  if (status == MENSORA_OK) sample->deviationsReady = true;
  return status;
}

int mensora_classify_stddev_window(mensora_sample* sample, int32_t steps, double times,
                                   double min, double max, mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !ValidSteps(steps, times)) {
    return MENSORA_ERROR_ARGUMENT;
  }
  const int status = RunClasses(
      sample, out,
      [=](CMensora& o, MemberOutputs& r) {
        return o.DataSecByAverStdAndMinMax(steps, times, &r.breaks, &r.breakCount, &r.ids,
                                           &r.counts, min, max);
      },
      ShortOfMemory, &mensora_sample::stdResult);
  if (status == MENSORA_OK) sample->deviationsReady = true;
  return status;
}

int mensora_classify_breaks(mensora_sample* sample, const double* breaks, int32_t break_count,
                            mensora_classes* out) {
  if (sample == nullptr || out == nullptr ||
      !AscendingWithin(breaks, break_count, -DBL_MAX, DBL_MAX)) {
    return MENSORA_ERROR_ARGUMENT;
  }
  return RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataSecByBreaks(breaks, break_count, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_pretty(mensora_sample* sample, int32_t k, mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !ValidK(k)) return MENSORA_ERROR_ARGUMENT;
  return RunClasses(
      sample, out,
      [k](CMensora& o, MemberOutputs& r) {
        return o.DataSecByPretty(k, &r.breaks, &r.breakCount, &r.ids, &r.counts);
      },
      [=](CMensora&) { return PrettyFailure(*sample, k); });
}

int mensora_classify_head_tail(mensora_sample* sample, double head_share, mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !(head_share > 0.0 && head_share < 1.0)) {
    return MENSORA_ERROR_ARGUMENT;
  }
  return RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataSecByHeadTail(head_share, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_box_plot(mensora_sample* sample, double hinge, mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !(hinge >= 0.0 && std::isfinite(hinge))) {
    return MENSORA_ERROR_ARGUMENT;
  }
  return RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataSecByBoxPlot(hinge, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_max_breaks(mensora_sample* sample, int32_t k, mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !ValidK(k)) return MENSORA_ERROR_ARGUMENT;
  return RunClasses(sample, out, [k](CMensora& o, MemberOutputs& r) {
    return o.DataSecByMaxBreaks(k, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_percentile(mensora_sample* sample, const double* percents, int32_t count,
                                mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !AscendingWithin(percents, count, 0.0, 100.0)) {
    return MENSORA_ERROR_ARGUMENT;
  }
  return RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataSecByPercentile(percents, count, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
}

int mensora_classify_geometric(mensora_sample* sample, int32_t k, mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !ValidK(k)) return MENSORA_ERROR_ARGUMENT;
  return RunClasses(
      sample, out,
      [k](CMensora& o, MemberOutputs& r) {
        return o.DataSecByGeometric(k, &r.breaks, &r.breakCount, &r.ids, &r.counts);
      },
      [=](CMensora&) { return GeometricFailure(*sample); });
}

int mensora_classify_natural_auto(mensora_sample* sample, int32_t k_max, double min_gvf,
                                  mensora_classes* out) {
  if (sample == nullptr || out == nullptr || k_max < 2 || !ValidK(k_max) ||
      !(min_gvf >= 0.0 && min_gvf <= 1.0)) {
    return MENSORA_ERROR_ARGUMENT;
  }
  return RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataSecByNaturalBreaksAuto(k_max, min_gvf, &r.breaks, &r.breakCount, &r.ids,
                                        &r.counts);
  });
}

int mensora_class_fit(mensora_sample* sample, int32_t std_classes, mensora_fit* out) {
  if (sample == nullptr || out == nullptr) return MENSORA_ERROR_ARGUMENT;
  if (sample->n == 0) return MENSORA_ERROR_EMPTY;
  const bool stdSet = std_classes != 0;
  return Guarded([&] {
    mensora_fit fit{};
    if (sample->object.DataSecFitNum(stdSet ? 1 : 0, &fit.sdam, &fit.sdcm, &fit.gvf, &fit.adcm,
                                     &fit.tai) != 1) {
      // With a result in the set, only memory can be short.
      const bool result = stdSet ? sample->stdResult : sample->rangeResult;
      return result ? MENSORA_ERROR_MEMORY : MENSORA_ERROR_NO_RESULT;
    }
    *out = fit;
    return MENSORA_OK;
  });
}

int mensora_class_labels(const mensora_classes* classes, int32_t n, int32_t* labels) {
  if (classes == nullptr || n < 0 || (labels == nullptr && n > 0) || classes->class_count < 0 ||
      (classes->counts == nullptr && classes->class_count > 0)) {
    return MENSORA_ERROR_ARGUMENT;
  }
  // Every count and id is checked before anything is written.
  std::int64_t total = 0;
  for (std::int32_t s = 0; s < classes->class_count; ++s) {
    if (classes->counts[s] < 0) return MENSORA_ERROR_ARGUMENT;
    total += classes->counts[s];
  }
  if (total > 0 && classes->ids == nullptr) return MENSORA_ERROR_ARGUMENT;
  for (std::int64_t i = 0; i < total; ++i) {
    if (classes->ids[i] < 0 || classes->ids[i] >= n) return MENSORA_ERROR_ARGUMENT;
  }
  if (n == 0) return MENSORA_OK;
  for (std::int32_t i = 0; i < n; ++i) labels[i] = -1;
  const int32_t* id = classes->ids;
  for (std::int32_t s = 0; s < classes->class_count; ++s) {
    for (std::int32_t c = 0; c < classes->counts[s]; ++c) labels[*id++] = s;
  }
  return MENSORA_OK;
}

}  // extern "C"
