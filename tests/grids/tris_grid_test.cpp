// The triangle grids. 3D: hand-sized single-triangle and flat cages,
// chunking, every triangle listed exactly in the cells its rest box covers
// (brute force over all cells), clamped lookups, empty grids, allocation
// failures and rebuilds. 2D: the cell size with the shaping of thin areas,
// listing by x-y box, edge-on triangles left out.
#include "geometry/element_grids.h"
#include "geometry/inside_test.h"
#include "grid_test_support.h"
#include "../support/named_rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <random>
#include <string>

namespace {

using namespace gridtest;

const double kInf = std::numeric_limits<double>::infinity();

// Each triangle grid's number of axes, and the node list of its cell at idx.
constexpr int axesOf(const TrisMat3D*) {
    return 3;
}
constexpr int axesOf(const TrisMat2D*) {
    return 2;
}
const TrisNode* cellAt(const TrisMat3D* g, const int* i) {
    return cellList(g, i[0], i[1], i[2]);
}
const TrisNode* cellAt(const TrisMat2D* g, const int* i) {
    return cellList(g, i[0], i[1]);
}

// Every triangle is in exactly the cells its rest box overlaps on the grid's
// axes, once each; the 2D grid (x and y) leaves out edge-on triangles. The
// cells reach past the cage's real extent.
template <class Grid> void expectListedByRestBox(const CageInstance* cage, const Grid* g) {
    constexpr int axes = axesOf(static_cast<const Grid*>(nullptr));
    ASSERT_NE(g, nullptr);
    ASSERT_NE(g->cellLists, nullptr);
    const std::vector<TrigonData*> tris = allTriangles(cage);
    int cells = 1;
    for (int a = 0; a < axes; ++a) {
        cells *= g->gridDims[a];
        EXPECT_GE(g->gridOrigin[a] + g->gridDims[a] * g->cellSize, g->gridMax[a]);
    }
    long long listed = 0, expected = 0;
    int undecided = 0;
    for (int k = 0; k < cells; ++k) {
        int idx[3] = {0, 0, 0};
        for (int a = 0, rest = k; a < axes; rest /= g->gridDims[a], ++a)
            idx[a] = rest % g->gridDims[a];
        SCOPED_TRACE("cell " + std::to_string(idx[0]) + ' ' + std::to_string(idx[1]) + ' ' +
                     std::to_string(idx[2]));
        std::map<const TrigonData*, int> count;
        for (const TrisNode* n = cellAt(g, idx); n; n = n->next) {
            ++count[n->tri];
            ++listed;
        }
        for (const TrigonData* t : tris) {
            const bool edgeOn = axes == 2 && std::fabs(t->rest.N[2]) < 1e-7;
            int want = edgeOn ? 0 : 1;
            for (int a = 0; a < axes && want != 0; ++a) {
                const int covers = axisCovers(t->restBoxMin[a], t->restBoxMax[a], g->gridOrigin[a],
                                              g->cellSize, idx[a], g->gridDims[a]);
                if (covers == 0)
                    want = 0;
                else if (covers < 0)
                    want = -1;
            }
            const int have = count.count(t) ? count[t] : 0;
            EXPECT_LE(have, 1);
            if (want == 1) {
                EXPECT_EQ(have, 1) << "missing";
                ++expected;
            } else if (want == 0) {
                EXPECT_EQ(have, 0) << (edgeOn ? "edge-on triangle listed" : "stray");
            } else {
                ++undecided;
                expected += have;
            }
        }
        for (const auto& kv : count)
            EXPECT_NE(std::find(tris.begin(), tris.end(), kv.first), tris.end());
    }
    EXPECT_EQ(listed, expected);
    EXPECT_LE(undecided, 4);
}

void expectEmptyGrid(const TrisMat3D* g) {
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->cellLists, nullptr);
    EXPECT_EQ(g->packed, nullptr);
    EXPECT_EQ(g->cellStart, nullptr);
    EXPECT_EQ(g->cellBounds, nullptr);
    EXPECT_EQ(g->chunks, nullptr);
    EXPECT_EQ(g->chunkCapacity, 0u);
    EXPECT_EQ(g->markCount, 0u);
    EXPECT_EQ(g->gridDims[0], 0);
    EXPECT_EQ(g->gridDims[1], 0);
    EXPECT_EQ(g->gridDims[2], 0);
    int idx[3] = {7, 7, 7};
    const double p[3] = {0, 0, 0};
    EXPECT_EQ(cellIndexOf(g, p, idx), 0);
    EXPECT_EQ(idx[0], 0);
    EXPECT_EQ(cellList(g, 0, 0, 0), nullptr);
}

