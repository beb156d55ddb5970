// A module's non-modal panel used from a script as a person would: the probe
// module lays its panel out with MOVE_CON, prints every event and draws on
// the panel; the script presses, ticks, chooses, types, clicks, closes and
// pictures it.
#include "host/host.h"
#include "host/common/host_error.h"
#include "host/commands/script.h"
#include "host/ui/panels.h"
#include "host/view/lwpanel_picture.h"
#include "host/view/raster.h"

#include <lwpanel.h>

#include "../support/captured_script.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

namespace {

const char* const kLabels[] = {"Apply",  "Lock",     "Symmetry", "Mode",  "Key",
                               "Radius", "Strength", "",         "Close", "Status"};
// The documented hot heights of the probe's control types, in its order.
const int kHeights[] = {20, 20, 18, 20, 20, 20, 20, 20, 20, 18};

class LWPanelScript : public testing::Test {
  protected:
    LWPanelScript() : layout(std::cout), runner(layout) {
        layout.loadModule(std::string(MORVANE_FIXTURE_DIR) + "/lwpanel_probe.p");
    }

    // What the lines print; an error ends the text with "error: MESSAGE".
    std::string run(const std::string& lines) {
        CapturedScript r = runCaptured(runner, lines);
        return r.printed + (r.failed ? "error: " + r.error : "");
    }

    std::string open() { return run("Generic lwprobe\n"); }

    std::string picturePath() {
        return testing::TempDir() + "lwpanel_" + std::to_string(getpid()) + ".png";
    }
    host::Raster snapshot() {
        std::string path = picturePath();
        EXPECT_NE(run("PanelSnapshot \"LW Probe\" \"" + path + "\"\n").find("(300 x 294)"),
                  std::string::npos);
        host::Raster picture(1, 1);
        std::string why;
        EXPECT_TRUE(host::readPng(path, picture, why)) << why;
        std::remove(path.c_str());
        return picture;
    }

