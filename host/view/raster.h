// A software rasteriser: an RGBA8 picture with a depth buffer, drawn into in
// window pixels. Everything the viewports show goes through it: the scene's
// own drawing and what plug-ins draw through the custom-object access. It
// knows nothing of 3D views: callers project first (view/viewport.h) and
// clip against the near plane themselves. Deterministic: the same calls give
// the same bytes.
#ifndef MORVANE_HOST_VIEW_RASTER_H
#define MORVANE_HOST_VIEW_RASTER_H

#include <cstdint>
#include <string>
#include <vector>

namespace host {

// Colour channels and alpha in [0, 1]; values outside are clamped when drawn.
struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

// A window position: x to the right and y down in pixels, pixel centres at
// +0.5; z is depth from 0 (near) to 1 (far).
struct ScreenPoint {
    double x = 0, y = 0, z = 0;
};

// Line patterns, numbered as the custom-object access numbers them. Each is
// a run of pixels on and off counted along the line from its start: Dot is
// 1 on, 2 off; Dash 6 on, 4 off; LongDot 10 on, 3 off, 1 on, 3 off.
enum class LinePattern { Solid = 0, Dot = 1, Dash = 2, LongDot = 3 };

// What each drawing call uses; set as a whole or member by member.
struct RasterState {
    Rgba colour;
    LinePattern pattern = LinePattern::Solid;
    bool depthTest = true;  // drawn only where nearer than (or as near as) the buffer
    bool depthWrite = true; // drawn pixels store their depth
    bool cullBack = false;  // triangles wound clockwise on screen are skipped
    int pointSize = 1;      // pixels, the side of a point's square
};

// A square RGBA texture: size x size pixels, 4 bytes each, rows from the top.
struct Texture {
    int size = 0;
    std::vector<std::uint8_t> rgba;
};

class Raster {
  public:
    // Sizes from 0 to kMaxSide a side; anything else throws HostError.
    static constexpr int kMaxSide = 16384;
    Raster(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // Fills the clip rectangle with a colour (alpha ignored) and the depth.
    void clear(Rgba colour, float depth = 1.0f);
    // Drawing is confined to this rectangle (a viewport); the whole picture
    // by default. Clipped to the picture.
    void setClip(int left, int top, int width, int height);
    void resetClip();

    RasterState& state() { return state_; }
    const RasterState& state() const { return state_; }

    // Every call blends its colour over the picture by its alpha (source
    // over), tests and writes depth as the state says, and stays inside the
    // clip rectangle. Depth is interpolated linearly in window space.
    void point(ScreenPoint p);
    // One pixel wide, both ends included, the pattern running from a.
    void line(ScreenPoint a, ScreenPoint b);
    // Filled by pixel centres (top-left rule), counter-clockwise on screen
    // (y down: a, b, c turning left) is the front. Corners are snapped to
    // 1/256 pixel; a triangle with a corner that is not finite or lies
    // further than 2^40 pixels out draws nothing.
    void triangle(ScreenPoint a, ScreenPoint b, ScreenPoint c);
    // As triangle, the colour taken from the texture at the interpolated UV
    // (u to the right, v down, [0, 1] over the texture; nearest texel,
    // clamped) multiplied by the state's colour.
    void texturedTriangle(ScreenPoint a, ScreenPoint b, ScreenPoint c, const double uvA[2],
                          const double uvB[2], const double uvC[2], const Texture& texture);

    // Text in the built-in bitmap font, baseline-free: (x, y) is the top of
    // the text's box, at its left edge, centre or right edge by justify
    // (0 left, 1 centre, 2 right). No depth test or write; ASCII 32..126,
    // anything else draws as a box.
    void text(int x, int y, const std::string& text, int justify);
    static int textWidth(const std::string& text);
    static int textHeight();

    // Copies another picture's pixels in at (left, top), clipped; no depth.
    void blit(const Raster& from, int left, int top);

    // Outside the picture: transparent black and depth 1.
    Rgba pixel(int x, int y) const;
    float depth(int x, int y) const;
    // width * height * 4 bytes, rows from the top.
    const std::vector<std::uint8_t>& rgba() const { return rgba_; }

  private:
    friend bool readPng(const std::string& path, Raster& out, std::string& error);

    // Depth-tests, blends and writes one pixel inside the clip rectangle.
    void shade(int x, int y, double z, const Rgba& colour);
    // The same without depth, for text.
    void blend(int x, int y, const Rgba& colour);
    // The pixels from the one holding (x0, y0) to the one holding (x1, y1),
    // both included, inside the clip rectangle; the first pixel sits at
    // position `phase` of the pattern.
    void stepLine(double x0, double y0, double z0, double x1, double y1, double z1, double phase);

    int width_, height_;
    int clipLeft_, clipTop_, clipRight_, clipBottom_; // right/bottom exclusive
    RasterState state_;
    std::vector<std::uint8_t> rgba_;
    std::vector<float> depth_;
};

// Writes the picture as an 8-bit RGB PNG (alpha dropped: pictures are
// opaque). False with a reason when the file cannot be written.
bool writePng(const std::string& path, const Raster& picture, std::string& error);
// Reads a PNG (8-bit RGB or RGBA; others are converted) into `out`. False
// with a reason, and `out` untouched, when the file is missing or no PNG.
bool readPng(const std::string& path, Raster& out, std::string& error);

} // namespace host

#endif
