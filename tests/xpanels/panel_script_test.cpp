// PanelSet / PanelGet and EditServer against the XPanel probe module: the
// host finds the instance's interface panel and types into it; the module's
// callbacks change the instance and its change notify prints what changed.
#include "host/host.h"
#include "host/common/host_error.h"
#include "host/commands/script.h"

#include "../support/captured_script.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

namespace {

std::string probePath() {
    return std::string(MORVANE_FIXTURE_DIR) + "/xpanel_probe.p";
}

class PanelScript : public testing::Test {
  protected:
    PanelScript() : layout(std::cout), runner(layout) { layout.loadModule(probePath()); }

    std::string run(const std::string& lines) {
        CapturedScript r = runCaptured(runner, lines);
        if (r.failed) {
            ADD_FAILURE() << "script stopped; printed:\n" << r.printed;
            throw host::HostError(r.error);
        }
        return r.printed;
    }
    std::string failure(const std::string& lines, std::string* printed = nullptr) {
        CapturedScript r = runCaptured(runner, lines);
        if (printed) *printed = r.printed;
        return r.failed ? r.error : "(no error)";
    }
    LWInstance instanceOn(const std::string& item, const std::string& cls) {
        host::ServerInstance* si = layout.instances().find(layout.scene().find(item)->id, cls, 1);
        return si ? si->instance : nullptr;
    }

