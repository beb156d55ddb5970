// Derived geometry worked by hand: a 3-4-5 right triangle's frame and 2D
// data, corner angles and normals, linegon frames before and after a turn,
// linegon directions at a point, and the world data under a cage rotation.
#include "cage/cage_frames.h"
#include "cage/cage_model.h"
#include "cage_test_support.h"
#include "geometry/vector.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using cagetest::addPoints;
using cagetest::OwnedCage;

// Exact inputs; results go through a square root or acos at most.
constexpr double kTol = 1e-12;
constexpr double kPi = 3.14159265358979323846;

void expect3(const double* v, double x, double y, double z, double tol = kTol) {
    EXPECT_NEAR(v[0], x, tol);
    EXPECT_NEAR(v[1], y, tol);
    EXPECT_NEAR(v[2], z, tol);
}

void expect2(const double* v, double x, double y, double tol = kTol) {
    EXPECT_NEAR(v[0], x, tol);
    EXPECT_NEAR(v[1], y, tol);
}

void expectOrthonormal(const double* a, const double* b, const double* c, double tol = kTol) {
    EXPECT_NEAR(len3D(a), 1.0, tol);
    EXPECT_NEAR(len3D(b), 1.0, tol);
    EXPECT_NEAR(len3D(c), 1.0, tol);
    EXPECT_NEAR(dot3D(a, b), 0.0, tol);
    EXPECT_NEAR(dot3D(b, c), 0.0, tol);
    EXPECT_NEAR(dot3D(a, c), 0.0, tol);
    double axb[3];
    cross3D(a, b, axb);
    EXPECT_NEAR(dot3D(axb, c), 1.0, tol); // right-handed
}

void setIdentityAxes(CageInstance* cage) {
    const double axes[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};
    for (int i = 0; i < 4; ++i)
        copy3D(axes[i], cage->worldAxes[i]);
}

// Heading 90 degrees: right (0,0,-1), up (0,1,0), forward (1,0,0); moved to (5,6,7).
void setTurnedAxes(CageInstance* cage) {
    const double axes[4][3] = {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}, {5, 6, 7}};
    for (int i = 0; i < 4; ++i)
        copy3D(axes[i], cage->worldAxes[i]);
}

// P0 = (0,0,0), P1 = (0,4,0), P2 = (3,0,0), shifted by (1,2,3).
struct RightTriangle {
    OwnedCage cage;
    std::vector<PointData*> p;
    TrigonData* tri = nullptr;
    RightTriangle() {
        allocCageBlocks(cage.cage, 3, 0, 1, 0);
        p = addPoints(cage.cage, {{1, 2, 3}, {1, 6, 3}, {4, 2, 3}});
        tri = add1TrigonData(cage.cage, p[0], p[1], p[2]);
    }
};

TEST(TrigonRestData, RightTriangleFrameAndTwoDimensionalData) {
    RightTriangle rt;
    TrigonData* t = rt.tri;
    initTrigonData(t);
    // X = unit(P2 - P0) = x; e = unit(P1 - P0) = y; N = unit(X x e) = z; Y = N x X = y.
    expect3(t->rest.X, 1, 0, 0);
    expect3(t->rest.Y, 0, 1, 0);
    expect3(t->rest.N, 0, 0, 1);
    expect3(t->X, 1, 0, 0);
    expect3(t->Y, 0, 1, 0);
    expect3(t->N, 0, 0, 1);
    expect3(t->dir01, 0, 1, 0);
    expect3(t->dir12, 0.6, -0.8, 0);
    expect3(t->dir20, -1, 0, 0);
    EXPECT_NEAR(t->rest.p1x, 0.0, kTol);
    EXPECT_NEAR(t->rest.p1y, 4.0, kTol);
    EXPECT_NEAR(t->rest.p2x, 3.0, kTol);
    EXPECT_NEAR(t->rest.p2y, 0.0, kTol);
    EXPECT_NEAR(t->rest.len01, 4.0, kTol);
    EXPECT_NEAR(t->rest.len12, 5.0, kTol);
    EXPECT_NEAR(t->rest.len20, 3.0, kTol);
    expect2(t->rest.d01, 0, 1);
    expect2(t->rest.d12, 0.6, -0.8);
    expect2(t->rest.d20, -1, 0);
    // (-dy, dx) of each direction.
    expect2(t->rest.norm01, -1, 0);
    expect2(t->rest.norm12, 0.8, 0.6);
    expect2(t->rest.norm20, 0, -1);
    expect3(t->restBoxMin, 1, 2, 3);
    expect3(t->restBoxMax, 4, 6, 3);
    expectOrthonormal(t->rest.X, t->rest.Y, t->rest.N);
}

