// The edit tool's single state record: one static instance, zeroed at every
// activation apart from the settings it carries over.
#ifndef MORVANE_INCLUDE_EDIT_CAGE_STATE_H
#define MORVANE_INCLUDE_EDIT_CAGE_STATE_H

#include "cage_instance.h"

// A point near the cursor, a candidate for picking.
struct PointCandidate {
    struct CageInstance* cage;
    struct PointData* point;
    double screenDistance;
    double depth;
};

// One recorded lasso edge, from its start to the next node's start.
struct LassoNode {
    float startX, startY;
    float endX, endY;
    double worldPos[3]; // the cursor at recording
    unsigned char flags;
    struct LassoNode* next;
};

// The lasso of a Sel Lasso drag, in the lasso's own screen projection, with
// a row table so that each inside test reads the edges of one row.
struct LassoOutline {
    struct LassoNode* first;
    struct LassoNode* last;
    int count;
    float minX, minY, maxX, maxY;
    int rowCount;
    float rowHeight;
    struct LassoNode*** rows; // rowCount lists of edges, each null-ended
    int* rowFill;
};

// A queued point of the surface-distance search.
struct SearchNode {
    struct PointData* point;
    struct PointData* prev; // the point the path came from
    double key;             // the point's distance
    struct SearchNode* towardHead;
    struct SearchNode* towardTail;
};

struct SearchNodeChunk {
    struct SearchNode* nodes;
    int used;
    int capacity;
    struct SearchNodeChunk* next;
};

struct EditCageState {
    int toolMode;
    int editBaseCage;
    int brushRadius;
    int brushRadiusAtPress;
    int pointBrushRadius;
    int falloffCurve1;
    int falloffCurve2;
    double reBodyStrength;
    double strength;
    double stiffnessFactor;
    int stiffnessIterations;
    int stiffnessSlider;
    int fixOuterEdges;
    int fixPointsOutOfRange;
    // Cages selected in the tool, in selection order.
    struct CageInstance** selectedCages;
    int selectedCageCount;
    int selectedCageCapacity;
    int selectedPointCount; // selected points over the selected cages
    // The scene's cages with geometry, refreshed before each use.
    struct CageInstance** sceneCages;
    int sceneCageCount;
    int sceneCageCapacity;
    // One item name of the Current popup; grows to fit.
    char* cageNameBuffer;
    unsigned int cageNameBufferSize;
    // View frame of the press (world space).
    double cursorPos[3];
    double cursorDelta[3];
    double cursorScreen[2];
    double eyePos[3];
    double eyePosAtPress[3]; // the host's value, for the view-change test
    double rayDir[3];
    double rayU[3];
    double rayW[3];
    double screenX[3];
    double screenY[3];
    double viewNormal[3];
    double pixelSize;
    double hither;
    double yon;
    int viewportType;
    int viewportNumber;
    int perspective;
    // Press state.
    struct LassoOutline lasso;
    double depthScale;
    int deselecting;
    int cancelled;
    int undoPending;
    // Hit state of the latest hit test.
    struct PointData* dragPoint;
    struct CageInstance* hitCage;
    struct PointData* hitPoint;
    struct LinegonData* hitLinegon;
    struct TrigonData* hitTrigon;
    double hitDepth;
    double hitPos[3];
    struct PointCandidate candidates[16];
    int candidateCount;
    // Surface-distance search.
    struct SearchNode* queueHead;
    struct SearchNode* queueTail;
    struct SearchNodeChunk* searchChunks;
    struct PointData* reachedList;
    unsigned int maxLevel;
    double brushWorldRadius;
    struct PointData virtualSource; // a hit on a linegon or trigon
    // Falloff of the current stroke.
    unsigned int falloffFlags[2];
    double falloffExponents[2];
    double currentTime;
    int maxBrushRadius;
    // Key strip: its geometry (kept between activations) and the drag of
    // the latest press on it.
    int timeSliderBX;
    double pixPerFrame;
    unsigned int stripDrag; // kind of the strip drag in progress, 0 when none
    int timeSliderBXAtPress;
    double pixPerFrameAtPress;
    double secondsPerFrame;
    double secondsPerPixel;
    unsigned int fractionalFrames; // dragged times snap to whole frames when 0
    int viewportRect[4];           // left, top, width, height of the press's viewport
    double stripRect[4];           // left, top, width, height in screen units
    double grabbedTime;
    double dragTime;
    double timeAtPress;
    double rangeAnchor;
    // Drawing.
    struct st_LWCustomObjAccess* drawAccess; // the draw call in progress
    double circleTable[64][2];
    double circlePoints[64][3];
    // Merged key list of the selected cages and its allocator.
    struct MixEnvelopeKey* mixKeyHead;
    struct MixEnvelopeKey* mixKeyTail;
    struct MixEnvKeyChunk* mixKeyChunks;
    struct MixEnvKeyChunk* mixKeyChunkCurrent;
    unsigned int mixKeyChunkSize;
    struct MixEnvelopeKey* grabbedKey;
    struct MixEnvelopeKey* grabbedLast;
    // Time range selected on the key strip; equal ends: none.
    double keyRangeStart;
    double keyRangeEnd;
    // Undo history.
    struct UndoRecord* undoHead;
    struct UndoRecord* undoCurrent;
    int undoRecordCount;
    int undoRecordLimit;
    int undoStepId;
    int dragButton; // pointer button held since the press: 0 none, 1 left, 2 right
    int needsRedraw;
    int viewportsToDraw; // draw calls still to come before the list is rebuilt
    int toolLive;
    char versionText[16];
};

#endif
