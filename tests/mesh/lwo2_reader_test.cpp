#include "host/commands/commands.h"
#include "host/host.h"
#include "host/common/host_error.h"
#include "host/mesh/lwo2_reader.h"
#include "host/mesh/object_file.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Indices = std::vector<std::uint32_t>;

std::string tempPath(const std::string& stem) {
    static int serial = 0;
    return testing::TempDir() + "lwo2r_" + std::to_string(getpid()) + "_" +
           std::to_string(++serial) + "_" + stem + ".lwo";
}

std::string writeBytes(const std::string& stem, const Bytes& bytes) {
    std::string path = tempPath(stem);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

// Big-endian field writers for building files by hand.
struct Data {
    Bytes b;
    Data& id(const char* tag) {
        b.insert(b.end(), tag, tag + 4);
        return *this;
    }
    Data& u2(unsigned v) {
        b.push_back(std::uint8_t(v >> 8));
        b.push_back(std::uint8_t(v));
        return *this;
    }
    Data& u4(std::uint32_t v) {
        for (int s = 24; s >= 0; s -= 8)
            b.push_back(std::uint8_t(v >> s));
        return *this;
    }
    Data& f4(float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return u4(bits);
    }
    Data& vec(float x, float y, float z) { return f4(x).f4(y).f4(z); }
    Data& vx(std::uint32_t v) { return v < 0xFF00 ? u2(v) : u4(v | 0xFF000000u); }
    Data& s0(const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        b.push_back(0);
        if ((s.size() + 1) % 2) b.push_back(0);
        return *this;
    }
    Data& raw(std::initializer_list<int> bytes) {
        for (int v : bytes)
            b.push_back(std::uint8_t(v));
        return *this;
    }
};

// Tag, size, data and a pad byte when the size is odd.
Bytes chunk(const char* tag, const Data& data) {
    Data out;
    out.id(tag).u4(std::uint32_t(data.b.size()));
    out.b.insert(out.b.end(), data.b.begin(), data.b.end());
    if (data.b.size() % 2) out.b.push_back(0);
    return out.b;
}

Bytes form(const std::vector<Bytes>& chunks, const char* type = "LWO2") {
    Data body;
    body.id(type);
    for (const Bytes& c : chunks)
        body.b.insert(body.b.end(), c.begin(), c.end());
    Data out;
    out.id("FORM").u4(std::uint32_t(body.b.size()));
    out.b.insert(out.b.end(), body.b.begin(), body.b.end());
    return out.b;
}

Bytes layr(unsigned number, float px = 0, float py = 0, float pz = 0) {
    return chunk("LAYR", Data().u2(number).u2(0).vec(px, py, pz).s0(""));
}

// Points i = (i, 10 i, -i) so each is recognisable.
Bytes pnts(unsigned count) {
    Data d;
    for (unsigned i = 0; i < count; ++i)
        d.vec(float(i), float(10 * i), -float(i));
    return chunk("PNTS", d);
}

Bytes pols(const char* type, const std::vector<Indices>& polys) {
    Data d;
    d.id(type);
    for (const Indices& p : polys) {
        d.u2(unsigned(p.size()));
        for (std::uint32_t i : p)
            d.vx(i);
    }
    return chunk("POLS", d);
}

std::string refusal(const Bytes& bytes, std::string* pathOut = nullptr) {
    std::string path = writeBytes("bad", bytes);
    if (pathOut) *pathOut = path;
    try {
        host::readLwo2(path);
    } catch (const host::HostError& e) {
        std::remove(path.c_str());
        return e.what();
    }
    std::remove(path.c_str());
    return "";
}

// A cube written out byte by byte: LAYR 18, PNTS 96, the "cage" weight map
// (point 0 = 1.0, point 6 = 0.25) and six FACE quads; FORM size 238.
const Bytes kCube = {
    'F', 'O', 'R', 'M', 0x00, 0x00, 0x00, 0xEE, 'L', 'W', 'O', '2',
    // LAYR 18: number 0, flags 0, pivot 0 0 0, name ""
    'L', 'A', 'Y', 'R', 0x00, 0x00, 0x00, 0x12, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    // PNTS 96
    'P', 'N', 'T', 'S', 0x00, 0x00, 0x00, 0x60, 0xBF, 0x00, 0x00, 0x00, 0xBF, 0x00, 0x00, 0x00,
    0xBF, 0x00, 0x00, 0x00,                                                 // -.5 -.5 -.5
    0x3F, 0x00, 0x00, 0x00, 0xBF, 0x00, 0x00, 0x00, 0xBF, 0x00, 0x00, 0x00, //  .5 -.5 -.5
    0x3F, 0x00, 0x00, 0x00, 0xBF, 0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, //  .5 -.5  .5
    0xBF, 0x00, 0x00, 0x00, 0xBF, 0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, // -.5 -.5  .5
    0xBF, 0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, 0xBF, 0x00, 0x00, 0x00, // -.5  .5 -.5
    0x3F, 0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, 0xBF, 0x00, 0x00, 0x00, //  .5  .5 -.5
    0x3F, 0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, //  .5  .5  .5
    0xBF, 0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, // -.5  .5  .5
    // VMAP 24: WGHT, dim 1, "cage", (0, 1.0), (6, 0.25)
    'V', 'M', 'A', 'P', 0x00, 0x00, 0x00, 0x18, 'W', 'G', 'H', 'T', 0x00, 0x01, 'c', 'a', 'g', 'e',
    0x00, 0x00, 0x00, 0x00, 0x3F, 0x80, 0x00, 0x00, 0x00, 0x06, 0x3E, 0x80, 0x00, 0x00,
    // POLS 64: FACE, 6 x (00 04, 4 x VX)
    'P', 'O', 'L', 'S', 0x00, 0x00, 0x00, 0x40, 'F', 'A', 'C', 'E', 0x00, 0x04, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00, 0x00, 0x00, 0x04, 0x00, 0x05, 0x00, 0x01, 0x00,
    0x04, 0x00, 0x01, 0x00, 0x05, 0x00, 0x06, 0x00, 0x02, 0x00, 0x04, 0x00, 0x03, 0x00, 0x02, 0x00,
    0x06, 0x00, 0x07, 0x00, 0x04, 0x00, 0x00, 0x00, 0x03, 0x00, 0x07, 0x00, 0x04, 0x00, 0x04, 0x00,
    0x04, 0x00, 0x07, 0x00, 0x06, 0x00, 0x05};

TEST(Lwo2Reader, HandWrittenCubeGivesPointsFacesAndWeights) {
    ASSERT_EQ(kCube.size(), 246u);
    std::string path = writeBytes("cube", kCube);
    host::Mesh mesh = host::readLwo2(path);
    const float expect[8][3] = {{-.5f, -.5f, -.5f}, {.5f, -.5f, -.5f}, {.5f, -.5f, .5f},
                                {-.5f, -.5f, .5f},  {-.5f, .5f, -.5f}, {.5f, .5f, -.5f},
                                {.5f, .5f, .5f},    {-.5f, .5f, .5f}};
    ASSERT_EQ(mesh.points.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(mesh.points[i].x, expect[i][0]) << i;
        EXPECT_EQ(mesh.points[i].y, expect[i][1]) << i;
        EXPECT_EQ(mesh.points[i].z, expect[i][2]) << i;
    }
    const std::vector<Indices> faces = {{0, 1, 2, 3}, {0, 4, 5, 1}, {1, 5, 6, 2},
                                        {3, 2, 6, 7}, {0, 3, 7, 4}, {4, 7, 6, 5}};
    ASSERT_EQ(mesh.polygons.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(mesh.polygons[i].type, 0x46414345u);
        EXPECT_EQ(mesh.polygons[i].points, faces[i]) << i;
    }
    ASSERT_EQ(mesh.weightMaps.size(), 1u);
    EXPECT_EQ(mesh.weight("cage", 0), 1.0f);
    EXPECT_EQ(mesh.weight("cage", 6), 0.25f);
    for (std::uint32_t unmapped : {1u, 2u, 3u, 4u, 5u, 7u})
        EXPECT_FALSE(mesh.weight("cage", unmapped).has_value()) << unmapped;
    EXPECT_FALSE(mesh.weight("base", 0).has_value());
    std::remove(path.c_str());
}

// The cube loaded the way a person loads it, read back the way the module
// reads it: through Object Info's mesh info and Scene Objects.
TEST(Lwo2Reader, LoadedCubesWeightsReachTheModulesServices) {
    std::string path = writeBytes("cube", kCube);
    std::ostringstream out;
    host::Host layout(out);
    host::CommandInterpreter(layout).execute("LoadObject " + path);
    LWItemID cube = layout.scene().firstSelected();
    ASSERT_NE(cube, nullptr);

    auto* objects = static_cast<LWObjectInfo*>(layout.services().lookup("LW Object Info 7"));
    EXPECT_EQ(objects->numPoints(cube), 8);
    EXPECT_EQ(objects->numPolygons(cube), 6);
    LWMeshInfo* mesh = objects->meshInfo(cube, 0);
    ASSERT_NE(mesh, nullptr);
    ASSERT_NE(mesh->pntVLookup(mesh, LWVMAP_WGHT, "cage"), nullptr);

    struct Seen {
        LWMeshInfo* mesh;
        std::vector<int> mapped;
        std::vector<float> values;
    } seen{mesh, {}, {}};
    mesh->scanPoints(
        mesh,
        [](void* data, LWPntID point) -> size_t {
            auto* s = static_cast<Seen*>(data);
            float value = -1.0f;
            s->mapped.push_back(s->mesh->pntVGet(s->mesh, point, &value));
            s->values.push_back(value);
            return 0;
        },
        &seen);
    EXPECT_EQ(seen.mapped, (std::vector<int>{1, 0, 0, 0, 0, 0, 1, 0}));
    EXPECT_FLOAT_EQ(seen.values[0], 1.0f);
    EXPECT_FLOAT_EQ(seen.values[6], 0.25f);
    mesh->destroy(mesh);

    auto* sceneObjects = static_cast<LWObjectFuncs*>(layout.services().lookup("Scene Objects 6"));
    ASSERT_EQ(sceneObjects->numVMaps(LWVMAP_WGHT), 1);
    EXPECT_STREQ(sceneObjects->vmapName(LWVMAP_WGHT, 0), "cage");
    std::remove(path.c_str());
}

TEST(Lwo2Reader, SkipsOtherPolygonTypesOtherMapsAndUnknownChunks) {
    Bytes file = form({
        chunk("TAGS", Data().s0("Default")),
        layr(0),
        pnts(5),
        chunk("BBOX", Data().vec(0, 0, -4).vec(4, 40, 0)),
        chunk("VMAP", Data().id("MNVW").u2(1).s0("base").vx(4).f4(0.75f)),
        chunk("VMAP", Data().id("TXUV").u2(2).s0("uv").vx(1).f4(0.5f).f4(0.5f)),
        pols("PTCH", {{0, 1, 2, 3}}),
        chunk("PTAG", Data().id("SURF").vx(0).u2(0)),
        chunk("XYZW", Data().raw({1, 2, 3})), // odd size, padded
        chunk("VMAP", Data().id("WGHT").u2(1).s0("arm").vx(1).f4(-0.5f).vx(3).f4(2.0f)),
        pols("FACE", {{0, 1, 2}, {4}, {3, 4}, {0, 1, 2, 3, 4}}),
        pols("BONE", {{0, 1}}),
        pols("CURV", {{0, 1, 2}}),
        chunk("VMAP", Data().id("WGHT").u2(1).s0("leg").vx(2).f4(0.125f)),
        chunk("SURF", Data().s0("Default").s0("")),
    });
    std::string path = writeBytes("mixed", file);
    host::Mesh mesh = host::readLwo2(path);
    ASSERT_EQ(mesh.points.size(), 5u);
    EXPECT_EQ(mesh.points[3].y, 30.0f);
    // The PTCH quad is read as a polygon; the BONE and the CURV are counted.
    ASSERT_EQ(mesh.polygons.size(), 5u);
    EXPECT_EQ(mesh.polygons[0].type, host::kPolygonPatch);
    EXPECT_EQ(mesh.polygons[0].points, (Indices{0, 1, 2, 3}));
    EXPECT_EQ(mesh.polygons[1].points, (Indices{0, 1, 2}));
    EXPECT_EQ(mesh.polygons[2].points, (Indices{4}));
    EXPECT_EQ(mesh.polygons[3].points, (Indices{3, 4}));
    EXPECT_EQ(mesh.polygons[4].points, (Indices{0, 1, 2, 3, 4}));
    EXPECT_EQ(mesh.notes.skippedPolygons,
              (std::map<std::string, std::size_t>{{"BONE", 1}, {"CURV", 1}}));
    ASSERT_EQ(mesh.weightMaps.size(), 2u);
    EXPECT_EQ(mesh.weightMaps.at("arm").size(), 2u);
    EXPECT_EQ(mesh.weight("arm", 1), -0.5f);
    EXPECT_EQ(mesh.weight("arm", 3), 2.0f);
    EXPECT_FALSE(mesh.weight("arm", 0).has_value());
    EXPECT_EQ(mesh.weight("leg", 2), 0.125f);
    EXPECT_EQ(mesh.weightMaps.count("base"), 0u);
    std::remove(path.c_str());
}

TEST(Lwo2Reader, HighFlagBitsOfTheVertexCountAreMasked) {
    Bytes file =
        form({layr(0), pnts(3), chunk("POLS", Data().id("FACE").u2(0xFC00 | 3).u2(2).u2(1).u2(0))});
    std::string path = writeBytes("flags", file);
    host::Mesh mesh = host::readLwo2(path);
    ASSERT_EQ(mesh.polygons.size(), 1u);
    EXPECT_EQ(mesh.polygons[0].points, (Indices{2, 1, 0}));
    std::remove(path.c_str());
}

TEST(Lwo2Reader, FourByteIndicesAboveAndBelowTheSwitch) {
    const unsigned count = 70001;
    // 7 in both widths, the last 2-byte index, the first 4-byte one, and 70 000
    // written out as FF 01 11 70.
    Data polys;
    polys.id("FACE").u2(5).raw({0x00, 0x07}).raw({0xFF, 0x00, 0x00, 0x07}).raw({0xFE, 0xFF});
    polys.raw({0xFF, 0x00, 0xFF, 0x00}).raw({0xFF, 0x01, 0x11, 0x70});
    Data map;
    map.id("WGHT").u2(1).s0("far").raw({0xFF, 0x01, 0x11, 0x70}).f4(0.5f);
    map.raw({0xFF, 0x00, 0x00, 0x03}).f4(0.25f);
    Bytes file = form({layr(0), pnts(count), chunk("POLS", polys), chunk("VMAP", map)});
    std::string path = writeBytes("wide", file);
    host::Mesh mesh = host::readLwo2(path);
    ASSERT_EQ(mesh.points.size(), count);
    EXPECT_EQ(mesh.points[70000].x, 70000.0f);
    ASSERT_EQ(mesh.polygons.size(), 1u);
    EXPECT_EQ(mesh.polygons[0].points, (Indices{7, 7, 65279, 65280, 70000}));
    EXPECT_EQ(mesh.weight("far", 70000), 0.5f);
    EXPECT_EQ(mesh.weight("far", 3), 0.25f);
    EXPECT_EQ(mesh.weightMaps.at("far").size(), 2u);
    std::remove(path.c_str());
}

TEST(Lwo2Reader, SecondPntsInALayerIsNumberedFromItsOwnStart) {
    Bytes second = chunk("PNTS", Data().vec(100, 0, 0).vec(101, 0, 0));
    Bytes file = form({layr(0), pnts(3), pols("FACE", {{0, 1, 2}}), second, pols("FACE", {{1, 0}}),
                       chunk("VMAP", Data().id("WGHT").u2(1).s0("w").vx(1).f4(0.5f))});
    std::string path = writeBytes("two_pnts", file);
    host::Mesh mesh = host::readLwo2(path);
    ASSERT_EQ(mesh.points.size(), 5u);
    EXPECT_EQ(mesh.points[3].x, 100.0f);
    ASSERT_EQ(mesh.polygons.size(), 2u);
    EXPECT_EQ(mesh.polygons[1].points, (Indices{4, 3}));
    EXPECT_EQ(mesh.weight("w", 4), 0.5f);
    EXPECT_FALSE(mesh.weight("w", 1).has_value());
    std::remove(path.c_str());
}

Bytes twoLayers() {
    Bytes other = chunk("PNTS", Data().vec(7, 7, 7).vec(8, 8, 8));
    Bytes parented = chunk("LAYR", Data().u2(3).u2(1).vec(1, 2, 3).s0("hand").u2(0));
    return form({layr(0), pnts(3), pols("FACE", {{0, 1, 2}}),
                 chunk("VMAP", Data().id("WGHT").u2(1).s0("w").vx(2).f4(1.0f)), parented, other,
                 pols("FACE", {{1, 0}}),
                 chunk("VMAP", Data().id("WGHT").u2(1).s0("h").vx(1).f4(0.5f))});
}

TEST(Lwo2Reader, LoadsOnlyTheFirstLayerByDefault) {
    std::string path = writeBytes("layers", twoLayers());
    host::Mesh mesh = host::readLwo2(path);
    ASSERT_EQ(mesh.points.size(), 3u);
    ASSERT_EQ(mesh.polygons.size(), 1u);
    EXPECT_EQ(mesh.polygons[0].points, (Indices{0, 1, 2}));
    EXPECT_EQ(mesh.weightMaps.size(), 1u);
    EXPECT_EQ(mesh.weight("w", 2), 1.0f);
    std::remove(path.c_str());
}

TEST(Lwo2Reader, LoadsALayerByItsNumber) {
    std::string path = writeBytes("layers", twoLayers());
    host::Mesh mesh = host::readLwo2Layer(path, 3);
    ASSERT_EQ(mesh.points.size(), 2u);
    EXPECT_EQ(mesh.points[1].z, 8.0f);
    ASSERT_EQ(mesh.polygons.size(), 1u);
    EXPECT_EQ(mesh.polygons[0].points, (Indices{1, 0}));
    EXPECT_EQ(mesh.weightMaps.size(), 1u);
    EXPECT_EQ(mesh.weight("h", 1), 0.5f);
    EXPECT_EQ(mesh.pivot, (std::array<float, 3>{1, 2, 3}));

    EXPECT_EQ(host::readLwo2Layer(path, 0).points.size(), 3u);
    try {
        host::readLwo2Layer(path, 1);
        FAIL() << "layer 1 does not exist";
    } catch (const host::HostError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": has no layer 1");
    }
    std::remove(path.c_str());
}

