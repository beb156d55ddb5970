#include "view/custom_access.h"

#include "view/grid.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace host {

namespace {

// Textures larger than this are refused: a garbage size must not allocate
// gigabytes.
const int kMaxTextureSize = 4096;
// The pixels along a circle's outline per segment.
const double kCirclePixelsPerSegment = 3.0;

const double kPi = 3.14159265358979323846;

CustomDrawing& self(void* data) {
    return *static_cast<CustomDrawing*>(data);
}

} // namespace

int customObjView(int type) {
    switch (type) {
    case LVVIEWT_TOP:
    case LVVIEWT_BOTTOM:
        return LWVIEW_XZ;
    case LVVIEWT_BACK:
    case LVVIEWT_FRONT:
        return LWVIEW_XY;
    case LVVIEWT_RIGHT:
    case LVVIEWT_LEFT:
        return LWVIEW_ZY;
    case LVVIEWT_LIGHT:
        return LWVIEW_LIGHT;
    case LVVIEWT_CAMERA:
        return LWVIEW_CAMERA;
    case LVVIEWT_SCHEMATIC:
        return LWVIEW_SCHEMA;
    default:
        return LWVIEW_PERSP;
    }
}

namespace {

// The record's members: each hands its call to the CustomDrawing.
void cbSetColor(void* d, float rgba[4]) {
    if (rgba) self(d).setColour(rgba);
}
void cbSetPattern(void* d, int pattern) {
    self(d).setPattern(pattern);
}
void cbSetTexture(void* d, int size, unsigned char* image) {
    self(d).setTexture(size, image);
}
void cbSetUVs(void* d, double uv0[2], double uv1[2], double uv2[2], double uv3[2]) {
    const double* uvs[4] = {uv0, uv1, uv2, uv3};
    self(d).setUVs(uvs);
}
void cbPoint(void* d, double p[3], int csys) {
    if (p) self(d).point(p, csys);
}
void cbLine(void* d, double a[3], double b[3], int csys) {
    if (a && b) self(d).line(a, b, csys);
}
void cbTriangle(void* d, double a[3], double b[3], double c[3], int csys) {
    const double* points[3] = {a, b, c};
    if (a && b && c) self(d).polygon(points, 3, csys);
}
void cbQuad(void* d, double a[3], double b[3], double c[3], double e[3], int csys) {
    if (!a || !b || !c || !e) return;
    CustomDrawing& drawing = self(d);
    double uv[4][2];
    const bool textured = drawing.takeUVs(uv) && drawing.hasTexture();
    const double* first[3] = {a, b, c};
    const double* second[3] = {a, c, e};
    const double* firstUV[3] = {uv[0], uv[1], uv[2]};
    const double* secondUV[3] = {uv[0], uv[2], uv[3]};
    drawing.polygon(first, 3, csys, textured ? firstUV : nullptr);
    drawing.polygon(second, 3, csys, textured ? secondUV : nullptr);
}
void cbCircle(void* d, double centre[3], double radius, int csys) {
    if (centre) self(d).circle(centre, radius, csys, false);
}
void cbDisk(void* d, double centre[3], double radius, int csys) {
    if (centre) self(d).circle(centre, radius, csys, true);
}
void cbText(void* d, double p[3], const char* text, int justify, int csys) {
    if (p && text) self(d).text(p, text, justify, csys);
}
void cbSetCSysItem(void* d, LWItemID item) {
    self(d).setCSysItem(item);
}
void cbPolygon(void* d, unsigned int count, double v[][3], int csys) {
    if (!v || !count) return;
    std::vector<const double*> points(count);
    for (unsigned int i = 0; i < count; ++i)
        points[i] = v[i];
    self(d).polygon(points.data(), count, csys);
}
void cbPolyIndexed(void* d, unsigned int count, unsigned int index[], double v[][3], int csys) {
    if (!v || !index || !count) return;
    std::vector<const double*> points(count);
    for (unsigned int i = 0; i < count; ++i)
        points[i] = v[index[i]];
    self(d).polygon(points.data(), count, csys);
}
void cbSetDrawMode(void* d, unsigned int mode) {
    self(d).setDrawMode(mode);
}
void cbSetPart(void*, unsigned int) {}

bool finite3(const double p[3]) {
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// The linear scale of a transform: the cube root of its volume change.
double scaleOf(const Affine& a) {
    return std::cbrt(std::fabs(determinant(a.m)));
}

} // namespace

CustomDrawing::CustomDrawing(Raster& raster, const Projector& view, const Scene& scene, double time)
    : raster_(raster), view_(view), scene_(scene), time_(time), gridSize_(gridSize(view)) {
    access_.dispData = this;
    access_.setColor = cbSetColor;
    access_.setPattern = cbSetPattern;
    access_.setTexture = cbSetTexture;
    access_.setUVs = cbSetUVs;
    access_.point = cbPoint;
    access_.line = cbLine;
    access_.triangle = cbTriangle;
    access_.quad = cbQuad;
    access_.circle = cbCircle;
    access_.text = cbText;
    access_.setCSysItem = cbSetCSysItem;
    access_.polygon = cbPolygon;
    access_.polyIndexed = cbPolyIndexed;
    access_.setDrawMode = cbSetDrawMode;
    access_.disk = cbDisk;
    access_.setPart = cbSetPart;
    for (int k = 0; k < 3; ++k) {
        access_.viewPos[k] = view.view().eye[k];
        access_.viewDir[k] = view.view().axes[2][k];
    }
}

LWCustomObjAccess* CustomDrawing::begin(LWItemID item, int view, int flags, bool noDepthBuffer) {
    access_.view = view;
    access_.flags = flags;
    colour_ = Rgba{1, 1, 1, 1};
    pattern_ = LinePattern::Solid;
    mode_ = LWDRAWMODE_DEPTHTEST | LWDRAWMODE_DEPTHWRITE;
    noDepthBuffer_ = noDepthBuffer;
    texture_ = Texture{};
    uvsSet_ = false;
    setCSysItem(item);
    return &access_;
}

void CustomDrawing::setColour(const float rgba[4]) {
    colour_ = Rgba{rgba[0], rgba[1], rgba[2], rgba[3]};
}

void CustomDrawing::setPattern(int pattern) {
    if (pattern >= LWLPAT_SOLID && pattern <= LWLPAT_LONGDOT)
        pattern_ = LinePattern(pattern);
    else
        pattern_ = LinePattern::Solid;
}

void CustomDrawing::setTexture(int size, const unsigned char* image) {
    texture_ = Texture{};
    if (!image || size <= 0 || size > kMaxTextureSize) return;
    texture_.size = size;
    texture_.rgba.assign(image, image + size_t(size) * size_t(size) * 4);
}

void CustomDrawing::setUVs(const double* const uvs[4]) {
    uvsSet_ = true;
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 2; ++k)
            uvs_[i][k] = uvs[i] ? uvs[i][k] : 0.0;
}

