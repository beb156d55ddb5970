// Layout's commands, carried out by the stand-in host against its scene and
// seen through the services a module reads.
#include "host/commands/commands.h"
#include "host/commands/dump.h"
#include "host/host.h"
#include "host/common/host_error.h"
#include "host/commands/script.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class Commands : public testing::Test {
  protected:
    Commands() : layout(out), run(layout) {}

    void command(const std::string& line) { run.execute(line); }
    LWItemID id(const std::string& name) { return layout.scene().find(name)->id; }
    std::string hexId(const std::string& name) {
        char text[16];
        std::snprintf(text, sizeof text, "%08X", host::Scene::fileId(id(name)));
        return text;
    }
    template <class T> T* service(const char* name) {
        return static_cast<T*>(layout.services().lookup(name));
    }
    std::string failure(const std::string& line) {
        try {
            command(line);
        } catch (const host::HostError& e) {
            return e.what();
        }
        return "";
    }

    std::ostringstream out;
    host::Host layout;
    host::CommandInterpreter run;
};

TEST_F(Commands, AddAndSelectItemsByNameAndHexId) {
    command("AddNull Arm Root");
    command("AddCamera Camera");
    command("AddNull Hand");
    auto* iface = service<LWInterfaceInfo>("LW Interface Info 7");
    EXPECT_EQ(iface->selItems[0], id("Hand"));
    EXPECT_EQ(iface->selItems[1], nullptr);

    // Only the low 32 bits of an ID count; with or without 0x.
    command("SelectItem 0x" + hexId("Arm Root"));
    EXPECT_EQ(layout.scene().firstSelected(), id("Arm Root"));
    command("SelectItem " + hexId("Camera"));
    EXPECT_EQ(layout.scene().firstSelected(), id("Camera"));
    command("AddToSelection " + hexId("Hand"));
    iface = service<LWInterfaceInfo>("LW Interface Info 7");
    EXPECT_EQ(iface->selItems[1], id("Hand"));
    EXPECT_EQ(iface->itemFlags(id("Hand")), unsigned(LWITEMF_SELECTED));
    EXPECT_EQ(iface->itemFlags(id("Arm Root")), 0u);

    EXPECT_EQ(failure("SelectItem 0x10000099"), "SelectItem: no item with ID 10000099");
    EXPECT_EQ(failure("SelectItem zz"), "SelectItem: 'zz' is not a hexadecimal ID");
}

TEST_F(Commands, ParentingAndParentInPlace) {
    command("AddNull Parent");
    command("Position 1 2 3");
    command("Rotation 90 0 0");
    command("AddNull Child");
    command("Position 0 0 1");

    auto* items = service<LWItemInfo>("LW Item Info 5");
    auto* iface = service<LWInterfaceInfo>("LW Interface Info 7");
    EXPECT_EQ(iface->generalFlags & LWGENF_PARENTINPLACE, 0u);

    // Without parent-in-place the local values stay: the child moves to the
    // parent's frame, (1,2,3) + Ry(90)(0,0,1) = (2,2,3).
    command("ParentItem " + hexId("Parent"));
    EXPECT_EQ(items->parent(id("Child")), id("Parent"));
    double p[3];
    items->param(id("Child"), LWIP_W_POSITION, 0.0, p);
    EXPECT_NEAR(p[0], 2.0, 1e-9);
    EXPECT_NEAR(p[1], 2.0, 1e-9);
    EXPECT_NEAR(p[2], 3.0, 1e-9);

    // Unparent with parent-in-place on: the world position holds.
    command("ParentInPlace 1");
    iface = service<LWInterfaceInfo>("LW Interface Info 7");
    EXPECT_EQ(iface->generalFlags & LWGENF_PARENTINPLACE, unsigned(LWGENF_PARENTINPLACE));
    command("ParentItem 0");
    EXPECT_EQ(items->parent(id("Child")), nullptr);
    items->param(id("Child"), LWIP_W_POSITION, 0.0, p);
    EXPECT_NEAR(p[0], 2.0, 1e-9);
    EXPECT_NEAR(p[2], 3.0, 1e-9);

    command("ParentInPlace");
    EXPECT_FALSE(layout.scene().timing().parentInPlace);
    EXPECT_EQ(service<LWInterfaceInfo>("LW Interface Info 7")->generalFlags, 0u);

    host::ScriptRunner script(layout);
    script.execute({"FractionalFrames", "on"});
    EXPECT_EQ(service<LWInterfaceInfo>("LW Interface Info 7")->generalFlags,
              unsigned(LWGENF_FRACTIONALFRAME));
    script.execute({"FractionalFrames", "off"});

    // A parent cannot become its own descendant.
    command("SelectItem " + hexId("Child"));
    command("ParentItem " + hexId("Parent"));
    command("SelectItem " + hexId("Parent"));
    EXPECT_NE(failure("ParentItem " + hexId("Child")).find("descendant"), std::string::npos);
    EXPECT_EQ(items->parent(id("Parent")), nullptr);
}

