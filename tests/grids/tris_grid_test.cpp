// The 3D triangle grid: hand-sized single-triangle and flat cages, chunking,
// every triangle listed exactly in the cells its rest box covers (brute force
// over all cells), clamped lookups, empty grids, allocation failures and
// rebuilds.
#include "geometry/element_grids.h"
#include "grid_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

using namespace gridtest;

const double kInf = std::numeric_limits<double>::infinity();

// Expected membership of one box in one cell along one axis, with the ends
// clamped: 1 listed, 0 not, -1 too close to a boundary to call.
int axisCovers(double bmin, double bmax, double origin, double s, int i, int n) {
    const double cellLo = origin + i * s, cellHi = origin + (i + 1) * s;
    const double eps = 1e-9 * s;
    const bool first = i == 0, last = i == n - 1;
    const bool clearlyIn = (last || bmin < cellHi - eps) && (first || bmax >= cellLo + eps);
    const bool clearlyOut = (!last && bmin >= cellHi + eps) || (!first && bmax < cellLo - eps);
    if (clearlyIn) return 1;
    if (clearlyOut) return 0;
    return -1;
}

// Every triangle is in exactly the cells its rest box overlaps, once each.
void expectListedByRestBox(const CageInstance* cage) {
    const TrisMat3D* g = cage->trisMat3D;
    ASSERT_NE(g, nullptr);
    ASSERT_NE(g->cellLists, nullptr);
    const std::vector<TrigonData*> tris = allTriangles(cage);
    long long listed = 0, expected = 0;
    int undecided = 0;
    for (int z = 0; z < g->gridDims[2]; ++z)
        for (int y = 0; y < g->gridDims[1]; ++y)
            for (int x = 0; x < g->gridDims[0]; ++x) {
                std::map<const TrigonData*, int> count;
                for (const TrisNode* n = cellList(g, x, y, z); n; n = n->next) {
                    ++count[n->tri];
                    ++listed;
                }
                const int idx[3] = {x, y, z};
                for (const TrigonData* t : tris) {
                    int want = 1;
                    for (int a = 0; a < 3 && want != 0; ++a) {
                        const int c =
                            axisCovers(t->restBoxMin[a], t->restBoxMax[a], g->gridOrigin[a],
                                       g->cellSize, idx[a], g->gridDims[a]);
                        if (c == 0)
                            want = 0;
                        else if (c < 0)
                            want = -1;
                    }
                    const int have = count.count(t) ? count[t] : 0;
                    EXPECT_LE(have, 1) << "cell " << x << ' ' << y << ' ' << z;
                    if (want == 1) {
                        EXPECT_EQ(have, 1) << "missing from cell " << x << ' ' << y << ' ' << z;
                        ++expected;
                    } else if (want == 0) {
                        EXPECT_EQ(have, 0) << "stray in cell " << x << ' ' << y << ' ' << z;
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

// Random triangles of mixed sizes, some flat along an axis, plus quads.
// With `spread` every trigon corner is anywhere in the box.
void buildSoup(CageInstance* cage, unsigned seed, int trigons, int quads, bool spread = false) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-3.0, 5.0), small(-0.3, 0.3);
    std::vector<V3> pts;
    for (int i = 0; i < trigons; ++i) {
        const V3 c = {u(rng), u(rng), u(rng) * 0.5};
        const double k = (i % 4 == 0) ? 4.0 : 1.0; // a few large ones
        for (int j = 0; j < 3; ++j) {
            V3 p = add(c, {small(rng) * k, small(rng) * k, small(rng) * k});
            if (i % 5 == 1) p[2] = c[2]; // level
            if (spread) p = {u(rng), u(rng), u(rng)};
            pts.push_back(p);
        }
    }
    for (int i = 0; i < quads; ++i) {
        const V3 c = {u(rng), u(rng), u(rng) * 0.5};
        pts.push_back(add(c, {-0.4, -0.3, small(rng)}));
        pts.push_back(add(c, {0.5, -0.2, small(rng)}));
        pts.push_back(add(c, {0.3, 0.6, small(rng)}));
        pts.push_back(add(c, {-0.5, 0.4, small(rng)}));
    }
    allocCageBlocks(cage, int(pts.size()), 0, trigons, quads);
    std::vector<PointData*> p = addPoints(cage, pts);
    for (int i = 0; i < trigons; ++i)
        add1TrigonData(cage, p[3 * i], p[3 * i + 1], p[3 * i + 2]);
    for (int i = 0; i < quads; ++i) {
        const int b = 3 * trigons + 4 * i;
        add1PolygonData(cage, p[b], p[b + 1], p[b + 2], p[b + 3]);
    }
    rebuildCageRestData(cage);
}

void expectEmptyGrid(const TrisMat3D* g) {
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->cellLists, nullptr);
    EXPECT_EQ(g->cellBounds, nullptr);
    EXPECT_EQ(g->chunks, nullptr);
    EXPECT_EQ(g->chunkCapacity, 0u);
    EXPECT_EQ(g->cleared, nullptr);
    EXPECT_EQ(g->gridDims[0], 0);
    EXPECT_EQ(g->gridDims[1], 0);
    EXPECT_EQ(g->gridDims[2], 0);
    int idx[3] = {7, 7, 7};
    const double p[3] = {0, 0, 0};
    EXPECT_EQ(cellIndexOf(g, p, idx), 0);
    EXPECT_EQ(idx[0], 0);
    EXPECT_EQ(cellList(g, 0, 0, 0), nullptr);
}

TEST(TrisGrid3D, SingleTriangleGivesEightCellsAndTwoChunks) {
    TestCage c;
    allocCageBlocks(c.cage, 3, 0, 1, 0);
    std::vector<PointData*> p = addPoints(c.cage, {{0, 0, 0}, {1, 0, 0}, {0, 1, 1}});
    TrigonData* t = add1TrigonData(c.cage, p[0], p[1], p[2]);
    rebuildCageRestData(c.cage);
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

TEST(TrisGrid3D, FlatTriangleGetsOneZCellAndAboutEightCells) {
    TestCage c;
    allocCageBlocks(c.cage, 3, 0, 1, 0);
    std::vector<PointData*> p = addPoints(c.cage, {{0, 0, 2}, {1, 0, 2}, {0, 1, 2}});
    add1TrigonData(c.cage, p[0], p[1], p[2]);
    rebuildCageRestData(c.cage);
    ASSERT_EQ(makeTrisMat3D(c.cage), 1);
    const TrisMat3D* g = c->trisMat3D;
    EXPECT_EQ(g->gridDims[2], 1);
    EXPECT_NEAR(g->cellSize, 0.5, 1e-6);
    const int cells = g->gridDims[0] * g->gridDims[1];
    EXPECT_TRUE(cells == 4 || cells == 9) << cells;
    expectListedByRestBox(c.cage);
}

TEST(TrisGrid3D, FlatCageOfQuadsHasOneZLayer) {
    TestCage c;
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
    expectListedByRestBox(c.cage);
    // Far above and below the sheet still lands in the one layer.
    int idx[3];
    const double above[3] = {1.5, 1.5, 1e30};
    ASSERT_EQ(cellIndexOf(g, above, idx), 1);
    EXPECT_EQ(idx[2], 0);
}

TEST(TrisGrid3D, EveryTriangleListedInExactlyItsBoxCells) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        TestCage c;
        buildSoup(c.cage, seed, 40 + 10 * int(seed), 7 * int(seed), seed % 2 == 0);
        ASSERT_EQ(makeTrisMat3D(c.cage), 1);
        const int n = c->trigonCount + 4 * c->polygonCount;
        const TrisMat3D* g = c->trisMat3D;
        EXPECT_EQ(g->chunkCapacity, unsigned(4 * n));
        // About n cells (never fewer than 8): within a factor that the
        // bisection's jumps allow.
        const int cells = g->gridDims[0] * g->gridDims[1] * g->gridDims[2];
        EXPECT_GE(cells, n / 3);
        EXPECT_LE(cells, 3 * n);
        expectListedByRestBox(c.cage);
        expectCellBoxesCoverTheirElements(g);
        // Grid box is the cage's rest box.
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(g->gridOrigin[i], c->restBoxMin[i]);
            EXPECT_EQ(g->gridMax[i], c->restBoxMax[i]);
            EXPECT_GE(g->gridOrigin[i] + g->gridDims[i] * g->cellSize, g->gridMax[i]);
        }
    }
}

