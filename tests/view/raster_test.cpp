// The software raster: coverage against exact geometry, shared edges,
// depth, blending, clipping, lines and patterns, textures, degenerate input
// and text.
#include "host/view/raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <set>

namespace {

using host::LinePattern;
using host::Raster;
using host::Rgba;
using host::ScreenPoint;

const Rgba kBlack{0, 0, 0, 1}, kWhite{1, 1, 1, 1}, kRed{1, 0, 0, 1}, kGreen{0, 1, 0, 1};

bool lit(const Raster& r, int x, int y) {
    return r.pixel(x, y).r > 0.5f;
}

int litCount(const Raster& r) {
    int n = 0;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            n += lit(r, x, y);
    return n;
}

// A black picture drawing in opaque white.
Raster blank(int w = 64, int h = 48) {
    Raster r(w, h);
    r.clear(kBlack);
    r.state().colour = kWhite;
    return r;
}

// Twice the signed area of p, q, s: positive when s lies right of p->q with
// y down. Exact for the dyadic coordinates the tests use.
double cross(ScreenPoint p, ScreenPoint q, double sx, double sy) {
    return (q.x - p.x) * (sy - p.y) - (q.y - p.y) * (sx - p.x);
}

// A random corner on a 1/256 grid, every fourth one on a pixel centre so
// that edges run through centres and the tie rule is exercised.
ScreenPoint corner(std::mt19937& rng, double lo, double hi) {
    std::uniform_real_distribution<double> d(lo, hi);
    auto snap = [&](double v) {
        return rng() % 4 == 0 ? std::floor(v) + 0.5 : std::round(v * 256) / 256;
    };
    double x = snap(d(rng)), y = snap(d(rng));
    return ScreenPoint{x, y, 0.5};
}

TEST(RasterTriangle, CoversExactlyTheCentresInsideAndItsAreaWithinThePerimeterBound) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 200; ++trial) {
        ScreenPoint a = corner(rng, -8, 72), b = corner(rng, -8, 72), c = corner(rng, -8, 56);
        double area = cross(a, b, c.x, c.y);
        if (area == 0) continue;
        Raster r = blank();
        r.triangle(a, b, c);
        for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < r.width(); ++x) {
                double e[3] = {cross(a, b, x + .5, y + .5), cross(b, c, x + .5, y + .5),
                               cross(c, a, x + .5, y + .5)};
                bool onEdge = e[0] == 0 || e[1] == 0 || e[2] == 0;
                bool in =
                    area > 0 ? e[0] > 0 && e[1] > 0 && e[2] > 0 : e[0] < 0 && e[1] < 0 && e[2] < 0;
                EXPECT_TRUE(onEdge || lit(r, x, y) == in)
                    << "trial " << trial << " at " << x << "," << y;
            }
        // Away from the picture's border the count matches the area.
        if (std::max({a.x, b.x, c.x}) < 64 && std::min({a.x, b.x, c.x}) >= 0 &&
            std::max({a.y, b.y, c.y}) < 48 && std::min({a.y, b.y, c.y}) >= 0) {
            double perimeter = std::hypot(b.x - a.x, b.y - a.y) + std::hypot(c.x - b.x, c.y - b.y) +
                               std::hypot(a.x - c.x, a.y - c.y);
            EXPECT_LE(std::fabs(litCount(r) - std::fabs(area) / 2), std::sqrt(2) * perimeter + 3);
        }
    }
}

