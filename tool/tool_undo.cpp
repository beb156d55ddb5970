#include "tool/tool_undo.h"

#include <stdio.h>

#include "cage/cage_keys.h"
#include "module/memory.h"
#include "tool/tool_mixed_keys.h"
#include "tool/tool_selection.h"
#include "tool/tool_panel.h"
#include "tool/tool_services.h"

namespace {

const long long kUndoPointBudget = 4000000;

void freeEntries(UndoCageEntry* entries, int count) {
    for (int i = 0; i < count; ++i)
        morvaneFree(entries[i].points);
    morvaneFree(entries);
}

void clearRecord(UndoRecord* record) {
    freeEntries(record->entries, record->entryCount);
    freeEntries(record->prevEntries, record->prevEntryCount);
    *record = UndoRecord{};
}

int isListed(const EditCageState* state, const CageInstance* cage) {
    if (!cage) return 0;
    for (int i = 0; i < state->sceneCageCount; ++i)
        if (state->sceneCages[i] == cage) return 1;
    return 0;
}

long long scenePointTotal(const EditCageState* state) {
    long long total = 0;
    for (int i = 0; i < state->sceneCageCount; ++i)
        total += state->sceneCages[i]->pointCount;
    return total;
}

// Fills one entry with the cage's present state; selection from the cage,
// or from source when given.
void snapshot(UndoCageEntry* entry, CageInstance* cage, int kind, double time,
              const UndoCageEntry* source) {
    entry->cage = cage;
    entry->serial = cage->serial;
    entry->pointCount = cage->pointCount;
    entry->points = static_cast<UndoPointEntry*>(
        morvaneCalloc(size_t(cage->pointCount), sizeof(UndoPointEntry)));
    if (!entry->points) {
        entry->cage = nullptr;
        return;
    }
    const CageKey* key = kind == kUndoKindKey ? searchCageKeyAtTime(cage, time) : nullptr;
    entry->hasKey = kind == kUndoKindBase || key ? 1 : 0;
    for (int i = 0; i < cage->pointCount; ++i) {
        UndoPointEntry* p = &entry->points[i];
        const double* v = kind == kUndoKindBase ? cage->pointArray[i]->basePos
                          : key                 ? key->deltas + 3 * i
                                                : nullptr;
        if (v) {
            p->x = v[0];
            p->y = v[1];
            p->z = v[2];
        }
        p->selected = source && source->points && i < source->pointCount
                          ? source->points[i].selected
                          : cage->pointArray[i]->selected;
    }
}

UndoCageEntry* newEntries(int count) {
    return static_cast<UndoCageEntry*>(
        morvaneCalloc(size_t(count ? count : 1), sizeof(UndoCageEntry)));
}

// The after-state of the current record, taken now.
void recordAfterState(EditCageState* state, UndoRecord* record, int flags) {
    const UndoRecord* cur = state->undoCurrent;
    record->prevKind = cur->kind;
    record->prevTime = cur->time;
    record->prevEntries = newEntries(cur->entryCount);
    if (!record->prevEntries) return;
    record->prevEntryCount = cur->entryCount;
    for (int i = 0; i < cur->entryCount; ++i) {
        const UndoCageEntry* source = &cur->entries[i];
        UndoCageEntry* entry = &record->prevEntries[i];
        if (!undoEntryMatchesScene(state, source)) continue;
        snapshot(entry, source->cage, cur->kind, cur->time, source);
        if (cur->kind == kUndoKindKey && (flags & kUndoKeyMovedAway)) entry->hasKey = 0;
    }
}

// A record for the list: the oldest one reused at the limit, else a new one.
UndoRecord* takeRecord(EditCageState* state) {
    if (state->undoRecordCount >= state->undoRecordLimit && state->undoHead->next &&
        state->undoHead->next != state->undoCurrent) {
        UndoRecord* oldest = state->undoHead->next;
        state->undoHead->next = oldest->next;
        if (oldest->next) oldest->next->prev = state->undoHead;
        clearRecord(oldest);
        return oldest;
    }
    auto* record = static_cast<UndoRecord*>(morvaneCalloc(1, sizeof(UndoRecord)));
    if (record) ++state->undoRecordCount;
    return record;
}

void appendRecord(EditCageState* state, UndoRecord* record) {
    UndoRecord* cur = state->undoCurrent;
    record->prev = cur;
    record->next = cur->next;
    if (cur->next) cur->next->prev = record;
    cur->next = record;
}

void freeRecordsAfter(EditCageState* state, UndoRecord* from) {
    UndoRecord* r = from->next;
    from->next = nullptr;
    while (r) {
        UndoRecord* next = r->next;
        clearRecord(r);
        morvaneFree(r);
        --state->undoRecordCount;
        r = next;
    }
}

void applyEntries(EditCageState* state, int kind, double time, UndoCageEntry* entries, int count) {
    clearCageSelection(state);
    for (int i = 0; i < count; ++i) {
        UndoCageEntry* entry = &entries[i];
        if (!undoEntryMatchesScene(state, entry) || !entry->points) {
            entry->cage = nullptr;
            continue;
        }
        CageInstance* cage = entry->cage;
        if (kind == kUndoKindBase) {
            for (int p = 0; p < cage->pointCount; ++p) {
                double* pos = cage->pointArray[p]->basePos;
                pos[0] = entry->points[p].x;
                pos[1] = entry->points[p].y;
                pos[2] = entry->points[p].z;
            }
            cage->rebuildNeeded = 1;
        } else if (entry->hasKey) {
            CageKey* key = getMakeEvaluatedCageKeyAtTime(cage, time);
            for (int p = 0; key && p < cage->pointCount; ++p) {
                key->deltas[3 * p] = entry->points[p].x;
                key->deltas[3 * p + 1] = entry->points[p].y;
                key->deltas[3 * p + 2] = entry->points[p].z;
            }
        } else if (CageKey* key = searchCageKeyAtTime(cage, time)) {
            removeCageKeyFromList(cage, key);
        }
        for (int p = 0; p < cage->pointCount; ++p)
            cage->pointArray[p]->selected = entry->points[p].selected;
        if (!add1CageToSelection(state, cage, 1))
            for (int p = 0; p < cage->pointCount; ++p)
                cage->pointArray[p]->selected = 0;
    }
}

void finishApply(EditCageState* state, double time) {
    recountPointSelectionForSelectedCages(state);
    refreshMixEnvelopeKeyData(state, 1);
    state->needsRedraw = 1;
    if (stToolServices.command && stToolServices.sceneInfo) {
        char text[64];
        snprintf(text, sizeof text, "GoToFrame %.12f",
                 time * stToolServices.sceneInfo->framesPerSecond);
        stToolServices.command(text);
    }
}

} // namespace

