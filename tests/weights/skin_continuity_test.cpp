// The Skin result changes continuously inside a polygon: across its inner
// spokes, where the nearest fan triangle changes, and across the borders of
// its corner regions, where a fan triangle's blend turns into the corner
// blend; in twisted, bent and stretched quads, alone or in a sheet whose
// neighbours blend in, in every falloff. Off the bands the values are the
// unbanded ones, bit for bit.
#include "deform/skin_bands.h"
#include "deform/skin_blends.h"
#include "geometry/element_location.h"
#include "geometry/element_search.h"
#include "weights_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

using namespace wt;

namespace {

struct Deformed {
    const char* name;
    Shape shape;
    std::function<V3(const V3&)> move; // rest -> current, cage-local
};

// One quad, its corners lifted and pushed about.
Deformed twistedQuad() {
    Shape s;
    s.points = {{-1, -1, 0}, {1, -1, 0.25}, {1, 1, 0}, {-1, 1, -0.25}};
    s.faces = {{0, 1, 2, 3}};
    return {"twisted quad", s, [](const V3& p) {
                return V3{p[0] + 0.2 * p[1], p[1], p[2] + 0.4 * p[0] * p[1] + 0.1 * p[0]};
            }};
}

Deformed bentQuad() {
    Shape s;
    s.points = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0.9}, {-1, 1, 0}};
    s.faces = {{0, 1, 2, 3}};
    return {"bent quad", s, [](const V3& p) {
                return V3{p[0], p[1] - 0.3 * p[2], p[2] + 0.5 * (p[0] + 1.0) * (p[1] + 1.0) * 0.25};
            }};
}

Deformed stretchedQuad() {
    Shape s;
    s.points = {{-2, -0.5, 0}, {2, -0.5, 0.1}, {2, 0.5, 0}, {-2, 0.5, -0.1}};
    s.faces = {{0, 1, 2, 3}};
    return {"stretched quad", s, [](const V3& p) {
                return V3{1.3 * p[0], p[1] + 0.1 * p[0] * p[0], p[2] + 0.3 * p[1] * p[0]};
            }};
}

// 2 x 2 quads over [-1, 1]^2 with a wavy middle row: the sweeps in one
// quad see its neighbours blend in.
Deformed sheetOfFour() {
    Shape s;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            s.points.push_back({i - 1.0, j - 1.0, i == 1 ? 0.3 * (j - 1.0) : 0.0});
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i)
            s.faces.push_back({3 * j + i, 3 * j + i + 1, 3 * j + i + 4, 3 * j + i + 3});
    return {
        "sheet of four", s, [](const V3& p) {
            return V3{p[0] + 0.15 * p[1] * p[1], p[1], p[2] + 0.35 * std::sin(1.5 * p[0] + p[1])};
        }};
}

// The cube: one corner raised.
Deformed cubeWithARaisedCorner() {
    Shape s;
    for (int i = 0; i < 8; ++i)
        s.points.push_back({(i & 1) ? 1.0 : -1.0, (i & 2) ? 1.0 : -1.0, (i & 4) ? 1.0 : -1.0});
    s.faces = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    return {"cube", s, [](const V3& p) {
                return p[0] > 0 && p[1] > 0 && p[2] > 0 ? add(p, V3{0, 0, 0.5}) : p;
            }};
}

class Sweeps : public testing::TestWithParam<Deformed (*)()> {
  public:
    void SetUp() override {
        d = GetParam()();
        pts = buildCage(c.cage, d.shape);
        pose(c.cage, pts, identityRot(), {0, 0, 0},
             [&](int i) { return d.move(fromArr(pts[std::size_t(i)]->restPos)); });
        // The largest move of a cage point bounds every element's.
        for (PointData* p : pts)
            moveBound = std::max(moveBound, norm(sub(fromArr(p->otherPos), fromArr(p->restPos))));
    }
    void TearDown() override { stSkinBandShare = kSkinBandShare; }

    // The deformed point, and the polygon of its nearest fan triangle (null
    // for any other element).
    V3 skin(const V3& P, const PolygonData** bound = nullptr) {
        TrigonData* nearest = nullptr;
        double wm = 1.0, disp[3];
        const bool moved =
            skinCageDisplacement(c.cage, P.data(), P.data(), P.data(), &nearest, &wm, disp);
        if (bound) *bound = nearest ? nearest->polygon : nullptr;
        return moved ? add(P, fromArr(disp)) : P;
    }

