#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "geometry/curve.h"

namespace {

constexpr double kTol = 1e-12;

double cubicAt(const double v[11], double t) {
    return ((v[4] * t + v[5]) * t + v[6]) * t + v[7];
}

// --- falloff -------------------------------------------------------------------

TEST(FalloffCurve, EndpointsForPositiveExponents) {
    const double exps[] = {0.25, 0.5, 1.0, 2.0, 3.7};
    const std::uint32_t flagSets[][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {7, 0}};
    for (const auto& flags : flagSets)
        for (double e0 : exps)
            for (double e1 : exps) {
                const double e[2] = {e0, e1};
                EXPECT_NEAR(calcFalloffCurve(flags, e, 0.0), 1.0, kTol);
                EXPECT_NEAR(calcFalloffCurve(flags, e, 1.0), 0.0, kTol);
            }
}

TEST(FalloffCurve, InteriorValuesByHand) {
    {
        // A = B = 0.5^2: 0.5 * 0.25 + 0.5 * 0.25
        const std::uint32_t flags[2] = {0, 0};
        const double e[2] = {2.0, 2.0};
        EXPECT_NEAR(calcFalloffCurve(flags, e, 0.5), 0.25, kTol);
    }
    {
        // A = 1 - 0.5^2 = 0.75, B = 0.5^3 = 0.125: 0.5 * 0.125 + 0.5 * 0.75
        const std::uint32_t flags[2] = {1, 0};
        const double e[2] = {2.0, 3.0};
        EXPECT_NEAR(calcFalloffCurve(flags, e, 0.5), 0.4375, kTol);
    }
    {
        // A = 1 - 0.25^2 = 0.9375, B = 1 - 0.25 = 0.75: 0.75 * 0.75 + 0.25 * 0.9375
        const std::uint32_t flags[2] = {1, 1};
        const double e[2] = {2.0, 1.0};
        EXPECT_NEAR(calcFalloffCurve(flags, e, 0.25), 0.796875, kTol);
    }
    {
        // A = 0.75^0.5, B = 1 - 0.25^0.5 = 0.5: 0.75 * 0.5 + 0.25 * sqrt(0.75)
        const std::uint32_t flags[2] = {0, 3};
        const double e[2] = {0.5, 0.5};
        EXPECT_NEAR(calcFalloffCurve(flags, e, 0.25), 0.375 + 0.25 * std::sqrt(0.75), kTol);
    }
}

TEST(FalloffCurve, UnitExponentsWithoutFlagsAreLinear) {
    const std::uint32_t flags[2] = {0, 0};
    const double e[2] = {1.0, 1.0};
    for (int i = 0; i <= 20; ++i) {
        const double x = i / 20.0;
        EXPECT_NEAR(calcFalloffCurve(flags, e, x), 1.0 - x, kTol);
    }
}

// --- Bezier segment coefficients ---------------------------------------------------

TEST(BezierSegment, EquallySpacedValuesGiveStraightLine) {
    double v[11] = {0.0, 1.0, 2.0, 3.0};
    calcBezParm1D(v);
    EXPECT_NEAR(v[4], 0.0, kTol); // a
    EXPECT_NEAR(v[5], 0.0, kTol); // b
    EXPECT_NEAR(v[6], 1.0, kTol); // c
    EXPECT_NEAR(v[7], 1.0, kTol); // d
    EXPECT_NEAR(v[8], 0.0, kTol);
    EXPECT_NEAR(v[9], 0.0, kTol);
    EXPECT_NEAR(v[10], 1.0, kTol);
    // The four input values are kept.
    EXPECT_EQ(v[0], 0.0);
    EXPECT_EQ(v[1], 1.0);
    EXPECT_EQ(v[2], 2.0);
    EXPECT_EQ(v[3], 3.0);
}

TEST(BezierSegment, RepeatedNeighboursGiveFlatEnds) {
    // d1 = d3 = 0: controls stay at p1 and p2, the curve is -2t^3 + 3t^2.
    double v[11] = {0.0, 0.0, 1.0, 1.0};
    calcBezParm1D(v);
    EXPECT_NEAR(v[4], -2.0, kTol);
    EXPECT_NEAR(v[5], 3.0, kTol);
    EXPECT_NEAR(v[6], 0.0, kTol);
    EXPECT_NEAR(v[7], 0.0, kTol);
    EXPECT_NEAR(v[8], -6.0, kTol);
    EXPECT_NEAR(v[9], 6.0, kTol);
    EXPECT_NEAR(v[10], 0.0, kTol);
}

TEST(BezierSegment, UnevenSpacingByHand) {
    // d1 = 1, d2 = 2, d3 = 1: c1 = 1 + 4/9, c2 = 3 - 4/9.
    // a = 2 + 3(c1 - c2) = -4/3, b = 3(1 - 2c1 + c2) = 2, c = 3(c1 - 1) = 4/3.
    double v[11] = {0.0, 1.0, 3.0, 4.0};
    calcBezParm1D(v);
    EXPECT_NEAR(v[4], -4.0 / 3.0, kTol);
    EXPECT_NEAR(v[5], 2.0, kTol);
    EXPECT_NEAR(v[6], 4.0 / 3.0, kTol);
    EXPECT_NEAR(v[7], 1.0, kTol);
    EXPECT_NEAR(v[8], -4.0, kTol);
    EXPECT_NEAR(v[9], 4.0, kTol);
    EXPECT_NEAR(v[10], 4.0 / 3.0, kTol);
}

TEST(BezierSegment, OneRepeatedNeighbourByHand) {
    // d1 = 0 so c1 = 1; d2 = 1, d3 = 3: c2 = 2 - (3/3 + 1) / (3 (1/3 + 1)) = 1.5.
    // a = 1 + 3(1 - 1.5) = -0.5, b = 3(1 - 2 + 1.5) = 1.5, c = 0.
    double v[11] = {1.0, 1.0, 2.0, 5.0};
    calcBezParm1D(v);
    EXPECT_NEAR(v[4], -0.5, kTol);
    EXPECT_NEAR(v[5], 1.5, kTol);
    EXPECT_NEAR(v[6], 0.0, kTol);
    EXPECT_NEAR(v[7], 1.0, kTol);
}

TEST(BezierSegment, PassesThroughInnerValuesWithMatchingDerivative) {
    std::mt19937 rng(31);
    std::uniform_real_distribution<double> u(-10.0, 10.0);
    for (int n = 0; n < 500; ++n) {
        double v[11] = {u(rng), u(rng), u(rng), u(rng)};
        if (n % 5 == 0) v[0] = v[1]; // exercise the zero-span branches
        if (n % 7 == 0) v[3] = v[2];
        calcBezParm1D(v);
        const double scale = 1e-12 * (1.0 + std::fabs(v[1]) + std::fabs(v[2]));
        EXPECT_NEAR(cubicAt(v, 0.0), v[1], scale);
        EXPECT_NEAR(cubicAt(v, 1.0), v[2], 10.0 * scale);
        // The derivative coefficients match a central difference.
        for (double t : {0.0, 0.3, 0.75, 1.0}) {
            const double h = 1e-5;
            const double numeric = (cubicAt(v, t + h) - cubicAt(v, t - h)) / (2.0 * h);
            const double slope = (v[8] * t + v[9]) * t + v[10];
            EXPECT_NEAR(slope, numeric, 1e-6 * (1.0 + std::fabs(numeric)));
        }
    }
}

TEST(BezierSegment, MonotonicValuesGiveMonotonicSegment) {
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> step(0.01, 5.0);
    for (int n = 0; n < 300; ++n) {
        double v[11] = {};
        v[0] = step(rng) - 2.5;
        for (int k = 1; k < 4; ++k)
            v[k] = v[k - 1] + step(rng);
        calcBezParm1D(v);
        double prev = cubicAt(v, 0.0);
        for (int i = 1; i <= 50; ++i) {
            const double cur = cubicAt(v, i / 50.0);
            EXPECT_GE(cur, prev - 1e-12);
            prev = cur;
        }
    }
}

// --- solving the segment for a value ------------------------------------------------

TEST(BezierSolve, InvertsTheCurve) {
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> step(0.05, 3.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int n = 0; n < 500; ++n) {
        double v[11] = {};
        v[0] = 10.0 * unit(rng) - 5.0;
        for (int k = 1; k < 4; ++k)
            v[k] = v[k - 1] + step(rng);
        if (n % 2) // decreasing too
            for (double& x : v)
                x = -x;
        calcBezParm1D(v);
        const double t = unit(rng);
        const double target = cubicAt(v, t);
        for (double t0 : {0.0, 0.5, 1.0, t}) {
            const double s = solveBezier1DWithNt(v, target, t0);
            EXPECT_LE(std::fabs(cubicAt(v, s) - target), 1e-7);
            EXPECT_GE(s, 0.0);
            EXPECT_LE(s, 1.0);
        }
    }
}

TEST(BezierSolve, StartAlreadyOnTargetIsReturnedUnchanged) {
    double v[11] = {0.0, 1.0, 3.0, 4.0};
    calcBezParm1D(v);
    const double target = cubicAt(v, 0.375);
    EXPECT_EQ(solveBezier1DWithNt(v, target, 0.375), 0.375);
}

TEST(BezierSolve, StraightLineSolvesInOneStep) {
    double v[11] = {0.0, 1.0, 2.0, 3.0}; // curve = t + 1
    calcBezParm1D(v);
    EXPECT_NEAR(solveBezier1DWithNt(v, 1.25, 0.0), 0.25, 1e-7);
    EXPECT_NEAR(solveBezier1DWithNt(v, 1.9, 0.5), 0.9, 1e-7);
}

TEST(BezierSolve, FlatSegmentTerminates) {
    double v[11] = {1.0, 1.0, 1.0, 1.0};
    calcBezParm1D(v);
    EXPECT_EQ(v[8], 0.0);
    EXPECT_EQ(v[9], 0.0);
    EXPECT_EQ(v[10], 0.0);
    // On the value: the start is already a solution.
    EXPECT_EQ(solveBezier1DWithNt(v, 1.0, 0.3), 0.3);
    // Off the value: zero derivative, no end matches; every parameter is equally
    // far, so the start is kept.
    EXPECT_EQ(solveBezier1DWithNt(v, 2.0, 0.3), 0.3);
    EXPECT_EQ(solveBezier1DWithNt(v, -7.0, 0.8), 0.8);
}

TEST(BezierSolve, ZeroDerivativeAtStartFallsBackToBisection) {
    double v[11] = {0.0, 0.0, 1.0, 1.0}; // -2t^3 + 3t^2, flat at both ends
    calcBezParm1D(v);
    // Newton cannot leave t = 0 or t = 1; bisection's first midpoint is exact.
    EXPECT_EQ(solveBezier1DWithNt(v, 0.5, 0.0), 0.5);
    EXPECT_EQ(solveBezier1DWithNt(v, 0.5, 1.0), 0.5);
    const double s = solveBezier1DWithNt(v, 0.2, 0.0);
    EXPECT_LE(std::fabs(cubicAt(v, s) - 0.2), 1e-7);
    EXPECT_GT(s, 0.0);
    EXPECT_LT(s, 0.5);
    // Target at an end value.
    EXPECT_EQ(solveBezier1DWithNt(v, 0.0, 0.0), 0.0);
    EXPECT_EQ(solveBezier1DWithNt(v, 1.0, 0.0), 1.0);
}

TEST(BezierSolve, TargetOutsideSegmentRange) {
    double v[11] = {0.0, 1.0, 2.0, 3.0}; // curve = t + 1 over [0, 1] gives [1, 2]
    calcBezParm1D(v);
    // The roots (t = 1.5, 4, -6) lie off the segment: the nearest parameter seen
    // is the end.
    EXPECT_EQ(solveBezier1DWithNt(v, 2.5, 0.5), 1.0);
    EXPECT_EQ(solveBezier1DWithNt(v, 5.0, 0.5), 1.0);
    EXPECT_EQ(solveBezier1DWithNt(v, -5.0, 0.5), 0.0);

    double w[11] = {0.0, 0.0, 1.0, 1.0}; // peaks at 1 on [0, 1]
    calcBezParm1D(w);
    for (double target : {1.5, 2.0, -0.5, 100.0, -1e6}) {
        for (double t0 : {0.0, 0.2, 0.5, 1.0}) {
            const double s = solveBezier1DWithNt(w, target, t0);
            ASSERT_TRUE(std::isfinite(s));
            // Never worse than the start.
            EXPECT_LE(std::fabs(cubicAt(w, s) - target), std::fabs(cubicAt(w, t0) - target));
        }
    }
}

TEST(BezierSolve, NewtonLeavingTheSegmentFallsBackToBisection) {
    // Nearly flat ends: from t = 0 the first Newton step lands near t = 25.
    // The curve is point-symmetric about (0.5, 0.5), so bisection's first
    // midpoint is the root.
    double v[11] = {-0.01, 0.0, 1.0, 1.01};
    calcBezParm1D(v);
    EXPECT_GT(0.5 / v[10], 1.0);
    EXPECT_NEAR(solveBezier1DWithNt(v, 0.5, 0.0), 0.5, 1e-12);
    const double s = solveBezier1DWithNt(v, 0.01, 1.0);
    EXPECT_GE(s, 0.0);
    EXPECT_LE(s, 1.0);
    EXPECT_LE(std::fabs(cubicAt(v, s) - 0.01), 1e-7);
}

TEST(BezierSolve, CyclingNewtonStopsAtStepLimit) {
    // t^3 - 2t + 2 from t = 0: Newton cycles 0, 1, 0, 1, ... and the real root
    // (about -1.77) is off the segment. The best parameter seen is 1.
    const double v[11] = {0, 0, 0, 0, 1.0, 0.0, -2.0, 2.0, 3.0, 0.0, -2.0};
    EXPECT_EQ(solveBezier1DWithNt(v, 0.0, 0.0), 1.0);
}

TEST(BezierSolve, NonFiniteInputsGiveFiniteResult) {
    double v[11] = {0.0, 1.0, 3.0, 4.0};
    calcBezParm1D(v);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(solveBezier1DWithNt(v, nan, 0.25), 0.25);
    EXPECT_TRUE(std::isfinite(solveBezier1DWithNt(v, inf, 0.25)));
    EXPECT_TRUE(std::isfinite(solveBezier1DWithNt(v, -inf, 0.25)));
    // A non-finite start begins mid-segment.
    const double s = solveBezier1DWithNt(v, cubicAt(v, 0.7), nan);
    EXPECT_NEAR(s, 0.7, 1e-6);
    EXPECT_TRUE(std::isfinite(solveBezier1DWithNt(v, 2.0, inf)));

    const double bad[11] = {0, 0, 0, 0, nan, nan, nan, nan, nan, nan, nan};
    EXPECT_EQ(solveBezier1DWithNt(bad, 1.0, 0.4), 0.4);
}

} // namespace
