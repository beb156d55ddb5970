#include "bench/mesh_arrays.h"

namespace bench {

std::vector<mvc::Vec3> pointsOf(const host::Mesh& mesh) {
    std::vector<mvc::Vec3> points;
    points.reserve(mesh.points.size());
    for (const host::Point& p : mesh.points)
        points.push_back({double(p.x), double(p.y), double(p.z)});
    return points;
}

std::vector<std::vector<std::uint32_t>> polygonsOf(const host::Mesh& mesh) {
    std::vector<std::vector<std::uint32_t>> polygons;
    polygons.reserve(mesh.polygons.size());
    for (const host::Polygon& poly : mesh.polygons)
        polygons.push_back(poly.points);
    return polygons;
}

mvc::Cage cageOf(const host::Mesh& mesh) {
    return mvc::closedCage(pointsOf(mesh), polygonsOf(mesh));
}

} // namespace bench
