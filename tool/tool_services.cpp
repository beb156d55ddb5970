#include "tool/tool_services.h"

#include "module/host_services.h"

namespace {

template <class Record> void reacquire(Record*& slot, const char* name) {
    if (auto* record = static_cast<Record*>(acquireService(name))) slot = record;
}

} // namespace

void reacquireToolServices(int which) {
    ToolServices& s = stToolServices;
    if (which & kReacquireInterface) reacquire(s.interfaceInfo, "LW Interface Info 7");
    if (which & kReacquireItems) reacquire(s.itemInfo, toolItemInfoServiceName(stToolBuildNumber));
    if (which & kReacquireList) reacquire(s.listInfo, "LW List Info");
    if (which & kReacquireRing) reacquire(s.comRing, "LW Communication Ring");
    if (which & kReacquireScene) reacquire(s.sceneInfo, "LW Scene Info 6");
    if (which & kReacquireViewports) reacquire(s.viewportInfo, "LW Viewport Info 4");
    if (which & kReacquireChannels) reacquire(s.channelInfo, "Channel Info 2");
    if (which & kReacquireEnvelopes) reacquire(s.envelopeFuncs, "Animation Envelopes");
}

void toolCommand(const char* text) {
    if (stToolServices.command) stToolServices.command(text);
}
