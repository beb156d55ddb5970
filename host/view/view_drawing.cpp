#include "view/view_drawing.h"

#include "common/vec3.h"

#include <cmath>
#include <vector>

namespace host {

namespace {

// Pixels beyond the viewport that are still drawn: a line's end just outside
// keeps its exact slope inside.
const double kGuard = 2.0;

bool finite3(const double p[3]) {
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

bool finite(const ScreenPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

ScreenVertex lerp(const ScreenVertex& a, const ScreenVertex& b, double t) {
    ScreenVertex out;
    out.p.x = a.p.x + (b.p.x - a.p.x) * t;
    out.p.y = a.p.y + (b.p.y - a.p.y) * t;
    out.p.z = a.p.z + (b.p.z - a.p.z) * t;
    for (int k = 0; k < 2; ++k)
        out.uv[k] = a.uv[k] + (b.uv[k] - a.uv[k]) * t;
    return out;
}

WorldVertex lerp(const WorldVertex& a, const WorldVertex& b, double t) {
    WorldVertex out;
    for (int k = 0; k < 3; ++k)
        out.p[k] = a.p[k] + (b.p[k] - a.p[k]) * t;
    for (int k = 0; k < 2; ++k)
        out.uv[k] = a.uv[k] + (b.uv[k] - a.uv[k]) * t;
    return out;
}

// Sutherland-Hodgman against one edge: keeps what has inside(v) >= 0.
template <class Vertex, class Inside>
void clipAgainst(std::vector<Vertex>& polygon, Inside inside, std::vector<Vertex>& scratch) {
    scratch.clear();
    const size_t n = polygon.size();
    for (size_t i = 0; i < n; ++i) {
        const Vertex& a = polygon[i];
        const Vertex& b = polygon[(i + 1) % n];
        const double da = inside(a), db = inside(b);
        if (da >= 0) scratch.push_back(a);
        if ((da >= 0) != (db >= 0)) scratch.push_back(lerp(a, b, da / (da - db)));
    }
    polygon.swap(scratch);
}

void fan(Raster& raster, const ScreenVertex* polygon, size_t count, const Texture* texture) {
    for (size_t i = 1; i + 1 < count; ++i) {
        const ScreenVertex &a = polygon[0], &b = polygon[i], &c = polygon[i + 1];
        if (texture)
            raster.texturedTriangle(a.p, b.p, c.p, a.uv, b.uv, c.uv, *texture);
        else
            raster.triangle(a.p, b.p, c.p);
    }
}

} // namespace

Projector::Projector(const ViewGeometry& view, double originX, double originY)
    : view_(view), originX_(originX), originY_(originY),
      nearDepth_(view.hither * (1.0 + 1e-6) + 1e-12) {}

double Projector::depth(const double world[3]) const {
    double d[3];
    vec3::subtract(world, view_.eye, d);
    return vec3::dot(d, view_.axes[2]);
}

bool Projector::inFront(const double world[3]) const {
    return depth(world) >= nearDepth_;
}

ScreenPoint Projector::screen(const double world[3]) const {
    ScreenPoint p;
    view_.project(world, p.x, p.y, p.z);
    p.x += originX_;
    p.y += originY_;
    return p;
}

double Projector::pixelWorldSize(double depth) const {
    return view_.perspective ? view_.pixelSize * depth : view_.pixelSize;
}

void Projector::bounds(double& left, double& top, double& right, double& bottom) const {
    left = originX_ - kGuard;
    top = originY_ - kGuard;
    right = originX_ + view_.rect.width + kGuard;
    bottom = originY_ + view_.rect.height + kGuard;
}

void drawScreenLine(Raster& raster, const Projector& view, ScreenPoint a, ScreenPoint b) {
    if (!finite(a) || !finite(b)) return;
    double left, top, right, bottom;
    view.bounds(left, top, right, bottom);
    // Liang-Barsky: the part of a + t (b - a) inside, t in [t0, t1].
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - left, right - a.x, a.y - top, bottom - a.y};
    double t0 = 0, t1 = 1;
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1) return;
    auto at = [&](double t) {
        return ScreenPoint{a.x + dx * t, a.y + dy * t, a.z + (b.z - a.z) * t};
    };
    raster.line(at(t0), at(t1));
}

void drawScreenConvex(Raster& raster, const Projector& view, const ScreenVertex* vertices,
                      std::size_t count, const Texture* texture) {
    if (count < 3) return;
    double left, top, right, bottom;
    view.bounds(left, top, right, bottom);
    bool inside = true;
    for (size_t i = 0; i < count; ++i) {
        const ScreenPoint& p = vertices[i].p;
        if (!finite(p)) return;
        inside = inside && p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    if (inside) return fan(raster, vertices, count, texture);
    std::vector<ScreenVertex> polygon(vertices, vertices + count), scratch;
    clipAgainst(
        polygon, [&](const ScreenVertex& v) { return v.p.x - left; }, scratch);
    clipAgainst(
        polygon, [&](const ScreenVertex& v) { return right - v.p.x; }, scratch);
    clipAgainst(
        polygon, [&](const ScreenVertex& v) { return v.p.y - top; }, scratch);
    clipAgainst(
        polygon, [&](const ScreenVertex& v) { return bottom - v.p.y; }, scratch);
    fan(raster, polygon.data(), polygon.size(), texture);
}

void drawWorldLine(Raster& raster, const Projector& view, const double a[3], const double b[3]) {
    if (!finite3(a) || !finite3(b)) return;
    const double cut = view.nearDepth();
    const double da = view.depth(a), db = view.depth(b);
    if (da < cut && db < cut) return;
    double from[3], to[3];
    vec3::copy(a, from);
    vec3::copy(b, to);
    if (da < cut) {
        const double t = (cut - da) / (db - da);
        for (int k = 0; k < 3; ++k)
            from[k] = a[k] + (b[k] - a[k]) * t;
    } else if (db < cut) {
        const double t = (cut - db) / (da - db);
        for (int k = 0; k < 3; ++k)
            to[k] = b[k] + (a[k] - b[k]) * t;
    }
    drawScreenLine(raster, view, view.screen(from), view.screen(to));
}

void drawScreenPoint(Raster& raster, const Projector& view, ScreenPoint p) {
    if (!finite(p)) return;
    double left, top, right, bottom;
    view.bounds(left, top, right, bottom);
    if (p.x < left || p.x > right || p.y < top || p.y > bottom) return;
    raster.point(p);
}

void drawWorldPoint(Raster& raster, const Projector& view, const double p[3]) {
    if (!finite3(p) || !view.inFront(p)) return;
    drawScreenPoint(raster, view, view.screen(p));
}

void drawWorldConvex(Raster& raster, const Projector& view, const WorldVertex* vertices,
                     std::size_t count, const Texture* texture) {
    if (count < 3) return;
    std::vector<WorldVertex> polygon(vertices, vertices + count), scratch;
    bool allInFront = true;
    for (const WorldVertex& v : polygon) {
        if (!finite3(v.p)) return;
        allInFront = allInFront && view.inFront(v.p);
    }
    if (!allInFront) {
        const double cut = view.nearDepth();
        clipAgainst(
            polygon, [&](const WorldVertex& v) { return view.depth(v.p) - cut; }, scratch);
        if (polygon.size() < 3) return;
    }
    std::vector<ScreenVertex> screen(polygon.size());
    for (size_t i = 0; i < polygon.size(); ++i) {
        screen[i].p = view.screen(polygon[i].p);
        screen[i].uv[0] = polygon[i].uv[0];
        screen[i].uv[1] = polygon[i].uv[1];
    }
    drawScreenConvex(raster, view, screen.data(), screen.size(), texture);
}

void drawWorldOutline(Raster& raster, const Projector& view, const WorldVertex* vertices,
                      std::size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (count == 2 && i == 1) break; // one edge, not two
        drawWorldLine(raster, view, vertices[i].p, vertices[(i + 1) % count].p);
    }
}

} // namespace host
