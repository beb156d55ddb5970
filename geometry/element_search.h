// Nearest cage element to a point: the per-element tests and the searches
// over the cage's 3D element grids.
//
// Every test measures one element against a best-so-far state the caller
// owns (NearestElement): best linegon, best trigon, best distance, best
// overshoot (how far the point lies beyond the element's extent) and border
// flag. It starts at no element, 1e20, 1e20, 0; the linegon search and then
// the trigon search share the distance, overshoot and flag, so a trigon wins
// only when it is at least as near as the best linegon.
//
// Acceptance, with this element's distance d, overshoot o and flag f:
// rejected when d >= best distance (or d is not a number), or when d is
// within 4e-6 of the stored best distance and o > best overshoot; otherwise
// the element becomes the best of its kind, best distance = d + 2e-6, best
// overshoot = o, flag = f.
//
// Each test and search measures one shape of the cage: the rest shape
// (restPos and the rest frames) or the stored base shape (basePos and the
// frame-0 frames). Points are cage-local, double[3].
#ifndef MORVANE_GEOMETRY_ELEMENT_SEARCH_H
#define MORVANE_GEOMETRY_ELEMENT_SEARCH_H

#include "cage_instance.h"

// The 4e-6 window within which the smaller overshoot decides, and the 2e-6
// kept on top of an accepted distance.
constexpr double kNearTieWindow = 4e-6;
constexpr double kNearDistanceMargin = 2e-6;

// Which shape of the cage is measured.
enum CageShape { kRestShape, kBaseShape };

// The best-so-far state of the tests and searches.
struct NearestElement {
    LinegonData* linegon = nullptr;
    TrigonData* trigon = nullptr;
    double dist = 1e20;
    double over = 1e20;
    unsigned char border = 0;
};

// Measures linegon lin (A = pnt[0], B = pnt[1]) from pt and updates the best
// state. Beyond an end the overshoot is the distance past that end and the
// flag is 1 when the end's point has fewer than two linegons (a free end of
// the chain). Returns this element's flag, accepted or not; 0 when an
// argument is null.
int testNearLine(LinegonData* lin, const double pt[3], NearestElement* near,
                 CageShape shape = kRestShape);

// Measures triangle tri (a standalone trigon or a fan triangle) from pt.
// Inside its projection: overshoot 0, flag 0. Over an edge: overshoot = the
// in-plane distance to the edge line, flag 1 for an open border edge (slot
// null or no trigonB). Over a corner: overshoot = the in-plane distance to
// the corner, flag = that point's onBorder. A triangle without a frame (zero
// area) is measured in 3D to the nearest of its three sides, with the whole
// distance as overshoot. Returns this element's flag.
int testNearTrigon(TrigonData* tri, const double pt[3], NearestElement* near,
                   CageShape shape = kRestShape);
// testNearTrigon (rest shape) for callers that need only the best state: the
// same acceptance, without working out the flag of an element it rejects.
void updateNearTrigon(TrigonData* tri, const double pt[3], NearestElement* near);

// Nearest linegon over cage->lineMat3D, nearest trigon or fan triangle over
// cage->trisMat3D. Tests the cells around pt, grows the box until an element
// is accepted (or the grid is exhausted), then tests the cells a nearer
// element could still occupy; each cell's list in order, each element once.
// Cells and elements that could not be accepted are passed over without
// changing that order of the tests, so the answer (ties included) is a
// function of the point, the cage and the starting state alone. Uses the
// elements' searchMark as scratch, so two searches of one cage must not
// overlap. Nothing is found (the state is unchanged) when the cage has no
// grid of the kind or pt is not finite.
//
// The trigon search takes a first guess: hint (a triangle of this cage, or
// null) is measured first, and its distance lets the walk pass over
// whatever lies well beyond it. Consecutive mesh points are usually nearest
// to the same triangle. The guess only saves work: the answer is the one
// without it, bit for bit and ties included, whatever the hint.
void searchNearLinegon(CageInstance* cage, const double pt[3], NearestElement* near,
                       CageShape shape = kRestShape);
void searchNearTrigon(CageInstance* cage, const double pt[3], NearestElement* near,
                      CageShape shape = kRestShape, TrigonData* hint = nullptr);

// The distance the trigon test measures from pt to tri; not finite for a
// point that is not, HUGE_VAL for a null argument. *corner (when given)
// receives the point of tri it is measured to when that is one of its
// corners, else null.
double nearTrigonDistance(const TrigonData* tri, const double pt[3], CageShape shape = kRestShape,
                          const PointData** corner = nullptr);

// Whether tri surely lies at least `reach` from pt (rest shape), by a
// test of its bounding ball and of its plane, cheaper than measuring it.
bool nearTrigonSurelyBeyond(const TrigonData* tri, const double pt[3], double reach);

// The nearest of a polygon's four fan triangles to pt (rest shape): the one
// testNearTrigon run on tri[0], tri[1], tri[2], tri[3] in this order from
// no best would keep. Null when the polygon has a missing point.
TrigonData* nearestFanTriangle(PolygonData* poly, const double pt[3]);

#endif // MORVANE_GEOMETRY_ELEMENT_SEARCH_H
