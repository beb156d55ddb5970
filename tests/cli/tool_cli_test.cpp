// The edit tool end to end through the morvane program and the module file:
// the start refused without an object, the scene prepared at the start, a
// key made, undone and redone from the tool's panel, and a key dragged along
// the key strip.
#include "cli_support.h"

#include "host/view/raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A cube of side 2 about the origin, the reference of a cage of 8 points.
const char* const kCubeObj = "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
                             "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                             "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 5 1 4 8\n";

std::vector<std::string> linesStartingWith(const std::string& out, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    return lines;
}

TEST(ToolEndToEnd, WithALightSelectedTheToolDoesNotStart) {
    Outcome r =
        morvane("run " + script("light.script", "AddLight Key\nTool_Zentrik_Morvane_Tool\n"));
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.out, "warning: Objects mode only.\n");
    EXPECT_NE(r.err.find("did not start (5)"), std::string::npos) << r.err;
}

TEST(ToolEndToEnd, StartPreparesTheSceneAndTheKeyButtonsUndoAndRedo) {
    script("tcube.obj", kCubeObj);
    const std::string cube = "morvane_cli_" + std::to_string(getpid()) + "_tcube";
    const std::string tool = "\"Morvane Tool\" ";
    Outcome r =
        morvane("run " +
                script("tool.script", "LoadObject " + tempPath("tcube.obj") +
                                          "\nApplyServer DisplacementHandler " +
                                          "Zentrik_Morvane\nRespond OK \"Reference Object=" + cube +
                                          "\"\nGeneric \"Morvane Add\"\n"
                                          "SelectByName " +
                                          cube +
                                          "\nItemVisibility 0\n"
                                          "Tool_Zentrik_Morvane_Tool\nStatus\n"
                                          "PanelChoose " +
                                          tool +
                                          "Current _Cage\n"
                                          "Dump _Cage\n"
                                          "GoToFrame 10\nPanelPress " +
                                          tool +
                                          "\"Create Key\"\nDump _Cage\n"
                                          "GoToFrame 0\nPanelPress " +
                                          tool +
                                          "Undo\nDump _Cage\n"
                                          "PanelPress " +
                                          tool + "Redo\nDump _Cage\n"));
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    // The hidden reference object is shown, then the deformed object (the
    // same one) is put after its cage.
    EXPECT_EQ(linesStartingWith(r.out, "info:"),
              (std::vector<std::string>{"info: The visibility setting of objects was changed.",
                                        "info: The internal array of objects was arranged."}));
    EXPECT_EQ(linesStartingWith(r.out, "status:"),
              (std::vector<std::string>{"status: Morvane Tool"}));
    const std::vector<std::string> dumps = linesStartingWith(r.out, "{\"name\":\"_Cage\"");
    ASSERT_EQ(dumps.size(), 4u) << r.out;
    EXPECT_NE(dumps[1], dumps[0]); // a key more
    EXPECT_EQ(dumps[2], dumps[0]); // undone
    EXPECT_EQ(dumps[3], dumps[1]); // redone
    EXPECT_NE(r.out.find("command: GoToFrame 10.000000000000"), std::string::npos) << r.out;
}

} // namespace

