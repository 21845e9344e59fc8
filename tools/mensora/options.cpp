#include "options.h"

#include <cfloat>
#include <cmath>
#include <string_view>
#include <vector>

#include "errors.h"
#include "numbers.h"

namespace mensora_tool {

namespace {

// Which commands an option belongs to, as bits.
constexpr unsigned kSummaryBit = 1u << 0;
constexpr unsigned kClassifyBit = 1u << 1;
constexpr unsigned kSelectBit = 1u << 2;
constexpr unsigned kAll = kSummaryBit | kClassifyBit | kSelectBit;

struct OptionInfo {
  const char* name;
  bool takesValue;
  unsigned commands;
};

const OptionInfo kOptions[] = {
    {"--column", true, kAll},         {"--label", true, kAll},
    {"--missing", true, kAll},        {"--format", true, kAll},
    {"--every", true, kSummaryBit},   {"--method", true, kClassifyBit},
    {"--classes", true, kClassifyBit}, {"--start", true, kClassifyBit},
    {"--step", true, kClassifyBit},   {"--end", true, kClassifyBit},
    {"--steps", true, kClassifyBit},  {"--times", true, kClassifyBit},
    {"--min", true, kClassifyBit | kSelectBit},
    {"--max", true, kClassifyBit | kSelectBit},
    {"--svg", true, kClassifyBit},    {"--members", false, kClassifyBit | kSelectBit},
    {"--no-members", false, kClassifyBit | kSelectBit},
    {"--breaks", true, kClassifyBit}, {"--percentiles", true, kClassifyBit},
    {"--head-share", true, kClassifyBit}, {"--hinge", true, kClassifyBit},
    {"--gvf", true, kClassifyBit},    {"--max-classes", true, kClassifyBit},
    {"--round", false, kClassifyBit},
};

[[noreturn]] void Usage(const std::string& message) {
  throw ToolError(ExitCode::kUsage, message);
}

unsigned CommandBit(Command command) {
  switch (command) {
    case Command::kSummary: return kSummaryBit;
    case Command::kClassify: return kClassifyBit;
    case Command::kSelect: return kSelectBit;
    case Command::kNone: break;
  }
  return 0;
}

Command ParseCommand(const std::string& word) {
  if (word == "summary") return Command::kSummary;
  if (word == "classify") return Command::kClassify;
  if (word == "select") return Command::kSelect;
  Usage("unknown command '" + word + "' (commands: summary, classify, select)");
}

// A number option value: any decimal number or an infinity; never NaN.
double NumberValue(const std::string& option, const std::string& text) {
  const auto value = ParseDouble(text);
  if (!value || std::isnan(*value)) Usage(option + ": '" + text + "' is not a number");
  return *value;
}

double FiniteValue(const std::string& option, const std::string& text) {
  const double value = NumberValue(option, text);
  if (!std::isfinite(value)) Usage(option + ": '" + text + "' is not a finite number");
  return value;
}

std::int32_t CountValue(const std::string& option, const std::string& text, std::int32_t least) {
  const auto value = ParseInt32(text);
  if (!value || *value < least) {
    Usage(option + ": '" + text + "' is not a whole number of " + std::to_string(least) +
          " or more");
  }
  return *value;
}

// A comma-separated list of two or more ascending numbers within [least,
// most].
std::vector<double> AscendingList(const std::string& option, const std::string& text,
                                  double least, double most) {
  std::vector<double> values;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma == std::string::npos ? comma : comma - start);
    const double value = NumberValue(option, item);
    if (!(value >= least && value <= most)) {
      Usage(option + ": '" + item + "' is not a number from " + FormatDouble(least) + " to " +
            FormatDouble(most));
    }
    if (!values.empty() && value < values.back()) Usage(option + ": the numbers must ascend");
    values.push_back(value);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (values.size() < 2) Usage(option + ": give two or more numbers, separated by commas");
  return values;
}

// A number within the open or closed interval between least and most.
double ValueWithin(const std::string& option, const std::string& text, double least, double most,
                   bool open) {
  const double value = NumberValue(option, text);
  const bool inside = open ? value > least && value < most : value >= least && value <= most;
  if (!inside) {
    Usage(option + ": '" + text + "' is not a number " + (open ? "between " : "from ") +
          FormatDouble(least) + (open ? " and " : " to ") + FormatDouble(most));
  }
  return value;
}

void SetParam(Options& options, const std::string& name, const std::string& value) {
  ClassParams& p = options.params;
  if (name == "--classes") {
    p.autoClasses = value == "auto";
    if (!p.autoClasses) p.classes = CountValue(name, value, 1);
    p.given |= kClasses;
  } else if (name == "--start") {
    p.start = FiniteValue(name, value);
    p.given |= kStart;
  } else if (name == "--step") {
    p.step = FiniteValue(name, value);
    if (!(p.step > 0.0)) Usage("--step: '" + value + "' is not a number above 0");
    p.given |= kStep;
  } else if (name == "--end") {
    p.end = FiniteValue(name, value);
    p.given |= kEnd;
  } else if (name == "--steps") {
    p.steps = CountValue(name, value, 0);
    p.given |= kSteps;
  } else if (name == "--times") {
    p.times = FiniteValue(name, value);
    if (p.times < 0.0) Usage("--times: '" + value + "' is below 0");
    p.given |= kTimes;
  } else if (name == "--min") {
    p.min = NumberValue(name, value);
    p.given |= kMin;
  } else if (name == "--max") {
    p.max = NumberValue(name, value);
    p.given |= kMax;
  } else if (name == "--breaks") {
    p.breaks = AscendingList(name, value, -DBL_MAX, DBL_MAX);
    p.given |= kBreaks;
  } else if (name == "--percentiles") {
    p.percentiles = AscendingList(name, value, 0, 100);
    p.given |= kPercentiles;
  } else if (name == "--head-share") {
    p.headShare = ValueWithin(name, value, 0, 1, true);
    p.given |= kHeadShare;
  } else if (name == "--hinge") {
    p.hinge = ValueWithin(name, value, 0, DBL_MAX, false);
    p.given |= kHinge;
  } else if (name == "--gvf") {
    p.gvf = ValueWithin(name, value, 0, 1, false);
    p.given |= kGvf;
  } else if (name == "--max-classes") {
    p.maxClasses = CountValue(name, value, 2);
    p.given |= kMaxClasses;
  }
}

void SetOption(Options& options, const std::string& name, const std::string& value) {
  if (name == "--column") {
    if (options.input.column) {
      options.input.moreColumns.push_back(value);
    } else {
      options.input.column = value;
    }
  } else if (name == "--label") {
    options.input.label = value;
  } else if (name == "--missing") {
    if (value != "skip" && value != "error") {
      Usage("--missing: '" + value + "' is neither skip nor error");
    }
    options.input.skipMissing = value == "skip";
  } else if (name == "--format") {
    if (value == "text") {
      options.format = Format::kText;
    } else if (value == "json") {
      options.format = Format::kJson;
    } else if (value == "csv") {
      options.format = Format::kCsv;
    } else {
      Usage("--format: '" + value + "' is not text, json or csv");
    }
  } else if (name == "--every") {
    options.every = CountValue(name, value, 1);
  } else if (name == "--method") {
    options.method = FindMethod(value);
    if (options.method == nullptr) {
      std::string names;
      for (const Method& method : Methods()) names += std::string(names.empty() ? "" : ", ") + method.name;
      Usage("--method: unknown method '" + value + "' (methods: " + names + ")");
    }
  } else if (name == "--svg") {
    if (value.empty()) Usage("--svg: no file name");
    options.svg = value;
  } else {
    SetParam(options, name, value);
  }
}

void CheckClassify(const Options& options) {
  if (options.method == nullptr) Usage("classify needs --method (see mensora classify --help)");
  const Method& method = *options.method;
  const unsigned given = options.params.given;
  for (unsigned bit = 1; bit <= kLastParam; bit <<= 1) {
    const char* option = ParamOption(static_cast<Param>(bit));
    if ((method.required & bit) != 0 && (given & bit) == 0) {
      Usage(std::string("--method ") + method.name + " needs " + option);
    }
    if ((given & bit) != 0 && ((method.required | method.optional) & bit) == 0) {
      Usage(std::string(option) + " does not apply to --method " + method.name);
    }
  }
  const ClassParams& p = options.params;
  if ((given & kStart) != 0 && (given & kEnd) != 0 && !(p.end > p.start)) {
    Usage("--end must be above --start");
  }
  if (p.autoClasses && method.autoMember == nullptr) {
    Usage(std::string("--classes auto does not apply to --method ") + method.name);
  }
  for (Param param : {kGvf, kMaxClasses}) {
    if ((given & param) != 0 && !p.autoClasses) {
      Usage(std::string(ParamOption(param)) + " applies only with --classes auto");
    }
  }
}

void CheckSelect(const Options& options) {
  const ClassParams& p = options.params;
  if ((p.given & kMin) == 0 || (p.given & kMax) == 0) Usage("select needs --min and --max");
}

}  // namespace