bool CustomDrawing::takeUVs(double uvs[4][2]) {
    if (!uvsSet_) return false;
    std::memcpy(uvs, uvs_, sizeof uvs_);
    uvsSet_ = false;
    return true;
}

void CustomDrawing::setCSysItem(LWItemID item) {
    object_ = worldTransform(scene_, item, time_);
    Affine grid = identityAffine();
    for (int k = 0; k < 3; ++k)
        grid.m[k][k] = gridSize_;
    icon_ = compose(object_, grid);
}

void CustomDrawing::applyState() {
    RasterState& state = raster_.state();
    state.colour = colour_;
    state.pattern = pattern_;
    state.depthTest = !noDepthBuffer_ && (mode_ & LWDRAWMODE_DEPTHTEST);
    state.depthWrite = !noDepthBuffer_ && (mode_ & LWDRAWMODE_DEPTHWRITE);
    state.cullBack = (mode_ & LWDRAWMODE_CULLFACE) != 0;
    state.pointSize = 1;
}

bool CustomDrawing::toWorld(const double p[3], int csys, double out[3]) const {
    if (!finite3(p)) return false;
    switch (csys) {
    case LWCSYS_WORLD:
        std::copy(p, p + 3, out);
        return true;
    case LWCSYS_OBJECT:
        transformPoint(object_, p, out);
        return true;
    case LWCSYS_ICON:
        transformPoint(icon_, p, out);
        return true;
    default:
        return false;
    }
}

bool CustomDrawing::toScreen(const double p[3], int csys, ScreenPoint& out) const {
    if (csys == LWCSYS_VIEWPORT) {
        if (!finite3(p)) return false;
        out = view_.fromViewport(p[0], p[1], p[2]);
        return true;
    }
    double world[3];
    if (!toWorld(p, csys, world) || !view_.inFront(world)) return false;
    out = view_.screen(world);
    return true;
}

