// The active region both relaxations work on: the fixed and in-list flags,
// the first region around the brushed points, and its growth by one ring of
// elements per pass.
#ifndef MORVANE_TOOL_RELAX_REGION_H
#define MORVANE_TOOL_RELAX_REGION_H

#include "cage_instance.h"
#include "edit_cage_state.h"

// The active lists, linked through the records' relaxNext. New members go in
// front, so the members a growth has to scan are those from the head up to
// the scan end it left. level counts down to 0, the anchors' level.
struct RelaxRegion {
    PointData* points;
    TrigonData* trigons; // standalone trigons
    PolygonData* polygons;
    TrigonData* trigonScanEnd; // first trigon the next growth does not scan
    PolygonData* polygonScanEnd;
    unsigned int level;
};

// Fixed and in-list flags of every point: unselected points (while there is
// a point selection), points out of range (fixPointsOutOfRange) and border
// points (fixOuterEdges) are fixed and kept out of the region. With
// anchorsJoin, a fixed point next to a free one may still join, as an anchor.
void setRelaxPointFlags(const EditCageState* state, CageInstance* cage, int anchorsJoin);

// Rest normals and diagonal choices of every element, and the first region:
// the elements with a corner in range (those partly in range first) and
// their in-range corners at level maxLevel + 1 (0 when fixed).
void initRelaxRegion(RelaxRegion* region, CageInstance* cage, unsigned int maxLevel);

// Current normals (from worldOtherPos) of the active elements.
void setRelaxCurrentNormals(RelaxRegion* region);

// One ring more: the corners of the elements activated since the previous
// growth join at the next lower level, and their elements become active.
// Nothing happens once the level is 0.
void growRelaxRegion(RelaxRegion* region);

// Passes run for an iteration count: one fewer, none below 2.
int relaxPassCount(int iterations);

// Signed angle from the unit 2D vector rest to cur: acos of their dot
// product, negative when rest x cur is negative; a right angle when either
// is zero.
double relaxTurnAngle(const double rest[2], const double cur[2]);

// -unit((b - a) x (c - a)): a triangle's normal as the relaxation takes it,
// zero when the triangle has no area.
void relaxTriangleNormal(const double a[3], const double b[3], const double c[3], double out[3]);

// The same for a polygon split along its stored diagonal choice; rest reads
// startPos, otherwise worldOtherPos.
void relaxPolygonNormal(const PolygonData* poly, int rest, double out[3]);

#endif
