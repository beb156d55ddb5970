// The tool's selection set: the cages selected in the tool and the points
// selected on them, and the list of the scene's cages.
#ifndef MORVANE_TOOL_TOOL_SELECTION_H
#define MORVANE_TOOL_TOOL_SELECTION_H

#include "cage_instance.h"
#include "edit_cage_state.h"

// 1 when the cage was added. Without force a cage displayed Unseen is
// refused; a highlighted or already selected cage always is. The added cage
// is highlighted and shown whatever its display.
int add1CageToSelection(EditCageState* state, CageInstance* cage, int force);

// 1 when the cage left the selection: its highlight, forced display and
// point selection are cleared, and the order of the others is kept.
int remove1CageFromSelection(EditCageState* state, CageInstance* cage);

void clearCageSelection(EditCageState* state);
void recountPointSelectionForSelectedCages(EditCageState* state);

// Lists the scene's cages that have geometry into sceneCages (counting them
// first over the ring) and returns their number.
int getListOfCagesInThisScene(EditCageState* state);

// Frees the two arrays; the counts become 0.
void freeCageLists(EditCageState* state);

#endif
