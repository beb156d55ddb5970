// The viewports of the stand-in Layout: each view's geometry, the window's
// layouts, framing, the "LW Viewport Info 4" record and the view commands.
#include "host/commands/script.h"
#include "host/common/host_error.h"
#include "host/common/vec3.h"
#include "host/host.h"
#include "host/plugins/displacement.h"
#include "host/scene/transform.h"
#include "host/view/viewport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <sstream>
#include <tuple>

namespace {

using host::ViewGeometry;

void expectNear3(const double a[3], const double b[3], double tolerance, const char* what) {
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(a[i], b[i], tolerance) << what << " [" << i << "]";
}

class Views : public testing::Test {
  protected:
    Views() : layout(out), script(layout) {}

    void run(const std::string& text) {
        std::istringstream in(text);
        script.run(in, "test");
    }
    std::string failure(const std::string& text) {
        try {
            run(text);
        } catch (const host::HostError& e) {
            return e.what();
        }
        return "";
    }
    ViewGeometry geometry(int index, double time) {
        return layout.viewports().geometry(layout.scene(), index, time);
    }
    ViewGeometry geometry(int index = 0) { return geometry(index, layout.scene().timing().time); }
    // Every view's ViewInfo line and the layout: what a failed command must leave.
    std::string snapshot() {
        std::string all;
        for (int i = 0; i < layout.viewports().count(); ++i)
            all += host::viewTypeName(layout.viewports().view(i).type) +
                   std::to_string(layout.viewports().view(i).level) + info(i);
        return all;
    }
    std::string info(int index) {
        out.str("");
        run("ViewInfo " + std::to_string(index));
        return out.str();
    }
    // A point in front of the view, inside its rectangle and clip range.
    void pointInView(const ViewGeometry& g, std::mt19937& random, double world[3]) {
        std::uniform_real_distribution<double> unit(0.05, 0.95);
        const double winz = g.perspective ? 1.0 - 1.0 / (1.0 + 40.0 * unit(random)) : unit(random);
        ASSERT_TRUE(
            g.unproject(unit(random) * g.rect.width, unit(random) * g.rect.height, winz, world));
    }

    std::ostringstream out;
    host::Host layout;
    host::ScriptRunner script;
};

// Every kind of view, with a camera and a light turned every way.
class EveryView : public Views, public testing::WithParamInterface<const char*> {
  protected:
    void SetUp() override {
        run("AddCamera Cam\nPosition 1 2 -3\nRotation 30 10 5\n"
            "AddLight Lamp\nPosition -2 4 1\nRotation -60 40 -20\n"
            "ViewCenter 0 0.5 -0.25 2\nViewZoom 0 0.02\nViewType 0 " +
            std::string(GetParam()) + "\n");
        if (std::string(GetParam()) == "perspective") run("ViewOrbit 0 20 -15 7\n");
        g = geometry();
    }
    ViewGeometry g;
};

// project and unproject undo each other, and xfrm's rows are one pixel's
// step right and up (in perspective at depth 1), orthogonal, with right x up
// the unit forward row.
TEST_P(EveryView, ProjectUnprojectAndXfrmAgree) {
    double m[9], cross[3];
    g.xfrm(m);
    const double *right = m, *up = m + 3, *forward = m + 6;
    EXPECT_NEAR(host::vec3::length(right), g.pixelSize, 1e-12);
    EXPECT_NEAR(host::vec3::dot(right, up), 0.0, 1e-15);
    host::vec3::cross(right, up, cross);
    host::vec3::scale(cross, 1.0 / (g.pixelSize * g.pixelSize), cross);
    expectNear3(cross, forward, 1e-12, "right x up is forward");

    std::mt19937 random(7);
    for (int n = 0; n < 200; ++n) {
        double p[3], back[3], x, y, z, b[3], c[3];
        pointInView(g, random, p);
        ASSERT_TRUE(g.project(p, x, y, z));
        EXPECT_TRUE(x >= 0 && x <= g.rect.width && y >= 0 && y <= g.rect.height && z >= 0 &&
                    z <= 1);
        ASSERT_TRUE(g.unproject(x, y, z, back));
        expectNear3(p, back, 1e-7 * (1.0 + g.depthOf(p)), "round trip");
        g.unproject(x + 1, y, z, b);
        g.unproject(x, y - 1, z, c);
        const double depth = g.perspective ? g.depthOf(p) : 1.0;
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR((b[i] - back[i]) / depth, right[i], 1e-9) << "a pixel right";
            EXPECT_NEAR((c[i] - back[i]) / depth, up[i], 1e-9) << "a pixel up";
        }
    }
}

