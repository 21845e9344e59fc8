// C interface: what a legend needs. Round breaks and the closing rule of a
// handle's result, the classes of other values under given breaks, and the
// one label formatter every binding prints with.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>
#include <vector>

#include "Mensora.h"
#include "capi/internal/handle.h"
#include "classify/internal/class_result.h"
#include "classify/internal/whole_numbers.h"
#include "mensora_c.h"

using mensora::capi::Fail;
using mensora::capi::Failed;
using mensora::capi::Guarded;
using mensora::internal::LastClass;
using mensora::internal::WholeNumbers;

namespace {

constexpr std::int32_t kLabelFlags =
    MENSORA_LABEL_INTERVAL | MENSORA_LABEL_THOUSANDS | MENSORA_LABEL_INTEGER;

bool ValidRule(std::int32_t rule) {
  return rule >= MENSORA_LAST_OPEN && rule <= MENSORA_LAST_CLOSING;
}

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

// A number's text. The longest of the forms here (fixed decimals below 1e15,
// exponent forms, 17 digits) is well under 64 bytes.
struct Text {
  char c[64];
  std::size_t size;
};

// The number a text of Plain shows (a decimal or exponent form, "inf",
// "nan"), read without regard to the locale.
double Read(const Text& text) {
#if defined(__cpp_lib_to_chars)
  double x = 0.0;
  if (std::from_chars(text.c, text.c + text.size, x).ec == std::errc()) return x;
  // Beyond the range of doubles: strtod's infinity, or its zero or subnormal.
#endif
  // Written again without a point ("9.28" as "928e-2"), strtod reads it
  // alike in every locale.
  char digits[96];
  std::size_t n = 0;
  long exponent = 0;
  bool fraction = false;
  for (std::size_t i = 0; i < text.size; ++i) {
    const char c = text.c[i];
    if (c == 'e' || c == 'E') {
      exponent += std::strtol(text.c + i + 1, nullptr, 10);
      break;
    }
    if (c == '.') {
      fraction = true;
    } else {
      digits[n++] = c;
      if (fraction) --exponent;
    }
  }
  (void)std::snprintf(digits + n, sizeof digits - n, "e%ld", exponent);
  return std::strtod(digits, nullptr);
}

// printf's text of x by conversion 'f', 'e' or 'g' with `digits`, the decimal
// point of any locale written as '.'.
Text Printed(char conversion, int digits, double x) {
  Text text;
#if defined(__cpp_lib_to_chars)
  // The same text as printf's in the C locale.
  const std::chars_format format = conversion == 'f'   ? std::chars_format::fixed
                                   : conversion == 'e' ? std::chars_format::scientific
                                                       : std::chars_format::general;
  char* end = std::to_chars(text.c, text.c + sizeof text.c - 1, x, format, digits).ptr;
  text.size = static_cast<std::size_t>(end - text.c);
#else
  // The only characters of a %e, %f or %g text besides digits, signs and the
  // exponent's e are those of the point.
  const char format[] = {'%', '.', '*', conversion, '\0'};
  (void)std::snprintf(text.c, sizeof text.c, format, digits, x);
  std::size_t n = 0;
  bool point = false;
  for (const char* c = text.c; *c != '\0'; ++c) {
    const bool plain = (*c >= '0' && *c <= '9') || *c == '-' || *c == '+' || *c == 'e';
    if (plain) {
      text.c[n++] = *c;
    } else if (!point) {
      text.c[n++] = '.';
      point = true;
    }
  }
  text.size = n;
#endif
  text.c[text.size] = '\0';
  return text;
}

// The fewest significant digits of a text that reads back as x (finite), or 1
// where the library cannot tell: the shortest text has no fewer.
int FewestDigits(double x) {
#if defined(__cpp_lib_to_chars)
  char text[32];
  const char* end = std::to_chars(text, text + sizeof text, x, std::chars_format::scientific).ptr;
  int digits = 0;
  for (const char* c = text; c != end && *c != 'e'; ++c) digits += *c >= '0' && *c <= '9' ? 1 : 0;
  return digits;
#else
  (void)x;
  return 1;
#endif
}

// Whether a fixed form is replaced by the shortest text for x.
bool Unfixed(double x, NumberForm form) {
  // Fixed decimals suit magnitudes below 1e15 (a value on its own may be larger).
  return form.kind == NumberForm::kShortest ||
         (form.kind == NumberForm::kFixed && !(std::fabs(x) < 1e15));
}

// x in the form, with "-" dropped where the text shows a zero. The texts
// never depend on the locale.
std::string Plain(double x, NumberForm form) {
  if (std::isnan(x)) return "nan";
  if (std::isinf(x)) return x > 0 ? "inf" : "-inf";
  Text text{};
  if (Unfixed(x, form)) {
    for (int p = FewestDigits(x); p <= 17; ++p) {
      text = Printed('g', p, x);
      if (Read(text) == x) break;
    }
  } else {
    text = Printed(form.kind == NumberForm::kFixed ? 'f' : 'e', form.digits, x);
  }
  const bool zero = text.c[0] == '-' && Read(text) == 0.0;
  return zero ? std::string(text.c + 1, text.size - 1) : std::string(text.c, text.size);
}

// The number Plain(x, form) shows, equal to Read of that text: the shortest
// text reads back as x (17 digits always do), "inf" and "nan" as themselves,
// and a dropped "-" changes no comparison.
double Shown(double x, NumberForm form) {
  if (!std::isfinite(x) || Unfixed(x, form)) return x;
  return Read(Printed(form.kind == NumberForm::kFixed ? 'f' : 'e', form.digits, x));
}

// A value on its own: in the form without trailing zeros where that reads
// back as the value, else in its shortest text.
std::string Alone(double x, NumberForm form) {
  if (Shown(x, form) != x) return Plain(x, {NumberForm::kShortest, 0});
  std::string s = Plain(x, form);
  if (form.kind == NumberForm::kFixed && s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
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
  // Whether the members of class s are known and not all one value.
  bool Spread(std::int32_t s) const {
    double value = 0.0;
    return lowest != nullptr && highest != nullptr && !Empty(s) && !OneValue(s, &value);
  }
};

// Whether the form keeps the distinct breaks apart, shows no break further
// than `slack` from its value, and keeps every known member on its side of
// each break it shows (where the exact break does). Each break is judged as
// soon as it is shown: most forms fail at one of the first.
bool FormFits(const Legend& g, NumberForm form, double slack) {
  double shownLo = 0.0;
  for (std::int32_t s = 0; s <= g.k; ++s) {
    const double b = g.breaks[s];
    const double shown = Shown(b, form);
    if (std::fabs(b) < HUGE_BOUND && std::fabs(shown - b) > slack) return false;
    // Break s ends class s - 1 ...
    if (s > 0) {
      const double lo = g.breaks[s - 1];
      if (std::isfinite(lo) && std::isfinite(b) && lo < b && !(shownLo < shown)) return false;
      const double most = g.highest == nullptr ? 0.0 : g.highest[s - 1];
      if (g.Spread(s - 1) &&
          (g.Closed(s - 1) ? most <= b && !(shown >= most) : most < b && !(shown > most))) {
        return false;
      }
    }
    // ... and starts class s.
    if (s < g.k && g.Spread(s) && b <= g.lowest[s] && !(shown <= g.lowest[s])) return false;
    shownLo = shown;
  }
  return true;
}

// The fewest decimals (or, for magnitudes fixed decimals do not suit, the
// fewest digits of an exponent form) that fit: no break shown further than a
// thousandth of the narrowest class from its value (of the largest break
// where no class has two finite ends).
NumberForm ChooseForm(const Legend& g) {
  double largest = 0.0;
  double narrowest = HUGE_VAL;
  for (std::int32_t s = 0; s <= g.k; ++s) {
    const double b = std::fabs(g.breaks[s]);
    if (b < HUGE_BOUND) largest = std::max(largest, b);
    const double width = s < g.k ? g.breaks[s + 1] - g.breaks[s] : 0.0;
    if (s < g.k && b < HUGE_BOUND && std::fabs(g.breaks[s + 1]) < HUGE_BOUND && width > 0.0) {
      narrowest = std::min(narrowest, width);
    }
  }
  const double slack = (narrowest < HUGE_VAL ? narrowest : largest) / 1000.0;
  if (largest < 1e15) {
    for (int d = 0; d <= 8; ++d) {
      if (FormFits(g, {NumberForm::kFixed, d}, slack)) return {NumberForm::kFixed, d};
    }
  }
  for (int d = 0; d <= 16; ++d) {
    if (FormFits(g, {NumberForm::kExponent, d}, slack)) return {NumberForm::kExponent, d};
  }
  return {NumberForm::kShortest, 0};
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
      text += thousands ? Grouped(Alone(value, form)) : Alone(value, form);
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
  if (text.size() >= static_cast<std::size_t>(INT32_MAX)) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the labels of so many classes exceed 2^31 - 1 bytes");
  }
  *needed = static_cast<std::int32_t>(text.size()) + 1;
  if (capacity > 0) {
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(capacity) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }
  return MENSORA_OK;
}

// Why a call over a handle's result is refused before it runs, or MENSORA_OK.
int Refused(const mensora_sample* sample, const void* out, std::int32_t std_classes) {
  if (sample == nullptr || out == nullptr) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the sample or the out-pointer is NULL");
  }
  const bool has = std_classes != 0 ? sample->stdResult : sample->rangeResult;
  if (!has) {
    return Fail(MENSORA_ERROR_NO_RESULT, "the %s classes of this sample hold no result",
                std_classes != 0 ? "standard-deviation" : "range");
  }
  return MENSORA_OK;
}

