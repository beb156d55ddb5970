#include "tool/glyph_texture.h"

#include <math.h>
#include <string.h>

unsigned char digitsRGBA[kGlyphTextureSize * kGlyphTextureSize * 4];

namespace {

// Digits on a 5 x 7 grid, one byte per row, bit 4 the left column.
const unsigned char kDigitRows[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};

// A glyph's shape in its cell: 1 where the light part is.
typedef bool (*Shape)(int code, int x, int y);

bool digitShape(int code, int x, int y) {
    // Font cells of 4 x 4 texels, the 20 x 28 digit centred in the cell.
    const int col = (x - 6) / 4, row = (y - 2) / 4;
    if (x < 6 || y < 2 || col > 4 || row > 6) return false;
    return (kDigitRows[code][row] >> (4 - col)) & 1;
}

bool minusShape(int, int x, int y) {
    return x >= 7 && x < 25 && y >= 13 && y < 19;
}

bool markerShape(int, int x, int y) {
    // Apex at the top centre, base along the bottom.
    const double half = (y - 3) * 0.5 + 0.5;
    return y >= 3 && y < 29 && fabs(x + 0.5 - 16.0) <= half;
}

// The emblems on the buttons, in the button's 32 x 32 cell.
bool emblemShape(int code, int x, int y) {
    switch (code) {
    case kGlyphGrip:
        return y >= 8 && y < 24 && x >= 9 && x < 26 && (x - 9) % 5 < 2;
    case kGlyphBracket:
        return (x >= 10 && x < 14 && y >= 8 && y < 24) || (x >= 10 && x < 23 && y >= 20 && y < 24);
    case kGlyphLeftTriangle:
        return x >= 10 && x < 22 && fabs(y + 0.5 - 16.0) <= (x - 10) * 0.6 + 0.5;
    case kGlyphRightTriangle:
        return x >= 10 && x < 22 && fabs(y + 0.5 - 16.0) <= (21 - x) * 0.6 + 0.5;
    default:
        return false;
    }
}

void put(int code, int x, int y, unsigned char grey, unsigned char alpha) {
    const int tx = (code % 4) * kGlyphCell + x, ty = (code / 4) * kGlyphCell + y;
    unsigned char* p = digitsRGBA + (ty * kGlyphTextureSize + tx) * 4;
    p[0] = p[1] = p[2] = grey;
    p[3] = alpha;
}

// The distance in texels from (x, y) to the nearest texel of the shape, up
// to limit.
int distanceToShape(Shape shape, int code, int x, int y, int limit) {
    int best = limit + 1;
    for (int dy = -limit; dy <= limit; ++dy)
        for (int dx = -limit; dx <= limit; ++dx) {
            const int sx = x + dx, sy = y + dy;
            if (sx < 0 || sy < 0 || sx >= kGlyphCell || sy >= kGlyphCell) continue;
            const int d = int(sqrt(double(dx * dx + dy * dy)) + 0.5);
            if (d < best && shape(code, sx, sy)) best = d;
        }
    return best;
}

// White on a dark rim that fades out: readable on any background.
void drawRimmedGlyph(Shape shape, int code) {
    for (int y = 0; y < kGlyphCell; ++y)
        for (int x = 0; x < kGlyphCell; ++x) {
            const int d = distanceToShape(shape, code, x, y, 3);
            if (d == 0)
                put(code, x, y, 255, 255);
            else if (d <= 2)
                put(code, x, y, 24, 230);
            else if (d == 3)
                put(code, x, y, 24, 90);
        }
}

// A light bevelled button with a dark emblem; the drawing colour tints it.
void drawButton(int code) {
    for (int y = 0; y < kGlyphCell; ++y)
        for (int x = 0; x < kGlyphCell; ++x) {
            const int edge = x < y ? x : y, far = (31 - x) < (31 - y) ? 31 - x : 31 - y;
            unsigned char grey = 200;
            if (x == 0 || y == 0 || x == 31 || y == 31)
                grey = 40;
            else if (edge <= 2 && edge < far)
                grey = 250; // lit from the top left
            else if (far <= 2)
                grey = 120;
            if (emblemShape(code, x, y)) grey = 50;
            put(code, x, y, grey, 255);
        }
}

} // namespace

const unsigned char* glyphTexture(void) {
    static int built = 0;
    if (built) return digitsRGBA;
    memset(digitsRGBA, 0, sizeof digitsRGBA);
    for (int c = 0; c < 10; ++c)
        drawRimmedGlyph(digitShape, c);
    drawRimmedGlyph(minusShape, kGlyphMinus);
    drawRimmedGlyph(markerShape, kGlyphMarker);
    for (int c = kGlyphGrip; c <= kGlyphRightTriangle; ++c)
        drawButton(c);
    built = 1;
    return digitsRGBA;
}
