// The host's built-in bitmap font: fixed cells of kCellWidth x kCellHeight
// pixels, each holding a kGlyphWidth x kGlyphHeight glyph one row below the
// cell's top. ASCII 32..126 have glyphs; every other character draws as the
// outline of the glyph box.
#ifndef MORVANE_HOST_VIEW_BITMAP_FONT_H
#define MORVANE_HOST_VIEW_BITMAP_FONT_H

#include <cstdint>
#include <string>
#include <vector>

namespace host {

constexpr int kCellWidth = 6;
constexpr int kCellHeight = 10;
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kGlyphTop = 1; // glyph rows start this far below the cell's top

// kGlyphHeight rows from the top; bit kGlyphWidth - 1 is the leftmost pixel.
using GlyphRows = const std::uint8_t (&)[kGlyphHeight];

// The glyph of a character code; the box for codes outside 32..126.
GlyphRows glyphOf(unsigned int code);

// The characters of a UTF-8 text, one code each: ASCII as itself, a
// multi-byte sequence (or a stray byte) as one code above 126, which has no
// glyph.
std::vector<unsigned int> characterCodes(const std::string& text);

} // namespace host

#endif
