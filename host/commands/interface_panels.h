// The interface panels of plug-in instances, as a person opens and types
// into them: EditServer shows one, the script's PanelSet and PanelGet use it.
#ifndef MORVANE_HOST_COMMANDS_INTERFACE_PANELS_H
#define MORVANE_HOST_COMMANDS_INTERFACE_PANELS_H

#include <lwxpanel.h>

#include <string>

namespace host {

class HostCore;
struct ServerInstance;

// The panel of an instance's interface server (the server of the handler's
// name in CustomObjInterface or DisplacementInterface), activated if need
// be and shown on the instance (viewInst). Null, with the reason in why,
// when the server does not exist or gives no panel of the host's; a failing
// activation throws HostError.
LWXPanelID instancePanel(HostCore& host, ServerInstance& instance, std::string& why);

// The script's PanelSet and PanelGet: the item's first instance of a handler
// class, through its interface panel. Throw HostError naming what is wrong.
void panelSet(HostCore& host, const std::string& item, const std::string& cls,
              const std::string& label, const std::string& text);
std::string panelGet(HostCore& host, const std::string& item, const std::string& cls,
                     const std::string& label);

} // namespace host

#endif
