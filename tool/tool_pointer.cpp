#include "tool/tool_pointer.h"

#include <math.h>

#include "geometry/vector.h"
#include "tool/falloff_panel.h"
#include "tool/key_strip.h"
#include "tool/tool_brushes.h"
#include "tool/tool_lasso.h"
#include "tool/tool_lifecycle.h"
#include "tool/tool_mixed_keys.h"
#include "tool/tool_panel.h"
#include "tool/tool_select_modes.h"
#include "tool/tool_services.h"
#include "tool/tool_transforms.h"
#include "tool/tool_view_frame.h"

namespace {

EditCageState* stateOf(LWInstance instance) {
    return instance == &stInstData ? &stInstData : nullptr;
}

// The view frame of the press: the viewport's position and clip range, and
// the screen axes the host gives with the event.
void takeViewFrame(EditCageState* s, const LWToolEvent* event) {
    const LWViewportInfo* views = stToolServices.viewportInfo;
    const int vp = event->viewNumber;
    s->viewportNumber = vp;
    s->viewportType = LVVIEWT_NONE;
    if (views && vp >= 0 && vp < views->numViewports) {
        views->pos(vp, s->eyePos);
        views->clip(vp, &s->hither, &s->yon);
        s->viewportType = views->type(vp);
    }
    copy3D(s->eyePos, s->eyePosAtPress);
    copy3D(event->ax, s->screenX);
    copy3D(event->ay, s->screenY);
    s->pixelSize = len3D(s->screenX);
    normalize3D(s->screenX);
    normalize3D(s->screenY);
    cross3D(s->screenX, s->screenY, s->viewNormal);
}

// The brush radius stays within 4 pixels and half the whole window's
// diagonal; the panel shows a change.
void boundBrushRadius(EditCageState* s) {
    int rect[4] = {0, 0, 0, 0};
    if (getWholeViewportRect(rect)) {
        const double w = (rect[2] - rect[0]) * 0.5, h = (rect[3] - rect[1]) * 0.5;
        const int half = int(sqrt(w * w + h * h));
        s->maxBrushRadius = half > 128 ? half : 128;
    } else {
        s->maxBrushRadius = 640;
    }
    const int before = s->brushRadius;
    if (s->brushRadius <= 3) s->brushRadius = 4;
    if (s->brushRadius > s->maxBrushRadius) s->brushRadius = s->maxBrushRadius;
    if (s->brushRadius != before) refreshWindow(s);
}

// True when the viewport moved since the press: the rest of the drag is
// dropped, what it applied stays.
bool viewMoved(EditCageState* s) {
    const LWViewportInfo* views = stToolServices.viewportInfo;
    if (!views || s->viewportNumber < 0 || s->viewportNumber >= views->numViewports) return false;
    double now[3];
    views->pos(s->viewportNumber, now);
    return now[0] != s->eyePosAtPress[0] || now[1] != s->eyePosAtPress[1] ||
           now[2] != s->eyePosAtPress[2];
}

bool isBrushMode(int mode) {
    return mode >= kModeGrab && mode <= kModeErase;
}

void modePress(EditCageState* s) {
    const int mode = s->toolMode;
    if (isBrushMode(mode) && s->dragButton == 2) {
        radiusDragPress(s);
        return;
    }
    switch (mode) {
    case kModeSelCage:
        selectCagesPress(s);
        break;
    case kModeSelPoint:
        selectPointsPress(s);
        break;
    case kModeSelLasso:
        lassoPress(s);
        break;
    case kModeMove:
    case kModeRotate:
    case kModeStretch:
    case kModeSize:
        transformPress(s);
        break;
    case kModeDrag:
        dragPress(s);
        break;
    case kModeGrab:
    case kModeGrabBody:
    case kModeGrabSkin:
    case kModeGrabTwist:
        surfaceBrushPress(s);
        break;
    case kModeGrabnet:
        grabnetPress(s);
        break;
    case kModeMagnet:
        magnetPress(s);
        break;
    case kModeReBody:
    case kModeErase:
        paintPress(s);
        break;
    default:
        break;
    }
}

void modeMotion(EditCageState* s, const LWToolEvent* event) {
    const int mode = s->toolMode;
    if (isBrushMode(mode) && s->dragButton == 2) {
        radiusDragMotion(s, event);
        return;
    }
    switch (mode) {
    case kModeSelCage:
        if (getEventPosRaw(s, event) >= 0.0) selectCagesDrag(s);
        break;
    case kModeSelPoint:
        if (getEventPosRaw(s, event) >= 0.0) selectPointsDrag(s);
        break;
    case kModeSelLasso:
        if (getEventPosRaw(s, event) >= 0.0) lassoDrag(s);
        break;
    case kModeMove:
    case kModeRotate:
    case kModeStretch:
    case kModeSize:
        transformMotion(s, event);
        break;
    case kModeDrag:
        dragMotion(s, event);
        break;
    case kModeGrab:
    case kModeGrabBody:
    case kModeGrabSkin:
    case kModeGrabTwist:
        surfaceBrushMotion(s, event);
        break;
    case kModeGrabnet:
    case kModeMagnet:
        weightedPointsMotion(s, event);
        break;
    case kModeReBody:
    case kModeErase:
        paintMotion(s, event);
        break;
    default:
        break;
    }
}

} // namespace