// Why a label call is refused for its flags or its buffer, or MENSORA_OK.
int LabelArgumentsRefused(std::int32_t flags, const char* buffer, std::int32_t capacity,
                          const std::int32_t* needed) {
  if ((flags & ~kLabelFlags) != 0) {
    return Fail(MENSORA_ERROR_ARGUMENT, "unknown label flags %ld", static_cast<long>(flags));
  }
  if (capacity < 0 || (capacity > 0 && buffer == nullptr) || needed == nullptr) {
    return Fail(MENSORA_ERROR_ARGUMENT,
                "the buffer must hold capacity (%ld) bytes, and needed must not be NULL",
                static_cast<long>(capacity));
  }
  return MENSORA_OK;
}

// The current result of one set of the handle, or null.
const mensora_classes* Current(const mensora_sample& sample, std::int32_t std_classes) {
  if (std_classes != 0) return sample.stdResult ? &sample.stdClasses : nullptr;
  return sample.rangeResult ? &sample.rangeClasses : nullptr;
}

// Whether the last class of a current result holds its upper break for this
// sample: the closing rule as it fell out (false only when memory is short).
bool ClosedForThisSample(mensora_sample& sample, std::int32_t std_classes,
                         const mensora_classes& result, bool* closed) {
  *closed = false;
  switch (sample.object.DataSecLastClass(std_classes != 0 ? 1 : 0)) {
    case 1: *closed = true; break;
    case 2: {
      double top = 0.0, least = 0.0;
      if (!mensora::capi::SortedExtremes(sample.object, &top, &least)) return false;
      *closed = mensora::internal::ResolveLastClass(LastClass::kClosing, top, result.breaks[0],
                                                    result.breaks[result.class_count])
                    .closed;
      break;
    }
    default: break;
  }
  return true;
}

}  // namespace