TEST_P(EveryView, OpenGlMatricesAgreeWithProject) {
    double p[4][4], pi[4][4], mv[4][4], mvi[4][4];
    g.projection(p, pi);
    g.modelview(mv, mvi);
    auto times = [](const double a[4][4], const double v[4], double product[4]) {
        for (int r = 0; r < 4; ++r)
            product[r] = a[0][r] * v[0] + a[1][r] * v[1] + a[2][r] * v[2] + a[3][r] * v[3];
    };
    std::mt19937 random(5);
    for (int n = 0; n < 50; ++n) {
        double world[4] = {0, 0, 0, 1}, eye[4], clip[4], back[4], x, y, z;
        pointInView(g, random, world);
        g.project(world, x, y, z);
        times(mv, world, eye);
        times(p, eye, clip);
        EXPECT_NEAR((clip[0] / clip[3] + 1) / 2 * g.rect.width, x, 1e-6);
        EXPECT_NEAR(g.rect.height - (clip[1] / clip[3] + 1) / 2 * g.rect.height, y, 1e-6);
        EXPECT_NEAR((clip[2] / clip[3] + 1) / 2, z, 1e-6);
        // The inverses lead back.
        for (const auto& [inverse, from, to] : {std::tuple{pi, clip, eye}, {mvi, eye, world}}) {
            times(inverse, from, back);
            for (int i = 0; i < 4; ++i)
                EXPECT_NEAR(back[i], to[i], 1e-9 * (1 + std::fabs(to[i]))) << "inverse " << i;
        }
    }
}

TEST_P(EveryView, ServiceRecordAnswersAsTheGeometry) {
    auto* vi = static_cast<LWViewportInfo*>(layout.services().lookup("LW Viewport Info 4"));
    ASSERT_NE(vi, nullptr);
    EXPECT_EQ(vi->numViewports, 4);
    EXPECT_EQ(vi->type(0), g.type);
    EXPECT_EQ(vi->viewLevel(0), LWOVIS_SHADED);
    double pos[3], m[9], expected[9], hither, yon, world[3], back[3], x, y, z;
    vi->pos(0, pos);
    expectNear3(pos, g.eye, 1e-12, "pos");
    vi->xfrm(0, m);
    g.xfrm(expected);
    for (int i = 0; i < 9; ++i)
        EXPECT_DOUBLE_EQ(m[i], expected[i]);
    vi->clip(0, &hither, &yon);
    EXPECT_EQ(hither, g.hither);
    EXPECT_EQ(yon, g.yon);
    int rect[4];
    vi->rect(0, &rect[0], &rect[1], &rect[2], &rect[3]);
    EXPECT_EQ(std::vector<int>(rect, rect + 4),
              (std::vector<int>{g.rect.left, g.rect.top, g.rect.width, g.rect.height}));
    std::mt19937 random(11);
    pointInView(g, random, world);
    EXPECT_EQ(vi->project(0, world, &x, &y, &z), 1);
    EXPECT_EQ(vi->unproject(0, x, y, z, back), 1);
    expectNear3(back, world, 1e-6, "unproject");

    const bool throughItem = g.type == LVVIEWT_CAMERA || g.type == LVVIEWT_LIGHT;
    EXPECT_EQ(vi->viewItem(0), throughItem ? g.item : nullptr);
    EXPECT_EQ(throughItem, g.item != nullptr);
    // The grid is a power of ten 20 to 200 pixels wide where it is drawn.
    double ref[3] = {0, 0, 0};
    if (!throughItem) host::vec3::copy(layout.viewports().view(0).centre, ref);
    const double grid = vi->gridSize(0), pixel = vi->pixelSize(0, 1.0, ref);
    EXPECT_NEAR(std::log10(grid), std::round(std::log10(grid)), 1e-9);
    EXPECT_GE(grid / pixel, 20.0 - 1e-9);
    EXPECT_LT(grid / pixel, 200.0);
    EXPECT_GT(vi->handleSize(0), 0);
}

INSTANTIATE_TEST_SUITE_P(Types, EveryView,
                         testing::Values("top", "bottom", "back", "front", "right", "left",
                                         "perspective", "camera", "light"));

// The side views as Layout shows them: which world axis is to the right, which
// is up, and on which side the viewer stands.
struct Side {
    const char* type;
    double right[3], up[3], towardsViewer[3];
};

class SideViews : public Views, public testing::WithParamInterface<Side> {};

