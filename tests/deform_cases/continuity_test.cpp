// Through the module file: a cube cage with one corner raised no longer
// tears its Skin result apart along the top face's spoke to that corner.
#include "point_harness.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using harness::P3;
using harness::PointHarness;

double dist(const P3& a, const P3& b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                     (a[2] - b[2]) * (a[2] - b[2]));
}

TEST(SkinContinuity, PointsOnEitherSideOfASpokeMoveTogether) {
    PointHarness h(harness::boxCage(1), harness::meshOf({{0, 0, 0}}));
    h.key([](const P3& p) {
        return p[0] > 0 && p[1] > 0 && p[2] > 0 ? P3{0, 0, 0.5} : P3{0, 0, 0};
    });
    for (int f = 0; f <= 6; ++f) {
        h.set(0, f);
        // 2e-7 apart across the spoke from (0, 0, 1) to (1, 1, 1): they used
        // to land 0.018 apart.
        const P3 a = h.evaluateAt({0.4, 0.4 + 1e-7, 0.6});
        const P3 b = h.evaluateAt({0.4, 0.4 - 1e-7, 0.6});
        EXPECT_LT(dist(a, b), 1e-5) << "falloff " << f;
        // On the spoke itself the result is the mirror image of itself.
        const P3 on = h.evaluateAt({0.4, 0.4, 0.6});
        EXPECT_NEAR(on[0], on[1], 1e-12) << "falloff " << f;
        EXPECT_GT(on[2], 0.65) << "falloff " << f;
    }
}

} // namespace
