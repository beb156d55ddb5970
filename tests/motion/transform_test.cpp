// Item transforms: single-axis rotations worked by hand, parent chains, scale
// and its inverse, pivots, keyed motion between keys, and re-parenting that
// keeps an item where it is.
#include "host/common/host_error.h"
#include "host/scene/scene.h"
#include "host/scene/transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using host::Affine;
using host::Scene;

constexpr double kPi = 3.14159265358979323846;
constexpr double kQuarter = kPi / 2;
// Hand-computed values come from sin/cos of exact angles: a few ulps off.
constexpr double kTight = 1e-12;
// Re-parenting goes through an inverse and an angle decomposition.
constexpr double kLoose = 1e-9;

LWItemID addItem(Scene& scene, const char* name, const double pos[3], const double hpb[3],
                 const double scale[3]) {
    LWItemID id = scene.addNull(name).id;
    host::setMotion(scene, id, 0, pos, 0.0);
    host::setMotion(scene, id, 3, hpb, 0.0);
    host::setMotion(scene, id, 6, scale, 0.0);
    return id;
}

LWItemID addRotated(Scene& scene, const char* name, double h, double p, double b) {
    const double pos[3] = {0, 0, 0}, hpb[3] = {h, p, b}, one[3] = {1, 1, 1};
    return addItem(scene, name, pos, hpb, one);
}

struct Vec {
    double v[3];
};

Vec param(const Scene& scene, LWItemID id, LWItemParam which, double time = 0.0) {
    Vec out{{7, 7, 7}};
    host::itemParam(scene, id, which, time, out.v);
    return out;
}

void expectVec(const Vec& got, double x, double y, double z, double tol) {
    EXPECT_NEAR(got.v[0], x, tol);
    EXPECT_NEAR(got.v[1], y, tol);
    EXPECT_NEAR(got.v[2], z, tol);
}

void expectSameAffine(const Affine& a, const Affine& b, double tol) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(a.m[i][j], b.m[i][j], tol) << i << "," << j;
        EXPECT_NEAR(a.t[i], b.t[i], tol) << i;
    }
}

TEST(ItemAxes, HeadingQuarterTurnTurnsForwardToPlusX) {
    // Ry(90) * (1,0,0) = (cos 90, 0, -sin 90) = (0,0,-1); Ry(90) * (0,0,1) = (1,0,0).
    Scene scene;
    LWItemID id = addRotated(scene, "H", kQuarter, 0, 0);
    expectVec(param(scene, id, LWIP_RIGHT), 0, 0, -1, kTight);
    expectVec(param(scene, id, LWIP_UP), 0, 1, 0, kTight);
    expectVec(param(scene, id, LWIP_FORWARD), 1, 0, 0, kTight);
}

TEST(ItemAxes, PositivePitchTipsTheNoseDown) {
    // Rx(90) * (0,0,1) = (0, -sin 90, cos 90) = (0,-1,0); Rx(90) * (0,1,0) = (0,0,1).
    Scene scene;
    LWItemID id = addRotated(scene, "P", 0, kQuarter, 0);
    expectVec(param(scene, id, LWIP_RIGHT), 1, 0, 0, kTight);
    expectVec(param(scene, id, LWIP_UP), 0, 0, 1, kTight);
    expectVec(param(scene, id, LWIP_FORWARD), 0, -1, 0, kTight);
}

TEST(ItemAxes, PositiveBankLiftsRightTowardsUp) {
    // Rz(90) * (1,0,0) = (0,1,0); Rz(90) * (0,1,0) = (-sin 90, cos 90, 0) = (-1,0,0).
    Scene scene;
    LWItemID id = addRotated(scene, "B", 0, 0, kQuarter);
    expectVec(param(scene, id, LWIP_RIGHT), 0, 1, 0, kTight);
    expectVec(param(scene, id, LWIP_UP), -1, 0, 0, kTight);
    expectVec(param(scene, id, LWIP_FORWARD), 0, 0, 1, kTight);
}

