// The raster service's off-screen images: pixels in memory, drawn into by
// the module and read back by tests.
#include "ui/panel_parts.h"

#include <algorithm>
#include <cstdlib>

namespace host {

namespace {

// A grey ramp with a few accents; headless, so only consistency matters.
const unsigned int kPalette[44] = {
    0x000000, 0xFFFFFF, 0x6E6E6E, 0x000000, 0xFFFFFF, 0x505050, 0xE0E0E0, 0x808080, 0x9A9A9A,
    0x202020, 0xF0E68C, 0x8A8A8A, 0x000000, 0x3C3C3C, 0x5A5A5A, 0x828282, 0xC8C8C8, 0xFFF5B4,
    0xF0E08C, 0xE0CC64, 0xC8B446, 0xAA962D, 0x8C7819, 0xB4E6F0, 0x8CD2E6, 0x64BED8, 0x46A0BE,
    0x2D82A0, 0x196482, 0xE6D2F0, 0xD2B4E6, 0xBE96D8, 0xA078BE, 0x825AA0, 0x643C82, 0xDCE6B4,
    0xC8D296, 0xB4BE78, 0x96A05A, 0x78823C, 0x5A6428, 0x646464, 0x5A5A5A, 0x505050,
};

} // namespace

PanelSystem::Raster* PanelSystem::findRaster(LWRasterID raster) const {
    if (!raster) return nullptr;
    for (const auto& r : rasters_)
        if (r.get() == raster) return r.get();
    return nullptr;
}

unsigned int PanelSystem::rgbOf(int colour) {
    auto c = unsigned(colour);
    if ((c & 0xFF000000u) == 0x01000000u) {
        // RGB_ keeps blue above green.
        unsigned r = (c >> 16) & 0xFF, b = (c >> 8) & 0xFF, g = c & 0xFF;
        return (r << 16) | (g << 8) | b;
    }
    int index = colour - SYSTEM_Ic(0);
    if (index >= 0 && index < int(sizeof kPalette / sizeof kPalette[0])) return kPalette[index];
    return 0;
}

LWRasterID PanelSystem::createRaster(int w, int h, int) {
    // Bounded so a wild size is refused rather than exhausting memory.
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384 || long(w) * long(h) > 64L * 1024 * 1024)
        return nullptr;
    auto raster = std::make_unique<Raster>();
    raster->w = w;
    raster->h = h;
    raster->pixels.assign(size_t(w) * size_t(h), rgbOf(LWP_BG));
    rasters_.push_back(std::move(raster));
    return rasters_.back().get();
}

void PanelSystem::destroyRaster(LWRasterID id) {
    for (auto it = rasters_.begin(); it != rasters_.end(); ++it)
        if (it->get() == id) {
            rasters_.erase(it);
            return;
        }
}

void PanelSystem::rasterPixel(LWRasterID id, int x, int y, unsigned int colour) {
    Raster* r = findRaster(id);
    if (!r || x < 0 || y < 0 || x >= r->w || y >= r->h) return;
    r->pixels[size_t(y) * size_t(r->w) + size_t(x)] = colour & 0xFFFFFF;
}

void PanelSystem::rasterBox(LWRasterID id, int x, int y, int w, int h, unsigned int colour) {
    Raster* r = findRaster(id);
    if (!r || w <= 0 || h <= 0) return;
    long x0 = std::max(0L, long(x)), y0 = std::max(0L, long(y));
    long x1 = std::min(long(r->w), long(x) + w), y1 = std::min(long(r->h), long(y) + h);
    for (long py = y0; py < y1; ++py)
        for (long px = x0; px < x1; ++px)
            r->pixels[size_t(py) * size_t(r->w) + size_t(px)] = colour & 0xFFFFFF;
}

void PanelSystem::rasterLine(LWRasterID id, int x0, int y0, int x1, int y1, unsigned int colour) {
    Raster* r = findRaster(id);
    if (!r) return;
    // Endpoints far outside would only cost time: nothing there is drawn.
    const long limit = 1L << 20;
    if (std::labs(x0) > limit || std::labs(y0) > limit || std::labs(x1) > limit ||
        std::labs(y1) > limit)
        return;
    long dx = std::labs(long(x1) - x0), dy = -std::labs(long(y1) - y0);
    long sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long err = dx + dy, x = x0, y = y0;
    for (;;) {
        rasterPixel(id, int(x), int(y), colour);
        if (x == x1 && y == y1) break;
        long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

std::vector<BorderBox> borderBoxes(int indent, int x, int y, int w, int h) {
    if (w <= 0 || h < 0) return {};
    unsigned light = PanelSystem::rgbOf(LWP_HILIGHT), dark = PanelSystem::rgbOf(LWP_SHADOW);
    if (h == 0) return {{x, y, w, 1, dark}, {x, y + 1, w, 1, light}};
    if (indent < 0) std::swap(light, dark);
    int t = std::min(std::abs(indent), std::min(w, h) / 2);
    if (t <= 0) return {};
    return {{x, y, w, t, light},
            {x, y, t, h, light},
            {x, y + h - t, w, t, dark},
            {x + w - t, y, t, h, dark}};
}

void PanelSystem::rasterBorder(LWRasterID id, int indent, int x, int y, int w, int h) {
    if (!findRaster(id)) return;
    for (const BorderBox& b : borderBoxes(indent, x, y, w, h))
        rasterBox(id, b.x, b.y, b.w, b.h, b.rgb);
}

void PanelSystem::blitRaster(LWRasterID srcId, int sx, int sy, LWRasterID destId, int dx, int dy,
                             int w, int h) {
    Raster* src = findRaster(srcId);
    Raster* dest = findRaster(destId);
    if (!src || !dest || w <= 0 || h <= 0) return;
    w = std::min(w, src->w);
    h = std::min(h, src->h);
    // Copied out first: source and destination may be the same raster.
    std::vector<long> colours(size_t(w) * size_t(h), -1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            long px = long(sx) + x, py = long(sy) + y;
            if (px >= 0 && py >= 0 && px < src->w && py < src->h)
                colours[size_t(y) * size_t(w) + size_t(x)] =
                    long(src->pixels[size_t(py) * size_t(src->w) + size_t(px)]);
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            long colour = colours[size_t(y) * size_t(w) + size_t(x)];
            long px = long(dx) + x, py = long(dy) + y;
            if (colour >= 0 && px >= 0 && py >= 0 && px < dest->w && py < dest->h)
                dest->pixels[size_t(py) * size_t(dest->w) + size_t(px)] = unsigned(colour);
        }
}

bool PanelSystem::readRasterPixel(LWRasterID id, int x, int y, unsigned int* rgb) const {
    Raster* r = findRaster(id);
    if (!r || !rgb || x < 0 || y < 0 || x >= r->w || y >= r->h) return false;
    *rgb = r->pixels[size_t(y) * size_t(r->w) + size_t(x)];
    return true;
}
} // namespace host
