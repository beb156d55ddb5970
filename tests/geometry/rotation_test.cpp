#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "geometry/rotation.h"
#include "geometry/vector.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTol = 1e-12;

void expectVec3(const double* v, double x, double y, double z, double tol = kTol) {
    EXPECT_NEAR(v[0], x, tol);
    EXPECT_NEAR(v[1], y, tol);
    EXPECT_NEAR(v[2], z, tol);
}

void expectSameVec3(const double* v, const double* w, double tol) {
    EXPECT_NEAR(v[0], w[0], tol);
    EXPECT_NEAR(v[1], w[1], tol);
    EXPECT_NEAR(v[2], w[2], tol);
}

void randomUnit(std::mt19937& rng, double out[3]) {
    std::normal_distribution<double> n(0.0, 1.0);
    do {
        out[0] = n(rng);
        out[1] = n(rng);
        out[2] = n(rng);
    } while (normalize3D(out) < 1e-3);
}

// --- quaternions ---------------------------------------------------------------

TEST(Quaternion, ProductPutsSecondArgumentOnTheLeft) {
    const double i[4] = {0.0, 1.0, 0.0, 0.0};
    const double j[4] = {0.0, 0.0, 1.0, 0.0};
    double out[4];
    multiplyQuaternion(j, i, out); // i * j = k
    EXPECT_DOUBLE_EQ(out[0], 0.0);
    EXPECT_DOUBLE_EQ(out[1], 0.0);
    EXPECT_DOUBLE_EQ(out[2], 0.0);
    EXPECT_DOUBLE_EQ(out[3], 1.0);
    multiplyQuaternion(i, j, out); // j * i = -k
    EXPECT_DOUBLE_EQ(out[3], -1.0);
}

TEST(Quaternion, ProductOfGeneralQuaternionsByHand) {
    // (5 + 6i + 7j + 8k)(1 + 2i + 3j + 4k) = -60 + 20i + 14j + 32k
    const double a[4] = {1.0, 2.0, 3.0, 4.0};
    const double b[4] = {5.0, 6.0, 7.0, 8.0};
    double out[4];
    EXPECT_EQ(multiplyQuaternion(a, b, out), out);
    EXPECT_DOUBLE_EQ(out[0], -60.0);
    EXPECT_DOUBLE_EQ(out[1], 20.0);
    EXPECT_DOUBLE_EQ(out[2], 14.0);
    EXPECT_DOUBLE_EQ(out[3], 32.0);

    // Output over an input gives the same.
    double a2[4] = {1.0, 2.0, 3.0, 4.0};
    multiplyQuaternion(a2, b, a2);
    for (int k = 0; k < 4; ++k)
        EXPECT_DOUBLE_EQ(a2[k], out[k]);
}

TEST(Quaternion, FromAxisAndAngle) {
    const double z[3] = {0.0, 0.0, 1.0};
    double q[4], qc[4];
    getQuaternion(q, qc, z, kPi / 2.0);
    const double h = std::sqrt(0.5);
    EXPECT_NEAR(q[0], h, kTol);
    EXPECT_NEAR(q[1], 0.0, kTol);
    EXPECT_NEAR(q[2], 0.0, kTol);
    EXPECT_NEAR(q[3], h, kTol);
    EXPECT_DOUBLE_EQ(qc[0], q[0]);
    EXPECT_DOUBLE_EQ(qc[1], -q[1]);
    EXPECT_DOUBLE_EQ(qc[2], -q[2]);
    EXPECT_DOUBLE_EQ(qc[3], -q[3]);
}

TEST(Quaternion, QuarterTurnAboutZTakesXToY) {
    const double z[3] = {0.0, 0.0, 1.0};
    const double x[3] = {1.0, 0.0, 0.0};
    double q[4], qc[4], out[3];
    getQuaternion(q, qc, z, kPi / 2.0);
    transformQuaternion(q, qc, x, out);
    expectVec3(out, 0.0, 1.0, 0.0);
}