TEST(TrisGrid3D, ClosedCagesListedByRestBox) {
    TestCage box, oct;
    buildCage(box.cage, tiltedBoxSurface({0, 0, 0}, {3, 2, 1}, 0.3, 0.5, 0.7));
    buildCage(oct.cage, octahedronSurface({1, -2, 0.5}, 2.0));
    ASSERT_EQ(makeTrisMat3D(box.cage), 1);
    ASSERT_EQ(makeTrisMat3D(oct.cage), 1);
    expectListedByRestBox(box.cage);
    expectListedByRestBox(oct.cage);
}

TEST(TrisGrid3D, LookupsClampFarAndNonFinitePoints) {
    TestCage c;
    buildSoup(c.cage, 9, 30, 5);
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

TEST(TrisGrid3D, TriangleWithNonFiniteCornerStaysInRange) {
    // A corrupt corner must not produce a wild cell index (UBSan watches the
    // conversions).
    TestCage c;
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

TEST(TrisGrid3D, NoTrianglesGivesEmptyGrid) {
    TestCage c;
    allocCageBlocks(c.cage, 2, 1, 0, 0);
    std::vector<PointData*> p = addPoints(c.cage, {{0, 0, 0}, {1, 1, 1}});
    add1LinegonData(c.cage, p[0], p[1]);
    rebuildCageRestData(c.cage);
    EXPECT_EQ(makeTrisMat3D(c.cage), 0);
    expectEmptyGrid(c->trisMat3D);

    TestCage none;
    EXPECT_EQ(makeTrisMat3D(none.cage), 0);
    expectEmptyGrid(none->trisMat3D);
    EXPECT_EQ(makeTrisMat3D(nullptr), 0);
}

TEST(TrisGrid3D, RebuildGivesTheSameGridAndDestroyEmptiesIt) {
    TestCage c;
    buildSoup(c.cage, 3, 25, 6);
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
TEST(TrisGrid3D, AllocationFailureLeavesEmptyGrid) {
    TestCage c;
    buildSoup(c.cage, 5, 40, 10, true);
    ASSERT_EQ(makeTrisMat3D(c.cage), 1);
    const auto reference = snapshot3D(c->trisMat3D);
    ASSERT_GE(chunkCount(c->trisMat3D->chunks), 2); // the later chunks are exercised too
    const int chunks = chunkCount(c->trisMat3D->chunks);

    for (int withRecord = 0; withRecord < 2; ++withRecord) {
        int firstSuccess = 0;
        for (int n = 1; n <= 40 && !firstSuccess; ++n) {
            if (!withRecord) freeCageGrids(c.cage);
            failGridAllocationAt(n);
            const int built = makeTrisMat3D(c.cage);
            failGridAllocationAt(0);
            if (built) {
                firstSuccess = n;
                EXPECT_EQ(snapshot3D(c->trisMat3D), reference);
            } else if (!withRecord && n == 1) {
                EXPECT_EQ(c->trisMat3D, nullptr); // the record itself failed
            } else {
                expectEmptyGrid(c->trisMat3D);
            }
        }
        // Record (when new), cell array, cell boxes, node array + record
        // per chunk, then the search's list of cleared marks.
        EXPECT_EQ(firstSuccess, (withRecord ? 1 : 2) + 1 + 2 * chunks + 1 + 1);
    }
}

} // namespace
