// Message and interface services: what the host shows a person.
#include "host/host.h"
#include "host/service_records.h"

namespace host {

namespace {

XCALL_(void) messageInfo(const char* a, const char* b) {
    Host::current().message("info", a, b);
}

XCALL_(void) messageError(const char* a, const char* b) {
    Host::current().message("error", a, b);
}

XCALL_(void) messageWarning(const char* a, const char* b) {
    Host::current().message("warning", a, b);
}

} // namespace

void fillInterfaceRecords(ServiceRecords& r) {
    r.messageFuncs.info = messageInfo;
    r.messageFuncs.error = messageError;
    r.messageFuncs.warning = messageWarning;
    r.interfaceInfo.selItems = nullptr;
}

} // namespace host
