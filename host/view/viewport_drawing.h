// A viewport's picture, drawn in Layout's order: the background, the grid,
// the scene's items, the custom objects, the active tool, then the view's
// name in its top-left corner and its frame.
#ifndef MORVANE_HOST_VIEW_VIEWPORT_DRAWING_H
#define MORVANE_HOST_VIEW_VIEWPORT_DRAWING_H

#include "plugins/instances.h"
#include "scene/scene.h"
#include "view/raster.h"
#include "view/viewport.h"

#include <lwlaytool.h>

namespace host {

// What the viewports show at one time.
struct DrawnScene {
    const Scene& scene;
    const InstanceTable& instances;
    const LWLayoutTool* tool; // null or without an instance: no tool
    double time;
};

// Draws view `index` of the window into the raster (of the window's size)
// at the view's rectangle, confined to it. Throws HostError for a bad index.
void drawViewport(Raster& raster, const ViewportWindow& window, int index, const DrawnScene& what);

// Every view of the window in one picture of the window's size.
Raster drawWindow(const ViewportWindow& window, const DrawnScene& what);
// View `index` alone, a picture of its own size.
Raster drawViewportAlone(const ViewportWindow& window, int index, const DrawnScene& what);

} // namespace host

#endif
