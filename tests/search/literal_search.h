// The grid search written out cell by cell, with no pruning at all: the
// starting box, the growth ring by ring while nothing is accepted, then the
// cells of the best distance's box outside the searched one, each cell's
// list in order, every element tested once. Its answer is the one the
// production search must give bit for bit, ties included.
#ifndef MORVANE_TESTS_SEARCH_LITERAL_SEARCH_H
#define MORVANE_TESTS_SEARCH_LITERAL_SEARCH_H

#include "cage_instance.h"
#include "geometry/element_grids.h"
#include "geometry/element_search.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace searchtest {

template <class Elem, class Grid> class LiteralSearch {
  public:
    using Test = int (*)(Elem*, const double*, NearestElement*, CageShape);

    LiteralSearch(const Grid* grid, Test test, CageShape shape, const double* pt,
                  NearestElement* near)
        : g_(grid), test_(test), shape_(shape), pt_(pt), near_(near) {}

    void run() {
        if (!g_ || !g_->cellLists || g_->gridDims[0] <= 0) return;
        for (int a = 0; a < 3; ++a)
            if (!std::isfinite(pt_[a])) return;
        int cell[3], lo[3], hi[3];
        long reach = 0;
        for (int a = 0; a < 3; ++a) {
            const double q = (pt_[a] - g_->gridOrigin[a]) / g_->cellSize;
            cell[a] = int(q >= 0.0 ? std::trunc(q) : std::trunc(q) - 1.0);
            const long out =
                cell[a] < 0 ? -long(cell[a]) : (cell[a] > top(a) ? long(cell[a]) - top(a) : 0);
            reach = std::max(reach, out);
        }
        for (int a = 0; a < 3; ++a) {
            lo[a] = int(std::clamp(long(cell[a]) - reach, 0L, long(top(a))));
            hi[a] = int(std::clamp(long(cell[a]) + reach, 0L, long(top(a))));
        }
        cells(lo[0], hi[0], lo[1], hi[1], lo[2], hi[2]);
        while (!best()) {
            int nlo[3], nhi[3];
            bool grew = false;
            for (int a = 0; a < 3; ++a) {
                nlo[a] = std::max(lo[a] - 1, 0);
                nhi[a] = std::min(hi[a] + 1, top(a));
                grew = grew || nlo[a] != lo[a] || nhi[a] != hi[a];
            }
            if (!grew) break;
            cells(nlo[0], nhi[0], nlo[1], nhi[1], nlo[2], lo[2] - 1);
            cells(nlo[0], nhi[0], nlo[1], nhi[1], hi[2] + 1, nhi[2]);
            cells(nlo[0], nhi[0], nlo[1], lo[1] - 1, lo[2], hi[2]);
            cells(nlo[0], nhi[0], hi[1] + 1, nhi[1], lo[2], hi[2]);
            cells(nlo[0], lo[0] - 1, lo[1], hi[1], lo[2], hi[2]);
            cells(hi[0] + 1, nhi[0], lo[1], hi[1], lo[2], hi[2]);
            std::copy(nlo, nlo + 3, lo);
            std::copy(nhi, nhi + 3, hi);
        }
        int flo[3], fhi[3];
        for (int a = 0; a < 3; ++a) {
            flo[a] = clampCell(a, (pt_[a] - near_->dist - g_->gridOrigin[a]) / g_->cellSize);
            fhi[a] = clampCell(a, (pt_[a] + near_->dist - g_->gridOrigin[a]) / g_->cellSize);
        }
        cells(flo[0], fhi[0], flo[1], fhi[1], flo[2], std::min(lo[2] - 1, fhi[2]));
        cells(flo[0], fhi[0], flo[1], fhi[1], std::max(hi[2] + 1, flo[2]), fhi[2]);
        const int z0 = std::max(flo[2], lo[2]), z1 = std::min(fhi[2], hi[2]);
        cells(flo[0], fhi[0], flo[1], std::min(lo[1] - 1, fhi[1]), z0, z1);
        cells(flo[0], fhi[0], std::max(hi[1] + 1, flo[1]), fhi[1], z0, z1);
        const int y0 = std::max(flo[1], lo[1]), y1 = std::min(fhi[1], hi[1]);
        cells(flo[0], std::min(lo[0] - 1, fhi[0]), y0, y1, z0, z1);
        cells(std::max(hi[0] + 1, flo[0]), fhi[0], y0, y1, z0, z1);
    }

  private:
    int top(int a) const { return g_->gridDims[a] - 1; }
    int clampCell(int a, double q) const {
        if (!(q > 0.0)) return 0;
        return q < top(a) ? int(q) : top(a);
    }
    void cells(int x0, int x1, int y0, int y1, int z0, int z1) {
        for (int z = z0; z <= z1; ++z)
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x)
                    for (auto* n = cellList(g_, x, y, z); n; n = n->next) {
                        Elem* e = element(n);
                        if (tested_.insert(e).second) test_(e, pt_, near_, shape_);
                    }
    }
    Elem* best() const {
        const Elem* kind = nullptr;
        return bestOf(kind);
    }
    TrigonData* bestOf(const TrigonData*) const { return near_->trigon; }
    LinegonData* bestOf(const LinegonData*) const { return near_->linegon; }
    static TrigonData* element(const TrisNode* n) { return n->tri; }
    static LinegonData* element(const LineNode* n) { return n->lin; }

    const Grid* g_;
    Test test_;
    CageShape shape_;
    const double* pt_;
    NearestElement* near_;
    std::set<const Elem*> tested_;
};

template <class Elem, class Grid>
void literalSearch(const Grid* grid, int (*test)(Elem*, const double*, NearestElement*, CageShape),
                   CageShape shape, const double* pt, NearestElement* near) {
    LiteralSearch<Elem, Grid>(grid, test, shape, pt, near).run();
}

} // namespace searchtest

#endif // MORVANE_TESTS_SEARCH_LITERAL_SEARCH_H
