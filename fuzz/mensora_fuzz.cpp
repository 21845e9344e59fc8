// Differential fuzzer: the library's CMensora and the literal model
// mensora_ref::LiteralMensora run side by side over the same sample and the
// same sequence of member calls. The input decodes into a sample (any double
// bit pattern, with shapes that give ties, runs and special values) and a list
// of calls with their arguments. After every call the results, the
// out-parameters, the arrays handed out and the whole private state of the two
// objects must agree bit for bit; the first difference is printed and aborts.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <iterator>
#include <memory>
#include <tuple>
#include <vector>

#include "Mensora.h"
#include "literal.h"
#include "support/test_access.h"

namespace {

using mensora_ref::LiteralMensora;
using Access = MensoraTestAccess;

// Sample sizes stay small enough for the model's quadratic sorts and counts,
// and class counts for its k x n collection scan.
constexpr std::int32_t kMaxSample = 600;
constexpr std::int32_t kMaxClasses = 3000;
constexpr int kMaxCalls = 48;

const char* g_call = "";  // the member being compared, for the report

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "difference after %s: %s\n", g_call, what);
  std::abort();
}

std::uint64_t Bits(double d) {
  std::uint64_t b = 0;
  std::memcpy(&b, &d, sizeof b);
  return b;
}

void SameDouble(double a, double b, const char* what) {
  if (Bits(a) != Bits(b)) {
    std::fprintf(stderr, "library %.17g (%016llx), model %.17g (%016llx)\n", a,
                 static_cast<unsigned long long>(Bits(a)), b,
                 static_cast<unsigned long long>(Bits(b)));
    Fail(what);
  }
}

void SameInt(std::int64_t a, std::int64_t b, const char* what) {
  if (a != b) {
    std::fprintf(stderr, "library %lld, model %lld\n", static_cast<long long>(a),
                 static_cast<long long>(b));
    Fail(what);
  }
}

template <class T>
void SameArray(const T* a, const T* b, std::int64_t n, const char* what) {
  if ((a == nullptr) != (b == nullptr)) Fail(what);
  if (a == nullptr || n <= 0) return;
  if (std::memcmp(a, b, static_cast<std::size_t>(n) * sizeof(T)) != 0) Fail(what);
}

// The lengths of the result buffers, known from the outputs of the last call
// that filled each one (neither object stores them).
struct Lengths {
  std::int64_t sub = 0;
  std::int64_t area = 0;
  std::int64_t secBreaks = 0;
  std::int64_t secIds = 0;
  std::int64_t stdBreaks = 0;
  std::int64_t stdIds = 0;
};

// One object of each kind over the same caller's array. The two arrays of a
// run never move; after a copy assignment a pair reads the other's array.
struct Pair {
  std::vector<double>* sample = nullptr;
  bool nullSample = false;  // the objects were given no array, only a count
  std::unique_ptr<CMensora> lib;
  std::unique_ptr<LiteralMensora> ref;
  Lengths len;

  double* Data() const { return nullSample ? nullptr : sample->data(); }
  std::int32_t Count() const { return static_cast<std::int32_t>(sample->size()); }
  void Build() {
    lib = std::make_unique<CMensora>(Data(), Count());
    ref = std::make_unique<LiteralMensora>(Data(), Count());
    len = Lengths{};
  }
};

// The measures each object keeps between calls.
struct StoredMeasure {
  const char* what;
  double (*lib)(const CMensora&);
  double LiteralMensora::*ref;
};
const StoredMeasure kStoredMeasures[] = {
    {"stored mean", Access::AverNum, &LiteralMensora::m_dAverNum},
    {"stored mode", Access::NumerousValue, &LiteralMensora::m_dNumerousNum},
    {"stored median", Access::MedianValue, &LiteralMensora::m_dMedianNum},
    {"stored standard deviation", Access::StandDifValue, &LiteralMensora::m_dStandDifNum},
    {"stored mean deviation", Access::DisDifAverValue, &LiteralMensora::m_dDisDifAverNum},
    {"stored sum of squares", Access::DisDifSqrSumValue, &LiteralMensora::m_dDisDifSqrSum},
    {"stored variance", Access::SqrDifValue, &LiteralMensora::m_dSqrDifNum},
    {"stored variation", Access::AlterDifCoeValue, &LiteralMensora::m_dAlterDifCoe},
    {"stored root mean square", Access::SqraverDifValue, &LiteralMensora::m_dSqraverDifNum}};

