#include "view/lwpanel_picture.h"

#include "ui/panels.h"

#include <algorithm>

namespace host {

namespace {

// The panel's own colours are its palette's, so what a module draws in
// LWP_BG blends into the background as it would on screen.
unsigned int palette(int entry) {
    return PanelSystem::rgbOf(entry);
}

const unsigned int kTitleBar = 0x303848, kTitleText = 0xFFFFFF;
const unsigned int kGhostText = 0xA8A8A8, kGhostFace = 0x787878;

Rgba rgba(unsigned int rgb) {
    return {float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f,
            float(rgb & 0xFF) / 255.0f, 1};
}

// Draws in panel pixels, below the title bar, never outside the panel.
class Canvas {
  public:
    Canvas(Raster& r, int top, int w, int h) : r_(r), top_(top), w_(w), h_(h) {
        r_.state().depthTest = r_.state().depthWrite = r_.state().cullBack = false;
    }

    void box(long x, long y, long w, long h, unsigned int rgb) {
        long x0 = std::max(0L, x), y0 = std::max(0L, y);
        long x1 = std::min(long(w_), x + w), y1 = std::min(long(h_), y + h);
        if (x0 >= x1 || y0 >= y1) return;
        r_.setClip(int(x0), top_ + int(y0), int(x1 - x0), int(y1 - y0));
        r_.clear(rgba(rgb));
        r_.resetClip();
    }

    void line(int x0, int y0, int x1, int y1, unsigned int rgb) {
        clipToPanel();
        r_.state().colour = rgba(rgb);
        r_.state().pattern = LinePattern::Solid;
        r_.line({x0 + 0.5, top_ + y0 + 0.5, 0}, {x1 + 0.5, top_ + y1 + 0.5, 0});
        r_.resetClip();
    }

    // justify: 0 left, 1 centre, 2 right of x.
    void text(int x, int y, const std::string& s, int justify, unsigned int rgb) {
        clipToPanel();
        r_.state().colour = rgba(rgb);
        r_.text(x, top_ + y, s, justify);
        r_.resetClip();
    }

    void pixels(const PanelDrawOp& op) {
        long x0 = std::max(0L, -long(op.x)), y0 = std::max(0L, -long(op.y));
        long x1 = std::min(long(op.w), long(w_) - op.x), y1 = std::min(long(op.h), long(h_) - op.y);
        clipToPanel();
        for (long y = y0; y < y1; ++y)
            for (long x = x0; x < x1; ++x) {
                r_.state().colour = rgba(op.pixels[size_t(y) * size_t(op.w) + size_t(x)]);
                r_.point({op.x + x + 0.5, top_ + op.y + y + 0.5, 0});
            }
        r_.resetClip();
    }

    // A one-pixel 3D frame: lit from the top left, or sunken.
    void frame(int x, int y, int w, int h, bool sunken) {
        unsigned light = palette(LWP_HILIGHT), dark = palette(LWP_SHADOW);
        if (sunken) std::swap(light, dark);
        box(x, y, w, 1, light);
        box(x, y, 1, h, light);
        box(x, y + h - 1, w, 1, dark);
        box(x + w - 1, y, 1, h, dark);
    }

  private:
    void clipToPanel() { r_.setClip(0, top_, w_, h_); }