TEST(Lwo2Reader, GeometryAheadOfAnyLayerIsTheFirstLayer) {
    Bytes file = form({pnts(2), pols("FACE", {{0, 1}}), layr(0), pnts(4)});
    std::string path = writeBytes("early", file);
    host::Mesh mesh = host::readLwo2(path);
    EXPECT_EQ(mesh.points.size(), 2u);
    EXPECT_EQ(mesh.polygons.size(), 1u);
    std::remove(path.c_str());
}

TEST(Lwo2Reader, PolygonIndexesRestartInANewLayer) {
    // Both layers are number 0 and so both load, but the second has no PNTS of
    // its own, so its POLS cannot use the first one's points.
    Bytes file = form({layr(0), pnts(3), layr(0), pols("FACE", {{0}})});
    std::string path = writeBytes("nopnts", file);
    try {
        host::readLwo2Layer(path, 0);
        FAIL() << "polygon without points loaded";
    } catch (const host::HostError& e) {
        EXPECT_EQ(std::string(e.what()),
                  path +
                      ": chunk POLS at offset 108: polygon 0 uses point 0 out of range (0 points)");
    }
    std::remove(path.c_str());
}

TEST(Lwo2Reader, LayersWithTheSameNumberAreMerged) {
    Bytes file =
        form({layr(0), pnts(3), layr(1), pnts(1), layr(0), pnts(2), pols("FACE", {{1, 0}})});
    std::string path = writeBytes("merged", file);
    host::Mesh mesh = host::readLwo2Layer(path, 0);
    ASSERT_EQ(mesh.points.size(), 5u);
    ASSERT_EQ(mesh.polygons.size(), 1u);
    EXPECT_EQ(mesh.polygons[0].points, (Indices{4, 3}));
    std::remove(path.c_str());
}

