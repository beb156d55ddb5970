#include "tool/tool_panel.h"

#include <string.h>

#include "module/host_services.h"
#include "module/panel_controls.h"
#include "tool/falloff_panel.h"
#include "tool/tool_lifecycle.h"
#include "tool/tool_panel_texts.h"
#include "tool/tool_selection.h"
#include "tool/tool_services.h"
#include "tool/tool_undo.h"

LWPanelID stToolPanel = nullptr;
LWControl* stCtl[kCtlCount];
LWControl* stToolCtl[kToolModeCount];
int stControlsHeight = 0;
int isOpen = 0;

namespace {

const char* toolList_En[] = {TOOLLIST_EN_ITEMS, nullptr};
const char* toolList_Jp[] = {TOOLLIST_JA_ITEMS, nullptr};
const char* editCommandList_En[] = {EDITCOMMANDLIST_EN_ITEMS, nullptr};
const char* editCommandList_Jp[] = {EDITCOMMANDLIST_JA_ITEMS, nullptr};
const char* editCommandList_UTF8_Jp[] = {EDITCOMMANDLIST_UTF8_JA_ITEMS, nullptr};

const unsigned int kFirstUtf8Build = 3211;
const char kPanelTitle[] = "Morvane Tool";

const char** editCommandItems() {
    static const char** const lists[3] = {editCommandList_En, editCommandList_Jp,
                                          editCommandList_UTF8_Jp};
    return lists[toolTextVariant()];
}

LWPanelFuncs* panelFuncs() {
    return stToolServices.panelFuncs;
}

LWControl* addControl(const char* type, LWPanControlDesc* desc, const char* label) {
    return addPanelControl(panelFuncs(), stToolPanel, type, desc, label);
}

LWControl* addArea(const char* type, const char* label, int width) {
    LWPanControlDesc desc;
    memset(&desc, 0, sizeof desc);
    desc.type = LWT_AREA;
    desc.area.width = width;
    return addControl(type, &desc, label);
}

LWControl* addRange(const char* type, const char* label, int width, int min, int max) {
    LWPanControlDesc desc;
    memset(&desc, 0, sizeof desc);
    desc.type = LWT_RANGE;
    desc.range.width = width;
    desc.range.min = min;
    desc.range.max = max;
    return addControl(type, &desc, label);
}

int hotHeight(LWControl* control) {
    return controlInt(control, CTL_HOTH);
}

int below(LWControl* control, int gap) {
    return controlInt(control, CTL_Y) + hotHeight(control) + gap;
}

// The control's label ends at the anchor column.
void placeAtAnchor(LWControl* control, int anchor, int y) {
    moveControl(control, anchor - controlInt(control, CTL_LABELWIDTH), y);
}

int createControls() {
    LWPanControlDesc desc;
    memset(&desc, 0, sizeof desc);
    desc.type = LWT_STRING;
    desc.string.width = 13;
    stCtl[kCtlInfo] = addControl("InfoControl", &desc, "");

    memset(&desc, 0, sizeof desc);
    desc.type = LWT_CHOICE;
    desc.choice.vertical = MX_POPUP;
    desc.choice.items = editCommandItems();
    stCtl[kCtlEdit] =
        addControl("PopDownControl", &desc, toolText(TOOL_PANEL_EDIT_EN, TOOL_PANEL_EDIT_JA));

    memset(&desc, 0, sizeof desc);
    desc.type = LWT_POPUP;
    desc.popup.width = 130;
    desc.popup.countFn = popCount_Cage;
    desc.popup.nameFn = popName_Cage;
    stCtl[kCtlCurrent] = addControl("CustomPopupControl", &desc,
                                    toolText(TOOL_PANEL_CURRENT_EN, TOOL_PANEL_CURRENT_JA));
    stCtl[kCtlProperty] = addArea("ButtonControl", "P", 20);

    const char** toolList = isJapaneseLocale(stGlobal) ? toolList_Jp : toolList_En;
    for (int i = 0; i < kToolModeCount; ++i)
        stToolCtl[i] = addArea("BoolButtonControl", toolList[i], 80);

    stCtl[kCtlBrushRadius] =
        addRange("MiniSliderControl",
                 toolText(TOOL_PANEL_BRUSH_RADIUS_EN, TOOL_PANEL_BRUSH_RADIUS_JA), 3, 4, 1000000);
    stCtl[kCtlStrength] = addRange(
        "PercentControl", toolText(TOOL_PANEL_STRENGTH_EN, TOOL_PANEL_STRENGTH_JA), 3, 0, 100);
    stCtl[kCtlStiffness] = addRange(
        "HSlideControl", toolText(TOOL_PANEL_STIFFNESS_EN, TOOL_PANEL_STIFFNESS_JA), 92, 0, 200);

    memset(&desc, 0, sizeof desc);
    desc.type = LWT_BOOLEAN;
    stCtl[kCtlFixOuterEdges] = addControl(
        "BoolControl", &desc, toolText(TOOL_PANEL_FIX_OUTER_EN, TOOL_PANEL_FIX_OUTER_JA));
    stCtl[kCtlFixOutOfRange] =
        addControl("BoolControl", &desc,
                   toolText(TOOL_PANEL_FIX_OUT_OF_RANGE_EN, TOOL_PANEL_FIX_OUT_OF_RANGE_JA));
    stCtl[kCtlEditBase] = addArea("BoolButtonControl",
                                  toolText(TOOL_PANEL_EDIT_BASE_EN, TOOL_PANEL_EDIT_BASE_JA), 108);
    stCtl[kCtlZeroKey] =
        addArea("ButtonControl", toolText(TOOL_PANEL_ZERO_KEY_EN, TOOL_PANEL_ZERO_KEY_JA), 76);
    stCtl[kCtlCreateKey] =
        addArea("ButtonControl", toolText(TOOL_PANEL_CREATE_KEY_EN, TOOL_PANEL_CREATE_KEY_JA), 76);
    stCtl[kCtlDeleteKey] =
        addArea("ButtonControl", toolText(TOOL_PANEL_DELETE_KEY_EN, TOOL_PANEL_DELETE_KEY_JA), 76);
    stCtl[kCtlPreviousKey] = addArea("ButtonControl", "(i:103)", 20);
    stCtl[kCtlNextKey] = addArea("ButtonControl", "(i:104)", 20);
    stCtl[kCtlUndo] =
        addArea("ButtonControl", toolText(TOOL_PANEL_UNDO_EN, TOOL_PANEL_UNDO_JA), 48);
    stCtl[kCtlRedo] =
        addArea("ButtonControl", toolText(TOOL_PANEL_REDO_EN, TOOL_PANEL_REDO_JA), 48);

    for (int i = 0; i < kCtlCount; ++i)
        if (i != 4 && (i < 14 || i > 19) && !stCtl[i]) return 0;
    for (int i = 0; i < kToolModeCount; ++i)
        if (!stToolCtl[i]) return 0;
    return 1;
}

// Places every control from the heights the host reports.
void placeControls() {
    placeAtAnchor(stCtl[kCtlInfo], 33, 0);
    moveControl(stCtl[kCtlEdit], 110, 0);
    const int h1 = hotHeight(stCtl[kCtlEdit]);
    placeAtAnchor(stCtl[kCtlCurrent], 50, h1 + 10);
    placeAtAnchor(stCtl[kCtlProperty], 182, h1 + 10);
    const int h3 = hotHeight(stCtl[kCtlProperty]);

    // Two columns of tool buttons overlapping by a pixel; "Move" starts a
    // group of its own in the left column.
    const int top = h1 + h3 + 20;
    for (int i = 0; i < kToolModeCount; ++i) {
        const int anchor = i < 7 ? 26 : 110;
        int y = top;
        if (i == 3)
            y = below(stToolCtl[2], 8);
        else if (i != 0 && i != 7)
            y = controlInt(stToolCtl[i - 1], CTL_Y) + hotHeight(stToolCtl[i - 1]) - 1;
        placeAtAnchor(stToolCtl[i], anchor, y);
    }

    LWControl* lowest = stToolCtl[0];
    for (int i = 1; i < kToolModeCount; ++i)
        if (below(stToolCtl[i], 0) > below(lowest, 0)) lowest = stToolCtl[i];
    placeAtAnchor(stCtl[kCtlBrushRadius], 86, below(lowest, 10));
    placeAtAnchor(stCtl[kCtlStrength], 86, below(stCtl[kCtlBrushRadius], 4));
    placeAtAnchor(stCtl[kCtlStiffness], 86, below(stCtl[kCtlStrength], 4));
    placeAtAnchor(stCtl[kCtlFixOuterEdges], 41, below(stCtl[kCtlStiffness], 4));
    placeAtAnchor(stCtl[kCtlFixOutOfRange], 41, below(stCtl[kCtlFixOuterEdges], 4));
    moveControl(stCtl[kCtlEditBase], 86, below(stCtl[kCtlFixOutOfRange], 10));
    const int keyRow = below(stCtl[kCtlEditBase], 10);
    moveControl(stCtl[kCtlZeroKey], 32, keyRow);
    moveControl(stCtl[kCtlCreateKey], 112, keyRow);
    moveControl(stCtl[kCtlDeleteKey], 112, below(stCtl[kCtlCreateKey], 2));
    const int lastRow = below(stCtl[kCtlDeleteKey], 8);
    moveControl(stCtl[kCtlPreviousKey], 146, lastRow);
    moveControl(stCtl[kCtlNextKey], 166, lastRow);
    moveControl(stCtl[kCtlUndo], 41, lastRow);
    moveControl(stCtl[kCtlRedo], 88, lastRow);
    stControlsHeight = below(stCtl[kCtlRedo], 10);
}

void attachHandlers(EditCageState* state) {
    for (int i = 0; i < kToolModeCount; ++i)
        setControlEvent(stToolCtl[i], changeToolButtonsEvent, state);
    setControlEvent(stCtl[kCtlEdit], editCommandPopEvent, state);
    setControlEvent(stCtl[kCtlCurrent], cagePopEvent, state);
    setControlEvent(stCtl[kCtlProperty], pushOpenPropertyButton, state);
    setControlEvent(stCtl[kCtlBrushRadius], changeBrushSizeEvent, state);
    setControlEvent(stCtl[kCtlStrength], changePercentControlEvent, state);
    setControlEvent(stCtl[kCtlStiffness], changeIntegerValueControlEvent, state);
    setControlEvent(stCtl[kCtlFixOuterEdges], pushBoolButtonControlEvent, state);
    setControlEvent(stCtl[kCtlFixOutOfRange], pushBoolButtonControlEvent, state);
    setControlEvent(stCtl[kCtlEditBase], pushBoolButtonControlEvent, state);
    setControlEvent(stCtl[kCtlZeroKey], pushKeyEditButtonEvent, state);
    setControlEvent(stCtl[kCtlCreateKey], pushKeyEditButtonEvent, state);
    setControlEvent(stCtl[kCtlDeleteKey], pushKeyEditButtonEvent, state);
    setControlEvent(stCtl[kCtlPreviousKey], pushPrevNextKeyButton, state);
    setControlEvent(stCtl[kCtlNextKey], pushPrevNextKeyButton, state);
    setControlEvent(stCtl[kCtlUndo], pushUndoButtonEvent, state);
    setControlEvent(stCtl[kCtlRedo], pushRedoButtonEvent, state);
}

void enable(LWControl* control, int on) {
    control->draw(control, on ? DR_RENDER : DR_GHOST);
}

} // namespace

