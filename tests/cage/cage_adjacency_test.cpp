// Topology of hand-built cages: blocks, edges, border flags, neighbour lists
// and the default perpendicular distance, each worked out by hand.
#include "cage/cage_model.h"
#include "cage_test_support.h"
#include "geometry/vector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

namespace {

using cagetest::addPoints;
using cagetest::adjacencySnapshot;
using cagetest::OwnedCage;

// Lengths are sums of a few exact values.
constexpr double kTol = 1e-12;
constexpr double kPi = 3.14159265358979323846;

bool isSpoke(const EdgeData* e) {
    return e->pntA->isCenter || e->pntB->isCenter;
}

// Every edge appears in both end points' lists, with the other end as far end.
void expectEdgeListsSymmetric(const CageInstance* cage) {
    for (const EdgeData* e = cage->edgeList; e; e = e->next) {
        int inA = 0, inB = 0;
        for (int i = 0; i < e->pntA->edgeCount; ++i)
            if (e->pntA->edges[i] == e && e->pntA->edgePoints[i] == e->pntB) ++inA;
        for (int i = 0; i < e->pntB->edgeCount; ++i)
            if (e->pntB->edges[i] == e && e->pntB->edgePoints[i] == e->pntA) ++inB;
        if (e->pntA != e->pntB) {
            EXPECT_EQ(inA, 1);
            EXPECT_EQ(inB, 1);
        }
    }
}

// Unit square in z = 0, corners counter-clockwise from the origin.
struct OneQuad {
    OwnedCage cage;
    std::vector<PointData*> p;
    PolygonData* poly = nullptr;
    double result = 0.0;
    OneQuad() {
        allocCageBlocks(cage.cage, 4, 0, 0, 1);
        p = addPoints(cage.cage, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
        poly = add1PolygonData(cage.cage, p[0], p[1], p[2], p[3]);
        result = createEdgeData(cage.cage, 1);
    }
};

TEST(CageAdjacency, OneQuadHasFourBorderEdgesAndFourSpokes) {
    OneQuad q;
    CageInstance* cage = q.cage.cage;
    ASSERT_NE(q.poly, nullptr);
    EXPECT_EQ(cage->pointCount, 4);
    EXPECT_EQ(cage->polygonCount, 1);
    EXPECT_EQ(cage->trigonCount, 0);
    ASSERT_EQ(cage->edgeCount, 8);

    int border = 0, spokes = 0;
    for (const EdgeData* e = cage->edgeList; e; e = e->next) {
        if (isSpoke(e)) {
            ++spokes;
            ASSERT_NE(e->trigonB, nullptr);
            EXPECT_EQ(e->trigonA->polygon, q.poly);
            EXPECT_EQ(e->trigonB->polygon, q.poly);
        } else {
            ++border;
            EXPECT_EQ(e->trigonB, nullptr);
            EXPECT_DOUBLE_EQ(dist3D(e->pntA->basePos, e->pntB->basePos), 1.0);
        }
    }
    EXPECT_EQ(border, 4);
    EXPECT_EQ(spokes, 4);
    expectEdgeListsSymmetric(cage);
    // Four sides of length 1; the spokes do not count.
    EXPECT_NEAR(q.result, 2.5, kTol);
}

TEST(CageAdjacency, OneQuadCornersAreBorderWithTwoSidesAndTheOppositeCorner) {
    OneQuad q;
    for (int k = 0; k < 4; ++k) {
        PointData* c = q.p[std::size_t(k)];
        EXPECT_EQ(c->onBorder, 1) << k;
        ASSERT_EQ(c->neighbourCount, 3) << k;
        // Edge far ends first (in the order the fan met them), then the opposite corner.
        EXPECT_EQ(c->neighbours[2], q.p[std::size_t((k + 2) % 4)]) << k;
        const std::set<PointData*> sides = {c->neighbours[0], c->neighbours[1]};
        EXPECT_EQ(sides, (std::set<PointData*>{q.p[std::size_t((k + 1) % 4)],
                                               q.p[std::size_t((k + 3) % 4)]}));
        EXPECT_EQ(c->edgeCount, 3) << k; // two sides and a spoke
        EXPECT_EQ(c->trigonCount, 2) << k;
        ASSERT_EQ(c->cornerCount, 1);
        EXPECT_EQ(c->cornerPolygons[0], q.poly);
        EXPECT_EQ(c->cornerNumbers[0], unsigned(k));
    }
    // p0: the spoke from fan 0, the side to p1 from fan 0, the side from p3 from fan 3.
    PointData* p0 = q.p[0];
    EXPECT_EQ(p0->edgePoints[0], &q.poly->center);
    EXPECT_EQ(p0->edgePoints[1], q.p[1]);
    EXPECT_EQ(p0->edgePoints[2], q.p[3]);
    EXPECT_EQ(p0->neighbours[0], q.p[1]);
    EXPECT_EQ(p0->neighbours[1], q.p[3]);
    EXPECT_EQ(p0->trigons[0], &q.poly->tri[0]);
    EXPECT_EQ(p0->trigons[1], &q.poly->tri[3]);
}

TEST(CageAdjacency, FanTrianglesShareTheCentreAndNameTheirEdgesBySlot) {
    OneQuad q;
    const PolygonData* poly = q.poly;
    EXPECT_EQ(poly->center.isCenter, 1);
    EXPECT_EQ(poly->center.edgeCount, 4);
    EXPECT_EQ(poly->center.trigonCount, 4);
    for (int k = 0; k < 4; ++k) {
        const TrigonData* t = &poly->tri[k];
        EXPECT_EQ(t->pnt[0], &poly->center);
        EXPECT_EQ(t->pnt[1], q.p[std::size_t(k)]);
        EXPECT_EQ(t->pnt[2], q.p[std::size_t((k + 1) % 4)]);
        EXPECT_EQ(t->subIndex, unsigned(k));
        for (int i = 0; i < 3; ++i) {
            const EdgeData* e = t->edge[i];
            ASSERT_NE(e, nullptr) << k << "," << i;
            const std::set<const PointData*> ends = {e->pntA, e->pntB};
            EXPECT_EQ(ends, (std::set<const PointData*>{t->pnt[i], t->pnt[(i + 1) % 3]}));
        }
    }
    // Spoke centre->p0: first met in fan 0 (centre corner 0, p0 corner 1), then
    // run backwards by fan 3 (centre corner 0, p0 corner 2).
    const EdgeData* spoke = poly->tri[0].edge[0];
    EXPECT_EQ(spoke->pntA, &poly->center);
    EXPECT_EQ(spoke->pntB, q.p[0]);
    EXPECT_EQ(spoke->trigonA, &poly->tri[0]);
    EXPECT_EQ(spoke->trigonB, &poly->tri[3]);
    EXPECT_EQ(spoke->aInTrigonA, 0u);
    EXPECT_EQ(spoke->bInTrigonA, 1u);
    EXPECT_EQ(spoke->aInTrigonB, 0u);
    EXPECT_EQ(spoke->bInTrigonB, 2u);
    EXPECT_EQ(poly->tri[3].edge[2], spoke);
}

TEST(CageAdjacency, TwoQuadsShareOneEdgeCountedOnceInTheMeanLength) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 6, 0, 0, 2);
    // Sides across are 1 long, sides along y are 3 long; x = 1 is shared.
    auto p =
        addPoints(cage.cage, {{0, 0, 0}, {1, 0, 0}, {1, 3, 0}, {0, 3, 0}, {2, 0, 0}, {2, 3, 0}});
    PolygonData* a = add1PolygonData(cage.cage, p[0], p[1], p[2], p[3]);
    PolygonData* b = add1PolygonData(cage.cage, p[1], p[4], p[5], p[2]);
    const double result = createEdgeData(cage.cage, 1);

