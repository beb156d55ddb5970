// A cage whose making runs out of memory at any one allocation ends whole or
// empty, never in between, and frees whatever it took: the adjacency build,
// the build from a mesh with its first key, the record load (into a new cage
// and into one that holds a cage already) and the copy.
#include "failure_support.h"

#include "../cage/cage_test_support.h"
#include "cage/cage_keys.h"
#include "cage/cage_model.h"
#include "cage/cage_storage.h"

#include "host/io/plugin_io.h"

#include <cstring>
#include <vector>

namespace {

using oom::CageItem;
using oom::failEachAllocation;
using oom::unarmed;

// Everything a cage holds that a build, load or copy makes: topology and
// adjacency, base positions, keys (labels aside) and the mean-edge distance.
std::string contents(const CageInstance* cage) {
    std::ostringstream s;
    s.precision(17);
    s << cagetest::adjacencySnapshot(cage);
    for (int i = 0; i < cage->pointCount; ++i) {
        const double* p = cage->pointArray[i]->basePos;
        s << "pos " << p[0] << ' ' << p[1] << ' ' << p[2] << '\n';
    }
    for (const CageKey* k = cage->keyHead; k; k = k->next) {
        s << "key " << k->time << ' ' << int(k->breakFlag);
        for (int i = 0; i < 3 * cage->pointCount; ++i)
            s << ' ' << k->deltas[i];
        s << '\n';
    }
    s << "distance " << cage->perpendicularDistance << '\n';
    return s.str();
}

int keyCount(const CageInstance* cage) {
    int n = 0;
    for (const CageKey* k = cage->keyHead; k; k = k->next)
        ++n;
    return n;
}

// No geometry, no adjacency, no keys: the state of a new cage.
void expectNoGeometry(const CageInstance* cage) {
    EXPECT_EQ(cage->pointCount, 0);
    EXPECT_EQ(cage->linegonCount + cage->trigonCount + cage->polygonCount + cage->edgeCount, 0);
    EXPECT_EQ(cage->pointArray, nullptr);
    EXPECT_EQ(cage->pointList, nullptr);
    EXPECT_EQ(cage->pointBlock, nullptr);
    EXPECT_EQ(cage->linegonBlock, nullptr);
    EXPECT_EQ(cage->trigonBlock, nullptr);
    EXPECT_EQ(cage->polygonBlock, nullptr);
    EXPECT_EQ(cage->edgeBlock, nullptr);
    EXPECT_EQ(cage->linegonList, nullptr);
    EXPECT_EQ(cage->trigonList, nullptr);
    EXPECT_EQ(cage->polygonList, nullptr);
    EXPECT_EQ(cage->edgeList, nullptr);
    EXPECT_EQ(cage->keyHead, nullptr);
    EXPECT_EQ(cage->removedKeyHead, nullptr);
}

// Every point's lists back on the storage inside its record, and empty.
void expectNoAdjacency(const PointData* p) {
    EXPECT_EQ(p->cornerCount + p->neighbourCount + p->edgeCount + p->linegonCount + p->trigonCount,
              0);
    EXPECT_EQ(p->cornerPolygons, p->cornerPolygonsInline);
    EXPECT_EQ(p->neighbours, p->neighboursInline);
    EXPECT_EQ(p->edges, p->edgesInline);
    EXPECT_EQ(p->linegons, p->linegonsInline);
    EXPECT_EQ(p->trigons, p->trigonsInline);
}

class CageFailure : public oom::InProcessLayout {
  protected:
    CageFailure() : source(addObject("hub", oom::hubMesh())) {}

    // The unhindered cage from the hub mesh, with a second key carrying a
    // break flag and deltas that differ at every point.
    CageInstance* referenceCage() {
        CageInstance* cage = createCage(source);
        cage->falloffType = 4;
        CageKey* key = getMakeEvaluatedCageKeyAtTime(cage, 1.25);
        key->breakFlag = 1;
        for (int i = 0; i < 3 * cage->pointCount; ++i)
            key->deltas[i] = 0.125 * i - 1.0;
        return cage;
    }

    std::vector<std::string> save(CageInstance* cage) {
        host::PluginWriter writer;
        EXPECT_EQ(CageCustomSave(cage, writer.state()), nullptr);
        return writer.lines();
    }

    void load(CageInstance* cage, const std::vector<std::string>& record) {
        host::PluginReader reader(record);
        EXPECT_EQ(CageCustomLoad(cage, reader.state()), nullptr);
    }

    // What an unhindered load of the record gives.
    std::string loaded(const std::vector<std::string>& record) {
        const CageItem cage(createCage(nullptr));
        load(cage.cage, record);
        return contents(cage.cage);
    }

    // What an unhindered copy of the cage gives.
    std::string copied(CageInstance* from) {
        const CageItem cage(createCage(nullptr));
        EXPECT_EQ(CageCustomCopy(cage.cage, from), nullptr);
        return contents(cage.cage);
    }

    // Whole and equal to the reference, or empty; the envelope mirrors the
    // keys either way.
    void expectWholeOrEmpty(const CageInstance* cage, const std::string& reference, bool fired) {
        if (fired)
            expectNoGeometry(cage);
        else
            EXPECT_EQ(contents(cage), reference);
        EXPECT_EQ(envelopeKeys(cage), keyCount(cage));
    }

