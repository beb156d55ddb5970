#include "tool/tool_brushes.h"

#include <math.h>

#include "cage/cage_keys.h"
#include "geometry/vector.h"
#include "tool/relax.h"
#include "tool/surface_distance.h"
#include "tool/tool_panel.h"
#include "tool/tool_picking.h"
#include "tool/tool_stroke.h"
#include "tool/tool_undo.h"
#include "tool/tool_view_frame.h"

namespace {

const double kPi = 3.141592653589793;

// Weighs the hit cage's points from the hit over its surface; false (the
// stroke does nothing) when there is no hit.
bool searchFromHit(EditCageState* s) {
    if (!getClickedCage_Selected(s)) return false;
    if (!s->hitPoint && !s->hitLinegon && !s->hitTrigon) return false;
    s->depthScale = s->perspective ? s->hitDepth : 1.0;
    s->brushWorldRadius = s->brushRadius * s->pixelSize * s->depthScale;
    makeEnablePointList_Mesh2(s, s->hitCage, s->hitPoint, s->hitLinegon, s->hitTrigon);
    return true;
}

// v rotated by angle about the unit axis.
void turnAbout(const double axis[3], double angle, const double v[3], double out[3]) {
    double across[3];
    cross3D(axis, v, across);
    const double c = cos(angle), sn = sin(angle), along = dot3D(axis, v) * (1.0 - c);
    for (int k = 0; k < 3; ++k)
        out[k] = v[k] * c + across[k] * sn + axis[k] * along;
}

void storeWholeCage(EditCageState* s, CageInstance* cage) {
    for (int i = 0; i < cage->pointCount; ++i) {
        PointData* p = cage->pointArray[i];
        double world[3];
        copy3D(p->worldOtherPos, world);
        storeMovedPoint(s, cage, p, world);
    }
}

} // namespace

int reBodyIterations(int stiffnessIterations) {
    return stiffnessIterations >= 15 ? stiffnessIterations / 5 : 2;
}

void surfaceBrushPress(EditCageState* s) {
    if (!searchFromHit(s)) {
        s->dragButton = 0;
        return;
    }
    CageInstance* cage = s->hitCage;
    for (int i = 0; i < cage->pointCount; ++i) {
        PointData* p = cage->pointArray[i];
        if ((s->fixOuterEdges && p->onBorder) || (s->selectedPointCount != 0 && !p->selected))
            p->brushWeight = 0.0;
    }
    recordStrokeStep(s);
    cage->editKey = nullptr;
    takeEditKey(s, cage);
}

void surfaceBrushMotion(EditCageState* s, const LWToolEvent* event) {
    CageInstance* cage = s->hitCage;
    if (!cage || getEventPosRaw(s, event) < 0.0) return;
    double drag[3];
    scale3D(s->cursorDelta, s->depthScale, drag);
    const double half = event->dx * -kPi / 180.0 * 0.5;
    for (int i = 0; i < cage->pointCount; ++i) {
        PointData* p = cage->pointArray[i];
        const double w = p->brushWeight;
        double moved[3];
        if (s->toolMode == kModeGrabTwist) {
            if (!p->inRange) {
                copy3D(p->startPos, moved);
            } else {
                double v[3];
                sub3D(p->startPos, s->hitPos, v);
                turnAbout(s->rayDir, 2.0 * w * half, v, moved);
                add3D(moved, s->hitPos, moved);
            }
        } else {
            if (s->toolMode == kModeGrab && w == 0.0) continue;
            for (int k = 0; k < 3; ++k)
                moved[k] = p->startPos[k] + drag[k] * w;
        }
        if (s->toolMode == kModeGrab)
            storeMovedPoint(s, cage, p, moved);
        else
            copy3D(moved, p->worldOtherPos);
    }
    if (s->toolMode != kModeGrab) {
        if (s->toolMode == kModeGrabSkin)
            relaxCageMeshShapeMatching(s, cage);
        else
            relaxCageMeshDistortion3D(s, cage, s->stiffnessIterations, s->stiffnessFactor);
        storeWholeCage(s, cage);
    }
    refreshAfterStroke();
}

void paintPress(EditCageState* s) {
    // Painting works on keys; in base mode there is nothing to paint.
    if (s->editBaseCage) {
        s->dragButton = 0;
        return;
    }
    for (int i = 0; i < s->selectedCageCount; ++i)
        s->selectedCages[i]->editKey = nullptr;
}

void paintMotion(EditCageState* s, const LWToolEvent* event) {
    if (getEventPosRaw(s, event) < 0.0 || !searchFromHit(s)) return;
    CageInstance* cage = s->hitCage;
    if (s->undoPending) {
        rec1Process(s, 1, 0, s->currentTime);
        s->undoPending = 0;
    }
    if (!cage->editKey) takeEditKey(s, cage);
    if (!cage->editKey) return;
    if (s->toolMode == kModeReBody) {
        double factor;
        int iterations;
        getStiffnessParmBySliderValue(int(s->reBodyStrength * 200.0 + 0.5), &factor, &iterations);
        for (int i = 0; i < cage->pointCount; ++i)
            copy3D(cage->pointArray[i]->worldRestPos, cage->pointArray[i]->startPos);
        const int kept = s->fixPointsOutOfRange;
        s->fixPointsOutOfRange = 1;
        relaxCageMeshDistortion3D(s, cage, reBodyIterations(iterations), factor * 0.2);
        s->fixPointsOutOfRange = kept;
        storeWholeCage(s, cage);
    } else {
        for (int i = 0; i < cage->pointCount; ++i) {
            PointData* p = cage->pointArray[i];
            const double share = p->brushWeight * s->strength;
            if (share == 0.0) continue;
            for (int k = 0; k < 3; ++k) {
                p->worldOtherPos[k] += (p->worldRestPos[k] - p->worldOtherPos[k]) * share;
                // + 0.0: a delta erased to nothing is stored as 0, not -0.
                double& delta = cage->editKey->deltas[3 * p->index + k];
                delta = delta * (1.0 - share) + 0.0;
            }
        }
    }
    refreshAfterStroke();
}
