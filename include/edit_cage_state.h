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
    double pixelSize;
    double currentTime;
    int maxBrushRadius;
    int timeSliderBX;
    double pixPerFrame;
    double circleTable[64][2];
    int needsRedraw;
    int toolLive;
    char versionText[16];
};

#endif
