// The edit tool's key strip driven by the stand-in Layout's pointer events:
// two cages selected in the tool, keys placed by frame, and presses given in
// strip pixels of the quad layout's Top view (640 x 480, the strip its
// bottom 32 rows).
#ifndef MORVANE_TESTS_TOOL_STRIP_SUPPORT_H
#define MORVANE_TESTS_TOOL_STRIP_SUPPORT_H

#include "../tool_panel/tool_panel_support.h"

#include "cage/cage_keys.h"
#include "cage/cage_ring.h"
#include "tool/key_strip.h"
#include "tool/tool_mixed_keys.h"

#include <cmath>
#include <initializer_list>

// Parameter rows named by their place: gtest would print a row's bytes, its
// pointers included, into the test's name.
struct RowName {
    template <class Row> std::string operator()(const testing::TestParamInfo<Row>& row) const {
        return "Row" + std::to_string(row.index);
    }
};

class KeyStripTest : public ToolPanelTest {
  protected:
    static constexpr double kStripTop = 448.0;

    KeyStripTest() {
        // The strip geometry the cages keep lives as long as the module.
        stTimeSliderBX = -40;
        stPixPerFrame = 16.0;
        a = newCage(3);
        b = newCage(4);
        EXPECT_EQ(start(), AFUNC_OK);
        select();
    }
    void select() {
        add1CageToSelection(&stInstData, a, 1);
        add1CageToSelection(&stInstData, b, 1);
        refreshMixEnvelopeKeyData(&stInstData, 1);
    }
    // Keys at these frames; deltas that tell the key and the point apart.
    void keys(CageInstance* cage, std::initializer_list<double> frames) {
        for (double f : frames) {
            const double t = f / fps();
            std::vector<double> d(size_t(cage->pointCount) * 3);
            for (size_t i = 0; i < d.size(); ++i)
                d[i] = f + 0.125 * double(i);
            insertCageKeyToTime(cage, newCageKey(cage, t, d.data()), t);
        }
        refreshMixEnvelopeKeyData(&stInstData, 1);
    }
    // The key frames, to a millionth of a frame.
    std::vector<double> frames(const CageInstance* cage) {
        std::vector<double> found;
        for (double t : keyTimes(cage))
            found.push_back(std::round(t * fps() * 1e6) / 1e6);
        return found;
    }
    // The strip pixel showing a frame.
    double xOf(double frame) const {
        return frame * stInstData.pixPerFrame - stInstData.timeSliderBX;
    }
    static std::string at(double x, double py) {
        std::ostringstream text;
        text.precision(17);
        text << x << " " << kStripTop + py;
        return text.str();
    }
    std::string press(double x, double py, bool right = false) {
        return run("ToolPress 0 " + at(x, py) + (right ? " right" : ""));
    }
    std::string drag(double x, double py) { return run("ToolDrag " + at(x, py)); }
    std::string release() { return run("ToolRelease"); }
    // A whole drag from (x0, py0) to (x1, py1); what it printed.
    std::string stroke(double x0, double py0, double x1, double py1, bool right = false) {
        std::string printed = press(x0, py0, right);
        printed += drag(x1, py1);
        return printed + release();
    }

    CageInstance* a;
    CageInstance* b;
};

#endif
