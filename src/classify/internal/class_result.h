// The class result shared by every class-break method: the collection of the
// members of each class from the sorted view, and the completion of the four
// outputs in the object's buffers.
#ifndef MENSORA_CLASSIFY_INTERNAL_CLASS_RESULT_H
#define MENSORA_CLASSIFY_INTERNAL_CLASS_RESULT_H

#include <cstdint>

#include "Mensora.h"

namespace mensora {
namespace internal {

// A closed value window, dMin <= value <= dMax, that members must also pass.
struct ValueWindow {
  double dMin;
  double dMax;
};

// How the last class closes. kOpen: every class is break[s] <= value <
// break[s+1]. kClosing: the closing rule of the range classes, which fires
// unless the sample maximum (the last entry of the view) lies at least
// EQ_TOLERANCE from the last break; when it fires the last class also takes
// the values within EQ_TOLERANCE of the last break. kClosed: the last class
// is break[k-1] <= value <= break[k], whatever the last entry of the view
// holds; for breaks whose last entry is the largest value that is not NaN it
// is the closing rule without its dependence on where the view keeps its
// NaNs.
enum class LastClass { kOpen, kClosing, kClosed };

// One set of the object's class-result buffers, with the number of classes
// of the result they hold (0 while they hold none) and how its last class
// closes (a LastClass, set with the result).
struct ClassBuffers {
  double*& breaks;
  std::int32_t*& counts;
  std::int32_t*& ids;
  std::int32_t& classes;
  std::int32_t& last;
};

// The four out-parameters of a class method, written only on success.
struct ClassOutputs {
  double** ppSecBreak;
  std::int32_t* pBreakNum;
  std::int32_t** ppSecID;
  std::int32_t** ppSecIDNum;

  bool Complete() const {
    return ppSecBreak != nullptr && pBreakNum != nullptr && ppSecID != nullptr &&
           ppSecIDNum != nullptr;
  }
};

// Finishes a class result whose k + 1 breaks stand in buffers.breaks:
// replaces the counts, collects the members of classes 0..k-1 (each class in
// the order of the view), replaces the ids with exactly their number, and
// writes the outputs; buffers.classes is k after a success and 0 after a
// failure. 1 on success; -1 when the counts, the id list or the
// ids cannot be allocated, with the outputs untouched (after a
// failed counts allocation the counts buffer is empty; after a failed id list
// or ids allocation the ids buffer is empty).
std::int32_t CompleteClassResult(const ORDER_DATA* view, std::int32_t n, std::int32_t k,
                                 const ClassBuffers& buffers, LastClass last,
                                 const ValueWindow* window, const ClassOutputs& out) noexcept;

// The upper end of the last class, resolved for one sample: whether the class
// takes the values at its upper break and, beyond them, those less than
// `tolerance` above it.
struct LastClassEnd {
  bool closed;
  double tolerance;
  // Whether the last class reaches `value` (not NaN, at or above its lower
  // break) for the upper break `high`.
  bool Takes(double value, double high) const noexcept;
};

// The end of the last class under `last` for the upper break `high`, over a
// sample whose sorted view ends in `top` (which kClosing reads).
LastClassEnd ResolveLastClass(LastClass last, double top, double high) noexcept;

// The class of each of values[0..n-1] under breaks[0..k] (never descending,
// none NaN) and `last`, as a class result over those values would give it,
// -1 for none (NaN always); kClosing reads the largest value that is not NaN.
void FindClasses(const double* breaks, std::int32_t k, LastClass last, const double* values,
                 std::int32_t n, std::int32_t* classes) noexcept;

// Whether k classes are a class count the result can carry: k >= 1 and
// k + 1 breaks countable in 32 bits.
inline bool ValidClassCount(std::int64_t k) { return k >= 1 && k < INT32_MAX; }

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_CLASSIFY_INTERNAL_CLASS_RESULT_H
