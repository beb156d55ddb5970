// Item, list, scene and interface services: what the scene answers.
#include "scene/scene.h"
#include "services/service_records.h"
#include "services/services.h"

namespace host {

namespace {

Scene& scene() {
    return ServiceTable::current().sources().scene;
}

XCALL_(LWItemID) itemFirst(LWItemType type, LWItemID) {
    return scene().first(type);
}

XCALL_(LWItemID) itemNext(LWItemID id) {
    return scene().next(id);
}

XCALL_(LWItemType) itemType(LWItemID id) {
    const Item* item = scene().find(id);
    return item ? item->type : -1;
}

XCALL_(const char*) itemName(LWItemID id) {
    const Item* item = scene().find(id);
    return item ? item->name.c_str() : "(none)";
}

XCALL_(int) listIndex(LWItemID id) {
    return scene().index(id);
}

XCALL_(int) listSplice(LWItemID point, LWItemID* list) {
    return scene().splice(point, list);
}

XCALL_(int) listReorder(LWItemID* list) {
    return scene().reorder(list);
}

XCALL_(int) listSwap(LWItemID* list) {
    return scene().swap(list);
}

XCALL_(unsigned int) interfaceItemFlags(LWItemID id) {
    for (const LWItemID* s = scene().selection(); *s; ++s)
        if (*s == id) return LWITEMF_SELECTED;
    return 0;
}

XCALL_(int) interfaceItemVis(LWItemID id) {
    const Item* item = scene().find(id);
    return item ? item->visibility : 0;
}

XCALL_(LWItemID) sceneRenderCamera(LWTime) {
    return scene().first(LWI_CAMERA);
}

} // namespace

void fillSceneRecords(ServiceRecords& r) {
    r.itemInfo.v5.first = itemFirst;
    r.itemInfo.v5.next = itemNext;
    r.itemInfo.v5.type = itemType;
    r.itemInfo.v5.name = itemName;

    r.listInfo.index = listIndex;
    r.listInfo.reorder = listReorder;
    r.listInfo.swap = listSwap;
    r.listInfo.splice = listSplice;

    r.interfaceInfo.itemFlags = interfaceItemFlags;
    r.interfaceInfo.itemVis = interfaceItemVis;
    r.sceneInfo.renderCamera = sceneRenderCamera;
    r.sceneInfo.name = "Untitled";
    r.sceneInfo.filename = "";
    r.sceneInfo.frameWidth = 640;
    r.sceneInfo.frameHeight = 480;
    r.sceneInfo.pixelAspect = 1.0;
    r.sceneInfo.numThreads = 1;
    r.sceneInfo.animFilename = "";
    r.sceneInfo.RGBPrefix = "";
    r.sceneInfo.alphaPrefix = "";
    r.sceneInfo.radiosityFileName = "";
}

void refreshSceneRecords(ServiceRecords& r, const Scene& s) {
    const SceneTiming& t = s.timing();
    LWInterfaceInfo& ii = r.interfaceInfo;
    ii.curTime = t.time;
    ii.selItems = s.selection();
    ii.previewStart = t.previewStart;
    ii.previewEnd = t.previewEnd;
    ii.previewStep = t.previewStep;
    ii.dynaUpdate = LWDYNUP_INTERACTIVE;
    ii.generalFlags = (t.parentInPlace ? LWGENF_PARENTINPLACE : 0u) |
                      (t.fractionalFrames ? LWGENF_FRACTIONALFRAME : 0u);
    ii.alertLevel = LWALERT_EXPERT;

    LWSceneInfo& si = r.sceneInfo;
    si.frameStart = t.frameStart;
    si.frameEnd = t.frameEnd;
    si.frameStep = t.frameStep;
    si.framesPerSecond = t.framesPerSecond;
    int points = 0, polygons = 0;
    for (const Item* item : s.items())
        if (item->mesh) {
            points += int(item->mesh->points.size());
            polygons += int(item->mesh->polygons.size());
        }
    si.numPoints = points;
    si.numPolygons = polygons;
}

} // namespace host
