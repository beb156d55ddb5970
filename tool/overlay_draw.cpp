#include "tool/overlay_draw.h"

#include <math.h>
#include <stdlib.h>

#include "geometry/vector.h"
#include "tool/glyph_texture.h"
#include "tool/tool_services.h"

float colorCyan[4] = {0.05f, 1.0f, 1.0f, 1.0f};
float transYellow[4] = {1.0f, 1.0f, 0.3f, 0.4f};
float colorYellow[4] = {1.0f, 1.0f, 0.3f, 1.0f};
float colorBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};
float colorWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float colorGreen[4] = {0.05f, 1.0f, 0.1f, 1.0f};
float colorRed[4] = {1.0f, 0.1f, 0.05f, 1.0f};
float colorActiveBlue[4] = {0.45f, 0.7f, 0.98f, 1.0f};
float colorOrange[4] = {1.0f, 0.8f, 0.0f, 1.0f};

namespace {

bool isPerspectiveType(int type) {
    return type == LVVIEWT_PERSPECTIVE || type == LVVIEWT_LIGHT || type == LVVIEWT_CAMERA;
}

// An overlay point at (x, y, 1) to world.
void placed(double x, double y, const double right[3], const double up[3], const double forward[3],
            const double origin[3], double distance, double offset, double out[3]) {
    out[0] = x;
    out[1] = y;
    out[2] = 1.0;
    transPosScreenToWorld(out, right, up, forward, origin, distance, offset);
}

} // namespace

int findDrawnViewport(const LWCustomObjAccess* access) {
    const LWViewportInfo* views = stToolServices.viewportInfo;
    if (!views || !access || !views->pos || !views->xfrm) return -1;
    for (int vp = 0; vp < views->numViewports; ++vp) {
        double eye[3], m[9];
        views->pos(vp, eye);
        views->xfrm(vp, m);
        if (eye[0] != access->viewPos[0] || eye[1] != access->viewPos[1] ||
            eye[2] != access->viewPos[2])
            continue;
        // Two views may share an eye; they differ in where they look.
        if (dot3D(m + 6, access->viewDir) > 0.999999) return vp;
    }
    return -1;
}

int setupOverlayView(const LWCustomObjAccess* access, int vp, OverlayView* view) {
    const LWViewportInfo* views = stToolServices.viewportInfo;
    if (!views || vp < 0 || vp >= views->numViewports || !views->xfrm || !views->rect) return 0;
    double m[9];
    views->xfrm(vp, m);
    copy3D(m, view->right);
    copy3D(m + 3, view->up);
    view->pixel = normalize3D(view->right);
    if (normalize3D(view->up) <= 0.0 || !(view->pixel > 0.0) || !isfinite(view->pixel)) return 0;
    cross3D(view->right, view->up, view->forward);
    copy3D(access->viewPos, view->origin);
    view->viewport = vp;
    view->perspective = isPerspectiveType(views->type ? views->type(vp) : 0);
    view->distance = 1.0;
    view->farClip = 0.0;
    if (view->perspective && views->clip) {
        double hither = 0.0, yon = 0.0;
        views->clip(vp, &hither, &yon);
        view->distance = (hither + yon) * 0.5;
        view->farClip = yon;
        if (!(view->distance > 0.0) || !isfinite(view->distance)) return 0;
    }
    view->offset = 0.01 * view->pixel;
    int left = 0, top = 0;
    views->rect(vp, &left, &top, &view->width, &view->height);
    return 1;
}

void transPosScreenToWorld(double p[3], const double right[3], const double up[3],
                           const double forward[3], const double origin[3], double distance,
                           double offset) {
    const double x = p[0] + offset, y = p[1] - offset, z = p[2];
    for (int a = 0; a < 3; ++a)
        p[a] = origin[a] + distance * (right[a] * x + up[a] * y + forward[a] * z);
}

void drawQuadOnScreen(LWCustomObjAccess* access, const double corner[3], const double right[3],
                      const double up[3], const double forward[3], const double origin[3],
                      double width, double height, double distance, double offset) {
    double q[4][3];
    const double dx[4] = {0.0, width, width, 0.0}, dy[4] = {0.0, 0.0, -height, -height};
    for (int i = 0; i < 4; ++i)
        placed(corner[0] + dx[i], corner[1] + dy[i], right, up, forward, origin, distance, offset,
               q[i]);
    access->quad(access->dispData, q[0], q[1], q[2], q[3], LWCSYS_WORLD);
}

void drawChara(LWCustomObjAccess* access, int code, const double topCentre[3],
               const double right[3], const double up[3], const double forward[3],
               const double origin[3], double width, double height, double distance,
               double offset) {
    double uv[4][2];
    const double u = (code % 4) * 0.25, v = (code / 4) * 0.25;
    uv[0][0] = u, uv[0][1] = v;
    uv[1][0] = u + 0.25, uv[1][1] = v;
    uv[2][0] = u + 0.25, uv[2][1] = v + 0.25;
    uv[3][0] = u, uv[3][1] = v + 0.25;
    access->setUVs(access->dispData, uv[0], uv[1], uv[2], uv[3]);
    const double corner[3] = {topCentre[0] - width * 0.5, topCentre[1], topCentre[2]};
    drawQuadOnScreen(access, corner, right, up, forward, origin, width, height, distance, offset);
}

void drawNumber(LWCustomObjAccess* access, int number, const double centre[3],
                const double right[3], const double up[3], const double forward[3],
                const double origin[3], double cellSize, double distance, double offset) {
    int codes[12];
    int count = 0;
    // Through unsigned so that the most negative int has its digits too.
    unsigned int magnitude = number < 0 ? 0u - unsigned(number) : unsigned(number);
    do {
        codes[count++] = int(magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude);
    if (number < 0) codes[count++] = kGlyphMinus;
    const double step = 0.8 * cellSize;
    double glyph[3] = {centre[0] - count * step * 0.5 + cellSize * 0.5, centre[1], centre[2]};
    for (int i = count - 1; i >= 0; --i) {
        drawChara(access, codes[i], glyph, right, up, forward, origin, cellSize, cellSize, distance,
                  offset);
        glyph[0] += step;
    }
}

int circleSegments(double radius) {
    return radius < 13.0 ? 8 : radius < 32.0 ? 16 : radius < 64.0 ? 32 : 64;
}

void drawFillCircle(EditCageState* state, int outline, float colour[4], const double centre[3],
                    const double axisU[3], const double axisV[3], double radius, double scale) {
    LWCustomObjAccess* access = state->drawAccess;
    const int segments = circleSegments(radius);
    const int stride = 64 / segments;
    for (int k = 0; k < segments; ++k) {
        const double* cs = state->circleTable[k * stride];
        for (int a = 0; a < 3; ++a)
            state->circlePoints[k][a] =
                centre[a] + (cs[0] * axisU[a] + cs[1] * axisV[a]) * scale * radius;
    }
    access->setColor(access->dispData, colour);
    double mid[3];
    copy3D(centre, mid);
    if (!outline) {
        access->setPattern(access->dispData, LWLPAT_SOLID);
        for (int k = 0; k < segments; ++k)
            access->triangle(access->dispData, mid, state->circlePoints[k],
                             state->circlePoints[(k + 1) % segments], LWCSYS_WORLD);
        return;
    }
    access->setPattern(access->dispData, LWLPAT_DASH);
    for (int k = 0; k < segments; ++k)
        access->line(access->dispData, state->circlePoints[k],
                     state->circlePoints[(k + 1) % segments], LWCSYS_WORLD);
    access->setPattern(access->dispData, LWLPAT_SOLID);
}
