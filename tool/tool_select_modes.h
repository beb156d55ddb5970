// The three selection modes of the pointer: Sel Cage, Sel Point, Sel Lasso.
#ifndef MORVANE_TOOL_TOOL_SELECT_MODES_H
#define MORVANE_TOOL_TOOL_SELECT_MODES_H

#include "edit_cage_state.h"

// A press decides whether the drag adds or removes, then does its first step.
void selectCagesPress(EditCageState* state);
void selectCagesDrag(EditCageState* state);
void selectPointsPress(EditCageState* state);
void selectPointsDrag(EditCageState* state);
void lassoPress(EditCageState* state);
void lassoDrag(EditCageState* state);
// Applies the closed lasso to the selected cages' points (unless the drag
// was cancelled), then drops it.
void lassoRelease(EditCageState* state);

#endif
