// The class count of natural breaks chosen by the goodness of variance fit.
#ifndef MENSORA_CLASSIFY_INTERNAL_NATURAL_CLASS_COUNT_H
#define MENSORA_CLASSIFY_INTERNAL_NATURAL_CLASS_COUNT_H

#include <cstdint>

namespace mensora {
namespace internal {

// The natural-breaks classes (as NaturalClassStarts) with the fewest classes
// k in 2..maxClasses whose GVF reaches minGvf, the GVF measured as
// MeasureClassFit measures the classes of `sorted`, the ascending values
// without NaN that values[0..d-1] with whole-number weights are collapsed
// from.
// Writes k to classes and the first point of each of its min(k, d) classes
// to starts (room for min(maxClasses, d)).
//
// One programme for maxClasses classes gives the least cost of every count;
// the first count whose cost ratio reaches minGvf is then checked, and moved
// up or down one count at a time, against the GVF of its classes measured
// directly, so that the result has the GVF asked for and the count below it
// has not. Where no count reaches minGvf, or the GVF cannot be measured (no
// value, or an infinite one), k is maxClasses. One distinct value has no
// spread: k is 2. False when the scratch memory cannot be allocated.
bool FewestNaturalClasses(const double* sorted, const double* values,
                          const double* weights, std::int32_t d, std::int32_t maxClasses,
                          double minGvf, int threads, std::int32_t* starts,
                          std::int32_t& classes) noexcept;

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_CLASSIFY_INTERNAL_NATURAL_CLASS_COUNT_H
