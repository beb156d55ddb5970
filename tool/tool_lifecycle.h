// The edit tool's state and the host callbacks of its life cycle.
#ifndef MORVANE_TOOL_TOOL_LIFECYCLE_H
#define MORVANE_TOOL_TOOL_LIFECYCLE_H

#include <lwserver.h>
#include <lwlaytool.h>

#include "edit_cage_state.h"

extern EditCageState stInstData;

// Zeroes the state, keeping the settings carried over between activations
// (defaults at the first activation), and marks the tool live.
void initEditCageState(EditCageState* state, int firstActivation);

// Fills the host's tool function table with the tool's callbacks.
void fillEditCageFuncs(LWLayoutToolFuncs* funcs);

XCALL_(void) EditCageDone(LWInstance instance);
XCALL_(const char*) EditCageHelp(LWInstance instance, LWToolEvent* event);
XCALL_(int) EditCageDirty(LWInstance instance);
XCALL_(void) EditCageEvent(LWInstance instance, int code);

#endif
