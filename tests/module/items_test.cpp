#include "module/items.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

// A scene of two objects; IDs that are not listed answer as the host does
// for vanished items.
LWItemID idOf(std::uintptr_t n) {
    return reinterpret_cast<LWItemID>(n);
}
const LWItemID kFirst = idOf(0x4D4F525610000000ull);
const LWItemID kSecond = idOf(0x4D4F525610000001ull);
const char* vanishedName = "(none)";
bool sceneEmpty = false;

LWItemID first(LWItemType type, LWItemID) {
    return type == LWI_OBJECT && !sceneEmpty ? kFirst : LWITEM_NULL;
}
const char* name(LWItemID id) {
    if (id == kFirst) return "Body";
    if (id == kSecond) return "Arm";
    return vanishedName;
}

LWItemInfo makeItemInfo() {
    LWItemInfo info;
    std::memset(&info, 0, sizeof info);
    info.first = first;
    info.name = name;
    return info;
}

TEST(ObjectExistsWithItemID, KnownItemsExist) {
    LWItemInfo info = makeItemInfo();
    sceneEmpty = false;
    EXPECT_EQ(objectExistsWithItemID(&info, kFirst), 1);
    EXPECT_EQ(objectExistsWithItemID(&info, kSecond), 1);
}

TEST(ObjectExistsWithItemID, NullEmptySceneAndErrorNamesDoNot) {
    LWItemInfo info = makeItemInfo();
    sceneEmpty = false;
    EXPECT_EQ(objectExistsWithItemID(&info, LWITEM_NULL), 0);

    vanishedName = "(none)";
    EXPECT_EQ(objectExistsWithItemID(&info, idOf(0x4D4F525610000009ull)), 0);
    vanishedName = "item lw_err 12";
    EXPECT_EQ(objectExistsWithItemID(&info, idOf(0x4D4F525610000009ull)), 0);

    sceneEmpty = true;
    EXPECT_EQ(objectExistsWithItemID(&info, kSecond), 0);
    sceneEmpty = false;
}

TEST(ObjectExistsWithItemID, FirstObjectsNameCountsOnlyForTheFirstObject) {
    // A host may answer a stale ID with the first object's name.
    LWItemInfo info = makeItemInfo();
    sceneEmpty = false;
    vanishedName = "Body";
    EXPECT_EQ(objectExistsWithItemID(&info, idOf(0x4D4F525610000009ull)), 0);
    EXPECT_EQ(objectExistsWithItemID(&info, kFirst), 1);
    vanishedName = "(none)";
}

} // namespace
