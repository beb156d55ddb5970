// The falloff panel: presets set the sliders, the picture is the brush's
// profile (dark above the curve, light below, full height at the centre),
// and opening, closing and reopening keep the raster's life in step.
#include "tool_panel_support.h"

#include "host/view/lwpanel_picture.h"
#include "host/view/raster.h"

#include <cmath>
#include <algorithm>

namespace {

const std::string kOpen = "PanelChoose \"Morvane Tool\" Edit \"Open Falloff Panel\"\n";

struct Preset {
    const char* name;
    int slider1, slider2;
    double (*f)(double); // the curve, from the preset's definition
};

double linear(double x) {
    return 1 - x;
}
double easeIn(double x) {
    return 1 - x * x;
}
double easeOut(double x) {
    return (1 - x) * (1 - x);
}
double smooth(double x) {
    return 1 - 3 * x * x + 2 * x * x * x;
}

std::string presetName(const testing::TestParamInfo<Preset>& param) {
    std::string name = param.param.name;
    name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
    return name;
}

class FalloffPicture : public ToolPanelTest, public testing::WithParamInterface<Preset> {};

// Rows from the top that are dark in a column of the picture.
int darkRows(host::PanelSystem& panels, int x) {
    int rows = 0;
    for (int y = 1; y < kFalloffPictureHeight - 1; ++y) {
        unsigned int rgb = 0;
        EXPECT_TRUE(panels.readRasterPixel(stRastIDFO, x, y, &rgb));
        if (rgb == 0x808080) {
            EXPECT_EQ(rows, y - 1) << "column " << x << " is dark again at row " << y;
            ++rows;
        } else {
            EXPECT_EQ(rgb, 0xB0B0B0u) << x << "," << y;
        }
    }
    return rows + 1; // row 0 is the frame
}

TEST_P(FalloffPicture, ColumnsFollowTheCurve) {
    const Preset& p = GetParam();
    ASSERT_EQ(start(), AFUNC_OK);
    run(kOpen + "PanelChoose \"Falloff Preferences\" Presets \"" + p.name + "\"");
    EXPECT_EQ(stInstData.falloffCurve1, p.slider1);
    EXPECT_EQ(stInstData.falloffCurve2, p.slider2);
    ASSERT_NE(stRastIDFO, nullptr);
    for (int x = 1; x < kFalloffPictureWidth - 1; ++x) {
        const int d = std::abs(x - 40);
        // Light from the bottom up to 60 f(t): dark rows 60 (1 - f) + 1.
        const double dark = d == 0 ? 1.0 : (1.0 - p.f(d * 0.025)) * 60.0 + 1.0;
        EXPECT_NEAR(darkRows(layout.panels(), x), dark, 1.0 + 1e-9) << p.name << " column " << x;
        EXPECT_GE(double(darkRows(layout.panels(), x)), std::floor(dark - 1e-9)) << x;
    }
}

INSTANTIATE_TEST_SUITE_P(Presets, FalloffPicture,
                         testing::Values(Preset{"Linear", 50, 50, linear},
                                         Preset{"Ease In", 100, 0, easeIn},
                                         Preset{"Ease Out", 0, 100, easeOut},
                                         Preset{"Smooth", 0, 0, smooth}),
                         presetName);

TEST_F(ToolPanelTest, SlidersShapeTheCurveAndThePanelOpensAndClosesWithItsRaster) {
    const FalloffShape shape = falloffShapeOfSliders(75, 50);
    EXPECT_EQ(shape.flags[0], 1u);
    EXPECT_DOUBLE_EQ(shape.exponents[0], 1.5);
    EXPECT_EQ(shape.flags[1], 0u);
    EXPECT_DOUBLE_EQ(shape.exponents[1], 1.0);

    ASSERT_EQ(start(), AFUNC_OK);
    run(kOpen + "PanelType \"Falloff Preferences\" \"#2\" 75");
    EXPECT_EQ(stInstData.falloffCurve1, 75);
    EXPECT_EQ(layout.panels().rasterCount(), 1u);
    // The picture on the panel is the raster's, at (8, 6).
    const std::string png = testing::TempDir() + "/falloff_" + std::to_string(getpid()) + ".png";
    run("PanelSnapshot \"Falloff Preferences\" " + png);
    host::Raster picture(1, 1);
    std::string error;
    ASSERT_TRUE(host::readPng(png, picture, error)) << error;
    for (int x = 0; x < kFalloffPictureWidth; x += 4)
        for (int y = 0; y < kFalloffPictureHeight; y += 5) {
            unsigned int rgb = 0;
            layout.panels().readRasterPixel(stRastIDFO, x, y, &rgb);
            const host::Rgba shown =
                picture.pixel(8 + x, host::LWPanelPictureLayout::kTitleHeight + 6 + y);
            auto byte = [](float c) { return unsigned(std::lround(c * 255.0f)); };
            EXPECT_EQ(byte(shown.r) << 16 | byte(shown.g) << 8 | byte(shown.b), rgb)
                << x << "," << y;
        }

    run(kOpen); // a second choice closes it
    EXPECT_EQ(isOpenFO, 0);
    EXPECT_EQ(layout.panels().rasterCount(), 0u);
    EXPECT_NE(failure("PanelValue \"Falloff Preferences\" \"#2\""), "(none)");
    run(kOpen);
    EXPECT_EQ(run("PanelValue \"Falloff Preferences\" \"#2\""), "panel: #2 = 75\n");
    EXPECT_EQ(layout.panels().rasterCount(), 1u);
    run("PanelClose \"Falloff Preferences\"");
    EXPECT_EQ(layout.panels().rasterCount(), 0u);
    run(kOpen + "PanelClose \"Morvane Tool\"");
    EXPECT_EQ(isOpenFO, 0); // the tool's end closes it too
    EXPECT_EQ(layout.panels().rasterCount(), 0u);
}

} // namespace
