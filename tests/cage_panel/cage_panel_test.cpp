// The cage's item panel as a person uses it through the stand-in host: the
// real module, cages on Nulls, values typed with PanelSet and the panel read
// back with PanelGet and its rows.
#include "host/commands/interface_panels.h"
#include "host/common/host_error.h"
#include "host/commands/script.h"
#include "host/host.h"
#include "host/view/panel_picture.h"

#include "cage/cage_panel.h"
#include "cage_instance.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string tempFile(const std::string& name, const std::string& bytes) {
    std::string path = testing::TempDir() + "/cage_panel_" + std::to_string(getpid()) + "_" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// An LWO2 triangle whose points carry the weight map "arm".
std::string lwo2WithWeights() {
    auto u4 = [](unsigned v) {
        return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    };
    auto chunk = [&](const std::string& id, const std::string& data) {
        return id + u4(unsigned(data.size())) + data;
    };
    const std::string one = {'\x3F', '\x80', 0, 0}, zero(4, '\0');
    const std::string points = zero + zero + zero + one + zero + zero + zero + one + zero;
    const std::string vmap =
        std::string("WGHT") + '\0' + '\1' + "arm" + '\0' + '\0' + '\0' + one + '\0' + '\1' + one;
    const std::string pols =
        std::string("FACE") + '\0' + '\3' + '\0' + '\0' + '\0' + '\1' + '\0' + '\2';
    std::string body = "LWO2" + chunk("PNTS", points) + chunk("VMAP", vmap) + chunk("POLS", pols);
    return "FORM" + u4(unsigned(body.size())) + body;
}

class CagePanel : public testing::Test {
  protected:
    CagePanel() : layout(out), runner(layout) {
        layout.loadModule(MORVANE_MODULE_PATH);
        run("AddNull Cage\nApplyServer CustomObjHandler Zentrik_Morvane\n");
    }

    void run(const std::string& lines) {
        std::istringstream in(lines);
        runner.run(in, "t");
    }
    std::string get(const std::string& label, const std::string& item = "Cage") {
        return host::panelGet(layout, item, "CustomObjHandler", label);
    }
    void set(const std::string& label, const std::string& value) {
        host::panelSet(layout, "Cage", "CustomObjHandler", label, value);
    }
    std::string refusal(const std::string& label, const std::string& value) {
        try {
            set(label, value);
        } catch (const host::HostError& e) {
            return e.what();
        }
        return "(accepted)";
    }
    const host::XPanelRow& row(const std::string& label) {
        rows = host::panelRows(layout, "Cage", "CustomObjHandler");
        for (const host::XPanelRow& r : rows)
            if (r.label == label) return r;
        static host::XPanelRow none;
        ADD_FAILURE() << "no row " << label;
        return none;
    }
    CageInstance* cage(const std::string& name = "Cage") {
        return static_cast<CageInstance*>(
            layout.instances()
                .find(layout.scene().find(name)->id, "CustomObjHandler", 1)
                ->instance);
    }

    std::ostringstream out;
    host::Host layout;
    host::ScriptRunner runner;
    std::vector<host::XPanelRow> rows;
};

TEST_F(CagePanel, ValuesAreKeptInRange) {
    struct Case {
        const char* label;
        const char* typed;
        const char* stored;
    };
    for (const Case& c :
         {Case{"Opacity", "170", "100%"}, Case{"Opacity", "-20", "0%"},
          Case{"Opacity", "40%", "40%"}, Case{"Group Name", "", "name"},
          Case{"Group Name", "arm", "arm"}, Case{"Mode", "Volume", "Volume"},
          Case{"Smooth Distance", "-3", "0"}, Case{"Smooth Distance", "0.5", "0.5"}}) {
        set(c.label, c.typed);
        EXPECT_EQ(get(c.label), c.stored) << c.label << " " << c.typed;
    }
    EXPECT_EQ(cage()->opacity, 0.4);
    EXPECT_STREQ(cage()->groupName, "arm");
    // Every change asks the host to redraw.
    EXPECT_NE(out.str().find("command: RefreshNow"), std::string::npos);
}