namespace {

// A cube cage seen from the top (view 0, fitted: the cage's corners 216
// pixels from the view's centre), picked and moved with the pointer.
TEST(ToolEndToEnd, ClicksSelectTheCageAndAMoveIsOneUndoStep) {
    script("pcube.obj", kCubeObj);
    const std::string cube = "morvane_cli_" + std::to_string(getpid()) + "_pcube";
    const std::string current = "PanelValue \"Morvane Tool\" Current\n";
    const std::string click = "ToolPress 0 320 240\nToolRelease\n";
    Outcome r =
        morvane("run " + script("pointer.script",
                                "LoadObject " + tempPath("pcube.obj") +
                                    "\nRespond OK \"Reference Object=" + cube +
                                    "\"\nGeneric \"Morvane Add\"\nSelectByName " + cube +
                                    "\nViewFit 0\nTool_Zentrik_Morvane_Tool\n" + click + current +
                                    click + current + "ToolPress 0 320 240 right\nToolRelease\n" +
                                    current + "ToolPress 0 320 240 right\nToolRelease\n" + current +
                                    "ToolPress 0 20 20\nToolRelease\n" + current +
                                    "Dump _Cage\nPanelPress \"Morvane Tool\" Move\n"
                                    "ToolPress 0 320 240\nToolDrag 340 240\nToolDrag 360 240\n"
                                    "ToolRelease\nDump _Cage\nPanelPress \"Morvane Tool\" Undo\n"
                                    "Dump _Cage\n"));
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(linesStartingWith(r.out, "panel: Current"),
              (std::vector<std::string>{"panel: Current = _Cage", "panel: Current = (none)",
                                        "panel: Current = _Cage", "panel: Current = _Cage",
                                        "panel: Current = _Cage"}));
    const std::vector<std::string> dumps = linesStartingWith(r.out, "{\"name\":\"_Cage\"");
    ASSERT_EQ(dumps.size(), 3u);
    // 40 pixels right: every point's key delta is 40 pixels of 2/432.
    EXPECT_NE(dumps[1].find("\"0.185185"), std::string::npos) << dumps[1];
    EXPECT_EQ(dumps[2], dumps[0]);
}

} // namespace

namespace {

// A Grab on one corner of the cube cage (a brush smaller than an edge, so
// only that corner is weighted), undone by one Erase dab at full strength;
// in base mode the same Grab moves the base shape and makes no key.
TEST(ToolEndToEnd, EraseUndoesAGrabAndBaseModeGrabsTheBaseShape) {
    script("ecube.obj", kCubeObj);
    const std::string cube = "morvane_cli_" + std::to_string(getpid()) + "_ecube";
    const std::string tool = "\"Morvane Tool\" ";
    // The corner (-1, 1, 1) is at pixel (104, 24) of the fitted top view.
    const std::string grab = "ToolPress 0 104 24\nToolDrag 90 -40\nToolRelease\nDump _Cage\n";
    Outcome r = morvane(
        "run " +
        script("erase.script",
               "LoadObject " + tempPath("ecube.obj") + "\nRespond OK \"Reference Object=" + cube +
                   "\"\nGeneric \"Morvane Add\"\nSelectByName " + cube +
                   "\nViewFit 0\nTool_Zentrik_Morvane_Tool\nToolPress 0 320 240\nToolRelease\n"
                   "Dump _Cage\nPanelPress " +
                   tool + "Grab\nPanelType " + tool + "\"Brush Radius\" 200\n" + grab +
                   "PanelPress " + tool + "Erase\nPanelType " + tool +
                   "Strength 100\nToolPress 0 320 240\nToolDrag 90 -40\nToolRelease\n"
                   "Dump _Cage\nPanelPress " +
                   tool + "\"Edit BaseCage\"\nPanelPress " + tool + "Grab\n" + grab));
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    const std::vector<std::string> dumps = linesStartingWith(r.out, "{\"name\":\"_Cage\"");
    ASSERT_EQ(dumps.size(), 4u);
    EXPECT_NE(dumps[1].find("\"-0.064814"), std::string::npos) << dumps[1]; // -14 pixels
    EXPECT_EQ(dumps[2], dumps[0]);
    // The base shape's corner moved; the keys did not.
    EXPECT_EQ(dumps[3].find("\"-1 1 1\""), std::string::npos) << dumps[3];
    EXPECT_NE(dumps[3].find("\"-1.0648"), std::string::npos) << dumps[3];
    EXPECT_EQ(dumps[3].find("\"-0.064814"), std::string::npos) << dumps[3];
}

} // namespace

