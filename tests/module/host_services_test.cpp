#include "module/host_services.h"

#include <lwhost.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

unsigned int productInfo = 0;
unsigned int localeInfo = 0;
std::string missing;
int recordA = 1, recordB = 2;

void* fakeGlobal(const char* name, int) {
    if (missing == name) return nullptr;
    if (!std::strcmp(name, "Product Info"))
        return reinterpret_cast<void*>(std::uintptr_t(productInfo));
    if (!std::strcmp(name, "Locale Info"))
        return reinterpret_cast<void*>(std::uintptr_t(localeInfo));
    if (!std::strcmp(name, "A")) return &recordA;
    if (!std::strcmp(name, "B")) return &recordB;
    return nullptr;
}

TEST(HostBuild, ReadsBitsFourToFifteenOfProductInfo) {
    productInfo = LWINF_PRODLWAV | (3211u << 4) | (6u << 16) | (9u << 20);
    EXPECT_EQ(getBuildNumber(fakeGlobal), 3211u);
    productInfo = 0xFFFFFFFFu;
    EXPECT_EQ(getBuildNumber(fakeGlobal), 0xFFFu);
}

TEST(HostBuild, ToolItemInfoFollowsTheBuild) {
    EXPECT_STREQ(toolItemInfoServiceName(3210), "LW Item Info 5");
    EXPECT_STREQ(toolItemInfoServiceName(3211), "LW Item Info 9");
    EXPECT_STREQ(toolItemInfoServiceName(4000), "LW Item Info 9");
}

TEST(HostLanguage, OnlyTheLowSixteenBitsCount) {
    localeInfo = 0x10411;
    EXPECT_EQ(getLangIDForLW(fakeGlobal), 0x411);
    EXPECT_EQ(isJapaneseLocale(fakeGlobal), 1);
    EXPECT_STREQ(localText(fakeGlobal, "en", "ja"), "ja");

    localeInfo = 0x0409;
    EXPECT_EQ(isJapaneseLocale(fakeGlobal), 0);
    EXPECT_STREQ(localText(fakeGlobal, "en", "ja"), "en");

    localeInfo = 0x4110000; // Japanese only in the high bits
    EXPECT_EQ(isJapaneseLocale(fakeGlobal), 0);
}

TEST(AcquireServices, FillsEverySlotWhenRequiredOnesArePresent) {
    missing.clear();
    void *a = nullptr, *b = nullptr, *c = &recordA;
    const ServiceRequest requests[] = {{"A", &a, 1}, {"B", &b, 1}, {"C", &c, 0}};
    EXPECT_EQ(acquireServices(fakeGlobal, requests, 3), AFUNC_OK);
    EXPECT_EQ(a, &recordA);
    EXPECT_EQ(b, &recordB);
    EXPECT_EQ(c, nullptr); // optional and absent
}

TEST(AcquireServices, WritesNothingWhenARequiredOneIsMissing) {
    missing = "B";
    void *a = nullptr, *b = &recordA;
    const ServiceRequest requests[] = {{"A", &a, 1}, {"B", &b, 1}};
    EXPECT_EQ(acquireServices(fakeGlobal, requests, 2), AFUNC_BADGLOBAL);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, &recordA);
    missing.clear();
}

} // namespace
