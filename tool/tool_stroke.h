// What every shaping stroke shares: the undo step at the press, the key a
// cage's stroke writes, and storing a moved point into the base shape or
// that key.
#ifndef MORVANE_TOOL_TOOL_STROKE_H
#define MORVANE_TOOL_TOOL_STROKE_H

#include "edit_cage_state.h"

// Records the undo step of a stroke: the base shape in base mode, else the
// key at the current time.
void recordStrokeStep(EditCageState* state);

// The cage's key at the current time, made (with the interpolated shape)
// when there is none; null in base mode.
void takeEditKey(EditCageState* state, CageInstance* cage);

// Stores a point's new world position: into basePos (the cage is then
// rebuilt) in base mode, else into the stroke's key as a delta from the
// reference shape. The overlay sees the position at once.
void storeMovedPoint(EditCageState* state, CageInstance* cage, PointData* point,
                     const double world[3]);

// Sends RefreshNow so that the host evaluates the changed cages.
void refreshAfterStroke(void);

#endif
