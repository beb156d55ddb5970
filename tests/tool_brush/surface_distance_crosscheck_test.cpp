// The surface-distance search against a textbook Dijkstra over the same
// graph on random cages, and its queue against a sorted list.
#include "brush_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <queue>

using namespace brushtest;

namespace {

// Shortest edge-path lengths over the steps the search may take (with a
// point selection: to selected points, and through edges to centres).
std::map<const PointData*, double> dijkstra(const PointData* source, bool selectionOnly) {
    std::map<const PointData*, double> best{{source, 0.0}};
    std::priority_queue<std::pair<double, const PointData*>> open; // negated lengths
    for (open.push({0.0, source}); !open.empty(); open.pop()) {
        const auto [d, p] = open.top();
        if (-d > best[p]) continue;
        for (int i = 0; i < p->edgeCount + p->linegonCount; ++i) {
            const LinegonData* l = i < p->edgeCount ? nullptr : p->linegons[i - p->edgeCount];
            const PointData* n = l ? l->pnt[l->pnt[0] == p] : p->edgePoints[i];
            const double via = -d + norm(sub(world(n), world(p)));
            if ((!selectionOnly || n->selected || (!l && n->isCenter)) &&
                (!best.count(n) || via < best[n]))
                open.push({-(best[n] = via), n});
        }
    }
    return best;
}

} // namespace

// On linegon nets (no surface to unfold) the measure is the path length, so
// the search is Dijkstra cut at the radius. On bumpy grids of quads and
// triangles it may settle for a path longer than the shortest (it orders by
// the unfolded measure), but never shorter, and its path is its chain's.
TEST(SurfaceDistanceCrossCheck, AgreesWithDijkstraWhereItMust) {
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> coord(0.0, 4.0);
    for (int seed = 0; seed < 60; ++seed) {
        const bool linesOnly = seed % 3 == 0;
        Shape s = linesOnly ? Shape{} : gridShape(4, 3, true, &rng);
        for (int i = 0; linesOnly && i < 14; ++i)
            s.points.push_back({coord(rng), coord(rng), coord(rng)});
        for (int i = 0, n = int(s.points.size()); i < (linesOnly ? 24 : 4); ++i)
            s.lines.push_back({i % n, int(rng() % n)});
        Brush b(s, (linesOnly ? 2.0 : 1.0) * (1.0 + coord(rng)));
        for (PointData* p : b.p)
            b.state->selectedPointCount += seed % 2 ? (p->selected = rng() % 4 != 0) : 0;
        PointData* source = b.p[rng() % b.p.size()];
        b.run(source);
        const auto shortest = dijkstra(source, b.state->selectedPointCount != 0);
        unsigned int maxLevel = 0;
        for (const auto& [p, dij] : shortest) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " point " << p->index);
            EXPECT_TRUE(!linesOnly || bool(p->inRange) == (dij <= b.state->brushWorldRadius));
            if (!p->inRange) continue;
            EXPECT_NEAR(p->pathLength, linesOnly ? dij : std::max(dij, p->pathLength), 1e-9);
            EXPECT_TRUE(p->unfoldedDistance <= p->searchDistance &&
                        p->searchDistance <= p->pathLength);
            EXPECT_TRUE(!linesOnly || p->searchDistance == p->pathLength);
            EXPECT_NEAR(p->brushWeight,
                        p->isCenter ? 0 : 1 - p->searchDistance / b.state->brushWorldRadius, 1e-12);
            double along = 0.0;
            unsigned int hops = 0;
            for (const PointData* q = p; q != source && hops < 1000; q = q->searchPrev, ++hops)
                along += norm(sub(world(q), world(q->searchPrev)));
            EXPECT_NEAR(p->pathLength, along, 1e-9);
            EXPECT_EQ(p->searchLevel, std::max(hops, 1u));
            maxLevel = std::max(maxLevel, p->isCenter ? 0 : p->searchLevel);
        }
        for (PointData* p : b.p)
            EXPECT_TRUE(p->inRange ? shortest.count(p) == 1 : p->brushWeight == 0.0);
        EXPECT_EQ(b.state->maxLevel, maxLevel);
    }
}

// Offers with tied keys that add and improve nodes: the queue stays the list
// sorted by key, the latest update first among equal keys.
TEST(SearchQueue, StaysSortedWhileNodesAreAddedAndMoved) {
    std::unique_ptr<EditCageState> state(new EditCageState());
    state->brushWorldRadius = 1e9;
    std::vector<PointData> points(40), from(1);
    PointData* b = &from[0]; // no surface normal: each offer's key is its path length
    b->unfoldedDir[0] = 1.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        points[i].worldOtherPos[0] = double(i % 5);
        points[i].unfoldedDistance = points[i].pathLength = points[i].searchDistance = 1e20;
    }
    std::mt19937 rng(5);
    std::map<const PointData*, std::pair<double, int>> expected; // key, -(update time)
    for (int t = 0; t < 400; ++t) {
        PointData* c = &points[rng() % points.size()];
        b->pathLength = b->unfoldedPos[0] = double(rng() % 12);
        testDistanceLinked2Pnts(state.get(), b, b, c);
        const double key = b->pathLength + c->worldOtherPos[0];
        if (!expected.count(c) || key < expected[c].first) expected[c] = {key, -t};
        std::vector<std::pair<std::pair<double, int>, const PointData*>> order;
        for (const auto& [p, e] : expected)
            order.push_back({e, p});
        std::sort(order.begin(), order.end());
        const SearchNode* node = state->queueHead;
        for (const auto& [e, p] : order) {
            ASSERT_TRUE(node && node->point == p && p->searchNode == node && node->key == e.first);
            ASSERT_EQ(node->towardTail ? node->towardTail->towardHead : state->queueTail, node);
            node = node->towardTail;
        }
        ASSERT_EQ(node, nullptr) << "offer " << t;
    }
    EXPECT_TRUE(state->searchChunks->next->next &&
                !state->searchChunks->next->next->next); // 40 in 16s
    destroyPntStcMemChunk(state.get());
    EXPECT_TRUE(!state->searchChunks && !state->queueHead && !state->queueTail);
    for (const PointData& p : points)
        EXPECT_EQ(p.searchNode, nullptr);
}
