// The edit tool's state and the host callbacks of its life cycle.
#ifndef MORVANE_TOOL_TOOL_LIFECYCLE_H
#define MORVANE_TOOL_TOOL_LIFECYCLE_H

#include <lwserver.h>
#include <lwlaytool.h>

#include "edit_cage_state.h"

extern EditCageState stInstData;
// Set by the first successful activation since the module was loaded.
extern int stToolEverActivated;

// Zeroes the state, keeping the settings carried over between activations
// (defaults at the first activation), and marks the tool live.
void initEditCageState(EditCageState* state, int firstActivation);

// Frees the undo history, the merged key list, the selection, the scene's
// cage list and the name buffer, nulling every pointer.
void releaseToolData(EditCageState* state);

// The module is unloaded: the host has destroyed its panels and cages, so
// only the module's own memory is freed and the tool starts afresh.
void forgetEditTool(void);

// Fills the host's tool function table with the tool's callbacks.
void fillEditCageFuncs(LWLayoutToolFuncs* funcs);

// 0 when a panel event may go on: Layout edits objects with an object
// selected and this tool is active. 1 or 2 abandon the event (2: the tool
// was started again).
int correctEditMode(void);

// Makes every cage's object visible and the item order sound for editing,
// telling the user what changed.
void prepareSceneForEditing(void);

XCALL_(void) EditCageDone(LWInstance instance);
XCALL_(void) EditCageDraw(LWInstance instance, LWCustomObjAccess* access);
XCALL_(const char*) EditCageHelp(LWInstance instance, LWToolEvent* event);
XCALL_(int) EditCageDirty(LWInstance instance);
XCALL_(void) EditCageEvent(LWInstance instance, int code);

#endif
