// Legends: round breaks never change a class, the classes of a result are
// found again from its breaks and rule, and labels on worked examples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "mensora_c.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// The significant digits of x's shortest text (0 for zero).
int Digits(double x) {
  if (x == 0.0) return 0;
  char text[40];
  for (int p = 1; p <= 17; ++p) {
    std::snprintf(text, sizeof text, "%.*e", p - 1, x);
    if (std::strtod(text, nullptr) == x) {
      std::string mantissa(text, std::strchr(text, 'e'));
      mantissa.erase(std::remove_if(mantissa.begin(), mantissa.end(),
                                    [](char c) { return c == '.' || c == '-'; }),
                     mantissa.end());
      while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
      return static_cast<int>(mantissa.size());
    }
  }
  return 17;
}

// The class of every value, from the handle's result.
std::vector<std::int32_t> ClassesOf(const mensora_classes& c, std::int32_t n) {
  std::vector<std::int32_t> labels(static_cast<std::size_t>(n));
  EXPECT_EQ(MENSORA_OK, mensora_class_labels(&c, n, labels.data()));
  return labels;
}

std::vector<std::int32_t> Found(const mensora_classes& c, std::int32_t rule,
                                const std::vector<double>& values) {
  std::vector<std::int32_t> classes(values.size());
  EXPECT_EQ(MENSORA_OK, mensora_find_classes(c.breaks, c.class_count + 1, rule, values.data(),
                                             static_cast<std::int32_t>(values.size()),
                                             classes.data()));
  return classes;
}

// One class call of each kind, over a handle.
using S = mensora_sample*;
using C = mensora_classes*;
struct Scheme {
  const char* name;
  std::function<int(S, C)> call;
  bool stdSet = false;
  double windowMin = -kInf, windowMax = kInf;  // members limited to this window
};

std::vector<Scheme> Schemes(double lo, double hi) {
  const double given[] = {lo, lo + (hi - lo) / 3, lo + (hi - lo) / 3, hi};
  const double percents[] = {0, 10, 50, 50, 95, 100};
  const double low = lo / 2 + hi / 4;
  return {
      {"equal", [](S s, C o) { return mensora_classify_equal(s, 5, o); }},
      {"step", [=](S s, C o) { return mensora_classify_step(s, lo, (hi - lo) / 7, 999, o); }},
      {"count", [=](S s, C o) { return mensora_classify_count(s, lo, 4, hi * 0.9, o); }},
      {"quantile", [](S s, C o) { return mensora_classify_quantile(s, 6, o); }},
      {"natural", [](S s, C o) { return mensora_classify_natural(s, 5, o); }},
      {"natural_auto", [](S s, C o) { return mensora_classify_natural_auto(s, 8, 0.9, o); }},
      {"stddev", [](S s, C o) { return mensora_classify_stddev(s, 2, 0.5, o); }, true},
      {"stddev_window",
       [=](S s, C o) { return mensora_classify_stddev_window(s, 1, 1.0, low, hi, o); }, true,
       low, hi},
      {"breaks", [=](S s, C o) { return mensora_classify_breaks(s, given, 4, o); }},
      {"pretty", [](S s, C o) { return mensora_classify_pretty(s, 5, o); }},
      {"head_tail", [](S s, C o) { return mensora_classify_head_tail(s, 0.4, o); }},
      {"box_plot", [](S s, C o) { return mensora_classify_box_plot(s, 1.5, o); }},
      {"max_breaks", [](S s, C o) { return mensora_classify_max_breaks(s, 4, o); }},
      {"percentile", [=](S s, C o) { return mensora_classify_percentile(s, percents, 6, o); }},
      {"geometric", [](S s, C o) { return mensora_classify_geometric(s, 4, o); }},
  };
}

void CheckLabelsLater(mensora_sample* sample, std::int32_t stdSet, const mensora_classes& c,
                      std::int32_t rule);

