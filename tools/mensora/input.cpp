#include "input.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <limits>

#include "errors.h"
#include "numbers.h"

namespace mensora_tool {

namespace {

constexpr std::int64_t kMaxValues = std::numeric_limits<std::int32_t>::max();

std::string ReadAll(const std::string& path, const std::string& source) {
  if (path == "-") {
    std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    if (std::cin.bad()) throw ToolError(ExitCode::kUnreadable, "cannot read standard input");
    return text;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    throw ToolError(ExitCode::kUnreadable,
                    "cannot open " + source + ": " + std::strerror(errno));
  }
  std::string text;
  char buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed) {
    throw ToolError(ExitCode::kUnreadable, "cannot read " + source + ": " + std::strerror(error));
  }
  return text;
}

// How much of the input is looked at to tell text from binary data.
constexpr std::size_t kFirstBlock = 65536;

// Refuses input whose first block holds a NUL or a control character other
// than blanks and line breaks: an executable, an image or a compressed file
// rather than a table. Bytes that are not UTF-8 alone do not make binary
// data: a table saved in a single-byte encoding (Latin-1, Windows-1252) is
// text, its numbers are ASCII, and only its labels show the stray bytes.
void RefuseBinary(const std::string& text, const std::string& source) {
  const std::size_t end = std::min(text.size(), kFirstBlock);
  for (std::size_t i = 0; i < end; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const bool blank = c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    if ((c >= 0x20 && c != 0x7F) || blank) continue;
    std::string hint;
    if (text.compare(0, 2, "\x1F\x8B") == 0) {
      hint = " (gzip-compressed: decompress it first, for instance gunzip -c FILE | mensora"
             " COMMAND -)";
    } else if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0) {
      hint = " (UTF-16 text: save it as UTF-8)";
    }
    throw ToolError(ExitCode::kBadData, source + " looks like binary data, not text" + hint);
  }
}

// The offending text as shown in a message: quoted, cut after 40 characters
// (ToolError escapes what is not printable).
std::string Quote(const std::string& text) {
  if (text.size() <= 40) return "'" + text + "'";
  return "'" + text.substr(0, 40) + "...'";
}

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r\n\f\v";
  const auto first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

// The blank-separated words of a text.
std::vector<std::string> Words(const std::string& text) {
  const char* blanks = " \t\r\f\v";
  std::vector<std::string> words;
  std::size_t t = 0;
  while (t < text.size()) {
    const auto first = text.find_first_not_of(blanks, t);
    if (first == std::string::npos) break;
    auto last = text.find_first_of(blanks, first);
    if (last == std::string::npos) last = text.size();
    words.push_back(text.substr(first, last - first));
    t = last;
  }
  return words;
}

// An empty cell, NA, or a number word that reads as NaN ("NaN", "nan").
bool IsMissing(const std::string& cell) {
  if (cell.empty() || cell == "NA") return true;
  const auto value = ParseDouble(cell);
  return value && std::isnan(*value);
}

// One CSV field: its text (quotes removed) and whether it was quoted.
struct Field {
  std::string text;
  bool quoted = false;
};

// One CSV record and the line it starts on.
struct Record {
  std::int64_t line = 0;
  std::vector<Field> fields;
};

// Splits CSV text into records: comma-separated fields, double quotes around a
// field that holds commas, quotes or line breaks, "" for a quote inside one.
// Blank lines are skipped. Unquoted fields are trimmed of blanks.
std::vector<Record> ParseCsv(const std::string& text, const std::string& source) {
  std::vector<Record> records;
  Record record;
  Field field;
  std::int64_t line = 1;
  record.line = 1;
  bool fieldStarted = false;  // any character of this field seen
  std::size_t i = 0;
  const auto endField = [&] {
    if (!field.quoted) field.text = Trim(field.text);
    record.fields.push_back(std::move(field));
    field = Field();
    fieldStarted = false;
  };
  const auto endRecord = [&] {
    endField();
    const bool blank = record.fields.size() == 1 && !record.fields[0].quoted &&
                       record.fields[0].text.empty();
    if (!blank) records.push_back(std::move(record));
    record = Record();
    record.line = line;
  };
  while (i < text.size()) {
    const char c = text[i];
    if (c == '"' && !field.quoted && Trim(field.text).empty()) {
      // A quoted field: read up to the closing quote.
      const std::int64_t startLine = line;
      field.quoted = true;
      field.text.clear();
      ++i;
      bool closed = false;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field.text += '"';
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        if (text[i] == '\n') ++line;
        field.text += text[i++];
      }
      if (!closed) {
        throw ToolError(ExitCode::kBadData, source + ":" + std::to_string(startLine) +
                                                ": a quoted field is not closed");
      }
      // Only blanks may follow the closing quote before the next separator.
      while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r')) ++i;
      if (i < text.size() && text[i] != ',' && text[i] != '\n') {
        throw ToolError(ExitCode::kBadData, source + ":" + std::to_string(line) +
                                                ": text after a closing quote: " +
                                                Quote(text.substr(i, text.find('\n', i) - i)));
      }
      fieldStarted = true;
      continue;
    }
    if (c == ',') {
      endField();
      ++i;
      continue;
    }
    if (c == '\n') {
      ++line;
      endRecord();
      ++i;
      continue;
    }
    field.text += c;
    fieldStarted = true;
    ++i;
  }
  if (fieldStarted || !record.fields.empty()) endRecord();
  return records;
}

