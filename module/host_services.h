// Host-service access shared by every server: the kept global accessor,
// acquisition of a server's services by name, the host build number and the
// language of the texts.
#ifndef MORVANE_MODULE_HOST_SERVICES_H
#define MORVANE_MODULE_HOST_SERVICES_H

#include <lwserver.h>

// The global accessor the host handed to the latest activation. Ring handlers
// and panel callbacks, which the host calls without it, acquire through it.
extern GlobalFunc* stGlobal;

// One service a server asks for at activation: where its record goes, and
// whether the activation fails without it.
struct ServiceRequest {
    const char* name;
    void** slot;
    int required;
};

// Acquires every requested service. When a required one is missing nothing is
// written and AFUNC_BADGLOBAL is returned; otherwise every slot is filled
// (absent optional services with null) and AFUNC_OK is returned.
int acquireServices(GlobalFunc* global, const ServiceRequest* requests, int count);

// Acquires one service through the kept accessor; null when there is none.
void* acquireService(const char* name);

// Host build number: bits 4 to 15 of "Product Info".
unsigned int getBuildNumber(GlobalFunc* global);

// Host language identifier: the low 16 bits of "Locale Info".
int getLangIDForLW(GlobalFunc* global);

// 1 when the host's language selects the Japanese texts.
int isJapaneseLocale(GlobalFunc* global);

// The text of the host's language: japanese (Shift-JIS) when the locale is
// Japanese, else english.
const char* localText(GlobalFunc* global, const char* english, const char* japanese);

// The item-info service the edit tool uses on this host build.
const char* toolItemInfoServiceName(unsigned int buildNumber);

#endif
