#include "mesh/obj_writer.h"

#include "common/host_error.h"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace host {

namespace {

// %.9g is enough digits for any float to read back bit for bit.
std::string coordinates(const Point& p) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "v %.9g %.9g %.9g\n", double(p.x), double(p.y),
                  double(p.z));
    return buffer;
}

} // namespace

void writeObj(const Mesh& mesh, const std::vector<Point>& positions, const std::string& path) {
    if (positions.size() != mesh.points.size())
        throw HostError(path + ": " + std::to_string(positions.size()) + " positions for " +
                        std::to_string(mesh.points.size()) + " points");
    checkMesh(mesh, path);
    for (const Point& p : positions)
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            throw HostError(path + ": cannot write a non-finite position");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw HostError(path + ": cannot create file");
    for (const Point& p : positions)
        out << coordinates(p);
    for (const Polygon& poly : mesh.polygons) {
        out << (poly.points.size() == 1 ? "p" : poly.points.size() == 2 ? "l" : "f");
        for (std::uint32_t index : poly.points)
            out << ' ' << (index + 1);
        out << '\n';
    }
    out.flush();
    if (!out) throw HostError(path + ": write error");
}

void writeObj(const Mesh& mesh, const std::string& path) {
    writeObj(mesh, mesh.points, path);
}

} // namespace host
