// The four out-parameters of a class method, preset to recognisable values so
// that a test can tell whether a call wrote them, and read back as vectors.
#ifndef MENSORA_TESTS_SUPPORT_CLASS_OUT_H
#define MENSORA_TESTS_SUPPORT_CLASS_OUT_H

#include <cstdint>
#include <numeric>
#include <vector>

#include "Mensora.h"

struct ClassOut {
  static double* UnsetBreaks() {
    static double unset = 0;
    return &unset;
  }
  static std::int32_t* UnsetIds() {
    static std::int32_t unset = 0;
    return &unset;
  }

  double* breaks = UnsetBreaks();
  std::int32_t breakNum = -7;
  std::int32_t* ids = UnsetIds();
  std::int32_t* counts = UnsetIds();

  bool Untouched() const {
    return breaks == UnsetBreaks() && breakNum == -7 && ids == UnsetIds() && counts == UnsetIds();
  }
  std::vector<double> Breaks() const { return std::vector<double>(breaks, breaks + breakNum); }
  std::vector<std::int32_t> Counts() const {
    return std::vector<std::int32_t>(counts, counts + breakNum - 1);
  }
  std::vector<std::int32_t> Ids() const {
    const std::vector<std::int32_t> c = Counts();
    return std::vector<std::int32_t>(ids, ids + std::accumulate(c.begin(), c.end(), 0));
  }
};

// The five class methods behind one signature: a and b are the method's two
// leading arguments (class count or start, step, steps and times), c and d its
// trailing ones (end value, window limits) where it has them.
enum class Method { kMaxMin, kStep, kGroup, kStd, kStdWindow };

inline std::int32_t Classify(CMensora& m, Method method, double a, double b, double c,
                             double d, ClassOut& o) {
  const auto count = static_cast<std::int32_t>(a);
  switch (method) {
    case Method::kMaxMin:
      return m.DataSecByMaxMin(count, &o.breaks, &o.breakNum, &o.ids, &o.counts);
    case Method::kStep:
      return m.DataStatByStartAndStep(a, b, &o.breaks, &o.breakNum, &o.ids, &o.counts, c);
    case Method::kGroup:
      return m.DataStatByStartAndGroupNum(a, static_cast<std::int32_t>(b), &o.breaks,
                                          &o.breakNum, &o.ids, &o.counts, c);
    case Method::kStd:
      return m.DataSecByAverStd(count, b, &o.breaks, &o.breakNum, &o.ids, &o.counts);
    case Method::kStdWindow:
      return m.DataSecByAverStdAndMinMax(count, b, &o.breaks, &o.breakNum, &o.ids, &o.counts, c,
                                         d);
  }
  return 0;
}

#endif  // MENSORA_TESTS_SUPPORT_CLASS_OUT_H
