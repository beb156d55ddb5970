// The transform modes and the press-weighted brushes, in base mode so that
// each moved point's world position is its stored shape.
#include "picking_support.h"

#include "tool/tool_panel.h"
#include "tool/tool_brushes.h"
#include "tool/tool_transforms.h"

#include <cmath>

namespace {

using namespace searchtest;

class Strokes : public PickingTest {
  protected:
    Strokes() {
        // Four points in the top view's plane around the origin, and one
        // below it.
        buildCage(
            cage.cage,
            Shape{{{1, 0, 0}, {0, 0, 0.5}, {-2, 0, 0}, {0, 0, -0.5}, {0.5, -3, 0.5}}, {}, {}});
        placeCageIdentity(cage.cage);
        add1CageToSelection(state.get(), cage.cage, 1);
        state->editBaseCage = 1;
        state->dragButton = 1;
        state->brushRadius = 100;
        state->maxBrushRadius = 640;
        state->falloffExponents[0] = state->falloffExponents[1] = 1.0; // linear
        setView(topView(0.01));
    }
    testvec::V3 at(int i) const {
        const double* p = cage->pointArray[i]->worldOtherPos;
        return {p[0], p[1], p[2]};
    }
    void press(int mode, const testvec::V3& cursor) {
        state->toolMode = mode;
        cursorAt(cursor);
        pressCursor = cursor;
        switch (mode) {
        case kModeGrabnet:
            grabnetPress(state.get());
            break;
        case kModeMagnet:
            magnetPress(state.get());
            break;
        default:
            transformPress(state.get());
        }
    }
    void motion(int dx, int dy, const testvec::V3& delta = {0, 0, 0}) {
        LWToolEvent event{};
        event.dx = dx;
        event.dy = dy;
        for (int a = 0; a < 3; ++a) {
            event.posRaw[a] = pressCursor[a] + delta[a];
            event.deltaRaw[a] = delta[a];
        }
        if (state->toolMode == kModeGrabnet || state->toolMode == kModeMagnet)
            weightedPointsMotion(state.get(), &event);
        else
            transformMotion(state.get(), &event);
    }
    TestCage cage;
    testvec::V3 pressCursor{0, 0, 0};
};

void expectNear(const testvec::V3& got, const testvec::V3& want) {
    for (int a = 0; a < 3; ++a)
        EXPECT_NEAR(got[a], want[a], 1e-12) << a;
}

TEST_F(Strokes, RotateTurnsAboutThePressRay) {
    press(kModeRotate, {0, 0, 0});
    motion(0, 0);
    expectNear(at(0), {1, 0, 0});
    motion(100, 0); // -90 degrees about the ray (0, -1, 0)
    // Each point keeps its distance from the ray and its height along it,
    // and turns by a quarter: its start and end offsets are perpendicular.
    for (int i = 0; i < 5; ++i) {
        const double* s = cage->pointArray[i]->startPos;
        const testvec::V3 before{s[0], 0, s[2]}, after{at(i)[0], 0, at(i)[2]};
        EXPECT_NEAR(dot(before, after), 0.0, 1e-12) << i;
        EXPECT_NEAR(norm(before), norm(after), 1e-12) << i;
        EXPECT_NEAR(at(i)[1], s[1], 1e-12) << i;
        // Clockwise as the view shows it: a turn by -90 degrees about rayDir.
        const testvec::V3 ray{state->rayDir[0], state->rayDir[1], state->rayDir[2]};
        EXPECT_NEAR(dot(cross(before, after), ray), -norm(before) * norm(after), 1e-12) << i;
    }
}

TEST_F(Strokes, StretchScalesAcrossTheRay) {
    struct Case {
        int dx, dy;
        double sx, sy;
    };
    for (const Case& c :
         {Case{-100, 0, 0.5, 1}, Case{0, 100, 1, 0.5}, Case{0, -100, 1, 2}, Case{50, 0, 1.5, 1}}) {
        press(kModeStretch, {0.2, 0, 0.1});
        motion(c.dx, c.dy);
        // The cursor frame of a top view: rayU and rayW span x and z.
        for (int i = 0; i < 5; ++i) {
            const double* s = cage->pointArray[i]->startPos;
            double v[3] = {s[0] - 0.2, s[1], s[2] - 0.1};
            const double a = dot3D(v, state->rayU) * c.sx, b = dot3D(v, state->rayW) * c.sy;
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(at(i)[k],
                            state->cursorPos[k] + a * state->rayU[k] + b * state->rayW[k] +
                                dot3D(v, state->rayDir) * state->rayDir[k],
                            1e-12);
        }
        // Back to the start for the next case.
        press(kModeStretch, {0.2, 0, 0.1});
        motion(0, 0);
    }
}

TEST_F(Strokes, SizeCollapsesOnTheItemAndMirrorsBeyond) {
    press(kModeSize, {0, 0, 0});
    motion(-200, 0);
    for (int i = 0; i < 5; ++i)
        expectNear(at(i), {0, 0, 0});
    motion(-400, 0);
    expectNear(at(2), {2, 0, 0});
}

TEST_F(Strokes, MoveFollowsTheCursorAndOnlySelectedPointsMoveWhenThereAreAny) {
    cage->pointArray[1]->selected = 1;
    state->selectedPointCount = 1;
    press(kModeMove, {0, 0, 0});
    motion(0, 0, {0.5, 0, -0.25});
    expectNear(at(1), {0.5, 0, 0.25});
    expectNear(at(0), {1, 0, 0});
}

TEST_F(Strokes, GrabnetWeighsBySphereAndLeavesThePointAtTheRimAlone) {
    // The hit: point 3 at (0, 0, -0.5); radius 100 pixels of 0.01 = 1.
    press(kModeGrabnet, {0, 0, -0.5});
    ASSERT_EQ(state->hitPoint, cage->pointArray[3]);
    EXPECT_EQ(cage->pointArray[3]->brushWeight, 1.0);
    EXPECT_EQ(cage->pointArray[0]->brushWeight, 0.0); // |(1, 0, 0.5)| > 1
    EXPECT_EQ(cage->pointArray[1]->brushWeight, 0.0); // exactly 1 away
    EXPECT_NEAR(cage->pointArray[2]->brushWeight, 0.0, 0.0);
    motion(0, 0, {0, 0, 1});
    expectNear(at(3), {0, 0, 0.5});
}

TEST_F(Strokes, MagnetMovesFarPointsAsFarOnTheScreen) {
    setView(perspectiveView(0.001));
    // Two points on one ray from the eye, at depths 10 and 20.
    TestCage deep;
    buildCage(deep.cage, Shape{{{0.01, 0, 0}, {0.02, 0, 10}}, {}, {}});
    placeCageIdentity(deep.cage);
    clearCageSelection(state.get());
    add1CageToSelection(state.get(), deep.cage, 1);
    press(kModeMagnet, {0.01, 0, 0});
    const double w0 = deep->pointArray[0]->brushWeight, w1 = deep->pointArray[1]->brushWeight;
    EXPECT_NEAR(w1, 2 * w0, 1e-12);
    motion(0, 0, {0.1, 0, 0}); // the cursor moves 0.01 at depth 1
    const double moved0 = deep->pointArray[0]->worldOtherPos[0] - 0.01;
    const double moved1 = deep->pointArray[1]->worldOtherPos[0] - 0.02;
    EXPECT_NEAR(moved1, 2 * moved0, 1e-12);
    EXPECT_GT(moved0, 0.0);
    clearCageSelection(state.get());
}

TEST(ReBody, RelaxesWithAFifthOfTheStiffnessPassesAtLeastTwo) {
    for (auto [stiffness, passes] : {std::pair{8, 2}, {14, 2}, {15, 3}, {30, 6}, {256, 51}})
        EXPECT_EQ(reBodyIterations(stiffness), passes) << stiffness;
}

TEST_F(Strokes, TheRightButtonSizesTheBrush) {
    state->toolMode = kModeGrab;
    radiusDragPress(state.get());
    LWToolEvent event{};
    for (int dx : {-500, 40, 5000}) {
        event.dx = dx;
        radiusDragMotion(state.get(), &event);
        EXPECT_EQ(state->brushRadius, dx == -500 ? 4 : dx == 40 ? 140 : 640) << dx;
    }
}

} // namespace