    Raster& r_;
    int top_, w_, h_;
};

// Layout draws its icon codes "(i:N)" as little pictures; the previous and
// next key arrows stand in for the two the module's buttons use.
std::string iconShown(const std::string& label) {
    if (label == "(i:103)") return "<";
    if (label == "(i:104)") return ">";
    return label;
}

void drawControl(Canvas& canvas, const ControlPicture& c) {
    const int hx = c.x + c.labelWidth, hy = c.y, hw = c.w - c.labelWidth, hh = c.h;
    const unsigned text = c.ghosted ? kGhostText : palette(LWP_NORMAL);
    const int textY = hy + (hh - Raster::textHeight()) / 2;
    auto face = [&](unsigned colour, bool sunken) {
        canvas.box(hx, hy, hw, hh, c.ghosted ? kGhostFace : colour);
        if (!c.ghosted) canvas.frame(hx, hy, hw, hh, sunken);
    };
    const bool inside = c.look == ControlLook::Button || c.look == ControlLook::Toggle ||
                        c.look == ControlLook::Menu;
    if (!inside && c.labelWidth > 0 && !c.label.empty())
        canvas.text(hx - 4, c.y + (c.h - Raster::textHeight()) / 2, c.label, 2, text);
    switch (c.look) {
    case ControlLook::Button:
    case ControlLook::Toggle: {
        const bool pressed = c.look == ControlLook::Toggle && c.on;
        face(pressed ? palette(LWP_EDIT_SEL) : palette(LWP_RAISED), pressed);
        canvas.text(hx + hw / 2, textY, iconShown(c.label), 1, text);
        break;
    }
    case ControlLook::Check: {
        // The box, then the label to its right when it has no column of its own.
        const int side = std::min(14, std::min(hw, hh));
        const bool labelRight = c.labelWidth == 0 && !c.label.empty();
        const int bx = labelRight ? hx + 2 : hx + (hw - side) / 2, by = hy + (hh - side) / 2;
        if (labelRight) canvas.text(bx + side + 4, textY, c.label, 0, text);
        canvas.box(bx, by, side, side, c.ghosted ? kGhostFace : palette(LWP_EDIT_BG));
        if (!c.ghosted) canvas.frame(bx, by, side, side, true);
        if (c.on) canvas.box(bx + 3, by + 3, side - 6, side - 6, text);
        break;
    }
    case ControlLook::Popup:
    case ControlLook::Menu:
        face(palette(LWP_RAISED), false);
        canvas.text(hx + 4, textY, c.look == ControlLook::Menu ? c.label : c.value, 0, text);
        // The arrow: a small triangle pointing down at the right end.
        for (int i = 0; i < 4; ++i)
            canvas.box(hx + hw - 13 + i, hy + hh / 2 - 2 + i, 7 - 2 * i, 1, text);
        break;
    case ControlLook::Slider:
        face(palette(LWP_EDIT_BG), true);
        canvas.box(hx + 1, hy + 1, long((hw - 2) * c.fraction + 0.5), hh - 2,
                   c.ghosted ? kGhostText : palette(LWP_AQUA3));
        canvas.text(hx + 4, textY, c.value, 0, text);
        break;
    case ControlLook::Field:
        face(palette(LWP_EDIT_BG), true);
        canvas.text(hx + 4, textY, c.value, 0, text);
        break;
    case ControlLook::Info:
        canvas.text(hx, textY, c.value, 0, text);
        break;
    case ControlLook::Lines:
        for (size_t i = 0; i < c.lines.size(); ++i)
            canvas.text(hx, hy + int(i) * 16 + 3, c.lines[i], 0, text);
        break;
    case ControlLook::Area:
        if (!c.ghosted) canvas.frame(hx, hy, hw, hh, true);
        break;
    }
}

} // namespace

Raster drawLWPanelPicture(const PanelPicture& panel) {
    const int top = LWPanelPictureLayout::kTitleHeight;
    const int w = std::clamp(panel.w, 1, Raster::kMaxSide);
    const int h = std::clamp(panel.h, 0, Raster::kMaxSide - top);
    Raster r(w, top + h);
    r.clear(rgba(palette(LWP_BG)));
    r.setClip(0, 0, w, top);
    r.clear(rgba(kTitleBar));
    r.resetClip();
    r.state().colour = rgba(kTitleText);
    r.text(w / 2, (top - Raster::textHeight()) / 2, panel.title, 1);

    Canvas canvas(r, top, w, h);
    for (const ControlPicture& c : panel.controls)
        drawControl(canvas, c);
    for (const PanelDrawOp& op : panel.ops) {
        switch (op.kind) {
        case PanelDrawOp::Kind::Line:
            canvas.line(op.x, op.y, op.x1, op.y1, op.rgb);
            break;
        case PanelDrawOp::Kind::Box:
            canvas.box(op.x, op.y, op.w, op.h, op.rgb);
            break;
        case PanelDrawOp::Kind::Text:
            canvas.text(op.x, op.y, op.text, 0, op.rgb);
            break;
        case PanelDrawOp::Kind::Pixels:
            canvas.pixels(op);
            break;
        }
    }
    return r;
}

} // namespace host