    // The polygon's corners, centre, normal and smallest fan-triangle height.
    struct Quad {
        V3 corner[4], centre, normal;
        double height;
    };
    Quad quad(const PolygonData* poly) const {
        Quad q;
        q.centre = {0, 0, 0};
        for (int k = 0; k < 4; ++k) {
            q.corner[k] = fromArr(poly->pnt[k]->restPos);
            q.centre = add(q.centre, mul(q.corner[k], 0.25));
        }
        q.normal = unit(cross(sub(q.corner[2], q.corner[0]), sub(q.corner[3], q.corner[1])));
        q.height = skinBandWidth(poly) / kSkinBandShare;
        return q;
    }

    // Segments across each inner spoke (at three places along it) and
    // around each corner, at heights below, near and above the polygon.
    std::vector<std::pair<V3, V3>> crossings(const Quad& q) const {
        std::vector<std::pair<V3, V3>> out;
        for (int k = 0; k < 4; ++k) {
            const V3 spoke = sub(q.corner[k], q.centre);
            const V3 across = mul(unit(cross(q.normal, spoke)), 0.3 * q.height);
            for (double t : {0.35, 0.85})
                for (double h : {-0.3, 0.05, 0.4}) {
                    const V3 at = add(add(q.centre, mul(spoke, t)), mul(q.normal, h * q.height));
                    out.push_back({sub(at, across), add(at, across)});
                }
            // Around the corner, outside: from past one outer edge to past
            // the other, through the corner's region.
            const V3 prev = unit(sub(q.corner[k], q.corner[(k + 3) % 4]));
            const V3 next = unit(sub(q.corner[(k + 1) % 4], q.corner[k]));
            for (double h : {0.0, 0.3}) {
                const V3 lift = mul(q.normal, h * q.height);
                out.push_back({add(add(q.corner[k], mul(prev, -0.5 * q.height)),
                                   add(mul(next, -0.4 * q.height), lift)),
                               add(add(q.corner[k], mul(prev, 0.4 * q.height)),
                                   add(mul(next, 0.5 * q.height), lift))});
            }
        }
        return out;
    }

    TestCage c;
    std::vector<PointData*> pts;
    Deformed d;
    double moveBound = 0.0;
};

// The deformed point is a weighted mean of element maps. Over a step s each
// map's displacement changes by at most |M - 1| s, with |M - 1| <= 2 D / h
// (D the largest move of a cage point, h the polygon's smallest fan-triangle
// height, the shortest distance over which a triangle's shape is set), and
// the displacements differ by at most 2 D. The weights change by at most
// s (2^F / h + 3 / w) per unit of the mean: the closeness values over a
// triangle change at 1 / h and are raised to the 2^F-th power, the bands
// (half-width w) fade over 2 w with a slope of at most 3 / 2 / w on either
// side. So a step of s moves the result by at most
//     s (1 + 2 D / h + 2 D (2^F / h + 3 / w)),
// while a switch's jump (a few hundredths of the cage, whatever the step)
// exceeds it once s is small. Steps where the nearest polygon changes are
// switches between different elements, which the method leaves as they are:
// they are counted, not held to the bound. Returns the largest step over its
// bound and counts the steps past it.
double sweep(Sweeps& t, const Sweeps::Quad& q, int falloff, int* over, int* crossed) {
    const double w = kSkinBandShare * q.height;
    const double s = 2e-4 * q.height;
    const double bound = s * (1.0 + 2.0 * t.moveBound / q.height +
                              2.0 * t.moveBound * (double(1 << falloff) / q.height + 3.0 / w));
    double worst = 0.0;
    const auto segments = t.crossings(q);
    // Each falloff takes a share of the segments; together they take all.
    for (std::size_t i = std::size_t(falloff) % 4; i < segments.size(); i += 4) {
        const V3 a = segments[i].first, b = segments[i].second;
        const int n = int(std::ceil(norm(sub(b, a)) / s));
        const PolygonData* lastPoly = nullptr;
        V3 last = t.skin(a, &lastPoly);
        for (int j = 1; j <= n; ++j) {
            const V3 P = add(a, mul(sub(b, a), double(j) / n));
            const PolygonData* poly = nullptr;
            const V3 now = t.skin(P, &poly);
            const double step = norm(sub(now, last)) / bound;
            if (poly != lastPoly) {
                ++*crossed;
            } else {
                worst = std::max(worst, step);
                if (step > 1.0) ++*over;
            }
            last = now;
            lastPoly = poly;
        }
    }
    return worst;
}

