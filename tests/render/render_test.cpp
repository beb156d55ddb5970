// morvane render and demo: frames written per deformed object, the summary
// line, points that follow the cage's keys, and refused arguments.
#include "host/view/raster.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Runs the program from workDir through the shell.
Outcome morvane(const std::string& args, const std::string& workDir = "/") {
    std::string errFile =
        testing::TempDir() + "/morvane_render_" + std::to_string(getpid()) + ".err";
    std::string command =
        "cd '" + workDir + "' && " + std::string(MORVANE_APP_PATH) + " " + args + " 2>" + errFile;
    Outcome run{};
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errFile);
    run.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return run;
}

std::string motion() {
    std::string s = "ObjectMotion\nNumChannels 9\n";
    for (int c = 0; c < 9; ++c)
        s += "Channel " + std::to_string(c) + "\n{ Envelope\n  1\n  Key " + (c >= 6 ? "1" : "0") +
             " 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n";
    return s;
}

// A fresh folder holding tube.obj (3 rings of 4 points) and scene.lws: the
// tube deformed by a box cage whose keys at frames 0, 1 and 2 (10 fps)
// translate every cage point by 0, step and 2 * step.
class RenderScene : public testing::Test {
  protected:
    void SetUp() override {
        dir = fs::path(testing::TempDir()) /
              ("morvane_render_" + std::to_string(getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "scenes");
        std::ofstream obj(dir / "scenes/tube.obj");
        for (int ring = 0; ring < 3; ++ring)
            for (int s = 0; s < 4; ++s)
                obj << "v "
                    << (s == 0   ? 0.3
                        : s == 2 ? -0.3
                                 : 0)
                    << " " << -0.4 + 0.4 * ring << " "
                    << (s == 1   ? 0.3
                        : s == 3 ? -0.3
                                 : 0)
                    << "\n";
        for (int ring = 0; ring < 2; ++ring)
            for (int s = 0; s < 4; ++s) {
                int a = ring * 4 + s + 1, b = ring * 4 + (s + 1) % 4 + 1;
                obj << "f " << a << " " << a + 4 << " " << b + 4 << " " << b << "\n";
            }
        obj.close();

        std::ostringstream cage;
        cage << "1.12\n0 0 1 0 0 0\n\"name\"\n0.001 0.0099999998\n0\n0\n1 0.8 0\n0 0 0\n0.12 0\n"
                "-40\n16\n0\n\"\"\n8\n";
        for (int key = 0; key < 3; ++key) {
            cage << 0.1 * key << "\n0\n";
            for (int p = 0; p < 8; ++p)
                cage << step[0] * key << " " << step[1] * key << " " << step[2] * key << "\n";
        }
        cage << "-1e+20\n";
        for (int p = 0; p < 8; ++p)
            cage << (p & 1 ? 1 : -1) << " " << (p & 2 ? 1 : -1) << " " << (p & 4 ? 1 : -1) << "\n";
        cage << "0\n0\n6\n0 2 3 1\n4 5 7 6\n0 1 5 4\n2 6 7 3\n0 4 6 2\n1 3 7 5\n";

        std::ofstream scene(dir / "scenes/scene.lws");
        scene << "LWSC\n5\n\nFirstFrame 0\nLastFrame 2\nFrameStep 1\nPreviewFirstFrame 0\n"
                 "PreviewLastFrame 2\nPreviewFrameStep 1\nCurrentFrame 0\nFramesPerSecond 10\n\n"
                 "LoadObjectLayer 1 10000000 tube.obj\nShowObject 5 3\n"
              << motion()
              << "Plugin DisplacementHandler 1 Zentrik_Morvane\n1.12\n\"name\"\nEndPlugin\n"
                 "ShadowOptions 7\n\nAddNullObject 10000001 Box\nShowObject 5 3\n"
              << motion() << "Plugin CustomObjHandler 1 Zentrik_Morvane\n"
              << cage.str() << "EndPlugin\nShadowOptions 7\n";
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string scenePath() const { return (dir / "scenes/scene.lws").string(); }
    std::string out() const { return (dir / "out").string(); }

    fs::path dir;
    const double step[3] = {0.25, 0.5, -0.125};
};

std::vector<std::array<double, 3>> vertices(const fs::path& path) {
    std::vector<std::array<double, 3>> v;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        std::array<double, 3> p;
        if (std::sscanf(line.c_str(), "v %lf %lf %lf", &p[0], &p[1], &p[2]) == 3) v.push_back(p);
    }
    return v;
}

std::vector<std::string> filesIn(const fs::path& dir) {
    std::vector<std::string> names;
    if (fs::exists(dir))
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(RenderScene, WritesEveryFrameTheSceneAndTheSummary) {
    Outcome r = morvane("render " + scenePath() + " --frames 0-2 --out " + out());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(filesIn(out()), (std::vector<std::string>{"scene.lws", "tube_0000.obj",
                                                        "tube_0001.obj", "tube_0002.obj"}));
    for (int f = 0; f < 3; ++f)
        EXPECT_EQ(vertices(dir / "out" / ("tube_000" + std::to_string(f) + ".obj")).size(), 12u);
    EXPECT_TRUE(
        std::regex_match(r.out, std::regex("frames 3, points 12, cages 1, [0-9]+\\.[0-9]{4} "
                                           "seconds per frame, [0-9]+ points per second\n")))
        << r.out;
    EXPECT_NE(r.err.find("frame 2/2"), std::string::npos) << r.err;

    // The saved scene loads again with its cage and deformer.
    std::ifstream saved(dir / "out/scene.lws");
    std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Plugin CustomObjHandler 1 Zentrik_Morvane"), std::string::npos);
    EXPECT_NE(text.find("Plugin DisplacementHandler 1 Zentrik_Morvane"), std::string::npos);
}

TEST_F(RenderScene, PicturesShowTheWindowAtEveryFrame) {
    Outcome r = morvane("render " + scenePath() + " --frames 0-2 --pictures --out " + out());
    ASSERT_EQ(r.status, 0) << r.err;
    host::Raster previous(0, 0);
    for (int f = 0; f < 3; ++f) {
        host::Raster picture(0, 0);
        std::string why;
        ASSERT_TRUE(host::readPng(
            (dir / "out" / ("view_000" + std::to_string(f) + ".png")).string(), picture, why))
            << why;
        EXPECT_EQ(picture.width(), 1280);
        EXPECT_EQ(picture.height(), 960);
        // The tube moves with the cage: every frame looks different.
        if (f > 0) {
            EXPECT_NE(picture.rgba(), previous.rgba()) << f;
        }
        previous = picture;
    }
}

TEST(RenderDemo, TheContactSheetShowsTwelveFramesWithTheirNumbers) {
    const fs::path out = fs::temp_directory_path() / ("morvane_demo_" + std::to_string(getpid()));
    fs::remove_all(out);
    Outcome r = morvane("demo --frames 0-22 --out " + out.string());
    ASSERT_EQ(r.status, 0) << r.err;
    host::Raster sheet(0, 0);
    std::string why;
    ASSERT_TRUE(host::readPng((out / "contact.png").string(), sheet, why)) << why;
    const int columns = 4, rows = 3, cellW = 400, cellH = 300, gap = 8,
              label = host::Raster::textHeight() + 8;
    EXPECT_EQ(sheet.width(), columns * (cellW + gap) + gap);
    EXPECT_EQ(sheet.height(), rows * (cellH + label + gap) + gap);
    // Every cell holds a picture and a label under it; the bent frames'
    // cells differ from the first.
    const host::Rgba background = sheet.pixel(2, 2);
    auto differs = [&](int x0, int y0, int w, int h, const host::Raster& from, int fx, int fy) {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                host::Rgba a = sheet.pixel(x0 + x, y0 + y), b = from.pixel(fx + x, fy + y);
                n += a.r != b.r || a.g != b.g || a.b != b.b;
            }
        return n;
    };
    host::Raster plain(cellW, label);
    plain.clear(background);
    for (int k = 0; k < columns * rows; ++k) {
        const int x = gap + (k % columns) * (cellW + gap),
                  y = gap + (k / columns) * (cellH + label + gap);
        EXPECT_GT(differs(x, y + cellH, cellW, label, plain, 0, 0), 50) << "label of cell " << k;
        if (k > 0) {
            EXPECT_GT(differs(x, y, cellW, cellH, sheet, gap, gap), 1000) << "cell " << k;
        }
    }
    fs::remove_all(out);
}

TEST_F(RenderScene, PointsFollowTheCageKeys) {
    Outcome r = morvane("render " + scenePath() + " --frames 0-2 --out " + out());
    ASSERT_EQ(r.status, 0) << r.err;
    auto f0 = vertices(dir / "out/tube_0000.obj");
    auto f1 = vertices(dir / "out/tube_0001.obj");
    auto f2 = vertices(dir / "out/tube_0002.obj");
    ASSERT_EQ(f0.size(), 12u);
    ASSERT_EQ(f1.size(), 12u);
    ASSERT_EQ(f2.size(), 12u);
    // Frame 0 is the rest shape: the first point is where the file put it.
    EXPECT_NEAR(f0[0][0], 0.3, 1e-5);
    EXPECT_NEAR(f0[0][1], -0.4, 1e-5);
    for (size_t p = 0; p < 12; ++p)
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(f1[p][c] - f0[p][c], step[c], 1e-4) << "point " << p << " axis " << c;
            EXPECT_NEAR(f2[p][c] - f0[p][c], 2 * step[c], 1e-4) << "point " << p << " axis " << c;
        }
}

