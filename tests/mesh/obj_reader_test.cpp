#include "host/common/host_error.h"
#include "host/mesh/obj_reader.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

using Indices = std::vector<std::uint32_t>;

// Tests run as separate processes in parallel, so names carry the pid.
std::string tempPath(const std::string& stem) {
    static int serial = 0;
    return testing::TempDir() + "objr_" + std::to_string(getpid()) + "_" +
           std::to_string(++serial) + "_" + stem + ".obj";
}

std::string writeText(const std::string& stem, const std::string& text) {
    std::string path = tempPath(stem);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// The reader's message for the text, or "" when it loads.
std::string refusal(const std::string& text, std::string* pathOut = nullptr) {
    std::string path = writeText("bad", text);
    if (pathOut) *pathOut = path;
    try {
        host::readObj(path);
    } catch (const host::HostError& e) {
        std::remove(path.c_str());
        return e.what();
    }
    std::remove(path.c_str());
    return "";
}

TEST(ObjReader, LoadsPointLineFiveSidedAndQuadPolygonsInOrder) {
    std::string path = writeText("mixed", "# cage\n"
                                          "v 0 0 0\n"
                                          "v 1 0 0\n"
                                          "v 1 1 0\n"
                                          "v 0 1 0\n"
                                          "v 0.5 1.5 -2.25\n"
                                          "p 5\n"
                                          "l 1 2\n"
                                          "f 1 2 3 5 4\n"
                                          "f 4 3 2 1\n");
    host::Mesh mesh = host::readObj(path);
    ASSERT_EQ(mesh.points.size(), 5u);
    EXPECT_EQ(mesh.points[4].x, 0.5f);
    EXPECT_EQ(mesh.points[4].y, 1.5f);
    EXPECT_EQ(mesh.points[4].z, -2.25f);
    ASSERT_EQ(mesh.polygons.size(), 4u);
    EXPECT_EQ(mesh.polygons[0].points, (Indices{4}));
    EXPECT_EQ(mesh.polygons[1].points, (Indices{0, 1}));
    EXPECT_EQ(mesh.polygons[2].points, (Indices{0, 1, 2, 4, 3}));
    EXPECT_EQ(mesh.polygons[3].points, (Indices{3, 2, 1, 0}));
    for (const host::Polygon& poly : mesh.polygons)
        EXPECT_EQ(poly.type, 0x46414345u);
    EXPECT_TRUE(mesh.weightMaps.empty());
    std::remove(path.c_str());
}

TEST(ObjReader, NegativeIndicesCountBackFromTheLatestPoint) {
    std::string path = writeText("neg", "v 0 0 0\nv 1 0 0\nv 2 0 0\n"
                                        "f -3 -2 -1\n"
                                        "v 3 0 0\n"
                                        "f -1 -4 2\n");
    host::Mesh mesh = host::readObj(path);
    ASSERT_EQ(mesh.polygons.size(), 2u);
    EXPECT_EQ(mesh.polygons[0].points, (Indices{0, 1, 2}));
    EXPECT_EQ(mesh.polygons[1].points, (Indices{3, 0, 1}));
    std::remove(path.c_str());
}

TEST(ObjReader, TextureAndNormalIndicesAreAcceptedAndDropped) {
    std::string path = writeText("slash", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                                          "vt 0 0\nvt 1 0\nvt 1 1\n"
                                          "vn 0 0 1\n"
                                          "f 1/1/1 2/2/1 3/3/1\n"
                                          "f 1//1 3//1 4//1\n"
                                          "f 4/3 3/2 2/1\n"
                                          "f -1/-1/-1 -2/-2/-1 -3/-3/-1\n");
    host::Mesh mesh = host::readObj(path);
    ASSERT_EQ(mesh.polygons.size(), 4u);
    EXPECT_EQ(mesh.polygons[0].points, (Indices{0, 1, 2}));
    EXPECT_EQ(mesh.polygons[1].points, (Indices{0, 2, 3}));
    EXPECT_EQ(mesh.polygons[2].points, (Indices{3, 2, 1}));
    EXPECT_EQ(mesh.polygons[3].points, (Indices{3, 2, 1}));
    std::remove(path.c_str());
}

TEST(ObjReader, SkipsCommentsGroupsMaterialsAndCopesWithCrlfAndTabs) {
    std::string path = writeText("noise", "mtllib cage.mtl\r\n"
                                          "o Cage\r\n"
                                          "g left arm\r\n"
                                          "s off\r\n"
                                          "usemtl skin\r\n"
                                          "\r\n"
                                          "   # indented comment\r\n"
                                          "v\t1\t2\t3 # trailing comment\r\n"
                                          "v +4 5e-1 -6\r\n"
                                          "v 7 8 9 1.0\r\n"
                                          "f 1 2 3\r\n");
    host::Mesh mesh = host::readObj(path);
    ASSERT_EQ(mesh.points.size(), 3u);
    EXPECT_EQ(mesh.points[0].z, 3.0f);
    EXPECT_EQ(mesh.points[1].x, 4.0f);
    EXPECT_EQ(mesh.points[1].y, 0.5f);
    EXPECT_EQ(mesh.points[2].z, 9.0f);
    ASSERT_EQ(mesh.polygons.size(), 1u);
    EXPECT_EQ(mesh.polygons[0].points, (Indices{0, 1, 2}));
    std::remove(path.c_str());
}

TEST(ObjReader, SeveralPointsMakeOnePolygonEachAndPolylinesSplitIntoSegments) {
    std::string path = writeText("multi", "v 0 0 0\nv 1 0 0\nv 2 0 0\n"
                                          "p 1 3\n"
                                          "l 1 2 3\n");
    host::Mesh mesh = host::readObj(path);
    ASSERT_EQ(mesh.polygons.size(), 4u);
    EXPECT_EQ(mesh.polygons[0].points, (Indices{0}));
    EXPECT_EQ(mesh.polygons[1].points, (Indices{2}));
    EXPECT_EQ(mesh.polygons[2].points, (Indices{0, 1}));
    EXPECT_EQ(mesh.polygons[3].points, (Indices{1, 2}));
    std::remove(path.c_str());
}

TEST(ObjReader, BackslashJoinsLinesAndErrorsStillNameTheRightLine) {
    std::string path = writeText("cont", "v 0 0 0\nv 1 0 0\nv 1 \\\n 1 0\nf 1 2 \\\n3\n");
    host::Mesh mesh = host::readObj(path);
    ASSERT_EQ(mesh.points.size(), 3u);
    EXPECT_EQ(mesh.points[2].y, 1.0f);
    ASSERT_EQ(mesh.polygons.size(), 1u);
    EXPECT_EQ(mesh.polygons[0].points, (Indices{0, 1, 2}));
    std::remove(path.c_str());

    std::string bad;
    std::string message = refusal("v 0 0 0\nf 1 \\\n1\nf 9\n", &bad);
    EXPECT_EQ(message, bad + ":4: face index 9 out of range (1 points)");
}

TEST(ObjReader, ValuesThatRoundToTheLargestFloatAreKept) {
    std::string path = writeText("edge", "v 3.40282347e+38 -3.4028235e38 1e-50\n");
    host::Mesh mesh = host::readObj(path);
    ASSERT_EQ(mesh.points.size(), 1u);
    EXPECT_EQ(mesh.points[0].x, std::numeric_limits<float>::max());
    EXPECT_EQ(mesh.points[0].y, -std::numeric_limits<float>::max());
    EXPECT_EQ(mesh.points[0].z, 0.0f);
    std::remove(path.c_str());
}

TEST(ObjReader, EmptyFileIsAnEmptyMesh) {
    std::string path = writeText("empty", "");
    host::Mesh mesh = host::readObj(path);
    EXPECT_TRUE(mesh.points.empty());
    EXPECT_TRUE(mesh.polygons.empty());
    std::remove(path.c_str());
}

// Statements the reader does not read are skipped and counted, the first one
// named with its line; the geometry around them is read.
struct Lenient {
    const char* text;
    std::size_t points, polygons, skipped;
    const char* first;
    int line;
};

class ObjLenient : public testing::TestWithParam<Lenient> {};

TEST_P(ObjLenient, SkipsAndCountsWhatItDoesNotRead) {
    const Lenient& c = GetParam();
    std::string path = writeText("lenient", c.text);
    host::Mesh mesh = host::readObj(path);
    EXPECT_EQ(mesh.points.size(), c.points);
    EXPECT_EQ(mesh.polygons.size(), c.polygons);
    EXPECT_EQ(mesh.notes.unknownStatements, c.skipped);
    EXPECT_EQ(mesh.notes.firstUnknown, c.first);
    EXPECT_EQ(mesh.notes.firstUnknownLine, c.line);
    if (c.skipped > 0)
        EXPECT_EQ(host::readWarning(path, mesh.notes),
                  path + ": skipped " + std::to_string(c.skipped) +
                      (c.skipped == 1 ? " statement" : " statements") + " not read (the first '" +
                      c.first + "' on line " + std::to_string(c.line) + ")");
    else
        EXPECT_EQ(host::readWarning(path, mesh.notes), "");
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Statements, ObjLenient,
    testing::Values(
        Lenient{"28388 56772 0\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", 3, 1, 1, "28388", 1},
        Lenient{"v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvn 0 0 1\nf 1/1/1 2/2/1 3/1/1\n", 3, 1,
                3, "vt", 4},
        Lenient{"# made by hand\nmtllib a.mtl\no Arm\ng upper\ns 1\nusemtl skin\nv 0 0 0\np 1\n", 1,
                1, 5, "mtllib", 2},
        // Once refused as unknown; now skipped like any other statement.
        Lenient{"v 0 0 0\nfo 1\n", 1, 0, 1, "fo", 2},
        Lenient{"v 0 0 0\nv 1 \\\n 1 0\nvp 0.5\nl 1 2\n", 2, 1, 1, "vp", 4},
        Lenient{"v 0 0 0\r\n\r\n  # note\r\np 1\r\n", 1, 1, 0, "", 0}));

// A folder, or a path cut short by a NUL byte, is refused by name.
TEST(ObjRefusesLarge, FolderAndNulInThePath) {
    std::string folder = tempPath("folder");
    std::filesystem::create_directory(folder);
    const std::string cut = folder + std::string(1, '\0') + "x.obj";
    for (const std::string& path : {folder, cut}) {
        try {
            host::readObj(path);
            ADD_FAILURE() << "a folder loaded";
        } catch (const host::HostError& e) {
            std::string expect =
                path == cut ? folder + "\\0x.obj: cannot open file (the name holds a NUL byte)"
                            : folder + ": cannot open file (it is a folder)";
            EXPECT_EQ(e.what(), expect);
        }
    }
    std::filesystem::remove(folder);
}

struct BadObj {
    const char* text;
    const char* message; // after "path:"
};

class ObjRefuses : public testing::TestWithParam<BadObj> {};

TEST_P(ObjRefuses, WithFileLineAndReason) {
    std::string path;
    std::string message = refusal(GetParam().text, &path);
    EXPECT_EQ(message, path + ":" + GetParam().message);
}

std::string thirtyPoints() {
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "v " + std::to_string(i) + " 0 0\n";
    return text;
}

const std::string kThirty = thirtyPoints() + "# faces\n";

INSTANTIATE_TEST_SUITE_P(
    BadInput, ObjRefuses,
    testing::Values(
        BadObj{"v 0 0 0\nv 1 0 0\nf 1 2 3\n", "3: face index 3 out of range (2 points)"},
        BadObj{"v 0 0 0\nf 1 0\n", "2: face index 0 is not allowed (indices start at 1)"},
        BadObj{"v 0 0 0\nv 1 0 0\nf -3 1\n", "3: face index -3 out of range (2 points)"},
        BadObj{"f 1\nv 0 0 0\n", "1: face index 1 out of range (0 points)"},
        BadObj{"v 0 0 0\nf 1 two\n", "2: face index 'two' is not a number"},
        BadObj{"v 0 0 0\nf 1.5\n", "2: face index '1.5' is not a number"},
        BadObj{"v 0 0 0\nf /1/1\n", "2: face index '/1/1' is not a number"},
        BadObj{"v 0 0 0\nf 1/x/1\n", "2: face index '1/x/1' is not a number"},
        BadObj{"v 0 0 0\nf 1/1/1/1\n", "2: face index '1/1/1/1' has too many parts"},
        BadObj{"v 0 0 0\np 2\n", "2: point index 2 out of range (1 points)"},
        BadObj{"v 0 0 0\nl 1 7\n", "2: line index 7 out of range (1 points)"},
        BadObj{"v 0 0 0\nl 1\n", "2: l needs at least 2 vertices"},
        BadObj{"v 0 0 0\nf\n", "2: f has no vertices"},
        BadObj{"v 0 0 0\np # nothing\n", "2: p has no vertices"},
        BadObj{"v 1 2\n", "1: v needs 3 coordinates, got 2"},
        BadObj{"v\n", "1: v needs 3 coordinates, got 0"},
        BadObj{"v 1 y 3\n", "1: coordinate 'y' is not a number"},
        BadObj{"v 1 2 3x\n", "1: coordinate '3x' is not a number"},
        BadObj{"v 1 2 3 w\n", "1: coordinate 'w' is not a number"},
        BadObj{"v 0 0 0\nv nan 0 0\n", "2: coordinate 'nan' is not finite"},
        BadObj{"v 0 inf 0\n", "1: coordinate 'inf' is not finite"},
        BadObj{"v 0 0 1e39\n", "1: coordinate '1e39' is out of range"},
        BadObj{"v 0 0 1e400\n", "1: coordinate '1e400' is out of range"},
        BadObj{"v 0 0 3.4028236e38\n", "1: coordinate '3.4028236e38' is out of range"},
        BadObj{"28388 56772 0\nvt 0 0\nv 1 x 3\n", "3: coordinate 'x' is not a number"},
        BadObj{"g arm\nv 0 0 0\nusemtl skin\nf 1 2\n", "4: face index 2 out of range (1 points)"},
        BadObj{"\x7f"
               "ELF\n",
               "1: unknown statement '\x7f"
               "ELF'"},
        BadObj{"cstype bspline\n", "1: free-form geometry ('cstype') is not supported"}));

TEST(ObjRefusesLarge, OutOfRangeIndexNamesThePointCount) {
    std::string path;
    std::string message = refusal(kThirty + "f 1 2 40\n", &path);
    EXPECT_EQ(message, path + ":32: face index 40 out of range (30 points)");
}

TEST(ObjRefusesLarge, MissingFile) {
    std::string path = tempPath("absent");
    try {
        host::readObj(path);
        FAIL() << "a missing file loaded";
    } catch (const host::HostError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": cannot open file");
    }
}

} // namespace
