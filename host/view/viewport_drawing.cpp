#include "view/viewport_drawing.h"

#include "view/custom_objects.h"
#include "view/grid.h"
#include "view/scene_drawing.h"
#include "view/view_colours.h"
#include "view/view_drawing.h"

#include <cctype>
#include <string>

namespace host {

namespace {

const int kLabelMargin = 4;

// "Top", "Perspective", ... as Layout titles its views.
std::string viewLabel(int type) {
    std::string name = viewTypeName(type);
    if (!name.empty()) name[0] = char(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

void drawFrame(Raster& raster, const ViewRect& r) {
    raster.state() = RasterState{};
    raster.state().colour = colours::kBorder;
    raster.state().depthTest = false;
    raster.state().depthWrite = false;
    const double l = r.left + 0.5, t = r.top + 0.5;
    const double rr = r.left + r.width - 0.5, b = r.top + r.height - 0.5;
    raster.line({l, t, 0}, {rr, t, 0});
    raster.line({rr, t, 0}, {rr, b, 0});
    raster.line({rr, b, 0}, {l, b, 0});
    raster.line({l, b, 0}, {l, t, 0});
}

} // namespace

void drawViewport(Raster& raster, const ViewportWindow& window, int index, const DrawnScene& what) {
    const Viewport& settings = window.view(index);
    const ViewGeometry geometry = window.geometry(what.scene, index, what.time);
    const ViewRect& r = settings.rect;
    const Projector view(geometry, r.left, r.top);

    raster.setClip(r.left, r.top, r.width, r.height);
    raster.state() = RasterState{};
    raster.clear(colours::kBackground);
    drawGrid(raster, view);
    drawSceneItems(raster, view, what.scene, what.time, settings.level);
    drawCustomObjects(raster, view, index, what.scene, what.instances, what.time);
    drawLayoutTool(raster, view, what.scene, what.tool, what.time);

    raster.state() = RasterState{};
    raster.state().colour = colours::kLabel;
    raster.text(r.left + kLabelMargin, r.top + kLabelMargin, viewLabel(settings.type), 0);
    drawFrame(raster, r);
    raster.state() = RasterState{};
    raster.resetClip();
}

Raster drawWindow(const ViewportWindow& window, const DrawnScene& what) {
    Raster picture(window.width(), window.height());
    for (int i = 0; i < window.count(); ++i)
        drawViewport(picture, window, i, what);
    return picture;
}

Raster drawViewportAlone(const ViewportWindow& window, int index, const DrawnScene& what) {
    const ViewRect& r = window.view(index).rect;
    Raster whole(window.width(), window.height());
    drawViewport(whole, window, index, what);
    Raster alone(r.width, r.height);
    alone.blit(whole, -r.left, -r.top);
    return alone;
}

} // namespace host
