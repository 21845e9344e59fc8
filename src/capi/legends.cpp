// C interface: what a legend needs. Round breaks and the closing rule of a
// handle's result, the classes of other values under given breaks, and the
// one label formatter every binding prints with.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Mensora.h"
#include "capi/internal/handle.h"
#include "classify/internal/class_result.h"
#include "mensora_c.h"

using mensora::capi::Guarded;
using mensora::internal::LastClass;

namespace {

constexpr std::int32_t kLabelFlags =
    MENSORA_LABEL_INTERVAL | MENSORA_LABEL_THOUSANDS | MENSORA_LABEL_INTEGER;

bool ValidRule(std::int32_t rule) { return rule >= MENSORA_LAST_OPEN && rule <= MENSORA_LAST_CLOSING; }

LastClass RuleClass(std::int32_t rule) {
  if (rule == MENSORA_LAST_OPEN) return LastClass::kOpen;
  return rule == MENSORA_LAST_CLOSED ? LastClass::kClosed : LastClass::kClosing;
}

// How the numbers of one set of labels are written: a fixed number of
// decimals, a fixed number of digits after the point of an exponent form, or
// each number in its shortest text that reads back as itself.
struct NumberForm {
  enum Kind { kFixed, kExponent, kShortest } kind;
  int digits;
};

// x in the form, with "-" dropped where the text shows a zero.
std::string Plain(double x, NumberForm form) {
  if (std::isnan(x)) return "nan";
  if (std::isinf(x)) return x > 0 ? "inf" : "-inf";
  char text[64];
  if (form.kind == NumberForm::kShortest) {
    for (int p = 1; p <= 17; ++p) {
      std::snprintf(text, sizeof text, "%.*g", p, x);
      if (std::strtod(text, nullptr) == x) break;
    }
  } else {
    std::snprintf(text, sizeof text, form.kind == NumberForm::kFixed ? "%.*f" : "%.*e",
                  form.digits, x);
  }
  std::string s = text;
  if (s[0] == '-' && std::strtod(text, nullptr) == 0.0) s.erase(0, 1);
  return s;
}

// Groups the digits before the point in threes ("12,500.5"), exponent forms aside.
std::string Grouped(const std::string& plain) {
  if (plain.find_first_of("en") != std::string::npos) return plain;
  const std::size_t start = plain[0] == '-' ? 1 : 0;
  const std::size_t point = plain.find('.');
  const std::size_t end = point == std::string::npos ? plain.size() : point;
  std::string s = plain.substr(0, start);
  for (std::size_t i = start; i < end; ++i) {
    s += plain[i];
    const std::size_t rest = end - i - 1;
    if (rest > 0 && rest % 3 == 0) s += ',';
  }
  return s + plain.substr(end);
}

// The inputs of one set of labels.
struct Legend {
  const double* breaks;
  std::int32_t k;
  const std::int32_t* counts;
  const double* lowest;
  const double* highest;
  bool closedLast;
  std::int32_t flags;

  bool OpenBelow(std::int32_t s) const { return s == 0 && !(breaks[0] > -HUGE_BOUND); }
  bool OpenAbove(std::int32_t s) const { return s == k - 1 && !(breaks[k] < HUGE_BOUND); }
  bool Closed(std::int32_t s) const { return closedLast && s == k - 1; }
  bool Empty(std::int32_t s) const {
    if (counts != nullptr) return counts[s] == 0;
    const double lo = breaks[s], hi = breaks[s + 1];
    return !(Closed(s) ? lo <= hi : lo < hi);
  }
  // The one value of a class whose members are all equal (into *value).
  bool OneValue(std::int32_t s, double* value) const {
    if (Empty(s)) return false;
    if (lowest != nullptr && highest != nullptr) {
      *value = lowest[s];
      return lowest[s] == highest[s];
    }
    *value = breaks[s];
    return Closed(s) && breaks[s] == breaks[s + 1];
  }
};

// Whether the form keeps the distinct breaks apart and every known member on
// its side of each break it shows (where the exact break does).
bool FormFits(const Legend& g, NumberForm form) {
  std::vector<double> shown(static_cast<std::size_t>(g.k) + 1);
  for (std::int32_t s = 0; s <= g.k; ++s) {
    shown[static_cast<std::size_t>(s)] = std::strtod(Plain(g.breaks[s], form).c_str(), nullptr);
  }
  for (std::int32_t s = 0; s < g.k; ++s) {
    const double lo = g.breaks[s], hi = g.breaks[s + 1];
    const double shownLo = shown[static_cast<std::size_t>(s)];
    const double shownHi = shown[static_cast<std::size_t>(s) + 1];
    if (std::isfinite(lo) && std::isfinite(hi) && lo < hi && !(shownLo < shownHi)) return false;
    double value = 0.0;
    if (g.lowest == nullptr || g.highest == nullptr || g.Empty(s) || g.OneValue(s, &value)) {
      continue;
    }
    const double least = g.lowest[s], most = g.highest[s];
    if (lo <= least && !(shownLo <= least)) return false;
    if (g.Closed(s) ? most <= hi && !(shownHi >= most) : most < hi && !(shownHi > most)) {
      return false;
    }
  }
  return true;
}

NumberForm ChooseForm(const Legend& g) {
  double largest = 0.0;
  for (std::int32_t s = 0; s <= g.k; ++s) {
    if (std::fabs(g.breaks[s]) < HUGE_BOUND) largest = std::max(largest, std::fabs(g.breaks[s]));
  }
  if (largest < 1e15) {
    for (int d = 0; d <= 8; ++d) {
      if (FormFits(g, {NumberForm::kFixed, d})) return {NumberForm::kFixed, d};
    }
  }
  for (int d = 0; d <= 16; ++d) {
    if (FormFits(g, {NumberForm::kExponent, d})) return {NumberForm::kExponent, d};
  }
  return {NumberForm::kShortest, 0};
}

// Whether every value that is finite is a whole number below 2^53 in magnitude.
bool WholeNumbers(const double* values, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    const double v = values[i];
    if (std::isfinite(v) && !(std::fabs(v) < 9007199254740992.0 && v == std::floor(v))) {
      return false;
    }
  }
  return true;
}

