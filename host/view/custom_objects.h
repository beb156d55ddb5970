// What plug-ins draw in a viewport: every custom object on every item, in
// item order, then the active Layout tool.
#ifndef MORVANE_HOST_VIEW_CUSTOM_OBJECTS_H
#define MORVANE_HOST_VIEW_CUSTOM_OBJECTS_H

#include "plugins/instances.h"
#include "scene/scene.h"
#include "view/raster.h"
#include "view/view_drawing.h"

#include <lwlaytool.h>

namespace host {

// For each item and each of its CustomObjHandler instances: flags, then
// evaluate with a fresh access (see CustomDrawing::begin) whose coordinate
// item is the item, flags LWCOFL_SELECTED when it is selected, and view the
// viewport's LWVIEW_* code, or viewportIndex with LWCOF_VIEWPORT_INDEX.
// LWCOF_NO_DEPTH_BUFFER: that handler neither tests nor writes depth.
// LWCOF_OVERLAY: it runs after all the others, and is drawn over them
// (no depth test or write).
void drawCustomObjects(Raster& raster, const Projector& view, int viewportIndex, const Scene& scene,
                       const InstanceTable& instances, double time);

// The tool's draw, when there is a tool with one, with a fresh access whose
// coordinate item is none (OBJECT coordinates are world coordinates).
void drawLayoutTool(Raster& raster, const Projector& view, const Scene& scene,
                    const LWLayoutTool* tool, double time);

} // namespace host

#endif