// Every scheme over the values: the result's classes are found again from
// its breaks and rule; round breaks keep every class (by the same finding,
// and for exactly closed finite breaks by the library's given-breaks
// classes), stay in order, and are no less round than the exact ones.
// Adds the significant digits of the finite exact and round breaks to digits[0] and [1].
void CheckRounding(const std::vector<double>& values, const std::string& what, int* digits) {
  const auto n = static_cast<std::int32_t>(values.size());
  double lo = kInf, hi = -kInf;
  for (double v : values) {
    if (std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
  }
  if (!(lo <= hi)) lo = 0, hi = 1;
  mensora_sample* sample = mensora_sample_new(values.data(), n);
  ASSERT_NE(nullptr, sample);
  for (const Scheme& scheme : Schemes(lo, hi)) {
    SCOPED_TRACE(what + ", " + scheme.name);
    mensora_classes c{};
    if (scheme.call(sample, &c) != MENSORA_OK) continue;
    const std::vector<double> exact(c.breaks, c.breaks + c.class_count + 1);
    const std::vector<std::int32_t> classes = ClassesOf(c, n);
    if (!std::is_sorted(exact.begin(), exact.end()) ||
        std::any_of(exact.begin(), exact.end(), [](double b) { return std::isnan(b); })) {
      mensora_classes r{};
      ASSERT_EQ(MENSORA_OK, mensora_round_breaks(sample, scheme.stdSet, &r));
      EXPECT_EQ(0, std::memcmp(exact.data(), r.breaks, exact.size() * sizeof(double)));
      continue;
    }
    std::int32_t rule = -1;
    ASSERT_EQ(MENSORA_OK, mensora_class_rule(sample, scheme.stdSet, &rule));
    std::vector<std::int32_t> found = Found(c, rule, values);
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (!(values[i] >= scheme.windowMin && values[i] <= scheme.windowMax)) found[i] = -1;
    }
    ASSERT_EQ(classes, found);

    mensora_classes r{};
    ASSERT_EQ(MENSORA_OK, mensora_round_breaks(sample, scheme.stdSet, &r));
    ASSERT_EQ(c.class_count, r.class_count);
    EXPECT_EQ(c.counts, r.counts);
    EXPECT_EQ(c.ids, r.ids);
    std::vector<std::int32_t> after = Found(r, rule, values);
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (!(values[i] >= scheme.windowMin && values[i] <= scheme.windowMax)) after[i] = -1;
    }
    EXPECT_EQ(classes, after);
    CheckLabelsLater(sample, scheme.stdSet, r, rule);
    bool finite = true;
    for (std::int32_t s = 0; s <= r.class_count; ++s) {
      const double b = r.breaks[s], e = exact[static_cast<std::size_t>(s)];
      finite = finite && std::isfinite(b);
      if (s > 0) EXPECT_LE(r.breaks[s - 1], b) << s;
      if (!(std::fabs(e) < MENSORA_HUGE_BOUND)) EXPECT_EQ(e, b) << "an open end stays";
      if (std::isfinite(e)) EXPECT_LE(Digits(b), Digits(e)) << e << " became " << b;
      if (std::isfinite(e)) digits[0] += Digits(e), digits[1] += Digits(b);
    }
    if (rule == MENSORA_LAST_CLOSED && finite) {
      mensora_sample* again = mensora_sample_new(values.data(), n);
      mensora_classes g{};
      ASSERT_EQ(MENSORA_OK, mensora_classify_breaks(again, r.breaks, r.class_count + 1, &g));
      EXPECT_EQ(classes, ClassesOf(g, n));
      mensora_sample_free(again);
    }
  }
  mensora_sample_free(sample);
}

// A random sample of one kind: reals, whole numbers with many ties,
// negatives, tiny or huge magnitudes, values on round numbers (where round
// breaks would fall), with NaN and infinities here and there (never last:
// where the sample ends in NaN the closing rule of the equal-width classes
// reads it, which other values cannot repeat).
std::vector<double> RandomSample(std::mt19937_64& rng, int kind) {
  std::vector<double> v(2 + rng() % 60);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (double& x : v) {
    switch (kind) {
      case 0: x = unit(rng) * 100.0; break;
      case 1: x = static_cast<double>(rng() % 12); break;
      case 2: x = (unit(rng) - 0.7) * 3e4; break;
      case 3: x = unit(rng) * 1e-300; break;
      case 4: x = (unit(rng) - 0.5) * 1e307; break;
      case 5: x = std::round(unit(rng) * 40.0) / 4.0 - 2.0; break;
      default: x = std::exp(unit(rng) * 30.0 - 15.0); break;
    }
  }
  if (rng() % 3 == 0 && v.size() > 2) v[rng() % (v.size() - 1)] = kNaN;
  if (rng() % 5 == 0) v[rng() % v.size()] = rng() % 2 ? kInf : -kInf;
  if (std::isnan(v.back())) v.back() = 1.0;
  return v;
}

