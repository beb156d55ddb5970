// The element records' scratch marks, one lane per thread.
//
// The per-point work marks elements as it goes: the searches the elements
// they tested, the blends the triangles and polygons they still have to
// add. Each thread that may run that work at once uses its own lane: a
// copy of every mark, laneStride bytes long, kept in the cage's laneMarks
// beside (not in) the records, so that two threads never write to one
// cache line. A thread uses lane stMarkLane: 0 unless a thread of a
// parallel pass set another for its run; two threads working on one cage
// at once must hold different lanes.
//
// The searches' marks hold the stamp of the lane's walk that last tested
// the element (geometry/element_grids.h), the blends' marks a flag.
//
// A lane holds, by the elements' place: the triangles' search marks
// (4 polygonBlockSize + trigonBlockSize), the linegons' search marks
// (linegonBlockSize), the triangles' blend marks, then the polygons' blend
// marks (polygonBlockSize).
#ifndef MORVANE_GEOMETRY_MARK_LANE_H
#define MORVANE_GEOMETRY_MARK_LANE_H

#include <stddef.h>

#include "cage_instance.h"
#include "geometry/quick_tls.h"

extern thread_local int stMarkLane MORVANE_QUICK_TLS;

// A lane's own value, alone on its cache line (64 bytes apart from the
// next lane's), for what each thread writes at every point.
template <class T> struct LaneSlot {
    T value;
    char apart[64 - sizeof(T)];
};

struct LaneMarks {
    unsigned char* trigonSearch;
    unsigned char* linegonSearch;
    unsigned char* trigonBlend;
    unsigned char* polygonBlend;
};

// The bytes a lane takes for blocks of these sizes (whole cache lines).
size_t laneMarkStride(int linegons, int trigons, int polygons);

// The marks of one lane of the cage; all null when it has none.
inline LaneMarks laneMarksOf(const CageInstance* cage, int lane) {
    LaneMarks m = {nullptr, nullptr, nullptr, nullptr};
    if (!cage || !cage->laneMarks) return m;
    const size_t triangles = 4 * size_t(cage->polygonBlockSize) + size_t(cage->trigonBlockSize);
    m.trigonSearch = cage->laneMarks + size_t(lane) * cage->laneStride;
    m.linegonSearch = m.trigonSearch + triangles;
    m.trigonBlend = m.linegonSearch + size_t(cage->linegonBlockSize);
    m.polygonBlend = m.trigonBlend + triangles;
    return m;
}

#endif
