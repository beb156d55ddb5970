// Activation of the cage item server and of its panel server.
#include <lwcustobj.h>

#include "cage/cage_lifecycle.h"
#include "cage/cage_panel.h"
#include "cage/cage_services.h"
#include "module/host_services.h"
#include "module/servers.h"

CageServices stCageServices;
CagePanelServices stCagePanelServices;

XCALL_(int) CageCustomHandler(int version, GlobalFunc* global, void* local, void*) {
    if (version != kCageHandlerVersion) return AFUNC_BADVERSION;
    if (!local) return AFUNC_BADLOCAL;

    CageServices s = {};
    const ServiceRequest requests[] = {
        {"LW Viewport Info 4", (void**)&s.viewportInfo, 0},
        {"LW Interface Info 7", (void**)&s.interfaceInfo, 0},
        {"LW Item Info 5", (void**)&s.itemInfo, 1},
        {"LW Object Info 7", (void**)&s.objectInfo, 1},
        {"Scene Objects 6", (void**)&s.objectFuncs, 1},
        {"Channel Info 2", (void**)&s.channelInfo, 1},
        {"Animation Envelopes", (void**)&s.envelopeFuncs, 1},
        {"Instance Update", (void**)&s.instUpdate, 1},
        {"LW Communication Ring", (void**)&s.comRing, 1},
        {LWCOMMANDFUNC_GLOBAL, (void**)&s.command, 1},
    };
    int result = acquireServices(global, requests, int(sizeof requests / sizeof *requests));
    if (result != AFUNC_OK) return result;

    stCageServices = s;
    stGlobal = global;
    fillCageHandler(static_cast<LWCustomObjHandler*>(local));
    return AFUNC_OK;
}

XCALL_(int) CageCustomInterface(int version, GlobalFunc* global, void* local, void*) {
    if (version != kCageInterfaceVersion) return AFUNC_BADVERSION;
    if (!local) return AFUNC_BADLOCAL;

    CagePanelServices s = {};
    const ServiceRequest requests[] = {
        {"Scene Objects 6", (void**)&s.objectFuncs, 1},
        {"Instance Update", (void**)&s.instUpdate, 1},
        {"LWXPanel", (void**)&s.xpanelFuncs, 1},
        {LWCOMMANDFUNC_GLOBAL, (void**)&s.command, 1},
    };
    int result = acquireServices(global, requests, int(sizeof requests / sizeof *requests));
    if (result != AFUNC_OK) return result;

    stCagePanelServices = s;
    stGlobal = global;
    auto* ui = static_cast<LWInterface*>(local);
    return buildCagePanel(s.xpanelFuncs, ui, isJapaneseLocale(global)) ? AFUNC_OK : AFUNC_BADGLOBAL;
}
