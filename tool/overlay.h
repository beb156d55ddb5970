// What the tool draws over the scene besides the key strip.
#ifndef MORVANE_TOOL_OVERLAY_H
#define MORVANE_TOOL_OVERLAY_H

#include "tool/overlay_draw.h"

// The cursor of the tool mode for the press in progress: a disc, a dashed
// brush circle or the lasso.
void drawToolCursor(EditCageState* state, const OverlayView* view);

// A small square facing the view on every selected point of the selected
// cages.
void drawSelectedPoints(EditCageState* state, const OverlayView* view);

// The key strip along the bottom of the viewport.
void drawKeyStrip(EditCageState* state, const OverlayView* view);

#endif
