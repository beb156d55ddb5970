// The cage item as the host runs it: the real module file, a Null with the
// cage server applied, creation with and without an add-cage order, the
// per-frame computation on the refresh event, and destruction.
#include "host/commands/commands.h"
#include "host/host.h"
#include "host/commands/script.h"

#include "cage_instance.h"
#include "ring_query.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// A 2 x 2 x 2 cube centred on the origin: 8 points, 6 quads.
std::string writeCube() {
    std::string path = testing::TempDir() + "/cage_cube_" + std::to_string(getpid()) + ".obj";
    std::ofstream(path) << "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
                           "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                           "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 5 1 4 8\n";
    return path;
}

// Stands in for the add-cage command: answers the cage's order request.
CageOrder pendingOrder;
void orderHandler(void*, void*, int, void* payload) {
    if (payload) *static_cast<CageOrder*>(payload) = pendingOrder;
}

class CageItem : public testing::Test {
  protected:
    CageItem() : layout(out), commands(layout) {
        layout.loadModule(MORVANE_MODULE_PATH);
        cube = writeCube();
    }
    ~CageItem() override { std::remove(cube.c_str()); }

    void run(const std::string& line) { commands.execute(line); }
    CageInstance* cageOn(const std::string& name) {
        auto instances = layout.instances().on(layout.scene().find(name)->id, "CustomObjHandler");
        return instances.empty() ? nullptr : static_cast<CageInstance*>(instances[0]->instance);
    }
    LWComRing* ring() {
        return static_cast<LWComRing*>(layout.services().lookup("LW Communication Ring"));
    }

    std::ostringstream out;
    host::Host layout;
    host::CommandInterpreter commands;
    std::string cube;
};

TEST_F(CageItem, AppliedByHandItStartsEmptyWithItsEnvelope) {
    run("AddNull Lattice");
    run("ApplyServer CustomObjHandler Zentrik_Morvane");
    CageInstance* cage = cageOn("Lattice");
    ASSERT_NE(cage, nullptr);
    EXPECT_EQ(cage->pointCount, 0);
    EXPECT_STREQ(cage->groupName, "name");
    EXPECT_EQ(cage->display, 2);
    EXPECT_EQ(cage->highlighted, 1); // no tool runs
    EXPECT_STREQ(cage->description, "Morvane 1.12");
    EXPECT_STREQ(cage->envelopeName, "Cage");
    EXPECT_EQ(cage->keyHead, nullptr);
    EXPECT_EQ(layout.scene().find("Lattice")->channels->findChannel("Cage")->envelope().keyCount(),
              0);
    EXPECT_EQ(layout.ring().attachedCount("COMRING_CAGECUSTOM"), 1);

    // A second cage on the same Null takes the next envelope name.
    run("ApplyServer CustomObjHandler Zentrik_Morvane");
    auto both = layout.instances().on(layout.scene().find("Lattice")->id, "CustomObjHandler");
    ASSERT_EQ(both.size(), 2u);
    EXPECT_STREQ(static_cast<CageInstance*>(both[1]->instance)->envelopeName, "Cage(2)");

    run("RemoveServer CustomObjHandler 2");
    EXPECT_EQ(layout.ring().attachedCount("COMRING_CAGECUSTOM"), 1);
    EXPECT_EQ(layout.scene().find("Lattice")->channels->findChannel("Cage(2)"), nullptr);
}