TEST(ItemAxes, PitchIsAppliedBeforeHeading) {
    // H 90, P 90: forward Rx -> (0,-1,0), Ry leaves it; up Rx -> (0,0,1), Ry -> (1,0,0);
    // right Rx leaves (1,0,0), Ry -> (0,0,-1). Heading applied first would instead give
    // forward Rx(90) * Ry(90) * (0,0,1) = Rx(90) * (1,0,0) = (1,0,0).
    Scene scene;
    LWItemID id = addRotated(scene, "HP", kQuarter, kQuarter, 0);
    expectVec(param(scene, id, LWIP_RIGHT), 0, 0, -1, kTight);
    expectVec(param(scene, id, LWIP_UP), 1, 0, 0, kTight);
    expectVec(param(scene, id, LWIP_FORWARD), 0, -1, 0, kTight);
}

TEST(ItemAxes, ThreeAnglesEqualAChainOfSingleAxisItems) {
    // Heading parent, pitch child, bank grandchild compose as Ry * Rx * Rz.
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> angle(-kPi, kPi);
    for (int trial = 0; trial < 20; ++trial) {
        Scene scene;
        const double h = angle(rng), p = angle(rng), b = angle(rng);
        LWItemID whole = addRotated(scene, "whole", h, p, b);
        LWItemID hOnly = addRotated(scene, "h", h, 0, 0);
        LWItemID pOnly = addRotated(scene, "p", 0, p, 0);
        LWItemID bOnly = addRotated(scene, "b", 0, 0, b);
        scene.setParent(pOnly, hOnly);
        scene.setParent(bOnly, pOnly);
        for (LWItemParam axis : {LWIP_RIGHT, LWIP_UP, LWIP_FORWARD}) {
            Vec expected = param(scene, whole, axis);
            expectVec(param(scene, bOnly, axis), expected.v[0], expected.v[1], expected.v[2],
                      kTight);
        }
    }
}

TEST(ItemAxes, UnscaledAxesAreOrthonormalAndRightHandedInCoordinates) {
    // A proper rotation: unit axes, pairwise perpendicular, right x up = forward.
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> angle(-4, 4);
    Scene scene;
    for (int trial = 0; trial < 50; ++trial) {
        LWItemID id = addRotated(scene, "r", angle(rng), angle(rng), angle(rng));
        Vec r = param(scene, id, LWIP_RIGHT), u = param(scene, id, LWIP_UP),
            f = param(scene, id, LWIP_FORWARD);
        auto dot = [](const Vec& a, const Vec& c) {
            return a.v[0] * c.v[0] + a.v[1] * c.v[1] + a.v[2] * c.v[2];
        };
        EXPECT_NEAR(dot(r, r), 1, kTight);
        EXPECT_NEAR(dot(u, u), 1, kTight);
        EXPECT_NEAR(dot(f, f), 1, kTight);
        EXPECT_NEAR(dot(r, u), 0, kTight);
        EXPECT_NEAR(dot(r, f), 0, kTight);
        EXPECT_NEAR(dot(u, f), 0, kTight);
        expectVec(f, r.v[1] * u.v[2] - r.v[2] * u.v[1], r.v[2] * u.v[0] - r.v[0] * u.v[2],
                  r.v[0] * u.v[1] - r.v[1] * u.v[0], kTight);
    }
}

TEST(ItemPosition, ChildOfATurnedParentSitsAlongTheParentsForward) {
    // Parent at (1,2,3) turned H 90: its +Z is world +X, so local (0,0,1) -> (2,2,3).
    Scene scene;
    const double ppos[3] = {1, 2, 3}, phpb[3] = {kQuarter, 0, 0}, one[3] = {1, 1, 1};
    const double cpos[3] = {0, 0, 1}, zero[3] = {0, 0, 0};
    LWItemID parent = addItem(scene, "parent", ppos, phpb, one);
    LWItemID child = addItem(scene, "child", cpos, zero, one);
    scene.setParent(child, parent);
    expectVec(param(scene, child, LWIP_W_POSITION), 2, 2, 3, kTight);
    // POSITION stays relative to the parent.
    expectVec(param(scene, child, LWIP_POSITION), 0, 0, 1, 0);
    expectVec(param(scene, child, LWIP_FORWARD), 1, 0, 0, kTight);
}

