// The cage's item panel (the CustomObjInterface server): its controls, the
// callbacks that read and write a cage's settings, and the popups filled
// from the scene's weight maps and objects.
#ifndef MORVANE_CAGE_CAGE_PANEL_H
#define MORVANE_CAGE_CAGE_PANEL_H

#include <lwserver.h>
#include <lwhandler.h>
#include <lwmeshes.h>
#include <lwxpanel.h>

enum {
    CAGE_DISPLAY_CONTROL = 0x8001,
    CAGE_GROUP_CONTROL = 0x8002,
    CAGE_SELECTED_COLOR_CONTROL = 0x8003,
    CAGE_UNSELECTED_COLOR_CONTROL = 0x8004,
    CAGE_OPACITY_CONTROL = 0x8005,
    CAGE_MODE_CONTROL = 0x8006,
    CAGE_FALLOFF_CONTROL = 0x8007,
    CAGE_SMOOTH_CONTROL = 0x8008,
    CAGE_IGNORE_OUTSIDE_CONTROL = 0x8009,
    CAGE_LIMITED_CONTROL = 0x800a,
    CAGE_PARALLEL_CONTROL = 0x800b,
    CAGE_PERPENDICULAR_CONTROL = 0x800c,
    CAGE_WEIGHT_MAP_CONTROL = 0x800d,
    CAGE_REFERENCE_CONTROL = 0x800e,
    CAGE_AS_CONTROL = 0x800f,
    CAGE_REST_AT_0_CONTROL = 0x8010
};

// Builds the panel for the cage in local->inst into the interface record
// and makes that cage's look the one new cages take. 0 when the host gives
// no panel.
int buildCagePanel(LWXPanelFuncs* xpanels, LWInterface* local, int japanese);

// The deformer's panel callbacks have the same names; these are the cage's.
namespace cage_panel {
void* ui_get(void* cage, unsigned int id);
LWXPRefreshCode ui_set(void* cage, unsigned int id, void* value);
LWXPRefreshCode ui_chgnotify(LWXPanelID panel, unsigned int cid, unsigned int vid, int event);
} // namespace cage_panel

// Weight-map popup: " (none) ", then the scene's weight maps. A cage whose
// stored map is gone gets one more entry, " (missing) ", that stands for it.
int popCnt_VMAP(void* cage);
const char* popName_VMAP(void* cage, int index);
// Reference popup: " (self) ", then the scene's objects in the host's order.
int popCnt_Item(void* cage);
const char* popName_Item(void* cage, int index);

// 1 + the place of the first weight map named name; 0 for an empty name, a
// scene without weight maps, or a name no map has.
int getIndexByWeightMapName(LWObjectFuncs* objects, const char* name);
// The name of weight map index - 1 in a buffer of size bytes; empty for an
// index below 1 or a map without a name.
void getWeightMapNameByIndex(LWObjectFuncs* objects, char* buffer, int index, int size);

#endif
