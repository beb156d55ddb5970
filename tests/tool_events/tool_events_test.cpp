// Pointer events of a Layout tool in the views (ToolPress, ToolDrag,
// ToolRelease), read from what the tool probe module prints for each
// callback. Side views and simple orbits are checked against hand-computed
// points; any orbit against the view's own projection and the ray from the
// viewport service's position.
#include "../cli/cli_support.h"
#include "../support/test_vec3.h"
#include "host/commands/script.h"
#include "host/common/host_error.h"
#include "host/host.h"

#include "../support/captured_script.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testvec::V3;

// One callback line of the probe: its name and its fields by key.
struct Event {
    std::string call;
    std::map<std::string, std::vector<double>> fields;

    V3 v(const std::string& key) const {
        const std::vector<double>& f = fields.at(key);
        return {f.at(0), f.at(1), f.at(2)};
    }
    double n(const std::string& key, size_t i = 0) const { return fields.at(key).at(i); }
};

std::vector<Event> events(const std::string& out) {
    std::vector<Event> found;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string probe, call, word, key;
        words >> probe >> call;
        if (probe != "toolprobe" || (call != "down" && call != "move" && call != "up")) continue;
        Event e{call, {}};
        while (words >> word) {
            if (std::isalpha(static_cast<unsigned char>(word[0])))
                key = word;
            else
                e.fields[key].push_back(std::strtod(word.c_str(), nullptr));
        }
        found.push_back(e);
    }
    return found;
}

void expectNear(const V3& got, const V3& want, const char* what, double tolerance = 1e-7) {
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(got[size_t(i)], want[size_t(i)], tolerance) << what << " [" << i << "]";
}

V3 unit(const V3& v) {
    return testvec::mul(v, 1.0 / testvec::norm(v));
}

class ToolEvents : public testing::Test {
  protected:
    ToolEvents() : layout(std::cout), runner(layout) {
        layout.loadModule(std::string(MORVANE_FIXTURE_DIR) + "/tool_probe.p");
        // Quad layout: every view is 640 x 480, its centre at (320, 240).
        run("Tool_tool_probe\n");
    }

    std::string run(const std::string& lines) {
        CapturedScript r = runCaptured(runner, lines);
        if (r.failed) {
            output = r.printed;
            throw host::HostError(r.error);
        }
        return r.printed;
    }

    host::ViewGeometry geometry(int view) {
        return layout.viewports().geometry(layout.scene(), view, 0.0);
    }

    host::Host layout;
    host::ScriptRunner runner;
    std::string output; // of a run that failed
};

// ---- side views -------------------------------------------------------------

struct SideView {
    const char* name;
    V3 right, up, forward;
    int portAxis;
};

void PrintTo(const SideView& s, std::ostream* os) {
    *os << s.name;
}

class SideViews : public ToolEvents, public testing::WithParamInterface<SideView> {};

