// The surface-distance search against a textbook Dijkstra over the same
// graph, and its queue against a sorted list.
#include "brush_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <queue>

using namespace brushtest;

namespace {

// Shortest edge-path lengths from the source over the neighbours the search
// may use (with a point selection: selected points, and centres through
// edges).
std::map<const PointData*, double> dijkstra(const PointData* source, bool selectionOnly) {
    std::map<const PointData*, double> best{{source, 0.0}};
    using Entry = std::pair<double, const PointData*>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    open.push({0.0, source});
    while (!open.empty()) {
        const auto [d, p] = open.top();
        open.pop();
        if (d > best[p]) continue;
        std::vector<const PointData*> next;
        for (int i = 0; i < p->edgeCount; ++i)
            if (!selectionOnly || p->edgePoints[i]->selected || p->edgePoints[i]->isCenter)
                next.push_back(p->edgePoints[i]);
        for (int i = 0; i < p->linegonCount; ++i) {
            const PointData* n = p->linegons[i]->pnt[p->linegons[i]->pnt[0] == p];
            if (!selectionOnly || n->selected) next.push_back(n);
        }
        for (const PointData* n : next) {
            const double via = d + norm(sub(world(n), world(p)));
            if (!best.count(n) || via < best[n]) open.push({best[n] = via, n});
        }
    }
    return best;
}

// Random cages: linegon nets (where the unfolded measure is the path length)
// or bumpy grids of quads and triangles with a few linegons, a random
// selection on every other seed.
struct RandomCase {
    Shape shape;
    bool selection;
};

RandomCase randomCase(std::mt19937& rng, bool linesOnly) {
    RandomCase c{linesOnly ? Shape{} : gridShape(4, 3, true, &rng), rng() % 2 == 0};
    std::uniform_real_distribution<double> coord(0.0, 4.0);
    if (linesOnly)
        for (int i = 0; i < 14; ++i)
            c.shape.points.push_back({coord(rng), coord(rng), coord(rng)});
    const int n = int(c.shape.points.size());
    for (int i = 0; i < (linesOnly ? 24 : 4); ++i)
        c.shape.lines.push_back({int(rng() % n), int(rng() % n)});
    return c;
}

} // namespace

TEST(SurfaceDistanceCrossCheck, AgreesWithDijkstraWhereItMust) {
    std::mt19937 rng(17);
    for (int seed = 0; seed < 60; ++seed) {
        const bool linesOnly = seed % 3 == 0;
        RandomCase c = randomCase(rng, linesOnly);
        Posed cage(c.shape);
        int selected = 0;
        for (PointData* p : cage.p)
            selected += c.selection ? (p->selected = rng() % 4 != 0) : 0;
        Brush brush(std::uniform_real_distribution<double>(1.0, 5.0)(rng));
        brush.state->selectedPointCount = selected;
        PointData* source = cage.p[rng() % cage.p.size()];
        brush.run(cage.cage.cage, source);
        const auto shortest = dijkstra(source, selected != 0);
        const double radius = brush.state->brushWorldRadius;
        unsigned int maxLevel = 0;
        for (const auto& [p, dij] : shortest) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " point " << p->index);
            // On linegon nets the measure is the path length: plain shortest paths.
            if (linesOnly) {
                EXPECT_EQ(bool(p->inRange), dij <= radius);
                EXPECT_NEAR(p->inRange ? p->searchDistance : dij, dij, 1e-9);
            }
            if (!p->inRange) continue;
            EXPECT_GE(p->pathLength, dij - 1e-9);
            EXPECT_LE(p->unfoldedDistance, p->searchDistance + 1e-12);
            EXPECT_LE(p->searchDistance, p->pathLength + 1e-12);
            // The path and level are those of the predecessor chain.
            double along = 0.0;
            unsigned int hops = 0;
            for (const PointData* q = p; q != source && hops < 1000; q = q->searchPrev, ++hops)
                along += norm(sub(world(q), world(q->searchPrev)));
            EXPECT_NEAR(p->pathLength, along, 1e-9);
            EXPECT_EQ(p->searchLevel, std::max(hops, 1u));
            if (!p->isCenter) maxLevel = std::max(maxLevel, p->searchLevel);
            EXPECT_NEAR(p->brushWeight, p->isCenter ? 0.0 : 1.0 - p->searchDistance / radius,
                        1e-12);
        }
        for (PointData* p : cage.p)
            EXPECT_TRUE(p->inRange ? shortest.count(p) : p->brushWeight == 0.0);
        EXPECT_EQ(brush.state->maxLevel, maxLevel);
    }
}

// Offers with tied keys that insert and improve nodes: the queue stays the
// list sorted by key, the latest update first among equal keys.
TEST(SearchQueue, StaysSortedWhileNodesAreAddedAndMoved) {
    Brush brush(1e9);
    EditCageState* state = brush.state.get();
    std::vector<PointData> points(40), from(1);
    PointData* b = &from[0];
    b->unfoldedDir[0] = 1.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        points[i].worldOtherPos[0] = double(i % 5);
        points[i].unfoldedDistance = points[i].pathLength = points[i].searchDistance = 1e20;
    }
    std::mt19937 rng(5);
    std::map<const PointData*, std::pair<double, int>> expected; // key, update time
    for (int t = 0; t < 400; ++t) {
        PointData* c = &points[rng() % points.size()];
        b->pathLength = b->unfoldedPos[0] = double(rng() % 12); // key = that + c's x
        const double key = b->pathLength + c->worldOtherPos[0];
        testDistanceLinked2Pnts(state, b, b, c);
        if (!expected.count(c) || key < expected[c].first) expected[c] = {key, t};
        std::vector<std::pair<std::pair<double, int>, const PointData*>> order;
        for (const auto& [p, e] : expected)
            order.push_back({{e.first, -e.second}, p});
        std::sort(order.begin(), order.end());
        const SearchNode* node = state->queueHead;
        for (const auto& [e, p] : order) {
            ASSERT_TRUE(node && node->point == p && p->searchNode == node) << "offer " << t;
            ASSERT_EQ(node->key, e.first);
            ASSERT_EQ(node->towardTail ? node->towardTail->towardHead : state->queueTail, node);
            node = node->towardTail;
        }
        ASSERT_EQ(node, nullptr);
    }
    int chunks = 0;
    for (SearchNodeChunk* k = state->searchChunks; k; k = k->next)
        ++chunks;
    EXPECT_EQ(chunks, 3); // 40 nodes in chunks of 16
    destroyPntStcMemChunk(state);
    EXPECT_TRUE(!state->searchChunks && !state->queueHead && !state->queueTail);
    for (const PointData& p : points)
        EXPECT_EQ(p.searchNode, nullptr);
}