TEST(RasterTriangle, FansSharingEdgesCoverEachPixelOnce) {
    std::mt19937 rng(11);
    for (int trial = 0; trial < 60; ++trial) {
        ScreenPoint centre = corner(rng, 20, 44);
        int n = 4 + int(rng() % 6);
        std::vector<ScreenPoint> rim;
        for (int i = 0; i < n; ++i) {
            // Jitter under 0.9 of a sector keeps every gap below half a turn.
            double angle = (i + 0.9 * (rng() % 1000) / 1000.0) * 2 * M_PI / n;
            double radius = 6 + rng() % 18;
            ScreenPoint p{centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle),
                          0.5};
            p.x = std::round(p.x * 2) / 2, p.y = std::round(p.y * 2) / 2;
            rim.push_back(p);
        }
        if (trial % 2) std::reverse(rim.begin(), rim.end());
        std::vector<int> count(64 * 64, 0);
        for (int i = 0; i < n; ++i) {
            Raster r = blank(64, 64);
            r.triangle(centre, rim[i], rim[(i + 1) % n]);
            for (int p = 0; p < 64 * 64; ++p)
                count[p] += lit(r, p % 64, p / 64);
        }
        for (int p = 0; p < 64 * 64; ++p) {
            double x = p % 64 + 0.5, y = p / 64 + 0.5;
            bool inClosed = false, onRim = false;
            for (int i = 0; i < n; ++i) {
                ScreenPoint a = rim[i], b = rim[(i + 1) % n];
                double e[3] = {cross(centre, a, x, y), cross(a, b, x, y), cross(b, centre, x, y)};
                inClosed |=
                    (e[0] >= 0 && e[1] >= 0 && e[2] >= 0) || (e[0] <= 0 && e[1] <= 0 && e[2] <= 0);
                onRim |= e[1] == 0 && std::min(a.x, b.x) <= x && x <= std::max(a.x, b.x) &&
                         std::min(a.y, b.y) <= y && y <= std::max(a.y, b.y);
            }
            // Pixels on the fan's rim may fall to neither side; all others once.
            int least = inClosed && !onRim, most = inClosed;
            EXPECT_TRUE(count[p] >= least && count[p] <= most)
                << "trial " << trial << " pixel " << p << " counted " << count[p];
        }
    }
}

TEST(RasterTriangle, CullsTrianglesWoundClockwiseOnScreen) {
    // With y down, going right then up turns left: counter-clockwise, the front.
    ScreenPoint a{4, 40, 0.5}, right{40, 40, 0.5}, up{4, 4, 0.5};
    for (bool cull : {false, true}) {
        Raster front = blank(), back = blank();
        front.state().cullBack = back.state().cullBack = cull;
        front.triangle(a, right, up);
        back.triangle(a, up, right);
        EXPECT_GT(litCount(front), 500);
        EXPECT_EQ(litCount(back), cull ? 0 : litCount(front));
    }
}

TEST(RasterDepth, TestAndWriteFlagsDecideWhichOfTwoOverlappingTrianglesShows) {
    struct Case {
        bool test, write, nearFirst, nearShows;
        float depth;
    };
    const Case cases[] = {{true, true, true, true, 0.3f},   {true, true, false, true, 0.3f},
                          {false, true, true, false, 0.6f}, {false, true, false, true, 0.3f},
                          {true, false, true, false, 1.0f}, {true, false, false, true, 1.0f}};
    for (const Case& c : cases) {
        Raster r = blank();
        r.state().depthTest = c.test;
        r.state().depthWrite = c.write;
        auto draw = [&](double z, Rgba colour) {
            r.state().colour = colour;
            r.triangle({0, 0, z}, {0, 100, z}, {100, 0, z});
        };
        if (c.nearFirst)
            draw(0.3, kRed), draw(0.6, kGreen);
        else
            draw(0.6, kGreen), draw(0.3, kRed);
        EXPECT_EQ(lit(r, 10, 10), c.nearShows) << c.test << c.write << c.nearFirst;
        EXPECT_FLOAT_EQ(r.depth(10, 10), c.depth) << c.test << c.write << c.nearFirst;
    }
    Raster r = blank(); // equal depth passes
    r.triangle({0, 0, 0.5}, {0, 100, 0.5}, {100, 0, 0.5});
    r.state().colour = kGreen;
    r.triangle({0, 0, 0.5}, {0, 100, 0.5}, {100, 0, 0.5});
    EXPECT_EQ(r.pixel(10, 10).g, 1.0f);
}

TEST(RasterBlend, HalfRedOverBlueIsAnEvenMix) {
    Raster r(4, 4);
    r.clear(Rgba{0, 0, 1, 1});
    r.state().colour = Rgba{1, 0, 0, 0.5f};
    r.point({1.5, 1.5, 0});
    const std::uint8_t* p = &r.rgba()[(1 * 4 + 1) * 4];
    EXPECT_EQ(std::vector<int>(p, p + 4), (std::vector<int>{128, 0, 128, 255}));
    EXPECT_EQ(r.pixel(0, 0).b, 1.0f);
}

