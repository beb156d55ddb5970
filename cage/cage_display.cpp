#include "cage/cage_display.h"

#include <lwrender.h>

#include "cage/cage_lifecycle.h"
#include "cage_instance.h"
#include "geometry/vector.h"
#include "module/host_services.h"

namespace {

const unsigned int kSolidDrawMode = 4;
const unsigned int kXRayDrawMode = 0;
const double kBoxHalfSize = 1.5;
const double kNearestBoxDepth = 0.01;

// The viewport's screen axes, and whether its boxes shrink with depth.
struct ScreenFrame {
    double right[3];
    double up[3];
    double length; // of the transform's first row
    int perspective;
};

ScreenFrame screenFrame(LWViewportInfo* viewports, int view) {
    ScreenFrame frame = {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, 1.0, 0};
    if (!viewports || !viewports->xfrm) return frame;
    double m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    viewports->xfrm(view, m);
    for (int k = 0; k < 3; ++k) {
        frame.right[k] = m[k];
        frame.up[k] = m[3 + k];
    }
    frame.length = normalize3D(frame.right);
    normalize3D(frame.up);
    const int type = viewports->type ? viewports->type(view) : LVVIEWT_NONE;
    frame.perspective =
        type == LVVIEWT_PERSPECTIVE || type == LVVIEWT_LIGHT || type == LVVIEWT_CAMERA;
    return frame;
}

void setColor(const LWCustomObjAccess* access, const double rgb[3], double alpha) {
    float rgba[4] = {float(rgb[0]), float(rgb[1]), float(rgb[2]), float(alpha)};
    if (access->setColor) access->setColor(access->dispData, rgba);
}

void line(const LWCustomObjAccess* access, PointData* a, PointData* b) {
    if (access->line) access->line(access->dispData, a->worldOtherPos, b->worldOtherPos, 0);
}

void triangle(const LWCustomObjAccess* access, PointData* a, PointData* b, PointData* c) {
    if (access->triangle)
        access->triangle(access->dispData, a->worldOtherPos, b->worldOtherPos, c->worldOtherPos, 0);
}

// A linegon end's box; in perspective views only in front of the viewer,
// sized with its depth so that it keeps its size on screen.
void endBox(const LWCustomObjAccess* access, const ScreenFrame& frame, double* position) {
    double size = kBoxHalfSize * frame.length;
    if (frame.perspective) {
        double d[3] = {position[0] - access->viewPos[0], position[1] - access->viewPos[1],
                       position[2] - access->viewPos[2]};
        const double depth = dot3D(d, access->viewDir);
        if (!(depth > kNearestBoxDepth)) return;
        size *= depth;
    }
    drawPoint2DBox(access, frame.right, frame.up, position, size);
}

} // namespace

void drawPoint2DBox(const LWCustomObjAccess* access, const double right[3], const double up[3],
                    const double position[3], double s) {
    if (!access || !access->triangle) return;
    double corner[4][3]; // +r+u, +r-u, -r-u, -r+u
    const int signs[4][2] = {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
    for (int c = 0; c < 4; ++c)
        for (int k = 0; k < 3; ++k)
            corner[c][k] = position[k] + s * (signs[c][0] * right[k] + signs[c][1] * up[k]);
    access->triangle(access->dispData, corner[0], corner[1], corner[2], 0);
    access->triangle(access->dispData, corner[0], corner[2], corner[3], 0);
}

XCALL_(void) CageCustomEvaluate(LWInstance instance, const LWCustomObjAccess* access) {
    CageInstance* cage = static_cast<CageInstance*>(instance);
    if (!cage || !access) return;
    auto* viewports = static_cast<LWViewportInfo*>(acquireService("LW Viewport Info 4"));
    if (cage->refreshPending) {
        cage->refreshPending = 0;
        getCageParmAfterIK(cage);
    }
    if (cage->notYetTimed || cage->pointCount <= 0) return;
    int display = cage->display;
    if (display == 0) {
        if (!cage->forceShow) return;
        display = 2;
    }

    const ScreenFrame frame = screenFrame(viewports, access->view);
    if (access->setDrawMode)
        access->setDrawMode(access->dispData, display == 1 ? kSolidDrawMode : kXRayDrawMode);
    if (access->setPattern) access->setPattern(access->dispData, LWLPAT_SOLID);
    const double* rgb = cage->highlighted ? cage->selectedColor : cage->unselectedColor;
    setColor(access, rgb, 1.0);

    for (LinegonData* lin = cage->linegonList; lin; lin = lin->next) {
        endBox(access, frame, lin->pnt[0]->worldOtherPos);
        line(access, lin->pnt[0], lin->pnt[1]);
        endBox(access, frame, lin->pnt[1]->worldOtherPos);
    }
    for (TrigonData* tri = cage->trigonList; tri; tri = tri->next) {
        setColor(access, rgb, 1.0);
        line(access, tri->pnt[0], tri->pnt[1]);
        line(access, tri->pnt[1], tri->pnt[2]);
        line(access, tri->pnt[2], tri->pnt[0]);
        setColor(access, rgb, cage->opacity);
        triangle(access, tri->pnt[0], tri->pnt[1], tri->pnt[2]);
    }
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next) {
        setColor(access, rgb, 1.0);
        for (int k = 0; k < 4; ++k)
            line(access, poly->pnt[k], poly->pnt[(k + 1) % 4]);
        setColor(access, rgb, cage->opacity);
        for (int k = 0; k < 4; ++k)
            triangle(access, &poly->center, poly->pnt[k], poly->pnt[(k + 1) % 4]);
    }
}