TEST(ItemPosition, ParentScaleStretchesTheChildOffset) {
    // Parent scale (2,1,1) at the origin: child local (3,0,0) lands at (6,0,0)
    // and the child's right axis is twice as long.
    Scene scene;
    const double zero[3] = {0, 0, 0}, pscale[3] = {2, 1, 1}, one[3] = {1, 1, 1};
    const double cpos[3] = {3, 0, 0};
    LWItemID parent = addItem(scene, "parent", zero, zero, pscale);
    LWItemID child = addItem(scene, "child", cpos, zero, one);
    scene.setParent(child, parent);
    expectVec(param(scene, child, LWIP_W_POSITION), 6, 0, 0, kTight);
    expectVec(param(scene, child, LWIP_RIGHT), 2, 0, 0, kTight);
    expectVec(param(scene, child, LWIP_SCALING), 1, 1, 1, 0);
}

TEST(ItemScale, WorldAxesInItemSpaceInvertTheScaledAxes) {
    // H 90, scale (2,3,4): RIGHT = 2*(0,0,-1), UP = 3*(0,1,0), FORWARD = 4*(1,0,0).
    // World +X is the forward direction, a quarter of a forward unit: W_RIGHT = (0,0,1/4).
    // World +Y is a third of up: W_UP = (0,1/3,0). World +Z = -right/2: W_FORWARD = (-1/2,0,0).
    Scene scene;
    const double zero[3] = {0, 0, 0}, hpb[3] = {kQuarter, 0, 0}, scale[3] = {2, 3, 4};
    LWItemID id = addItem(scene, "s", zero, hpb, scale);
    expectVec(param(scene, id, LWIP_RIGHT), 0, 0, -2, kTight);
    expectVec(param(scene, id, LWIP_UP), 0, 3, 0, kTight);
    expectVec(param(scene, id, LWIP_FORWARD), 4, 0, 0, kTight);
    expectVec(param(scene, id, LWIP_W_RIGHT), 0, 0, 0.25, kTight);
    expectVec(param(scene, id, LWIP_W_UP), 0, 1.0 / 3.0, 0, kTight);
    expectVec(param(scene, id, LWIP_W_FORWARD), -0.5, 0, 0, kTight);
    expectVec(param(scene, id, LWIP_SCALING), 2, 3, 4, 0);
    expectVec(param(scene, id, LWIP_ROTATION), kQuarter, 0, 0, 0);
}

TEST(ItemScale, WorldAxesTimesItemAxesIsTheIdentity) {
    // Columns (W_RIGHT, W_UP, W_FORWARD) form M^-1 for M = (RIGHT, UP, FORWARD).
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> angle(-kPi, kPi), size(0.3, 3), offset(-5, 5);
    Scene scene;
    LWItemID parent = nullptr;
    for (int depth = 0; depth < 4; ++depth) {
        const double pos[3] = {offset(rng), offset(rng), offset(rng)};
        const double hpb[3] = {angle(rng), angle(rng), angle(rng)};
        const double scale[3] = {size(rng), size(rng), size(rng)};
        LWItemID id = addItem(scene, "link", pos, hpb, scale);
        scene.setParent(id, parent);
        parent = id;
        Vec axes[3] = {param(scene, id, LWIP_RIGHT), param(scene, id, LWIP_UP),
                       param(scene, id, LWIP_FORWARD)};
        Vec worldAxes[3] = {param(scene, id, LWIP_W_RIGHT), param(scene, id, LWIP_W_UP),
                            param(scene, id, LWIP_W_FORWARD)};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                double sum = 0; // (M^-1 M)[i][j]
                for (int k = 0; k < 3; ++k)
                    sum += worldAxes[k].v[i] * axes[j].v[k];
                EXPECT_NEAR(sum, i == j ? 1.0 : 0.0, kLoose) << depth << " " << i << j;
            }
    }
}

