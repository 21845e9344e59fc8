// What each subcommand computed, copied out of the library's buffers, ready
// for any output format.
#ifndef MENSORA_TOOL_RESULTS_H
#define MENSORA_TOOL_RESULTS_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "input.h"
#include "methods.h"
#include "options.h"

namespace mensora_tool {

struct Measure {
  const char* key;    // JSON and CSV name
  const char* label;  // plain words for text output
  double value;
  bool defined;       // false: the library has no value for this sample (see note)
  const char* note;   // why a measure is undefined, or null
};

struct SummaryResult {
  std::vector<Measure> measures;
  std::int32_t everyStep = 0;  // 0 without --every
  std::vector<double> every;   // sorted values at positions 0, K, 2K, ...
};

struct ClassRow {
  double lower;
  double upper;
  bool closed;                   // the upper break belongs to the class
  std::vector<std::int32_t> ids;  // member ids in the library's order
  std::string label;              // the library's label of the class
  std::vector<std::int64_t> pooledCounts;  // members per pooled column, with pooled columns
};

// One option of the method, by its output name ("classes", "head_share").
struct Parameter {
  std::string name;
  std::vector<double> values;  // one number, or the numbers of a list option
  bool list = false;
  bool automatic = false;      // --classes auto: no value
};

// The goodness of fit of the classes (DataSecFitNum).
struct FitMeasures {
  bool defined = false;  // false when the library could not measure it
  double sdam = 0.0;     // squared deviations from the mean of the members
  double sdcm = 0.0;     // squared deviations from the class means
  double gvf = 0.0;      // goodness of variance fit, 1 - sdcm / sdam
  double adcm = 0.0;     // absolute deviations around the class medians
  double tai = 0.0;      // tabular accuracy index
};

struct ClassifyResult {
  const Method* method = nullptr;
  const char* member = nullptr;   // the library member called
  std::vector<Parameter> parameters;  // options used, in table order
  std::vector<double> breaks;
  bool rounded = false;           // --round: the breaks were rounded, keeping every class
  std::vector<ClassRow> classes;
  bool windowed = false;          // stddev-window: members also lie in [windowMin, windowMax]
  double windowMin = 0.0;
  double windowMax = 0.0;
  std::int64_t unclassified = 0;  // values in no class
  FitMeasures fit;
  std::string choice;  // with --classes auto: how the class count was chosen
};

struct SelectResult {
  double min = 0.0;
  double max = 0.0;
  std::vector<std::int32_t> ids;  // in input order
};

// Each runs the library over the sample. Throws ToolError(kLibraryFailure)
// when the library reports failure, kUsage for an option value the sample
// makes impossible.
SummaryResult RunSummary(const Sample& sample, const Options& options);
ClassifyResult RunClassify(const Sample& sample, const Options& options);
SelectResult RunSelect(const Sample& sample, const Options& options);

}  // namespace mensora_tool

#endif  // MENSORA_TOOL_RESULTS_H