    EXPECT_EQ(cage->edgeCount, 7 + 8);
    int shared = 0;
    for (const EdgeData* e = cage->edgeList; e; e = e->next) {
        if (!e->trigonB || isSpoke(e)) continue;
        ++shared;
        const std::set<const PointData*> ends = {e->pntA, e->pntB};
        EXPECT_EQ(ends, (std::set<const PointData*>{p[1], p[2]}));
        EXPECT_NE(e->trigonA->polygon, e->trigonB->polygon);
        const std::set<const PolygonData*> owners = {e->trigonA->polygon, e->trigonB->polygon};
        EXPECT_EQ(owners, (std::set<const PolygonData*>{a, b}));
    }
    EXPECT_EQ(shared, 1);
    // Seven distinct sides 1,3,1,3,1,3,1: 13/7. Counting the shared one twice
    // would give 2, counting spokes something else again.
    EXPECT_NEAR(result, 2.5 * 13.0 / 7.0, kTol);
    // The shared edge's ends are still on the outline.
    EXPECT_EQ(p[1]->onBorder, 1);
    // p0, p2, p4 by edges; opposite corners p3 (corner 1 of a) and p5 (corner 0 of b).
    ASSERT_EQ(p[1]->neighbourCount, 5);
    const std::set<PointData*> nb(p[1]->neighbours, p[1]->neighbours + 5);
    EXPECT_EQ(nb, (std::set<PointData*>{p[0], p[2], p[4], p[3], p[5]}));
    // Corners are listed walking the polygon list, newest (b) first.
    EXPECT_EQ(p[1]->neighbours[3], p[5]);
    EXPECT_EQ(p[1]->neighbours[4], p[3]);
    expectEdgeListsSymmetric(cage.cage);
}

