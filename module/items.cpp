#include "module/items.h"

#include "module/strings.h"

int objectExistsWithItemID(const LWItemInfo* itemInfo, LWItemID id) {
    if (!id || !itemInfo) return 0;
    LWItemID firstObject = itemInfo->first(LWI_OBJECT, LWITEM_NULL);
    if (!firstObject) return 0;

    const char* name = itemInfo->name(id);
    if (!name || compareCString(name, "(none)") || hasStringInName(name, "lw_err")) return 0;

    const char* firstName = itemInfo->name(firstObject);
    if (!compareCString(name, firstName)) return 1;
    return id == firstObject ? 1 : 0;
}

int indexByObjectID(const LWItemInfo* itemInfo, LWItemID id) {
    if (!itemInfo || !id) return 0;
    int place = 1;
    for (LWItemID object = itemInfo->first(LWI_OBJECT, LWITEM_NULL); object;
         object = itemInfo->next(object), ++place)
        if (object == id) return place;
    return 0;
}
