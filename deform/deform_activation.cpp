// Activation of the displacement server and of its panel server.
#include <lwdisplce.h>

#include "deform/deform_panel.h"
#include "deform/deform_server.h"
#include "deform/deform_services.h"
#include "module/host_services.h"
#include "module/servers.h"

DeformServices stDeformServices;
DeformPanelServices stDeformPanelServices;
unsigned int stDeformBuildNumber = 0;

XCALL_(int) MorvaneHandler(int version, GlobalFunc* global, void* local, void*) {
    if (version != kDeformHandlerVersion) return AFUNC_BADVERSION;
    if (!local) return AFUNC_BADLOCAL;

    DeformServices s = {};
    const ServiceRequest requests[] = {
        {"LW Communication Ring", (void**)&s.comRing, 1},
        {"Instance Update", (void**)&s.instUpdate, 1},
        {"LW Item Info 5", (void**)&s.itemInfo, 1},
        {LWMTUTILFUNCS_GLOBAL, (void**)&s.mtUtil, 0},
    };
    int result = acquireServices(global, requests, int(sizeof requests / sizeof *requests));
    if (result != AFUNC_OK) return result;

    stDeformServices = s;
    stGlobal = global;
    stDeformBuildNumber = getBuildNumber(global);
    fillDeformHandler(static_cast<LWDisplacementHandler*>(local));
    return AFUNC_OK;
}

XCALL_(int) MorvaneInterface(int version, GlobalFunc* global, void* local, void*) {
    if (version != kDeformInterfaceVersion) return AFUNC_BADVERSION;
    if (!local) return AFUNC_BADLOCAL;

    DeformPanelServices s = {};
    const ServiceRequest requests[] = {
        {"Instance Update", (void**)&s.instUpdate, 1},
        {"LWXPanel", (void**)&s.xpanelFuncs, 1},
    };
    int result = acquireServices(global, requests, int(sizeof requests / sizeof *requests));
    if (result != AFUNC_OK) return result;

    stDeformPanelServices = s;
    stGlobal = global;
    auto* ui = static_cast<LWInterface*>(local);
    return buildDeformPanel(s.xpanelFuncs, ui, isJapaneseLocale(global)) ? AFUNC_OK
                                                                         : AFUNC_BADGLOBAL;
}
