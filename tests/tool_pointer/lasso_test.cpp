// The lasso: the inside test of the closed outline through its row table,
// against a plain even-odd test, and its edge cases.
#include "module/memory.h"
#include "tool/tool_lasso.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

struct Lasso {
    LassoOutline outline;
    Lasso() { std::memset(&outline, 0, sizeof outline); }
    ~Lasso() { destroyLasso(&outline); }
    void add(float x, float y) {
        const double world[3] = {x, y, 0};
        add1PolLine(&outline, x, y, world);
    }
    bool inside(float x, float y) const { return isInLasso(&outline, x, y) == 1; }
};

TEST(LassoOutline, AThreePointLassoHoldsWhatIsInsideAndOnItsEdges) {
    Lasso lasso;
    lasso.add(0, 0);
    lasso.add(4, 0);
    lasso.add(0, 4);
    ASSERT_EQ(makeLasso(&lasso.outline), 0);
    EXPECT_TRUE(lasso.inside(1, 1));
    EXPECT_TRUE(lasso.inside(2, 2)); // on the slanted edge
    EXPECT_TRUE(lasso.inside(0, 2)); // on the upright edge
    EXPECT_FALSE(lasso.inside(3, 3));
    EXPECT_FALSE(lasso.inside(-0.1f, 1));
}

TEST(LassoOutline, TwoPointsMakeNoLasso) {
    Lasso lasso;
    lasso.add(0, 0);
    lasso.add(4, 4);
    EXPECT_EQ(makeLasso(&lasso.outline), 1);
    EXPECT_FALSE(lasso.inside(2, 2));
}

// A level edge at the tested height counts through its start vertex only:
// at the height of a notch's level floor the floor is the outline, and the
// lasso's inside lies on either side of it.
TEST(LassoOutline, LevelEdgesCountThroughTheirStartVertex) {
    Lasso lasso;
    for (auto [x, y] : std::vector<std::pair<float, float>>{
             {0, 0}, {2, 0}, {2, 2}, {3, 2}, {3, 0}, {5, 0}, {5, 5}, {0, 5}})
        lasso.add(x, y);
    ASSERT_EQ(makeLasso(&lasso.outline), 0);
    EXPECT_TRUE(lasso.inside(1, 2));
    EXPECT_TRUE(lasso.inside(4, 2));
    EXPECT_FALSE(lasso.inside(2.5f, 2)); // the notch's floor
    EXPECT_FALSE(lasso.inside(2.5f, 1)); // in the notch
    EXPECT_TRUE(lasso.inside(2.5f, 3));
}

bool evenOdd(const std::vector<std::pair<double, double>>& poly, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const auto [xi, yi] = poly[i];
        const auto [xj, yj] = poly[j];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
}

double distanceToOutline(const std::vector<std::pair<double, double>>& poly, double x, double y) {
    double best = 1e30;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const double ax = poly[j].first, ay = poly[j].second;
        const double ex = poly[i].first - ax, ey = poly[i].second - ay;
        const double len2 = ex * ex + ey * ey;
        const double t =
            len2 > 0 ? std::clamp(((x - ax) * ex + (y - ay) * ey) / len2, 0.0, 1.0) : 0.0;
        best = std::min(best, std::hypot(x - ax - t * ex, y - ay - t * ey));
    }
    return best;
}

// Random wobbly loops of up to 300 points (several rows), self-crossing
// included: the row table gives the even-odd answer away from the outline.
TEST(LassoOutline, InsideAgreesWithAnEvenOddTest) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    int inside = 0, tested = 0;
    for (int round = 0; round < 40; ++round) {
        const int n = 3 + int(u(rng) * 300);
        std::vector<std::pair<double, double>> poly;
        Lasso lasso;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * M_PI * i / n, r = 20 + 15 * u(rng);
            // Whole floats, so the test and the lasso see the same outline.
            const float x = float(std::round((100 + r * std::cos(a)) * 4) / 4);
            const float y = float(std::round((100 + r * std::sin(a)) * 4) / 4);
            poly.push_back({x, y});
            lasso.add(x, y);
        }
        ASSERT_EQ(makeLasso(&lasso.outline), 0);
        for (int k = 0; k < 400; ++k) {
            const double x = 60 + 80 * u(rng), y = 60 + 80 * u(rng);
            if (distanceToOutline(poly, x, y) < 1e-3) continue;
            const bool expected = evenOdd(poly, x, y);
            EXPECT_EQ(lasso.inside(float(x), float(y)), expected) << round << " " << x << "," << y;
            inside += expected;
            ++tested;
        }
    }
    EXPECT_GT(inside, tested / 4);
}

TEST(LassoOutline, ManyCrossingsInOneRowStayWithinTheTable) {
    Lasso lasso;
    for (int i = 0; i < 1400; ++i) // a comb: 1400 teeth cross y = 5
        lasso.add(float(i), i % 2 ? 10.0f : 0.0f);
    lasso.add(1400, -5);
    lasso.add(0, -5);
    ASSERT_EQ(makeLasso(&lasso.outline), 0);
    lasso.inside(700.25f, 5); // whatever the answer, nothing beyond the 512 places is touched
    EXPECT_TRUE(lasso.inside(700.5f, -1));
}

TEST(LassoOutline, ValuesSortAscending) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> u(-50, 50);
    for (int n : {1, 2, 7, 100, 1000}) {
        std::vector<float> v(static_cast<size_t>(n));
        for (float& x : v)
            x = float(u(rng));
        std::vector<float> expected = v;
        std::sort(expected.begin(), expected.end());
        fValueSort(v.data(), 0, n - 1);
        EXPECT_EQ(v, expected) << n;
    }
}

} // namespace
