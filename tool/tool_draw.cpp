// The tool's draw callback, called once per viewport while the tool runs.
// It keeps the redraw bookkeeping (a change is drawn in every viewport
// before the merged key list is rebuilt from the cages again) and draws the
// overlay: the cursor, the selected points and the key strip.
#include "geometry/vector.h"
#include "module/host_services.h"
#include "tool/overlay.h"
#include "tool/tool_lifecycle.h"
#include "tool/tool_mixed_keys.h"
#include "tool/tool_panel.h"
#include "tool/tool_services.h"

#include <math.h>

namespace {

void keepRedrawBookkeeping(EditCageState* state) {
    if (state->needsRedraw) {
        state->needsRedraw = 0;
        const int views =
            stToolServices.viewportInfo ? stToolServices.viewportInfo->numViewports : 1;
        state->viewportsToDraw = views > 1 ? views - 1 : 0;
    } else if (state->viewportsToDraw > 0) {
        --state->viewportsToDraw;
    } else if (!state->grabbedKey) {
        // Keys edited outside the tool show up here.
        refreshMixEnvelopeKeyData(state, 0);
    }
}

// The press's viewport moved since the press: the drag is dropped.
void cancelWhenViewMoved(EditCageState* state) {
    const LWViewportInfo* views = stToolServices.viewportInfo;
    if (state->stripDrag || !state->dragButton || !views || !views->pos) return;
    if (state->viewportNumber < 0 || state->viewportNumber >= views->numViewports) return;
    double now[3];
    views->pos(state->viewportNumber, now);
    if (now[0] != state->eyePosAtPress[0] || now[1] != state->eyePosAtPress[1] ||
        now[2] != state->eyePosAtPress[2]) {
        state->cancelled = 1;
        state->dragButton = 0;
    }
}

} // namespace

XCALL_(void) EditCageDraw(LWInstance instance, LWCustomObjAccess* access) {
    EditCageState* state = &stInstData;
    if (!state->toolLive) return;
    reacquireToolServices(kReacquireViewports | kReacquireInterface | kReacquireScene);
    state->drawAccess = access;
    const LWInterfaceInfo* iface = stToolServices.interfaceInfo;
    if (iface) state->currentTime = iface->curTime;
    if (instance != state || !isOpen || !iface || !iface->selItems || !iface->selItems[0]) {
        toolCommand("ChangeTool");
        return;
    }
    keepRedrawBookkeeping(state);
    if (!access) return;

    OverlayView view;
    const int vp = findDrawnViewport(access);
    if (vp < 0 || !setupOverlayView(access, vp, &view)) return;
    if (view.perspective && len3D(access->viewPos) > 100.0 * view.farClip) return;
    const int pressedHere = vp == state->viewportNumber;
    if (pressedHere) cancelWhenViewMoved(state);

    if (access->setDrawMode) access->setDrawMode(access->dispData, 0);
    access->setPattern(access->dispData, LWLPAT_SOLID);
    if (state->dragButton && pressedHere) drawToolCursor(state, &view);
    drawSelectedPoints(state, &view);
    drawKeyStrip(state, &view);
    state->drawAccess = nullptr;
}
