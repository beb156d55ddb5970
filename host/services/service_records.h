// The records the host's services hand out. Records that newer hosts extend
// (item info 9, scene objects 9) carry the later members after the older
// record, so the older record is a prefix as the module expects.
#ifndef MORVANE_HOST_SERVICES_SERVICE_RECORDS_H
#define MORVANE_HOST_SERVICES_SERVICE_RECORDS_H

#include <lwserver.h>
#include <lwcomring.h>
#include <lwenvel.h>
#include <lwhandler.h>
#include <lwhost.h>
#include <lwmeshes.h>
#include <lwmtutil.h>
#include <lwpanel.h>
#include <lwrender.h>
#include <lwxpanel.h>

namespace host {

// "LW Item Info 9": version 5 followed by the members versions 8 and 9 added.
struct ItemInfo9 {
    LWItemInfo v5;
    unsigned int (*selected)(LWItemID);
    void (*follow)(LWItemID, LWItemParam, int[3], LWTextureID[3]);
    void (*controllerTrans)(LWItemID, LWItemParam, double[3], double[3]);
    LWItemID (*splineItem)(LWItemID);
    unsigned int (*splineFit)(LWItemID);
    double (*splineT)(LWItemID, LWTime);
    int (*rotationOrder)(LWItemID);
    void (*relparam)(LWItemID, LWItemParam, LWItemID, LWItemParam, LWTime, double*);
};

// "Scene Objects 9": version 6 followed by focusObject.
struct ObjectFuncs9 {
    LWObjectFuncs v6;
    int (*focusObject)(void);
};

struct ServiceRecords {
    ItemInfo9 itemInfo;
    LWObjectInfo objectInfo;
    ObjectFuncs9 objectFuncs;
    LWChannelInfo channelInfo;
    LWEnvelopeFuncs envelopeFuncs;
    LWComRing comRing;
    LWXPanelFuncs xpanelFuncs;
    LWXPDrawFuncs xpanelDrawFuncs;
    LWListInfo listInfo;
    LWMessageFuncs messageFuncs;
    LWPanelFuncs panelFuncs;
    DrawFuncs panelDrawFuncs;
    LWRasterFuncs rasterFuncs;
    ContextMenuFuncs contextMenuFuncs;
    LWSceneInfo sceneInfo;
    LWMTUtilFuncs mtUtilFuncs;
    LWViewportInfo viewportInfo;
    LWInterfaceInfo interfaceInfo;
};

// Gives every callback member of every record a harmless default.
void makeInertRecords(ServiceRecords& records);

// The callbacks the host acts on, grouped by what they serve.
void fillSceneRecords(ServiceRecords& records);
void fillInterfaceRecords(ServiceRecords& records);
void fillMotionRecords(ServiceRecords& records);
void fillMeshRecords(ServiceRecords& records);
void fillPanelRecords(ServiceRecords& records);
void fillXPanelRecords(ServiceRecords& records);
void fillViewRecords(ServiceRecords& records);
// "MultiThreading Utilities 2", on std::threads (records_threads.cpp).
void fillThreadRecords(ServiceRecords& records);

class Scene;
// Copies the scene's time, selection, ranges and flags into the records that
// hold them as data members.
void refreshSceneRecords(ServiceRecords& records, const Scene& scene);

class ViewportWindow;
// Sets "LW Viewport Info" numViewports, a plain member.
void refreshViewRecords(ServiceRecords& records, const ViewportWindow& viewports);

// Sets "Scene Objects" maxPointsPerPoly, a plain member, to the largest
// polygon among the scene's object files (0 when there is none). Until this
// runs it holds 1023, the most vertices an LWO2 polygon can hold.
void refreshSceneObjects(ServiceRecords& records, const Scene& scene);

} // namespace host

#endif
