#include <gtest/gtest.h>

#include "geometry/vector.h"

namespace {

constexpr double kTol = 1e-12;

void expectVec2(const double* v, double x, double y, double tol = kTol) {
    EXPECT_NEAR(v[0], x, tol);
    EXPECT_NEAR(v[1], y, tol);
}

void expectVec3(const double* v, double x, double y, double z, double tol = kTol) {
    EXPECT_NEAR(v[0], x, tol);
    EXPECT_NEAR(v[1], y, tol);
    EXPECT_NEAR(v[2], z, tol);
}

TEST(VectorHelpers, InlineArithmetic) {
    const double a[3] = {1.0, 2.0, 3.0};
    const double b[3] = {4.0, -5.0, 6.0};
    double out[3];
    EXPECT_DOUBLE_EQ(dot3D(a, b), 4.0 - 10.0 + 18.0);
    EXPECT_DOUBLE_EQ(len3D(b), std::sqrt(77.0));
    add3D(a, b, out);
    expectVec3(out, 5.0, -3.0, 9.0);
    sub3D(a, b, out);
    expectVec3(out, -3.0, 7.0, -3.0);
    scale3D(a, -2.0, out);
    expectVec3(out, -2.0, -4.0, -6.0);
    copy3D(b, out);
    expectVec3(out, 4.0, -5.0, 6.0);

    const double p[2] = {3.0, 4.0};
    const double q[2] = {-1.0, 2.0};
    double o2[2];
    EXPECT_DOUBLE_EQ(dot2D(p, q), 5.0);
    EXPECT_DOUBLE_EQ(cross2D(p, q), 10.0);
    EXPECT_DOUBLE_EQ(len2D(p), 5.0);
    add2D(p, q, o2);
    expectVec2(o2, 2.0, 6.0);
    sub2D(p, q, o2);
    expectVec2(o2, 4.0, 2.0);
    scale2D(q, 3.0, o2);
    expectVec2(o2, -3.0, 6.0);
    copy2D(p, o2);
    expectVec2(o2, 3.0, 4.0);
}

TEST(VectorHelpers, CrossProductIsRightHandedAndMayOverwriteInput) {
    double x[3] = {1.0, 0.0, 0.0};
    const double y[3] = {0.0, 1.0, 0.0};
    double out[3];
    cross3D(x, y, out);
    expectVec3(out, 0.0, 0.0, 1.0);
    cross3D(y, x, out);
    expectVec3(out, 0.0, 0.0, -1.0);

    double a[3] = {1.0, 2.0, 3.0};
    const double b[3] = {4.0, 5.0, 6.0};
    cross3D(a, b, a);
    expectVec3(a, -3.0, 6.0, -3.0);
}

TEST(Distance, PythagoreanTriple) {
    const double a[3] = {1.0, 2.0, 3.0};
    const double b[3] = {4.0, 6.0, 3.0};
    EXPECT_DOUBLE_EQ(dist3D(a, b), 5.0);
    EXPECT_DOUBLE_EQ(dist3D(b, a), 5.0);
    EXPECT_DOUBLE_EQ(dist3D(a, a), 0.0);
}

TEST(Normalize, TwoDimensional) {
    double v[2] = {3.0, -4.0};
    EXPECT_DOUBLE_EQ(normalize2D(v), 5.0);
    expectVec2(v, 0.6, -0.8);

    double tiny[2] = {5e-8, 0.0};
    EXPECT_EQ(normalize2D(tiny), 0.0);
    expectVec2(tiny, 0.0, 0.0, 0.0);

    double small[2] = {0.0, 2e-7};
    EXPECT_NEAR(normalize2D(small), 2e-7, 1e-20);
    expectVec2(small, 0.0, 1.0);
}

TEST(Normalize, TwoDimensionalIntoSeparateOutputLeavesInput) {
    const double in[2] = {-6.0, 8.0};
    double out[2] = {99.0, 99.0};
    EXPECT_DOUBLE_EQ(normalize2D2(in, out), 10.0);
    expectVec2(out, -0.6, 0.8);
    expectVec2(in, -6.0, 8.0, 0.0);

    const double zero[2] = {1e-8, -1e-8};
    EXPECT_EQ(normalize2D2(zero, out), 0.0);
    expectVec2(out, 0.0, 0.0, 0.0);
    expectVec2(zero, 1e-8, -1e-8, 0.0);

    double same[2] = {0.0, -3.0};
    EXPECT_DOUBLE_EQ(normalize2D2(same, same), 3.0);
    expectVec2(same, 0.0, -1.0);
}

TEST(Normalize, ThreeDimensional) {
    double v[3] = {2.0, -3.0, 6.0};
    EXPECT_DOUBLE_EQ(normalize3D(v), 7.0);
    expectVec3(v, 2.0 / 7.0, -3.0 / 7.0, 6.0 / 7.0);
    EXPECT_NEAR(len3D(v), 1.0, kTol);

    double tiny[3] = {4e-8, 4e-8, 4e-8}; // length ~6.9e-8
    EXPECT_EQ(normalize3D(tiny), 0.0);
    expectVec3(tiny, 0.0, 0.0, 0.0, 0.0);
}

TEST(Direction, TwoDimensionalPointsFromAToB) {
    const double a[2] = {1.0, 1.0};
    const double b[2] = {4.0, 5.0};
    double out[2];
    EXPECT_DOUBLE_EQ(vect2D(a, b, out), 5.0);
    expectVec2(out, 0.6, 0.8);
    EXPECT_DOUBLE_EQ(vect2D(b, a, out), 5.0);
    expectVec2(out, -0.6, -0.8);

    double junk[2] = {7.0, 7.0};
    EXPECT_EQ(vect2D(a, a, junk), 0.0);
    expectVec2(junk, 0.0, 0.0, 0.0);
}

TEST(Direction, ThreeDimensionalPointsFromAToB) {
    const double a[3] = {1.0, 2.0, 3.0};
    const double b[3] = {3.0, 5.0, 9.0};
    double out[3];
    EXPECT_DOUBLE_EQ(vect3D(a, b, out), 7.0);
    expectVec3(out, 2.0 / 7.0, 3.0 / 7.0, 6.0 / 7.0);

    const double nearA[3] = {1.0 + 3e-8, 2.0, 3.0 - 3e-8};
    double junk[3] = {7.0, 7.0, 7.0};
    EXPECT_EQ(vect3D(a, nearA, junk), 0.0);
    expectVec3(junk, 0.0, 0.0, 0.0, 0.0);

    // Output over the first input.
    double p[3] = {0.0, 0.0, 0.0};
    const double q[3] = {0.0, -2.0, 0.0};
    EXPECT_DOUBLE_EQ(vect3D(p, q, p), 2.0);
    expectVec3(p, 0.0, -1.0, 0.0);
}

TEST(NormalOfTwoVectors, ParallelIsDegenerate) {
    const double a[3] = {1.0, 2.0, 3.0};
    const double b[3] = {-2.0, -4.0, -6.0};
    double out[3] = {5.0, 5.0, 5.0};
    EXPECT_TRUE(norm3D(a, b, out));
    expectVec3(out, 0.0, 0.0, 0.0, 0.0);

    const double zero[3] = {0.0, 0.0, 0.0};
    double out2[3] = {5.0, 5.0, 5.0};
    EXPECT_TRUE(norm3D(a, zero, out2));
    expectVec3(out2, 0.0, 0.0, 0.0, 0.0);
}

TEST(NormalOfTwoVectors, PerpendicularUnitVectorsGiveUnitNormal) {
    const double x[3] = {1.0, 0.0, 0.0};
    const double y[3] = {0.0, 1.0, 0.0};
    double out[3];
    EXPECT_FALSE(norm3D(x, y, out));
    expectVec3(out, 0.0, 0.0, 1.0);

    const double a[3] = {2.0, 0.0, 0.0};
    const double b[3] = {0.0, 0.0, 3.0};
    EXPECT_FALSE(norm3D(a, b, out));
    expectVec3(out, 0.0, -1.0, 0.0);
}

TEST(NormalOfTwoVectors, ThresholdOnCrossMagnitude) {
    const double x[3] = {1.0, 0.0, 0.0};
    const double below[3] = {1.0, 5e-8, 0.0}; // |x cross below| = 5e-8
    const double above[3] = {1.0, 2e-7, 0.0}; // |x cross above| = 2e-7
    double out[3];
    EXPECT_TRUE(norm3D(x, below, out));
    expectVec3(out, 0.0, 0.0, 0.0, 0.0);
    EXPECT_FALSE(norm3D(x, above, out));
    expectVec3(out, 0.0, 0.0, 1.0);
}

} // namespace