TEST_F(Commands, MotionCommandsKeyAtTheCurrentFrame) {
    command("AddNull Mover");
    command("GoToFrame 30"); // 1 s at 30 fps
    auto* iface = service<LWInterfaceInfo>("LW Interface Info 7");
    EXPECT_DOUBLE_EQ(iface->curTime, 1.0);
    command("Position 3 0 0");
    command("Scale 2 2 2");

    host::Item& item = *layout.scene().find("Mover");
    host::Envelope& x = item.channels->findChannel("Position.X")->envelope();
    EXPECT_EQ(x.keyCount(), 2);
    EXPECT_NE(x.findKey(1.0), nullptr);
    EXPECT_DOUBLE_EQ(x.evaluate(1.0), 3.0);
    EXPECT_DOUBLE_EQ(x.evaluate(0.0), 0.0);

    // CreateKey keys all nine channels with their values at that time.
    command("CreateKey 2");
    for (const char* name : host::kMotionChannelNames)
        EXPECT_NE(item.channels->findChannel(name)->envelope().findKey(2.0), nullptr) << name;
    command("DeleteKey 2");
    EXPECT_EQ(item.channels->findChannel("Scale.Z")->envelope().findKey(2.0), nullptr);

    command("GoToFrame 15");
    EXPECT_DOUBLE_EQ(service<LWInterfaceInfo>("LW Interface Info 7")->curTime, 0.5);
}

TEST_F(Commands, VisibilityRangesAndRenderToggles) {
    command("AddNull Box");
    command("ItemVisibility 2");
    auto* iface = service<LWInterfaceInfo>("LW Interface Info 7");
    EXPECT_EQ(iface->itemVis(id("Box")), LWOVIS_VERTICES);
    EXPECT_EQ(failure("ItemVisibility 8"), "ItemVisibility: visibility 8 out of range");

    auto* objects = service<LWObjectInfo>("LW Object Info 7");
    unsigned shadows = objects->shadowOpts(id("Box"));
    EXPECT_EQ(shadows, unsigned(LWOSHAD_SELF | LWOSHAD_CAST | LWOSHAD_RECEIVE));
    command("CastShadow");
    command("UnseenByCamera");
    command("UnseenByRays");
    EXPECT_EQ(objects->shadowOpts(id("Box")), shadows & ~unsigned(LWOSHAD_CAST));
    EXPECT_EQ(objects->flags(id("Box")), unsigned(LWOBJF_UNSEEN_BY_CAMERA | LWOBJF_UNSEEN_BY_RAYS));
    command("UnseenByRays");
    EXPECT_EQ(objects->flags(id("Box")), unsigned(LWOBJF_UNSEEN_BY_CAMERA));

    command("FramesPerSecond 24");
    command("FirstFrame 0");
    command("LastFrame 48");
    command("PreviewLastFrame 24");
    auto* scene = service<LWSceneInfo>("LW Scene Info 6");
    EXPECT_DOUBLE_EQ(scene->framesPerSecond, 24.0);
    EXPECT_EQ(scene->frameStart, 0);
    EXPECT_EQ(scene->frameEnd, 48);
    EXPECT_EQ(service<LWInterfaceInfo>("LW Interface Info 7")->previewEnd, 24);
    EXPECT_EQ(failure("FramesPerSecond 0"), "FramesPerSecond: frame rate out of range");
}

