// The host's displacement pass, driven through scripts against the
// displacement probe module, whose handlers move points by known amounts.
// Expected positions are worked by hand from the object's keys:
//   frame 15 (0.5 s): position (1, 2, 3), heading 90: (x, y, z) -> (z, y, -x) + position
//   frame 30 (1 s):   position (0, 0, -1), pitch 90: (x, y, z) -> (x, -z, y) + position
#include "host/host.h"
#include "host/common/host_error.h"
#include "host/mesh/mesh_info.h"
#include "host/mesh/obj_reader.h"
#include "host/commands/script.h"
#include "host/services/services.h"

#include "../support/captured_script.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using P = std::array<double, 3>;

std::string probePath() {
    return std::string(MORVANE_FIXTURE_DIR) + "/displace_probe.p";
}

class Displace : public testing::Test {
  protected:
    Displace() : layout(std::cout), runner(layout) {
        dir = fs::temp_directory_path() /
              ("morvane_displace_" + std::to_string(getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "quad.obj") << "v 1 0 0\nv 0 1 0\nv 0 0 2\nv -1 0 0\nf 1 2 3\nl 3 4\n";
        layout.loadModule(probePath());
    }
    ~Displace() override { fs::remove_all(dir); }

    std::string run(const std::string& lines) {
        CapturedScript r = runCaptured(runner, lines);
        if (r.failed) throw host::HostError(r.error);
        return r.printed;
    }
    std::string failure(const std::string& lines) { return runCaptured(runner, lines).error; }
    // The quad, keyed at frames 15 and 30 as the header says.
    std::string movingQuad() {
        return "LoadObject " + (dir / "quad.obj").string() +
               "\nGoToFrame 15\nPosition 1 2 3\nRotation 90 0 0\n"
               "GoToFrame 30\nPosition 0 0 -1\nRotation 0 90 0\n";
    }
    host::Item& quad() { return *layout.scene().find("quad"); }

    static void expectPoints(const std::vector<host::Point>& got, const std::vector<P>& want,
                             const char* what) {
        ASSERT_EQ(got.size(), want.size()) << what;
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_NEAR(got[i].x, want[i][0], 1e-5) << what << " point " << i;
            EXPECT_NEAR(got[i].y, want[i][1], 1e-5) << what << " point " << i;
            EXPECT_NEAR(got[i].z, want[i][2], 1e-5) << what << " point " << i;
        }
    }
    void expectCurrent(const std::vector<P>& want, const char* what) {
        ASSERT_TRUE(quad().currentPoints) << what;
        expectPoints(*quad().currentPoints, want, what);
    }
    // What Object Info's mesh info gives as the other positions.
    std::vector<host::Point> objectInfoPoints(LWItemID id) {
        auto* info = static_cast<LWObjectInfo*>(
            host::ServiceTable::accessor(LWOBJECTINFO_GLOBAL, GFUSE_TRANSIENT));
        LWMeshInfo* mesh = info->meshInfo(id, 0);
        std::vector<host::Point> points;
        for (int i = 0; i < mesh->numPoints(mesh); ++i) {
            LWFVector p;
            mesh->pntOtherPos(mesh, host::pointId(mesh, std::uint32_t(i)), p);
            points.push_back({p[0], p[1], p[2]});
        }
        mesh->destroy(mesh);
        return points;
    }
    static size_t count(const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }

    fs::path dir;
    host::Host layout;
    host::ScriptRunner runner;
};

const std::vector<P> kPlacedAt15 = {{1, 2, 2}, {1, 3, 3}, {3, 2, 3}, {1, 2, 4}};
const std::vector<P> kPlacedAt30 = {{1, 0, -1}, {0, 0, 0}, {0, -2, -1}, {-1, 0, -1}};

TEST_F(Displace, AWorldHandlerMovesWorldPositionsByItsFrameTime) {
    run(movingQuad() + "ApplyServer DisplacementHandler dprobe_world\n");
    std::string printed = run("GoToFrame 15\n");
    EXPECT_EQ(count(printed, "dprobe evaluate world#1\n"), 4u);
    EXPECT_EQ(count(printed, "mismatch"), 0u) << printed;
    expectCurrent({{1, 2.5, 2}, {1, 3.5, 3}, {3, 2.5, 3}, {1, 2.5, 4}}, "frame 15");

    printed = run("GoToFrame 30\n");
    EXPECT_EQ(count(printed, "mismatch"), 0u) << printed;
    expectCurrent({{1, 1, -1}, {0, 1, 0}, {0, -1, -1}, {-1, 1, -1}}, "frame 30");
    // Object Info's mesh info reports the displaced points as the other positions.
    expectPoints(objectInfoPoints(quad().id), {{1, 1, -1}, {0, 1, 0}, {0, -1, -1}, {-1, 1, -1}},
                 "object info");
}