namespace {

bool cageColourNear(const host::Raster& picture, int x, int y) {
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const host::Rgba p = picture.pixel(x + dx, y + dy);
            // The selected cage's outline: (1, 0.8, 0).
            if (p.r > 0.9f && p.g > 0.7f && p.g < 0.9f && p.b < 0.1f) return true;
        }
    return false;
}

// After a Grab of the cube cage's corner (-1, 1, 1) from pixel (104, 24) to
// (150, 60) of the top view, the picture shows the corner and its edges
// there (the corner below it, (-1, -1, 1), stays at (104, 24)).
TEST(ToolEndToEnd, APictureAfterAGrabShowsTheCornerWhereTheStrokeWent) {
    script("scube.obj", kCubeObj);
    const std::string cube = "morvane_cli_" + std::to_string(getpid()) + "_scube";
    const std::string png = tempPath("grab.png");
    Outcome r =
        morvane("run " + script("picture.script",
                                "LoadObject " + tempPath("scube.obj") +
                                    "\nApplyServer DisplacementHandler Zentrik_Morvane"
                                    "\nRespond OK \"Reference Object=" +
                                    cube + "\"\nGeneric \"Morvane Add\"\nSelectByName " + cube +
                                    "\nViewFit 0\nTool_Zentrik_Morvane_Tool\n"
                                    "ToolPress 0 320 240\nToolRelease\n"
                                    "PanelPress \"Morvane Tool\" Grab\n"
                                    "PanelType \"Morvane Tool\" \"Brush Radius\" 200\n"
                                    "ToolPress 0 104 24\nToolDrag 150 60\nToolRelease\n"
                                    "Snapshot 0 " +
                                    png + "\n"));
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    host::Raster picture(1, 1);
    std::string error;
    ASSERT_TRUE(host::readPng(png, picture, error)) << error;
    EXPECT_TRUE(cageColourNear(picture, 150, 60));
    // The top face's edge to the next corner, which stayed at (536, 24),
    // now runs from the moved corner: through (343, 42), not along y = 24.
    EXPECT_TRUE(cageColourNear(picture, 343, 42));
    EXPECT_FALSE(cageColourNear(picture, 343, 30));
    EXPECT_TRUE(cageColourNear(picture, 536, 24));
}

// The key at frame 10 sits 200 pixels into the strip (16 pixels a frame
// from -40); dragged 64 pixels right on the Top view's bottom rows, it goes
// to frame 14 (0.4667 s at 30 frames a second).
TEST(ToolEndToEnd, AKeyDraggedAlongTheStripMoves) {
    script("scube.obj", kCubeObj);
    const std::string cube = "morvane_cli_" + std::to_string(getpid()) + "_scube";
    Outcome r = morvane(
        "run " + script("strip.script",
                        "LoadObject " + tempPath("scube.obj") +
                            "\nApplyServer DisplacementHandler Zentrik_Morvane\n"
                            "Respond OK \"Reference Object=" +
                            cube + "\"\nGeneric \"Morvane Add\"\nSelectByName " + cube +
                            "\nTool_Zentrik_Morvane_Tool\n"
                            "PanelChoose \"Morvane Tool\" Current _Cage\n"
                            "GoToFrame 10\nPanelPress \"Morvane Tool\" \"Create Key\"\n"
                            "Dump _Cage\nToolPress 0 200 475\nToolDrag 264 475\nToolRelease\n"
                            "Dump _Cage\n"));
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    const std::vector<std::string> dumps = linesStartingWith(r.out, "{\"name\":\"_Cage\"");
    ASSERT_EQ(dumps.size(), 2u) << r.out;
    EXPECT_NE(dumps[0].find("\"0.33333334\""), std::string::npos) << dumps[0];
    EXPECT_EQ(dumps[1].find("\"0.33333334\""), std::string::npos) << dumps[1];
    EXPECT_NE(dumps[1].find("\"0.46666667\""), std::string::npos) << dumps[1];
}

} // namespace

