// The cage record as the host runs it with the real module file: clones of a
// cage Null, and a scene saved and read back.
#include "cage/cage_envelope.h"
#include "cage/cage_keys.h"

#include "host/commands/commands.h"
#include "host/host.h"

#include "cage_instance.h"
#include "ring_query.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string tempPath(const std::string& stem, const std::string& ext) {
    return testing::TempDir() + "/" + stem + "_" + std::to_string(getpid()) + ext;
}

// A 2 x 2 x 2 cube centred on the origin: 8 points, 6 quads.
std::string writeCube() {
    std::string path = tempPath("storage_cube", ".obj");
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

class CageStorageHost : public testing::Test {
  protected:
    CageStorageHost() : layout(out), commands(layout) {
        layout.loadModule(MORVANE_MODULE_PATH);
        cube = writeCube();
        scene = tempPath("storage_scene", ".lws");
    }
    ~CageStorageHost() override {
        std::remove(cube.c_str());
        std::remove(scene.c_str());
    }

    void run(const std::string& line) { commands.execute(line); }
    CageInstance* cageOn(const std::string& name) {
        host::Item* item = layout.scene().find(name);
        if (!item) return nullptr;
        auto instances = layout.instances().on(item->id, "CustomObjHandler");
        return instances.empty() ? nullptr : static_cast<CageInstance*>(instances[0]->instance);
    }
    host::Envelope& envelopeOf(CageInstance* cage) {
        return layout.scene()
            .find(cage->itemID)
            ->channels->findChannel(cage->envelopeName)
            ->envelope();
    }

    // A cage built from the cube on the Null "Lattice", with the cube as its
    // reference object.
    CageInstance* cubeCage() {
        run("LoadObject " + cube);
        cubeName = layout.scene().find(layout.scene().firstSelected())->name;
        run("AddNull Lattice");
        char topic[] = "COMRING_CAGEGENERICORDER";
        LWComRing* ring =
            static_cast<LWComRing*>(layout.services().lookup("LW Communication Ring"));
        pendingOrder = {layout.scene().find(cubeName)->id, layout.scene().find("Lattice")->id};
        ring->ringAttach(topic, &pendingOrder, orderHandler);
        run("ApplyServer CustomObjHandler Zentrik_Morvane");
        ring->ringDetach(topic, &pendingOrder);
        return cageOn("Lattice");
    }

    std::ostringstream out;
    host::Host layout;
    host::CommandInterpreter commands;
    std::string cube;
    std::string cubeName;
    std::string scene;
};

TEST_F(CageStorageHost, CloningTwiceNumbersTheGroupNames) {
    CageInstance* source = cubeCage();
    ASSERT_NE(source, nullptr);
    ASSERT_EQ(source->pointCount, 8);
    run("SelectByName Lattice");
    run("Clone 1");
    run("SelectByName Lattice");
    run("Clone 1");
    CageInstance* first = cageOn("Lattice (2)");
    CageInstance* second = cageOn("Lattice (3)");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(source->groupName, "name");
    EXPECT_STREQ(first->groupName, "name_#(1)");
    EXPECT_STREQ(second->groupName, "name_#(2)");
    // Each clone has the whole cage, mirrored in its own envelope.
    for (CageInstance* clone : {first, second}) {
        EXPECT_EQ(clone->pointCount, 8);
        EXPECT_EQ(clone->polygonCount, 6);
        ASSERT_NE(clone->keyHead, nullptr);
        EXPECT_EQ(clone->keyHead->time, 0.0);
        EXPECT_EQ(envelopeOf(clone).keyCount(), 1);
        EXPECT_EQ(clone->refObject, source->refObject);
        for (int i = 0; i < 8; ++i)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(clone->pointArray[i]->basePos[c], source->pointArray[i]->basePos[c]);
    }
}

TEST_F(CageStorageHost, CloneTwoMakesTwoNumberedCopies) {
    run("AddNull Lattice");
    run("ApplyServer CustomObjHandler Zentrik_Morvane");
    run("Clone 2");
    ASSERT_NE(cageOn("Lattice (2)"), nullptr);
    ASSERT_NE(cageOn("Lattice (3)"), nullptr);
    EXPECT_STREQ(cageOn("Lattice (2)")->groupName, "name_#(1)");
    EXPECT_STREQ(cageOn("Lattice (3)")->groupName, "name_#(2)");
    EXPECT_EQ(cageOn("Lattice (3)")->pointCount, 0);
}

TEST_F(CageStorageHost, ASavedSceneKeepsPointsKeysAndTheEnvelope) {
    CageInstance* cage = cubeCage();
    ASSERT_NE(cage, nullptr);
    ASSERT_EQ(cage->pointCount, 8);
    // A second key, moving point 6 up, mirrored as the tool would.
    double deltas[24] = {};
    deltas[6 * 3 + 1] = 0.5;
    CageKey* key = newCageKey(cage, 1.0, deltas);
    ASSERT_EQ(insertCageKeyToTime(cage, key, 1.0), 1);
    key->breakFlag = 1;
    refreshLWEnvelopeForThisLattice(
        cage, static_cast<LWEnvelopeFuncs*>(layout.services().lookup("Animation Envelopes")));
    std::strcpy(cage->groupName, "torso");
    ASSERT_EQ(envelopeOf(cage).keyCount(), 2);
    double before[8][3];
    for (int i = 0; i < 8; ++i)
        for (int c = 0; c < 3; ++c)
            before[i][c] = cage->pointArray[i]->basePos[c];

    run("SaveSceneAs " + scene);
    run("LoadScene " + scene);
    EXPECT_EQ(out.str().find("error"), std::string::npos) << out.str();

    CageInstance* loaded = cageOn("Lattice");
    ASSERT_NE(loaded, nullptr);
    EXPECT_STREQ(loaded->groupName, "torso");
    ASSERT_EQ(loaded->pointCount, 8);
    EXPECT_EQ(loaded->polygonCount, 6);
    for (int i = 0; i < 8; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(loaded->pointArray[i]->basePos[c], before[i][c]);
    ASSERT_NE(loaded->keyHead, nullptr);
    ASSERT_NE(loaded->keyHead->next, nullptr);
    EXPECT_EQ(loaded->keyHead->next, loaded->keyTail);
    EXPECT_EQ(loaded->keyHead->time, 0.0);
    EXPECT_EQ(loaded->keyTail->time, 1.0);
    EXPECT_EQ(loaded->keyTail->breakFlag, 1);
    EXPECT_EQ(loaded->keyTail->deltas[6 * 3 + 1], 0.5);
    EXPECT_EQ(loaded->keyTail->deltas[6 * 3], 0.0);
    // The reference object is the loaded scene's cube.
    EXPECT_EQ(loaded->refObject, layout.scene().find(cubeName)->id);
    // One host key per cage key, at its time, valued with its label.
    host::Envelope& env = envelopeOf(loaded);
    ASSERT_EQ(env.keyCount(), 2);
    host::Envelope::Key* first = env.nextKey(nullptr);
    EXPECT_EQ(first->time(), 0.0);
    EXPECT_EQ(first->value(), loaded->keyHead->label);
    EXPECT_EQ(env.nextKey(first)->time(), 1.0);
    EXPECT_EQ(env.nextKey(first)->value(), loaded->keyTail->label);
    EXPECT_EQ(layout.ring().attachedCount("COMRING_CAGECUSTOM"), 1);
}

} // namespace
