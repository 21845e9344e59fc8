// The C interface's sample handle and the guards that keep C++ failures from
// crossing the C boundary.
#ifndef MENSORA_CAPI_INTERNAL_HANDLE_H
#define MENSORA_CAPI_INTERNAL_HANDLE_H

#include <cstdint>
#include <limits>

#include "Mensora.h"
#include "mensora_c.h"
#include "sample/internal/progress.h"

// One CMensora over the caller's array, with what the C layer needs to check
// arguments and to tell the causes of a failed call apart.
struct mensora_sample {
  mensora_sample(double* data, std::int32_t count) noexcept
      : object(data, count), values(data), n(count) {}

  CMensora object;
  const double* values;
  std::int32_t n;
  // The deviation cache of the object is filled (by this layer or by a
  // standard-deviation class call that succeeded).
  bool deviationsReady = false;
  // Whether the range and the standard-deviation class sets hold the result
  // of a class call: set by a call that succeeds, cleared by one that fails
  // for memory (it may have replaced an array), kept by one refused for its
  // arguments or its data (refused before any array is touched).
  bool rangeResult = false;
  bool stdResult = false;
  // The arrays of the current result of each set (valid while its flag is set).
  mensora_classes rangeClasses{};
  mensora_classes stdClasses{};
};

namespace mensora {
namespace capi {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Runs a call that returns a status; any exception (only a failed
// allocation can raise one) becomes MENSORA_ERROR_MEMORY, and a failure
// after the calling thread's progress handler asked to stop becomes
// MENSORA_ERROR_CANCELLED.
template <class Call>
int Guarded(Call call) noexcept {
  internal::BeginWork();
  int status = MENSORA_ERROR_MEMORY;
  try {
    status = call();
  } catch (...) {
    status = MENSORA_ERROR_MEMORY;
  }
  return status != MENSORA_OK && internal::WorkCancelled() ? MENSORA_ERROR_CANCELLED : status;
}

// Runs a measure on the handle's object: NaN for a NULL handle or when an
// exception is raised.
template <class Measure>
double GuardedMeasure(mensora_sample* sample, Measure measure) noexcept {
  if (sample == nullptr) return kNaN;
  try {
    return measure(sample->object);
  } catch (...) {
    return kNaN;
  }
}

// Whether the object holds its sorted view, built by the quicksort when it is
// missing (as every user of the view but the every-nth values builds it).
// The extremes are written only when the view exists; of two calls with
// different marks, either a later one writes or the view is missing.
bool SortedExtremes(CMensora& object, double* max, double* min) noexcept;

}  // namespace capi
}  // namespace mensora

#endif  // MENSORA_CAPI_INTERNAL_HANDLE_H