extern "C" {

int mensora_class_rule(mensora_sample* sample, int32_t std_classes, int32_t* rule) {
  const int refused = Refused(sample, rule, std_classes);
  if (refused != MENSORA_OK) return refused;
  *rule = sample->object.DataSecLastClass(std_classes != 0 ? 1 : 0);
  return MENSORA_OK;
}

int mensora_round_breaks(mensora_sample* sample, int32_t std_classes, mensora_classes* out) {
  if (sample != nullptr && out != nullptr && sample->n == 0) {
    return mensora::capi::EmptyFailure(*sample);
  }
  const int refused = Refused(sample, out, std_classes);
  if (refused != MENSORA_OK) return refused;
  const mensora_classes* result = Current(*sample, std_classes);
  return Guarded([&] {
    double* breaks = nullptr;
    std::int32_t breakCount = 0;
    std::int32_t* ids = nullptr;
    std::int32_t* counts = nullptr;
    if (sample->object.DataSecRoundBreaks(std_classes != 0 ? 1 : 0, &breaks, &breakCount, &ids,
                                          &counts) != 1) {
      return Failed(MENSORA_ERROR_MEMORY);
    }
    // The breaks were rewritten in place: the result as the handle handed it out.
    *out = *result;
    return MENSORA_OK;
  });
}

int mensora_find_classes(const double* breaks, int32_t break_count, int32_t rule,
                         const double* values, int32_t n, int32_t* classes) {
  if (breaks == nullptr || break_count < 2) {
    return Fail(MENSORA_ERROR_ARGUMENT, "at least 2 breaks are needed, not %ld",
                static_cast<long>(breaks == nullptr ? 0 : break_count));
  }
  if (!ValidRule(rule)) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the rule must be MENSORA_LAST_OPEN, _CLOSED or "
                "_CLOSING (0, 1 or 2), not %ld", static_cast<long>(rule));
  }
  if (n < 0 || (n > 0 && (values == nullptr || classes == nullptr))) {
    return Fail(MENSORA_ERROR_ARGUMENT, "values and classes must hold n (%ld) entries",
                static_cast<long>(n));
  }
  for (std::int32_t i = 0; i < break_count; ++i) {
    if (std::isnan(breaks[i])) {
      return Fail(MENSORA_ERROR_ARGUMENT, "break %ld is NaN", static_cast<long>(i));
    }
    if (i > 0 && breaks[i] < breaks[i - 1]) {
      return Fail(MENSORA_ERROR_ARGUMENT, "break %ld, %.17g, is below the one before, %.17g",
                  static_cast<long>(i), breaks[i], breaks[i - 1]);
    }
  }
  mensora::internal::FindClasses(breaks, break_count - 1, RuleClass(rule), values, n, classes);
  return MENSORA_OK;
}