XCALL_(int) EditCageDown(LWInstance instance, LWToolEvent* event) {
    EditCageState* s = stateOf(instance);
    if (!s || !event || !s->toolLive) return 1;
    reacquireToolServices(kReacquireChannels | kReacquireEnvelopes | kReacquireInterface |
                          kReacquireRing | kReacquireViewports | kReacquireScene);
    if (stToolServices.interfaceInfo) s->currentTime = stToolServices.interfaceInfo->curTime;
    const FalloffShape falloff = falloffShapeOfSliders(s->falloffCurve1, s->falloffCurve2);
    for (int i = 0; i < 2; ++i) {
        s->falloffFlags[i] = falloff.flags[i];
        s->falloffExponents[i] = falloff.exponents[i];
    }
    s->dragButton = 0;
    s->undoPending = 1;
    s->cancelled = 0;
    s->stripDrag = 0;
    s->grabbedKey = s->grabbedLast = nullptr;
    // A press that finds no point must not leave the last stroke's point.
    s->dragPoint = nullptr;
    destroyLasso(&s->lasso);
    refreshMixEnvelopeKeyData(s, 1);

    takeViewFrame(s, event);
    const double depth = getEventPosRaw(s, event);
    if (depth < 0.0) return 1; // on or behind the eye: the press does nothing
    if (depth > 0.0) s->pixelSize /= depth;
    if (keyStripPress(s, event)) {
        s->needsRedraw = 1;
        return 1;
    }

    boundBrushRadius(s);
    s->dragButton = 1 + ((event->flags & LWTOOLF_ALT_BUTTON) ? 1 : 0);
    modePress(s);
    s->needsRedraw = 1;
    return 1;
}

XCALL_(void) EditCageMove(LWInstance instance, LWToolEvent* event) {
    EditCageState* s = stateOf(instance);
    if (!s || !event || s->needsRedraw) return;
    if (s->stripDrag) {
        keyStripMotion(s, event);
        s->needsRedraw = 1;
        return;
    }
    if (s->cancelled || viewMoved(s)) {
        s->cancelled = 1;
        s->undoPending = 0;
        s->dragButton = 0;
        return;
    }
    if (s->dragButton == 0) return;
    modeMotion(s, event);
    s->needsRedraw = 1;
}

XCALL_(void) EditCageUp(LWInstance instance, LWToolEvent* event) {
    EditCageState* s = stateOf(instance);
    if (!s) return;
    if (s->stripDrag)
        keyStripRelease(s, event);
    else if (s->toolMode == kModeSelLasso)
        lassoRelease(s);
    refreshMixEnvelopeKeyData(s, 1);
    s->stripDrag = 0;
    s->grabbedKey = s->grabbedLast = nullptr;
    s->undoPending = 0;
    s->dragButton = 0;
    s->needsRedraw = 1;
}
