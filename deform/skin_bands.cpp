// The bands around the Skin blends' switches. See skin_bands.h.
#include "deform/skin_bands.h"

#include <cmath>

double stSkinBandShare = kSkinBandShare;

namespace {

// 0 below 0, 1 above 1, with level ends: 3x^2 - 2x^3 between.
double smoothStep(double x) {
    if (!(x > 0.0)) return 0.0;
    if (x >= 1.0) return 1.0;
    return x * x * (3.0 - 2.0 * x);
}

} // namespace

int skinFanBandWeights(const double dist[4], const PointData* const corner[4], int bound,
                       double width, double weight[4]) {
    double nearest = HUGE_VAL;
    int measured = 0, only = 0;
    for (int k = 0; k < 4; ++k) {
        weight[k] = 0.0;
        if (dist[k] < HUGE_VAL) ++measured, only = k;
        if (dist[k] < nearest) nearest = dist[k];
    }
    if (measured == 1) {
        weight[only] = 1.0;
        return 1;
    }
    double sum = 0.0;
    int count = 0;
    for (int k = 0; k < 4; ++k) {
        weight[k] = 0.0;
        if (!(dist[k] < HUGE_VAL)) continue;
        if (k != bound && corner[k] && corner[k] == corner[bound]) continue;
        const double over = dist[k] * dist[k] - nearest * nearest;
        if (!(over > 0.0))
            weight[k] = 1.0;
        else if (over < width * width)
            weight[k] = 1.0 - smoothStep(std::sqrt(over) / width);
        if (weight[k] > 0.0) {
            sum += weight[k];
            ++count;
        }
    }
    for (int k = 0; count > 0 && k < 4; ++k)
        weight[k] /= sum;
    return count;
}

double skinCornerFade(double depth, double width) {
    return smoothStep(0.5 + 0.5 * depth / width);
}
