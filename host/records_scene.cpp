// Item, object and list services: what the scene can answer so far.
#include "host/host.h"
#include "host/service_records.h"

namespace host {

namespace {

Scene& scene() {
    return Host::current().scene();
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

} // namespace

void fillSceneRecords(ServiceRecords& r) {
    r.itemInfo.v5.first = itemFirst;
    r.itemInfo.v5.next = itemNext;
    r.itemInfo.v5.type = itemType;
    r.itemInfo.v5.name = itemName;
}

} // namespace host
