// The event handlers of the tool panel's controls, its popup callbacks and
// its background clicks.
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "module/host_services.h"
#include "module/memory.h"
#include "module/panel_controls.h"
#include "module/ring_protocol.h"
#include "module/servers.h"
#include "module/strings.h"
#include "tool/falloff_panel.h"
#include "tool/tool_lifecycle.h"
#include "tool/tool_mixed_keys.h"
#include "tool/tool_panel.h"
#include "tool/tool_panel_texts.h"
#include "tool/tool_selection.h"
#include "tool/tool_services.h"
#include "tool/tool_undo.h"

namespace {

const double kKeyTolerance = 0.0001;

enum {
    kEditZeroKey = 0,
    kEditCreateKey = 1,
    kEditDeleteKeys = 2,
    kEditFalloffPanel = 4,
    kEditDisplayUnseen = 6,
    kEditDisplayXRay = 8
};

EditCageState* stateOf(void* data) {
    return data ? static_cast<EditCageState*>(data) : &stInstData;
}

double hostTime() {
    return stToolServices.interfaceInfo ? stToolServices.interfaceInfo->curTime : 0.0;
}

int clampInt(int v, int lo, int hi) {
    return v < lo ? lo : v > hi ? hi : v;
}

// Key edits rebuild the merged list with the host envelopes brought in line.
void finishKeyEdit(EditCageState* state) {
    refreshMixEnvelopeKeyData(state, 1);
    state->needsRedraw = 1;
    toolCommand("RefreshNow");
}

void finishSelectionChange(EditCageState* state) {
    refreshMixEnvelopeKeyData(state, 0);
    state->needsRedraw = 1;
    toolCommand("RedrawNow");
}

void deleteInRange(EditCageState* state, double from, double to) {
    deleteKeysWithinTimeRange(state, from, to);
    state->keyRangeStart = state->keyRangeEnd = 0.0;
}

// "Delete Keys": the selected range, else the key at the current time, else
// every key once the user agrees. 0 when nothing was deleted.
int deleteKeysCommand(EditCageState* state) {
    const double t = state->currentTime;
    if (state->keyRangeStart != state->keyRangeEnd) {
        deleteInRange(state, state->keyRangeStart - kKeyTolerance,
                      state->keyRangeEnd + kKeyTolerance);
        return 1;
    }
    if (searchMixEnvelopeKeyAtTime(state, t)) {
        deleteInRange(state, t - kKeyTolerance, t + kKeyTolerance);
        return 1;
    }
    if (LWMessageFuncs* messages = stToolServices.messageFuncs) {
        const unsigned int build = stToolBuildNumber;
        const char* title = (build >= 2000 && build <= 2736)
                                ? TOOL_DELETE_ALL_TITLE_EN
                                : toolText(TOOL_DELETE_ALL_TITLE_EN, TOOL_DELETE_ALL_TITLE_JA);
        const char* text = toolText(TOOL_DELETE_ALL_TEXT_EN, TOOL_DELETE_ALL_TEXT_JA);
        if (!messages->yesNo(title, text, nullptr)) return 0;
    }
    deleteInRange(state, -1e20, 1e20);
    return 1;
}

void setDisplay(EditCageState* state, int display) {
    if (state->selectedCageCount == 0) {
        RingQuery query;
        memset(&query, 0, sizeof query);
        query.value = display;
        sendRingMessage(stToolServices.comRing, RING_TOPIC_CAGES, kRingSetDisplay, &query);
    } else {
        for (int i = 0; i < state->selectedCageCount; ++i)
            state->selectedCages[i]->display = display;
    }
    if (display == 0) {
        clearCageSelection(state);
        refreshMixEnvelopeKeyData(state, 0);
        refreshCurrentCagePopCtl(state);
    }
    state->needsRedraw = 1;
    toolCommand("RedrawNow");
}

// The buffer of one popup name, grown to the name's length + 16.
char* nameBuffer(EditCageState* state, int length) {
    const unsigned int needed = unsigned(length) + 16;
    if (state->cageNameBufferSize < needed) {
        char* grown = static_cast<char*>(morvaneCalloc(needed, 1));
        if (!grown) return nullptr;
        morvaneFree(state->cageNameBuffer);
        state->cageNameBuffer = grown;
        state->cageNameBufferSize = needed;
    }
    return state->cageNameBuffer;
}

// Undo and Redo: a step applied changes the selection and the history.
void pushHistoryButton(void* data, int (*step)(EditCageState*)) {
    if (correctEditMode()) return;
    EditCageState* state = stateOf(data);
    if (!step(state)) return;
    refreshUndoRedoCtl(state);
    refreshCurrentCagePopCtl(state);
}

} // namespace