    host::Host layout;
    host::ScriptRunner runner;
};

unsigned rgbAt(const host::Raster& r, int x, int y) {
    host::Rgba p = r.pixel(x, y + host::LWPanelPictureLayout::kTitleHeight);
    auto byte = [](float v) { return unsigned(v * 255 + 0.5f); };
    return byte(p.r) << 16 | byte(p.g) << 8 | byte(p.b);
}

TEST_F(LWPanelScript, MoveConPlacesEachHotAreaByTheDocumentedSizes) {
    std::istringstream printed(open());
    std::string line;
    int index = 0, hotY = 8;
    while (std::getline(printed, line) && line.rfind("lwprobe layout", 0) == 0) {
        int n, x, y, hotx, hoty, hoth;
        ASSERT_EQ(std::sscanf(line.c_str(), "lwprobe layout #%d x %d y %d hotx %d hoty %d hoth %d",
                              &n, &x, &y, &hotx, &hoty, &hoth),
                  6)
            << line;
        std::string label = kLabels[index];
        // Buttons, menus and check boxes show their label on or beside the hot area.
        const bool inside = label == "Apply" || label == "Lock" || label == "Symmetry" ||
                            label == "Close" || label == "Mode";
        int labelWidth = label.empty() || inside ? 0 : int(label.size()) * 6 + 4;
        EXPECT_EQ(x, 100 - labelWidth) << label;
        EXPECT_EQ(hotx, 100) << label;
        EXPECT_EQ(hoty, hotY) << label;
        EXPECT_EQ(hoth, kHeights[index]) << label;
        hotY += kHeights[index] + 4;
        ++index;
    }
    EXPECT_EQ(index, 10);
    EXPECT_EQ(line, "lwprobe #1 open -> 1");
}

TEST_F(LWPanelScript, ControlsChangeAsAPersonChangesThemAndTheirEventsRun) {
    open();
    EXPECT_EQ(run("PanelValue \"LW Probe\" Mode\nPanelValue \"LW Probe\" Key\n"
                  "PanelValue \"LW Probe\" Strength\nPanelValue \"LW Probe\" \"#8\"\n"
                  "PanelValue \"LW Probe\" Lock\nPanelValue \"LW Probe\" Status\n"),
              "panel: Mode = Scale\npanel: Key = (none)\npanel: Strength = 50\npanel: #8 = 3\n"
              "panel: Lock = off\npanel: Status = ready\n");
    EXPECT_EQ(run("PanelPress \"LW Probe\" Apply\n"
                  "PanelPress \"LW Probe\" Symmetry\n"
                  "PanelTick \"LW Probe\" Symmetry on\n" // no change, no event
                  "PanelTick \"LW Probe\" Symmetry off\n"
                  "PanelChoose \"LW Probe\" Key \"Frame 12\"\n"
                  "PanelChoose \"LW Probe\" Key \"(none)\"\n"
                  "PanelChoose \"LW Probe\" Mode \"#2\"\n"
                  "PanelType \"LW Probe\" Strength 150.5\n"
                  "PanelType \"LW Probe\" Radius -7\n"
                  "PanelType \"LW Probe\" \"#8\" 42\n"),
              "lwprobe #1 Apply\nlwprobe #1 Symmetry = 1\nlwprobe #1 Symmetry = 0\n"
              "lwprobe #1 Key = 2\nlwprobe #1 Key = 0\nlwprobe #1 Mode = 2\n"
              "lwprobe #1 Strength = 150.5\nlwprobe #1 Radius = -7\nlwprobe #1  = 42\n");
    // Typed numbers stay as typed, outside the range too; the module's
    // SET_STR from its event shows in the info control.
    EXPECT_EQ(run("PanelValue \"LW Probe\" Radius\nPanelValue \"LW Probe\" Mode\n"
                  "PanelValue \"LW Probe\" Status\n"),
              "panel: Radius = -7\npanel: Mode = Rotate\npanel: Status = #1  = 42\n");
}

TEST_F(LWPanelScript, WhatAPersonCannotDoStopsTheScriptAndChangesNothing) {
    open();
    run("PanelPress \"LW Probe\" Lock\n"); // ghosts Radius
    const std::string values = "PanelValue \"LW Probe\" Mode\nPanelValue \"LW Probe\" Radius\n"
                               "PanelValue \"LW Probe\" Strength\nPanelValue \"LW Probe\" Key\n";
    const std::string before = run(values);
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"PanelPress \"Nope\" Apply", "no open panel \"Nope\""},
        {"PanelPress \"LW Probe\" Missing", "panel \"LW Probe\" has no control \"Missing\""},
        {"PanelPress \"LW Probe\" \"#11\"", "panel \"LW Probe\" has no control #11 (it has 10)"},
        {"PanelPress \"LW Probe\" Mode", "is a PopDownControl, not a button or check box"},
        {"PanelTick \"LW Probe\" Apply on", "is a ButtonControl, not a check box"},
        {"PanelTick \"LW Probe\" Symmetry maybe", "expected on or off, not 'maybe'"},
        {"PanelChoose \"LW Probe\" Strength 1", "is a PercentControl, not a popup or choice"},
        {"PanelChoose \"LW Probe\" Mode Spin",
         "\"Mode\" has no entry \"Spin\" (entries: Move, Scale, Rotate)"},
        {"PanelChoose \"LW Probe\" Key \"#3\"", "\"Key\" has no entry \"#3\""},
        {"PanelType \"LW Probe\" Strength lots", "'lots' is not a number"},
        {"PanelType \"LW Probe\" \"#8\" 2.5", "'2.5' is not a whole number"},
        {"PanelType \"LW Probe\" Mode 1", "is a PopDownControl, not a number"},
        {"PanelType \"LW Probe\" Radius 5", "control \"Radius\" of panel \"LW Probe\" is ghosted"},
        {"PanelRightClick \"LW Probe\" 110 10", "(110, 10) is on control \"Apply\""},
        {"PanelRightClick \"LW Probe\" 300 10",
         "(300, 10) is outside panel \"LW Probe\" (300 x 270)"},
        {"PanelRightClick \"LW Probe\" 5", "usage: PanelRightClick"},
        {"PanelClick \"LW Probe\" x 5", "'x' is not a whole number"},
        {"PanelValue \"LW Probe\" Apply", "is a ButtonControl, which has no value"},
    };
    for (const auto& c : cases) {
        std::string printed = run(std::string(c.line) + "\n");
        EXPECT_EQ(printed.rfind("error: t:1: ", 0), 0u) << c.line << " printed " << printed;
        EXPECT_NE(printed.find(c.error), std::string::npos) << c.line << " printed " << printed;
    }
    EXPECT_EQ(run(values), before);
    run("PanelTick \"LW Probe\" Lock off\n");
    EXPECT_EQ(run("PanelType \"LW Probe\" Radius 5\n"), "lwprobe #1 Radius = 5\n");
}

