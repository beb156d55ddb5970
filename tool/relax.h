// Shape-preserving relaxation of a brushed cage region. After a brush has
// moved the points it weighs, the points around them follow so that the cage
// keeps its local shape. Both methods read the scratch the surface-distance
// search leaves in the points (inRange, maxLevel, and startPos as the
// reference shape) and move worldOtherPos, the current shape. The region
// starts at the inRange points and grows by one ring of elements per pass
// until maxLevel + 1 rings have joined; the last ring holds still as anchors.
#ifndef MORVANE_TOOL_RELAX_H
#define MORVANE_TOOL_RELAX_H

#include "cage_instance.h"
#include "edit_cage_state.h"

// Neighbourhood method: each point restores the layout its neighbours had in
// the reference shape, free to turn about its normal, and its own height
// above them. Runs iterations - 1 passes with factor x 0.25 (none when
// iterations < 2). A null state or cage does nothing.
void relaxCageMeshDistortion3D(EditCageState* state, CageInstance* cage, int iterations,
                               double factor);

// Triangle shape matching: every triangle of the region (fan triangles of
// polygons included) is matched rigidly onto its current position, turned
// about its normal. Runs stiffnessIterations - 1 passes with
// stiffnessFactor. A null state or cage does nothing.
void relaxCageMeshShapeMatching(EditCageState* state, CageInstance* cage);

// Adds to each corner of the triangle the step from its current position
// (worldOtherPos) to where the rigid match of its reference shape (startPos)
// puts it, and 1 to its weight sum.
void addRelaxDispVectorWithTrigon(TrigonData* trigon);

// One point's share of a neighbourhood pass: adds each neighbour's weighted
// step toward its reference layout around the point to the neighbour's sums,
// and the height correction to the point's own. Reads the rest and current
// normals of the point's polygons and standalone trigons. A point without
// neighbours adds nothing.
void addRelaxDispVectorsAroundPoint(PointData* point);

#endif
