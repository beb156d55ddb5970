#include "tool/tool_transforms.h"

#include <math.h>

#include "geometry/curve.h"
#include "geometry/vector.h"
#include "tool/tool_panel.h"
#include "tool/tool_picking.h"
#include "tool/tool_stroke.h"
#include "tool/tool_view_frame.h"

namespace {

const double kPi = 3.141592653589793;
const double kDragPixels = 12.0;

// The stroke's points: the selected ones when there are any, else all.
bool inStroke(const EditCageState* s, const PointData* p) {
    return s->selectedPointCount == 0 || p->selected;
}

bool cageHasSelectedPoint(const CageInstance* cage) {
    for (int i = 0; i < cage->pointCount; ++i)
        if (cage->pointArray[i]->selected) return true;
    return false;
}

// The same point's place in the press's cursor frame (rayU, rayW, rayDir).
void cursorFrame(const EditCageState* s, const double p[3], double abc[3]) {
    double v[3];
    sub3D(p, s->cursorPos, v);
    abc[0] = dot3D(v, s->rayU);
    abc[1] = dot3D(v, s->rayW);
    abc[2] = dot3D(v, s->rayDir);
}

void fromCursorFrame(const EditCageState* s, const double abc[3], double out[3]) {
    for (int k = 0; k < 3; ++k)
        out[k] =
            s->cursorPos[k] + abc[0] * s->rayU[k] + abc[1] * s->rayW[k] + abc[2] * s->rayDir[k];
}

// Skipped at the press of Grabnet and Magnet: border points with Fix Outer
// Edges, unselected points while points are selected.
bool brushSkips(const EditCageState* s, const PointData* p) {
    return (s->fixOuterEdges && p->onBorder) || (s->selectedPointCount != 0 && !p->selected);
}

double falloff(const EditCageState* s, double x) {
    return calcFalloffCurve(s->falloffFlags, s->falloffExponents, x);
}

// Weighs the selected cages' points by a brush; a cage with a weighted
// point gets its key.
template <class Weigh> void weighPoints(EditCageState* s, Weigh weigh) {
    for (int i = 0; i < s->selectedCageCount; ++i) {
        CageInstance* cage = s->selectedCages[i];
        cage->editKey = nullptr;
        bool weighted = false;
        for (int n = 0; n < cage->pointCount; ++n) {
            PointData* p = cage->pointArray[n];
            p->brushWeight = 0.0;
            if (brushSkips(s, p)) continue;
            copy3D(p->worldOtherPos, p->startPos);
            p->brushWeight = weigh(p);
            weighted = weighted || p->brushWeight != 0.0;
        }
        if (weighted) takeEditKey(s, cage);
    }
}

} // namespace

void transformPress(EditCageState* s) {
    recordStrokeStep(s);
    double centre[3] = {0, 0, 0};
    int count = 0;
    for (int i = 0; i < s->selectedCageCount; ++i) {
        CageInstance* cage = s->selectedCages[i];
        for (int n = 0; n < cage->pointCount; ++n) {
            PointData* p = cage->pointArray[n];
            if (!inStroke(s, p)) continue;
            copy3D(p->worldOtherPos, p->startPos);
            add3D(centre, p->startPos, centre);
            ++count;
        }
        cage->editKey = nullptr;
        if (!s->editBaseCage && (s->selectedPointCount == 0 || cageHasSelectedPoint(cage)))
            takeEditKey(s, cage);
    }
    s->depthScale = 1.0;
    if (s->perspective && count > 0) {
        scale3D(centre, 1.0 / count, centre);
        s->depthScale = dist3D(s->eyePos, centre);
    }
}

void transformMotion(EditCageState* s, const LWToolEvent* event) {
    if (s->toolMode == kModeMove && getEventPosRaw(s, event) < 0.0) return;
    double sx = 1.0, sy = 1.0;
    if (event->dx > 0)
        sx = 1.0 + 0.01 * event->dx;
    else
        sx = 1.0 / (1.0 - 0.01 * event->dx);
    if (event->dy < 0)
        sy = 1.0 - 0.01 * event->dy;
    else
        sy = 1.0 / (1.0 + 0.01 * event->dy);
    const double angle = event->dx * -0.005 * kPi;
    const double size = 1.0 + 0.005 * event->dx;
    for (int i = 0; i < s->selectedCageCount; ++i) {
        CageInstance* cage = s->selectedCages[i];
        for (int n = 0; n < cage->pointCount; ++n) {
            PointData* p = cage->pointArray[n];
            if (!inStroke(s, p)) continue;
            double moved[3], abc[3];
            switch (s->toolMode) {
            case kModeMove:
                for (int k = 0; k < 3; ++k)
                    moved[k] = p->startPos[k] + s->cursorDelta[k] * s->depthScale;
                break;
            case kModeRotate: {
                cursorFrame(s, p->startPos, abc);
                const double a = abc[0], b = abc[1];
                abc[0] = a * cos(angle) - b * sin(angle);
                abc[1] = a * sin(angle) + b * cos(angle);
                fromCursorFrame(s, abc, moved);
                break;
            }
            case kModeStretch:
                cursorFrame(s, p->startPos, abc);
                abc[0] *= sx;
                abc[1] *= sy;
                fromCursorFrame(s, abc, moved);
                break;
            default: // Size, about the cage item's position
                for (int k = 0; k < 3; ++k)
                    moved[k] =
                        cage->worldAxes[3][k] + (p->startPos[k] - cage->worldAxes[3][k]) * size;
                break;
            }
            storeMovedPoint(s, cage, p, moved);
        }
    }
    refreshAfterStroke();
}

