// Inside test over the 2D triangle grid. See inside_test.h.
#include "geometry/inside_test.h"

#include "geometry/element_grids.h"

#include <cmath>

namespace {

constexpr double kFar = 1e20;

double cross2(const double a[2], const double b[2]) {
    return a[0] * b[1] - a[1] * b[0];
}

} // namespace

bool isWithinTheCage(CageInstance* cage, const double q[3]) {
    if (!cage || !q) return false;
    if (!std::isfinite(q[0]) || !std::isfinite(q[1]) || !std::isfinite(q[2])) return false;
    const TrisMat2D* g = cage->trisMat2D;
    if (!g || !g->cellLists) return false;
    if (q[0] < g->gridOrigin[0] || q[0] > g->gridMax[0] || q[1] < g->gridOrigin[1] ||
        q[1] > g->gridMax[1])
        return false;
    int idx[2];
    if (!cellIndexOf(g, q, idx)) return false;
    const TrisNode* node = cellList(g, idx[0], idx[1]);
    if (!node) return false;

    double below = -kFar, above = kFar;
    bool belowUp = false, aboveUp = true;
    for (; node; node = node->next) {
        const TrigonData* t = node->tri;
        if (q[0] < t->restBoxMin[0] || q[0] > t->restBoxMax[0] || q[1] < t->restBoxMin[1] ||
            q[1] > t->restBoxMax[1])
            continue;
        const double* v0 = t->pnt[0]->restPos;
        const double* v1 = t->pnt[1]->restPos;
        const double* v2 = t->pnt[2]->restPos;
        const double* n = t->rest.N;
        const double a0[2] = {v0[0] - q[0], v0[1] - q[1]};
        const double a1[2] = {v1[0] - q[0], v1[1] - q[1]};
        const double a2[2] = {v2[0] - q[0], v2[1] - q[1]};
        const double c20 = cross2(a2, a0), c01 = cross2(a0, a1), c12 = cross2(a1, a2);
        // The corners run clockwise from above when N faces up.
        const bool up = n[2] > 0.0;
        const bool hit = up ? (c20 <= 0.0 && c01 <= 0.0 && c12 <= 0.0)
                            : (c20 >= 0.0 && c01 >= 0.0 && c12 >= 0.0);
        if (!hit) continue;
        const double z = (a0[0] * n[0] + a0[1] * n[1] + (v0[2] - q[2]) * n[2]) / n[2];
        // Strict comparisons: at equal height the first triangle listed wins.
        if (z < 0.0) {
            if (z > below) {
                below = z;
                belowUp = up;
            }
        } else if (z < above) {
            above = z;
            aboveUp = up;
        }
    }
    if (below <= -1e19 || above >= 1e19) return false;
    return belowUp || !aboveUp;
}
