// What a person sees of an open LWPanels panel: its size, each control at its
// place in its look with its value, and what the module drew on the panel.
// The panel system hands it out; view/ draws it.
#ifndef MORVANE_HOST_UI_PANEL_LOOK_H
#define MORVANE_HOST_UI_PANEL_LOOK_H

#include <string>
#include <vector>

namespace host {

// One recorded drawing call on a panel, in panel pixels, colours 0xRRGGBB.
// Borders and pixels arrive as boxes; a blit keeps the raster's pixels as
// they were when it was made.
struct PanelDrawOp {
    enum class Kind { Line, Box, Text, Pixels };
    Kind kind = Kind::Box;
    int x = 0, y = 0;   // line start, box or pixels corner, text's top left
    int x1 = 0, y1 = 0; // line end (included)
    int w = 0, h = 0;   // box and pixels size
    unsigned int rgb = 0;
    std::string text;
    std::vector<unsigned int> pixels; // w * h, rows from the top
};

enum class ControlLook {
    Button, // raised, label inside
    Toggle, // a bool button: pressed-looking when on
    Check,  // a check box
    Popup,  // the current entry with an arrow
    Menu,   // a pop-down menu: its label with an arrow
    Slider, // a bar filled to the value, the number on it
    Field,  // a sunken field with the value
    Info,   // the value as plain text
    Lines,  // a text control's lines
    Area    // a framed area the module draws into
};

struct ControlPicture {
    std::string label; // UTF-8
    ControlLook look = ControlLook::Field;
    int x = 0, y = 0, w = 0, h = 0, labelWidth = 0;
    std::string value;   // as PanelValue prints it (UTF-8)
    bool on = false;     // bool controls
    double fraction = 0; // sliders: where the value sits in the range, 0 to 1
    std::vector<std::string> lines;
    bool ghosted = false;
};

struct PanelPicture {
    std::string title; // UTF-8
    int w = 0, h = 0;
    std::vector<ControlPicture> controls; // the visible ones, in the order added
    std::vector<PanelDrawOp> ops;         // in the order drawn
};

} // namespace host

#endif