TEST(RasterClip, EveryCallStaysInsideTheClipRectangle) {
    const std::vector<std::function<void(Raster&)>> calls = {
        [](Raster& r) { r.clear(kWhite); },
        [](Raster& r) {
            r.triangle({-50, -50, 0}, {-50, 200, 0}, {200, -50, 0});
        },
        [](Raster& r) {
            r.line({-10, 20, 0}, {100, 20, 0});
        },
        [](Raster& r) {
            r.line({20, -10, 0}, {20, 100, 0});
        },
        [](Raster& r) {
            r.state().pointSize = 40, r.point({20, 20, 0});
        },
        [](Raster& r) { r.text(0, 16, "WWWWWWWWWWWWW", 0); },
        [](Raster& r) {
            Raster white(80, 80);
            white.clear(kWhite);
            r.blit(white, -5, -5);
        }};
    for (std::size_t i = 0; i < calls.size(); ++i) {
        Raster r = blank();
        r.setClip(10, 12, 30, 20);
        calls[i](r);
        int inside = 0;
        for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < r.width(); ++x) {
                bool in = x >= 10 && x < 40 && y >= 12 && y < 32;
                EXPECT_TRUE(in || !lit(r, x, y)) << "call " << i << " at " << x << "," << y;
                inside += lit(r, x, y);
            }
        EXPECT_GT(inside, 10) << "call " << i;
    }
}

TEST(RasterLine, IncludesBothEndsAndInterpolatesDepth) {
    const ScreenPoint ends[][2] = {{{2.5, 3.5, 0}, {40.5, 3.5, 1}},
                                   {{40.2, 30.7, 0}, {2.9, 3.1, 1}},
                                   {{5.5, 44.5, 0}, {9.5, 1.5, 1}},
                                   {{7.5, 7.5, 0}, {7.5, 7.5, 1}}};
    for (const auto& e : ends) {
        Raster r = blank();
        r.state().depthTest = false;
        r.line(e[0], e[1]);
        int ax = int(e[0].x), ay = int(e[0].y), bx = int(e[1].x), by = int(e[1].y);
        EXPECT_TRUE(lit(r, ax, ay) && lit(r, bx, by));
        EXPECT_EQ(litCount(r), std::max(std::abs(bx - ax), std::abs(by - ay)) + 1);
        EXPECT_FLOAT_EQ(r.depth(ax, ay), 0.0f);
        if (ax != bx || ay != by) {
            EXPECT_FLOAT_EQ(r.depth(bx, by), 1.0f);
        }
    }
}

TEST(RasterLine, PatternsRunFromTheStart) {
    // Runs as documented in raster.h: on, off, on, off...
    const std::pair<LinePattern, std::vector<int>> patterns[] = {
        {LinePattern::Solid, {1}},
        {LinePattern::Dot, {1, 2}},
        {LinePattern::Dash, {6, 4}},
        {LinePattern::LongDot, {10, 3, 1, 3}}};
    for (const auto& [pattern, runs] : patterns) {
        for (bool backwards : {false, true}) {
            Raster r = blank();
            r.state().pattern = pattern;
            ScreenPoint a{0.5, 5.5, 0}, b{59.5, 5.5, 0};
            backwards ? r.line(b, a) : r.line(a, b);
            std::string expected, drawn;
            while (expected.size() < 60)
                for (std::size_t i = 0; i < runs.size(); ++i)
                    expected += std::string(runs[i], i % 2 ? '.' : '#');
            expected.resize(60);
            for (int x = 0; x < 60; ++x)
                drawn += lit(r, backwards ? 59 - x : x, 5) ? '#' : '.';
            EXPECT_EQ(drawn, expected) << int(pattern) << (backwards ? " backwards" : "");
        }
    }
}