TEST_F(Displace, AnObjectHandlerWorksInObjectCoordinates) {
    run(movingQuad() + "ApplyServer DisplacementHandler dprobe_object\n");
    std::string printed = run("GoToFrame 15\n");
    EXPECT_EQ(count(printed, "mismatch"), 0u) << printed;
    // Doubled about the object's own origin, then placed.
    expectCurrent({{1, 2, 1}, {1, 4, 3}, {5, 2, 3}, {1, 2, 5}}, "frame 15");
    run("GoToFrame 30\n");
    expectCurrent({{2, 0, -1}, {0, 0, 1}, {0, -4, -1}, {-2, 0, -1}}, "frame 30");
}

TEST_F(Displace, HandlersChainInTheOrderApplied) {
    run(movingQuad() + "ApplyServer DisplacementHandler dprobe_object\n"
                       "ApplyServer DisplacementHandler dprobe_world\n");
    std::string printed = run("GoToFrame 15\n");
    EXPECT_EQ(count(printed, "mismatch"), 0u) << printed;
    // Each handler runs over every point before the next starts.
    EXPECT_EQ(printed.find("dprobe evaluate world#2"),
              printed.rfind("dprobe evaluate object#1") +
                  std::string("dprobe evaluate object#1\n").size());
    expectCurrent({{1, 2.5, 1}, {1, 4.5, 3}, {5, 2.5, 3}, {1, 2.5, 5}}, "object then world");

    // Swapped: the world offset is doubled by the object handler after it.
    run("RemoveServer DisplacementHandler 1\nApplyServer DisplacementHandler dprobe_object\n");
    expectCurrent({{1, 3, 1}, {1, 5, 3}, {5, 3, 3}, {1, 3, 5}}, "world then object");
}

TEST_F(Displace, EveryNewTimeRunsBeforeAnyPointIsDisplaced) {
    run("LoadObject " + (dir / "quad.obj").string() +
        "\nApplyServer DisplacementHandler dprobe_world\n"
        "AddNull Later\nApplyServer CustomObjHandler dprobe_custom\n");
    std::string printed = run("GoToFrame 3\n");
    EXPECT_EQ(printed, "dprobe newTime custom#2 time 0.1\n"
                       "dprobe newTime world#1 time 0.1\n"
                       "dprobe evaluate world#1\n"
                       "dprobe evaluate world#1\n"
                       "dprobe evaluate world#1\n"
                       "dprobe evaluate world#1\n");
    // The handler saw this frame's time, not the one before.
    expectCurrent({{1, 0.1, 0}, {0, 1.1, 0}, {0, 0.1, 2}, {-1, 0.1, 0}}, "frame 3");
}

TEST_F(Displace, ApplyAndRemoveEvaluateTheCurrentFrame) {
    run(movingQuad() + "GoToFrame 15\n");
    EXPECT_FALSE(quad().currentPoints);
    std::string printed = run("ApplyServer DisplacementHandler dprobe_world\n");
    EXPECT_EQ(printed.find("dprobe newTime world#1 time 0.5\ndprobe evaluate world#1\n"), 0u)
        << printed;
    expectCurrent({{1, 2.5, 2}, {1, 3.5, 3}, {3, 2.5, 3}, {1, 2.5, 4}}, "applied");

    run("RemoveServer DisplacementHandler 1\n");
    EXPECT_FALSE(quad().currentPoints);
    // Undeformed, Object Info shows the object as placed.
    expectPoints(objectInfoPoints(quad().id), kPlacedAt15, "removed");
}

