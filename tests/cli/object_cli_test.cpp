// Object files end to end through the morvane program: the format told by
// content, subdivision cages and skipped polygons, lenient OBJ, and files
// that cannot be read.
#include "cli_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The path as LoadObject names it in messages: absolute and normal.
std::string normal(const std::string& path) {
    return shownPath(std::filesystem::path(path).lexically_normal().string());
}

// A 2 x 2 x 2 cube as an LWO2 file of one layer: six PTCH quads and one CURV.
std::string patchCube() {
    std::string body;
    auto u2 = [&body](unsigned v) {
        body += char(v >> 8);
        body += char(v & 0xFF);
    };
    auto u4 = [&](std::uint32_t v) {
        u2(v >> 16);
        u2(v & 0xFFFF);
    };
    auto f4 = [&](float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u4(bits);
    };
    auto chunk = [&](const char* tag, const std::string& data) {
        body += tag;
        u4(std::uint32_t(data.size()));
        body += data;
    };
    std::string saved;
    auto begin = [&] { saved.swap(body), body.clear(); };
    auto end = [&] {
        std::string data = body;
        body = saved;
        return data;
    };
    body = "LWO2";
    begin();
    u2(0), u2(0), f4(0), f4(0), f4(0), u2(0); // LAYR 0, no name
    chunk("LAYR", end());
    begin();
    const float corners[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                                 {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
    for (const auto& c : corners)
        f4(c[0]), f4(c[1]), f4(c[2]);
    chunk("PNTS", end());
    begin();
    body += "PTCH";
    const unsigned quads[6][4] = {{0, 1, 2, 3}, {4, 7, 6, 5}, {0, 3, 7, 4},
                                  {1, 5, 6, 2}, {0, 4, 5, 1}, {3, 2, 6, 7}};
    for (const auto& q : quads) {
        u2(4);
        for (unsigned i : q)
            u2(i);
    }
    chunk("POLS", end());
    begin();
    body += "CURV";
    u2(3), u2(0), u2(1), u2(2);
    chunk("POLS", end());
    return "FORM" + std::string{char(0), char(0), char(body.size() >> 8), char(body.size())} + body;
}

TEST(ObjectFiles, PatchCubeByContentMakesACageOfSixQuads) {
    // Named .dat: the content, not the name, says LWO2.
    std::string cube = script("patch_cube.dat", patchCube());
    std::string name = "morvane_cli_" + std::to_string(getpid()) + "_patch_cube";
    Outcome r =
        morvane("run " + script("patch.script", "LoadObject " + cube + "\nDump " + name +
                                                    "\nRespond OK \"Reference Object=" + name +
                                                    "\"\nGeneric \"Morvane Add\"\n"
                                                    "Dump _Cage\n"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("warning: " + normal(cube) + ": skipped 1 CURV polygon\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"name\":\"" + name + "\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"points\":8,\"polygons\":6"), std::string::npos) << r.out;
    // The cage record: 8 points, no linegons or trigons, 6 polygons.
    std::string cage = r.out.substr(r.out.find("{\"name\":\"_Cage\""));
    EXPECT_NE(cage.find("\"8\""), std::string::npos) << cage;
    EXPECT_NE(cage.find("\"0\",\"0\",\"6\""), std::string::npos) << cage;
}

TEST(ObjectFiles, LenientObjWarnsOnceAndTextNamedLwoIsObj) {
    std::string obj = script("counted.lwo", "28388 56772 0\nmtllib m.mtl\nv 0 0 0\nv 1 0 0\n"
                                            "v 0 1 0\nvn 0 0 1\ng tri\nf 1//1 2//1 3//1\n");
    Outcome r = morvane("run " + script("obj.script", "LoadObject " + obj + "\n"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "warning: " + normal(obj) +
                         ": skipped 4 statements not read (the first '28388' on line 1)\n");
}

TEST(ObjectFiles, FoldersAndUnreadableLayersAreOneLineErrors) {
    std::string folder = std::string(MORVANE_SOURCE_DIR) + "/examples";
    struct Case {
        std::string text, error;
    } cases[] = {
        {"LoadObject " + folder + "\n",
         "1: LoadObject: " + shownPath(folder) + ": cannot open file (it is a folder)"},
        {"LoadObjectLayer 1 " + folder + "\n",
         "1: LoadObjectLayer: " + shownPath(folder) + ": cannot open file (it is a folder)"},
        {"LoadObjectLayer 2 " + folder + "/arm.obj\n",
         "1: LoadObjectLayer: " + shownPath(folder + "/arm.obj") +
             ": an OBJ file has only layer 1"},
        {"LoadObjectLayer 0 " + folder + "/arm.obj\n",
         "1: LoadObjectLayer: layer 0 is out of range (1 to 65536)"},
    };
    for (const Case& c : cases) {
        std::string path = script("bad_object.script", c.text);
        Outcome r = morvane("run " + path);
        EXPECT_NE(r.status, 0) << c.text;
        EXPECT_EQ(r.err, "morvane: " + path + ":" + c.error + "\n") << c.text;
    }
}

// A scene whose object path names a folder, directly or cut short by a NUL
// byte, is refused with one line; the program does not abort.
TEST(ObjectFiles, SceneObjectPathsNamingAFolderAreOneLineErrors) {
    std::string folder = tempPath("scene_objects");
    std::filesystem::create_directories(folder);
    const std::string nul(1, '\0');
    struct Case {
        std::string path, shown, why;
    } cases[] = {{folder, folder, "it is a folder"},
                 {folder + nul + "/arm.lwo", folder + "\\0/arm.lwo", "the name holds a NUL byte"}};
    for (const Case& c : cases) {
        std::string scene =
            script("folder.lws", "LWSC\n5\n\nLoadObjectLayer 1 10000000 " + c.path + "\n");
        Outcome r = morvane("render " + scene + " --out " + tempPath("folder_out"));
        EXPECT_EQ(r.status, 1) << c.shown;
        EXPECT_EQ(r.err, "morvane: LoadScene: " + normal(scene) + ":4: cannot load the object: " +
                             c.shown + ": cannot open file (" + c.why + ")\n");
        EXPECT_EQ(r.out, "");
    }
    std::filesystem::remove_all(folder);
}

// A scene's objects warn as LoadObject does: one line per file, however many
// items share it.
TEST(ObjectFiles, SceneObjectsWarnOncePerFile) {
    std::string cube = normal(script("scene_patch.lwo", patchCube()));
    std::string obj =
        normal(script("scene_tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1 2 3\n"));
    std::string scene =
        normal(script("warn.lws", "LWSC\n5\n\nLoadObjectLayer 1 10000000 " + cube +
                                      "\nLoadObjectLayer 1 10000001 " + obj +
                                      "\nLoadObjectLayer 1 10000002 " + cube + "\n"));
    Outcome r = morvane("run " + script("warn.script", "LoadScene " + scene + "\n"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "warning: " + cube + ": skipped 1 CURV polygon\nwarning: " + obj +
                         ": skipped 1 statement not read (the first 'vt' on line 4)\n");
}

} // namespace
