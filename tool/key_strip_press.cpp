// The press on the key strip: its geometry and its zones, tested in order
// (zoom handles, buttons, current-time marker, upper band, lower band).
#include "tool/key_strip.h"

#include <math.h>
#include <stdio.h>

#include "cage/cage_keys.h"
#include "geometry/frame_time.h"
#include "module/key_strip_scale.h"
#include "tool/tool_mixed_keys.h"
#include "tool/tool_services.h"
#include "tool/tool_view_frame.h"

namespace {

const double kStripHeight = 32.0;

// Where the press is on the strip, in pixels from its top-left corner, and
// the strip time under it.
struct StripPoint {
    double px, py, t;
    double width; // the viewport's
    int right;    // the alternate button
};

void takeStripScale(EditCageState* s) {
    const LWSceneInfo* scene = stToolServices.sceneInfo;
    const double fps = scene ? scene->framesPerSecond : 0.0;
    s->secondsPerFrame = fps > 0.0 && isfinite(fps) ? 1.0 / fps : 1.0 / 30.0;
    s->pixPerFrame = boundPixPerFrame(s->pixPerFrame);
    s->timeSliderBX = boundStripPixels(s->timeSliderBX);
    s->secondsPerPixel = s->secondsPerFrame / s->pixPerFrame;
    const LWInterfaceInfo* iface = stToolServices.interfaceInfo;
    s->fractionalFrames = iface && (iface->generalFlags & LWGENF_FRACTIONALFRAME) ? 1 : 0;
}

// The strip is the bottom 32 pixels of the event's viewport; 0 when the
// viewport is unknown.
int takeStripRect(EditCageState* s) {
    const LWViewportInfo* views = stToolServices.viewportInfo;
    const int vp = s->viewportNumber;
    if (!views || !views->rect || vp < 0 || vp >= views->numViewports) return 0;
    int* r = s->viewportRect;
    views->rect(vp, &r[0], &r[1], &r[2], &r[3]);
    const double ps = s->pixelSize;
    s->stripRect[0] = -r[2] * ps / 2.0;
    s->stripRect[1] = -(r[3] / 2.0 - kStripHeight) * ps;
    s->stripRect[2] = r[2] * ps;
    s->stripRect[3] = kStripHeight * ps;
    return r[2] > 0 && ps > 0.0 && isfinite(ps);
}

int onStrip(const EditCageState* s) {
    const double x = s->cursorScreen[0], y = s->cursorScreen[1];
    const double* r = s->stripRect;
    return x - r[0] >= 0.0 && r[0] + r[2] >= x && r[1] - y >= 0.0 && r[3] >= r[1] - y;
}

// The strip shows the preview range with room for its buttons.
void fitPreviewRange(EditCageState* s) {
    const LWInterfaceInfo* iface = stToolServices.interfaceInfo;
    int rect[4] = {0, 0, 0, 0};
    if (!iface || !getWholeViewportRect(rect)) return;
    const double first = iface->previewStart, last = iface->previewEnd;
    if (!(last > first)) return; // an empty range has no scale to fit
    const double width = rect[2] - rect[0];
    const int newer = stToolBuildNumber >= 2000;
    s->pixPerFrame = boundPixPerFrame((width - (newer ? 257.0 : 226.0)) / (last - first));
    const int margin = newer && rect[0] >= 50 ? 147 : 112;
    s->timeSliderBX = boundStripPixels(first * s->pixPerFrame) - margin;
}

void previousOrNextKey(EditCageState* s, const StripPoint& p) {
    if (s->selectedCageCount == 0) return;
    MixEnvelopeKey *before, *at, *after;
    searchMixEnvelopeKeyAreaAtTime(s, &before, &at, &after, s->currentTime);
    const MixEnvelopeKey* target = s->stripDrag == kStripPreviousKey ? before : after;
    if (!target) return;
    // The key comes into view with a margin when it is off the strip.
    const int k = boundStripPixels(target->time / s->secondsPerPixel);
    const double d = double(k) - s->timeSliderBX;
    if (d <= 31.0)
        s->timeSliderBX = k - 32;
    else if (d > p.width - 66.0)
        s->timeSliderBX = boundStripPixels(k + 66.0 - p.width);
    goToStripTime(s, target->time);
}

void toggleBreakFlag(EditCageState* s) {
    if (s->selectedCageCount == 0) return;
    MixEnvelopeKey* entry = searchMixEnvelopeKeyAtTime(s, s->currentTime);
    if (!entry || !entry->cageKeys) return;
    const unsigned char flag = entry->cageKeys->breakFlag ? 0 : 1;
    for (CageKey* key = entry->cageKeys; key; key = key->mixNext)
        key->breakFlag = flag;
}

void buttonPress(EditCageState* s, const StripPoint& p, double r) {
    if (p.py <= 16.0) {
        s->stripDrag = r > 16.0 ? kStripPreviousKey : kStripNextKey;
        previousOrNextKey(s, p);
        return;
    }
    if (r > 16.0) toggleBreakFlag(s);
    s->stripDrag = kStripBreakFlag;
}

void upperBandPress(EditCageState* s, const StripPoint& p) {
    if (!p.right) {
        s->timeSliderBXAtPress = s->timeSliderBX;
        s->stripDrag = kStripScroll;
        return;
    }
    const double t = p.t;
    if (s->keyRangeStart < t && t < s->keyRangeEnd) {
        // The nearer end follows the cursor.
        if (t - s->keyRangeStart < s->keyRangeEnd - t) {
            s->keyRangeStart = t;
            s->rangeAnchor = s->keyRangeEnd;
        } else {
            s->keyRangeEnd = t;
            s->rangeAnchor = s->keyRangeStart;
        }
    } else {
        s->keyRangeStart = s->keyRangeEnd = 0.0;
        s->rangeAnchor = t;
    }
    s->stripDrag = kStripRange;
}

MixEnvelopeKey* nearestKey(EditCageState* s, double t) {
    MixEnvelopeKey* best = nullptr;
    double bestDistance = 6.0 * s->secondsPerPixel;
    for (MixEnvelopeKey* e = s->mixKeyHead; e; e = e->next) {
        const double distance = fabs(e->time - t);
        if (distance < bestDistance) {
            best = e;
            bestDistance = distance;
        }
    }
    return best;
}

// The entries inside the selected range, linked in time order as a run.
void grabRange(EditCageState* s) {
    MixEnvelopeKey* last = nullptr;
    int count = 0;
    for (MixEnvelopeKey* e = s->mixKeyHead; e; e = e->next) {
        if (!(s->keyRangeStart < e->time && e->time < s->keyRangeEnd)) continue;
        e->stripOrigTime = e->time;
        e->stripPrev = last;
        e->stripNext = nullptr;
        if (last)
            last->stripNext = e;
        else
            s->grabbedKey = e;
        last = e;
        ++count;
    }
    s->grabbedLast = last;
    if (count >= 2) {
        s->keyRangeStart = s->grabbedKey->time - kRangeMargin;
        s->keyRangeEnd = last->time + kRangeMargin;
    }
}

void lowerBandPress(EditCageState* s, const StripPoint& p) {
    MixEnvelopeKey* g = nearestKey(s, p.t);
    if (!g) {
        s->dragTime = snapStripTime(s, p.t);
        goToStripTime(s, s->dragTime);
        s->stripDrag = kStripScrub;
        return;
    }
    s->grabbedTime = s->dragTime = g->time;
    if (s->keyRangeStart < g->time && g->time < s->keyRangeEnd) {
        grabRange(s);
    } else {
        g->stripOrigTime = g->time;
        g->stripPrev = g->stripNext = nullptr;
        s->grabbedKey = g;
        s->grabbedLast = nullptr;
    }
    s->stripDrag = p.right ? kStripCopyKeys : kStripMoveKeys;
}

} // namespace