// The numeric columns of a CSV file of the examples folder.
std::vector<std::vector<double>> Columns(const std::string& file) {
  std::ifstream in(std::string(MENSORA_EXAMPLES) + "/" + file);
  std::string line;
  std::getline(in, line);
  std::vector<std::vector<double>> columns;
  while (std::getline(in, line)) {
    std::stringstream cells(line);
    std::string cell;
    for (std::size_t c = 0; std::getline(cells, cell, ','); ++c) {
      if (columns.size() <= c) columns.emplace_back();
      char* end = nullptr;
      const double x = std::strtod(cell.c_str(), &end);
      columns[c].push_back(end != cell.c_str() && *end == '\0' ? x : kNaN);
    }
  }
  return columns;
}

std::string Labels(const double* breaks, std::int32_t k, const std::int32_t* counts,
                   const double* lowest, const double* highest, std::int32_t rule,
                   std::int32_t flags) {
  std::int32_t needed = 0;
  EXPECT_EQ(MENSORA_OK, mensora_format_labels(breaks, k, counts, lowest, highest, rule, flags,
                                              nullptr, 0, &needed));
  std::string text(static_cast<std::size_t>(needed), '?');
  EXPECT_EQ(MENSORA_OK, mensora_format_labels(breaks, k, counts, lowest, highest, rule, flags,
                                              &text[0], needed, &needed));
  EXPECT_EQ('\0', text.back());
  text.pop_back();
  return text;
}

std::string HandleLabels(mensora_sample* sample, std::int32_t stdSet, std::int32_t flags) {
  char text[512];
  std::int32_t needed = 0;
  EXPECT_EQ(MENSORA_OK, mensora_class_labels_text(sample, stdSet, flags, text, 512, &needed));
  EXPECT_LE(needed, 512);
  return text;
}

// The labels of a handle's result equal those written later from its breaks,
// counts, members' extremes and the closing rule as it fell out; the facts
// of the result in one call equal those of the calls one by one.
void CheckLabelsLater(mensora_sample* sample, std::int32_t stdSet, const mensora_classes& c,
                      std::int32_t rule) {
  const std::int32_t k = c.class_count;
  std::vector<double> lowest(static_cast<std::size_t>(k)), highest(lowest);
  std::int32_t whole = -1;
  ASSERT_EQ(MENSORA_OK,
            mensora_class_extremes(sample, stdSet, lowest.data(), highest.data(), &whole));
  if (rule == MENSORA_LAST_CLOSING) {
    double least = 0, top = 0;
    ASSERT_EQ(MENSORA_OK, mensora_extremes(sample, &least, &top));
    const double tolerance = mensora_closing_tolerance(c.breaks[0], c.breaks[k]);
    rule = std::fabs(top - c.breaks[k]) >= tolerance ? MENSORA_LAST_OPEN : MENSORA_LAST_CLOSED;
  }
  for (std::int32_t flags : {0, MENSORA_LABEL_INTERVAL | MENSORA_LABEL_THOUSANDS}) {
    EXPECT_EQ(HandleLabels(sample, stdSet, flags),
              Labels(c.breaks, k, c.counts, lowest.data(), highest.data(), rule,
                     flags | (whole == 1 ? MENSORA_LABEL_INTEGER : 0)));
  }
  // All of it, with the fit, notes and classes, in one call.
  const std::int32_t n = mensora_sample_size(sample);
  std::vector<double> low(lowest.size()), high(lowest.size());
  std::vector<std::int32_t> classes(static_cast<std::size_t>(n));
  mensora_facts facts{};
  ASSERT_EQ(MENSORA_OK, mensora_class_facts(sample, stdSet, classes.data(), low.data(),
                                            high.data(), &facts));
  mensora_fit fit{};
  struct mensora_class_notes notes {};
  std::int32_t given = -1;
  ASSERT_EQ(MENSORA_OK, mensora_class_fit(sample, stdSet, &fit));
  ASSERT_EQ(MENSORA_OK, mensora_class_notes(sample, stdSet, &notes));
  ASSERT_EQ(MENSORA_OK, mensora_class_rule(sample, stdSet, &given));
  EXPECT_EQ(0, std::memcmp(&fit, &facts.fit, sizeof fit));
  EXPECT_EQ(0, std::memcmp(&notes, &facts.notes, sizeof notes));
  EXPECT_EQ(given, facts.rule);
  EXPECT_EQ(rule == MENSORA_LAST_CLOSED ? 1 : 0, facts.closed);
  EXPECT_EQ(whole, facts.whole);
  EXPECT_EQ(ClassesOf(c, n), classes);
  EXPECT_EQ(0, std::memcmp(lowest.data(), low.data(), low.size() * sizeof(double)));
  EXPECT_EQ(0, std::memcmp(highest.data(), high.data(), high.size() * sizeof(double)));
}

}  // namespace

