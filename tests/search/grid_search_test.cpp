// The grid searches against a scan of every element: thousands of random
// points in and around varied cages (sparse, dense, flat, degenerate, with
// shared corners that tie), far and non-finite points, empty grids, the
// search marks, and the linegon-then-trigon sequence.
#include "literal_search.h"
#include "search_test_support.h"

#include "geometry/element_grids.h"
#include "geometry/mark_lane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>

namespace {

// Whether lane 0's last walk tested the triangle: its search mark holds
// the walk's stamp.
bool testedLastWalk(const TrigonData* t) {
    const CageInstance* cage = t->pnt[0]->owner;
    return laneMarksOf(cage, 0).trigonSearch[t->place] == cage->trisMat3D->walkStamp[0].value;
}

using namespace searchtest;

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// A search's answer seen for one kind of element.
template <class Elem> struct State {
    Elem* best = nullptr;
    double dist = 1e20;
    double over = 1e20;
    unsigned char border = 0;
};

template <class Elem> State<Elem> stateOf(const NearestElement& n) {
    const Elem* kind = nullptr;
    return {bestOf(n, kind), n.dist, n.over, n.border};
}

State<TrigonData> runTrigons(CageInstance* cage, const V3& q, NearestElement start = {},
                             CageShape shape = kRestShape, TrigonData* hint = nullptr) {
    searchNearTrigon(cage, q.data(), &start, shape, hint);
    return stateOf<TrigonData>(start);
}

State<LinegonData> runLinegons(CageInstance* cage, const V3& q, CageShape shape = kRestShape) {
    NearestElement near;
    searchNearLinegon(cage, q.data(), &near, shape);
    return stateOf<LinegonData>(near);
}

// Every element measured alone; the winner is decided only when no other
// element comes within the tie window of the nearest.
template <class Elem> struct Scan {
    std::vector<Elem*> elems;
    std::vector<Measure> m;
    int nearest = -1;
    int within = 0; // elements within the window of the nearest
};

template <class Elem>
Scan<Elem> scanAll(const std::vector<Elem*>& elems, TestFn<Elem> test, const V3& q,
                   CageShape shape = kRestShape) {
    Scan<Elem> s;
    s.elems = elems;
    for (Elem* e : elems) {
        s.m.push_back(measure(test, e, q, shape));
        const int i = int(s.m.size()) - 1;
        if (s.m[i].accepted && (s.nearest < 0 || s.m[i].dist < s.m[s.nearest].dist)) s.nearest = i;
    }
    if (s.nearest >= 0)
        for (const Measure& m : s.m)
            if (m.accepted && m.dist <= s.m[s.nearest].dist + kNearTieWindow) ++s.within;
    return s;
}

// The grid's answer agrees with the scan: an element within the window of
// the nearest, its own distance (plus the margin), overshoot and flag; the
// very nearest whenever that is unambiguous. Returns whether it was.
template <class Elem>
bool expectAgrees(const Scan<Elem>& scan, const State<Elem>& got, const V3& q) {
    if (scan.nearest < 0) {
        EXPECT_EQ(got.best, nullptr);
        return true;
    }
    const Measure& want = scan.m[scan.nearest];
    EXPECT_NE(got.best, nullptr) << q[0] << " " << q[1] << " " << q[2];
    if (!got.best) return false;
    int idx = -1;
    for (std::size_t i = 0; i < scan.elems.size(); ++i)
        if (scan.elems[i] == got.best) idx = int(i);
    EXPECT_GE(idx, 0);
    if (idx < 0) return false;
    const Measure& mine = scan.m[idx];
    EXPECT_LE(mine.dist, want.dist + kNearTieWindow)
        << "missed a nearer element at " << q[0] << " " << q[1] << " " << q[2];
    EXPECT_NEAR(got.dist, mine.dist + kNearDistanceMargin, 1e-12 * (1.0 + mine.dist));
    EXPECT_EQ(got.over, mine.over);
    EXPECT_EQ(int(got.border), mine.flag);
    if (scan.within == 1) {
        EXPECT_EQ(idx, scan.nearest) << "at " << q[0] << " " << q[1] << " " << q[2];
        return true;
    }
    return false;
}

V3 randomIn(std::mt19937& rng, const V3& lo, const V3& hi) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    return {lo[0] + (hi[0] - lo[0]) * u(rng), lo[1] + (hi[1] - lo[1]) * u(rng),
            lo[2] + (hi[2] - lo[2]) * u(rng)};
}

V3 boxLo(const CageInstance* cage, double pad) {
    return {cage->restBoxMin[0] - pad, cage->restBoxMin[1] - pad, cage->restBoxMin[2] - pad};
}
V3 boxHi(const CageInstance* cage, double pad) {
    return {cage->restBoxMax[0] + pad, cage->restBoxMax[1] + pad, cage->restBoxMax[2] + pad};
}

// --- cages ------------------------------------------------------------------------------