void CustomDrawing::point(const double p[3], int csys) {
    applyState();
    if (csys == LWCSYS_VIEWPORT) {
        ScreenPoint s;
        if (toScreen(p, csys, s)) drawScreenPoint(raster_, view_, s);
        return;
    }
    double world[3];
    if (toWorld(p, csys, world)) drawWorldPoint(raster_, view_, world);
}

void CustomDrawing::line(const double a[3], const double b[3], int csys) {
    applyState();
    if (csys == LWCSYS_VIEWPORT) {
        ScreenPoint sa, sb;
        if (toScreen(a, csys, sa) && toScreen(b, csys, sb)) drawScreenLine(raster_, view_, sa, sb);
        return;
    }
    double wa[3], wb[3];
    if (toWorld(a, csys, wa) && toWorld(b, csys, wb)) drawWorldLine(raster_, view_, wa, wb);
}

void CustomDrawing::polygon(const double* const* points, unsigned int count, int csys,
                            const double* const* uvs) {
    if (count == 1) return point(points[0], csys);
    if (count == 2) return line(points[0], points[1], csys);
    applyState();
    const bool outline = (mode_ & LWDRAWMODE_OUTLINE) != 0;
    const Texture* texture = uvs && !outline && hasTexture() ? &texture_ : nullptr;
    if (csys == LWCSYS_VIEWPORT) {
        std::vector<ScreenVertex> screen(count);
        for (unsigned int i = 0; i < count; ++i) {
            if (!toScreen(points[i], csys, screen[i].p)) return;
            if (texture) std::copy(uvs[i], uvs[i] + 2, screen[i].uv);
        }
        if (!outline) return drawScreenConvex(raster_, view_, screen.data(), count, texture);
        for (unsigned int i = 0; i < count; ++i)
            drawScreenLine(raster_, view_, screen[i].p, screen[(i + 1) % count].p);
        return;
    }
    std::vector<WorldVertex> world(count);
    for (unsigned int i = 0; i < count; ++i) {
        if (!toWorld(points[i], csys, world[i].p)) return;
        if (texture) std::copy(uvs[i], uvs[i] + 2, world[i].uv);
    }
    if (outline)
        drawWorldOutline(raster_, view_, world.data(), count);
    else
        drawWorldConvex(raster_, view_, world.data(), count, texture);
}

void CustomDrawing::circle(const double centre[3], double radius, int csys, bool filled) {
    if (!std::isfinite(radius)) return;
    ScreenPoint c;
    if (!toScreen(centre, csys, c)) return;
    double pixels = std::fabs(radius);
    if (csys != LWCSYS_VIEWPORT) {
        double world[3];
        toWorld(centre, csys, world);
        const double scale = csys == LWCSYS_OBJECT ? scaleOf(object_)
                             : csys == LWCSYS_ICON ? scaleOf(icon_)
                                                   : 1.0;
        pixels *= scale / view_.pixelWorldSize(view_.depth(world));
    }
    if (!std::isfinite(pixels) || pixels > 1e6) return;
    applyState();
    const int segments =
        std::clamp(int(std::ceil(2 * kPi * pixels / kCirclePixelsPerSegment)), 8, 720);
    std::vector<ScreenVertex> ring(static_cast<size_t>(segments));
    for (int i = 0; i < segments; ++i) {
        const double a = 2 * kPi * i / segments;
        // Counter-clockwise as seen: the front, so culling keeps it.
        ring[size_t(i)].p =
            ScreenPoint{c.x + pixels * std::cos(a), c.y - pixels * std::sin(a), c.z};
    }
    if (filled) return drawScreenConvex(raster_, view_, ring.data(), ring.size());
    for (size_t i = 0; i < ring.size(); ++i)
        drawScreenLine(raster_, view_, ring[i].p, ring[(i + 1) % ring.size()].p);
}

void CustomDrawing::text(const double p[3], const char* text, int justify, int csys) {
    ScreenPoint s;
    if (!toScreen(p, csys, s)) return;
    double left, top, right, bottom;
    view_.bounds(left, top, right, bottom);
    if (s.x < left - 1e5 || s.x > right + 1e5 || s.y < top - 1e5 || s.y > bottom + 1e5) return;
    applyState();
    // Centred on the point's height.
    raster_.text(int(std::floor(s.x)), int(std::floor(s.y)) - Raster::textHeight() / 2, text,
                 std::clamp(justify, LWJUST_LEFT, LWJUST_RIGHT));
}

} // namespace host