// Tetrahedron wound so every edge is run once each way.
struct Tetra {
    OwnedCage cage;
    std::vector<PointData*> p;
    std::vector<TrigonData*> t;
    explicit Tetra(bool flipLast = false) {
        allocCageBlocks(cage.cage, 4, 0, 4, 0);
        p = addPoints(cage.cage, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
        t.push_back(add1TrigonData(cage.cage, p[0], p[1], p[2]));
        t.push_back(add1TrigonData(cage.cage, p[0], p[3], p[1]));
        t.push_back(add1TrigonData(cage.cage, p[1], p[3], p[2]));
        if (flipLast)
            t.push_back(add1TrigonData(cage.cage, p[2], p[0], p[3]));
        else
            t.push_back(add1TrigonData(cage.cage, p[2], p[3], p[0]));
        createEdgeData(cage.cage, 0);
    }
};

TEST(CageAdjacency, ClosedTetrahedronHasNoBorder) {
    Tetra tetra;
    EXPECT_EQ(tetra.cage->edgeCount, 6);
    for (const EdgeData* e = tetra.cage->edgeList; e; e = e->next)
        EXPECT_NE(e->trigonB, nullptr);
    for (PointData* p : tetra.p) {
        EXPECT_EQ(p->onBorder, 0);
        EXPECT_EQ(p->neighbourCount, 3);
        EXPECT_EQ(p->trigonCount, 3);
        std::set<PointData*> nb(p->neighbours, p->neighbours + p->neighbourCount);
        EXPECT_EQ(nb.size(), 3u);
        EXPECT_EQ(nb.count(p), 0u);
    }
    for (TrigonData* t : tetra.t)
        for (int i = 0; i < 3; ++i)
            EXPECT_NE(t->edge[i], nullptr);
    expectEdgeListsSymmetric(tetra.cage.cage);
}

TEST(CageAdjacency, SameWindingTrianglesDoNotShareTheirEdge) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 4, 0, 2, 0);
    auto p = addPoints(cage.cage, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}});
    TrigonData* first = add1TrigonData(cage.cage, p[0], p[1], p[2]);
    TrigonData* second = add1TrigonData(cage.cage, p[0], p[1], p[3]);
    createEdgeData(cage.cage, 0);

    // The list runs newest first, so `second` owns p0->p1 and `first` finds it
    // run the same way.
    EXPECT_EQ(cage->edgeCount, 5);
    ASSERT_NE(second->edge[0], nullptr);
    EXPECT_EQ(second->edge[0]->trigonA, second);
    EXPECT_EQ(second->edge[0]->trigonB, nullptr);
    EXPECT_EQ(first->edge[0], nullptr);
    EXPECT_NE(first->edge[1], nullptr);
    EXPECT_NE(first->edge[2], nullptr);
    EXPECT_EQ(p[0]->onBorder, 1);
    EXPECT_EQ(p[1]->onBorder, 1);
}