void SameState(const CMensora& l, const LiteralMensora& r, const Lengths& len) {
  if (Access::Data(l) != r.m_pData) Fail("sample pointer");
  SameInt(Access::DataNum(l), r.m_lDataNum, "sample count");
  SameInt(Access::Ordered(l), r.m_bOrdered, "view flag");
  SameInt(Access::OrderNum(l), r.m_lOrderNum, "view record count");
  SameArray(Access::View(l), r.m_pOrderData, r.m_lOrderNum, "view records");
  SameInt(Access::AverDone(l), r.m_bAverDone, "mean flag");
  SameInt(Access::NumerousDone(l), r.m_bNumerousDone, "mode flag");
  SameInt(Access::DisDifDone(l), r.m_bDisDifDone, "deviation flag");
  for (const StoredMeasure& f : kStoredMeasures) SameDouble(f.lib(l), r.*f.ref, f.what);
  SameArray(Access::SubSection(l), r.m_pSubSection, len.sub, "every-k-th buffer");
  SameArray(Access::AreaID(l), r.m_pAreaID, len.area, "window id buffer");
  SameArray(Access::SecBreak(l), r.m_pSecBreak, len.secBreaks, "range break buffer");
  SameArray(Access::SecIDNum(l), r.m_pSecIDNum, len.secBreaks - 1, "range count buffer");
  SameArray(Access::SecID(l), r.m_pSecID, len.secIds, "range id buffer");
  SameArray(Access::StdBreak(l), r.m_pStdBreak, len.stdBreaks, "deviation break buffer");
  SameArray(Access::StdIDNum(l), r.m_pStdIDNum, len.stdBreaks - 1, "deviation count buffer");
  SameArray(Access::StdID(l), r.m_pStdID, len.stdIds, "deviation id buffer");
}

// ---- Decoding --------------------------------------------------------------

double Special(FuzzedDataProvider& in) {
  static const double kSpecial[] = {
      0.0, -0.0, 1.0, -1.0, std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
      -std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::max(),
      -std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
      std::numeric_limits<double>::min(), AUTO_MAX, AUTO_MIN, AUTO_MAX + 5e-8,
      AUTO_MIN - 5e-8, EQ_TOLERANCE, HUGE_BOUND, -HUGE_BOUND, 1.5e308, 0.1, 1e-300};
  return kSpecial[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kSpecial) - 1)];
}

double RawDouble(FuzzedDataProvider& in) {
  const std::uint64_t bits = in.ConsumeIntegral<std::uint64_t>();
  double d = 0.0;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

double SampleValue(FuzzedDataProvider& in, double previous) {
  switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
    case 1:
    case 2: return in.ConsumeIntegralInRange<int>(-6, 6);
    case 3: return previous;
    case 4: return previous + 0.5 * in.ConsumeIntegralInRange<int>(-2, 2);
    case 5: return Special(in);
    default: return RawDouble(in);
  }
}

std::vector<double> DecodeSample(FuzzedDataProvider& in) {
  const std::int32_t n = in.ConsumeIntegralInRange<std::int32_t>(0, kMaxSample);
  std::vector<double> v(static_cast<std::size_t>(n));
  const int shape = in.ConsumeIntegralInRange<int>(0, 5);
  const double base = SampleValue(in, 0.0);
  const std::int32_t period = in.ConsumeIntegralInRange<std::int32_t>(1, 16);
  double previous = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    const auto at = static_cast<std::size_t>(i);
    switch (shape) {
      case 0: v[at] = previous = SampleValue(in, previous); break;
      case 1: v[at] = base + i; break;
      case 2: v[at] = base - i; break;
      case 3: v[at] = base; break;
      case 4: v[at] = i % period; break;
      default: v[at] = i < n / 2 ? i : n - i; break;
    }
  }
  // Patches over the shaped samples.
  if (shape != 0 && n > 0) {
    const int patches = in.ConsumeIntegralInRange<int>(0, 8);
    for (int p = 0; p < patches; ++p) {
      const auto at = in.ConsumeIntegralInRange<std::size_t>(0, static_cast<std::size_t>(n - 1));
      v[at] = SampleValue(in, v[at]);
    }
  }
  // Runs of NaN, as missing values come in real data, often at an end.
  const int runs = n > 0 ? in.ConsumeIntegralInRange<int>(0, 3) : 0;
  for (int r = 0; r < runs; ++r) {
    const auto size = static_cast<std::size_t>(n);
    const std::size_t longest = in.ConsumeBool() ? std::min<std::size_t>(size, 8) : size;
    const std::size_t length = in.ConsumeIntegralInRange<std::size_t>(1, longest);
    std::size_t at = 0;
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
      case 0: break;
      case 1: at = size - length; break;
      default: at = in.ConsumeIntegralInRange<std::size_t>(0, size - length); break;
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::fill_n(v.begin() + static_cast<std::ptrdiff_t>(at), length, in.ConsumeBool() ? nan : -nan);
  }
  return v;
}

// An argument value: small numbers, values of the sample, special values or
// any bit pattern.
double DoubleArg(FuzzedDataProvider& in, const std::vector<double>& sample) {
  switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
    case 1: return 0.25 * in.ConsumeIntegralInRange<int>(-40, 40);
    case 2:
    case 3:
      if (!sample.empty()) {
        return sample[in.ConsumeIntegralInRange<std::size_t>(0, sample.size() - 1)];
      }
      return 0.0;
    case 4: {
      if (sample.empty()) return 0.0;
      const double s = sample[in.ConsumeIntegralInRange<std::size_t>(0, sample.size() - 1)];
      return std::nextafter(s, in.ConsumeBool() ? HUGE_VAL : -HUGE_VAL);
    }
    case 5:
    case 6: return Special(in);
    default: return RawDouble(in);
  }
}

