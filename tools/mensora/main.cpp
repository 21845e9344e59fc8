// mensora: the library's measures and class breaks from a shell.
#include <iostream>

#include "errors.h"
#include "format.h"
#include "help.h"
#include "input.h"
#include "options.h"
#include "results.h"
#include "svg.h"
#include "Mensora.h"

namespace mensora_tool {

namespace {

int Run(int argc, char** argv) {
  const Options options = ParseArguments(argc, argv);
  if (options.help) {
    WriteHelp(std::cout, options.command);
    return 0;
  }
  if (options.version) {
    std::cout << "mensora " << MENSORA_VERSION_MAJOR << '.' << MENSORA_VERSION_MINOR << '.'
              << MENSORA_VERSION_PATCH << '\n';
    return 0;
  }
  const Sample sample = LoadSample(options.input);
  if (sample.missingSkipped > 0) {
    Note("skipped " + std::to_string(sample.missingSkipped) + " missing value" +
         (sample.missingSkipped == 1 ? "" : "s") + " (empty, NA or NaN) in " + sample.source);
  }
  switch (options.command) {
    case Command::kSummary:
      WriteSummary(std::cout, sample, options, RunSummary(sample, options));
      break;
    case Command::kClassify: {
      const ClassifyResult result = RunClassify(sample, options);
      if (options.svg) WriteHistogramSvg(*options.svg, sample, result);
      WriteClassify(std::cout, sample, options, result);
      break;
    }
    case Command::kSelect: {
      const SelectResult result = RunSelect(sample, options);
      WriteSelect(std::cout, sample, options, result);
      if (result.ids.empty()) {
        std::cerr << "mensora: no value lies in the window\n";
        return static_cast<int>(ExitCode::kNothingSelected);
      }
      break;
    }
    case Command::kNone:
      break;
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "mensora: cannot write the output\n";
    return static_cast<int>(ExitCode::kCannotWrite);
  }
  return 0;
}

}  // namespace

}  // namespace mensora_tool

int main(int argc, char** argv) {
  try {
    return mensora_tool::Run(argc, argv);
  } catch (const mensora_tool::ToolError& error) {
    std::cerr << "mensora: " << error.what() << '\n';
    return static_cast<int>(error.code());
  } catch (const std::bad_alloc&) {
    std::cerr << "mensora: out of memory\n";
    return static_cast<int>(mensora_tool::ExitCode::kLibraryFailure);
  }
}