TEST(Lwo2Reader, ToleratesAMissingPadAfterTheLastChunk) {
    Bytes file = form({layr(0), pnts(1), chunk("ODDX", Data().raw({9}))});
    file.pop_back();
    file[7] = std::uint8_t(file[7] - 1); // FORM size follows the shorter file
    std::string path = writeBytes("nopad", file);
    EXPECT_EQ(host::readLwo2(path).points.size(), 1u);
    std::remove(path.c_str());
}

// The polygon kinds by what becomes of them: faces and subdivision cages are
// read with their type, the rest counted by type.
TEST(Lwo2Reader, PolygonKindsAreReadOrCounted) {
    // CURV: the four highest flag bits extend the count; 0x1000 | 2 is a
    // curve of 1024 + 2 points, all indexes 0. The start/end bits (0x0C00)
    // do not count.
    Data longCurve;
    longCurve.id("CURV").u2(0x1000 | 2);
    for (int i = 0; i < 1026; ++i)
        longCurve.u2(0);
    longCurve.u2(0x0C00 | 3).u2(0).u2(1).u2(2);
    Bytes file =
        form({layr(0), pnts(4), pols("SUBD", {{0, 1, 2, 3}, {3, 2, 1}}), chunk("POLS", longCurve),
              pols("MBAL", {{0}, {1}, {2}}), pols("PTCH", {{3, 2, 1, 0}}), pols("BONE", {{0, 1}}),
              pols("FACE", {{0, 1}}), pols("XYZW", {{0}})});
    std::string path = writeBytes("kinds", file);
    host::Mesh mesh = host::readLwo2(path);
    const std::vector<std::pair<host::Id4, Indices>> expect = {
        {host::kPolygonSubdivision, {0, 1, 2, 3}},
        {host::kPolygonSubdivision, {3, 2, 1}},
        {host::kPolygonPatch, {3, 2, 1, 0}},
        {host::kPolygonFace, {0, 1}}};
    ASSERT_EQ(mesh.polygons.size(), expect.size());
    for (std::size_t i = 0; i < expect.size(); ++i) {
        EXPECT_EQ(mesh.polygons[i].type, expect[i].first) << i;
        EXPECT_EQ(mesh.polygons[i].points, expect[i].second) << i;
    }
    EXPECT_EQ(mesh.notes.skippedPolygons, (std::map<std::string, std::size_t>{
                                              {"BONE", 1}, {"CURV", 2}, {"MBAL", 3}, {"XYZW", 1}}));
    EXPECT_EQ(host::readWarning(path, mesh.notes),
              path + ": skipped 1 BONE, 2 CURV, 3 MBAL and 1 XYZW polygons");
    EXPECT_EQ(host::readWarning(path, host::ReadNotes{}), "");
    std::remove(path.c_str());
}