TEST(RoundBreaks, KeepEveryClassOverRandomSamples) {
  std::mt19937_64 rng(22);
  int digits[2] = {0, 0};
  for (int trial = 0; trial < 300; ++trial) {
    CheckRounding(RandomSample(rng, trial % 7), "trial " + std::to_string(trial), digits);
  }
  std::printf("significant digits of the breaks: %d exact, %d round\n", digits[0], digits[1]);
  EXPECT_LT(digits[1] * 2, digits[0]);
}

TEST(RoundBreaks, KeepEveryClassOverTheExampleData) {
  for (const char* file : {"us_states_1977.csv", "new_york_air_quality_1973.csv"}) {
    const auto columns = Columns(file);
    ASSERT_FALSE(columns.empty()) << file;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      std::vector<double> values = columns[c];
      while (!values.empty() && std::isnan(values.back())) values.pop_back();
      int digits[2] = {0, 0};
      if (values.size() > 1) {
        CheckRounding(values, std::string(file) + " column " + std::to_string(c), digits);
      }
    }
  }
}

// The natural breaks of the income of the states: round inner breaks, the
// same four classes, and labels of the whole numbers each class can hold.
TEST(RoundBreaks, IncomeOfTheStates) {
  std::vector<double> income = Columns("us_states_1977.csv")[2];
  ASSERT_EQ(50u, income.size());
  mensora_sample* sample = mensora_sample_new(income.data(), 50);
  mensora_classes c{};
  ASSERT_EQ(MENSORA_OK, mensora_classify_natural(sample, 4, &c));
  EXPECT_EQ((std::vector<double>{3098, 4091, 4751, 6315, 6315}),
            std::vector<double>(c.breaks, c.breaks + 5));
  ASSERT_EQ(MENSORA_OK, mensora_round_breaks(sample, 0, &c));
  EXPECT_EQ((std::vector<double>{3000, 4090, 4750, 6000, 6315}),
            std::vector<double>(c.breaks, c.breaks + 5));
  EXPECT_EQ((std::vector<std::int32_t>{14, 20, 15, 1}),
            std::vector<std::int32_t>(c.counts, c.counts + 4));
  EXPECT_EQ("3,000 - 4,089\n4,090 - 4,749\n4,750 - 5,999\n6,315",
            HandleLabels(sample, 0, MENSORA_LABEL_THOUSANDS));
  mensora_sample_free(sample);
}

