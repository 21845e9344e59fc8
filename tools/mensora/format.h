// Output of the three subcommands as text, JSON or CSV.
#ifndef MENSORA_TOOL_FORMAT_H
#define MENSORA_TOOL_FORMAT_H

#include <ostream>

#include "input.h"
#include "options.h"
#include "results.h"

namespace mensora_tool {

// Each writes the result in options.format.
void WriteSummary(std::ostream& out, const Sample& sample, const Options& options,
                  const SummaryResult& result);
void WriteClassify(std::ostream& out, const Sample& sample, const Options& options,
                   const ClassifyResult& result);
void WriteSelect(std::ostream& out, const Sample& sample, const Options& options,
                 const SelectResult& result);

// One writer per format, called by the three above.
void WriteSummaryText(std::ostream& out, const Sample& sample, const SummaryResult& result);
void WriteClassifyText(std::ostream& out, const Sample& sample, const ClassifyResult& result,
                       bool members);
void WriteSelectText(std::ostream& out, const Sample& sample, const SelectResult& result,
                     bool members);
void WriteSummaryJson(std::ostream& out, const Sample& sample, const SummaryResult& result);
void WriteClassifyJson(std::ostream& out, const Sample& sample, const ClassifyResult& result,
                       bool members);
void WriteSelectJson(std::ostream& out, const Sample& sample, const SelectResult& result,
                     bool members);
void WriteSummaryCsv(std::ostream& out, const SummaryResult& result);
void WriteClassifyCsv(std::ostream& out, const Sample& sample, const ClassifyResult& result,
                      bool members);
void WriteSelectCsv(std::ostream& out, const Sample& sample, const SelectResult& result,
                    bool members);

// "[a, b)", or "[a, b]" for a class that holds its upper break.
std::string IntervalText(double lower, double upper, bool closed);

// A parameter's value as given on the command line: "auto", one number, or
// the numbers of a list separated by commas.
std::string ParameterText(const Parameter& parameter);

}  // namespace mensora_tool

#endif  // MENSORA_TOOL_FORMAT_H