// Closed box of quads plus a few loose trigons, some of them zero-area.
Shape mixedSurface(std::mt19937& rng) {
    Shape s;
    const V3 lo = {-2, -1, -3}, hi = {3, 2, 1};
    for (int i = 0; i < 8; ++i)
        s.points.push_back(
            {(i & 1) ? hi[0] : lo[0], (i & 2) ? hi[1] : lo[1], (i & 4) ? hi[2] : lo[2]});
    s.faces = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    std::uniform_real_distribution<double> u(-6.0, 6.0);
    std::uniform_real_distribution<double> small(-0.7, 0.7);
    for (int i = 0; i < 60; ++i) {
        const int b = int(s.points.size());
        const V3 c = {u(rng), u(rng), u(rng)};
        for (int k = 0; k < 3; ++k)
            s.points.push_back(add(c, {small(rng), small(rng), small(rng)}));
        if (i % 10 == 0) s.points[b + 2] = s.points[b]; // a sliver with no area
        if (i % 10 == 5) s.points[b + 1] = mul(add(s.points[b], s.points[b + 2]), 0.5);
        s.faces.push_back({b, b + 1, b + 2});
    }
    return s;
}

// A surface of quads on a wavy sheet: many shared corners and edges.
Shape sheet(int n, double amp) {
    Shape s;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i)
            s.points.push_back({double(i), double(j), amp * std::sin(0.7 * i) * std::cos(0.5 * j)});
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int a = j * (n + 1) + i;
            s.faces.push_back({a, a + 1, a + n + 2, a + n + 1});
        }
    return s;
}

// Chains of linegons and loose ones, a collapsed one among them.
Shape wires(std::mt19937& rng) {
    Shape s;
    std::uniform_real_distribution<double> u(-5.0, 5.0);
    std::uniform_real_distribution<double> step(-1.0, 1.0);
    for (int c = 0; c < 8; ++c) {
        V3 p = {u(rng), u(rng), u(rng)};
        s.points.push_back(p);
        for (int k = 0; k < 6; ++k) {
            p = add(p, {step(rng), step(rng), step(rng)});
            s.points.push_back(p);
            const int b = int(s.points.size());
            s.lines.push_back({b - 2, b - 1});
        }
    }
    for (int k = 0; k < 20; ++k) {
        const int b = int(s.points.size());
        const V3 a = {u(rng), u(rng), u(rng)};
        s.points.push_back(a);
        s.points.push_back(k == 7 ? a : add(a, {step(rng), step(rng), step(rng)}));
        s.lines.push_back({b, b + 1});
    }
    return s;
}

// --- trigon search against the scan ------------------------------------------------------

void compareTrigons(CageInstance* cage, CageShape shape, std::mt19937& rng, int count, double pad,
                    int* decided) {
    const std::vector<TrigonData*> tris = allTriangles(cage);
    const V3 lo = boxLo(cage, pad), hi = boxHi(cage, pad);
    for (int i = 0; i < count; ++i) {
        const V3 q = randomIn(rng, lo, hi);
        const Scan<TrigonData> scan = scanAll(tris, testNearTrigon, q, shape);
        const State<TrigonData> got = runTrigons(cage, q, {}, shape);
        if (expectAgrees(scan, got, q)) ++*decided;
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(TrigonSearch, AgreesWithAScanOnAMixedCage) {
    std::mt19937 rng(101);
    TestCage cage;
    buildCage(cage.cage, mixedSurface(rng));
    ASSERT_NE(cage->trisMat3D, nullptr);
    ASSERT_GT(cage->trisMat3D->gridDims[0] * cage->trisMat3D->gridDims[1] *
                  cage->trisMat3D->gridDims[2],
              64);
    int decided = 0;
    compareTrigons(cage.cage, kRestShape, rng, 3000, 2.0, &decided);
    EXPECT_GT(decided, 2700);
    // Far around it too.
    compareTrigons(cage.cage, kRestShape, rng, 1000, 40.0, &decided);
}

// The nearest fan triangle of a polygon, found from the balls first, is
// the one the four tests in order keep: everywhere, ties included (points
// on the diagonals, at the centre, on the corners, over a folded quad).
TEST(FanTriangles, NearestIsTheOneTheTestsInOrderKeep) {
    std::mt19937 rng(404);
    TestCage cage;
    Shape s;
    s.points = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0},  {0, 2, 0},    // flat square
                {4, 0, 0}, {6, 0, 1}, {6, 2, -1}, {4, 2, 0.5}}; // folded quad
    s.faces = {{0, 1, 2, 3}, {4, 5, 6, 7}};
    buildCage(cage.cage, s);
    auto inOrder = [](PolygonData* poly, const V3& q) {
        NearestElement near;
        for (TrigonData& t : poly->tri)
            testNearTrigon(&t, q.data(), &near);
        return near.trigon;
    };
    std::uniform_real_distribution<double> u(-1.0, 7.0), z(-2.0, 2.0);
    std::uniform_int_distribution<int> grid(-4, 28);
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        for (int i = 0; i < 20000; ++i) {
            // Half on a quarter-unit lattice, where ties are common.
            const V3 q = i % 2 ? V3{u(rng), u(rng), z(rng)}
                               : V3{0.25 * grid(rng), 0.25 * grid(rng), 0.25 * (grid(rng) % 9)};
            ASSERT_EQ(nearestFanTriangle(poly, q.data()), inOrder(poly, q))
                << q[0] << " " << q[1] << " " << q[2];
        }
    EXPECT_EQ(nearestFanTriangle(nullptr, V3{0, 0, 0}.data()), nullptr);
}