TEST_F(CageItem, AnOrderBuildsTheCageFromTheObjectWhereTheObjectIs) {
    run("LoadObject " + cube);
    std::string cubeName = layout.scene().find(layout.scene().firstSelected())->name;
    run("Position 1 2 3");
    run("AddNull Lattice");

    char topic[] = "COMRING_CAGEGENERICORDER";
    pendingOrder = {layout.scene().find(cubeName)->id, nullptr};
    ring()->ringAttach(topic, &pendingOrder, orderHandler);
    run("ApplyServer CustomObjHandler Zentrik_Morvane");
    ring()->ringDetach(topic, &pendingOrder);

    CageInstance* cage = cageOn("Lattice");
    ASSERT_NE(cage, nullptr);
    ASSERT_EQ(cage->pointCount, 8);
    EXPECT_EQ(cage->polygonCount, 6);
    EXPECT_NEAR(cage->perpendicularDistance, 5.0, 1e-12); // 2.5 x mean edge 2
    // The points follow the mesh's order.
    EXPECT_EQ(cage->pointArray[6]->basePos[0], 1.0);
    EXPECT_EQ(cage->pointArray[6]->basePos[1], 1.0);
    EXPECT_EQ(cage->pointArray[6]->basePos[2], 1.0);
    // One key at time 0 with zero deltas, mirrored with its label.
    ASSERT_NE(cage->keyHead, nullptr);
    EXPECT_EQ(cage->keyHead, cage->keyTail);
    EXPECT_EQ(cage->keyHead->time, 0.0);
    EXPECT_EQ(cage->keyHead->label, 1.0);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(cage->keyHead->deltas[i], 0.0);
    host::Envelope& env = layout.scene().find("Lattice")->channels->findChannel("Cage")->envelope();
    ASSERT_EQ(env.keyCount(), 1);
    EXPECT_EQ(env.nextKey(nullptr)->value(), 1.0);

    // The Null sits where the object is.
    auto* items = static_cast<LWItemInfo*>(layout.services().lookup("LW Item Info 5"));
    double w[3];
    items->param(layout.scene().find("Lattice")->id, LWIP_W_POSITION, 0.0, w);
    EXPECT_NEAR(w[0], 1.0, 1e-12);
    EXPECT_NEAR(w[1], 2.0, 1e-12);
    EXPECT_NEAR(w[2], 3.0, 1e-12);

    // A frame: NewTime marks the cage; the refresh event computes it once.
    run("GoToFrame 10");
    EXPECT_EQ(cage->refreshPending, 1);
    EXPECT_NEAR(cage->perpendicularDistanceClamped, 5.0, 1e-12);
    RingQuery refresh;
    std::memset(&refresh, 0, sizeof refresh);
    std::strcpy(refresh.name, "name");
    char cages[] = "COMRING_CAGECUSTOM";
    ring()->ringMessage(cages, 0x8000, &refresh);
    EXPECT_EQ(cage->refreshPending, 0);
    EXPECT_EQ(refresh.count, 0); // the refresh alone counts nothing
    EXPECT_EQ(cage->rebuildNeeded, 0);
    // Point 6 at (1,1,1) in the cage is at (2,3,4) in the world.
    EXPECT_NEAR(cage->pointArray[6]->worldOtherPos[0], 2.0, 1e-12);
    EXPECT_NEAR(cage->pointArray[6]->worldOtherPos[1], 3.0, 1e-12);
    EXPECT_NEAR(cage->pointArray[6]->worldOtherPos[2], 4.0, 1e-12);
    EXPECT_NE(cage->trisMat3D, nullptr); // Skin mode builds its grids

    // The group listing finds it; another group does not.
    void* list[4] = {};
    RingQuery query;
    std::memset(&query, 0, sizeof query);
    query.list = list;
    query.capacity = 4;
    std::strcpy(query.name, "name");
    ring()->ringMessage(cages, 3, &query);
    EXPECT_EQ(query.count, 1);
    EXPECT_EQ(list[0], cage);
    std::memset(&query, 0, sizeof query);
    query.list = list;
    query.capacity = 4;
    std::strcpy(query.name, "leg");
    ring()->ringMessage(cages, 3, &query);
    EXPECT_EQ(query.count, 0);
}

