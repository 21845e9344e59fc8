// CSV output: one table per run, with a header row; numbers exact, the
// non-finite values as inf, -inf and nan (which the tool reads back).
#include "format.h"
#include "numbers.h"

namespace mensora_tool {

namespace {

// A field quoted when it holds a comma, a quote or a line break.
std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string Label(const Sample& sample, std::int32_t id) {
  const auto index = static_cast<std::size_t>(id);
  return index < sample.labels.size() ? Field(sample.labels[index]) : "";
}

}  // namespace

void WriteSummaryCsv(std::ostream& out, const SummaryResult& result) {
  out << "measure,value\n";
  for (const Measure& m : result.measures) {
    out << m.key << ',' << (m.defined ? FormatDouble(m.value) : "") << '\n';
  }
  for (std::size_t i = 0; i < result.every.size(); ++i) {
    out << "sorted_value_" << i * static_cast<std::size_t>(result.everyStep) + 1 << ','
        << FormatDouble(result.every[i]) << '\n';
  }
}

// One row per class with the member fields empty; with --members one row per
// member with its class, and an empty class still one row. The GVF and ADCM of
// the whole classification end every row, so that the file stays one table.
void WriteClassifyCsv(std::ostream& out, const Sample& sample, const ClassifyResult& result,
                      bool members) {
  out << "class,lower,upper,upper_included,class_label,count,id,row,column,label,value,gvf,adcm\n";
  const std::string fit =
      result.fit.defined ? ',' + FormatDouble(result.fit.gvf) + ',' + FormatDouble(result.fit.adcm)
                         : std::string(",,");
  for (std::size_t s = 0; s < result.classes.size(); ++s) {
    const ClassRow& row = result.classes[s];
    const std::string head = std::to_string(s + 1) + ',' + FormatDouble(row.lower) + ',' +
                             FormatDouble(row.upper) + ',' + (row.closed ? "true" : "false") +
                             ',' + Field(row.label) + ',' + std::to_string(row.ids.size()) + ',';
    if (!members || row.ids.empty()) {
      out << head << ",,,," << fit << '\n';
      continue;
    }
    for (std::int32_t id : row.ids) {
      const auto index = static_cast<std::size_t>(id);
      const std::string column =
          index < sample.columnOf.size()
              ? Field(sample.pooled[static_cast<std::size_t>(sample.columnOf[index])])
              : "";
      out << head << id << ',' << sample.rows[index] << ',' << column << ','
          << Label(sample, id) << ',' << FormatDouble(sample.values[index]) << fit << '\n';
    }
  }
}

void WriteSelectCsv(std::ostream& out, const Sample& sample, const SelectResult& result,
                    bool members) {
  if (!members) {
    out << "min,max,count\n"
        << FormatDouble(result.min) << ',' << FormatDouble(result.max) << ',' << result.ids.size()
        << '\n';
    return;
  }
  out << "id,row,label,value\n";
  for (std::int32_t id : result.ids) {
    const auto index = static_cast<std::size_t>(id);
    out << id << ',' << sample.rows[index] << ',' << Label(sample, id) << ','
        << FormatDouble(sample.values[index]) << '\n';
  }
}

}  // namespace mensora_tool
