// The morvane program as a person runs it: output, errors and exit codes.
#include "cli_support.h"

#include <gtest/gtest.h>

namespace {

TEST(MorvaneInfo, PrintsDescriptorAndServers) {
    Outcome r = morvane(std::string("info ") + MORVANE_MODULE_PATH);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "sync 0x04121994 version 3 machine 0x200\n"
                     "server CustomObjHandler Zentrik_Morvane\n"
                     "server CustomObjInterface Zentrik_Morvane\n"
                     "server DisplacementHandler Zentrik_Morvane\n"
                     "server DisplacementInterface Zentrik_Morvane\n"
                     "server LayoutTool Zentrik_Morvane_Tool \"Morvane Tool\"\n"
                     "server LayoutGeneric Zentrik_Morvane_Add \"Morvane Add\"\n");
}

TEST(MorvaneInfo, RefusedModulesGiveOneLineNamingTheFile) {
    Outcome missing = morvane("info /nonexistent/x.p");
    EXPECT_NE(missing.status, 0);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "morvane: /nonexistent/x.p: no such module file\n");

    std::string bad = std::string(MORVANE_FIXTURE_DIR) + "/bad_sync.p";
    Outcome sync = morvane("info " + bad);
    EXPECT_NE(sync.status, 0);
    EXPECT_EQ(sync.err, "morvane: " + bad + ": wrong synchronisation value 0x12345678\n");
}

TEST(MorvaneRun, RunsAScriptWithCommentsAndQuotedArguments) {
    std::string path =
        script("quoted.script", "# a comment line\n"
                                "AddNull \"Body Part\"   # trailing comment\n"
                                "\n"
                                "Withhold \"LW Communication Ring\"\n"
                                "Activate DisplacementHandler Zentrik_Morvane 5\n"
                                "Restore \"LW Communication Ring\"\n"
                                "Trace services on\n"
                                "Activate DisplacementInterface Zentrik_Morvane 4\n");
    Outcome r = morvane("run " + path);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "activate DisplacementHandler Zentrik_Morvane -> 2\n"
                     "service \"Instance Update\" -> found\n"
                     "service \"LWXPanel\" -> found\n"
                     "service \"Locale Info\" -> found\n" // the panel's language
                     "activate DisplacementInterface Zentrik_Morvane -> 0\n");
}

TEST(MorvaneRun, BadLinesStopTheRunWithFileAndLine) {
    struct Case {
        const char* text;
        std::string error;
    } cases[] = {
        {"AddNull Body\nAddNull \"Open\n", "2: unbalanced quote"},
        {"Frobnicate\n", "1: unknown command 'Frobnicate'"},
        {"\n\nSetBuild 12x\n", "3: '12x' is not a number"},
        {"SetBuild 5000\n", "1: build number 5000 out of range (0 to 4095)"},
        {"Activate LayoutTool NoSuchTool 1\n", "1: module has no server LayoutTool NoSuchTool"},
        {"Withhold \"No Such Service\"\n", "1: the host has no service \"No Such Service\""},
        {"Select Nobody\n", "1: no item named 'Nobody'"},
        {"AddNull\n", "1: AddNull: missing argument"},
        {"LoadObject /nonexistent/arm.obj\n",
         "1: LoadObject: " + shownPath("/nonexistent/arm.obj") + ": cannot open file"},
        // The content, not the name, picks the reader.
        {"LoadObject /nonexistent/arm.xyz\n",
         "1: LoadObject: " + shownPath("/nonexistent/arm.xyz") + ": cannot open file"},
        {"SelectItem 0x10000005 extra\n", "1: SelectItem: unexpected argument 'extra'"},
        {"Parent Nobody (none)\n", "1: no item named 'Nobody'"},
        {"Trace services maybe\n", "1: expected on or off, not 'maybe'"},
        {"Answer Maybe\n", "1: unknown answer 'Maybe' (Yes, No, OK, Cancel or YesToAll)"},
        {"AddNull A\nTool_\n", "2: unknown command 'Tool_'"},
        {"GoToFrame 1e10\n", "1: GoToFrame: frame out of range (-1000000 to 1000000)"},
    };
    for (const Case& c : cases) {
        std::string path = script("bad.script", c.text);
        Outcome r = morvane("run " + path);
        EXPECT_NE(r.status, 0) << c.text;
        EXPECT_EQ(r.err, "morvane: " + path + ":" + c.error + "\n") << c.text;
    }
}

TEST(MorvaneRun, LocaleAndBuildSettingsReachTheModule) {
    std::string path = script("locale.script", "SetLocale 0x10411\n"
                                               "SetBuild 3210\n"
                                               "Trace services on\n"
                                               "Activate LayoutTool Zentrik_Morvane_Tool 1\n");
    Outcome r = morvane("run " + path);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("service \"LW Item Info 5\" -> found"), std::string::npos);
    EXPECT_NE(r.out.find("warning: オブジェクトを選択してから実行してください。\n"
                         "activate LayoutTool Zentrik_Morvane_Tool -> 5\n"),
              std::string::npos)
        << r.out;
}

TEST(MorvaneRun, MissingFilesAndModulesAreReported) {
    Outcome noScript = morvane("run /nonexistent/demo.script");
    EXPECT_NE(noScript.status, 0);
    EXPECT_EQ(noScript.err, "morvane: /nonexistent/demo.script: cannot open script\n");

    std::string path = script("empty.script", "");
    Outcome noModule = morvane("run " + path + " --module /nonexistent/m.p");
    EXPECT_NE(noModule.status, 0);
    EXPECT_EQ(noModule.err, "morvane: /nonexistent/m.p: no such module file\n");
}

TEST(MorvaneRun, AFolderIsNotAScript) {
    // A folder once opened as an empty script: nothing ran and the exit was 0.
    std::string folder = testing::TempDir();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    Outcome r = morvane("run " + folder);
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "morvane: " + folder + ": is a folder, not a script\n");
}

TEST(MorvaneVerbs, HelpAndUnknownVerbs) {
    Outcome help = morvane("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: morvane VERB"), std::string::npos);

    Outcome runHelp = morvane("run --help");
    EXPECT_EQ(runHelp.status, 0);

    Outcome unknown = morvane("frobnicate");
    EXPECT_NE(unknown.status, 0);
    EXPECT_EQ(unknown.err, "morvane: unknown verb 'frobnicate' (see morvane help)\n");
}

TEST(MorvaneDemo, TheBundledScriptActivatesEveryServer) {
    Outcome r = morvane(std::string("run ") + MORVANE_SOURCE_DIR + "/examples/demo.script");
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* line :
         {"activate CustomObjHandler Zentrik_Morvane -> 0",
          "activate CustomObjInterface Zentrik_Morvane -> 0",
          "activate DisplacementHandler Zentrik_Morvane -> 0",
          "activate DisplacementInterface Zentrik_Morvane -> 0", "panel: Add New Cage -> OK",
          "command: ApplyServer CustomObjHandler Zentrik_Morvane",
          "warning: Please select a reference object.",
          "activate LayoutTool Zentrik_Morvane_Tool -> 0"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line;
}

} // namespace
