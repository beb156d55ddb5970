// The grid a view draws behind everything: on the view plane in the side
// views, on the ground (the XZ plane) in perspective, camera and light views,
// with the world axes through the origin drawn darker.
#ifndef MORVANE_HOST_VIEW_GRID_H
#define MORVANE_HOST_VIEW_GRID_H

#include "view/raster.h"
#include "view/view_drawing.h"

namespace host {

// The side of a grid square in world units: the view's grid spacing (1 for
// a view without one). The custom-object ICON coordinates are scaled by it.
double gridSize(const Projector& view);

// Neither tests nor writes depth: whatever is drawn later covers it.
void drawGrid(Raster& raster, const Projector& view);

} // namespace host

#endif
