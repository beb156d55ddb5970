// Text in the built-in bitmap font, blended over the picture without depth.
#include "view/raster.h"

#include "view/bitmap_font.h"

#include <algorithm>
#include <climits>

namespace host {

void Raster::text(int x, int y, const std::string& text, int justify) {
    std::vector<unsigned int> codes = characterCodes(text);
    long width = long(codes.size()) * kCellWidth;
    long left = x - (justify == 1 ? width / 2 : justify == 2 ? width : 0);
    // Only the characters that can reach the clip rectangle.
    long first = std::max(0L, (clipLeft_ - left) / kCellWidth - 1);
    for (long i = first; i < long(codes.size()); ++i) {
        long cell = left + i * kCellWidth;
        if (cell >= clipRight_) break;
        GlyphRows rows = glyphOf(codes[i]);
        for (int row = 0; row < kGlyphHeight; ++row) {
            long py = long(y) + kGlyphTop + row;
            if (py < clipTop_ || py >= clipBottom_) continue;
            for (int column = 0; column < kGlyphWidth; ++column) {
                long px = cell + column;
                if (!(rows[row] >> (kGlyphWidth - 1 - column) & 1) || px < clipLeft_ ||
                    px >= clipRight_)
                    continue;
                blend(int(px), int(py), state_.colour);
            }
        }
    }
}

int Raster::textWidth(const std::string& text) {
    return int(std::min(characterCodes(text).size() * kCellWidth, std::size_t(INT_MAX)));
}

int Raster::textHeight() {
    return kCellHeight;
}

} // namespace host
