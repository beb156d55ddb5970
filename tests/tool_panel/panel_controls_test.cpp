// The tool panel's controls as a person uses them: typed values clamped and
// stored where the mode wants them, the stiffness curve, the enable table,
// the Current popup and the background click.
#include "tool_panel_support.h"

#include "host/view/lwpanel_picture.h"
#include "host/view/raster.h"

#include <cmath>

namespace {

const std::string kPanel = "\"Morvane Tool\" ";

class ToolControls : public ToolPanelTest {
  protected:
    ToolControls() {
        a = newCage(3);
        b = newCage(4);
        EXPECT_EQ(start(), AFUNC_OK);
    }
    std::string value(const std::string& label) {
        return run("PanelValue " + kPanel + "\"" + label + "\"");
    }
    CageInstance* a;
    CageInstance* b;
};

TEST_F(ToolControls, StiffnessFollowsItsCurveAndIsClamped) {
    run("PanelPress " + kPanel + "GrabBody");
    struct Case {
        int typed, slider;
        double factor;
        int iterations;
    };
    for (const Case& c :
         {Case{0, 0, 0.3, 8}, Case{40, 40, 0.3, 20}, Case{120, 120, 0.64, 60},
          Case{200, 200, 1.0, 256}, Case{-5, 0, 0.3, 8}, Case{999, 200, 1.0, 256},
          Case{20, 20, 0.3, 14}, Case{150, 150, 0.76, 111}, Case{160, 160, 0.8, 128}}) {
        run("PanelType " + kPanel + "Stiffness " + std::to_string(c.typed));
        EXPECT_EQ(stInstData.stiffnessSlider, c.slider) << c.typed;
        EXPECT_NEAR(stInstData.stiffnessFactor, c.factor, 1e-12) << c.typed;
        EXPECT_EQ(stInstData.stiffnessIterations, c.iterations) << c.typed;
        EXPECT_EQ(value("Stiffness"), "panel: Stiffness = " + std::to_string(c.slider) + "\n");
    }
    // The curve never falls as the slider rises.
    double factor = 0;
    int iterations = 0;
    for (int v = 0; v <= 200; ++v) {
        double f;
        int n;
        getStiffnessParmBySliderValue(v, &f, &n);
        EXPECT_GE(f, factor) << v;
        EXPECT_GE(n, iterations) << v;
        factor = f;
        iterations = n;
    }
}

TEST_F(ToolControls, BrushRadiusAndStrengthGoWhereTheModeWantsThem) {
    run("PanelPress " + kPanel + "Grab\nPanelType " + kPanel + "\"Brush Radius\" 2");
    EXPECT_EQ(stInstData.brushRadius, 4);
    EXPECT_EQ(value("Brush Radius"), "panel: Brush Radius = 4\n");
    run("PanelType " + kPanel + "\"Brush Radius\" 5000");
    EXPECT_EQ(stInstData.brushRadius, 640);
    run("PanelPress " + kPanel + "\"Sel Point\"\nPanelType " + kPanel + "\"Brush Radius\" 30");
    EXPECT_EQ(stInstData.pointBrushRadius, 30);
    EXPECT_EQ(stInstData.brushRadius, 640);

    run("PanelPress " + kPanel + "Erase\nPanelType " + kPanel + "Strength 150");
    EXPECT_EQ(stInstData.strength, 1.0);
    EXPECT_EQ(value("Strength"), "panel: Strength = 100\n");
    run("PanelPress " + kPanel + "ReBody\nPanelType " + kPanel + "Strength 25");
    EXPECT_DOUBLE_EQ(stInstData.reBodyStrength, 0.25);
    EXPECT_EQ(stInstData.strength, 1.0);
    // Switching modes shows each mode's own values.
    run("PanelPress " + kPanel + "Erase");
    EXPECT_EQ(value("Strength"), "panel: Strength = 100\n");
}

TEST_F(ToolControls, EachModeEnablesItsBrushSettings) {
    const char* settings[] = {"Brush Radius", "Strength", "Stiffness", "Fix Outer Edges",
                              "Fix pnts out of range"};
    const char* modes[] = {
        "Sel Cage", "Sel Point", "Sel Lasso", "Move",      "Rotate",  "Stretch", "Size",   "Drag",
        "Grab",     "GrabBody",  "GrabSkin",  "GrabTwist", "Grabnet", "Magnet",  "ReBody", "Erase"};
    const char* expected[] = {"00000", "10000", "00000", "00000", "00000", "00000",
                              "00000", "00000", "10010", "10111", "10111", "10111",
                              "10010", "10010", "11010", "11000"};
    for (int m = 0; m < 16; ++m) {
        run("PanelPress " + kPanel + "\"" + modes[m] + "\"");
        EXPECT_EQ(stInstData.toolMode, m);
        std::string enabled;
        for (const char* s : settings) {
            const std::string error = failure("PanelType " + kPanel + "\"" + s + "\" 1");
            enabled += error.find("ghosted") == std::string::npos ? '1' : '0';
        }
        EXPECT_EQ(enabled, expected[m]) << modes[m];
    }
}

TEST_F(ToolControls, CurrentChoosesOneCageAndTheBackgroundClickClears) {
    EXPECT_EQ(value("Current"), "panel: Current = (none)\n");
    EXPECT_NE(failure("PanelPress " + kPanel + "\"Create Key\"").find("ghosted"),
              std::string::npos);
    add1CageToSelection(&stInstData, a, 1);
    add1CageToSelection(&stInstData, b, 1);
    b->pointArray[2]->selected = 1;
    a->pointArray[0]->selected = 1;
    recountPointSelectionForSelectedCages(&stInstData);
    refreshCurrentCagePopCtl(&stInstData);
    EXPECT_EQ(value("Current"), "panel: Current = (multiple)\n");

    // Choosing one of a multi-selection keeps it with its points.
    run("PanelChoose " + kPanel + "Current Cage2");
    ASSERT_EQ(stInstData.selectedCageCount, 1);
    EXPECT_EQ(stInstData.selectedCages[0], b);
    EXPECT_EQ(stInstData.selectedPointCount, 1);
    EXPECT_EQ(a->pointArray[0]->selected, 0);
    EXPECT_EQ(value("Current"), "panel: Current = Cage2\n");

    // In a point mode the right click drops the points, not the cage.
    run("PanelPress " + kPanel + "\"Sel Point\"\nPanelRightClick \"Morvane Tool\"");
    EXPECT_EQ(stInstData.selectedCageCount, 1);
    EXPECT_EQ(stInstData.selectedPointCount, 0);
    EXPECT_EQ(b->pointArray[2]->selected, 0);
    run("PanelPress " + kPanel + "\"Sel Cage\"\nPanelRightClick \"Morvane Tool\"");
    EXPECT_EQ(stInstData.selectedCageCount, 0);
    EXPECT_EQ(b->highlighted, 0);

    // An Unseen cage is listed with the hidden icon.
    b->display = 0;
    run("PanelChoose " + kPanel + "Current \"#2\"");
    EXPECT_EQ(value("Current"), "panel: Current = Cage2  (i:178)\n");
}

TEST_F(ToolControls, DisplayCommandsReachTheSelectionOrEveryCage) {
    run("PanelChoose " + kPanel + "Edit \"Display: Solid\"");
    EXPECT_EQ(a->display, 1);
    EXPECT_EQ(b->display, 1);
    run("PanelChoose " + kPanel + "Current Cage1\nPanelChoose " + kPanel +
        "Edit \"Display: X-Ray\"");
    EXPECT_EQ(a->display, 2);
    EXPECT_EQ(b->display, 1);
    EXPECT_EQ(stInstData.selectedCageCount, 1);
}

TEST_F(ToolControls, PropertiesKeepOnlyTheFirstSelectedCage) {
    add1CageToSelection(&stInstData, b, 1);
    add1CageToSelection(&stInstData, a, 1);
    a->pointArray[1]->selected = 1;
    recountPointSelectionForSelectedCages(&stInstData);
    run("PanelPress " + kPanel + "P");
    ASSERT_EQ(stInstData.selectedCageCount, 1);
    EXPECT_EQ(stInstData.selectedCages[0], b);
    EXPECT_EQ(a->highlighted, 0);
    EXPECT_EQ(stInstData.selectedPointCount, 0);
}

} // namespace

