// The key strip along the bottom 32 pixels of a viewport: the selected
// cages' name, the ruler, the current time, the merged keys, the keys being
// dragged and the strip's buttons.
#include <math.h>
#include <stdio.h>

#include "module/key_strip_scale.h"
#include "tool/glyph_texture.h"
#include "tool/overlay.h"
#include "tool/tool_mixed_keys.h"
#include "tool/tool_services.h"

namespace {

float kStripBackground[4] = {0.0f, 0.0f, 0.0f, 0.25f};
float kEndBlock[4] = {0.25f, 0.25f, 0.25f, 1.0f};
float kRangeBand[4] = {1.0f, 0.9f, 0.4f, 0.3f};
float kKeyIndicator[4] = {1.0f, 0.9f, 0.4f, 1.0f};
float kKeyIndicatorOff[4] = {0.65f, 0.65f, 0.58f, 1.0f};

// Layers: the strip's parts at small factors of the overlay distance.
const double kLayerBackground = 1.001;
const double kLayerEdge = 1.0005;
const double kLayerEndBlocks = 0.9995;
const double kLayerButtons = 0.999;

// Draws at one layer in pixels from the viewport's centre, y up.
struct Pen {
    LWCustomObjAccess* access;
    const OverlayView* view;
    double layer;

    void colour(float rgba[4]) const { access->setColor(access->dispData, rgba); }
    void world(double x, double y, double out[3]) const {
        out[0] = x * view->pixel;
        out[1] = y * view->pixel;
        out[2] = 1.0;
        transPosScreenToWorld(out, view->right, view->up, view->forward, view->origin,
                              view->distance * layer, view->offset);
    }
    void line(double x0, double y0, double x1, double y1) const {
        double a[3], b[3];
        world(x0, y0, a);
        world(x1, y1, b);
        access->line(access->dispData, a, b, LWCSYS_WORLD);
    }
    void rect(double left, double top, double width, double height) const {
        const double u = view->pixel;
        const double corner[3] = {left * u, top * u, 1.0};
        drawQuadOnScreen(access, corner, view->right, view->up, view->forward, view->origin,
                         width * u, height * u, view->distance * layer, view->offset);
    }
    void glyph(int code, double centreX, double top, double width, double height) const {
        const double u = view->pixel;
        const double at[3] = {centreX * u, top * u, 1.0};
        drawChara(access, code, at, view->right, view->up, view->forward, view->origin, width * u,
                  height * u, view->distance * layer, view->offset);
    }
    void number(int n, double centreX, double top, double cell) const {
        const double u = view->pixel;
        const double at[3] = {centreX * u, top * u, 1.0};
        drawNumber(access, n, at, view->right, view->up, view->forward, view->origin, cell * u,
                   view->distance * layer, view->offset);
    }
};

// Where the strip shows a time, in pixels from its left end.
struct StripScale {
    double framesPerSecond;
    double pixPerFrame;
    int scroll;
    double at(double t) const { return t * framesPerSecond * pixPerFrame - scroll; }
};

void drawLabel(EditCageState* s, const Pen& pen, double left, double top) {
    if (s->selectedCageCount <= 0) return;
    const LWItemInfo* items = stToolServices.itemInfo;
    const char* name = items ? items->name(s->selectedCages[0]->itemID) : nullptr;
    char text[300];
    const int others = s->selectedCageCount - 1;
    if (others == 0)
        snprintf(text, sizeof text, "%c%.256s%c", '"', name ? name : "", '"');
    else
        snprintf(text, sizeof text,
                 others == 1 ? "%c%.256s%c and %d cage" : "%c%.256s%c and %d cages", '"',
                 name ? name : "", '"', others);
    pen.colour(colorBlack);
    double p[3];
    pen.world(left + 4.0, top + 2.0, p);
    pen.access->text(pen.access->dispData, p, text, LWJUST_LEFT, LWCSYS_WORLD);
}

void drawRuler(const Pen& pen, const StripScale& scale, double left, double top, int width) {
    const bool film = fabs(scale.framesPerSecond - 24.0) < 1e-7;
    const int longEvery = film ? 24 : 10, mediumEvery = film ? 8 : 5, labelEvery = film ? 8 : 10;
    int frame = int(scale.scroll / scale.pixPerFrame);
    if (scale.scroll >= 1) ++frame;
    for (double offset = frame * scale.pixPerFrame - scale.scroll; offset < width;
         offset += scale.pixPerFrame, ++frame) {
        const double x = left + int(offset);
        const double length = frame % longEvery == 0 ? 8.0 : frame % mediumEvery == 0 ? 5.0 : 3.0;
        pen.colour(colorBlack);
        pen.line(x, top - 12.0, x, top - 12.0 - length);
        if (frame % labelEvery == 0) {
            pen.colour(colorWhite);
            pen.number(frame, x, top - 0.5, 10.0);
        }
    }
}

void drawKeys(EditCageState* s, const Pen& pen, const StripScale& scale, double left, double top,
              int width) {
    const bool ranged = s->keyRangeStart != s->keyRangeEnd;
    for (const MixEnvelopeKey* key = s->mixKeyHead; key; key = key->next) {
        const double x = scale.at(key->time);
        if (!(x > 0.0 && x < width)) continue;
        const bool inRange = ranged && s->keyRangeStart - 0.0001 <= key->time &&
                             key->time <= s->keyRangeEnd + 0.0001;
        pen.colour(inRange ? colorYellow : colorGreen);
        const double kx = left + x;
        if (key->keyKinds & 1) {
            pen.line(kx, top - 20.0, kx, top - 31.0);
        } else {
            for (double dash = 21.0; dash < 31.0; dash += 4.0)
                pen.line(kx, top - dash, kx, top - dash - 2.0);
        }
        if (key->keyKinds & 2) {
            pen.line(kx, top - 31.0, kx + 3.0, top - 31.0);
            pen.line(kx, top - 30.0, kx + 3.0, top - 30.0);
        }
    }
    if (!s->grabbedKey) return;
    pen.colour(s->stripDrag == 2 ? colorGreen : colorRed);
    for (const MixEnvelopeKey* key = s->grabbedKey; key; key = key->stripNext) {
        const double x = scale.at(key->stripOrigTime + s->dragTime - s->grabbedTime);
        if (x > 0.0 && x < width) pen.rect(left + x - 1.0, top - 20.0, 3.0, 11.0);
    }
}

float* handleColour(unsigned int stripDrag, unsigned int pressed) {
    return stripDrag == pressed ? colorActiveBlue : colorWhite;
}

void drawButtons(EditCageState* s, const Pen& pen, double left, double top, double right) {
    pen.access->setTexture(pen.access->dispData, kGlyphTextureSize,
                           const_cast<unsigned char*>(glyphTexture()));
    const MixEnvelopeKey* here = searchMixEnvelopeKeyAtTime(s, s->currentTime);
    if (here) {
        pen.colour(here->keyKinds == 3 || here->keyKinds == 2 ? kKeyIndicator : kKeyIndicatorOff);
        pen.glyph(here->keyKinds == 3 ? kGlyphGrip : kGlyphBracket, right - 24.0, top - 15.0, 16.0,
                  16.0);
    }
    pen.colour(handleColour(s->stripDrag, 97));
    pen.glyph(kGlyphLeftTriangle, right - 24.0, top - 1.0, 12.0, 12.0);
    pen.colour(handleColour(s->stripDrag, 98));
    pen.glyph(kGlyphRightTriangle, right - 9.0, top - 1.0, 12.0, 12.0);
    pen.colour(s->stripDrag == 96 ? colorOrange : handleColour(s->stripDrag, 6));
    pen.glyph(kGlyphGrip, left + 8.0, top - 1.0, 14.0, 30.0);
    pen.glyph(kGlyphGrip, right - 42.0, top - 1.0, 14.0, 30.0);
    pen.access->setTexture(pen.access->dispData, 0, nullptr);
}

} // namespace