// One hand-built cage per test, for the 3D and the 2D triangle grids alike.
class TriangleGrid : public testing::Test {
  protected:
    // Random triangles of mixed sizes, some flat along an axis, plus quads.
    // With `spread` every trigon corner is anywhere in the box.
    void buildSoup(unsigned seed, int trigons, int quads, bool spread = false) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> u(-3.0, 5.0), small(-0.3, 0.3);
        std::vector<V3> pts;
        for (int i = 0; i < trigons; ++i) {
            const V3 centre = {u(rng), u(rng), u(rng) * 0.5};
            const double k = (i % 4 == 0) ? 4.0 : 1.0; // a few large ones
            for (int j = 0; j < 3; ++j) {
                V3 p = add(centre, {small(rng) * k, small(rng) * k, small(rng) * k});
                if (i % 5 == 1) p[2] = centre[2]; // level
                if (spread) p = {u(rng), u(rng), u(rng)};
                pts.push_back(p);
            }
        }
        for (int i = 0; i < quads; ++i) {
            const V3 centre = {u(rng), u(rng), u(rng) * 0.5};
            pts.push_back(add(centre, {-0.4, -0.3, small(rng)}));
            pts.push_back(add(centre, {0.5, -0.2, small(rng)}));
            pts.push_back(add(centre, {0.3, 0.6, small(rng)}));
            pts.push_back(add(centre, {-0.5, 0.4, small(rng)}));
        }
        allocCageBlocks(c.cage, int(pts.size()), 0, trigons, quads);
        std::vector<PointData*> p = addPoints(c.cage, pts);
        for (int i = 0; i < trigons; ++i)
            add1TrigonData(c.cage, p[3 * i], p[3 * i + 1], p[3 * i + 2]);
        for (int i = 0; i < quads; ++i) {
            const int b = 3 * trigons + 4 * i;
            add1PolygonData(c.cage, p[b], p[b + 1], p[b + 2], p[b + 3]);
        }
        rebuildCageRestData(c.cage);
    }

    TestCage c;
};

class TrisGrid3D : public TriangleGrid {};
class TrisGrid2D : public TriangleGrid {};

// Each cell's run holds its list, in order, with each triangle's ball.
void expectRunsMirrorLists(const TrisMat3D* g) {
    const auto lists = snapshot3D(g);
    ASSERT_EQ(g->cellStart[0], 0u);
    for (std::size_t cell = 0; cell < lists.size(); ++cell) {
        std::vector<const void*> run;
        for (std::size_t i = g->cellStart[cell]; i < g->cellStart[cell + 1]; ++i) {
            const TrisEntry& e = g->packed[i];
            run.push_back(e.tri);
            EXPECT_EQ(std::memcmp(e.ball, e.tri->restSphere, sizeof e.ball), 0);
            EXPECT_EQ(e.place, e.tri->place);
        }
        EXPECT_EQ(run, lists[cell]) << "cell " << cell;
    }
}