namespace {

// Rows of a picture column that show the panel's background, as runs
// [first, last] between from and to.
std::vector<std::pair<int, int>> backgroundRuns(const host::Raster& picture, int x, int from,
                                                int to, const host::Rgba& background) {
    std::vector<std::pair<int, int>> runs;
    for (int y = from; y <= to; ++y) {
        const host::Rgba p = picture.pixel(x, y);
        if (p.r != background.r || p.g != background.g || p.b != background.b) continue;
        if (!runs.empty() && runs.back().second == y - 1)
            runs.back().second = y;
        else
            runs.push_back({y, y});
    }
    return runs;
}

TEST_F(ToolControls, ThePictureShowsTwoColumnsOfToolButtonsWithMoveSetApart) {
    const std::string png = testing::TempDir() + "/tool_" + std::to_string(getpid()) + ".png";
    EXPECT_EQ(run("PanelSnapshot \"Morvane Tool\" " + png),
              "snapshot: " + png + " (212 x " +
                  std::to_string(stControlsHeight + host::LWPanelPictureLayout::kTitleHeight) +
                  ")\n");
    host::Raster picture(1, 1);
    std::string error;
    ASSERT_TRUE(host::readPng(png, picture, error)) << error;
    const int top = host::LWPanelPictureLayout::kTitleHeight;
    const host::Rgba background = picture.pixel(208, top + 4);
    // Buttons 20 high stacked one pixel over each other from y 60 (below two
    // rows of 20 and a 20 pixel gap); in the left column 8 pixels of panel
    // show between "Sel Lasso" and "Move".
    const int first = 60, lasso = first + 2 * 19, move = lasso + 20 + 8;
    EXPECT_EQ(backgroundRuns(picture, 26 + 40, top + first, top + move + 3 * 19 + 19, background),
              (std::vector<std::pair<int, int>>{{top + lasso + 20, top + move - 1}}));
    EXPECT_TRUE(
        backgroundRuns(picture, 110 + 40, top + first, top + first + 8 * 19 + 19, background)
            .empty());
    // Below each column: the panel again.
    EXPECT_EQ(
        backgroundRuns(picture, 66, top + move + 3 * 19 + 20, top + move + 3 * 19 + 20, background)
            .size(),
        1u);
    EXPECT_EQ(
        backgroundRuns(picture, 150, top + first + 9 * 19 + 1, top + first + 9 * 19 + 1, background)
            .size(),
        1u);
}

} // namespace

namespace {

// Japanese texts: labels in Shift-JIS; the Edit list in UTF-8 from build
// 3211 on. The host shows both as UTF-8.
TEST_F(ToolPanelTest, JapaneseTextsFollowTheHostBuild) {
    for (unsigned int build : {3000u, 3300u}) {
        layout.services().setLocale(LANGID_JAPANESE);
        layout.services().setBuildNumber(build);
        newCage();
        ASSERT_EQ(start(), AFUNC_OK);
        EXPECT_EQ(toolTextVariant(), build >= 3211 ? kTextUtf8 : kTextShiftJis);
        // "影響減衰設定パネルを開く": Open Falloff Panel.
        run("PanelChoose \"Morvane Tool\" \"編集\" \"影響減衰設定パネルを開く\"");
        EXPECT_EQ(isOpenFO, 1) << build;
        EXPECT_EQ(run("PanelValue \"Morvane Tool\" \"ケージ\""), "panel: ケージ = (なし)\n");
        layout.dropTool();
        forgetEditTool(); // the panels are built once per loaded module
    }
}

} // namespace
