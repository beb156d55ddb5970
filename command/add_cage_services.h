// Host services of the add-cage command, refreshed at each run.
#ifndef MORVANE_COMMAND_ADD_CAGE_SERVICES_H
#define MORVANE_COMMAND_ADD_CAGE_SERVICES_H

#include <lwserver.h>
#include <lwcomring.h>
#include <lwhost.h>
#include <lwpanel.h>
#include <lwrender.h>

struct AddCageServices {
    LWMessageFuncs* messageFuncs;
    LWPanelFuncs* panelFuncs;
    LWRasterFuncs* rasterFuncs;
    LWItemInfo* itemInfo;
    LWObjectInfo* objectInfo;
    LWInterfaceInfo* interfaceInfo;
    LWComRing* comRing;
};

extern AddCageServices stAddCageServices;
extern GlobalFunc* stAddCageGlobal;
extern unsigned int stAddCageBuildNumber;

#endif
