// A baseline deformer to measure the cage deformer against: mean value
// coordinates over a closed triangle cage. Binding stores every point's
// weights over every cage vertex (a dense table); a frame is then one
// weighted sum per point. Independent of the module and of the host.
#ifndef MORVANE_BENCH_MVC_BASELINE_H
#define MORVANE_BENCH_MVC_BASELINE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mvc {

using Vec3 = std::array<double, 3>;

// A closed triangle surface. `source[v]` is the index the cage vertex v had
// in the polygon mesh it was made from (see closedCage).
struct Cage {
    std::vector<Vec3> points;
    std::vector<std::array<std::uint32_t, 3>> triangles;
    std::vector<std::uint32_t> source;
};

// The surface of a polygon mesh as a triangle cage: triangles kept, quads
// split into two triangles (0 1 2, 0 2 3), longer polygons into fans;
// polygons of one or two points (linegons) are left out, and so are the
// points no surface polygon uses. Throws std::invalid_argument naming the
// polygon when an index is out of range or nothing of a surface remains.
Cage closedCage(const std::vector<Vec3>& points,
                const std::vector<std::vector<std::uint32_t>>& polygons);

// weights[cage.points.size()] (out): the normalised mean value coordinates
// of x. A point on a triangle gets the triangle's barycentric coordinates,
// one on a vertex that vertex alone. Near a face the formula loses digits
// (its spherical triangle flattens as the square of the distance): within
// about 1e-5 of the cage's size the point is taken onto the face, so a
// result there may be off by about 1e-6 of the size.
void coordinates(const Cage& cage, const Vec3& x, double* weights);

// Every point's coordinates, row by row: points.size() x vertexCount.
struct Binding {
    std::size_t pointCount = 0;
    std::size_t vertexCount = 0;
    std::vector<double> weights;
};

Binding bind(const Cage& cage, const std::vector<Vec3>& points);

// out[binding.pointCount] (out): each point as the weighted sum of the cage
// vertices' current positions cagePoints[binding.vertexCount]. Throws
// std::invalid_argument when the vertex count differs from the bound one.
void deform(const Binding& binding, const std::vector<Vec3>& cagePoints, std::vector<Vec3>& out);

} // namespace mvc

#endif // MORVANE_BENCH_MVC_BASELINE_H
