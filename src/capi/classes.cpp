// C interface: the class-break methods of the sample handle and the class
// label of every value.
#include <cmath>
#include <cstdint>

#include "Mensora.h"
#include "capi/internal/handle.h"
#include "mensora_c.h"

using mensora::capi::Guarded;

namespace {

// The four out-parameters of a class member.
struct MemberOutputs {
  double* breaks = nullptr;
  std::int32_t breakCount = 0;
  std::int32_t* ids = nullptr;
  std::int32_t* counts = nullptr;
};

// Runs a class member whose arguments are already checked: an empty sample is
// MENSORA_ERROR_EMPTY; a failure of the member can then only be for memory,
// unless `diagnose` finds another cause. *out is written on success only.
template <class Member, class Diagnose>
int RunClasses(mensora_sample* sample, mensora_classes* out, Member member, Diagnose diagnose) {
  if (sample->n == 0) return MENSORA_ERROR_EMPTY;
  return Guarded([&] {
    MemberOutputs got;
    if (member(sample->object, got) != 1) return diagnose(sample->object);
    out->class_count = got.breakCount - 1;
    out->breaks = got.breaks;
    out->counts = got.counts;
    out->ids = got.ids;
    return MENSORA_OK;
  });
}

template <class Member>
int RunClasses(mensora_sample* sample, mensora_classes* out, Member member) {
  return RunClasses(sample, out, member, [](CMensora&) { return MENSORA_ERROR_MEMORY; });
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
  const int status = RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataSecByAverStd(steps, times, &r.breaks, &r.breakCount, &r.ids, &r.counts);
  });
  if (status == MENSORA_OK) sample->deviationsReady = true;
  return status;
}

int mensora_classify_stddev_window(mensora_sample* sample, int32_t steps, double times,
                                   double min, double max, mensora_classes* out) {
  if (sample == nullptr || out == nullptr || !ValidSteps(steps, times)) {
    return MENSORA_ERROR_ARGUMENT;
  }
  const int status = RunClasses(sample, out, [=](CMensora& o, MemberOutputs& r) {
    return o.DataSecByAverStdAndMinMax(steps, times, &r.breaks, &r.breakCount, &r.ids,
                                       &r.counts, min, max);
  });
  if (status == MENSORA_OK) sample->deviationsReady = true;
  return status;
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
