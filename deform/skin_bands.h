// Where the Skin blends fade between two ways of blending a polygon.
//
// Inside one polygon the Skin blend switches abruptly in three places: where
// the nearest of its fan triangles changes (across an inner spoke, the
// triangles on either side weigh each other unequally), and where a fan
// triangle's blend turns into the corner blend at the polygon's outer
// corners. Wherever the polygon is not flat the two sides give different
// results, and the mesh cracks along those lines. Within a narrow band
// around each switch the two sides' results are blended smoothly instead;
// outside the bands every value is the one the switch would give.
#ifndef MORVANE_DEFORM_SKIN_BANDS_H
#define MORVANE_DEFORM_SKIN_BANDS_H

#include "cage_instance.h"

// The bands' half-width as a share of the polygon's smallest fan-triangle
// height (the shortest distance from a corner of one of its fan triangles
// to the opposite side): wide enough to span a mesh spacing or so on the
// meshes a cage of that size is made for, narrow enough that most of every
// triangle keeps its own blend. 0 turns the bands off.
constexpr double kSkinBandShare = 0.025;
extern double stSkinBandShare;

// The half-width of the bands of one polygon (rest shape); 0 without bands.
inline double skinBandWidth(const PolygonData* poly) {
    const double w = stSkinBandShare * poly->restHeight;
    return w > 0.0 && w < 1e300 ? w : 0.0;
}

// How much each of a polygon's fan triangles takes of a blend, from their
// distances to the point (HUGE_VAL for far ones) and the corners those are
// measured to (null when not a corner): with m the nearest distance, a
// triangle at d takes fully when d^2 - m^2 is 0, not at all from width^2
// on, and smoothly in between. `bound` is the triangle the point is bound
// to; one measured to the same corner as it (past a corner every triangle
// there is equally near, and the corner blend already joins them) takes no
// part. Normalised to sum 1; returns how many take part.
int skinFanBandWeights(const double dist[4], const PointData* const corner[4], int bound,
                       double width, double weight[4]);

// The share of the corner blend at a corner of a fan triangle, from the
// depth of the point in that corner's region: 1 from `width` inside, 0
// from `width` outside, 1/2 on the region's border.
double skinCornerFade(double depth, double width);
inline double skinCornerBandShare(double depth, double width) {
    if (!(depth > -width)) return 0.0;
    if (!(depth < width)) return 1.0;
    return skinCornerFade(depth, width);
}

#endif // MORVANE_DEFORM_SKIN_BANDS_H