std::string Labels(const Legend& g) {
  const NumberForm form = ChooseForm(g);
  const bool thousands = (g.flags & MENSORA_LABEL_THOUSANDS) != 0;
  const bool interval = (g.flags & MENSORA_LABEL_INTERVAL) != 0;
  const auto number = [&](double x, NumberForm f) {
    const std::string plain = Plain(x, f);
    return thousands ? Grouped(plain) : plain;
  };
  const auto num = [&](double x) { return number(x, form); };
  const auto whole = [&](double x) { return number(x, {NumberForm::kFixed, 0}); };

  std::string text;
  for (std::int32_t s = 0; s < g.k; ++s) {
    if (s > 0) text += '\n';
    const double lo = g.breaks[s], hi = g.breaks[s + 1];
    const bool below = g.OpenBelow(s), above = g.OpenAbove(s), closed = g.Closed(s);
    double value = 0.0;
    // The first and last whole numbers the class can hold, for whole-number data.
    const double first = std::ceil(lo);
    const double last = closed ? std::floor(hi) : std::ceil(hi) - 1.0;
    const bool integer = (g.flags & MENSORA_LABEL_INTEGER) != 0 &&
                         (below || above || first <= last) &&
                         (below || std::fabs(first) < 9007199254740992.0) &&
                         (above || std::fabs(last) < 9007199254740992.0);
    if (g.OneValue(s, &value)) {
      const bool exact = std::strtod(Plain(value, form).c_str(), nullptr) == value;
      text += number(value, exact ? form : NumberForm{NumberForm::kShortest, 0});
    } else if (below && above) {
      text += interval ? "(-inf, inf)" : "all values";
    } else if (integer) {
      if (below) {
        text += interval ? "(-inf, " + whole(last) + "]" : whole(last) + " or less";
      } else if (above) {
        text += interval ? "[" + whole(first) + ", inf)" : whole(first) + " or more";
      } else if (first == last) {
        text += whole(first);
      } else {
        text += interval ? "[" + whole(first) + ", " + whole(last) + "]"
                         : whole(first) + " - " + whole(last);
      }
    } else if (below) {
      if (interval) {
        text += "(-inf, " + num(hi) + (closed ? "]" : ")");
      } else {
        text += closed ? num(hi) + " or less" : "below " + num(hi);
      }
    } else if (above) {
      text += interval ? "[" + num(lo) + ", inf)" : num(lo) + " or more";
    } else if (interval) {
      text += "[" + num(lo) + ", " + num(hi) + (closed ? "]" : ")");
    } else {
      text += num(lo) + " - " + num(hi);
    }
    if (g.Empty(s)) text += " (empty)";
  }
  return text;
}

// Copies the text with its '\0' as snprintf would: cut to capacity - 1 bytes.
int Deliver(const std::string& text, char* buffer, std::int32_t capacity, std::int32_t* needed) {
  if (text.size() >= static_cast<std::size_t>(INT32_MAX)) return MENSORA_ERROR_ARGUMENT;
  *needed = static_cast<std::int32_t>(text.size()) + 1;
  if (capacity > 0) {
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(capacity) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }
  return MENSORA_OK;
}

// The current result of one set of the handle, or null.
const mensora_classes* Current(const mensora_sample& sample, std::int32_t std_classes) {
  if (std_classes != 0) return sample.stdResult ? &sample.stdClasses : nullptr;
  return sample.rangeResult ? &sample.rangeClasses : nullptr;
}

}  // namespace