TEST_P(SideViews, ARightButtonDragMapsPixelsToThePlaneThroughTheCentre) {
    const SideView& s = GetParam();
    const std::vector<Event> e = events(run(std::string("ViewType 2 ") + s.name +
                                            "\nViewCenter 2 1 2 3\nViewZoom 2 0.01\n"
                                            "ToolPress 2 100 50 right\nToolDrag 130.4 20.4\n"
                                            "ToolRelease\n"));
    ASSERT_EQ(e.size(), 3u);
    // The view's middle is pixel position (320, 240), a pixel 0.01 m.
    auto at = [&](double x, double y) {
        return testvec::add({1, 2, 3}, testvec::add(testvec::mul(s.right, (x - 320) * 0.01),
                                                    testvec::mul(s.up, (240 - y) * 0.01)));
    };
    const double px[3] = {100, 130.4, 130.4}, py[3] = {50, 20.4, 20.4};
    const std::vector<double> d[3] = {{0, 0}, {30, -30}, {30, -30}};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(e[i].call);
        const V3 pos = at(px[i], py[i]), delta = testvec::sub(pos, at(100, 50));
        for (const char* key : {"pos", "snap"})
            expectNear(e[i].v(key), pos, key);
        for (const char* key : {"delta", "dsnap"})
            expectNear(e[i].v(key), delta, key);
        expectNear(e[i].v("ax"), testvec::mul(s.right, 0.01), "ax");
        expectNear(e[i].v("ay"), testvec::mul(s.up, 0.01), "ay");
        for (const char* key : {"az", "axis"})
            expectNear(e[i].v(key), s.forward, key);
        // The tool's view normal points into the scene.
        expectNear(testvec::cross(unit(e[i].v("ax")), unit(e[i].v("ay"))), s.forward,
                   "unit(ax) x unit(ay)");
        EXPECT_EQ(e[i].fields.at("px"), (std::vector<double>{px[i], px[i]}));
        EXPECT_EQ(e[i].fields.at("py"), (std::vector<double>{py[i], py[i]}));
        EXPECT_EQ(e[i].fields.at("d"), d[i]);
        EXPECT_EQ(e[i].n("port"), s.portAxis);
        EXPECT_EQ(e[i].n("flags"), LWTOOLF_ALT_BUTTON);
        EXPECT_EQ(e[i].n("view"), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Layout, SideViews,
                         testing::Values(SideView{"top", {1, 0, 0}, {0, 0, 1}, {0, -1, 0}, 1},
                                         SideView{"bottom", {1, 0, 0}, {0, 0, -1}, {0, 1, 0}, 1},
                                         SideView{"back", {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 2},
                                         SideView{"front", {-1, 0, 0}, {0, 1, 0}, {0, 0, -1}, 2},
                                         SideView{"right", {0, 0, 1}, {0, 1, 0}, {-1, 0, 0}, 0},
                                         SideView{"left", {0, 0, -1}, {0, 1, 0}, {1, 0, 0}, 0}),
                         [](const testing::TestParamInfo<SideView>& p) {
                             return std::string(p.param.name);
                         });

// ---- perspective, camera ---------------------------------------------------------

TEST_F(ToolEvents, AnOrbitLookingAlongXPutsThePointerOnThePlaneThroughItsCentre) {
    // Heading 90 looks along +X with -Z to the right; the eye is 10 m
    // behind the centre and a pixel there is 0.02 m.
    const std::vector<Event> e = events(run("ViewOrbit 1 90 0 10\nViewCenter 1 1 2 3\n"
                                            "ViewZoom 1 0.02\nToolPress 1 420 140 right\n"));
    ASSERT_EQ(e.size(), 1u);
    expectNear(e[0].v("pos"), {1, 4, 1}, "posRaw");
    expectNear(e[0].v("eye"), {-9, 2, 3}, "viewport position");
    expectNear(e[0].v("ax"), {0, 0, -0.02}, "ax");
    expectNear(e[0].v("ay"), {0, 0.02, 0}, "ay");
    expectNear(e[0].v("az"), {1, 0, 0}, "az");
    EXPECT_EQ(e[0].n("port"), -1);
    EXPECT_EQ(e[0].n("flags"), LWTOOLF_ALT_BUTTON);
    EXPECT_EQ(e[0].n("view"), 1);
}

// In a perspective view posRaw is on the ray from the viewport's position
// through the pointer (the view's projection gives the pointer back), on the
// plane through the orbit centre, with ax and ay one pixel long there.
void expectOnEyeRay(const host::ViewGeometry& g, const Event& e, const V3& centre) {
    SCOPED_TRACE(e.call);
    const V3 pos = e.v("pos"), eye = e.v("eye"), az = e.v("az");
    expectNear(eye, {g.eye[0], g.eye[1], g.eye[2]}, "viewport position");
    double x, y, z;
    g.project(pos.data(), x, y, z);
    EXPECT_NEAR(x, e.n("px"), 1e-4);
    EXPECT_NEAR(y, e.n("py"), 1e-4);
    EXPECT_NEAR(testvec::dot(testvec::sub(pos, centre), az), 0.0, 1e-7) << "off the centre's plane";
    const V3 normal = testvec::cross(unit(e.v("ax")), unit(e.v("ay")));
    expectNear(normal, az, "unit(ax) x unit(ay)");
    EXPECT_GT(testvec::dot(testvec::sub(centre, eye), normal), 0.0) << "not into the scene";
    const double depth = testvec::dot(testvec::sub(pos, eye), az);
    EXPECT_NEAR(testvec::norm(e.v("ax")) / depth, g.pixelSize, 1e-7 * g.pixelSize);
    EXPECT_NEAR(testvec::norm(e.v("ay")) / depth, g.pixelSize, 1e-7 * g.pixelSize);
}

TEST_F(ToolEvents, AnyOrbitKeepsThePointerOnItsEyeRayAndFollowsAViewMovedMidDrag) {
    const std::vector<Event> first = events(run("ViewOrbit 1 30 20 8\nViewCenter 1 0.5 -1 2\n"
                                                "ToolPress 1 10.25 470.75\nToolDrag 700 -30\n"));
    const host::ViewGeometry before = geometry(1);
    // Layout's views move under a held button; the next event sees it.
    const std::vector<Event> second =
        events(run("ViewCenter 1 1.5 -1 2\nToolDrag 700 -30\nToolRelease\n"));
    const host::ViewGeometry after = geometry(1);
    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), 2u);
    for (const Event& e : first)
        expectOnEyeRay(before, e, {0.5, -1, 2});
    for (const Event& e : second)
        expectOnEyeRay(after, e, {1.5, -1, 2});
    expectNear(testvec::sub(second[0].v("pos"), first[1].v("pos")), {1, 0, 0}, "moved with view");
    expectNear(testvec::sub(second[0].v("eye"), first[1].v("eye")), {1, 0, 0}, "eye moved");
    for (const Event& e : second)
        expectNear(e.v("delta"), testvec::sub(e.v("pos"), first[0].v("pos")), "deltaRaw");
    EXPECT_EQ(first[0].n("flags"), 0);
    // Whole pixels from the press, y down, outside the view as well.
    EXPECT_EQ(second[1].n("d", 0), 690);
    EXPECT_EQ(second[1].n("d", 1), -501);
}