// Outer breaks without a value beyond them move out by at most a class
// width; open ends stay; an empty class keeps its place between its
// neighbours; a tie at a break stays on its side.
TEST(RoundBreaks, EndsEmptyClassesAndTies) {
  std::vector<double> values{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 19.5, 20, 20, 99};
  mensora_sample* sample = mensora_sample_new(values.data(), 14);
  const double given[] = {0.7, 10.2, 10.3, 20, 99};
  mensora_classes c{};
  ASSERT_EQ(MENSORA_OK, mensora_classify_breaks(sample, given, 5, &c));
  ASSERT_EQ(MENSORA_OK, mensora_round_breaks(sample, 0, &c));
  // 0.7 reaches 0 (within the class width), the empty class [10.2, 10.3)
  // stays between 10 and 19.5, 20 keeps the twenties above it, 99 stays last.
  EXPECT_EQ((std::vector<double>{0, 11, 11, 20, 100}), std::vector<double>(c.breaks, c.breaks + 5));
  EXPECT_EQ("0 - 11\n11 - 11 (empty)\n19.5\n20 - 100", HandleLabels(sample, 0, 0));

  ASSERT_EQ(MENSORA_OK, mensora_classify_stddev(sample, 1, 1.0, &c));
  ASSERT_EQ(MENSORA_OK, mensora_round_breaks(sample, 1, &c));
  EXPECT_EQ(-MENSORA_HUGE_BOUND, c.breaks[0]);
  EXPECT_EQ(MENSORA_HUGE_BOUND, c.breaks[4]);
  mensora_sample_free(sample);
}

TEST(RoundBreaks, RefusedWithoutAResult) {
  std::vector<double> values{1, 2, 3};
  mensora_sample* sample = mensora_sample_new(values.data(), 3);
  mensora_classes c{};
  std::int32_t rule = -7;
  EXPECT_EQ(MENSORA_ERROR_NO_RESULT, mensora_round_breaks(sample, 0, &c));
  EXPECT_EQ(MENSORA_ERROR_NO_RESULT, mensora_class_rule(sample, 1, &rule));
  EXPECT_EQ(MENSORA_ERROR_ARGUMENT, mensora_round_breaks(sample, 0, nullptr));
  EXPECT_EQ(MENSORA_ERROR_ARGUMENT, mensora_round_breaks(nullptr, 0, &c));
  ASSERT_EQ(MENSORA_OK, mensora_classify_equal(sample, 2, &c));
  EXPECT_EQ(MENSORA_ERROR_NO_RESULT, mensora_round_breaks(sample, 1, &c));
  EXPECT_EQ(MENSORA_OK, mensora_class_rule(sample, 0, &rule));
  EXPECT_EQ(MENSORA_LAST_CLOSING, rule);
  mensora_sample_free(sample);
}

// Other values under a result's breaks: NaN in no class, each rule at the last break.
TEST(FindClasses, RulesAtTheLastBreak) {
  const double breaks[] = {0, 10, 20};
  const std::vector<double> values{-1, 0, 9.99, 10, 20, 20 + 5e-8, 21, kNaN};
  using V = std::vector<std::int32_t>;
  const auto find = [&](const double* b, std::int32_t count, std::int32_t rule, std::int32_t n,
                        V* got) {
    got->assign(values.size(), -7);
    return mensora_find_classes(b, count, rule, values.data(), n, got->data());
  };
  V got;
  ASSERT_EQ(MENSORA_OK, find(breaks, 3, MENSORA_LAST_OPEN, 8, &got));
  EXPECT_EQ((V{-1, 0, 0, 1, -1, -1, -1, -1}), got);
  ASSERT_EQ(MENSORA_OK, find(breaks, 3, MENSORA_LAST_CLOSED, 8, &got));
  EXPECT_EQ((V{-1, 0, 0, 1, 1, -1, -1, -1}), got);
  // The largest value, 21, lies far from 20: the closing rule leaves the class open.
  ASSERT_EQ(MENSORA_OK, find(breaks, 3, MENSORA_LAST_CLOSING, 8, &got));
  EXPECT_EQ((V{-1, 0, 0, 1, -1, -1, -1, -1}), got);
  ASSERT_EQ(MENSORA_OK, find(breaks, 3, MENSORA_LAST_CLOSING, 6, &got));
  EXPECT_EQ((V{-1, 0, 0, 1, 1, 1, -7, -7}), got);

  const double descending[] = {0, 2, 1};
  const double withNaN[] = {0, kNaN};
  EXPECT_EQ(MENSORA_ERROR_ARGUMENT, find(descending, 3, MENSORA_LAST_CLOSED, 8, &got));
  EXPECT_EQ(MENSORA_ERROR_ARGUMENT, find(withNaN, 2, MENSORA_LAST_CLOSED, 8, &got));
  EXPECT_EQ(MENSORA_ERROR_ARGUMENT, find(breaks, 3, 3, 8, &got));
  EXPECT_EQ(V(8, -7), got);  // nothing written
  EXPECT_EQ(MENSORA_OK, mensora_find_classes(breaks, 3, 1, nullptr, 0, nullptr));
}

