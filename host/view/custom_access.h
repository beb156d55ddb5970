// The custom-object access: the record a custom object's evaluate (and a
// Layout tool's draw) gets to draw into a viewport. Its dispData is a
// CustomDrawing, which turns each call into raster drawing for one view:
// positions in the call's coordinate system (world; the coordinate item's
// space; that space scaled by the view's grid; or viewport pixels with depth
// 0 to 1) are cut at the near plane, projected and drawn with the colour,
// pattern, texture and draw mode set so far.
#ifndef MORVANE_HOST_VIEW_CUSTOM_ACCESS_H
#define MORVANE_HOST_VIEW_CUSTOM_ACCESS_H

#include "scene/scene.h"
#include "scene/transform.h"
#include "view/raster.h"
#include "view/view_drawing.h"

#include <lwcustobj.h>

namespace host {

// The access's view member for a viewport type (LVVIEWT_*): LWVIEW_XZ for
// top and bottom, LWVIEW_XY for front and back, LWVIEW_ZY for left and
// right, and the perspective, light, camera and schematic codes.
int customObjView(int viewType);

class CustomDrawing {
  public:
    // Draws into raster through view; OBJECT coordinates are items' world
    // transforms in scene at time.
    CustomDrawing(Raster& raster, const Projector& view, const Scene& scene, double time);
    CustomDrawing(const CustomDrawing&) = delete;
    CustomDrawing& operator=(const CustomDrawing&) = delete;

    // The access for one evaluate, its draw state reset: white, solid lines,
    // DEPTHTEST | DEPTHWRITE, no texture, coordinates of item (null: the
    // world). view and flags are the record's members; noDepthBuffer turns
    // depth testing and writing off whatever the draw mode says.
    LWCustomObjAccess* begin(LWItemID item, int view, int flags, bool noDepthBuffer);

    // What the record's members do; positions are in csys (LWCSYS_*).
    void setColour(const float rgba[4]);
    void setPattern(int pattern);
    void setTexture(int size, const unsigned char* image);
    void setUVs(const double* const uvs[4]);
    void setDrawMode(unsigned int mode) { mode_ = mode; }
    void setCSysItem(LWItemID item);
    void point(const double p[3], int csys);
    void line(const double a[3], const double b[3], int csys);
    // A convex polygon, filled (or outlined in LWDRAWMODE_OUTLINE); uvs, when
    // given, texture it with the texture set.
    void polygon(const double* const* points, unsigned int count, int csys,
                 const double* const* uvs = nullptr);
    // Facing the viewer; the radius in csys units (pixels in VIEWPORT).
    void circle(const double centre[3], double radius, int csys, bool filled);
    void text(const double p[3], const char* text, int justify, int csys);
    // Takes the UVs set for the next quad: false when there are none.
    bool takeUVs(double uvs[4][2]);
    bool hasTexture() const { return texture_.size > 0; }

  private:
    // Into the raster's state: the colour, pattern and draw mode.
    void applyState();
    // A position in csys to world (false for VIEWPORT or an unknown csys).
    bool toWorld(const double p[3], int csys, double out[3]) const;
    // A position in csys to the raster; false when it is behind the viewer.
    bool toScreen(const double p[3], int csys, ScreenPoint& out) const;

    Raster& raster_;
    const Projector& view_;
    const Scene& scene_;
    double time_;
    double gridSize_;
    LWCustomObjAccess access_{};

    Rgba colour_;
    LinePattern pattern_ = LinePattern::Solid;
    unsigned int mode_ = 0;
    bool noDepthBuffer_ = false;
    Affine object_; // the coordinate item's world transform
    Affine icon_;   // the same, scaled by the grid
    Texture texture_;
    double uvs_[4][2] = {};
    bool uvsSet_ = false;
};

} // namespace host

#endif