TEST_F(CageItem, TheDumpListsTheCageServer) {
    run("AddNull Lattice");
    run("ApplyServer CustomObjHandler Zentrik_Morvane");
    host::ScriptRunner(layout).execute({"Dump", "Lattice"});
    EXPECT_NE(
        out.str().find("\"servers\":[{\"class\":\"CustomObjHandler\",\"name\":\"Zentrik_Morvane\","
                       "\"description\":\"Morvane 1.12\""),
        std::string::npos)
        << out.str();
}

} // namespace

namespace {

TEST_F(CageItem, SceneFilesCarryTheCageServerAcrossSaveAndLoad) {
    run("AddNull Lattice");
    run("ApplyServer CustomObjHandler Zentrik_Morvane");
    std::string scene = testing::TempDir() + "/cage_scene_" + std::to_string(getpid()) + ".lws";
    run("SaveSceneAs " + scene);
    std::ifstream saved(scene);
    std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("AddNullObject 10000000 Lattice\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Plugin CustomObjHandler 1 Zentrik_Morvane\n"), std::string::npos) << text;

    run("LoadScene " + scene);
    CageInstance* cage = cageOn("Lattice");
    ASSERT_NE(cage, nullptr);
    EXPECT_EQ(layout.instances().size(), 1u);
    EXPECT_EQ(layout.ring().attachedCount("COMRING_CAGECUSTOM"), 1);
    EXPECT_EQ(cage->itemID, layout.scene().find("Lattice")->id);
    std::remove(scene.c_str());
}

} // namespace

namespace {

// Graph-editor edits of the Cage envelope reach the cage's key list.
TEST_F(CageItem, HostKeyEditsOnTheCageChannelReachTheKeys) {
    run("LoadObject " + cube);
    std::string cubeName = layout.scene().find(layout.scene().firstSelected())->name;
    run("AddNull Lattice");
    char topic[] = "COMRING_CAGEGENERICORDER";
    pendingOrder = {layout.scene().find(cubeName)->id, nullptr};
    ring()->ringAttach(topic, &pendingOrder, orderHandler);
    run("ApplyServer CustomObjHandler Zentrik_Morvane");
    ring()->ringDetach(topic, &pendingOrder);
    CageInstance* cage = cageOn("Lattice");
    ASSERT_NE(cage, nullptr);
    cage->keyHead->deltas[0] = 0.5; // something to recognise the key by

    host::ScriptRunner script(layout);
    script.execute({"KeyCopy", "Lattice", "Cage", "0", "1"});
    ASSERT_NE(cage->keyHead->next, nullptr);
    CageKey* copy = cage->keyHead->next;
    EXPECT_EQ(copy->time, 1.0);
    EXPECT_EQ(copy->deltas[0], 0.5);
    double copyLabel = copy->label;

    script.execute({"KeyMove", "Lattice", "Cage", "1", "2"});
    EXPECT_EQ(cage->keyTail, copy); // the same key, moved
    EXPECT_EQ(copy->time, 2.0);
    EXPECT_EQ(copy->label, copyLabel);

    script.execute({"KeyCreate", "Lattice", "Cage", "1", "0.25"});
    CageKey* typed = cage->keyHead->next;
    EXPECT_EQ(typed->time, 1.0);
    EXPECT_NEAR(typed->deltas[0], 0.5, 1e-12); // between two equal keys
    host::Envelope& env = layout.scene().find("Lattice")->channels->findChannel("Cage")->envelope();
    EXPECT_EQ(env.findKey(1.0)->value(), typed->label);

    script.execute({"KeyDelete", "Lattice", "Cage", "2"});
    EXPECT_EQ(cage->keyTail, typed);
    EXPECT_EQ(env.keyCount(), 2);

    EXPECT_THROW(script.execute({"KeyMove", "Lattice", "Cage", "5", "6"}), std::exception);
    EXPECT_THROW(script.execute({"KeyCopy", "Lattice", "Cage", "0", "1"}), std::exception);
    EXPECT_THROW(script.execute({"KeyCreate", "Lattice", "Nothing", "0", "1"}), std::exception);
}

} // namespace
