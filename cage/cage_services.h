// Host services of the cage item and its panel, refreshed at activation.
#ifndef MORVANE_CAGE_CAGE_SERVICES_H
#define MORVANE_CAGE_CAGE_SERVICES_H

#include <lwserver.h>
#include <lwcomring.h>
#include <lwenvel.h>
#include <lwhandler.h>
#include <lwmeshes.h>
#include <lwrender.h>
#include <lwxpanel.h>

#include "module/command_func.h"

struct CageServices {
    LWViewportInfo* viewportInfo;   // optional
    LWInterfaceInfo* interfaceInfo; // optional
    LWItemInfo* itemInfo;
    LWObjectInfo* objectInfo;
    LWObjectFuncs* objectFuncs;
    LWChannelInfo* channelInfo;
    LWEnvelopeFuncs* envelopeFuncs;
    LWInstUpdate* instUpdate;
    LWComRing* comRing;
    LWCommandFunc* command;
};

struct CagePanelServices {
    LWObjectFuncs* objectFuncs;
    LWInstUpdate* instUpdate;
    LWXPanelFuncs* xpanelFuncs;
    LWCommandFunc* command;
};

extern CageServices stCageServices;
extern CagePanelServices stCagePanelServices;

#endif