TEST_F(TrisGrid3D, SingleTriangleGivesEightCellsAndTwoChunks) {
    const TrigonData* t = oneTrigon(c.cage, {0, 0, 0}, {1, 0, 0}, {0, 1, 1});
    ASSERT_EQ(makeTrisMat3D(c.cage), 1);
    const TrisMat3D* g = c->trisMat3D;
    // Extents 1x1x1, target max(1, 8): s = 0.5625, 2x2x2.
    EXPECT_NEAR(g->cellSize, 0.5625, 1e-15);
    EXPECT_EQ(g->gridDims[0], 2);
    EXPECT_EQ(g->gridDims[1], 2);
    EXPECT_EQ(g->gridDims[2], 2);
    EXPECT_EQ(g->strideY, 2u);
    EXPECT_EQ(g->strideZ, 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g->gridOrigin[i], 0.0);
        EXPECT_EQ(g->gridMax[i], 1.0);
    }
    // The box spans every cell; 8 nodes in chunks of 4 x 1.
    for (int z = 0; z < 2; ++z)
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) {
                const TrisNode* n = cellList(g, x, y, z);
                ASSERT_NE(n, nullptr);
                EXPECT_EQ(n->tri, t);
                EXPECT_EQ(n->next, nullptr);
                EXPECT_EQ(g->cellLists[x + 2 * y + 4 * z], n);
            }
    EXPECT_EQ(g->chunkCapacity, 4u);
    EXPECT_EQ(chunkCount(g->chunks), 2);
    EXPECT_EQ(g->chunks->used, 4u);
    EXPECT_EQ(g->chunks->next->used, 4u);
}

TEST_F(TrisGrid3D, FlatTriangleGetsOneZCellAndAboutEightCells) {
    oneTrigon(c.cage, {0, 0, 2}, {1, 0, 2}, {0, 1, 2});
    ASSERT_EQ(makeTrisMat3D(c.cage), 1);
    const TrisMat3D* g = c->trisMat3D;
    EXPECT_EQ(g->gridDims[2], 1);
    EXPECT_NEAR(g->cellSize, 0.5, 1e-6);
    const int cells = g->gridDims[0] * g->gridDims[1];
    EXPECT_TRUE(cells == 4 || cells == 9) << cells;
    expectListedByRestBox(c.cage, c->trisMat3D);
}

TEST_F(TrisGrid3D, FlatCageOfQuadsHasOneZLayer) {
    // 3x2 quads at z = 5.
    std::vector<V3> pts;
    for (int y = 0; y <= 2; ++y)
        for (int x = 0; x <= 3; ++x)
            pts.push_back({double(x), double(y), 5.0});
    allocCageBlocks(c.cage, int(pts.size()), 0, 0, 6);
    std::vector<PointData*> p = addPoints(c.cage, pts);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            add1PolygonData(c.cage, p[y * 4 + x], p[y * 4 + x + 1], p[(y + 1) * 4 + x + 1],
                            p[(y + 1) * 4 + x]);
    rebuildCageRestData(c.cage);
    ASSERT_EQ(makeTrisMat3D(c.cage), 1);
    const TrisMat3D* g = c->trisMat3D;
    EXPECT_EQ(g->gridDims[2], 1);
    EXPECT_EQ(g->strideZ, unsigned(g->gridDims[0] * g->gridDims[1]));
    expectListedByRestBox(c.cage, c->trisMat3D);
    // Far above and below the sheet still lands in the one layer.
    int idx[3];
    const double above[3] = {1.5, 1.5, 1e30};
    ASSERT_EQ(cellIndexOf(g, above, idx), 1);
    EXPECT_EQ(idx[2], 0);
}

class TrisGrid3DSoup : public TriangleGrid, public testing::WithParamInterface<unsigned> {};