TEST(ItemScale, ZeroScaleHasNoInverseAndGivesZeroWorldAxes) {
    Scene scene;
    const double zero[3] = {0, 0, 0}, flat[3] = {1, 0, 1};
    LWItemID id = addItem(scene, "flat", zero, zero, flat);
    expectVec(param(scene, id, LWIP_UP), 0, 0, 0, 0);
    expectVec(param(scene, id, LWIP_W_RIGHT), 0, 0, 0, 0);
}

TEST(ItemPivot, ThePivotSitsAtThePositionAndTheOriginSwingsAroundIt) {
    // Position (5,0,0), pivot (1,0,0), H 90: the pivot is at (5,0,0); the item's
    // origin is (5,0,0) + R * (-1,0,0) = (5,0,0) - (0,0,-1) = (5,0,1).
    Scene scene;
    const double pos[3] = {5, 0, 0}, hpb[3] = {kQuarter, 0, 0}, one[3] = {1, 1, 1};
    LWItemID id = addItem(scene, "pivoted", pos, hpb, one);
    host::Item& item = scene.get(id);
    item.pivot[0] = 1;
    item.pivotRotation[1] = 0.25;
    expectVec(param(scene, id, LWIP_W_POSITION), 5, 0, 0, kTight);
    expectVec(param(scene, id, LWIP_PIVOT), 1, 0, 0, 0);
    expectVec(param(scene, id, LWIP_PIVOT_ROT), 0, 0.25, 0, 0);
    const double origin[3] = {0, 0, 0};
    double world[3];
    host::transformPoint(host::worldTransform(scene, id, 0.0), origin, world);
    expectVec(Vec{{world[0], world[1], world[2]}}, 5, 0, 1, kTight);
}

TEST(ItemParams, FollowTheEnvelopesBetweenKeys) {
    // Linear keys: X 0 -> 10 over a second is 2.5 at 0.25 s; heading 0 -> 90 deg is
    // 45 deg at 0.5 s, so forward = (sin 45, 0, cos 45).
    Scene scene;
    host::Item& item = scene.addNull("moving");
    const double end[3] = {10, 0, 0}, turn[3] = {kQuarter, 0, 0};
    host::setMotion(scene, item.id, 0, end, 1.0);
    host::setMotion(scene, item.id, 3, turn, 1.0);
    int linear = host::kShapeLinear;
    for (const char* name : {"Position.X", "Rotation.H"}) {
        host::Envelope& env = item.channels->findChannel(name)->envelope();
        ASSERT_EQ(env.keyCount(), 2);
        ASSERT_EQ(env.keySet(env.findKey(1.0), LWKEY_SHAPE, &linear), 1);
    }
    expectVec(param(scene, item.id, LWIP_POSITION, 0.25), 2.5, 0, 0, kTight);
    expectVec(param(scene, item.id, LWIP_W_POSITION, 0.25), 2.5, 0, 0, kTight);
    const double s = std::sqrt(0.5);
    expectVec(param(scene, item.id, LWIP_FORWARD, 0.5), s, 0, s, kTight);
    expectVec(param(scene, item.id, LWIP_ROTATION, 0.5), kQuarter / 2, 0, 0, kTight);
    // At the keys themselves the key values hold.
    expectVec(param(scene, item.id, LWIP_FORWARD, 1.0), 1, 0, 0, kTight);
    expectVec(param(scene, item.id, LWIP_POSITION, 0.0), 0, 0, 0, kTight);
}

TEST(ItemParams, UnknownItemOrParamWritesZeros) {
    Scene scene;
    LWItemID id = addRotated(scene, "n", 1, 2, 3);
    expectVec(param(scene, nullptr, LWIP_RIGHT), 0, 0, 0, 0);
    int junk = 0;
    expectVec(param(scene, &junk, LWIP_W_POSITION), 0, 0, 0, 0);
    for (LWItemParam bad : {0, 13, -1, 1000})
        expectVec(param(scene, id, bad), 0, 0, 0, 0);
}

