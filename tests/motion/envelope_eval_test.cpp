// Envelope values checked against hand-derived numbers and independent formulas.
#include "host/motion/envelope.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using host::Envelope;

constexpr double kTol = 1e-9;
// The 2D Bezier span is solved numerically.
constexpr double kBezierTol = 1e-6;

Envelope::Key* addKey(Envelope& env, double t, double v, int shape) {
    Envelope::Key* k = env.createKey(t, v);
    EXPECT_NE(k, nullptr);
    EXPECT_EQ(env.keySet(k, LWKEY_SHAPE, &shape), 1);
    return k;
}

void setParam(Envelope& env, Envelope::Key* k, int tag, double v) {
    EXPECT_EQ(env.keySet(k, tag, &v), 1);
}

// Uniform Catmull-Rom through p0..p3, at u in the p1-p2 span; written in its
// polynomial form so it shares nothing with the Hermite blend under test.
double catmullRom(double q0, double q1, double q2, double q3, double u) {
    return 0.5 * (2 * q1 + (-q0 + q2) * u + (2 * q0 - 5 * q1 + 4 * q2 - q3) * u * u +
                  (-q0 + 3 * q1 - 3 * q2 + q3) * u * u * u);
}

TEST(EnvelopeEvaluate, NoKeysGivesZero) {
    Envelope env;
    EXPECT_EQ(env.evaluate(-3.0), 0.0);
    EXPECT_EQ(env.evaluate(0.0), 0.0);
    EXPECT_EQ(env.evaluate(12.5), 0.0);
}

TEST(EnvelopeEvaluate, SingleKeyIsConstantEverywhereWhateverTheBehaviour) {
    Envelope env;
    env.createKey(2.0, 7.25);
    env.setPreBehavior(host::kBehaviorReset);
    env.setPostBehavior(host::kBehaviorLinear);
    EXPECT_DOUBLE_EQ(env.evaluate(-100.0), 7.25);
    EXPECT_DOUBLE_EQ(env.evaluate(2.0), 7.25);
    EXPECT_DOUBLE_EQ(env.evaluate(50.0), 7.25);
}

TEST(EnvelopeEvaluate, LinearKeysInterpolateStraightLines) {
    Envelope env;
    addKey(env, 0.0, 1.0, host::kShapeLinear);
    addKey(env, 2.0, 5.0, host::kShapeLinear);
    addKey(env, 3.0, -1.0, host::kShapeLinear);
    EXPECT_NEAR(env.evaluate(1.0), 3.0, kTol);
    EXPECT_NEAR(env.evaluate(0.5), 2.0, kTol);
    EXPECT_NEAR(env.evaluate(2.5), 2.0, kTol);
    EXPECT_NEAR(env.evaluate(2.75), 0.5, kTol); // 5 + 0.75 * (-1 - 5)
    EXPECT_EQ(env.evaluate(2.0), 5.0);
}

TEST(EnvelopeEvaluate, SteppedSpanHoldsTheEarlierValueUntilTheNextKey) {
    Envelope env;
    addKey(env, 0.0, 1.0, host::kShapeTCB);
    addKey(env, 1.0, 5.0, host::kShapeStepped);
    EXPECT_EQ(env.evaluate(0.0), 1.0);
    EXPECT_EQ(env.evaluate(0.5), 1.0);
    EXPECT_EQ(env.evaluate(0.999), 1.0);
    EXPECT_EQ(env.evaluate(1.0), 5.0);
}

TEST(EnvelopeEvaluate, ZeroTcbPassesThroughEveryKey) {
    Envelope env;
    const double t[] = {-1.0, 0.5, 2.0, 2.25, 4.0};
    const double v[] = {3.0, -2.0, 0.0, 8.0, 1.5};
    for (int i = 0; i < 5; ++i)
        env.createKey(t[i], v[i]);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(env.evaluate(t[i]), v[i]) << "key " << i;
    // Approaching a key from inside its span also lands on it.
    EXPECT_NEAR(env.evaluate(2.0 - 1e-9), 0.0, 1e-6);
}

TEST(EnvelopeEvaluate, ZeroTcbMiddleSpanMatchesUniformCatmullRom) {
    Envelope env;
    env.createKey(0.0, 0.0);
    env.createKey(1.0, 1.0);
    env.createKey(2.0, 3.0);
    env.createKey(3.0, 2.0);
    for (double u : {0.25, 0.5, 0.8})
        EXPECT_NEAR(env.evaluate(1.0 + u), catmullRom(0, 1, 3, 2, u), kTol) << "u " << u;
    // By hand at u = 0.5: 0.5*(2 + 1.5 + 1.25 - 0.5) = 2.125.
    EXPECT_NEAR(env.evaluate(1.5), 2.125, kTol);
}