    host::Host layout;
    host::ScriptRunner runner;
};

TEST_F(PanelScript, TextAndNumbersRoundTripThroughTheInstance) {
    run("AddNull Body\nApplyServer DisplacementHandler xprobe\n");
    EXPECT_EQ(run("PanelGet Body DisplacementHandler Name\n"
                  "PanelGet Body DisplacementHandler Count\n"),
              "panel: Name = unnamed\npanel: Count = 1\n");
    EXPECT_EQ(run("PanelSet Body DisplacementHandler Name \"Left arm\"\n"),
              "xprobe notify cid 0x8001 vid 0x8001 event 2 (data ok): #1 name 'Left arm'\n");
    EXPECT_EQ(run("PanelSet Body DisplacementHandler \"Count\" 42\n"),
              "xprobe notify cid 0x8002 vid 0x8002 event 2 (data ok): #1 count 42\n");
    EXPECT_EQ(run("PanelGet Body DisplacementHandler Name\n"
                  "PanelGet Body DisplacementHandler Count\n"),
              "panel: Name = Left arm\npanel: Count = 42\n");
    // An empty text is a value too.
    run("PanelSet Body DisplacementHandler Name \"\"\n");
    EXPECT_EQ(run("PanelGet Body DisplacementHandler Name\n"), "panel: Name = \n");
}

TEST_F(PanelScript, EachSetNotifiesOnceWithItsControl) {
    run("AddNull Body\nApplyServer DisplacementHandler xprobe\n");
    EXPECT_EQ(run("PanelSet Body DisplacementHandler Count 3\n"
                  "PanelSet Body DisplacementHandler Name Hip\n"
                  "PanelSet Body DisplacementHandler Count 4\n"),
              "xprobe notify cid 0x8002 vid 0x8002 event 2 (data ok): #1 count 3\n"
              "xprobe notify cid 0x8001 vid 0x8001 event 2 (data ok): #1 name 'Hip'\n"
              "xprobe notify cid 0x8002 vid 0x8002 event 2 (data ok): #1 count 4\n");
}

TEST_F(PanelScript, ThePanelEditsTheNamedItemsInstanceOnly) {
    run("AddNull Body\nApplyServer DisplacementHandler xprobe\n"
        "AddNull Arm\nApplyServer DisplacementHandler xprobe\n");
    EXPECT_EQ(run("PanelSet Arm DisplacementHandler Count 9\n"),
              "xprobe notify cid 0x8002 vid 0x8002 event 2 (data ok): #2 count 9\n");
    run("PanelSet Body DisplacementHandler Count 5\n");
    // Opening the panel on another instance closes the one open before.
    EXPECT_EQ(
        run("PanelGet Arm DisplacementHandler Count\nPanelGet Body DisplacementHandler Count\n"),
        "xprobe panel destroyed (data ok)\npanel: Count = 9\n"
        "xprobe panel destroyed (data ok)\npanel: Count = 5\n");
    EXPECT_EQ(layout.xpanels().panelCount(), 1u);
    // The one panel of the server now shows the last instance edited.
    LWXPanelID pan = layout.instances().server(LWDISPLACEMENT_ICLASS, "xprobe").interface.panel;
    EXPECT_EQ(layout.xpanels().instance(pan), instanceOn("Body", LWDISPLACEMENT_HCLASS));
    EXPECT_EQ(layout.xpanels().label(pan), "XProbe");
}

TEST_F(PanelScript, HardMinimumHoldsSoftMaximumDoesNot) {
    run("AddNull Body\nApplyServer DisplacementHandler xprobe\n");
    EXPECT_EQ(run("PanelSet Body DisplacementHandler Count -5\n"),
              "xprobe notify cid 0x8002 vid 0x8002 event 2 (data ok): #1 count 0\n");
    run("PanelSet Body DisplacementHandler Count 5000\n");
    EXPECT_EQ(run("PanelGet Body DisplacementHandler Count\n"), "panel: Count = 5000\n");
}

TEST_F(PanelScript, ChoicesTakeAnEntryNameOrIndex) {
    run("AddNull Body\nApplyServer DisplacementHandler xprobe\n");
    EXPECT_EQ(run("PanelGet Body DisplacementHandler Mode\n"), "panel: Mode = Smooth\n");
    EXPECT_EQ(run("PanelSet Body DisplacementHandler Mode Flat\n"),
              "xprobe notify cid 0x8003 vid 0x8003 event 2 (data ok): #1 mode 2\n");
    EXPECT_EQ(run("PanelGet Body DisplacementHandler Mode\n"), "panel: Mode = Flat\n");
    run("PanelSet Body DisplacementHandler Mode 1\n");
    EXPECT_EQ(run("PanelGet Body DisplacementHandler Mode\n"), "panel: Mode = Sharp\n");
    EXPECT_EQ(failure("PanelSet Body DisplacementHandler Mode Round\n"),
              "t:1: panel \"XProbe\", control \"Mode\": 'Round' does not fit");
    EXPECT_EQ(failure("PanelSet Body DisplacementHandler Mode 3\n"),
              "t:1: panel \"XProbe\", control \"Mode\": '3' does not fit");
    EXPECT_EQ(run("PanelGet Body DisplacementHandler Mode\n"), "panel: Mode = Sharp\n");
}

TEST_F(PanelScript, RefusalsNameWhatIsWrongAndChangeNothing) {
    run("AddNull Body\nApplyServer DisplacementHandler xprobe\n"
        "AddNull Plain\nApplyServer DisplacementHandler xprobe_bare\n"
        "AddNull Blank\nApplyServer DisplacementHandler xprobe_nopanel\n");
    std::string printed;
    EXPECT_EQ(failure("PanelSet Body DisplacementHandler Size 3\n", &printed),
              "t:1: panel \"XProbe\" has no control \"Size\"");
    EXPECT_EQ(printed, "");
    EXPECT_EQ(failure("PanelGet Body DisplacementHandler Size\n"),
              "t:1: panel \"XProbe\" has no control \"Size\"");
    EXPECT_EQ(failure("PanelSet Nobody DisplacementHandler Count 3\n"),
              "t:1: no item named 'Nobody'");
    EXPECT_EQ(failure("PanelSet Body CustomObjHandler Count 3\n"),
              "t:1: no CustomObjHandler on Body");
    EXPECT_EQ(
        failure("PanelSet Body MasterHandler Count 3\n"),
        "t:1: MasterHandler is not a handler class (CustomObjHandler or DisplacementHandler)");
    EXPECT_EQ(failure("PanelGet Plain DisplacementHandler Count\n"),
              "t:1: module has no server DisplacementInterface xprobe_bare");
    EXPECT_EQ(failure("PanelGet Blank DisplacementHandler Count\n"),
              "t:1: DisplacementInterface xprobe_nopanel gives no panel");
    EXPECT_EQ(failure("PanelSet Body DisplacementHandler Count many\n", &printed),
              "t:1: panel \"XProbe\", control \"Count\": 'many' does not fit");
    EXPECT_EQ(printed, "");
    EXPECT_EQ(failure("PanelSet Body DisplacementHandler Count 99999999999\n"),
              "t:1: panel \"XProbe\", control \"Count\": '99999999999' does not fit");
    EXPECT_EQ(failure("PanelSet Body DisplacementHandler Count\n"),
              "t:1: usage: PanelSet ITEM CLASS \"LABEL\" VALUE");
    EXPECT_EQ(run("PanelGet Body DisplacementHandler Count\n"), "panel: Count = 1\n");
}

TEST_F(PanelScript, CustomObjectsUseTheirOwnInterfaceServer) {
    run("AddNull Body\nApplyServer DisplacementHandler xprobe\n"
        "ApplyServer CustomObjHandler xprobe\n");
    EXPECT_EQ(run("PanelSet Body CustomObjHandler Name Cage\n"),
              "xprobe notify cid 0x8001 vid 0x8001 event 2 (data ok): #2 name 'Cage'\n");
    EXPECT_EQ(run("PanelGet Body CustomObjHandler Name\nPanelGet Body DisplacementHandler Name\n"),
              "panel: Name = Cage\npanel: Name = unnamed\n");
    LWXPanelID pan = layout.instances().server(LWCUSTOMOBJ_ICLASS, "xprobe").interface.panel;
    EXPECT_EQ(layout.xpanels().label(pan), "XProbe Object");
}

TEST_F(PanelScript, AnUnknownHintTagIsReportedAndTheHintsBeforeItHold) {
    run("AddNull Body\nApplyServer DisplacementHandler xprobe_badhint\n");
    std::string printed;
    EXPECT_EQ(failure("PanelSet Body DisplacementHandler Name Knee\n", &printed),
              "t:1: XPanel hint: unknown tag 0x3D7F7F05; the hints after it are ignored");
    // The notify came after the bad tag: the value went in, nothing was told.
    EXPECT_EQ(printed, "");
    EXPECT_EQ(run("PanelGet Body DisplacementHandler Name\n"), "panel: Name = Knee\n");
    // The label came before it; the activation is not repeated.
    EXPECT_EQ(failure("PanelGet Body DisplacementHandler Size\n"),
              "t:1: panel \"XProbe Bad\" has no control \"Size\"");
}

TEST_F(PanelScript, EditServerShowsTheInterfacePanelOnTheInstance) {
    run("AddNull Body\nApplyServer DisplacementHandler xprobe\n"
        "ApplyServer DisplacementHandler xprobe\n");
    EXPECT_EQ(layout.xpanels().panelCount(), 0u);
    EXPECT_EQ(run("EditServer DisplacementHandler 2\n"), "panel: DisplacementHandler xprobe\n");
    ASSERT_EQ(layout.xpanels().panelCount(), 1u);
    LWXPanelID pan = layout.instances().server(LWDISPLACEMENT_ICLASS, "xprobe").interface.panel;
    EXPECT_TRUE(layout.xpanels().isOpen(pan));
    host::ServerInstance* second =
        layout.instances().find(layout.scene().find("Body")->id, LWDISPLACEMENT_HCLASS, 2);
    EXPECT_EQ(layout.xpanels().instance(pan), second->instance);
    EXPECT_NE(second->instance, instanceOn("Body", LWDISPLACEMENT_HCLASS));
}

TEST_F(PanelScript, EditServerWithoutAPanelNamesItAndSaysWhy) {
    run("AddNull Body\nApplyServer DisplacementHandler xprobe_bare\n"
        "ApplyServer DisplacementHandler xprobe_nopanel\n"
        "ApplyServer DisplacementHandler xprobe_refuses\n");
    EXPECT_EQ(run("EditServer DisplacementHandler 1\nEditServer DisplacementHandler 2\n"
                  "EditServer DisplacementHandler 3\n"),
              "panel: DisplacementHandler xprobe_bare (no panel: module has no server "
              "DisplacementInterface xprobe_bare)\n"
              "panel: DisplacementHandler xprobe_nopanel (no panel: DisplacementInterface "
              "xprobe_nopanel gives no panel)\n"
              "panel: DisplacementHandler xprobe_refuses (no panel: DisplacementInterface "
              "xprobe_refuses did not activate (" +
                  std::to_string(AFUNC_BADAPP) + "))\n");
    EXPECT_EQ(layout.xpanels().panelCount(), 0u);
    EXPECT_EQ(failure("EditServer DisplacementHandler 4\n"),
              "t:1: EditServer: no DisplacementHandler number 4 on Body");
}

TEST_F(PanelScript, TheModuleDestroysItsPanelsAndTheyAreFreed) {
    run("AddNull Body\nApplyServer DisplacementHandler xprobe\n"
        "ApplyServer CustomObjHandler xprobe\n"
        "PanelGet Body DisplacementHandler Name\nPanelGet Body CustomObjHandler Name\n");
    EXPECT_EQ(layout.xpanels().panelCount(), 2u);
    LWXPanelID pan = layout.instances().server(LWDISPLACEMENT_ICLASS, "xprobe").interface.panel;
    testing::internal::CaptureStdout();
    layout.loadModule(probePath());
    std::cout.flush();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "xprobe panel destroyed (data ok)\nxprobe panel destroyed (data ok)\n");
    EXPECT_EQ(layout.xpanels().panelCount(), 0u);
    EXPECT_FALSE(layout.xpanels().knows(pan));
}

} // namespace

