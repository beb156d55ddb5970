// Activation of the add-cage command: it runs the whole command.
#include <lwgeneric.h>

#include "command/add_cage.h"
#include "command/add_cage_services.h"
#include "module/host_services.h"
#include "module/servers.h"

AddCageServices stAddCageServices;
GlobalFunc* stAddCageGlobal = nullptr;
unsigned int stAddCageBuildNumber = 0;

XCALL_(int) MakeCageGeneric(int version, GlobalFunc* global, void* local, void*) {
    if (version != kAddCageGenericVersion) return AFUNC_BADVERSION;
    if (!local) return AFUNC_BADLOCAL;

    AddCageServices s = {};
    const ServiceRequest requests[] = {
        {"Info Messages 2", (void**)&s.messageFuncs, 1},
        {"LWPanelServices", (void**)&s.panelFuncs, 1},
        {"RasterServices", (void**)&s.rasterFuncs, 1},
        {"LW Item Info 5", (void**)&s.itemInfo, 1},
        {"LW Object Info 7", (void**)&s.objectInfo, 1},
        {"LW Interface Info 7", (void**)&s.interfaceInfo, 1},
        {"LW Communication Ring", (void**)&s.comRing, 1},
    };
    int result = acquireServices(global, requests, int(sizeof requests / sizeof *requests));
    if (result != AFUNC_OK) return result;

    stAddCageServices = s;
    stAddCageGlobal = global;
    stGlobal = global;
    stAddCageBuildNumber = getBuildNumber(global);
    // Some controls (the item lists) need the globals.
    s.panelFuncs->globalFun = global;
    return runAddCage(static_cast<LWLayoutGeneric*>(local), &stAddCageServices, global);
}
