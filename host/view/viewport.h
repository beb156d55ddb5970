// Layout's viewports: a window of one, two or four views, each looking at
// the scene from a side, in perspective, or through a camera or light. A
// view is kept as what a person sets (type, centre, orbit, zoom); its
// geometry at a time (ViewGeometry) is derived from that and the scene, and
// answers everything the viewport service and the drawing need.
//
// Conventions (LightWave's: left-handed, +X right, +Y up, +Z forward):
// view coordinates have x to the right on screen, y up, z into the screen.
// The view-to-world rotation's rows are the world directions of the
// screen's right, up and forward. Window pixels count from the viewport's
// top-left, x right, y down, pixel centres at +0.5.
//
// The side views look as Layout's do: Top down -Y (+X right, +Z up), Bottom
// up +Y (+X right, -Z up), Back along +Z (+X right), Front along -Z (-X
// right), Right along -X (+Z right), Left along +X (-Z right); the last four
// have +Y up. Their viewer stands far behind the centre (viewport.cpp says
// how far), so what a plug-in draws one unit in front of it is in front of
// the scene.
#ifndef MORVANE_HOST_VIEW_VIEWPORT_H
#define MORVANE_HOST_VIEW_VIEWPORT_H

#include <lwrender.h>

#include <string>
#include <vector>

namespace host {

class Scene;

struct ViewRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// What a person sets. For the six side views only centre and zoom count;
// perspective orbits the centre at heading, pitch and distance; camera and
// light views look through their item, whose zoom gives the field of view.
struct Viewport {
    int type = LVVIEWT_TOP; // LVVIEWT_*
    ViewRect rect;
    double centre[3] = {0, 0, 0};
    double heading = 0, pitch = 0; // radians, perspective only
    double distance = 5;           // metres from the centre, perspective only
    double unitsPerPixel = 0.01;   // world size of a pixel (perspective: at the centre)
    LWItemID item = nullptr;       // the camera or light of those views
    int level = LWOVIS_SHADED;     // LWOVIS_*: how objects are drawn
    unsigned int flags = 0;        // LWVIEWF_*
};

// A view's geometry at one time.
struct ViewGeometry {
    int type = LVVIEWT_TOP;
    ViewRect rect;
    bool perspective = false;
    double eye[3] = {0, 0, 0}; // the viewer (orthographic: behind the centre)
    double axes[3][3] = {};    // rows: world right, up, forward (unit)
    double pixelSize = 0.01;   // orthographic: world units per pixel;
                               // perspective: per pixel at depth 1
    double hither = 0.01, yon = 1000;
    double grid = 1;         // grid spacing in metres (20 to 200 pixels)
    LWItemID item = nullptr; // the camera or light looked through, else null

    // World to window pixels and depth (0 at hither, 1 at yon; perspective
    // depth is 1/z-based as OpenGL's). False when the point is behind the
    // viewer or outside [hither, yon]; the window position is still given
    // when the point is in front of the viewer.
    bool project(const double world[3], double& winx, double& winy, double& winz) const;
    // The inverse of project for a window position and depth.
    bool unproject(double winx, double winy, double winz, double world[3]) const;
    // The 3 x 3 view-to-world matrix as the viewport service gives it: the
    // rows are the axes, right and up scaled by pixelSize.
    void xfrm(double m[9]) const;
    // OpenGL-convention matrices (m[column][row]) with their inverses.
    void projection(double m[4][4], double inverse[4][4]) const;
    void modelview(double m[4][4], double inverse[4][4]) const;
    // Depth along the view direction of a world point.
    double depthOf(const double world[3]) const;
    // The world size of one pixel at a point (perspective: at its depth, at
    // least hither).
    double pixelSizeAt(const double world[3]) const;
};

// The scene's bounding box at time in world coordinates: objects' current
// (deformed) points, else their mesh points placed by their motion; other
// items and objects without points by their world position. False, and the
// box of side 1 centred on the origin, when the scene has no items.
bool sceneBounds(const Scene& scene, double time, double lo[3], double hi[3]);

// The window and its views.
class ViewportWindow {
  public:
    ViewportWindow();

    int width() const { return width_; }
    int height() const { return height_; }
    // 1: one view filling the window; 2: two side by side; 4: Layout's quad
    // layout. Existing views keep their settings; new ones take defaults.
    void setLayout(int count);
    void resize(int width, int height);

    int count() const { return int(views_.size()); }
    Viewport& view(int index);             // throws HostError when out of range
    const Viewport& view(int index) const; // throws HostError when out of range

    // The view's geometry at time; camera and light views read their
    // item's world transform from the scene. Throws HostError for an index
    // out of range or settings that give no view (a zoom or distance that is
    // not positive, a type without geometry).
    ViewGeometry geometry(const Scene& scene, int index, double time) const;
    // Frames the scene's bounding box (sceneBounds) in the view: side views
    // centre it and zoom so that it fills 90% of the rectangle's tighter
    // side; perspective keeps heading, pitch and field of view and moves
    // back until the box's enclosing sphere fits. Items all at one spot are
    // framed as a cube of side 1 around it. Views through a camera or light
    // cannot be fitted (HostError).
    void fit(const Scene& scene, int index, double time);

  private:
    int width_ = 1280, height_ = 960;
    std::vector<Viewport> views_;
};

// LVVIEWT_* codes by name as scripts give them ("top", "perspective", ...);
// -1 for an unknown name.
int viewTypeByName(const std::string& name);
const char* viewTypeName(int type);

} // namespace host

#endif
