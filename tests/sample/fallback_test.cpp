// When the working memory of the fast algorithms cannot be had, the library
// falls back to the step-by-step algorithms and still gives the same results.
// This binary's nothrow array allocation can be told to fail: every request
// from the k-th on, or only the k-th, counted from the last Arm().
#include <gtest/gtest.h>

#include "mensora_c.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <random>
#include <vector>

#include "Mensora.h"
#include "literal.h"
#include "support/test_access.h"

namespace {

struct Injection {
  bool on = false;
  long first = 0;  // requests first..last fail
  long last = 0;
  long seen = 0;
} g_injection;

void ArmRange(long first, long last) { g_injection = Injection{true, first, last, 0}; }
void Arm(long k, bool only) { ArmRange(k, only ? k : LONG_MAX); }
long Disarm() {
  const long seen = g_injection.seen;
  g_injection = Injection{};
  return seen;
}

}  // namespace

namespace {

// Live and peak bytes of the array allocations, each block carrying its size
// in a 16-byte header.
std::size_t g_live = 0;
std::size_t g_peak = 0;

void* Allocate(std::size_t size) {
  auto* block = static_cast<unsigned char*>(std::malloc(size + 16));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &size, sizeof size);
  g_live += size;
  if (g_live > g_peak) g_peak = g_live;
  return block + 16;
}

void Release(void* p) {
  if (p == nullptr) return;
  auto* block = static_cast<unsigned char*>(p) - 16;
  std::size_t size = 0;
  std::memcpy(&size, block, sizeof size);
  g_live -= size;
  std::free(block);
}

}  // namespace

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (g_injection.on) {
    const long index = ++g_injection.seen;
    if (g_injection.first <= index && index <= g_injection.last) return nullptr;
  }
  return Allocate(size);
}
void operator delete[](void* p) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void* operator new[](std::size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}

