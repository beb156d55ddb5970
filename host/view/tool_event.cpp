#include "view/tool_event.h"

#include "common/vec3.h"

#include <cmath>

namespace host {

namespace {

// Camera and light views have no centre: their pointer plane stands this far
// in front of the viewer (metres).
constexpr double kItemPlaneDepth = 1.0;

double planeDepth(const ViewGeometry& g, const Viewport& v) {
    if (g.type == LVVIEWT_CAMERA || g.type == LVVIEWT_LIGHT) return kItemPlaneDepth;
    return g.depthOf(v.centre);
}

// One pixel's world size on the pointer plane.
double planeUnit(const ViewGeometry& g, const Viewport& v) {
    return g.perspective ? g.pixelSize * planeDepth(g, v) : g.pixelSize;
}

void setBoth(double a[3], double b[3], const double v[3]) {
    vec3::copy(v, a);
    vec3::copy(v, b);
}

// The world axis a side view looks along; every side view looks along one.
int portAxisOf(const ViewGeometry& g) {
    if (g.perspective) return -1;
    int axis = 0;
    for (int i = 1; i < 3; ++i)
        if (std::fabs(g.axes[2][i]) > std::fabs(g.axes[2][axis])) axis = i;
    return axis;
}

} // namespace

void pointerPoint(const ViewGeometry& g, const Viewport& v, double x, double y, double world[3]) {
    const double depth = planeDepth(g, v), unit = planeUnit(g, v);
    const double right = (x - g.rect.width / 2.0) * unit, up = (g.rect.height / 2.0 - y) * unit;
    for (int i = 0; i < 3; ++i)
        world[i] = g.eye[i] + right * g.axes[0][i] + up * g.axes[1][i] + depth * g.axes[2][i];
}

LWToolEvent toolEventAt(const ViewGeometry& g, const Viewport& v, int index, double x, double y,
                        const PointerPress& press) {
    LWToolEvent e{};
    double pos[3], delta[3];
    pointerPoint(g, v, x, y, pos);
    vec3::subtract(pos, press.pos, delta);
    setBoth(e.posRaw, e.posSnap, pos);
    setBoth(e.deltaRaw, e.deltaSnap, delta);

    const double unit = planeUnit(g, v);
    vec3::scale(g.axes[0], unit, e.ax);
    vec3::scale(g.axes[1], unit, e.ay);
    vec3::copy(g.axes[2], e.az);
    vec3::copy(g.axes[2], e.axis);

    e.pxRaw = e.pxSnap = x;
    e.pyRaw = e.pySnap = y;
    e.dx = int(std::lround(x - press.x));
    e.dy = int(std::lround(y - press.y));
    e.portAxis = portAxisOf(g);
    e.flags = press.right ? LWTOOLF_ALT_BUTTON : 0;
    e.viewNumber = index;
    return e;
}

} // namespace host