TEST(TrigonRestData, FrameZeroBlockComesFromTheBaseShape) {
    RightTriangle rt;
    // Rest shape = base shape scaled by 2 about P0 and lifted by 10 in z.
    for (PointData* p : rt.p)
        for (int i = 0; i < 3; ++i)
            p->restPos[i] = (i == 2 ? 10.0 : 0.0) + rt.p[0]->basePos[i] +
                            2.0 * (p->basePos[i] - rt.p[0]->basePos[i]);
    TrigonData* t = rt.tri;
    initTrigonData(t, true);
    expect3(t->base.X, 1, 0, 0);
    expect3(t->base.Y, 0, 1, 0);
    expect3(t->base.N, 0, 0, 1);
    expect2(&t->base.p1x, 0, 4);
    expect2(&t->base.p2x, 3, 0);
    EXPECT_NEAR(t->base.len01, 4.0, kTol);
    EXPECT_NEAR(t->base.len12, 5.0, kTol);
    EXPECT_NEAR(t->base.len20, 3.0, kTol);
    expect2(t->base.d12, 0.6, -0.8);
    expect2(t->base.norm12, 0.8, 0.6);
    // The box is the base shape's, the rest data the scaled rest shape's.
    expect3(t->restBoxMin, 1, 2, 3);
    expect3(t->restBoxMax, 4, 6, 3);
    EXPECT_NEAR(t->rest.p1y, 8.0, kTol);
    EXPECT_NEAR(t->rest.p2x, 6.0, kTol);
    EXPECT_NEAR(t->rest.len12, 10.0, kTol);
    expect3(t->X, 1, 0, 0);
}

TEST(TrigonRestData, CornerAnglesWeightTheNormalAndSumToPi) {
    RightTriangle rt;
    initTrigonData(rt.tri);
    sumVertNormWithTrigon(rt.tri);
    // Right angle at P0; acos(0.8) at P1 (adjacent 4 over 5); acos(0.6) at P2.
    expect3(rt.p[0]->normal, 0, 0, kPi / 2);
    expect3(rt.p[1]->normal, 0, 0, std::acos(0.8));
    expect3(rt.p[2]->normal, 0, 0, std::acos(0.6));
    EXPECT_NEAR(rt.p[0]->normal[2] + rt.p[1]->normal[2] + rt.p[2]->normal[2], kPi, kTol);
    // A second call accumulates.
    sumVertNormWithTrigon(rt.tri);
    expect3(rt.p[0]->normal, 0, 0, kPi);
}

TEST(TrigonRestData, AcosArgumentIsClampedWhenRoundingLeavesTheRange) {
    RightTriangle rt;
    TrigonData* t = rt.tri;
    t->rest.N[2] = 1.0;
    const double over = 1.0 + 1e-9;
    const double d01[3] = {1, 0, 0}, d12[3] = {over, 0, 0}, d20[3] = {-over, 0, 0};
    copy3D(d01, t->dir01);
    copy3D(d12, t->dir12);
    copy3D(d20, t->dir20);
    sumVertNormWithTrigon(t);
    // -(dir01.dir20) > 1 gives 0; -(dir01.dir12) < -1 gives pi.
    expect3(rt.p[0]->normal, 0, 0, 0.0);
    expect3(rt.p[1]->normal, 0, 0, kPi);
    EXPECT_FALSE(std::isnan(rt.p[2]->normal[2]));
}

