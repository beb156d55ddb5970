// The cage as a person sees it in the viewports: the real module drawing
// through the stand-in host's custom-object access, checked on pictures
// against what the scene looks like without the cage.
#include "host/commands/script.h"
#include "host/host.h"
#include "host/view/viewport_drawing.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using host::Raster;
using host::Rgba;

bool same(Rgba a, Rgba b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

class CagePicture : public testing::Test {
  protected:
    CagePicture() : layout(out), runner(layout) {
        dir = fs::temp_directory_path() / ("morvane_cage_picture_" + std::to_string(getpid()));
        fs::create_directories(dir);
        layout.loadModule(MORVANE_MODULE_PATH);
        layout.viewports().setLayout(1);
        layout.viewports().resize(321, 241);
    }
    ~CagePicture() override { fs::remove_all(dir); }

    void run(const std::string& lines) {
        std::istringstream in(lines);
        runner.run(in, "t");
    }
    std::string file(const std::string& name, const std::string& text) {
        std::ofstream((dir / name).string()) << text;
        return (dir / name).string();
    }
    // A cube of side 2 at the origin, shaded, with a cage built on it.
    void cubeWithCage() {
        run("LoadObject " +
            file("cube.obj", "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
                             "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                             "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 5 1 4 8\n") +
            "\nRespond OK \"Reference Object=cube\"\nGeneric \"Morvane Add\"\n"
            "Select cube\nItemVisibility 5\n"
            "PanelSet _Cage CustomObjHandler \"Opacity\" 50\n"
            "ViewType 0 front\nViewCenter 0 0 0 0\nViewZoom 0 0.02\n");
    }
    void display(const std::string& mode) {
        run("PanelSet _Cage CustomObjHandler \"Display\" " + mode + "\n");
    }
    Raster picture() {
        return host::drawWindow(layout.viewports(),
                                {layout.scene(), layout.instances(), &layout.toolRecord(),
                                 layout.scene().timing().time});
    }
    // The window pixel of a world point in view 0.
    void at(double x, double y, double z, int& px, int& py) {
        host::ViewGeometry g = layout.viewports().geometry(layout.scene(), 0, 0);
        double world[3] = {x, y, z}, wx, wy, wz;
        g.project(world, wx, wy, wz);
        px = int(std::floor(wx));
        py = int(std::floor(wy));
    }

    std::ostringstream out;
    host::Host layout;
    host::ScriptRunner runner;
    fs::path dir;
};

const Rgba kSelected{1.0f, 0.8f, 0.0f, 1};

TEST_F(CagePicture, XRayDrawsTheEdgeColourOnTheOutlineAndBlendsTheFill) {
    cubeWithCage();
    display("Unseen");
    Raster unseen = picture();
    display("X-Ray");
    Raster xray = picture();

    // The outline: the cube's silhouette at x = +-1, y = +-1 carries the
    // edge colour within a pixel of where it projects.
    for (double side : {-1.0, 1.0}) {
        int px, py;
        at(side, 0.3, 0, px, py);
        bool edge = false;
        for (int dx = -1; dx <= 1; ++dx)
            edge |= same(xray.pixel(px + dx, py), kSelected);
        EXPECT_TRUE(edge) << "outline at x = " << side;
    }
    // Inside: the shaded cube showing through, mixed with the fill by one
    // alpha in every channel (at least the front face's 50%).
    int cx, cy;
    at(0.3, 0.4, 0, cx, cy);
    Rgba under = unseen.pixel(cx, cy), over = xray.pixel(cx, cy);
    float alpha = (over.r - under.r) / (kSelected.r - under.r);
    EXPECT_GE(alpha, 0.49f);
    EXPECT_LT(alpha, 0.99f);
    EXPECT_NEAR(over.g, under.g + alpha * (kSelected.g - under.g), 2.0f / 255);
    EXPECT_NEAR(over.b, under.b + alpha * (kSelected.b - under.b), 2.0f / 255);
    // Outside the cage nothing changes, and Unseen draws no edge anywhere.
    int ox, oy;
    at(1.6, 0, 0, ox, oy);
    EXPECT_TRUE(same(xray.pixel(ox, oy), unseen.pixel(ox, oy)));
    int edges = 0;
    for (int y = 0; y < unseen.height(); ++y)
        for (int x = 0; x < unseen.width(); ++x)
            edges += same(unseen.pixel(x, y), kSelected);
    EXPECT_EQ(edges, 0);
}

TEST_F(CagePicture, SolidHidesBehindNearerGeometryXRayDoesNot) {
    cubeWithCage();
    // A wall nearer the viewer than the cube (front views look along -Z),
    // covering the cube's +X half.
    run("LoadObject " +
        file("wall.obj", "v 0 -3 3\nv 3 -3 3\nv 3 3 3\nv 0 3 3\nf 1 2 3 4\n"
                         "f 4 3 2 1\n") +
        "\n");
    int wx, wy, ox, oy;
    at(0.5, 0.2, 0, wx, wy);  // behind the wall
    at(-0.5, 0.2, 0, ox, oy); // in the open
    display("Unseen");
    Raster unseen = picture();
    display("Solid");
    Raster solid = picture();
    display("X-Ray");
    Raster xray = picture();
    EXPECT_TRUE(same(solid.pixel(wx, wy), unseen.pixel(wx, wy)));
    EXPECT_FALSE(same(xray.pixel(wx, wy), unseen.pixel(wx, wy)));
    EXPECT_FALSE(same(solid.pixel(ox, oy), unseen.pixel(ox, oy)));
}

TEST_F(CagePicture, TheArmAtFrame45DiffersFromFrame0OnlyWhereTheForearmIs) {
    layout.setContentDirectory(std::string(MORVANE_SOURCE_DIR) + "/examples");
    run("LoadScene arm.lws\n"
        "ViewType 0 right\nViewCenter 0 0 1 0\nViewZoom 0 0.012\n");
    Raster rest = picture();
    run("GoToFrame 45\n");
    Raster bent = picture();
    // The elbow is at y = 1. The cage's rings at y = 0.8 and below stay
    // put, but the mesh between 0.4 and 0.8 still takes a little of the
    // bend through the blend of its neighbourhood; below y = 0.4 nothing
    // may change.
    int ex, ey;
    at(0, 0.4, 0, ex, ey);
    int above = 0, below = 0;
    for (int y = 0; y < rest.height(); ++y)
        for (int x = 0; x < rest.width(); ++x)
            if (!same(rest.pixel(x, y), bent.pixel(x, y))) (y < ey ? above : below) += 1;
    EXPECT_GT(above, 5000);
    EXPECT_EQ(below, 0);
}

} // namespace
