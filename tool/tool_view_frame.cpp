#include "tool/tool_view_frame.h"

#include <math.h>

#include "geometry/vector.h"
#include "tool/tool_services.h"

namespace {

// Orthographic views: the cursor in the view's plane through the origin,
// the ray along the view, and the eye moved far back along it.
struct SideView {
    int axis;    // the coordinate the view looks along
    double sign; // the eye's side of that axis
};

bool sideView(int type, SideView* view) {
    switch (type) {
    case LVVIEWT_TOP:
        *view = {1, 1.0};
        return true;
    case LVVIEWT_BOTTOM:
        *view = {1, -1.0};
        return true;
    case LVVIEWT_BACK:
        *view = {2, -1.0};
        return true;
    case LVVIEWT_FRONT:
        *view = {2, 1.0};
        return true;
    case LVVIEWT_RIGHT:
        *view = {0, 1.0};
        return true;
    case LVVIEWT_LEFT:
        *view = {0, -1.0};
        return true;
    default:
        return false;
    }
}

bool isPerspective(int type) {
    return type == LVVIEWT_PERSPECTIVE || type == LVVIEWT_LIGHT || type == LVVIEWT_CAMERA;
}

} // namespace

double getEventPosRaw(EditCageState* s, const LWToolEvent* event) {
    const double* q = event->posRaw;
    const double* delta = event->deltaRaw;
    if (!finite3D(q) || !finite3D(delta)) return -1.0;
    double depth = 0.0;
    SideView side;
    if (sideView(s->viewportType, &side)) {
        s->eyePos[side.axis] = side.sign * 1e8;
        for (int a = 0; a < 3; ++a) {
            s->cursorPos[a] = a == side.axis ? 0.0 : q[a];
            s->cursorDelta[a] = a == side.axis ? 0.0 : delta[a];
            s->rayDir[a] = a == side.axis ? -side.sign : 0.0;
        }
        s->perspective = 0;
    } else if (isPerspective(s->viewportType)) {
        double v[3];
        sub3D(q, s->eyePos, v);
        const double z = dot3D(v, s->viewNormal);
        if (!(z > 1e-7)) return -1.0;
        for (int a = 0; a < 3; ++a) {
            s->cursorPos[a] = s->eyePos[a] + v[a] / z;
            s->cursorDelta[a] = delta[a] / z;
            s->rayDir[a] = v[a] / z;
        }
        normalize3D(s->rayDir);
        s->perspective = 1;
        depth = z;
    } else {
        for (int a = 0; a < 3; ++a)
            s->eyePos[a] = s->cursorPos[a] = s->cursorDelta[a] = s->rayDir[a] = 0.0;
        s->rayDir[2] = 1.0;
        s->perspective = 0;
    }
    norm3D(s->rayDir, s->screenX, s->rayW);
    cross3D(s->rayW, s->rayDir, s->rayU);
    double offset[3];
    sub3D(s->cursorPos, s->eyePos, offset);
    s->cursorScreen[0] = dot3D(offset, s->screenX);
    s->cursorScreen[1] = dot3D(offset, s->screenY);
    return depth;
}

void projectToScreen(const EditCageState* s, const double p[3], double screen[2], double* depth) {
    double offset[3];
    sub3D(p, s->eyePos, offset);
    const double z = dot3D(offset, s->viewNormal);
    screen[0] = dot3D(offset, s->screenX);
    screen[1] = dot3D(offset, s->screenY);
    if (s->perspective && z != 0.0) {
        screen[0] /= z;
        screen[1] /= z;
    }
    *depth = z;
}

int getWholeViewportRect(int rect[4]) {
    const LWViewportInfo* views = stToolServices.viewportInfo;
    if (!views || views->numViewports <= 0 || !views->rect) return 0;
    for (int i = 0; i < views->numViewports; ++i) {
        int left = 0, top = 0, width = 0, height = 0;
        views->rect(i, &left, &top, &width, &height);
        const int right = left + width, bottom = top + height;
        if (i == 0 || left < rect[0]) rect[0] = left;
        if (i == 0 || top < rect[1]) rect[1] = top;
        if (i == 0 || right > rect[2]) rect[2] = right;
        if (i == 0 || bottom > rect[3]) rect[3] = bottom;
    }
    return views->numViewports;
}
