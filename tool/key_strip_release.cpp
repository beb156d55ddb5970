// The release of a strip drag: the strip geometry handed to the cages, and
// the grabbed keys moved, copied or deleted in every selected cage, each edit
// recorded for undo first.
#include "tool/key_strip.h"

#include <math.h>
#include <stdlib.h>

#include "cage/cage_keys.h"
#include "tool/tool_mixed_keys.h"
#include "tool/tool_ring.h"
#include "tool/tool_services.h"
#include "tool/tool_undo.h"

namespace {

const double kTol = CAGE_KEY_TIME_TOLERANCE;
// Keys dragged further than this off the strip, up or down, are deleted.
const int kDeleteDistance = 79;

void removeKeysAt(EditCageState* s, double t) {
    for (int i = 0; i < s->selectedCageCount; ++i) {
        CageInstance* cage = s->selectedCages[i];
        if (CageKey* key = searchCageKeyAtTime(cage, t)) removeCageKeyFromList(cage, key);
    }
}

void moveKeysAt(EditCageState* s, double from, double to) {
    for (int i = 0; i < s->selectedCageCount; ++i) {
        CageInstance* cage = s->selectedCages[i];
        if (CageKey* key = searchCageKeyAtTime(cage, from)) moveCageKeyToTime(cage, key, to);
    }
}

void copyKeysAt(EditCageState* s, double from, double to) {
    for (int i = 0; i < s->selectedCageCount; ++i) {
        CageInstance* cage = s->selectedCages[i];
        if (CageKey* key = searchCageKeyAtTime(cage, from)) copyCageKeyAtTime(cage, key, to);
    }
}

// A cage is never left without keys: it gets one at time 0, recorded with
// the deletion's step.
void keepAKeyInEveryCage(EditCageState* s) {
    int recorded = 0;
    for (int i = 0; i < s->selectedCageCount; ++i) {
        CageInstance* cage = s->selectedCages[i];
        if (cage->keyHead) continue;
        if (!recorded) rec1Process(s, 0, 0, 0.0);
        recorded = 1;
        getMakeEvaluatedCageKeyAtTime(cage, 0.0);
    }
}

void deleteGrabbed(EditCageState* s) {
    if (!grabbedRun(s)) {
        rec1Process(s, 1, 0, s->grabbedTime);
        removeKeysAt(s, s->grabbedTime);
    } else {
        for (MixEnvelopeKey* e = s->grabbedLast; e;
             e = e == s->grabbedKey ? nullptr : e->stripPrev) {
            rec1Process(s, e == s->grabbedLast ? 1 : 0, 0, e->stripOrigTime);
            removeKeysAt(s, e->stripOrigTime);
        }
        s->keyRangeStart = s->keyRangeEnd = 0.0;
    }
    keepAKeyInEveryCage(s);
    removeMixEnvelopeKeysFromList(s, s->grabbedKey);
    toolCommand("RefreshNow");
}

void moveGrabbed(EditCageState* s) {
    const double offset = s->dragTime - s->grabbedTime;
    if (!(fabs(offset) > kTol)) return;
    if (!grabbedRun(s)) {
        rec1Process(s, 1, 0, s->grabbedTime);
        rec1Process(s, 0, kUndoKeyMovedAway, s->dragTime);
        moveKeysAt(s, s->grabbedTime, s->dragTime);
    } else {
        // The keys ahead move first, so that none passes another.
        const int forward = offset < 0.0;
        MixEnvelopeKey* first = forward ? s->grabbedKey : s->grabbedLast;
        for (MixEnvelopeKey* e = first; e; e = forward ? e->stripNext : e->stripPrev) {
            rec1Process(s, e == first ? 1 : 0, 0, e->stripOrigTime);
            rec1Process(s, 0, kUndoKeyMovedAway, e->stripOrigTime + offset);
            moveKeysAt(s, e->stripOrigTime, e->stripOrigTime + offset);
        }
    }
    toolCommand("RefreshNow");
}

void addCopiedEntry(EditCageState* s, const MixEnvelopeKey* source, double t) {
    MixEnvelopeKey* entry = newMixEnvelopeKey(s);
    if (!entry) return;
    entry->allCages = source->allCages;
    entry->keyKinds = source->keyKinds;
    entry->mark = source->mark;
    entry->keyCount = source->keyCount;
    entry->time = t;
    linkMixEnvelopeKeyInOrder(s, entry);
}

// Copies land only where no key is: one taken target cancels the whole copy.
void copyGrabbed(EditCageState* s) {
    const double offset = s->dragTime - s->grabbedTime;
    for (MixEnvelopeKey* e = s->grabbedKey; e; e = e->stripNext)
        if (searchMixEnvelopeKeyAtTime(s, e->stripOrigTime + offset)) return;
    for (MixEnvelopeKey* e = s->grabbedKey; e; e = e->stripNext)
        addCopiedEntry(s, e, e->stripOrigTime + offset);
    for (MixEnvelopeKey* e = s->grabbedKey; e; e = e->stripNext) {
        rec1Process(s, e == s->grabbedKey ? 1 : 0, 0, e->stripOrigTime + offset);
        copyKeysAt(s, e->stripOrigTime, e->stripOrigTime + offset);
    }
    if (grabbedRun(s)) {
        s->keyRangeStart = s->grabbedKey->stripOrigTime + offset - kRangeMargin;
        s->keyRangeEnd = s->grabbedLast->stripOrigTime + offset + kRangeMargin;
    }
    toolCommand("RefreshNow");
}

} // namespace

void keyStripRelease(EditCageState* s, const LWToolEvent* event) {
    const int offStrip = event && abs(event->dy) > kDeleteDistance;
    switch (s->stripDrag) {
    case kStripScroll:
    case kStripZoom:
    case kStripFit:
        sendKeyStripGeometry(s->timeSliderBX, s->pixPerFrame);
        break;
    case kStripMoveKeys:
        if (!s->grabbedKey) break;
        if (offStrip)
            deleteGrabbed(s);
        else
            moveGrabbed(s);
        break;
    case kStripCopyKeys:
        if (s->grabbedKey && !offStrip) copyGrabbed(s);
        break;
    default:
        break;
    }
}
