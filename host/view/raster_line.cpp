// Lines: one pixel per step along the longer axis, both ends included, the
// pattern counted in those steps. Lines reaching far outside the picture are
// cut to the clip rectangle first, so the number of steps stays small.
#include "view/raster.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

// Beyond this many pixels a line is cut before stepping: below it every
// pixel position is an exact integer in a double.
constexpr double kGuard = 1 << 24;
// The patterns' runs repeat within this many steps (3, 10 and 17 divide it).
constexpr double kPatternPeriod = 510;

bool patternOn(LinePattern pattern, long step) {
    switch (pattern) {
    case LinePattern::Dot:
        return step % 3 < 1;
    case LinePattern::Dash:
        return step % 10 < 6;
    case LinePattern::LongDot: {
        long at = step % 17;
        return at < 10 || at == 13;
    }
    case LinePattern::Solid:
        break;
    }
    return true;
}

// Moves the ends of p-q that lie outside [lo, hi] on one axis (0 x, 1 y)
// onto its bounds, the other coordinates along; false when the line misses
// that range. The moved end takes the bound itself, so however far out it
// was, it lands exactly on the range.
bool cutAxis(double (&p)[3], double (&q)[3], int axis, double lo, double hi) {
    if ((p[axis] < lo && q[axis] < lo) || (p[axis] > hi && q[axis] > hi)) return false;
    for (auto [end, other] : {std::make_pair(&p, &q), std::make_pair(&q, &p)}) {
        double from = (*end)[axis], bound = from < lo ? lo : from > hi ? hi : from;
        if (bound == from) continue;
        double t = (bound - from) / ((*other)[axis] - from);
        for (int k = 0; k < 3; ++k)
            (*end)[k] += t * ((*other)[k] - (*end)[k]);
        (*end)[axis] = bound;
    }
    return true;
}

} // namespace

void Raster::line(ScreenPoint a, ScreenPoint b) {
    for (double v : {a.x, a.y, a.z, b.x, b.y, b.z})
        if (!std::isfinite(v)) return;
    if (clipLeft_ >= clipRight_ || clipTop_ >= clipBottom_) return;
    double limit = std::max({std::fabs(a.x), std::fabs(a.y), std::fabs(b.x), std::fabs(b.y)});
    if (limit < kGuard) {
        stepLine(a.x, a.y, a.z, b.x, b.y, b.z, 0);
        return;
    }
    double p[3] = {a.x, a.y, a.z}, q[3] = {b.x, b.y, b.z};
    if (!cutAxis(p, q, 0, clipLeft_ - 2.0, clipRight_ + 2.0) ||
        !cutAxis(p, q, 1, clipTop_ - 2.0, clipBottom_ + 2.0))
        return;
    // The steps the cut-off start would have taken, for the pattern.
    double skipped = std::floor(std::max(std::fabs(p[0] - a.x), std::fabs(p[1] - a.y)));
    stepLine(p[0], p[1], p[2], q[0], q[1], q[2], std::fmod(skipped, kPatternPeriod));
}

void Raster::stepLine(double x0, double y0, double z0, double x1, double y1, double z1,
                      double phase) {
    double px = std::floor(x0), py = std::floor(y0);
    double dx = std::floor(x1) - px, dy = std::floor(y1) - py;
    double steps = std::max(std::fabs(dx), std::fabs(dy));
    // Only the steps whose major coordinate lies inside the clip rectangle.
    bool alongX = std::fabs(dx) >= std::fabs(dy);
    double start = alongX ? px : py, sign = (alongX ? dx : dy) < 0 ? -1 : 1;
    double lo = alongX ? clipLeft_ : clipTop_, hi = (alongX ? clipRight_ : clipBottom_) - 1.0;
    double first = sign > 0 ? lo - start : start - hi;
    double last = sign > 0 ? hi - start : start - lo;
    long k0 = long(std::max(first, 0.0)), k1 = long(std::min(last, steps));
    for (long k = k0; k <= k1; ++k) {
        double t = steps > 0 ? k / steps : 0;
        int x = int(px + std::floor(t * dx + 0.5));
        int y = int(py + std::floor(t * dy + 0.5));
        if (x < clipLeft_ || x >= clipRight_ || y < clipTop_ || y >= clipBottom_) continue;
        if (!patternOn(state_.pattern, long(phase) + k)) continue;
        shade(x, y, z0 + (z1 - z0) * t, state_.colour);
    }
}

} // namespace host
