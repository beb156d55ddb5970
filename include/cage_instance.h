// One cage and its element records, shared by the cage item, the deformer,
// the edit tool and the add-cage command. Plain data: blocks and lists are
// owned through raw pointers and released by destroyCageData.
#ifndef MORVANE_INCLUDE_CAGE_INSTANCE_H
#define MORVANE_INCLUDE_CAGE_INSTANCE_H

#include <lwenvel.h>
#include <lwmeshes.h>
#include <lwrender.h>

// Typedefs so that C code can include the records too.
typedef struct CageInstance CageInstance;
typedef struct PointData PointData;
typedef struct LinegonData LinegonData;
typedef struct TrigonData TrigonData;
typedef struct TrigonFrame TrigonFrame;
typedef struct PolygonData PolygonData;
typedef struct EdgeData EdgeData;
typedef struct CageKey CageKey;
typedef struct PntUserData PntUserData;
typedef struct SearchNode SearchNode;

// Element grids; defined with the grid code.
typedef struct TrisMat2D TrisMat2D;
typedef struct TrisMat3D TrisMat3D;
typedef struct LineMat3D LineMat3D;

// Inline capacities of a point's adjacency lists; longer lists move to the
// heap (see cage_model.h).
enum {
    kPointCornerInline = 8,
    kPointNeighbourInline = 10,
    kPointEdgeInline = 8,
    kPointLinegonInline = 2,
    kPointTrigonInline = 8
};

// The per-point work (searches and blends) keeps scratch marks per element,
// in one array per thread that may run it at once (a lane, kept apart from
// the records so that threads do not share their cache lines); a thread
// uses the lane of stMarkLane (geometry/mark_lane.h).
enum { kMarkLanes = 8 };

struct PointData {
    // Tool marks (brush and relax steps).
    unsigned char toolMark;
    unsigned char toolMark2;
    unsigned char isCenter;
    unsigned char selected;
    unsigned char onBorder;

    double basePos[3];
    double otherPos[3];
    double worldRestPos[3];
    double worldOtherPos[3];
    double linegonDir[3];
    double restPos[3];
    double refPos[3];
    double normal[3];

    // Relax work area: scratch of the edit tool's brush search and relaxation.
    unsigned char searchOpen;
    unsigned char inRange;
    unsigned char relaxInList;
    unsigned char relaxFixed;
    unsigned int relaxLevel;
    unsigned int searchLevel;
    double startPos[3];
    double brushWeight;
    double unfoldedDistance;
    double pathLength;
    double searchDistance;
    double unfoldedPos[2];
    double unfoldedDir[2];
    double searchNormal[3];
    double relaxNormalCorrection[3];
    double relaxDispSum[3];
    double relaxWeightSum;
    double relaxRestLength;
    PointData* searchPrev;
    SearchNode* searchNode;
    PointData* reachedNext;
    PointData* relaxNext;

    CageInstance* owner;
    unsigned int index;
    unsigned int serialIndex;

    // Polygons the point is a corner of, with its corner number 0..3.
    int cornerCount;
    int cornerCapacity;
    PolygonData** cornerPolygons;
    unsigned int* cornerNumbers;
    PolygonData* cornerPolygonsInline[kPointCornerInline];
    unsigned int cornerNumbersInline[kPointCornerInline];

    // One-ring of real points (never a polygon centre).
    int neighbourCount;
    int neighbourCapacity;
    PointData** neighbours;
    PointData* neighboursInline[kPointNeighbourInline];

    // Every edge at the point, spokes to polygon centres included.
    int edgeCount;
    int edgeCapacity;
    PointData** edgePoints; // far ends
    EdgeData** edges;
    PointData* edgePointsInline[kPointEdgeInline];
    EdgeData* edgesInline[kPointEdgeInline];

    int linegonCount;
    int linegonCapacity;
    LinegonData** linegons;
    LinegonData* linegonsInline[kPointLinegonInline];

    // Standalone trigons and fan triangles.
    int trigonCount;
    int trigonCapacity;
    TrigonData** trigons;
    TrigonData* trigonsInline[kPointTrigonInline];

    PointData* next;
};

struct LinegonData {
    PointData* pnt[2];
    double* pos[2]; // restPos, or basePos when the cage rests at frame 0

    // Rest frame (cage-local).
    double restAxis1[3];
    double restAxis2[3];
    double restDir[3];
    // Rest frame turned by the cage item's rotation.
    double worldRestAxis1[3];
    double worldRestAxis2[3];
    double worldRestDir[3];
    double restLength;

    // Current frame (world).
    double axis1[3];
    double axis2[3];
    double dir[3];
    double length;
    double stretch;

