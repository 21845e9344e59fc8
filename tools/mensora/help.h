// The manual pages printed by --help.
#ifndef MENSORA_TOOL_HELP_H
#define MENSORA_TOOL_HELP_H

#include <ostream>

#include "options.h"

namespace mensora_tool {

// The page of one command, or the tool's overview for Command::kNone.
void WriteHelp(std::ostream& out, Command command);

}  // namespace mensora_tool

#endif  // MENSORA_TOOL_HELP_H
