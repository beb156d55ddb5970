#include "view/panel_picture.h"

#include <cstdio>
#include <sstream>

namespace host {

namespace {

using L = PanelPictureLayout;

const Rgba kBackground{0.40f, 0.40f, 0.42f, 1};
const Rgba kTitleBar{0.24f, 0.26f, 0.32f, 1};
const Rgba kText{0.92f, 0.92f, 0.92f, 1};
const Rgba kGhostText{0.58f, 0.58f, 0.60f, 1};
const Rgba kField{0.22f, 0.22f, 0.24f, 1};
const Rgba kGhostField{0.34f, 0.34f, 0.36f, 1};
const Rgba kFrame{0.62f, 0.62f, 0.66f, 1};
const Rgba kMark{0.95f, 0.80f, 0.20f, 1};

void fillRect(Raster& r, int x, int y, int w, int h, Rgba colour) {
    RasterState saved = r.state();
    r.state().colour = colour;
    r.state().depthTest = r.state().depthWrite = r.state().cullBack = false;
    ScreenPoint a{double(x), double(y), 0}, b{double(x + w), double(y), 0},
        c{double(x + w), double(y + h), 0}, d{double(x), double(y + h), 0};
    r.triangle(a, d, c);
    r.triangle(a, c, b);
    r.state() = saved;
}

void frameRect(Raster& r, int x, int y, int w, int h, Rgba colour) {
    RasterState saved = r.state();
    r.state().colour = colour;
    r.state().depthTest = r.state().depthWrite = false;
    r.state().pattern = LinePattern::Solid;
    double l = x + 0.5, t = y + 0.5, rt = x + w - 0.5, b = y + h - 0.5;
    r.line({l, t, 0}, {rt, t, 0});
    r.line({rt, t, 0}, {rt, b, 0});
    r.line({rt, b, 0}, {l, b, 0});
    r.line({l, b, 0}, {l, t, 0});
    r.state() = saved;
}

void drawText(Raster& r, int x, int y, const std::string& text, int justify, Rgba colour) {
    r.state().colour = colour;
    r.text(x, y, text, justify);
}

// "r g b" as the panel prints a colour; false when it is not three numbers.
bool parseColour(const std::string& text, Rgba& out) {
    std::istringstream in(text);
    double c[3];
    if (!(in >> c[0] >> c[1] >> c[2])) return false;
    out = {float(c[0]), float(c[1]), float(c[2]), 1};
    return true;
}

// The value part of one row, from kValueLeft to the right margin.
void drawValue(Raster& r, const XPanelRow& row, int top) {
    const int x = L::kValueLeft, w = L::kWidth - 12 - x, h = L::kRowHeight - 4, y = top + 2;
    const Rgba text = row.enabled ? kText : kGhostText;
    const Rgba field = row.enabled ? kField : kGhostField;
    const int textY = y + (h - Raster::textHeight()) / 2;
    const std::string& cls = row.ctrlClass;
    if (cls == "iBoolean") {
        fillRect(r, x, y, h, h, field);
        frameRect(r, x, y, h, h, kFrame);
        if (row.value == "on") fillRect(r, x + 4, y + 4, h - 8, h - 8, row.enabled ? kMark : text);
        return;
    }
    if (cls == "color") {
        Rgba swatch;
        if (parseColour(row.value, swatch)) {
            fillRect(r, x, y, 3 * h, h, swatch);
            frameRect(r, x, y, 3 * h, h, kFrame);
        }
        drawText(r, x + 3 * h + 6, textY, row.value, 0, text);
        return;
    }
    if (cls == "vButton") {
        fillRect(r, x, y, w, h, field);
        frameRect(r, x, y, w, h, kFrame);
        drawText(r, x + w / 2, textY, row.label, 1, text);
        return;
    }
    if (row.value.empty() && cls != "string" && cls != "sInfo") return;
    fillRect(r, x, y, w, h, field);
    frameRect(r, x, y, w, h, kFrame);
    drawText(r, x + 4, textY, row.value, 0, text);
    if (cls == "iPopChoice" || cls == "iPopTransform" || cls == "axis") {
        // The popup's arrow: a small triangle pointing down at the right end.
        RasterState saved = r.state();
        r.state().colour = text;
        r.state().depthTest = r.state().depthWrite = r.state().cullBack = false;
        double cx = x + w - 9, cy = y + h / 2.0;
        r.triangle({cx - 4, cy - 2, 0}, {cx, cy + 3, 0}, {cx + 4, cy - 2, 0});
        r.state() = saved;
    }
}

} // namespace

Raster drawPanelPicture(const std::string& title, const std::vector<XPanelRow>& rows) {
    // Rows on a hidden stack page take no room; a gap parts the groups.
    int height = L::kTitleHeight + 8;
    int previousGroup = -1;
    for (const XPanelRow& row : rows) {
        if (!row.visible) continue;
        if (previousGroup != -1 && row.group != previousGroup) height += L::kGroupGap;
        height += L::kRowHeight;
        previousGroup = row.group;
    }
    height += 8;

    Raster r(L::kWidth, height);
    r.clear(kBackground);
    fillRect(r, 0, 0, L::kWidth, L::kTitleHeight, kTitleBar);
    drawText(r, L::kWidth / 2, (L::kTitleHeight - Raster::textHeight()) / 2,
             title.empty() ? "(untitled)" : title, 1, kText);

    int y = L::kTitleHeight + 8;
    previousGroup = -1;
    int groupTop = y;
    auto closeGroup = [&](int bottom) {
        if (previousGroup > 0)
            frameRect(r, 4, groupTop - 3, L::kWidth - 8, bottom - groupTop + 6, kFrame);
    };
    for (const XPanelRow& row : rows) {
        if (!row.visible) continue;
        if (row.group != previousGroup) {
            if (previousGroup != -1) {
                closeGroup(y);
                y += L::kGroupGap;
            }
            groupTop = y;
            previousGroup = row.group;
        }
        if (row.ctrlClass != "vButton")
            drawText(r, L::kLabelRight, y + (L::kRowHeight - Raster::textHeight()) / 2, row.label,
                     2, row.enabled ? kText : kGhostText);
        drawValue(r, row, y);
        y += L::kRowHeight;
    }
    if (previousGroup != -1) closeGroup(y);
    return r;
}

} // namespace host