// A count argument: mostly small, up to limit, any negative value, or the
// smallest count the member rejects as too large (the accepted counts in
// between would make both objects allocate gigabytes).
std::int32_t CountArg(FuzzedDataProvider& in, std::int32_t limit, std::int32_t tooLarge) {
  switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0: return in.ConsumeIntegralInRange<std::int32_t>(std::numeric_limits<std::int32_t>::min(), 0);
    case 1: return in.ConsumeIntegralInRange<std::int32_t>(0, limit);
    case 2: return tooLarge;
    default: return in.ConsumeIntegralInRange<std::int32_t>(-2, 40);
  }
}

constexpr std::int32_t kClassesTooLarge = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kStepsTooLarge = (std::numeric_limits<std::int32_t>::max() - 3) / 2 + 1;

// ---- Output slots ----------------------------------------------------------

// Out-parameters start with a marker; an output a call must not write keeps it.
double* const kNoBreaks = reinterpret_cast<double*>(std::uintptr_t{0x10});
std::int32_t* const kNoIds = reinterpret_cast<std::int32_t*>(std::uintptr_t{0x20});
constexpr std::int32_t kNoCount = -77;

struct ClassOut {
  double* breaks = kNoBreaks;
  std::int32_t breakNum = kNoCount;
  std::int32_t* ids = kNoIds;
  std::int32_t* counts = kNoIds;
};

// Which of the four out-pointers a class call receives (mostly all of them).
struct ClassArgs {
  bool nullBreaks, nullNum, nullIds, nullCounts;
  explicit ClassArgs(FuzzedDataProvider& in) {
    const std::uint8_t b = in.ConsumeIntegral<std::uint8_t>();
    const bool some = b >= 232;
    nullBreaks = some && (b & 1);
    nullNum = some && (b & 2);
    nullIds = some && (b & 4);
    nullCounts = some && (b & 8);
  }
};

// Compares the outputs of a class call and the returned arrays, and records
// the buffer lengths from a successful call.
void SameClassResult(std::int32_t sl, std::int32_t sr, const ClassOut& l, const ClassOut& r,
                     std::int64_t& breakLen, std::int64_t& idLen) {
  SameInt(sl, sr, "class status");
  SameInt(l.breakNum, r.breakNum, "break count");
  if ((l.breaks == kNoBreaks) != (r.breaks == kNoBreaks)) Fail("break output written");
  if ((l.ids == kNoIds) != (r.ids == kNoIds)) Fail("id output written");
  if ((l.counts == kNoIds) != (r.counts == kNoIds)) Fail("count output written");
  if (sl != 1) return;
  if (l.breaks == kNoBreaks || l.ids == kNoIds || l.counts == kNoIds || l.breakNum < 2) {
    Fail("success without outputs");
  }
  SameArray(l.breaks, r.breaks, l.breakNum, "breaks");
  SameArray(l.counts, r.counts, l.breakNum - 1, "class counts");
  std::int64_t total = 0;
  for (std::int32_t s = 0; s + 1 < l.breakNum; ++s) total += l.counts[s];
  SameArray(l.ids, r.ids, total, "class ids");
  breakLen = l.breakNum;
  idLen = total;
}

// What a class method without a literal form must produce. `succeeds`:
// whether the call must succeed; `classes`: the class count it must give
// (0: any); `cover`: whether break[0] and break[k] must enclose the values
// that are not NaN (finite values only with `finiteOnly`).
struct Soundness {
  bool succeeds;
  std::int32_t classes;
  bool cover;
  bool finiteOnly;
  // For the best class count of natural breaks: the largest count and the
  // GVF asked for (0: not that method).
  std::int32_t maxClasses = 0;
  double minGvf = 0.0;
};

// The best class count k: 2 <= k <= maxClasses; a count below maxClasses
// reaches the GVF; the natural breaks of k - 1 classes do not.
void SoundClassCount(std::int32_t k, double gvf, const Soundness& want, const CMensora& object) {
  if (k < 2 || k > want.maxClasses) Fail("class count out of range");
  // A fit whose sums overflow (values near the largest double) is NaN and
  // tells nothing of the count chosen.
  if (k < want.maxClasses && !std::isnan(gvf) && !(gvf >= want.minGvf)) {
    Fail("GVF of the chosen count");
  }
  if (k == 2) return;
  CMensora fewer(nullptr, 0);
  fewer = object;
  ClassOut o;
  double fit[5] = {};
  if (fewer.DataSecByNaturalBreaks(k - 1, &o.breaks, &o.breakNum, &o.ids, &o.counts) != 1 ||
      fewer.DataSecFitNum(0, &fit[0], &fit[1], &fit[2], &fit[3], &fit[4]) != 1) {
    Fail("natural breaks of one class fewer");
  }
  if (fit[2] >= want.minGvf) Fail("one class fewer reaches the GVF");
}