const char* CommandName(Command command) {
  switch (command) {
    case Command::kSummary: return "summary";
    case Command::kClassify: return "classify";
    case Command::kSelect: return "select";
    case Command::kNone: break;
  }
  return "";
}

Options ParseArguments(int argc, char** argv) {
  Options options;
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> given;
  bool noMoreOptions = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (noMoreOptions || arg == "-" || arg.size() < 2 || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      noMoreOptions = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg == "--version") {
      options.version = true;
      continue;
    }
    const auto equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const OptionInfo* info = nullptr;
    for (const OptionInfo& candidate : kOptions) {
      if (name == candidate.name) info = &candidate;
    }
    if (info == nullptr) Usage("unknown option '" + name + "' (see mensora --help)");
    std::string value;
    if (!info->takesValue) {
      if (equals != std::string::npos) Usage(name + " takes no value");
    } else if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else {
      if (i + 1 >= argc) Usage(name + " needs a value");
      value = argv[++i];
    }
    given.emplace_back(name, value);
  }

  if (!positional.empty() && positional[0] == "help") {
    options.help = true;
    positional.erase(positional.begin());
  }
  if (!positional.empty()) options.command = ParseCommand(positional[0]);
  if (options.help || options.version) return options;

  if (options.command == Command::kNone) Usage("no command given (see mensora --help)");
  if (positional.size() < 2) {
    Usage(std::string(CommandName(options.command)) + " needs a FILE (or - for standard input)");
  }
  if (positional.size() > 2) Usage("unexpected argument '" + positional[2] + "'");
  options.input.path = positional[1];

  // classify lists the members of its classes only when asked (a member list
  // of millions of values is rarely wanted); select lists the values it
  // found unless told not to. The last of the two options wins.
  options.members = options.command == Command::kSelect;
  const unsigned bit = CommandBit(options.command);
  for (const auto& [name, value] : given) {
    for (const OptionInfo& entry : kOptions) {
      if (name == entry.name && (entry.commands & bit) == 0) {
        Usage(name + " does not apply to " + CommandName(options.command));
      }
    }
    if (name == "--members" || name == "--no-members") {
      options.members = name == "--members";
    } else if (name == "--round") {
      options.round = true;
    } else {
      SetOption(options, name, value);
    }
  }
  if (options.command == Command::kClassify) CheckClassify(options);
  if (options.command == Command::kSelect) CheckSelect(options);
  return options;
}

}  // namespace mensora_tool
