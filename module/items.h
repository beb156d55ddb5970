// Item helpers shared by the servers.
#ifndef MORVANE_MODULE_ITEMS_H
#define MORVANE_MODULE_ITEMS_H

#include <lwrender.h>

// 1 when id still names an item of the scene. The host answers a name query
// for a vanished ID with "(none)" or an error text, or with the first
// object's name, so that name is trusted only for the first object itself.
int objectExistsWithItemID(const LWItemInfo* itemInfo, LWItemID id);

// 1-based place of the item among the scene's objects; 0 when absent or null.
int indexByObjectID(const LWItemInfo* itemInfo, LWItemID id);

#endif