void drawKeyStrip(EditCageState* s, const OverlayView* view) {
    LWCustomObjAccess* access = s->drawAccess;
    const int w = view->width;
    const double left = -w * 0.5, right = w * 0.5, top = -(view->height * 0.5 - 32.0);
    const LWSceneInfo* scene = stToolServices.sceneInfo;
    StripScale scale;
    scale.framesPerSecond = scene ? scene->framesPerSecond : 0.0;
    scale.pixPerFrame = boundPixPerFrame(s->pixPerFrame);
    scale.scroll = s->timeSliderBX;
    access->setTexture(access->dispData, 0, nullptr);
    access->setPattern(access->dispData, LWLPAT_SOLID);

    Pen pen{access, view, 1.0};
    drawLabel(s, pen, left, top);
    const Pen background{access, view, kLayerBackground};
    background.colour(kStripBackground);
    background.rect(left, top, w, 32.0);
    const Pen edge{access, view, kLayerEdge};
    edge.colour(colorBlack);
    edge.line(left, top, right, top);

    const bool timed = scale.framesPerSecond > 0.0 && isfinite(scale.framesPerSecond);
    if (timed && s->keyRangeStart != s->keyRangeEnd) {
        const double x0 = scale.at(s->keyRangeStart);
        const double width =
            (s->keyRangeEnd - s->keyRangeStart) * scale.framesPerSecond * scale.pixPerFrame;
        if (x0 < w && x0 + width > 0.0) {
            pen.colour(kRangeBand);
            pen.rect(left + x0, top - 0.5, width, 10.5);
        }
    }
    if (timed) {
        access->setTexture(access->dispData, kGlyphTextureSize,
                           const_cast<unsigned char*>(glyphTexture()));
        drawRuler(pen, scale, left, top, w);
        const double marker = scale.at(s->currentTime);
        if (marker > -w && marker < 2.0 * w) {
            pen.colour(colorWhite);
            pen.glyph(kGlyphMarker, left + marker, top - 9.0, 11.0, 11.0);
        }
        access->setTexture(access->dispData, 0, nullptr);
        drawKeys(s, pen, scale, left, top, w);
    }
    const Pen blocks{access, view, kLayerEndBlocks};
    blocks.colour(kEndBlock);
    blocks.rect(left, top, 16.0, 32.0);
    blocks.rect(right - 50.0, top, 50.0, 32.0);
    drawButtons(s, Pen{access, view, kLayerButtons}, left, top, right);
}
