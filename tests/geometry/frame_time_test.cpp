#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "geometry/frame_time.h"

namespace {

TEST(FrameTime, RoundsToNearestFrame) {
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(0.51, 1.0), 1.0);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(0.49, 1.0), 0.0);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(0.0, 1.0), 0.0);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(3.0, 1.0), 3.0);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(3.7, 1.0), 4.0);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(3.2, 1.0), 3.0);
}

TEST(FrameTime, NegativeTimes) {
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(-0.51, 1.0), -1.0);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(-0.49, 1.0), 0.0);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(-3.7, 1.0), -4.0);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(-3.2, 1.0), -3.0);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(-1.8, 0.5), -2.0);
}

TEST(FrameTime, ExactHalvesGoTowardZero) {
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(0.5, 1.0), 0.0);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(-0.5, 1.0), 0.0);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(2.5, 1.0), 2.0);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(-2.5, 1.0), -2.0);
    // 2.5 and -3.5 frames of half a second.
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(1.25, 0.5), 1.0);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(-1.75, 0.5), -1.5);
}

TEST(FrameTime, FilmRate) {
    const double step = 1.0 / 24.0;
    EXPECT_NEAR(getIntegerFrameTimeWithFractionalFrameTime(37.4 / 24.0, step), 37.0 / 24.0, 1e-12);
    EXPECT_NEAR(getIntegerFrameTimeWithFractionalFrameTime(37.6 / 24.0, step), 38.0 / 24.0, 1e-12);
    EXPECT_NEAR(getIntegerFrameTimeWithFractionalFrameTime(-37.6 / 24.0, step), -38.0 / 24.0,
                1e-12);
    EXPECT_NEAR(getIntegerFrameTimeWithFractionalFrameTime(-37.4 / 24.0, step), -37.0 / 24.0,
                1e-12);
}

TEST(FrameTime, ResultIsNearestWholeFrame) {
    std::mt19937 rng(6);
    std::uniform_real_distribution<double> timeDist(-1000.0, 1000.0);
    const double steps[] = {1.0 / 24.0, 1.0 / 30.0, 0.04, 1.0, 2.5};
    for (int n = 0; n < 2000; ++n) {
        const double step = steps[n % 5];
        const double time = timeDist(rng);
        const double snapped = getIntegerFrameTimeWithFractionalFrameTime(time, step);
        const double frames = snapped / step;
        EXPECT_NEAR(frames, std::round(frames), 1e-6);
        EXPECT_LE(std::fabs(snapped - time), 0.5 * step + 1e-9);
        // Snapping again changes nothing.
        EXPECT_NEAR(getIntegerFrameTimeWithFractionalFrameTime(snapped, step), snapped, 1e-9);
    }
}

TEST(FrameTime, FarTimesDoNotOverflow) {
    const double t = getIntegerFrameTimeWithFractionalFrameTime(1e15, 1.0 / 30.0);
    EXPECT_TRUE(std::isfinite(t));
    EXPECT_NEAR(t, 1e15, 1.0);
}

TEST(FrameTime, ZeroOrNonFiniteFrameLengthLeavesTheTimeAlone) {
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(0.37, 0.0), 0.37);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(0.37, std::nan("")), 0.37);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(0.37, INFINITY), 0.37);
    EXPECT_EQ(getIntegerFrameTimeWithFractionalFrameTime(1e300, 1e-300), 1e300);
}

} // namespace