extern "C" {

int mensora_class_rule(mensora_sample* sample, int32_t std_classes, int32_t* rule) {
  if (sample == nullptr || rule == nullptr) return MENSORA_ERROR_ARGUMENT;
  if (Current(*sample, std_classes) == nullptr) return MENSORA_ERROR_NO_RESULT;
  *rule = sample->object.DataSecLastClass(std_classes != 0 ? 1 : 0);
  return MENSORA_OK;
}

int mensora_round_breaks(mensora_sample* sample, int32_t std_classes, mensora_classes* out) {
  if (sample == nullptr || out == nullptr) return MENSORA_ERROR_ARGUMENT;
  if (sample->n == 0) return MENSORA_ERROR_EMPTY;
  if (Current(*sample, std_classes) == nullptr) return MENSORA_ERROR_NO_RESULT;
  return Guarded([&] {
    double* breaks = nullptr;
    std::int32_t breakCount = 0;
    std::int32_t* ids = nullptr;
    std::int32_t* counts = nullptr;
    if (sample->object.DataSecRoundBreaks(std_classes != 0 ? 1 : 0, &breaks, &breakCount, &ids,
                                          &counts) != 1) {
      return MENSORA_ERROR_MEMORY;
    }
    out->class_count = breakCount - 1;
    out->breaks = breaks;
    out->counts = counts;
    out->ids = ids;
    return MENSORA_OK;
  });
}

int mensora_find_classes(const double* breaks, int32_t break_count, int32_t rule,
                         const double* values, int32_t n, int32_t* classes) {
  if (breaks == nullptr || break_count < 2 || !ValidRule(rule) || n < 0 ||
      (n > 0 && (values == nullptr || classes == nullptr))) {
    return MENSORA_ERROR_ARGUMENT;
  }
  for (std::int32_t i = 0; i < break_count; ++i) {
    if (std::isnan(breaks[i]) || (i > 0 && breaks[i] < breaks[i - 1])) {
      return MENSORA_ERROR_ARGUMENT;
    }
  }
  mensora::internal::FindClasses(breaks, break_count - 1, RuleClass(rule), values, n, classes);
  return MENSORA_OK;
}

int mensora_format_labels(const double* breaks, int32_t class_count, const int32_t* counts,
                          const double* lowest, const double* highest, int32_t rule,
                          int32_t flags, char* buffer, int32_t capacity, int32_t* needed) {
  if (breaks == nullptr || class_count < 1 || class_count == INT32_MAX || !ValidRule(rule) ||
      (flags & ~kLabelFlags) != 0 || capacity < 0 || (capacity > 0 && buffer == nullptr) ||
      needed == nullptr) {
    return MENSORA_ERROR_ARGUMENT;
  }
  return Guarded([&] {
    const Legend legend{breaks, class_count, counts, lowest, highest,
                        rule != MENSORA_LAST_OPEN, flags};
    return Deliver(Labels(legend), buffer, capacity, needed);
  });
}

int mensora_class_labels_text(mensora_sample* sample, int32_t std_classes, int32_t flags,
                              char* buffer, int32_t capacity, int32_t* needed) {
  if (sample == nullptr || (flags & ~kLabelFlags) != 0 || capacity < 0 ||
      (capacity > 0 && buffer == nullptr) || needed == nullptr) {
    return MENSORA_ERROR_ARGUMENT;
  }
  if (sample->n == 0) return MENSORA_ERROR_EMPTY;
  const mensora_classes* result = Current(*sample, std_classes);
  if (result == nullptr) return MENSORA_ERROR_NO_RESULT;
  return Guarded([&] {
    const std::int32_t k = result->class_count;
    const double* breaks = result->breaks;
    bool closed = false;
    switch (sample->object.DataSecLastClass(std_classes != 0 ? 1 : 0)) {
      case 1: closed = true; break;
      case 2: {
        double top = 0.0, least = 0.0;
        if (!mensora::capi::SortedExtremes(sample->object, &top, &least)) {
          return MENSORA_ERROR_MEMORY;
        }
        closed = mensora::internal::ResolveLastClass(LastClass::kClosing, top, breaks[k]).closed;
        break;
      }
      default: break;
    }
    // The smallest and largest member of each class.
    std::vector<double> lowest(static_cast<std::size_t>(k));
    std::vector<double> highest(static_cast<std::size_t>(k));
    const std::int32_t* id = result->ids;
    for (std::int32_t s = 0; s < k; ++s) {
      double lo = HUGE_VAL, hi = -HUGE_VAL;
      for (std::int32_t c = 0; c < result->counts[s]; ++c) {
        const double v = sample->values[*id++];
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
      lowest[static_cast<std::size_t>(s)] = lo;
      highest[static_cast<std::size_t>(s)] = hi;
    }
    std::int32_t all = flags & ~MENSORA_LABEL_INTEGER;
    if (WholeNumbers(sample->values, sample->n)) all |= MENSORA_LABEL_INTEGER;
    const Legend legend{breaks, k, result->counts, lowest.data(), highest.data(), closed, all};
    return Deliver(Labels(legend), buffer, capacity, needed);
  });
}

}  // extern "C"