TEST_F(Commands, ItemOrderThroughListInfo) {
    for (const char* name : {"A", "B", "C", "D"})
        command(std::string("AddNull ") + name);
    auto* list = service<LWListInfo>("LW List Info");
    EXPECT_EQ(list->index(id("A")), 0);
    EXPECT_EQ(list->index(id("D")), 3);

    LWItemID moveD[] = {id("D"), nullptr};
    EXPECT_EQ(list->splice(id("B"), moveD), LI_Success); // A D B C
    EXPECT_EQ(list->index(id("D")), 1);
    EXPECT_EQ(list->index(id("B")), 2);

    LWItemID moveA[] = {id("A"), nullptr};
    EXPECT_EQ(list->splice(SPLICE_TAIL, moveA), LI_Success); // D B C A
    EXPECT_EQ(list->index(id("A")), 3);
    EXPECT_EQ(list->splice(SPLICE_HEAD, moveA), LI_Success); // A D B C
    EXPECT_EQ(list->index(id("A")), 0);

    LWItemID pair[] = {id("A"), id("C"), nullptr};
    EXPECT_EQ(list->swap(pair), LI_Success); // C D B A
    EXPECT_EQ(list->index(id("C")), 0);
    EXPECT_EQ(list->index(id("A")), 3);

    LWItemID order[] = {id("A"), id("B"), id("C"), nullptr};
    EXPECT_EQ(list->reorder(order), LI_Success); // A D B C
    EXPECT_EQ(list->index(id("A")), 0);
    EXPECT_EQ(list->index(id("D")), 1);
    EXPECT_EQ(list->index(id("B")), 2);

    command("AddCamera Cam");
    LWItemID mixed[] = {id("A"), id("Cam"), nullptr};
    EXPECT_EQ(list->splice(SPLICE_TAIL, mixed), LI_MixedTypes);
    LWItemID cam[] = {id("Cam"), nullptr};
    EXPECT_EQ(list->splice(id("A"), cam), LI_ItemTypeMismatch);
    EXPECT_EQ(list->index(id("Cam")), 0); // first camera
    EXPECT_EQ(list->index(reinterpret_cast<LWItemID>(std::uintptr_t(0x123))), LI_Failed);
}

TEST_F(Commands, UnknownCommandsAndBadArgumentsAreReported) {
    EXPECT_EQ(failure("Frobnicate 1"), "unknown command 'Frobnicate'");
    EXPECT_EQ(failure("Position 1 2"), "Position: missing argument");
    EXPECT_EQ(failure("GoToFrame 1 2"), "GoToFrame: unexpected argument '2'");
    EXPECT_EQ(failure("GoToFrame ten"), "GoToFrame: 'ten' is not a number");
    EXPECT_EQ(failure("Position 1 2 3"), "Position: no item is selected");
    // "Tool_" alone names no tool (it once reached a lookup that threw).
    EXPECT_EQ(failure("Tool_"), "unknown command 'Tool_'");
    EXPECT_FALSE(host::CommandInterpreter::knows("Tool_"));
    EXPECT_TRUE(host::CommandInterpreter::knows("Tool_X"));
}

TEST_F(Commands, FramesBeyondAMillionAreRefused) {
    // 1e10 once reached a conversion to a frame number that cannot hold it.
    for (const char* frame : {"1e10", "-1e10", "1000000.5", "-1000001", "1e308"})
        EXPECT_EQ(failure(std::string("GoToFrame ") + frame),
                  "GoToFrame: frame out of range (-1000000 to 1000000)")
            << frame;
    EXPECT_EQ(failure("GoToFrame 1000000"), "");
    EXPECT_EQ(failure("GoToFrame -1000000"), "");
    EXPECT_EQ(failure("GoToFrame 2.5"), "");
    EXPECT_DOUBLE_EQ(layout.scene().timing().time, 2.5 / layout.scene().timing().framesPerSecond);
}

TEST_F(Commands, CommandsAModuleSendsArePrintedAndFailuresGiveZero) {
    auto* commandFunc =
        reinterpret_cast<int (*)(const char*)>(layout.services().lookup("LW Command Interface"));
    EXPECT_EQ(commandFunc("AddNull Sent"), 1);
    EXPECT_NE(layout.scene().find("Sent"), nullptr);
    EXPECT_EQ(commandFunc("NoSuchCommand"), 0);
    EXPECT_EQ(out.str(), "command: AddNull Sent\n"
                         "command: NoSuchCommand\n"
                         "error: unknown command 'NoSuchCommand'\n");
}