TEST(EnvelopeEvaluate, ZeroTcbScalesTangentsByNeighbourSpacing) {
    // Keys (0,0) (1,1) (3,3) (4,2). Span 1..3:
    // out at t=1: 2/3 * ((1-0) + (3-1)) = 2;  in at t=3: 2/3 * ((2-3) + (3-1)) = 2/3.
    // u = 0.5: 0.5*1 + 0.5*3 + 0.125*2 - 0.125*(2/3) = 13/6.
    Envelope env;
    env.createKey(0.0, 0.0);
    env.createKey(1.0, 1.0);
    env.createKey(3.0, 3.0);
    env.createKey(4.0, 2.0);
    EXPECT_NEAR(env.evaluate(2.0), 13.0 / 6.0, kTol);
}

TEST(EnvelopeEvaluate, ZeroTcbFirstSpanUsesTheSpanDifferenceAsOutTangent) {
    // Keys (0,0) (1,2) (3,1). First span: out = d = 2;
    // in at t=1: 1/3 * ((1-2) + 2) = 1/3.
    // u = 0.5: 0.5*2 + 0.125*2 - 0.125/3 = 29/24.
    Envelope env;
    env.createKey(0.0, 0.0);
    env.createKey(1.0, 2.0);
    env.createKey(3.0, 1.0);
    EXPECT_NEAR(env.evaluate(0.5), 29.0 / 24.0, kTol);
    // Last span 1..3: out at t=1: 2/3 * ((2-0) + (1-2)) = 2/3; in = d = -1.
    // u = 0.5: 0.5*2 + 0.5*1 + 0.125*(2/3) - 0.125*(-1) = 1.5 + 1/12 + 1/8.
    EXPECT_NEAR(env.evaluate(2.0), 1.5 + 1.0 / 12.0 + 0.125, kTol);
}

TEST(EnvelopeEvaluate, FullTensionFlattensTangentsIntoAnEase) {
    Envelope env;
    env.createKey(0.0, 0.0);
    Envelope::Key* a = env.createKey(1.0, 1.0);
    Envelope::Key* b = env.createKey(2.0, 3.0);
    env.createKey(3.0, 2.0);
    setParam(env, a, LWKEY_TENSION, 1.0);
    setParam(env, b, LWKEY_TENSION, 1.0);
    // Both tangents vanish: v = v0 + (3u^2 - 2u^3)(v1 - v0).
    EXPECT_NEAR(env.evaluate(1.5), 2.0, kTol);
    EXPECT_NEAR(env.evaluate(1.25), 1.0 + 0.15625 * 2.0, kTol);
    EXPECT_NEAR(env.evaluate(1.75), 1.0 + 0.84375 * 2.0, kTol);
}

TEST(EnvelopeEvaluate, BiasWeightsTheOutgoingTangentTowardsThePreviousSpan) {
    // Same keys as the Catmull-Rom case, bias 1 at t=1: a = 2, b = 0, so
    // out = 1/2 * 2 * (1 - 0) = 1; in at t=2 stays 0.5.
    // u = 0.5: 2 + 0.125*1 - 0.125*0.5 = 2.0625.
    Envelope env;
    env.createKey(0.0, 0.0);
    Envelope::Key* a = env.createKey(1.0, 1.0);
    env.createKey(2.0, 3.0);
    env.createKey(3.0, 2.0);
    setParam(env, a, LWKEY_BIAS, 1.0);
    EXPECT_NEAR(env.evaluate(1.5), 2.0625, kTol);
}

TEST(EnvelopeEvaluate, ContinuityWeightsDifferOnTheTwoSidesOfAKey) {
    // Keys (0,0) (1,1) (2,3) (3,2), continuity 0.5 at t=1 and t=2.
    // out at t=1: a = 1.5, b = 0.5 -> 1/2 * (1.5*1 + 0.5*2) = 1.25.
    // in at t=2: a = 0.5, b = 1.5 -> 1/2 * (1.5*(2-3) + 0.5*2) = -0.25.
    // u = 0.5: 2 + 0.125*1.25 + 0.125*0.25 = 2.1875.
    Envelope env;
    env.createKey(0.0, 0.0);
    Envelope::Key* a = env.createKey(1.0, 1.0);
    Envelope::Key* b = env.createKey(2.0, 3.0);
    env.createKey(3.0, 2.0);
    setParam(env, a, LWKEY_CONTINUITY, 0.5);
    setParam(env, b, LWKEY_CONTINUITY, 0.5);
    EXPECT_NEAR(env.evaluate(1.5), 2.1875, kTol);
}

