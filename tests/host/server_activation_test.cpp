// The module's six activations run against the stand-in host: version
// checks, required services withheld one at a time, and the tool's start
// check.
#include "host/host.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct ServerCase {
    const char* cls;
    const char* name;
    int version;
    std::vector<std::string> required;
    std::vector<std::string> optional;
};

const std::vector<ServerCase>& serverCases() {
    static const std::vector<ServerCase> cases = {
        {"CustomObjHandler",
         "Zentrik_Morvane",
         5,
         {"LW Item Info 5", "LW Object Info 7", "Scene Objects 6", "Channel Info 2",
          "Animation Envelopes", "Instance Update", "LW Communication Ring",
          "LW Command Interface"},
         {"LW Viewport Info 4", "LW Interface Info 7"}},
        {"CustomObjInterface",
         "Zentrik_Morvane",
         4,
         {"Scene Objects 6", "Instance Update", "LWXPanel", "LW Command Interface"},
         {}},
        {"DisplacementHandler",
         "Zentrik_Morvane",
         5,
         {"LW Communication Ring", "Instance Update", "LW Item Info 5"},
         {}},
        {"DisplacementInterface", "Zentrik_Morvane", 4, {"Instance Update", "LWXPanel"}, {}},
        {"LayoutTool",
         "Zentrik_Morvane_Tool",
         1,
         {"Info Messages 2", "LWPanelServices", "RasterServices", "LW Viewport Info 4",
          "LW Interface Info 7", "LW Scene Info 6", "LW Item Info 9", "Channel Info 2",
          "Animation Envelopes", "LW List Info", "MultiThreading Utilities 2",
          "LW Command Interface", "LW Communication Ring"},
         {}},
        {"LayoutGeneric",
         "Zentrik_Morvane_Add",
         2,
         {"Info Messages 2", "LWPanelServices", "RasterServices", "LW Item Info 5",
          "LW Object Info 7", "LW Interface Info 7", "LW Communication Ring"},
         {}},
    };
    return cases;
}

class Layout : public testing::Test {
  protected:
    Layout() : host(out) {
        host.loadModule(MORVANE_MODULE_PATH);
        // The tool starts only with an object selected.
        host.scene().select(host.scene().add(LWI_OBJECT, "Body").id);
    }
    std::ostringstream out;
    host::Host host;
};

TEST_F(Layout, EveryServerActivatesAtItsVersionAndRefusesOthers) {
    for (const ServerCase& c : serverCases()) {
        EXPECT_EQ(host.activate(c.cls, c.name, c.version), AFUNC_OK) << c.cls;
        EXPECT_EQ(host.activate(c.cls, c.name, c.version + 1), AFUNC_BADVERSION) << c.cls;
        EXPECT_EQ(host.activate(c.cls, c.name, c.version - 1), AFUNC_BADVERSION) << c.cls;
    }
}

TEST_F(Layout, EachRequiredServiceWithheldRefusesTheActivation) {
    for (const ServerCase& c : serverCases()) {
        for (const std::string& service : c.required) {
            host.services().withhold(service);
            EXPECT_EQ(host.activate(c.cls, c.name, c.version), AFUNC_BADGLOBAL)
                << c.cls << " without " << service;
            host.services().restore(service);
        }
        for (const std::string& service : c.optional) {
            host.services().withhold(service);
            EXPECT_EQ(host.activate(c.cls, c.name, c.version), AFUNC_OK)
                << c.cls << " without optional " << service;
            host.services().restore(service);
        }
    }
}

TEST_F(Layout, ARefusedToolLeavesNoToolBehind) {
    host.services().withhold("LW List Info");
    EXPECT_EQ(host.activate("LayoutTool", "Zentrik_Morvane_Tool", 1), AFUNC_BADGLOBAL);
    EXPECT_EQ(host.toolRecord().instance, nullptr);
    host.services().restore("LW List Info");

    EXPECT_EQ(host.activate("LayoutTool", "Zentrik_Morvane_Tool", 1), AFUNC_OK);
    const LWLayoutTool& tool = host.toolRecord();
    ASSERT_NE(tool.instance, nullptr);
    ASSERT_NE(tool.tool->help, nullptr);
    EXPECT_STREQ(tool.tool->help(tool.instance, nullptr), "Morvane Tool");
    // A fresh activation has a redraw pending: wireframe and help text dirty.
    EXPECT_EQ(tool.tool->dirty(tool.instance), 3);
    // Slots the tool leaves to the host stay empty.
    EXPECT_EQ(tool.tool->count, nullptr);
    EXPECT_EQ(tool.tool->handle, nullptr);
    EXPECT_EQ(tool.tool->panel, nullptr);
}

