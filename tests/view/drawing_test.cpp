// Viewport drawing: the scene's own drawing, what custom objects and the
// tool draw through the access (the draw probe module's known shapes), and
// the Snapshot command. Expected places come from projecting the shapes'
// world positions through the view's geometry.
#include "host/commands/script.h"
#include "host/common/host_error.h"
#include "host/host.h"
#include "host/view/view_colours.h"
#include "host/view/viewport_drawing.h"

#include "../support/captured_script.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using host::Raster;
using host::Rgba;

bool near(Rgba a, Rgba b, float tolerance = 0.02f) {
    return std::fabs(a.r - b.r) <= tolerance && std::fabs(a.g - b.g) <= tolerance &&
           std::fabs(a.b - b.b) <= tolerance;
}

const Rgba kRed{1, 0, 0, 1}, kGreen{0, 1, 0, 1}, kBlue{0, 0, 1, 1}, kMagenta{1, 0, 1, 1},
    kYellow{1, 1, 0, 1};

int count(const Raster& r, const std::function<bool(int, int)>& where) {
    int n = 0;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            n += where(x, y);
    return n;
}

class Drawing : public testing::Test {
  protected:
    Drawing() : layout(std::cout), runner(layout) {
        dir = fs::temp_directory_path() /
              ("morvane_drawing_" + std::to_string(getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        // A cube of side 1 centred at the origin.
        std::ofstream(dir / "cube.obj")
            << "v -.5 -.5 -.5\nv .5 -.5 -.5\nv .5 .5 -.5\nv -.5 .5 -.5\n"
               "v -.5 -.5 .5\nv .5 -.5 .5\nv .5 .5 .5\nv -.5 .5 .5\n"
               "f 1 2 3 4\nf 8 7 6 5\nf 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 4 8 5 1\n";
        layout.loadModule(std::string(MORVANE_FIXTURE_DIR) + "/draw_probe.p");
        window.setLayout(1);
        window.resize(161, 121); // odd: the centre falls on a pixel centre
        side(LVVIEWT_BACK);
        view().level = LWOVIS_TEXTURED_WIRE;
    }
    ~Drawing() override { fs::remove_all(dir); }

    std::string run(const std::string& lines) {
        CapturedScript r = runCaptured(runner, lines);
        if (r.failed) throw host::HostError(r.error);
        return r.printed;
    }
    void cube(const std::string& more = "") {
        run("LoadObject " + (dir / "cube.obj").string() + "\n" + more);
    }

    host::Viewport& view() { return window.view(0); }
    void side(int type) {
        view().type = type;
        view().unitsPerPixel = 0.01;
    }
    // Looking along +Z at the origin from 5 units, turned by heading and pitch.
    void perspective(double heading = 0, double pitch = 0) {
        view().type = LVVIEWT_PERSPECTIVE;
        view().heading = heading;
        view().pitch = pitch;
        view().distance = 5;
        view().unitsPerPixel = 0.01;
    }
    Raster draw() {
        return host::drawWindow(window, {layout.scene(), layout.instances(), &layout.toolRecord(),
                                         layout.scene().timing().time});
    }
    // The pixel a world point lands in.
    Rgba at(const Raster& r, double x, double y, double z) {
        const double world[3] = {x, y, z};
        double px, py, pz;
        window.geometry(layout.scene(), 0, 0.0).project(world, px, py, pz);
        return r.pixel(int(std::floor(px)), int(std::floor(py)));
    }

    fs::path dir;
    host::Host layout;
    host::ScriptRunner runner;
    host::ViewportWindow window;
};

TEST_F(Drawing, CustomObjectShapesLandWhereTheirCoordinatesSay) {
    view().unitsPerPixel = 0.02;
    run("AddNull probe\nPosition 0 1 0\nApplyServer CustomObjHandler draw_shapes\n");
    testing::internal::CaptureStdout();
    const Raster r = draw();
    const std::string drawn = testing::internal::GetCapturedStdout();
    EXPECT_NE(drawn.find("drawprobe draw_shapes view " + std::to_string(LWVIEW_XY) + " flags " +
                         std::to_string(LWCOFL_SELECTED)),
              std::string::npos)
        << drawn;

    EXPECT_TRUE(near(at(r, 0.3, 0.3, 0), kRed));          // world triangle
    EXPECT_FALSE(near(at(r, 0.7, 0.7, 0), kRed));         // beyond its long edge
    EXPECT_TRUE(near(at(r, -1.3, 1 - 0.3, 0), kMagenta)); // object triangle, item at y 1
    EXPECT_TRUE(near(at(r, 0.5, -1, 0), kBlue));          // disk centre
    EXPECT_TRUE(near(at(r, 0.5 + 0.2, -1, 0), kBlue));    // inside its radius
    EXPECT_FALSE(near(at(r, 0.5 + 0.3, -1, 0), kBlue));   // outside
    EXPECT_EQ(
        count(r, [&](int x, int y) { return y < 25 && x < 100 && near(r.pixel(x, y), kGreen); }),
        51);
    EXPECT_TRUE(near(r.pixel(35, 20), kGreen));
    const int text = count(r, [&](int x, int y) {
        return x >= 100 && x < 100 + Raster::textWidth("PROBE") &&
               std::abs(y - 100) <= Raster::textHeight() && near(r.pixel(x, y), Rgba{1, 1, 1, 1});
    });
    EXPECT_GT(text, 10);
    EXPECT_TRUE(near(r.pixel(125, 15), kRed)); // the texels, u right and v down
    EXPECT_TRUE(near(r.pixel(135, 15), kGreen));
    EXPECT_TRUE(near(r.pixel(125, 25), kBlue));
    EXPECT_TRUE(near(r.pixel(135, 25), kYellow));

    run("Select\n");
    testing::internal::CaptureStdout();
    draw();
    EXPECT_NE(testing::internal::GetCapturedStdout().find("flags 0"), std::string::npos);
}

TEST_F(Drawing, PatternsCullingOutlinesAndIndexedPolygons) {
    run("AddNull probe\nApplyServer CustomObjHandler draw_modes\n");
    testing::internal::CaptureStdout();
    const Raster r = draw();
    testing::internal::GetCapturedStdout();
    // The dash runs 6 on, 4 off from the line's start.
    std::string runs;
    for (int x = 10; x < 70; ++x)
        runs += near(r.pixel(x, 60), Rgba{1, 1, 1, 1}) ? '#' : '.';
    EXPECT_EQ(runs, std::string("######....") + "######...." + "######...." + "######...." +
                        "######...." + "######....");
    // Culling drops the clockwise triangle only.
    EXPECT_FALSE(near(r.pixel(14, 74), kRed));
    EXPECT_TRUE(near(r.pixel(44, 74), kGreen));
    // OUTLINE draws the polygon's edges, not its inside.
    EXPECT_TRUE(near(r.pixel(80, 80), kBlue));
    EXPECT_TRUE(near(r.pixel(90, 70), kBlue));
    EXPECT_FALSE(near(r.pixel(90, 80), kBlue));
    // The indexed polygon is filled through its index list.
    EXPECT_EQ(count(r, [&](int x, int y) { return near(r.pixel(x, y), kYellow); }), 20 * 20);
}

// ICON coordinates are the item's, scaled by the view's grid spacing.
TEST_F(Drawing, IconCoordinatesScaleWithTheGrid) {
    run("AddNull probe\nPosition 0 1 0\nApplyServer CustomObjHandler draw_shapes\n");
    view().unitsPerPixel = 0.005;
    view().centre[1] = 1;
    const double grid = window.geometry(layout.scene(), 0, 0.0).grid;
    ASSERT_LT(grid, 0.5);
    const Raster r = draw();
    const Rgba cyan{0, 1, 1, 1};
    EXPECT_TRUE(near(at(r, -0.3 * grid, 1 + 0.1 * grid, 0), cyan));
    EXPECT_FALSE(near(at(r, -0.3 * grid, 1 + 0.1 * grid - 0.2 * grid, 0), cyan)); // below it
    EXPECT_FALSE(near(at(r, -1.2 * grid, 1 + 0.1 * grid, 0), cyan)); // beyond its far corner
}

TEST_F(Drawing, ViewMemberIsTheIndexWhenTheHandlerAsks) {
    run("AddNull probe\nApplyServer CustomObjHandler draw_index\n");
    window.setLayout(4);
    testing::internal::CaptureStdout();
    draw();
    const std::string drawn = testing::internal::GetCapturedStdout();
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(drawn.find("view " + std::to_string(i) + " "), std::string::npos) << drawn;
}

// The wall stands beyond the cube: hidden behind the shaded cube unless its
// handler draws without the depth buffer or as an overlay.
TEST_F(Drawing, DepthHidesCustomDrawingUnlessTheHandlerOptsOut) {
    cube();
    for (const std::string server : {"draw_wall", "draw_wall_nodepth", "draw_wall_overlay"}) {
        const bool onTop = server != "draw_wall";
        run(std::string(onTop ? "RemoveServer CustomObjHandler 1\n" : "") +
            "ApplyServer CustomObjHandler " + server + "\n");
        const Raster r = draw();
        EXPECT_EQ(near(at(r, 0, 0, 0), kRed), onTop) << server;
        EXPECT_TRUE(near(at(r, 0.6, 0.55, 0), kRed)) << server; // beside the cube
    }
}

TEST_F(Drawing, LineThroughTheViewerDrawsOnlyItsPartInFront) {
    perspective();
    run("AddNull probe\nApplyServer CustomObjHandler draw_through\n");
    const Raster r = draw();
    const double cx = window.width() / 2.0, cy = window.height() / 2.0;
    int green = 0;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            if (near(r.pixel(x, y), kGreen)) {
                ++green;
                // Straight up from the centre: above the viewer, in front.
                EXPECT_LE(std::fabs(x + 0.5 - cx), 1.5) << x << "," << y;
                EXPECT_LT(y, cy) << x << "," << y;
            }
    EXPECT_GE(green, int(cy) / 2);
    EXPECT_TRUE(near(r.pixel(int(cx), 1), kGreen)); // on to the edge
}

TEST_F(Drawing, VisibilityLevelsOfACube) {
    cube("ItemVisibility 0\n");
    const Raster empty = draw();
    auto changed = [&](const Raster& r) {
        return count(r, [&](int x, int y) { return !near(r.pixel(x, y), empty.pixel(x, y), 0); });
    };
    auto centre = [&](const Raster& r) { return at(r, 0, 0, 0); };
    auto show = [&](int level) {
        run("ItemVisibility " + std::to_string(level) + "\n");
        return draw();
    };
    EXPECT_EQ(changed(show(LWOVIS_HIDDEN)), 0);
    const Raster box = show(LWOVIS_BOUNDINGBOX), points = show(LWOVIS_VERTICES),
                 wire = show(LWOVIS_WIREFRAME), shaded = show(LWOVIS_SHADED),
                 textured = show(LWOVIS_TEXTURED), both = show(LWOVIS_TEXTURED_WIRE);
    // Face on, the box and the wires outline a 100-pixel square; the points
    // are its four corners.
    for (const Raster* outline : {&box, &wire}) {
        EXPECT_TRUE(near(centre(*outline), centre(empty), 0));
        EXPECT_GE(changed(*outline), 4 * 95);
        EXPECT_LE(changed(*outline), 4 * 104);
    }
    EXPECT_TRUE(near(centre(points), centre(empty), 0));
    EXPECT_GE(changed(points), 4);
    EXPECT_LE(changed(points), 16);
    // Shaded fills the square; facing the eye squarely, it is lit fully.
    EXPECT_TRUE(near(centre(shaded), host::colours::kShaded));
    EXPECT_GE(changed(shaded), 97 * 97);
    EXPECT_EQ(shaded.rgba(), textured.rgba());
    EXPECT_NE(both.rgba(), shaded.rgba());
    EXPECT_TRUE(near(centre(both), centre(shaded), 0));
    EXPECT_TRUE(near(at(both, 0.5, 0, 0), host::colours::kSelectedWire, 0.01f));

    // A view level below the object's draws at the view's level.
    view().level = LWOVIS_WIREFRAME;
    EXPECT_EQ(draw().rgba(), wire.rgba());

    // Seen obliquely, front-face wireframe leaves out the three far faces'
    // own edges.
    view().level = LWOVIS_TEXTURED_WIRE;
    perspective(0.6, 0.5);
    const Raster allEdges = show(LWOVIS_WIREFRAME), frontEdges = show(LWOVIS_FFWIREFRAME);
    show(LWOVIS_HIDDEN);
    const Raster none = draw();
    auto drawn = [&](const Raster& r) {
        return count(r, [&](int x, int y) { return !near(r.pixel(x, y), none.pixel(x, y), 0); });
    };
    EXPECT_LT(drawn(frontEdges), drawn(allEdges) * 0.9);
    EXPECT_GT(drawn(frontEdges), drawn(allEdges) * 0.5);
}

TEST_F(Drawing, CubeFaceOnIsLeftRightSymmetric) {
    cube("ItemVisibility 7\nSelect\n");
    side(LVVIEWT_BACK);
    const Raster r = draw();
    const int below = 4 + Raster::textHeight() + 2; // under the label
    int asymmetric = 0;
    for (int y = below; y < r.height(); ++y)
        for (int x = 0; x < r.width() / 2; ++x)
            asymmetric += !near(r.pixel(x, y), r.pixel(r.width() - 1 - x, y), 0);
    EXPECT_EQ(asymmetric, 0);
    EXPECT_NE(count(r, [&](int x, int y) { return near(r.pixel(x, y), host::colours::kWire); }), 0);
}

TEST_F(Drawing, SameSceneDrawsTheSameBytes) {
    perspective(0.3, 0.2);
    window.setLayout(4);
    cube("ApplyServer CustomObjHandler draw_shapes\nTool_draw_tool\n");
    EXPECT_EQ(draw().rgba(), draw().rgba());
}

TEST_F(Drawing, ToolDrawsAfterTheCustomObjects) {
    run("Tool_draw_tool\n");
    const Raster r = draw();
    EXPECT_TRUE(near(r.pixel(20, 50), kYellow));
    run("ChangeTool\n");
    EXPECT_FALSE(near(draw().pixel(20, 50), kYellow));
}

TEST_F(Drawing, SnapshotWritesTheWindowOrOneView) {
    layout.setContentDirectory(dir.string());
    cube();
    const host::ViewportWindow& quad = layout.viewports();
    const std::string out = run("Snapshot whole.png\nSnapshot 1 one.png\n");
    Raster whole(1, 1), one(1, 1);
    std::string error;
    ASSERT_TRUE(host::readPng((dir / "whole.png").string(), whole, error)) << error;
    ASSERT_TRUE(host::readPng((dir / "one.png").string(), one, error)) << error;
    EXPECT_EQ(whole.width(), quad.width());
    EXPECT_EQ(whole.height(), quad.height());
    EXPECT_EQ(one.width(), quad.view(1).rect.width);
    EXPECT_EQ(one.height(), quad.view(1).rect.height);
    // The file holds the window's picture, and view 1 alone is its part of it.
    const Raster drawn = host::drawWindow(quad, {layout.scene(), layout.instances(), nullptr, 0});
    const host::ViewRect& r = quad.view(1).rect;
    int differ = 0;
    for (int y = 0; y < whole.height(); ++y)
        for (int x = 0; x < whole.width(); ++x) {
            differ += !near(whole.pixel(x, y), drawn.pixel(x, y), 0.003f);
            if (x < r.width && y < r.height)
                differ += !near(one.pixel(x, y), drawn.pixel(r.left + x, r.top + y), 0.003f);
        }
    EXPECT_EQ(differ, 0);
    EXPECT_NE(out.find("snapshot: whole.png (" + std::to_string(quad.width()) + " x " +
                       std::to_string(quad.height()) + ")"),
              std::string::npos);

    auto failure = [&](const std::string& line) {
        try {
            run(line);
        } catch (const host::HostError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_NE(failure("Snapshot 9 x.png").find("no viewport 9"), std::string::npos);
    EXPECT_NE(failure("Snapshot " + (dir / "missing" / "x.png").string()).find("cannot write"),
              std::string::npos);
}

} // namespace
