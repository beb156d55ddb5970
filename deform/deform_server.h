// The deformer's instance callbacks: life cycle, description, item
// dependencies, scene record, copy, and its answers on "COMRING_MORVANE".
#ifndef MORVANE_DEFORM_DEFORM_SERVER_H
#define MORVANE_DEFORM_DEFORM_SERVER_H

#include <lwserver.h>
#include <lwdisplce.h>

#include "deform_instance.h"

XCALL_(LWInstance) MorvaneCreate(void* priv, void* context, LWError* error);
XCALL_(void) MorvaneDestroy(LWInstance instance);
XCALL_(LWError) MorvaneCopy(LWInstance to, LWInstance from);
XCALL_(LWError) MorvaneLoad(LWInstance instance, const LWLoadState* load);
XCALL_(LWError) MorvaneSave(LWInstance instance, const LWSaveState* save);
XCALL_(const char*) MorvaneDescLn(LWInstance instance);
XCALL_(const LWItemID*) MorvaneUseItems(LWInstance instance);
XCALL_(void) MorvaneChangeID(LWInstance instance, const LWItemID* ids);
XCALL_(LWError) MorvaneInit(LWInstance instance, int mode);
XCALL_(void) MorvaneCleanup(LWInstance instance);
XCALL_(unsigned int) MorvaneFlags(LWInstance instance);

// Fills the host's handler record with the deformer's callbacks.
void fillDeformHandler(LWDisplacementHandler* local);

#endif
