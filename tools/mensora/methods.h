// The class methods of `mensora classify`: one table row per method, naming
// the options it takes and the library member it calls. Adding a method is
// one row in methods.cpp (and a line of help).
#ifndef MENSORA_TOOL_METHODS_H
#define MENSORA_TOOL_METHODS_H

#include <cstdint>
#include <string>
#include <vector>

#include "Mensora.h"
#include "mensora_c.h"

namespace mensora_tool {

// The options a method may take, as bits.
enum Param : unsigned {
  kClasses = 1u << 0,  // --classes K
  kStart = 1u << 1,    // --start A
  kStep = 1u << 2,     // --step W
  kEnd = 1u << 3,      // --end B
  kSteps = 1u << 4,    // --steps L
  kTimes = 1u << 5,    // --times T
  kMin = 1u << 6,      // --min A
  kMax = 1u << 7,      // --max B
  kBreaks = 1u << 8,       // --breaks LIST
  kPercentiles = 1u << 9,  // --percentiles LIST
  kHeadShare = 1u << 10,   // --head-share S
  kHinge = 1u << 11,       // --hinge H
  kGvf = 1u << 12,         // --gvf G (with --classes auto)
  kMaxClasses = 1u << 13,  // --max-classes N (with --classes auto)
};
constexpr unsigned kLastParam = kMaxClasses;

// The options whose value is a comma-separated list of numbers, and those
// with a default value that the output reports even when not given.
constexpr unsigned kListParams = kBreaks | kPercentiles;
constexpr unsigned kDefaultedParams = kHeadShare | kHinge | kGvf | kMaxClasses;

// Option values as given; a limit that was not given holds the library's
// sentinel (AUTO_MAX for --end and --max, AUTO_MIN for --min).
struct ClassParams {
  std::int32_t classes = 0;
  std::int32_t steps = 0;
  double start = 0.0;
  double step = 0.0;
  double end = AUTO_MAX;
  double times = 0.0;
  double min = AUTO_MIN;
  double max = AUTO_MAX;
  std::vector<double> breaks;
  std::vector<double> percentiles;
  double headShare = 0.4;
  double hinge = 1.5;
  bool autoClasses = false;  // --classes auto
  double gvf = 0.8;
  std::int32_t maxClasses = 10;
  unsigned given = 0;  // Param bits of the options on the command line
};

// How the last class of a method treats the values at its upper break.
enum class LastClass {
  kOpen,     // not at all
  kClosing,  // takes them unless the maximum lies the closing tolerance or more from the break
  kClosed,   // always takes them
};


struct Method {
  const char* name;       // the value of --method
  const char* member;     // the library member it calls
  unsigned required;      // Param bits that must be given
  unsigned optional;      // Param bits that may be given
  LastClass last;         // how the last class closes
  bool stdSet;            // the standard-deviation result buffers (for the fit)
  bool window;            // members are limited to the closed window [--min, --max]
  const char* autoMember; // the member for --classes auto, or null
  const char* summary;    // one line for the help
  const char* detail;     // more help lines, or null
  // Calls the library's C interface; returns its status (MENSORA_OK or an
  // error, whose reason mensora_last_reason gives).
  int (*run)(mensora_sample* sample, const ClassParams& params, mensora_classes* out);
};

// Every method, in the order the help lists them.
const std::vector<Method>& Methods();

// The method of that name, or null.
const Method* FindMethod(const std::string& name);

// The option name of one Param bit ("--classes").
const char* ParamOption(Param param);

// The option with its value's name ("--classes K").
std::string ParamSynopsis(Param param);

}  // namespace mensora_tool

#endif  // MENSORA_TOOL_METHODS_H