TEST_P(TrisGrid3DSoup, EveryTriangleListedInExactlyItsBoxCells) {
    const unsigned seed = GetParam();
    buildSoup(seed, 40 + 10 * int(seed), 7 * int(seed), seed % 2 == 0);
    ASSERT_EQ(makeTrisMat3D(c.cage), 1);
    const int n = c->trigonCount + 4 * c->polygonCount;
    const TrisMat3D* g = c->trisMat3D;
    EXPECT_EQ(g->chunkCapacity, unsigned(4 * n));
    // About n cells (never fewer than 8): within a factor that the
    // bisection's jumps allow.
    const int cells = g->gridDims[0] * g->gridDims[1] * g->gridDims[2];
    EXPECT_GE(cells, n / 3);
    EXPECT_LE(cells, 3 * n);
    expectListedByRestBox(c.cage, g);
    expectCellBoxesCoverTheirElements(g);
    expectRunsMirrorLists(g);
    // Grid box is the cage's rest box.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g->gridOrigin[i], c->restBoxMin[i]);
        EXPECT_EQ(g->gridMax[i], c->restBoxMax[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, TrisGrid3DSoup, testing::Range(1u, 5u));

TEST_F(TrisGrid3D, ClosedCagesListedByRestBox) {
    for (const Surface& s : {tiltedBoxSurface({0, 0, 0}, {3, 2, 1}, 0.3, 0.5, 0.7),
                             octahedronSurface({1, -2, 0.5}, 2.0)}) {
        TestCage closed;
        buildCage(closed.cage, s);
        ASSERT_EQ(makeTrisMat3D(closed.cage), 1);
        expectListedByRestBox(closed.cage, closed->trisMat3D);
        expectRunsMirrorLists(closed->trisMat3D);
    }
}

TEST_F(TrisGrid3D, LookupsClampFarAndNonFinitePoints) {
    buildSoup(9, 30, 5);
    ASSERT_EQ(makeTrisMat3D(c.cage), 1);
    const TrisMat3D* g = c->trisMat3D;
    const int nx = g->gridDims[0], ny = g->gridDims[1], nz = g->gridDims[2];
    int idx[3];

    const double far[3] = {1e30, -1e30, 1e300};
    ASSERT_EQ(cellIndexOf(g, far, idx), 1);
    EXPECT_EQ(idx[0], nx - 1);
    EXPECT_EQ(idx[1], 0);
    EXPECT_EQ(idx[2], nz - 1);

    const double atMax[3] = {g->gridMax[0], g->gridMax[1], g->gridMax[2]};
    ASSERT_EQ(cellIndexOf(g, atMax, idx), 1);
    EXPECT_LE(idx[0], nx - 1);
    EXPECT_LE(idx[1], ny - 1);
    EXPECT_LE(idx[2], nz - 1);

    const double atMin[3] = {g->gridOrigin[0], g->gridOrigin[1], g->gridOrigin[2]};
    ASSERT_EQ(cellIndexOf(g, atMin, idx), 1);
    EXPECT_EQ(idx[0], 0);
    EXPECT_EQ(idx[1], 0);
    EXPECT_EQ(idx[2], 0);

    const double inf[3] = {kInf, 0, 0};
    EXPECT_EQ(cellIndexOf(g, inf, idx), 0);
    const double nan[3] = {0, std::nan(""), 0};
    EXPECT_EQ(cellIndexOf(g, nan, idx), 0);
    EXPECT_EQ(idx[0], 0);
    EXPECT_EQ(idx[1], 0);
    EXPECT_EQ(idx[2], 0);

    // Boxes reaching to infinity cover the whole row; NaN corners fall to 0.
    int lo[3], hi[3];
    const double bmin[3] = {-kInf, std::nan(""), 1e30};
    const double bmax[3] = {kInf, std::nan(""), kInf};
    ASSERT_EQ(cellRangeOf(g, bmin, bmax, lo, hi), 1);
    EXPECT_EQ(lo[0], 0);
    EXPECT_EQ(hi[0], nx - 1);
    EXPECT_EQ(lo[1], 0);
    EXPECT_EQ(hi[1], 0);
    EXPECT_EQ(lo[2], nz - 1);
    EXPECT_EQ(hi[2], nz - 1);

    EXPECT_EQ(cellList(g, -1, 0, 0), nullptr);
    EXPECT_EQ(cellList(g, nx, 0, 0), nullptr);
    EXPECT_EQ(cellList(g, 0, ny, 0), nullptr);
    EXPECT_EQ(cellList(g, 0, 0, nz), nullptr);
    EXPECT_EQ(cellList(static_cast<const TrisMat3D*>(nullptr), 0, 0, 0), nullptr);
}

TEST_F(TrisGrid3D, TriangleWithNonFiniteCornerStaysInRange) {
    // A corrupt corner must not produce a wild cell index (UBSan watches the
    // conversions).
    allocCageBlocks(c.cage, 6, 0, 2, 0);
    std::vector<PointData*> p = addPoints(
        c.cage,
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 1}, {0.5, 0.5, 0.5}, {0.6, 0.5, 0.5}, {0.5, 0.6, 0.5}});
    add1TrigonData(c.cage, p[0], p[1], p[2]);
    TrigonData* bad = add1TrigonData(c.cage, p[3], p[4], p[5]);
    rebuildCageRestData(c.cage);
    bad->restBoxMin[0] = std::nan("");
    bad->restBoxMax[1] = kInf;
    bad->restBoxMin[2] = -1e300;
    ASSERT_EQ(makeTrisMat3D(c.cage), 1);
    const TrisMat3D* g = c->trisMat3D;
    int inCells = 0;
    for (const auto& cell : snapshot3D(g))
        for (const void* e : cell)
            inCells += e == bad;
    EXPECT_GT(inCells, 0);
}