TEST_F(Layout, TheToolPicksItsItemInfoByBuild) {
    host.services().setTrace(true);
    host.services().setBuildNumber(3210);
    out.str("");
    EXPECT_EQ(host.activate("LayoutTool", "Zentrik_Morvane_Tool", 1), AFUNC_OK);
    EXPECT_NE(out.str().find("service \"LW Item Info 5\" -> found"), std::string::npos);
    EXPECT_EQ(out.str().find("LW Item Info 9"), std::string::npos);

    host.services().setBuildNumber(3211);
    out.str("");
    EXPECT_EQ(host.activate("LayoutTool", "Zentrik_Morvane_Tool", 1), AFUNC_OK);
    EXPECT_NE(out.str().find("service \"LW Item Info 9\" -> found"), std::string::npos);
    EXPECT_EQ(out.str().find("LW Item Info 5"), std::string::npos);

    // On an old build, withholding the newer record does not matter.
    host.services().setBuildNumber(3210);
    host.services().withhold("LW Item Info 9");
    EXPECT_EQ(host.activate("LayoutTool", "Zentrik_Morvane_Tool", 1), AFUNC_OK);
}

TEST_F(Layout, TheToolStartsOnlyWithAnObjectSelected) {
    host.scene().clearSelection();
    EXPECT_EQ(host.activate("LayoutTool", "Zentrik_Morvane_Tool", 1), AFUNC_BADAPP_SILENT);
    EXPECT_EQ(out.str(), "warning: Objects mode only.\n");
    EXPECT_EQ(host.toolRecord().instance, nullptr);

    for (LWItemType type : {LWI_LIGHT, LWI_CAMERA}) {
        host.scene().select(host.scene().add(type, "Other").id);
        out.str("");
        EXPECT_EQ(host.activate("LayoutTool", "Zentrik_Morvane_Tool", 1), AFUNC_BADAPP_SILENT);
        EXPECT_EQ(out.str(), "warning: Objects mode only.\n");
    }

    host.scene().select(host.scene().find("Body")->id);
    out.str("");
    EXPECT_EQ(host.activate("LayoutTool", "Zentrik_Morvane_Tool", 1), AFUNC_OK);
    EXPECT_EQ(out.str(), "");
}

TEST_F(Layout, AJapaneseLocaleInTheHighBitsStillCounts) {
    host.scene().clearSelection();
    host.services().setLocale(0x10411);
    EXPECT_EQ(host.activate("LayoutTool", "Zentrik_Morvane_Tool", 1), AFUNC_BADAPP_SILENT);
    // The module's Shift-JIS text, shown as UTF-8.
    EXPECT_EQ(out.str(), "warning: オブジェクトを選択してから実行してください。\n");
}

TEST_F(Layout, DroppingTheToolRefreshesTheScene) {
    EXPECT_EQ(host.activate("LayoutTool", "Zentrik_Morvane_Tool", 1), AFUNC_OK);
    out.str("");
    host.loadModule(MORVANE_MODULE_PATH); // unloading drops the tool
    EXPECT_EQ(out.str(), "command: RefreshNow\n");
}

TEST_F(Layout, UnknownServiceNamesAreMissing) {
    EXPECT_EQ(host.services().lookup("LW Item Info 4"), nullptr);
    EXPECT_EQ(host.services().lookup(""), nullptr);
    EXPECT_NE(host.services().lookup("LW Item Info 9"), nullptr);
    EXPECT_NE(host.services().lookup("Scene Objects 9"), nullptr);
    EXPECT_NE(host.services().lookup("LW Scene Info 7"), nullptr);
}

} // namespace
