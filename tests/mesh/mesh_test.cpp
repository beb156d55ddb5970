#include "host/common/host_error.h"
#include "host/mesh/mesh.h"
#include "host/mesh/obj_reader.h"
#include "host/mesh/obj_writer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

namespace {

using Indices = std::vector<std::uint32_t>;

std::string tempPath(const std::string& stem) {
    static int serial = 0;
    return testing::TempDir() + "mesh_" + std::to_string(getpid()) + "_" +
           std::to_string(++serial) + "_" + stem + ".obj";
}

std::string refusal(const host::Mesh& mesh) {
    try {
        host::checkMesh(mesh, "cage");
    } catch (const host::HostError& e) {
        return e.what();
    }
    return "";
}

host::Mesh triangle() {
    host::Mesh mesh;
    mesh.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.polygons = {{host::kPolygonFace, {0, 1, 2}}};
    return mesh;
}

TEST(Mesh, IdsPackTheFirstCharacterHighest) {
    EXPECT_EQ(host::kPolygonFace, 0x46414345u);
    EXPECT_EQ(host::kVMapWeight, 0x57474854u);
    EXPECT_EQ(host::makeId4('P', 'T', 'C', 'H'), 0x50544348u);
    EXPECT_EQ(host::id4Name(0x50544348u), "PTCH");
    EXPECT_EQ(host::id4Name(0x52474220u), "RGB ");
    EXPECT_EQ(host::id4Name(0x00FF4142u), "??AB");
}

TEST(Mesh, WeightTellsUnmappedFromZero) {
    host::Mesh mesh = triangle();
    mesh.weightMaps["arm"] = {{0, 0.0f}, {2, -1.5f}};
    EXPECT_EQ(mesh.weight("arm", 0), 0.0f);
    EXPECT_EQ(mesh.weight("arm", 2), -1.5f);
    EXPECT_FALSE(mesh.weight("arm", 1).has_value());
    EXPECT_FALSE(mesh.weight("leg", 0).has_value());
}

TEST(Mesh, CheckAcceptsAGoodMeshAndNamesEachFault) {
    EXPECT_EQ(refusal(triangle()), "");

    host::Mesh bad = triangle();
    bad.polygons.push_back({host::kPolygonFace, {0, 3}});
    EXPECT_EQ(refusal(bad), "cage: polygon 1 uses point 3 of 3");

    bad = triangle();
    bad.polygons.push_back({host::kPolygonFace, {}});
    EXPECT_EQ(refusal(bad), "cage: polygon 1 has no points");

    bad = triangle();
    bad.points[1].y = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(refusal(bad), "cage: point 1 is not finite");

    bad = triangle();
    bad.weightMaps["arm"] = {{5, 1.0f}};
    EXPECT_EQ(refusal(bad), "cage: weight map \"arm\" uses point 5 of 3");

    bad = triangle();
    bad.weightMaps["arm"] = {{1, std::numeric_limits<float>::infinity()}};
    EXPECT_EQ(refusal(bad), "cage: weight map \"arm\" has a non-finite value");
}

TEST(ObjWriter, WritesTheExpectedText) {
    host::Mesh mesh;
    mesh.points = {{0, 0.5f, -2}, {1, 0, 0}, {1, 1, 0}};
    mesh.polygons = {
        {host::kPolygonFace, {2}}, {host::kPolygonFace, {0, 1}}, {host::kPolygonFace, {0, 1, 2}}};
    std::string path = tempPath("text");
    host::writeObj(mesh, path);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "v 0 0.5 -2\nv 1 0 0\nv 1 1 0\np 3\nl 1 2\nf 1 2 3\n");
    std::remove(path.c_str());
}

TEST(ObjWriter, ReadsBackBitForBit) {
    host::Mesh mesh;
    // Values with no short decimal form, including a subnormal and the largest float.
    mesh.points = {{0.1f, -1.0f / 3.0f, 1e-7f},
                   {123456.789f, std::numeric_limits<float>::denorm_min(), -0.0f},
                   {std::numeric_limits<float>::max(), 2.0f / 3.0f, 7.0f},
                   {1, 2, 3},
                   {4, 5, 6}};
    mesh.polygons = {{host::kPolygonFace, {4}},
                     {host::kPolygonFace, {3, 0}},
                     {host::kPolygonFace, {0, 1, 2, 3, 4}},
                     {host::kPolygonFace, {4, 3, 2}}};
    std::string path = tempPath("round");
    host::writeObj(mesh, path);
    host::Mesh back = host::readObj(path);
    ASSERT_EQ(back.points.size(), mesh.points.size());
    for (std::size_t i = 0; i < mesh.points.size(); ++i) {
        EXPECT_EQ(std::memcmp(&back.points[i], &mesh.points[i], sizeof(host::Point)), 0) << i;
    }
    ASSERT_EQ(back.polygons.size(), mesh.polygons.size());
    for (std::size_t i = 0; i < mesh.polygons.size(); ++i)
        EXPECT_EQ(back.polygons[i].points, mesh.polygons[i].points) << i;
    std::remove(path.c_str());
}

TEST(ObjWriter, WritesGivenPositionsInPlaceOfTheRestPoints) {
    host::Mesh mesh = triangle();
    std::string path = tempPath("moved");
    host::writeObj(mesh, {{5, 5, 5}, {6, 5, 5}, {5, 6, 5}}, path);
    host::Mesh back = host::readObj(path);
    ASSERT_EQ(back.points.size(), 3u);
    EXPECT_EQ(back.points[1].x, 6.0f);
    EXPECT_EQ(back.points[2].y, 6.0f);
    EXPECT_EQ(back.polygons[0].points, (Indices{0, 1, 2}));
    std::remove(path.c_str());
}

TEST(ObjWriter, RefusesMismatchedOrNonFinitePositions) {
    host::Mesh mesh = triangle();
    std::string path = tempPath("refused");
    try {
        host::writeObj(mesh, {{0, 0, 0}}, path);
        FAIL() << "wrote 1 position for 3 points";
    } catch (const host::HostError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": 1 positions for 3 points");
    }
    try {
        host::writeObj(mesh, {{0, 0, 0}, {0, 0, 0}, {0, 0, std::nanf("")}}, path);
        FAIL() << "wrote a NaN position";
    } catch (const host::HostError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": cannot write a non-finite position");
    }
    EXPECT_FALSE(std::ifstream(path).good());
}

} // namespace