TEST_F(Commands, DumpDescribesAnItemAtTheCurrentTime) {
    command("AddNull Parent");
    command("Position 1 2 3");
    command("Rotation 90 0 0");
    command("AddNull \"Child\"");
    command("Position 0 0 1");
    command("ParentItem " + hexId("Parent"));
    // Layout keeps quotes in a name argument; the JSON escapes them.
    ASSERT_NE(layout.scene().find("\"Child\""), nullptr);
    std::string json = host::dumpItem(layout.scene(), *layout.scene().find("\"Child\""));
    char idText[32];
    std::snprintf(idText, sizeof idText, "0x%016llX",
                  static_cast<unsigned long long>(std::uintptr_t(id("\"Child\""))));
    EXPECT_EQ(json, std::string("{\"name\":\"\\\"Child\\\"\",\"id\":\"") + idText +
                        "\",\"type\":\"object\",\"parent\":\"Parent\",\"visibility\":5,"
                        "\"position\":[2,2,3],\"right\":[0,0,-1],\"up\":[0,1,0],"
                        "\"forward\":[1,0,0],\"scaling\":[1,1,1],\"points\":0,\"polygons\":0}");
}

TEST(Scripts, LoadObjectNamesTheItemAfterTheFileAndRefusesBadFiles) {
    std::string dir =
        std::filesystem::path(testing::TempDir() + "/morvane_cmd_" + std::to_string(getpid()))
            .lexically_normal()
            .string();
    std::string mkdir = "mkdir -p " + dir;
    ASSERT_EQ(std::system(mkdir.c_str()), 0);
    std::ofstream(dir + "/tri angle.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    std::ofstream(dir + "/broken.obj") << "v 0 0 0\nf 1 2 7\n";

    std::ostringstream out;
    host::Host layout(out);
    host::ScriptRunner runner(layout);
    std::istringstream good("LoadObject \"" + dir + "/tri angle.obj\"\nDump \"tri angle\"\n");
    runner.run(good, "good.script");
    EXPECT_NE(out.str().find("\"name\":\"tri angle\""), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("\"points\":3,\"polygons\":1"), std::string::npos);

    std::istringstream bad("LoadObject " + dir + "/broken.obj\n");
    try {
        runner.run(bad, "bad.script");
        ADD_FAILURE() << "a broken object loaded";
    } catch (const host::HostError& e) {
        std::string message = e.what();
        EXPECT_EQ(message.rfind("bad.script:1: LoadObject: " + dir + "/broken.obj:2:", 0), 0u)
            << message;
    }
    EXPECT_EQ(layout.scene().find("broken"), nullptr);
    EXPECT_EQ(layout.scene().items().size(), 1u);
}

} // namespace

namespace {

TEST(MeshPositions, OtherPositionsOfAnUndeformedObjectAreItsWorldPositions) {
    std::string dir = testing::TempDir() + "/morvane_world_" + std::to_string(getpid());
    ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
    std::ofstream(dir + "/tri.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    std::ostringstream out;
    host::Host layout(out);
    host::CommandInterpreter run(layout);
    run.execute("LoadObject " + dir + "/tri.obj");
    run.execute("Position 1 2 3");
    run.execute("Rotation 90 0 0");
    auto* objects = static_cast<LWObjectInfo*>(layout.services().lookup("LW Object Info 7"));
    LWMeshInfo* mesh = objects->meshInfo(layout.scene().firstSelected(), 1);
    ASSERT_NE(mesh, nullptr);
    struct Seen {
        LWMeshInfo* mesh;
        std::vector<std::array<float, 6>> points;
    } seen{mesh, {}};
    mesh->scanPoints(
        mesh,
        [](void* data, LWPntID id) -> size_t {
            auto* s = static_cast<Seen*>(data);
            float base[3], other[3];
            s->mesh->pntBasePos(s->mesh, id, base);
            s->mesh->pntOtherPos(s->mesh, id, other);
            s->points.push_back({base[0], base[1], base[2], other[0], other[1], other[2]});
            return 0;
        },
        &seen);
    mesh->destroy(mesh);
    ASSERT_EQ(seen.points.size(), 3u);
    // (1,0,0) turned by heading 90 is (0,0,-1), then moved by (1,2,3).
    EXPECT_FLOAT_EQ(seen.points[1][0], 1.0f);
    EXPECT_NEAR(seen.points[1][3], 1.0f, 1e-6);
    EXPECT_NEAR(seen.points[1][4], 2.0f, 1e-6);
    EXPECT_NEAR(seen.points[1][5], 2.0f, 1e-6);
    EXPECT_NEAR(seen.points[0][3], 1.0f, 1e-6);
    EXPECT_NEAR(seen.points[0][5], 3.0f, 1e-6);
}

} // namespace