TEST_F(LWPanelScript, ClicksReachTheMouseHookAndClosingRunsTheCloseHook) {
    open();
    const int right = MOUSE_RIGHT, left = MOUSE_LEFT, down = MOUSE_DOWN;
    // By default at the lowest, rightmost pixel: (299, 269) is under no control.
    EXPECT_EQ(run("PanelRightClick \"LW Probe\"\nPanelClick \"LW Probe\" 10 250\n"),
              "lwprobe #1 mouse " + std::to_string(right | down) + " at 299 269 (data ok)\n" +
                  "lwprobe #1 mouse " + std::to_string(right) + " at 299 269 (data ok)\n" +
                  "lwprobe #1 mouse " + std::to_string(left | down) + " at 10 250 (data ok)\n" +
                  "lwprobe #1 mouse " + std::to_string(left) + " at 10 250 (data ok)\n");
    EXPECT_EQ(run("PanelClose \"LW Probe\"\n"), "lwprobe #1 closed (data ok)\n");
    EXPECT_EQ(run("PanelValue \"LW Probe\" Mode\n"), "error: t:1: no open panel \"LW Probe\"");
    // The module closing its own panel runs the close hook too.
    open();
    EXPECT_EQ(run("PanelPress \"LW Probe\" Close\n"),
              "lwprobe #2 Close\nlwprobe #2 closed (data ok)\n");
    EXPECT_EQ(run("PanelClose \"LW Probe\"\n"), "error: t:1: no open panel \"LW Probe\"");
}

TEST_F(LWPanelScript, OfTwoOpenPanelsWithOneTitleTheLatestIsUsed) {
    open();
    open();
    EXPECT_EQ(run("PanelPress \"LW Probe\" Apply\n"), "lwprobe #2 Apply\n");
    run("PanelClose \"LW Probe\"\n");
    EXPECT_EQ(run("PanelPress \"LW Probe\" Apply\n"), "lwprobe #1 Apply\n");
}

TEST_F(LWPanelScript, TheSnapshotShowsTheControlsAndReplaysTheModulesDrawing) {
    open();
    host::Raster before = snapshot();
    EXPECT_EQ(before.width(), 300);
    // The divider the draw hook drew across the panel at y = 240.
    for (int x : {0, 150, 299}) {
        EXPECT_EQ(rgbAt(before, x, 240), host::PanelSystem::rgbOf(LWP_SHADOW)) << x;
        EXPECT_EQ(rgbAt(before, x, 241), host::PanelSystem::rgbOf(LWP_HILIGHT)) << x;
    }
    // The blitted raster at (220, 10): red with a green diagonal.
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(rgbAt(before, 220 + i, 10 + i), 0x00FF00u) << i;
        EXPECT_EQ(rgbAt(before, 227, 10 + i), 0xFF0000u) << i;
    }
    EXPECT_EQ(rgbAt(before, 228, 10), host::PanelSystem::rgbOf(LWP_BG));
    EXPECT_EQ(rgbAt(before, 250, 180), host::PanelSystem::rgbOf(LWP_BG));

    // Apply blits from its event, outside the draw hook: it is added.
    // Lock ghosts Radius: its label turns from black to grey.
    run("PanelPress \"LW Probe\" Apply\nPanelPress \"LW Probe\" Lock\n");
    host::Raster after = snapshot();
    EXPECT_EQ(rgbAt(after, 250, 180), 0x0000FFu);
    EXPECT_EQ(rgbAt(after, 253, 183), 0x0000FFu);
    EXPECT_EQ(rgbAt(after, 220, 10), 0x00FF00u);
    auto count = [](const host::Raster& r, unsigned rgb) {
        int n = 0;
        for (int y = 126; y < 146; ++y) // Radius's row, its label left of x = 100
            for (int x = 40; x < 100; ++x)
                n += rgbAt(r, x, y) == rgb;
        return n;
    };
    EXPECT_GT(count(before, 0x000000), 20);
    EXPECT_EQ(count(after, 0x000000), 0);
    EXPECT_GT(count(after, 0xA8A8A8), 20);
}

} // namespace