TEST_F(Displace, NonFiniteResultsLeaveThePointWhereItWas) {
    run(movingQuad() + "ApplyServer DisplacementHandler dprobe_bad_world\n"
                       "ApplyServer DisplacementHandler dprobe_world\n");
    run("GoToFrame 15\n");
    // NaN x, infinite z and a y past float range are dropped; the last point
    // moves 5 along world z; the world handler after them still runs.
    expectCurrent({{1, 2.5, 2}, {1, 3.5, 3}, {3, 2.5, 3}, {1, 2.5, 9}}, "world");

    run("Select quad\nRemoveServer DisplacementHandler 1\nRemoveServer DisplacementHandler 1\n"
        "ApplyServer DisplacementHandler dprobe_bad_object\n");
    // In object space the last point moves 5 along object z, which heading 90
    // turns to world +x.
    expectCurrent({{1, 2, 2}, {1, 3, 3}, {3, 2, 3}, {6, 2, 4}}, "object");
}

TEST_F(Displace, ExportObjectWritesTheDisplacedMeshInWorldCoordinates) {
    std::string out = (dir / "out.obj").string();
    run(movingQuad() +
        "ApplyServer DisplacementHandler dprobe_world\nGoToFrame 30\n"
        "ExportObject quad " +
        out + "\n");
    host::Mesh written = host::readObj(out);
    std::vector<host::Point> points = written.points;
    expectPoints(points, {{1, 1, -1}, {0, 1, 0}, {0, -1, -1}, {-1, 1, -1}}, "export");
    // Bit for bit what the frame holds.
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].x, (*quad().currentPoints)[i].x);
        EXPECT_EQ(points[i].y, (*quad().currentPoints)[i].y);
        EXPECT_EQ(points[i].z, (*quad().currentPoints)[i].z);
    }
    ASSERT_EQ(written.polygons.size(), 2u);
    EXPECT_EQ(written.polygons[0].points, (std::vector<std::uint32_t>{0, 1, 2}));
    EXPECT_EQ(written.polygons[1].points, (std::vector<std::uint32_t>{2, 3}));
}

TEST_F(Displace, AnObjectWithoutHandlersExportsItsPlacedPoints) {
    std::string out = (dir / "plain.obj").string();
    run(movingQuad() + "GoToFrame 30\nExportObject quad " + out + "\n");
    EXPECT_FALSE(quad().currentPoints);
    expectPoints(host::readObj(out).points, kPlacedAt30, "plain");
    // A relative path is taken from the content directory.
    layout.setContentDirectory(dir.string());
    run("GoToFrame 15\nExportObject quad relative.obj\n");
    expectPoints(host::readObj((dir / "relative.obj").string()).points, kPlacedAt15, "relative");
}

TEST_F(Displace, ExportObjectRefusesWhatItCannotWrite) {
    run(movingQuad() + "AddNull Empty\nAddLight Lamp\n");
    EXPECT_NE(failure("ExportObject Nobody " + (dir / "x.obj").string() + "\n")
                  .find("no item named 'Nobody'"),
              std::string::npos);
    EXPECT_NE(
        failure("ExportObject Empty " + (dir / "x.obj").string() + "\n").find("Empty has no mesh"),
        std::string::npos);
    EXPECT_NE(failure("ExportObject Lamp " + (dir / "x.obj").string() + "\n")
                  .find("Lamp is not an object"),
              std::string::npos);
    std::string missing = (dir / "no" / "such" / "x.obj").string();
    EXPECT_NE(failure("ExportObject quad " + missing + "\n").find(missing + ": cannot create file"),
              std::string::npos);
    EXPECT_NE(failure("ExportObject quad\n").find("usage: ExportObject NAME PATH"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "x.obj"));
}

TEST_F(Displace, LoadingASceneEvaluatesItsFrame) {
    std::string scene = (dir / "saved.lws").string();
    run(movingQuad() +
        "ApplyServer DisplacementHandler dprobe_object\n"
        "ApplyServer DisplacementHandler dprobe_world\nGoToFrame 15\n"
        "SaveSceneAs " +
        scene + "\nClearScene\n");
    std::string printed = run("LoadScene " + scene + "\n");
    EXPECT_EQ(count(printed, "mismatch"), 0u) << printed;
    expectCurrent({{1, 2.5, 1}, {1, 4.5, 3}, {5, 2.5, 3}, {1, 2.5, 5}}, "loaded");
}

TEST_F(Displace, HandlersOnANullLeaveNothingToDisplace) {
    std::string printed = run("AddNull Empty\nApplyServer DisplacementHandler dprobe_world\n"
                              "GoToFrame 2\n");
    EXPECT_EQ(count(printed, "evaluate"), 0u);
    EXPECT_FALSE(layout.scene().find("Empty")->currentPoints);
}

} // namespace
