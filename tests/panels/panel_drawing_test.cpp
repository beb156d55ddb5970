// Drawing on a panel: the test acts as a module, draws through DrawFuncs and
// blitPanel, and reads the panel's display list back from its picture.
#include "host/host.h"
#include "host/ui/panels.h"

#include <lwpanel.h>

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Kind = host::PanelDrawOp::Kind;

int drawCalls = 0;

void drawHook(LWPanelID pan, void* data, DrMode) {
    ++drawCalls;
    static_cast<LWPanelFuncs*>(data)->drawFuncs->drawBox(pan, LWP_BLACK, 1, 2, 3, 4);
}

class PanelDrawing : public ::testing::Test {
  protected:
    PanelDrawing() : layout(out) {
        pf = static_cast<LWPanelFuncs*>(layout.services().lookup("LWPanelServices"));
        rf = static_cast<LWRasterFuncs*>(layout.services().lookup("RasterServices"));
        df = pf->drawFuncs;
        pan = pf->create((char*)"Board", pf);
        pf->set(pan, PAN_USERDRAW, (void*)drawHook);
        drawCalls = 0;
        pf->open(pan, PANF_NOBUTT);
    }
    std::vector<host::PanelDrawOp> ops() { return layout.panels().picture("Board").ops; }

    std::ostringstream out;
    host::Host layout;
    LWPanelFuncs* pf = nullptr;
    LWRasterFuncs* rf = nullptr;
    DrawFuncs* df = nullptr;
    LWPanelID pan = nullptr;
};

TEST_F(PanelDrawing, ARedrawStartsAfreshWhileOtherDrawingAppends) {
    EXPECT_EQ(drawCalls, 1); // open draws
    df->drawLine(pan, int(RGB_(1, 2, 3)), 0, 5, 9, 5);
    df->drawRGBPixel(pan, 300, -4, 7, 8, 9);
    df->drawText(pan, (char*)"hi", LWP_HEADLINE, 4, 6);
    auto list = ops();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].kind, Kind::Box);
    EXPECT_EQ(list[0].rgb, host::PanelSystem::rgbOf(LWP_BLACK));
    EXPECT_EQ(list[1].kind, Kind::Line);
    EXPECT_EQ(list[1].rgb, 0x010203u); // RGB_ keeps blue above green
    EXPECT_EQ(list[2].rgb, 0xFF0007u); // channels clamped
    EXPECT_EQ(list[2].w * list[2].h, 1);
    EXPECT_EQ(list[3].text, "hi");

    pf->draw(pan, DR_REFRESH);
    EXPECT_EQ(drawCalls, 2);
    ASSERT_EQ(ops().size(), 1u);
    EXPECT_EQ(ops()[0].kind, Kind::Box);
}

TEST_F(PanelDrawing, BordersAreBoxesAndADividerIsADarkAndALightLine) {
    pf->set(pan, PAN_USERDRAW, nullptr);
    pf->draw(pan, DR_REFRESH);
    df->drawBorder(pan, 0, 10, 20, 50, 0);
    df->drawBorder(pan, -2, 0, 0, 8, 6);
    auto list = ops();
    ASSERT_EQ(list.size(), 6u);
    const unsigned dark = host::PanelSystem::rgbOf(LWP_SHADOW);
    const unsigned light = host::PanelSystem::rgbOf(LWP_HILIGHT);
    EXPECT_TRUE(list[0].y == 20 && list[0].h == 1 && list[0].w == 50 && list[0].rgb == dark);
    EXPECT_TRUE(list[1].y == 21 && list[1].h == 1 && list[1].rgb == light);
    // Sunken: dark at the top, two pixels thick.
    EXPECT_TRUE(list[2].y == 0 && list[2].h == 2 && list[2].w == 8 && list[2].rgb == dark);
    EXPECT_TRUE(list[5].x == 6 && list[5].w == 2 && list[5].rgb == light);
}

TEST_F(PanelDrawing, ABlitKeepsTheRastersPixelsAsTheyWereAndOnlyItsInside) {
    LWRasterID r = rf->create(3, 2, 0);
    rf->drawRGBBox(r, 255, 0, 0, 0, 0, 3, 2);
    rf->drawRGBPixel(r, 0, 0, 255, 2, 1);
    // Asked from (1, -1) for 5 x 5: the part inside the raster is (1, 0) to (2, 1).
    rf->blitPanel(r, 1, -1, pan, 40, 50, 5, 5);
    rf->drawRGBBox(r, 0, 255, 0, 0, 0, 3, 2);
    rf->destroy(r);
    const auto list = ops();
    const host::PanelDrawOp& blit = list.back();
    EXPECT_EQ(blit.kind, Kind::Pixels);
    EXPECT_EQ(blit.x, 40);
    EXPECT_EQ(blit.y, 51);
    EXPECT_EQ(blit.w, 2);
    EXPECT_EQ(blit.h, 2);
    EXPECT_EQ(blit.pixels, (std::vector<unsigned>{0xFF0000, 0xFF0000, 0xFF0000, 0x0000FF}));
}

TEST_F(PanelDrawing, TheListKeepsTheLatestCalls) {
    pf->set(pan, PAN_USERDRAW, nullptr);
    pf->draw(pan, DR_REFRESH);
    for (int i = 0; i <= 20000; ++i)
        df->drawPixel(pan, LWP_BLACK, i, 0);
    auto list = ops();
    ASSERT_EQ(list.size(), 20000u);
    EXPECT_EQ(list.front().x, 1);
    EXPECT_EQ(list.back().x, 20000);
}

} // namespace
