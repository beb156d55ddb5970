// Derived geometry of a cage's elements: triangle rest frames and 2D data,
// vertex normals, polygon centres, linegon frames and world data.
//
// R and W below are the cage item's rotation (columns worldAxes[0..2]) and
// world position (worldAxes[3]).
#ifndef MORVANE_CAGE_CAGE_FRAMES_H
#define MORVANE_CAGE_CAGE_FRAMES_H

#include "cage_instance.h"

// The rest frame (and the frame, a copy of it), edge directions and
// bounding ball from restPos; with atFrame0 the base frame from basePos
// too. The rest box is taken from the shape the cage rests in.
void initTrigonData(TrigonData* tri, bool atFrame0 = false);

// Adds the triangle's angle-weighted local N to its three points' normal.
void sumVertNormWithTrigon(TrigonData* tri);

// vertNorm: each corner's normal in the local frame, third component >= 1e-7.
void enableTriData(TrigonData* tri);

// Frame = R x local frame; world frame and world 2D data from worldOtherPos.
void refreshTrigonData(CageInstance* cage, TrigonData* tri);
// refreshTrigonData of every trigon and fan triangle of the cage.
void refreshAllTrigons(CageInstance* cage);
// Every polygon's centre from its corners' current positions
// (updatePolygonCenterOther), then placed in the world as the corners are.
void refreshPolygonCenters(CageInstance* cage);

// Centre basePos and restPos = corner averages; centre normal = 0.
void updatePolygonCenterRest(PolygonData* poly);

// Centre otherPos = average of the corners' otherPos.
void updatePolygonCenterOther(PolygonData* poly);

// worldRestPos = R restPos + W, worldOtherPos = R otherPos + W.
void setPointWorldPositions(CageInstance* cage, PointData* pnt);

// pos[], rest frame and restLength (2e-6 and dir (0, 0, 1) when the points
// coincide); the frame-0 rest frame too when restShapeAtFrame0 is set.
void initLinegonRestFrame(CageInstance* cage, LinegonData* lin);

// World rest frame, current frame, length and stretch.
void refreshLinegonFrame(CageInstance* cage, LinegonData* lin);

// The point's linegonDir from its first one or two linegons' rest dirs;
// zero when it has no linegon.
void setLinegonDirOfPoint(PointData* pnt);

// Every rest quantity of the cage, in rebuild order: rest box and zeroed
// normals, linegon rest frames, trigon and fan rest data with their normal
// sums and cleared marks, polygon centres, normalised normals, vertNorm,
// linegonDir. The grids and rebuildNeeded are the caller's.
void rebuildCageRestData(CageInstance* cage);

#endif