    // Rest frame from basePos; only with restShapeAtFrame0.
    double restAxis1_t0[3];
    double restAxis2_t0[3];
    double restDir_t0[3];
    double restLength_t0;

    unsigned int place; // its place in the block: its marks' index
    LinegonData* next;
};

// A triangle's local frame in one shape, with corners P0, P1, P2: X along
// P0->P2, N = X x (P0->P1) normalised, Y = N x X; P0 is the 2D origin, P1
// and P2 in the frame are (p1x, p1y) and (p2x, p2y). Edge k runs from
// corner k to corner k+1 (01, 12, 20): its 2D unit direction, length and
// outward normal (-d.y, d.x). A triangle without area has a zero frame.
struct TrigonFrame {
    double X[3];
    double Y[3];
    double N[3];
    double p1x, p1y;
    double p2x, p2y;
    double d01[2], d12[2], d20[2];
    double len01, len12, len20;
    double norm01[2], norm12[2], norm20[2];
};

struct TrigonData {
    // What the per-point work reads (the nearest-element tests, the
    // location, the maps and the blends' bookkeeping) comes first, together.
    PointData* pnt[3];
    EdgeData* edge[3]; // edge i joins pnt[i] and pnt[(i+1)%3]; null if not shared
    // A ball holding the rest triangle (restPos): centre, radius.
    double restSphere[4];
    // Its marks' index: 4 i + k for fan triangle k of polygon i, 4
    // polygonBlockSize + j for standalone trigon j.
    unsigned int place;

    // The local frame and 2D data of the rest shape (restPos).
    TrigonFrame rest;

    // The local frame, or after a refresh the local frame turned into world.
    double X[3];
    double Y[3];
    double N[3];
    double vertNorm[3][3];
    // What the location reads of vertNorm, worked out at its first use after
    // vertNorm was set (which clears slideReady): each corner's slide per
    // unit of height, and the slid triangle's doubled area as a quadratic in
    // the height, a + b h + c h^2.
    double slideRate[3][2];
    double slideArea[3];
    unsigned char slideReady;

    // The deformer's cache of this triangle's map (rest to current, world)
    // as one affine transform, map(P) = M P + b: M's columns, then b, each
    // with a fourth lane (0, 0, 0, 1), so that the map of a point with a
    // weight lane is a weight lane of 1. Stale (0) after every rest rebuild
    // and world refresh; 1 when it holds the map and no entry of it exceeds
    // 2^500 in magnitude, 3 when it holds a larger one, 2 when the map has
    // no finite affine form.
    double worldMap[16];
    unsigned char worldMapState;

    PolygonData* polygon; // owner of a fan triangle; null when standalone
    unsigned int subIndex;
    TrigonData* next;

    double dir01[3];
    double dir12[3];
    double dir20[3];

    // The same of the base shape (basePos); only with restShapeAtFrame0.
    TrigonFrame base;

    double restBoxMin[3];
    double restBoxMax[3];

    // From the points' worldOtherPos.
    double worldX[3];
    double worldY[3];
    double worldN[3];
    double worldP1[2];  // P1' in the world 2D frame
    double worldP12[2]; // P2' - P1' in the world 2D frame

    // Relax scratch (standalone trigons).
    unsigned char relaxInList;
    double relaxRestNormal[3];
    double relaxNormal[3];
    TrigonData* relaxNext;
};

struct PolygonData {
    unsigned int place; // its place in the block: its marks' index
    PointData* pnt[4];
    PointData center;
    TrigonData tri[4]; // tri[k] = (center, pnt[k], pnt[(k+1)%4])
    // The smallest height of its rest fan triangles (a corner's distance
    // from the opposite side): the scale of the Skin blend's bands.
    double restHeight;

    // Relax scratch.
    unsigned char relaxInList;
    unsigned char relaxDiagonal;
    double relaxRestNormal[3];
    double relaxNormal[3];
    PolygonData* relaxNext;

    PolygonData* next;
};

struct EdgeData {
    PointData* pntA; // runs A->B in trigonA
    PointData* pntB;
    TrigonData* trigonA;
    TrigonData* trigonB; // runs B->A; null for a border edge
    unsigned int aInTrigonA;
    unsigned int bInTrigonA;
    unsigned int aInTrigonB;
    unsigned int bInTrigonB;
    EdgeData* next;
};

// Scratch of a mesh build: one per mesh point.
struct PntUserData {
    LWPntID id;
    unsigned int sequence; // scan order
    double pos[3];
    PointData* point; // null until a polygon uses the point
};

// Keys and their deltas come from the module's heap (module/memory.h);
// destroyCageData frees them.
struct CageKey {
    unsigned char breakFlag;
    double time;
    double label;
    double* deltas; // pointCount x 3, pointArray order
    CageKey* prev;
    CageKey* next;
    CageKey* mixNext; // chain of the edit tool's merged key entry
};

