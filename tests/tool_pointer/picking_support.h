// A tool state with a hand-set view, and the cursor placed in it as a host
// event would place it.
#ifndef MORVANE_TESTS_TOOL_POINTER_SUPPORT_H
#define MORVANE_TESTS_TOOL_POINTER_SUPPORT_H

#include "geometry/vector.h"
#include "tool/tool_picking.h"
#include "tool/tool_selection.h"
#include "tool/tool_view_frame.h"

#include "../search/search_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

struct PickView {
    int type;
    testvec::V3 eye, right, up; // right and up: unit screen axes
    double pixel;               // world units per pixel (perspective: at depth 1)
};

inline PickView topView(double pixel = 0.01) {
    return {LVVIEWT_TOP, {0, 0, 0}, {1, 0, 0}, {0, 0, 1}, pixel};
}
inline PickView perspectiveView(double pixel = 0.001) {
    return {LVVIEWT_PERSPECTIVE, {0, 0, -10}, {1, 0, 0}, {0, 1, 0}, pixel};
}

class PickingTest : public testing::Test {
  protected:
    PickingTest() { std::memset(state.get(), 0, sizeof(EditCageState)); }
    // The cages are gone by now (they live in the tests): only the
    // selection's array is freed.
    ~PickingTest() override { freeCageLists(state.get()); }
    void setView(const PickView& v) {
        EditCageState& s = *state;
        s.viewportType = v.type;
        for (int a = 0; a < 3; ++a) {
            s.eyePos[a] = v.eye[a];
            s.screenX[a] = v.right[a];
            s.screenY[a] = v.up[a];
        }
        cross3D(s.screenX, s.screenY, s.viewNormal);
        s.pixelSize = v.pixel;
    }
    // The cursor on the ray through a world point, as posRaw gives it.
    void cursorAt(const testvec::V3& p) {
        LWToolEvent event{};
        for (int a = 0; a < 3; ++a)
            event.posRaw[a] = p[a];
        ASSERT_GE(getEventPosRaw(state.get(), &event), 0.0);
    }
    std::unique_ptr<EditCageState> state{new EditCageState};
};

#endif