// Labels on worked examples, one rule each.
TEST(Labels, WorkedExamples) {
  const double decade[] = {0, 10, 20, 30};
  const std::int32_t counts[] = {3, 0, 2};
  EXPECT_EQ("0 - 9\n10 - 19 (empty)\n20 - 30",
            Labels(decade, 3, counts, nullptr, nullptr, MENSORA_LAST_CLOSED,
                   MENSORA_LABEL_INTEGER));
  EXPECT_EQ("[0, 9]\n[10, 19] (empty)\n[20, 29]",
            Labels(decade, 3, counts, nullptr, nullptr, MENSORA_LAST_OPEN,
                   MENSORA_LABEL_INTEGER | MENSORA_LABEL_INTERVAL));
  EXPECT_EQ("[0, 10)\n[10, 20)\n[20, 30]",
            Labels(decade, 3, nullptr, nullptr, nullptr, MENSORA_LAST_CLOSED,
                   MENSORA_LABEL_INTERVAL));

  // Open outer classes read as such, never as +/-1.8e307.
  const double open[] = {-MENSORA_HUGE_BOUND, 9.28, 42.5, 74.97, MENSORA_HUGE_BOUND};
  EXPECT_EQ("below 9.3\n9.3 - 42.5\n42.5 - 75.0\n75.0 or more",
            Labels(open, 4, nullptr, nullptr, nullptr, MENSORA_LAST_OPEN, 0));
  EXPECT_EQ("(-inf, 9.3)\n[9.3, 42.5)\n[42.5, 75.0)\n[75.0, inf)",
            Labels(open, 4, nullptr, nullptr, nullptr, MENSORA_LAST_OPEN, MENSORA_LABEL_INTERVAL));
  const double box[] = {-kInf, 3.5, kInf};
  EXPECT_EQ("3 or less\n4 or more", Labels(box, 2, nullptr, nullptr, nullptr, MENSORA_LAST_CLOSED,
                                           MENSORA_LABEL_INTEGER));

  // The fewest decimals that keep the members on their side: 43.33 must not
  // fall off a legend that reads "0.0 - 43.3"; a one-value class by its value.
  const double breaks[] = {0, 43.34, 1000, 1000};
  const double lowest[] = {0, 43.34, 1000}, highest[] = {43.33, 999.5, 1000};
  const std::int32_t members[] = {4, 5, 2};
  EXPECT_EQ("0.0 - 43.3\n43.3 - 1000.0\n1000",
            Labels(breaks, 3, members, nullptr, nullptr, MENSORA_LAST_CLOSED, 0));
  EXPECT_EQ("0.00 - 43.34\n43.34 - 1000.00\n1000",
            Labels(breaks, 3, members, lowest, highest, MENSORA_LAST_CLOSED, 0));

  const double big[] = {1234.5, 98765.25, 1e6};
  EXPECT_EQ("1,234 - 98,765\n98,765 - 1,000,000",
            Labels(big, 2, nullptr, nullptr, nullptr, MENSORA_LAST_CLOSED,
                   MENSORA_LABEL_THOUSANDS));
  const double tiny[] = {1.5e-9, 2.25e-9, 3e-9};
  EXPECT_EQ("1.50e-09 - 2.25e-09\n2.25e-09 - 3.00e-09",
            Labels(tiny, 2, nullptr, nullptr, nullptr, MENSORA_LAST_CLOSED, 0));
}