TEST(CageAdjacency, AFlippedFaceOpensTheTetrahedron) {
    Tetra tetra(true);
    // (2,0,3) comes first in the list and claims 3->2, 2->0 and 0->3; the
    // faces that run those edges the same way leave their slot empty.
    const TrigonData* flipped = tetra.t[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(flipped->edge[i], nullptr);
        EXPECT_EQ(flipped->edge[i]->trigonA, flipped);
        EXPECT_EQ(flipped->edge[i]->trigonB, nullptr);
    }
    EXPECT_EQ(tetra.t[2]->edge[1], nullptr); // 3->2
    EXPECT_EQ(tetra.t[1]->edge[0], nullptr); // 0->3
    EXPECT_EQ(tetra.t[0]->edge[2], nullptr); // 2->0
    int nullSlots = 0;
    for (const TrigonData* t : tetra.t)
        for (int i = 0; i < 3; ++i)
            nullSlots += t->edge[i] == nullptr;
    EXPECT_EQ(nullSlots, 3);
    EXPECT_EQ(tetra.p[0]->onBorder, 1);
    EXPECT_EQ(tetra.p[2]->onBorder, 1);
    EXPECT_EQ(tetra.p[3]->onBorder, 1);
    // Point 1's edges are all shared by the three faces wound alike.
    EXPECT_EQ(tetra.p[1]->onBorder, 0);
}

TEST(CageAdjacency, RepeatedQuadCornerGetsMoreNeighboursThanEdges) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 3, 0, 0, 1);
    auto p = addPoints(cage.cage, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    // p0 is corners 0 and 2: its opposite corner is itself, twice.
    PolygonData* poly = add1PolygonData(cage.cage, p[0], p[1], p[0], p[2]);
    createEdgeData(cage.cage, 1);

    PointData* p0 = p[0];
    ASSERT_EQ(p0->edgeCount, 3);
    EXPECT_EQ(p0->edgePoints[0], &poly->center);
    EXPECT_EQ(p0->edgePoints[1], p[1]);
    EXPECT_EQ(p0->edgePoints[2], p[2]);
    ASSERT_EQ(p0->neighbourCount, 4);
    EXPECT_EQ(p0->neighbours[0], p[1]);
    EXPECT_EQ(p0->neighbours[1], p[2]);
    EXPECT_EQ(p0->neighbours[2], p0);
    EXPECT_EQ(p0->neighbours[3], p0);
    EXPECT_EQ(p0->cornerCount, 2);
}

// A hub with twelve rim points: every list of the hub outgrows its inline storage.
TEST(CageAdjacency, ListsGrowPastTheirInlineStorage) {
    constexpr int kRim = 12;
    OwnedCage cage;
    allocCageBlocks(cage.cage, kRim + 1, kRim, kRim, kRim);
    std::vector<cagetest::V3> pts = {{0, 0, 0}};
    for (int i = 0; i < kRim; ++i) {
        const double a = 2.0 * kPi * i / kRim;
        pts.push_back({std::cos(a), std::sin(a), 0});
    }
    auto p = addPoints(cage.cage, pts);
    for (int i = 0; i < kRim; ++i) {
        PointData* r0 = p[std::size_t(1 + i)];
        PointData* r1 = p[std::size_t(1 + (i + 1) % kRim)];
        add1TrigonData(cage.cage, p[0], r0, r1);
        add1LinegonData(cage.cage, p[0], r0);
        add1PolygonData(cage.cage, p[0], r0, r1, r1);
    }
    createEdgeData(cage.cage, 0);
    PointData* hub = p[0];
    EXPECT_EQ(hub->linegonCount, kRim);
    EXPECT_EQ(hub->cornerCount, kRim);
    EXPECT_GT(hub->trigonCount, 2 * kRim);
    EXPECT_GT(hub->edgeCount, kPointEdgeInline);
    EXPECT_GT(hub->neighbourCount, kPointNeighbourInline);
    EXPECT_NE(hub->edges, hub->edgesInline);
    EXPECT_NE(hub->linegons, hub->linegonsInline);
    EXPECT_NE(hub->cornerPolygons, hub->cornerPolygonsInline);
    for (int i = 0; i < kRim; ++i)
        EXPECT_EQ(hub->cornerNumbers[i], 0u);
    expectEdgeListsSymmetric(cage.cage);

    // A second run starts from empty lists: nothing is appended twice.
    const std::string before = adjacencySnapshot(cage.cage);
    createEdgeData(cage.cage, 0);
    EXPECT_EQ(adjacencySnapshot(cage.cage), before);
}

