// Motion during a strip drag: scroll, zoom, range, scrub, and the grabbed
// keys following the cursor without ever landing on another key's time.
#include "tool/key_strip.h"

#include <math.h>

#include "cage/cage_keys.h"
#include "module/key_strip_scale.h"
#include "tool/tool_mixed_keys.h"
#include "tool/tool_view_frame.h"

namespace {

const double kTol = CAGE_KEY_TIME_TOLERANCE;

int takenByOther(const EditCageState* s, const MixEnvelopeKey* self, double t) {
    for (const MixEnvelopeKey* e = s->mixKeyHead; e; e = e->next)
        if (e != self && fabs(e->time - t) < kTol) return 1;
    return 0;
}

// One key follows to t unless another key is there: then it stays at its
// last free place.
void moveSingle(EditCageState* s, double t) {
    MixEnvelopeKey* g = s->grabbedKey;
    if (takenByOther(s, g, t)) return;
    removeMixEnvelopeKeysFromList(s, g);
    g->time = t;
    linkMixEnvelopeKeyInOrder(s, g);
    s->dragTime = t;
}

// A run moves as a whole, keeping its spacing, or not at all.
void moveRun(EditCageState* s, double t) {
    const double offset = t - s->grabbedTime;
    removeMixEnvelopeKeysFromList(s, s->grabbedKey);
    int collision = 0;
    for (MixEnvelopeKey* e = s->grabbedKey; e && !collision; e = e->stripNext)
        collision = takenByOther(s, nullptr, e->stripOrigTime + offset);
    for (MixEnvelopeKey* e = s->grabbedKey; e; e = e->stripNext) {
        if (!collision) e->time = e->stripOrigTime + offset;
        linkMixEnvelopeKeyInOrder(s, e);
    }
    if (collision) return;
    s->dragTime = t;
    s->keyRangeStart = s->grabbedKey->time - kRangeMargin;
    s->keyRangeEnd = s->grabbedLast->time + kRangeMargin;
}

// The time 24 pixels from the strip's left edge stays in place.
void zoom(EditCageState* s, int dx) {
    s->pixPerFrame = boundPixPerFrame(s->pixPerFrameAtPress + 0.01 * dx);
    const double kept = (s->timeSliderBXAtPress + 24.0) * s->pixPerFrame / s->pixPerFrameAtPress;
    s->timeSliderBX = boundStripPixels(kept) - 24;
}

} // namespace

void keyStripMotion(EditCageState* s, const LWToolEvent* event) {
    getEventPosRaw(s, event);
    const int dx = event->dx;
    const double t = dx * s->secondsPerPixel + s->timeAtPress;
    switch (s->stripDrag) {
    case kStripScroll:
        s->timeSliderBX = boundStripPixels(double(s->timeSliderBXAtPress) - dx);
        break;
    case kStripMoveKeys:
        if (!s->grabbedKey) break;
        if (grabbedRun(s))
            moveRun(s, snapStripTime(s, t));
        else
            moveSingle(s, snapStripTime(s, t));
        break;
    case kStripCopyKeys:
        s->dragTime = snapStripTime(s, t);
        break;
    case kStripRange:
        s->dragTime = t;
        s->keyRangeStart = t < s->rangeAnchor ? t : s->rangeAnchor;
        s->keyRangeEnd = t < s->rangeAnchor ? s->rangeAnchor : t;
        break;
    case kStripScrub:
        s->dragTime = snapStripTime(s, t);
        goToStripTime(s, s->dragTime);
        break;
    case kStripZoom:
        zoom(s, dx);
        break;
    default:
        break;
    }
}
