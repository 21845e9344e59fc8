// Differential tests: CMensora against the literal model (tests/reference) over
// many random samples and call sequences. Results, out-parameters, returned
// arrays and private state must agree bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <vector>

#include "Mensora.h"
#include "literal.h"
#include "support/test_access.h"

namespace {

using Access = MensoraTestAccess;
using mensora_ref::LiteralMensora;

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

std::uint64_t Bits(double d) {
  std::uint64_t b = 0;
  std::memcpy(&b, &d, sizeof b);
  return b;
}

#define EXPECT_SAME(a, b) EXPECT_EQ(Bits(a), Bits(b))

template <class T>
bool SameArray(const T* a, const T* b, std::int64_t n) {
  if ((a == nullptr) != (b == nullptr)) return false;
  return a == nullptr || n <= 0 || std::memcmp(a, b, static_cast<std::size_t>(n) * sizeof(T)) == 0;
}

// Sample shapes: the literal algorithms are quadratic or worse exactly on
// sorted stretches, ties and runs, so those dominate.
enum Shape { kRandom, kFewDistinct, kRuns, kStretches, kSpecial, kNearlySorted, kOrganPipe,
             kRotated, kClose, kAllEqual, kShapeCount };

std::vector<double> MakeSample(std::mt19937_64& rng, std::int32_t n, int shape, bool withNaN) {
  std::uniform_real_distribution<double> real(-1000.0, 1000.0);
  auto pick = [&](std::int32_t m) { return static_cast<std::int32_t>(rng() % static_cast<std::uint64_t>(m)); };
  std::vector<double> v(static_cast<std::size_t>(n));
  if (n == 0) return v;
  const double specials[] = {0.0, -0.0, kInf, -kInf, 1.0, -1.0, 2.5, 1e308, -1e308, 5e-324};
  switch (shape) {
    case kRandom:
      for (auto& x : v) x = real(rng);
      break;
    case kFewDistinct:
      for (auto& x : v) x = pick(2) ? static_cast<double>(pick(10)) : (pick(2) ? 0.0 : -0.0);
      break;
    case kRuns:
      for (std::int32_t i = 0; i < n;) {
        const double x = static_cast<double>(pick(20)) - 5.0;
        for (std::int32_t r = 1 + pick(30); r > 0 && i < n; --r) v[static_cast<std::size_t>(i++)] = x;
      }
      break;
    case kStretches:
      for (std::int32_t i = 0; i < n;) {
        const std::int32_t len = 1 + pick(200);
        const double base = static_cast<double>(pick(50));
        const bool up = pick(2) == 0;
        for (std::int32_t r = 0; r < len && i < n; ++r) {
          v[static_cast<std::size_t>(i++)] = std::floor(base + (up ? r : -r) / 3.0);
        }
      }
      break;
    case kSpecial:
      for (auto& x : v) x = specials[pick(10)];
      break;
    case kNearlySorted:
      for (std::int32_t i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = std::floor(i / 2.0);
      for (std::int32_t s = 0; s < n / 50 + 1; ++s) std::swap(v[static_cast<std::size_t>(pick(n))], v[static_cast<std::size_t>(pick(n))]);
      break;
    case kOrganPipe:
      for (std::int32_t i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = std::min(i, n - 1 - i);
      break;
    case kRotated:  // ascending with ties, then turned: one descent
      for (std::int32_t i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = std::floor(i / 2.0);
      std::rotate(v.begin(), v.begin() + pick(n), v.end());
      break;
    case kClose: {  // groups of values apart only in the low half of their bits, with repeats
      const std::int32_t groups = std::array<std::int32_t, 3>{1, 3, 50}[pick(3)];
      for (auto& x : v) x = 1024.0 + pick(groups) + std::ldexp(pick(4096), -40);
      break;
    }
    default:
      for (auto& x : v) x = 7.0;
      break;
  }
  if (pick(3) == 0 && n > 1) std::reverse(v.begin(), v.end());
  if (withNaN) {
    for (std::int32_t s = 0; s < 1 + n / 20; ++s) v[static_cast<std::size_t>(pick(n))] = kNaN;
  }
  return v;
}

// Lengths of the buffers as last reported by successful calls.
struct Lengths {
  std::int64_t subSection = 0, area = 0, secBreak = 0, secCount = 0, secIds = 0, stdBreak = 0,
               stdCount = 0, stdIds = 0;
};

void ExpectSameState(const CMensora& m, const LiteralMensora& r, const Lengths& len) {
  ASSERT_EQ(Access::OrderNum(m), r.m_lOrderNum);
  EXPECT_EQ(Access::Ordered(m), r.m_bOrdered);
  ASSERT_TRUE(SameArray(Access::View(m), r.m_pOrderData, r.m_lOrderNum)) << "sorted view differs";
  EXPECT_EQ(Access::AverDone(m), r.m_bAverDone);
  EXPECT_EQ(Access::NumerousDone(m), r.m_bNumerousDone);
  EXPECT_EQ(Access::DisDifDone(m), r.m_bDisDifDone);
  EXPECT_SAME(Access::AverNum(m), r.m_dAverNum);
  EXPECT_SAME(Access::NumerousValue(m), r.m_dNumerousNum);
  EXPECT_SAME(Access::MedianValue(m), r.m_dMedianNum);
  EXPECT_SAME(Access::StandDifValue(m), r.m_dStandDifNum);
  EXPECT_SAME(Access::DisDifAverValue(m), r.m_dDisDifAverNum);
  EXPECT_SAME(Access::DisDifSqrSumValue(m), r.m_dDisDifSqrSum);
  EXPECT_SAME(Access::SqrDifValue(m), r.m_dSqrDifNum);
  EXPECT_SAME(Access::AlterDifCoeValue(m), r.m_dAlterDifCoe);
  EXPECT_SAME(Access::SqraverDifValue(m), r.m_dSqraverDifNum);
  EXPECT_TRUE(SameArray(Access::SubSection(m), r.m_pSubSection, len.subSection));
  EXPECT_TRUE(SameArray(Access::AreaID(m), r.m_pAreaID, len.area));
  EXPECT_TRUE(SameArray(Access::SecBreak(m), r.m_pSecBreak, len.secBreak));
  EXPECT_TRUE(SameArray(Access::SecIDNum(m), r.m_pSecIDNum, len.secCount));
  EXPECT_TRUE(SameArray(Access::SecID(m), r.m_pSecID, len.secIds));
  EXPECT_TRUE(SameArray(Access::StdBreak(m), r.m_pStdBreak, len.stdBreak));
  EXPECT_TRUE(SameArray(Access::StdIDNum(m), r.m_pStdIDNum, len.stdCount));
  EXPECT_TRUE(SameArray(Access::StdID(m), r.m_pStdID, len.stdIds));
}

// One class-method call on both objects; compares status, out-parameters and
// the returned arrays, and records the lengths.
template <class CallM, class CallR>
void SameClassResult(CallM callM, CallR callR, std::int64_t& breakLen, std::int64_t& countLen,
                     std::int64_t& idLen) {
  double* bm = nullptr;
  double* br = nullptr;
  std::int32_t nm = -7, nr = -7;
  std::int32_t *im = nullptr, *ir = nullptr, *cm = nullptr, *cr = nullptr;
  const std::int32_t sm = callM(&bm, &nm, &im, &cm);
  const std::int32_t sr = callR(&br, &nr, &ir, &cr);
  ASSERT_EQ(sm, sr);
  ASSERT_EQ(nm, nr);
  if (sr != 1) return;
  const std::int32_t k = nr - 1;
  std::int64_t total = 0;
  for (std::int32_t s = 0; s < k; ++s) total += cr[s];
  EXPECT_TRUE(SameArray(bm, br, nr)) << "breaks differ";
  ASSERT_TRUE(SameArray(cm, cr, k)) << "member counts differ";
  EXPECT_TRUE(SameArray(im, ir, total)) << "member ids differ";
  breakLen = nr;
  countLen = k;
  idLen = total;
}

// A value for an argument: mostly taken from the sample, sometimes special.
double ArgValue(std::mt19937_64& rng, const std::vector<double>& v) {
  const double special[] = {kNaN, kInf, -kInf, 0.0, -0.0, AUTO_MAX, AUTO_MIN, 1e-8};
  if (v.empty() || rng() % 5 == 0) return special[rng() % 8];
  const double x = v[rng() % v.size()];
  switch (rng() % 4) {
    case 0: return x + 1e-8;
    case 1: return x - 0.5;
    default: return x;
  }
}

// Drives both objects through the same random call sequence. The first call
// that needs the view decides its sort: SubSectionNum (exchange sort) or any
// other (quicksort).
void RunSequence(std::vector<double>& data, std::mt19937_64& rng, int calls, int firstOp,
                 std::int32_t maxClasses) {
  const auto n = static_cast<std::int32_t>(data.size());
  CMensora m(data.data(), n);
  LiteralMensora r(data.data(), n);
  Lengths len;
  for (int c = 0; c < calls; ++c) {
    const int op = c == 0 ? firstOp : static_cast<int>(rng() % 20);
    SCOPED_TRACE(testing::Message() << "call " << c << " op " << op << " n " << n);
    switch (op) {
      case 0: EXPECT_SAME(m.MedianNum(), r.MedianNum()); break;
      case 1: {
        double* pm = nullptr;
        double* pr = nullptr;
        std::int32_t cm = -1, cr = -1;
        const std::int32_t step = static_cast<std::int32_t>(rng() % static_cast<std::uint64_t>(n + 2)) - (rng() % 4 == 0 ? 1 : 0);
        m.SubSectionNum(&pm, step, &cm);
        r.SubSectionNum(&pr, step, &cr);
        ASSERT_EQ(cm, cr);
        ASSERT_EQ(pm == nullptr, pr == nullptr);
        if (pr != nullptr) {
          EXPECT_TRUE(SameArray(pm, pr, cr));
          len.subSection = cr;
        }
        break;
      }
      case 2: {
        double a = 1, b = 2, x = 1, y = 2;
        m.ExtremumNum(&a, &b);
        r.ExtremumNum(&x, &y);
        EXPECT_SAME(a, x);
        EXPECT_SAME(b, y);
        EXPECT_SAME(m.ExtreDifNum(), r.ExtreDifNum());
        break;
      }
      case 3: EXPECT_SAME(m.NumerousNum(), r.NumerousNum()); break;
      case 4: {
        const std::int32_t only = static_cast<std::int32_t>(rng() % 2);
        EXPECT_SAME(m.PowerArithAverNum(only), r.PowerArithAverNum(only));
        break;
      }
      case 5:
        EXPECT_SAME(m.SimpleArithAverNum(), r.SimpleArithAverNum());
        EXPECT_SAME(m.GeometryAverNum(), r.GeometryAverNum());
        break;
      case 6:
        EXPECT_SAME(m.DisDifAverNum(), r.DisDifAverNum());
        EXPECT_SAME(m.DeflectDegree(), r.DeflectDegree());
        EXPECT_SAME(m.ApexDegree(), r.ApexDegree());
        EXPECT_SAME(m.AlterDifCoe(), r.AlterDifCoe());
        break;
      case 7: {
        const double lo = ArgValue(rng, data), hi = ArgValue(rng, data);
        std::int32_t *am = nullptr, *ar = nullptr;
        std::int32_t nm = -1, nr = -1;
        ASSERT_EQ(m.DataStatByArea(lo, hi, &am, &nm), r.DataStatByArea(lo, hi, &ar, &nr));
        ASSERT_EQ(nm, nr);
        if (ar != nullptr) {
          EXPECT_TRUE(SameArray(am, ar, nr));
          len.area = nr;
        }
        break;
      }
      case 8:
      case 9: {
        const std::int32_t k = static_cast<std::int32_t>(rng() % static_cast<std::uint64_t>(maxClasses)) + (rng() % 8 == 0 ? -1 : 1);
        SameClassResult([&](double** b, std::int32_t* nb, std::int32_t** i, std::int32_t** cn) { return m.DataSecByMaxMin(k, b, nb, i, cn); },
                        [&](double** b, std::int32_t* nb, std::int32_t** i, std::int32_t** cn) { return r.DataSecByMaxMin(k, b, nb, i, cn); },
                        len.secBreak, len.secCount, len.secIds);
        break;
      }
      case 10: {
        const double start = ArgValue(rng, data), end = ArgValue(rng, data);
        double step = (end - start) / static_cast<double>(1 + rng() % static_cast<std::uint64_t>(maxClasses));
        if (rng() % 4 == 0) step = ArgValue(rng, data);
        double max = 0.0;
        m.ExtremumNum(nullptr, nullptr);  // as the method does first
        r.ExtremumNum(&max, nullptr);
        const double q = ((std::fabs(end - AUTO_MAX) >= EQ_TOLERANCE ? end : max) - start) / step;
        if (q > 100.0 * maxClasses) break;  // keeps the break arrays small
        SameClassResult([&](double** b, std::int32_t* nb, std::int32_t** i, std::int32_t** cn) { return m.DataStatByStartAndStep(start, step, b, nb, i, cn, end); },
                        [&](double** b, std::int32_t* nb, std::int32_t** i, std::int32_t** cn) { return r.DataStatByStartAndStep(start, step, b, nb, i, cn, end); },
                        len.secBreak, len.secCount, len.secIds);
        break;
      }
      case 11: {
        const double start = ArgValue(rng, data), end = rng() % 2 ? AUTO_MAX : ArgValue(rng, data);
        const std::int32_t k = static_cast<std::int32_t>(rng() % static_cast<std::uint64_t>(maxClasses));
        SameClassResult([&](double** b, std::int32_t* nb, std::int32_t** i, std::int32_t** cn) { return m.DataStatByStartAndGroupNum(start, k, b, nb, i, cn, end); },
                        [&](double** b, std::int32_t* nb, std::int32_t** i, std::int32_t** cn) { return r.DataStatByStartAndGroupNum(start, k, b, nb, i, cn, end); },
                        len.secBreak, len.secCount, len.secIds);
        break;
      }
      case 12:
      case 13: {
        const std::int32_t steps = static_cast<std::int32_t>(rng() % 5);
        const double times[] = {0.0, 0.5, 1.0, 2.5, -1.0};
        const double t = times[rng() % 5];
        if (op == 12) {
          SameClassResult([&](double** b, std::int32_t* nb, std::int32_t** i, std::int32_t** cn) { return m.DataSecByAverStd(steps, t, b, nb, i, cn); },
                          [&](double** b, std::int32_t* nb, std::int32_t** i, std::int32_t** cn) { return r.DataSecByAverStd(steps, t, b, nb, i, cn); },
                          len.stdBreak, len.stdCount, len.stdIds);
        } else {
          const double lo = rng() % 2 ? AUTO_MIN : ArgValue(rng, data);
          const double hi = rng() % 2 ? AUTO_MAX : ArgValue(rng, data);
          SameClassResult([&](double** b, std::int32_t* nb, std::int32_t** i, std::int32_t** cn) { return m.DataSecByAverStdAndMinMax(steps, t, b, nb, i, cn, lo, hi); },
                          [&](double** b, std::int32_t* nb, std::int32_t** i, std::int32_t** cn) { return r.DataSecByAverStdAndMinMax(steps, t, b, nb, i, cn, lo, hi); },
                          len.stdBreak, len.stdCount, len.stdIds);
        }
        break;
      }
      case 14: {
        std::vector<std::int32_t> fm(data.size() + 1, -5), fr(data.size() + 1, -5);
        ASSERT_EQ(Access::FrequenceNum(m, data.data(), fm.data()), r.FrequenceNum(data.data(), fr.data()));
        EXPECT_EQ(fm, fr);
        break;
      }
      case 15: {
        if (Access::View(m) == nullptr) break;
        const double x = ArgValue(rng, data);
        EXPECT_EQ(Access::DataIDSeach(m, const_cast<ORDER_DATA*>(Access::View(m)), x, n),
                  r.DataIDSeach(r.m_pOrderData, x, n));
        break;
      }
      case 16:
        if (rng() % 4 == 0) {  // rebuild the view directly, by either sort
          const std::int32_t type = static_cast<std::int32_t>(rng() % 3);
          EXPECT_EQ(Access::OrderData(m, type), r.OrderData(type));
        }
        break;
      case 17:
        if (!data.empty() && rng() % 3 == 0) {  // the caller changes its array
          data[rng() % data.size()] = ArgValue(rng, data);
        }
        break;
      case 18: {  // copy assignment into fresh objects, then go on with the copies
        CMensora m2(nullptr, 0);
        LiteralMensora r2(nullptr, 0);
        m2 = m;
        r2 = r;
        ExpectSameState(m2, r2, Lengths{});
        EXPECT_SAME(m2.MedianNum(), r2.MedianNum());
        break;
      }
      default: {
        std::vector<double> a(data.size() + 1), b(data.size() + 1);
        const bool none = rng() % 5 == 0;
        m.DisDifNum(none ? nullptr : a.data());
        r.DisDifNum(none ? nullptr : b.data());
        EXPECT_TRUE(SameArray(a.data(), b.data(), n));
        break;
      }
    }
    ExpectSameState(m, r, len);
    if (testing::Test::HasFatalFailure()) return;
  }
}

TEST(Differential, SmallSamplesEveryCallOrder) {
  std::mt19937_64 rng(20261207);
  for (int round = 0; round < 4000; ++round) {
    // Below 64 values the library counts step by step, and below 256 it
    // quicksorts in place; above, by its fast forms.
    const std::int32_t n = static_cast<std::int32_t>(rng() % (round % 2 == 0 ? 300 : 64));
    auto data = MakeSample(rng, n, static_cast<int>(rng() % kShapeCount), rng() % 3 == 0);
    const int firstOps[] = {0, 1, 8, 12, 13, 3, 7};
    RunSequence(data, rng, 12, firstOps[round % 7], 40);
    if (HasFatalFailure()) return;
  }
}

TEST(Differential, MediumSamplesBothViews) {
  std::mt19937_64 rng(77);
  for (int round = 0; round < 48; ++round) {
    const std::int32_t n = 500 + static_cast<std::int32_t>(rng() % 3000);
    auto data = MakeSample(rng, n, round % kShapeCount, round % 3 == 2);
    RunSequence(data, rng, 10, round % 2 == 0 ? 0 : 1, 3000);
    if (HasFatalFailure()) return;
  }
}

// The largest samples the quadratic model allows in a modest time: one view by
// each sort, the counts and a few classifications per shape.
TEST(Differential, LargeSamples) {
  std::mt19937_64 rng(5);
  const int shapes[] = {kFewDistinct, kNearlySorted, kOrganPipe, kStretches, kRuns, kAllEqual};
  for (int round = 0; round < 8; ++round) {
    const std::int32_t n = 20000;
    auto data = MakeSample(rng, n, shapes[round % 6], round >= 6);
    RunSequence(data, rng, 4, round % 2 == 0 ? 0 : 1, 10000);
    if (HasFatalFailure()) return;
  }
}

// QuickSort and BubbleSort called directly on any range of any records.
TEST(Differential, SortsOnArbitraryRanges) {
  std::mt19937_64 rng(99);
  CMensora m(nullptr, 0);
  for (int round = 0; round < 3000; ++round) {
    const std::int32_t n = 1 + static_cast<std::int32_t>(rng() % (round % 50 == 0 ? 2000 : 400));
    const auto values = MakeSample(rng, n, static_cast<int>(rng() % kShapeCount), rng() % 3 == 0);
    std::vector<ORDER_DATA> a(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
      a[static_cast<std::size_t>(i)] = ORDER_DATA{values[static_cast<std::size_t>(i)], static_cast<std::int32_t>(rng() % 7)};
    }
    std::int32_t lo = static_cast<std::int32_t>(rng() % static_cast<std::uint64_t>(n));
    std::int32_t hi = static_cast<std::int32_t>(rng() % static_cast<std::uint64_t>(n));
    if (rng() % 3 == 0) std::swap(lo, hi);
    if (rng() % 4 == 0) {
      lo = 0;
      hi = n - 1;
    }
    auto b = a;
    auto c = a;
    if (round % 2 == 0) {
      Access::QuickSort(m, a.data(), lo, hi);
      mensora_ref::QuickSort(b.data(), lo, hi);
    } else {
      Access::BubbleSort(m, a.data(), lo, hi);
      mensora_ref::BubbleSort(b.data(), lo, hi);
    }
    ASSERT_TRUE(SameArray(a.data(), b.data(), n)) << "round " << round << " range " << lo << ".." << hi;
  }
}

// A sample with NaN in runs: every share of NaN from none to all, runs at
// either end or both, values with ties, signed zeros and infinities, or one
// value only.
std::vector<double> WithNaNRuns(std::mt19937_64& rng, std::int32_t n) {
  const double pool[] = {0.0, -0.0, kInf, -kInf, 1.0, 2.0, 3.0, -1.0, 0.5, 1e300};
  const std::uint64_t kinds = 1 + rng() % 10;  // one value when kinds is 1
  const double share = static_cast<double>(rng() % 11) / 10.0;
  const std::uint64_t runLength = 1 + rng() % 8;
  std::vector<double> v(static_cast<std::size_t>(n));
  for (std::size_t i = 0; i < v.size();) {
    const bool nan = std::uniform_real_distribution<double>(0.0, 1.0)(rng) < share;
    for (std::uint64_t r = 1 + rng() % runLength; r > 0 && i < v.size(); --r, ++i) {
      v[i] = nan ? kNaN : pool[rng() % kinds];
    }
  }
  const std::size_t ends = n > 0 ? rng() % static_cast<std::uint64_t>(n / 4 + 1) : 0;
  if (rng() % 3 == 0) std::fill(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(ends), kNaN);
  if (rng() % 3 == 0) std::fill(v.end() - static_cast<std::ptrdiff_t>(ends), v.end(), kNaN);
  return v;
}

void ExpectExchangeSortAsLiteral(const std::vector<double>& v) {
  std::vector<ORDER_DATA> a(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) a[i] = ORDER_DATA{v[i], static_cast<std::int32_t>(i)};
  auto b = a;
  CMensora m(nullptr, 0);
  const auto last = static_cast<std::int32_t>(v.size()) - 1;
  Access::BubbleSort(m, a.data(), 0, last);
  mensora_ref::BubbleSort(b.data(), 0, last);
  for (std::size_t i = 0; i < v.size(); ++i) {
    ASSERT_EQ(a[i].lID, b[i].lID) << "record " << i << " of " << v.size();
  }
}

TEST(Differential, ExchangeSortWithNaN) {
  std::mt19937_64 rng(1414);
  for (int round = 0; round < 6000; ++round) {
    ExpectExchangeSortAsLiteral(WithNaNRuns(rng, static_cast<std::int32_t>(rng() % 400)));
    if (HasFatalFailure()) return;
  }
}

// Runs of 1 to 60 NaN between stretches of a few hundred values with ties,
// and runs at both ends.
TEST(Differential, ExchangeSortOfALargeSampleWithNaNRuns) {
  std::mt19937_64 rng(30000);
  std::vector<double> v;
  while (v.size() < 30000) {
    v.insert(v.end(), 1 + rng() % 60, kNaN);
    for (std::uint64_t r = rng() % 600; r > 0; --r) {
      v.push_back(rng() % 8 == 0 ? -0.0 : static_cast<double>(rng() % 300));
    }
  }
  v.resize(30000);
  std::fill(v.end() - 25, v.end(), kNaN);
  ExpectExchangeSortAsLiteral(v);
}

// Both sorts of a sample without NaN give the values' positions in the order
// of a stable sort by value: so they must for distinct values, and for the
// derived shapes below.
void ExpectStableOrder(const std::vector<double>& sample) {
  const auto n = static_cast<std::int32_t>(sample.size());
  std::vector<std::pair<double, std::int32_t>> expected;
  for (std::int32_t i = 0; i < n; ++i) expected.emplace_back(sample[static_cast<std::size_t>(i)], i);
  std::stable_sort(expected.begin(), expected.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  for (std::int32_t type : {0, 1}) {
    std::vector<double> data = sample;
    CMensora m(data.data(), n);
    ASSERT_EQ(1, Access::OrderData(m, type));
    const ORDER_DATA* view = Access::View(m);
    for (std::int32_t i = 0; i < n; ++i) {
      ASSERT_EQ(view[i].lID, expected[static_cast<std::size_t>(i)].second)
          << "n " << n << " type " << type << " at " << i;
    }
  }
}

// Beyond the model's reach: samples of 300,000 values, against expectations
// that follow from the sorts' definitions. With distinct values (0.0 and -0.0
// count as one value) every correct sort gives the same view; with all values
// equal neither sort moves a record.
TEST(Differential, LargeSamplesAgainstDerivedExpectations) {
  const std::int32_t n = 300000;
  std::vector<double> ascending(n), descending(n), equal(n, -0.0), organ(n);
  for (std::int32_t i = 0; i < n; ++i) {
    ascending[static_cast<std::size_t>(i)] = i * 0.5;
    descending[static_cast<std::size_t>(i)] = -i * 0.5;
    organ[static_cast<std::size_t>(i)] = (i < n / 2 ? i : n + n / 2 - i) * 0.25;
  }
  std::mt19937_64 rng(3);
  auto shuffled = ascending;
  std::shuffle(shuffled.begin(), shuffled.end(), rng);
  for (const auto* sample : {&ascending, &descending, &equal, &organ, &shuffled}) {
    ExpectStableOrder(*sample);
    if (HasFatalFailure()) return;
    std::vector<double> data = *sample;
    std::map<double, std::int32_t> tally;
    for (double x : data) ++tally[x];
    std::vector<std::int32_t> counts(static_cast<std::size_t>(n));
    CMensora m(data.data(), n);
    Access::FrequenceNum(m, data.data(), counts.data());
    for (std::int32_t i = 0; i < n; ++i) {
      ASSERT_EQ(counts[static_cast<std::size_t>(i)], tally[data[static_cast<std::size_t>(i)]]);
    }
  }
}

// Distinct values that agree in the high half of their bits and differ only
// below it: runs of every length the sort finishes apart (a few, a few dozen,
// hundreds, all of them). MakeSample's kClose adds repeats.
TEST(Differential, CloseValuesInOrder) {
  std::mt19937_64 rng(11);
  const std::pair<std::int32_t, std::int32_t> cases[] = {{1500, 50}, {6000, 50}, {1500, 3},
                                                         {300000, 1}};
  for (const auto& [n, groups] : cases) {
    std::vector<double> data(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
      data[static_cast<std::size_t>(i)] = 1024.0 + i % groups + std::ldexp(i / groups, -40);
    }
    std::shuffle(data.begin(), data.end(), rng);
    ExpectStableOrder(data);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
