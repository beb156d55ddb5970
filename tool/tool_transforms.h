// The transform modes of the pointer (Move, Rotate, Stretch, Size), Drag
// of one point, and the two brushes that weigh points at the press
// (Grabnet's sphere, Magnet's screen circle), with the right-button drag
// that sizes a brush.
#ifndef MORVANE_TOOL_TOOL_TRANSFORMS_H
#define MORVANE_TOOL_TOOL_TRANSFORMS_H

#include <lwtool.h>

#include "edit_cage_state.h"

void transformPress(EditCageState* state);
void transformMotion(EditCageState* state, const LWToolEvent* event);
void dragPress(EditCageState* state);
void dragMotion(EditCageState* state, const LWToolEvent* event);
void grabnetPress(EditCageState* state);
void magnetPress(EditCageState* state);
// Grabnet and Magnet: the weighted points follow the cursor.
void weightedPointsMotion(EditCageState* state, const LWToolEvent* event);

void radiusDragPress(EditCageState* state);
void radiusDragMotion(EditCageState* state, const LWToolEvent* event);

#endif