TEST(EnvelopeEvaluate, TensionAtTheEndKeysScalesTheSpanDifference) {
    // Keys (0,0) (1,2) (3,1), tension 0.5 at both ends.
    // First span: out = 0.5*2 = 1, in = 1/3 -> 1 + 0.125 - 0.125/3 = 13/12.
    // Last span: out = 2/3, in = 0.5*(-1) -> 1.5 + 0.125*(2/3) + 0.125*0.5.
    Envelope env;
    Envelope::Key* first = env.createKey(0.0, 0.0);
    env.createKey(1.0, 2.0);
    Envelope::Key* last = env.createKey(3.0, 1.0);
    setParam(env, first, LWKEY_TENSION, 0.5);
    setParam(env, last, LWKEY_TENSION, 0.5);
    EXPECT_NEAR(env.evaluate(0.5), 13.0 / 12.0, kTol);
    EXPECT_NEAR(env.evaluate(2.0), 1.5 + 1.0 / 12.0 + 1.0 / 16.0, kTol);
}

TEST(EnvelopeEvaluate, LinearKeyFeedingACurvedSpanGivesACentredTangent) {
    // The TCB span 1..2 starts at a linear key with a neighbour: its tangent
    // is 1/2 * ((1-0) + (3-1)), as for zero TCB, so Catmull-Rom again.
    Envelope env;
    addKey(env, 0.0, 0.0, host::kShapeLinear);
    addKey(env, 1.0, 1.0, host::kShapeLinear);
    addKey(env, 2.0, 3.0, host::kShapeTCB);
    addKey(env, 3.0, 2.0, host::kShapeTCB);
    EXPECT_NEAR(env.evaluate(1.5), catmullRom(0, 1, 3, 2, 0.5), kTol);
    EXPECT_NEAR(env.evaluate(0.5), 0.5, kTol);
}

TEST(EnvelopeEvaluate, HermiteUsesStoredTangents) {
    // Two keys, so no neighbour scaling: out = k0 p5 = 2, in = k1 p4 = 0.
    // u = 0.5: 0.5*1 + 0.125*2 = 0.75.
    Envelope env;
    Envelope::Key* k0 = addKey(env, 0.0, 0.0, host::kShapeHermite);
    Envelope::Key* k1 = addKey(env, 1.0, 1.0, host::kShapeHermite);
    setParam(env, k0, LWKEY_PARAM_1, 2.0);
    setParam(env, k1, LWKEY_PARAM_0, 0.0);
    EXPECT_NEAR(env.evaluate(0.5), 0.75, kTol);
    // u = 0.25: h2 = 0.15625, h3 = 0.140625 -> 0.15625 + 0.28125.
    EXPECT_NEAR(env.evaluate(0.25), 0.4375, kTol);
}

TEST(EnvelopeEvaluate, Bezier2DWithThirdHandlesFollowsTheValueCubic) {
    // Handles at a third of the span make time linear in the curve parameter,
    // so value = Bezier(0, 1, 1, 0) at s = u: 3u(1-u).
    Envelope env;
    Envelope::Key* k0 = addKey(env, 0.0, 0.0, host::kShapeBezier2D);
    Envelope::Key* k1 = addKey(env, 3.0, 0.0, host::kShapeBezier2D);
    setParam(env, k0, LWKEY_BIAS, 1.0);       // out time offset
    setParam(env, k0, LWKEY_PARAM_0, 1.0);    // out value offset
    setParam(env, k1, LWKEY_TENSION, -1.0);   // in time offset
    setParam(env, k1, LWKEY_CONTINUITY, 1.0); // in value offset
    EXPECT_NEAR(env.evaluate(1.5), 0.75, kBezierTol);
    EXPECT_NEAR(env.evaluate(0.75), 3 * 0.25 * 0.75, kBezierTol);
    EXPECT_EQ(env.evaluate(3.0), 0.0);
    // Linear extension uses the handle slopes: out 1/1 before, in 1/(-1) after.
    env.setPreBehavior(host::kBehaviorLinear);
    env.setPostBehavior(host::kBehaviorLinear);
    EXPECT_NEAR(env.evaluate(-1.0), -1.0, kTol);
    EXPECT_NEAR(env.evaluate(4.0), -1.0, kTol);
}

