// The tool's draw callback, called once per viewport while the tool runs.
// It keeps the redraw bookkeeping: a change is drawn in every viewport
// before the merged key list is rebuilt from the cages again.
#include "module/host_services.h"
#include "tool/tool_lifecycle.h"
#include "tool/tool_mixed_keys.h"
#include "tool/tool_panel.h"
#include "tool/tool_services.h"

XCALL_(void) EditCageDraw(LWInstance instance, LWCustomObjAccess*) {
    EditCageState* state = &stInstData;
    if (!state->toolLive) return;
    reacquireToolServices(kReacquireViewports | kReacquireInterface | kReacquireScene);
    const LWInterfaceInfo* iface = stToolServices.interfaceInfo;
    if (iface) state->currentTime = iface->curTime;
    if (instance != state || !isOpen || !iface || !iface->selItems || !iface->selItems[0]) {
        toolCommand("ChangeTool");
        return;
    }

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
