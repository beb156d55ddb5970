#include "tool/relax_region.h"

#include "relax_test_support.h"

#include <gtest/gtest.h>

namespace {

using relaxtest::RelaxGrid;

// A 4 x 3 quad grid: border everywhere except the two middle points of the
// middle row.
TEST(RelaxFlags, SelectionRangeAndBorderFixPointsAndAnchorsMayJoin) {
    RelaxGrid g(4, 3, false);
    PointData* inner = g.at(1, 1);
    PointData* corner = g.at(0, 0);

    // No selection, nothing to fix.
    g.state.fixOuterEdges = 0;
    setRelaxPointFlags(&g.state, g.cage.cage, 1);
    for (PointData* q : g.p)
        EXPECT_EQ(q->relaxFixed + q->relaxInList, 0);

    // A selection fixes the rest; with anchors, those next to the selected
    // point may join the region, the others stay out.
    inner->selected = 1;
    g.state.selectedPointCount = 1;
    for (int anchors = 0; anchors < 2; ++anchors) {
        setRelaxPointFlags(&g.state, g.cage.cage, anchors);
        for (PointData* q : g.p) {
            const bool nextToInner =
                q != inner &&
                std::count(inner->neighbours, inner->neighbours + inner->neighbourCount, q) == 1;
            EXPECT_EQ(q->relaxFixed, q == inner ? 0 : 1) << q->index;
            EXPECT_EQ(q->relaxInList, q == inner || (anchors && nextToInner) ? 0 : 1) << q->index;
        }
    }
    inner->selected = 0;
    g.state.selectedPointCount = 0;

    // Out of range and border points.
    corner->inRange = 0;
    g.state.fixPointsOutOfRange = 1;
    setRelaxPointFlags(&g.state, g.cage.cage, 0);
    for (PointData* q : g.p)
        EXPECT_EQ(q->relaxFixed, q == corner ? 1 : 0);
    g.state.fixPointsOutOfRange = 0;
    g.state.fixOuterEdges = 1;
    setRelaxPointFlags(&g.state, g.cage.cage, 0);
    for (PointData* q : g.p)
        EXPECT_EQ(q->relaxFixed, q->onBorder);
    EXPECT_EQ(inner->relaxFixed, 0);
    EXPECT_EQ(corner->relaxFixed, 1);
}

// A strip of cells brushed at its first column: column j joins at level
// L0 - j (L0 = maxLevel + 1), the column reached at level 0 holds still,
// and nothing past it ever joins. Quads and triangles grow alike.
class RelaxGrowth : public ::testing::TestWithParam<std::tuple<bool, unsigned>> {};

TEST_P(RelaxGrowth, OneRingPerPassDownToTheAnchors) {
    const bool triangles = std::get<0>(GetParam());
    const unsigned maxLevel = std::get<1>(GetParam());
    const int cols = 8;
    RelaxGrid g(cols, 2, triangles);
    for (PointData* q : g.p)
        q->inRange = g.at(0, 0) == q || g.at(0, 1) == q;
    setRelaxPointFlags(&g.state, g.cage.cage, 1);
    RelaxRegion region;
    initRelaxRegion(&region, g.cage.cage, maxLevel);
    for (int pass = 0; pass < cols + 2; ++pass)
        growRelaxRegion(&region);
    EXPECT_EQ(region.level, 0u);

    const int l0 = int(maxLevel) + 1;
    int listed = 0;
    for (PointData* q = region.points; q; q = q->relaxNext)
        ++listed;
    EXPECT_EQ(listed, 2 * std::min(l0 + 1, cols));
    for (int i = 0; i < cols; ++i)
        for (int j = 0; j < 2; ++j) {
            PointData* q = g.at(i, j);
            EXPECT_EQ(q->relaxInList, i <= l0 ? 1 : 0) << i;
            if (i <= l0) {
                EXPECT_EQ(int(q->relaxLevel), l0 - i) << i;
            }
        }
    // A cell is active when its left column joined.
    auto column = [](const PointData* const* pnt, int n) {
        int c = 1 << 20;
        for (int k = 0; k < n; ++k)
            c = std::min(c, int(pnt[k]->restPos[0]));
        return c;
    };
    for (TrigonData* t = g.cage->trigonList; t; t = t->next)
        EXPECT_EQ(t->relaxInList, column(t->pnt, 3) <= l0 ? 1 : 0);
    for (PolygonData* poly = g.cage->polygonList; poly; poly = poly->next)
        EXPECT_EQ(poly->relaxInList, column(poly->pnt, 4) <= l0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cells, RelaxGrowth,
                         ::testing::Combine(::testing::Bool(), ::testing::Values(0u, 1u, 3u)));

// The element normals: -unit((P1 - P0) x (P2 - P0)) for a triangle, and
// for a quad the same summed over the two triangles of its diagonal.
TEST(RelaxNormals, TriangleAndQuadNormalsPointAgainstTheWindingCross) {
    const double a[3] = {0, 0, 0}, b[3] = {2, 0, 0}, c[3] = {0, 3, 0};
    double n[3];
    relaxTriangleNormal(a, b, c, n);
    EXPECT_NEAR(n[2], -1.0, 1e-15);
    relaxTriangleNormal(a, a, c, n);
    EXPECT_EQ(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 0.0);

    // A quad with one corner lifted out of its plane: either diagonal gives
    // twice its vector area, (C2 - C0) x (C3 - C1) = (-1, 1, 2), negated.
    RelaxGrid g(2, 2, false);
    PolygonData* poly = g.cage->polygonList;
    const double corners[4][3] = {{0, 0, 0}, {1, 0, 1}, {1, 1, 0}, {0, 1, 0}};
    for (int k = 0; k < 4; ++k)
        std::memcpy(poly->pnt[k]->startPos, corners[k], sizeof corners[k]);
    const double s6 = std::sqrt(6.0);
    for (unsigned char d = 0; d < 2; ++d) {
        poly->relaxDiagonal = d;
        relaxPolygonNormal(poly, 1, n);
        EXPECT_NEAR(n[0], 1 / s6, 1e-15);
        EXPECT_NEAR(n[1], -1 / s6, 1e-15);
        EXPECT_NEAR(n[2], -2 / s6, 1e-15);
    }
}

} // namespace