TEST_F(RenderScene, DefaultsToTheScenesFrameRangeFromAnyFolder) {
    // tube.obj is named relative to the scene; the program runs elsewhere.
    Outcome r = morvane("render scenes/scene.lws --out out", dir.string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("frames 3, points 12, cages 1, ", 0), 0u) << r.out;
    EXPECT_EQ(filesIn(out()).size(), 4u);

    Outcome one = morvane("render " + scenePath() + " --frames 1-1 --out " + out() + "/one");
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(filesIn(out() + "/one"), (std::vector<std::string>{"scene.lws", "tube_0001.obj"}));
}

TEST_F(RenderScene, BadArgumentsFailWithOneLineAndWriteNothing) {
    struct Case {
        std::string args, error;
    } cases[] = {
        {"render " + scenePath() + " --frames 5-2 --out " + out(),
         "morvane: bad frame range '5-2': the last frame comes before the first\n"},
        {"render " + scenePath() + " --frames x --out " + out(),
         "morvane: bad frame range 'x' (want A-B, e.g. 0-90)\n"},
        {"render " + scenePath() + " --frames --out " + out(),
         "morvane: bad frame range '--out' (want A-B, e.g. 0-90)\n"},
        {"render " + (dir / "nope.lws").string() + " --out " + out(),
         "morvane: " + (dir / "nope.lws").string() + ": no such scene file\n"},
        {"render --out " + out(),
         "morvane: usage: morvane render SCENE [--frames A-B] [--out DIR] [--pictures] "
         "[--module FILE]\n"},
        {"render " + scenePath() + " extra --out " + out(),
         "morvane: unexpected argument 'extra'; usage: morvane render SCENE [--frames A-B] "
         "[--out DIR] [--pictures] [--module FILE]\n"},
        {"demo " + scenePath(), "morvane: unexpected argument '" + scenePath() +
                                    "'; usage: morvane demo [--out DIR] [--frames A-B] "
                                    "[--module FILE]\n"},
    };
    for (const Case& c : cases) {
        Outcome r = morvane(c.args);
        EXPECT_NE(r.status, 0) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_EQ(r.err, c.error) << c.args;
        EXPECT_FALSE(fs::exists(out())) << c.args;
    }
}

