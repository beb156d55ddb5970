// Layout's command language: "Name arg1 arg2 ...", carried out against the
// scene before the call returns. Arguments follow Layout's letters: n
// integer, g float, x hexadecimal (0x optional), s string (the rest of the
// line, spaces included).
#ifndef MORVANE_HOST_COMMANDS_COMMANDS_H
#define MORVANE_HOST_COMMANDS_COMMANDS_H

#include <lwrender.h>

#include <string>

namespace host {

class Host;

// Parents child to parent (null unparents), keeping the child's world
// transform when Layout's parent-in-place switch is on.
void parentItem(Host& host, LWItemID child, LWItemID parent);

class CommandInterpreter {
  public:
    explicit CommandInterpreter(Host& host) : host_(host) {}

    // Throws HostError for an unknown command or bad arguments, naming the
    // command.
    void execute(const std::string& line);
    static bool knows(const std::string& name);

  private:
    Host& host_;
};

} // namespace host

#endif