TEST(TrigonRestData, CornerNormalsInTheTriangleFrame) {
    RightTriangle rt;
    TrigonData* t = rt.tri;
    initTrigonData(t);
    const double tilted[3] = {0.6, 0.0, -0.8}, flat[3] = {1.0, 0.0, 0.0}, up[3] = {0.0, 0.0, 1.0};
    copy3D(tilted, rt.p[0]->normal);
    copy3D(flat, rt.p[1]->normal);
    copy3D(up, rt.p[2]->normal);
    enableTriData(t);
    // Facing away from N: all three components flip.
    expect3(t->vertNorm[0], -0.6, 0.0, 0.8);
    // In the triangle's plane: the third component is lifted to 1e-7.
    expect3(t->vertNorm[1], 1.0, 0.0, 1e-7, 0.0);
    expect3(t->vertNorm[2], 0.0, 0.0, 1.0);
}

TEST(TrigonRestData, DegenerateTrianglesGiveZeroVectorsNotNaN) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 6, 0, 2, 0);
    auto p =
        addPoints(cage.cage, {{2, 2, 2}, {2, 2, 2}, {2, 2, 2}, {0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
    TrigonData* point = add1TrigonData(cage.cage, p[0], p[1], p[2]);
    TrigonData* line = add1TrigonData(cage.cage, p[3], p[4], p[5]);
    for (TrigonData* t : {point, line}) {
        initTrigonData(t);
        sumVertNormWithTrigon(t);
        enableTriData(t);
        const double* all[] = {t->rest.X, t->rest.Y, t->rest.N, t->dir01, t->dir12, t->dir20};
        for (const double* v : all)
            for (int i = 0; i < 3; ++i)
                EXPECT_FALSE(std::isnan(v[i]));
        for (int k = 0; k < 3; ++k)
            EXPECT_GE(t->vertNorm[k][2], 1e-7);
    }
    expect3(point->rest.X, 0, 0, 0, 0.0);
    expect3(point->rest.N, 0, 0, 0, 0.0);
    EXPECT_EQ(point->rest.len01, 0.0);
    // Collinear: X along the line, no normal; the corner angles are 0, pi, 0.
    expect3(line->rest.X, 1, 0, 0);
    expect3(line->rest.N, 0, 0, 0, 0.0);
    EXPECT_NEAR(line->rest.len12, 1.0, kTol);
    EXPECT_NEAR(line->rest.p1x, 1.0, kTol);
}

TEST(TrigonWorldData, RefreshTurnsTheFrameAndMeasuresTheWorldShape) {
    RightTriangle rt;
    CageInstance* cage = rt.cage.cage;
    initTrigonData(rt.tri);
    setTurnedAxes(cage);
    for (PointData* p : rt.p) {
        copy3D(p->restPos, p->otherPos);
        setPointWorldPositions(cage, p);
    }
    // R p + W with p = (1,2,3): 1 right + 2 up + 3 forward + W = (3,2,-1) + (5,6,7).
    expect3(rt.p[0]->worldOtherPos, 8, 8, 6);
    expect3(rt.p[0]->worldRestPos, 8, 8, 6);
    refreshTrigonData(cage, rt.tri);
    const TrigonData* t = rt.tri;
    expect3(t->X, 0, 0, -1); // R x = right
    expect3(t->Y, 0, 1, 0);
    expect3(t->N, 1, 0, 0);
    expect3(t->rest.X, 1, 0, 0); // the local frame stays
    expect3(t->worldX, 0, 0, -1);
    expect3(t->worldY, 0, 1, 0);
    expect3(t->worldN, 1, 0, 0);
    expect2(t->worldP1, 0, 4);
    expect2(t->worldP12, 3, -4);

    // Stretch the current shape along world -z (P2 moves twice as far).
    const double moved[3] = {rt.p[2]->worldOtherPos[0], rt.p[2]->worldOtherPos[1],
                             rt.p[2]->worldOtherPos[2] - 3.0};
    copy3D(moved, rt.p[2]->worldOtherPos);
    refreshTrigonData(cage, rt.tri);
    expect2(t->worldP1, 0, 4);
    expect2(t->worldP12, 6, -4);
}

TEST(PolygonCentre, CentreIsTheCornerAverage) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 4, 0, 0, 1);
    auto p = addPoints(cage.cage, {{0, 0, 0}, {4, 0, 0}, {4, 2, 0}, {0, 2, 8}});
    PolygonData* poly = add1PolygonData(cage.cage, p[0], p[1], p[2], p[3]);
    for (PointData* q : p) {
        for (int i = 0; i < 3; ++i)
            q->restPos[i] = q->basePos[i] + 1.0;
        for (int i = 0; i < 3; ++i)
            q->otherPos[i] = q->basePos[i] - 1.0;
    }
    poly->center.normal[0] = 5.0;
    updatePolygonCenterRest(poly);
    expect3(poly->center.basePos, 2, 1, 2);
    expect3(poly->center.restPos, 3, 2, 3);
    expect3(poly->center.normal, 0, 0, 0, 0.0);
    updatePolygonCenterOther(poly);
    expect3(poly->center.otherPos, 1, 0, 1);
}

