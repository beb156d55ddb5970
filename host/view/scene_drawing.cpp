#include "view/scene_drawing.h"

#include "common/vec3.h"
#include "plugins/displacement.h"
#include "scene/transform.h"
#include "view/grid.h"
#include "view/view_colours.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace host {

namespace {

// Wires over shaded polygons are drawn this much nearer, so the polygon
// they edge does not hide them.
const double kWireDepthBias = 1e-5;

void toArray(const Point& p, double out[3]) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

// An object's points once projected, for the many polygons sharing them.
struct Placed {
    std::vector<Point> world;
    std::vector<ScreenPoint> screen;
    std::vector<char> inFront;

    Placed(const Projector& view, std::vector<Point> points) : world(std::move(points)) {
        screen.resize(world.size());
        inFront.resize(world.size());
        for (size_t i = 0; i < world.size(); ++i) {
            double p[3];
            toArray(world[i], p);
            inFront[i] = view.inFront(p);
            if (inFront[i]) screen[i] = view.screen(p);
        }
    }
};

void drawEdge(Raster& raster, const Projector& view, const Placed& placed, std::uint32_t a,
              std::uint32_t b, double bias) {
    if (placed.inFront[a] && placed.inFront[b]) {
        ScreenPoint sa = placed.screen[a], sb = placed.screen[b];
        sa.z -= bias;
        sb.z -= bias;
        return drawScreenLine(raster, view, sa, sb);
    }
    double wa[3], wb[3];
    toArray(placed.world[a], wa);
    toArray(placed.world[b], wb);
    drawWorldLine(raster, view, wa, wb);
}

// Newell's normal, pointing out of the front: the side from which a
// LightWave polygon's points turn clockwise (in Layout's left-handed frame).
void polygonNormal(const Placed& placed, const Polygon& polygon, double normal[3],
                   double centroid[3]) {
    normal[0] = normal[1] = normal[2] = 0;
    centroid[0] = centroid[1] = centroid[2] = 0;
    const size_t n = polygon.points.size();
    for (size_t i = 0; i < n; ++i) {
        double a[3], b[3];
        toArray(placed.world[polygon.points[i]], a);
        toArray(placed.world[polygon.points[(i + 1) % n]], b);
        normal[0] += (a[1] - b[1]) * (a[2] + b[2]);
        normal[1] += (a[2] - b[2]) * (a[0] + b[0]);
        normal[2] += (a[0] - b[0]) * (a[1] + b[1]);
        for (int k = 0; k < 3; ++k)
            centroid[k] += a[k] / double(n);
    }
}

// The unit direction from the viewer to a point.
void viewDirection(const Projector& view, const double at[3], double out[3]) {
    const ViewGeometry& g = view.view();
    if (!g.perspective) return vec3::copy(g.axes[2], out);
    vec3::subtract(at, g.eye, out);
    const double length = vec3::length(out);
    vec3::scale(out, length > 0 ? 1.0 / length : 0.0, out);
}

bool facesViewer(const Projector& view, const Placed& placed, const Polygon& polygon) {
    double normal[3], centroid[3], towards[3];
    polygonNormal(placed, polygon, normal, centroid);
    viewDirection(view, centroid, towards);
    return vec3::dot(normal, towards) < 0;
}

void drawWires(Raster& raster, const Projector& view, const Mesh& mesh, const Placed& placed,
               bool frontOnly, double bias) {
    for (const Polygon& polygon : mesh.polygons) {
        const size_t n = polygon.points.size();
        if (n == 1) {
            double p[3];
            toArray(placed.world[polygon.points[0]], p);
            drawWorldPoint(raster, view, p);
            continue;
        }
        if (frontOnly && n >= 3 && !facesViewer(view, placed, polygon)) continue;
        // A two-point polygon is one edge; a face closes its outline.
        const size_t edges = n == 2 ? 1 : n;
        for (size_t i = 0; i < edges; ++i)
            drawEdge(raster, view, placed, polygon.points[i], polygon.points[(i + 1) % n], bias);
    }
}

void drawShaded(Raster& raster, const Projector& view, const Mesh& mesh, const Placed& placed) {
    std::vector<ScreenVertex> screen;
    std::vector<WorldVertex> world;
    for (const Polygon& polygon : mesh.polygons) {
        const size_t n = polygon.points.size();
        if (n < 3) continue;
        double normal[3], centroid[3], towards[3];
        polygonNormal(placed, polygon, normal, centroid);
        viewDirection(view, centroid, towards);
        const double length = vec3::length(normal);
        const double light = length > 0 ? std::fabs(vec3::dot(normal, towards)) / length : 0.0;
        const float shade = std::max(colours::kMinLight, float(light));
        const Rgba& grey = colours::kShaded;
        raster.state().colour = Rgba{grey.r * shade, grey.g * shade, grey.b * shade, 1};

        bool allInFront = true;
        for (std::uint32_t index : polygon.points)
            allInFront = allInFront && placed.inFront[index];
        if (allInFront) {
            screen.resize(n);
            for (size_t i = 0; i < n; ++i)
                screen[i].p = placed.screen[polygon.points[i]];
            drawScreenConvex(raster, view, screen.data(), n);
        } else {
            world.resize(n);
            for (size_t i = 0; i < n; ++i)
                toArray(placed.world[polygon.points[i]], world[i].p);
            drawWorldConvex(raster, view, world.data(), n);
        }
    }
}

void drawBox(Raster& raster, const Projector& view, const std::vector<Point>& points) {
    double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const Point& p : points) {
        double q[3];
        toArray(p, q);
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], q[k]);
            hi[k] = std::max(hi[k], q[k]);
        }
    }
    // Corner c has bit k set when it takes hi on axis k; edges join corners
    // one bit apart.
    for (int c = 0; c < 8; ++c)
        for (int k = 0; k < 3; ++k) {
            if (c & (1 << k)) continue;
            const int d = c | (1 << k);
            double a[3], b[3];
            for (int j = 0; j < 3; ++j) {
                a[j] = (c & (1 << j)) ? hi[j] : lo[j];
                b[j] = (d & (1 << j)) ? hi[j] : lo[j];
            }
            drawWorldLine(raster, view, a, b);
        }
}

