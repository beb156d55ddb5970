// The script commands that use an open LWPanels panel by its title, as a
// person would: PanelPress, PanelTick, PanelChoose, PanelType, PanelClick,
// PanelRightClick, PanelClose and PanelValue (README's script table says
// what each does); PanelSnapshot with a title and a path draws one.
#ifndef MORVANE_HOST_COMMANDS_LWPANEL_COMMANDS_H
#define MORVANE_HOST_COMMANDS_LWPANEL_COMMANDS_H

#include "commands/script.h"

#include <string>
#include <utility>

namespace host {

class HostCore;

const ScriptCommandTable& lwPanelScriptCommands();

// Draws the open panel of that title as a person sees it and writes it as
// PNG to path; returns the picture's width and height. Throws HostError
// when there is no such panel or the file cannot be written.
std::pair<int, int> lwPanelSnapshot(HostCore& host, const std::string& title,
                                    const std::string& path);

} // namespace host

#endif