void dragPress(EditCageState* s) {
    double best = kDragPixels * s->pixelSize;
    for (int i = 0; i < s->selectedCageCount; ++i) {
        CageInstance* cage = s->selectedCages[i];
        for (int n = 0; n < cage->pointCount; ++n) {
            PointData* p = cage->pointArray[n];
            if (!inStroke(s, p)) continue;
            double screen[2], z, d[2];
            projectToScreen(s, p->worldOtherPos, screen, &z);
            if (s->perspective && z < 0.01) continue;
            sub2D(screen, s->cursorScreen, d);
            if (len2D(d) >= best) continue;
            best = len2D(d);
            s->dragPoint = p;
            s->depthScale = s->perspective ? z : 1.0;
        }
    }
    if (!s->dragPoint) return;
    copy3D(s->dragPoint->worldOtherPos, s->dragPoint->startPos);
    recordStrokeStep(s);
    s->dragPoint->owner->editKey = nullptr;
    takeEditKey(s, s->dragPoint->owner);
}

void dragMotion(EditCageState* s, const LWToolEvent* event) {
    PointData* p = s->dragPoint;
    if (p && getEventPosRaw(s, event) >= 0.0) {
        double moved[3];
        for (int k = 0; k < 3; ++k)
            moved[k] = p->startPos[k] + s->cursorDelta[k] * s->depthScale;
        storeMovedPoint(s, p->owner, p, moved);
    }
    refreshAfterStroke();
}

void grabnetPress(EditCageState* s) {
    if (!getClickedCage_Selected(s)) {
        s->dragButton = 0;
        return;
    }
    double r = s->brushRadius * s->pixelSize;
    s->depthScale = 1.0;
    if (s->perspective) {
        r *= s->hitDepth;
        s->depthScale = s->hitDepth;
    }
    recordStrokeStep(s);
    weighPoints(s, [&](const PointData* p) {
        const double e = dist3D(p->worldOtherPos, s->hitPos);
        return e < r ? falloff(s, e / r) : 0.0;
    });
}

void magnetPress(EditCageState* s) {
    const double r = s->brushRadius * s->pixelSize;
    recordStrokeStep(s);
    weighPoints(s, [&](const PointData* p) {
        double screen[2], z, d[2];
        projectToScreen(s, p->worldOtherPos, screen, &z);
        if (s->perspective && z < 0.01) return 0.0;
        if (!s->perspective) z = 1.0;
        sub2D(screen, s->cursorScreen, d);
        const double e = len2D(d);
        // Far points move as far on the screen as near ones.
        return e < r ? falloff(s, e / r) * z : 0.0;
    });
}

void weightedPointsMotion(EditCageState* s, const LWToolEvent* event) {
    if (getEventPosRaw(s, event) < 0.0) return;
    const double scale = s->toolMode == kModeGrabnet ? s->depthScale : 1.0;
    for (int i = 0; i < s->selectedCageCount; ++i) {
        CageInstance* cage = s->selectedCages[i];
        for (int n = 0; n < cage->pointCount; ++n) {
            PointData* p = cage->pointArray[n];
            if (p->brushWeight == 0.0) continue;
            double moved[3];
            for (int k = 0; k < 3; ++k)
                moved[k] = p->startPos[k] + s->cursorDelta[k] * scale * p->brushWeight;
            storeMovedPoint(s, cage, p, moved);
        }
    }
    refreshAfterStroke();
}

void radiusDragPress(EditCageState* s) {
    s->brushRadiusAtPress = s->brushRadius;
}

void radiusDragMotion(EditCageState* s, const LWToolEvent* event) {
    int radius = s->brushRadiusAtPress + event->dx;
    if (radius < 4)
        radius = 4;
    else if (radius > s->maxBrushRadius)
        radius = s->maxBrushRadius;
    s->brushRadius = radius;
    refreshWindow(s);
}
