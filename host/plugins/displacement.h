// Layout's displacement pass: every frame, each object that carries
// displacement handlers has its points run through them, and the result
// becomes the positions Object Info's mesh info reports for that frame.
#ifndef MORVANE_HOST_PLUGINS_DISPLACEMENT_H
#define MORVANE_HOST_PLUGINS_DISPLACEMENT_H

#include "mesh/mesh.h"
#include "scene/scene.h"

#include <memory>
#include <string>
#include <vector>

namespace host {

class InstanceTable;

// The mesh's points placed by the item's world transform at time; empty for
// an item without a mesh.
std::vector<Point> worldPlacedPoints(const Scene& scene, const Item& item, double time);

// Runs every object's displacement handlers at the scene's current time, in
// item order, and sets each object's currentPoints (world positions); objects
// without handlers, or without a mesh, get null. Per handler and point:
// oPos is the base point, source the running position (world with
// LWDMF_WORLD, else object coordinates), point and info name the point in a
// mesh info made for the object for this pass. A result with a non-finite
// coordinate (or one too large for a float) is dropped: the point stays
// where it was before that handler. Handlers without evaluate are skipped.
void evaluateDisplacements(Scene& scene, const InstanceTable& instances);

// The object's mesh at the current frame in world coordinates (currentPoints,
// or the world-placed base points) written as OBJ. Throws HostError naming
// the item or the file.
void exportObject(const Scene& scene, const std::string& name, const std::string& path);

} // namespace host

#endif