void getStiffnessParmBySliderValue(int slider, double* factor, int* iterations) {
    // Break points of the piecewise linear curve, every 0.2 of s.
    static const double kBreak[6] = {0.0, 0.2, 0.4, 0.6, 0.8, 1.0};
    static const double kFactor[6] = {0.3, 0.3, 0.32, 0.64, 0.8, 1.0};
    static const double kIterations[6] = {8, 20, 40, 60, 128, 256};
    const double s = slider * 0.005;
    double f = kFactor[5], n = kIterations[5];
    if (s <= 0.0) {
        f = kFactor[0];
        n = kIterations[0];
    } else if (s < 1.0) {
        int i = 0;
        while (s >= kBreak[i + 1])
            ++i;
        const double u = (s - kBreak[i]) / 0.2;
        f = kFactor[i] + (kFactor[i + 1] - kFactor[i]) * u;
        n = kIterations[i] + (kIterations[i + 1] - kIterations[i]) * u;
    }
    *factor = f;
    *iterations = int(n);
}

void changeToolButtonsEvent(LWControlID control, void* data) {
    if (correctEditMode()) return;
    EditCageState* state = stateOf(data);
    for (int i = 0; i < kToolModeCount; ++i)
        if (stToolCtl[i] == control) state->toolMode = i;
    refreshWindow(state);
}

void editCommandPopEvent(LWControlID control, void* data) {
    if (correctEditMode()) return;
    EditCageState* state = stateOf(data);
    reacquireToolServices(kReacquireInterface | kReacquireRing);
    state->currentTime = hostTime();
    const int value = controlInt(control, CTL_VALUE);
    switch (value) {
    case kEditZeroKey:
    case kEditCreateKey:
    case kEditDeleteKeys:
        if (state->selectedCageCount == 0) return;
        if (value == kEditZeroKey)
            setZeroKeyAtTime(state, 1, state->currentTime);
        else if (value == kEditCreateKey)
            setInterpolatedKeyAtTime(state, state->currentTime);
        else if (!deleteKeysCommand(state))
            return;
        finishKeyEdit(state);
        break;
    case kEditFalloffPanel:
        toggleFalloffPanel(state);
        break;
    default:
        if (value >= kEditDisplayUnseen && value <= kEditDisplayXRay)
            setDisplay(state, value - kEditDisplayUnseen);
        break;
    }
}

void cagePopEvent(LWControlID control, void* data) {
    if (correctEditMode()) return;
    EditCageState* state = stateOf(data);
    const int count = getListOfCagesInThisScene(state);
    const int value = controlInt(control, CTL_VALUE);
    if (value <= 0) {
        clearCageSelection(state);
    } else {
        if (value - 1 >= count) return;
        CageInstance* chosen = state->sceneCages[value - 1];
        for (int i = state->selectedCageCount - 1; i >= 0; --i)
            if (state->selectedCages[i] != chosen)
                remove1CageFromSelection(state, state->selectedCages[i]);
        if (state->selectedCageCount == 0) {
            clearCageSelection(state);
            add1CageToSelection(state, chosen, 1);
        }
    }
    refreshKeyButtonsCtl(state);
    finishSelectionChange(state);
}

int popCount_Cage(void* data) {
    return getListOfCagesInThisScene(stateOf(data)) + 1;
}

