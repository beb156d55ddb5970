// Plug-in instances on items, driven through the host's commands against the
// instance probe module, whose callbacks print what they were given. The host
// prints to stdout too, so one transcript shows both sides in order.
#include "host/commands/dump.h"
#include "host/host.h"
#include "host/common/host_error.h"
#include "host/commands/script.h"

#include "../support/captured_script.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

std::string probePath() {
    return std::string(MORVANE_FIXTURE_DIR) + "/instance_probe.p";
}

class Instances : public testing::Test {
  protected:
    Instances() : layout(std::cout), runner(layout) { layout.loadModule(probePath()); }

    // Runs script lines; returns everything host and module printed.
    std::string run(const std::string& lines) {
        CapturedScript r = runCaptured(runner, lines);
        if (r.failed) throw host::HostError(r.error);
        return r.printed;
    }
    // The error a script stops with, and what was printed before it.
    std::string failure(const std::string& lines, std::string* printed = nullptr) {
        CapturedScript r = runCaptured(runner, lines);
        if (printed) *printed = r.printed;
        return r.error;
    }
    LWItemID id(const std::string& name) {
        host::Item* item = layout.scene().find(name);
        return item ? item->id : nullptr;
    }
    std::string servers(const std::string& name) {
        std::string json =
            host::dumpItem(layout.scene(), *layout.scene().find(name), &layout.instances());
        size_t at = json.find("\"servers\":");
        return at == std::string::npos ? "(none)" : json.substr(at + 10, json.size() - at - 11);
    }

    host::Host layout;
    host::ScriptRunner runner;
};

TEST_F(Instances, ApplyActivatesOnceThenCreatesOnTheSelectedItemAndRunsNewTime) {
    run("AddNull Body\nGoToFrame 12\nAddNull Other\n");
    EXPECT_EQ(run("Select Body\nApplyServer CustomObjHandler iprobe_obj\n"),
              "iprobe activate CustomObjHandler iprobe_obj version 5\n"
              "iprobe create obj#1 on Body (priv ok)\n"
              "iprobe newTime obj#1 frame 12 time 0.4\n");
    // The activation is kept: later instances reuse it.
    EXPECT_EQ(run("Select Other\nApplyServer CustomObjHandler iprobe_obj\n"),
              "iprobe create obj#2 on Other (priv ok)\n"
              "iprobe newTime obj#2 frame 12 time 0.4\n");
    EXPECT_EQ(run("ApplyServer DisplacementHandler iprobe_disp\n"),
              "iprobe activate DisplacementHandler iprobe_disp version 5\n"
              "iprobe create disp#3 on Other (priv ok)\n"
              "iprobe newTime disp#3 frame 12 time 0.4\n");

    EXPECT_EQ(servers("Body"), "[{\"class\":\"CustomObjHandler\",\"name\":\"iprobe_obj\","
                               "\"description\":\"obj#1\",\"record\":null}]");
    // The displacement server gives no descln.
    EXPECT_EQ(servers("Other"), "[{\"class\":\"CustomObjHandler\",\"name\":\"iprobe_obj\","
                                "\"description\":\"obj#2\",\"record\":null},"
                                "{\"class\":\"DisplacementHandler\",\"name\":\"iprobe_disp\","
                                "\"description\":null,\"record\":null}]");
    // The script's Dump carries the list as well.
    EXPECT_NE(run("Dump Body\n").find(",\"servers\":[{\"class\":\"CustomObjHandler\""),
              std::string::npos);
}