// Four layers as a modeller saves a hierarchy: base (0), two children of it
// (1 named, 2 unnamed) and a grandchild (3) of layer 1; layer 0 says "no
// parent" with 0xFFFF.
Bytes hierarchy() {
    auto layer = [](unsigned number, const char* name, int parent) {
        Data d;
        d.u2(number).u2(0).vec(0, float(number), 0).s0(name);
        d.u2(parent < 0 ? 0xFFFFu : unsigned(parent));
        return chunk("LAYR", d);
    };
    return form({chunk("TAGS", Data().s0("Default")), layer(0, "base", -1), pnts(4),
                 pols("FACE", {{0, 1, 2, 3}}), layer(1, "arm", 0), pnts(3),
                 pols("PTCH", {{0, 1, 2}}), layer(2, "", 0), pnts(2), pols("FACE", {{0, 1}}),
                 layer(3, "hand", 1), pnts(5), pols("CURV", {{0, 1, 2}}),
                 pols("FACE", {{4, 3, 2, 1}})});
}

TEST(Lwo2Reader, LayersAreListedWithNamesAndParents) {
    std::string path = writeBytes("hierarchy", hierarchy());
    std::vector<host::Lwo2Layer> layers = host::lwo2Layers(path);
    ASSERT_EQ(layers.size(), 4u);
    const unsigned numbers[] = {0, 1, 2, 3};
    const char* names[] = {"base", "arm", "", "hand"};
    const std::optional<unsigned> parents[] = {std::nullopt, 0u, 0u, 1u};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(layers[i].number, numbers[i]) << i;
        EXPECT_EQ(layers[i].name, names[i]) << i;
        EXPECT_EQ(layers[i].parent, parents[i]) << i;
    }
    EXPECT_EQ(host::readLwo2Layer(path, 3).points.size(), 5u);
    EXPECT_EQ(host::readLwo2Layer(path, 3).notes.skippedPolygons.at("CURV"), 1u);
    std::remove(path.c_str());

    // Geometry ahead of any LAYR is a nameless layer 0 of its own.
    path = writeBytes("early_layers", form({pnts(2), layr(4), pnts(1)}));
    layers = host::lwo2Layers(path);
    ASSERT_EQ(layers.size(), 2u);
    EXPECT_EQ(layers[0].number, 0u);
    EXPECT_EQ(layers[1].number, 4u);
    EXPECT_FALSE(layers[1].parent.has_value());
    std::remove(path.c_str());
}