void drawObject(Raster& raster, const Projector& view, const Scene& scene, const Item& item,
                double time, int level) {
    const Mesh& mesh = *item.mesh;
    const Placed placed(view, worldPointsOf(scene, item, time));
    const Rgba wire = scene.isSelected(item.id) ? colours::kSelectedWire : colours::kWire;
    raster.state().colour = wire;
    switch (level) {
    case LWOVIS_BOUNDINGBOX:
        return drawBox(raster, view, placed.world);
    case LWOVIS_VERTICES:
        raster.state().pointSize = 2;
        for (const Point& p : placed.world) {
            double q[3];
            toArray(p, q);
            drawWorldPoint(raster, view, q);
        }
        raster.state().pointSize = 1;
        return;
    case LWOVIS_WIREFRAME:
    case LWOVIS_FFWIREFRAME:
        return drawWires(raster, view, mesh, placed, level == LWOVIS_FFWIREFRAME, 0.0);
    default:
        drawShaded(raster, view, mesh, placed);
        if (level == LWOVIS_TEXTURED_WIRE) {
            raster.state().colour = wire;
            drawWires(raster, view, mesh, placed, false, kWireDepthBias);
        }
    }
}

// Glyph lines in the item's space, size s, placed by its world transform.
void drawGlyph(Raster& raster, const Projector& view, const Affine& world,
               const double (*ends)[2][3], size_t count, double s) {
    for (size_t i = 0; i < count; ++i) {
        double a[3], b[3], wa[3], wb[3];
        vec3::scale(ends[i][0], s, a);
        vec3::scale(ends[i][1], s, b);
        transformPoint(world, a, wa);
        transformPoint(world, b, wb);
        drawWorldLine(raster, view, wa, wb);
    }
}

const double kCross[3][2][3] = {
    {{-1, 0, 0}, {1, 0, 0}}, {{0, -1, 0}, {0, 1, 0}}, {{0, 0, -1}, {0, 0, 1}}};
// A diamond with a ray along +Z, where the light shines.
const double kLightGlyph[13][2][3] = {
    {{1, 0, 0}, {0, 1, 0}},   {{0, 1, 0}, {-1, 0, 0}}, {{-1, 0, 0}, {0, -1, 0}},
    {{0, -1, 0}, {1, 0, 0}},  {{1, 0, 0}, {0, 0, 1}},  {{-1, 0, 0}, {0, 0, 1}},
    {{0, 1, 0}, {0, 0, 1}},   {{0, -1, 0}, {0, 0, 1}}, {{1, 0, 0}, {0, 0, -1}},
    {{-1, 0, 0}, {0, 0, -1}}, {{0, 1, 0}, {0, 0, -1}}, {{0, -1, 0}, {0, 0, -1}},
    {{0, 0, 1}, {0, 0, 3}}};
// A pyramid opening along +Z, where the camera looks.
const double kCameraGlyph[8][2][3] = {
    {{0, 0, 0}, {1, 0.75, 2}},       {{0, 0, 0}, {-1, 0.75, 2}},    {{0, 0, 0}, {1, -0.75, 2}},
    {{0, 0, 0}, {-1, -0.75, 2}},     {{1, 0.75, 2}, {-1, 0.75, 2}}, {{-1, 0.75, 2}, {-1, -0.75, 2}},
    {{-1, -0.75, 2}, {1, -0.75, 2}}, {{1, -0.75, 2}, {1, 0.75, 2}}};

} // namespace

std::vector<Point> worldPointsOf(const Scene& scene, const Item& item, double time) {
    if (item.mesh && item.currentPoints && item.currentPoints->size() == item.mesh->points.size())
        return *item.currentPoints;
    return worldPlacedPoints(scene, item, time);
}

void drawSceneItems(Raster& raster, const Projector& view, const Scene& scene, double time,
                    int level) {
    const RasterState saved = raster.state();
    raster.state() = RasterState{};
    const double glyph = 0.5 * gridSize(view);
    for (const Item* item : scene.items()) {
        if (item->visibility <= 0) continue;
        const Affine world = worldTransform(scene, item->id, time);
        switch (item->type) {
        case LWI_OBJECT:
            if (item->mesh && !item->mesh->points.empty()) {
                const int shown = std::min(item->visibility, level);
                if (shown > 0) drawObject(raster, view, scene, *item, time, shown);
            } else {
                raster.state().colour = colours::kNull;
                drawGlyph(raster, view, world, kCross, 3, glyph);
            }
            break;
        case LWI_LIGHT:
            raster.state().colour = colours::kLight;
            drawGlyph(raster, view, world, kLightGlyph, 13, glyph * 0.5);
            break;
        case LWI_CAMERA:
            raster.state().colour = colours::kCamera;
            drawGlyph(raster, view, world, kCameraGlyph, 8, glyph * 0.5);
            break;
        default:
            break;
        }
    }
    raster.state() = saved;
}

} // namespace host