int undoRecordLimitForPoints(long long points) {
    long long total = points + 3;
    if (total < 128) total = 128;
    long long limit = kUndoPointBudget / total;
    return limit < 10 ? 10 : int(limit);
}

int undoEntryMatchesScene(const EditCageState* state, const UndoCageEntry* entry) {
    const CageInstance* cage = entry->cage;
    return isListed(state, cage) && cage->serial == entry->serial &&
           cage->pointCount == entry->pointCount;
}

void initUndoStcData(EditCageState* state) {
    destroyUndoStcData(state);
    getListOfCagesInThisScene(state);
    state->undoRecordLimit = undoRecordLimitForPoints(scenePointTotal(state));
    state->undoHead = static_cast<UndoRecord*>(morvaneCalloc(1, sizeof(UndoRecord)));
    state->undoCurrent = state->undoHead;
    state->undoStepId = 1;
}

void destroyUndoStcData(EditCageState* state) {
    if (state->undoHead) {
        freeRecordsAfter(state, state->undoHead);
        morvaneFree(state->undoHead);
    }
    state->undoHead = state->undoCurrent = nullptr;
    state->undoRecordCount = 0;
    state->undoRecordLimit = 1000;
    state->undoStepId = 0;
}

void rec1Process(EditCageState* state, int newStep, int flags, double time) {
    if (!state->undoCurrent || state->selectedCageCount == 0) return;
    if (state->undoCurrent->next) {
        state->undoStepId = state->undoCurrent->next->stepId - 1;
        freeRecordsAfter(state, state->undoCurrent);
    }
    state->undoStepId += newStep;
    getListOfCagesInThisScene(state);
    // The scene's cages change between records: the limit follows them.
    state->undoRecordLimit = undoRecordLimitForPoints(scenePointTotal(state));
    UndoRecord* record = takeRecord(state);
    if (!record) return;
    record->stepId = state->undoStepId;
    record->kind = (flags & kUndoBaseShape) ? kUndoKindBase : kUndoKindKey;
    record->time = time;
    record->entries = newEntries(state->selectedCageCount);
    if (record->entries) {
        record->entryCount = state->selectedCageCount;
        for (int i = 0; i < state->selectedCageCount; ++i)
            snapshot(&record->entries[i], state->selectedCages[i], record->kind, time, nullptr);
    }
    if (state->undoCurrent != state->undoHead) recordAfterState(state, record, flags);
    appendRecord(state, record);
    state->undoCurrent = record;
    if (newStep) refreshUndoRedoCtl(state);
}

int undoAvailable(const EditCageState* state) {
    return state->undoCurrent && state->undoCurrent != state->undoHead;
}

int redoAvailable(const EditCageState* state) {
    return state->undoCurrent && state->undoCurrent->next && state->undoCurrent->next->next;
}

int undoOneStep(EditCageState* state) {
    if (state->needsRedraw || !undoAvailable(state)) return 0;
    getListOfCagesInThisScene(state);
    UndoRecord* r = state->undoCurrent;
    if (!r->next) {
        UndoRecord* closing = takeRecord(state);
        if (closing) {
            closing->stepId = ++state->undoStepId;
            closing->kind = r->kind;
            closing->time = r->time;
            closing->entries = newEntries(r->entryCount);
            if (closing->entries) {
                closing->entryCount = r->entryCount;
                for (int i = 0; i < r->entryCount; ++i)
                    if (undoEntryMatchesScene(state, &r->entries[i]))
                        snapshot(&closing->entries[i], r->entries[i].cage, r->kind, r->time,
                                 &r->entries[i]);
            }
            appendRecord(state, closing);
        }
    }
    const int step = r->stepId;
    double time = r->time;
    for (; r != state->undoHead && r->stepId == step; r = r->prev) {
        applyEntries(state, r->kind, r->time, r->entries, r->entryCount);
        time = r->time;
    }
    state->undoCurrent = r;
    finishApply(state, time);
    return 1;
}

int redoOneStep(EditCageState* state) {
    if (state->needsRedraw || !redoAvailable(state)) return 0;
    getListOfCagesInThisScene(state);
    UndoRecord* a = state->undoCurrent->next;
    UndoRecord* b = a->next;
    double time = 0.0;
    for (;;) {
        if (b->prevEntries) {
            applyEntries(state, b->prevKind, b->prevTime, b->prevEntries, b->prevEntryCount);
            time = b->prevTime;
        } else {
            applyEntries(state, b->kind, b->time, b->entries, b->entryCount);
            time = b->time;
        }
        if (!b->next || a->stepId != b->stepId) break;
        a = b;
        b = b->next;
    }
    state->undoCurrent = a;
    finishApply(state, time);
    return 1;
}
