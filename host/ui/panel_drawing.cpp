// What a module draws on a panel: recorded in the panel's display list, in
// the order drawn, so that a picture of the panel can replay it.
#include "common/text_encoding.h"
#include "ui/panel_parts.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace host {

void PanelSystem::record(LWPanelID id, PanelDrawOp op) {
    Panel* panel = findPanel(id);
    if (!panel) return;
    panel->displayPixels += op.pixels.size();
    panel->display.push_back(std::move(op));
    while (panel->display.size() > kMaxDrawOps ||
           (panel->displayPixels > kMaxDrawPixels && panel->display.size() > 1)) {
        panel->displayPixels -= panel->display.front().pixels.size();
        panel->display.pop_front();
    }
}

void PanelSystem::panelLine(LWPanelID panel, int x0, int y0, int x1, int y1, unsigned int rgb) {
    PanelDrawOp op;
    op.kind = PanelDrawOp::Kind::Line;
    op.x = x0;
    op.y = y0;
    op.x1 = x1;
    op.y1 = y1;
    op.rgb = rgb & 0xFFFFFF;
    record(panel, std::move(op));
}

void PanelSystem::panelBox(LWPanelID panel, int x, int y, int w, int h, unsigned int rgb) {
    if (w <= 0 || h <= 0) return;
    PanelDrawOp op;
    op.kind = PanelDrawOp::Kind::Box;
    op.x = x;
    op.y = y;
    op.w = w;
    op.h = h;
    op.rgb = rgb & 0xFFFFFF;
    record(panel, std::move(op));
}

void PanelSystem::panelBorder(LWPanelID panel, int indent, int x, int y, int w, int h) {
    for (const BorderBox& b : borderBoxes(indent, x, y, w, h))
        panelBox(panel, b.x, b.y, b.w, b.h, b.rgb);
}

void PanelSystem::panelText(LWPanelID panel, const char* text, int x, int y, unsigned int rgb) {
    if (!text) return;
    PanelDrawOp op;
    op.kind = PanelDrawOp::Kind::Text;
    op.x = x;
    op.y = y;
    op.rgb = rgb & 0xFFFFFF;
    op.text = locale_.shown(std::string(text, strnlen(text, 4096)));
    record(panel, std::move(op));
}

void PanelSystem::blitPanel(LWRasterID srcId, int sx, int sy, LWPanelID panel, int dx, int dy,
                            int w, int h) {
    const Raster* src = findRaster(srcId);
    if (!src || !findPanel(panel) || w <= 0 || h <= 0) return;
    // Only the part of the rectangle inside the raster is copied.
    long x0 = std::max(0L, long(sx)), y0 = std::max(0L, long(sy));
    long x1 = std::min(long(src->w), long(sx) + w), y1 = std::min(long(src->h), long(sy) + h);
    if (x0 >= x1 || y0 >= y1) return;
    PanelDrawOp op;
    op.kind = PanelDrawOp::Kind::Pixels;
    op.x = int(long(dx) + (x0 - sx));
    op.y = int(long(dy) + (y0 - sy));
    op.w = int(x1 - x0);
    op.h = int(y1 - y0);
    op.pixels.reserve(size_t(op.w) * size_t(op.h));
    for (long y = y0; y < y1; ++y)
        for (long x = x0; x < x1; ++x)
            op.pixels.push_back(src->pixels[size_t(y) * size_t(src->w) + size_t(x)]);
    record(panel, std::move(op));
}

} // namespace host
