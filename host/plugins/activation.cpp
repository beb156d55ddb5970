#include "plugins/activation.h"

#include "common/inert.h"

#include <lwserver.h>

namespace host {

namespace {

XCALL_(int) genericEvaluate(void* data, const char* command) {
    auto* record = static_cast<ActivationRecord*>(data);
    return record && record->runCommand ? record->runCommand(command) : 0;
}

} // namespace

void* ActivationRecord::localFor(const std::string& cls) {
    if (cls == LWCUSTOMOBJ_HCLASS) {
        customObj.inst = &inst;
        customObj.item = &item;
        customObj.rend = &rend;
        return &customObj;
    }
    if (cls == LWDISPLACEMENT_HCLASS) {
        displacement.inst = &inst;
        displacement.item = &item;
        displacement.rend = &rend;
        return &displacement;
    }
    if (cls == LWCUSTOMOBJ_ICLASS || cls == LWDISPLACEMENT_ICLASS) return &interface;
    if (cls == LWLAYOUTGENERIC_CLASS) {
        makeInert(generic.saveScene);
        makeInert(generic.loadScene);
        makeInert(generic.lookup);
        makeInert(generic.execute);
        generic.data = this;
        generic.evaluate = genericEvaluate;
        return &generic;
    }
    if (cls == LWGLOBALSERVICE_CLASS) return &global;
    return nullptr;
}

} // namespace host
