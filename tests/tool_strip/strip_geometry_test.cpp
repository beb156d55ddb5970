// The strip's scroll and scale: the zoom drag and the fit to the preview
// range, kept by the cages (ring events 90 and 91) and with the scene, and
// kept within bounds whatever a damaged record or event brings.
#include "strip_support.h"

#include "cage/cage_ring.h"
#include "cage/cage_storage.h"
#include "tool/tool_ring.h"

#include "host/io/plugin_io.h"

#include <climits>
#include <limits>

namespace {

class KeyStripGeometry : public KeyStripTest {
  protected:
    // The tool started anew, as on the first activation after loading: it
    // reads the strip geometry from the cages.
    void restartTool() {
        layout.dropTool();
        forgetEditTool();
        ASSERT_EQ(start(), AFUNC_OK);
    }
    std::vector<std::string> record() {
        host::PluginWriter writer;
        EXPECT_EQ(CageCustomSave(a, writer.state()), nullptr);
        return writer.lines();
    }
    void load(const std::vector<std::string>& lines) {
        host::Item& item = layout.scene().addNull("Loaded" + std::to_string(cages.size()));
        LWError error = nullptr;
        cages.push_back(static_cast<CageInstance*>(CageCustomCreate(nullptr, item.id, &error)));
        host::PluginReader reader(lines);
        EXPECT_EQ(CageCustomLoad(cages.back(), reader.state()), nullptr);
    }
};

// A zoom drag changes the scale by 0.01 per pixel within [4, 128] and keeps
// the time 24 pixels from the strip's left edge in place; the cages keep the
// result.
struct Zoom {
    int dx;
    double pixPerFrame;
    int timeSliderBX; // from -40: (-40 + 24) * ppf / 16, truncated, - 24
};

class KeyStripZoom : public KeyStripGeometry, public testing::WithParamInterface<Zoom> {};

TEST_P(KeyStripZoom, ScalesWithinBoundsAroundItsLeftEdge) {
    const Zoom z = GetParam();
    press(8, 20);
    EXPECT_EQ(stInstData.stripDrag, unsigned(kStripZoom));
    drag(8 + z.dx, 20);
    release();
    EXPECT_DOUBLE_EQ(stInstData.pixPerFrame, z.pixPerFrame);
    EXPECT_EQ(stInstData.timeSliderBX, z.timeSliderBX);
    EXPECT_DOUBLE_EQ(stPixPerFrame, z.pixPerFrame);
    EXPECT_EQ(stTimeSliderBX, z.timeSliderBX);
}

INSTANTIATE_TEST_SUITE_P(Drags, KeyStripZoom,
                         testing::Values(Zoom{100, 17, -41}, Zoom{100000, 128, -152},
                                         Zoom{-100000, 4, -28}, Zoom{-1200, 4, -28}),
                         RowName());

TEST_F(KeyStripGeometry, TheGeometryComesBackAtTheNextStartAndWithTheScene) {
    stroke(8, 20, 108, 20);
    restartTool();
    EXPECT_EQ(stInstData.pixPerFrame, 17.0);
    EXPECT_EQ(stInstData.timeSliderBX, -41);

    const std::vector<std::string> saved = record();
    sendKeyStripGeometry(-40, 16.0);
    load(saved);
    restartTool();
    EXPECT_EQ(stInstData.pixPerFrame, 17.0);
    EXPECT_EQ(stInstData.timeSliderBX, -41);
}

// The right button on a zoom handle fits the preview range into the whole
// window (1280 pixels wide, from 0): (1280 - 257) / frames pixels per frame
// on this host's build; an empty range changes nothing.
struct Fit {
    int first, last;
    double pixPerFrame;
    int timeSliderBX;
};

class KeyStripFit : public KeyStripGeometry, public testing::WithParamInterface<Fit> {};

TEST_P(KeyStripFit, FitsThePreviewRange) {
    const Fit f = GetParam();
    run("PreviewFirstFrame " + std::to_string(f.first) + "\nPreviewLastFrame " +
        std::to_string(f.last));
    stroke(600, 5, 600, 5, true);
    EXPECT_DOUBLE_EQ(stInstData.pixPerFrame, f.pixPerFrame);
    EXPECT_EQ(stInstData.timeSliderBX, f.timeSliderBX);
    EXPECT_DOUBLE_EQ(stPixPerFrame, f.pixPerFrame);
}

INSTANTIATE_TEST_SUITE_P(Ranges, KeyStripFit,
                         testing::Values(Fit{10, 110, 10.23, 102 - 112}, Fit{0, 1000, 4, -112},
                                         Fit{10, 10, 16, -40}),
                         RowName());

// A scale of 0 or NaN would stall the strip's drawing and make every strip
// time NaN: event 90, a scene record and the tool's own state are bounded.
struct BadScale {
    double scale;
    const char* recordText;
    double bounded;
};

class KeyStripBadScale : public KeyStripGeometry, public testing::WithParamInterface<BadScale> {};

TEST_P(KeyStripBadScale, IsBoundedWhereverItComesFrom) {
    const BadScale c = GetParam();
    sendKeyStripGeometry(-40, c.scale);
    EXPECT_DOUBLE_EQ(stPixPerFrame, c.bounded);
    restartTool();
    EXPECT_DOUBLE_EQ(stInstData.pixPerFrame, c.bounded);

    std::vector<std::string> damaged = record();
    damaged[10] = c.recordText;
    sendKeyStripGeometry(-40, 16.0);
    load(damaged);
    restartTool();
    EXPECT_GE(stInstData.pixPerFrame, 4.0);
    EXPECT_LE(stInstData.pixPerFrame, 128.0);

    select();
    keys(a, {10});
    stInstData.pixPerFrame = c.scale;
    press(300, 4);
    EXPECT_DOUBLE_EQ(stInstData.pixPerFrame, c.bounded);
    EXPECT_TRUE(std::isfinite(stInstData.timeAtPress));
    release();
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Scales, KeyStripBadScale,
                         testing::Values(BadScale{0, "0", 4}, BadScale{kNaN, "nan", 16},
                                         BadScale{-3, "-3", 4}, BadScale{1e300, "1e+300", 128}),
                         RowName());

// Scrolls far beyond any key stay within the int range: a scroll event, a
// scroll drag, and the next-key button bringing a key back into view.
TEST_F(KeyStripGeometry, HugeScrollsStayInRange) {
    sendKeyStripGeometry(INT_MAX, 16.0);
    EXPECT_EQ(stTimeSliderBX, 1000000000);

    stInstData.timeSliderBX = INT_MIN;
    stroke(300, 4, 300 + 999000, 4);
    EXPECT_EQ(stInstData.timeSliderBX, -1000000000);

    keys(a, {10});
    stInstData.timeSliderBX = INT_MAX;
    const std::string printed = stroke(632, 4, 632, 4);
    EXPECT_EQ(stInstData.timeSliderBX, 10 * 16 - 32);
    EXPECT_NE(printed.find("command: GoToFrame 10.0000000000"), std::string::npos) << printed;
}

} // namespace
