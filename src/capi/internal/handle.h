// The C interface's sample handle and the guards that keep C++ failures from
// crossing the C boundary.
#ifndef MENSORA_CAPI_INTERNAL_HANDLE_H
#define MENSORA_CAPI_INTERNAL_HANDLE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>

#include "Mensora.h"
#include "mensora_c.h"
#include "sample/internal/alloc.h"
#include "sample/internal/progress.h"

// One CMensora over the caller's array, with what the C layer needs to check
// arguments and to tell the causes of a failed call apart. A handle that
// skips missing values whose array holds NaN owns a compact copy of the
// other values (the object's array) and the caller's position of each.
struct mensora_sample {
  mensora_sample(double* data, std::int32_t count) noexcept
      : object(data, count), values(data), n(count), size(count) {}
  mensora_sample(mensora::internal::OwnedArray<double> kept,
                 mensora::internal::OwnedArray<std::int32_t> where, std::int32_t count,
                 std::int32_t callerSize) noexcept
      : object(kept.get(), count),
        values(kept.get()),
        n(count),
        size(callerSize),
        compact(std::move(kept)),
        positions(std::move(where)) {}

  CMensora object;
  // The object's array and its length (the values that are not missing).
  const double* values;
  std::int32_t n;
  // The length of the caller's array; size - n values are missing.
  std::int32_t size;
  mensora::internal::OwnedArray<double> compact;
  // positions[i]: the caller's position of values[i]; null without a copy.
  mensora::internal::OwnedArray<std::int32_t> positions;
  // The ids handed out by a handle with a copy, in the caller's positions:
  // those of the range classes, the standard-deviation classes and the
  // value window.
  mensora::internal::OwnedArray<std::int32_t> rangeIds;
  mensora::internal::OwnedArray<std::int32_t> stdIds;
  mensora::internal::OwnedArray<std::int32_t> selectIds;
  // The current result of each class set, valid while its flag below is set.
  mensora_classes rangeClasses{};
  mensora_classes stdClasses{};
  // The deviation cache of the object is filled (by this layer or by a
  // standard-deviation class call that succeeded).
  bool deviationsReady = false;
  // Whether the range and the standard-deviation class sets hold the result
  // of a class call: set by a call that succeeds, cleared by one that fails
  // for memory (it may have replaced an array), kept by one refused for its
  // arguments or its data (refused before any array is touched).
  bool rangeResult = false;
  bool stdResult = false;
};

namespace mensora {
namespace capi {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// The least limit on the number of classes (mensora_class_limit).
constexpr std::int32_t kClassLimit = std::int32_t{1} << 20;

// This thread's reason text: kReasonSize bytes, NUL-terminated.
constexpr std::size_t kReasonSize = 256;
char* ReasonBuffer() noexcept;

// Sets this thread's reason text (a printf format and its arguments, cut to
// kReasonSize - 1 characters) and returns the status.
template <class... Args>
int Fail(int status, const char* format, Args... args) noexcept {
  if constexpr (sizeof...(Args) == 0) {
    (void)std::snprintf(ReasonBuffer(), kReasonSize, "%s", format);
  } else {
    (void)std::snprintf(ReasonBuffer(), kReasonSize, format, args...);
  }
  return status;
}
// For a failure status, sets the reason to the status's own message.
int Failed(int status) noexcept;
// MENSORA_OK for 1 <= k <= mensora_class_limit(n), else a refusal with its reason.
int ClassCountRefused(std::int64_t k, std::int32_t n) noexcept;

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
    status = Failed(MENSORA_ERROR_MEMORY);
  }
  return status != MENSORA_OK && internal::WorkCancelled() ? Failed(MENSORA_ERROR_CANCELLED)
                                                           : status;
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

// MENSORA_ERROR_EMPTY with its reason (which tells when every value is missing).
int EmptyFailure(const mensora_sample& sample) noexcept;

// For a handle with a copy: the count ids at *ids turned into the caller's
// positions, in `kept`, and *ids pointed at them; false, with `kept` empty,
// when memory is short. Without a copy nothing changes.
bool TranslateIds(const mensora_sample& sample, const std::int32_t*& ids, std::int64_t count,
                  mensora::internal::OwnedArray<std::int32_t>& kept) noexcept;

// Whether the object holds its sorted view, built by the quicksort when it is
// missing (as every user of the view but the every-nth values builds it).
// The extremes are written only when the view exists; of two calls with
// different marks, either a later one writes or the view is missing.
bool SortedExtremes(CMensora& object, double* max, double* min) noexcept;

// The class of every position 0..n-1 into labels, -1 where none, from a
// result whose counts and ids are known to be sound (a handle's own).
void WriteLabels(const mensora_classes& classes, std::int32_t n, std::int32_t* labels) noexcept;

}  // namespace capi
}  // namespace mensora

#endif  // MENSORA_CAPI_INTERNAL_HANDLE_H
