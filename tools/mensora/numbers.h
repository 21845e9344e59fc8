// Exact conversion between text and numbers: a decimal text is read as the
// double nearest to it, and a double is written as the shortest text that
// reads back as the same double.
#ifndef MENSORA_TOOL_NUMBERS_H
#define MENSORA_TOOL_NUMBERS_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mensora_tool {

// The whole text as a double, or nothing. Accepts an optional sign (+ or -),
// decimal and exponent forms, and inf, infinity and nan in any case. A finite
// text beyond the double range (1e400, 1e-400) is rejected, never rounded to
// an infinity or to zero.
std::optional<double> ParseDouble(std::string_view text);

// The whole text as a 32-bit integer (optional sign, decimal digits), or nothing.
std::optional<std::int32_t> ParseInt32(std::string_view text);

// The shortest text that reads back as exactly this value; "-0" for negative
// zero, "inf", "-inf" and "nan" for the non-finite values.
std::string FormatDouble(double value);

}  // namespace mensora_tool

#endif  // MENSORA_TOOL_NUMBERS_H