TEST_F(Instances, AFrameChangeReachesCustomObjectsFirstThenDisplacements) {
    run("AddNull A\nApplyServer DisplacementHandler iprobe_disp\n"
        "AddNull B\nApplyServer DisplacementHandler iprobe_disp\n"
        "ApplyServer CustomObjHandler iprobe_obj\n"
        "Select A\nApplyServer CustomObjHandler iprobe_obj\n");
    EXPECT_EQ(run("GoToFrame 3\n"), "iprobe newTime obj#4 frame 3 time 0.1\n"
                                    "iprobe newTime obj#3 frame 3 time 0.1\n"
                                    "iprobe newTime disp#1 frame 3 time 0.1\n"
                                    "iprobe newTime disp#2 frame 3 time 0.1\n");
    // Between frames the frame is the one the time falls in.
    EXPECT_EQ(run("GoToFrame 7.5\n").find("iprobe newTime obj#4 frame 7 time 0.25\n"), 0u);
}

TEST_F(Instances, ANewTimeErrorIsReportedAndTheOthersStillRun) {
    run("AddNull A\nApplyServer CustomObjHandler iprobe_obj\n"
        "ApplyServer DisplacementHandler iprobe_disp\n");
    EXPECT_EQ(run("GoToFrame 13\n"),
              "iprobe newTime obj#1 frame 13 time 0.433333\n"
              "error: CustomObjHandler iprobe_obj: iprobe dislikes frame 13\n"
              "iprobe newTime disp#2 frame 13 time 0.433333\n");
}

TEST_F(Instances, RefusedCreatesAndMissingServersAddNothing) {
    run("AddNull Body\n");
    EXPECT_EQ(failure("ApplyServer CustomObjHandler iprobe_refuse\n"),
              "t:1: ApplyServer: iprobe will not go on Body");
    EXPECT_EQ(failure("ApplyServer CustomObjHandler iprobe_null\n"),
              "t:1: ApplyServer: CustomObjHandler iprobe_null made no instance");
    EXPECT_EQ(failure("ApplyServer CustomObjHandler iprobe_nope\n"),
              "t:1: ApplyServer: module has no server CustomObjHandler iprobe_nope");
    // A server of the other handler class does not count.
    EXPECT_EQ(failure("ApplyServer CustomObjHandler iprobe_disp\n"),
              "t:1: ApplyServer: module has no server CustomObjHandler iprobe_disp");
    EXPECT_EQ(failure("ApplyServer LayoutGeneric iprobe_generic\n"),
              "t:1: ApplyServer: servers of class LayoutGeneric are not applied");
    EXPECT_EQ(failure("ApplyServer CustomObjHandler\n"), "t:1: ApplyServer: missing argument");
    EXPECT_EQ(failure("AddCamera Cam\nApplyServer CustomObjHandler iprobe_obj\n"),
              "t:2: ApplyServer: CustomObjHandler goes on objects, not on Cam");
    EXPECT_EQ(failure("Select\nApplyServer CustomObjHandler iprobe_obj\n"),
              "t:2: ApplyServer: no item is selected");
    EXPECT_EQ(layout.instances().size(), 0u);
    EXPECT_EQ(servers("Body"), "[]");
}

TEST(InstancesWithoutModule, ApplyNeedsALoadedModule) {
    std::ostringstream out;
    host::Host bare(out);
    host::ScriptRunner script(bare);
    std::istringstream in("AddNull Body\nApplyServer CustomObjHandler iprobe_obj\n");
    try {
        script.run(in, "bare");
        ADD_FAILURE() << "applied without a module";
    } catch (const host::HostError& e) {
        EXPECT_STREQ(e.what(), "bare:2: ApplyServer: no module is loaded");
    }
}