// A first guess changes where the walk starts, never what it finds: any
// hint (the true nearest, a far triangle, a sliver, none) agrees with the
// scan, and the marks end as after a search.
TEST(TrigonSearch, AHintedSearchAgreesWithAScan) {
    std::mt19937 rng(303);
    TestCage cage;
    buildCage(cage.cage, mixedSurface(rng));
    const std::vector<TrigonData*> tris = allTriangles(cage.cage);
    std::uniform_int_distribution<std::size_t> pick(0, tris.size() - 1);
    const V3 lo = boxLo(cage.cage, 2.0), hi = boxHi(cage.cage, 2.0);
    int decided = 0;
    TrigonData* previous = nullptr;
    for (int i = 0; i < 3000; ++i) {
        const V3 q = randomIn(rng, lo, hi);
        TrigonData* hint = i % 4 == 0 ? nullptr : i % 4 == 1 ? previous : tris[pick(rng)];
        const State<TrigonData> got = runTrigons(cage.cage, q, {}, kRestShape, hint);
        const Scan<TrigonData> scan = scanAll(tris, testNearTrigon, q);
        if (expectAgrees(scan, got, q)) ++decided;
        if (::testing::Test::HasFailure()) return;
        if (scan.within == 1) {
            // The plain search finds the same one.
            EXPECT_EQ(runTrigons(cage.cage, q).best, got.best);
        }
        previous = got.best;
    }
    EXPECT_GT(decided, 2700);

    // After a linegon search left a distance nearer than every triangle,
    // no hint is taken.
    const V3 q = {0.5, 0.5, -1.0};
    const Scan<TrigonData> scan = scanAll(tris, testNearTrigon, q);
    ASSERT_GE(scan.nearest, 0);
    const double linegon = 0.5 * scan.m[scan.nearest].dist;
    ASSERT_GT(linegon, 0.0);
    NearestElement afterLinegon;
    afterLinegon.dist = linegon;
    const State<TrigonData> got =
        runTrigons(cage.cage, q, afterLinegon, kRestShape, tris[scan.nearest]);
    EXPECT_EQ(got.best, nullptr);
    EXPECT_EQ(got.dist, linegon);
}

TEST(TrigonSearch, AgreesWithAScanOnASheetOfQuads) {
    std::mt19937 rng(7);
    TestCage cage;
    buildCage(cage.cage, sheet(12, 1.5));
    int decided = 0;
    compareTrigons(cage.cage, kRestShape, rng, 3000, 1.0, &decided);
    EXPECT_GT(decided, 2000);
}

TEST(TrigonSearch, AgreesWithAScanOnAFlatSheet) {
    // Zero z extent: one cell thick.
    std::mt19937 rng(8);
    TestCage cage;
    buildCage(cage.cage, sheet(9, 0.0));
    EXPECT_EQ(cage->trisMat3D->gridDims[2], 1);
    int decided = 0;
    compareTrigons(cage.cage, kRestShape, rng, 2000, 3.0, &decided);
    EXPECT_GT(decided, 200);
}

TEST(TrigonSearch, SparseCageGrowsUntilItFindsSomething) {
    // Two tiny trigons at opposite corners of a big box: most cells empty.
    Shape s;
    s.points = {{0, 0, 0}, {0.1, 0, 0}, {0, 0.1, 0}, {20, 20, 20}, {19.9, 20, 20}, {20, 19.9, 20}};
    s.faces = {{0, 1, 2}, {3, 4, 5}};
    TestCage cage;
    buildCage(cage.cage, s);
    std::mt19937 rng(9);
    int decided = 0;
    compareTrigons(cage.cage, kRestShape, rng, 2000, 5.0, &decided);
    EXPECT_GT(decided, 1900);
}

TEST(TrigonSearch, FrameZeroSearchUsesTheBaseShape) {
    std::mt19937 rng(12);
    TestCage cage;
    buildCage(cage.cage, sheet(8, 1.0), true, {0.0, 0.0, 6.0});
    int decided = 0;
    compareTrigons(cage.cage, kBaseShape, rng, 2000, 1.0, &decided);
    EXPECT_GT(decided, 1000);
    // A point on the base sheet is at distance 0 there.
    const V3 onBase = {4.0, 4.0, 6.0 + 1.0 * std::sin(2.8) * std::cos(2.0)};
    const State<TrigonData> got = runTrigons(cage.cage, onBase, {}, kBaseShape);
    ASSERT_NE(got.best, nullptr);
    EXPECT_NEAR(got.dist, kNearDistanceMargin, 1e-9);
}

