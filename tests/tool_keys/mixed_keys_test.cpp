// The merged key list: merging within the tolerance, the entry flags, the
// allocator, the searches and the three key edits.
#include "tool_keys_support.h"

#include <random>
#include <set>

namespace {

// After a rebuild: strictly increasing times, every key of every selected
// cage in exactly one entry, no entry with two keys of one cage, and the
// counts and flags agree with the chains.
void expectSoundList(const EditCageState& state) {
    std::set<const CageKey*> seen;
    double last = -1e30;
    for (const MixEnvelopeKey* e = state.mixKeyHead; e; e = e->next) {
        EXPECT_GT(e->time, last);
        last = e->time;
        int count = 0;
        unsigned char kinds = 0;
        for (const CageKey* k = e->cageKeys; k; k = k->mixNext) {
            EXPECT_TRUE(seen.insert(k).second);
            EXPECT_LT(std::abs(k->time - e->time), CAGE_KEY_TIME_TOLERANCE);
            kinds |= k->breakFlag ? 2 : 1;
            ++count;
        }
        EXPECT_EQ(e->keyCount, count);
        EXPECT_EQ(e->keyKinds, kinds);
        EXPECT_EQ(e->allCages, count == state.selectedCageCount);
        std::set<const CageInstance*> owners;
        for (int c = 0; c < state.selectedCageCount; ++c)
            for (const CageKey* k = state.selectedCages[c]->keyHead; k; k = k->next)
                for (const CageKey* m = e->cageKeys; m; m = m->mixNext)
                    if (m == k) {
                        EXPECT_TRUE(owners.insert(state.selectedCages[c]).second);
                    }
    }
    size_t total = 0;
    for (int c = 0; c < state.selectedCageCount; ++c)
        for (const CageKey* k = state.selectedCages[c]->keyHead; k; k = k->next)
            ++total;
    EXPECT_EQ(seen.size(), total);
}

struct MergeCase {
    double second;
    size_t entries;
};
class MergeTolerance : public ToolKeysTest, public testing::WithParamInterface<MergeCase> {};

TEST_P(MergeTolerance, KeysOfTwoCagesMergeOnlyWithinTheTolerance) {
    key(newCage(2), 1.0);
    key(newCage(2), GetParam().second);
    refreshMixEnvelopeKeyData(&state, 1);
    ASSERT_EQ(entries().size(), GetParam().entries);
    EXPECT_EQ(entries()[0]->allCages, GetParam().entries == 1);
    expectSoundList(state);
}
INSTANTIATE_TEST_SUITE_P(Times, MergeTolerance,
                         testing::Values(MergeCase{1.00005, 1}, MergeCase{1.0002, 2}));

TEST_F(ToolKeysTest, TwoKeysOfOneCageNeverShareAnEntry) {
    CageInstance* other = newCage(2);
    CageInstance* cage = newCage(2);
    key(other, 1.00009);
    key(cage, 1.0);
    key(cage, 1.00015);
    refreshMixEnvelopeKeyData(&state, 0);
    EXPECT_EQ(entries().size(), 2u);
    expectSoundList(state);
}

TEST_F(ToolKeysTest, RandomKeyTimesAlwaysGiveASoundList) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> step(0, 40);
    for (int c = 0; c < 4; ++c) {
        CageInstance* cage = newCage(1);
        for (double t = 0.0; t < 0.05; t += 0.00011 + step(random) * 0.00001)
            key(cage, t);
    }
    refreshMixEnvelopeKeyData(&state, 0);
    expectSoundList(state);
}

TEST_F(ToolKeysTest, EntryFlagsTellWhichCagesAndKindsAreThere) {
    key(newCage(1), 2.0);
    key(newCage(1), 2.0, 1);
    newCage(1);
    refreshMixEnvelopeKeyData(&state, 0);
    ASSERT_EQ(entries().size(), 1u);
    EXPECT_EQ(entries()[0]->keyCount, 2);
    EXPECT_EQ(entries()[0]->allCages, 0);
    EXPECT_EQ(entries()[0]->keyKinds, 3);
}

TEST_F(ToolKeysTest, ASecondChunkIsChainedOnceAndReused) {
    CageInstance* cage = newCage(1);
    for (int i = 0; i < 300; ++i)
        key(cage, i * 0.01);
    refreshMixEnvelopeKeyData(&state, 0);
    MixEnvKeyChunk* second = state.mixKeyChunks->next;
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->used, 300u - kMixKeyChunkSize);
    refreshMixEnvelopeKeyData(&state, 0);
    EXPECT_EQ(state.mixKeyChunks->next, second);
    EXPECT_EQ(second->next, nullptr);
    EXPECT_EQ(entries().size(), 300u);
    expectSoundList(state);
}

