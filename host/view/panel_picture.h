// An XPanel drawn as a person sees it: the title, then one row per control
// on the shown stack page, label on the left and value on the right in the
// control's own look (a check box, a colour swatch, a popup, a text field),
// the rows of a group framed together, ghosted controls in grey.
#ifndef MORVANE_HOST_VIEW_PANEL_PICTURE_H
#define MORVANE_HOST_VIEW_PANEL_PICTURE_H

#include "ui/xpanels.h"
#include "view/raster.h"

#include <string>
#include <vector>

namespace host {

// Row geometry, in pixels, for tests that look at a row.
struct PanelPictureLayout {
    static constexpr int kWidth = 420;
    static constexpr int kTitleHeight = 24;
    static constexpr int kRowHeight = 20;
    static constexpr int kGroupGap = 8;
    static constexpr int kLabelRight = 190; // labels end here (right-aligned)
    static constexpr int kValueLeft = 200;  // values start here
};

Raster drawPanelPicture(const std::string& title, const std::vector<XPanelRow>& rows);

} // namespace host

#endif
