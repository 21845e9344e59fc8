// The command line of the mensora tool.
#ifndef MENSORA_TOOL_OPTIONS_H
#define MENSORA_TOOL_OPTIONS_H

#include <cstdint>
#include <optional>
#include <string>

#include "input.h"
#include "methods.h"

namespace mensora_tool {

enum class Command { kNone, kSummary, kClassify, kSelect };
enum class Format { kText, kJson, kCsv };

struct Options {
  Command command = Command::kNone;
  bool help = false;        // --help, -h or `mensora help [COMMAND]`
  bool version = false;     // --version
  InputOptions input;
  Format format = Format::kText;
  std::optional<std::int32_t> every;  // summary --every K
  const Method* method = nullptr;     // classify --method
  ClassParams params;                 // classify options; select uses min and max
  std::optional<std::string> svg;     // classify --svg FILE
  bool members = false;               // list members: --members, or select without --no-members
  bool round = false;                 // classify --round: round breaks that keep every class
};

// Parses argv. Throws ToolError(kUsage) with a one-line message for an unknown
// command or option, a missing or malformed value, an option that does not
// apply to the command, or a missing required option. With --help the rest of
// the line is checked only for the command it names.
Options ParseArguments(int argc, char** argv);

// The name of a command ("classify").
const char* CommandName(Command command);

}  // namespace mensora_tool

#endif  // MENSORA_TOOL_OPTIONS_H