// The layered file loaded as a person loads it: one item per layer, named
// "stem:layer name" ("stem:Layer N" without a name), parented as the LAYR
// chunks say, and one warning line for the whole file.
TEST(Lwo2Reader, LoadObjectMakesAnItemPerLayerAndLoadObjectLayerOne) {
    std::string path = writeBytes("hier", hierarchy());
    std::string stem = std::filesystem::path(path).stem().string();
    std::ostringstream out;
    host::Host layout(out);
    host::CommandInterpreter run(layout);
    run.execute("LoadObject " + path);
    EXPECT_EQ(out.str(), "warning: " + path + ": skipped 1 CURV polygon\n");
    struct Expect {
        std::string name, parent;
        std::size_t points, polygons;
        unsigned layer;
    };
    const std::vector<Expect> items = {{stem + ":base", "", 4, 1, 1},
                                       {stem + ":arm", stem + ":base", 3, 1, 2},
                                       {stem + ":Layer 3", stem + ":base", 2, 1, 3},
                                       {stem + ":hand", stem + ":arm", 5, 1, 4}};
    ASSERT_EQ(layout.scene().items().size(), items.size());
    for (const Expect& e : items) {
        const host::Item* item = layout.scene().find(e.name);
        ASSERT_NE(item, nullptr) << e.name;
        const host::Item* parent = layout.scene().find(item->parent);
        EXPECT_EQ(parent ? parent->name : "", e.parent) << e.name;
        EXPECT_EQ(item->mesh->points.size(), e.points) << e.name;
        EXPECT_EQ(item->mesh->polygons.size(), e.polygons) << e.name;
        EXPECT_EQ(item->layer, e.layer) << e.name;
        EXPECT_EQ(item->path, path);
    }
    EXPECT_EQ(layout.scene().firstSelected(), layout.scene().find(stem + ":base")->id);

    // The patch layer alone, through polType as a module sees it.
    out.str("");
    run.execute("LoadObjectLayer 2 " + path);
    EXPECT_EQ(out.str(), "");
    ASSERT_EQ(layout.scene().items().size(), 5u);
    LWItemID arm = layout.scene().firstSelected();
    EXPECT_EQ(layout.scene().find(arm)->name, stem + ":arm");
    EXPECT_EQ(layout.scene().find(arm)->parent, nullptr);
    auto* objects = static_cast<LWObjectInfo*>(layout.services().lookup("LW Object Info 7"));
    LWMeshInfo* mesh = objects->meshInfo(arm, 0);
    ASSERT_NE(mesh, nullptr);
    struct Seen {
        LWMeshInfo* mesh;
        std::vector<LWID> types;
        std::vector<int> sizes;
    } seen{mesh, {}, {}};
    mesh->scanPolys(
        mesh,
        [](void* data, LWPolID pol) -> size_t {
            auto* s = static_cast<Seen*>(data);
            s->types.push_back(s->mesh->polType(s->mesh, pol));
            s->sizes.push_back(s->mesh->polSize(s->mesh, pol));
            return 0;
        },
        &seen);
    EXPECT_EQ(seen.types, (std::vector<LWID>{LWPOLTYPE_PTCH}));
    EXPECT_EQ(seen.sizes, (std::vector<int>{3}));
    mesh->destroy(mesh);
    std::remove(path.c_str());
}

