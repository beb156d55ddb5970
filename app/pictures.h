// The pictures of a render: the viewport window drawn at every frame, and
// the demo's contact sheet, a grid of small perspective views of chosen
// frames with their numbers under them.
#ifndef MORVANE_APP_PICTURES_H
#define MORVANE_APP_PICTURES_H

#include "host.h"
#include "view/raster.h"
#include "view/viewport.h"

#include <vector>

namespace app {

class RenderPictures {
  public:
    static constexpr int kSheetColumns = 4, kSheetRows = 3;
    static constexpr int kCellWidth = 400, kCellHeight = 300;

    // Frames first..last will be drawn in order. The window's views are
    // fitted to the scene as it stands now (the first frame), with room to
    // move; a contact sheet takes kSheetColumns x kSheetRows frames spread
    // evenly over the range.
    RenderPictures(host::Host& layout, int first, int last, bool contactSheet);

    // The window at the scene's current frame; keeps the frame's cell when
    // the contact sheet wants it.
    host::Raster frame(int frame);
    // The cells kept so far, with their frame numbers.
    host::Raster contactSheet() const;

  private:
    host::Host& layout_;
    bool sheet_;
    std::vector<int> sheetFrames_;
    std::vector<host::Raster> cells_;
    host::ViewportWindow thumbnail_;
};

} // namespace app

#endif
