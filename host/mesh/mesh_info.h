// Mesh infos the host hands out for an object's mesh ("LW Object Info"
// meshInfo, "Scene Objects" layerMesh).
//
// Ownership: whoever receives a mesh info owns it and frees it through its
// destroy member, which is never null. Each call makes a new one.
//
// Point and polygon IDs are encoded values, not pointers and not indices:
// they carry a tag of the mesh they belong to, so every mesh info of the same
// mesh gives the same IDs, and an ID from another mesh (or a point ID passed
// as a polygon) is refused. Dereferencing one faults.
#ifndef MORVANE_HOST_MESH_MESH_INFO_H
#define MORVANE_HOST_MESH_MESH_INFO_H

#include "mesh/mesh.h"

#include <lwmeshes.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace host {

// A new mesh info over mesh, which must not be null; pntOtherPos reports the
// base positions until setOtherPositions says otherwise.
LWMeshInfo* newMeshInfo(std::shared_ptr<const Mesh> mesh);

// The positions pntOtherPos reports for this mesh info (e.g. the object's
// deformed points); null goes back to the base positions. Throws HostError
// if info is not a live mesh info or the count differs from the mesh's.
void setOtherPositions(LWMeshInfoID info, std::shared_ptr<const std::vector<Point>> positions);

// The ID of a point or polygon by index, null when out of range or info is
// not a mesh info; for the host's own calls into a module.
LWPntID pointId(LWMeshInfoID info, std::uint32_t index);
LWPolID polygonId(LWMeshInfoID info, std::uint32_t index);

// The index an ID names in this mesh info's mesh, or nothing if the ID is
// foreign, stale or of the other kind.
std::optional<std::uint32_t> pointIndex(LWMeshInfoID info, LWPntID id);
std::optional<std::uint32_t> polygonIndex(LWMeshInfoID info, LWPolID id);

} // namespace host

#endif
