// What the cursor hits: the cages and elements under the cursor ray, and
// the selected cages' points near it.
#ifndef MORVANE_TOOL_TOOL_PICKING_H
#define MORVANE_TOOL_TOOL_PICKING_H

#include "edit_cage_state.h"

enum { kMaxPointCandidates = 16 };

// Update the hit record when the element is hit no farther than hitDepth
// (a later element wins on equal depth).
void checkCollisionWithLinegon(EditCageState* state, LinegonData* linegon);
void checkCollisionWithTrigon(EditCageState* state, TrigonData* trigon);

// Every cage of the scene under the cursor, linked through hitNext (the
// last one hit first); null when none.
CageInstance* getClickedCage_All(EditCageState* state);

// The selected cage under the cursor, its point or element in the hit
// record; null when none.
CageInstance* getClickedCage_Selected(EditCageState* state);

#endif
