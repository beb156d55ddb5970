// Where a point lies over a triangle, as the closeness values the Skin
// weights use.
//
// The point is taken into the triangle's frame X, Y, N (world-rotated rest
// frame) from P0's worldRestPos, giving (x, y) and the height h. Each corner
// slides along its vertNorm to the point's height, giving the 2D triangle
// A, B, C (edge 0 = AB, edge 1 = BC, edge 2 = CA). Where the corners' normals
// converge (inside a closed cage) the slid triangle would shrink to nothing
// and turn over: the slide stops at the height where 1% of the triangle's
// area is left, so the values stay those of a proper triangle and change
// continuously with the point. out[K] is the closeness
// of the point to edge K: 1 on that edge's line, 0 on the parallel line
// through the opposite corner, always within [0, 1].
//
// Region codes, tested in this order:
//   1, 2, 3  over corner A, B, C        out = (1,0,1), (1,1,0), (0,1,1)
//   4, 5, 6  outside edge AB, BC, CA    out from the clamped position t on it
//   0        inside                     out from the three edge lines
// A triangle that is (or, sliding apart, slides to) zero area takes the code and values of
// its nearest side, or of that side's end when the point lies past it; a
// triangle collapsed to a point gives out (1, 1, 1) with code 4. A point
// that is not finite gives code 0 and all zeros.
#ifndef MORVANE_GEOMETRY_ELEMENT_LOCATION_H
#define MORVANE_GEOMETRY_ELEMENT_LOCATION_H

#include "cage_instance.h"

// Region codes of getLocationPerAtTrigon and getLocationPerAtPolygon.
enum {
    kLocInside = 0,
    kLocCornerA = 1,
    kLocCornerB = 2,
    kLocCornerC = 3,
    kLocEdgeAB = 4,
    kLocEdgeBC = 5,
    kLocEdgeCA = 6
};

// pt: world position, double[3]. out: double[3]. Returns the region code;
// 0 with out (0, 0, 0) when an argument is null.
int getLocationPerAtTrigon(const TrigonData* tri, const double pt[3], double out[3]);

// tri: a fan triangle (A = the polygon's centre, B = C[i], C = C[i+1]).
// out[0..2] as getLocationPerAtTrigon; out[3] is the position across the
// polygon's side B -> C seen from the centre: 0 at B, 1 at C, 0.5 at the
// centre. out: double[4].
int getLocationPerAtPolygon(const TrigonData* tri, const double pt[3], double out[4]);

// How far inside the regions of corners B and C (codes 2 and 3) the point
// lies, in the slid 2D picture: the distance to the nearer of the two lines
// that bound the region, positive inside and negative outside, so that a
// value crosses 0 exactly where the code changes. Depths are worked out
// within `within` of 0 and held at +-within beyond. A triangle without a
// usable 2D picture (no frame, or flat) reports -HUGE_VAL for both.
// cornerDepth: double[2], may be null.
int getLocationPerAtPolygon(const TrigonData* tri, const double pt[3], double out[4],
                            double cornerDepth[2], double within);
int getLocationPerAtTrigon(const TrigonData* tri, const double pt[3], double out[3],
                           double cornerDepth[2], double within);

// Works out the slide data locating reads of the triangle (slideRate,
// slideArea) when the record holds none yet; locating then only reads it.
void readyTrigonSlide(TrigonData* tri);

#endif // MORVANE_GEOMETRY_ELEMENT_LOCATION_H
