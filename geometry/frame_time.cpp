#include "geometry/frame_time.h"

#include <cmath>

double getIntegerFrameTimeWithFractionalFrameTime(double time, double step) {
    // A frame rate of zero (a damaged scene) gives no grid to snap to.
    if (!(std::fabs(step) > 0.0) || !std::isfinite(step)) return time;
    const double f = time / step;
    if (!std::isfinite(f)) return time;
    // Truncate in floating point: no integer overflow for far-off times.
    double i = std::trunc(f);
    const double r = f - i;
    if (f < 0.0 && r < -0.5) i -= 1.0;
    if (f >= 0.0 && r > 0.5) i += 1.0;
    return i * step;
}
