// A small writer of indented JSON. Numbers are written exactly (shortest
// round trip); the non-finite doubles, which JSON cannot carry as numbers,
// are written as the strings "NaN", "Infinity" and "-Infinity".
#ifndef MENSORA_TOOL_JSON_WRITER_H
#define MENSORA_TOOL_JSON_WRITER_H

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace mensora_tool {

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}
  ~JsonWriter() { out_ << '\n'; }

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // The key of the next value inside an object.
  void Key(const std::string& key);
  void String(const std::string& text);
  void Number(double value);
  void Integer(std::int64_t value);
  void Bool(bool value);
  void Null();

 private:
  void BeforeValue();
  void Open(char bracket);
  void Close(char bracket);
  void Indent();
  void Quoted(const std::string& text);

  std::ostream& out_;
  std::vector<bool> hasItems_;  // per open bracket: an item written already
  bool afterKey_ = false;
};

}  // namespace mensora_tool

#endif  // MENSORA_TOOL_JSON_WRITER_H