// A saved scene names each layer it uses, and loading it again gives every
// item its own layer back, named as LoadObject named it.
TEST(Lwo2Reader, ASavedSceneKeepsEachItemsLayerAndName) {
    std::string path = writeBytes("hier_scene", hierarchy());
    std::string scenePath = path + ".lws";
    std::ostringstream out;
    host::Host layout(out);
    host::CommandInterpreter run(layout);
    run.execute("LoadObject " + path);
    auto layersAndPoints = [&]() {
        std::vector<std::tuple<std::string, unsigned, std::size_t>> seen;
        for (const host::Item* item : layout.scene().items())
            seen.emplace_back(item->name, item->layer, item->mesh->points.size());
        return seen;
    };
    const auto loaded = layersAndPoints();
    ASSERT_EQ(loaded.size(), 4u);
    run.execute("SaveSceneAs " + scenePath);
    run.execute("LoadScene " + scenePath);
    EXPECT_EQ(layersAndPoints(), loaded);
    std::remove(scenePath.c_str());
    std::remove(path.c_str());
}

// Files that must be refused, with the text after "path: ".
struct BadLwo {
    const char* name;
    Bytes bytes;
    std::string message;
};

Bytes goodSmall() {
    return form({layr(0), pnts(3), pols("FACE", {{0, 1, 2}})});
}

