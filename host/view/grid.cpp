#include "view/grid.h"

#include "common/vec3.h"
#include "view/view_colours.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

// Lines each way from the origin on the perspective ground.
const int kGroundLines = 20;

void withColour(Raster& raster, Rgba colour) {
    raster.state().colour = colour;
}

// A side view: lines over the viewport on the plane of its centre.
void drawViewPlaneGrid(Raster& raster, const Projector& view, double step) {
    const ViewGeometry& g = view.view();
    const double* right = g.axes[0];
    const double* up = g.axes[1];
    const double* forward = g.axes[2];
    double u0 = HUGE_VAL, u1 = -HUGE_VAL, v0 = HUGE_VAL, v1 = -HUGE_VAL, centre[3];
    const double corners[4][2] = {{0, 0},
                                  {double(g.rect.width), 0},
                                  {0, double(g.rect.height)},
                                  {double(g.rect.width), double(g.rect.height)}};
    for (const auto& c : corners) {
        double w[3];
        if (!g.unproject(c[0], c[1], 0.5, w)) return;
        u0 = std::min(u0, vec3::dot(w, right));
        u1 = std::max(u1, vec3::dot(w, right));
        v0 = std::min(v0, vec3::dot(w, up));
        v1 = std::max(v1, vec3::dot(w, up));
    }
    if (!g.unproject(g.rect.width / 2.0, g.rect.height / 2.0, 0.5, centre)) return;
    const double f = vec3::dot(centre, forward);
    auto at = [&](double u, double v, double out[3]) {
        for (int k = 0; k < 3; ++k)
            out[k] = u * right[k] + v * up[k] + f * forward[k];
    };
    // Far more lines than pixels would mean a degenerate view.
    if ((u1 - u0) / step > 4096 || (v1 - v0) / step > 4096) return;
    for (int axis = 0; axis < 2; ++axis) {
        const double lo = axis == 0 ? u0 : v0, hi = axis == 0 ? u1 : v1;
        const double otherLo = axis == 0 ? v0 : u0, otherHi = axis == 0 ? v1 : u1;
        for (long k = long(std::ceil(lo / step)); k * step <= hi; ++k) {
            double a[3], b[3];
            if (axis == 0) {
                at(k * step, otherLo, a);
                at(k * step, otherHi, b);
            } else {
                at(otherLo, k * step, a);
                at(otherHi, k * step, b);
            }
            withColour(raster, k == 0 ? colours::kAxes : colours::kGrid);
            drawWorldLine(raster, view, a, b);
        }
    }
}

void drawGroundGrid(Raster& raster, const Projector& view, double step) {
    const double extent = kGroundLines * step;
    for (int k = -kGroundLines; k <= kGroundLines; ++k) {
        withColour(raster, k == 0 ? colours::kAxes : colours::kGrid);
        const double alongZ[2][3] = {{k * step, 0, -extent}, {k * step, 0, extent}};
        const double alongX[2][3] = {{-extent, 0, k * step}, {extent, 0, k * step}};
        drawWorldLine(raster, view, alongZ[0], alongZ[1]);
        drawWorldLine(raster, view, alongX[0], alongX[1]);
    }
}

} // namespace

double gridSize(const Projector& view) {
    const double grid = view.view().grid;
    return std::isfinite(grid) && grid > 0 ? grid : 1.0;
}

void drawGrid(Raster& raster, const Projector& view) {
    RasterState saved = raster.state();
    raster.state().depthTest = false;
    raster.state().depthWrite = false;
    raster.state().pattern = LinePattern::Solid;
    const double step = gridSize(view);
    if (view.view().perspective)
        drawGroundGrid(raster, view, step);
    else
        drawViewPlaneGrid(raster, view, step);
    raster.state() = saved;
}

} // namespace host
