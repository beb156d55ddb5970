// The surface brushes (Grab, GrabBody, GrabSkin, GrabTwist), which weigh
// the hit cage's points by their distance over its surface, and the paint
// strokes (ReBody, Erase), which search again at every dab.
#ifndef MORVANE_TOOL_TOOL_BRUSHES_H
#define MORVANE_TOOL_TOOL_BRUSHES_H

#include <lwtool.h>

#include "edit_cage_state.h"

void surfaceBrushPress(EditCageState* state);
void surfaceBrushMotion(EditCageState* state, const LWToolEvent* event);
void paintPress(EditCageState* state);
void paintMotion(EditCageState* state, const LWToolEvent* event);

// ReBody relaxes with fewer passes than the stiffness gives: a fifth of
// them, at least 2.
int reBodyIterations(int stiffnessIterations);

#endif
