#include "view/viewport.h"

#include "common/host_error.h"
#include "common/vec3.h"
#include "scene/scene.h"
#include "scene/transform.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// Side views: their viewer stands this far behind the centre, at least
// 1000 m or 10000 pixels, and sees to twice that; hither stays below the
// unit distance at which plug-ins draw their overlays.
constexpr double kSideViewerMetres = 1000.0;
constexpr double kSideViewerPixels = 10000.0;
constexpr double kSideHither = 0.01;
// Perspective views clip at these multiples of the orbit distance.
constexpr double kOrbitHither = 0.01;
constexpr double kOrbitYon = 1000.0;
// Camera and light views: a fixed range in metres, and the field of view of
// Layout's default zoom factor, which is the distance at which the view's
// half height spans one unit.
constexpr double kItemHither = 0.01;
constexpr double kItemYon = 10000.0;
constexpr double kDefaultZoom = 3.2;

struct SideView {
    int type;
    const char* name;
    double right[3], up[3];
};

const SideView kSideViews[] = {
    {LVVIEWT_TOP, "top", {1, 0, 0}, {0, 0, 1}},
    {LVVIEWT_BOTTOM, "bottom", {1, 0, 0}, {0, 0, -1}},
    {LVVIEWT_BACK, "back", {1, 0, 0}, {0, 1, 0}},
    {LVVIEWT_FRONT, "front", {-1, 0, 0}, {0, 1, 0}},
    {LVVIEWT_RIGHT, "right", {0, 0, 1}, {0, 1, 0}},
    {LVVIEWT_LEFT, "left", {0, 0, -1}, {0, 1, 0}},
};

const struct {
    int type;
    const char* name;
} kOtherViews[] = {
    {LVVIEWT_NONE, "none"},     {LVVIEWT_PERSPECTIVE, "perspective"}, {LVVIEWT_LIGHT, "light"},
    {LVVIEWT_CAMERA, "camera"}, {LVVIEWT_SCHEMATIC, "schematic"},
};

const SideView* sideView(int type) {
    for (const SideView& v : kSideViews)
        if (v.type == type) return &v;
    return nullptr;
}

// Layout's quad layout, in view order: top-left, top-right, bottom-left,
// bottom-right.
Viewport defaultView(int index) {
    static const int types[4] = {LVVIEWT_TOP, LVVIEWT_PERSPECTIVE, LVVIEWT_FRONT, LVVIEWT_RIGHT};
    Viewport v;
    v.type = types[index % 4];
    v.heading = 45.0 * kDegree;
    v.pitch = 25.0 * kDegree;
    return v;
}

// Right, up and forward from an item's forward and right axes, made
// orthonormal, so a scaled, sheared or mirrored item still gives a proper
// view; identity when they collapse.
void itemAxes(const Affine& world, double axes[3][3]) {
    double right[3], forward[3], up[3];
    for (int i = 0; i < 3; ++i) {
        right[i] = world.m[i][0];
        forward[i] = world.m[i][2];
    }
    vec3::cross(forward, right, up);
    const double f = vec3::length(forward), u = vec3::length(up);
    if (!(f > 1e-12) || !(u > 1e-12 * f * vec3::length(right))) {
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                axes[i][j] = i == j ? 1.0 : 0.0;
        return;
    }
    vec3::scale(up, 1.0 / u, axes[1]);
    vec3::scale(forward, 1.0 / f, axes[2]);
    vec3::cross(axes[1], axes[2], axes[0]);
}

// A power of ten between 20 and 200 pixels of size u.
double gridSpacing(double u) {
    double g = std::pow(10.0, std::ceil(std::log10(20.0 * u)));
    if (g / u >= 200.0) g /= 10.0;
    if (g / u < 20.0) g *= 10.0;
    return g;
}

bool positiveFinite(double v) {
    return std::isfinite(v) && v > 0.0;
}

void zero4(double m[4][4]) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            m[c][r] = 0.0;
}

} // namespace

int viewTypeByName(const std::string& name) {
    for (const SideView& v : kSideViews)
        if (name == v.name) return v.type;
    for (const auto& v : kOtherViews)
        if (name == v.name && v.type != LVVIEWT_NONE && v.type != LVVIEWT_SCHEMATIC) return v.type;
    return -1;
}

const char* viewTypeName(int type) {
    if (const SideView* v = sideView(type)) return v->name;
    for (const auto& v : kOtherViews)
        if (v.type == type) return v.name;
    return "unknown";
}

// ---- ViewGeometry ---------------------------------------------------------

