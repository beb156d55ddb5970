// The falloff panel "Falloff Preferences": four presets, the two curve
// sliders and an 81 x 61 picture of the brush's falloff profile.
#ifndef MORVANE_TOOL_FALLOFF_PANEL_H
#define MORVANE_TOOL_FALLOFF_PANEL_H

#include <stdint.h>

#include <lwpanel.h>

#include "edit_cage_state.h"

enum { kFalloffPictureWidth = 81, kFalloffPictureHeight = 61 };

extern LWPanelID stFalloffPanel;
extern LWControl* stCtlFO[3];
extern LWRasterID stRastIDFO;
extern int isOpenFO;

// The curve's shape from the two sliders, as the brush uses it.
struct FalloffShape {
    uint32_t flags[2];
    double exponents[2];
};
FalloffShape falloffShapeOfSliders(int curve1, int curve2);

// Opens the panel when closed, else closes it.
void toggleFalloffPanel(EditCageState* state);
void closeFalloffPanel(void);

// Draws the picture of the current sliders into the raster.
void makeCurveRasterImage(EditCageState* state);

void panelDrawFO(LWPanelID panel, void* data, DrMode mode);
void panelCloseFO(LWPanelID panel, void* data);
void mouseButtonFO(LWPanelID panel, void* data, int qualifiers, int x, int y);
void popDowmCommandEventFO(LWControlID control, void* data);
void changeCurveSliderEventFO(LWControlID control, void* data);

#endif
