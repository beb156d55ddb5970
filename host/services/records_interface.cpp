// Message, question and ring services: how a module talks to the person and
// to other servers.
#include "ring/ring.h"
#include "services/service_records.h"
#include "services/services.h"
#include "ui/messages.h"

namespace host {

namespace {

XCALL_(void) messageInfo(const char* a, const char* b) {
    ServiceTable::current().sources().messages.message("info", a, b);
}

XCALL_(void) messageError(const char* a, const char* b) {
    ServiceTable::current().sources().messages.message("error", a, b);
}

XCALL_(void) messageWarning(const char* a, const char* b) {
    ServiceTable::current().sources().messages.message("warning", a, b);
}

XCALL_(int) askOkCancel(const char* title, const char* a, const char* b) {
    return ServiceTable::current().sources().messages.ask("okCancel", title, a, b);
}

XCALL_(int) askYesNo(const char* title, const char* a, const char* b) {
    return ServiceTable::current().sources().messages.ask("yesNo", title, a, b);
}

XCALL_(int) askYesNoCancel(const char* title, const char* a, const char* b) {
    return ServiceTable::current().sources().messages.ask("yesNoCan", title, a, b);
}

XCALL_(int) askYesNoAll(const char* title, const char* a, const char* b) {
    return ServiceTable::current().sources().messages.ask("yesNoAll", title, a, b);
}

XCALL_(int) ringAttach(char* topic, LWInstance data, RingEvent handler) {
    return topic ? ServiceTable::current().sources().ring.attach(topic, data, handler) : 0;
}

XCALL_(void) ringDetach(char* topic, LWInstance data) {
    if (topic) ServiceTable::current().sources().ring.detach(topic, data);
}

XCALL_(void) ringMessage(char* topic, int code, void* payload) {
    if (topic) ServiceTable::current().sources().ring.message(topic, code, payload);
}

} // namespace

void fillInterfaceRecords(ServiceRecords& r) {
    r.messageFuncs.info = messageInfo;
    r.messageFuncs.error = messageError;
    r.messageFuncs.warning = messageWarning;
    r.messageFuncs.okCancel = askOkCancel;
    r.messageFuncs.yesNo = askYesNo;
    r.messageFuncs.yesNoCan = askYesNoCancel;
    r.messageFuncs.yesNoAll = askYesNoAll;
    r.comRing.ringAttach = ringAttach;
    r.comRing.ringDetach = ringDetach;
    r.comRing.ringMessage = ringMessage;
    r.interfaceInfo.selItems = nullptr;
}

} // namespace host