TEST_P(SideViews, ShowTheirAxes) {
    const Side& s = GetParam();
    run(std::string("ViewType 2 ") + s.type + "\nViewCenter 2 0.5 -0.25 2\nViewZoom 2 0.02\n");
    const ViewGeometry g = geometry(2);
    const double c[3] = {0.5, -0.25, 2};
    // Where c + k * axis lands; 0.2 m is 10 pixels at 0.02 m per pixel.
    auto at = [&](double k, const double axis[3], double win[3]) {
        const double p[3] = {c[0] + k * axis[0], c[1] + k * axis[1], c[2] + k * axis[2]};
        return g.project(p, win[0], win[1], win[2]);
    };
    double centre[3], right[3], up[3], near[3], d[3];
    ASSERT_TRUE(at(0, s.right, centre));
    at(0.2, s.right, right);
    at(0.2, s.up, up);
    at(1, s.towardsViewer, near);
    const double expected[3][2] = {{320, 240}, {330, 240}, {320, 230}};
    const double* got[3] = {centre, right, up};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(got[i][0], expected[i][0], 1e-9) << i;
        EXPECT_NEAR(got[i][1], expected[i][1], 1e-9) << i;
    }
    EXPECT_LT(near[2], centre[2]);
    host::vec3::subtract(g.eye, c, d);
    EXPECT_GT(host::vec3::dot(d, s.towardsViewer), 0.99 * host::vec3::length(d));
}

