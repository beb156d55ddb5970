#include "geometry/curve.h"

#include <cmath>

namespace {

constexpr double kSolveTolerance = 1e-7;
constexpr int kMaxNewtonSteps = 50;
constexpr int kMaxBisections = 64;
// The parameter belongs to the segment. A Newton step out of it heads for a
// root of the extended cubic rather than the segment's own, so it ends Newton.
constexpr double kSegmentStart = 0.0;
constexpr double kSegmentEnd = 1.0;

double bezValue(const double v[11], double t) {
    return ((v[4] * t + v[5]) * t + v[6]) * t + v[7];
}

double bezSlope(const double v[11], double t) {
    return (v[8] * t + v[9]) * t + v[10];
}

// Remembers the evaluated parameter closest to the target.
struct BestParam {
    double t;
    double err;
    void offer(double tt, double f) {
        const double e = std::fabs(f);
        if (e < err) {
            t = tt;
            err = e;
        }
    }
};

} // namespace

double calcFalloffCurve(const std::uint32_t flags[2], const double e[2], double x) {
    const double a = flags[0] ? 1.0 - std::pow(x, e[0]) : std::pow(1.0 - x, e[0]);
    const double b = flags[1] ? 1.0 - std::pow(x, e[1]) : std::pow(1.0 - x, e[1]);
    return (1.0 - x) * b + x * a;
}

void calcBezParm1D(double v[11]) {
    const double p0 = v[0], p1 = v[1], p2 = v[2], p3 = v[3];
    const double d1 = std::fabs(p1 - p0);
    const double d2 = std::fabs(p2 - p1);
    const double d3 = std::fabs(p3 - p2);

    // Inner control values: the end slopes follow the neighbouring values,
    // weighted by the relative spans so uneven spacing does not overshoot.
    double c1 = p1;
    if (d1 != 0.0) c1 = p1 + ((p1 - p0) * (d2 / d1) + (p2 - p1)) / (3.0 * (d2 / d1 + 1.0));
    double c2 = p2;
    if (d3 != 0.0) c2 = p2 - ((p3 - p2) * (d2 / d3) + (p2 - p1)) / (3.0 * (d2 / d3 + 1.0));

    const double a = (p2 - p1) + 3.0 * (c1 - c2);
    const double b = 3.0 * (p1 - 2.0 * c1 + c2);
    const double c = 3.0 * (c1 - p1);
    v[4] = a;
    v[5] = b;
    v[6] = c;
    v[7] = p1;
    v[8] = 3.0 * a;
    v[9] = 2.0 * b;
    v[10] = c;
}

double solveBezier1DWithNt(const double v[11], double target, double t0) {
    double t = std::isfinite(t0) ? t0 : 0.5;
    BestParam best = {t, INFINITY};

    for (int step = 0;; ++step) {
        const double f = bezValue(v, t) - target;
        if (std::fabs(f) <= kSolveTolerance) return t;
        best.offer(t, f);
        if (step == kMaxNewtonSteps) break;
        const double slope = bezSlope(v, t);
        if (slope == 0.0 || !std::isfinite(slope)) break;
        const double next = t - f / slope;
        // Also rejects NaN and infinities.
        if (!(next >= kSegmentStart && next <= kSegmentEnd)) break;
        t = next;
    }

    // Newton failed: fall back on the segment itself.
    double lo = kSegmentStart, hi = kSegmentEnd;
    const double fLo = bezValue(v, lo) - target;
    const double fHi = bezValue(v, hi) - target;
    if (std::fabs(fLo) <= kSolveTolerance) return lo;
    if (std::fabs(fHi) <= kSolveTolerance) return hi;
    best.offer(lo, fLo);
    best.offer(hi, fHi);
    if (!((fLo < 0.0 && fHi > 0.0) || (fLo > 0.0 && fHi < 0.0))) return best.t;

    // Target strictly between the end values: bisect on the sign change.
    const bool loNegative = fLo < 0.0;
    for (int i = 0; i < kMaxBisections; ++i) {
        const double mid = 0.5 * (lo + hi);
        const double f = bezValue(v, mid) - target;
        if (std::fabs(f) <= kSolveTolerance) return mid;
        best.offer(mid, f);
        if ((f < 0.0) == loNegative)
            lo = mid;
        else
            hi = mid;
    }
    return best.t;
}
