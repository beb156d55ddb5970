#include "commands/view_commands.h"

#include "common/host_error.h"
#include "core/host_core.h"
#include "view/viewport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace host {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// LWOVIS_* by name or number.
int levelByName(const std::string& word) {
    static const char* const names[] = {"hidden",      "boundingbox", "vertices", "wireframe",
                                        "ffwireframe", "shaded",      "textured", "texturedwire"};
    for (int i = 0; i < 8; ++i)
        if (word == names[i] || word == std::to_string(i)) return i;
    throw HostError("'" + word +
                    "' is not a display level (hidden, boundingbox, vertices, "
                    "wireframe, ffwireframe, shaded, textured, texturedwire or 0..7)");
}

// The view a script names, checked before anything changes.
int viewIndex(HostCore& h, const std::string& word) {
    const unsigned long n = parseNumber(word);
    const int index = int(std::min(n, 1ul << 30));
    h.viewports().view(index);
    return index;
}

double positive(const std::string& word, const char* what) {
    const double v = parseDecimal(word);
    if (!(v > 0.0)) throw HostError(std::string(what) + " must be above 0, not " + word);
    return v;
}

// The first item of a type, for a view switched to look through one.
LWItemID firstOf(const Scene& scene, LWItemType type) {
    LWItemID id = scene.first(type);
    if (!id)
        throw HostError(std::string("the scene has no ") + itemTypeName(type) + " to look through");
    return id;
}

void changed(HostCore& h) {
    h.services().refresh();
}

} // namespace

std::string viewInfoLine(int index, const ViewGeometry& g) {
    // Rounding noise below this prints as 0, so the line stays stable.
    auto clean = [](double v) { return std::fabs(v) < 1e-12 ? 0.0 : v; };
    char text[512];
    std::snprintf(text, sizeof text,
                  "view %d: %s rect %d %d %d %d eye %g %g %g right %g %g %g up %g %g %g pixel %g "
                  "clip %g %g",
                  index, viewTypeName(g.type), g.rect.left, g.rect.top, g.rect.width, g.rect.height,
                  clean(g.eye[0]), clean(g.eye[1]), clean(g.eye[2]), clean(g.axes[0][0]),
                  clean(g.axes[0][1]), clean(g.axes[0][2]), clean(g.axes[1][0]),
                  clean(g.axes[1][1]), clean(g.axes[1][2]), g.pixelSize, g.hither, g.yon);
    return text;
}

const ScriptCommandTable& viewScriptCommands() {
    using Args = std::vector<std::string>;
    static const ScriptCommandTable commands = {
        {"Viewports",
         {1, 1, "Viewports 1|2|4",
          [](HostCore& h, const Args& a) {
              const unsigned long n = parseNumber(a[0]);
              h.viewports().setLayout(n > 4 ? 0 : int(n));
              changed(h);
          }}},
        {"ViewType",
         {2, 2, "ViewType N TYPE",
          [](HostCore& h, const Args& a) {
              Viewport& v = h.viewports().view(viewIndex(h, a[0]));
              const int type = viewTypeByName(a[1]);
              if (type < 0)
                  throw HostError("'" + a[1] +
                                  "' is not a view type (top, bottom, back, front, right, "
                                  "left, perspective, light, camera)");
              LWItemID item = v.item;
              if (type == LVVIEWT_CAMERA || type == LVVIEWT_LIGHT) {
                  const LWItemType wanted = type == LVVIEWT_CAMERA ? LWI_CAMERA : LWI_LIGHT;
                  const Item* current = h.scene().find(v.item);
                  if (!current || current->type != wanted) item = firstOf(h.scene(), wanted);
              }
              v.type = type;
              v.item = item;
              changed(h);
          }}},
        {"ViewCenter",
         {4, 4, "ViewCenter N X Y Z",
          [](HostCore& h, const Args& a) {
              Viewport& v = h.viewports().view(viewIndex(h, a[0]));
              const double c[3] = {parseDecimal(a[1]), parseDecimal(a[2]), parseDecimal(a[3])};
              for (int i = 0; i < 3; ++i)
                  v.centre[i] = c[i];
              changed(h);
          }}},
        {"ViewZoom",
         {2, 2, "ViewZoom N UNITS_PER_PIXEL",
          [](HostCore& h, const Args& a) {
              Viewport& v = h.viewports().view(viewIndex(h, a[0]));
              v.unitsPerPixel = positive(a[1], "units per pixel");
              changed(h);
          }}},
        {"ViewOrbit",
         {4, 4, "ViewOrbit N HEADING PITCH DISTANCE",
          [](HostCore& h, const Args& a) {
              Viewport& v = h.viewports().view(viewIndex(h, a[0]));
              const double heading = parseDecimal(a[1]) * kDegree;
              const double pitch = parseDecimal(a[2]) * kDegree;
              const double distance = positive(a[3], "the distance");
              // A perspective view keeps its field of view: the pixel at
              // the centre grows with the distance.
              if (v.type == LVVIEWT_PERSPECTIVE && v.distance > 0.0)
                  v.unitsPerPixel *= distance / v.distance;
              v.type = LVVIEWT_PERSPECTIVE;
              v.heading = heading;
              v.pitch = pitch;
              v.distance = distance;
              changed(h);
          }}},
        {"ViewCamera",
         {2, 2, "ViewCamera N ITEM",
          [](HostCore& h, const Args& a) {
              Viewport& v = h.viewports().view(viewIndex(h, a[0]));
              const Item* item = h.scene().find(a[1]);
              if (!item) throw HostError("no item named '" + a[1] + "'");
              if (item->type != LWI_CAMERA && item->type != LWI_LIGHT)
                  throw HostError("'" + a[1] + "' is not a camera or a light");
              v.type = item->type == LWI_CAMERA ? LVVIEWT_CAMERA : LVVIEWT_LIGHT;
              v.item = item->id;
              changed(h);
          }}},
        {"ViewFit",
         {1, 1, "ViewFit N",
          [](HostCore& h, const Args& a) {
              h.viewports().fit(h.scene(), viewIndex(h, a[0]), h.scene().timing().time);
              changed(h);
          }}},
        {"ViewLevel",
         {2, 2, "ViewLevel N LEVEL",
          [](HostCore& h, const Args& a) {
              Viewport& v = h.viewports().view(viewIndex(h, a[0]));
              v.level = levelByName(a[1]);
              changed(h);
          }}},
        {"ViewInfo",
         {1, 1, "ViewInfo N",
          [](HostCore& h, const Args& a) {
              const int index = viewIndex(h, a[0]);
              const ViewGeometry g =
                  h.viewports().geometry(h.scene(), index, h.scene().timing().time);
              h.out() << viewInfoLine(index, g) << "\n";
          }}},
    };
    return commands;
}

} // namespace host
