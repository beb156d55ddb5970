// The edit tool's single state record: one static instance, zeroed at every
// activation apart from the settings it carries over.
#ifndef MORVANE_INCLUDE_EDIT_CAGE_STATE_H
#define MORVANE_INCLUDE_EDIT_CAGE_STATE_H

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
    double pixelSize;
    double currentTime;
    int maxBrushRadius;
    int timeSliderBX;
    double pixPerFrame;
    double circleTable[64][2];
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
