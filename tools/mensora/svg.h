// The histogram picture of `mensora classify --svg FILE`.
#ifndef MENSORA_TOOL_SVG_H
#define MENSORA_TOOL_SVG_H

#include <string>

#include "input.h"
#include "results.h"

namespace mensora_tool {

// Writes an SVG histogram of the sample's finite values: equal-width bins,
// each bar stacked by the classes its values belong to (colours from a
// sequential palette, grey for values in no class), the class breaks inside
// the data range as dashed lines, axis labels and a legend of the intervals.
// Throws ToolError(kCannotWrite) when the file cannot be written.
void WriteHistogramSvg(const std::string& path, const Sample& sample,
                       const ClassifyResult& result);

// The document itself, for the file above.
std::string HistogramSvg(const Sample& sample, const ClassifyResult& result);

}  // namespace mensora_tool

#endif  // MENSORA_TOOL_SVG_H
