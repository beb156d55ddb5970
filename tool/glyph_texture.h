// The key strip's glyphs: one 128 x 128 RGBA image cut into a 4 x 4 grid of
// 32 x 32 cells, drawn by the module itself so that it needs no image files
// and no image library.
#ifndef MORVANE_TOOL_GLYPH_TEXTURE_H
#define MORVANE_TOOL_GLYPH_TEXTURE_H

enum {
    kGlyphTextureSize = 128,
    kGlyphCell = 32,
    kGlyphMinus = 10,
    kGlyphMarker = 11,       // upward triangle: the current time
    kGlyphGrip = 12,         // button with four grip bars
    kGlyphBracket = 13,      // button with an L-shaped bracket
    kGlyphLeftTriangle = 14, // previous-key button
    kGlyphRightTriangle = 15 // next-key button
};

// Codes 0 to 9 are the digits. Rows from the top, 4 bytes a texel.
extern unsigned char digitsRGBA[kGlyphTextureSize * kGlyphTextureSize * 4];

// Draws the glyphs into digitsRGBA; the first call does the work.
const unsigned char* glyphTexture(void);

#endif