// The values of the object's sorted view by id (the view, not the caller's
// array: the caller may have changed a value since the view was built).
std::vector<double> ViewValues(const CMensora& object) {
  const std::int32_t n = Access::OrderNum(object);
  std::vector<double> valueOf(static_cast<std::size_t>(n));
  for (std::int32_t e = 0; e < n; ++e) {
    const ORDER_DATA record = Access::View(object)[e];
    valueOf[static_cast<std::size_t>(record.lID)] = record.dValue;
  }
  return valueOf;
}

// A range-class result with the last class closed: the status and the
// outputs as `want` says; breaks that never descend; every value that is not
// NaN and lies within [break[0], break[k]] listed once, in the one class
// whose interval holds it, and no other value; and the fit of the result
// measurable, with a GVF of at most 1 and SDCM at most SDAM (up to
// rounding).
void SoundClassResult(std::int32_t status, const Soundness& want, const ClassOut& o,
                      CMensora& object) {
  if ((status == 1) != want.succeeds) Fail("class status");
  if (status != 1) {
    if (o.breaks != kNoBreaks || o.breakNum != kNoCount || o.ids != kNoIds || o.counts != kNoIds) {
      Fail("outputs written on failure");
    }
    return;
  }
  const std::int32_t k = o.breakNum - 1;
  if (k < 1 || (want.classes > 0 && k != want.classes)) Fail("break count");
  for (std::int32_t s = 0; s < k; ++s) {
    if (o.breaks[s + 1] < o.breaks[s]) Fail("breaks descend");
  }
  const std::vector<double> valueOf = ViewValues(object);
  const auto n = static_cast<std::int32_t>(valueOf.size());
  std::vector<bool> listed(valueOf.size(), false);
  std::int64_t at = 0;
  for (std::int32_t s = 0; s < k; ++s) {
    if (o.counts[s] < 0) Fail("negative class count");
    for (std::int32_t j = 0; j < o.counts[s]; ++j, ++at) {
      const std::int32_t id = o.ids[at];
      if (id < 0 || id >= n || listed[static_cast<std::size_t>(id)]) Fail("id out of range or twice");
      listed[static_cast<std::size_t>(id)] = true;
      const double v = valueOf[static_cast<std::size_t>(id)];
      const bool inside = v >= o.breaks[s] && (v < o.breaks[s + 1] || (s == k - 1 && v <= o.breaks[k]));
      if (!inside) Fail("member outside its class");
    }
  }
  for (std::int32_t i = 0; i < n; ++i) {
    const double v = valueOf[static_cast<std::size_t>(i)];
    const bool within = v >= o.breaks[0] && v <= o.breaks[k];
    if (within && !listed[static_cast<std::size_t>(i)]) Fail("value in no class");
    const bool counted = !std::isnan(v) && (!want.finiteOnly || std::isfinite(v));
    if (want.cover && counted && !within) Fail("breaks leave out a value");
  }
  double fit[5] = {};
  if (object.DataSecFitNum(0, &fit[0], &fit[1], &fit[2], &fit[3], &fit[4]) != 1) Fail("fit status");
  const double sdam = fit[0];
  const double sdcm = fit[1];
  const double gvf = fit[2];
  if (std::isfinite(sdam) && std::isfinite(sdcm)) {
    if (sdcm > sdam * (1 + 1e-9) + 1e-300 || gvf > 1.0 || !(fit[3] >= 0.0)) Fail("fit measures");
  }
  if (want.maxClasses > 0) SoundClassCount(k, gvf, want, object);
}

// The class count (end - start) / step that a step-class call would form,
// found on a copy of the model so that the objects themselves are untouched.
bool StepCallTooLarge(const LiteralMensora& ref, double start, double step, double end) {
  LiteralMensora probe(nullptr, 0);
  probe = ref;
  double max = 0.0;
  double min = 0.0;
  probe.ExtremumNum(&max, &min);
  const double last = std::fabs(end - AUTO_MAX) >= EQ_TOLERANCE ? end : max;
  const double quotient = (last - start) / step;
  return quotient >= 1.0 && quotient > kMaxClasses &&
         quotient < static_cast<double>(std::numeric_limits<std::int32_t>::max());
}

// ---- Calls -----------------------------------------------------------------

// The members that take no argument and return a double.
struct Getter {
  const char* name;
  double (CMensora::*lib)();
  double (LiteralMensora::*ref)();
};
#define MENSORA_GETTER(name) Getter{#name, &CMensora::name, &LiteralMensora::name}
const Getter kGetters[] = {
    MENSORA_GETTER(SimpleArithAverNum), MENSORA_GETTER(GeometryAverNum),
    MENSORA_GETTER(MedianNum),          MENSORA_GETTER(NumerousNum),
    MENSORA_GETTER(ExtreDifNum),        MENSORA_GETTER(DisDifAverNum),
    MENSORA_GETTER(DisDifSqrSum),       MENSORA_GETTER(SqrDifNum),
    MENSORA_GETTER(SqraverDifNum),      MENSORA_GETTER(StandDifNum),
    MENSORA_GETTER(AlterDifCoe),        MENSORA_GETTER(DeflectDegree),
    MENSORA_GETTER(ApexDegree)};
