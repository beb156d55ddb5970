// The cage item's host callbacks: creation (empty, or built for the add-cage
// command's order), destruction, the item-dependency callbacks, NewTime, and
// the per-frame computation that brings a cage's derived data up to date.
#ifndef MORVANE_CAGE_CAGE_LIFECYCLE_H
#define MORVANE_CAGE_CAGE_LIFECYCLE_H

#include <lwserver.h>
#include <lwcustobj.h>

#include "cage_instance.h"

// Item-panel defaults new cages take.
extern double stCageSelectedColor[3];
extern double stCageUnselectedColor[3];
extern double stCageOpacity;

XCALL_(LWInstance) CageCustomCreate(void* priv, void* context, LWError* error);
XCALL_(void) CageCustomDestroy(LWInstance instance);
XCALL_(const char*) CageCustomDescribe(LWInstance instance);
XCALL_(const LWItemID*) CageCustomUseItems(LWInstance instance);
XCALL_(void) CageCustomChangeID(LWInstance instance, const LWItemID* ids);
XCALL_(LWError) CageCustomInit(LWInstance instance, int mode);
XCALL_(void) CageCustomCleanup(LWInstance instance);
XCALL_(LWError) CageCustomNewTime(LWInstance instance, LWFrame frame, LWTime time);
XCALL_(unsigned int) CageCustomFlags(LWInstance instance);

// Fills the host's handler record with the cage's callbacks.
void fillCageHandler(LWCustomObjHandler* local);

// The per-frame computation at evalTime.
void getCageParmAfterIK(CageInstance* cage);

// Reference-object point scans (userData is the cage).
size_t getBaseDeltaWithRefCage(void* cage, LWPntID point);
size_t getOtherDeltaWithRefCage(void* cage, LWPntID point);

#endif
