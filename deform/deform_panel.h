// The deformer's item panel: one control, the Group Name.
#ifndef MORVANE_DEFORM_DEFORM_PANEL_H
#define MORVANE_DEFORM_DEFORM_PANEL_H

#include <lwserver.h>
#include <lwhandler.h>
#include <lwxpanel.h>

#define DEFORM_GROUP_CONTROL 0x8001

// Builds the panel into the interface record; 0 when no panel could be made.
int buildDeformPanel(LWXPanelFuncs* xpanels, LWInterface* local, int japanese);

void* ui_get(void* instance, unsigned int id);
LWXPRefreshCode ui_set(void* instance, unsigned int id, void* value);
LWXPRefreshCode ui_chgnotify(LWXPanelID panel, unsigned int cid, unsigned int vid, int event);

#endif