const char* toolText(const char* english, const char* japanese) {
    return localText(stGlobal, english, japanese);
}

int toolTextVariant(void) {
    if (!isJapaneseLocale(stGlobal)) return kTextEnglish;
    return stToolBuildNumber >= kFirstUtf8Build ? kTextUtf8 : kTextShiftJis;
}

const char* toolTextUtf8(const char* english, const char* japanese, const char* japaneseUtf8) {
    const char* texts[3] = {english, japanese, japaneseUtf8};
    return texts[toolTextVariant()];
}

int buildToolPanel(EditCageState* state) {
    if (stToolPanel) return 1;
    LWPanelFuncs* panels = panelFuncs();
    stToolPanel = panels->create(const_cast<char*>(kPanelTitle), state);
    if (!stToolPanel) return 0;
    memset(stCtl, 0, sizeof stCtl);
    memset(stToolCtl, 0, sizeof stToolCtl);
    if (!createControls()) {
        panels->destroy(stToolPanel);
        stToolPanel = nullptr;
        return 0;
    }
    placeControls();
    return 1;
}

void openToolPanel(EditCageState* state) {
    if (!stToolPanel) return;
    LWPanelFuncs* panels = panelFuncs();
    attachHandlers(state);
    panels->set(stToolPanel, PAN_USERDATA, state);
    panels->set(stToolPanel, PAN_USERDRAW, reinterpret_cast<void*>(panelDraw));
    panels->set(stToolPanel, PAN_USERCLOSE, reinterpret_cast<void*>(panelClose));
    panels->set(stToolPanel, PAN_MOUSEBUTTON, reinterpret_cast<void*>(mouseButton));
    if (isOpen) {
        resetPanelParm(state);
        panels->draw(stToolPanel, DR_REFRESH);
        return;
    }
    isOpen = 1;
    resetPanelParm(state);
    panels->open(stToolPanel, PANF_NOBUTT);
    int width = kToolPanelWidth;
    panels->set(stToolPanel, PAN_W, &width);
    panels->set(stToolPanel, PAN_H, &stControlsHeight);
    refreshWindow(state);
}