TEST(WorldMatrix, TimesItsInverseIsTheIdentity) {
    std::mt19937 rng(8);
    std::uniform_real_distribution<double> angle(-kPi, kPi), size(0.5, 2), offset(-3, 3);
    Scene scene;
    LWItemID parent = nullptr;
    for (int depth = 0; depth < 3; ++depth) {
        const double pos[3] = {offset(rng), offset(rng), offset(rng)};
        const double hpb[3] = {angle(rng), angle(rng), angle(rng)};
        const double scale[3] = {size(rng), size(rng), size(rng)};
        LWItemID id = addItem(scene, "m", pos, hpb, scale);
        scene.setParent(id, parent);
        parent = id;
    }
    double m[4][4], inv[4][4];
    host::worldMatrix(scene, parent, 0.0, m);
    host::inverseWorldMatrix(scene, parent, 0.0, inv);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += m[i][k] * inv[k][j];
            EXPECT_NEAR(sum, i == j ? 1.0 : 0.0, kLoose) << i << j;
        }
    // Column 3 is where the origin goes.
    Vec w = param(scene, parent, LWIP_W_POSITION);
    expectVec(Vec{{m[0][3], m[1][3], m[2][3]}}, w.v[0], w.v[1], w.v[2], kTight);
    EXPECT_EQ(m[3][3], 1.0);
}

// ---- re-parenting in place ----

struct RandomScene {
    std::mt19937 rng{2024};
    std::uniform_real_distribution<double> angle{-kPi, kPi}, size{0.4, 2.5}, offset{-6, 6};

    LWItemID add(Scene& scene, const char* name, bool uniform) {
        const double pos[3] = {offset(rng), offset(rng), offset(rng)};
        const double hpb[3] = {angle(rng), angle(rng), angle(rng)};
        const double s = size(rng);
        const double scale[3] = {s, uniform ? s : size(rng), uniform ? s : size(rng)};
        LWItemID id = addItem(scene, name, pos, hpb, scale);
        host::Item& item = scene.get(id);
        for (double& p : item.pivot)
            p = offset(rng) / 3;
        return id;
    }
};

TEST(ParentKeepingWorld, LeavesTheWorldTransformUnchangedUnderRandomParents) {
    // Uniformly scaled parents keep the child's local transform free of shear.
    RandomScene random;
    for (int trial = 0; trial < 40; ++trial) {
        Scene scene;
        LWItemID grand = random.add(scene, "grand", true);
        LWItemID parent = random.add(scene, "parent", true);
        scene.setParent(parent, grand);
        LWItemID child = random.add(scene, "child", false);
        const double time = 0.5;
        const Affine before = host::worldTransform(scene, child, time);

        host::parentKeepingWorld(scene, child, parent, time);
        EXPECT_EQ(scene.get(child).parent, parent);
        expectSameAffine(host::worldTransform(scene, child, time), before, kLoose);

        host::parentKeepingWorld(scene, child, grand, time);
        EXPECT_EQ(scene.get(child).parent, grand);
        expectSameAffine(host::worldTransform(scene, child, time), before, kLoose);

        host::parentKeepingWorld(scene, child, nullptr, time);
        EXPECT_EQ(scene.get(child).parent, nullptr);
        expectSameAffine(host::worldTransform(scene, child, time), before, kLoose);
        // Scale comes back positive and equal to the original.
        Vec s = param(scene, child, LWIP_SCALING, time);
        Vec s0 = param(scene, child, LWIP_SCALING, 0.0);
        expectVec(s, s0.v[0], s0.v[1], s0.v[2], kLoose);
    }
}

TEST(ParentKeepingWorld, HandlesAnItemLookingStraightDown) {
    // Pitch 90 leaves heading free; whatever split is chosen, the axes must hold.
    Scene scene;
    const double pos[3] = {1, 2, 3}, hpb[3] = {0.5, kQuarter, 0.2}, one[3] = {1, 1, 1};
    const double ppos[3] = {-1, 0, 4}, zero[3] = {0, 0, 0};
    LWItemID child = addItem(scene, "diver", pos, hpb, one);
    LWItemID parent = addItem(scene, "frame", ppos, zero, one);
    const Affine before = host::worldTransform(scene, child, 0.0);
    host::parentKeepingWorld(scene, child, parent, 0.0);
    expectSameAffine(host::worldTransform(scene, child, 0.0), before, kLoose);
    expectVec(param(scene, child, LWIP_POSITION), 2, 2, -1, kLoose);
}

