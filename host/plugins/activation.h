// The local records the host hands to a server's activation, one kind per
// server class, kept alive while the server is in use.
#ifndef MORVANE_HOST_PLUGINS_ACTIVATION_H
#define MORVANE_HOST_PLUGINS_ACTIVATION_H

#include <lwcustobj.h>
#include <lwdisplce.h>
#include <lwgeneric.h>
#include <lwglobsrv.h>
#include <lwhandler.h>
#include <lwlaytool.h>

#include <functional>
#include <string>

namespace host {

struct ActivationRecord {
    std::string className;
    std::string name;
    int result = -1;

    // Callback tables a handler fills.
    LWInstanceFuncs inst{};
    LWItemFuncs item{};
    LWRenderFuncs rend{};
    LWCustomObjHandler customObj{};
    LWDisplacementHandler displacement{};
    LWInterface interface {};
    LWLayoutGeneric generic{};
    LWGlobalService global{};

    // What a generic's evaluate does with a command text: the host's command
    // interface. Set before localFor.
    std::function<int(const char*)> runCommand;

    // The local record for a server of className, or null for a class the
    // host does not run. A Layout tool's record is the host's own.
    void* localFor(const std::string& cls);
};

} // namespace host

#endif
