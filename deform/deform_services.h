// Host services of the deformer and its panel, refreshed at activation.
#ifndef MORVANE_DEFORM_DEFORM_SERVICES_H
#define MORVANE_DEFORM_DEFORM_SERVICES_H

#include <lwserver.h>
#include <lwcomring.h>
#include <lwhandler.h>
#include <lwmtutil.h>
#include <lwrender.h>
#include <lwxpanel.h>

struct DeformServices {
    LWComRing* comRing;
    LWInstUpdate* instUpdate;
    LWItemInfo* itemInfo;
    LWMTUtilFuncs* mtUtil; // null when the host has no thread service
};

struct DeformPanelServices {
    LWInstUpdate* instUpdate;
    LWXPanelFuncs* xpanelFuncs;
};

extern DeformServices stDeformServices;
extern DeformPanelServices stDeformPanelServices;
// Host build number read at activation; the evaluation branches on it.
extern unsigned int stDeformBuildNumber;

#endif
