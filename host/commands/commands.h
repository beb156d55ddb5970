// commands/: what a person or a module asks of Layout in words: Layout's
// commands, command scripts with the host's own script commands, Dump, and
// the plug-in instances' interface panels.
//
// Layout's command language: "Name arg1 arg2 ...", carried out against the
// scene before the call returns. Arguments follow Layout's letters: n
// integer, g float, x hexadecimal (0x optional), s string (the rest of the
// line, spaces included).
#ifndef MORVANE_HOST_COMMANDS_COMMANDS_H
#define MORVANE_HOST_COMMANDS_COMMANDS_H

#include <lwrender.h>

#include <string>
#include <vector>

namespace host {

class HostCore;

// Parents child to parent (null unparents), keeping the child's world
// transform when Layout's parent-in-place switch is on.
void parentItem(HostCore& host, LWItemID child, LWItemID parent);

// Layout's Clone: count copies of the item (scene/clone.h names them), each
// followed by the source's plug-in instances, re-created in the source's
// order. Every copy is made; the first plug-in failure is thrown after. The
// last clone ends up selected. Returns the clones' IDs.
std::vector<LWItemID> cloneItem(HostCore& host, LWItemID source, int count);

class CommandInterpreter {
  public:
    explicit CommandInterpreter(HostCore& host) : host_(host) {}

    // Throws HostError for an unknown command or bad arguments, naming the
    // command.
    void execute(const std::string& line);
    static bool knows(const std::string& name);

  private:
    HostCore& host_;
};

} // namespace host

#endif
