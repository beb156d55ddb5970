// What a panel and its controls hold, shared by the panel, control and
// raster halves of the panel system. Not for use outside ui/.
#ifndef MORVANE_HOST_UI_PANEL_PARTS_H
#define MORVANE_HOST_UI_PANEL_PARTS_H

#include "ui/panel_look.h"
#include "ui/panels.h"

#include <lwrender.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace host {

// How a control keeps its value.
enum class Kind { Item, String, Int, Float, IVec, FVec, Pointer, Button, Plain };

// Control sizes in the headless layout.
// The width of one character of the pictures' 6 x 10 font.
inline constexpr int kCharWidth = 6;
inline constexpr int kRowHeight = 20;
inline constexpr int kGap = 4;

// A panel keeps this many recorded drawing calls, and blits of this many
// pixels in all; older ones are dropped first.
inline constexpr size_t kMaxDrawOps = 20000;
inline constexpr size_t kMaxDrawPixels = size_t(16) << 20;

struct PanelSystem::Control {
    LWControl rec{};
    LWPanelID panel = nullptr;
    std::string type;
    std::string label;
    Kind kind = Kind::Plain;
    bool boolean = false;

    void* item = nullptr;
    int itemType = LWI_ANY;
    std::string text;
    double num[3] = {0, 0, 0};
    void* pointer = nullptr;

    // Names a choice answers to: a NULL-ended array or the popup's functions.
    const char** choices = nullptr;
    int (*countFn)(void*) = nullptr;
    char* (*nameFn)(void*, int) = nullptr;
    bool ranged = false;
    int rangeMin = 0, rangeMax = 0;
    // A text control's lines.
    std::vector<std::string> lines;

    int x = 0, y = 0, w = 0, h = 0, labelWidth = 0;
    int flags = 0;
    void* userData = nullptr;
    void* userDraw = nullptr;
    void* userEvent = nullptr;
    bool drawing = false;
};

struct PanelSystem::Panel {
    std::string title;
    std::vector<std::unique_ptr<Control>> controls;
    int x = 0, y = 0, w = 0, h = 0;
    bool sized = false;
    int flags = 0;
    bool open = false;
    int result = 0;
    void* userData = nullptr;
    void* instance = nullptr;
    void* hooks[PAN_MOUSEWHEEL + 1] = {};
    bool drawing = false;
    // When it was last opened, counting opens: the latest of a title wins.
    unsigned long opened = 0;
    // The pointer as the mouse hooks see it.
    int mouseX = 0, mouseY = 0, qualifiers = 0;
    // What the module drew since the last redraw began.
    std::deque<PanelDrawOp> display;
    size_t displayPixels = 0;
};

struct PanelSystem::Raster {
    int w = 0, h = 0;
    std::vector<unsigned int> pixels;
};

// The boxes of a border (drawBorder): h 0 is a divider, a dark line over a
// light one; otherwise a frame of thickness |indent|, lit from the top left
// (from the bottom right for a negative indent, sunken).
struct BorderBox {
    int x, y, w, h;
    unsigned int rgb;
};
std::vector<BorderBox> borderBoxes(int indent, int x, int y, int w, int h);

template <class F> inline F hookAs(void* p) {
    return reinterpret_cast<F>(p);
}

} // namespace host

#endif