TEST(LinegonFrames, RestFrameAndTheShortestTurnToTheCurrentDirection) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 2, 1, 0, 0);
    auto p = addPoints(cage.cage, {{0, 0, 0}, {0, 0, 3}});
    LinegonData* lin = add1LinegonData(cage.cage, p[0], p[1]);
    initLinegonRestFrame(cage.cage, lin);
    EXPECT_EQ(lin->pos[0], p[0]->restPos);
    EXPECT_EQ(lin->pos[1], p[1]->restPos);
    EXPECT_NEAR(lin->restLength, 3.0, kTol);
    // getLocalAxis of z: axis2 = (-1,0,0), axis1 = axis2 x dir = (0,1,0).
    expect3(lin->restDir, 0, 0, 1);
    expect3(lin->restAxis1, 0, 1, 0);
    expect3(lin->restAxis2, -1, 0, 0);
    expectOrthonormal(lin->restAxis1, lin->restAxis2, lin->restDir);

    // Current B at (0,3,0) with identity axes: a quarter turn about -x.
    setIdentityAxes(cage.cage);
    const double a[3] = {0, 0, 0}, b[3] = {0, 6, 0};
    copy3D(a, p[0]->worldOtherPos);
    copy3D(b, p[1]->worldOtherPos);
    refreshLinegonFrame(cage.cage, lin);
    expect3(lin->worldRestDir, 0, 0, 1);
    expect3(lin->dir, 0, 1, 0);
    EXPECT_NEAR(lin->length, 6.0, kTol);
    EXPECT_NEAR(lin->stretch, 2.0, kTol);
    expect3(lin->axis1, 0, 0, -1);
    expect3(lin->axis2, -1, 0, 0);
    expectOrthonormal(lin->axis1, lin->axis2, lin->dir);
}

TEST(LinegonFrames, UnturnedLinegonKeepsTheWorldRestAxes) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 2, 1, 0, 0);
    auto p = addPoints(cage.cage, {{0, 0, 0}, {0, 0, 3}});
    LinegonData* lin = add1LinegonData(cage.cage, p[0], p[1]);
    initLinegonRestFrame(cage.cage, lin);
    setTurnedAxes(cage.cage);
    for (PointData* q : p) {
        copy3D(q->restPos, q->otherPos);
        setPointWorldPositions(cage.cage, q);
    }
    refreshLinegonFrame(cage.cage, lin);
    // R z = forward = x; R y = up; R (-x) = -right = z.
    expect3(lin->worldRestDir, 1, 0, 0);
    expect3(lin->worldRestAxis1, 0, 1, 0);
    expect3(lin->worldRestAxis2, 0, 0, 1);
    expect3(lin->dir, 1, 0, 0);
    expect3(lin->axis1, 0, 1, 0);
    expect3(lin->axis2, 0, 0, 1);
    EXPECT_NEAR(lin->stretch, 1.0, kTol);
}

TEST(LinegonFrames, CoincidentPointsGetATinyLengthAlongZ) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 2, 1, 0, 0);
    auto p = addPoints(cage.cage, {{1, 2, 3}, {1, 2, 3}});
    LinegonData* lin = add1LinegonData(cage.cage, p[0], p[1]);
    cage->restShapeAtFrame0 = 1;
    initLinegonRestFrame(cage.cage, lin);
    EXPECT_EQ(lin->restLength, 2e-6);
    expect3(lin->restDir, 0, 0, 1, 0.0);
    expectOrthonormal(lin->restAxis1, lin->restAxis2, lin->restDir);
    EXPECT_EQ(lin->restLength_t0, 2e-6);
    expect3(lin->restDir_t0, 0, 0, 1, 0.0);
    EXPECT_EQ(lin->pos[0], p[0]->basePos);

    // Still collapsed in the current shape: no NaN, the rest axes are kept.
    setIdentityAxes(cage.cage);
    copy3D(p[0]->basePos, p[0]->worldOtherPos);
    copy3D(p[1]->basePos, p[1]->worldOtherPos);
    refreshLinegonFrame(cage.cage, lin);
    EXPECT_EQ(lin->length, 0.0);
    EXPECT_EQ(lin->stretch, 0.0);
    expect3(lin->axis1, lin->restAxis1[0], lin->restAxis1[1], lin->restAxis1[2], 0.0);
}