TEST(RasterTexture, ACheckerOnAQuadSamplesTheRightTexels) {
    host::Texture checker{2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255}};
    Raster r = blank();
    r.state().colour = Rgba{0.5f, 1, 1, 1};
    const double uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    ScreenPoint q[4] = {{0, 0, 0}, {40, 0, 0}, {40, 40, 0}, {0, 40, 0}};
    r.texturedTriangle(q[0], q[2], q[1], uv[0], uv[2], uv[1], checker);
    r.texturedTriangle(q[0], q[3], q[2], uv[0], uv[3], uv[2], checker);
    auto bytes = [&](int x, int y) {
        const std::uint8_t* p = &r.rgba()[(y * 64 + x) * 4];
        return std::vector<int>{p[0], p[1], p[2]};
    };
    // The state's colour halves red.
    for (int x : {1, 15, 19}) {
        for (int y : {1, 19})
            EXPECT_EQ(bytes(x, y), (std::vector<int>{128, 0, 0})) << x << "," << y;
        EXPECT_EQ(bytes(x + 20, 2), (std::vector<int>{0, 255, 0}));
        EXPECT_EQ(bytes(x, 38), (std::vector<int>{0, 0, 255}));
        EXPECT_EQ(bytes(x + 20, 38), (std::vector<int>{128, 255, 255}));
    }
    EXPECT_EQ(bytes(45, 10), (std::vector<int>{0, 0, 0}));
}

TEST(RasterDegenerate, NotFiniteCornersDrawNothingAndFarOnesAreClipped) {
    const double nan = std::nan(""), inf = INFINITY;
    Raster r = blank();
    r.triangle({nan, 0, 0}, {0, 40, 0}, {40, 0, 0});
    r.triangle({1e300, 0, 0}, {0, 40, 0}, {40, 0, 0});
    r.triangle({0, 0, 0}, {0, 40, inf}, {40, 0, 0});
    r.line({nan, 3, 0}, {30, 3, 0});
    r.line({3, 3, 0}, {30, inf, 0});
    r.point({nan, 5, 0});
    const double uv[2] = {0, 0};
    r.texturedTriangle({0, 0, 0}, {0, 40, 0}, {40, 0, 0}, uv, uv, uv, host::Texture{});
    EXPECT_EQ(litCount(r), 0);

    // Far ends: the whole row and the whole picture, drawn quickly.
    r.line({-1e300, 7.5, 0}, {1e300, 7.5, 0});
    for (int x = 0; x < 64; ++x)
        EXPECT_TRUE(lit(r, x, 7)) << x;
    EXPECT_EQ(litCount(r), 64);
    r.line({-1e12, -1e12, 0}, {1e12, 1e12, 0});
    EXPECT_TRUE(lit(r, 20, 20) && lit(r, 47, 47));
    r.triangle({-1e9, -1e9, 0}, {-1e9, 3e9, 0}, {3e9, -1e9, 0});
    EXPECT_EQ(litCount(r), 64 * 48);
    r.state().pointSize = 1 << 30;
    r.point({1e200, 0, 0});
}

TEST(RasterText, MeasuresCellsAndDrawsADistinctGlyphPerCharacter) {
    EXPECT_EQ(Raster::textWidth(""), 0);
    EXPECT_EQ(Raster::textWidth("abc"), 3 * Raster::textWidth("x"));
    EXPECT_EQ(Raster::textWidth("\xc3\xa9t\xc3\xa9"), Raster::textWidth("ete")); // UTF-8
    EXPECT_GT(Raster::textHeight(), 7);
    const int w = Raster::textWidth("x"), h = Raster::textHeight();
    auto draw = [&](const std::string& s) {
        Raster r = blank(w, h);
        r.text(0, 0, s, 0);
        return r.rgba();
    };
    std::set<std::vector<std::uint8_t>> shapes;
    for (char c = 33; c < 127; ++c)
        shapes.insert(draw(std::string(1, c)));
    EXPECT_EQ(shapes.size(), 94u);
    EXPECT_EQ(shapes.count(draw(" ")), 0u);        // space is empty and unlike all
    EXPECT_EQ(draw("\x01"), draw("\xe2\x82\xac")); // both draw the box
    EXPECT_EQ(shapes.count(draw("\x01")), 0u);

    // Right and centre justification end at and straddle x.
    for (int justify : {0, 1, 2}) {
        Raster r = blank();
        r.text(32, 10, "HH", justify);
        int lo = 64, hi = -1;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                if (lit(r, x, y)) lo = std::min(lo, x), hi = std::max(hi, x);
        int left = 32 - justify * w; // "HH" is two cells
        EXPECT_EQ(lo, left) << justify;
        EXPECT_LT(hi, left + 2 * w) << justify;
    }
}

} // namespace
