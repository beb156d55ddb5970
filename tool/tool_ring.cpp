#include "tool/tool_ring.h"

#include <string.h>

#include "module/key_strip_scale.h"
#include "module/ring_protocol.h"
#include "tool/tool_lifecycle.h"
#include "tool/tool_mixed_keys.h"
#include "tool/tool_panel.h"
#include "tool/tool_selection.h"
#include "tool/tool_services.h"
#include "tool/tool_undo.h"

namespace {

// A stroke must not reach a cage that is gone or hidden.
void forgetCageOfStroke(EditCageState* state, CageInstance* cage) {
    if (state->dragPoint && state->dragPoint->owner == cage) state->dragPoint = nullptr;
    if (state->hitCage == cage) {
        state->hitCage = nullptr;
        state->hitPoint = nullptr;
        state->hitLinegon = nullptr;
        state->hitTrigon = nullptr;
        state->dragButton = 0;
    }
    for (int i = 0; i < state->candidateCount; ++i)
        if (state->candidates[i].cage == cage) state->candidateCount = 0;
}

// The tool's handler: every event gets the state pointer back, so senders
// can tell a tool is running; destruction and Unseen drop the cage from the
// selection.
void ringEvent(void* data, void*, int code, void* payload) {
    EditCageState* state = static_cast<EditCageState*>(data);
    EditCageQuery* query = static_cast<EditCageQuery*>(payload);
    if (!state) return;
    switch (code) {
    case kToolCageCreated:
        // A new cage has no geometry yet: the popup lists it once it has,
        // as the popup counts the cages each time it is shown.
        refreshCurrentCagePopCtl(state);
        state->needsRedraw = 1;
        break;
    case kToolCageDestroyed:
    case kToolCageUnseen:
        if (query && query->pointer)
            forgetCageOfStroke(state, static_cast<CageInstance*>(query->pointer));
        if (query && query->pointer &&
            remove1CageFromSelection(state, static_cast<CageInstance*>(query->pointer)))
            refreshMixEnvelopeKeyData(state, 0);
        refreshCurrentCagePopCtl(state);
        state->needsRedraw = 1;
        break;
    case kToolKeysChanged:
        if (query) query->pointer = state;
        // Keys edited outside the tool make the history's snapshots stale.
        if (state->undoRecordCount > 0) {
            initUndoStcData(state);
            refreshUndoRedoCtl(state);
        }
        break;
    default:
        if (query) query->pointer = state;
        break;
    }
}

} // namespace

void attachToolRing(void) {
    attachRing(stToolServices.comRing, RING_TOPIC_TOOL, &stInstData, ringEvent);
}

void detachToolRing(void) {
    detachRing(stToolServices.comRing, RING_TOPIC_TOOL, &stInstData);
}

namespace {

void tellCages(int code) {
    RingQuery query;
    memset(&query, 0, sizeof query);
    sendRingMessage(stToolServices.comRing, RING_TOPIC_CAGES, code, &query);
}

} // namespace

void sendToolStarts(void) {
    tellCages(kRingToolStarts);
}

void sendToolEnds(void) {
    tellCages(kRingToolEnds);
}

void sendShowBaseOff(void) {
    tellCages(kRingShowBaseOff);
}

void readKeyStripGeometry(int* position, double* pixelsPerFrame) {
    RingQuery query;
    memset(&query, 0, sizeof query);
    sendRingMessage(stToolServices.comRing, RING_TOPIC_CAGES, kRingReadSlider, &query);
    *position = query.count == 1 ? boundStripPixels(query.value) : -40;
    *pixelsPerFrame = query.count == 1 ? boundPixPerFrame(query.scale) : kPixPerFrameDefault;
}

void sendKeyStripGeometry(int position, double pixelsPerFrame) {
    RingQuery query;
    memset(&query, 0, sizeof query);
    query.value = position;
    query.scale = pixelsPerFrame;
    sendRingMessage(stToolServices.comRing, RING_TOPIC_CAGES, kRingStoreSlider, &query);
}