char* popName_Cage(void* data, int index) {
    EditCageState* state = stateOf(data);
    if (index == 0)
        return const_cast<char*>(
            toolTextUtf8(TOOL_POPUP_NONE_EN, TOOL_POPUP_NONE_JA, TOOL_POPUP_NONE_UTF8_JA));
    const int count = getListOfCagesInThisScene(state);
    if (index < 0 || index - 1 >= count)
        return const_cast<char*>(toolTextUtf8(TOOL_POPUP_MULTIPLE_EN, TOOL_POPUP_MULTIPLE_JA,
                                              TOOL_POPUP_MULTIPLE_UTF8_JA));
    const CageInstance* cage = state->sceneCages[index - 1];
    const char* name = stToolServices.itemInfo ? stToolServices.itemInfo->name(cage->itemID) : "";
    if (!name) name = "";
    if (cage->display != 0) return const_cast<char*>(name);
    const char* unseen = "  (i:178)";
    char* buffer = nameBuffer(state, cStringLength(name) + cStringLength(unseen));
    if (!buffer) return const_cast<char*>(name);
    snprintf(buffer, state->cageNameBufferSize, "%s%s", name, unseen);
    return buffer;
}

void pushOpenPropertyButton(LWControlID, void* data) {
    if (correctEditMode()) return;
    EditCageState* state = stateOf(data);
    if (state->selectedCageCount == 0) return;
    if (state->selectedCageCount > 1) {
        for (int i = 1; i < state->selectedCageCount; ++i) {
            CageInstance* cage = state->selectedCages[i];
            cage->highlighted = 0;
            cage->forceShow = 0;
            for (int p = 0; p < cage->pointCount; ++p)
                if (cage->pointArray[p]->selected) {
                    cage->pointArray[p]->selected = 0;
                    if (state->selectedPointCount > 0) --state->selectedPointCount;
                }
        }
        state->selectedCageCount = 1;
        refreshMixEnvelopeKeyData(state, 0);
        refreshCurrentCagePopCtl(state);
        toolCommand("RedrawNow");
    }
    const LWItemID item = state->selectedCages[0]->itemID;
    LWItemInfo* items = stToolServices.itemInfo;
    for (int n = 1; items && items->server; ++n) {
        const char* name = items->server(item, "CustomObjHandler", n);
        if (!name) return;
        if (!compareCString(name, MORVANE_SERVER_NAME)) {
            char text[96];
            snprintf(text, sizeof text, "SelectItem %x",
                     static_cast<unsigned int>(reinterpret_cast<uintptr_t>(item)));
            toolCommand(text);
            snprintf(text, sizeof text, "EditServer %s %d", "CustomObjHandler", n);
            toolCommand(text);
            return;
        }
    }
}

void changeBrushSizeEvent(LWControlID control, void* data) {
    EditCageState* state = stateOf(data);
    const int hi = state->maxBrushRadius < 4 ? 4 : state->maxBrushRadius;
    const int radius = clampInt(controlInt(control, CTL_VALUE), 4, hi);
    setControlInt(control, CTL_VALUE, radius);
    if (state->toolMode == kModeSelPoint)
        state->pointBrushRadius = radius;
    else
        state->brushRadius = radius;
}

void changePercentControlEvent(LWControlID control, void* data) {
    EditCageState* state = stateOf(data);
    double percent = controlFloat(control);
    if (!(percent >= 0.0)) percent = 0.0; // NaN too
    if (percent > 100.0) percent = 100.0;
    setControlFloat(control, percent);
    if (state->toolMode == kModeReBody)
        state->reBodyStrength = percent * 0.01;
    else
        state->strength = percent * 0.01;
}

void changeIntegerValueControlEvent(LWControlID control, void* data) {
    EditCageState* state = stateOf(data);
    const int slider = clampInt(controlInt(control, CTL_VALUE), 0, 200);
    setControlInt(control, CTL_VALUE, slider);
    state->stiffnessSlider = slider;
    getStiffnessParmBySliderValue(slider, &state->stiffnessFactor, &state->stiffnessIterations);
}

