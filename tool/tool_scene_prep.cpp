// Scene preparation at activation: every cage's object is made visible, and
// the item order is made sound for editing: a cage comes after its
// reference object, and a deformed object after the last cage of its group.
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "cage_instance.h"
#include "deform_instance.h"
#include "module/host_services.h"
#include "module/memory.h"
#include "module/ring_protocol.h"
#include "module/strings.h"
#include "tool/tool_lifecycle.h"
#include "tool/tool_panel.h"
#include "tool/tool_panel_texts.h"
#include "tool/tool_services.h"

namespace {

void selectItem(LWItemID item) {
    char text[64];
    snprintf(text, sizeof text, "SelectItem %x",
             static_cast<unsigned int>(reinterpret_cast<uintptr_t>(item)));
    toolCommand(text);
}

// The host invalidates these after a change of the item list.
void reacquireListServices() {
    reacquireToolServices(kReacquireInterface | kReacquireItems | kReacquireList);
}

// Moves item to right after `after` in the item list.
void spliceAfter(LWItemID item, LWItemID after) {
    LWItemID next = stToolServices.itemInfo->next(after);
    LWItemID list[2] = {item, LWITEM_NULL};
    stToolServices.listInfo->splice(next ? next : SPLICE_TAIL, list);
    reacquireListServices();
}

int raiseVisibility(CageInstance** cages, int count) {
    int changed = 0;
    for (int i = 0; i < count; ++i) {
        LWItemID item = cages[i]->refObject ? cages[i]->refObject : cages[i]->itemID;
        const LWInterfaceInfo* iface = stToolServices.interfaceInfo;
        if (!item || !iface->itemVis || iface->itemVis(item) >= 2) continue;
        selectItem(item);
        toolCommand("ItemVisibility 2");
        ++changed;
    }
    return changed;
}

int orderCagesAfterReferences(CageInstance** cages, int count) {
    int moved = 0;
    for (int i = 0; i < count; ++i) {
        CageInstance* cage = cages[i];
        if (!cage->refObject || cage->refObject == cage->itemID) continue;
        LWListInfo* list = stToolServices.listInfo;
        if (list->index(cage->refObject) < list->index(cage->itemID)) continue;
        spliceAfter(cage->itemID, cage->refObject);
        ++moved;
    }
    return moved;
}

int orderDeformedAfterCages() {
    int count = 0;
    void** deformers = collectRingList(stToolServices.comRing, RING_TOPIC_DEFORMERS,
                                       kRingListWithPoints, nullptr, &count);
    int moved = 0;
    for (int i = 0; i < count; ++i) {
        const DeformInstance* deformer = static_cast<const DeformInstance*>(deformers[i]);
        RingQuery query;
        memset(&query, 0, sizeof query);
        query.value = -1;
        copyCStringN(query.name, deformer->groupName, int(sizeof query.name));
        sendRingMessage(stToolServices.comRing, RING_TOPIC_CAGES, kRingLastOfGroup, &query);
        if (!query.item || !deformer->itemID) continue;
        if (stToolServices.listInfo->index(deformer->itemID) >= query.value) continue;
        spliceAfter(deformer->itemID, query.item);
        ++moved;
    }
    morvaneFree(deformers);
    return moved;
}

} // namespace

void prepareSceneForEditing(void) {
    const LWInterfaceInfo* iface = stToolServices.interfaceInfo;
    LWItemID remembered = iface->selItems ? iface->selItems[0] : nullptr;
    int count = 0;
    void** list =
        collectRingList(stToolServices.comRing, RING_TOPIC_CAGES, kRingListAll, nullptr, &count);
    CageInstance** cages = reinterpret_cast<CageInstance**>(list);

    const int visibility = raiseVisibility(cages, count);
    int reordered = orderCagesAfterReferences(cages, count);
    morvaneFree(list);
    reordered += orderDeformedAfterCages();

    if (visibility && remembered) selectItem(remembered);
    const char* lines[2] = {nullptr, nullptr};
    int n = 0;
    if (visibility) lines[n++] = toolText(TOOL_VISIBILITY_CHANGED_EN, TOOL_VISIBILITY_CHANGED_JA);
    if (reordered) lines[n++] = toolText(TOOL_ORDER_ARRANGED_EN, TOOL_ORDER_ARRANGED_JA);
    if (n && stToolServices.messageFuncs) stToolServices.messageFuncs->info(lines[0], lines[1]);
    reacquireListServices();
    if (visibility) toolCommand("Refresh");
}
