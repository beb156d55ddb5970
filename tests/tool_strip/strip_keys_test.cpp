// Presses on the key strip by zone, and keys moved, deleted and copied by
// dragging them, in every selected cage and with their undo steps.
#include "strip_support.h"

namespace {

TEST_F(KeyStripTest, NearTheMarkerTheMiddleBandScrubsAndTheTopBandScrollsOrSelects) {
    run("GoToFrame 10");
    const double x = xOf(10) - 5;
    press(x, 15);
    EXPECT_EQ(stInstData.stripDrag, unsigned(kStripScrub));
    EXPECT_NE(drag(x + 32, 15).find("command: GoToFrame 12.000000"), std::string::npos);
    release();
    EXPECT_NEAR(layout.scene().timing().time, 12 / fps(), 1e-9);

    // The top 8 pixels: the left button scrolls, and the cages keep the
    // scroll for the scene.
    const double x12 = xOf(12) - 5;
    press(x12, 4);
    EXPECT_EQ(stInstData.stripDrag, unsigned(kStripScroll));
    EXPECT_EQ(drag(x12 + 10, 4).find("GoToFrame"), std::string::npos);
    release();
    EXPECT_EQ(stInstData.timeSliderBX, -50);
    EXPECT_EQ(stTimeSliderBX, -50);

    // The right button starts a range from the press.
    const double x12s = xOf(12) - 5;
    press(x12s, 4, true);
    EXPECT_EQ(stInstData.stripDrag, unsigned(kStripRange));
    drag(x12s + 32, 4);
    release();
    const double spp = 1 / fps() / 16;
    EXPECT_NEAR(stInstData.keyRangeStart, (12 * 16 - 5) * spp, 1e-12);
    EXPECT_NEAR(stInstData.keyRangeEnd, (12 * 16 + 27) * spp, 1e-12);
    EXPECT_NEAR(layout.scene().timing().time, 12 / fps(), 1e-9);
}

// A key dragged more than 79 pixels off the strip, up or down, is deleted
// from every selected cage; within 79 it moves. Undo brings it back.
class KeyStripDrop : public KeyStripTest, public testing::WithParamInterface<int> {};

TEST_P(KeyStripDrop, DeletesBeyond79PixelsElseMoves) {
    const int dy = GetParam();
    keys(a, {0, 10});
    keys(b, {0, 10, 20});
    stroke(xOf(10), 25, xOf(12), 25 + dy);
    if (std::abs(dy) > 79) {
        EXPECT_EQ(frames(a), (std::vector<double>{0}));
        EXPECT_EQ(frames(b), (std::vector<double>{0, 20}));
    } else {
        EXPECT_EQ(frames(a), (std::vector<double>{0, 12}));
        EXPECT_EQ(frames(b), (std::vector<double>{0, 12, 20}));
        EXPECT_EQ(searchCageKeyAtTime(b, 12 / fps())->deltas[4], 10.5);
    }
    run("PanelPress \"Morvane Tool\" Undo");
    EXPECT_EQ(frames(a), (std::vector<double>{0, 10}));
    EXPECT_EQ(frames(b), (std::vector<double>{0, 10, 20}));
}

INSTANTIATE_TEST_SUITE_P(Offsets, KeyStripDrop, testing::Values(79, 80, -80, -79), RowName());

TEST_F(KeyStripTest, AKeyStopsBeforeAnotherAndAReturnRecordsNothing) {
    keys(a, {10, 12});
    press(xOf(10), 25);
    drag(xOf(11), 25);
    drag(xOf(12), 25); // taken: the key stays at 11
    EXPECT_NEAR(stInstData.dragTime * fps(), 11, 1e-9);
    release();
    EXPECT_EQ(frames(a), (std::vector<double>{11, 12}));

    const int records = stInstData.undoRecordCount;
    press(xOf(11), 25);
    drag(xOf(12), 25);
    drag(xOf(11) + 3, 25); // snaps back to frame 11
    release();
    EXPECT_EQ(frames(a), (std::vector<double>{11, 12}));
    EXPECT_EQ(stInstData.undoRecordCount, records);
}

TEST_F(KeyStripTest, DeletingACagesOnlyKeyLeavesAKeyAtZero) {
    keys(a, {10});
    keys(b, {10, 20});
    stroke(xOf(10), 25, xOf(10), 25 + 80);
    EXPECT_EQ(frames(a), (std::vector<double>{0}));
    EXPECT_EQ(frames(b), (std::vector<double>{20}));
    run("PanelPress \"Morvane Tool\" Undo");
    EXPECT_EQ(frames(a), (std::vector<double>{10}));
    EXPECT_EQ(frames(b), (std::vector<double>{10, 20}));
}

// Three keys in a selected range copied by a right-button drag on one of
// them: all with their spacing, or none when a target is taken.
struct RunCopy {
    double offset;
    std::vector<double> framesAfter;
};

class KeyStripCopy : public KeyStripTest, public testing::WithParamInterface<RunCopy> {};

TEST_P(KeyStripCopy, CopiesTheRangeWithItsSpacingOrNotAtAll) {
    keys(a, {10, 12, 15, 30});
    stroke(xOf(9), 4, xOf(16), 4, true);
    const double offset = GetParam().offset;
    press(xOf(12), 25, true);
    EXPECT_EQ(stInstData.stripDrag, unsigned(kStripCopyKeys));
    drag(xOf(12 + offset), 25);
    release();
    EXPECT_EQ(frames(a), GetParam().framesAfter);
    const CageKey* copy = searchCageKeyAtTime(a, (15 + offset) / fps());
    if (GetParam().framesAfter.size() > 4) {
        EXPECT_EQ(copy->deltas[0], 15.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Offsets, KeyStripCopy,
                         testing::Values(RunCopy{10, {10, 12, 15, 20, 22, 25, 30}},
                                         RunCopy{18, {10, 12, 15, 30}},
                                         RunCopy{-8, {2, 4, 7, 10, 12, 15, 30}}),
                         RowName());

} // namespace