// The number a tried form shows is read back exactly as printf writes it and
// strtod reads it: halves round to even, a text beyond the largest double
// reads as infinity, subnormal texts as themselves.
TEST(Labels, ShownNumbersAsPrintfAndStrtodHaveThem) {
  // "2" keeps the member 2.5 on its side, "4" would not keep 3.5.
  const double even[] = {2.5, 1000}, evenLow[] = {2.5}, odd[] = {3.5, 1000}, oddLow[] = {3.5};
  const double high[] = {999};
  EXPECT_EQ("2 - 1000", Labels(even, 1, nullptr, evenLow, high, MENSORA_LAST_CLOSED, 0));
  EXPECT_EQ("3.5 - 1000.0", Labels(odd, 1, nullptr, oddLow, high, MENSORA_LAST_CLOSED, 0));
  // "2e+308" for the largest double lies above "1e+305": one digit fits.
  const double huge[] = {1e300, 1e305, DBL_MAX};
  EXPECT_EQ("1e+300 - 1e+305\n1e+305 or more",
            Labels(huge, 2, nullptr, nullptr, nullptr, MENSORA_LAST_CLOSED, 0));
  const double subnormal[] = {0, 4.9406564584124654e-324, 1e-323};
  EXPECT_EQ("0e+00 - 5e-324\n5e-324 - 1e-323",
            Labels(subnormal, 2, nullptr, nullptr, nullptr, MENSORA_LAST_CLOSED, 0));
}

TEST(Labels, NeededSizeAndArguments) {
  const double breaks[] = {0, 10, 20};
  std::int32_t needed = 0;
  char small[6] = "#####";
  EXPECT_EQ(MENSORA_OK, mensora_format_labels(breaks, 2, nullptr, nullptr, nullptr, 1, 0, small,
                                              6, &needed));
  EXPECT_EQ(15, needed);  // "0 - 10\n10 - 20" and its '\0'
  EXPECT_STREQ("0 - 1", small);
  EXPECT_EQ(MENSORA_ERROR_ARGUMENT,
            mensora_format_labels(breaks, 0, nullptr, nullptr, nullptr, 1, 0, small, 6, &needed));
  EXPECT_EQ(MENSORA_ERROR_ARGUMENT,
            mensora_format_labels(breaks, 2, nullptr, nullptr, nullptr, 1, 64, small, 6, &needed));
  EXPECT_EQ(MENSORA_ERROR_ARGUMENT,
            mensora_format_labels(breaks, 2, nullptr, nullptr, nullptr, 1, 0, nullptr, 6, &needed));

  std::vector<double> values{1, 2, 3};
  mensora_sample* sample = mensora_sample_new(values.data(), 3);
  EXPECT_EQ(MENSORA_ERROR_NO_RESULT, mensora_class_labels_text(sample, 0, 0, small, 6, &needed));
  mensora_sample_free(sample);
}

// The handle's labels: whole numbers found in the data, the closing rule as
// it fell out, the members' extremes.
TEST(Labels, OfAHandlesResult) {
  std::vector<double> values{0, 3, 9, 10, 14, 19, 19};
  mensora_sample* sample = mensora_sample_new(values.data(), 7);
  mensora_classes c{};
  ASSERT_EQ(MENSORA_OK, mensora_classify_equal(sample, 2, &c));  // [0, 9.5) [9.5, 19]
  EXPECT_EQ("0 - 9\n10 - 19", HandleLabels(sample, 0, 0));
  ASSERT_EQ(MENSORA_OK, mensora_round_breaks(sample, 0, &c));
  EXPECT_EQ("[0, 9]\n[10, 19]", HandleLabels(sample, 0, MENSORA_LABEL_INTERVAL));
  values[1] = 3.5;
  mensora_sample* reals = mensora_sample_new(values.data(), 7);
  ASSERT_EQ(MENSORA_OK, mensora_classify_equal(reals, 2, &c));
  EXPECT_EQ("[0.0, 9.5)\n[9.5, 19.0]", HandleLabels(reals, 0, MENSORA_LABEL_INTERVAL));
  ASSERT_EQ(MENSORA_OK, mensora_classify_stddev(reals, 0, 1.0, &c));
  EXPECT_EQ("below 10.64\n10.64 or more", HandleLabels(reals, 1, 0));
  mensora_sample_free(reals);
  mensora_sample_free(sample);
}
