// The add-cage panel: "Parent Item" and "Reference Object" item lists.
#include <string.h>

#include "command/add_cage.h"
#include "command/add_cage_texts.h"
#include "module/host_services.h"
#include "module/panel_controls.h"

namespace {

const int kLabelRight = 116;
const int kFirstRow = 8;
const int kRowGap = 12;
const int kPanelWidth = 328;
const int kPanelMargin = 60;
const int kListWidth = 200;
const int kParentItemType = 5; // the host's "any item" list
const int kObjectItemType = LWI_OBJECT;

// Item IDs travel as pointers: an integer would cut them to 32 bits.
LWItemID controlItem(LWControl* control) {
    LWValue value;
    memset(&value, 0, sizeof value);
    value.type = LWT_POINTER;
    control->get(control, CTL_VALUE, &value);
    return static_cast<LWItemID>(value.ptr.ptr);
}

void setControlItem(LWControl* control, LWItemID item) {
    LWValue value;
    memset(&value, 0, sizeof value);
    value.type = LWT_POINTER;
    value.ptr.ptr = item;
    control->set(control, CTL_VALUE, &value);
}

LWControl* addItemList(LWPanelFuncs* panels, LWPanelID panel, GlobalFunc* global, int itemType,
                       const char* label) {
    LWPanControlDesc desc;
    memset(&desc, 0, sizeof desc);
    desc.type = LWT_LWITEM;
    desc.lwitem.global = reinterpret_cast<void*>(global);
    desc.lwitem.itemType = itemType;
    desc.lwitem.list = nullptr;
    desc.lwitem.count = 0;
    desc.lwitem.width = kListWidth;
    return addPanelControl(panels, panel, "LWListControl", &desc, label);
}

// The label ends at kLabelRight, so both lists line up.
void placeControl(LWControl* control, int y) {
    moveControl(control, kLabelRight - controlInt(control, CTL_LABELWIDTH), y);
}

} // namespace

void addCagePanelDraw(LWPanelID, void*, DrMode) {}

int addCagePanelKeys(LWPanelID, void*, LWDualKey) {
    return 1;
}

int askForCageOrder(const AddCageServices* services, GlobalFunc* global, CageOrder* order) {
    LWPanelFuncs* panels = services->panelFuncs;
    const char* title = localText(global, ADD_CAGE_TITLE_EN, ADD_CAGE_TITLE_JA);
    LWPanelID panel = panels->create(const_cast<char*>(title), order);
    if (!panel) return 0;

    LWControl* parent = addItemList(panels, panel, global, kParentItemType,
                                    localText(global, ADD_CAGE_PARENT_EN, ADD_CAGE_PARENT_JA));
    LWControl* reference =
        addItemList(panels, panel, global, kObjectItemType,
                    localText(global, ADD_CAGE_REFERENCE_EN, ADD_CAGE_REFERENCE_JA));
    if (!parent || !reference) {
        panels->destroy(panel);
        return 0;
    }

    const int parentHeight = controlInt(parent, CTL_H);
    placeControl(parent, kFirstRow);
    placeControl(reference, parentHeight + kRowGap);
    int width = kPanelWidth;
    int height = parentHeight + controlInt(reference, CTL_H) + kPanelMargin;
    panels->set(panel, PAN_W, &width);
    panels->set(panel, PAN_H, &height);
    panels->set(panel, PAN_USERDATA, order);
    panels->set(panel, PAN_USERDRAW, reinterpret_cast<void*>(addCagePanelDraw));
    panels->set(panel, PAN_USERKEYS, reinterpret_cast<void*>(addCagePanelKeys));

    setControlItem(parent, order->parentItem);
    setControlItem(reference, nullptr);

    if (!panels->open(panel, PANF_BLOCKING | PANF_CANCEL | PANF_FRAME)) {
        panels->destroy(panel);
        return 0;
    }
    order->parentItem = controlItem(parent);
    order->sourceObject = controlItem(reference);
    panels->destroy(panel);
    return 1;
}
