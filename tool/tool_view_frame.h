// The view frame of a pointer event: where the cursor is in the world, the
// ray through it and the screen's axes, and the screen projection that the
// hit tests and selections compare in.
#ifndef MORVANE_TOOL_TOOL_VIEW_FRAME_H
#define MORVANE_TOOL_TOOL_VIEW_FRAME_H

#include <lwtool.h>

#include "edit_cage_state.h"

// Fills cursorPos, cursorDelta, rayDir, rayU, rayW, perspective and
// cursorScreen from the event. Returns the cursor's depth in perspective
// views and 0 in the others; -1 when the event's point is on or behind the
// eye plane, or not finite, and the frame is left as it was: such an event
// is ignored.
double getEventPosRaw(EditCageState* state, const LWToolEvent* event);

// Screen coordinates of a world point (perspective: divided by its depth)
// and its depth along viewNormal.
void projectToScreen(const EditCageState* state, const double p[3], double screen[2],
                     double* depth);

// The union of every viewport's rectangle as {left, top, right, bottom};
// the number of viewports, 0 (rect untouched) when there is none.
int getWholeViewportRect(int rect[4]);

#endif
