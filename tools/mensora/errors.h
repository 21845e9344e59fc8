// Exit codes of the mensora tool and the error that carries one to main().
#ifndef MENSORA_TOOL_ERRORS_H
#define MENSORA_TOOL_ERRORS_H

#include <iostream>
#include <stdexcept>
#include <string>

namespace mensora_tool {

// Every failure has its own exit code; `mensora --help` lists them.
enum class ExitCode : int {
  kOk = 0,
  kNothingSelected = 1,  // select: no value lies in the window
  kUsage = 2,            // unknown option, missing or bad option value
  kUnreadable = 3,       // the input file cannot be opened or read
  kBadData = 4,          // a cell that is not a number, a missing value, a malformed CSV
  kNoValues = 5,         // the input holds no values
  kUnknownColumn = 6,    // --column / --label names no column, or none was chosen
  kLibraryFailure = 7,   // the library returned its failure status
  kCannotWrite = 8,      // the --svg file cannot be written
};

// A failure with its one-line message (without the "mensora: " prefix).
class ToolError : public std::runtime_error {
 public:
  ToolError(ExitCode code, const std::string& message)
      : std::runtime_error(message), code_(code) {}
  ExitCode code() const { return code_; }

 private:
  ExitCode code_;
};

// A remark on standard error that does not stop the run.
inline void Note(const std::string& message) {
  std::cerr << "mensora: note: " << message << '\n';
}

}  // namespace mensora_tool

#endif  // MENSORA_TOOL_ERRORS_H