#undef MENSORA_GETTER
constexpr int kGetterCount = static_cast<int>(std::size(kGetters));

// The values of the view that are not NaN, ascending, for the expectations.
std::vector<double> SortedNumbers(const CMensora& object) {
  std::vector<double> numbers;
  for (double v : ViewValues(object)) {
    if (!std::isnan(v)) numbers.push_back(v);
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

// Up to 10 numbers: mostly ascending small ones, or any arguments.
std::vector<double> NumberList(FuzzedDataProvider& in, const std::vector<double>& sample,
                               bool percents) {
  std::vector<double> list(in.ConsumeIntegralInRange<std::size_t>(0, 10));
  for (double& v : list) {
    v = in.ConsumeIntegralInRange<int>(0, 3) == 0
            ? DoubleArg(in, sample)
            : (percents ? 0.5 * in.ConsumeIntegralInRange<int>(-2, 202) : DoubleArg(in, sample));
  }
  const bool anyNaN = std::any_of(list.begin(), list.end(), [](double v) { return std::isnan(v); });
  if (!anyNaN && in.ConsumeIntegralInRange<int>(0, 3) != 0) std::sort(list.begin(), list.end());
  return list;
}

// Whether a list is two or more non-decreasing numbers within [lo, hi].
bool AscendingWithin(const std::vector<double>& list, double lo, double hi) {
  if (list.size() < 2) return false;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (!(list[i] >= lo && list[i] <= hi) || (i > 0 && list[i] < list[i - 1])) return false;
  }
  return true;
}

// Calls one of the range-class methods that have no literal form, with
// decoded arguments, and says what its result must be (apart from the need
// for a sample).
Soundness MoreRangeClasses(FuzzedDataProvider& in, CMensora& copy, const std::vector<double>& sample,
                           ClassOut& o, std::int32_t& status) {
  copy.ExtremumNum(nullptr, nullptr);  // the view, as every class method builds it first
  const std::vector<double> numbers = SortedNumbers(copy);
  const bool any = !numbers.empty();
  auto out = [&o] { return std::make_tuple(&o.breaks, &o.breakNum, &o.ids, &o.counts); };
  auto [b, n, ids, counts] = out();
  const auto usable = [](std::int32_t k) { return k >= 1 && k < kClassesTooLarge; };
  switch (in.ConsumeIntegralInRange<int>(0, 9)) {
    case 0: {
      g_call = "DataSecByQuantile";
      const std::int32_t k = CountArg(in, kMaxClasses, kClassesTooLarge);
      status = copy.DataSecByQuantile(k, b, n, ids, counts);
      return {usable(k), k, true, false};
    }
    case 1: {
      g_call = "DataSecByNaturalBreaks";
      const std::int32_t k = CountArg(in, 64, kClassesTooLarge);
      status = copy.DataSecByNaturalBreaks(k, b, n, ids, counts);
      return {usable(k), k, true, false};
    }
    case 2: {
      g_call = "DataSecByBreaks";
      const std::vector<double> list = NumberList(in, sample, false);
      status = copy.DataSecByBreaks(list.empty() ? nullptr : list.data(),
                                    static_cast<std::int32_t>(list.size()), b, n, ids, counts);
      const bool valid = AscendingWithin(list, -DBL_MAX, DBL_MAX);
      return {valid, valid ? static_cast<std::int32_t>(list.size()) - 1 : 0, false, false};
    }
    case 3: {
      g_call = "DataSecByPercentile";
      const std::vector<double> list = NumberList(in, sample, true);
      status = copy.DataSecByPercentile(list.empty() ? nullptr : list.data(),
                                        static_cast<std::int32_t>(list.size()), b, n, ids, counts);
      const bool valid = AscendingWithin(list, 0, 100);
      const bool whole = valid && list.front() == 0 && list.back() == 100;
      return {valid, valid ? static_cast<std::int32_t>(list.size()) - 1 : 0, whole, false};
    }
    case 4: {
      g_call = "DataSecByPretty";
      const std::int32_t k = CountArg(in, kMaxClasses, kClassesTooLarge);
      status = copy.DataSecByPretty(k, b, n, ids, counts);
      const bool finite = std::any_of(numbers.begin(), numbers.end(),
                                      [](double v) { return std::isfinite(v); });
      return {usable(k) && finite, 0, true, true};
    }
    case 5: {
      g_call = "DataSecByGeometric";
      const std::int32_t k = CountArg(in, kMaxClasses, kClassesTooLarge);
      status = copy.DataSecByGeometric(k, b, n, ids, counts);
      const bool positive = any && numbers.front() > 0 && std::isfinite(numbers.back());
      return {usable(k) && positive, k, true, false};
    }
    case 6: {
      g_call = "DataSecByHeadTail";
      const double share = in.ConsumeBool() ? DoubleArg(in, sample)
                                            : 0.05 * in.ConsumeIntegralInRange<int>(0, 20);
      status = copy.DataSecByHeadTail(share, b, n, ids, counts);
      return {share > 0 && share < 1, 0, true, false};
    }
    case 7: {
      g_call = "DataSecByBoxPlot";
      const double hinge = in.ConsumeBool() ? DoubleArg(in, sample)
                                            : 0.25 * in.ConsumeIntegralInRange<int>(-1, 12);
      status = copy.DataSecByBoxPlot(hinge, b, n, ids, counts);
      return {hinge >= 0 && std::isfinite(hinge), 6, true, false};
    }
    case 9: {
      g_call = "DataSecByNaturalBreaksAuto";
      const std::int32_t k = CountArg(in, 24, kClassesTooLarge);
      const double gvf = in.ConsumeBool() ? DoubleArg(in, sample)
                                          : 0.05 * in.ConsumeIntegralInRange<int>(0, 20);
      status = copy.DataSecByNaturalBreaksAuto(k, gvf, b, n, ids, counts);
      return {k >= 2 && usable(k) && gvf >= 0 && gvf <= 1, 0, true, false, k, gvf};
    }
    default: {
      g_call = "DataSecByMaxBreaks";
      const std::int32_t k = CountArg(in, kMaxClasses, kClassesTooLarge);
      status = copy.DataSecByMaxBreaks(k, b, n, ids, counts);
      return {usable(k), k, true, false};
    }
  }
}

void RunCall(FuzzedDataProvider& in, Pair& p, Pair& other) {
  CMensora& lib = *p.lib;
  LiteralMensora& ref = *p.ref;
  const std::int32_t n = p.Count();
  const std::vector<double>& sample = *p.sample;
  const int op = in.ConsumeIntegralInRange<int>(0, kGetterCount + 19);
  if (op < kGetterCount) {
    const Getter& g = kGetters[op];
    g_call = g.name;
    SameDouble((lib.*g.lib)(), (ref.*g.ref)(), "result");
    return;
  }
  switch (op - kGetterCount) {
    case 0: {
      g_call = "PowerArithAverNum";
      const std::int32_t b = in.ConsumeBool() ? in.ConsumeIntegral<std::int32_t>()
                                              : in.ConsumeIntegralInRange<std::int32_t>(0, 1);
      SameDouble(lib.PowerArithAverNum(b), ref.PowerArithAverNum(b), "result");
      break;
    }
    case 1: {
      g_call = "SubSectionNum";
      const std::int32_t step = in.ConsumeBool() ? in.ConsumeIntegral<std::int32_t>()
                                                 : in.ConsumeIntegralInRange<std::int32_t>(-1, n + 1);
      const bool nullArray = in.ConsumeIntegralInRange<int>(0, 15) == 0;
      const bool nullNum = in.ConsumeIntegralInRange<int>(0, 7) == 0;
      double* al = kNoBreaks;
      double* ar = kNoBreaks;
      std::int32_t cl = kNoCount;
      std::int32_t cr = kNoCount;
      lib.SubSectionNum(nullArray ? nullptr : &al, step, nullNum ? nullptr : &cl);
      ref.SubSectionNum(nullArray ? nullptr : &ar, step, nullNum ? nullptr : &cr);
      SameInt(cl, cr, "count output");
      if ((al == kNoBreaks) != (ar == kNoBreaks)) Fail("array output written");
      if (al != kNoBreaks) {
        if (al != Access::SubSection(lib)) Fail("array output is not the object's buffer");
        // The count is n / step rounded up; the output count may be absent.
        const std::int64_t count = (static_cast<std::int64_t>(Access::OrderNum(lib)) + step - 1) / step;
        SameArray(al, ar, count, "every-k-th values");
        p.len.sub = count;
      }
      break;
    }
    case 2: {
      g_call = "ExtremumNum";
      const bool nullMax = in.ConsumeIntegralInRange<int>(0, 7) == 0;
      const bool nullMin = in.ConsumeIntegralInRange<int>(0, 7) == 0;
      double maxL = -123.0;
      double minL = -123.0;
      double maxR = -123.0;
      double minR = -123.0;
      lib.ExtremumNum(nullMax ? nullptr : &maxL, nullMin ? nullptr : &minL);
      ref.ExtremumNum(nullMax ? nullptr : &maxR, nullMin ? nullptr : &minR);
      SameDouble(maxL, maxR, "maximum");
      SameDouble(minL, minR, "minimum");
      break;
    }
    case 3: {
      g_call = "DisDifNum";
      const bool nullArray = in.ConsumeIntegralInRange<int>(0, 7) == 0;
      std::vector<double> dl(static_cast<std::size_t>(n), -321.0);
      std::vector<double> dr(static_cast<std::size_t>(n), -321.0);
      lib.DisDifNum(nullArray ? nullptr : dl.data());
      ref.DisDifNum(nullArray ? nullptr : dr.data());
      SameArray(dl.data(), dr.data(), n, "deviations");
      break;
    }
    case 4: {
      g_call = "DataStatByArea";
      const double lo = DoubleArg(in, sample);
      const double hi = DoubleArg(in, sample);
      const bool nullIds = in.ConsumeIntegralInRange<int>(0, 15) == 0;
      const bool nullNum = in.ConsumeIntegralInRange<int>(0, 15) == 0;
      std::int32_t* il = kNoIds;
      std::int32_t* ir = kNoIds;
      std::int32_t cl = kNoCount;
      std::int32_t cr = kNoCount;
      const std::int32_t sl = lib.DataStatByArea(lo, hi, nullIds ? nullptr : &il, nullNum ? nullptr : &cl);
      const std::int32_t sr = ref.DataStatByArea(lo, hi, nullIds ? nullptr : &ir, nullNum ? nullptr : &cr);
      SameInt(sl, sr, "status");
      SameInt(cl, cr, "id count");
      if ((il == kNoIds) != (ir == kNoIds)) Fail("id output written");
      if (sl == 1) {
        SameArray(il, ir, cl, "window ids");
        p.len.area = cl;
      }
      break;
    }
    case 5:
    case 6:
    case 7:
    case 8:
    case 9: {
      // The five class methods share their out-parameters and checks.
      ClassArgs a(in);
      ClassOut l;
      ClassOut r;
      auto outs = [&a](ClassOut& o) {
        return std::make_tuple(a.nullBreaks ? nullptr : &o.breaks, a.nullNum ? nullptr : &o.breakNum,
                               a.nullIds ? nullptr : &o.ids, a.nullCounts ? nullptr : &o.counts);
      };
      auto [bl, nl, il, cl] = outs(l);
      auto [br, nr, ir, cr] = outs(r);
      std::int32_t sl = 0;
      std::int32_t sr = 0;
      bool range = true;
      switch (in.ConsumeIntegralInRange<int>(0, 4)) {
        case 0: {
          g_call = "DataSecByMaxMin";
          const std::int32_t k = CountArg(in, kMaxClasses, kClassesTooLarge);
          sl = lib.DataSecByMaxMin(k, bl, nl, il, cl);
          sr = ref.DataSecByMaxMin(k, br, nr, ir, cr);
          break;
        }
        case 1: {
          g_call = "DataStatByStartAndStep";
          const double start = DoubleArg(in, sample);
          const double step = DoubleArg(in, sample);
          const double end = DoubleArg(in, sample);
          if (StepCallTooLarge(ref, start, step, end)) return;
          sl = lib.DataStatByStartAndStep(start, step, bl, nl, il, cl, end);
          sr = ref.DataStatByStartAndStep(start, step, br, nr, ir, cr, end);
          break;
        }
        case 2: {
          g_call = "DataStatByStartAndGroupNum";
          const double start = DoubleArg(in, sample);
          const std::int32_t k = CountArg(in, kMaxClasses, kClassesTooLarge);
          const double end = DoubleArg(in, sample);
          sl = lib.DataStatByStartAndGroupNum(start, k, bl, nl, il, cl, end);
          sr = ref.DataStatByStartAndGroupNum(start, k, br, nr, ir, cr, end);
          break;
        }
        case 3: {
          g_call = "DataSecByAverStd";
          range = false;
          const std::int32_t steps = CountArg(in, kMaxClasses / 2, kStepsTooLarge);
          const double times = DoubleArg(in, sample);
          sl = lib.DataSecByAverStd(steps, times, bl, nl, il, cl);
          sr = ref.DataSecByAverStd(steps, times, br, nr, ir, cr);
          break;
        }
        default: {
          g_call = "DataSecByAverStdAndMinMax";
          range = false;
          const std::int32_t steps = CountArg(in, kMaxClasses / 2, kStepsTooLarge);
          const double times = DoubleArg(in, sample);
          const double lo = DoubleArg(in, sample);
          const double hi = DoubleArg(in, sample);
          sl = lib.DataSecByAverStdAndMinMax(steps, times, bl, nl, il, cl, lo, hi);
          sr = ref.DataSecByAverStdAndMinMax(steps, times, br, nr, ir, cr, lo, hi);
          break;
        }
      }
      if (range) {
        SameClassResult(sl, sr, l, r, p.len.secBreaks, p.len.secIds);
      } else {
        SameClassResult(sl, sr, l, r, p.len.stdBreaks, p.len.stdIds);
      }
      break;
    }
    case 10: {
      g_call = "FrequenceNum";
      const int source = in.ConsumeIntegralInRange<int>(0, 7);
      std::vector<double> values(static_cast<std::size_t>(n));
      for (auto& v : values) v = SampleValue(in, 0.0);
      double* pv = source == 0                       ? nullptr
                   : source < 4 && !p.nullSample ? p.Data()
                                                 : values.data();
      const bool nullCounts = in.ConsumeIntegralInRange<int>(0, 15) == 0;
      std::vector<std::int32_t> fl(static_cast<std::size_t>(n), kNoCount);
      std::vector<std::int32_t> fr(static_cast<std::size_t>(n), kNoCount);
      const std::int32_t sl = Access::FrequenceNum(lib, pv, nullCounts ? nullptr : fl.data());
      const std::int32_t sr = ref.FrequenceNum(pv, nullCounts ? nullptr : fr.data());
      SameInt(sl, sr, "status");
      SameArray(fl.data(), fr.data(), n, "occurrence counts");
      break;
    }
    case 11: {
      g_call = "OrderData";
      const std::int32_t type = in.ConsumeBool() ? in.ConsumeIntegral<std::int32_t>()
                                                 : in.ConsumeIntegralInRange<std::int32_t>(-1, 2);
      SameInt(Access::OrderData(lib, type), ref.OrderData(type), "result");
      break;
    }
    case 12:
    case 13:
    case 14: {
      // The sorts and the gap search on a caller's records: the sample's
      // records, optionally sorted first by the model, over any range.
      const int which = in.ConsumeIntegralInRange<int>(0, 2);
      std::vector<ORDER_DATA> rl(static_cast<std::size_t>(n));
      for (std::int32_t i = 0; i < n; ++i) {
        rl[static_cast<std::size_t>(i)] = ORDER_DATA{sample[static_cast<std::size_t>(i)], i};
      }
      std::vector<ORDER_DATA> rr = rl;
      std::int32_t left = 0;
      std::int32_t right = n - 1;
      if (n > 0 && in.ConsumeBool()) {
        left = in.ConsumeIntegralInRange<std::int32_t>(0, n - 1);
        right = in.ConsumeIntegralInRange<std::int32_t>(left - 1, n - 1);
      }
      if (which == 0) {
        g_call = "QuickSort";
        Access::QuickSort(lib, rl.data(), left, right);
        ref.QuickSort(rr.data(), left, right);
        SameArray(rl.data(), rr.data(), n, "records");
      } else if (which == 1) {
        g_call = "BubbleSort";
        Access::BubbleSort(lib, rl.data(), left, right);
        ref.BubbleSort(rr.data(), left, right);
        SameArray(rl.data(), rr.data(), n, "records");
      } else {
        g_call = "DataIDSeach";
        if (in.ConsumeBool()) ref.QuickSort(rr.data(), 0, n - 1);
        const double d = DoubleArg(in, sample);
        const std::int32_t num = in.ConsumeIntegralInRange<std::int32_t>(-1, n);
        SameInt(Access::DataIDSeach(lib, rr.data(), d, num), ref.DataIDSeach(rr.data(), d, num),
                "gap");
      }
      break;
    }
    case 15:
    case 16: {
      // The caller changes a value of its array between calls.
      g_call = "a change of the caller's array";
      if (n == 0) break;
      const auto at = in.ConsumeIntegralInRange<std::size_t>(0, static_cast<std::size_t>(n - 1));
      (*p.sample)[at] = SampleValue(in, (*p.sample)[at]);
      break;
    }
    case 17: {
      g_call = "copy assignment";
      if (in.ConsumeBool()) {
        *p.lib = *p.lib;
        *p.ref = *p.ref;
      } else {
        *p.lib = *other.lib;
        *p.ref = *other.ref;
        p.len = Lengths{};
        p.sample = other.sample;
        p.nullSample = other.nullSample;
      }
      break;
    }
    case 18: {
      // The range classes that have no literal form run on a copy of the
      // library object, which must give a sound class result.
      CMensora copy(nullptr, 0);
      copy = lib;
      ClassOut o;
      std::int32_t status = 0;
      Soundness want = MoreRangeClasses(in, copy, sample, o, status);
      want.succeeds = want.succeeds && Access::Data(copy) != nullptr && Access::DataNum(copy) > 0;
      SoundClassResult(status, want, o, copy);
      break;
    }
    default: {
      // Both objects are destroyed and built afresh over the pair's array.
      g_call = "construction";
      p.Build();
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::vector<double> samples[2];
  Pair pairs[2];
  for (int i = 0; i < 2; ++i) {
    samples[i] = DecodeSample(in);
    pairs[i].sample = &samples[i];
    pairs[i].nullSample = in.ConsumeIntegralInRange<int>(0, 31) == 0;
    pairs[i].Build();
  }
  for (int call = 0; call < kMaxCalls && in.remaining_bytes() > 0; ++call) {
    const int which = in.ConsumeIntegralInRange<int>(0, 3) == 0 ? 1 : 0;
    Pair& p = pairs[which];
    RunCall(in, p, pairs[1 - which]);
    SameState(*p.lib, *p.ref, p.len);
  }
  g_call = "destruction";
  return 0;
}
