// The table of cases every binding runs (tests/cases/missing_values.json),
// through the C interface with missing values skipped.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdint>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "mensora_c.h"
#include "support/json_value.h"

namespace {

using mensora_test::Json;

Json Cases() {
  std::ifstream in(MENSORA_CASES_FILE);
  std::stringstream text;
  text << in.rdbuf();
  return mensora_test::JsonReader(text.str()).Read();
}

// null is missing (NaN), "inf" and "-inf" the infinities.
std::vector<double> Values(const Json& list) {
  std::vector<double> values;
  for (const Json& v : list.items) {
    if (v.kind == Json::kNumber) {
      values.push_back(v.number);
    } else if (v.kind == Json::kString) {
      values.push_back(v.text == "inf" ? HUGE_VAL : -HUGE_VAL);
    } else {
      values.push_back(std::numeric_limits<double>::quiet_NaN());
    }
  }
  return values;
}

int Classify(mensora_sample* s, const Json& c, mensora_classes* out, bool* stdSet) {
  const std::string method = c["method"].text;
  const auto k = c.Has("k") ? static_cast<std::int32_t>(c["k"].number) : 0;
  *stdSet = method == "stddev";
  if (method == "equal") return mensora_classify_equal(s, k, out);
  if (method == "quantile") return mensora_classify_quantile(s, k, out);
  if (method == "natural") return mensora_classify_natural(s, k, out);
  if (method == "pretty") return mensora_classify_pretty(s, k, out);
  if (method == "headtail") return mensora_classify_head_tail(s, c["share"].number, out);
  if (method == "stddev") {
    return mensora_classify_stddev(s, static_cast<std::int32_t>(c["steps"].number),
                                   c["times"].number, out);
  }
  ADD_FAILURE() << "unknown method " << method;
  return MENSORA_ERROR_ARGUMENT;
}

TEST(MissingValueCases, ClassesAsTheTableSays) {
  const Json table = Cases();
  ASSERT_FALSE(table["classify"].items.empty());
  for (const Json& c : table["classify"].items) {
    SCOPED_TRACE(c["name"].text);
    const std::vector<double> values = Values(c["values"]);
    const auto n = static_cast<std::int32_t>(values.size());
    mensora_sample* s = nullptr;
    ASSERT_EQ(MENSORA_OK, mensora_sample_open(values.data(), n, MENSORA_SKIP_MISSING, &s));
    mensora_classes out{};
    bool stdSet = false;
    const int status = Classify(s, c, &out, &stdSet);
    if (c.Has("error")) {
      EXPECT_NE(MENSORA_OK, status);
      EXPECT_NE(std::string::npos, std::string(mensora_last_reason()).find(c["error"].text))
          << mensora_last_reason();
    } else if (status != MENSORA_OK) {
      ADD_FAILURE() << mensora_last_reason();
    } else {
      ASSERT_EQ(c["counts"].items.size(), static_cast<std::size_t>(out.class_count));
      for (std::int32_t b = 0; b <= out.class_count; ++b) {
        EXPECT_EQ(c["breaks"].items[static_cast<std::size_t>(b)].number, out.breaks[b]) << b;
      }
      for (std::int32_t k = 0; k < out.class_count; ++k) {
        EXPECT_EQ(c["counts"].items[static_cast<std::size_t>(k)].number, out.counts[k]) << k;
      }
      std::vector<std::int32_t> labels(values.size());
      ASSERT_EQ(MENSORA_OK, mensora_class_labels(&out, n, labels.data()));
      for (std::size_t i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(c["labels"].items[i].number, labels[i]) << i;
      }
      struct mensora_class_notes notes {};
      ASSERT_EQ(MENSORA_OK, mensora_class_notes(s, stdSet ? 1 : 0, &notes));
      EXPECT_EQ(c["missing"].number, notes.missing);
      EXPECT_EQ(c["unclassified"].number, notes.unclassified);
      EXPECT_EQ(c["empty"].number, notes.empty_classes);
    }
    mensora_sample_free(s);
  }
}

TEST(MissingValueCases, SummariesAsTheTableSays) {
  const Json table = Cases();
  for (const Json& c : table["summary"].items) {
    SCOPED_TRACE(c["name"].text);
    const std::vector<double> values = Values(c["values"]);
    mensora_sample* s = nullptr;
    ASSERT_EQ(MENSORA_OK, mensora_sample_open(values.data(), static_cast<std::int32_t>(values.size()),
                                              MENSORA_SKIP_MISSING, &s));
    EXPECT_EQ(c["count"].number, mensora_sample_size(s) - mensora_sample_missing(s));
    EXPECT_EQ(c["missing"].number, mensora_sample_missing(s));
    if (c.Has("mean")) EXPECT_EQ(c["mean"].number, mensora_mean(s));
    if (c.Has("median")) EXPECT_EQ(c["median"].number, mensora_median(s));
    double geometric = -1.0;
    const int status = mensora_geometric_mean_checked(s, &geometric);
    if (c["geometric_mean"].kind == Json::kNull) {
      EXPECT_EQ(MENSORA_ERROR_DATA, status);
    } else {
      ASSERT_EQ(MENSORA_OK, status);
      EXPECT_DOUBLE_EQ(c["geometric_mean"].number, geometric);
    }
    mensora_sample_free(s);
  }
}

// Missing values are counted wherever they sit, infinities are not, and the
// one-call breaks equal those of a handle opened alike, failures included.
TEST(MissingValues, CountedAnywhereAndBreaksInOneCall) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (std::int32_t n = 1; n <= 40; ++n) {
    for (std::int32_t at = 0; at < n; at += 3) {
      std::vector<double> values(static_cast<std::size_t>(n));
      for (std::int32_t i = 0; i < n; ++i) values[i] = (i * 7919) % 101 - 30.5;
      if (at + 1 < n) values[at + 1] = (at % 2 == 0 ? 1 : -1) * HUGE_VAL;
      values[at] = nan;
      if (n > 20) values[n - 1] = nan;
      SCOPED_TRACE("n " + std::to_string(n) + ", NaN at " + std::to_string(at));
      mensora_sample* s = nullptr;
      ASSERT_EQ(MENSORA_OK, mensora_sample_open(values.data(), n, MENSORA_SKIP_MISSING, &s));
      const std::int32_t expected = (n > 20 && at != n - 1) ? 2 : 1;
      EXPECT_EQ(expected, mensora_sample_missing(s));
      for (std::int32_t k : {1, 3}) {
        mensora_classes c{};
        double got[4] = {0, 0, 0, 0};
        int status = mensora_classify_natural(s, k, &c);
        EXPECT_EQ(status, mensora_natural_breaks(values.data(), n, MENSORA_SKIP_MISSING, k, got));
        if (status == MENSORA_OK) {
          EXPECT_EQ(0, std::memcmp(c.breaks, got, sizeof(double) * (k + 1)));
        }
        status = mensora_classify_quantile(s, k, &c);
        EXPECT_EQ(status, mensora_quantile_breaks(values.data(), n, MENSORA_SKIP_MISSING, k, got));
        if (status == MENSORA_OK) {
          EXPECT_EQ(0, std::memcmp(c.breaks, got, sizeof(double) * (k + 1)));
        }
      }
      mensora_sample_free(s);
    }
  }
  double breaks[2];
  const double one = 1.0;
  EXPECT_EQ(MENSORA_ERROR_ARGUMENT, mensora_natural_breaks(&one, 1, MENSORA_SKIP_MISSING, 0,
                                                           breaks));
  EXPECT_EQ(MENSORA_ERROR_ARGUMENT, mensora_quantile_breaks(&one, 1, 0, 1, nullptr));
}

}  // namespace
