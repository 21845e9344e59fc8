// Reading the sample: plain numbers or one column of a CSV file with a header,
// from a path or from standard input.
#ifndef MENSORA_TOOL_INPUT_H
#define MENSORA_TOOL_INPUT_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mensora_tool {

struct InputOptions {
  std::string path;                  // "-" reads standard input
  std::optional<std::string> column;  // a header name, or a column number from 1
  std::vector<std::string> moreColumns;  // further --column options: values pooled after column's
  std::optional<std::string> label;   // the column whose text names each row
  bool skipMissing = false;           // leave out empty and NA cells instead of failing
};

// The values handed to the library, in input order, with where each came from.
struct Sample {
  std::string source;               // the path, or "standard input"
  std::string column;               // the chosen column's header ("A, B" for several); empty
                                    // for plain numbers
  std::vector<std::string> pooled;  // the headers of pooled columns (two or more), else empty
  std::vector<std::int32_t> columnOf;  // per value of pooled columns: its index in pooled
  std::string labelColumn;          // the label column's header; empty without --label
  std::vector<double> values;
  std::vector<std::int64_t> rows;   // per value: its data row (CSV) or value number (plain), from 1
  std::vector<std::string> labels;  // per value, with --label only
  std::int64_t missingSkipped = 0;  // empty or NA cells left out by --missing skip

  // The name a member is listed by: its label, or "row N", then its column
  // in parentheses where columns are pooled.
  std::string Name(std::int32_t id) const;
};

// Reads and parses the input. Throws ToolError: kUnreadable, kBadData (naming
// the file, the line and the offending text), kNoValues, kUnknownColumn.
Sample LoadSample(const InputOptions& options);

}  // namespace mensora_tool

#endif  // MENSORA_TOOL_INPUT_H