TEST(CageAdjacency, CreateEdgeDataTwiceGivesTheSameAdjacency) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 6, 1, 1, 2);
    auto p =
        addPoints(cage.cage, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}});
    add1PolygonData(cage.cage, p[0], p[1], p[2], p[3]);
    add1PolygonData(cage.cage, p[1], p[4], p[5], p[2]);
    add1TrigonData(cage.cage, p[3], p[2], p[5]);
    add1LinegonData(cage.cage, p[0], p[4]);
    const double first = createEdgeData(cage.cage, 1);
    const std::string before = adjacencySnapshot(cage.cage);
    const int edges = cage->edgeCount;
    const double second = createEdgeData(cage.cage, 1);
    EXPECT_EQ(cage->edgeCount, edges);
    EXPECT_EQ(adjacencySnapshot(cage.cage), before);
    EXPECT_DOUBLE_EQ(first, second);
    EXPECT_EQ(p[0]->linegonCount, 1);
    EXPECT_EQ(p[2]->cornerCount, 2);
}

TEST(CageAdjacency, LinegonOnlyCageUsesTheMeanLinegonLength) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 3, 2, 0, 0);
    auto p = addPoints(cage.cage, {{0, 0, 0}, {2, 0, 0}, {2, 4, 0}});
    LinegonData* a = add1LinegonData(cage.cage, p[0], p[1]);
    LinegonData* b = add1LinegonData(cage.cage, p[1], p[2]);
    EXPECT_EQ(a->pos[0], p[0]->basePos);
    EXPECT_EQ(a->pos[1], p[1]->basePos);
    const double result = createEdgeData(cage.cage, 1);
    EXPECT_EQ(cage->edgeCount, 0);
    EXPECT_NEAR(result, 2.5 * (2.0 + 4.0) / 2.0, kTol);
    ASSERT_EQ(p[1]->linegonCount, 2);
    // The list runs newest first.
    EXPECT_EQ(p[1]->linegons[0], b);
    EXPECT_EQ(p[1]->linegons[1], a);
    EXPECT_EQ(p[1]->onBorder, 0);
}

TEST(CageAdjacency, NothingToMeasureGivesTheDefaultDistance) {
    OwnedCage empty;
    EXPECT_DOUBLE_EQ(createEdgeData(empty.cage, 1), 0.01);
    EXPECT_EQ(empty->edgeCount, 0);

    OwnedCage loose;
    allocCageBlocks(loose.cage, 2, 0, 0, 0);
    addPoints(loose.cage, {{0, 0, 0}, {5, 0, 0}});
    EXPECT_DOUBLE_EQ(createEdgeData(loose.cage, 1), 0.01);
    EXPECT_DOUBLE_EQ(createEdgeData(loose.cage, 0), 0.0);
}

TEST(CageAdjacency, CoincidentLinegonPointsMeasureZero) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 2, 1, 0, 0);
    auto p = addPoints(cage.cage, {{1, 2, 3}, {1, 2, 3}});
    add1LinegonData(cage.cage, p[0], p[1]);
    EXPECT_DOUBLE_EQ(createEdgeData(cage.cage, 1), 0.0);
}

