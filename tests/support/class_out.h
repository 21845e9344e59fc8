// The four out-parameters of a class method, preset to recognisable values so
// that a test can tell whether a call wrote them, and read back as vectors.
#ifndef MENSORA_TESTS_SUPPORT_CLASS_OUT_H
#define MENSORA_TESTS_SUPPORT_CLASS_OUT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "Mensora.h"
#include "support/test_access.h"

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
  int nullOut = -1;  // 0 to 3: that out-pointer is passed as null

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
  double** pb = o.nullOut == 0 ? nullptr : &o.breaks;
  std::int32_t* pn = o.nullOut == 1 ? nullptr : &o.breakNum;
  std::int32_t** pi = o.nullOut == 2 ? nullptr : &o.ids;
  std::int32_t** pc = o.nullOut == 3 ? nullptr : &o.counts;
  switch (method) {
    case Method::kMaxMin: return m.DataSecByMaxMin(count, pb, pn, pi, pc);
    case Method::kStep: return m.DataStatByStartAndStep(a, b, pb, pn, pi, pc, c);
    case Method::kGroup:
      return m.DataStatByStartAndGroupNum(a, static_cast<std::int32_t>(b), pb, pn, pi, pc, c);
    case Method::kStd: return m.DataSecByAverStd(count, b, pb, pn, pi, pc);
    case Method::kStdWindow: return m.DataSecByAverStdAndMinMax(count, b, pb, pn, pi, pc, c, d);
  }
  return 0;
}

// One worked example: a sample, a call (arguments as for Classify) and its
// expected outputs; empty expected breaks are not checked.
struct ClassCase {
  const char* what;
  std::vector<double> values;
  Method method;
  double a, b, c, d;
  std::vector<double> breaks;
  std::vector<std::int32_t> counts;
  std::vector<std::int32_t> ids;
};

// Runs the call on a fresh object: its outputs, and that they stand in the
// method's own buffer set while the other set stays empty.
inline void ExpectClassCase(const ClassCase& c) {
  SCOPED_TRACE(c.what);
  std::vector<double> v = c.values;
  CMensora m(v.data(), static_cast<std::int32_t>(v.size()));
  ClassOut o;
  ASSERT_EQ(1, Classify(m, c.method, c.a, c.b, c.c, c.d, o));
  EXPECT_EQ(static_cast<std::int32_t>(c.counts.size()) + 1, o.breakNum);
  if (!c.breaks.empty()) {
    EXPECT_EQ(c.breaks, o.Breaks());
  }
  EXPECT_EQ(c.counts, o.Counts());
  EXPECT_EQ(c.ids, o.Ids());
  const bool stdSet = c.method == Method::kStd || c.method == Method::kStdWindow;
  using A = MensoraTestAccess;
  EXPECT_EQ(o.breaks, stdSet ? A::StdBreak(m) : A::SecBreak(m));
  EXPECT_EQ(o.counts, stdSet ? A::StdIDNum(m) : A::SecIDNum(m));
  EXPECT_EQ(o.ids, stdSet ? A::StdID(m) : A::SecID(m));
  EXPECT_EQ(nullptr, stdSet ? A::SecBreak(m) : A::StdBreak(m));
}

#endif  // MENSORA_TESTS_SUPPORT_CLASS_OUT_H