TEST(Quaternion, HandRotationsAboutEachAxis) {
    const double x[3] = {1.0, 0.0, 0.0};
    const double y[3] = {0.0, 1.0, 0.0};
    const double v[3] = {1.0, 2.0, 3.0};
    double q[4], qc[4], out[3];
    getQuaternion(q, qc, x, kPi / 2.0); // y -> z, z -> -y
    transformQuaternion(q, qc, v, out);
    expectVec3(out, 1.0, -3.0, 2.0);
    getQuaternion(q, qc, y, kPi / 2.0); // z -> x, x -> -z
    transformQuaternion(q, qc, v, out);
    expectVec3(out, 3.0, 2.0, -1.0);
    getQuaternion(q, qc, y, kPi); // half turn
    transformQuaternion(q, qc, v, out);
    expectVec3(out, -1.0, 2.0, -3.0);
}

TEST(Quaternion, RandomRotationsMatchRodriguesAndRoundTrip) {
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> angleDist(-2.0 * kPi, 2.0 * kPi);
    std::uniform_real_distribution<double> lenDist(0.01, 100.0);
    for (int n = 0; n < 500; ++n) {
        double axis[3], v[3];
        randomUnit(rng, axis);
        randomUnit(rng, v);
        scale3D(v, lenDist(rng), v);
        const double angle = angleDist(rng);
        double q[4], qc[4], out[3];
        getQuaternion(q, qc, axis, angle);
        transformQuaternion(q, qc, v, out);

        // Rodrigues: v cos + (n x v) sin + n (n.v)(1 - cos)
        double nxv[3];
        cross3D(axis, v, nxv);
        const double c = std::cos(angle), s = std::sin(angle), nv = dot3D(axis, v);
        const double expected[3] = {v[0] * c + nxv[0] * s + axis[0] * nv * (1.0 - c),
                                    v[1] * c + nxv[1] * s + axis[1] * nv * (1.0 - c),
                                    v[2] * c + nxv[2] * s + axis[2] * nv * (1.0 - c)};
        const double scale = len3D(v);
        expectSameVec3(out, expected, 1e-12 * scale);
        EXPECT_NEAR(len3D(out), scale, 1e-12 * scale);

        // The axis itself stays put.
        double axisOut[3];
        transformQuaternion(q, qc, axis, axisOut);
        expectSameVec3(axisOut, axis, 1e-12);

        // Rotating back by the conjugate restores v.
        double back[3];
        transformQuaternion(qc, q, out, back);
        expectSameVec3(back, v, 1e-12 * scale);
    }
}

TEST(Quaternion, ProductComposesRotationsFirstArgumentFirst) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> angleDist(-kPi, kPi);
    for (int n = 0; n < 200; ++n) {
        double axisA[3], axisB[3], v[3];
        randomUnit(rng, axisA);
        randomUnit(rng, axisB);
        randomUnit(rng, v);
        double qa[4], qac[4], qb[4], qbc[4];
        getQuaternion(qa, qac, axisA, angleDist(rng));
        getQuaternion(qb, qbc, axisB, angleDist(rng));

        double stepwise[3];
        transformQuaternion(qa, qac, v, stepwise);
        transformQuaternion(qb, qbc, stepwise, stepwise);

        double qab[4], qabc[4], combined[3];
        multiplyQuaternion(qa, qb, qab);
        multiplyQuaternion(qbc, qac, qabc);
        EXPECT_NEAR(qab[0] * qab[0] + qab[1] * qab[1] + qab[2] * qab[2] + qab[3] * qab[3], 1.0,
                    1e-12);
        transformQuaternion(qab, qabc, v, combined);
        expectSameVec3(combined, stepwise, 1e-12);
    }
}

// --- rotation between two directions ------------------------------------------

TEST(RotateAngleAndAxis, SameDirectionLeavesOutputsUntouched) {
    const double a[3] = {0.0, 0.6, 0.8};
    double axis[3] = {11.0, 12.0, 13.0};
    double angle = 42.0;
    EXPECT_EQ(getRotateAngleAndAxis(a, a, axis, &angle), 1);
    expectVec3(axis, 11.0, 12.0, 13.0, 0.0);
    EXPECT_EQ(angle, 42.0);

    // 1e-4 rad apart: cos is above 0.9999999, still "no rotation".
    const double b[3] = {std::sin(1e-4), 0.0, std::cos(1e-4)};
    const double z[3] = {0.0, 0.0, 1.0};
    EXPECT_EQ(getRotateAngleAndAxis(z, b, axis, &angle), 1);
    EXPECT_EQ(angle, 42.0);
}