TEST_F(Instances, RemoveServerDestroysTheNthOfItsClass) {
    run("AddNull Body\nApplyServer CustomObjHandler iprobe_obj\n"
        "ApplyServer DisplacementHandler iprobe_disp\n"
        "ApplyServer CustomObjHandler iprobe_obj\n");
    EXPECT_EQ(run("RemoveServer CustomObjHandler 2\n"), "iprobe destroy obj#3 on Body\n");
    EXPECT_EQ(servers("Body"), "[{\"class\":\"CustomObjHandler\",\"name\":\"iprobe_obj\","
                               "\"description\":\"obj#1\",\"record\":null},"
                               "{\"class\":\"DisplacementHandler\",\"name\":\"iprobe_disp\","
                               "\"description\":null,\"record\":null}]");
    EXPECT_EQ(failure("RemoveServer CustomObjHandler 2\n"),
              "t:1: RemoveServer: no CustomObjHandler number 2 on Body");
    EXPECT_EQ(failure("RemoveServer DisplacementHandler 0\n"),
              "t:1: RemoveServer: no DisplacementHandler number 0 on Body");
    // What the displacement pass asks before each point: still there, on
    // that item, until removed.
    run("AddNull Other\nSelect Body\n");
    const host::ServerInstance* disp =
        layout.instances().find(id("Body"), "DisplacementHandler", 1);
    ASSERT_TRUE(disp);
    EXPECT_TRUE(layout.instances().holds(id("Body"), "DisplacementHandler", disp));
    EXPECT_FALSE(layout.instances().holds(id("Other"), "DisplacementHandler", disp));
    EXPECT_FALSE(layout.instances().holds(id("Body"), "CustomObjHandler", disp));
    EXPECT_EQ(run("RemoveServer DisplacementHandler 1\n"), "iprobe destroy disp#2 on Body\n");
    EXPECT_FALSE(layout.instances().holds(id("Body"), "DisplacementHandler", disp));
    EXPECT_EQ(layout.instances().size(), 1u);
}

TEST_F(Instances, EditServerNamesThePanelOfAnExistingInstance) {
    run("AddNull Body\nApplyServer DisplacementHandler iprobe_disp\n");
    EXPECT_EQ(run("EditServer DisplacementHandler 1\n"),
              "panel: DisplacementHandler iprobe_disp (no panel: module has no server "
              "DisplacementInterface iprobe_disp)\n");
    EXPECT_EQ(failure("EditServer CustomObjHandler 1\n"),
              "t:1: EditServer: no CustomObjHandler number 1 on Body");
}

