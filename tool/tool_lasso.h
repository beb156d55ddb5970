// The lasso of a Sel Lasso drag: the cursor's path in screen coordinates,
// closed into an outline with a row table for the inside test.
#ifndef MORVANE_TOOL_TOOL_LASSO_H
#define MORVANE_TOOL_TOOL_LASSO_H

#include "edit_cage_state.h"

// Appends a point to the path; worldPos is the cursor at recording.
void add1PolLine(LassoOutline* lasso, float x, float y, const double worldPos[3]);
// Closes the outline and builds its row table; 1 (nothing built) with fewer
// than 3 points or without memory, else 0.
int makeLasso(LassoOutline* lasso);
// 1 when (x, y) lies inside the closed outline or on its edge.
int isInLasso(const LassoOutline* lasso, float x, float y);
void destroyLasso(LassoOutline* lasso);
// Sorts values[first..last] ascending in place.
void fValueSort(float* values, int first, int last);

#endif
