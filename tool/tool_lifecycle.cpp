#include "tool/tool_lifecycle.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

#include "module/host_services.h"
#include "module/memory.h"
#include "tool/falloff_panel.h"
#include "tool/tool_panel.h"
#include "tool/tool_pointer.h"
#include "tool/tool_lasso.h"
#include "module/version.h"
#include "tool/tool_mixed_keys.h"
#include "tool/tool_ring.h"
#include "tool/tool_undo.h"
#include "tool/tool_selection.h"
#include "tool/tool_services.h"
#include "tool/tool_texts.h"

EditCageState stInstData;
int stToolEverActivated = 0;

namespace {

const double kPi = 3.141592653589793;

void setKeptDefaults(EditCageState* state) {
    state->brushRadius = 240;
    state->pointBrushRadius = 8;
    state->falloffCurve1 = 0;
    state->falloffCurve2 = 0;
    state->reBodyStrength = 0.5;
    state->strength = 0.2;
    state->stiffnessFactor = 0.64;
    state->stiffnessIterations = 60;
    state->stiffnessSlider = 120;
    state->fixOuterEdges = 0;
    state->fixPointsOutOfRange = 0;
    state->timeSliderBX = -40;
    state->pixPerFrame = 16.0;
}

} // namespace

void initEditCageState(EditCageState* state, int firstActivation) {
    EditCageState kept = *state;
    if (firstActivation) setKeptDefaults(&kept);

    memset(state, 0, sizeof *state);
    state->brushRadius = kept.brushRadius;
    state->pointBrushRadius = kept.pointBrushRadius;
    state->falloffCurve1 = kept.falloffCurve1;
    state->falloffCurve2 = kept.falloffCurve2;
    state->reBodyStrength = kept.reBodyStrength;
    state->strength = kept.strength;
    state->stiffnessFactor = kept.stiffnessFactor;
    state->stiffnessIterations = kept.stiffnessIterations;
    state->stiffnessSlider = kept.stiffnessSlider;
    state->fixOuterEdges = kept.fixOuterEdges;
    state->fixPointsOutOfRange = kept.fixPointsOutOfRange;
    state->timeSliderBX = kept.timeSliderBX;
    state->pixPerFrame = kept.pixPerFrame;

    state->needsRedraw = 1;
    state->currentTime = double(-1e20f);
    state->maxBrushRadius = 640;
    state->pixelSize = 2e-6;
    snprintf(state->versionText, sizeof state->versionText, "Ver %0.2f", double(MORVANE_VERSION));
    for (int k = 0; k < 64; ++k) {
        state->circleTable[k][0] = cos(k * 2.0 * kPi / 64.0);
        state->circleTable[k][1] = sin(k * 2.0 * kPi / 64.0);
    }
    state->toolLive = 1;
}

void releaseToolData(EditCageState* state) {
    destroyUndoStcData(state);
    destroyMixEnvelopeKeyData(state);
    clearCageSelection(state);
    freeCageLists(state);
    morvaneFree(state->cageNameBuffer);
    state->cageNameBuffer = nullptr;
    state->cageNameBufferSize = 0;
    destroyLasso(&state->lasso);
}

void forgetEditTool(void) {
    destroyUndoStcData(&stInstData);
    destroyMixEnvelopeKeyData(&stInstData);
    freeCageLists(&stInstData);
    morvaneFree(stInstData.cageNameBuffer);
    destroyLasso(&stInstData.lasso);
    memset(&stInstData, 0, sizeof stInstData);
    stToolPanel = nullptr;
    stFalloffPanel = nullptr;
    stRastIDFO = nullptr;
    isOpen = 0;
    isOpenFO = 0;
    stToolEverActivated = 0;
    stToolLocal = nullptr;
}

void fillEditCageFuncs(LWLayoutToolFuncs* funcs) {
    funcs->done = EditCageDone;
    funcs->draw = EditCageDraw;
    funcs->help = EditCageHelp;
    funcs->dirty = EditCageDirty;
    funcs->event = EditCageEvent;
    funcs->down = EditCageDown;
    funcs->move = EditCageMove;
    funcs->up = EditCageUp;
}

XCALL_(void) EditCageDone(LWInstance instance) {
    if (instance != &stInstData) return;
    reacquireToolServices(kReacquireRing);
    releaseToolData(&stInstData);
    closeFalloffPanel();
    closeToolPanel();
    detachToolRing();
    sendToolEnds();
    if (stInstData.editBaseCage) {
        stInstData.editBaseCage = 0;
        sendShowBaseOff();
    }
    if (stInstData.toolLive) {
        stInstData.toolLive = 0;
        toolCommand("RefreshNow");
    }
}

XCALL_(const char*) EditCageHelp(LWInstance, LWToolEvent*) {
    return TOOL_HELP_TEXT;
}

XCALL_(int) EditCageDirty(LWInstance instance) {
    if (instance != &stInstData) return 0;
    return stInstData.needsRedraw ? LWT_DIRTY_WIREFRAME | LWT_DIRTY_HELPTEXT : 0;
}

XCALL_(void) EditCageEvent(LWInstance, int) {}