namespace {

// Layout opens an interface server again each time a panel is opened, on
// that instance, and closes the panel when its instance goes.
TEST_F(PanelScript, EachOpeningActivatesOnTheInstanceAndItsRemovalClosesThePanel) {
    run("AddNull Body\nApplyServer DisplacementHandler xprobe\n");
    EXPECT_EQ(run("EditServer DisplacementHandler 1\nEditServer DisplacementHandler 1\n"),
              "panel: DisplacementHandler xprobe\nxprobe panel destroyed (data ok)\n"
              "panel: DisplacementHandler xprobe\n");
    const host::ActivationRecord* record =
        layout.instances().activation(LWDISPLACEMENT_ICLASS, "xprobe");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->interface.inst, instanceOn("Body", LWDISPLACEMENT_HCLASS));
    EXPECT_EQ(layout.xpanels().panelCount(), 1u);
    // PanelGet uses the panel already open.
    EXPECT_EQ(run("PanelGet Body DisplacementHandler Count\n"), "panel: Count = 1\n");
    EXPECT_EQ(run("RemoveServer DisplacementHandler 1\n"), "xprobe panel destroyed (data ok)\n");
    EXPECT_EQ(layout.xpanels().panelCount(), 0u);
    EXPECT_EQ(record->interface.panel, nullptr);
}

} // namespace
