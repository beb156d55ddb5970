// The deformer's per-frame work: gathering its group's cages at NewTime and
// moving each point by their weighted displacement.
#ifndef MORVANE_DEFORM_DEFORM_EVALUATE_H
#define MORVANE_DEFORM_DEFORM_EVALUATE_H

#include <lwserver.h>
#include <lwdisplce.h>

XCALL_(LWError) MorvaneNewTime(LWInstance instance, LWFrame frame, LWTime time);
XCALL_(void) MorvaneEvaluate(LWInstance instance, LWDisplacementAccess* access);

#endif
