// The strip's glyph image: 16 cells of 32 x 32 texels, each glyph in its own
// cell and told apart from the others.
#include "tool/glyph_texture.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

const unsigned char* texel(int code, int x, int y) {
    const int tx = (code % 4) * 32 + x, ty = (code / 4) * 32 + y;
    return glyphTexture() + (ty * 128 + tx) * 4;
}

std::vector<unsigned char> cell(int code) {
    std::vector<unsigned char> bytes;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            bytes.insert(bytes.end(), texel(code, x, y), texel(code, x, y) + 4);
    return bytes;
}

// Opaque light texels of a cell in one row.
int whiteInRow(int code, int y) {
    int n = 0;
    for (int x = 0; x < 32; ++x)
        n += texel(code, x, y)[0] >= 200 && texel(code, x, y)[3] == 255;
    return n;
}

TEST(GlyphTexture, EveryGlyphIsDistinctAndKeepsToItsCell) {
    std::set<std::vector<unsigned char>> seen;
    for (int code = 0; code < 16; ++code) {
        int white = 0;
        for (int y = 0; y < 32; ++y)
            white += whiteInRow(code, y);
        EXPECT_GT(white, 20) << code;
        EXPECT_TRUE(seen.insert(cell(code)).second) << code;
    }
    // Digits, minus and marker are white on a dark rim with clear corners.
    for (int code = 0; code <= kGlyphMarker; ++code) {
        EXPECT_EQ(texel(code, 0, 0)[3], 0) << code;
        EXPECT_EQ(texel(code, 31, 31)[3], 0) << code;
    }
    // Buttons are opaque all over.
    for (int code = kGlyphGrip; code <= kGlyphRightTriangle; ++code)
        for (int y = 0; y < 32; y += 7)
            for (int x = 0; x < 32; x += 7)
                EXPECT_EQ(texel(code, x, y)[3], 255) << code;
}

TEST(GlyphTexture, TheMarkerPointsUp) {
    EXPECT_LT(whiteInRow(kGlyphMarker, 5), whiteInRow(kGlyphMarker, 15));
    EXPECT_LT(whiteInRow(kGlyphMarker, 15), whiteInRow(kGlyphMarker, 27));
}

} // namespace
