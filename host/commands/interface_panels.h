// The interface panels of plug-in instances, as a person opens and types
// into them: EditServer shows one, the script's PanelSet and PanelGet use it.
#ifndef MORVANE_HOST_COMMANDS_INTERFACE_PANELS_H
#define MORVANE_HOST_COMMANDS_INTERFACE_PANELS_H

#include <lwxpanel.h>

#include "ui/xpanels.h"

#include <string>
#include <utility>
#include <vector>

namespace host {

class HostCore;
struct ServerInstance;

// The panel of an instance's interface server (the server of the handler's
// name in CustomObjInterface or DisplacementInterface), shown on the
// instance (viewInst). With reopen, or when the server's open panel shows
// another instance, the server is activated for this instance (a person
// opening its panel); otherwise the open panel is used. Null, with the
// reason in why, when the server does not exist or gives no panel of the
// host's; a failing activation throws HostError.
LWXPanelID instancePanel(HostCore& host, ServerInstance& instance, std::string& why, bool reopen);

// The script's PanelSet and PanelGet: the item's first instance of a handler
// class, through its interface panel. Throw HostError naming what is wrong.
void panelSet(HostCore& host, const std::string& item, const std::string& cls,
              const std::string& label, const std::string& text);
std::string panelGet(HostCore& host, const std::string& item, const std::string& cls,
                     const std::string& label);
// PanelDrag: a person dragging the control's slider through the values.
void panelDrag(HostCore& host, const std::string& item, const std::string& cls,
               const std::string& label, const std::vector<std::string>& texts);
// PanelRows: the panel as a person sees it, control by control.
std::vector<XPanelRow> panelRows(HostCore& host, const std::string& item, const std::string& cls);

// Draws that panel as a person sees it (title, the rows of panelRows) and
// writes it as PNG to path; returns the picture's width and height.
// Throws HostError when the file cannot be written.
std::pair<int, int> panelSnapshot(HostCore& host, const std::string& item, const std::string& cls,
                                  const std::string& path);

} // namespace host

#endif
