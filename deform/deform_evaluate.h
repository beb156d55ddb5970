// The deformer's per-frame work: gathering its group's cages at NewTime and
// moving each point by their weighted displacement.
#ifndef MORVANE_DEFORM_DEFORM_EVALUATE_H
#define MORVANE_DEFORM_DEFORM_EVALUATE_H

#include <lwserver.h>
#include <lwdisplce.h>

struct DeformInstance;

// Frees the per-cage arrays NewTime grows (the cage list, weight maps and
// Volume tables) and leaves the instance with no cages gathered.
void freeCageArrays(DeformInstance* deform);

XCALL_(LWError) MorvaneNewTime(LWInstance instance, LWFrame frame, LWTime time);
XCALL_(void) MorvaneEvaluate(LWInstance instance, LWDisplacementAccess* access);

#endif