Bytes withFormSize(Bytes b, std::uint32_t size) {
    for (int i = 0; i < 4; ++i)
        b[4 + i] = std::uint8_t(size >> (24 - 8 * i));
    return b;
}

Bytes truncated(Bytes b, std::size_t keep) {
    b.resize(keep);
    return b;
}

std::vector<BadLwo> badFiles() {
    const Bytes good = goodSmall(); // 12 + 26 + 44 + 22 = 104 bytes
    std::vector<BadLwo> cases;
    cases.push_back({"empty", {}, "too short to be an LWO2 file (0 bytes)"});
    cases.push_back({"obj_text",
                     {'v', ' ', '1', ' ', '2', ' ', '3', '\n', 'f', ' ', '1', '\n'},
                     "not an IFF FORM file"});
    cases.push_back(
        {"lwob", form({pnts(1)}, "LWOB"), "is an LWOB (LightWave 5) object; only LWO2 is read"});
    cases.push_back({"lwlo", form({pnts(1)}, "LWLO"),
                     "is an LWLO (LightWave 5 layered) object; only LWO2 is read"});
    cases.push_back({"ilbm", form({}, "ILBM"), "not an LWO2 file (FORM type 'ILBM')"});
    cases.push_back({"form_big", withFormSize(good, 200),
                     "FORM size 200 disagrees with the file length (102 bytes, so 94)"});
    cases.push_back({"form_small", withFormSize(good, 92),
                     "FORM size 92 disagrees with the file length (102 bytes, so 94)"});
    cases.push_back({"cut", truncated(good, 100),
                     "FORM size 94 disagrees with the file length (100 bytes, so 92)"});
    cases.push_back({"cut_resized", withFormSize(truncated(good, 100), 92),
                     "chunk POLS runs past the end of the file"});
    cases.push_back({"cut_header", withFormSize(truncated(good, 86), 78),
                     "truncated chunk header at offset 82"});
    Bytes huge = good;
    huge[38 + 4] = 0x7F; // PNTS size 0x7F000024
    cases.push_back({"huge_chunk", huge, "chunk PNTS runs past the end of the file"});
    cases.push_back({"face_index", form({layr(0), pnts(3), pols("FACE", {{0, 1, 3}})}),
                     "chunk POLS at offset 82: polygon 0 uses point 3 out of range (3 points)"});
    cases.push_back({"face_before_points", form({layr(0), pols("FACE", {{0}})}),
                     "chunk POLS at offset 38: polygon 0 uses point 0 out of range (0 points)"});
    cases.push_back(
        {"face_short",
         form({layr(0), pnts(3), chunk("POLS", Data().id("FACE").u2(4).u2(0).u2(1).u2(2))}),
         "chunk POLS at offset 82 ends inside a polygon vertex"});
    cases.push_back(
        {"face_half_vx",
         form({layr(0), pnts(3), chunk("POLS", Data().id("FACE").u2(1).raw({0xFF, 0x00}))}),
         "chunk POLS at offset 82 ends inside a polygon vertex"});
    cases.push_back({"face_empty", form({layr(0), pnts(3), pols("FACE", {{0, 1, 2}, {}})}),
                     "chunk POLS at offset 82: polygon 1 has no vertices"});
    cases.push_back({"pols_no_type", form({layr(0), pnts(3), chunk("POLS", Data().raw({'F'}))}),
                     "chunk POLS at offset 82 ends inside the polygon type"});
    cases.push_back(
        {"vmap_index",
         form({layr(0), pnts(3), chunk("VMAP", Data().id("WGHT").u2(1).s0("w").vx(3).f4(1))}),
         "chunk VMAP at offset 82: weight map \"w\" refers to point 3 out of range (3 points)"});
    cases.push_back(
        {"vmap_dimension",
         form({layr(0), pnts(3), chunk("VMAP", Data().id("WGHT").u2(2).s0("w").vx(0).f4(1).f4(1))}),
         "chunk VMAP at offset 82: weight map \"w\" has dimension 2, expected 1"});
    cases.push_back({"vmap_nan",
                     form({layr(0), pnts(3),
                           chunk("VMAP", Data().id("WGHT").u2(1).s0("w").vx(0).u4(0x7FC00000))}),
                     "chunk VMAP at offset 82: weight map \"w\" has a value that is not finite"});
    cases.push_back(
        {"vmap_short",
         form({layr(0), pnts(3), chunk("VMAP", Data().id("WGHT").u2(1).s0("w").vx(0).u2(0))}),
         "chunk VMAP at offset 82 ends inside a weight map entry"});
    cases.push_back(
        {"vmap_name",
         form({layr(0), pnts(3), chunk("VMAP", Data().id("WGHT").u2(1).raw({'a', 'b'}))}),
         "chunk VMAP at offset 82: the map name has no terminating zero"});
    cases.push_back({"pnts_size", form({layr(0), chunk("PNTS", Data().vec(0, 0, 0).raw({0}))}),
                     "chunk PNTS at offset 38: size 13 is not a multiple of 12"});
    cases.push_back({"pnts_nan",
                     form({layr(0), chunk("PNTS", Data().vec(0, 0, 0).u4(0).u4(0x7FC00000).u4(0))}),
                     "chunk PNTS at offset 38: point 1 is not finite"});
    cases.push_back({"pnts_inf", form({layr(0), chunk("PNTS", Data().u4(0xFF800000).u4(0).u4(0))}),
                     "chunk PNTS at offset 38: point 0 is not finite"});
    cases.push_back({"layr_short", form({chunk("LAYR", Data().u2(0).u2(0).vec(0, 0, 0))}),
                     "chunk LAYR at offset 12: the layer name has no terminating zero"});
    return cases;
}