// How a cage moves the points of its group (the item panel's Mode popup).
// Skin: each point follows its nearest element. Volume: every element
// weighs in.
enum { kCageModeSkin = 0, kCageModeVolume = 1 };

struct CageInstance {
    // Settings.
    int display;
    char groupName[256];
    double selectedColor[3];
    double unselectedColor[3];
    double opacity;
    int mode; // kCageModeSkin or kCageModeVolume
    int falloffType;
    double smoothDistance;
    int ignoreOutside;
    int limitedRange;
    double parallelDistance;
    double perpendicularDistance;
    int weightMapIndex;
    char weightMapName[256];
    LWItemID refObject;
    int refObjectIndex;
    int refMode;
    int restShapeAtFrame0;

    // Geometry.
    PointData* pointList;
    PointData** pointArray;
    int pointCount;
    LinegonData* linegonList;
    int linegonCount;
    TrigonData* trigonList;
    int trigonCount;
    PolygonData* polygonList;
    int polygonCount;
    EdgeData* edgeList;
    int edgeCount;

    // Storage blocks and how many records each holds.
    PointData* pointBlock;
    LinegonData* linegonBlock;
    TrigonData* trigonBlock;
    PolygonData* polygonBlock;
    EdgeData* edgeBlock;
    int pointBlockSize;
    int linegonBlockSize;
    int trigonBlockSize;
    int polygonBlockSize;
    int edgeBlockSize;
    // The elements' scratch marks, kMarkLanes lanes of laneStride bytes
    // (geometry/mark_lane.h); made with the blocks.
    unsigned char* laneMarks;
    size_t laneStride;

    // Keys.
    CageKey* keyHead;
    CageKey* keyTail;
    CageKey* removedKeyHead;
    CageKey* removedKeyTail;
    unsigned int labelCounter;
    LWEnvelopeID envelope;
    char envelopeName[16];
    unsigned char envelopeMute;

    // Binding data. geometryStamp is new at every build of the cage's
    // records, unique over the module's life, so that what was bound to
    // an earlier build is never taken for this one.
    unsigned int geometryStamp;
    double restBoxMin[3];
    double restBoxMax[3];
    TrisMat2D* trisMat2D;
    TrisMat3D* trisMat3D;
    LineMat3D* lineMat3D;

    // Per frame. Axes are right, up, forward (unit) and position.
    double evalTime;
    double worldAxes[4][3];
    double zeroAxes[4][3];
    double smoothDistanceClamped;
    double parallelDistanceClamped;
    double perpendicularDistanceClamped;

    // Flags.
    unsigned char showBase;
    unsigned char highlighted;
    unsigned char forceShow;
    // Link of the edit tool's list of cages under the cursor.
    CageInstance* hitNext;
    // The key an edit tool stroke writes; null when the stroke writes none.
    CageKey* editKey;
    int rebuildNeeded;
    int notYetTimed;
    int refreshPending;

    // Item. serial is unique per instance over the module's life (never
    // reused, unlike the record's address); 0 for cages made outside the
    // cage server.
    unsigned int serial;
    LWItemID itemID;
    char description[80];

    // Building scratch (mesh build and reference-object scan).
    LWMeshInfo* meshInfo;
    double meshScale[3];
    PntUserData* pntUserBlock;
    PntUserData** pntUserByScan;
    PntUserData** pntUserById;
    int scanCounter;
    int meshPointCount;
    int meshPolygonCount;
    int buildForParent;      // positions go into parentAxes' frame
    double parentAxes[4][3]; // right, up, forward, position

    // Edit tool.
    CageInstance* toolNext;
    CageKey* toolKey;
};

// How many places the cage's blocks number its triangles with (see
// TrigonData::place): its polygons' fans, then its trigons.
static inline int trigonPlacesOf(const CageInstance* cage) {
    return 4 * cage->polygonBlockSize + cage->trigonCount;
}

// The triangle at a place of the cage's blocks (see TrigonData::place), or
// null when the cage holds none there.
static inline TrigonData* trigonAtPlace(const CageInstance* cage, unsigned int place) {
    const unsigned int fans = 4u * (unsigned int)cage->polygonBlockSize;
    if (place < fans)
        return cage->polygonBlock && (int)(place / 4) < cage->polygonCount
                   ? &cage->polygonBlock[place / 4].tri[place % 4]
                   : 0;
    return cage->trigonBlock && (int)(place - fans) < cage->trigonCount
               ? &cage->trigonBlock[place - fans]
               : 0;
}

#endif