TEST_F(ToolEvents, ACameraViewPutsThePointerOneMetreInFrontOfTheCamera) {
    // The camera at z = -5 looks along +Z; at depth 3.2 the view's half
    // height (240 pixels) spans 1 m.
    const double pixel = 1.0 / (3.2 * 240);
    const std::vector<Event> e =
        events(run("AddCamera Cam\nPosition 0 0 -5\nViewCamera 3 Cam\nToolPress 3 420 240\n"));
    ASSERT_EQ(e.size(), 1u);
    expectNear(e[0].v("pos"), {100 * pixel, 0, -4}, "posRaw");
    expectNear(e[0].v("ax"), {pixel, 0, 0}, "ax");
    expectNear(e[0].v("ay"), {0, pixel, 0}, "ay");
    expectNear(e[0].v("az"), {0, 0, 1}, "az");
    EXPECT_EQ(e[0].n("port"), -1);
    EXPECT_EQ(e[0].n("view"), 3);
}

// ---- order, help, refusals ---------------------------------------------------

TEST_F(ToolEvents, EachEventComesBeforeTheDirtyCheckItsHelpTextAndTheRedraw) {
    const std::string out = run("ToolPress 0 100 50\nToolDrag 101 52.5\nStatus\nToolRelease\n"
                                "ViewZoom 0 0.5\nStatus\n");
    const std::vector<std::string> want = {"toolprobe down",
                                           "toolprobe dirty 3",
                                           "toolprobe help down",
                                           "toolprobe draw",
                                           "toolprobe move",
                                           "toolprobe dirty 3",
                                           "toolprobe help move",
                                           "toolprobe draw",
                                           "status: probe move at 101 52.5",
                                           "toolprobe up",
                                           "toolprobe dirty 3",
                                           "toolprobe help up",
                                           "toolprobe draw",
                                           "status: probe up at 101 52.5"};
    size_t from = 0;
    for (const std::string& line : want) {
        const size_t at = out.find(line, from);
        ASSERT_NE(at, std::string::npos) << "'" << line << "' missing or out of order in\n" << out;
        from = at + line.size();
    }
    // Nothing is asked for help without an event: the status stays.
    EXPECT_EQ(out.find("toolprobe help none"), std::string::npos) << out;
}