double snapStripTime(const EditCageState* s, double t) {
    return s->fractionalFrames ? t
                               : getIntegerFrameTimeWithFractionalFrameTime(t, s->secondsPerFrame);
}

void goToStripTime(const EditCageState* s, double t) {
    char text[96];
    snprintf(text, sizeof text, "GoToFrame %.20f", t / s->secondsPerFrame);
    toolCommand(text);
}

int keyStripPress(EditCageState* s, const LWToolEvent* event) {
    takeStripScale(s);
    if (!takeStripRect(s) || !onStrip(s)) return 0;
    StripPoint p;
    p.px = (s->cursorScreen[0] - s->stripRect[0]) / s->pixelSize;
    p.py = (s->stripRect[1] - s->cursorScreen[1]) / s->pixelSize;
    p.t = (s->timeSliderBX + p.px) * s->secondsPerPixel;
    p.width = s->viewportRect[2];
    p.right = (event->flags & LWTOOLF_ALT_BUTTON) ? 1 : 0;
    s->timeAtPress = s->dragTime = p.t;

    const double w = p.width, r = w - p.px;
    if (p.px < 16.0 || (w - 50.0 < p.px && p.px < w - 34.0)) {
        s->timeSliderBXAtPress = s->timeSliderBX;
        s->pixPerFrameAtPress = s->pixPerFrame;
        if (p.right) fitPreviewRange(s);
        s->stripDrag = p.right ? kStripFit : kStripZoom;
    } else if (r >= 0.0 && r <= 34.0) {
        buttonPress(s, p, r);
    } else if (fabs(s->currentTime - p.t) < 8.0 * s->secondsPerPixel && p.py > 8.0 && p.py < 23.0) {
        s->stripDrag = kStripScrub;
    } else if (p.py < 14.0) {
        upperBandPress(s, p);
    } else {
        lowerBandPress(s, p);
    }
    return 1;
}
