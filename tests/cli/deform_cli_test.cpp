// The deformer end to end through the morvane program: a scene saved, its
// cage key edited in the file as a person could, loaded again and exported.
#include "cli_support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> linesOf(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Two copies of a point (as on a texture seam) under a cube cage whose
// corner (1, 1, 1) is raised: both land in the same place, and since the
// point lies on the cube's mirror plane x = y, so does its result.
TEST(DeformEndToEnd, CopiesOfAPointLandTogether) {
    script("cube.obj", "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
                       "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                       "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 5 1 4 8\n");
    script("pts.obj", "v 0.5 0.3 0.6\nv 0.4 0.4 0.6\nv 0.3 0.5 0.6\nv 0.4 0.4 0.6\np 1 2 3 4\n");
    const std::string tag = "morvane_cli_" + std::to_string(getpid());
    const std::string scene = tempPath("seam.lws"), out = tempPath("seam_out.obj");
    Outcome saved =
        morvane("run " + script("save.script", "LoadObject " + tempPath("cube.obj") +
                                                   "\nRespond OK \"Reference Object=" + tag +
                                                   "_cube\"\nGeneric \"Morvane "
                                                   "Add\"\nLoadObject " +
                                                   tempPath("pts.obj") +
                                                   "\nApplyServer DisplacementHandler "
                                                   "Zentrik_Morvane\nSaveSceneAs " +
                                                   scene + "\n"));
    ASSERT_EQ(saved.status, 0) << saved.err;

    // The cage's one key: after the point count 8, its time and break flag,
    // then a delta per point; point 6 is the corner (1, 1, 1).
    std::vector<std::string> lines = linesOf(scene);
    size_t at = 0;
    while (at < lines.size() && lines[at] != "Plugin CustomObjHandler 1 Zentrik_Morvane")
        ++at;
    ASSERT_LT(at + 23, lines.size());
    ASSERT_EQ(lines[at + 14], "8");
    lines[at + 17 + 6] = "0 0 0.5";
    std::ofstream edited(scene);
    for (const std::string& line : lines)
        edited << line << "\n";
    edited.close();

    Outcome run = morvane("run " + script("export.script", "LoadScene " + scene +
                                                               "\nGoToFrame 30\nExportObject " +
                                                               tag + "_pts " + out + "\n"));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> moved = linesOf(out);
    ASSERT_GE(moved.size(), 4u);
    EXPECT_EQ(moved[1], moved[3]);
    std::istringstream in(moved[1]);
    std::string v;
    double x = 0, y = 0, z = 0;
    in >> v >> x >> y >> z;
    EXPECT_EQ(x, y);
    EXPECT_GT(z, 0.85); // it did move up with the corner
    std::remove(scene.c_str());
    std::remove(out.c_str());
}

} // namespace