struct Refusal {
    const char* name;
    const char* script;
    const char* error;
    size_t callbacks; // made before the refused line
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.script;
}

class Refusals : public ToolEvents, public testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, StopTheScriptAndCallNothing) {
    const Refusal& r = GetParam();
    try {
        run(r.script);
        FAIL() << "ran";
    } catch (const host::HostError& e) {
        EXPECT_NE(std::string(e.what()).find(r.error), std::string::npos) << e.what();
    }
    EXPECT_EQ(events(output).size(), r.callbacks) << output;
}

INSTANTIATE_TEST_SUITE_P(
    Pointer, Refusals,
    testing::Values(
        Refusal{"NoTool", "ChangeTool\nToolPress 0 10 10\n", "no Layout tool is active", 0},
        Refusal{"NoView", "ToolPress 4 10 10\n", "no view 4", 0},
        Refusal{"LeftOfView", "ToolPress 0 -0.5 10\n", "outside view 0", 0},
        Refusal{"RightOfView", "ToolPress 0 640 10\n", "outside view 0 (640 x 480", 0},
        Refusal{"BelowView", "ToolPress 0 10 480\n", "outside view 0", 0},
        Refusal{"NotANumber", "ToolPress 0 10 ten\n", "'ten' is not a number", 0},
        Refusal{"NoSuchButton", "ToolPress 0 10 10 middle\n", "not 'middle'", 0},
        Refusal{"HeldAlready", "ToolPress 0 10 10\nToolPress 0 20 20\n", "held already", 1},
        Refusal{"DragUnpressed", "ToolDrag 10 10\n", "no button is held", 0},
        Refusal{"DragTooFar", "ToolPress 0 10 10\nToolDrag 2e6 0\n", "million pixels", 1},
        Refusal{"ReleaseUnpressed", "ToolPress 0 1 1\nToolRelease\nToolRelease\n",
                "no button is held", 2},
        Refusal{"DroppedTool", "ToolPress 0 1 1\nChangeTool\nTool_tool_probe\nToolDrag 2 2\n",
                "no button is held", 1},
        Refusal{"ViewGone", "ToolPress 3 1 1\nViewports 1\nToolDrag 2 2\n", "no view 3", 1}),
    [](const testing::TestParamInfo<Refusal>& p) { return std::string(p.param.name); });

// ---- end to end ---------------------------------------------------------------

TEST(ToolEventsEndToEnd, TheProgramRunsAPressDragAndRelease) {
    const Outcome r =
        morvane("run " +
                script("tool_events.script",
                       "Tool_tool_probe\nViewCenter 0 1 0 0\nViewZoom 0 0.5\nToolPress 0 330 230\n"
                       "ToolDrag 340 230\nToolRelease\nStatus\n") +
                " --module " + MORVANE_FIXTURE_DIR + "/tool_probe.p");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    const std::vector<Event> e = events(r.out);
    ASSERT_EQ(e.size(), 3u) << r.out;
    // Top view: 10 pixels right of the centre is +X, 10 up is +Z.
    expectNear(e[0].v("pos"), {6, 0, 5}, "press");
    expectNear(e[2].v("delta"), {5, 0, 0}, "release's delta");
    EXPECT_NE(r.out.find("status: probe up at 340 230"), std::string::npos) << r.out;
}

} // namespace
