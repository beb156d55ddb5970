#include "deform/deform_server.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "deform/deform_evaluate.h"
#include "deform/deform_services.h"
#include "deform/frame_pass.h"
#include "module/memory.h"
#include "module/ring_protocol.h"
#include "module/strings.h"
#include "module/version.h"

namespace {

const char* const kAllocationFailed = "Couldn't allocate instance data.";
const char* const kDefaultGroup = "name";
LWItemID stDeformUseItems[2];

// The deformer's answers on its topic: counts, lists and copy numbers.
void ringEvent(void* data, void*, int code, void* payload) {
    DeformInstance* deform = static_cast<DeformInstance*>(data);
    RingQuery* query = static_cast<RingQuery*>(payload);
    if (!deform || !query) return;
    if (code == kRingCount) {
        query->count += 1;
    } else if (code == kRingListWithPoints) {
        appendToRingQuery(query, deform);
    } else if (code == kRingHighestCopy) {
        char base[256];
        copyCStringN(base, deform->groupName, int(sizeof base));
        int number = getNameAndIndexWithString(base);
        if (compareCString(base, query->name) && number > query->value) query->value = number;
    }
}

void setGroupName(DeformInstance* deform, const char* name) {
    copyCStringN(deform->groupName, name, int(sizeof deform->groupName));
    if (!deform->groupName[0]) copyCString(deform->groupName, kDefaultGroup);
}

} // namespace

XCALL_(LWInstance) MorvaneCreate(void*, void* context, LWError* error) {
    DeformInstance* deform = static_cast<DeformInstance*>(morvaneCalloc(1, sizeof(DeformInstance)));
    if (!deform) {
        if (error) *error = kAllocationFailed;
        return nullptr;
    }
    snprintf(deform->description, sizeof deform->description, "Morvane %0.2f",
             double(MORVANE_VERSION));
    deform->itemID = static_cast<LWItemID>(context);
    copyCString(deform->groupName, kDefaultGroup);
    attachRing(stDeformServices.comRing, RING_TOPIC_DEFORMERS, deform, ringEvent);
    return deform;
}

XCALL_(void) MorvaneDestroy(LWInstance instance) {
    DeformInstance* deform = static_cast<DeformInstance*>(instance);
    if (!deform) return;
    detachRing(stDeformServices.comRing, RING_TOPIC_DEFORMERS, deform);
    freeCageArrays(deform);
    freeFramePass(deform->framePass);
    morvaneFree(deform);
}

XCALL_(LWError) MorvaneCopy(LWInstance toInstance, LWInstance fromInstance) {
    DeformInstance* to = static_cast<DeformInstance*>(toInstance);
    const DeformInstance* from = static_cast<const DeformInstance*>(fromInstance);
    if (!to || !from) return nullptr;
    // The copy carries the source's name while the deformers compare theirs,
    // so its own answer counts that name and not the one it was created with.
    setGroupName(to, from->groupName);
    char base[256];
    copyCStringN(base, from->groupName, int(sizeof base));
    int number = getNameAndIndexWithString(base);

    RingQuery query;
    memset(&query, 0, sizeof query);
    copyCStringN(query.name, base, int(sizeof query.name));
    query.value = number;
    sendRingMessage(stDeformServices.comRing, RING_TOPIC_DEFORMERS, kRingHighestCopy, &query);

    copyCStringN(to->groupName, base, int(sizeof to->groupName));
    getStringWithNameAndIndex(to->groupName, query.value + 1, int(sizeof to->groupName));
    return nullptr;
}

XCALL_(LWError) MorvaneSave(LWInstance instance, const LWSaveState* save) {
    DeformInstance* deform = static_cast<DeformInstance*>(instance);
    if (!deform || !save) return nullptr;
    float version = MORVANE_VERSION;
    LWSAVE_FP(save, &version, 1);
    LWSAVE_STR(save, deform->groupName);
    return nullptr;
}

XCALL_(LWError) MorvaneLoad(LWInstance instance, const LWLoadState* load) {
    DeformInstance* deform = static_cast<DeformInstance*>(instance);
    if (!deform || !load) return nullptr;
    float version = 0.0f;
    // A damaged record keeps the default group.
    if (LWLOAD_FP(load, &version, 1) != 1) return nullptr;
    if (double(version) > 1.015) {
        char name[256] = "";
        if (LWLOAD_STR(load, name, int(sizeof name)) > 0) setGroupName(deform, name);
    } else {
        int number = 0;
        if (LWLOAD_I4(load, &number, 1) == 1) {
            char name[16];
            snprintf(name, sizeof name, "%d", number);
            setGroupName(deform, name);
        }
    }
    return nullptr;
}

XCALL_(const char*) MorvaneDescLn(LWInstance instance) {
    DeformInstance* deform = static_cast<DeformInstance*>(instance);
    return deform ? deform->description : "";
}

XCALL_(const LWItemID*) MorvaneUseItems(LWInstance instance) {
    DeformInstance* deform = static_cast<DeformInstance*>(instance);
    stDeformUseItems[0] = deform ? deform->itemID : LWITEM_NULL;
    stDeformUseItems[1] = LWITEM_NULL;
    return stDeformUseItems;
}

XCALL_(void) MorvaneChangeID(LWInstance instance, const LWItemID* ids) {
    DeformInstance* deform = static_cast<DeformInstance*>(instance);
    if (!deform || !ids) return;
    for (const LWItemID* pair = ids; pair[0]; pair += 2)
        if (pair[0] == deform->itemID) deform->itemID = pair[1];
}

XCALL_(LWError) MorvaneInit(LWInstance, int) {
    return nullptr;
}

XCALL_(void) MorvaneCleanup(LWInstance) {}

XCALL_(unsigned int) MorvaneFlags(LWInstance) {
    return LWDMF_WORLD;
}

void fillDeformHandler(LWDisplacementHandler* local) {
    if (local->inst) {
        local->inst->create = MorvaneCreate;
        local->inst->destroy = MorvaneDestroy;
        local->inst->copy = MorvaneCopy;
        local->inst->load = MorvaneLoad;
        local->inst->save = MorvaneSave;
        local->inst->descln = MorvaneDescLn;
    }
    if (local->item) {
        local->item->useItems = MorvaneUseItems;
        local->item->changeID = MorvaneChangeID;
    }
    if (local->rend) {
        local->rend->init = MorvaneInit;
        local->rend->cleanup = MorvaneCleanup;
        local->rend->newTime = MorvaneNewTime;
    }
    local->evaluate = MorvaneEvaluate;
    local->flags = MorvaneFlags;
}
