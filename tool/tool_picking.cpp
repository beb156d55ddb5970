#include "tool/tool_picking.h"

#include <string.h>

#include "geometry/vector.h"
#include "tool/tool_selection.h"
#include "tool/tool_view_frame.h"

namespace {

const double kNearest = 0.01;       // closer hits are ignored
const double kLinegonPixels = 16.0; // how far from a linegon still hits it
const double kPointPixels = 12.0;   // how far from a point still picks it
const double kNoHit = 1e20;

void resetElementHit(EditCageState* s) {
    s->hitLinegon = nullptr;
    s->hitTrigon = nullptr;
    s->hitDepth = kNoHit;
}

void testCageElements(EditCageState* s, CageInstance* cage) {
    resetElementHit(s);
    for (LinegonData* lin = cage->linegonList; lin; lin = lin->next)
        checkCollisionWithLinegon(s, lin);
    for (TrigonData* tri = cage->trigonList; tri; tri = tri->next)
        checkCollisionWithTrigon(s, tri);
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        for (TrigonData& fan : poly->tri)
            checkCollisionWithTrigon(s, &fan);
}

// Cuts the part of a segment that lies closer than kNearest in front of the
// eye; false when nothing is left. A perspective projection of a point
// behind the eye would land on the wrong side of the screen.
bool clipToFront(const EditCageState* s, double a[3], double b[3]) {
    if (!s->perspective) return true;
    double offset[3];
    sub3D(a, s->eyePos, offset);
    const double za = dot3D(offset, s->viewNormal);
    sub3D(b, s->eyePos, offset);
    const double zb = dot3D(offset, s->viewNormal);
    if (za < kNearest && zb < kNearest) return false;
    double* near = za < kNearest ? a : zb < kNearest ? b : nullptr;
    if (!near) return true;
    const double t = (kNearest - (near == a ? za : zb)) / (near == a ? zb - za : za - zb);
    const double* far = near == a ? b : a;
    for (int k = 0; k < 3; ++k)
        near[k] += (far[k] - near[k]) * t;
    return true;
}

bool pointOfElement(const PointData* p, const LinegonData* lin, const TrigonData* tri) {
    if (lin) {
        for (int i = 0; i < p->linegonCount; ++i)
            if (p->linegons[i] == lin) return true;
    }
    if (tri) {
        for (int i = 0; i < p->trigonCount; ++i)
            if (p->trigons[i] == tri) return true;
    }
    return false;
}

// Keeps the list sorted by screen distance, a new entry after equal ones,
// and at most 16 long.
void addCandidate(EditCageState* s, CageInstance* cage, PointData* p, double e, double z) {
    int at = s->candidateCount;
    while (at > 0 && s->candidates[at - 1].screenDistance > e)
        --at;
    if (at >= kMaxPointCandidates) return;
    const int last =
        s->candidateCount < kMaxPointCandidates ? s->candidateCount : kMaxPointCandidates - 1;
    memmove(&s->candidates[at + 1], &s->candidates[at], size_t(last - at) * sizeof(PointCandidate));
    s->candidates[at] = PointCandidate{cage, p, e, z};
    if (s->candidateCount < kMaxPointCandidates) ++s->candidateCount;
}

void hitCandidate(EditCageState* s, const PointCandidate& c) {
    s->hitCage = c.cage;
    s->hitPoint = c.point;
    s->hitLinegon = nullptr;
    s->hitTrigon = nullptr;
    s->hitDepth = c.depth;
    copy3D(c.point->worldOtherPos, s->hitPos);
}

} // namespace

void checkCollisionWithLinegon(EditCageState* s, LinegonData* linegon) {
    double a[3], b[3];
    copy3D(linegon->pnt[0]->worldOtherPos, a);
    copy3D(linegon->pnt[1]->worldOtherPos, b);
    if (!clipToFront(s, a, b)) return;
    double sa[2], sb[2], za, zb;
    projectToScreen(s, a, sa, &za);
    projectToScreen(s, b, sb, &zb);
    double ab[2], ac[2];
    sub2D(sb, sa, ab);
    sub2D(s->cursorScreen, sa, ac);
    const double length = len2D(ab);
    double e, t;
    if (length < 1e-7) {
        e = len2D(ac);
        t = 0.0;
    } else {
        const double u[2] = {ab[0] / length, ab[1] / length};
        const double along = dot2D(ac, u);
        if (along < 0.0) {
            e = len2D(ac);
            t = 0.0;
        } else if (along > length) {
            double bc[2];
            sub2D(s->cursorScreen, sb, bc);
            e = len2D(bc);
            t = 1.0;
        } else {
            e = fabs(cross2D(ac, u));
            t = along / length;
        }
    }
    if (e > kLinegonPixels * s->pixelSize) return;
    double hit[3], offset[3];
    for (int k = 0; k < 3; ++k)
        hit[k] = a[k] + (b[k] - a[k]) * t;
    sub3D(hit, s->eyePos, offset);
    const double z = dot3D(offset, s->viewNormal);
    if (z < kNearest || z > s->hitDepth) return;
    s->hitLinegon = linegon;
    s->hitTrigon = nullptr;
    s->hitDepth = z;
    copy3D(hit, s->hitPos);
}

