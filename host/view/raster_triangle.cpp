// Filled triangles: edge functions in exact integers over corners snapped to
// 1/256 pixel, sampled at pixel centres, with the top-left rule deciding the
// centres that lie on an edge. Exactness is what makes two triangles that
// share an edge cover each pixel along it once, neither twice nor never.
#include "view/raster.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

// Products of two snapped coordinates need more than 64 bits.
__extension__ typedef __int128 Wide;

constexpr long long kSubpixels = 256;
// Corners further out than this many pixels are refused: their snapped
// products would no longer fit a Wide.
constexpr double kFarthest = 1099511627776.0; // 2^40

// A value interpolated linearly in window space: f(x, y) = f0 + dx (x - x0)
// + dy (y - y0).
struct Plane {
    double x0, y0, f0, dx, dy;
    double at(double x, double y) const { return f0 + dx * (x - x0) + dy * (y - y0); }
};

Plane planeOf(const double x[3], const double y[3], const double f[3]) {
    double ux = x[1] - x[0], uy = y[1] - y[0], vx = x[2] - x[0], vy = y[2] - y[0];
    double area = ux * vy - uy * vx;
    if (area == 0) return Plane{x[0], y[0], f[0], 0, 0}; // a sliver far out: flat
    double df1 = f[1] - f[0], df2 = f[2] - f[0];
    return Plane{x[0], y[0], f[0], (df1 * vy - df2 * uy) / area, (df2 * ux - df1 * vx) / area};
}

// The snapped corners of a triangle that will be drawn.
struct Corners {
    long long x[3], y[3]; // in 1/kSubpixels pixel
    double px[3], py[3];  // the same in pixels, for interpolation
    Wide area;            // twice the area: positive when clockwise on screen
};

// False when the triangle draws nothing: a corner not finite or too far out,
// no area once snapped, or its back showing while culled.
bool snap(const ScreenPoint (&p)[3], bool cullBack, Corners& out) {
    for (int i = 0; i < 3; ++i) {
        if (!(std::fabs(p[i].x) <= kFarthest && std::fabs(p[i].y) <= kFarthest) ||
            !std::isfinite(p[i].z))
            return false;
        out.x[i] = std::llround(p[i].x * kSubpixels);
        out.y[i] = std::llround(p[i].y * kSubpixels);
        out.px[i] = double(out.x[i]) / kSubpixels;
        out.py[i] = double(out.y[i]) / kSubpixels;
    }
    out.area = Wide(out.x[1] - out.x[0]) * (out.y[2] - out.y[0]) -
               Wide(out.y[1] - out.y[0]) * (out.x[2] - out.x[0]);
    // With y down a positive area turns right: clockwise on screen, the back.
    return out.area != 0 && !(cullBack && out.area > 0);
}

// Calls visit(x, y) for every pixel of the clip rectangle whose centre the
// triangle covers.
template <class Visit>
void cover(const Corners& c, int left, int top, int right, int bottom, Visit visit) {
    int order[3] = {0, 1, 2};
    if (c.area < 0) std::swap(order[1], order[2]); // now inside is where every edge is positive
    // Pixels whose centres (x + 1/2) fall in the bounding box, within the
    // clip rectangle.
    auto firstPixel = [](const long long(&v)[3], int clip) {
        double lo = double(std::min({v[0], v[1], v[2]}));
        return int(std::max(std::ceil(lo / kSubpixels - 0.5), double(clip)));
    };
    auto lastPixel = [](const long long(&v)[3], int clip) {
        double hi = double(std::max({v[0], v[1], v[2]}));
        return int(std::min(std::floor(hi / kSubpixels - 0.5), double(clip - 1)));
    };
    int x0 = firstPixel(c.x, left), x1 = lastPixel(c.x, right);
    int y0 = firstPixel(c.y, top), y1 = lastPixel(c.y, bottom);
    if (x0 > x1 || y0 > y1) return;
    long long firstX = x0 * kSubpixels + kSubpixels / 2, firstY = y0 * kSubpixels + kSubpixels / 2;
    Wide startEdge[3], stepX[3], stepY[3];
    for (int e = 0; e < 3; ++e) {
        int from = order[e], to = order[(e + 1) % 3];
        long long dx = c.x[to] - c.x[from], dy = c.y[to] - c.y[from];
        // Top-left rule: a centre exactly on the edge belongs to the
        // triangle when the edge is a top (level, running right) or a left
        // one (running up); the neighbour sees it the other way round.
        bool owns = dy < 0 || (dy == 0 && dx > 0);
        startEdge[e] =
            Wide(dx) * (firstY - c.y[from]) - Wide(dy) * (firstX - c.x[from]) - (owns ? 0 : 1);
        stepX[e] = -Wide(dy) * kSubpixels;
        stepY[e] = Wide(dx) * kSubpixels;
    }
    for (int y = y0; y <= y1; ++y) {
        Wide edge[3] = {startEdge[0], startEdge[1], startEdge[2]};
        for (int x = x0; x <= x1; ++x) {
            if ((edge[0] | edge[1] | edge[2]) >= 0) visit(x, y);
            for (int e = 0; e < 3; ++e)
                edge[e] += stepX[e];
        }
        for (int e = 0; e < 3; ++e)
            startEdge[e] += stepY[e];
    }
}

} // namespace

void Raster::triangle(ScreenPoint a, ScreenPoint b, ScreenPoint c) {
    Corners corners;
    if (!snap({a, b, c}, state_.cullBack, corners)) return;
    const double z[3] = {a.z, b.z, c.z};
    Plane depth = planeOf(corners.px, corners.py, z);
    cover(corners, clipLeft_, clipTop_, clipRight_, clipBottom_,
          [&](int x, int y) { shade(x, y, depth.at(x + 0.5, y + 0.5), state_.colour); });
}

void Raster::texturedTriangle(ScreenPoint a, ScreenPoint b, ScreenPoint c, const double uvA[2],
                              const double uvB[2], const double uvC[2], const Texture& texture) {
    int size = texture.size;
    if (size <= 0 || texture.rgba.size() < std::size_t(size) * std::size_t(size) * 4) return;
    Corners corners;
    if (!snap({a, b, c}, state_.cullBack, corners)) return;
    const double z[3] = {a.z, b.z, c.z}, u[3] = {uvA[0], uvB[0], uvC[0]},
                 v[3] = {uvA[1], uvB[1], uvC[1]};
    Plane depth = planeOf(corners.px, corners.py, z);
    Plane across = planeOf(corners.px, corners.py, u);
    Plane down = planeOf(corners.px, corners.py, v);
    auto texel = [size](double t) { // nearest, clamped; NaN gives the first
        double i = std::floor(t * size);
        return i >= 0 ? (i < size ? int(i) : size - 1) : 0;
    };
    const Rgba tint = state_.colour;
    cover(corners, clipLeft_, clipTop_, clipRight_, clipBottom_, [&](int x, int y) {
        double cx = x + 0.5, cy = y + 0.5;
        const std::uint8_t* t =
            &texture
                 .rgba[(std::size_t(texel(down.at(cx, cy))) * size + texel(across.at(cx, cy))) * 4];
        Rgba colour{tint.r * t[0] / 255.0f, tint.g * t[1] / 255.0f, tint.b * t[2] / 255.0f,
                    tint.a * t[3] / 255.0f};
        shade(x, y, depth.at(cx, cy), colour);
    });
}

} // namespace host
