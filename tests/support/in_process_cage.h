// For tests that link the cage code into the test program and run it
// against a stand-in Layout: the services the cage server's activation
// would leave behind, taken from that host.
#ifndef MORVANE_TESTS_SUPPORT_IN_PROCESS_CAGE_H
#define MORVANE_TESTS_SUPPORT_IN_PROCESS_CAGE_H

#include "cage/cage_services.h"
#include "module/host_services.h"

#include "host/host.h"

inline void installCageServices(host::Host& layout) {
    stGlobal = host::ServiceTable::accessor;
    auto& s = layout.services();
    stCageServices = CageServices{};
    stCageServices.envelopeFuncs = static_cast<LWEnvelopeFuncs*>(s.lookup("Animation Envelopes"));
    stCageServices.comRing = static_cast<LWComRing*>(s.lookup("LW Communication Ring"));
    stCageServices.instUpdate = reinterpret_cast<LWInstUpdate*>(s.lookup("Instance Update"));
}

#endif
