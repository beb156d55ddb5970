// The edit tool's overlay drawn by the stand-in Layout: the key strip's
// ruler, keys and label, the cursor of a press, the selected points; read
// back from the picture and from the drawing calls.
#include "draw_spy.h"

#include "tool/overlay_draw.h"
#include "tool/tool_mixed_keys.h"

#include "../tool_panel/tool_panel_support.h"

#include <climits>
#include <cmath>

namespace {

// One view filling the 1280 x 960 window: the strip takes rows 928 to 959,
// its top edge T at row 928; frame f of the default strip (scroll -40, 16
// pixels per frame) sits in column 40 + 16 f.
const int kStripTop = 928;
int column(double frame) {
    return int(std::floor(40.0 + 16.0 * frame + 0.01));
}

bool near(const host::Rgba& c, float r, float g, float b, float tolerance = 0.06f) {
    return std::fabs(c.r - r) < tolerance && std::fabs(c.g - g) < tolerance &&
           std::fabs(c.b - b) < tolerance;
}
bool black(const host::Rgba& c) {
    return near(c, 0, 0, 0);
}
bool green(const host::Rgba& c) {
    return near(c, 0.05f, 1.0f, 0.1f);
}
bool yellow(const host::Rgba& c) {
    return near(c, 1.0f, 1.0f, 0.3f);
}

class OverlayTest : public ToolPanelTest {
  protected:
    OverlayTest() { run("Viewports 1\nViewType 0 top\nViewCenter 0 0 0 0\nViewZoom 0 0.01"); }