TEST(RotateAngleAndAxis, NoRotationCutOffAtCosine0_9999999) {
    // cos(4e-4) = 1 - 8e-8 is above 0.9999999; cos(5e-4) = 1 - 1.25e-7 is below.
    const double z[3] = {0.0, 0.0, 1.0};
    const double in[3] = {0.0, std::sin(4e-4), std::cos(4e-4)};
    const double out[3] = {0.0, std::sin(5e-4), std::cos(5e-4)};
    double axis[3] = {0.0, 0.0, 0.0}, angle = -1.0;
    EXPECT_EQ(getRotateAngleAndAxis(z, in, axis, &angle), 1);
    EXPECT_EQ(angle, -1.0);
    EXPECT_EQ(getRotateAngleAndAxis(z, out, axis, &angle), 0);
    EXPECT_NEAR(angle, 5e-4, 1e-9);
    expectVec3(axis, -1.0, 0.0, 0.0, 1e-9); // z x y = -x
}

TEST(RotateAngleAndAxis, SmallButRealRotation) {
    // 1e-3 rad apart: cos = 1 - 5e-7, below the cut-off.
    const double z[3] = {0.0, 0.0, 1.0};
    const double b[3] = {std::sin(1e-3), 0.0, std::cos(1e-3)};
    double axis[3], angle = 0.0;
    EXPECT_EQ(getRotateAngleAndAxis(z, b, axis, &angle), 0);
    EXPECT_NEAR(angle, 1e-3, 1e-9);
    expectVec3(axis, 0.0, 1.0, 0.0, 1e-9); // z x x = y
}

TEST(RotateAngleAndAxis, QuarterTurnByHand) {
    const double x[3] = {1.0, 0.0, 0.0};
    const double y[3] = {0.0, 1.0, 0.0};
    double axis[3], angle = 0.0;
    EXPECT_EQ(getRotateAngleAndAxis(x, y, axis, &angle), 0);
    EXPECT_NEAR(angle, kPi / 2.0, kTol);
    expectVec3(axis, 0.0, 0.0, 1.0);
}

TEST(RotateAngleAndAxis, OppositeDirectionsGiveHalfTurnAboutPerpendicular) {
    struct Case {
        double a[3];
        double axis[3];
    };
    const double r = 1.0 / std::sqrt(3.0), s = std::sqrt(0.5);
    const Case cases[] = {
        {{1.0, 0.0, 0.0}, {0.0, -1.0, 0.0}}, // y and z tie at 0: z chosen
        {{0.0, 1.0, 0.0}, {1.0, 0.0, 0.0}},  // x and z tie at 0: z chosen
        {{0.0, 0.0, 1.0}, {-1.0, 0.0, 0.0}}, // x and y tie at 0: y chosen
        {{0.0, 0.6, 0.8}, {0.0, 0.8, -0.6}}, // x smallest
        {{0.6, 0.0, 0.8}, {-0.8, 0.0, 0.6}}, // y smallest
        {{r, r, r}, {s, -s, 0.0}},           // all equal: z chosen
    };
    for (const Case& c : cases) {
        const double b[3] = {-c.a[0], -c.a[1], -c.a[2]};
        double axis[3], angle = 0.0;
        EXPECT_EQ(getRotateAngleAndAxis(c.a, b, axis, &angle), 0);
        EXPECT_EQ(angle, 3.141592653589793);
        expectVec3(axis, c.axis[0], c.axis[1], c.axis[2]);
        EXPECT_NEAR(dot3D(axis, c.a), 0.0, kTol);
        EXPECT_NEAR(len3D(axis), 1.0, kTol);
    }
}

TEST(RotateAngleAndAxis, DotBelowMinusOneIsTreatedAsOpposite) {
    const double a[3] = {1.0, 0.0, 0.0};
    const double b[3] = {-1.0 - 1e-9, 0.0, 0.0};
    double axis[3], angle = 0.0;
    EXPECT_EQ(getRotateAngleAndAxis(a, b, axis, &angle), 0);
    EXPECT_EQ(angle, 3.141592653589793);
    expectVec3(axis, 0.0, -1.0, 0.0);
}

