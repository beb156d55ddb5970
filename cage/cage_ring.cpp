#include "cage/cage_ring.h"

#include <lwrender.h>

#include "cage/cage_lifecycle.h"
#include "module/host_services.h"
#include "module/key_strip_scale.h"
#include "module/ring_protocol.h"
#include "module/strings.h"

int stTimeSliderBX = -40;
double stPixPerFrame = 16.0;

namespace {

void clearPointSelection(CageInstance* cage) {
    for (int i = 0; i < cage->pointCount; ++i)
        cage->pointArray[i]->selected = 0;
}

// The refresh bit: the per-frame computation runs once, for the first asker.
void refreshIfPending(CageInstance* cage, const RingQuery* query) {
    if (query && !compareCString(query->name, cage->groupName)) return;
    if (!cage->refreshPending) return;
    cage->refreshPending = 0;
    getCageParmAfterIK(cage);
}

// Event 20: the highest copy number among cages of the same base name.
void highestCopy(CageInstance* cage, RingQuery* query) {
    char base[256];
    copyCStringN(base, cage->groupName, int(sizeof base));
    int number = getNameAndIndexWithString(base);
    if (compareCString(base, query->name) && number > query->value) query->value = number;
}

void lastOfGroup(CageInstance* cage, RingQuery* query) {
    if (!compareCString(query->name, cage->groupName)) return;
    auto* list = static_cast<LWListInfo*>(acquireService("LW List Info"));
    if (!list) return;
    int place = list->index(cage->itemID);
    if (place > query->value) {
        query->value = place;
        query->item = cage->itemID;
    }
}

} // namespace

void ringEvent(void* data, void*, int code, void* payload) {
    CageInstance* cage = static_cast<CageInstance*>(data);
    if (!cage) return;
    RingQuery* query = static_cast<RingQuery*>(payload);
    if (code & kRingRefreshBit) {
        refreshIfPending(cage, query);
        code &= ~kRingRefreshBit;
        if (code == 0) return; // the refresh alone counts nothing
    }
    switch (code) {
    case kRingCount:
        if (query) query->count += 1;
        break;
    case kRingListWithPoints:
        if (query && cage->pointCount > 0) appendToRingQuery(query, cage);
        break;
    case kRingListGroup:
        if (query && compareCString(query->name, cage->groupName) && !cage->showBase &&
            cage->pointCount > 0)
            appendToRingQuery(query, cage);
        break;
    case kRingListAll:
        if (query) appendToRingQuery(query, cage);
        break;
    case kRingLastOfGroup:
        if (query) lastOfGroup(cage, query);
        break;
    case kRingSetDisplay:
        if (query) cage->display = query->value;
        break;
    case kRingShowBaseOn:
        cage->showBase = 1;
        break;
    case kRingShowBaseOff:
        cage->showBase = 0;
        break;
    case kRingToolEnds:
        cage->highlighted = 1;
        cage->forceShow = 0;
        clearPointSelection(cage);
        break;
    case kRingToolStarts:
        cage->highlighted = 0;
        cage->forceShow = 0;
        clearPointSelection(cage);
        break;
    case kRingHighestCopy:
        if (query) highestCopy(cage, query);
        break;
    case kRingStoreSlider:
        if (query) {
            query->count = 1;
            stTimeSliderBX = boundStripPixels(query->value);
            stPixPerFrame = boundPixPerFrame(query->scale);
        }
        break;
    case kRingReadSlider:
        if (query) {
            query->count = 1;
            query->value = stTimeSliderBX;
            query->scale = stPixPerFrame;
        }
        break;
    default:
        break;
    }
}
