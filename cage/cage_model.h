// The cage's topology: storage blocks, element creation, adjacency, freeing.
//
// Records come from one block per kind (allocCageBlocks); the add1 routines
// take the next free record and return null once the block is used up, so a
// miscounted build cannot write past its block. Every new record is pushed at
// the front of its list.
#ifndef MORVANE_CAGE_CAGE_MODEL_H
#define MORVANE_CAGE_CAGE_MODEL_H

#include "cage_instance.h"

// Allocates the point, linegon, trigon and polygon blocks (zeroed) for the
// given counts on an empty cage and sets the four counts to 0; a count of 0
// leaves that block null. Returns 1, or 0 when an allocation fails (the
// failed block has size 0) or the cage already holds a block (nothing is
// changed then: call destroyCageData first).
int allocCageBlocks(CageInstance* cage, int points, int linegons, int trigons, int polygons);

// Sets up a point in place: positions, empty lists on inline storage, owner.
void initPointData(PointData* pnt, CageInstance* cage, const double pos[3]);

// basePos, restPos and refPos = pos; pushed on pointList. Null when the
// point block is full.
PointData* add1PointData(CageInstance* cage, const double pos[3]);

// Corners in the given order; centre point (isCenter) and fan triangles set
// up, centre positions left for the rebuild. Null when the block is full.
PolygonData* add1PolygonData(CageInstance* cage, PointData* c0, PointData* c1, PointData* c2,
                             PointData* c3);

// A standalone trigon (polygon null). Null when the block is full.
TrigonData* add1TrigonData(CageInstance* cage, PointData* p0, PointData* p1, PointData* p2);

// A linegon with pos[] on the points' basePos. Null when the block is full.
LinegonData* add1LinegonData(CageInstance* cage, PointData* a, PointData* b);

// Empties every adjacency list of every point and polygon centre (heap
// arrays go back to inline storage), clears onBorder and the trigons' edge
// slots, and frees the edge block.
void clearCageAdjacency(CageInstance* cage);

// createEdgeData's answer when memory ran out.
#define CAGE_ADJACENCY_FAILED (-1.0)

// Builds all adjacency (linegon, corner, edge, trigon and neighbour lists,
// onBorder, edges). Adjacency built before is cleared first, so calling it
// again gives the same lists. With computeDefault non-zero returns 2.5 x the
// mean length of the real edges and linegons (0.01 when there is none);
// otherwise returns 0. When memory runs out it returns
// CAGE_ADJACENCY_FAILED (below 0) and the cage is left with no adjacency at
// all, as clearCageAdjacency leaves it; the builders then empty the cage.
double createEdgeData(CageInstance* cage, int computeDefault);

// Registers one triangle's three edges. Returns 0 when a list cannot grow
// or the edge block is full (createEdgeData sizes it), with the lists then
// half made: only createEdgeData calls it, and clears them.
int getEdgeWithTrigon(CageInstance* cage, TrigonData* tri);

// Frees all geometry and every key, resets labelCounter, and leaves
// the geometry members and key lists null/0. Settings and the grids are
// left alone.
void destroyCageData(CageInstance* cage);

#endif
