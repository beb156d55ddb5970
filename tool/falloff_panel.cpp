#include "tool/falloff_panel.h"

#include <string.h>

#include "geometry/curve.h"
#include "module/panel_controls.h"
#include "tool/tool_panel.h"
#include "tool/tool_panel_texts.h"
#include "tool/tool_services.h"

LWPanelID stFalloffPanel = nullptr;
LWControl* stCtlFO[3];
LWRasterID stRastIDFO = nullptr;
int isOpenFO = 0;

namespace {

const char* falloffPresetList_En[] = {FALLOFFPRESETLIST_EN_ITEMS, nullptr};
const char* falloffPresetList_Jp[] = {FALLOFFPRESETLIST_JA_ITEMS, nullptr};
const char* falloffPresetList_UTF8_Jp[] = {FALLOFFPRESETLIST_UTF8_JA_ITEMS, nullptr};

const int kPanelWidth = 212;
const int kAnchor = 98;
const int kPictureX = 8;
const int kPictureY = 6;
const int kFrameColour = 4139;
int stControlsHeightFO = 0;

const char** presetItems() {
    switch (toolTextVariant()) {
    case kTextShiftJis:
        return falloffPresetList_Jp;
    case kTextUtf8:
        return falloffPresetList_UTF8_Jp;
    default:
        return falloffPresetList_En;
    }
}

LWControl* addSlider(LWPanelFuncs* panels) {
    LWPanControlDesc desc;
    memset(&desc, 0, sizeof desc);
    desc.type = LWT_RANGE;
    desc.range.width = 101;
    desc.range.min = 0;
    desc.range.max = 100;
    return addPanelControl(panels, stFalloffPanel, "HSlideControl", &desc, "");
}

int hotHeight(LWControl* control) {
    return controlInt(control, CTL_HOTH);
}

int createPanel(EditCageState* state) {
    LWPanelFuncs* panels = stToolServices.panelFuncs;
    const char* title = toolText(FALLOFF_PANEL_TITLE_EN, FALLOFF_PANEL_TITLE_JA);
    stFalloffPanel = panels->create(const_cast<char*>(title), state);
    if (!stFalloffPanel) return 0;
    LWPanControlDesc desc;
    memset(&desc, 0, sizeof desc);
    desc.type = LWT_CHOICE;
    desc.choice.vertical = MX_POPUP;
    desc.choice.items = presetItems();
    stCtlFO[0] = addPanelControl(panels, stFalloffPanel, "PopDownControl", &desc,
                                 toolText(FALLOFF_PANEL_PRESETS_EN, FALLOFF_PANEL_PRESETS_JA));
    stCtlFO[1] = addSlider(panels);
    stCtlFO[2] = addSlider(panels);
    if (!stCtlFO[0] || !stCtlFO[1] || !stCtlFO[2]) {
        panels->destroy(stFalloffPanel);
        stFalloffPanel = nullptr;
        return 0;
    }
    const int h0 = hotHeight(stCtlFO[0]);
    const int h1 = hotHeight(stCtlFO[1]);
    moveControl(stCtlFO[0], kAnchor - controlInt(stCtlFO[0], CTL_LABELWIDTH), 2);
    moveControl(stCtlFO[1], kAnchor - controlInt(stCtlFO[1], CTL_LABELWIDTH), h0 + 6);
    moveControl(stCtlFO[2], kAnchor - controlInt(stCtlFO[2], CTL_LABELWIDTH), h0 + h1 + 10);
    stControlsHeightFO = h0 + h1 + hotHeight(stCtlFO[2]) + 24;
    return 1;
}

void showPicture() {
    LWRasterFuncs* rasters = stToolServices.rasterFuncs;
    if (!stRastIDFO || !stFalloffPanel || !rasters) return;
    rasters->blitPanel(stRastIDFO, 0, 0, stFalloffPanel, kPictureX, kPictureY, kFalloffPictureWidth,
                       kFalloffPictureHeight);
}

void redrawPicture(EditCageState* state) {
    if (!stRastIDFO) return;
    makeCurveRasterImage(state);
    showPicture();
}

} // namespace

FalloffShape falloffShapeOfSliders(int curve1, int curve2) {
    FalloffShape shape;
    shape.flags[0] = curve1 > 50 ? 1u : 0u;
    shape.exponents[0] = (curve1 > 50 ? curve1 - 50 : 50 - curve1) * 0.02 + 1.0;
    shape.flags[1] = curve2 < 50 ? 1u : 0u;
    shape.exponents[1] = (curve2 > 50 ? curve2 - 50 : 50 - curve2) * 0.02 + 1.0;
    return shape;
}