    LWItemID source;
};

TEST_F(CageFailure, AdjacencyIsAllBuiltOrNoneAndSaysWhich) {
    const oom::CageItem built(createCage(source));
    const std::string reference = cagetest::adjacencySnapshot(built.cage);
    CageInstance* cage = built.cage;
    const double distance = cage->perpendicularDistance;

    const int attempts = failEachAllocation(
        [&] { cage->perpendicularDistance = createEdgeData(cage, 1); },
        [&](bool fired) {
            if (!fired) {
                EXPECT_EQ(cagetest::adjacencySnapshot(cage), reference);
                EXPECT_DOUBLE_EQ(cage->perpendicularDistance, distance);
                return;
            }
            EXPECT_EQ(cage->perpendicularDistance, CAGE_ADJACENCY_FAILED);
            EXPECT_EQ(cage->edgeBlock, nullptr);
            EXPECT_EQ(cage->edgeList, nullptr);
            EXPECT_EQ(cage->edgeCount, 0);
            for (int i = 0; i < cage->pointCount; ++i)
                expectNoAdjacency(cage->pointArray[i]);
            for (const PolygonData* poly = cage->polygonList; poly; poly = poly->next) {
                expectNoAdjacency(&poly->center);
                for (const TrigonData& t : poly->tri)
                    EXPECT_TRUE(!t.edge[0] && !t.edge[1] && !t.edge[2]);
            }
            // The elements themselves stay.
            EXPECT_EQ(cage->polygonCount, 12);
            EXPECT_EQ(cage->trigonCount, 2);
            EXPECT_EQ(cage->linegonCount, 3);
        });
    // The edge block, then for the hub: corners 8 -> 16 (two arrays),
    // linegons 2 -> 4, trigons 8 -> 16 -> 32, edges 8 -> 16 -> 32 (two arrays
    // each time), neighbours 10 -> 20 -> 40: 12 allocations, and the run
    // that reaches none of them.
    EXPECT_GE(attempts, 12 + 1);
}

TEST_F(CageFailure, TheBuildFromAMeshEndsWholeOrEmpty) {
    std::string reference;
    {
        const CageItem whole(createCage(source));
        ASSERT_EQ(whole.cage->pointCount, 29);
        ASSERT_EQ(keyCount(whole.cage), 1);
        reference = contents(whole.cage);
    }
    CageInstance* cage = nullptr;
    const int attempts =
        failEachAllocation([&] { cage = createCage(source); },
                           [&](bool fired) {
                               const CageItem made(cage);
                               if (!cage) {
                                   EXPECT_TRUE(fired);
                                   EXPECT_STREQ(createError, "Couldn't allocate instance data.");
                                   return;
                               }
                               EXPECT_EQ(createError, nullptr);
                               expectWholeOrEmpty(cage, reference, fired);
                           });
    // The record, three scratch arrays, four blocks, the point array, the
    // adjacency's 12 and the first key with its deltas.
    EXPECT_GE(attempts, 1 + 3 + 4 + 1 + 12 + 2 + 1);
}

TEST_F(CageFailure, ARecordLoadsWholeOrLeavesTheCageEmpty) {
    const CageItem original(referenceCage());
    const std::vector<std::string> record = save(original.cage);
    const std::string reference = loaded(record);
    ASSERT_EQ(reference.find("counts 29 3 2 12 89\n"), 0u);

    CageInstance* cage = nullptr;
    const int attempts = failEachAllocation(
        [&] {
            unarmed([&] { cage = createCage(nullptr); });
            ASSERT_NE(cage, nullptr);
            load(cage, record);
        },
        [&](bool fired) {
            const CageItem loaded(cage);
            expectWholeOrEmpty(cage, reference, fired);
            // Settings come before the geometry and are read whatever happens.
            EXPECT_EQ(cage->falloffType, 4);
        });
    // Staging: the keys, deltas and positions grow from 64 entries by
    // doubling (1, 3 and 2 times), the three element lists once each; then
    // four blocks, the point array, two keys with their deltas and the
    // adjacency's 12.
    EXPECT_GE(attempts, 9 + 4 + 1 + 4 + 12 + 1);
}

TEST_F(CageFailure, ReloadingKeepsTheOldCageOrEndsWholeOrEmpty) {
    const CageItem original(referenceCage());
    const std::vector<std::string> record = save(original.cage);
    const std::string reference = loaded(record);
    const CageItem target(createCage(nullptr));
    CageInstance* cage = target.cage;

    failEachAllocation(
        [&] {
            unarmed([&] { load(cage, record); });
            ASSERT_EQ(contents(cage), reference) << "unhindered load";
            load(cage, record);
        },
        [&](bool fired) {
            // Reading runs out before the cage changes (it keeps its cage),
            // or while the new one is made (none is kept): never in between.
            if (fired && cage->pointCount > 0)
                EXPECT_EQ(contents(cage), reference);
            else
                expectWholeOrEmpty(cage, reference, fired);
            EXPECT_EQ(envelopeKeys(cage), keyCount(cage));
        });
}

TEST_F(CageFailure, ACopyIsWholeOrEmpty) {
    const CageItem original(referenceCage());
    const std::string reference = copied(original.cage);
    ASSERT_EQ(reference.find("counts 29 3 2 12 89\n"), 0u);

    CageInstance* cage = nullptr;
    const int attempts = failEachAllocation(
        [&] {
            unarmed([&] { cage = createCage(nullptr); });
            ASSERT_NE(cage, nullptr);
            EXPECT_EQ(CageCustomCopy(cage, original.cage), nullptr);
        },
        [&](bool fired) {
            const CageItem copied(cage);
            expectWholeOrEmpty(cage, reference, fired);
            EXPECT_STREQ(cage->groupName, "name_#(1)");
        });
    // Four blocks, the point array, two keys with their deltas, adjacency.
    EXPECT_GE(attempts, 4 + 1 + 4 + 12 + 1);
}

} // namespace
