// "LW Viewport Info 4": the window's views at the scene's current time. A
// viewport index out of range (or a view without geometry) gives zeros, null
// and 0 results; null output pointers are skipped.
#include "common/host_error.h"
#include "scene/scene.h"
#include "services/service_records.h"
#include "services/services.h"
#include "view/viewport.h"

#include <cstring>

namespace host {

namespace {

// Handles are drawn this many pixels across.
constexpr int kHandleSize = 4;

const Viewport* viewAt(int vp) {
    const ViewportWindow& window = ServiceTable::current().sources().viewports;
    return vp >= 0 && vp < window.count() ? &window.view(vp) : nullptr;
}

bool geometryAt(int vp, ViewGeometry& g) {
    if (!viewAt(vp)) return false;
    const ServiceSources& s = ServiceTable::current().sources();
    try {
        g = s.viewports.geometry(s.scene, vp, s.scene.timing().time);
    } catch (const HostError&) {
        return false;
    }
    return true;
}

XCALL_(int) viewType(int vp) {
    const Viewport* v = viewAt(vp);
    return v ? v->type : LVVIEWT_NONE;
}

XCALL_(unsigned int) viewFlags(int vp) {
    const Viewport* v = viewAt(vp);
    return v ? v->flags : 0u;
}

XCALL_(void) viewPos(int vp, LWDVector spot) {
    ViewGeometry g;
    const bool ok = geometryAt(vp, g);
    if (spot)
        for (int i = 0; i < 3; ++i)
            spot[i] = ok ? g.eye[i] : 0.0;
}

XCALL_(void) viewXfrm(int vp, double mat[9]) {
    ViewGeometry g;
    if (!mat) return;
    if (geometryAt(vp, g))
        g.xfrm(mat);
    else
        std::memset(mat, 0, 9 * sizeof(double));
}

XCALL_(void) viewClip(int vp, double* hither, double* yon) {
    ViewGeometry g;
    const bool ok = geometryAt(vp, g);
    if (hither) *hither = ok ? g.hither : 0.0;
    if (yon) *yon = ok ? g.yon : 0.0;
}

XCALL_(void) viewRect(int vp, int* left, int* top, int* width, int* height) {
    const Viewport* v = viewAt(vp);
    const ViewRect r = v ? v->rect : ViewRect{};
    if (left) *left = r.left;
    if (top) *top = r.top;
    if (width) *width = r.width;
    if (height) *height = r.height;
}

XCALL_(int) viewLevel(int vp) {
    const Viewport* v = viewAt(vp);
    return v ? v->level : LWOVIS_HIDDEN;
}

void zeroMatrix(LWDMatrix4 m) {
    if (m) std::memset(m, 0, sizeof(LWDMatrix4));
}

XCALL_(int) viewProjection(int vp, LWDMatrix4 projection, LWDMatrix4 inverse) {
    ViewGeometry g;
    if (!geometryAt(vp, g)) {
        zeroMatrix(projection);
        zeroMatrix(inverse);
        return 0;
    }
    g.projection(projection, inverse);
    return 1;
}

XCALL_(int) viewModelview(int vp, LWDMatrix4 modelview, LWDMatrix4 inverse) {
    ViewGeometry g;
    if (!geometryAt(vp, g)) {
        zeroMatrix(modelview);
        zeroMatrix(inverse);
        return 0;
    }
    g.modelview(modelview, inverse);
    return 1;
}

XCALL_(int) viewProject(int vp, LWDVector world, double* winx, double* winy, double* winz) {
    ViewGeometry g;
    double x = 0, y = 0, z = 0;
    const int result = world && geometryAt(vp, g) && g.project(world, x, y, z) ? 1 : 0;
    if (winx) *winx = x;
    if (winy) *winy = y;
    if (winz) *winz = z;
    return result;
}

XCALL_(int) viewUnproject(int vp, double winx, double winy, double winz, LWDVector world) {
    ViewGeometry g;
    if (!world) return 0;
    if (geometryAt(vp, g) && g.unproject(winx, winy, winz, world)) return 1;
    for (int i = 0; i < 3; ++i)
        world[i] = 0.0;
    return 0;
}

XCALL_(double) viewPixelSize(int vp, double pixels, LWDVector refpos) {
    ViewGeometry g;
    if (!geometryAt(vp, g)) return 0.0;
    const double origin[3] = {0, 0, 0};
    return pixels * g.pixelSizeAt(refpos ? refpos : origin);
}

XCALL_(int) viewHandleSize(int vp) {
    return viewAt(vp) ? kHandleSize : 0;
}

XCALL_(double) viewGridSize(int vp) {
    ViewGeometry g;
    return geometryAt(vp, g) ? g.grid : 0.0;
}

XCALL_(LWItemID) viewItem(int vp) {
    ViewGeometry g;
    return geometryAt(vp, g) ? g.item : LWITEM_NULL;
}

} // namespace

void fillViewRecords(ServiceRecords& r) {
    LWViewportInfo& v = r.viewportInfo;
    v.type = viewType;
    v.flags = viewFlags;
    v.pos = viewPos;
    v.xfrm = viewXfrm;
    v.clip = viewClip;
    v.rect = viewRect;
    v.viewLevel = viewLevel;
    v.projection = viewProjection;
    v.modelview = viewModelview;
    v.project = viewProject;
    v.unproject = viewUnproject;
    v.pixelSize = viewPixelSize;
    v.handleSize = viewHandleSize;
    v.gridSize = viewGridSize;
    v.viewItem = viewItem;
}

void refreshViewRecords(ServiceRecords& r, const ViewportWindow& viewports) {
    r.viewportInfo.numViewports = viewports.count();
}

} // namespace host