TEST(RotateAngleAndAxis, AxisMayOverwriteInput) {
    double a[3] = {0.0, 0.6, 0.8};
    const double b[3] = {0.0, -0.6, -0.8};
    double angle = 0.0;
    EXPECT_EQ(getRotateAngleAndAxis(a, b, a, &angle), 0);
    EXPECT_EQ(angle, 3.141592653589793);
    expectVec3(a, 0.0, 0.8, -0.6);
}

TEST(RotateAngleAndAxis, ResultRotatesAOntoB) {
    std::mt19937 rng(99);
    std::normal_distribution<double> jitter(0.0, 1e-3);
    for (int n = 0; n < 1000; ++n) {
        double a[3], b[3];
        randomUnit(rng, a);
        if (n % 4 == 3) {
            // Nearly opposite pairs.
            b[0] = -a[0] + jitter(rng);
            b[1] = -a[1] + jitter(rng);
            b[2] = -a[2] + jitter(rng);
            normalize3D(b);
        } else {
            randomUnit(rng, b);
        }
        double axis[3], angle = -1.0;
        ASSERT_EQ(getRotateAngleAndAxis(a, b, axis, &angle), 0);
        EXPECT_GE(angle, 0.0);
        EXPECT_LE(angle, kPi);
        EXPECT_NEAR(len3D(axis), 1.0, 1e-12);
        double q[4], qc[4], out[3];
        getQuaternion(q, qc, axis, angle);
        transformQuaternion(q, qc, a, out);
        expectSameVec3(out, b, 1e-9);
    }
}

// --- perpendicular frame ---------------------------------------------------------

void expectRightHandedFrame(const double d[3], const double axis1[3], const double axis2[3]) {
    EXPECT_NEAR(len3D(axis1), 1.0, 1e-12);
    EXPECT_NEAR(len3D(axis2), 1.0, 1e-12);
    EXPECT_NEAR(dot3D(axis1, axis2), 0.0, 1e-12);
    EXPECT_NEAR(dot3D(axis1, d), 0.0, 1e-12);
    EXPECT_NEAR(dot3D(axis2, d), 0.0, 1e-12);
    double c[3];
    cross3D(axis1, axis2, c);
    expectSameVec3(c, d, 1e-12);
}

TEST(LocalAxis, ZDirectionByHand) {
    const double z[3] = {0.0, 0.0, 1.0};
    double axis1[3], axis2[3];
    getLocalAxis(z, axis1, axis2);
    expectVec3(axis2, -1.0, 0.0, 0.0);
    expectVec3(axis1, 0.0, 1.0, 0.0);
}

TEST(LocalAxis, AxisAndTieDirectionsByHand) {
    struct Case {
        double d[3];
        double axis2[3];
    };
    const double r = 1.0 / std::sqrt(3.0), s = std::sqrt(0.5);
    const Case cases[] = {
        {{1.0, 0.0, 0.0}, {0.0, -1.0, 0.0}}, {{0.0, 1.0, 0.0}, {1.0, 0.0, 0.0}},
        {{0.0, 0.0, -1.0}, {1.0, 0.0, 0.0}}, {{r, r, r}, {s, -s, 0.0}},
        {{0.0, s, s}, {0.0, s, -s}},         {{s, s, 0.0}, {s, -s, 0.0}},
        {{s, 0.0, s}, {-s, 0.0, s}},         {{0.0, 0.6, 0.8}, {0.0, 0.8, -0.6}},
        {{0.8, 0.0, -0.6}, {0.6, 0.0, 0.8}},
    };
    for (const Case& c : cases) {
        double axis1[3], axis2[3];
        getLocalAxis(c.d, axis1, axis2);
        expectVec3(axis2, c.axis2[0], c.axis2[1], c.axis2[2]);
        expectRightHandedFrame(c.d, axis1, axis2);
    }
}

TEST(LocalAxis, RightHandedOrthonormalForLatticeDirections) {
    // Every direction with components in {-1, 0, 1}: axis-aligned, diagonal and
    // tied cases.
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j)
            for (int k = -1; k <= 1; ++k) {
                if (i == 0 && j == 0 && k == 0) continue;
                double d[3] = {double(i), double(j), double(k)};
                normalize3D(d);
                double axis1[3], axis2[3];
                getLocalAxis(d, axis1, axis2);
                SCOPED_TRACE(testing::Message() << i << " " << j << " " << k);
                expectRightHandedFrame(d, axis1, axis2);
            }
}

