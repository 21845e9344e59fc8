// Uses the installed library through its public header only; exits non-zero
// when a result is not the expected one.
#include <cstdint>
#include <cstdio>

#include "Mensora.h"

int main() {
  double values[] = {2, 4, 4, 4, 5, 5, 7, 9};
  CMensora sample(values, 8);
  const double mean = sample.SimpleArithAverNum();
  const double median = sample.MedianNum();
  const double sigma = sample.StandDifNum();
  double* breaks = nullptr;
  std::int32_t breakNum = 0;
  std::int32_t* ids = nullptr;
  std::int32_t* counts = nullptr;
  const std::int32_t status = sample.DataSecByMaxMin(2, &breaks, &breakNum, &ids, &counts);
  std::printf("mean %g median %g sigma %g classes %d\n", mean, median, sigma,
              static_cast<int>(breakNum - 1));
  const bool ok = mean == 5.0 && median == 4.5 && sigma == 2.0 && status == 1 && breakNum == 3;
  return ok ? 0 : 1;
}