TEST_P(Sweeps, NoStepInAnyFalloffExceedsTheBound) {
    int polygons = 0;
    for (const PolygonData* poly = c->polygonList; poly && polygons < 2; poly = poly->next) {
        ++polygons;
        for (int f = 0; f <= 6; ++f) {
            c->falloffType = f;
            int over = 0, crossed = 0;
            const double worst = sweep(*this, quad(poly), f, &over, &crossed);
            EXPECT_EQ(over, 0) << d.name << ", falloff " << f << ": worst step " << worst
                               << " of the bound";
        }
    }
}

// The same sweeps without the bands: the switches jump.
TEST_P(Sweeps, WithoutTheBandsTheSwitchesJump) {
    const Quad q = quad(c->polygonList);
    stSkinBandShare = 0.0;
    int over = 0, crossed = 0;
    for (int f = 0; f < 4; ++f) {
        c->falloffType = f;
        sweep(*this, q, f, &over, &crossed);
    }
    EXPECT_GT(over, 0) << d.name;
}

INSTANTIATE_TEST_SUITE_P(Quads, Sweeps,
                         testing::Values(twistedQuad, bentQuad, stretchedQuad, sheetOfFour,
                                         cubeWithARaisedCorner));

// Off the bands a point gets the unbanded value bit for bit. On a lone
// quad the bands are those of its inner spokes (the fan triangles' d^2 - m^2
// below w^2) and of the corner regions of the fan triangle it is bound to
// (depth within w of the border); everywhere else nothing may change.
TEST(SkinBands, OffTheBandsTheValuesAreTheUnbandedOnes) {
    std::mt19937 rng(2024);
    for (Deformed (*make)() : {twistedQuad, bentQuad, stretchedQuad}) {
        const Deformed d = make();
        TestCage c;
        std::vector<PointData*> pts = buildCage(c.cage, d.shape);
        pose(c.cage, pts, identityRot(), {0, 0, 0},
             [&](int i) { return d.move(fromArr(pts[std::size_t(i)]->restPos)); });
        PolygonData* poly = c->polygonList;
        const double w = skinBandWidth(poly);
        std::uniform_real_distribution<double> u(-2.5, 2.5), z(-0.6, 0.6);
        int off = 0, on = 0, changed = 0;
        for (int i = 0; i < 4000; ++i) {
            c->falloffType = i % 7;
            const V3 P = {u(rng), 0.5 * u(rng), z(rng)};
            TrigonData* nearest = nullptr;
            double wm = 1.0, banded[3], plain[3];
            const bool a =
                skinCageDisplacement(c.cage, P.data(), P.data(), P.data(), &nearest, &wm, banded);
            // The band across the spokes, less the triangles measured to the
            // same corner as the bound one; the bands at its corner regions.
            double dist[4], depth[2], o[4], m = HUGE_VAL;
            const PointData* corner[4];
            for (int k = 0; k < 4; ++k)
                m = std::min(m, dist[k] = nearTrigonDistance(&poly->tri[k], P.data(), kRestShape,
                                                             &corner[k]));
            const int b0 = int(nearest - poly->tri);
            int near = 0;
            for (int k = 0; k < 4; ++k)
                near += (k == b0 || !corner[k] || corner[k] != corner[b0]) &&
                        dist[k] * dist[k] - m * m < w * w;
            getLocationPerAtPolygon(nearest, P.data(), o, depth, HUGE_VAL);
            const bool inBand = near > 1 || std::fabs(depth[0]) < w || std::fabs(depth[1]) < w;
            stSkinBandShare = 0.0;
            nearest = nullptr;
            const bool b =
                skinCageDisplacement(c.cage, P.data(), P.data(), P.data(), &nearest, &wm, plain);
            stSkinBandShare = kSkinBandShare;
            ASSERT_TRUE(a && b);
            const bool same = std::memcmp(banded, plain, sizeof banded) == 0;
            if (inBand) {
                ++on;
                changed += !same;
            } else {
                ++off;
                ASSERT_TRUE(same) << d.name << " at " << P[0] << " " << P[1] << " " << P[2];
            }
        }
        // Most of the space keeps its values, the bands do change some.
        EXPECT_GT(off, 2 * on) << d.name;
        EXPECT_GT(changed, on / 2) << d.name;
    }
}

} // namespace