void pushBoolButtonControlEvent(LWControlID control, void* data) {
    if (correctEditMode()) return;
    EditCageState* state = stateOf(data);
    const int value = controlInt(control, CTL_VALUE) ? 1 : 0;
    if (control == stCtl[kCtlEditBase]) {
        state->editBaseCage = value;
        reacquireToolServices(kReacquireRing);
        RingQuery query;
        memset(&query, 0, sizeof query);
        sendRingMessage(stToolServices.comRing, RING_TOPIC_CAGES,
                        value ? kRingShowBaseOn : kRingShowBaseOff, &query);
        refreshKeyButtonsCtl(state);
        toolCommand("RefreshNow");
    } else if (control == stCtl[kCtlFixOuterEdges]) {
        state->fixOuterEdges = value;
    } else if (control == stCtl[kCtlFixOutOfRange]) {
        state->fixPointsOutOfRange = value;
    }
}

void pushKeyEditButtonEvent(LWControlID control, void* data) {
    if (correctEditMode()) return;
    EditCageState* state = stateOf(data);
    if (state->needsRedraw || state->selectedCageCount == 0) return;
    reacquireToolServices(kReacquireInterface | kReacquireRing);
    const double t = hostTime();
    state->currentTime = t;
    if (control == stCtl[kCtlZeroKey]) {
        setZeroKeyAtTime(state, 0, t);
    } else if (control == stCtl[kCtlCreateKey]) {
        setInterpolatedKeyAtTime(state, t);
    } else {
        if (!searchMixEnvelopeKeyAtTime(state, t)) return;
        deleteKeysWithinTimeRange(state, t - kKeyTolerance, t + kKeyTolerance);
    }
    finishKeyEdit(state);
}

void pushPrevNextKeyButton(LWControlID control, void* data) {
    reacquireToolServices(kReacquireInterface);
    reacquireToolServices(kReacquireScene);
    if (correctEditMode()) return;
    EditCageState* state = stateOf(data);
    if (state->selectedCageCount == 0) return;
    MixEnvelopeKey *before = nullptr, *at = nullptr, *after = nullptr;
    searchMixEnvelopeKeyAreaAtTime(state, &before, &at, &after, hostTime());
    const MixEnvelopeKey* target = control == stCtl[kCtlPreviousKey] ? before : after;
    if (target && stToolServices.sceneInfo) {
        char text[96];
        snprintf(text, sizeof text, "GoToFrame %.20f",
                 target->time * stToolServices.sceneInfo->framesPerSecond);
        toolCommand(text);
    }
    state->needsRedraw = 1;
    toolCommand("RefreshNow");
}

void pushUndoButtonEvent(LWControlID, void* data) {
    pushHistoryButton(data, undoOneStep);
}

void pushRedoButtonEvent(LWControlID, void* data) {
    pushHistoryButton(data, redoOneStep);
}

void mouseButton(LWPanelID, void* data, int qualifiers, int, int) {
    // A press of the right button; its release and other buttons do nothing.
    if (!RCLICK(qualifiers) || !(qualifiers & MOUSE_DOWN)) return;
    if (correctEditMode()) return;
    EditCageState* state = stateOf(data);
    state->keyRangeStart = state->keyRangeEnd = 0.0;
    if (state->toolMode == kModeSelCage) {
        clearCageSelection(state);
        refreshMixEnvelopeKeyData(state, 0);
        refreshCurrentCagePopCtl(state);
    } else {
        for (int i = 0; i < state->selectedCageCount; ++i) {
            CageInstance* cage = state->selectedCages[i];
            for (int p = 0; p < cage->pointCount; ++p)
                cage->pointArray[p]->selected = 0;
        }
        state->selectedPointCount = 0;
    }
    state->needsRedraw = 1;
    toolCommand("RedrawNow");
}

void panelClose(LWPanelID, void*) {
    // Only the user's close ends the tool; the tool closing its own panel
    // clears isOpen first.
    if (!isOpen) return;
    closeFalloffPanel();
    isOpen = 0;
    toolCommand("EditObjects");
    toolCommand("ChangeTool");
}