namespace {

using Access = MensoraTestAccess;

// Whether the library's allocations reach this binary's operators: a memory
// checker such as valgrind puts its own in their place.
bool ProbeActive() {
  double values[] = {2.0, 1.0};
  CMensora m(values, 2);
  Arm(0, true);
  m.MedianNum();  // the view's records
  return Disarm() == 1;
}

#define REQUIRE_PROBE() \
  if (!ProbeActive()) GTEST_SKIP() << "the allocation operators are replaced from outside"

std::vector<double> Sample(std::mt19937_64& rng, std::int32_t n, bool nan) {
  std::vector<double> v(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) {
    v[static_cast<std::size_t>(i)] = (i % 3 == 0) ? static_cast<double>(rng() % 7) : static_cast<double>(i / 4);
  }
  v[1] = -0.0;
  if (nan) {  // one NaN and a run of three
    const double x = std::numeric_limits<double>::quiet_NaN();
    v[static_cast<std::size_t>(rng() % static_cast<std::uint64_t>(n))] = x;
    std::fill_n(v.begin() + static_cast<std::ptrdiff_t>(rng() % static_cast<std::uint64_t>(n - 3)), 3, x);
  }
  return v;
}

bool SameView(const CMensora& m, const mensora_ref::LiteralMensora& r) {
  return Access::OrderNum(m) == r.m_lOrderNum && Access::View(m) != nullptr &&
         std::memcmp(Access::View(m), r.m_pOrderData, static_cast<std::size_t>(r.m_lOrderNum) * sizeof(ORDER_DATA)) == 0;
}

// Every failure point of a view build after the view's own records (the
// first request): the view is the literal one.
TEST(Fallback, ViewBuildsWithoutWorkingMemory) {
  REQUIRE_PROBE();
  std::mt19937_64 rng(11);
  for (bool nan : {false, true}) {
    auto data = Sample(rng, 1500, nan);
    const auto n = static_cast<std::int32_t>(data.size());
    for (std::int32_t type : {0, 1}) {
      mensora_ref::LiteralMensora r(data.data(), n);
      r.OrderData(type);
      CMensora probe(data.data(), n);
      Arm(0, true);
      Access::OrderData(probe, type);
      const long requests = Disarm();
      EXPECT_GE(requests, 4);  // the view, then the working memory
      for (long k = 2; k <= requests; ++k) {
        for (bool only : {false, true}) {
          CMensora m(data.data(), n);
          Arm(k, only);
          EXPECT_EQ(1, Access::OrderData(m, type));
          Disarm();
          EXPECT_TRUE(SameView(m, r)) << "type " << type << " failing request " << k << (only ? " only" : " on");
        }
      }
    }
  }
}

TEST(Fallback, CountsWithoutWorkingMemory) {
  REQUIRE_PROBE();
  std::mt19937_64 rng(12);
  for (bool nan : {false, true}) {
    auto data = Sample(rng, 1200, nan);
    const auto n = static_cast<std::int32_t>(data.size());
    mensora_ref::LiteralMensora r(data.data(), n);
    std::vector<std::int32_t> expected(data.size()), got(data.size());
    r.FrequenceNum(data.data(), expected.data());
    CMensora m(data.data(), n);
    Arm(1, false);
    EXPECT_EQ(1, Access::FrequenceNum(m, data.data(), got.data()));
    EXPECT_GE(Disarm(), 1);
    EXPECT_EQ(expected, got);
    // The mode's own counts array is its first request: without it there is
    // no mode yet; without the working memory after it, the literal mode.
    Arm(1, false);
    EXPECT_EQ(0.0, m.NumerousNum());
    Disarm();
    EXPECT_EQ(0, Access::NumerousDone(m));
    Arm(2, false);
    const double mode = m.NumerousNum();
    Disarm();
    const double literalMode = r.NumerousNum();
    EXPECT_EQ(0, std::memcmp(&mode, &literalMode, sizeof mode));
  }
}

// The class search over a view with NaN numbers its entries; without that
// memory the classes come from one pass over the view, and without the memory
// of that pass from the full scan: the same classes every time.
TEST(Fallback, ClassesWithoutWorkingMemory) {
  REQUIRE_PROBE();
  std::mt19937_64 rng(13);
  auto data = Sample(rng, 900, true);
  const auto n = static_cast<std::int32_t>(data.size());
  mensora_ref::LiteralMensora r(data.data(), n);
  r.MedianNum();
  double* br = nullptr;
  std::int32_t nr = 0;
  std::int32_t *ir = nullptr, *cr = nullptr;
  ASSERT_EQ(1, r.DataStatByStartAndStep(0.5, 3.0, &br, &nr, &ir, &cr, AUTO_MAX));
  const std::int32_t k = nr - 1;
  std::int32_t total = 0;
  for (std::int32_t s = 0; s < k; ++s) total += cr[s];
  // Requests: breaks, counts, numbering of the entries, class of each entry, ids.
  for (long lastFailing : {3L, 4L}) {
    CMensora m(data.data(), n);
    m.MedianNum();
    double* bm = nullptr;
    std::int32_t nm = 0;
    std::int32_t *im = nullptr, *cm = nullptr;
    ArmRange(3, lastFailing);
    ASSERT_EQ(1, m.DataStatByStartAndStep(0.5, 3.0, &bm, &nm, &im, &cm, AUTO_MAX));
    EXPECT_EQ(5, Disarm());
    ASSERT_EQ(nr, nm);
    EXPECT_EQ(std::vector<std::int32_t>(cr, cr + k), std::vector<std::int32_t>(cm, cm + k));
    EXPECT_EQ(std::vector<std::int32_t>(ir, ir + total), std::vector<std::int32_t>(im, im + total));
  }
}

// The working memory of a view build stays within 48 bytes per value beyond
// the view's own 12 (and its header), for every shape and either sort.
TEST(Fallback, ViewBuildWorkingMemoryIsBounded) {
  REQUIRE_PROBE();
  const std::int32_t n = 200000;
  std::mt19937_64 rng(14);
  // The build's own memory: none of the working arrays released is kept.
  const std::int32_t keep = mensora_keep_memory(0);
  for (int shape = 0; shape < 6; ++shape) {
    std::vector<double> data(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
      const double x[] = {static_cast<double>(rng() % 1000000), static_cast<double>(rng() % 10),
                          static_cast<double>(i / 3), static_cast<double>(std::min(i, n - 1 - i)),
                          static_cast<double>((n - i) / 2), 5.0};
      data[static_cast<std::size_t>(i)] = x[shape];
    }
    if (shape == 1) data[7] = std::numeric_limits<double>::quiet_NaN();
    for (std::int32_t type : {0, 1}) {
      CMensora m(data.data(), n);
      const std::size_t before = g_live;
      g_peak = g_live;
      ASSERT_EQ(1, Access::OrderData(m, type));
      const std::size_t view = static_cast<std::size_t>(n) * sizeof(ORDER_DATA);
      EXPECT_GE(g_live - before, view);
      EXPECT_LE(g_live - before, view + (64u << 10));  // taken in steps of 64 KiB
      EXPECT_LE(g_peak - before - view, 48u * static_cast<std::size_t>(n))
          << "shape " << shape << " type " << type;
      if (std::getenv("MENSORA_SHOW_MEMORY") != nullptr) {
        std::printf("shape %d type %d: %.1f bytes per value\n", shape, type,
                    static_cast<double>(g_peak - before - view) / n);
      }
    }
  }
  mensora_keep_memory(keep);
}

}  // namespace
