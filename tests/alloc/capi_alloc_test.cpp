// The C interface when memory runs out: a class call reports it, and the fit
// tells a class set without a result from memory that is short.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "alloc/counting_allocator.h"
#include "mensora_c.h"

using alloc_probe::Calls;
using alloc_probe::FailNth;
using alloc_probe::LiveBytes;

namespace {

bool SameFit(const mensora_fit& a, const mensora_fit& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(CInterfaceAllocFailure, ClassCallsAndTheFit) {
  std::vector<double> values = {5, 2, 9, 4, 4, 7, 4, 5};
  mensora_classes out{};
  mensora_fit before{}, fit{};
  std::int64_t n = 0;
  {
    mensora_sample* s = mensora_sample_new(values.data(), 8);
    ASSERT_EQ(MENSORA_OK, mensora_classify_natural(s, 3, &out));
    ASSERT_EQ(MENSORA_OK, mensora_class_fit(s, 0, &before));
    const std::int64_t calls = Calls();
    ASSERT_EQ(MENSORA_OK, mensora_classify_pretty(s, 4, &out));
    n = Calls() - calls;
    mensora_sample_free(s);
  }
  ASSERT_GT(n, 0);
  for (std::int64_t k = 1; k <= n; ++k) {
    SCOPED_TRACE(testing::Message() << "allocation " << k << " of " << n << " fails");
    const std::int64_t live = LiveBytes();
    mensora_sample* s = mensora_sample_new(values.data(), 8);
    ASSERT_EQ(MENSORA_OK, mensora_classify_natural(s, 3, &out));
    FailNth(k);
    EXPECT_EQ(MENSORA_ERROR_MEMORY, mensora_classify_pretty(s, 4, &out));
    ASSERT_FALSE(alloc_probe::Armed());
    // The earlier result, where the failed call left it whole, or none.
    const int status = mensora_class_fit(s, 0, &fit);
    EXPECT_TRUE(status == MENSORA_ERROR_NO_RESULT || (status == MENSORA_OK && SameFit(before, fit)))
        << status;
    // Without a result the fit allocates nothing; with one it fails for memory.
    FailNth(1);
    EXPECT_EQ(MENSORA_ERROR_NO_RESULT, mensora_class_fit(s, 0, &fit));
    FailNth(0);
    ASSERT_EQ(MENSORA_OK, mensora_classify_natural(s, 3, &out));
    FailNth(1);
    EXPECT_EQ(MENSORA_ERROR_MEMORY, mensora_class_fit(s, 0, &fit));
    EXPECT_EQ(MENSORA_OK, mensora_class_fit(s, 0, &fit));
    EXPECT_TRUE(SameFit(before, fit));
    mensora_sample_free(s);
    EXPECT_EQ(live, LiveBytes()) << "leak";
  }
}

// Round breaks and labels when memory runs out: MEMORY, nothing leaked, and
// the same calls succeed afterwards. A NaN in the sample makes the rounding
// copy the sorted numbers.
TEST(CInterfaceAllocFailure, RoundBreaksAndLabels) {
  std::vector<double> values = {5.25, 2.5, 9.75, 4.125, 0.0 / 0.0, 7.5, 4.0, 5.5};
  const auto run = [&](mensora_sample* s, mensora_classes* out, char* text, std::int32_t* needed) {
    int status = mensora_round_breaks(s, 0, out);
    if (status == MENSORA_OK) status = mensora_class_labels_text(s, 0, 0, text, 256, needed);
    mensora_facts facts{};
    double lowest[3], highest[3];
    std::int32_t classes[8];
    if (status == MENSORA_OK) status = mensora_class_facts(s, 0, classes, lowest, highest, &facts);
    return status;
  };
  char text[256];
  std::int32_t needed = 0;
  mensora_classes out{};
  std::int64_t n = 0;
  {
    mensora_sample* s = mensora_sample_new(values.data(), 8);
    ASSERT_EQ(MENSORA_OK, mensora_classify_equal(s, 3, &out));
    const std::int64_t calls = Calls();
    ASSERT_EQ(MENSORA_OK, run(s, &out, text, &needed));
    n = Calls() - calls;
    mensora_sample_free(s);
  }
  ASSERT_GT(n, 0);
  for (std::int64_t k = 1; k <= n; ++k) {
    SCOPED_TRACE(testing::Message() << "allocation " << k << " of " << n << " fails");
    const std::int64_t live = LiveBytes();
    mensora_sample* s = mensora_sample_new(values.data(), 8);
    ASSERT_EQ(MENSORA_OK, mensora_classify_equal(s, 3, &out));
    FailNth(k);
    const int status = run(s, &out, text, &needed);
    ASSERT_FALSE(alloc_probe::Armed());
    EXPECT_EQ(MENSORA_ERROR_MEMORY, status);
    mensora_classes again{};
    ASSERT_EQ(MENSORA_OK, run(s, &again, text, &needed));
    mensora_sample_free(s);
    EXPECT_EQ(live, LiveBytes()) << "leak";
  }
}

// A handle that skips missing values: its copy, and the ids it translates
// back to the caller's positions, fail cleanly at every allocation.
TEST(CInterfaceAllocFailure, SkippingMissingValues) {
  std::vector<double> values = {5, std::nan(""), 9, 4, std::nan(""), 7, 4, 5};
  mensora_classes out{};
  std::int64_t n = 0;
  {
    const std::int64_t calls = Calls();
    mensora_sample* s = nullptr;
    ASSERT_EQ(MENSORA_OK, mensora_sample_open(values.data(), 8, MENSORA_SKIP_MISSING, &s));
    ASSERT_EQ(MENSORA_OK, mensora_classify_quantile(s, 3, &out));
    n = Calls() - calls;
    mensora_sample_free(s);
  }
  for (std::int64_t k = 1; k <= n; ++k) {
    SCOPED_TRACE(testing::Message() << "allocation " << k << " of " << n << " fails");
    const std::int64_t live = LiveBytes();
    mensora_sample* s = nullptr;
    FailNth(k);
    int status = mensora_sample_open(values.data(), 8, MENSORA_SKIP_MISSING, &s);
    if (status == MENSORA_OK) status = mensora_classify_quantile(s, 3, &out);
    FailNth(0);
    EXPECT_EQ(MENSORA_ERROR_MEMORY, status);
    EXPECT_STREQ("out of memory", mensora_last_reason());
    if (s != nullptr) {
      // The handle works on once memory is back.
      ASSERT_EQ(MENSORA_OK, mensora_classify_quantile(s, 3, &out));
      // The last class, [7, 9], starts with the 7 at the caller's position 5.
      EXPECT_EQ(5, out.ids[out.counts[0] + out.counts[1]]);
    }
    mensora_sample_free(s);
    EXPECT_EQ(live, LiveBytes()) << "leak";
  }
}

// The breaks in one call fail for memory at each of its allocations, with
// nothing written to the caller's breaks and nothing leaked.
TEST(CInterfaceAllocFailure, BreaksInOneCall) {
  const double values[] = {5, std::nan(""), 9, 4, 7, 4, 5};
  for (const auto breaksOf : {mensora_natural_breaks, mensora_quantile_breaks}) {
    double breaks[4] = {-1, -1, -1, -1};
    const std::int64_t calls = Calls();
    ASSERT_EQ(MENSORA_OK, breaksOf(values, 7, MENSORA_SKIP_MISSING, 3, breaks));
    const std::int64_t n = Calls() - calls;
    ASSERT_GT(n, 2);
    for (std::int64_t k = 1; k <= n; ++k) {
      SCOPED_TRACE(testing::Message() << "allocation " << k << " of " << n << " fails");
      const std::int64_t live = LiveBytes();
      double got[4] = {-1, -1, -1, -1};
      FailNth(k);
      EXPECT_EQ(MENSORA_ERROR_MEMORY, breaksOf(values, 7, MENSORA_SKIP_MISSING, 3, got));
      FailNth(0);
      EXPECT_EQ(-1, got[0]);
      EXPECT_EQ(live, LiveBytes()) << "leak";
    }
  }
}
