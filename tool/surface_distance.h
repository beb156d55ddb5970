// Brush weights by distance over the cage's surface: a shortest-path search
// from the hit over edges, polygon-centre spokes and linegons, with each path
// unfolded into a plane, so that a brush on one side of a thin cage leaves
// the other side alone.
//
// The search keeps its scratch in the points' relax work area (startPos,
// inRange, brushWeight, unfoldedDistance, pathLength, searchDistance,
// unfoldedPos, unfoldedDir, searchNormal, searchPrev, searchNode,
// searchLevel, reachedNext, searchOpen) and leaves it there until the next
// search; polygon centre points take part like real points but are never
// weighted.
#ifndef MORVANE_TOOL_SURFACE_DISTANCE_H
#define MORVANE_TOOL_SURFACE_DISTANCE_H

#include "cage_instance.h"
#include "edit_cage_state.h"

// Runs the search on cage from the hit: a point, or else a linegon, or else a
// trigon (a fan triangle included), measured against brushWorldRadius with
// the falloff of the state. Every point's brushWeight is the falloff of its
// distance over the radius (0 when not reached or at the radius), and
// maxLevel the largest hop count reached. With no hit (or no cage) the
// scratch is reset and nothing is reached. The queue's nodes are freed
// before it returns.
void makeEnablePointList_Mesh2(EditCageState* state, CageInstance* cage, PointData* point,
                               LinegonData* linegon, TrigonData* trigon);

// The first step from a source (a cage point or the virtual source at the
// hit) to p: p is settled at its straight distance when that is within the
// radius and better than what it has.
void testDistanceLinked2Pnts_Init(EditCageState* state, PointData* source, PointData* p);

// Offers c the path that reaches it through b, a being b's predecessor; c
// takes it when it is within the radius and better by every measure.
void testDistanceLinked2Pnts(EditCageState* state, PointData* a, PointData* b, PointData* c);

// Queues point with its predecessor and key, before every node whose key is
// not smaller, and returns the node (also stored as the point's searchNode);
// null when no node could be allocated. Without a chunk yet, one of
// kSearchNodeChunkMin nodes is made.
SearchNode* add1NewStc(EditCageState* state, PointData* point, PointData* predecessor, double key);

// Frees every node chunk and empties the queue; points still queued lose
// their node.
void destroyPntStcMemChunk(EditCageState* state);

enum { kSearchNodeChunkMin = 16 };

#endif
