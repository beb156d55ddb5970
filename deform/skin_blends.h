// The Skin blends: a point bound to its nearest element is moved by that
// element and, with weights from where it lies over the element, by the
// elements around it (found through the adjacency lists).
//
// P is the point's world position, Plocal the same point in the cage's local
// coordinates. disp[3] receives the cage's displacement; the result is false
// (and disp zero) when nothing could be blended. The blend marks of the
// thread's mark lane (geometry/mark_lane.h) are scratch: two blends over the
// same cage must not run at the same time in one lane. No allocation, no
// NaN or infinity out.
#ifndef MORVANE_DEFORM_SKIN_BLENDS_H
#define MORVANE_DEFORM_SKIN_BLENDS_H

#include "cage_instance.h"
#include "geometry/element_search.h"

// Bound to a standalone trigon: its edge neighbours and the trigons and
// polygons around its corners join in.
bool skinBlendStandaloneTrigon(CageInstance* cage, TrigonData* tri, const double P[3],
                               const double Plocal[3], double disp[3]);

// Bound to a fan triangle: the polygon's own triangles first (normalised),
// then the elements across its outer edges and around its corners.
bool skinBlendFanTriangle(CageInstance* cage, TrigonData* tri, const double P[3],
                          const double Plocal[3], double disp[3]);

// Bound to fan triangle tri of a polygon: skinBlendFanTriangle, except
// near the polygon's inner spokes, where the nearest fan triangle changes:
// there the blends bound to the triangles on either side are weighed by
// their band weights (skin_bands.h), from their distances to searchPt (the
// point the search measured from; the base shape's when frame0 is set).
bool skinBlendPolygon(CageInstance* cage, TrigonData* tri, const double P[3],
                      const double Plocal[3], const double searchPt[3], bool frame0,
                      double disp[3]);

// Bound to a linegon: it and the chain's next linegon at either end, faded
// by the point's place between the mitred end planes.
bool skinBlendLinegon(const CageInstance* cage, const LinegonData* lin, const double P[3],
                      double disp[3]);

// One Skin cage's displacement of a point: its nearest linegon, then its
// nearest trigon (searched from searchPt: Plocal, or the point's place at
// frame 0 in the cage's frame when the cage rests at frame 0; *nearest
// holds a guess at the nearest triangle, or null, and receives the one
// found), the range limits (which may scale *wm) and the blend of that
// element. False (disp zero) when the cage gives nothing.
bool skinCageDisplacement(CageInstance* cage, const double P[3], const double Plocal[3],
                          const double searchPt[3], TrigonData** nearest, double* wm,
                          double disp[3]);

// Its two halves. The search: the nearest linegon, then the nearest trigon
// (hint: a guess, or null), from searchPt in the shape the cage binds in;
// the answer depends on searchPt and that shape alone. Then the
// displacement of the element found, with the range limits.
void searchSkinBinding(CageInstance* cage, const double searchPt[3], TrigonData* hint,
                       NearestElement* near);
bool skinBindingDisplacement(CageInstance* cage, const NearestElement* near, const double P[3],
                             const double Plocal[3], const double searchPt[3], double* wm,
                             double disp[3]);

// The point's fraction of the way from A's mitre plane to B's (not clamped);
// finite for any finite P.
double linegonChainPosition(const CageInstance* cage, const LinegonData* lin, const double P[3]);

#endif // MORVANE_DEFORM_SKIN_BLENDS_H
