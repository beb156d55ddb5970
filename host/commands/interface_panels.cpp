#include "commands/interface_panels.h"

#include "common/host_error.h"
#include "core/host_core.h"
#include "view/panel_picture.h"

namespace host {

namespace {

const char* interfaceClass(const std::string& handlerClass) {
    if (handlerClass == LWCUSTOMOBJ_HCLASS) return LWCUSTOMOBJ_ICLASS;
    if (handlerClass == LWDISPLACEMENT_HCLASS) return LWDISPLACEMENT_ICLASS;
    return nullptr;
}

ServerInstance& firstInstance(HostCore& h, const std::string& name, const std::string& cls) {
    Item* item = h.scene().find(name);
    if (!item) throw HostError("no item named '" + name + "'");
    if (!interfaceClass(cls))
        throw HostError(cls + " is not a handler class (CustomObjHandler or DisplacementHandler)");
    ServerInstance* instance = h.instances().find(item->id, cls, 1);
    if (!instance) throw HostError("no " + cls + " on " + item->name);
    return *instance;
}

LWXPanelID panelOf(HostCore& h, ServerInstance& instance) {
    std::string why;
    LWXPanelID panel = instancePanel(h, instance, why, false);
    if (!panel) throw HostError(why);
    return panel;
}

} // namespace

LWXPanelID instancePanel(HostCore& h, ServerInstance& instance, std::string& why, bool reopen) {
    const char* cls = interfaceClass(instance.className);
    const std::string& name = instance.serverName;
    if (!cls) {
        why = instance.className + " has no interface servers";
        return nullptr;
    }
    if (!h.module() || !h.module()->find(cls, name)) {
        why = "module has no server " + std::string(cls) + " " + name;
        return nullptr;
    }
    // The panel already open on this instance is used as it is.
    if (!reopen)
        if (ActivationRecord* open = h.instances().activation(cls, name))
            if (open->interface.inst == instance.instance && open->interface.panel &&
                h.xpanels().knows(open->interface.panel))
                return open->interface.panel;
    ActivationRecord& record = h.instances().openInterface(cls, name, instance.instance);
    LWXPanelID panel = record.interface.panel;
    if (!panel) {
        why = std::string(cls) + " " + name + " gives no panel";
        return nullptr;
    }
    if (!h.xpanels().knows(panel)) {
        why = std::string(cls) + " " + name + " gives a panel that is not a live XPanel";
        return nullptr;
    }
    // As Layout shows the panel for the instance being edited.
    h.xpanels().viewInst(panel, instance.instance);
    return panel;
}

void panelSet(HostCore& h, const std::string& item, const std::string& cls,
              const std::string& label, const std::string& text) {
    ServerInstance& instance = firstInstance(h, item, cls);
    h.xpanels().enter(panelOf(h, instance), label, text);
}

std::string panelGet(HostCore& h, const std::string& item, const std::string& cls,
                     const std::string& label) {
    ServerInstance& instance = firstInstance(h, item, cls);
    return h.xpanels().read(panelOf(h, instance), label);
}

void panelDrag(HostCore& h, const std::string& item, const std::string& cls,
               const std::string& label, const std::vector<std::string>& texts) {
    ServerInstance& instance = firstInstance(h, item, cls);
    h.xpanels().drag(panelOf(h, instance), label, texts);
}

std::vector<XPanelRow> panelRows(HostCore& h, const std::string& item, const std::string& cls) {
    ServerInstance& instance = firstInstance(h, item, cls);
    return h.xpanels().rows(panelOf(h, instance));
}

std::pair<int, int> panelSnapshot(HostCore& h, const std::string& item, const std::string& cls,
                                  const std::string& path) {
    ServerInstance& instance = firstInstance(h, item, cls);
    LWXPanelID panel = panelOf(h, instance);
    Raster picture = drawPanelPicture(h.xpanels().label(panel), h.xpanels().rows(panel));
    std::string why;
    if (!writePng(path, picture, why)) throw HostError(why);
    return {picture.width(), picture.height()};
}

} // namespace host
