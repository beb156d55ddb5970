// The deformer's instance: created on an object by the host, copied with a
// fresh numbered group, stored in scenes, and answering on its ring topic.
#include "deform/deform_server.h"

#include "host/commands/commands.h"
#include "host/host.h"
#include "host/io/plugin_io.h"
#include "host/commands/script.h"

#include "deform_instance.h"
#include "ring_query.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

class Deformer : public testing::Test {
  protected:
    Deformer() : layout(out), run(layout) { layout.loadModule(MORVANE_MODULE_PATH); }
    DeformInstance* deformerOn(const std::string& name) {
        auto list = layout.instances().on(layout.scene().find(name)->id, "DisplacementHandler");
        return list.empty() ? nullptr : static_cast<DeformInstance*>(list[0]->instance);
    }
    std::ostringstream out;
    host::Host layout;
    host::CommandInterpreter run;
};

TEST_F(Deformer, AppliedToAnObjectItNamesGroupName) {
    run.execute("AddNull Arm");
    run.execute("ApplyServer DisplacementHandler Zentrik_Morvane");
    DeformInstance* deform = deformerOn("Arm");
    ASSERT_NE(deform, nullptr);
    EXPECT_STREQ(deform->groupName, "name");
    EXPECT_STREQ(deform->description, "Morvane 1.12");
    EXPECT_EQ(deform->itemID, layout.scene().find("Arm")->id);
    EXPECT_EQ(layout.ring().attachedCount("COMRING_MORVANE"), 1);

    // Counted and listed on its topic.
    auto* ring = static_cast<LWComRing*>(layout.services().lookup("LW Communication Ring"));
    char topic[] = "COMRING_MORVANE";
    void* list[2] = {};
    RingQuery query;
    std::memset(&query, 0, sizeof query);
    ring->ringMessage(topic, 0, &query);
    EXPECT_EQ(query.count, 1);
    std::memset(&query, 0, sizeof query);
    query.list = list;
    query.capacity = 2;
    ring->ringMessage(topic, 2, &query);
    EXPECT_EQ(query.count, 1);
    EXPECT_EQ(list[0], deform);

    run.execute("RemoveServer DisplacementHandler 1");
    EXPECT_EQ(layout.ring().attachedCount("COMRING_MORVANE"), 0);
}

TEST_F(Deformer, CopiesTakeTheNextNumberOfTheirGroup) {
    run.execute("AddNull Arm");
    run.execute("ApplyServer DisplacementHandler Zentrik_Morvane");
    run.execute("Clone 1");
    EXPECT_STREQ(deformerOn("Arm (2)")->groupName, "name_#(1)");
    run.execute("SelectByName Arm");
    run.execute("Clone 1");
    EXPECT_STREQ(deformerOn("Arm (3)")->groupName, "name_#(2)");

    std::strcpy(deformerOn("Arm (2)")->groupName, "arm_#(3)");
    std::strcpy(deformerOn("Arm (3)")->groupName, "arm_#(7)");
    run.execute("SelectByName Arm (2)");
    run.execute("Clone 1");
    EXPECT_STREQ(deformerOn("Arm (4)")->groupName, "arm_#(8)");

    // Copied onto an instance that held another number of the same base:
    // the target answers with the source's name, not its old one.
    auto targets = layout.instances().on(layout.scene().find("Arm (4)")->id, "DisplacementHandler");
    std::strcpy(deformerOn("Arm")->groupName, "arm");
    std::strcpy(deformerOn("Arm (2)")->groupName, "leg");
    std::strcpy(deformerOn("Arm (3)")->groupName, "leg");
    std::strcpy(deformerOn("Arm (4)")->groupName, "arm_#(9)");
    targets[0]->server->displacement.inst->copy(targets[0]->instance, deformerOn("Arm"));
    EXPECT_STREQ(deformerOn("Arm (4)")->groupName, "arm_#(1)");
}

TEST_F(Deformer, TheRecordIsTheVersionAndTheGroupName) {
    run.execute("AddNull Arm");
    run.execute("ApplyServer DisplacementHandler Zentrik_Morvane");
    std::strcpy(deformerOn("Arm")->groupName, "leg");
    std::string scene = testing::TempDir() + "/deform_" + std::to_string(getpid()) + ".lws";
    run.execute("SaveSceneAs " + scene);
    std::ifstream in(scene);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Plugin DisplacementHandler 1 Zentrik_Morvane\n1.12\n\"leg\"\nEndPlugin\n"),
              std::string::npos)
        << text;
    run.execute("LoadScene " + scene);
    EXPECT_STREQ(deformerOn("Arm")->groupName, "leg");
    std::remove(scene.c_str());
}

TEST(DeformerRecord, OldRecordsNameTheGroupByNumberAndDamageKeepsTheDefault) {
    DeformInstance deform;
    std::memset(&deform, 0, sizeof deform);
    std::strcpy(deform.groupName, "name");
    host::PluginReader old({"1.01", "3"});
    MorvaneLoad(&deform, old.state());
    EXPECT_STREQ(deform.groupName, "3");

    std::strcpy(deform.groupName, "name");
    host::PluginReader empty({"1.12", "\"\""});
    MorvaneLoad(&deform, empty.state());
    EXPECT_STREQ(deform.groupName, "name");

    host::PluginReader damaged({"x"});
    MorvaneLoad(&deform, damaged.state());
    EXPECT_STREQ(deform.groupName, "name");
}

TEST(DeformerRecord, ChangeIdFollowsChainedPairs) {
    DeformInstance deform;
    std::memset(&deform, 0, sizeof deform);
    auto id = [](std::uintptr_t n) { return reinterpret_cast<LWItemID>(n); };
    deform.itemID = id(0xA);
    LWItemID pairs[] = {id(0xA), id(0xB), id(0xB), id(0xC), nullptr};
    MorvaneChangeID(&deform, pairs);
    EXPECT_EQ(deform.itemID, id(0xC));
    EXPECT_EQ(MorvaneUseItems(&deform)[0], id(0xC));
    EXPECT_EQ(MorvaneUseItems(&deform)[1], nullptr);
    EXPECT_EQ(MorvaneFlags(&deform), unsigned(LWDMF_WORLD));
}

} // namespace

namespace {

TEST_F(Deformer, ThePanelEditsTheGroupNameAndAnEmptyNameBecomesName) {
    run.execute("AddNull Arm");
    run.execute("ApplyServer DisplacementHandler Zentrik_Morvane");
    host::ScriptRunner script(layout);
    script.execute({"PanelSet", "Arm", "DisplacementHandler", "Group Name", "leg"});
    EXPECT_STREQ(deformerOn("Arm")->groupName, "leg");
    script.execute({"PanelGet", "Arm", "DisplacementHandler", "Group Name"});
    EXPECT_NE(out.str().find("panel: Group Name = leg\n"), std::string::npos) << out.str();
    script.execute({"PanelSet", "Arm", "DisplacementHandler", "Group Name", ""});
    EXPECT_STREQ(deformerOn("Arm")->groupName, "name");
    EXPECT_THROW(script.execute({"PanelSet", "Arm", "DisplacementHandler", "Size", "1"}),
                 std::exception);
}

} // namespace