TEST_F(TrisGrid3D, NoTrianglesGivesEmptyGrid) {
    oneLinegon(c.cage, {0, 0, 0}, {1, 1, 1});
    EXPECT_EQ(makeTrisMat3D(c.cage), 0);
    expectEmptyGrid(c->trisMat3D);

    TestCage none;
    EXPECT_EQ(makeTrisMat3D(none.cage), 0);
    expectEmptyGrid(none->trisMat3D);
    EXPECT_EQ(makeTrisMat3D(nullptr), 0);
}

TEST_F(TrisGrid3D, RebuildGivesTheSameGridAndDestroyEmptiesIt) {
    buildSoup(3, 25, 6);
    ASSERT_EQ(makeTrisMat3D(c.cage), 1);
    TrisMat3D* record = c->trisMat3D;
    const auto first = snapshot3D(record);
    ASSERT_EQ(makeTrisMat3D(c.cage), 1);
    EXPECT_EQ(c->trisMat3D, record); // the record is reused
    EXPECT_EQ(snapshot3D(c->trisMat3D), first);
    destroyMat3D(c->trisMat3D);
    expectEmptyGrid(c->trisMat3D);
    destroyMat3D(c->trisMat3D); // twice is harmless
    destroyMat3D(static_cast<TrisMat3D*>(nullptr));
    ASSERT_EQ(makeTrisMat3D(c.cage), 1);
    EXPECT_EQ(snapshot3D(c->trisMat3D), first);
    freeCageGrids(c.cage);
    EXPECT_EQ(c->trisMat3D, nullptr);
    freeCageGrids(c.cage);
}

// Failing each allocation in turn gives an empty grid until the failure
// falls past the last allocation; then the grid equals the reference.
TEST_F(TrisGrid3D, AllocationFailureLeavesEmptyGrid) {
    buildSoup(5, 40, 10, true);
    ASSERT_EQ(makeTrisMat3D(c.cage), 1);
    const auto reference = snapshot3D(c->trisMat3D);
    ASSERT_GE(chunkCount(c->trisMat3D->chunks), 2); // the later chunks are exercised too
    const int chunks = chunkCount(c->trisMat3D->chunks);

    for (int withRecord = 0; withRecord < 2; ++withRecord) {
        const int firstSuccess = firstBuildPastFailures(
            [&] {
                if (!withRecord) freeCageGrids(c.cage);
                return makeTrisMat3D(c.cage);
            },
            [&](int n) {
                if (!withRecord && n == 1)
                    EXPECT_EQ(c->trisMat3D, nullptr); // the record itself failed
                else
                    expectEmptyGrid(c->trisMat3D);
            },
            [&] { EXPECT_EQ(snapshot3D(c->trisMat3D), reference); });
        // Record (when new), cell array, cell boxes, node array + record
        // per chunk, the runs' starts and the runs.
        EXPECT_EQ(firstSuccess, (withRecord ? 1 : 2) + 1 + 2 * chunks + 2 + 1);
    }
}