    // Rows of black from the ruler's tick start (T - 12) down.
    static int tickLength(const DrawSpy& spy, int x) {
        int n = 0;
        while (n < 12 && black(spy.picture().pixel(x, kStripTop + 12 + n)))
            ++n;
        return n;
    }
    // White glyph pixels in the label box above a tick.
    static bool labelled(const DrawSpy& spy, int x) {
        for (int y = kStripTop; y < kStripTop + 11; ++y)
            for (int dx = -8; dx <= 8; ++dx)
                if (near(spy.picture().pixel(x + dx, y), 1, 1, 1, 0.1f)) return true;
        return false;
    }
    CageInstance* keyedCage(const std::vector<std::pair<double, int>>& frames) {
        CageInstance* cage = newCage(3);
        for (const auto& [frame, breakFlag] : frames)
            getMakeEvaluatedCageKeyAtTime(cage, frame / fps())->breakFlag =
                static_cast<unsigned char>(breakFlag);
        return cage;
    }
    void select(CageInstance* cage) {
        add1CageToSelection(&stInstData, cage, 1);
        refreshMixEnvelopeKeyData(&stInstData, 1);
    }
};

TEST_F(OverlayTest, TheDefaultStripStartsAtFrameMinusTwoEightPixelsIn) {
    ASSERT_EQ(start(), AFUNC_OK);
    run("GoToFrame 47");
    DrawSpy spy(layout, 0);
    // Frame -2's tick is drawn 8 pixels in, under the left end block.
    bool firstTickAt8 = false;
    for (const DrawCall& c : spy.calls())
        if (c.kind == DrawCall::Line && !firstTickAt8) {
            const auto a = spy.screen(c.points[0]);
            if (std::fabs(a[1] - (kStripTop + 12)) < 0.5) {
                EXPECT_EQ(int(std::floor(a[0])), 8);
                firstTickAt8 = true;
            }
        }
    EXPECT_TRUE(firstTickAt8);
    EXPECT_EQ(tickLength(spy, column(-1)), 4);
    EXPECT_EQ(tickLength(spy, column(0)), 9);
    EXPECT_EQ(column(0), 40);
    EXPECT_TRUE(labelled(spy, column(0)));
    // Between ticks the ruler is empty.
    EXPECT_EQ(tickLength(spy, column(0) + 8), 0);
}

struct RulerCase {
    double fps;
    std::vector<int> labelled, longTicks, medium, unlabelled;
};

class RulerTest : public OverlayTest, public testing::WithParamInterface<RulerCase> {};

TEST_P(RulerTest, TicksAndLabelsFollowTheFrameRate) {
    const RulerCase& c = GetParam();
    layout.scene().timing().framesPerSecond = c.fps;
    ASSERT_EQ(start(), AFUNC_OK);
    run("GoToFrame 47");
    DrawSpy spy(layout, 0);
    for (int f : c.labelled)
        EXPECT_TRUE(labelled(spy, column(f))) << f;
    for (int f : c.longTicks)
        EXPECT_EQ(tickLength(spy, column(f)), 9) << f;
    for (int f : c.medium)
        EXPECT_EQ(tickLength(spy, column(f)), 6) << f;
    for (int f : c.unlabelled)
        EXPECT_FALSE(labelled(spy, column(f))) << f;
    // Every frame has a tick of one of the three lengths.
    for (int f = -1; f < 45; ++f) {
        const int n = tickLength(spy, column(f));
        EXPECT_TRUE(n == 4 || n == 6 || n == 9) << "frame " << f << ": " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rates, RulerTest,
    testing::Values(RulerCase{30, {0, 10, 20}, {0, 10, 20}, {5, 15}, {5, 8, 15}},
                    RulerCase{24, {0, 8, 16, 24}, {0, 24}, {8, 16}, {4, 12, 20}}));

// Keys at frames 10 (plain), 20 (break flag only: dashed) and 30 (both
// kinds: solid with two strokes); the range [5, 20] frames holds the first
// two, the one at its very end included.
TEST_F(OverlayTest, KeysShowTheirKindsAndTheSelectedRange) {
    CageInstance* a = keyedCage({{10, 0}, {20, 1}, {30, 1}});
    CageInstance* b = keyedCage({{30, 0}});
    ASSERT_EQ(start(), AFUNC_OK);
    run("GoToFrame 47");
    select(a);
    select(b);
    stInstData.keyRangeStart = 5 / fps();
    stInstData.keyRangeEnd = 20 / fps();
    DrawSpy spy(layout, 0);
    const host::Raster& p = spy.picture();
    const int bottom = kStripTop + 31;
    for (int y = kStripTop + 20; y <= bottom; ++y) {
        EXPECT_TRUE(yellow(p.pixel(column(10), y))) << y;
        EXPECT_TRUE(green(p.pixel(column(30), y))) << y;
    }
    // Dashes of three pixels from T - 21, three apart.
    for (int y = kStripTop + 20; y <= bottom; ++y)
        EXPECT_EQ(yellow(p.pixel(column(20), y)),
                  y != kStripTop + 20 && (y - kStripTop - 21) % 4 < 3)
            << y;
    for (int dx = 1; dx <= 3; ++dx) {
        EXPECT_TRUE(green(p.pixel(column(30) + dx, bottom)));
        EXPECT_TRUE(green(p.pixel(column(30) + dx, bottom - 1)));
        EXPECT_FALSE(yellow(p.pixel(column(10) + dx, bottom)));
    }
}

struct LabelCase {
    int cages;
    const char* text;
};
class LabelTest : public OverlayTest, public testing::WithParamInterface<LabelCase> {};

TEST_P(LabelTest, TheLabelNamesTheFirstSelectedCage) {
    ASSERT_EQ(start(), AFUNC_OK);
    for (int i = 0; i < GetParam().cages; ++i)
        select(newCage());
    DrawSpy spy(layout, 0);
    std::vector<std::string> texts;
    for (const DrawCall& c : spy.calls())
        if (c.kind == DrawCall::Text) texts.push_back(c.text);
    EXPECT_EQ(texts, std::vector<std::string>{GetParam().text});
}

INSTANTIATE_TEST_SUITE_P(Counts, LabelTest,
                         testing::Values(LabelCase{1, "\"Cage1\""},
                                         LabelCase{2, "\"Cage1\" and 1 cage"},
                                         LabelCase{3, "\"Cage1\" and 2 cages"}));

struct CursorCase {
    const char* mode;
    bool right;
    int radius;
    int discTriangles, dashedLines;
};
class CursorTest : public OverlayTest, public testing::WithParamInterface<CursorCase> {};

TEST_P(CursorTest, APressShowsTheModesCursor) {
    const CursorCase& c = GetParam();
    ASSERT_EQ(start(), AFUNC_OK);
    run(std::string("PanelPress \"Morvane Tool\" \"") + c.mode + "\"\nPanelType \"Morvane Tool\" " +
        (std::string(c.mode) == "Sel Point" ? "\"Point Radius\" " : "\"Brush Radius\" ") +
        std::to_string(c.radius) + "\nToolPress 0 640 400" + (c.right ? " right" : ""));
    DrawSpy spy(layout, 0);
    EXPECT_EQ(spy.count(DrawCall::Triangle, transYellow), c.discTriangles);
    int dashed = 0;
    for (const DrawCall& call : spy.calls())
        dashed += call.kind == DrawCall::Line && call.pattern == LWLPAT_DASH;
    EXPECT_EQ(dashed, c.dashedLines);
    if (c.discTriangles) {
        // The translucent disc tints the picture at the cursor.
        const host::Rgba at = spy.picture().pixel(640, 400);
        EXPECT_GT(at.r + at.g, 2 * at.b + 0.2f);
    }
    run("ToolRelease");
    DrawSpy after(layout, 0);
    EXPECT_EQ(after.count(DrawCall::Triangle, transYellow), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CursorTest,
    testing::Values(CursorCase{"Grab", true, 12, 8, 0}, CursorCase{"Grab", true, 40, 32, 0},
                    CursorCase{"Grab", false, 40, 0, 0}, CursorCase{"Magnet", true, 64, 64, 0},
                    CursorCase{"Magnet", false, 40, 0, 32}, CursorCase{"Erase", false, 13, 0, 16}));

TEST_F(OverlayTest, MovingTheViewDuringAPressDropsTheCursor) {
    ASSERT_EQ(start(), AFUNC_OK);
    run("PanelPress \"Morvane Tool\" \"Grab\"\nToolPress 0 640 400 right\nViewCenter 0 0.5 0 0");
    DrawSpy spy(layout, 0);
    EXPECT_EQ(spy.count(DrawCall::Triangle, transYellow), 0);
    EXPECT_EQ(stInstData.cancelled, 1);
    EXPECT_EQ(stInstData.dragButton, 0);
}

TEST_F(OverlayTest, SelectedPointsAreWhiteSquaresOrBlackOnTheBaseShape) {
    CageInstance* cage = newCage(4);
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 3; ++k)
            cage->pointArray[i]->worldOtherPos[k] = cage->pointArray[i]->basePos[k];
    ASSERT_EQ(start(), AFUNC_OK);
    select(cage);
    cage->pointArray[1]->selected = cage->pointArray[3]->selected = 1;
    DrawSpy spy(layout, 0);
    EXPECT_EQ(spy.count(DrawCall::Triangle, colorWhite), 4);
    // Point 1 at (1.5, 0.5, 1): pixel (790, 380) in the top view, a 4-pixel square.
    EXPECT_TRUE(near(spy.picture().pixel(790, 380), 1, 1, 1));
    EXPECT_TRUE(near(spy.picture().pixel(791, 381), 1, 1, 1));
    EXPECT_FALSE(near(spy.picture().pixel(794, 380), 1, 1, 1));
    stInstData.editBaseCage = 1;
    DrawSpy base(layout, 0);
    EXPECT_EQ(base.count(DrawCall::Triangle, colorBlack), 4);
    EXPECT_EQ(base.count(DrawCall::Triangle, colorWhite), 0);
}

TEST_F(OverlayTest, AFarAwayPerspectiveViewGetsNoOverlay) {
    ASSERT_EQ(start(), AFUNC_OK);
    run("ViewOrbit 0 0 0 10");
    EXPECT_FALSE(DrawSpy(layout, 0).calls().empty());
    // The eye farther from the origin than 100 times the far clip (10000).
    run("ViewCenter 0 1e7 0 0");
    EXPECT_TRUE(DrawSpy(layout, 0).calls().empty());
}

} // namespace

namespace {

// A damaged strip geometry (from a scene record or a ring message) still
// draws a bounded ruler: the scale is kept within 4 to 128 pixels a frame.
TEST_F(OverlayTest, ADamagedStripGeometryDrawsABoundedRuler) {
    ASSERT_EQ(start(), AFUNC_OK);
    for (double scale : {std::nan(""), 0.0, -5.0, 1e300})
        for (int scroll : {INT_MIN, -40, INT_MAX}) {
            stInstData.pixPerFrame = scale;
            stInstData.timeSliderBX = scroll;
            DrawSpy spy(layout, 0);
            int ticks = 0;
            for (const DrawCall& c : spy.calls()) {
                ticks += c.kind == DrawCall::Line && c.colour[3] == 1.0f && c.colour[0] == 0.0f;
                for (const auto& p : c.points)
                    ASSERT_TRUE(std::isfinite(p[0] + p[1] + p[2]));
            }
            EXPECT_LE(ticks, 1280 / 4 + 2) << scale << " " << scroll;
        }
}

} // namespace

namespace {

struct StripDragCase {
    const char* events;
    int x, y;
    host::Rgba colour; // roughly
};
class StripDragTest : public OverlayTest, public testing::WithParamInterface<StripDragCase> {};

// While a strip drag is held the grabbed key follows it (green when moved,
// red when copied) and a pressed zoom handle lights up (blue; orange for
// the fit).
TEST_P(StripDragTest, TheDragShowsOnTheStrip) {
    CageInstance* cage = keyedCage({{10, 0}});
    ASSERT_EQ(start(), AFUNC_OK);
    run("GoToFrame 47");
    select(cage);
    run(GetParam().events);
    DrawSpy spy(layout, 0);
    const host::Rgba want = GetParam().colour;
    EXPECT_TRUE(near(spy.picture().pixel(GetParam().x, GetParam().y), want.r, want.g, want.b, 0.1f))
        << spy.picture().pixel(GetParam().x, GetParam().y).r << " "
        << spy.picture().pixel(GetParam().x, GetParam().y).g << " "
        << spy.picture().pixel(GetParam().x, GetParam().y).b;
}

// The key at frame 10 is in column 200; frame 14 in column 264. The zoom
// handle's face (texture grey 200 of 255) in column 4 takes the tint.
INSTANTIATE_TEST_SUITE_P(
    Drags, StripDragTest,
    testing::Values(
        StripDragCase{"ToolPress 0 200 948\nToolDrag 264 948", 264, 955, {0.05f, 1.0f, 0.1f}},
        StripDragCase{"ToolPress 0 200 948 right\nToolDrag 264 948", 264, 955, {1.0f, 0.1f, 0.05f}},
        StripDragCase{"ToolPress 0 8 945", 4, 945, {0.45f * 0.784f, 0.7f * 0.784f, 0.98f * 0.784f}},
        StripDragCase{"ToolPress 0 8 945 right", 4, 945, {1.0f * 0.784f, 0.8f * 0.784f, 0.0f}}));

} // namespace
