// C interface: version and status texts, the sample handle, its measures and
// the value-window selection.
#include <cstdint>
#include <cstring>
#include <new>

#include "Mensora.h"
#include "capi/internal/handle.h"
#include "mensora_c.h"
#include "sample/internal/alloc.h"
#include "sample/internal/progress.h"

using mensora::capi::Guarded;
using mensora::capi::GuardedMeasure;
using mensora::capi::kNaN;

#define MENSORA_TEXT(x) #x
#define MENSORA_NUMBER_TEXT(x) MENSORA_TEXT(x)

namespace {

bool SameBits(double a, double b) {
  std::uint64_t x = 0, y = 0;
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  return x == y;
}

// Fills the object's deviation cache through a scratch array of this layer,
// so that a scratch array that cannot be had is known here (the getters
// would return the empty cache's 0.0).
bool EnsureDeviations(mensora_sample& sample) noexcept {
  if (sample.deviationsReady) return true;
  mensora::internal::WorkArray<double> scratch(sample.n);
  if (!scratch) return false;
  sample.object.DisDifNum(scratch.get());
  sample.deviationsReady = true;
  return true;
}

// A deviation measure: NaN for a NULL handle or when the deviations cannot
// be computed for want of memory.
template <class Getter>
double DeviationMeasure(mensora_sample* sample, Getter getter) noexcept {
  if (sample == nullptr) return kNaN;
  if (!EnsureDeviations(*sample)) return kNaN;
  return (sample->object.*getter)();
}

}  // namespace

namespace mensora {
namespace capi {

bool SortedExtremes(CMensora& object, double* max, double* min) noexcept {
  const double first = -kNaN;
  const double second = kNaN;
  double max1 = first, min1 = first, max2 = second, min2 = second;
  object.ExtremumNum(&max1, &min1);
  object.ExtremumNum(&max2, &min2);
  if (SameBits(max1, first) && SameBits(min1, first) && SameBits(max2, second) &&
      SameBits(min2, second)) {
    return false;
  }
  *max = max2;
  *min = min2;
  return true;
}

}  // namespace capi
}  // namespace mensora

