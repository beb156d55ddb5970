// The edit tool's own undo history: snapshots of the selected cages' keys or
// base shapes taken before each edit, and the Undo and Redo buttons.
#ifndef MORVANE_TOOL_TOOL_UNDO_H
#define MORVANE_TOOL_TOOL_UNDO_H

#include "cage_instance.h"
#include "edit_cage_state.h"

struct UndoPointEntry {
    double x, y, z; // key deltas (kind 0 with a key) or basePos (kind 1)
    unsigned char selected;
};

// One cage's state. The cage counts as the same only while it is listed in
// the scene with the same serial and point count; a cage made later at the
// freed address of a deleted one does not match.
struct UndoCageEntry {
    unsigned char hasKey;
    CageInstance* cage; // null once the cage was found gone
    unsigned int serial;
    int pointCount;
    UndoPointEntry* points; // pointCount entries; null when the cage was gone
};

enum { kUndoKindKey = 0, kUndoKindBase = 1 };
// rec1Process flags.
enum { kUndoKeyMovedAway = 1, kUndoBaseShape = 2 };

struct UndoRecord {
    int stepId; // equal ids form one step; 0 for the sentinel
    unsigned char kind;
    double time;
    UndoCageEntry* entries;
    int entryCount;
    unsigned char prevKind;
    double prevTime;
    UndoCageEntry* prevEntries; // after-state of the preceding record
    int prevEntryCount;
    UndoRecord* prev;
    UndoRecord* next;
};

// The most records a history over this many cage points keeps: about four
// million point snapshots, at least 10.
int undoRecordLimitForPoints(long long points);

// Discards the history and starts a new one.
void initUndoStcData(EditCageState* state);
// Frees every record including the sentinel.
void destroyUndoStcData(EditCageState* state);

// Records a snapshot of the selected cages before an edit at time t.
// newStep 1 starts a new step, 0 joins the previous record's step.
void rec1Process(EditCageState* state, int newStep, int flags, double time);

// 1 when the entry's cage is listed in sceneCages and still the same cage.
int undoEntryMatchesScene(const EditCageState* state, const UndoCageEntry* entry);

// Undo and Redo of one step; 1 when a step was applied. Each then rebuilds the merged key
// list and sends the host to the time of the last applied snapshot.
int undoOneStep(EditCageState* state);
int redoOneStep(EditCageState* state);
int undoAvailable(const EditCageState* state);
int redoAvailable(const EditCageState* state);

#endif