TEST_F(Instances, CloneCopiesTheItemThenRecreatesAndCopiesItsInstances) {
    std::string dir = testing::TempDir() + "/morvane_inst_" + std::to_string(getpid());
    ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
    std::ofstream(dir + "/tri.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";

    run("AddNull Root\nLoadObject " + dir +
        "/tri.obj\n"
        "Parent tri Root\nPosition 1 2 3\nCreateKey 1\nPosition 5 2 3\nUnseenByRays\n"
        "ApplyServer CustomObjHandler iprobe_obj\n"
        "ApplyServer DisplacementHandler iprobe_disp\n");
    // Clones are named before their instances are made, and each instance
    // is created on the clone, then handed the source's for copying.
    EXPECT_EQ(run("Clone 2\n"), "iprobe create obj#3 on tri (2) (priv ok)\n"
                                "iprobe copy obj#3 <- obj#1\n"
                                "iprobe newTime obj#3 frame 0 time 0\n"
                                "iprobe create disp#4 on tri (2) (priv ok)\n"
                                "iprobe copy disp#4 <- disp#2\n"
                                "iprobe newTime disp#4 frame 0 time 0\n"
                                "iprobe create obj#5 on tri (3) (priv ok)\n"
                                "iprobe copy obj#5 <- obj#1\n"
                                "iprobe newTime obj#5 frame 0 time 0\n"
                                "iprobe create disp#6 on tri (3) (priv ok)\n"
                                "iprobe copy disp#6 <- disp#2\n"
                                "iprobe newTime disp#6 frame 0 time 0\n");
    EXPECT_EQ(servers("tri (3)"), "[{\"class\":\"CustomObjHandler\",\"name\":\"iprobe_obj\","
                                  "\"description\":\"obj#5 copied from #1\",\"record\":null},"
                                  "{\"class\":\"DisplacementHandler\",\"name\":\"iprobe_disp\","
                                  "\"description\":null,\"record\":null}]");

    host::Item& source = *layout.scene().find("tri");
    host::Item& clone = *layout.scene().find("tri (2)");
    EXPECT_EQ(layout.scene().firstSelected(), id("tri (3)"));
    EXPECT_EQ(clone.type, LWI_OBJECT);
    EXPECT_EQ(clone.parent, id("Root"));
    EXPECT_EQ(clone.mesh, source.mesh);
    EXPECT_EQ(clone.path, source.path);
    EXPECT_EQ(clone.renderFlags, source.renderFlags);
    EXPECT_NE(clone.renderFlags, 0u);
    EXPECT_EQ(clone.shadowOptions, source.shadowOptions);
    host::Envelope& from = source.channels->findChannel("Position.X")->envelope();
    host::Envelope& to = clone.channels->findChannel("Position.X")->envelope();
    ASSERT_EQ(to.keyCount(), 2);
    EXPECT_DOUBLE_EQ(to.evaluate(0.0), 5.0);
    EXPECT_DOUBLE_EQ(to.evaluate(1.0), 1.0);
    EXPECT_DOUBLE_EQ(to.evaluate(0.37), from.evaluate(0.37));
    // The clone's keys are its own.
    to.destroyKey(to.nextKey(nullptr));
    EXPECT_EQ(from.keyCount(), 2);

    // A clone's clone takes the next free number, not "tri (2) (2)".
    std::string printed = run("Select \"tri (2)\"\nClone 1\n");
    EXPECT_NE(printed.find("iprobe create obj#7 on tri (4) (priv ok)\n"), std::string::npos)
        << printed;
    EXPECT_NE(id("tri (4)"), nullptr);
}

TEST_F(Instances, CloneOfANullWithoutInstancesAndBadCounts) {
    run("AddNull Lamp\n");
    EXPECT_EQ(run("Clone 1\n"), "");
    EXPECT_NE(id("Lamp (2)"), nullptr);
    EXPECT_EQ(failure("Clone 0\n"), "t:1: Clone: 0 is out of range");
    EXPECT_EQ(failure("Select\nClone 1\n"), "t:2: Clone: no item is selected");
}

TEST_F(Instances, ClearSceneDestroysInstancesWhileTheirItemsExist) {
    run("AddNull A\nApplyServer CustomObjHandler iprobe_obj\nAddNull B\n"
        "ApplyServer DisplacementHandler iprobe_disp\nApplyServer CustomObjHandler iprobe_obj\n");
    EXPECT_EQ(run("ClearScene\n"), "iprobe destroy obj#1 on A\n"
                                   "iprobe destroy disp#2 on B\n"
                                   "iprobe destroy obj#3 on B\n");
    EXPECT_EQ(layout.scene().items().size(), 0u);
    EXPECT_EQ(layout.instances().size(), 0u);
    // Nothing is left to hear of a frame change.
    EXPECT_EQ(run("GoToFrame 5\n"), "");
    // The kept activation serves the next scene without activating again.
    EXPECT_EQ(run("AddNull C\nApplyServer CustomObjHandler iprobe_obj\n"),
              "iprobe create obj#4 on C (priv ok)\niprobe newTime obj#4 frame 5 time 0.166667\n");
}

TEST_F(Instances, RenameAndChangedIdsReachEveryInstance) {
    run("AddNull A\nApplyServer CustomObjHandler iprobe_obj\nAddNull B\n"
        "ApplyServer DisplacementHandler iprobe_disp\n");
    EXPECT_EQ(run("Rename Bee\n"), "iprobe changeName obj#1 B -> Bee\n"
                                   "iprobe changeName disp#2 B -> Bee (mine)\n");

    // A renumbering that swaps two items' IDs moves each instance once.
    LWItemID a = id("A"), b = id("Bee");
    ASSERT_EQ(layout.instances().usedItems(*layout.instances().on(a)[0]), std::vector<LWItemID>{a});
    LWItemID pairs[] = {a, b, b, a, nullptr, nullptr};
    testing::internal::CaptureStdout();
    layout.instances().changeID(pairs);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "iprobe changeID obj#1 now on Bee\n"
                                                      "iprobe changeID disp#2 now on A\n");
    ASSERT_EQ(layout.instances().on(b).size(), 1u);
    EXPECT_EQ(layout.instances().on(b)[0]->serverName, "iprobe_obj");
    ASSERT_EQ(layout.instances().on(a).size(), 1u);
    EXPECT_EQ(layout.instances().on(a)[0]->serverName, "iprobe_disp");
}

