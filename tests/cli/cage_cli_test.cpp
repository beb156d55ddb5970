// Cages end to end through the morvane program: the add-cage command, the
// scene record, save and load, clones, and an old record.
#include "cli_support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The JSON strings of the record of the first server in a Dump line.
std::vector<std::string> recordOf(const std::string& dumpLine) {
    std::vector<std::string> lines;
    size_t at = dumpLine.find("\"record\":[");
    if (at == std::string::npos) return lines;
    at += 10;
    while (at < dumpLine.size() && dumpLine[at] == '"') {
        std::string text;
        for (++at; at < dumpLine.size() && dumpLine[at] != '"'; ++at) {
            if (dumpLine[at] == '\\') ++at;
            text += dumpLine[at];
        }
        lines.push_back(text);
        at += 2; // closing quote and comma
    }
    return lines;
}

std::vector<std::string> outputLines(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string dumpOf(const std::string& out, const std::string& name) {
    for (const std::string& line : outputLines(out))
        if (line.rfind("{\"name\":\"" + name + "\"", 0) == 0) return line;
    return "";
}

TEST(CageEndToEnd, AddingACageFromACubeSavingLoadingAndCloning) {
    script("cube.obj", "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
                       "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                       "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 5 1 4 8\n");
    std::string cubeName = "morvane_cli_" + std::to_string(getpid()) + "_cube";
    std::string first = tempPath("first.lws"), second = tempPath("second.lws");
    std::string path = script("cage.script", "LoadObject " + tempPath("cube.obj") +
                                                 "\n"
                                                 "Position 1 2 3\n"
                                                 "Respond OK \"Reference Object=" +
                                                 cubeName +
                                                 "\"\n"
                                                 "Generic \"Morvane Add\"\n"
                                                 "Dump _Cage\n"
                                                 "SaveSceneAs " +
                                                 first +
                                                 "\n"
                                                 "LoadScene " +
                                                 first +
                                                 "\n"
                                                 "SaveSceneAs " +
                                                 second +
                                                 "\n"
                                                 "Select _Cage\n"
                                                 "Clone 2\n"
                                                 "Dump \"_Cage (2)\"\n"
                                                 "Dump \"_Cage (3)\"\n");
    Outcome r = morvane("run " + path);
    ASSERT_EQ(r.status, 0) << r.err;

    std::string cage = dumpOf(r.out, "_Cage");
    ASSERT_FALSE(cage.empty()) << r.out;
    // The Null sits where the object is.
    EXPECT_NE(cage.find("\"position\":[1,2,3]"), std::string::npos) << cage;
    std::vector<std::string> record = recordOf(cage);
    ASSERT_GE(record.size(), 36u) << cage;
    EXPECT_EQ(record[0], "1.12");
    EXPECT_EQ(record[2], "\"name\"");
    EXPECT_EQ(record[3], "0.001 5"); // 2.5 x the mean edge length 2
    EXPECT_EQ(record[13], "8");      // points
    EXPECT_EQ(record[14], "0");      // one key, at time 0,
    EXPECT_EQ(record[15], "0");      // no break,
    for (int i = 16; i < 24; ++i)
        EXPECT_EQ(record[size_t(i)], "0 0 0"); // zero deltas
    EXPECT_EQ(record[24], "-1e+20");
    EXPECT_EQ(record[25], "-1 -1 -1"); // points in the mesh's order
    EXPECT_EQ(record[31], "1 1 1");
    EXPECT_EQ(record[33], "0"); // linegons
    EXPECT_EQ(record[34], "0"); // trigons
    EXPECT_EQ(record[35], "6"); // polygons
    ASSERT_EQ(record.size(), 42u);

    // Saving, loading and saving again gives the same scene.
    std::string a = slurp(first), b = slurp(second);
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, b);
    // The object is hidden from rendering.
    EXPECT_NE(a.find("UnseenByCamera 1\n"), std::string::npos) << a;
    EXPECT_NE(a.find("UnseenByRays 1\n"), std::string::npos);
    EXPECT_NE(a.find("UnseenByRadiosity 1\n"), std::string::npos);

    // Clones take the next numbered group names.
    EXPECT_EQ(recordOf(dumpOf(r.out, "_Cage (2)")).at(2), "\"name_#(1)\"");
    EXPECT_EQ(recordOf(dumpOf(r.out, "_Cage (3)")).at(2), "\"name_#(2)\"");
    for (const std::string& f : {first, second})
        std::remove(f.c_str());
}

TEST(CageEndToEnd, AVersionOneOhOneRecordLoadsWithItsGroupNumberAsName) {
    std::string scene = tempPath("old.lws");
    std::string save = script("save.script", "AddNull Old\n"
                                             "ApplyServer CustomObjHandler Zentrik_Morvane\n"
                                             "SaveSceneAs " +
                                                 scene + "\n");
    ASSERT_EQ(morvane("run " + save).status, 0);
    std::string text = slurp(scene);
    size_t begin = text.find("Plugin CustomObjHandler 1 Zentrik_Morvane\n");
    size_t end = text.find("EndPlugin", begin);
    ASSERT_NE(begin, std::string::npos) << text;
    begin = text.find('\n', begin) + 1;
    // 1.01: display, group number, mode, falloff, ignore, limited, map index;
    // refMode (stored one lower); colour, opacity and smoothing in 5 floats.
    text.replace(begin, end - begin, "1.01\n2 7 0 1 0 0 0\n0\n1 0.5 0 0.2 0\n0\n\"\"\n0\n");
    std::ofstream(scene) << text;

    std::string load = script("load.script", "LoadScene " + scene + "\nDump Old\n");
    Outcome r = morvane("run " + load);
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> record = recordOf(dumpOf(r.out, "Old"));
    ASSERT_GE(record.size(), 14u) << r.out;
    EXPECT_EQ(record[0], "1.12");
    EXPECT_EQ(record[2], "\"7\"");
    EXPECT_EQ(record[5], "1"); // refMode 0 + 1
    EXPECT_EQ(record[6], "1 0.5 0");
    std::remove(scene.c_str());
}

// The key times a cage's Dump record holds: after the point count N, per key
// its time, break flag and N deltas, up to the -1e20 end mark.
std::vector<double> keyTimesOf(const std::vector<std::string>& record) {
    std::vector<double> times;
    if (record.size() < 14) return times;
    const size_t points = std::stoul(record[13]);
    for (size_t at = 14; at < record.size() && record[at] != "-1e+20"; at += 2 + points)
        times.push_back(std::stod(record[at]));
    return times;
}

// A host copy within 0.0001 s of a key is taken out again, so deleting
// "it" cannot take the real key along; the key itself still deletes once.
TEST(CageEndToEnd, AHostCopyOntoAKeysTimeLosesNoKey) {
    script("cube.obj", "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
                       "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                       "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 5 1 4 8\n");
    const std::string cube = "morvane_cli_" + std::to_string(getpid()) + "_cube";
    const std::string setup =
        "LoadObject " + tempPath("cube.obj") + "\nRespond OK \"Reference Object=" + cube +
        "\"\nGeneric \"Morvane Add\"\n"
        "KeyCreate _Cage Cage 1 7\nKeyCopy _Cage Cage 1 1.00005\nDump _Cage\n";

    Outcome copied =
        morvane("run " + script("copy.script", setup + "KeyDelete _Cage Cage 1.00005\n"));
    EXPECT_EQ(keyTimesOf(recordOf(dumpOf(copied.out, "_Cage"))), (std::vector<double>{0, 1}));
    EXPECT_NE(copied.status, 0);
    EXPECT_NE(copied.err.find(":7: Cage has no key at 1.00005 s"), std::string::npos) << copied.err;

    Outcome deleted =
        morvane("run " + script("delete.script", setup + "KeyDelete _Cage Cage 1\nDump _Cage\n"
                                                         "KeyDelete _Cage Cage 1\n"));
    EXPECT_EQ(keyTimesOf(recordOf(dumpOf(deleted.out, "_Cage"))), (std::vector<double>{0, 1}));
    const std::string after = deleted.out.substr(deleted.out.rfind("{\"name\":\"_Cage\""));
    EXPECT_EQ(keyTimesOf(recordOf(after)), (std::vector<double>{0}));
    EXPECT_NE(deleted.err.find(":9: Cage has no key at 1 s"), std::string::npos) << deleted.err;
}

// The cage panel as a script user sees it: its rows follow Mode and Limited
// Range, and typing into a control that is not shown stops the script.
TEST(CageEndToEnd, ThePanelRowsFollowModeAndLimitedRange) {
    std::string path =
        script("rows.script", "AddNull Rig\n"
                              "ApplyServer CustomObjHandler Zentrik_Morvane\n"
                              "PanelSet Rig CustomObjHandler \"Limited Range\" on\n"
                              "PanelSet Rig CustomObjHandler Mode Volume\n"
                              "PanelRows Rig CustomObjHandler\n"
                              "PanelSet Rig CustomObjHandler \"Parallel Distance\" 1\n");
    Outcome r = morvane("run " + path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(":6: panel \"Morvane\", control \"Parallel Distance\" is on a hidden "
                         "stack page while \"Mode\" is Volume"),
              std::string::npos)
        << r.err;
    std::vector<std::string> rows;
    for (const std::string& line : outputLines(r.out))
        if (line.rfind("panel row: ", 0) == 0) rows.push_back(line.substr(11));
    ASSERT_EQ(rows.size(), 16u) << r.out;
    EXPECT_EQ(rows[0], "\"Display\" iPopChoice = X-Ray (group 1)");
    EXPECT_EQ(rows[5], "\"Mode\" iPopChoice = Volume (group 2)");
    EXPECT_EQ(rows[7], "\"Ignore Points out of Cage\" iBoolean = off (group 3)");
    EXPECT_EQ(rows[9], "\"Limited Range\" iBoolean = on (group 3, hidden)");
    EXPECT_EQ(rows[10], "\"Parallel Distance\" distance = 0.001 (group 3, hidden)");
    EXPECT_EQ(rows[13], "\"Reference Object\" iPopChoice =  (self)  (group 4)");
}

} // namespace
