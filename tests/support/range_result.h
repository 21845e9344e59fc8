// A copy of one range-class result, and the invariants every quantile or
// natural-breaks result must satisfy.
#ifndef MENSORA_TESTS_SUPPORT_RANGE_RESULT_H
#define MENSORA_TESTS_SUPPORT_RANGE_RESULT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "Mensora.h"

struct RangeResult {
  std::int32_t status = 0;
  std::vector<double> breaks;
  std::vector<std::int32_t> counts;
  std::vector<std::int32_t> ids;
  // Ids of each class.
  std::vector<std::vector<std::int32_t>> classes;
};

using RangeMethod = std::int32_t (CMensora::*)(std::int32_t, double**, std::int32_t*,
                                               std::int32_t**, std::int32_t**);

// Runs call(m, &breaks, &breakNum, &ids, &counts), any class method with
// its leading arguments bound, and copies its result.
template <class Call>
RangeResult RunClasses(CMensora& m, Call call) {
  RangeResult r;
  double* breaks = nullptr;
  std::int32_t breakNum = 0;
  std::int32_t* ids = nullptr;
  std::int32_t* counts = nullptr;
  r.status = call(m, &breaks, &breakNum, &ids, &counts);
  if (r.status != 1) return r;
  const std::int32_t k = breakNum - 1;
  r.breaks.assign(breaks, breaks + breakNum);
  r.counts.assign(counts, counts + k);
  std::int32_t at = 0;
  for (std::int32_t s = 0; s < k; ++s) {
    r.classes.emplace_back(ids + at, ids + at + counts[s]);
    at += counts[s];
  }
  r.ids.assign(ids, ids + at);
  return r;
}

inline RangeResult RunRange(CMensora& m, RangeMethod method, std::int32_t k) {
  return RunClasses(m, [method, k](CMensora& o, double** b, std::int32_t* n, std::int32_t** i,
                                   std::int32_t** c) { return (o.*method)(k, b, n, i, c); });
}

inline RangeResult RunRange(std::vector<double> data, RangeMethod method, std::int32_t k) {
  CMensora m(data.data(), static_cast<std::int32_t>(data.size()));
  return RunRange(m, method, k);
}

// Counts sum to the number of values that are not NaN, each such id is
// listed once and no NaN is, the breaks ascend, break[k] is the largest
// value, and every member lies in its class.
inline void ExpectRangeInvariants(const std::vector<double>& data, const RangeResult& r,
                                  std::int32_t k) {
  ASSERT_EQ(1, r.status);
  ASSERT_EQ(static_cast<std::size_t>(k) + 1, r.breaks.size());
  std::vector<int> seen(data.size(), 0);
  for (std::int32_t id : r.ids) {
    ASSERT_GE(id, 0);
    ASSERT_LT(static_cast<std::size_t>(id), data.size());
    ++seen[id];
  }
  double max = -INFINITY;
  bool any = false;
  for (std::size_t i = 0; i < data.size(); ++i) {
    EXPECT_EQ(std::isnan(data[i]) ? 0 : 1, seen[i]) << "id " << i;
    if (!std::isnan(data[i])) {
      any = true;
      if (data[i] > max) max = data[i];
    }
  }
  if (!any) return;
  EXPECT_EQ(max, r.breaks[k]);
  for (std::int32_t s = 0; s < k; ++s) {
    EXPECT_LE(r.breaks[s], r.breaks[s + 1]) << "break " << s;
    for (std::int32_t id : r.classes[s]) {
      EXPECT_LE(r.breaks[s], data[id]);
      if (s + 1 < k) {
        EXPECT_LT(data[id], r.breaks[s + 1]);
      } else {
        EXPECT_LE(data[id], r.breaks[s + 1]);
      }
    }
  }
}

// A result whose last class is closed at its upper break, checked against
// the breaks themselves: every value that is not NaN is listed once in the
// first class s with break[s] <= value < break[s + 1] (value <= break[k] for
// the last), a value in no such class and NaN nowhere, each class ascending.
inline void ExpectClosedClasses(const std::vector<double>& data, const RangeResult& r) {
  ASSERT_EQ(1, r.status);
  const auto k = static_cast<std::int32_t>(r.breaks.size()) - 1;
  ASSERT_GE(k, 1);
  std::vector<std::vector<std::int32_t>> expected(static_cast<std::size_t>(k));
  for (std::size_t i = 0; i < data.size(); ++i) {
    const double v = data[i];
    for (std::int32_t s = 0; s < k; ++s) {
      if (v >= r.breaks[s] && (v < r.breaks[s + 1] || (s == k - 1 && v <= r.breaks[k]))) {
        expected[s].push_back(static_cast<std::int32_t>(i));
        break;
      }
    }
  }
  for (std::int32_t s = 0; s < k; ++s) {
    std::vector<std::int32_t> got = r.classes[s];
    for (std::size_t j = 1; j < got.size(); ++j) EXPECT_LE(data[got[j - 1]], data[got[j]]);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(expected[s], got) << "class " << s;
  }
}

#endif  // MENSORA_TESTS_SUPPORT_RANGE_RESULT_H