TEST_F(Instances, GenericRunsByServerOrButtonNameAndItsCommandsTakeEffect) {
    run("AddNull Body\n");
    EXPECT_EQ(run("Generic \"Probe Apply\"\n"),
              "iprobe generic version 2\n"
              "command: ApplyServer DisplacementHandler iprobe_disp\n"
              "iprobe activate DisplacementHandler iprobe_disp version 5\n"
              "iprobe create disp#1 on Body (priv ok)\n"
              "iprobe newTime disp#1 frame 0 time 0\n"
              "iprobe generic evaluate -> 1\n");
    EXPECT_EQ(run("Select\nGeneric iprobe_generic\n"),
              "iprobe generic version 2\n"
              "command: ApplyServer DisplacementHandler iprobe_disp\n"
              "error: ApplyServer: no item is selected\n"
              "iprobe generic evaluate -> 0\n");
    EXPECT_EQ(failure("Generic iprobe_obj\n"), "t:1: no LayoutGeneric server named 'iprobe_obj'");
    EXPECT_EQ(layout.instances().size(), 1u);
}

TEST(InstanceTeardown, TheHostDestroysInstancesBeforeTheModuleShutsDown) {
    testing::internal::CaptureStdout();
    {
        host::Host layout(std::cout);
        layout.loadModule(probePath());
        host::ScriptRunner runner(layout);
        std::istringstream in("AddNull A\nApplyServer CustomObjHandler iprobe_obj\n"
                              "ApplyServer DisplacementHandler iprobe_disp\n");
        runner.run(in, "t");
    }
    std::string text = testing::internal::GetCapturedStdout();
    size_t obj = text.find("iprobe destroy obj#1 on A\n");
    size_t disp = text.find("iprobe destroy disp#2 on A\n");
    size_t shutdown = text.find("iprobe shutdown\n");
    ASSERT_NE(obj, std::string::npos) << text;
    ASSERT_NE(disp, std::string::npos) << text;
    EXPECT_LT(obj, disp);
    EXPECT_LT(disp, shutdown);
    EXPECT_EQ(text.find("iprobe shutdown\n"), text.size() - 16) << text;
}

TEST(InstanceTeardown, LoadingAnotherModuleDestroysTheOldModulesInstancesFirst) {
    std::ostringstream out;
    host::Host layout(out);
    layout.loadModule(probePath());
    layout.scene().select(layout.scene().add(LWI_OBJECT, "A").id);
    testing::internal::CaptureStdout();
    layout.instances().apply(layout.scene().firstSelected(), "CustomObjHandler", "iprobe_obj");
    layout.loadModule(probePath());
    std::string text = testing::internal::GetCapturedStdout();
    EXPECT_NE(text.find("iprobe newTime obj#1 frame 0 time 0\n"
                        "iprobe destroy obj#1 on A\n"
                        "iprobe shutdown\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(layout.instances().size(), 0u);
    // The new module is activated afresh.
    testing::internal::CaptureStdout();
    layout.instances().apply(layout.scene().firstSelected(), "CustomObjHandler", "iprobe_obj");
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("iprobe activate", 0), 0u);
}

} // namespace