TEST(LocalAxis, RightHandedOrthonormalForRandomDirections) {
    std::mt19937 rng(3);
    for (int n = 0; n < 2000; ++n) {
        double d[3];
        randomUnit(rng, d);
        double axis1[3], axis2[3];
        getLocalAxis(d, axis1, axis2);
        expectRightHandedFrame(d, axis1, axis2);
        // axis2 drops a component of d of smallest magnitude.
        const double m = std::fmin(std::fabs(d[0]), std::fmin(std::fabs(d[1]), std::fabs(d[2])));
        int dropped = -1;
        for (int k = 0; k < 3; ++k)
            if (axis2[k] == 0.0) dropped = k;
        ASSERT_NE(dropped, -1);
        EXPECT_EQ(std::fabs(d[dropped]), m);
    }
}

TEST(LocalAxis, OutputMayOverwriteDirection) {
    double d[3] = {0.0, 0.0, 1.0};
    double axis1[3];
    getLocalAxis(d, axis1, d);
    expectVec3(d, -1.0, 0.0, 0.0);
    expectVec3(axis1, 0.0, 1.0, 0.0);
}

// --- heading, pitch, bank ---------------------------------------------------------

// Independent rebuild: M = Ry(heading) * Rx(pitch) * Rz(bank), so bank is applied
// first, then pitch, then heading. Heading turns +z towards +x; positive pitch
// tips +z down towards -y; bank turns +x towards +y.
struct Mat3 {
    double m[3][3];
};

