#include "commands/tool_commands.h"

#include "common/host_error.h"
#include "core/host_core.h"

#include <algorithm>

namespace host {

const ScriptCommandTable& toolScriptCommands() {
    using Args = std::vector<std::string>;
    static const ScriptCommandTable commands = {
        {"ToolPress",
         {3, 4, "ToolPress VIEW X Y [right]",
          [](HostCore& h, const Args& a) {
              const unsigned long view = std::min(parseNumber(a[0]), 1ul << 30);
              const double x = parseDecimal(a[1]), y = parseDecimal(a[2]);
              if (a.size() == 4 && a[3] != "right")
                  throw HostError("the button is 'right' or left out (left), not '" + a[3] + "'");
              h.toolPress(int(view), x, y, a.size() == 4);
          }}},
        {"ToolDrag",
         {2, 2, "ToolDrag X Y",
          [](HostCore& h, const Args& a) { h.toolDrag(parseDecimal(a[0]), parseDecimal(a[1])); }}},
        {"ToolRelease", {0, 0, "ToolRelease", [](HostCore& h, const Args&) { h.toolRelease(); }}},
    };
    return commands;
}

} // namespace host
