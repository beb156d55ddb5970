// The pointer's cursor while a button is held, and the selected points.
#include "tool/overlay.h"

#include "geometry/vector.h"
#include "tool/tool_panel.h"

namespace {

// In perspective views the cursor (at depth 1 on the pointer's ray) moves
// out to the overlay distance.
void toOverlayDistance(const OverlayView* view, const double p[3], double out[3]) {
    if (!view->perspective) {
        copy3D(p, out);
        return;
    }
    for (int a = 0; a < 3; ++a)
        out[a] = view->origin[a] + (p[a] - view->origin[a]) * view->distance;
}

void disc(EditCageState* s, const OverlayView* view, float colour[4], int outline, double radius) {
    double centre[3];
    toOverlayDistance(view, s->cursorPos, centre);
    const double scale = view->pixel * (view->perspective ? view->distance : 1.0);
    drawFillCircle(s, outline, colour, centre, view->right, view->up, radius, scale);
}

void drawLassoLine(EditCageState* s, const OverlayView* view) {
    LWCustomObjAccess* access = s->drawAccess;
    access->setColor(access->dispData, colorCyan);
    for (const LassoNode* n = s->lasso.first; n && n->next; n = n->next) {
        double a[3], b[3];
        toOverlayDistance(view, n->worldPos, a);
        toOverlayDistance(view, n->next->worldPos, b);
        access->line(access->dispData, a, b, LWCSYS_WORLD);
    }
}

} // namespace

void drawToolCursor(EditCageState* s, const OverlayView* view) {
    switch (s->toolMode) {
    case kModeSelCage:
        disc(s, view, colorCyan, 0, 3.0);
        break;
    case kModeSelPoint:
        disc(s, view, transYellow, 0, s->pointBrushRadius);
        break;
    case kModeSelLasso:
        drawLassoLine(s, view);
        break;
    case kModeGrab:
    case kModeGrabBody:
    case kModeGrabSkin:
    case kModeGrabTwist:
    case kModeGrabnet:
        if (s->dragButton == 2) disc(s, view, transYellow, 0, s->brushRadius);
        break;
    case kModeMagnet:
    case kModeReBody:
    case kModeErase:
        if (s->dragButton == 2) {
            disc(s, view, transYellow, 0, s->brushRadius);
        } else {
            disc(s, view, colorYellow, 1, s->brushRadius);
            disc(s, view, colorYellow, 0, 3.0);
        }
        break;
    default:
        break;
    }
}

void drawSelectedPoints(EditCageState* s, const OverlayView* view) {
    LWCustomObjAccess* access = s->drawAccess;
    access->setColor(access->dispData, s->editBaseCage ? colorBlack : colorWhite);
    const double* dir = access->viewDir;
    for (int c = 0; c < s->selectedCageCount; ++c) {
        const CageInstance* cage = s->selectedCages[c];
        for (int i = 0; cage && i < cage->pointCount; ++i) {
            const PointData* point = cage->pointArray[i];
            if (!point->selected) continue;
            const double* p = point->worldOtherPos;
            double half = 2.0 * view->pixel;
            if (view->perspective) {
                double v[3];
                sub3D(p, view->origin, v);
                const double depth = dot3D(v, dir);
                if (depth < 0.01) continue; // at or behind the eye
                half *= depth;
            }
            double q[4][3];
            const double su[4] = {-1, 1, 1, -1}, sv[4] = {1, 1, -1, -1};
            for (int k = 0; k < 4; ++k)
                for (int a = 0; a < 3; ++a)
                    q[k][a] = p[a] + half * (su[k] * view->right[a] + sv[k] * view->up[a]);
            access->triangle(access->dispData, q[0], q[1], q[2], LWCSYS_WORLD);
            access->triangle(access->dispData, q[0], q[2], q[3], LWCSYS_WORLD);
        }
    }
}
