// A small JSON reader for the test tables: objects, arrays, numbers, strings
// (without escapes other than \" and \\), true, false and null.
#ifndef MENSORA_TESTS_SUPPORT_JSON_VALUE_H
#define MENSORA_TESTS_SUPPORT_JSON_VALUE_H

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace mensora_test {

struct Json {
  enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
  double number = 0.0;
  bool flag = false;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> fields;

  bool Has(const std::string& key) const { return fields.count(key) != 0; }
  const Json& operator[](const std::string& key) const { return fields.at(key); }
};

class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : text_(text) {}
  Json Read() {
    Json value = Value();
    Skip();
    if (at_ != text_.size()) throw std::runtime_error("json: text after the value");
    return value;
  }

 private:
  void Skip() {
    while (at_ < text_.size() && std::string(" \t\r\n").find(text_[at_]) != std::string::npos) ++at_;
  }
  bool Take(char c) {
    Skip();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  void Expect(char c) {
    if (!Take(c)) throw std::runtime_error(std::string("json: expected ") + c);
  }
  std::string String() {
    Expect('"');
    std::string s;
    while (at_ < text_.size() && text_[at_] != '"') {
      if (text_[at_] == '\\') ++at_;
      s += text_[at_++];
    }
    Expect('"');
    return s;
  }
  Json Value() {
    Json v;
    Skip();
    if (at_ >= text_.size()) throw std::runtime_error("json: unexpected end");
    const char c = text_[at_];
    if (c == '{') {
      v.kind = Json::kObject;
      ++at_;
      if (Take('}')) return v;
      do {
        const std::string key = String();
        Expect(':');
        v.fields[key] = Value();
      } while (Take(','));
      Expect('}');
    } else if (c == '[') {
      v.kind = Json::kArray;
      ++at_;
      if (Take(']')) return v;
      do v.items.push_back(Value());
      while (Take(','));
      Expect(']');
    } else if (c == '"') {
      v.kind = Json::kString;
      v.text = String();
    } else if (text_.compare(at_, 4, "null") == 0) {
      at_ += 4;
    } else if (text_.compare(at_, 4, "true") == 0 || text_.compare(at_, 5, "false") == 0) {
      v.kind = Json::kBool;
      v.flag = c == 't';
      at_ += v.flag ? 4 : 5;
    } else {
      v.kind = Json::kNumber;
      char* end = nullptr;
      v.number = std::strtod(text_.c_str() + at_, &end);
      if (end == text_.c_str() + at_) throw std::runtime_error("json: bad value");
      at_ = static_cast<std::size_t>(end - text_.c_str());
    }
    return v;
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

}  // namespace mensora_test

#endif  // MENSORA_TESTS_SUPPORT_JSON_VALUE_H