int mensora_format_labels(const double* breaks, int32_t class_count, const int32_t* counts,
                          const double* lowest, const double* highest, int32_t rule,
                          int32_t flags, char* buffer, int32_t capacity, int32_t* needed) {
  if (breaks == nullptr || class_count < 1 || class_count == INT32_MAX) {
    return Fail(MENSORA_ERROR_ARGUMENT, "%ld classes: labels need breaks of 1 class or more",
                static_cast<long>(breaks == nullptr ? 0 : class_count));
  }
  if (!ValidRule(rule)) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the rule must be MENSORA_LAST_OPEN, _CLOSED or "
                "_CLOSING (0, 1 or 2), not %ld", static_cast<long>(rule));
  }
  const int refused = LabelArgumentsRefused(flags, buffer, capacity, needed);
  if (refused != MENSORA_OK) return refused;
  return Guarded([&] {
    const Legend legend{breaks, class_count, counts, lowest, highest,
                        rule != MENSORA_LAST_OPEN, flags};
    return Deliver(Labels(legend), buffer, capacity, needed);
  });
}

int32_t mensora_whole_numbers(const double* values, int32_t n) {
  return values != nullptr || n <= 0 ? (WholeNumbers(values, n) ? 1 : 0) : 0;
}

int mensora_class_labels_text(mensora_sample* sample, int32_t std_classes, int32_t flags,
                              char* buffer, int32_t capacity, int32_t* needed) {
  if (sample != nullptr && needed != nullptr && sample->n == 0) {
    return mensora::capi::EmptyFailure(*sample);
  }
  int refused = Refused(sample, needed, std_classes);
  if (refused == MENSORA_OK) refused = LabelArgumentsRefused(flags, buffer, capacity, needed);
  if (refused != MENSORA_OK) return refused;
  const mensora_classes* result = Current(*sample, std_classes);
  return Guarded([&] {
    const std::int32_t k = result->class_count;
    const double* breaks = result->breaks;
    bool closed = false;
    if (!ClosedForThisSample(*sample, std_classes, *result, &closed)) {
      return Failed(MENSORA_ERROR_MEMORY);
    }
    std::vector<double> lowest(static_cast<std::size_t>(k));
    std::vector<double> highest(static_cast<std::size_t>(k));
    std::int32_t whole = 0;
    const int status = mensora_class_extremes(sample, std_classes, lowest.data(), highest.data(),
                                              &whole);
    if (status != MENSORA_OK) return status;
    std::int32_t all = flags & ~MENSORA_LABEL_INTEGER;
    if (whole == 1) all |= MENSORA_LABEL_INTEGER;
    const Legend legend{breaks, k, result->counts, lowest.data(), highest.data(), closed, all};
    return Deliver(Labels(legend), buffer, capacity, needed);
  });
}