// Whether the first line looks like a header: a quoted field, or a field that
// starts with a letter and is neither a number word (nan, inf) nor NA.
bool LooksLikeHeader(const std::string& text) {
  std::size_t start = 0;
  std::string line;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    line = Trim(text.substr(start, end - start));
    if (!line.empty()) break;
    start = end + 1;
  }
  std::size_t pos = 0;
  while (pos <= line.size()) {
    auto comma = line.find(',', pos);
    if (comma == std::string::npos) comma = line.size();
    const std::string cell = Trim(line.substr(pos, comma - pos));
    if (!cell.empty() && cell[0] == '"') return true;
    if (!cell.empty() && std::isalpha(static_cast<unsigned char>(cell[0]))) {
      // "NA NA" or "inf nan" are values; "Life Exp" is a header.
      for (const std::string& word : Words(cell)) {
        if (!IsMissing(word) && !ParseDouble(word)) return true;
      }
    }
    pos = comma + 1;
  }
  return false;
}

void AddValue(Sample& sample, double value, std::int64_t row) {
  if (static_cast<std::int64_t>(sample.values.size()) >= kMaxValues) {
    throw ToolError(ExitCode::kBadData,
                    sample.source + ": more values than the library can take (2147483647)");
  }
  sample.values.push_back(value);
  sample.rows.push_back(row);
}

std::string MissingMessage(const std::string& where) {
  return where + ": missing value (empty, NA or NaN); use --missing skip to leave such cells out";
}

// Plain numbers separated by blanks, commas, tabs or line breaks. An empty
// place between two commas is a missing value, like NA.
void LoadPlain(const std::string& text, const InputOptions& options, Sample& sample) {
  std::int64_t line = 1;
  std::int64_t number = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string content = text.substr(start, end - start);
    const bool hasComma = content.find(',') != std::string::npos;
    std::size_t pos = 0;
    while (pos <= content.size()) {
      auto comma = content.find(',', pos);
      if (comma == std::string::npos) comma = content.size();
      std::vector<std::string> tokens = Words(content.substr(pos, comma - pos));
      if (tokens.empty() && hasComma) tokens.push_back("");
      for (const std::string& token : tokens) {
        ++number;
        const std::string where = sample.source + ":" + std::to_string(line);
        if (IsMissing(token)) {
          if (!options.skipMissing) throw ToolError(ExitCode::kBadData, MissingMessage(where));
          ++sample.missingSkipped;
          continue;
        }
        const auto value = ParseDouble(token);
        if (!value) {
          throw ToolError(ExitCode::kBadData, where + ": " + Quote(token) + " is not a number");
        }
        AddValue(sample, *value, number);
      }
      pos = comma + 1;
    }
    start = end + 1;
    ++line;
  }
}

std::string ColumnList(const Record& header) {
  std::string list;
  for (std::size_t i = 0; i < header.fields.size(); ++i) {
    if (i > 0) list += ", ";
    list += header.fields[i].text;
  }
  return list;
}

// The index of the column named by a header name, or else by its number from 1.
std::size_t FindColumn(const Record& header, const std::string& name, const std::string& option,
                       const std::string& source) {
  for (std::size_t i = 0; i < header.fields.size(); ++i) {
    if (header.fields[i].text == name) return i;
  }
  const auto number = ParseInt32(name);
  if (number && *number >= 1 && static_cast<std::size_t>(*number) <= header.fields.size()) {
    return static_cast<std::size_t>(*number - 1);
  }
  throw ToolError(ExitCode::kUnknownColumn, source + ": " + option + " " + Quote(name) +
                                                " names no column (columns: " +
                                                ColumnList(header) + ")");
}

