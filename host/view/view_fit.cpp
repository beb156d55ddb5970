// Framing the scene: its bounding box, and the zoom and centre that show it.
#include "view/viewport.h"

#include "common/host_error.h"
#include "common/vec3.h"
#include "plugins/displacement.h"
#include "scene/scene.h"
#include "scene/transform.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

// The box fills this share of the view's tighter side.
constexpr double kFill = 0.9;
// A box smaller than this (metres) is widened.
constexpr double kSmallest = 1e-3;

void include(const double p[3], double lo[3], double hi[3]) {
    for (int i = 0; i < 3; ++i) {
        lo[i] = std::min(lo[i], p[i]);
        hi[i] = std::max(hi[i], p[i]);
    }
}

void includePoints(const std::vector<Point>& points, double lo[3], double hi[3]) {
    for (const Point& p : points) {
        const double q[3] = {p.x, p.y, p.z};
        include(q, lo, hi);
    }
}

} // namespace

bool sceneBounds(const Scene& scene, double time, double lo[3], double hi[3]) {
    for (int i = 0; i < 3; ++i) {
        lo[i] = HUGE_VAL;
        hi[i] = -HUGE_VAL;
    }
    bool any = false;
    for (const Item* item : scene.items()) {
        any = true;
        const size_t count = item->mesh ? item->mesh->points.size() : 0;
        if (item->currentPoints && item->currentPoints->size() == count && count) {
            includePoints(*item->currentPoints, lo, hi);
        } else if (count) {
            includePoints(worldPlacedPoints(scene, *item, time), lo, hi);
        } else {
            double p[3];
            itemParam(scene, item->id, LWIP_W_POSITION, time, p);
            include(p, lo, hi);
        }
    }
    if (!any)
        for (int i = 0; i < 3; ++i) {
            lo[i] = -0.5;
            hi[i] = 0.5;
        }
    return any;
}

void ViewportWindow::fit(const Scene& scene, int index, double time) {
    Viewport& v = view(index);
    if (v.type == LVVIEWT_CAMERA || v.type == LVVIEWT_LIGHT)
        throw HostError("view " + std::to_string(index) +
                        " looks through an item; only side and perspective views fit the scene");
    // Fails for a view without geometry before anything changes.
    const ViewGeometry g = geometry(scene, index, time);

    double lo[3], hi[3], centre[3];
    sceneBounds(scene, time, lo, hi);
    const double size = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
    for (int i = 0; i < 3; ++i) {
        centre[i] = (lo[i] + hi[i]) / 2.0;
        // Items all at one spot are framed as the empty scene is: a cube of
        // side 1, here around them.
        if (size < kSmallest) {
            lo[i] = centre[i] - 0.5;
            hi[i] = centre[i] + 0.5;
        }
    }
    const double halfWidth = v.rect.width / 2.0, halfHeight = v.rect.height / 2.0;

    if (g.perspective) {
        double half[3];
        vec3::subtract(hi, centre, half);
        const double radius = std::max(vec3::length(half), kSmallest);
        // The sphere's silhouette, a cone of half angle asin(radius /
        // distance), fills the share of the rectangle's inscribed circle.
        const double angle = std::atan(kFill * g.pixelSize * std::min(halfWidth, halfHeight));
        v.distance = radius / std::sin(angle);
        v.unitsPerPixel = g.pixelSize * v.distance;
    } else {
        // The box's corners measured along the screen's axes.
        double across = kSmallest / 2.0, upward = kSmallest / 2.0;
        for (int corner = 0; corner < 8; ++corner) {
            double p[3], d[3];
            for (int i = 0; i < 3; ++i)
                p[i] = (corner >> i) & 1 ? hi[i] : lo[i];
            vec3::subtract(p, centre, d);
            across = std::max(across, std::fabs(vec3::dot(d, g.axes[0])));
            upward = std::max(upward, std::fabs(vec3::dot(d, g.axes[1])));
        }
        v.unitsPerPixel = std::max(across / halfWidth, upward / halfHeight) / kFill;
    }
    vec3::copy(centre, v.centre);
}

} // namespace host
