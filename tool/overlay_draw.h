// Drawing on top of a viewport: the overlay's coordinates, its colours and
// the primitives the cursor and the key strip are made of. An overlay point
// (x, y, z) has x and y in world units of the view plane (pixels times the
// view's pixel size, from the viewport's centre, y up) and z = 1; it is
// placed at the overlay distance in front of the eye, so it covers the scene.
#ifndef MORVANE_TOOL_OVERLAY_DRAW_H
#define MORVANE_TOOL_OVERLAY_DRAW_H

#include <lwcustobj.h>

#include "edit_cage_state.h"

extern float colorCyan[4];
extern float transYellow[4];
extern float colorYellow[4];
extern float colorBlack[4];
extern float colorWhite[4];
extern float colorGreen[4];
extern float colorRed[4];
extern float colorActiveBlue[4];
extern float colorOrange[4];

// The frame of one draw call.
struct OverlayView {
    int viewport;      // index in the host's viewport list
    int perspective;   // perspective, light and camera views
    double right[3];   // R
    double up[3];      // U
    double forward[3]; // F = R x U
    double origin[3];  // the eye (the access's viewPos)
    double pixel;      // u, the world size of a pixel (perspective: at depth 1)
    double distance;   // d
    double farClip;    // the view's far clipping distance
    double offset;     // o = 0.01 u
    int width, height; // the viewport in pixels
};

// The viewport the access draws into: the one whose eye and type are the
// access's; -1 when none is.
int findDrawnViewport(const LWCustomObjAccess* access);

// Fills the frame for viewport vp; 0 when the host gives no usable view.
int setupOverlayView(const LWCustomObjAccess* access, int vp, OverlayView* view);

// p (in/out): overlay coordinates to world, E + d (R (x + o) + U (y - o) + F z).
void transPosScreenToWorld(double p[3], const double right[3], const double up[3],
                           const double forward[3], const double origin[3], double distance,
                           double offset);

// A filled rectangle, its top-left corner at `corner`, extending right and
// down.
void drawQuadOnScreen(LWCustomObjAccess* access, const double corner[3], const double right[3],
                      const double up[3], const double forward[3], const double origin[3],
                      double width, double height, double distance, double offset);

// An integer in glyph squares of side cellSize, their left edges 0.8
// cellSize apart, the run centred on centre's x with its top at centre's y.
// The glyph texture must be set.
void drawNumber(LWCustomObjAccess* access, int number, const double centre[3],
                const double right[3], const double up[3], const double forward[3],
                const double origin[3], double cellSize, double distance, double offset);

// One glyph, width x height, centred horizontally on topCentre and
// extending down from it. The glyph texture must be set.
void drawChara(LWCustomObjAccess* access, int code, const double topCentre[3],
               const double right[3], const double up[3], const double forward[3],
               const double origin[3], double width, double height, double distance, double offset);

// A circle of radius pixels about centre (world) in the plane of the two
// unit axes, scale being the world size of a pixel there: filled (outline
// 0) as a fan of solid triangles, else a dashed closed outline. The segment
// count grows with the radius: 8, 16, 32 or 64.
void drawFillCircle(EditCageState* state, int outline, float colour[4], const double centre[3],
                    const double axisU[3], const double axisV[3], double radius, double scale);

// The number of segments drawFillCircle uses for a radius.
int circleSegments(double radius);

#endif