void LoadCsv(const std::string& text, const InputOptions& options, Sample& sample) {
  const std::vector<Record> records = ParseCsv(text, sample.source);
  if (records.empty()) return;
  const Record& header = records[0];
  const std::size_t width = header.fields.size();

  std::optional<std::size_t> labelIndex;
  if (options.label) labelIndex = FindColumn(header, *options.label, "--label", sample.source);
  std::size_t valueIndex = 0;
  std::vector<std::size_t> indices;
  if (options.column) {
    valueIndex = FindColumn(header, *options.column, "--column", sample.source);
    for (const std::string& more : options.moreColumns) {
      indices.push_back(FindColumn(header, more, "--column", sample.source));
    }
  } else if (width == 1 || (width == 2 && labelIndex)) {
    valueIndex = (width == 2 && *labelIndex == 0) ? 1 : 0;
  } else {
    throw ToolError(ExitCode::kUnknownColumn, sample.source + " has " + std::to_string(width) +
                                                  " columns; choose one with --column (" +
                                                  ColumnList(header) + ")");
  }
  bool numericHeader = true;
  for (const Field& field : header.fields) numericHeader = numericHeader && ParseDouble(field.text);
  if (numericHeader) {
    Note(sample.source + ":" + std::to_string(header.line) +
         ": this line of numbers is read as the header (--column and --label mean CSV)");
  }
  indices.insert(indices.begin(), valueIndex);
  if (labelIndex) sample.labelColumn = header.fields[*labelIndex].text;
  if (indices.size() > 1) {
    for (std::size_t index : indices) sample.pooled.push_back(header.fields[index].text);
  }

  // The values of each column in turn.
  for (std::size_t c = 0; c < indices.size(); ++c) {
    const std::string& column = header.fields[indices[c]].text;
    sample.column += (c == 0 ? "" : ", ") + column;
    for (std::size_t r = 1; r < records.size(); ++r) {
      const Record& record = records[r];
      const std::string where = sample.source + ":" + std::to_string(record.line);
      if (record.fields.size() != width) {
        throw ToolError(ExitCode::kBadData, where + ": " + std::to_string(record.fields.size()) +
                                                " fields where the header has " +
                                                std::to_string(width));
      }
      const std::string& cell = record.fields[indices[c]].text;
      if (IsMissing(cell)) {
        if (!options.skipMissing) {
          throw ToolError(ExitCode::kBadData, MissingMessage(where + ": column " + column));
        }
        ++sample.missingSkipped;
        continue;
      }
      const auto value = ParseDouble(cell);
      if (!value) {
        throw ToolError(ExitCode::kBadData,
                        where + ": column " + column + ": " + Quote(cell) + " is not a number");
      }
      AddValue(sample, *value, static_cast<std::int64_t>(r));
      if (labelIndex) sample.labels.push_back(record.fields[*labelIndex].text);
      if (indices.size() > 1) sample.columnOf.push_back(static_cast<std::int32_t>(c));
    }
  }
}

}  // namespace

std::string Sample::Name(std::int32_t id) const {
  const auto index = static_cast<std::size_t>(id);
  std::string name = index < labels.size() && !labels[index].empty()
                         ? labels[index]
                         : "row " + std::to_string(rows[index]);
  if (index < columnOf.size()) {
    name += " (" + pooled[static_cast<std::size_t>(columnOf[index])] + ")";
  }
  return name;
}

Sample LoadSample(const InputOptions& options) {
  Sample sample;
  sample.source = options.path == "-" ? "standard input" : options.path;
  std::string text = ReadAll(options.path, sample.source);
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);  // a UTF-8 byte order mark
  RefuseBinary(text, sample.source);
  if (options.column || options.label || LooksLikeHeader(text)) {
    LoadCsv(text, options, sample);
  } else {
    LoadPlain(text, options, sample);
  }
  if (sample.values.empty()) {
    std::string message = sample.source + ": no values";
    if (sample.missingSkipped > 0) {
      message += " (" + std::to_string(sample.missingSkipped) + " missing skipped)";
    }
    throw ToolError(ExitCode::kNoValues, message);
  }
  return sample;
}

}  // namespace mensora_tool