INSTANTIATE_TEST_SUITE_P(Layout, SideViews,
                         testing::Values(Side{"top", {1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
                                         Side{"bottom", {1, 0, 0}, {0, 0, -1}, {0, -1, 0}},
                                         Side{"back", {1, 0, 0}, {0, 1, 0}, {0, 0, -1}},
                                         Side{"front", {-1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
                                         Side{"right", {0, 0, 1}, {0, 1, 0}, {1, 0, 0}},
                                         Side{"left", {0, 0, -1}, {0, 1, 0}, {-1, 0, 0}}));

TEST_F(Views, PerspectiveOrbitsTheCentre) {
    run("ViewCenter 1 1 2 3\nViewOrbit 1 0 0 10\nViewZoom 1 0.02\n");
    ViewGeometry g = geometry(1);
    const double eye[3] = {1, 2, -7};
    expectNear3(g.eye, eye, 1e-12, "eye behind the centre");
    double x, y, z;
    // 0.2 m across at the centre's distance is 10 pixels.
    const double side[3] = {1.2, 2, 3};
    EXPECT_TRUE(g.project(side, x, y, z));
    EXPECT_NEAR(x, 330, 1e-9);
    const double behind[3] = {1, 2, -8};
    EXPECT_FALSE(g.project(behind, x, y, z));
    // Along one ray the window position stays and depth grows.
    double last = -1;
    for (double t = 0.5; t < 5000; t *= 1.7) {
        const double p[3] = {1 + 0.1 * t, 2 + 0.05 * t, -7 + t};
        g.project(p, x, y, z);
        EXPECT_NEAR(x, 320 + 0.1 / g.pixelSize, 1e-6);
        EXPECT_GT(z, last);
        last = z;
    }
    // Heading +90 turns the view to +X; pitch +90 looks down.
    run("ViewOrbit 1 90 0 10\n");
    const double east[3] = {-9, 2, 3};
    expectNear3(geometry(1).eye, east, 1e-9, "heading 90");
    run("ViewOrbit 1 0 90 5\n");
    const double above[3] = {1, 7, 3};
    expectNear3(geometry(1).eye, above, 1e-9, "pitch 90");
}

TEST_F(Views, CameraViewFollowsTheCamera) {
    run("AddCamera Cam\nPosition 0 0 0\nRotation 0 0 0\nGoToFrame 30\n"
        "Position 10 0 0\nRotation 90 0 0\nViewCamera 1 Cam\n");
    const ViewGeometry start = geometry(1, 0.0), end = geometry(1, 1.0);
    const double origin[3] = {0, 0, 0}, plusZ[3] = {0, 0, 1}, moved[3] = {10, 0, 0},
                 plusX[3] = {1, 0, 0};
    expectNear3(start.eye, origin, 1e-9, "eye at 0 s");
    expectNear3(start.axes[2], plusZ, 1e-9, "forward at 0 s");
    expectNear3(end.eye, moved, 1e-9, "eye at 1 s");
    expectNear3(end.axes[2], plusX, 1e-9, "forward at 1 s");
    auto* vi = static_cast<LWViewportInfo*>(layout.services().lookup("LW Viewport Info 4"));
    double pos[3];
    vi->pos(1, pos);
    expectNear3(pos, moved, 1e-9, "the record at the current time");
    // Zoom factor 3.2: at depth 3.2 the half height spans one metre.
    const double top[3] = {0, 1, 3.2};
    double x, y, z;
    start.project(top, x, y, z);
    EXPECT_NEAR(y, 0.0, 1e-9);
}

TEST_F(Views, FitFramesEveryPoint) {
    auto mesh = std::make_shared<host::Mesh>();
    std::mt19937 random(2);
    std::uniform_real_distribution<float> spread(-1, 1);
    for (int n = 0; n < 30; ++n)
        mesh->points.push_back({2 * spread(random), 0.5f * spread(random), spread(random)});
    host::Item& box = layout.scene().addObject("Box", "", mesh);
    const double at[3] = {3, 1, -2}, turn[3] = {0.4, 0.3, 0.2};
    host::setMotion(layout.scene(), box.id, 0, at, 0);
    host::setMotion(layout.scene(), box.id, 3, turn, 0);
    run("AddNull Far\nPosition -4 0 5\nViewType 0 back\nViewType 1 perspective\n");
    std::vector<host::Point> world = host::worldPlacedPoints(layout.scene(), box, 0);
    world.push_back({-4, 0, 5});

    for (int index = 0; index < 4; ++index) {
        run("ViewFit " + std::to_string(index) + "\n");
        const ViewGeometry g = geometry(index);
        double reach = 0;
        for (const host::Point& p : world) {
            const double q[3] = {p.x, p.y, p.z};
            double x, y, z;
            EXPECT_TRUE(g.project(q, x, y, z)) << index;
            const double across = std::fabs(x / g.rect.width * 2 - 1);
            const double upward = std::fabs(y / g.rect.height * 2 - 1);
            EXPECT_LE(across, 1.0) << index;
            EXPECT_LE(upward, 1.0) << index;
            reach = std::max({reach, across, upward});
        }
        // Side views fill the view to within a margin.
        if (!g.perspective) {
            EXPECT_GT(reach, 0.8) << index;
        }
    }
}

TEST_F(Views, FitTakesDeformedPointsAndFramesTheUnitCubeWhenEmpty) {
    auto mesh = std::make_shared<host::Mesh>();
    mesh->points = {{0, 0, 0}, {1, 1, 1}};
    host::Item& box = layout.scene().addObject("Box", "", mesh);
    box.currentPoints = std::make_shared<std::vector<host::Point>>(
        std::vector<host::Point>{{100, 0, 0}, {102, 2, 2}});
    double lo[3], hi[3];
    EXPECT_TRUE(host::sceneBounds(layout.scene(), 0, lo, hi));
    const double low[3] = {100, 0, 0}, high[3] = {102, 2, 2};
    expectNear3(lo, low, 0, "low corner");
    expectNear3(hi, high, 0, "high corner");

    // An empty scene, and a lone null, frame a cube of side 1.
    struct Case {
        const char* script;
        double centre[3];
    };
    for (const Case& c :
         {Case{"ClearScene\n", {0, 0, 0}}, Case{"AddNull Lone\nPosition 1 2 3\n", {1, 2, 3}}}) {
        run(std::string(c.script) + "ViewFit 0\nViewFit 1\n");
        const double corner[3] = {c.centre[0] + 0.5, c.centre[1] + 0.5, c.centre[2] + 0.5};
        double x, y, z;
        geometry(0).project(corner, x, y, z);
        EXPECT_NEAR(x, 320 + 0.9 * 240, 1e-6) << c.script;
        expectNear3(layout.viewports().view(0).centre, c.centre, 0, "centre");
        // The cube's enclosing sphere fills 90% of the perspective view's height.
        const double sine = 0.5 * std::sqrt(3.0) / layout.viewports().view(1).distance;
        EXPECT_NEAR(std::tan(std::asin(sine)), 0.9 * 240 * geometry(1).pixelSize, 1e-9);
    }
}

TEST_F(Views, LayoutsTileTheWindow) {
    const char* quad[] = {"top", "perspective", "front", "right"};
    for (int i = 0; i < 4; ++i)
        EXPECT_STREQ(host::viewTypeName(layout.viewports().view(i).type), quad[i]);
    run("ViewZoom 0 0.5\n");
    for (int size : {0, 1}) {
        if (size) layout.viewports().resize(1281, 961);
        for (int count : {1, 2, 4, 4}) {
            run("Viewports " + std::to_string(count) + "\n");
            const host::ViewportWindow& w = layout.viewports();
            std::vector<int> covered(size_t(w.width() * w.height()));
            for (int i = 0; i < w.count(); ++i) {
                const host::ViewRect& r = w.view(i).rect;
                for (int y = r.top; y < r.top + r.height; ++y)
                    for (int x = r.left; x < r.left + r.width; ++x)
                        ++covered[size_t(y * w.width() + x)];
            }
            EXPECT_EQ(std::count(covered.begin(), covered.end(), 1), int(covered.size()))
                << count << " views";
        }
    }
    // Views kept across layouts keep their settings; new ones start afresh.
    EXPECT_EQ(layout.viewports().view(0).unitsPerPixel, 0.5);
    run("ClearScene\n");
    EXPECT_EQ(layout.viewports().view(0).unitsPerPixel, 0.5);
    EXPECT_THROW(layout.viewports().setLayout(3), host::HostError);
}

TEST_F(Views, RecordAnswersZerosOutOfRange) {
    run("Viewports 1\n");
    auto* vi = static_cast<LWViewportInfo*>(layout.services().lookup("LW Viewport Info 4"));
    EXPECT_EQ(vi->numViewports, 1);
    for (int vp : {-1, 1, 1000}) {
        double v[3] = {7, 7, 7}, m[9] = {7}, h = 7, y = 7, x = 7;
        LWDMatrix4 p = {{7}};
        int l = 7, t = 7, w = 7, ht = 7;
        EXPECT_EQ(vi->type(vp), LVVIEWT_NONE);
        EXPECT_EQ(vi->flags(vp), 0u);
        vi->pos(vp, v);
        vi->xfrm(vp, m);
        vi->clip(vp, &h, &y);
        vi->rect(vp, &l, &t, &w, &ht);
        EXPECT_EQ(v[0] + m[0] + h + y + l + t + w + ht, 0.0);
        EXPECT_EQ(vi->projection(vp, p, nullptr) + vi->modelview(vp, nullptr, p), 0);
        EXPECT_EQ(p[0][0], 0.0);
        EXPECT_EQ(vi->project(vp, v, &x, &h, &y), 0);
        EXPECT_EQ(vi->unproject(vp, 1, 1, 0.5, v), 0);
        EXPECT_EQ(vi->viewLevel(vp) + vi->handleSize(vp), 0);
        EXPECT_EQ(vi->pixelSize(vp, 1, v) + vi->gridSize(vp), 0.0);
        EXPECT_EQ(vi->viewItem(vp), nullptr);
    }
    // Null outputs are skipped.
    vi->pos(0, nullptr);
    vi->clip(0, nullptr, nullptr);
    EXPECT_EQ(vi->project(0, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST_F(Views, ScriptCommandsChangeWhatViewInfoPrints) {
    EXPECT_EQ(info(0), "view 0: top rect 0 0 640 480 eye 0 1000 0 right 1 0 0 up 0 0 1 "
                       "pixel 0.01 clip 0.01 2000\n");
    run("AddCamera Cam\nAddNull Box\n");
    for (const char* line :
         {"ViewType 0 front", "ViewCenter 0 1 2 3", "ViewZoom 0 0.05", "ViewOrbit 0 10 20 30",
          "ViewCamera 0 Cam", "ViewType 0 top", "ViewFit 0", "Viewports 2"}) {
        const std::string before = info(0);
        run(std::string(line) + "\n");
        EXPECT_NE(info(0), before) << line;
    }
    run("ViewLevel 1 wireframe\nViewLevel 0 7\n");
    EXPECT_EQ(layout.viewports().view(1).level, LWOVIS_WIREFRAME);
    EXPECT_EQ(layout.viewports().view(0).level, LWOVIS_TEXTURED_WIRE);
}

TEST_F(Views, BadViewLinesFailNamingTheLineAndChangeNothing) {
    run("AddNull Box\nAddCamera Cam\nViewCamera 3 Cam\n");
    for (const char* line :
         {"ViewType 0 sideways", "ViewType 4 top", "ViewType 0 light", "ViewCenter 0 1 2",
          "ViewCenter 0 1 2 z", "ViewZoom 0 0", "ViewZoom -1 0.1", "ViewOrbit 0 10 20 -1",
          "ViewOrbit 0 10 x 5", "ViewCamera 0 Box", "ViewCamera 0 Nobody", "ViewLevel 0 glowing",
          "ViewLevel 0 8", "Viewports 3", "ViewInfo 4", "ViewFit 3"}) {
        const std::string before = snapshot();
        const std::string error = failure(std::string("# a comment\n") + line + "\n");
        EXPECT_EQ(error.rfind("test:2: ", 0), 0u) << line << ": " << error;
        EXPECT_EQ(snapshot(), before) << line;
    }
}

} // namespace
