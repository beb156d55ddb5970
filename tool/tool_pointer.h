// The tool's pointer callbacks: press, motion and release in a viewport.
#ifndef MORVANE_TOOL_TOOL_POINTER_H
#define MORVANE_TOOL_TOOL_POINTER_H

#include <lwserver.h>
#include <lwtool.h>

XCALL_(int) EditCageDown(LWInstance instance, LWToolEvent* event);
XCALL_(void) EditCageMove(LWInstance instance, LWToolEvent* event);
XCALL_(void) EditCageUp(LWInstance instance, LWToolEvent* event);

#endif
