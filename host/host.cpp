#include "host.h"

#include "commands/commands.h"

namespace host {

Host::Host(std::ostream& out) : HostCore(out) {
    setCommandRunner([this](const std::string& line) { CommandInterpreter(*this).execute(line); });
}

} // namespace host
