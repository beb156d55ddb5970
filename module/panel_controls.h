// LWPanels control access shared by the module's panels: values, places and
// handlers through the control's own get and set functions.
#ifndef MORVANE_MODULE_PANEL_CONTROLS_H
#define MORVANE_MODULE_PANEL_CONTROLS_H

#include <lwpanel.h>

LWControl* addPanelControl(LWPanelFuncs* panels, LWPanelID panel, const char* type,
                           LWPanControlDesc* desc, const char* label);

int controlInt(LWControlID id, cTag tag);
void setControlInt(LWControlID id, cTag tag, int n);
double controlFloat(LWControlID id);
void setControlFloat(LWControlID id, double value);
void setControlText(LWControlID id, const char* text);

// Places the control's left edge (its label's start) at x and its top at y.
void moveControl(LWControlID id, int x, int y);
// The control's event handler and the data it is called with.
void setControlEvent(LWControlID id, LWCtlEventHook handler, void* data);

#endif
