// Pictures of LWPanels panels: the module's drawing replayed at its place,
// kept inside the panel, and controls in their look.
#include "host/view/lwpanel_picture.h"

#include <gtest/gtest.h>

namespace {

using host::PanelDrawOp;
const int kTop = host::LWPanelPictureLayout::kTitleHeight;

unsigned rgbAt(const host::Raster& r, int x, int y) {
    host::Rgba p = r.pixel(x, y + kTop);
    auto byte = [](float v) { return unsigned(v * 255 + 0.5f); };
    return byte(p.r) << 16 | byte(p.g) << 8 | byte(p.b);
}

PanelDrawOp op(PanelDrawOp::Kind kind, int x, int y, int a, int b, unsigned rgb) {
    PanelDrawOp o;
    o.kind = kind;
    o.x = x;
    o.y = y;
    (kind == PanelDrawOp::Kind::Line ? o.x1 : o.w) = a;
    (kind == PanelDrawOp::Kind::Line ? o.y1 : o.h) = b;
    o.rgb = rgb;
    return o;
}

TEST(LWPanelPicture, OpsReplayInOrderInsideThePanelOnly) {
    host::PanelPicture panel;
    panel.title = "T";
    panel.w = 40;
    panel.h = 30;
    // A box reaching above and left of the panel, a line over it, a blit
    // hanging off the bottom right corner.
    panel.ops.push_back(op(PanelDrawOp::Kind::Box, -10, -10, 20, 15, 0x112233));
    panel.ops.push_back(op(PanelDrawOp::Kind::Line, 0, 2, 39, 2, 0xFF0000));
    PanelDrawOp blit = op(PanelDrawOp::Kind::Pixels, 38, 28, 3, 3, 0);
    for (unsigned i = 0; i < 9; ++i)
        blit.pixels.push_back(0x000100 * (i + 1));
    panel.ops.push_back(blit);
    host::Raster r = host::drawLWPanelPicture(panel);
    ASSERT_EQ(r.width(), 40);
    ASSERT_EQ(r.height(), 30 + kTop);
    const unsigned title = rgbAt(r, 0, -1);
    EXPECT_NE(title, 0x112233u); // the title bar is not drawn over
    EXPECT_EQ(rgbAt(r, 0, 0), 0x112233u);
    EXPECT_EQ(rgbAt(r, 9, 4), 0x112233u);
    EXPECT_NE(rgbAt(r, 10, 4), 0x112233u);
    EXPECT_NE(rgbAt(r, 9, 5), 0x112233u);
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(rgbAt(r, x, 2), 0xFF0000u) << x; // drawn after the box
    EXPECT_EQ(rgbAt(r, 38, 28), 0x000100u);
    EXPECT_EQ(rgbAt(r, 39, 29), 0x000500u); // row 1, column 1 of the blit
}

TEST(LWPanelPicture, GhostedAndCheckedControlsLookSo) {
    host::PanelPicture panel;
    panel.w = 120;
    panel.h = 60;
    host::ControlPicture check;
    check.label = "On";
    check.look = host::ControlLook::Check;
    check.x = 10;
    check.y = 5;
    check.labelWidth = 20;
    check.w = 38;
    check.h = 18;
    check.on = true;
    panel.controls.push_back(check);
    check.y = 30;
    check.ghosted = true;
    panel.controls.push_back(check);
    host::Raster r = host::drawLWPanelPicture(panel);
    // The mark at the box's centre: black when reachable, grey when ghosted.
    EXPECT_EQ(rgbAt(r, 39, 14), 0x000000u);
    EXPECT_EQ(rgbAt(r, 39, 39), 0xA8A8A8u);
    check.on = false;
    check.ghosted = false;
    panel.controls = {check};
    EXPECT_NE(rgbAt(host::drawLWPanelPicture(panel), 39, 39), 0x000000u);
}

} // namespace