TEST_F(RenderScene, AnOutputThatIsAFileIsRefused) {
    std::ofstream(out()) << "not a folder\n";
    Outcome r = morvane("render " + scenePath() + " --out " + out());
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.err, "morvane: " + out() + ": exists and is not a folder\n");
    EXPECT_TRUE(fs::is_regular_file(out()));
}

TEST_F(RenderScene, AFailedLoadLeavesNoOutputFolder) {
    // The deformed object the scene names is gone: the scene loads with it
    // kept empty and a warning, and the render fails before any frame.
    fs::remove(dir / "scenes/tube.obj");
    Outcome r = morvane("render " + scenePath() + " --out " + out());
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.out, "");
    std::string message = "cannot open " + (dir / "scenes/tube.obj").string() +
                          " (No such file or directory); kept as an empty object\n";
    EXPECT_EQ(r.err.rfind("warning: " + scenePath() + ":", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
    size_t second = r.err.find('\n') + 1;
    EXPECT_EQ(r.err.substr(r.err.size() - message.size()), message) << r.err;
    EXPECT_EQ(r.err.substr(second, 9), "morvane: ") << r.err;
    EXPECT_FALSE(fs::exists(out()));
}

TEST_F(RenderScene, ASceneOfAVerticalTabRendersNothing) {
    // A line blank apart from \v: read as blank, not as a statement.
    std::string path = (dir / "scenes/tab.lws").string();
    std::ofstream(path, std::ios::binary) << std::string("LWSC\n4\n\v", 8);
    Outcome r = morvane("render " + path + " --frames 1-1 --out " + out());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("frames 1, points 0, cages 0,", 0), 0u) << r.out;
    EXPECT_NE(r.err.find("has no deformed objects"), std::string::npos) << r.err;
}

TEST(RenderHelp, NamesTheVerbsAndTheSummary) {
    Outcome r = morvane("help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("render SCENE [--frames A-B] [--out DIR] [--pictures] [--module FILE]"),
              std::string::npos);
    EXPECT_NE(r.out.find("demo [--out DIR]"), std::string::npos);
    EXPECT_NE(r.out.find("frames N, points P, cages C, S seconds per frame, Q points per second"),
              std::string::npos);
}

} // namespace