int mensora_class_extremes(mensora_sample* sample, int32_t std_classes, double* lowest,
                           double* highest, int32_t* whole) {
  if (sample != nullptr && whole != nullptr && sample->n == 0) {
    return mensora::capi::EmptyFailure(*sample);
  }
  const int refused = Refused(sample, whole, std_classes);
  if (refused != MENSORA_OK) return refused;
  if (lowest == nullptr || highest == nullptr) {
    return Fail(MENSORA_ERROR_ARGUMENT, "lowest and highest must hold one entry per class");
  }
  return sample->object.DataSecClassExtremes(std_classes != 0 ? 1 : 0, lowest, highest, whole) == 1
             ? MENSORA_OK
             : Fail(MENSORA_ERROR_NO_RESULT, "the classes of this sample hold no result");
}

int mensora_class_facts(mensora_sample* sample, int32_t std_classes, int32_t* labels,
                        double* lowest, double* highest, mensora_facts* out) {
  if (sample != nullptr && out != nullptr && sample->n == 0) {
    return mensora::capi::EmptyFailure(*sample);
  }
  const int refused = Refused(sample, out, std_classes);
  if (refused != MENSORA_OK) return refused;
  const mensora_classes* result = Current(*sample, std_classes);
  mensora_facts facts{};
  int status = mensora_class_fit(sample, std_classes, &facts.fit);
  if (status == MENSORA_OK) status = mensora_class_notes(sample, std_classes, &facts.notes);
  if (status == MENSORA_OK) status = mensora_class_rule(sample, std_classes, &facts.rule);
  if (status == MENSORA_OK && labels != nullptr) {
    mensora::capi::WriteLabels(*result, sample->size, labels);
  }
  if (status == MENSORA_OK && (lowest != nullptr || highest != nullptr)) {
    status = mensora_class_extremes(sample, std_classes, lowest, highest, &facts.whole);
  }
  if (status != MENSORA_OK) return status;
  bool closed = false;
  if (!ClosedForThisSample(*sample, std_classes, *result, &closed)) {
    return Failed(MENSORA_ERROR_MEMORY);
  }
  facts.closed = closed ? 1 : 0;
  *out = facts;
  return MENSORA_OK;
}

}  // extern "C"
