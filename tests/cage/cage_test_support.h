// Small helpers shared by the cage tests: an owned cage, cages built by hand,
// and a printable snapshot of all adjacency for comparing two builds.
#ifndef MORVANE_TESTS_CAGE_CAGE_TEST_SUPPORT_H
#define MORVANE_TESTS_CAGE_CAGE_TEST_SUPPORT_H

#include "cage/cage_model.h"
#include "cage_instance.h"

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace cagetest {

// A zeroed cage freed with destroyCageData, as the cage item owns one.
struct OwnedCage {
    CageInstance* cage;
    OwnedCage() : cage(static_cast<CageInstance*>(std::calloc(1, sizeof(CageInstance)))) {}
    ~OwnedCage() {
        destroyCageData(cage);
        std::free(cage);
    }
    OwnedCage(const OwnedCage&) = delete;
    OwnedCage& operator=(const OwnedCage&) = delete;
    CageInstance* operator->() const { return cage; }
};

struct V3 {
    double x, y, z;
};

// Adds the points in order and gives the cage a pointArray in that order.
inline std::vector<PointData*> addPoints(CageInstance* cage, const std::vector<V3>& pts) {
    std::vector<PointData*> out;
    for (const V3& v : pts) {
        const double pos[3] = {v.x, v.y, v.z};
        out.push_back(add1PointData(cage, pos));
    }
    cage->pointArray = static_cast<PointData**>(std::calloc(pts.size() + 1, sizeof(PointData*)));
    for (std::size_t i = 0; i < out.size(); ++i) {
        cage->pointArray[i] = out[i];
        if (out[i]) out[i]->index = unsigned(i);
    }
    return out;
}

inline std::string pointLabel(const CageInstance* cage, const PointData* p) {
    if (!p) return "-";
    if (!p->isCenter) return "p" + std::to_string(p->index);
    for (int i = 0; i < cage->polygonCount; ++i)
        if (&cage->polygonBlock[i].center == p) return "c" + std::to_string(i);
    return "?";
}

inline std::string trigonLabel(const CageInstance* cage, const TrigonData* t) {
    if (!t) return "-";
    if (t->polygon)
        return "f" + std::to_string(t->polygon - cage->polygonBlock) + "." +
               std::to_string(t->subIndex);
    return "t" + std::to_string(t - cage->trigonBlock);
}

inline std::string edgeLabel(const CageInstance* cage, const EdgeData* e) {
    if (!e) return "-";
    return "e" + std::to_string(e - cage->edgeBlock);
}

inline void describePoint(const CageInstance* cage, const PointData* p, std::ostringstream& s) {
    s << pointLabel(cage, p) << " border " << int(p->onBorder) << " nb";
    for (int i = 0; i < p->neighbourCount; ++i)
        s << ' ' << pointLabel(cage, p->neighbours[i]);
    s << " ed";
    for (int i = 0; i < p->edgeCount; ++i)
        s << ' ' << pointLabel(cage, p->edgePoints[i]) << '/' << edgeLabel(cage, p->edges[i]);
    s << " tr";
    for (int i = 0; i < p->trigonCount; ++i)
        s << ' ' << trigonLabel(cage, p->trigons[i]);
    s << " co";
    for (int i = 0; i < p->cornerCount; ++i)
        s << ' ' << (p->cornerPolygons[i] - cage->polygonBlock) << ':' << p->cornerNumbers[i];
    s << " li";
    for (int i = 0; i < p->linegonCount; ++i)
        s << ' ' << (p->linegons[i] - cage->linegonBlock);
    s << '\n';
}

inline void describeTrigon(const CageInstance* cage, const TrigonData* t, std::ostringstream& s) {
    s << trigonLabel(cage, t) << ':';
    for (int i = 0; i < 3; ++i)
        s << ' ' << pointLabel(cage, t->pnt[i]) << '/' << edgeLabel(cage, t->edge[i]);
    s << '\n';
}

// Every list and link of the topology, by index, in list order.
inline std::string adjacencySnapshot(const CageInstance* cage) {
    std::ostringstream s;
    s << "counts " << cage->pointCount << ' ' << cage->linegonCount << ' ' << cage->trigonCount
      << ' ' << cage->polygonCount << ' ' << cage->edgeCount << '\n';
    for (int i = 0; i < cage->pointCount; ++i)
        describePoint(cage, cage->pointArray[i], s);
    for (const PolygonData* poly = cage->polygonList; poly; poly = poly->next) {
        describePoint(cage, &poly->center, s);
        for (int k = 0; k < 4; ++k)
            describeTrigon(cage, &poly->tri[k], s);
    }
    for (const TrigonData* t = cage->trigonList; t; t = t->next)
        describeTrigon(cage, t, s);
    for (const EdgeData* e = cage->edgeList; e; e = e->next)
        s << edgeLabel(cage, e) << ' ' << pointLabel(cage, e->pntA) << "->"
          << pointLabel(cage, e->pntB) << ' ' << trigonLabel(cage, e->trigonA) << ' '
          << trigonLabel(cage, e->trigonB) << ' ' << e->aInTrigonA << e->bInTrigonA << e->aInTrigonB
          << e->bInTrigonB << '\n';
    return s.str();
}

} // namespace cagetest

#endif
