// Cage keys: list operations, labels, the timing-curve interpolation and the
// key made at any time.
#include "cage/cage_keys.h"
#include "cage/cage_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A cage of n points at (i, 0, 0); no elements are needed for keys.
struct TestCage {
    CageInstance* cage;
    explicit TestCage(int n) {
        cage = static_cast<CageInstance*>(std::calloc(1, sizeof(CageInstance)));
        allocCageBlocks(cage, n, 0, 0, 0);
        cage->pointArray = static_cast<PointData**>(std::calloc(size_t(n), sizeof(PointData*)));
        for (int i = 0; i < n; ++i) {
            double pos[3] = {double(i), 0.0, 0.0};
            PointData* p = add1PointData(cage, pos);
            p->index = unsigned(i);
            cage->pointArray[i] = p;
        }
        cage->pointCount = n;
    }
    ~TestCage() {
        destroyCageData(cage);
        std::free(cage);
    }
    CageKey* key(double t, std::vector<double> deltas) {
        CageKey* k = newCageKey(cage, t, deltas.data());
        EXPECT_EQ(insertCageKeyToTime(cage, k, t), 1);
        return k;
    }
    std::vector<double> times() const {
        std::vector<double> out;
        for (CageKey* k = cage->keyHead; k; k = k->next)
            out.push_back(k->time);
        return out;
    }
    double other(int point, int c) const { return cage->pointArray[point]->otherPos[c]; }
};

TEST(CageKeyLabels, CountUpFromOneInStepsOfTwoToTheMinusTwenty) {
    TestCage t(1);
    EXPECT_EQ(getNextLabelDValue(t.cage), 1.0);
    EXPECT_EQ(getNextLabelDValue(t.cage), 1.0 + std::ldexp(1.0, -20));
    EXPECT_EQ(getNextLabelDValue(t.cage), 1.0 + 2 * std::ldexp(1.0, -20));
}

TEST(CageKeyLabels, AfterTheCounterWrapsLabelsStillInUseAreSkipped) {
    TestCage t(1);
    CageKey* first = t.key(0.0, {0, 0, 0}); // label 1.0
    t.cage->labelCounter = 0xFFFFF;         // one before the wrap
    double last = getNextLabelDValue(t.cage);
    EXPECT_EQ(last, 2.0 - std::ldexp(1.0, -20));
    double next = getNextLabelDValue(t.cage);
    EXPECT_NE(next, first->label);
    EXPECT_EQ(next, 1.0 + std::ldexp(1.0, -20));
}

TEST(CageKeyList, OrderToleranceMoveCopyAndRemove) {
    TestCage t(2);
    CageKey* a = t.key(1.0, {1, 0, 0, 1, 0, 0});
    t.key(0.0, {0, 0, 0, 0, 0, 0});
    CageKey* c = t.key(2.0, {2, 0, 0, 2, 0, 0});
    EXPECT_EQ(t.times(), (std::vector<double>{0.0, 1.0, 2.0}));

    // Within 0.0001 s counts as the same time.
    CageKey* twin = newCageKey(t.cage, 1.00005, nullptr);
    EXPECT_EQ(insertCageKeyToTime(t.cage, twin, 1.00005), 0);
    deallocCageKey(twin);
    EXPECT_EQ(searchCageKeyAtTime(t.cage, 1.00005), a);
    EXPECT_EQ(searchCageKeyAtTime(t.cage, 1.0002), nullptr);

    EXPECT_EQ(moveCageKeyToTime(t.cage, a, 3.0), 1);
    EXPECT_EQ(t.times(), (std::vector<double>{0.0, 2.0, 3.0}));
    EXPECT_EQ(t.cage->keyTail, a);
    EXPECT_EQ(moveCageKeyToTime(t.cage, a, 2.00001), 0);
    EXPECT_EQ(moveCageKeyToTime(t.cage, a, 3.00001), 1); // its own time does not block it

    CageKey* copy = copyCageKeyAtTime(t.cage, c, 0.5);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->label, c->label);
    EXPECT_EQ(copy->deltas[3], 2.0);
    EXPECT_EQ(copyCageKeyAtTime(t.cage, c, 0.50003), nullptr);

    temporarilyRemoveCageKeyFromList(t.cage, c);
    EXPECT_EQ(t.times().size(), 3u);
    EXPECT_EQ(takeCageKeyWithLabelDVal(t.cage, 0, c->label), nullptr);
    EXPECT_EQ(takeRemovedCageKeyWithLabelDVal(t.cage, c->label), c);
    EXPECT_EQ(t.cage->removedKeyHead, nullptr);
    EXPECT_EQ(insertCageKeyToTime(t.cage, c, 5.0), 1);
    EXPECT_EQ(t.cage->keyTail, c);

    removeCageKeyFromList(t.cage, copy);
    EXPECT_EQ(t.times(), (std::vector<double>{0.0, 3.00001, 5.0}));
    EXPECT_EQ(t.cage->keyHead->prev, nullptr);
    EXPECT_EQ(t.cage->keyTail->next, nullptr);
}

TEST(CageShape, NoKeyOneKeyAndBeyondTheEnds) {
    TestCage t(2);
    setEvaluatedCageOtherPosAtTime(t.cage, 0.3);
    EXPECT_EQ(t.other(1, 0), 1.0);

    t.key(0.0, {0, 1, 0, 0, 2, 0});
    for (double time : {-5.0, 0.0, 7.0}) {
        setEvaluatedCageOtherPosAtTime(t.cage, time);
        EXPECT_EQ(t.other(0, 1), 1.0);
        EXPECT_EQ(t.other(1, 1), 2.0);
        EXPECT_EQ(t.other(1, 0), 1.0);
    }
    t.key(1.0, {0, 3, 0, 0, 4, 0});
    setEvaluatedCageOtherPosAtTime(t.cage, -1.0);
    EXPECT_EQ(t.other(0, 1), 1.0); // before the first key: the first key's deltas
    setEvaluatedCageOtherPosAtTime(t.cage, 9.0);
    EXPECT_EQ(t.other(0, 1), 3.0); // after the last: the last key's
}

