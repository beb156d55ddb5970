// The script commands that work a Layout tool with the pointer in the views:
// ToolPress, ToolDrag and ToolRelease (README's script table says what each
// does; HostCore builds the events).
#ifndef MORVANE_HOST_COMMANDS_TOOL_COMMANDS_H
#define MORVANE_HOST_COMMANDS_TOOL_COMMANDS_H

#include "commands/script.h"

namespace host {

const ScriptCommandTable& toolScriptCommands();

} // namespace host

#endif
