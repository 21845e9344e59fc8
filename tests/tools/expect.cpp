// Prints what the library itself gives for the sample read from standard
// input, one "key value..." line per result, numbers in shortest round-trip
// form. The tool's tests compare the tool's JSON output with these lines.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "Mensora.h"

namespace {

std::string Text(double value) {
  char buffer[64];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

void Line(const std::string& key, double value) { std::cout << key << ' ' << Text(value) << '\n'; }

void Classes(const std::string& name, std::int32_t status, const double* breaks,
             std::int32_t breakNum, const std::int32_t* ids, const std::int32_t* counts) {
  std::cout << name << ".status " << status << '\n';
  if (status != 1) return;
  std::cout << name << ".breaks";
  for (std::int32_t i = 0; i < breakNum; ++i) std::cout << ' ' << Text(breaks[i]);
  std::cout << '\n' << name << ".counts";
  std::int32_t total = 0;
  for (std::int32_t i = 0; i + 1 < breakNum; ++i) {
    std::cout << ' ' << counts[i];
    total += counts[i];
  }
  std::cout << '\n' << name << ".ids";
  for (std::int32_t i = 0; i < total; ++i) std::cout << ' ' << ids[i];
  std::cout << '\n';
}

}  // namespace

int main() {
  std::vector<double> values;
  std::string token;
  while (std::cin >> token) {
    double value = 0;
    std::from_chars(token.data(), token.data() + token.size(), value);
    values.push_back(value);
  }
  const auto n = static_cast<std::int32_t>(values.size());
  {
    // The measures, in the order the tool asks for them.
    CMensora m(values.data(), n);
    Line("mean", m.SimpleArithAverNum());
    Line("weighted_mean", m.PowerArithAverNum(0));
    Line("geometric_mean", m.GeometryAverNum());
    Line("mode", m.NumerousNum());
    Line("median", m.MedianNum());
    double max = 0;
    double min = 0;
    m.ExtremumNum(&max, &min);
    Line("minimum", min);
    Line("maximum", max);
    Line("range", m.ExtreDifNum());
    Line("mean_absolute_deviation", m.DisDifAverNum());
    Line("sum_of_squares", m.DisDifSqrSum());
    Line("variance", m.SqrDifNum());
    Line("standard_deviation", m.StandDifNum());
    Line("coefficient_of_variation", m.AlterDifCoe());
    Line("skewness", m.DeflectDegree());
    Line("kurtosis", m.ApexDegree());
    double* every = nullptr;
    std::int32_t count = 0;
    m.SubSectionNum(&every, 2, &count);
    std::cout << "every2";
    for (std::int32_t i = 0; i < count; ++i) std::cout << ' ' << Text(every[i]);
    std::cout << '\n';
  }
  // Each class method on a fresh object, as the tool runs it, and the fit
  // of its classes.
  const auto classify = [&](const std::string& name, auto call) {
    CMensora m(values.data(), n);
    double* b = nullptr;
    std::int32_t k = 0;
    std::int32_t* ids = nullptr;
    std::int32_t* counts = nullptr;
    const std::int32_t status = call(m, &b, &k, &ids, &counts);
    Classes(name, status, b, k, ids, counts);
    double fit[5] = {};
    const std::int32_t stdSet = name.rfind("stddev", 0) == 0 ? 1 : 0;
    if (m.DataSecFitNum(stdSet, &fit[0], &fit[1], &fit[2], &fit[3], &fit[4]) == 1) {
      std::cout << name << ".fit";
      for (double f : fit) std::cout << ' ' << Text(f);
      std::cout << '\n';
    }
  };
  using Out = double**;
  using Num = std::int32_t*;
  using Ids = std::int32_t**;
  classify("equal", [](CMensora& m, double** b, std::int32_t* k, std::int32_t** i, std::int32_t** c) {
    return m.DataSecByMaxMin(3, b, k, i, c);
  });
  classify("step", [](CMensora& m, double** b, std::int32_t* k, std::int32_t** i, std::int32_t** c) {
    return m.DataStatByStartAndStep(0, 2, b, k, i, c, AUTO_MAX);
  });
  classify("count", [](CMensora& m, double** b, std::int32_t* k, std::int32_t** i, std::int32_t** c) {
    return m.DataStatByStartAndGroupNum(1, 4, b, k, i, c, 9);
  });
  classify("stddev", [](CMensora& m, double** b, std::int32_t* k, std::int32_t** i, std::int32_t** c) {
    return m.DataSecByAverStd(1, 0.5, b, k, i, c);
  });
  classify("stddev-window",
           [](CMensora& m, double** b, std::int32_t* k, std::int32_t** i, std::int32_t** c) {
             return m.DataSecByAverStdAndMinMax(2, 1, b, k, i, c, 2, AUTO_MAX);
           });
  classify("quantile", [](CMensora& m, double** b, std::int32_t* k, std::int32_t** i, std::int32_t** c) {
    return m.DataSecByQuantile(3, b, k, i, c);
  });
  classify("natural", [](CMensora& m, double** b, std::int32_t* k, std::int32_t** i, std::int32_t** c) {
    return m.DataSecByNaturalBreaks(3, b, k, i, c);
  });
  classify("breaks", [](CMensora& m, Out b, Num k, Ids i, Ids c) {
    const double breaks[] = {1, 2.5, 5, 9};
    return m.DataSecByBreaks(breaks, 4, b, k, i, c);
  });
  classify("pretty", [](CMensora& m, Out b, Num k, Ids i, Ids c) {
    return m.DataSecByPretty(4, b, k, i, c);
  });
  classify("headtail", [](CMensora& m, Out b, Num k, Ids i, Ids c) {
    return m.DataSecByHeadTail(0.4, b, k, i, c);
  });
  classify("box", [](CMensora& m, Out b, Num k, Ids i, Ids c) {
    return m.DataSecByBoxPlot(1, b, k, i, c);
  });
  classify("maxbreaks", [](CMensora& m, Out b, Num k, Ids i, Ids c) {
    return m.DataSecByMaxBreaks(3, b, k, i, c);
  });
  classify("percentile", [](CMensora& m, Out b, Num k, Ids i, Ids c) {
    const double percents[] = {10, 50, 100};
    return m.DataSecByPercentile(percents, 3, b, k, i, c);
  });
  classify("geometric", [](CMensora& m, Out b, Num k, Ids i, Ids c) {
    return m.DataSecByGeometric(3, b, k, i, c);
  });
  classify("natural-auto", [](CMensora& m, Out b, Num k, Ids i, Ids c) {
    return m.DataSecByNaturalBreaksAuto(6, 0.9, b, k, i, c);
  });
  {
    CMensora m(values.data(), n);
    std::int32_t* area = nullptr;
    std::int32_t areaNum = 0;
    const std::int32_t status = m.DataStatByArea(2, 5, &area, &areaNum);
    std::cout << "select.ids";
    for (std::int32_t i = 0; status == 1 && i < areaNum; ++i) std::cout << ' ' << area[i];
    std::cout << '\n';
  }
  return 0;
}
