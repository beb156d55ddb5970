#include "deform/deform_panel.h"

#include "deform/deform_services.h"
#include "deform_instance.h"
#include "module/strings.h"

namespace {

#define GROUP_LABEL_EN "Group Name"
// "グループ名称"
#define GROUP_LABEL_JA "\x83\x4F\x83\x8B\x81\x5B\x83\x76\x96\xBC\x8F\xCC"

LWXPanelControl stDeformControls[] = {{DEFORM_GROUP_CONTROL, GROUP_LABEL_EN, "string"},
                                      {0, nullptr, nullptr}};
LWXPanelDataDesc stDeformData[] = {{DEFORM_GROUP_CONTROL, GROUP_LABEL_EN, "string"},
                                   {0, nullptr, nullptr}};

} // namespace

void* ui_get(void* instance, unsigned int id) {
    DeformInstance* deform = static_cast<DeformInstance*>(instance);
    if (!deform || id != DEFORM_GROUP_CONTROL) return nullptr;
    return deform->groupName;
}

LWXPRefreshCode ui_set(void* instance, unsigned int id, void* value) {
    DeformInstance* deform = static_cast<DeformInstance*>(instance);
    if (!deform || id != DEFORM_GROUP_CONTROL || !value) return LWXPRC_NONE;
    copyCStringN(deform->groupName, static_cast<const char*>(value), int(sizeof deform->groupName));
    if (!deform->groupName[0]) copyCString(deform->groupName, "name");
    return LWXPRC_DFLT;
}

LWXPRefreshCode ui_chgnotify(LWXPanelID panel, unsigned int, unsigned int, int event) {
    LWXPanelFuncs* xpanels = stDeformPanelServices.xpanelFuncs;
    void* instance = xpanels && panel ? xpanels->getData(panel, 0) : nullptr;
    if (instance && (event == LWXPEVENT_TRACK || event == LWXPEVENT_VALUE) &&
        stDeformPanelServices.instUpdate)
        stDeformPanelServices.instUpdate("DisplacementHandler", instance);
    return LWXPRC_NONE;
}

int buildDeformPanel(LWXPanelFuncs* xpanels, LWInterface* local, int japanese) {
    const char* label = japanese ? GROUP_LABEL_JA : GROUP_LABEL_EN;
    stDeformControls[0].label = label;
    stDeformData[0].name = label;
    LWXPanelID panel = xpanels->create(LWXP_VIEW, stDeformControls);
    if (!panel) return 0;
    LWXPanelHint hints[] = {XpLABEL(0, "Morvane"), XpCHGNOTIFY(ui_chgnotify), XpEND};
    xpanels->describe(panel, stDeformData, ui_get, ui_set);
    xpanels->hint(panel, 0, hints);
    xpanels->viewInst(panel, local->inst);
    xpanels->setData(panel, 0, local->inst);
    local->panel = panel;
    local->options = nullptr;
    local->command = nullptr;
    return 1;
}