// ---- 2D grid: cells sized for the x-y extent, thin areas shaped ----

// A cage of one trigon: the cell size and cells the shaping gives, and
// whether the triangle is listed (in every cell: its box spans them all).
struct OneTrigon2D {
    const char* name;
    V3 corners[3];
    double cellSize, tol;
    int nx, ny;
    bool listed;
};
void PrintTo(const OneTrigon2D& c, std::ostream* os) {
    *os << c.name;
}

const OneTrigon2D kOneTrigon2D[] = {
    // W = 100, H = 0.01, n = 1, m = 25: floor(W/H) > m so H becomes W/26;
    // s = sqrt(100 x 100/26 / 25) = 3.9223227..., 26 x 1 cells.
    {"ThinAreaIsShapedButCellsCoverTheRealWidth",
     {{0, 0, 0}, {100, 0, 0}, {0, 0.01, 0}},
     3.922322702763681,
     1e-12,
     26,
     1,
     true},
    // The same across: x widens.
    {"TallThinAreaWidensX",
     {{0, 0, 0}, {0.01, 0, 0}, {0, 100, 0}},
     3.922322702763681,
     1e-12,
     1,
     26,
     true},
    // All three corners at one spot: W = H = 1 stand in, s = 0.2, 1 x 1 cells;
    // with no area seen from above it is left out like an edge-on one.
    {"PointCageUsesUnitStandIn", {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}, 0.2, 1e-15, 1, 1, false},
};

class TrisGrid2DOneTrigon : public TriangleGrid, public testing::WithParamInterface<OneTrigon2D> {};

TEST_P(TrisGrid2DOneTrigon, CellSizeAndListing) {
    const OneTrigon2D& w = GetParam();
    const TrigonData* t = oneTrigon(c.cage, w.corners[0], w.corners[1], w.corners[2]);
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    const TrisMat2D* g = c->trisMat2D;
    EXPECT_NEAR(g->cellSize, w.cellSize, w.tol);
    EXPECT_EQ(g->gridDims[0], w.nx);
    EXPECT_EQ(g->gridDims[1], w.ny);
    EXPECT_EQ(g->strideY, unsigned(w.nx));
    EXPECT_EQ(g->chunkCapacity, 2u);
    for (int y = 0; y < w.ny; ++y)
        for (int x = 0; x < w.nx; ++x) {
            const TrisNode* n = cellList(g, x, y);
            if (!w.listed) {
                EXPECT_EQ(n, nullptr);
                continue;
            }
            ASSERT_NE(n, nullptr);
            EXPECT_EQ(n->tri, t);
            EXPECT_EQ(n->next, nullptr);
        }
    expectListedByRestBox(c.cage, g);
    // A lone triangle encloses nothing, above it or below.
    const V3 centroid = mul(add(add(w.corners[0], w.corners[1]), w.corners[2]), 1.0 / 3.0);
    for (double dz : {1.0, -1.0}) {
        const V3 q = add(centroid, {0, 0, dz});
        EXPECT_FALSE(isWithinTheCage(c.cage, q.data())) << dz;
    }
}

INSTANTIATE_TEST_SUITE_P(TrisGrid2D, TrisGrid2DOneTrigon, testing::ValuesIn(kOneTrigon2D),
                         testrows::rowName<OneTrigon2D>);

TEST_F(TrisGrid2D, BoxCellSizeFromTwentyFiveCells) {
    // 3 x 1 x 1 box, 24 fan triangles, m = 25: s = sqrt(3/25), 9 x 3 cells.
    buildCage(c.cage, boxSurface({0, 0, 0}, {3, 1, 1}));
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    const TrisMat2D* g = c->trisMat2D;
    EXPECT_NEAR(g->cellSize, 0.34641016151377546, 1e-15);
    EXPECT_EQ(g->gridDims[0], 9);
    EXPECT_EQ(g->gridDims[1], 3);
    EXPECT_EQ(g->chunkCapacity, 48u);
    expectListedByRestBox(c.cage, g);
    // The 16 side triangles are vertical: none is listed.
    int listedSide = 0;
    for (const auto& cell : snapshot2D(g))
        for (const void* e : cell)
            listedSide += std::fabs(static_cast<const TrigonData*>(e)->rest.N[2]) < 1e-7;
    EXPECT_EQ(listedSide, 0);
}

