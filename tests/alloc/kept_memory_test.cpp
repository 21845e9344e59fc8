// The large working arrays a thread keeps between calls: taken again by the
// next call over as many values, within the limit, and all freed when asked
// or when the thread ends.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "Mensora.h"
#include "alloc/counting_allocator.h"
#include "mensora_c.h"

using alloc_probe::Armed;
using alloc_probe::Calls;
using alloc_probe::FailNth;
using alloc_probe::LiveBytes;

namespace {

constexpr std::int32_t kN = 100000;  // some 12 MB of working arrays for natural breaks

std::vector<double> Values(std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::lognormal_distribution<double> draw(3.0, 1.0);
  std::vector<double> v(kN);
  for (double& x : v) x = draw(rng);
  return v;
}

// The breaks of natural breaks, then of quantiles, over values.
std::vector<double> Breaks(const std::vector<double>& values) {
  std::vector<double> breaks(12);
  EXPECT_EQ(MENSORA_OK, mensora_natural_breaks(values.data(), kN, 0, 5, breaks.data()));
  EXPECT_EQ(MENSORA_OK, mensora_quantile_breaks(values.data(), kN, 0, 5, breaks.data() + 6));
  return breaks;
}

// Each test starts with the limit of 64 MiB and nothing kept; held() is what
// the process holds beyond that start (the test's own vectors made before).
class KeptMemory : public testing::Test {
 protected:
  void SetUp() override { limit_ = mensora_keep_memory(64); }
  void TearDown() override { mensora_keep_memory(limit_); }
  void Start() {
    mensora_release_memory();
    live_ = LiveBytes();
  }
  std::int64_t held() const { return LiveBytes() - live_; }

 private:
  std::int32_t limit_ = 0;
  std::int64_t live_ = 0;
};

TEST_F(KeptMemory, LaterCallsTakeTheKeptArraysAndGiveTheSameBreaks) {
  const std::vector<double> first = Values(1), second = Values(2);
  Start();
  const std::vector<double> cold = Breaks(second);
  mensora_release_memory();
  Breaks(first);
  const std::int64_t calls = Calls();
  EXPECT_EQ(cold, Breaks(second));
  const std::int64_t warm = Calls() - calls;
  mensora_keep_memory(0);
  EXPECT_LE(held(), 1000);  // the limit of 0 freed what was kept
  const std::int64_t before = Calls();
  EXPECT_EQ(cold, Breaks(second));
  // Only the small arrays are had anew; without keeping, the large ones too.
  EXPECT_LT(warm + 10, Calls() - before);
}

TEST_F(KeptMemory, StaysWithinTheLimit) {
  const std::vector<double> values = Values(3);
  Start();
  Breaks(values);
  EXPECT_GT(held(), 4 << 20);
  EXPECT_LE(held(), 64 << 20);
  mensora_keep_memory(1);
  EXPECT_LE(held(), 1000);  // more than the new limit: all freed
  Breaks(values);
  EXPECT_LE(held(), (1 << 20) + 1000);
  mensora_release_memory();
  EXPECT_LE(held(), 1000);
}

TEST_F(KeptMemory, FreedWhenTheThreadEnds) {
  const std::vector<double> values = Values(4);
  Start();
  std::thread worker([&values] { Breaks(values); });
  worker.join();
  EXPECT_LE(held(), 1000);
}

// With arrays kept, each allocation of a call in turn fails: the call gives
// the same breaks or reports the memory, and leaves only kept arrays behind,
// within the limit.
TEST_F(KeptMemory, EachFailingAllocationWithArraysKept) {
  const std::vector<double> values = Values(5);
  std::vector<double> expected = Breaks(values), breaks(6);
  expected.resize(6);
  Start();
  Breaks(values);
  const std::int64_t before = Calls();
  ASSERT_EQ(MENSORA_OK, mensora_natural_breaks(values.data(), kN, 0, 5, breaks.data()));
  const std::int64_t n = Calls() - before;
  for (std::int64_t k = 1; k <= n; ++k) {
    SCOPED_TRACE(testing::Message() << "allocation " << k << " of " << n << " fails");
    Breaks(values);  // the arrays kept again
    FailNth(k);
    breaks.assign(6, 0.0);
    const int status = mensora_natural_breaks(values.data(), kN, 0, 5, breaks.data());
    FailNth(0);
    if (status == MENSORA_OK) {
      EXPECT_EQ(expected, breaks);
    } else {
      EXPECT_EQ(MENSORA_ERROR_MEMORY, status);
    }
    EXPECT_LE(held(), (64 << 20) + 1000);  // and a reason text at most
    mensora_release_memory();
    EXPECT_LE(held(), 1000);
  }
}

// Under a limit that holds one kind of call's arrays but not two kinds', the
// arrays of the last calls are the ones kept: a call repeated after one of
// another kind soon allocates no more than one repeated from the start
// (keeping the largest blocks instead, it never did).
TEST_F(KeptMemory, TheLastCallsArraysAreKept) {
  const std::vector<double> values = Values(7);
  std::vector<double> breaks(21);
  const auto quantile = [&] {
    const std::int64_t before = Calls();
    EXPECT_EQ(MENSORA_OK, mensora_quantile_breaks(values.data(), kN, 0, 5, breaks.data()));
    return Calls() - before;
  };
  mensora_keep_memory(8);
  Start();
  quantile();
  const std::int64_t alone = quantile();
  ASSERT_EQ(MENSORA_OK, mensora_natural_breaks(values.data(), kN, 0, 20, breaks.data()));
  quantile();
  quantile();
  EXPECT_EQ(alone, quantile());
}

// A small array the allocator refuses is asked for again once the kept
// arrays are freed.
TEST_F(KeptMemory, ShortMemoryFreesTheKeptArraysFirst) {
  const std::vector<double> values = Values(6);
  std::vector<double> few = {5, 2, 9, 4};
  Start();
  Breaks(values);
  ASSERT_GT(held(), 4 << 20);
  CMensora m(few.data(), 4);
  FailNth(1);  // the sorted view's records
  EXPECT_EQ(4.5, m.MedianNum());
  EXPECT_FALSE(Armed());
  EXPECT_LE(held(), 1000);
}

}  // namespace