TEST(TrigonSearch, CornerTiesGiveOneOfTheTiedTriangles) {
    // On the outward diagonal of a box corner every face at that corner is
    // equally near and equally past its edges.
    TestCage cage;
    Shape s;
    for (int i = 0; i < 8; ++i)
        s.points.push_back({(i & 1) ? 1.0 : 0.0, (i & 2) ? 1.0 : 0.0, (i & 4) ? 1.0 : 0.0});
    s.faces = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    buildCage(cage.cage, s);
    const std::vector<TrigonData*> tris = allTriangles(cage.cage);
    for (double k : {0.1, 0.5, 2.0, 10.0}) {
        const V3 q = {1.0 + k, 1.0 + k, 1.0 + k};
        const Scan<TrigonData> scan = scanAll(tris, testNearTrigon, q);
        EXPECT_GE(scan.within, 3);
        const State<TrigonData> got = runTrigons(cage.cage, q);
        expectAgrees(scan, got, q);
        EXPECT_NEAR(got.dist, std::sqrt(3.0) * k + kNearDistanceMargin, 1e-12);
    }
    // Over the middle of a shared edge: two faces tie.
    const V3 q = {0.5, 1.4, 1.3};
    const Scan<TrigonData> scan = scanAll(tris, testNearTrigon, q);
    const State<TrigonData> got = runTrigons(cage.cage, q);
    expectAgrees(scan, got, q);
    EXPECT_NEAR(got.dist, 0.5 + kNearDistanceMargin, 1e-12);
}

TEST(TrigonSearch, SmallerOvershootWinsInTheSearch) {
    // The flat trigon under q is 1 away with no overshoot; the upright one
    // is 1e-6 nearer past its edge, many cells away from the first.
    Shape s;
    s.points = {{-1, -1, 0}, {-1, 1, 0},   {1, 0, 0},    {1 - 1e-6, -1, 1}, {1 - 1e-6, 1, 1},
                {3, 0, 1},   {30, 30, 30}, {31, 30, 30}, {30, 31, 30}};
    s.faces = {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}};
    TestCage cage;
    buildCage(cage.cage, s);
    const State<TrigonData> got = runTrigons(cage.cage, {0.0, 0.0, 1.0});
    ASSERT_NE(got.best, nullptr);
    EXPECT_EQ(got.best->pnt[0]->restPos[2], 0.0);
    EXPECT_EQ(got.over, 0.0);
    EXPECT_NEAR(got.dist, 1.0 + 2e-6, 1e-12);
}

// --- far and odd points ----------------------------------------------------------------------

TEST(TrigonSearch, PointOffOneSideReachesTheBorderElements) {
    std::mt19937 rng(31);
    TestCage cage;
    buildCage(cage.cage, sheet(10, 1.0));
    const std::vector<TrigonData*> tris = allTriangles(cage.cage);
    std::uniform_real_distribution<double> u(0.0, 10.0);
    for (double far : {12.0, 25.0, 300.0, 1e6}) {
        for (int i = 0; i < 200; ++i) {
            const V3 q = {10.0 + far, u(rng), u(rng) * 0.2 - 1.0};
            const Scan<TrigonData> scan = scanAll(tris, testNearTrigon, q);
            const State<TrigonData> got = runTrigons(cage.cage, q);
            expectAgrees(scan, got, q);
            ASSERT_NE(got.best, nullptr);
            // The nearest lies on the sheet's x = 10 border.
            const double maxX =
                std::fmax(got.best->pnt[1]->restPos[0],
                          std::fmax(got.best->pnt[2]->restPos[0], got.best->pnt[0]->restPos[0]));
            EXPECT_EQ(maxX, 10.0);
        }
    }
}

TEST(TrigonSearch, FarPointsInEveryDirection) {
    std::mt19937 rng(41);
    TestCage cage;
    buildCage(cage.cage, mixedSurface(rng));
    const std::vector<TrigonData*> tris = allTriangles(cage.cage);
    std::normal_distribution<double> g(0.0, 1.0);
    for (double r : {1e3, 1e8, 1e15}) {
        for (int i = 0; i < 100; ++i) {
            V3 d = {g(rng), g(rng), g(rng)};
            const V3 q = mul(d, r / norm(d));
            const Scan<TrigonData> scan = scanAll(tris, testNearTrigon, q);
            const State<TrigonData> got = runTrigons(cage.cage, q);
            expectAgrees(scan, got, q);
        }
    }
}

