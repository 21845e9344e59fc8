// Exit codes of the mensora tool and the error that carries one to main().
#ifndef MENSORA_TOOL_ERRORS_H
#define MENSORA_TOOL_ERRORS_H

#include <cstddef>
#include <iostream>
#include <stdexcept>
#include <string>

namespace mensora_tool {

// Every failure has its own exit code; `mensora --help` lists them.
enum class ExitCode : int {
  kOk = 0,
  kNothingSelected = 1,  // select: no value lies in the window
  kUsage = 2,            // unknown option, missing or bad option value
  kUnreadable = 3,       // the input file cannot be opened or read
  kBadData = 4,          // a cell that is not a number, a missing value, a malformed CSV
  kNoValues = 5,         // the input holds no values
  kUnknownColumn = 6,    // --column / --label names no column, or none was chosen
  kLibraryFailure = 7,   // the library returned its failure status
  kCannotWrite = 8,      // the --svg file cannot be written
};

// The length of the UTF-8 character that starts at text[i]: 1 to 4, or 0 for
// a byte that starts no well-formed character (overlong forms, surrogates
// and code points above U+10FFFF included).
inline std::size_t Utf8Length(const std::string& text, std::size_t i) {
  const auto byte = [&text](std::size_t at) {
    return at < text.size() ? static_cast<unsigned char>(text[at]) : 0u;
  };
  const unsigned c = byte(i);
  if (c < 0x80) return 1;
  std::size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // the range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

// A text fit for a one-line message on a terminal: control characters (C0,
// DEL and C1) and
// bytes that are not well-formed UTF-8 as \n, \r, \t or \xHH, everything else
// as it is. Input bytes quoted in a message go through this, so that binary
// data cannot cut the message short (at a NUL) or garble the terminal.
inline std::string Printable(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string shown;
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t length = Utf8Length(text, i);
    const bool control = c < 0x20 || c == 0x7F ||
                         (c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0);
    if (length > 0 && !control) {
      shown.append(text, i, length);
      i += length;
      continue;
    }
    if (c == '\n') {
      shown += "\\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c == '\t') {
      shown += "\\t";
    } else {
      shown += "\\x";
      shown += kHex[c >> 4];
      shown += kHex[c & 15];
    }
    ++i;
  }
  return shown;
}

// A failure with its one-line message (without the "mensora: " prefix), made
// printable.
class ToolError : public std::runtime_error {
 public:
  ToolError(ExitCode code, const std::string& message)
      : std::runtime_error(Printable(message)), code_(code) {}
  ExitCode code() const { return code_; }

 private:
  ExitCode code_;
};

// A remark on standard error that does not stop the run.
inline void Note(const std::string& message) {
  std::cerr << "mensora: note: " << Printable(message) << '\n';
}

}  // namespace mensora_tool

#endif  // MENSORA_TOOL_ERRORS_H
