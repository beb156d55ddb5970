// Pictures of XPanels: what a person sees of each row.
#include "host/view/panel_picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using host::PanelPictureLayout;
using host::XPanelRow;

XPanelRow row(const std::string& label, const std::string& cls, const std::string& value, int group,
              bool enabled = true, bool visible = true) {
    XPanelRow r;
    r.label = label;
    r.ctrlClass = cls;
    r.value = value;
    r.group = group;
    r.enabled = enabled;
    r.visible = visible;
    return r;
}

// Pixels in a box brighter than a level in every channel: text and marks.
int brightPixels(const host::Raster& r, int x0, int y0, int x1, int y1, float level) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            host::Rgba p = r.pixel(x, y);
            n += p.r > level && p.g > level && p.b > level;
        }
    return n;
}

int rowTop(int index, int groupsBefore) {
    return PanelPictureLayout::kTitleHeight + 8 + index * PanelPictureLayout::kRowHeight +
           groupsBefore * PanelPictureLayout::kGroupGap;
}

TEST(PanelPicture, HiddenRowsTakeNoRoomAndGroupsAreParted) {
    std::vector<XPanelRow> rows = {row("A", "integer", "1", 1), row("B", "integer", "2", 2),
                                   row("C", "integer", "3", 2, true, false)};
    host::Raster shown = host::drawPanelPicture("T", rows);
    rows[2].visible = true;
    host::Raster all = host::drawPanelPicture("T", rows);
    EXPECT_EQ(all.height() - shown.height(), PanelPictureLayout::kRowHeight);
    EXPECT_EQ(shown.width(), PanelPictureLayout::kWidth);
    // The gap between the groups is background: no text, no field.
    const int gapTop = rowTop(1, 0);
    host::Rgba bg = shown.pixel(PanelPictureLayout::kValueLeft + 20, gapTop + 3);
    host::Rgba field = shown.pixel(PanelPictureLayout::kValueLeft + 20, rowTop(1, 1) + 10);
    EXPECT_GT(bg.r, field.r + 0.1f);
}

TEST(PanelPicture, GhostedLabelsAreDimAndValuesShowTheirLook) {
    std::vector<XPanelRow> rows = {row("Limited Range", "iBoolean", "on", 1),
                                   row("Parallel Distance", "distance", "1 m", 1, false),
                                   row("Selected Color", "color", "1 0 0", 1)};
    host::Raster r = host::drawPanelPicture("Morvane", rows);
    const int labelX0 = 10, labelX1 = PanelPictureLayout::kLabelRight + 1;
    // Bright label text on the enabled row, none on the ghosted one.
    EXPECT_GT(brightPixels(r, labelX0, rowTop(0, 0), labelX1, rowTop(1, 0), 0.85f), 20);
    EXPECT_EQ(brightPixels(r, labelX0, rowTop(1, 0), labelX1, rowTop(2, 0), 0.85f), 0);
    // The ghosted label is still there, in grey.
    EXPECT_GT(brightPixels(r, labelX0, rowTop(1, 0), labelX1, rowTop(2, 0), 0.5f), 20);
    // The check box of an "on" boolean holds its yellow mark.
    host::Rgba mark = r.pixel(PanelPictureLayout::kValueLeft + 8, rowTop(0, 0) + 10);
    EXPECT_GT(mark.r, 0.9f);
    EXPECT_LT(mark.b, 0.3f);
    // The colour swatch shows the colour.
    host::Rgba swatch = r.pixel(PanelPictureLayout::kValueLeft + 10, rowTop(2, 0) + 10);
    EXPECT_FLOAT_EQ(swatch.r, 1.0f);
    EXPECT_FLOAT_EQ(swatch.g, 0.0f);
}

} // namespace
