// How a cage draws itself in the host's viewports: its animated shape as
// outlined, semi-transparent elements.
#ifndef MORVANE_CAGE_CAGE_DISPLAY_H
#define MORVANE_CAGE_CAGE_DISPLAY_H

#include <lwserver.h>
#include <lwcustobj.h>

XCALL_(void) CageCustomEvaluate(LWInstance instance, const LWCustomObjAccess* access);

// Two triangles covering the square position +- s.right +- s.up, in world
// coordinates.
void drawPoint2DBox(const LWCustomObjAccess* access, const double right[3], const double up[3],
                    const double position[3], double s);

#endif