void makeCurveRasterImage(EditCageState* state) {
    LWRasterFuncs* rasters = stToolServices.rasterFuncs;
    if (!stRastIDFO || !rasters) return;
    const FalloffShape shape = falloffShapeOfSliders(state->falloffCurve1, state->falloffCurve2);
    const int centre = kFalloffPictureWidth / 2;
    const int bottom = kFalloffPictureHeight - 1;
    auto column = [&](int x, int dark) {
        for (int y = 0; y <= bottom; ++y) {
            const int grey = y < dark ? 128 : 176;
            rasters->drawRGBPixel(stRastIDFO, grey, grey, grey, x, y);
        }
    };
    for (int d = 1; d <= centre; ++d) {
        const double f = calcFalloffCurve(shape.flags, shape.exponents, d * 0.025);
        const int dark = int((1.0 - f) * bottom) + 1;
        column(centre - d, dark);
        column(centre + d, dark);
    }
    column(centre, 1);
    const int right = kFalloffPictureWidth - 1;
    rasters->drawLine(stRastIDFO, kFrameColour, 0, 0, right, 0);
    rasters->drawLine(stRastIDFO, kFrameColour, 0, bottom, right, bottom);
    rasters->drawLine(stRastIDFO, kFrameColour, 0, 0, 0, bottom);
    rasters->drawLine(stRastIDFO, kFrameColour, right, 0, right, bottom);
}

void toggleFalloffPanel(EditCageState* state) {
    if (isOpenFO) {
        closeFalloffPanel();
        return;
    }
    LWRasterFuncs* rasters = stToolServices.rasterFuncs;
    if (!stRastIDFO && rasters)
        stRastIDFO = rasters->create(kFalloffPictureWidth, kFalloffPictureHeight, 0);
    makeCurveRasterImage(state);
    if (!stFalloffPanel && !createPanel(state)) return;

    LWPanelFuncs* panels = stToolServices.panelFuncs;
    panels->set(stFalloffPanel, PAN_USERDATA, state);
    panels->set(stFalloffPanel, PAN_USERDRAW, reinterpret_cast<void*>(panelDrawFO));
    panels->set(stFalloffPanel, PAN_USERCLOSE, reinterpret_cast<void*>(panelCloseFO));
    panels->set(stFalloffPanel, PAN_MOUSEBUTTON, reinterpret_cast<void*>(mouseButtonFO));
    setControlEvent(stCtlFO[0], popDowmCommandEventFO, state);
    setControlEvent(stCtlFO[1], changeCurveSliderEventFO, state);
    setControlEvent(stCtlFO[2], changeCurveSliderEventFO, state);
    setControlInt(stCtlFO[1], CTL_VALUE, state->falloffCurve1);
    setControlInt(stCtlFO[2], CTL_VALUE, state->falloffCurve2);

    isOpenFO = 1;
    panels->open(stFalloffPanel, PANF_NOBUTT);
    int width = kPanelWidth;
    panels->set(stFalloffPanel, PAN_W, &width);
    panels->set(stFalloffPanel, PAN_H, &stControlsHeightFO);
    for (LWControl* control : stCtlFO)
        control->draw(control, DR_RENDER);
    panels->draw(stFalloffPanel, DR_REFRESH);
}

void closeFalloffPanel(void) {
    if (!isOpenFO) return;
    isOpenFO = 0;
    if (stFalloffPanel && stToolServices.panelFuncs)
        stToolServices.panelFuncs->close(stFalloffPanel);
    if (stRastIDFO && stToolServices.rasterFuncs) stToolServices.rasterFuncs->destroy(stRastIDFO);
    stRastIDFO = nullptr;
}

void panelDrawFO(LWPanelID, void*, DrMode) {
    showPicture();
}

void panelCloseFO(LWPanelID, void*) {
    // The user's close; the tool's own closing cleared the flag first.
    if (!isOpenFO) return;
    isOpenFO = 0;
    if (stRastIDFO && stToolServices.rasterFuncs) stToolServices.rasterFuncs->destroy(stRastIDFO);
    stRastIDFO = nullptr;
}

void mouseButtonFO(LWPanelID, void*, int, int, int) {}

void popDowmCommandEventFO(LWControlID control, void* data) {
    EditCageState* state = static_cast<EditCageState*>(data);
    // Linear, Ease In, Ease Out; Smooth and anything else is 0, 0.
    static const int kPresets[3][2] = {{50, 50}, {100, 0}, {0, 100}};
    const int preset = controlInt(control, CTL_VALUE);
    const bool known = preset >= 0 && preset <= 2;
    state->falloffCurve1 = known ? kPresets[preset][0] : 0;
    state->falloffCurve2 = known ? kPresets[preset][1] : 0;
    setControlInt(stCtlFO[1], CTL_VALUE, state->falloffCurve1);
    setControlInt(stCtlFO[2], CTL_VALUE, state->falloffCurve2);
    redrawPicture(state);
}

void changeCurveSliderEventFO(LWControlID control, void* data) {
    EditCageState* state = static_cast<EditCageState*>(data);
    const int value = controlInt(control, CTL_VALUE);
    if (control == stCtlFO[1])
        state->falloffCurve1 = value;
    else
        state->falloffCurve2 = value;
    redrawPicture(state);
}