struct NavCase {
    double now, previous, next;
};
class Navigation : public ToolKeysTest, public testing::WithParamInterface<NavCase> {};

TEST_P(Navigation, PreviousAndNextSkipTheKeyAtTheCurrentTime) {
    CageInstance* cage = newCage(1);
    for (double t : {0.0, 1.0, 2.0})
        key(cage, t);
    refreshMixEnvelopeKeyData(&state, 0);
    double previous = -1, next = -1;
    ASSERT_TRUE(previousMixKeyTime(&state, GetParam().now, &previous));
    ASSERT_TRUE(nextMixKeyTime(&state, GetParam().now, &next));
    EXPECT_EQ(previous, GetParam().previous);
    EXPECT_EQ(next, GetParam().next);
    EXPECT_EQ(searchMixEnvelopeKeyAtTime(&state, GetParam().now) != nullptr,
              std::abs(GetParam().now - 1.0) < CAGE_KEY_TIME_TOLERANCE);
    EXPECT_FALSE(nextMixKeyTime(&state, 2.0, &next));
}
INSTANTIATE_TEST_SUITE_P(Times, Navigation,
                         testing::Values(NavCase{1.0, 0.0, 2.0}, NavCase{1.5, 1.0, 2.0},
                                         NavCase{1.00005, 0.0, 2.0}));

class ZeroKey : public ToolKeysTest, public testing::WithParamInterface<int> {};

TEST_P(ZeroKey, ZeroesTheSelectedPointsOrAllAndKeepsTheRestEvaluated) {
    const int selectedOnly = GetParam();
    CageInstance* cage = newCage(4);
    key(cage, 0.0);
    key(cage, 2.0);
    cage->pointArray[1]->selected = cage->pointArray[3]->selected = 1;
    recountPointSelectionForSelectedCages(&state);
    std::vector<double> expected = evaluated(cage, 1.0);
    setZeroKeyAtTime(&state, selectedOnly, 1.0);
    CageKey* made = searchCageKeyAtTime(cage, 1.0);
    ASSERT_NE(made, nullptr);
    for (int i = 0; i < 12; ++i) {
        bool zeroed = !selectedOnly || cage->pointArray[i / 3]->selected;
        EXPECT_NEAR(made->deltas[i], zeroed ? 0.0 : expected[size_t(i)], 1e-12) << i;
    }
}
INSTANTIATE_TEST_SUITE_P(Modes, ZeroKey, testing::Values(0, 1));

TEST_F(ToolKeysTest, InterpolatedKeyHoldsTheEvaluatedShapeAndLeavesKeysAlone) {
    CageInstance* a = newCage(3);
    CageInstance* b = newCage(2, true, 2.0);
    key(a, 0.0);
    key(a, 1.0);
    key(a, 3.0);
    key(b, 1.0);
    std::vector<double> expected = evaluated(a, 2.25);
    auto before = keyState();
    setInterpolatedKeyAtTime(&state, 2.25);
    const CageKey* made = searchCageKeyAtTime(a, 2.25);
    ASSERT_NE(made, nullptr);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(made->deltas[i], expected[i], 1e-12) << i;
    EXPECT_NE(searchCageKeyAtTime(b, 2.25), nullptr);
    // Every key there before is there still, unchanged.
    auto after = keyState();
    for (const auto& row : before)
        EXPECT_NE(std::find(after.begin(), after.end(), row), after.end());
}

TEST_F(ToolKeysTest, DeletionInARangeAndTheKeyAtZero) {
    CageInstance* a = newCage(2);
    CageInstance* b = newCage(2);
    for (double t : {0.0, 1.0, 2.0, 3.0})
        key(a, t);
    key(b, 2.0);
    refreshMixEnvelopeKeyData(&state, 0);
    deleteKeysWithinTimeRange(&state, 0.0, 2.0); // (0, 2]
    refreshMixEnvelopeKeyData(&state, 1);
    std::vector<double> times;
    for (const MixEnvelopeKey* e : entries())
        times.push_back(e->time);
    EXPECT_EQ(times, (std::vector<double>{0.0, 3.0}));
    ASSERT_NE(b->keyHead, nullptr);
    EXPECT_EQ(b->keyHead->time, 0.0);
    EXPECT_EQ(b->keyHead->next, nullptr);
    EXPECT_EQ(entries()[0]->keyCount, 2);
}

} // namespace
