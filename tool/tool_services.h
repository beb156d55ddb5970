// Host services of the edit tool, refreshed at activation.
#ifndef MORVANE_TOOL_TOOL_SERVICES_H
#define MORVANE_TOOL_TOOL_SERVICES_H

#include <lwserver.h>
#include <lwcomring.h>
#include <lwenvel.h>
#include <lwhost.h>
#include <lwlaytool.h>
#include <lwmtutil.h>
#include <lwpanel.h>
#include <lwrender.h>

#include "module/command_func.h"

struct ToolServices {
    LWMessageFuncs* messageFuncs;
    LWPanelFuncs* panelFuncs;
    LWRasterFuncs* rasterFuncs;
    LWViewportInfo* viewportInfo;
    LWInterfaceInfo* interfaceInfo;
    LWSceneInfo* sceneInfo;
    // "LW Item Info 9" on newer hosts: only the members it shares with
    // version 5 are used, so the older record type serves for both.
    LWItemInfo* itemInfo;
    LWChannelInfo* channelInfo;
    LWEnvelopeFuncs* envelopeFuncs;
    LWListInfo* listInfo;
    LWMTUtilFuncs* mtUtilFuncs;
    LWCommandFunc* command;
    LWComRing* comRing;
};

extern ToolServices stToolServices;
// Host build number read at activation. The tool panel's texts, the key
// deletion question and the key strip's fit to the preview range branch on it.
extern unsigned int stToolBuildNumber;
// The host's LayoutTool record of the latest successful activation.
extern LWLayoutTool* stToolLocal;

// Services the host may have replaced since the activation (after a change
// of the item list, for example), acquired again; a record stays as it was
// when the host gives none.
enum {
    kReacquireInterface = 1,
    kReacquireItems = 2,
    kReacquireList = 4,
    kReacquireRing = 8,
    kReacquireScene = 16,
    kReacquireViewports = 32,
    kReacquireChannels = 64,
    kReacquireEnvelopes = 128
};
void reacquireToolServices(int which);

// Sends a command to Layout; its outcome is Layout's to report.
void toolCommand(const char* text);

#endif
