// The deformer at work through the real module file: a cage built from a
// cube by the add-cage command deforms another object frame by frame.
#include "host/commands/commands.h"
#include "host/host.h"
#include "host/commands/script.h"

#include "cage_instance.h"
#include "deform_instance.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

class Deforming : public testing::Test {
  protected:
    Deforming() : layout(out), script(layout) {
        layout.loadModule(MORVANE_MODULE_PATH);
        dir = testing::TempDir() + "/deform_eval_" + std::to_string(getpid());
        std::system(("mkdir -p " + dir).c_str());
        std::ofstream(dir + "/cube.obj") << "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
                                            "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                                            "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\n"
                                            "f 2 6 7 3\nf 3 7 8 4\nf 5 1 4 8\n";
        std::ofstream(dir + "/pts.obj") << "v 0 0 0\nv 0.5 0.2 -0.3\nv -0.4 0.7 0.1\nv 1.5 0 0\n"
                                           "f 1 2 3\np 4\n";
        line("LoadObject " + dir + "/cube.obj");
        script.execute({"Respond", "OK", "Reference Object=cube"});
        script.execute({"Generic", "Morvane Add"});
        line("LoadObject " + dir + "/pts.obj");
        line("ApplyServer DisplacementHandler Zentrik_Morvane");
        cage = static_cast<CageInstance*>(
            layout.instances().on(layout.scene().find("_Cage")->id)[0]->instance);
        deform = static_cast<DeformInstance*>(
            layout.instances().on(layout.scene().find("pts")->id)[0]->instance);
    }
    ~Deforming() override { std::system(("rm -rf " + dir).c_str()); }

    void line(const std::string& text) { host::CommandInterpreter(layout).execute(text); }
    // How far each point moved from its base position.
    void expectMovedBy(double dx, double dy, double dz, double tol) {
        host::Item* pts = layout.scene().find("pts");
        ASSERT_TRUE(pts->currentPoints);
        for (size_t i = 0; i < pts->mesh->points.size(); ++i) {
            const host::Point& b = pts->mesh->points[i];
            const host::Point& c = (*pts->currentPoints)[i];
            EXPECT_NEAR(c.x - b.x, dx, tol) << "point " << i;
            EXPECT_NEAR(c.y - b.y, dy, tol) << "point " << i;
            EXPECT_NEAR(c.z - b.z, dz, tol) << "point " << i;
        }
    }
    void shiftEveryCagePoint(double dx, double dy, double dz) {
        for (int i = 0; i < cage->pointCount; ++i) {
            cage->keyHead->deltas[3 * i] = dx;
            cage->keyHead->deltas[3 * i + 1] = dy;
            cage->keyHead->deltas[3 * i + 2] = dz;
        }
    }

    std::ostringstream out;
    host::Host layout;
    host::ScriptRunner script;
    std::string dir;
    CageInstance* cage = nullptr;
    DeformInstance* deform = nullptr;
};

TEST_F(Deforming, ACageAtRestLeavesEveryPointWhereItIs) {
    ASSERT_EQ(cage->pointCount, 8);
    ASSERT_EQ(deform->cageCount, 1);
    expectMovedBy(0, 0, 0, 1e-6);
    cage->mode = 1;
    cage->rebuildNeeded = 1;
    line("GoToFrame 1");
    expectMovedBy(0, 0, 0, 1e-6);
}

TEST_F(Deforming, MovingEveryCagePointMovesEveryMeshPointAlike) {
    shiftEveryCagePoint(0.3, -0.2, 0.5);
    line("GoToFrame 1");
    expectMovedBy(0.3, -0.2, 0.5, 1e-5); // Skin
    cage->mode = 1;
    cage->rebuildNeeded = 1;
    line("GoToFrame 2");
    expectMovedBy(0.3, -0.2, 0.5, 1e-5); // Volume
}

TEST_F(Deforming, AnotherGroupOrNoCageLeavesTheMeshAlone) {
    shiftEveryCagePoint(1, 1, 1);
    std::strcpy(deform->groupName, "other");
    line("GoToFrame 1");
    expectMovedBy(0, 0, 0, 1e-6);
    EXPECT_EQ(deform->cageCount, 0);
}

TEST_F(Deforming, LimitedRangeLeavesFarPointsAlone) {
    shiftEveryCagePoint(0, 1, 0);
    cage->limitedRange = 1;
    cage->perpendicularDistance = 0.2; // the point at (1.5, 0, 0) is 0.5 outside
    line("GoToFrame 1");
    host::Item* pts = layout.scene().find("pts");
    ASSERT_TRUE(pts->currentPoints);
    EXPECT_NEAR((*pts->currentPoints)[3].y, 0.0f, 1e-6);
    EXPECT_NEAR((*pts->currentPoints)[0].y, 0.0f, 1e-6); // the centre is 1 from every face
    cage->perpendicularDistance = 2.0;
    line("GoToFrame 2");
    EXPECT_NEAR((*pts->currentPoints)[3].y, 1.0f, 1e-5);
    EXPECT_NEAR((*pts->currentPoints)[0].y, 1.0f, 1e-5);
}

} // namespace