double ViewGeometry::depthOf(const double world[3]) const {
    double v[3];
    vec3::subtract(world, eye, v);
    return vec3::dot(v, axes[2]);
}

double ViewGeometry::pixelSizeAt(const double world[3]) const {
    return perspective ? pixelSize * std::max(depthOf(world), hither) : pixelSize;
}

bool ViewGeometry::project(const double world[3], double& winx, double& winy, double& winz) const {
    double v[3];
    vec3::subtract(world, eye, v);
    const double x = vec3::dot(v, axes[0]), y = vec3::dot(v, axes[1]), z = vec3::dot(v, axes[2]);
    double unit = pixelSize;
    if (perspective) {
        if (!(z > 0.0)) {
            winx = winy = winz = 0.0;
            return false;
        }
        unit *= z;
        winz = (1.0 / hither - 1.0 / z) / (1.0 / hither - 1.0 / yon);
    } else {
        winz = (z - hither) / (yon - hither);
    }
    winx = rect.width / 2.0 + x / unit;
    winy = rect.height / 2.0 - y / unit;
    return z >= hither && z <= yon;
}

bool ViewGeometry::unproject(double winx, double winy, double winz, double world[3]) const {
    double z;
    if (perspective) {
        const double inverseZ = 1.0 / hither - winz * (1.0 / hither - 1.0 / yon);
        if (!(inverseZ > 0.0)) return false;
        z = 1.0 / inverseZ;
    } else {
        z = hither + winz * (yon - hither);
    }
    const double unit = perspective ? pixelSize * z : pixelSize;
    const double x = (winx - rect.width / 2.0) * unit;
    const double y = (rect.height / 2.0 - winy) * unit;
    for (int i = 0; i < 3; ++i)
        world[i] = eye[i] + x * axes[0][i] + y * axes[1][i] + z * axes[2][i];
    return std::isfinite(world[0]) && std::isfinite(world[1]) && std::isfinite(world[2]);
}

void ViewGeometry::xfrm(double m[9]) const {
    for (int i = 0; i < 3; ++i) {
        m[i] = axes[0][i] * pixelSize;
        m[3 + i] = axes[1][i] * pixelSize;
        m[6 + i] = axes[2][i];
    }
}

// OpenGL's eye space is right-handed and looks down its -z: x and y are the
// view's right and up, its z the view's backward direction.
void ViewGeometry::modelview(double m[4][4], double inverse[4][4]) const {
    const double* rows[3] = {axes[0], axes[1], axes[2]};
    const double sign[3] = {1.0, 1.0, -1.0};
    if (m) {
        zero4(m);
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c)
                m[c][r] = sign[r] * rows[r][c];
            m[3][r] = -sign[r] * vec3::dot(rows[r], eye);
        }
        m[3][3] = 1.0;
    }
    if (inverse) {
        zero4(inverse);
        for (int c = 0; c < 3; ++c)
            for (int r = 0; r < 3; ++r)
                inverse[c][r] = sign[c] * rows[c][r];
        for (int r = 0; r < 3; ++r)
            inverse[3][r] = eye[r];
        inverse[3][3] = 1.0;
    }
}

// glFrustum or glOrtho for the rectangle, with y up from the bottom and depth
// mapped to [-1, 1]: (ndc + 1) / 2 times the size is project's window
// position (y flipped) and depth.
void ViewGeometry::projection(double m[4][4], double inverse[4][4]) const {
    const double a = 2.0 / (rect.width * pixelSize), b = 2.0 / (rect.height * pixelSize);
    const double n = hither, f = yon;
    if (m) {
        zero4(m);
        m[0][0] = a;
        m[1][1] = b;
        if (perspective) {
            m[2][2] = -(f + n) / (f - n);
            m[3][2] = -2.0 * f * n / (f - n);
            m[2][3] = -1.0;
        } else {
            m[2][2] = -2.0 / (f - n);
            m[3][2] = -(f + n) / (f - n);
            m[3][3] = 1.0;
        }
    }
    if (inverse) {
        zero4(inverse);
        inverse[0][0] = 1.0 / a;
        inverse[1][1] = 1.0 / b;
        if (perspective) {
            const double c = -(f + n) / (f - n), d = -2.0 * f * n / (f - n);
            inverse[3][2] = -1.0;
            inverse[2][3] = 1.0 / d;
            inverse[3][3] = c / d;
        } else {
            const double c = -2.0 / (f - n), t = -(f + n) / (f - n);
            inverse[2][2] = 1.0 / c;
            inverse[3][2] = -t / c;
            inverse[3][3] = 1.0;
        }
    }
}

