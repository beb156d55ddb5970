#include "geometry/mark_lane.h"

thread_local int stMarkLane MORVANE_QUICK_TLS = 0;

size_t laneMarkStride(int linegons, int trigons, int polygons) {
    const size_t triangles =
        4 * size_t(polygons > 0 ? polygons : 0) + size_t(trigons > 0 ? trigons : 0);
    const size_t bytes =
        2 * triangles + size_t(linegons > 0 ? linegons : 0) + size_t(polygons > 0 ? polygons : 0);
    return (bytes + 63) / 64 * 64;
}