TEST(TrigonSearch, BeyondTheStartingDistanceNothingIsFound) {
    TestCage cage;
    buildCage(cage.cage, sheet(4, 0.5));
    for (const V3& q : {V3{1e30, 0, 0}, V3{0, -1e30, 2}, V3{1e300, 1e300, -1e300}}) {
        const State<TrigonData> got = runTrigons(cage.cage, q);
        EXPECT_EQ(got.best, nullptr);
        EXPECT_EQ(got.dist, 1e20);
        EXPECT_EQ(got.over, 1e20);
    }
    // With a larger starting distance the same point finds an element.
    NearestElement wide;
    wide.dist = 1e40;
    const State<TrigonData> got = runTrigons(cage.cage, {1e30, 0, 0}, wide);
    EXPECT_NE(got.best, nullptr);
}

TEST(TrigonSearch, NonFinitePointsFindNothing) {
    TestCage cage;
    buildCage(cage.cage, sheet(4, 0.5));
    const V3 bad[] = {{kNaN, 0, 0},  {0, kNaN, 0},       {1, 1, kNaN},       {kInf, 0, 0},
                      {0, -kInf, 0}, {kInf, kInf, kInf}, {kNaN, kInf, -kInf}};
    for (const V3& q : bad) {
        const State<TrigonData> got = runTrigons(cage.cage, q);
        EXPECT_EQ(got.best, nullptr);
        EXPECT_EQ(got.dist, 1e20);
        const State<LinegonData> none = runLinegons(cage.cage, q);
        EXPECT_EQ(none.best, nullptr);
    }
}

TEST(TrigonSearch, CageWithoutTrianglesFindsNothing) {
    std::mt19937 rng(2);
    TestCage cage;
    buildCage(cage.cage, wires(rng));
    EXPECT_EQ(cage->trisMat3D == nullptr || cage->trisMat3D->cellLists == nullptr, true);
    const State<TrigonData> got = runTrigons(cage.cage, {0, 0, 0});
    EXPECT_EQ(got.best, nullptr);
    EXPECT_EQ(got.dist, 1e20);

    TestCage bare; // no grids at all
    EXPECT_EQ(runTrigons(bare.cage, {0, 0, 0}).best, nullptr);
    EXPECT_EQ(runLinegons(bare.cage, {0, 0, 0}).best, nullptr);
    EXPECT_EQ(runTrigons(nullptr, {0, 0, 0}).best, nullptr);
}

// --- marks ---------------------------------------------------------------------------------------

TEST(TrigonSearch, TestsOnlyNearbyCellsAndMarksThem) {
    // A long row of separate trigons; a point at one end.
    Shape s;
    for (int i = 0; i < 200; ++i) {
        const double x = 2.0 * i;
        const int b = int(s.points.size());
        s.points.push_back({x, 0, 0});
        s.points.push_back({x + 1, 0, 0});
        s.points.push_back({x, 1, 0.5});
        s.faces.push_back({b, b + 1, b + 2});
    }
    TestCage cage;
    buildCage(cage.cage, s);
    const std::vector<TrigonData*> tris = allTriangles(cage.cage);
    const V3 q = {0.3, 0.4, 0.6};
    const State<TrigonData> got = runTrigons(cage.cage, q);
    ASSERT_NE(got.best, nullptr);
    EXPECT_TRUE(testedLastWalk(got.best));
    int tested = 0;
    for (const TrigonData* t : tris)
        tested += testedLastWalk(t);
    EXPECT_GE(tested, 1);
    EXPECT_LT(tested, 20);
    // Those at the far end were never reached.
    for (const TrigonData* t : tris)
        if (t->pnt[0]->restPos[0] > 100.0) {
            EXPECT_FALSE(testedLastWalk(t));
        }

    // A later search marks everything again and finds the far end's own.
    const V3 far = {2.0 * 199 + 0.3, 0.4, 0.6};
    const State<TrigonData> other = runTrigons(cage.cage, far);
    ASSERT_NE(other.best, nullptr);
    EXPECT_EQ(other.best->pnt[0]->restPos[0], 2.0 * 199);
    EXPECT_FALSE(testedLastWalk(got.best)); // untested this time
    const State<TrigonData> again = runTrigons(cage.cage, q);
    EXPECT_EQ(again.best, got.best);
    // A walk whose stamp comes round again (the stamps run out every 255
    // walks) must not take the marks an earlier walk left for its own.
    for (int between = 250; between < 262; ++between) {
        ASSERT_EQ(runTrigons(cage.cage, far).best, other.best);
        for (int k = 0; k < between; ++k)
            runTrigons(cage.cage, q);
        ASSERT_EQ(runTrigons(cage.cage, far).best, other.best) << between;
    }
}

