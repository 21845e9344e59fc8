// C interface: version and status texts, the sample handle, its measures and
// the value-window selection.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "Mensora.h"
#include "capi/internal/handle.h"
#include "mensora_c.h"
#include "sample/internal/alloc.h"
#include "sample/internal/progress.h"

using mensora::capi::Fail;
using mensora::capi::Failed;
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

// The NaN values among values[0 .. n-1]. Blocks of 16 are first summed as
// value * 0 in four lanes, which compilers turn into vector code: a sum is
// NaN only when the block holds a NaN or an infinity, and from that block on
// the values are counted one by one.
std::int32_t CountMissing(const double* values, std::int32_t n) {
  std::int32_t i = 0;
  for (; i + 16 <= n; i += 16) {
    double lanes[4] = {0.0, 0.0, 0.0, 0.0};
    for (std::int32_t j = 0; j < 16; j += 4) {
      for (std::int32_t l = 0; l < 4; ++l) lanes[l] += values[i + j + l] * 0.0;
    }
    if (std::isnan(lanes[0] + lanes[1] + lanes[2] + lanes[3])) break;
  }
  std::int32_t missing = 0;
  for (; i < n; ++i) missing += std::isnan(values[i]) ? 1 : 0;
  return missing;
}

}  // namespace

namespace mensora {
namespace capi {

int EmptyFailure(const mensora_sample& sample) noexcept {
  if (sample.size > 0) {
    return Fail(MENSORA_ERROR_EMPTY, "the sample has no values: all %ld are missing",
                static_cast<long>(sample.size));
  }
  return Failed(MENSORA_ERROR_EMPTY);
}

bool TranslateIds(const mensora_sample& sample, const std::int32_t*& ids, std::int64_t count,
                  mensora::internal::OwnedArray<std::int32_t>& kept) noexcept {
  if (!sample.positions) return true;
  kept.reset();
  if (count == 0) return true;
  kept.reset(mensora::internal::NewArray<std::int32_t>(count));
  if (!kept) return false;
  std::int32_t* translated = kept.get();
  const std::int32_t* positions = sample.positions.get();
  for (std::int64_t i = 0; i < count; ++i) translated[i] = positions[ids[i]];
  ids = translated;
  return true;
}

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

void WriteLabels(const mensora_classes& classes, std::int32_t n, std::int32_t* labels) noexcept {
  std::fill(labels, labels + n, -1);
  const std::int32_t* id = classes.ids;
  for (std::int32_t s = 0; s < classes.class_count; ++s) {
    for (std::int32_t c = 0; c < classes.counts[s]; ++c) labels[*id++] = s;
  }
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

int mensora_sample_open(const double* values, int32_t n, int32_t flags, mensora_sample** out) {
  if (out == nullptr) return Fail(MENSORA_ERROR_ARGUMENT, "no place for the handle (out is NULL)");
  *out = nullptr;
  if (n < 0) return Fail(MENSORA_ERROR_ARGUMENT, "the number of values must not be negative");
  if (values == nullptr && n > 0) return Fail(MENSORA_ERROR_ARGUMENT, "values is NULL");
  if ((flags & ~MENSORA_SKIP_MISSING) != 0) {
    return Fail(MENSORA_ERROR_ARGUMENT, "unknown flags %ld", static_cast<long>(flags));
  }
  const std::int32_t missing = (flags & MENSORA_SKIP_MISSING) != 0 ? CountMissing(values, n) : 0;
  if (missing == 0) {
    *out = mensora_sample_new(values, n);
    return *out != nullptr ? MENSORA_OK : Failed(MENSORA_ERROR_MEMORY);
  }
  const std::int32_t kept = n - missing;
  mensora::internal::OwnedArray<double> compact(
      mensora::internal::NewArray<double>(kept > 0 ? kept : 1));
  mensora::internal::OwnedArray<std::int32_t> positions(
      mensora::internal::NewArray<std::int32_t>(kept > 0 ? kept : 1));
  if (!compact || !positions) return Failed(MENSORA_ERROR_MEMORY);
  double* kept_values = compact.get();
  std::int32_t* kept_positions = positions.get();
  for (std::int32_t i = 0; i < n; ++i) {
    if (std::isnan(values[i])) continue;
    *kept_values++ = values[i];
    *kept_positions++ = i;
  }
  *out = new (std::nothrow) mensora_sample(std::move(compact), std::move(positions), kept, n);
  return *out != nullptr ? MENSORA_OK : Failed(MENSORA_ERROR_MEMORY);
}

void mensora_sample_free(mensora_sample* sample) { delete sample; }

int32_t mensora_keep_memory(int32_t mebibytes) {
  return mensora::internal::SetKeepLimit(mebibytes);
}

void mensora_release_memory(void) { mensora::internal::ReleaseKeptBlocks(); }

int32_t mensora_sample_size(const mensora_sample* sample) {
  return sample == nullptr ? -1 : sample->size;
}

int32_t mensora_sample_missing(const mensora_sample* sample) {
  return sample == nullptr ? -1 : sample->size - sample->n;
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

int mensora_geometric_mean_checked(mensora_sample* sample, double* out) {
  if (sample == nullptr || out == nullptr) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the sample or the out-pointer is NULL");
  }
  if (sample->n == 0) return mensora::capi::EmptyFailure(*sample);
  const double mean = mensora_geometric_mean(sample);
  // The measure's 0 stands both for a zero value and for no real mean.
  std::int32_t negatives = 0;
  for (std::int32_t i = 0; i < sample->n; ++i) {
    const double x = sample->values[i];
    if (x == 0.0 && mean == 0.0) {
      *out = 0.0;
      return MENSORA_OK;
    }
    if (std::isnan(x)) return Fail(MENSORA_ERROR_DATA, "no geometric mean: a value is NaN");
    if (std::isinf(x)) return Fail(MENSORA_ERROR_DATA, "no geometric mean: a value is infinite");
    negatives += x < 0.0 ? 1 : 0;
  }
  if (negatives % 2 == 1) {
    return Fail(MENSORA_ERROR_DATA,
                "no real geometric mean: the product of the values is negative");
  }
  if (!(mean != 0.0) || !std::isfinite(mean)) {
    return Fail(MENSORA_ERROR_DATA,
                "no geometric mean: the product of the values is out of the range of doubles");
  }
  *out = mean;
  return MENSORA_OK;
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
  if (sample == nullptr || min == nullptr || max == nullptr) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the sample or an out-pointer is NULL");
  }
  if (sample->n == 0) return mensora::capi::EmptyFailure(*sample);
  double high = 0.0, low = 0.0;
  if (!mensora::capi::SortedExtremes(sample->object, &high, &low)) {
    return Failed(MENSORA_ERROR_MEMORY);
  }
  *min = low;
  *max = high;
  return MENSORA_OK;
}

int mensora_every_nth(mensora_sample* sample, int32_t step, const double** values,
                      int32_t* count) {
  if (sample == nullptr || values == nullptr || count == nullptr) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the sample or an out-pointer is NULL");
  }
  if (step < 1) return Fail(MENSORA_ERROR_ARGUMENT, "step must be 1 or more, not %ld", static_cast<long>(step));
  if (sample->n == 0) return mensora::capi::EmptyFailure(*sample);
  // A step beyond the sample gives its smallest value, as a step of n does.
  const std::int32_t used = step > sample->n ? sample->n : step;
  double* got = nullptr;
  std::int32_t got_count = 0;
  sample->object.SubSectionNum(&got, used, &got_count);
  // With a valid step nothing is written only when memory is short.
  if (got == nullptr) return Failed(MENSORA_ERROR_MEMORY);
  *values = got;
  *count = got_count;
  return MENSORA_OK;
}

int mensora_deviations(mensora_sample* sample, double* out, int32_t capacity) {
  if (sample == nullptr || out == nullptr) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the sample or the out-pointer is NULL");
  }
  if (capacity < sample->size) {
    return Fail(MENSORA_ERROR_ARGUMENT, "capacity %ld is below the sample's %ld values",
                static_cast<long>(capacity), static_cast<long>(sample->size));
  }
  if (sample->n == 0) return mensora::capi::EmptyFailure(*sample);
  if (!sample->positions) {
    sample->object.DisDifNum(out);
  } else {
    // The deviations of the values kept, spread to the caller's positions.
    mensora::internal::WorkArray<double> kept(sample->n);
    if (!kept) return Failed(MENSORA_ERROR_MEMORY);
    sample->object.DisDifNum(kept.get());
    for (std::int32_t i = 0; i < sample->size; ++i) out[i] = kNaN;
    const std::int32_t* positions = sample->positions.get();
    for (std::int32_t i = 0; i < sample->n; ++i) out[positions[i]] = kept[i];
  }
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
  if (sample == nullptr || ids == nullptr || count == nullptr) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the sample or an out-pointer is NULL");
  }
  return Guarded([&] {
    std::int32_t* got = nullptr;
    std::int32_t got_count = 0;
    if (sample->object.DataStatByArea(min, max, &got, &got_count) == 1) {
      const std::int32_t* found = got;
      if (!mensora::capi::TranslateIds(*sample, found, got_count, sample->selectIds)) {
        return Failed(MENSORA_ERROR_MEMORY);
      }
      *ids = found;
      *count = got_count;
      return MENSORA_OK;
    }
    // The member fails alike when nothing lies in the window and when the ids
    // cannot be stored: a value in the window tells the second.
    for (std::int32_t i = 0; i < sample->n; ++i) {
      const double x = sample->values[i];
      if (!(min > x) && !(x >= max)) return Failed(MENSORA_ERROR_MEMORY);
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
