#include "pictures.h"

#include "view/viewport_drawing.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace app {

namespace {

// Room around the fitted scene, for what moves away from where it stood.
constexpr double kMargin = 1.35;

void widen(host::Viewport& view) {
    if (view.type == LVVIEWT_PERSPECTIVE)
        view.distance *= kMargin;
    else
        view.unitsPerPixel *= kMargin;
}

bool isSideView(int type) {
    return type >= LVVIEWT_TOP && type <= LVVIEWT_LEFT;
}

// Every view but those through a camera or light framed on the scene; the
// side views share the zoom of the widest, so that whatever swings out of
// one side of the scene's box stays in every view.
void fitWithMargin(host::ViewportWindow& window, const host::Scene& scene, double time) {
    double sideZoom = 0;
    for (int i = 0; i < window.count(); ++i) {
        int type = window.view(i).type;
        if (type == LVVIEWT_CAMERA || type == LVVIEWT_LIGHT) continue;
        window.fit(scene, i, time);
        widen(window.view(i));
        if (isSideView(type)) sideZoom = std::max(sideZoom, window.view(i).unitsPerPixel);
    }
    for (int i = 0; i < window.count(); ++i)
        if (isSideView(window.view(i).type)) window.view(i).unitsPerPixel = sideZoom;
}

const double kPi = 3.14159265358979323846;

} // namespace

RenderPictures::RenderPictures(host::Host& layout, int first, int last, bool contactSheet)
    : layout_(layout), sheet_(contactSheet) {
    const double time = layout.scene().timing().time;
    fitWithMargin(layout.viewports(), layout.scene(), time);
    if (!sheet_) return;

    // Frames spread evenly from first to last, each once.
    const int cells = kSheetColumns * kSheetRows;
    for (int k = 0; k < cells; ++k) {
        int f = first + int(std::lround(double(k) * (last - first) / (cells - 1)));
        if (sheetFrames_.empty() || f != sheetFrames_.back()) sheetFrames_.push_back(f);
    }
    // One perspective view from the front right, a little above.
    thumbnail_.setLayout(1);
    thumbnail_.resize(kCellWidth, kCellHeight);
    host::Viewport& view = thumbnail_.view(0);
    view.type = LVVIEWT_PERSPECTIVE;
    view.heading = -35 * kPi / 180;
    view.pitch = 15 * kPi / 180;
    fitWithMargin(thumbnail_, layout.scene(), time);
}

host::Raster RenderPictures::frame(int frame) {
    const host::DrawnScene what{layout_.scene(), layout_.instances(), &layout_.toolRecord(),
                                layout_.scene().timing().time};
    if (sheet_ && cells_.size() < sheetFrames_.size() && sheetFrames_[cells_.size()] == frame)
        cells_.push_back(host::drawWindow(thumbnail_, what));
    return host::drawWindow(layout_.viewports(), what);
}

host::Raster RenderPictures::contactSheet() const {
    const int gap = 8, label = host::Raster::textHeight() + 8;
    const int width = kSheetColumns * (kCellWidth + gap) + gap;
    const int height = kSheetRows * (kCellHeight + label + gap) + gap;
    host::Raster sheet(width, height);
    sheet.clear({0.16f, 0.16f, 0.17f, 1});
    sheet.state().colour = {0.92f, 0.92f, 0.92f, 1};
    for (size_t k = 0; k < cells_.size(); ++k) {
        const int x = gap + int(k % kSheetColumns) * (kCellWidth + gap);
        const int y = gap + int(k / kSheetColumns) * (kCellHeight + label + gap);
        sheet.blit(cells_[k], x, y);
        sheet.text(x + kCellWidth / 2, y + kCellHeight + 4,
                   "frame " + std::to_string(sheetFrames_[k]), 1);
    }
    return sheet;
}

} // namespace app
