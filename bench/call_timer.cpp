// Timed calls of the library for the benchmarks of the bindings: a host
// alternates its own calls with these on the same values, and these are timed
// here, in C++, so that no cost of the foreign call enters the C++ time. Each
// function makes `repeat` whole calls (object or handle, sorted view, result,
// release) and returns their seconds in all, or a negative number when a call
// failed; the k + 1 breaks of the last call go to `breaks`, for a check of
// bit-for-bit equality. The values are `samples` samples of n values one
// after the other, and call r takes sample (first + r) % samples: the same
// values called again and again let the processor learn the branches of the
// call, which no caller's real use allows.
#include <chrono>
#include <cstdint>

#include "Mensora.h"
#include "mensora_c.h"

#if defined(_WIN32)
#  define MENSORA_TIMER_API extern "C" __declspec(dllexport)
#else
#  define MENSORA_TIMER_API extern "C" __attribute__((visibility("default")))
#endif

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// One call of the C++ class; see mensora_timer_cpp.
bool CppCall(const double* values, std::int32_t n, std::int32_t k, std::int32_t method,
             double* breaks, std::int32_t* labels) {
  double* got = nullptr;
  std::int32_t count = 0;
  std::int32_t* ids = nullptr;
  std::int32_t* sizes = nullptr;
  // The object only reads the array.
  CMensora object(const_cast<double*>(values), n);
  const std::int32_t status =
      method == 1 ? object.DataSecByQuantile(k, &got, &count, &ids, &sizes)
                  : object.DataSecByNaturalBreaks(k, &got, &count, &ids, &sizes);
  if (status != 1) return false;
  if (method == 2) {
    for (std::int32_t i = 0; i < n; ++i) labels[i] = -1;
    const std::int32_t* id = ids;
    for (std::int32_t s = 0; s + 1 < count; ++s) {
      for (std::int32_t j = 0; j < sizes[s]; ++j) labels[*id++] = s;
    }
    double sdam = 0, sdcm = 0, gvf = 0, adcm = 0, tai = 0;
    if (object.DataSecFitNum(0, &sdam, &sdcm, &gvf, &adcm, &tai) != 1) return false;
    // What labels read from the members, which the binding's result keeps.
    double lowest[64], highest[64];
    std::int32_t whole = 0;
    if (count - 1 > 64 || object.DataSecClassExtremes(0, lowest, highest, &whole) != 1) {
      return false;
    }
  }
  for (std::int32_t s = 0; s < count; ++s) breaks[s] = got[s];
  return true;
}

}  // namespace

// The C++ class: natural breaks (method 0) or quantile breaks (method 1) of
// a new object; method 2 is natural breaks with what a caller that wants
// what a binding's class result holds adds: the class of every position from
// the member lists into labels[0..n-1], the goodness of fit, and the smallest
// and largest member of each class (for labels; at most 64 classes).
MENSORA_TIMER_API double mensora_timer_cpp(const double* values, std::int32_t n, std::int32_t k,
                                           std::int32_t method, std::int32_t samples,
                                           std::int32_t first, std::int32_t repeat,
                                           double* breaks, std::int32_t* labels) {
  const Clock::time_point start = Clock::now();
  for (std::int32_t r = 0; r < repeat; ++r) {
    const std::int64_t sample = (static_cast<std::int64_t>(first) + r) % samples;
    if (!CppCall(values + sample * n, n, k, method, breaks, labels)) return -1.0;
  }
  return Since(start);
}

// Natural breaks through the C interface: handle, classes, release.
MENSORA_TIMER_API double mensora_timer_c(const double* values, std::int32_t n, std::int32_t k,
                                         std::int32_t samples, std::int32_t first,
                                         std::int32_t repeat, double* breaks) {
  const Clock::time_point start = Clock::now();
  for (std::int32_t r = 0; r < repeat; ++r) {
    const std::int64_t turn = (static_cast<std::int64_t>(first) + r) % samples;
    mensora_sample* sample = mensora_sample_new(values + turn * n, n);
    mensora_classes classes;
    const int status = sample == nullptr ? MENSORA_ERROR_MEMORY
                                         : mensora_classify_natural(sample, k, &classes);
    if (status == MENSORA_OK) {
      for (std::int32_t s = 0; s <= k; ++s) breaks[s] = classes.breaks[s];
    }
    mensora_sample_free(sample);
    if (status != MENSORA_OK) return -1.0;
  }
  return Since(start);
}
