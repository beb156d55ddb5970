// The add-cage command's host commands and its answer to the new cage.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "command/add_cage.h"
#include "command/add_cage_texts.h"
#include "module/host_services.h"
#include "module/memory.h"
#include "module/ring_protocol.h"
#include "module/servers.h"

namespace {

const char* const kCageClass = "CustomObjHandler";
const char* const kCageServer = "Zentrik_Morvane";

// Layout reads item IDs in commands as their low 32 bits.
unsigned int commandId(LWItemID item) {
    return static_cast<unsigned int>(reinterpret_cast<uintptr_t>(item));
}

void sendCommand(const LWLayoutGeneric* local, const char* text) {
    // The command's outcome is not ours to judge: Layout reports its own errors.
    local->evaluate(local->data, text);
}

void sendItemCommand(const LWLayoutGeneric* local, const char* name, LWItemID item) {
    char text[64];
    snprintf(text, sizeof text, "%s %x", name, commandId(item));
    sendCommand(local, text);
}

LWItemID firstSelected(const LWInterfaceInfo* iface) {
    return iface && iface->selItems ? iface->selItems[0] : nullptr;
}

} // namespace

void addCageRingEvent(void* clientData, void*, int, void* eventData) {
    const CageOrder* order = static_cast<const CageOrder*>(clientData);
    CageOrder* request = static_cast<CageOrder*>(eventData);
    if (!order || !request) return;
    request->sourceObject = order->sourceObject;
    request->parentItem = order->parentItem;
}

void sendAddCageCommands(const LWLayoutGeneric* local, const AddCageServices* services,
                         GlobalFunc* global, CageOrder* order) {
    LWInterfaceInfo* iface = services->interfaceInfo;
    LWObjectInfo* objects = services->objectInfo;
    const LWItemID object = order->sourceObject;
    char text[256];

    // Parenting must keep the Null's own (zero) placement under the parent.
    const int parentInPlace = (iface->generalFlags & LWGENF_PARENTINPLACE) ? 1 : 0;
    if (parentInPlace) sendCommand(local, "ParentInPlace");

    attachRing(services->comRing, RING_TOPIC_ORDER, order, addCageRingEvent);

    sendItemCommand(local, "SelectItem", object);
    const int visibility = iface->itemVis ? iface->itemVis(object) : 0;
    if (visibility < LWOVIS_VERTICES || visibility > LWOVIS_FFWIREFRAME)
        sendCommand(local, "ItemVisibility 2");

    // The reference mesh only shapes the cage: it must not render.
    const unsigned int shadows = objects->shadowOpts(object);
    if (shadows & LWOSHAD_SELF) sendCommand(local, "SelfShadow");
    if (shadows & LWOSHAD_CAST) sendCommand(local, "CastShadow");
    if (shadows & LWOSHAD_RECEIVE) sendCommand(local, "ReceiveShadow");
    const unsigned int flags = objects->flags(object);
    if (!(flags & LWOBJF_UNSEEN_BY_CAMERA)) sendCommand(local, "UnseenByCamera");
    if (!(flags & LWOBJF_UNSEEN_BY_RAYS)) sendCommand(local, "UnseenByRays");
    if (!(flags & LWOBJF_UNSEEN_BY_RADIOSITY)) sendCommand(local, "UnseenByRadiosity");
    if (!(flags & LWOBJF_UNAFFECT_BY_FOG)) sendCommand(local, "UnaffectedByFog");
    sendCommand(local, "UnseenByAlphaChannel 1");

    snprintf(text, sizeof text, "AddNull %s", ADD_CAGE_NULL_NAME);
    sendCommand(local, text);
    // The selection changed under us: read it from a fresh record.
    LWInterfaceInfo* now =
        static_cast<LWInterfaceInfo*>(global("LW Interface Info 7", GFUSE_TRANSIENT));
    sendItemCommand(local, "SelectItem", firstSelected(now ? now : iface));

    // The new cage asks for the order while this runs.
    snprintf(text, sizeof text, "ApplyServer %s %s", kCageClass, kCageServer);
    sendCommand(local, text);
    if (order->parentItem) sendItemCommand(local, "ParentItem", order->parentItem);

    detachRing(services->comRing, RING_TOPIC_ORDER, order);
    if (parentInPlace) sendCommand(local, "ParentInPlace");

    snprintf(text, sizeof text, "EditServer %s %d", kCageClass, 1);
    sendCommand(local, text);
}

int runAddCage(const LWLayoutGeneric* local, const AddCageServices* services, GlobalFunc* global) {
    CageOrder* order = static_cast<CageOrder*>(morvaneCalloc(1, sizeof(CageOrder)));
    if (!order) return AFUNC_BADGLOBAL;
    order->parentItem = firstSelected(services->interfaceInfo);

    if (askForCageOrder(services, global, order)) {
        if (!order->sourceObject)
            services->messageFuncs->warning(
                localText(global, ADD_CAGE_NO_REFERENCE_EN, ADD_CAGE_NO_REFERENCE_JA), nullptr);
        else
            sendAddCageCommands(local, services, global, order);
    }
    morvaneFree(order);
    return AFUNC_OK;
}