void closeToolPanel(void) {
    if (!isOpen || !stToolPanel) return;
    isOpen = 0;
    stToolServices.panelFuncs->close(stToolPanel);
}

void refreshWindow(EditCageState* state) {
    if (!isOpen) return;
    resetPanelParm(state);
    panelFuncs()->draw(stToolPanel, DR_REFRESH);
}

void resetPanelParm(EditCageState* state) {
    if (!isOpen) return;
    setControlText(stCtl[kCtlInfo], state->versionText);
    for (int i = 0; i < kToolModeCount; ++i)
        setControlInt(stToolCtl[i], CTL_VALUE, 0);
    const int mode = state->toolMode;
    if (mode >= 0 && mode < kToolModeCount) setControlInt(stToolCtl[mode], CTL_VALUE, 1);

    setControlInt(stCtl[kCtlBrushRadius], CTL_VALUE,
                  mode == kModeSelPoint ? state->pointBrushRadius : state->brushRadius);
    setControlInt(stCtl[kCtlEditBase], CTL_VALUE, state->editBaseCage);
    const double strength = mode == kModeReBody ? state->reBodyStrength : state->strength;
    setControlFloat(stCtl[kCtlStrength], double(float(strength * 100.0)));
    setControlInt(stCtl[kCtlStiffness], CTL_VALUE, state->stiffnessSlider);
    setControlInt(stCtl[kCtlFixOuterEdges], CTL_VALUE, state->fixOuterEdges);
    setControlInt(stCtl[kCtlFixOutOfRange], CTL_VALUE, state->fixPointsOutOfRange);

    // Which brush settings the mode uses: radius, strength, stiffness and
    // the two check boxes.
    static const unsigned char kEnabled[kToolModeCount][5] = {
        {0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0},
        {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0},
        {1, 0, 0, 1, 0}, {1, 0, 1, 1, 1}, {1, 0, 1, 1, 1}, {1, 0, 1, 1, 1},
        {1, 0, 0, 1, 0}, {1, 0, 0, 1, 0}, {1, 1, 0, 1, 0}, {1, 1, 0, 0, 0}};
    const unsigned char* on = kEnabled[mode >= 0 && mode < kToolModeCount ? mode : 0];
    enable(stCtl[kCtlBrushRadius], on[0]);
    enable(stCtl[kCtlStrength], on[1]);
    enable(stCtl[kCtlStiffness], on[2]);
    enable(stCtl[kCtlFixOuterEdges], on[3]);
    enable(stCtl[kCtlFixOutOfRange], on[4]);

    refreshUndoRedoCtl(state);
    refreshCurrentCagePopCtl(state);
}

