#include "tool/tool_select_modes.h"

#include <math.h>

#include "geometry/vector.h"
#include "tool/tool_lasso.h"
#include "tool/tool_panel.h"
#include "tool/tool_picking.h"
#include "tool/tool_selection.h"

namespace {

bool leftButton(const EditCageState* s) {
    return s->dragButton == 1;
}

// Flips one point's selection and keeps the count.
void setPointSelected(EditCageState* s, PointData* p, int selected) {
    p->selected = (unsigned char)selected;
    s->selectedPointCount += selected ? 1 : -1;
    if (s->selectedPointCount < 0) s->selectedPointCount = 0;
}

// The lasso's own projection: orthographic views without the eye's offset.
bool lassoPosition(const EditCageState* s, const double p[3], float xy[2]) {
    if (!s->perspective) {
        xy[0] = float(dot3D(p, s->screenX));
        xy[1] = float(dot3D(p, s->screenY));
        return true;
    }
    double offset[3];
    sub3D(p, s->eyePos, offset);
    const double z = dot3D(offset, s->viewNormal);
    if (z < 1e-7) return false;
    xy[0] = float(dot3D(offset, s->screenX) * s->depthScale / z);
    xy[1] = float(dot3D(offset, s->screenY) * s->depthScale / z);
    return true;
}

} // namespace

void selectCagesPress(EditCageState* s) {
    s->deselecting = leftButton(s) && s->selectedCageCount > 0;
    selectCagesDrag(s);
}

void selectCagesDrag(EditCageState* s) {
    int changed = 0;
    for (CageInstance* cage = getClickedCage_All(s); cage; cage = cage->hitNext)
        changed |=
            s->deselecting ? remove1CageFromSelection(s, cage) : add1CageToSelection(s, cage, 0);
    if (changed) refreshCurrentCagePopCtl(s);
}

void selectPointsPress(EditCageState* s) {
    s->deselecting = leftButton(s) && s->selectedPointCount != 0;
    selectPointsDrag(s);
}

void selectPointsDrag(EditCageState* s) {
    const double radius = s->pointBrushRadius * s->pixelSize;
    for (int i = 0; i < s->selectedCageCount; ++i) {
        CageInstance* cage = s->selectedCages[i];
        for (int n = 0; n < cage->pointCount; ++n) {
            PointData* p = cage->pointArray[n];
            if ((p->selected != 0) != (s->deselecting != 0)) continue;
            double v[3];
            sub3D(p->worldOtherPos, s->cursorPos, v);
            double r = radius;
            if (s->perspective) {
                const double depth = dot3D(v, s->rayDir);
                if (depth < 1e-7) continue;
                r *= depth;
            }
            const double a = dot3D(v, s->rayU), b = dot3D(v, s->rayW);
            if (r > sqrt(a * a + b * b)) setPointSelected(s, p, !s->deselecting);
        }
    }
}

void lassoPress(EditCageState* s) {
    s->deselecting = leftButton(s) && s->selectedPointCount != 0;
    lassoDrag(s);
}

void lassoDrag(EditCageState* s) {
    if (s->perspective) {
        double offset[3];
        sub3D(s->cursorPos, s->eyePos, offset);
        s->depthScale = dot3D(offset, s->viewNormal);
    }
    float xy[2];
    if (lassoPosition(s, s->cursorPos, xy)) add1PolLine(&s->lasso, xy[0], xy[1], s->cursorPos);
}

void lassoRelease(EditCageState* s) {
    if (s->selectedCageCount > 0 && !s->cancelled && makeLasso(&s->lasso) == 0) {
        for (int i = 0; i < s->selectedCageCount; ++i) {
            CageInstance* cage = s->selectedCages[i];
            for (int n = 0; n < cage->pointCount; ++n) {
                PointData* p = cage->pointArray[n];
                if ((p->selected != 0) != (s->deselecting != 0)) continue;
                float xy[2];
                if (lassoPosition(s, p->worldOtherPos, xy) && isInLasso(&s->lasso, xy[0], xy[1]))
                    setPointSelected(s, p, !s->deselecting);
            }
        }
    }
    destroyLasso(&s->lasso);
}