TEST(ParentKeepingWorld, KeepsAnglesNearTheirFormerValues) {
    // Heading 3.5 rad decomposes to 3.5 - 2 pi; the key keeps 3.5 so the motion
    // from neighbouring keys does not spin a full turn.
    Scene scene;
    LWItemID child = addRotated(scene, "spun", 3.5, 0, 0);
    LWItemID parent = addRotated(scene, "still", 0, 0, 0);
    host::parentKeepingWorld(scene, child, parent, 0.0);
    expectVec(param(scene, child, LWIP_ROTATION), 3.5, 0, 0, kLoose);
}

TEST(ParentKeepingWorld, KeysOnlyTheGivenTime) {
    Scene scene;
    RandomScene random;
    LWItemID parent = random.add(scene, "parent", true);
    LWItemID child = random.add(scene, "child", false);
    host::parentKeepingWorld(scene, child, parent, 2.0);
    for (const auto& channel : scene.get(child).channels->channels()) {
        EXPECT_EQ(channel->envelope().keyCount(), 2) << channel->name();
        EXPECT_NE(channel->envelope().findKey(2.0), nullptr) << channel->name();
    }
}

TEST(ParentKeepingWorld, RefusesACycleAndChangesNothing) {
    Scene scene;
    LWItemID a = addRotated(scene, "a", 0.3, 0, 0);
    LWItemID b = addRotated(scene, "b", 0, 0.2, 0);
    scene.setParent(b, a);
    EXPECT_THROW(host::parentKeepingWorld(scene, a, b, 1.0), host::HostError);
    EXPECT_THROW(host::parentKeepingWorld(scene, a, a, 1.0), host::HostError);
    EXPECT_EQ(scene.get(a).parent, nullptr);
    for (const auto& channel : scene.get(a).channels->channels())
        EXPECT_EQ(channel->envelope().findKey(1.0), nullptr) << channel->name();
}

TEST(ParentKeepingWorld, RefusesAParentScaledToZero) {
    Scene scene;
    const double zero[3] = {0, 0, 0}, flat[3] = {1, 1, 0};
    LWItemID flatParent = addItem(scene, "flat", zero, zero, flat);
    LWItemID child = addRotated(scene, "c", 0, 0, 0);
    EXPECT_THROW(host::parentKeepingWorld(scene, child, flatParent, 0.0), host::HostError);
    EXPECT_EQ(scene.get(child).parent, nullptr);
}

TEST(ParentKeepingWorld, RefusesUnknownItems) {
    Scene scene;
    LWItemID a = addRotated(scene, "a", 0, 0, 0);
    int junk = 0;
    EXPECT_THROW(host::parentKeepingWorld(scene, &junk, a, 0.0), host::HostError);
    EXPECT_THROW(host::parentKeepingWorld(scene, a, &junk, 0.0), host::HostError);
    EXPECT_EQ(scene.get(a).parent, nullptr);
}

TEST(SetMotion, KeysThreeChannelsAndRefusesOtherStarts) {
    Scene scene;
    LWItemID id = scene.addNull("n").id;
    const double v[3] = {4, 5, 6};
    host::setMotion(scene, id, 6, v, 3.0);
    expectVec(param(scene, id, LWIP_SCALING, 3.0), 4, 5, 6, 0);
    expectVec(param(scene, id, LWIP_SCALING, 0.0), 1, 1, 1, 0);
    expectVec(param(scene, id, LWIP_POSITION, 3.0), 0, 0, 0, 0);
    EXPECT_THROW(host::setMotion(scene, id, 1, v, 0.0), host::HostError);
    EXPECT_THROW(host::setMotion(scene, id, 9, v, 0.0), host::HostError);
    int junk = 0;
    EXPECT_THROW(host::setMotion(scene, &junk, 0, v, 0.0), host::HostError);
}

} // namespace