// Linear keys (0,0) (1,2) (2,1); period 2.
class EnvelopeBehaviour : public ::testing::Test {
  protected:
    void SetUp() override {
        addKey(env, 0.0, 0.0, host::kShapeLinear);
        addKey(env, 1.0, 2.0, host::kShapeLinear);
        addKey(env, 2.0, 1.0, host::kShapeLinear);
    }
    void both(int behaviour) {
        ASSERT_TRUE(env.setPreBehavior(behaviour));
        ASSERT_TRUE(env.setPostBehavior(behaviour));
    }
    Envelope env;
};

TEST_F(EnvelopeBehaviour, ConstantIsTheDefaultAndHoldsTheEndValues) {
    EXPECT_EQ(env.preBehavior(), host::kBehaviorConstant);
    EXPECT_EQ(env.postBehavior(), host::kBehaviorConstant);
    EXPECT_EQ(env.evaluate(-5.0), 0.0);
    EXPECT_EQ(env.evaluate(9.0), 1.0);
}

TEST_F(EnvelopeBehaviour, ResetGivesZeroOutside) {
    both(host::kBehaviorReset);
    EXPECT_EQ(env.evaluate(-0.5), 0.0);
    EXPECT_EQ(env.evaluate(2.5), 0.0);
    EXPECT_NEAR(env.evaluate(1.5), 1.5, kTol);
}

TEST_F(EnvelopeBehaviour, RepeatWrapsTimeIntoTheKeyRange) {
    both(host::kBehaviorRepeat);
    EXPECT_NEAR(env.evaluate(2.5), 1.0, kTol);  // -> 0.5
    EXPECT_NEAR(env.evaluate(5.5), 1.5, kTol);  // -> 1.5
    EXPECT_NEAR(env.evaluate(-0.5), 1.5, kTol); // -> 1.5
    EXPECT_NEAR(env.evaluate(-3.0), 2.0, kTol); // -> 1.0
}

TEST_F(EnvelopeBehaviour, OscillateMirrorsOddCopies) {
    both(host::kBehaviorOscillate);
    EXPECT_NEAR(env.evaluate(2.5), 1.5, kTol);  // 1 period, mirrored 0.5 -> 1.5
    EXPECT_NEAR(env.evaluate(4.5), 1.0, kTol);  // 2 periods -> 0.5
    EXPECT_NEAR(env.evaluate(-0.5), 1.0, kTol); // -1 period: 1.5 mirrored -> 0.5
    EXPECT_NEAR(env.evaluate(-2.5), 1.5, kTol); // -2 periods -> 1.5
    // Oscillation is continuous at the range ends.
    EXPECT_NEAR(env.evaluate(2.0 + 1e-9), 1.0, 1e-6);
    EXPECT_NEAR(env.evaluate(-1e-9), 0.0, 1e-6);
}

TEST_F(EnvelopeBehaviour, OffsetRepeatShiftsEachCopy) {
    both(host::kBehaviorOffsetRepeat);
    EXPECT_NEAR(env.evaluate(2.5), 1.0 + 1.0, kTol);
    EXPECT_NEAR(env.evaluate(4.5), 1.0 + 2.0, kTol);
    EXPECT_NEAR(env.evaluate(-0.5), 1.5 - 1.0, kTol);
}

TEST_F(EnvelopeBehaviour, LinearContinuesTheEndSpans) {
    both(host::kBehaviorLinear);
    EXPECT_NEAR(env.evaluate(3.0), 0.0, kTol);   // slope -1 after t=2
    EXPECT_NEAR(env.evaluate(-1.0), -2.0, kTol); // slope 2 before t=0
}

TEST_F(EnvelopeBehaviour, PreAndPostAreIndependent) {
    ASSERT_TRUE(env.setPreBehavior(host::kBehaviorReset));
    ASSERT_TRUE(env.setPostBehavior(host::kBehaviorRepeat));
    EXPECT_EQ(env.evaluate(-0.5), 0.0);
    EXPECT_NEAR(env.evaluate(2.5), 1.0, kTol);
    EXPECT_FALSE(env.setPostBehavior(6));
    EXPECT_FALSE(env.setPreBehavior(-1));
    EXPECT_EQ(env.postBehavior(), host::kBehaviorRepeat);
}

TEST_F(EnvelopeBehaviour, FarAwayTimesStayFinite) {
    both(host::kBehaviorOscillate);
    double v = env.evaluate(1e15 + 0.5);
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_GE(v, 0.0);
    EXPECT_LE(v, 2.0);
}

} // namespace