TEST(CageShape, TwoKeysInterpolateSmoothlyThroughTheirValues) {
    TestCage t(1);
    t.key(0.0, {0, 0, 0});
    t.key(1.0, {0, 2, 0});
    // With no outer keys the phantoms continue the segment evenly: the
    // timing curve is a straight line, the tangents equal the segment, and
    // the Hermite curve is linear: halfway gives half.
    setEvaluatedCageOtherPosAtTime(t.cage, 0.5);
    EXPECT_NEAR(t.other(0, 1), 1.0, 1e-9);
    setEvaluatedCageOtherPosAtTime(t.cage, 0.25);
    EXPECT_NEAR(t.other(0, 1), 0.5, 1e-9);
    setEvaluatedCageOtherPosAtTime(t.cage, 1.0);
    EXPECT_NEAR(t.other(0, 1), 2.0, 1e-12);
}

TEST(CageShape, AConstantCoordinateStaysExactlyConstant) {
    TestCage t(1);
    t.key(0.0, {5, 1, 0});
    t.key(1.0, {5, 3, 0});
    t.key(2.5, {5, -1, 0});
    for (double time : {0.1, 0.7, 1.3, 2.2}) {
        setEvaluatedCageOtherPosAtTime(t.cage, time);
        EXPECT_EQ(t.other(0, 0), 5.0) << time;
    }
}

TEST(CageShape, BreakFlagReplacesTheNeighbourByAPhantom) {
    // Keys 0, 1, 2 s with values 0, 1, 5. Without the break the 0..1 segment
    // bends towards the 2 s key; with the 1 s key broken it sees a phantom
    // that continues 0..1 evenly and is exactly linear.
    TestCage t(1);
    t.key(0.0, {0, 0, 0});
    CageKey* middle = t.key(1.0, {1, 0, 0});
    t.key(2.0, {5, 0, 0});
    setEvaluatedCageOtherPosAtTime(t.cage, 0.5);
    double bent = t.other(0, 0) - 0.0;
    EXPECT_GT(std::fabs(bent - 0.5), 1e-3);

    middle->breakFlag = 1;
    setEvaluatedCageOtherPosAtTime(t.cage, 0.5);
    EXPECT_NEAR(t.other(0, 0), 0.5, 1e-9);
    // And 1..2 no longer looks back at the 0 s key: linear too.
    setEvaluatedCageOtherPosAtTime(t.cage, 1.5);
    EXPECT_NEAR(t.other(0, 0), 3.0, 1e-9); // rest 0 + halfway from 1 to 5
}

TEST(CageShape, TangentsMatchTheHandComputedFormula) {
    double dp[3] = {0, 0, 0}, d0[3] = {1, 0, 0}, d1[3] = {1, 2, 0}, dn[3] = {1, 2, 2};
    double m0[3], m1[3];
    getTangents(dp, d0, d1, dn, m0, m1);
    // d = 2, dp = 1, dn = 2: M0 = ((1,0,0)*2 + (0,2,0)*1) / 3, M1 = ((0,2,0)*2 + (0,0,2)*2) / 4.
    EXPECT_NEAR(m0[0], 2.0 / 3, 1e-15);
    EXPECT_NEAR(m0[1], 2.0 / 3, 1e-15);
    EXPECT_NEAR(m1[1], 1.0, 1e-15);
    EXPECT_NEAR(m1[2], 1.0, 1e-15);

    double same[3] = {1, 2, 0};
    getTangents(dp, same, same, dn, m0, m1);
    EXPECT_EQ(m0[1], 0.0);
    EXPECT_EQ(m1[2], 0.0);
}

TEST(CageKeyAtTime, MakesInterpolatedOrCopiedKeysAndReusesNearOnes) {
    TestCage t(1);
    EXPECT_EQ(getMakeEvaluatedCageKeyAtTime(t.cage, 0.0)->label, 1.0); // first key, zero deltas
    CageKey* at1 = t.key(1.0, {0, 4, 0});
    EXPECT_EQ(getMakeEvaluatedCageKeyAtTime(t.cage, 1.00005), at1);

    CageKey* made = getMakeEvaluatedCageKeyAtTime(t.cage, 0.5);
    ASSERT_NE(made, nullptr);
    setEvaluatedCageOtherPosAtTime(t.cage, 0.5);
    EXPECT_NEAR(made->deltas[1], t.other(0, 1), 1e-12); // same value as the shape
    EXPECT_EQ(t.times(), (std::vector<double>{0.0, 0.5, 1.0}));

    CageKey* late = getMakeEvaluatedCageKeyAtTime(t.cage, 1.0002);
    EXPECT_NE(late, at1);
    EXPECT_EQ(late->deltas[1], 4.0); // a copy of the last key
    CageKey* early = getMakeEvaluatedCageKeyAtTime(t.cage, -2.0);
    EXPECT_EQ(t.cage->keyHead, early);
    EXPECT_EQ(early->deltas[1], 0.0);

    TestCage empty(0);
    EXPECT_EQ(getMakeEvaluatedCageKeyAtTime(empty.cage, 0.0), nullptr);
}

} // namespace