// The content picks the reader, whatever the file is called.
TEST(ObjectFile, FormatIsToldByContentNotName) {
    struct Case {
        const char* name;
        Bytes bytes;
        const char* kind;
        std::size_t points;  // when it loads
        const char* refusal; // after "path: ", when it does not
    };
    const std::string text = "v 0 0 0\nv 1 0 0\nf 1 2\n";
    const std::vector<Case> cases = {
        {"lwo_named.obj", goodSmall(), "lwo", 3, nullptr},
        {"lwo_named.txt", goodSmall(), "lwo", 3, nullptr},
        {"obj_named.lwo", Bytes(text.begin(), text.end()), "obj", 2, nullptr},
        {"lwob_named.obj", form({pnts(1)}, "LWOB"), "lwo", 0,
         "is an LWOB (LightWave 5) object; only LWO2 is read"},
        {"lwlo_named.obj", form({pnts(1)}, "LWLO"), "lwo", 0,
         "is an LWLO (LightWave 5 layered) object; only LWO2 is read"},
        {"short_form", {'F', 'O', 'R', 'M'}, "lwo", 0, "too short to be an LWO2 file (4 bytes)"},
        {"empty", {}, "obj", 0, nullptr},
    };
    for (const Case& c : cases) {
        std::string path = writeBytes("kind", c.bytes);
        std::string named = path + "_" + c.name;
        std::filesystem::rename(path, named);
        EXPECT_EQ(host::objectFileKind(named), c.kind) << c.name;
        try {
            host::Mesh mesh = host::readObjectLayer(named, 1);
            EXPECT_EQ(c.refusal, nullptr) << c.name;
            EXPECT_EQ(mesh.points.size(), c.points) << c.name;
            EXPECT_EQ(host::readObjectLayers(named).size(), 1u) << c.name;
        } catch (const host::HostError& e) {
            EXPECT_EQ(e.what(), named + ": " + (c.refusal ? c.refusal : "loads")) << c.name;
        }
        std::remove(named.c_str());
    }
}

TEST(Lwo2Refuses, DamagedAndForeignFiles) {
    for (const BadLwo& bad : badFiles()) {
        std::string path;
        std::string message = refusal(bad.bytes, &path);
        EXPECT_EQ(message, path + ": " + bad.message) << bad.name;
    }
}

TEST(Lwo2Refuses, MissingFile) {
    std::string path = tempPath("absent");
    try {
        host::readLwo2(path);
        FAIL() << "a missing file loaded";
    } catch (const host::HostError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": cannot open file");
    }
}

// A folder, or a path cut short by a NUL byte to name one, is refused by
// name instead of ending the program.
TEST(Lwo2Refuses, FolderAndNulInThePath) {
    std::string folder = tempPath("folder");
    std::filesystem::create_directory(folder);
    const std::string cut = folder + std::string(1, '\0') + "cube.lwo";
    for (const std::string& path : {folder, cut}) {
        try {
            host::readLwo2(path);
            ADD_FAILURE() << "a folder loaded";
        } catch (const host::HostError& e) {
            std::string expect =
                path == cut ? folder + "\\0cube.lwo: cannot open file (the name holds a NUL byte)"
                            : folder + ": cannot open file (it is a folder)";
            EXPECT_EQ(e.what(), expect);
        }
    }
    std::filesystem::remove(folder);
}

TEST(Lwo2Refuses, EveryShorterCutOfAGoodFile) {
    // Cutting a file anywhere must give an error, never a crash or a partial mesh.
    const Bytes good = goodSmall();
    for (std::size_t keep = 0; keep < good.size(); ++keep) {
        Bytes cut = truncated(good, keep);
        if (keep >= 8) cut = withFormSize(cut, std::uint32_t(keep - 8));
        // Cuts between chunks leave a shorter but whole file.
        bool whole = keep == 12 || keep == 38 || keep == 82;
        EXPECT_EQ(refusal(cut).empty(), whole) << keep;
    }
}

} // namespace