Mat3 mul(const Mat3& a, const Mat3& b) {
    Mat3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

Mat3 rotX(double t) {
    const double c = std::cos(t), s = std::sin(t);
    return {{{1.0, 0.0, 0.0}, {0.0, c, -s}, {0.0, s, c}}};
}
Mat3 rotY(double t) {
    const double c = std::cos(t), s = std::sin(t);
    return {{{c, 0.0, s}, {0.0, 1.0, 0.0}, {-s, 0.0, c}}};
}
Mat3 rotZ(double t) {
    const double c = std::cos(t), s = std::sin(t);
    return {{{c, -s, 0.0}, {s, c, 0.0}, {0.0, 0.0, 1.0}}};
}

void frameFromAngles(double h, double p, double b, double forward[3], double right[3]) {
    const Mat3 m = mul(rotY(h), mul(rotX(p), rotZ(b)));
    for (int i = 0; i < 3; ++i) {
        right[i] = m.m[i][0];
        forward[i] = m.m[i][2];
    }
}

double angleDiff(double a, double b) {
    return std::remainder(a - b, 2.0 * kPi);
}

TEST(HeadingPitchBank, IdentityFrameGivesZeros) {
    const double f[3] = {0.0, 0.0, 1.0};
    const double r[3] = {1.0, 0.0, 0.0};
    double hpb[3] = {9.0, 9.0, 9.0};
    getOilarRotFromAxisVec(hpb, f, r);
    EXPECT_EQ(hpb[0], 0.0);
    EXPECT_EQ(hpb[1], 0.0);
    EXPECT_EQ(hpb[2], 0.0);
}

TEST(HeadingPitchBank, SingleAxisTurnsByHand) {
    struct Case {
        double f[3], r[3], hpb[3];
    };
    const double s = std::sqrt(0.5);
    const Case cases[] = {
        {{1.0, 0.0, 0.0}, {0.0, 0.0, -1.0}, {kPi / 2.0, 0.0, 0.0}},  // face +x
        {{0.0, 0.0, -1.0}, {-1.0, 0.0, 0.0}, {kPi, 0.0, 0.0}},       // face back
        {{-s, 0.0, s}, {s, 0.0, s}, {-kPi / 4.0, 0.0, 0.0}},         // 45 deg left
        {{0.0, -1.0, 0.0}, {1.0, 0.0, 0.0}, {0.0, kPi / 2.0, 0.0}},  // look down
        {{0.0, s, s}, {1.0, 0.0, 0.0}, {0.0, -kPi / 4.0, 0.0}},      // look up 45
        {{0.0, 0.0, 1.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, kPi / 2.0}},   // roll +x to +y
        {{0.0, 0.0, 1.0}, {0.0, -1.0, 0.0}, {0.0, 0.0, -kPi / 2.0}}, // roll the other way
        {{0.0, 0.0, 1.0}, {-1.0, 0.0, 0.0}, {0.0, 0.0, kPi}},        // upside down
    };
    for (const Case& c : cases) {
        double hpb[3];
        getOilarRotFromAxisVec(hpb, c.f, c.r);
        expectVec3(hpb, c.hpb[0], c.hpb[1], c.hpb[2], 1e-12);
    }
}

TEST(HeadingPitchBank, AnglesRebuildRandomFramesFromAngles) {
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> hDist(-kPi, kPi);
    std::uniform_real_distribution<double> pDist(-kPi / 2.0 + 1e-3, kPi / 2.0 - 1e-3);
    int checked = 0;
    for (int n = 0; n < 3000; ++n) {
        const double h = hDist(rng), p = pDist(rng), b = hDist(rng);
        if (std::fabs(b) < 1e-3) continue; // tiny banks are dropped; tested below
        double f[3], r[3];
        frameFromAngles(h, p, b, f, r);
        double hpb[3];
        getOilarRotFromAxisVec(hpb, f, r);
        EXPECT_NEAR(angleDiff(hpb[0], h), 0.0, 1e-9);
        EXPECT_NEAR(hpb[1], p, 1e-9);
        EXPECT_NEAR(angleDiff(hpb[2], b), 0.0, 1e-9);
        ++checked;
    }
    EXPECT_GT(checked, 2900);
}

TEST(HeadingPitchBank, AnglesRebuildRandomOrthonormalFrames) {
    std::mt19937 rng(77);
    for (int n = 0; n < 3000; ++n) {
        double f[3], t[3], r[3];
        randomUnit(rng, f);
        randomUnit(rng, t);
        if (norm3D(t, f, r)) continue; // r is perpendicular to f
        double hpb[3];
        getOilarRotFromAxisVec(hpb, f, r);
        double f2[3], r2[3];
        frameFromAngles(hpb[0], hpb[1], hpb[2], f2, r2);
        expectSameVec3(f2, f, 1e-9);
        // A bank too small to tell from none comes back as 0 (cos > 0.9999999,
        // i.e. under about 4.5e-4 rad).
        expectSameVec3(r2, r, hpb[2] == 0.0 ? 4.5e-4 : 1e-9);
        EXPECT_GE(hpb[1], -kPi / 2.0);
        EXPECT_LE(hpb[1], kPi / 2.0);
    }
}

TEST(HeadingPitchBank, TinyBankIsDropped) {
    double f[3], r[3];
    frameFromAngles(0.7, -0.3, 1e-4, f, r);
    double hpb[3];
    getOilarRotFromAxisVec(hpb, f, r);
    EXPECT_NEAR(hpb[0], 0.7, 1e-9);
    EXPECT_NEAR(hpb[1], -0.3, 1e-9);
    EXPECT_EQ(hpb[2], 0.0);
}

TEST(HeadingPitchBank, StraightUpOrDownFoldsHeadingIntoBank) {
    std::mt19937 rng(8);
    std::uniform_real_distribution<double> aDist(-kPi, kPi);
    for (int n = 0; n < 200; ++n) {
        const double p = (n % 2) ? kPi / 2.0 : -kPi / 2.0;
        double f[3], r[3];
        frameFromAngles(aDist(rng), p, aDist(rng), f, r);
        double hpb[3];
        getOilarRotFromAxisVec(hpb, f, r);
        EXPECT_EQ(hpb[0], 0.0);
        EXPECT_NEAR(hpb[1], p, 1e-7);
        double f2[3], r2[3];
        frameFromAngles(hpb[0], hpb[1], hpb[2], f2, r2);
        expectSameVec3(f2, f, 1e-9);
        expectSameVec3(r2, r, hpb[2] == 0.0 ? 4.5e-4 : 1e-9);
    }
}

TEST(HeadingPitchBank, ForwardSlightlyLongerThanOneIsClamped) {
    const double f[3] = {0.0, 1.0 + 1e-12, 0.0};
    const double r[3] = {1.0, 0.0, 0.0};
    double hpb[3];
    getOilarRotFromAxisVec(hpb, f, r);
    EXPECT_FALSE(std::isnan(hpb[1]));
    EXPECT_NEAR(hpb[1], -kPi / 2.0, 1e-12);
}

} // namespace