void checkCollisionWithTrigon(EditCageState* s, TrigonData* trigon) {
    const double* n = trigon->worldN;
    const double k = dot3D(s->rayDir, n);
    if (fabs(k) < 1e-7) return;
    double q[3][2];
    for (int i = 0; i < 3; ++i) {
        double v[3];
        sub3D(trigon->pnt[i]->worldOtherPos, s->cursorPos, v);
        q[i][0] = dot3D(v, s->rayU);
        q[i][1] = dot3D(v, s->rayW);
    }
    const double c[3] = {cross2D(q[0], q[1]), cross2D(q[1], q[2]), cross2D(q[2], q[0])};
    for (double ci : c)
        if ((k > 0.0 && ci > 0.0) || (k < 0.0 && ci < 0.0)) return;
    double v0[3];
    sub3D(trigon->pnt[0]->worldOtherPos, s->cursorPos, v0);
    const double t = dot3D(n, v0) / k;
    double hit[3], offset[3];
    for (int a = 0; a < 3; ++a)
        hit[a] = s->cursorPos[a] + t * s->rayDir[a];
    sub3D(hit, s->eyePos, offset);
    const double z = dot3D(offset, s->viewNormal);
    if (z < kNearest || z > s->hitDepth) return;
    s->hitLinegon = nullptr;
    s->hitTrigon = trigon;
    s->hitDepth = z;
    copy3D(hit, s->hitPos);
}

CageInstance* getClickedCage_All(EditCageState* s) {
    CageInstance* hits = nullptr;
    const int count = getListOfCagesInThisScene(s);
    for (int i = 0; i < count; ++i) {
        CageInstance* cage = s->sceneCages[i];
        testCageElements(s, cage);
        if (!s->hitLinegon && !s->hitTrigon) continue;
        cage->hitNext = hits;
        hits = cage;
    }
    return hits;
}

CageInstance* getClickedCage_Selected(EditCageState* s) {
    s->hitCage = nullptr;
    s->hitPoint = nullptr;
    resetElementHit(s);
    s->candidateCount = 0;
    CageInstance* bestCage = nullptr;
    LinegonData* bestLinegon = nullptr;
    TrigonData* bestTrigon = nullptr;
    double bestDepth = kNoHit, bestPos[3] = {0, 0, 0};

    for (int i = 0; i < s->selectedCageCount; ++i) {
        CageInstance* cage = s->selectedCages[i];
        for (int p = 0; p < cage->pointCount; ++p) {
            PointData* point = cage->pointArray[p];
            double screen[2], z, d[2];
            projectToScreen(s, point->worldOtherPos, screen, &z);
            if (s->perspective && z < kNearest) continue;
            sub2D(screen, s->cursorScreen, d);
            const double e = len2D(d);
            if (e < kPointPixels * s->pixelSize) addCandidate(s, cage, point, e, z);
        }
        testCageElements(s, cage);
        if ((s->hitTrigon || s->hitLinegon) && s->hitDepth < bestDepth) {
            bestCage = cage;
            bestLinegon = s->hitTrigon ? nullptr : s->hitLinegon;
            bestTrigon = s->hitTrigon;
            bestDepth = s->hitDepth;
            copy3D(s->hitPos, bestPos);
        }
    }
    s->hitCage = bestCage;
    s->hitLinegon = bestLinegon;
    s->hitTrigon = bestTrigon;
    s->hitDepth = bestDepth;
    copy3D(bestPos, s->hitPos);
    if (s->candidateCount == 0) return bestCage;

    if (!bestCage) {
        hitCandidate(s, s->candidates[0]);
        return s->hitCage;
    }
    for (int i = 0; i < s->candidateCount; ++i) {
        const PointCandidate& c = s->candidates[i];
        if (c.depth < bestDepth || pointOfElement(c.point, bestLinegon, bestTrigon)) {
            hitCandidate(s, c);
            return s->hitCage;
        }
    }
    return bestCage;
}
