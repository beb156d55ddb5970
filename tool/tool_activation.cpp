// Activation of the edit tool.
#include "module/host_services.h"
#include "module/servers.h"
#include "tool/tool_lifecycle.h"
#include "tool/tool_panel.h"
#include "tool/tool_mixed_keys.h"
#include "tool/tool_undo.h"
#include "tool/tool_ring.h"
#include "tool/tool_selection.h"
#include "tool/tool_services.h"
#include "tool/tool_texts.h"

ToolServices stToolServices;
unsigned int stToolBuildNumber = 0;
LWLayoutTool* stToolLocal = nullptr;

namespace {

// The tool edits cages through the objects they deform, so it starts only
// while an object is the first selected item.
int objectIsSelected(const ToolServices& s) {
    const LWItemID* selected = s.interfaceInfo->selItems;
    if (!selected || !selected[0]) return 0;
    return s.itemInfo->type(selected[0]) == LWI_OBJECT;
}

} // namespace

XCALL_(int) EditCageHandler(int version, GlobalFunc* global, void* local, void*) {
    if (version != kEditToolVersion) return AFUNC_BADVERSION;
    if (!local) return AFUNC_BADLOCAL;

    unsigned int build = getBuildNumber(global);
    ToolServices s = {};
    const ServiceRequest requests[] = {
        {"Info Messages 2", (void**)&s.messageFuncs, 1},
        {"LWPanelServices", (void**)&s.panelFuncs, 1},
        {"RasterServices", (void**)&s.rasterFuncs, 1},
        {"LW Viewport Info 4", (void**)&s.viewportInfo, 1},
        {"LW Interface Info 7", (void**)&s.interfaceInfo, 1},
        {"LW Scene Info 6", (void**)&s.sceneInfo, 1},
        {toolItemInfoServiceName(build), (void**)&s.itemInfo, 1},
        {"Channel Info 2", (void**)&s.channelInfo, 1},
        {"Animation Envelopes", (void**)&s.envelopeFuncs, 1},
        {"LW List Info", (void**)&s.listInfo, 1},
        {"MultiThreading Utilities 2", (void**)&s.mtUtilFuncs, 1},
        {LWCOMMANDFUNC_GLOBAL, (void**)&s.command, 1},
        {"LW Communication Ring", (void**)&s.comRing, 1},
    };
    int result = acquireServices(global, requests, int(sizeof requests / sizeof *requests));
    if (result != AFUNC_OK) return result;
    s.panelFuncs->globalFun = global;

    stGlobal = global;
    stToolBuildNumber = build;

    if (!objectIsSelected(s)) {
        s.messageFuncs->warning(localText(global, TOOL_OBJECTS_ONLY_EN, TOOL_OBJECTS_ONLY_JA),
                                nullptr);
        return AFUNC_BADAPP_SILENT;
    }

    stToolServices = s;
    stToolLocal = static_cast<LWLayoutTool*>(local);
    int firstActivation = !stToolEverActivated;
    int stripPosition = stInstData.timeSliderBX;
    double stripScale = stInstData.pixPerFrame;
    if (firstActivation) {
        readKeyStripGeometry(&stripPosition, &stripScale);
    } else {
        // What the previous activation left, if the host did not end it.
        detachToolRing();
        releaseToolData(&stInstData);
        if (stInstData.editBaseCage) {
            sendShowBaseOff();
            s.command("RefreshNow");
        }
    }
    initEditCageState(&stInstData, firstActivation);
    stInstData.timeSliderBX = stripPosition;
    stInstData.pixPerFrame = stripScale;
    stToolEverActivated = 1;
    stInstData.mixKeyChunkSize = kMixKeyChunkSize;
    addNewMixEnvKeyMemChunk(&stInstData, kMixKeyChunkSize);
    initUndoStcData(&stInstData);

    stToolLocal->instance = &stInstData;
    if (stToolLocal->tool) fillEditCageFuncs(stToolLocal->tool);
    attachToolRing();
    sendToolStarts();

    prepareSceneForEditing();
    stInstData.currentTime = stToolServices.interfaceInfo->curTime;
    refreshMixEnvelopeKeyData(&stInstData, 1);
    if (buildToolPanel(&stInstData)) openToolPanel(&stInstData);
    return AFUNC_OK;
}