void refreshCurrentCagePopCtl(EditCageState* state) {
    if (!isOpen) return;
    getListOfCagesInThisScene(state);
    int value = 0;
    if (state->selectedCageCount > 1) {
        value = state->sceneCageCount + 1;
    } else if (state->selectedCageCount == 1) {
        for (int i = 0; i < state->sceneCageCount; ++i)
            if (state->sceneCages[i] == state->selectedCages[0]) value = i + 1;
    }
    setControlInt(stCtl[kCtlCurrent], CTL_VALUE, value);
    refreshKeyButtonsCtl(state);
}

void refreshKeyButtonsCtl(EditCageState* state) {
    if (!isOpen) return;
    const int on = state->selectedCageCount > 0 && !state->editBaseCage;
    enable(stCtl[kCtlZeroKey], on);
    enable(stCtl[kCtlCreateKey], on);
    enable(stCtl[kCtlDeleteKey], on);
}

void refreshUndoRedoCtl(EditCageState* state) {
    if (!isOpen) return;
    enable(stCtl[kCtlUndo], undoAvailable(state));
    enable(stCtl[kCtlRedo], redoAvailable(state));
}

void panelDraw(LWPanelID panel, void*, DrMode) {
    if (!isOpen || panel != stToolPanel) return;
    DrawFuncs* draw = panelFuncs()->drawFuncs;
    if (!draw || !draw->drawBorder) return;
    const int lines[4] = {
        controlInt(stCtl[kCtlEdit], CTL_Y) + 27, controlInt(stCtl[kCtlBrushRadius], CTL_Y) - 2,
        controlInt(stCtl[kCtlEditBase], CTL_Y) - 1, controlInt(stCtl[kCtlZeroKey], CTL_Y) - 2};
    for (int y : lines)
        draw->drawBorder(panel, 0, 0, y, kToolPanelWidth, 0);
}
