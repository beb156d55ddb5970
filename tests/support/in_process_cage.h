// For tests that link the cage code into the test program and run it
// against a stand-in Layout: the services the cage server's activation
// would leave behind, taken from that host.
#ifndef MORVANE_TESTS_SUPPORT_IN_PROCESS_CAGE_H
#define MORVANE_TESTS_SUPPORT_IN_PROCESS_CAGE_H

#include "cage/cage_lifecycle.h"
#include "cage/cage_model.h"
#include "cage/cage_services.h"
#include "module/host_services.h"
#include "module/memory.h"

#include "host/host.h"

#include <string>

inline void installCageServices(host::Host& layout) {
    stGlobal = host::ServiceTable::accessor;
    auto& s = layout.services();
    stCageServices = CageServices{};
    stCageServices.envelopeFuncs = static_cast<LWEnvelopeFuncs*>(s.lookup("Animation Envelopes"));
    stCageServices.comRing = static_cast<LWComRing*>(s.lookup("LW Communication Ring"));
    stCageServices.instUpdate = reinterpret_cast<LWInstUpdate*>(s.lookup("Instance Update"));
}

// A cage made by the cage server's own create callback on a new Null named
// name, with n points at (i + seed, i * seed, 1) and no polygons, displayed
// X-Ray and not highlighted, as when no tool runs.
inline CageInstance* makePointCage(host::Host& layout, const std::string& name, int n,
                                   double seed = 0.5) {
    host::Item& item = layout.scene().addNull(name);
    LWError error = nullptr;
    auto* cage = static_cast<CageInstance*>(CageCustomCreate(nullptr, item.id, &error));
    allocCageBlocks(cage, n, 0, 0, 0);
    cage->pointArray = static_cast<PointData**>(morvaneCalloc(size_t(n), sizeof(PointData*)));
    for (int i = 0; i < n; ++i) {
        double pos[3] = {i + seed, i * seed, 1.0};
        cage->pointArray[i] = add1PointData(cage, pos);
        cage->pointArray[i]->index = unsigned(i);
    }
    cage->pointCount = n;
    cage->display = 2;
    cage->highlighted = 0;
    return cage;
}

#endif