TEST(TrigonSearch, GrowsOnlyAsFarAsTheFirstElementNeeds) {
    // A row with a wide gap; a point in the gap's empty cells.
    Shape s;
    for (int i = 0; i < 200; ++i) {
        if (i >= 90 && i < 110) continue;
        const double x = 2.0 * i;
        const int b = int(s.points.size());
        s.points.push_back({x, 0, 0});
        s.points.push_back({x + 1, 0, 0});
        s.points.push_back({x, 1, 0.5});
        s.faces.push_back({b, b + 1, b + 2});
    }
    TestCage cage;
    buildCage(cage.cage, s);
    const std::vector<TrigonData*> tris = allTriangles(cage.cage);
    const V3 q = {2.0 * 110 - 3.0, 0.5, 0.2};
    const Scan<TrigonData> scan = scanAll(tris, testNearTrigon, q);
    const State<TrigonData> got = runTrigons(cage.cage, q);
    EXPECT_TRUE(expectAgrees(scan, got, q));
    EXPECT_EQ(got.best->pnt[0]->restPos[0], 2.0 * 110);
    int tested = 0;
    for (const TrigonData* t : tris)
        tested += testedLastWalk(t);
    EXPECT_GE(tested, 1);
    EXPECT_LT(tested, 30);
}

// --- linegons ------------------------------------------------------------------------------------