extern "C" {

const char* mensora_version(void) {
  return MENSORA_NUMBER_TEXT(MENSORA_VERSION_MAJOR) "." MENSORA_NUMBER_TEXT(
      MENSORA_VERSION_MINOR) "." MENSORA_NUMBER_TEXT(MENSORA_VERSION_PATCH);
}

const char* mensora_status_message(int status) {
  switch (status) {
    case MENSORA_OK:
      return "success";
    case MENSORA_ERROR_ARGUMENT:
      return "bad argument";
    case MENSORA_ERROR_EMPTY:
      return "the sample has no values";
    case MENSORA_ERROR_MEMORY:
      return "out of memory";
    case MENSORA_ERROR_DATA:
      return "the sample's values do not allow the method";
    case MENSORA_ERROR_NO_RESULT:
      return "no class result to measure";
    case MENSORA_ERROR_CANCELLED:
      return "cancelled";
    default:
      return "unknown status";
  }
}

mensora_sample* mensora_sample_new(const double* values, int32_t n) {
  if (n < 0 || (values == nullptr && n > 0)) return nullptr;
  // An empty sample still gets an array, so that it acts as an empty sample
  // and not as an object without one.
  static double none = 0.0;
  // The object only reads the array; its constructor takes it as written.
  auto* data = const_cast<double*>(values == nullptr ? &none : values);
  return new (std::nothrow) mensora_sample(data, n);
}

void mensora_sample_free(mensora_sample* sample) { delete sample; }

int32_t mensora_sample_size(const mensora_sample* sample) {
  return sample == nullptr ? -1 : sample->n;
}

double mensora_mean(mensora_sample* sample) {
  return GuardedMeasure(sample, [](CMensora& o) { return o.SimpleArithAverNum(); });
}

double mensora_frequency_mean(mensora_sample* sample) {
  return GuardedMeasure(sample, [](CMensora& o) { return o.PowerArithAverNum(0); });
}

double mensora_geometric_mean(mensora_sample* sample) {
  return GuardedMeasure(sample, [](CMensora& o) { return o.GeometryAverNum(); });
}

double mensora_mode(mensora_sample* sample) {
  return GuardedMeasure(sample, [](CMensora& o) { return o.NumerousNum(); });
}

double mensora_median(mensora_sample* sample) {
  return GuardedMeasure(sample, [](CMensora& o) { return o.MedianNum(); });
}

double mensora_range(mensora_sample* sample) {
  return GuardedMeasure(sample, [](CMensora& o) { return o.ExtreDifNum(); });
}

int mensora_extremes(mensora_sample* sample, double* min, double* max) {
  if (sample == nullptr || min == nullptr || max == nullptr) return MENSORA_ERROR_ARGUMENT;
  if (sample->n == 0) return MENSORA_ERROR_EMPTY;
  double high = 0.0, low = 0.0;
  if (!mensora::capi::SortedExtremes(sample->object, &high, &low)) return MENSORA_ERROR_MEMORY;
  *min = low;
  *max = high;
  return MENSORA_OK;
}

int mensora_every_nth(mensora_sample* sample, int32_t step, const double** values,
                      int32_t* count) {
  if (sample == nullptr || values == nullptr || count == nullptr || step < 1) {
    return MENSORA_ERROR_ARGUMENT;
  }
  if (sample->n == 0) return MENSORA_ERROR_EMPTY;
  // A step beyond the sample gives its smallest value, as a step of n does.
  const std::int32_t used = step > sample->n ? sample->n : step;
  double* got = nullptr;
  std::int32_t got_count = 0;
  sample->object.SubSectionNum(&got, used, &got_count);
  // With a valid step nothing is written only when memory is short.
  if (got == nullptr) return MENSORA_ERROR_MEMORY;
  *values = got;
  *count = got_count;
  return MENSORA_OK;
}

int mensora_deviations(mensora_sample* sample, double* out, int32_t capacity) {
  if (sample == nullptr || out == nullptr || capacity < sample->n) return MENSORA_ERROR_ARGUMENT;
  if (sample->n == 0) return MENSORA_ERROR_EMPTY;
  sample->object.DisDifNum(out);
  sample->deviationsReady = true;
  return MENSORA_OK;
}

double mensora_mean_abs_deviation(mensora_sample* sample) {
  return DeviationMeasure(sample, &CMensora::DisDifAverNum);
}

double mensora_sum_of_squares(mensora_sample* sample) {
  return DeviationMeasure(sample, &CMensora::DisDifSqrSum);
}

double mensora_variance(mensora_sample* sample) {
  return DeviationMeasure(sample, &CMensora::SqrDifNum);
}

double mensora_root_variance(mensora_sample* sample) {
  return DeviationMeasure(sample, &CMensora::SqraverDifNum);
}

double mensora_std_deviation(mensora_sample* sample) {
  return DeviationMeasure(sample, &CMensora::StandDifNum);
}

double mensora_variation_coefficient(mensora_sample* sample) {
  return DeviationMeasure(sample, &CMensora::AlterDifCoe);
}

double mensora_skewness(mensora_sample* sample) {
  return DeviationMeasure(sample, &CMensora::DeflectDegree);
}

double mensora_kurtosis(mensora_sample* sample) {
  return DeviationMeasure(sample, &CMensora::ApexDegree);
}

int mensora_select(mensora_sample* sample, double min, double max, const int32_t** ids,
                   int32_t* count) {
  if (sample == nullptr || ids == nullptr || count == nullptr) return MENSORA_ERROR_ARGUMENT;
  return Guarded([&] {
    std::int32_t* got = nullptr;
    std::int32_t got_count = 0;
    if (sample->object.DataStatByArea(min, max, &got, &got_count) == 1) {
      *ids = got;
      *count = got_count;
      return MENSORA_OK;
    }
    // The member fails alike when nothing lies in the window and when the ids
    // cannot be stored: a value in the window tells the second.
    for (std::int32_t i = 0; i < sample->n; ++i) {
      const double x = sample->values[i];
      if (!(min > x) && !(x >= max)) return MENSORA_ERROR_MEMORY;
    }
    *ids = nullptr;
    *count = 0;
    return MENSORA_OK;
  });
}

void mensora_set_progress(mensora_progress_fn fn, void* user_data) {
  mensora::internal::SetProgressHandler(fn, user_data);
}

}  // extern "C"
