#include "module/host_services.h"

#include <stddef.h>

#include <lwhost.h>

GlobalFunc* stGlobal = nullptr;

namespace {
const int kMaxRequests = 32;
const unsigned int kFirstBuildWithItemInfo9 = 3211;
} // namespace

int acquireServices(GlobalFunc* global, const ServiceRequest* requests, int count) {
    if (!global || count < 0 || count > kMaxRequests) return AFUNC_BADGLOBAL;
    void* found[kMaxRequests];
    for (int i = 0; i < count; ++i) {
        found[i] = global(requests[i].name, GFUSE_TRANSIENT);
        if (!found[i] && requests[i].required) return AFUNC_BADGLOBAL;
    }
    for (int i = 0; i < count; ++i)
        *requests[i].slot = found[i];
    return AFUNC_OK;
}

void* acquireService(const char* name) {
    return stGlobal ? stGlobal(name, GFUSE_TRANSIENT) : nullptr;
}

unsigned int getBuildNumber(GlobalFunc* global) {
    if (!global) return 0;
    unsigned int info = PTR2UINT(global(LWPRODUCTINFO_GLOBAL, GFUSE_TRANSIENT));
    return (info >> 4) & 0xFFF;
}

int getLangIDForLW(GlobalFunc* global) {
    if (!global) return LANGID_USENGLISH;
    unsigned int info = PTR2UINT(global(LWLOCALEINFO_GLOBAL, GFUSE_TRANSIENT));
    return int(info & LWLOC_LANGID);
}

int isJapaneseLocale(GlobalFunc* global) {
    return getLangIDForLW(global) == LANGID_JAPANESE;
}

const char* localText(GlobalFunc* global, const char* english, const char* japanese) {
    return isJapaneseLocale(global) ? japanese : english;
}

const char* toolItemInfoServiceName(unsigned int buildNumber) {
    return buildNumber >= kFirstBuildWithItemInfo9 ? "LW Item Info 9" : "LW Item Info 5";
}