TEST(CageBlocks, RecordsComeFromTheBlockAndStopWhenItIsFull) {
    OwnedCage cage;
    ASSERT_EQ(allocCageBlocks(cage.cage, 2, 1, 1, 1), 1);
    const double pos[3] = {1, 2, 3};
    PointData* a = add1PointData(cage.cage, pos);
    PointData* b = add1PointData(cage.cage, pos);
    EXPECT_EQ(a, &cage->pointBlock[0]);
    EXPECT_EQ(b, &cage->pointBlock[1]);
    EXPECT_EQ(add1PointData(cage.cage, pos), nullptr);
    EXPECT_EQ(cage->pointCount, 2);
    EXPECT_EQ(cage->pointList, b); // newest first
    EXPECT_EQ(b->next, a);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a->basePos[i], pos[i]);
        EXPECT_EQ(a->restPos[i], pos[i]);
        EXPECT_EQ(a->refPos[i], pos[i]);
    }
    EXPECT_EQ(a->owner, cage.cage);
    EXPECT_EQ(a->isCenter | a->selected | a->onBorder, 0);
    EXPECT_EQ(a->edges, a->edgesInline);

    EXPECT_NE(add1LinegonData(cage.cage, a, b), nullptr);
    EXPECT_EQ(add1LinegonData(cage.cage, a, b), nullptr);
    EXPECT_NE(add1TrigonData(cage.cage, a, b, a), nullptr);
    EXPECT_EQ(add1TrigonData(cage.cage, a, b, a), nullptr);
    EXPECT_NE(add1PolygonData(cage.cage, a, b, a, b), nullptr);
    EXPECT_EQ(add1PolygonData(cage.cage, a, b, a, b), nullptr);
    EXPECT_EQ(cage->linegonCount, 1);
    EXPECT_EQ(cage->trigonCount, 1);
    EXPECT_EQ(cage->polygonCount, 1);
    EXPECT_EQ(cage->trigonList->polygon, nullptr);

    // A live block is never replaced underneath its records.
    EXPECT_EQ(allocCageBlocks(cage.cage, 5, 0, 0, 0), 0);
    EXPECT_EQ(cage->pointCount, 2);
}

TEST(CageBlocks, DestroyLeavesAnEmptyCageAndFreesKeysAndGrownLists) {
    OwnedCage cage;
    allocCageBlocks(cage.cage, 13, 0, 12, 1);
    std::vector<cagetest::V3> pts = {{0, 0, 0}};
    for (int i = 0; i < 12; ++i)
        pts.push_back({std::cos(i * 0.5), std::sin(i * 0.5), 0});
    auto p = addPoints(cage.cage, pts);
    for (int i = 0; i < 12; ++i)
        add1TrigonData(cage.cage, p[0], p[std::size_t(1 + i)], p[std::size_t(1 + (i + 1) % 12)]);
    add1PolygonData(cage.cage, p[1], p[2], p[3], p[4]);
    createEdgeData(cage.cage, 1);
    ASSERT_NE(p[0]->trigons, p[0]->trigonsInline);

    for (int k = 0; k < 3; ++k) {
        CageKey* key = static_cast<CageKey*>(std::calloc(1, sizeof(CageKey)));
        key->deltas =
            static_cast<double*>(std::calloc(std::size_t(cage->pointCount) * 3, sizeof(double)));
        key->prev = cage->keyTail;
        if (cage->keyTail)
            cage->keyTail->next = key;
        else
            cage->keyHead = key;
        cage->keyTail = key;
    }
    CageKey* removed = static_cast<CageKey*>(std::calloc(1, sizeof(CageKey)));
    cage->removedKeyHead = cage->removedKeyTail = removed;
    cage->labelCounter = 7;

    destroyCageData(cage.cage);
    EXPECT_EQ(cage->pointList, nullptr);
    EXPECT_EQ(cage->pointArray, nullptr);
    EXPECT_EQ(cage->pointBlock, nullptr);
    EXPECT_EQ(cage->linegonList, nullptr);
    EXPECT_EQ(cage->trigonList, nullptr);
    EXPECT_EQ(cage->polygonList, nullptr);
    EXPECT_EQ(cage->edgeList, nullptr);
    EXPECT_EQ(cage->edgeBlock, nullptr);
    EXPECT_EQ(cage->pointCount + cage->linegonCount + cage->trigonCount + cage->polygonCount +
                  cage->edgeCount,
              0);
    EXPECT_EQ(cage->keyHead, nullptr);
    EXPECT_EQ(cage->keyTail, nullptr);
    EXPECT_EQ(cage->removedKeyHead, nullptr);
    EXPECT_EQ(cage->labelCounter, 0u);
    // A destroyed cage can be built again (and destroyed twice harmlessly).
    destroyCageData(cage.cage);
    EXPECT_EQ(allocCageBlocks(cage.cage, 1, 0, 0, 0), 1);
}

} // namespace