TEST_F(TrisGrid2D, VerticalCageHasCellsButNothingListed) {
    // In the plane x = 2: W = 0 -> 1/26 stands in; cells 1 x 26; all edge-on.
    oneQuad(c.cage, {2, 0, 0}, {2, 1, 0}, {2, 1, 1}, {2, 0, 1});
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    const TrisMat2D* g = c->trisMat2D;
    EXPECT_NEAR(g->cellSize, 0.03922322702763681, 1e-15);
    EXPECT_EQ(g->gridDims[0], 1);
    EXPECT_EQ(g->gridDims[1], 26);
    for (const auto& cell : snapshot2D(g))
        EXPECT_TRUE(cell.empty());
    const double q[3] = {2, 0.5, 0.5};
    EXPECT_FALSE(isWithinTheCage(c.cage, q));
}

class TrisGrid2DSoup : public TriangleGrid, public testing::WithParamInterface<unsigned> {};

TEST_P(TrisGrid2DSoup, RandomSoupListedByXYBox) {
    std::mt19937 rng(GetParam());
    std::uniform_real_distribution<double> u(-4.0, 4.0), d(-0.8, 0.8);
    const int count = 70;
    allocCageBlocks(c.cage, 3 * count, 0, count, 0);
    std::vector<V3> pts;
    for (int i = 0; i < count; ++i) {
        const V3 centre = {u(rng), 0.3 * u(rng), u(rng)};
        for (int j = 0; j < 3; ++j)
            pts.push_back(add(centre, {d(rng), d(rng), d(rng)}));
        if (i % 6 == 0)
            pts[3 * i + 2] = {pts[3 * i][0], pts[3 * i][1], pts[3 * i][2] + 0.5}; // vertical
    }
    std::vector<PointData*> p = addPoints(c.cage, pts);
    for (int i = 0; i < count; ++i)
        add1TrigonData(c.cage, p[3 * i], p[3 * i + 1], p[3 * i + 2]);
    rebuildCageRestData(c.cage);
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    EXPECT_EQ(c->trisMat2D->chunkCapacity, unsigned(2 * count));
    expectListedByRestBox(c.cage, c->trisMat2D);
}

INSTANTIATE_TEST_SUITE_P(Seeds, TrisGrid2DSoup, testing::Range(11u, 14u));

TEST_F(TrisGrid2D, AllocationFailureLeavesEmptyGrid) {
    // Octahedron: 8 triangles, chunks of 16 nodes; enough cell spans to need
    // more than one chunk.
    buildCage(c.cage, octahedronSurface({0, 0, 0}, 1.0));
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    const auto reference = snapshot2D(c->trisMat2D);
    const int chunks = chunkCount(c->trisMat2D->chunks);
    ASSERT_GE(chunks, 2);
    const double q[3] = {0.1, 0.2, 0.3};
    const int firstSuccess =
        firstBuildPastFailures([&] { return makeTrisMat2D(c.cage); },
                               [&](int) {
                                   expectNoCells(c->trisMat2D);
                                   EXPECT_FALSE(isWithinTheCage(c.cage, q));
                               },
                               [&] {
                                   EXPECT_EQ(snapshot2D(c->trisMat2D), reference);
                                   EXPECT_TRUE(isWithinTheCage(c.cage, q));
                               });
    EXPECT_EQ(firstSuccess, 1 + 2 * chunks + 1);

    // The record itself failing leaves no grid at all.
    freeCageGrids(c.cage);
    failGridAllocationAt(1);
    EXPECT_EQ(makeTrisMat2D(c.cage), 0);
    failGridAllocationAt(0);
    EXPECT_EQ(c->trisMat2D, nullptr);
    EXPECT_FALSE(isWithinTheCage(c.cage, q));
}

} // namespace
