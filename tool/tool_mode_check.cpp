// The check every panel event makes first: Layout must be editing objects
// with an object selected, and this tool must still be the active one.
#include "module/host_services.h"
#include "module/servers.h"
#include "tool/falloff_panel.h"
#include "tool/tool_lifecycle.h"
#include "tool/tool_panel.h"
#include "tool/tool_services.h"

namespace {

LWItemID firstSelectedItem() {
    const LWInterfaceInfo* iface = stToolServices.interfaceInfo;
    return iface && iface->selItems ? iface->selItems[0] : nullptr;
}

void reacquire() {
    reacquireToolServices(kReacquireInterface | kReacquireItems);
}

} // namespace

int correctEditMode(void) {
    reacquire();
    if (!isOpen) return 1;
    const LWLayoutToolFuncs* funcs = stToolLocal ? stToolLocal->tool : nullptr;
    if (!funcs || funcs->done != EditCageDone) {
        // The user switched to another tool: come back when there is an item
        // to work on, else give up the panel.
        toolCommand("EditObjects");
        if (firstSelectedItem()) {
            closeFalloffPanel();
            toolCommand("Tool_" MORVANE_TOOL_SERVER_NAME);
            return 2;
        }
        closeToolPanel();
        return 1;
    }
    LWItemID item = firstSelectedItem();
    if (item && stToolServices.itemInfo && stToolServices.itemInfo->type(item) == LWI_OBJECT)
        return 0;
    toolCommand("EditObjects");
    reacquire();
    if (firstSelectedItem()) return 0;
    closeToolPanel();
    return 1;
}