namespace {

int yellowOnRing(const host::Raster& picture, double cx, double cy, double radius) {
    int n = 0;
    for (int a = 0; a < 360; a += 3) {
        const double t = a * 3.14159265358979 / 180.0;
        const host::Rgba p =
            picture.pixel(int(cx + radius * std::cos(t)), int(cy + radius * std::sin(t)));
        n += p.r > 0.9f && p.g > 0.9f && p.b > 0.2f && p.b < 0.4f;
    }
    return n;
}

// A Snapshot taken while the button is held shows the brush's dashed circle
// about the cursor; after the release it is gone. The key strip with the
// current-time marker above frame 0 (40 pixels in) shows in both.
TEST(ToolEndToEnd, ASnapshotDuringAPressShowsTheBrush) {
    script("bcube.obj", kCubeObj);
    const std::string cube = "morvane_cli_" + std::to_string(getpid()) + "_bcube";
    const std::string held = tempPath("held.png"), released = tempPath("released.png");
    Outcome r = morvane(
        "run " + script("brush.script", "LoadObject " + tempPath("bcube.obj") +
                                            "\nRespond OK \"Reference Object=" + cube +
                                            "\"\nGeneric \"Morvane Add\"\nSelectByName " + cube +
                                            "\nViewFit 0\nTool_Zentrik_Morvane_Tool\n"
                                            "PanelPress \"Morvane Tool\" Magnet\n"
                                            "PanelType \"Morvane Tool\" \"Brush Radius\" 40\n"
                                            "ToolPress 0 300 200\nSnapshot 0 " +
                                            held + "\nToolRelease\nSnapshot 0 " + released + "\n"));
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    host::Raster during(1, 1), after(1, 1);
    std::string error;
    ASSERT_TRUE(host::readPng(held, during, error)) << error;
    ASSERT_TRUE(host::readPng(released, after, error)) << error;
    EXPECT_GT(yellowOnRing(during, 300.5, 200.5, 40), 30);
    EXPECT_EQ(yellowOnRing(after, 300.5, 200.5, 40), 0);
    for (const host::Raster* picture : {&during, &after}) {
        const host::Rgba marker = picture->pixel(40, 480 - 32 + 16);
        EXPECT_GT(marker.r + marker.g + marker.b, 2.7f);
    }
}

} // namespace

namespace {

// The demo's editing run, from a copy of the examples folder: five pictures
// next to it in demo-out, the strip showing the new key at frame 52 while
// it is dragged (column 872) and back at 45 (column 760) after the undo.
TEST(ToolEndToEnd, TheSculptDemoTellsItsStory) {
    const std::string root = tempPath("sculpt");
    std::string copy =
        "rm -rf " + root + " && mkdir -p " + root + "/examples " + root + "/demo-out";
    for (const char* name : {"sculpt.script", "arm.lws", "arm_tube.obj"})
        copy += std::string(" && cp ") + MORVANE_SOURCE_DIR + "/examples/" + name + " " + root +
                "/examples";
    ASSERT_EQ(std::system(copy.c_str()), 0);
    Outcome r = morvane("run " + root + "/examples/sculpt.script");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(linesStartingWith(r.out, "snapshot:").size(), 5u);
    auto keyAt = [&](const std::string& name, int x) {
        host::Raster picture(1, 1);
        std::string error;
        EXPECT_TRUE(host::readPng(root + "/demo-out/" + name, picture, error)) << error;
        const host::Rgba p = picture.pixel(x, 955);
        return p.g > 0.9f && p.r < 0.2f && p.b < 0.2f;
    };
    EXPECT_FALSE(keyAt("sculpt_2_grab.png", 760));
    EXPECT_TRUE(keyAt("sculpt_3_key.png", 760));
    EXPECT_TRUE(keyAt("sculpt_4_drag.png", 872));
    EXPECT_TRUE(keyAt("sculpt_5_undo.png", 760));
    EXPECT_FALSE(keyAt("sculpt_5_undo.png", 872));
}

} // namespace
