// Running an operation of the module with its nth allocation failing, for
// n = 1, 2, ... until the operation makes fewer than n allocations, and the
// in-process stand-in Layout those operations need.
#ifndef MORVANE_TESTS_OUT_OF_MEMORY_FAILURE_SUPPORT_H
#define MORVANE_TESTS_OUT_OF_MEMORY_FAILURE_SUPPORT_H

#include "cage/cage_lifecycle.h"
#include "cage/cage_services.h"
#include "cage_instance.h"
#include "module/host_services.h"
#include "module/memory.h"
#include "module/ring_protocol.h"
#include "ring_query.h"

#include "host/host.h"
#include "host/mesh/mesh.h"

#include "../support/in_process_cage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

namespace oom {

// More attempts than any of the tested operations makes allocations.
constexpr int kAttemptLimit = 5000;

// run() once per n with allocation n failing, then check(fired), where fired
// says whether allocation n was reached. Stops after the first attempt that
// did not reach it, which is the operation's unhindered run, and returns the
// number of attempts made (the allocations the operation makes, plus one).
template <class Run, class Check> int failEachAllocation(Run run, Check check) {
    for (int n = 1; n < kAttemptLimit; ++n) {
        failMorvaneAllocationAt(n);
        run();
        const bool fired = pendingMorvaneAllocationFailure() == 0;
        failMorvaneAllocationAt(0);
        SCOPED_TRACE("allocation " + std::to_string(n) + (fired ? " failed" : " never made"));
        check(fired);
        if (!fired || testing::Test::HasFatalFailure()) return n;
    }
    ADD_FAILURE() << "still allocating after " << kAttemptLimit << " attempts";
    return kAttemptLimit;
}

// Runs f with the armed failure held back, so that what f allocates is not
// counted.
template <class F> void unarmed(F f) {
    const int pending = pendingMorvaneAllocationFailure();
    failMorvaneAllocationAt(0);
    f();
    failMorvaneAllocationAt(pending);
}

// A disc of 12 quads around a hub point, three linegons from the hub and two
// triangles on the rim: the hub's corner, edge, trigon, neighbour and
// linegon lists all outgrow the storage inside its record, so the adjacency
// build allocates for each of them.
inline host::Mesh hubMesh() {
    host::Mesh mesh;
    const double kPi = 3.14159265358979323846;
    mesh.points.push_back({0, 0, 0});
    for (int k = 0; k < 12; ++k) { // rim 1 + k, middle 13 + k
        const double a = k * kPi / 6.0, b = (k + 0.5) * kPi / 6.0;
        mesh.points.push_back({float(std::cos(a)), float(std::sin(a)), 0.0f});
        mesh.points.push_back({float(2.0 * std::cos(b)), float(2.0 * std::sin(b)), 0.25f});
    }
    for (std::uint32_t k = 0; k < 12; ++k)
        mesh.polygons.push_back(
            {host::kPolygonFace, {0, 1 + 2 * k, 2 + 2 * k, 1 + 2 * ((k + 1) % 12)}});
    for (int h = 1; h <= 3; ++h) { // 25, 26, 27
        mesh.points.push_back({0.1f * float(h), 0.0f, float(h)});
        mesh.polygons.push_back({host::kPolygonFace, {0, std::uint32_t(24 + h)}});
    }
    mesh.points.push_back({3.0f, 0.0f, 0.0f}); // 28
    mesh.polygons.push_back({host::kPolygonFace, {2, 28, 4}});
    mesh.polygons.push_back({host::kPolygonFace, {28, 2, 24}});
    return mesh;
}

// The host's services for code of the module linked into the test, the way
// the cage server's activation leaves them.
class InProcessLayout : public testing::Test {
  protected:
    InProcessLayout() : layout(out) {
        installCageServices(layout);
        ring = stCageServices.comRing;
    }
    ~InProcessLayout() override {
        failMorvaneAllocationAt(0);
        stCageServices = CageServices{};
        stGlobal = nullptr;
    }

    // A cage item as the add-cage command makes it from `source` (no order:
    // an empty cage); null when its creation failed, with the error kept.
    CageInstance* createCage(LWItemID source) {
        host::Item& item = layout.scene().addNull("_Cage" + std::to_string(++cagesMade));
        CageOrder order = {source, nullptr};
        if (source) attachRing(ring, RING_TOPIC_ORDER, &order, answerOrder);
        createError = nullptr;
        void* cage = CageCustomCreate(nullptr, item.id, &createError);
        if (source) detachRing(ring, RING_TOPIC_ORDER, &order);
        return static_cast<CageInstance*>(cage);
    }

    LWItemID addObject(const std::string& name, const host::Mesh& mesh) {
        return layout.scene()
            .addObject(name, "/objects/" + name + ".lwo", std::make_shared<const host::Mesh>(mesh))
            .id;
    }

    int envelopeKeys(const CageInstance* cage) {
        return layout.scene()
            .find(cage->itemID)
            ->channels->findChannel(cage->envelopeName)
            ->envelope()
            .keyCount();
    }

    std::ostringstream out;
    host::Host layout;
    LWComRing* ring = nullptr;
    LWError createError = nullptr;
    int cagesMade = 0;

  private:
    static void answerOrder(void* order, void*, int, void* request) {
        *static_cast<CageOrder*>(request) = *static_cast<const CageOrder*>(order);
    }
};

// Frees a cage item made by createCage on scope exit.
struct CageItem {
    CageInstance* cage;
    explicit CageItem(CageInstance* c) : cage(c) {}
    ~CageItem() {
        if (cage) CageCustomDestroy(cage);
    }
    CageItem(const CageItem&) = delete;
    CageItem& operator=(const CageItem&) = delete;
};

} // namespace oom

#endif // MORVANE_TESTS_OUT_OF_MEMORY_FAILURE_SUPPORT_H
