#include "json_writer.h"

#include <cmath>

#include "errors.h"
#include "numbers.h"

namespace mensora_tool {

namespace {

}  // namespace

void JsonWriter::Indent() {
  out_ << '\n' << std::string(hasItems_.size() * 2, ' ');
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (hasItems_.empty()) return;
  if (hasItems_.back()) out_ << ',';
  hasItems_.back() = true;
  Indent();
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  out_ << bracket;
  hasItems_.push_back(false);
}

void JsonWriter::Close(char bracket) {
  const bool hadItems = hasItems_.back();
  hasItems_.pop_back();
  if (hadItems) Indent();
  out_ << bracket;
}

void JsonWriter::Key(const std::string& key) {
  BeforeValue();
  Quoted(key);
  out_ << ": ";
  afterKey_ = true;
}

// Escapes quotes, backslashes and control characters; a byte that is not
// part of valid UTF-8 becomes U+FFFD, so the output is always valid JSON.
void JsonWriter::Quoted(const std::string& text) {
  static const char* hex = "0123456789abcdef";
  out_ << '"';
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out_ << '\\' << static_cast<char>(c);
    } else if (c == '\n') {
      out_ << "\\n";
    } else if (c == '\t') {
      out_ << "\\t";
    } else if (c == '\r') {
      out_ << "\\r";
    } else if (c < 0x20) {
      out_ << "\\u00" << hex[c >> 4] << hex[c & 15u];
    } else if (c >= 0x80) {
      const std::size_t length = Utf8Length(text, i);
      if (length == 0) {
        out_ << "\\ufffd";
        ++i;
      } else {
        out_ << text.substr(i, length);
        i += length;
      }
      continue;
    } else {
      out_ << static_cast<char>(c);
    }
    ++i;
  }
  out_ << '"';
}

void JsonWriter::String(const std::string& text) {
  BeforeValue();
  Quoted(text);
}

void JsonWriter::Number(double value) {
  BeforeValue();
  if (std::isnan(value)) {
    out_ << "\"NaN\"";
  } else if (std::isinf(value)) {
    out_ << (value > 0 ? "\"Infinity\"" : "\"-Infinity\"");
  } else if (value == 0.0 && std::signbit(value)) {
    out_ << "-0.0";  // many readers take a bare -0 for the integer 0
  } else {
    out_ << FormatDouble(value);
  }
}

void JsonWriter::Integer(std::int64_t value) {
  BeforeValue();
  out_ << value;
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ << (value ? "true" : "false");
}

void JsonWriter::Null() {
  BeforeValue();
  out_ << "null";
}

}  // namespace mensora_tool
