// Drawing world-space lines and polygons into one viewport: the clipping the
// raster leaves to its callers. Lines and polygons are cut at the view's near
// plane in view space before they are projected, so an element partly
// behind the viewer draws what is in front; then they are cut to the
// viewport's rectangle in window pixels, so nothing very far off screen
// reaches the raster. Non-finite inputs draw nothing.
#ifndef MORVANE_HOST_VIEW_VIEW_DRAWING_H
#define MORVANE_HOST_VIEW_VIEW_DRAWING_H

#include "view/raster.h"
#include "view/viewport.h"

#include <cstddef>

namespace host {

// A position with the texture coordinates it carries (unused when drawing
// untextured).
struct WorldVertex {
    double p[3] = {0, 0, 0};
    double uv[2] = {0, 0};
};

struct ScreenVertex {
    ScreenPoint p;
    double uv[2] = {0, 0};
};

// Where a view's window pixels land in a raster: ViewGeometry::project
// counts from the viewport's top-left, the raster from the picture's.
class Projector {
  public:
    Projector(const ViewGeometry& view, double originX, double originY);

    const ViewGeometry& view() const { return view_; }
    // Depth along the view direction, measured from the viewer.
    double depth(const double world[3]) const;
    // Where lines and polygons are cut: a hair in front of the near plane,
    // so a point cut onto it still projects.
    double nearDepth() const { return nearDepth_; }
    bool inFront(const double world[3]) const;
    // The raster position of a point in front of the near plane.
    ScreenPoint screen(const double world[3]) const;
    // A position in viewport pixels (depth 0 to 1) in the raster.
    ScreenPoint fromViewport(double x, double y, double z) const {
        return ScreenPoint{x + originX_, y + originY_, z};
    }
    // World units per pixel at a depth.
    double pixelWorldSize(double depth) const;
    // The viewport in raster pixels, a little larger: what is clipped to.
    void bounds(double& left, double& top, double& right, double& bottom) const;

  private:
    const ViewGeometry& view_;
    double originX_, originY_;
    double nearDepth_;
};

// Screen-space drawing, cut to the projector's bounds.
void drawScreenPoint(Raster& raster, const Projector& view, ScreenPoint p);
void drawScreenLine(Raster& raster, const Projector& view, ScreenPoint a, ScreenPoint b);
// A convex polygon as a triangle fan; textured when texture is given.
void drawScreenConvex(Raster& raster, const Projector& view, const ScreenVertex* vertices,
                      std::size_t count, const Texture* texture = nullptr);

// World-space drawing, cut at the near plane and then as above.
void drawWorldLine(Raster& raster, const Projector& view, const double a[3], const double b[3]);
void drawWorldPoint(Raster& raster, const Projector& view, const double p[3]);
void drawWorldConvex(Raster& raster, const Projector& view, const WorldVertex* vertices,
                     std::size_t count, const Texture* texture = nullptr);
// A closed outline through the vertices.
void drawWorldOutline(Raster& raster, const Projector& view, const WorldVertex* vertices,
                      std::size_t count);

} // namespace host

#endif
