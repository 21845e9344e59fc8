// Round-number ("pretty") breaks: equally spaced values 1, 2 or 5 times a
// power of ten that cover a range in about a requested number of steps, by
// the rules of the R language's pretty(), whose results they equal.
#ifndef MENSORA_CLASSIFY_INTERNAL_PRETTY_BREAKS_H
#define MENSORA_CLASSIFY_INTERNAL_PRETTY_BREAKS_H

#include <cstdint>

namespace mensora {
namespace internal {

// The scale chosen for a range: breaks from `low` to `high` in `steps` equal
// steps (steps >= 0; 0 when the range collapses onto one round value).
struct PrettyScale {
  double low;
  double high;
  std::int64_t steps;
};

// The scale for the finite range lo <= up and about `wanted` >= 1 steps
// (at least wanted / 3).
PrettyScale ChoosePrettyScale(double lo, double up, std::int32_t wanted) noexcept;

// Writes the scale's steps + 1 breaks, low and high included, to breaks;
// with no step (one round value), the two breaks low and high.
void FillPrettyBreaks(const PrettyScale& scale, double* breaks) noexcept;

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_CLASSIFY_INTERNAL_PRETTY_BREAKS_H