TEST(LinegonDirection, ChainsThroughAPoint) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 5, 4, 0, 0);
    auto p = addPoints(cage.cage, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {-1, 0, 0}, {0, 3, 0}});
    // Lists run newest first: at p1 L0 = (p1,p2), L1 = (p0,p1): tail to head.
    add1LinegonData(cage.cage, p[0], p[1]);
    add1LinegonData(cage.cage, p[1], p[2]);
    // At p0 (newest first): (p0,p4) then (p0,p3): both start at p0.
    add1LinegonData(cage.cage, p[0], p[3]);
    add1LinegonData(cage.cage, p[0], p[4]);
    createEdgeData(cage.cage, 0);
    rebuildCageRestData(cage.cage);

    const double h = std::sqrt(0.5);
    expect3(p[1]->linegonDir, h, h, 0); // (0,1,0) + (1,0,0)
    // Same start: (0,1,0) - (-1,0,0) = (1,1,0).
    ASSERT_EQ(p[0]->linegonCount, 3);
    expect3(p[0]->linegonDir, h, h, 0);
    expect3(p[2]->linegonDir, 0, 1, 0); // one linegon only
    expect3(p[3]->linegonDir, -1, 0, 0);
}

TEST(LinegonDirection, OpposedDirectionsFallBackToTheFirst) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 3, 2, 0, 0);
    auto p = addPoints(cage.cage, {{0, 0, 0}, {2, 0, 0}, {4, 0, 0}});
    // Two linegons from p1 the same way: their difference is zero.
    add1LinegonData(cage.cage, p[1], p[2]);
    add1LinegonData(cage.cage, p[1], p[2]);
    createEdgeData(cage.cage, 0);
    rebuildCageRestData(cage.cage);
    expect3(p[1]->linegonDir, 1, 0, 0);
    expect3(p[0]->linegonDir, 0, 0, 0, 0.0);
}

TEST(RestRebuild, ClosedTetrahedronNormalsAreUnitAndPointOutward) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 4, 0, 4, 0);
    auto p = addPoints(cage.cage, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    // Wound so that unit((P2-P0) x (P1-P0)) faces out.
    add1TrigonData(cage.cage, p[0], p[1], p[2]);
    add1TrigonData(cage.cage, p[0], p[3], p[1]);
    add1TrigonData(cage.cage, p[1], p[3], p[2]);
    add1TrigonData(cage.cage, p[2], p[3], p[0]);
    createEdgeData(cage.cage, 0);
    rebuildCageRestData(cage.cage);

    const double centroid[3] = {0.25, 0.25, 0.25};
    for (PointData* q : p) {
        EXPECT_NEAR(len3D(q->normal), 1.0, kTol);
        double out[3];
        sub3D(q->restPos, centroid, out);
        EXPECT_GT(dot3D(out, q->normal), 0.0);
    }
    // The origin corner sees three right angles about -x, -y, -z.
    const double s = 1.0 / std::sqrt(3.0);
    expect3(p[0]->normal, -s, -s, -s);
    expect3(cage->restBoxMin, 0, 0, 0);
    expect3(cage->restBoxMax, 1, 1, 1);
    for (const TrigonData* t = cage->trigonList; t; t = t->next) {
        expectOrthonormal(t->rest.X, t->rest.Y, t->rest.N);
        for (int k = 0; k < 3; ++k) {
            EXPECT_GE(t->vertNorm[k][2], 1e-7);
            EXPECT_NEAR(len3D(t->vertNorm[k]), 1.0, kTol);
        }
    }
}

} // namespace
