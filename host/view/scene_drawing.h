// The scene's own drawing in one view, before any plug-in draws: objects by
// their visibility (no better than the view's level allows), nulls, lights
// and cameras as wire glyphs at their world placement.
#ifndef MORVANE_HOST_VIEW_SCENE_DRAWING_H
#define MORVANE_HOST_VIEW_SCENE_DRAWING_H

#include "scene/scene.h"
#include "view/raster.h"
#include "view/view_drawing.h"

namespace host {

// An object's points in world coordinates at time: its current (deformed)
// points when they fit its mesh, else its mesh placed by its motion.
std::vector<Point> worldPointsOf(const Scene& scene, const Item& item, double time);

// Every visible item of the scene at time. level is the view's LWOVIS_*:
// an object set to draw better than that draws at the view's level.
//   bounding box   the twelve edges of its world box
//   vertices       its points
//   wireframe      every polygon's edges; front-face wireframe only those of
//                  polygons facing the viewer
//   shaded, textured
//                  polygons filled flat in grey, lit from the eye (the
//                  brighter the more squarely they face it)
//   textured wire  shaded, with the wireframe on top
void drawSceneItems(Raster& raster, const Projector& view, const Scene& scene, double time,
                    int level);

} // namespace host

#endif