// ---- ViewportWindow -------------------------------------------------------

ViewportWindow::ViewportWindow() {
    setLayout(4);
}

void ViewportWindow::setLayout(int count) {
    if (count != 1 && count != 2 && count != 4)
        throw HostError("a window holds 1, 2 or 4 views, not " + std::to_string(count));
    while (int(views_.size()) < count)
        views_.push_back(defaultView(int(views_.size())));
    views_.resize(size_t(count));
    // Halves split at width / 2 and height / 2; the right and bottom views
    // take the odd pixel, so the views tile the window.
    const int w0 = width_ / 2, h0 = height_ / 2;
    for (int i = 0; i < count; ++i) {
        ViewRect& r = views_[size_t(i)].rect;
        const bool right = count > 1 && i % 2 == 1, bottom = count == 4 && i >= 2;
        r.left = right ? w0 : 0;
        r.width = count == 1 ? width_ : (right ? width_ - w0 : w0);
        r.top = bottom ? h0 : 0;
        r.height = count == 4 ? (bottom ? height_ - h0 : h0) : height_;
    }
}

void ViewportWindow::resize(int width, int height) {
    if (width < 2 || height < 2 || width > 16384 || height > 16384)
        throw HostError("a window is 2 to 16384 pixels wide and high, not " +
                        std::to_string(width) + " x " + std::to_string(height));
    width_ = width;
    height_ = height;
    setLayout(count());
}

Viewport& ViewportWindow::view(int index) {
    return const_cast<Viewport&>(static_cast<const ViewportWindow*>(this)->view(index));
}

const Viewport& ViewportWindow::view(int index) const {
    if (index < 0 || index >= count())
        throw HostError("no view " + std::to_string(index) + " (the window has " +
                        std::to_string(count()) + ", counted from 0)");
    return views_[size_t(index)];
}

ViewGeometry ViewportWindow::geometry(const Scene& scene, int index, double time) const {
    const Viewport& v = view(index);
    const std::string which = "view " + std::to_string(index);
    ViewGeometry g;
    g.type = v.type;
    g.rect = v.rect;
    if (!positiveFinite(v.unitsPerPixel)) throw HostError(which + " has no zoom");

    if (const SideView* side = sideView(v.type)) {
        vec3::copy(side->right, g.axes[0]);
        vec3::copy(side->up, g.axes[1]);
        vec3::cross(g.axes[0], g.axes[1], g.axes[2]);
        const double behind = std::max(kSideViewerMetres, kSideViewerPixels * v.unitsPerPixel);
        for (int i = 0; i < 3; ++i)
            g.eye[i] = v.centre[i] - behind * g.axes[2][i];
        g.pixelSize = v.unitsPerPixel;
        g.hither = kSideHither;
        g.yon = 2.0 * behind;
        g.grid = gridSpacing(g.pixelSize);
    } else if (v.type == LVVIEWT_PERSPECTIVE) {
        if (!positiveFinite(v.distance)) throw HostError(which + " orbits at no distance");
        const double hpb[3] = {v.heading, v.pitch, 0.0};
        double r[3][3];
        rotationMatrix(hpb, r);
        for (int a = 0; a < 3; ++a)
            for (int i = 0; i < 3; ++i)
                g.axes[a][i] = r[i][a];
        for (int i = 0; i < 3; ++i)
            g.eye[i] = v.centre[i] - v.distance * g.axes[2][i];
        g.perspective = true;
        g.pixelSize = v.unitsPerPixel / v.distance;
        g.hither = kOrbitHither * v.distance;
        g.yon = kOrbitYon * v.distance;
        g.grid = gridSpacing(v.unitsPerPixel);
    } else if (v.type == LVVIEWT_CAMERA || v.type == LVVIEWT_LIGHT) {
        const Affine world = worldTransform(scene, v.item, time);
        itemAxes(world, g.axes);
        vec3::copy(world.t, g.eye);
        g.perspective = true;
        g.pixelSize = 2.0 / (kDefaultZoom * std::max(1, v.rect.height));
        g.hither = kItemHither;
        g.yon = kItemYon;
        g.item = scene.find(v.item) ? v.item : nullptr;
        // The grid suits the pixels where the world's origin is.
        const double origin[3] = {0, 0, 0};
        g.grid = gridSpacing(g.pixelSize * std::max(1.0, g.depthOf(origin)));
    } else {
        throw HostError(which + " is a " + viewTypeName(v.type) + " view, which has no geometry");
    }
    return g;
}

} // namespace host
