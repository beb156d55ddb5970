// An open LWPanels panel drawn as a person sees it: a title bar above the
// panel, the panel's background, each control at its place in its look
// (label right-aligned against its hot area), ghosted ones in grey, then
// what the module drew on the panel, in the order drawn.
#ifndef MORVANE_HOST_VIEW_LWPANEL_PICTURE_H
#define MORVANE_HOST_VIEW_LWPANEL_PICTURE_H

#include "ui/panel_look.h"
#include "view/raster.h"

namespace host {

struct LWPanelPictureLayout {
    // The panel's (0, 0) is this far down the picture.
    static constexpr int kTitleHeight = 24;
};

// PAN_W wide and kTitleHeight + PAN_H high (at least 1 x 1); the panel's
// drawing is clipped to the panel.
Raster drawLWPanelPicture(const PanelPicture& panel);

} // namespace host

#endif
