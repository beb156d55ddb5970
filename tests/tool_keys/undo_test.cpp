// The tool's undo history: undo and redo as exact round trips, steps of
// several records, the record limit and cages gone since a snapshot.
#include "tool_keys_support.h"

#include <functional>

namespace {

class Undo : public ToolKeysTest {
  protected:
    void SetUp() override {
        a = newCage(3);
        b = newCage(4, true, 2.0);
        for (double t : {0.0, 1.0, 2.0})
            key(a, t);
        key(b, 1.0);
        initUndoStcData(&state);
        refreshMixEnvelopeKeyData(&state, 1);
    }
    // Undo and redo as the panel does them, the viewports redrawn between.
    void undo() {
        state.needsRedraw = 0;
        EXPECT_EQ(undoOneStep(&state), 1);
    }
    void redo() {
        state.needsRedraw = 0;
        EXPECT_EQ(redoOneStep(&state), 1);
    }
    CageInstance* a = nullptr;
    CageInstance* b = nullptr;
};

using Edit = std::function<void(EditCageState*)>;
class UndoRoundTrip : public Undo, public testing::WithParamInterface<Edit> {};

TEST_P(UndoRoundTrip, UndoThenRedoRestoreEveryKeyExactly) {
    a->pointArray[1]->selected = 1;
    recountPointSelectionForSelectedCages(&state);
    auto before = keyState();
    GetParam()(&state);
    refreshMixEnvelopeKeyData(&state, 1);
    auto after = keyState();
    ASSERT_NE(before, after);
    undo();
    EXPECT_EQ(keyState(), before);
    EXPECT_EQ(a->pointArray[1]->selected, 1); // the selection of the step's start
    EXPECT_EQ(state.selectedCageCount, 2);
    EXPECT_FALSE(undoAvailable(&state));
    ASSERT_TRUE(redoAvailable(&state));
    redo();
    EXPECT_EQ(keyState(), after);
    undo();
    EXPECT_EQ(keyState(), before);
}
INSTANTIATE_TEST_SUITE_P(
    Edits, UndoRoundTrip,
    testing::Values(Edit([](EditCageState* s) { setZeroKeyAtTime(s, 0, 1.5); }),
                    Edit([](EditCageState* s) { setZeroKeyAtTime(s, 1, 1.0); }),
                    Edit([](EditCageState* s) { setInterpolatedKeyAtTime(s, 0.5); }),
                    Edit([](EditCageState* s) { deleteKeysWithinTimeRange(s, -1.0, 2.0); })));

TEST_F(Undo, StepsUndoOneAtATimeAndGoToTheirFrame) {
    auto start = keyState();
    setInterpolatedKeyAtTime(&state, 0.5);
    auto middle = keyState();
    setZeroKeyAtTime(&state, 0, 1.0);
    undo();
    EXPECT_EQ(keyState(), middle);
    EXPECT_NEAR(layout.scene().timing().time, 1.0, 1e-9);
    undo();
    EXPECT_EQ(keyState(), start);
    EXPECT_NEAR(layout.scene().timing().time, 0.5, 1e-9);
    // Not yet drawn: ignored.
    EXPECT_EQ(redoOneStep(&state), 0);
    // A new edit drops what was undone.
    setInterpolatedKeyAtTime(&state, 1.5);
    EXPECT_FALSE(redoAvailable(&state));
    EXPECT_EQ(state.undoRecordCount, 1);
}

TEST(UndoLimit, FourMillionPointSnapshotsAtLeastTen) {
    for (long long points : {0LL, 1000LL, 400001LL, 9000000LL})
        EXPECT_EQ(undoRecordLimitForPoints(points),
                  std::max<long long>(10, 4000000 / std::max<long long>(128, points + 3)));
}

TEST_F(Undo, AtTheLimitTheOldestRecordsAreDropped) {
    // An unselected cage large enough for a limit of 99 records.
    newCage(40000, false);
    const int limit = undoRecordLimitForPoints(3 + 4 + 40000);
    for (int i = 0; i < limit + 5; ++i)
        setInterpolatedKeyAtTime(&state, 5.0 + i);
    EXPECT_EQ(state.undoRecordLimit, limit);
    EXPECT_EQ(state.undoRecordCount, limit);
    EXPECT_EQ(state.undoHead->next->time, 5.0 + 5);
    EXPECT_EQ(state.undoCurrent->time, 5.0 + limit + 4);
}

TEST_F(Undo, ACageGoneSinceTheSnapshotIsSkipped) {
    setZeroKeyAtTime(&state, 0, 1.0);
    const UndoCageEntry* entry = &state.undoCurrent->entries[1];
    ASSERT_EQ(entry->cage, b);
    destroy(b);
    CageInstance* fresh = newCage(8, false);
    auto freshKeys = keyState();
    undo();
    EXPECT_EQ(keyState().size(), freshKeys.size()); // a's key at 1 restored, fresh untouched
    EXPECT_EQ(fresh->keyHead, nullptr);
    EXPECT_EQ(state.selectedCageCount, 1);
    EXPECT_EQ(state.selectedCages[0], a);
}

TEST_F(Undo, AnEntryMatchesOnlyTheSameLiveCage) {
    setZeroKeyAtTime(&state, 0, 1.0);
    getListOfCagesInThisScene(&state);
    UndoCageEntry entry = state.undoCurrent->entries[0];
    EXPECT_TRUE(undoEntryMatchesScene(&state, &entry));
    // A different cage at the remembered address, or one reshaped.
    for (auto change : {std::make_pair(1u, 0), std::make_pair(0u, 1)}) {
        UndoCageEntry stale = entry;
        stale.serial += change.first;
        stale.pointCount += change.second;
        EXPECT_FALSE(undoEntryMatchesScene(&state, &stale));
    }
}

} // namespace