TEST(LinegonSearch, AgreesWithAScan) {
    std::mt19937 rng(55);
    TestCage cage;
    buildCage(cage.cage, wires(rng));
    const std::vector<LinegonData*> lines = allLinegons(cage.cage);
    int decided = 0;
    for (double pad : {1.0, 30.0}) {
        const V3 lo = boxLo(cage.cage, pad), hi = boxHi(cage.cage, pad);
        for (int i = 0; i < 2500; ++i) {
            const V3 q = randomIn(rng, lo, hi);
            const Scan<LinegonData> scan = scanAll(lines, testNearLine, q);
            const State<LinegonData> got = runLinegons(cage.cage, q);
            if (expectAgrees(scan, got, q)) ++decided;
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(decided, 3500);
}

TEST(LinegonSearch, FarAndNonFinitePoints) {
    std::mt19937 rng(57);
    TestCage cage;
    buildCage(cage.cage, wires(rng));
    const std::vector<LinegonData*> lines = allLinegons(cage.cage);
    std::normal_distribution<double> g(0.0, 1.0);
    for (double r : {50.0, 1e6, 1e12}) {
        for (int i = 0; i < 100; ++i) {
            V3 d = {g(rng), g(rng), g(rng)};
            const V3 q = mul(d, r / norm(d));
            expectAgrees(scanAll(lines, testNearLine, q), runLinegons(cage.cage, q), q);
        }
    }
    for (const V3& q : {V3{1e30, 0, 0}, V3{0, 0, -1e300}, V3{kNaN, 0, 0}, V3{0, kInf, 0},
                        V3{-kInf, kNaN, kInf}}) {
        const State<LinegonData> got = runLinegons(cage.cage, q);
        EXPECT_EQ(got.best, nullptr);
        EXPECT_EQ(got.dist, 1e20);
        EXPECT_EQ(got.over, 1e20);
        EXPECT_EQ(got.border, 0);
    }
}

TEST(LinegonSearch, ChainJointsTieAndFreeEndsAreFlagged) {
    // Chain (0,0,0)-(1,0,0)-(1,1,0): at the joint both are equally near.
    Shape s;
    s.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {8, 8, 8}, {9, 8, 8}};
    s.lines = {{0, 1}, {1, 2}, {3, 4}};
    TestCage cage;
    buildCage(cage.cage, s);
    const std::vector<LinegonData*> lines = allLinegons(cage.cage);
    const V3 joint = {1.5, -0.5, 0.0};
    const State<LinegonData> atJoint = runLinegons(cage.cage, joint);
    expectAgrees(scanAll(lines, testNearLine, joint), atJoint, joint);
    EXPECT_NEAR(atJoint.dist, std::sqrt(0.5) + 2e-6, 1e-12);
    EXPECT_EQ(atJoint.border, 0);

    const V3 free = {-0.6, 0.0, 0.8};
    const State<LinegonData> atFree = runLinegons(cage.cage, free);
    ASSERT_NE(atFree.best, nullptr);
    EXPECT_NEAR(atFree.dist, 1.0 + 2e-6, 1e-12);
    EXPECT_NEAR(atFree.over, 0.6, 1e-12);
    EXPECT_EQ(atFree.border, 1);
}

TEST(LinegonSearch, FrameZeroSearchUsesTheBaseShape) {
    std::mt19937 rng(56);
    TestCage cage;
    buildCage(cage.cage, wires(rng), true, {3.0, -2.0, 1.0});
    const std::vector<LinegonData*> lines = allLinegons(cage.cage);
    int decided = 0;
    for (int i = 0; i < 1500; ++i) {
        const V3 q = randomIn(rng, boxLo(cage.cage, 2.0), boxHi(cage.cage, 2.0));
        const Scan<LinegonData> scan = scanAll(lines, testNearLine, q, kBaseShape);
        if (expectAgrees(scan, runLinegons(cage.cage, q, kBaseShape), q)) ++decided;
        if (HasFailure()) return;
    }
    EXPECT_GT(decided, 1000);
}

// --- linegons, then trigons ----------------------------------------------------------------------

TEST(SharedState, ATrigonIsFoundOnlyWhenAtLeastAsNearAsTheBestLinegon) {
    std::mt19937 rng(77);
    Shape s = wires(rng);
    const Shape surf = sheet(6, 1.0);
    const int b = int(s.points.size());
    for (const V3& p : surf.points)
        s.points.push_back(add(p, {-3.0, -3.0, 0.0}));
    for (auto f : surf.faces) {
        for (int& i : f)
            i += b;
        s.faces.push_back(f);
    }
    TestCage cage;
    buildCage(cage.cage, s);
    const std::vector<LinegonData*> lines = allLinegons(cage.cage);
    const std::vector<TrigonData*> tris = allTriangles(cage.cage);
    int withTrigon = 0, withoutTrigon = 0;
    for (int i = 0; i < 3000; ++i) {
        const V3 q = randomIn(rng, boxLo(cage.cage, 2.0), boxHi(cage.cage, 2.0));
        State<LinegonData> ls = runLinegons(cage.cage, q);
        const Scan<LinegonData> lscan = scanAll(lines, testNearLine, q);
        if (!expectAgrees(lscan, ls, q)) continue;

        NearestElement near;
        near.linegon = ls.best;
        near.dist = ls.dist;
        near.over = ls.over;
        near.border = ls.border;
        searchNearTrigon(cage.cage, q.data(), &near);
        const State<TrigonData> ts = stateOf<TrigonData>(near);
        TrigonData* best = ts.best;
        EXPECT_EQ(near.linegon, ls.best);

        const Scan<TrigonData> tscan = scanAll(tris, testNearTrigon, q);
        const double tmin = tscan.m[tscan.nearest].dist;
        // Too close to the linegon's stored distance to call.
        if (std::fabs(tmin - ls.dist) < 1e-5 || tscan.within != 1) continue;
        if (tmin < ls.dist) {
            ++withTrigon;
            EXPECT_EQ(best, tscan.elems[tscan.nearest]);
            EXPECT_NEAR(ts.dist, tmin + kNearDistanceMargin, 1e-12);
            EXPECT_EQ(ts.over, tscan.m[tscan.nearest].over);
        } else {
            ++withoutTrigon;
            EXPECT_EQ(best, nullptr);
            EXPECT_EQ(ts.dist, ls.dist);
            EXPECT_EQ(ts.over, ls.over);
            EXPECT_EQ(ts.border, ls.border);
        }
        if (HasFailure()) return;
    }
    EXPECT_GT(withTrigon, 200);
    EXPECT_GT(withoutTrigon, 200);
}

// --- the literal order --------------------------------------------------------------------

// A box of n x n quads a side, twisted about z by `twist` radians from
// bottom to top: ties on its symmetry planes, none once twisted.
Shape quadBox(int n, double twist) {
    Shape s;
    std::map<std::array<long, 3>, int> index;
    auto point = [&](int i, int j, int k) {
        const std::array<long, 3> key = {i, j, k};
        auto found = index.find(key);
        if (found != index.end()) return found->second;
        const double z = 2.0 * k / n - 1.0, a = twist * 0.5 * (z + 1.0);
        const double x = 2.0 * i / n - 1.0, y = 2.0 * j / n - 1.0;
        s.points.push_back(
            {x * std::cos(a) - y * std::sin(a), x * std::sin(a) + y * std::cos(a), z});
        return index[key] = int(s.points.size()) - 1;
    };
    for (int u = 0; u < n; ++u)
        for (int v = 0; v < n; ++v) {
            s.faces.push_back(
                {point(u, v, 0), point(u, v + 1, 0), point(u + 1, v + 1, 0), point(u + 1, v, 0)});
            s.faces.push_back(
                {point(u, v, n), point(u + 1, v, n), point(u + 1, v + 1, n), point(u, v + 1, n)});
            s.faces.push_back(
                {point(u, 0, v), point(u + 1, 0, v), point(u + 1, 0, v + 1), point(u, 0, v + 1)});
            s.faces.push_back(
                {point(u, n, v), point(u, n, v + 1), point(u + 1, n, v + 1), point(u + 1, n, v)});
            s.faces.push_back(
                {point(0, u, v), point(0, u, v + 1), point(0, u + 1, v + 1), point(0, u + 1, v)});
            s.faces.push_back(
                {point(n, u, v), point(n, u + 1, v), point(n, u + 1, v + 1), point(n, u, v + 1)});
        }
    return s;
}

// q rounded to the lattice of 1 / perUnit, where nearest elements tie.
V3 onLattice(V3 q, double perUnit) {
    for (double& v : q)
        v = std::round(v * perUnit) / perUnit;
    return q;
}

bool sameState(const NearestElement& a, const NearestElement& b) {
    return a.linegon == b.linegon && a.trigon == b.trigon && a.dist == b.dist && a.over == b.over &&
           a.border == b.border;
}

// Whatever the hint, the search gives the literal walk's answer bit for bit:
// on lattices of points where every kind of tie happens (the centre of a
// box, its symmetry planes, shared edges and corners), after a linegon's
// distance, and for the frame-0 search.
TEST(SearchOrder, EveryAnswerIsTheLiteralWalksWhateverTheHint) {
    std::mt19937 rng(909);
    struct Case {
        Shape shape;
        bool frame0;
    };
    std::vector<Case> cases = {{quadBox(1, 0.0), false}, {quadBox(3, 0.0), false},
                               {quadBox(3, 0.7), false}, {sheet(6, 1.0), false},
                               {sheet(5, 0.0), true},    {mixedSurface(rng), false}};
    int ties = 0;
    for (const Case& c : cases) {
        TestCage cage;
        buildCage(cage.cage, c.shape, c.frame0, {0.25, 0.0, 0.5});
        const std::vector<TrigonData*> tris = allTriangles(cage.cage);
        const CageShape shape = c.frame0 ? kBaseShape : kRestShape;
        std::uniform_int_distribution<std::size_t> pick(0, tris.size() - 1);
        const V3 lo = boxLo(cage.cage, 1.0), hi = boxHi(cage.cage, 1.0);
        TrigonData* previous = nullptr;
        for (int i = 0; i < 6000; ++i) {
            // Half on a lattice of eighths, half anywhere.
            const V3 q = i % 2 ? onLattice(randomIn(rng, lo, hi), 8.0) : randomIn(rng, lo, hi);
            NearestElement want;
            if (i % 5 == 4) want.dist = want.over = 0.3 + 0.1 * double(i % 7); // a linegon's
            NearestElement literal = want;
            literalSearch(cage->trisMat3D, testNearTrigon, shape, q.data(), &literal);
            for (TrigonData* hint :
                 {static_cast<TrigonData*>(nullptr), literal.trigon, previous, tris[pick(rng)]}) {
                NearestElement got = want;
                searchNearTrigon(cage.cage, q.data(), &got, shape, hint);
                ASSERT_TRUE(sameState(got, literal))
                    << q[0] << " " << q[1] << " " << q[2] << " hint " << hint;
            }
            if (literal.trigon && scanAll(tris, testNearTrigon, q, shape).within > 1) ++ties;
            previous = literal.trigon;
        }
    }
    EXPECT_GT(ties, 3000);
}

// A stack of parallel triangles 1.5e-6 apart over the point, each taken in
// turn when the walk meets them nearest first (every one lies within the
// margin of the one before and overshoots no more): the literal walk ends
// at the farthest, well past any first guess's limit. Whatever the hint,
// the order the cells list them in and a far triangle met before them,
// the search gives that answer.
TEST(SearchOrder, AStackCreepingPastTheGuessIsTheLiteralWalks) {
    const int layers = 14;
    for (bool nearestFirst : {true, false}) {
        Shape s;
        auto layer = [&](double z) {
            const int base = int(s.points.size());
            s.points.push_back({0.0, 0.0, z});
            s.points.push_back({1.0, 0.0, z});
            s.points.push_back({0.0, 1.0, z});
            s.faces.push_back({base, base + 1, base + 2});
        };
        // The far ones first and last: one of them heads the cells' runs.
        layer(1e-3);
        for (int k = 0; k < layers; ++k)
            layer(1.5e-6 * (nearestFirst ? k : layers - 1 - k));
        layer(2e-3);
        TestCage cage;
        buildCage(cage.cage, s);
        const std::vector<TrigonData*> tris = allTriangles(cage.cage);
        for (double height : {-0.01, -0.2}) {
            const V3 q = {0.3, 0.3, height};
            NearestElement literal;
            literalSearch(cage->trisMat3D, testNearTrigon, kRestShape, q.data(), &literal);
            ASSERT_NE(literal.trigon, nullptr);
            std::vector<TrigonData*> hints(tris);
            hints.push_back(nullptr);
            for (TrigonData* hint : hints) {
                NearestElement got;
                searchNearTrigon(cage.cage, q.data(), &got, kRestShape, hint);
                ASSERT_TRUE(sameState(got, literal)) << nearestFirst << " " << height;
            }
        }
    }
}

// The linegon search keeps the literal order as well.
TEST(SearchOrder, LinegonAnswersAreTheLiteralWalks) {
    std::mt19937 rng(910);
    TestCage cage;
    buildCage(cage.cage, wires(rng));
    const V3 lo = boxLo(cage.cage, 1.0), hi = boxHi(cage.cage, 1.0);
    for (int i = 0; i < 6000; ++i) {
        const V3 q = i % 2 ? onLattice(randomIn(rng, lo, hi), 4.0) : randomIn(rng, lo, hi);
        NearestElement literal, got;
        literalSearch(cage->lineMat3D, testNearLine, kRestShape, q.data(), &literal);
        searchNearLinegon(cage.cage, q.data(), &got);
        ASSERT_TRUE(sameState(got, literal)) << q[0] << " " << q[1] << " " << q[2];
    }
}

} // namespace
