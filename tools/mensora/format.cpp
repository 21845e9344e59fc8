#include "format.h"

#include "numbers.h"

namespace mensora_tool {

std::string IntervalText(double lower, double upper, bool closed) {
  return "[" + FormatDouble(lower) + ", " + FormatDouble(upper) + (closed ? "]" : ")");
}

std::string ParameterText(const Parameter& parameter) {
  if (parameter.automatic) return "auto";
  std::string text;
  for (double v : parameter.values) text += (text.empty() ? "" : ",") + FormatDouble(v);
  return text;
}

void WriteSummary(std::ostream& out, const Sample& sample, const Options& options,
                  const SummaryResult& result) {
  switch (options.format) {
    case Format::kText: WriteSummaryText(out, sample, result); break;
    case Format::kJson: WriteSummaryJson(out, sample, result); break;
    case Format::kCsv: WriteSummaryCsv(out, result); break;
  }
}

void WriteClassify(std::ostream& out, const Sample& sample, const Options& options,
                   const ClassifyResult& result) {
  switch (options.format) {
    case Format::kText: WriteClassifyText(out, sample, result, options.members); break;
    case Format::kJson: WriteClassifyJson(out, sample, result, options.members); break;
    case Format::kCsv: WriteClassifyCsv(out, sample, result, options.members); break;
  }
}

void WriteSelect(std::ostream& out, const Sample& sample, const Options& options,
                 const SelectResult& result) {
  switch (options.format) {
    case Format::kText: WriteSelectText(out, sample, result, options.members); break;
    case Format::kJson: WriteSelectJson(out, sample, result, options.members); break;
    case Format::kCsv: WriteSelectCsv(out, sample, result, options.members); break;
  }
}

}  // namespace mensora_tool
