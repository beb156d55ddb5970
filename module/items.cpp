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