// A Null is an object too: the cage's own and one loaded object make two.
TEST_F(CagePanel, TheReferencePopupListsTheObjects) {
    const std::string obj = tempFile("tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    run("LoadObject " + obj + "\n");
    const std::string name = "cage_panel_" + std::to_string(getpid()) + "_tri";
    EXPECT_EQ(get("Reference Object"), " (self) ");
    set("Reference Object", name);
    EXPECT_EQ(cage()->refObject, layout.scene().find(name)->id);
    EXPECT_EQ(cage()->refObjectIndex, 2);
    EXPECT_EQ(cage()->rebuildNeeded, 1);
    EXPECT_EQ(get("Reference Object"), name);
    set("Reference Object", "Cage");
    EXPECT_EQ(cage()->refObjectIndex, 1);
    // Entry 3 of a scene with two objects: no reference, the index kept.
    int entry = 3;
    EXPECT_EQ(cage_panel::ui_set(cage(), CAGE_REFERENCE_CONTROL, &entry), LWXPRC_DFLT);
    EXPECT_EQ(cage()->refObject, nullptr);
    EXPECT_EQ(cage()->refObjectIndex, 3);
    EXPECT_EQ(get("Reference Object"), " (self) ");
    EXPECT_EQ(cage()->refObjectIndex, 0);
    EXPECT_EQ(refusal("Reference Object", "3"),
              "panel \"Morvane\", control \"Reference Object\": '3' does not fit");
    std::remove(obj.c_str());
}

TEST_F(CagePanel, TheWeightMapPopupFollowsTheScenesMaps) {
    EXPECT_EQ(get("Weight Map"), " (none) ");
    const std::string lwo = tempFile("arm.lwo", lwo2WithWeights());
    run("LoadObject " + lwo + "\n");
    set("Weight Map", "arm");
    EXPECT_STREQ(cage()->weightMapName, "arm");
    EXPECT_EQ(cage()->weightMapIndex, 1);
    // A stored map the scene no longer has shows as missing and keeps its
    // name until another entry is chosen.
    std::snprintf(cage()->weightMapName, sizeof cage()->weightMapName, "leg");
    EXPECT_EQ(get("Weight Map"), " (missing) ");
    EXPECT_EQ(cage()->weightMapIndex, 2);
    set("Weight Map", " (missing) ");
    EXPECT_STREQ(cage()->weightMapName, "leg");
    set("Weight Map", " (none) ");
    EXPECT_STREQ(cage()->weightMapName, "");
    EXPECT_EQ(get("Weight Map"), " (none) ");
    std::remove(lwo.c_str());
}

TEST_F(CagePanel, ModeSwitchesTheStackAndLimitedRangeEnablesTheDistances) {
    EXPECT_TRUE(row("Limited Range").visible);
    EXPECT_FALSE(row("Smooth Distance").visible);
    EXPECT_FALSE(row("Parallel Distance").enabled);
    EXPECT_FALSE(row("Perpendicular Distance").enabled);
    EXPECT_TRUE(row("Opacity").enabled && row("Opacity").visible);
    EXPECT_EQ(refusal("Parallel Distance", "2"),
              "panel \"Morvane\", control \"Parallel Distance\" is ghosted while \"Limited "
              "Range\" is off");
    set("Limited Range", "on");
    EXPECT_TRUE(row("Perpendicular Distance").enabled);
    set("Parallel Distance", "2");
    EXPECT_EQ(cage()->parallelDistance, 2.0);

    set("Mode", "Volume");
    EXPECT_EQ(cage()->rebuildNeeded, 1);
    EXPECT_FALSE(row("Limited Range").visible);
    EXPECT_FALSE(row("Parallel Distance").visible);
    EXPECT_TRUE(row("Ignore Points out of Cage").visible);
    EXPECT_EQ(refusal("Limited Range", "off"),
              "panel \"Morvane\", control \"Limited Range\" is on a hidden stack page while "
              "\"Mode\" is Volume");
    EXPECT_EQ(cage()->limitedRange, 1);
    // Four groups in the panel's order, the stack third.
    std::vector<int> groups;
    for (const host::XPanelRow& r : host::panelRows(layout, "Cage", "CustomObjHandler"))
        groups.push_back(r.group);
    EXPECT_EQ(groups, (std::vector<int>{1, 1, 1, 1, 2, 2, 2, 3, 3, 3, 3, 3, 4, 4, 4, 4}));
}

TEST_F(CagePanel, OpeningAPanelGivesNewCagesThatCagesLook) {
    set("Selected Color", "1 0 0");
    run("AddNull Second\nApplyServer CustomObjHandler Zentrik_Morvane\n");
    // The panel was opened before the colour changed.
    EXPECT_EQ(get("Selected Color", "Second"), "1 0.8 0");
    set("Opacity", "50");
    run("Select Cage\nEditServer CustomObjHandler 1\n"
        "AddNull Third\nApplyServer CustomObjHandler Zentrik_Morvane\n");
    EXPECT_EQ(get("Selected Color", "Third"), "1 0 0");
    EXPECT_EQ(get("Opacity", "Third"), "50%");
}

TEST_F(CagePanel, AJapaneseLocaleShowsTheJapaneseTexts) {
    run("SetLocale 0x10411\nSelect Cage\nEditServer CustomObjHandler 1\n");
    rows = host::panelRows(layout, "Cage", "CustomObjHandler");
    ASSERT_EQ(rows.size(), 16u);
    // "表示", "不透明度" and "0フレームを基点とする" in Shift-JIS.
    EXPECT_EQ(rows[0].label, "\x95\x5C\x8E\xA6");
    EXPECT_EQ(rows[3].label, "\x95\x73\x93\xA7\x96\xBE\x93\x78");
    EXPECT_EQ(rows[15].label, "0\x83\x74\x83\x8C\x81\x5B\x83\x80\x82\xF0\x8A\xEE\x93\x5F\x82\xC6"
                              "\x82\xB7\x82\xE9");
    // "透過" and " (自己) ".
    EXPECT_EQ(rows[0].value, "\x93\xA7\x89\xDF");
    EXPECT_EQ(rows[13].value, " (\x8E\xA9\x8C\xC8) ");
    EXPECT_EQ(layout.xpanels().label(layout.instances()
                                         .activation("CustomObjInterface", "Zentrik_Morvane")
                                         ->interface.panel),
              "Morvane");
    // Back in English at the next opening.
    run("SetLocale 0x409\nEditServer CustomObjHandler 1\n");
    EXPECT_EQ(get("Display"), "X-Ray");
}

TEST_F(CagePanel, SnapshotShowsTheModesStackPage) {
    const std::string skin = testing::TempDir() + "/cage_panel_skin.png";
    const std::string volume = testing::TempDir() + "/cage_panel_volume.png";
    run("PanelSnapshot Cage CustomObjHandler " + skin + "\n");
    set("Mode", "Volume");
    run("PanelSnapshot Cage CustomObjHandler " + volume + "\n");
    host::Raster a(0, 0), b(0, 0);
    std::string why;
    ASSERT_TRUE(host::readPng(skin, a, why)) << why;
    ASSERT_TRUE(host::readPng(volume, b, why)) << why;
    // Skin shows three controls on its page, Volume two.
    EXPECT_EQ(a.height() - b.height(), host::PanelPictureLayout::kRowHeight);
    EXPECT_NE(out.str().find("snapshot: " + skin + " (420 x " + std::to_string(a.height()) + ")"),
              std::string::npos);
    std::remove(skin.c_str());
    std::remove(volume.c_str());
}

} // namespace
