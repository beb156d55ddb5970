// The add-cage command as a person runs it in Layout: the real module file,
// the panel answered from the script, the host commands it sends, and the
// scene they leave behind.
#include "host/host.h"
#include "host/common/host_error.h"
#include "host/commands/script.h"

#include "cage_instance.h"
#include "command/add_cage.h"
#include "ring_query.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const double kCubePoints[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                                  {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};

// A 2 x 2 x 2 cube centred on its origin: 8 points, 6 quads.
std::string writeCube() {
    std::string path = testing::TempDir() + "/add_cage_" + std::to_string(getpid()) + "/cube.obj";
    mkdir(path.substr(0, path.find_last_of('/')).c_str(), 0755);
    std::ofstream(path) << "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
                           "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                           "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 5 1 4 8\n";
    return path;
}

// Shift-JIS labels of the Japanese panel.
const char kParentJa[] = "\x83\x50\x81\x5B\x83\x57\x82\xCC\x90\x65\x83\x41\x83\x43\x83\x65\x83\x80";
const char kReferenceJa[] = "\x8E\x51\x8F\xC6\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4E\x83\x67";

const unsigned kHiddenFlags = LWOBJF_UNSEEN_BY_CAMERA | LWOBJF_UNSEEN_BY_RAYS |
                              LWOBJF_UNSEEN_BY_RADIOSITY | LWOBJF_UNAFFECT_BY_FOG |
                              LWOBJF_UNSEEN_BY_ALPHA;

class AddCage : public testing::Test {
  protected:
    AddCage() : layout(out) {
        layout.loadModule(MORVANE_MODULE_PATH);
        cube = writeCube();
    }
    ~AddCage() override {
        std::remove(cube.c_str());
        rmdir(cube.substr(0, cube.find_last_of('/')).c_str());
    }

    void script(const std::string& text) {
        std::istringstream in(text);
        host::ScriptRunner(layout).run(in, "test");
    }
    void loadCube() {
        script("LoadObject " + cube + "\n");
        ASSERT_NE(layout.scene().find("cube"), nullptr);
    }
    LWItemID id(const std::string& name) {
        host::Item* item = layout.scene().find(name);
        return item ? item->id : nullptr;
    }
    std::string hex(const std::string& name) {
        char text[16];
        std::snprintf(text, sizeof text, "%x", unsigned(host::Scene::fileId(id(name))));
        return text;
    }
    // The output from `mark` on, and its Layout commands alone.
    std::string since(size_t mark) { return out.str().substr(mark); }
    std::vector<std::string> commandsSince(size_t mark) {
        std::vector<std::string> lines;
        std::istringstream in(since(mark));
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("command: ", 0) == 0) lines.push_back(line.substr(9));
        return lines;
    }
    CageInstance* cageOn(const std::string& name) {
        if (!id(name)) return nullptr;
        auto instances = layout.instances().on(id(name), "CustomObjHandler");
        return instances.empty() ? nullptr : static_cast<CageInstance*>(instances[0]->instance);
    }
    LWObjectInfo* objectInfo() {
        return static_cast<LWObjectInfo*>(layout.services().lookup("LW Object Info 7"));
    }
    LWInterfaceInfo* interfaceInfo() {
        return static_cast<LWInterfaceInfo*>(layout.services().lookup("LW Interface Info 7"));
    }
    void worldPosition(const std::string& name, double w[3]) {
        auto* items = static_cast<LWItemInfo*>(layout.services().lookup("LW Item Info 5"));
        items->param(id(name), LWIP_W_POSITION, 0.0, w);
    }
    void expectFreshCubeCage(CageInstance* cage) {
        ASSERT_NE(cage, nullptr);
        ASSERT_EQ(cage->pointCount, 8);
        EXPECT_EQ(cage->polygonCount, 6);
        EXPECT_NEAR(cage->perpendicularDistance, 5.0, 1e-12);
        ASSERT_NE(cage->keyHead, nullptr);
        EXPECT_EQ(cage->keyHead, cage->keyTail);
        EXPECT_EQ(cage->keyHead->time, 0.0);
        for (int i = 0; i < 24; ++i)
            EXPECT_EQ(cage->keyHead->deltas[i], 0.0) << i;
    }
    size_t itemCount() { return layout.scene().items().size(); }

    std::ostringstream out;
    host::Host layout;
    std::string cube;
};

TEST_F(AddCage, WithoutAParentItHidesTheObjectAndBuildsTheCageWhereTheObjectIs) {
    loadCube();
    script("Position 1 2 3\nRotation 30 0 0\nSelect\n");
    size_t mark = out.str().size();
    script("Respond OK \"Reference Object=cube\"\nGeneric \"Morvane Add\"\n");

    const std::vector<std::string> expected = {
        "SelectItem " + hex("cube"),
        "ItemVisibility 2",
        "SelfShadow",
        "CastShadow",
        "ReceiveShadow",
        "UnseenByCamera",
        "UnseenByRays",
        "UnseenByRadiosity",
        "UnaffectedByFog",
        "UnseenByAlphaChannel 1",
        "AddNull _Cage",
        "SelectItem " + hex("_Cage"),
        "ApplyServer CustomObjHandler Zentrik_Morvane",
        "EditServer CustomObjHandler 1",
    };
    EXPECT_EQ(commandsSince(mark), expected) << since(mark);
    EXPECT_NE(since(mark).find("panel: Add New Cage -> OK\n"), std::string::npos);
    EXPECT_NE(since(mark).find("panel: CustomObjHandler Zentrik_Morvane"), std::string::npos);
    EXPECT_EQ(since(mark).find("error:"), std::string::npos) << since(mark);

    // The cage: the cube's points in the mesh's order, one key of zero deltas.
    CageInstance* cage = cageOn("_Cage");
    ASSERT_NO_FATAL_FAILURE(expectFreshCubeCage(cage));
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(cage->pointArray[i]->basePos[k], kCubePoints[i][k]) << i << "," << k;

    // The Null stands where the object is, turned as it is, with no parent.
    host::Item* null = layout.scene().find("_Cage");
    EXPECT_EQ(null->parent, nullptr);
    double w[3];
    worldPosition("_Cage", w);
    EXPECT_NEAR(w[0], 1.0, 1e-12);
    EXPECT_NEAR(w[1], 2.0, 1e-12);
    EXPECT_NEAR(w[2], 3.0, 1e-12);
    auto* items = static_cast<LWItemInfo*>(layout.services().lookup("LW Item Info 5"));
    double forwardNull[3], forwardCube[3];
    items->param(id("_Cage"), LWIP_FORWARD, 0.0, forwardNull);
    items->param(id("cube"), LWIP_FORWARD, 0.0, forwardCube);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(forwardNull[k], forwardCube[k], 1e-9);

    // The reference object no longer renders or casts shadows.
    EXPECT_EQ(objectInfo()->flags(id("cube")) & kHiddenFlags, kHiddenFlags);
    EXPECT_EQ(objectInfo()->shadowOpts(id("cube")), 0u);
    EXPECT_EQ(interfaceInfo()->itemVis(id("cube")), LWOVIS_VERTICES);
    // The Null itself is left as Layout made it.
    EXPECT_EQ(objectInfo()->flags(id("_Cage")) & kHiddenFlags, 0u);

    // The order was offered only while the command ran: a cage made by hand
    // afterwards starts empty.
    EXPECT_EQ(layout.ring().attachedCount("COMRING_CAGEGENERICORDER"), 0);
    script("AddNull Other\nApplyServer CustomObjHandler Zentrik_Morvane\n");
    ASSERT_NE(cageOn("Other"), nullptr);
    EXPECT_EQ(cageOn("Other")->pointCount, 0);
}

TEST_F(AddCage, WithAParentTheNullIsParentedAndTheCageBuiltInTheParentsFrame) {
    script("AddNull Rig\nPosition 0 1 0\nRotation 90 0 0\n");
    loadCube();
    // The cube stays at the origin: the host reports an undeformed object's
    // other positions untransformed, so world and object space agree here.
    script("Select\n");
    size_t mark = out.str().size();
    script("Respond OK \"Parent Item=Rig\" \"Reference Object=cube\"\nGeneric \"Morvane Add\"\n");

    std::vector<std::string> sent = commandsSince(mark);
    ASSERT_EQ(sent.size(), 15u) << since(mark);
    EXPECT_EQ(sent[0], "SelectItem " + hex("cube"));
    EXPECT_EQ(sent[12], "ApplyServer CustomObjHandler Zentrik_Morvane");
    EXPECT_EQ(sent[13], "ParentItem " + hex("Rig"));
    EXPECT_EQ(sent[14], "EditServer CustomObjHandler 1");

    host::Item* null = layout.scene().find("_Cage");
    ASSERT_NE(null, nullptr);
    EXPECT_EQ(null->parent, id("Rig"));
    // Under the parent the Null keeps its own zero placement.
    double w[3];
    worldPosition("_Cage", w);
    EXPECT_NEAR(w[0], 0.0, 1e-12);
    EXPECT_NEAR(w[1], 1.0, 1e-12);
    EXPECT_NEAR(w[2], 0.0, 1e-12);

    CageInstance* cage = cageOn("_Cage");
    ASSERT_NO_FATAL_FAILURE(expectFreshCubeCage(cage));
    EXPECT_EQ(cage->refObject, id("cube"));
    // Rig at (0,1,0) turned 90 degrees: right is -Z, forward +X. The cube's
    // point 6 at (1,1,1) is (-1,0,1) from the Rig, point 0 at (-1,-1,-1) is
    // (1,-2,-1).
    EXPECT_NEAR(cage->pointArray[6]->basePos[0], -1.0, 1e-9);
    EXPECT_NEAR(cage->pointArray[6]->basePos[1], 0.0, 1e-9);
    EXPECT_NEAR(cage->pointArray[6]->basePos[2], 1.0, 1e-9);
    EXPECT_NEAR(cage->pointArray[0]->basePos[0], 1.0, 1e-9);
    EXPECT_NEAR(cage->pointArray[0]->basePos[1], -2.0, 1e-9);
    EXPECT_NEAR(cage->pointArray[0]->basePos[2], -1.0, 1e-9);
}

TEST_F(AddCage, ParentInPlaceIsSwitchedOffAroundTheCommandsAndBackOn) {
    script("AddNull Rig\nPosition 0 1 0\n");
    loadCube();
    script("Position 3 0 0\nParentInPlace 1\nSelect Rig\n");
    size_t mark = out.str().size();
    // Parent Item starts at the selected Rig.
    script("Respond OK \"Reference Object=cube\"\nGeneric \"Morvane Add\"\n");

    std::vector<std::string> sent = commandsSince(mark);
    ASSERT_EQ(sent.size(), 17u) << since(mark);
    EXPECT_EQ(sent.front(), "ParentInPlace");
    EXPECT_EQ(sent[1], "SelectItem " + hex("cube"));
    EXPECT_EQ(sent[13], "ApplyServer CustomObjHandler Zentrik_Morvane");
    EXPECT_EQ(sent[14], "ParentItem " + hex("Rig"));
    EXPECT_EQ(sent[15], "ParentInPlace");
    EXPECT_EQ(sent[16], "EditServer CustomObjHandler 1");
    EXPECT_TRUE(layout.scene().timing().parentInPlace);

    // Parented with the option off: the Null sits on the Rig, not where it was.
    EXPECT_EQ(layout.scene().find("_Cage")->parent, id("Rig"));
    double w[3];
    worldPosition("_Cage", w);
    EXPECT_NEAR(w[0], 0.0, 1e-12);
    EXPECT_NEAR(w[1], 1.0, 1e-12);
    EXPECT_NEAR(w[2], 0.0, 1e-12);
}

TEST_F(AddCage, WithNothingSelectedTheParentStartsEmptyAndASelectedItemStartsIt) {
    loadCube();
    script("Select\n");
    size_t mark = out.str().size();
    script("Respond OK \"Reference Object=cube\"\nGeneric \"Morvane Add\"\n");
    for (const std::string& line : commandsSince(mark))
        EXPECT_EQ(line.rfind("ParentItem", 0), std::string::npos) << line;
    EXPECT_EQ(layout.scene().find("_Cage")->parent, nullptr);

    // Now the first Null is selected: it is where "Parent Item" starts.
    script("AddNull Holder\nSelect Holder\nAddToSelection " + hex("cube") + "\n");
    mark = out.str().size();
    script("Respond OK \"Reference Object=cube\"\nGeneric \"Morvane Add\"\n");
    std::vector<std::string> sent = commandsSince(mark);
    ASSERT_FALSE(sent.empty());
    EXPECT_NE(std::find(sent.begin(), sent.end(), "ParentItem " + hex("Holder")), sent.end())
        << since(mark);
}

TEST_F(AddCage, CancelChangesNothing) {
    script("AddNull Rig\n");
    loadCube();
    const size_t before = itemCount();
    const unsigned flags = objectInfo()->flags(id("cube"));
    const unsigned shadows = objectInfo()->shadowOpts(id("cube"));
    size_t mark = out.str().size();
    script("Respond Cancel \"Parent Item=Rig\" \"Reference Object=cube\"\n"
           "Generic \"Morvane Add\"\n");
    EXPECT_NE(since(mark).find("panel: Add New Cage -> Cancel\n"), std::string::npos);
    EXPECT_TRUE(commandsSince(mark).empty()) << since(mark);
    EXPECT_EQ(since(mark).find("warning:"), std::string::npos);
    EXPECT_EQ(itemCount(), before);
    EXPECT_EQ(objectInfo()->flags(id("cube")), flags);
    EXPECT_EQ(objectInfo()->shadowOpts(id("cube")), shadows);
    EXPECT_EQ(interfaceInfo()->itemVis(id("cube")), LWOVIS_SHADED);
    EXPECT_EQ(layout.ring().attachedCount("COMRING_CAGEGENERICORDER"), 0);
    EXPECT_EQ(layout.panels().panelCount(), 0u);
}

TEST_F(AddCage, NoReferenceObjectWarnsAndAddsNothing) {
    script("AddNull Rig\n");
    loadCube();
    const size_t before = itemCount();
    size_t mark = out.str().size();
    script("Respond OK \"Parent Item=Rig\" \"Reference Object=(none)\"\n"
           "Generic \"Morvane Add\"\n");
    EXPECT_EQ(since(mark),
              "panel: Add New Cage -> OK\nwarning: Please select a reference object.\n");
    EXPECT_EQ(itemCount(), before);
    EXPECT_EQ(objectInfo()->flags(id("cube")) & kHiddenFlags, 0u);
    EXPECT_EQ(layout.panels().panelCount(), 0u);
}

TEST_F(AddCage, TheListsOfferAnyItemAsParentButOnlyObjectsAsReference) {
    script("AddLight Lamp\n");
    loadCube();
    const size_t before = itemCount();
    // A light is no reference object: the person cannot pick it.
    try {
        script("Respond OK \"Reference Object=Lamp\"\nGeneric \"Morvane Add\"\n");
        ADD_FAILURE() << "a light was taken as the reference object";
    } catch (const host::HostError& e) {
        EXPECT_NE(std::string(e.what()).find("Reference Object"), std::string::npos) << e.what();
    }
    EXPECT_EQ(itemCount(), before);

    // A light may carry the cage.
    script("Respond OK \"Parent Item=Lamp\" \"Reference Object=cube\"\nGeneric \"Morvane Add\"\n");
    ASSERT_NE(layout.scene().find("_Cage"), nullptr);
    EXPECT_EQ(layout.scene().find("_Cage")->parent, id("Lamp"));
}

TEST_F(AddCage, AnObjectAlreadyHiddenGetsOnlyTheAlphaCommand) {
    loadCube();
    script("ItemVisibility 3\nSelfShadow\nCastShadow\nReceiveShadow\n"
           "UnseenByCamera 1\nUnseenByRays 1\nUnseenByRadiosity 1\nUnaffectedByFog 1\nSelect\n");
    ASSERT_EQ(objectInfo()->shadowOpts(id("cube")), 0u);
    size_t mark = out.str().size();
    script("Respond OK \"Reference Object=cube\"\nGeneric \"Morvane Add\"\n");
    const std::vector<std::string> expected = {
        "SelectItem " + hex("cube"),
        "UnseenByAlphaChannel 1",
        "AddNull _Cage",
        "SelectItem " + hex("_Cage"),
        "ApplyServer CustomObjHandler Zentrik_Morvane",
        "EditServer CustomObjHandler 1",
    };
    EXPECT_EQ(commandsSince(mark), expected) << since(mark);
    EXPECT_EQ(interfaceInfo()->itemVis(id("cube")), LWOVIS_WIREFRAME);
    EXPECT_EQ(objectInfo()->flags(id("cube")) & kHiddenFlags, kHiddenFlags);
    EXPECT_EQ(objectInfo()->shadowOpts(id("cube")), 0u);
    ASSERT_NO_FATAL_FAILURE(expectFreshCubeCage(cageOn("_Cage")));
}

TEST_F(AddCage, OnlyVerticesAndWireframesKeepTheirVisibility) {
    loadCube();
    for (int vis = LWOVIS_HIDDEN; vis <= LWOVIS_TEXTURED_WIRE; ++vis) {
        script("Select cube\nItemVisibility " + std::to_string(vis) + "\nSelect\n");
        size_t mark = out.str().size();
        script("Respond OK \"Reference Object=cube\"\nGeneric \"Morvane Add\"\n");
        std::vector<std::string> sent = commandsSince(mark);
        const bool kept = vis >= LWOVIS_VERTICES && vis <= LWOVIS_FFWIREFRAME;
        ASSERT_GE(sent.size(), 2u);
        EXPECT_EQ(sent[1] == "ItemVisibility 2", !kept) << vis;
        EXPECT_EQ(interfaceInfo()->itemVis(id("cube")), kept ? vis : LWOVIS_VERTICES) << vis;
        // Set, not toggled: a second cage leaves the object unseen by alpha.
        EXPECT_EQ(objectInfo()->flags(id("cube")) & kHiddenFlags, kHiddenFlags) << vis;
    }
}

TEST_F(AddCage, AnotherVersionOrAMissingServiceIsRefusedBeforeThePanel) {
    loadCube();
    const size_t before = itemCount();
    script("Respond OK \"Reference Object=cube\"\n"
           "Activate LayoutGeneric Zentrik_Morvane_Add 3\n");
    EXPECT_NE(out.str().find("activate LayoutGeneric Zentrik_Morvane_Add -> 1\n"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(layout.panels().queuedResponses(), 1u);
    EXPECT_EQ(itemCount(), before);

    for (const char* service :
         {"Info Messages 2", "LWPanelServices", "RasterServices", "LW Item Info 5",
          "LW Object Info 7", "LW Interface Info 7", "LW Communication Ring"}) {
        size_t mark = out.str().size();
        script(std::string("Withhold \"") + service + "\"\n" +
               "Activate LayoutGeneric Zentrik_Morvane_Add 2\n" + "Restore \"" + service + "\"\n");
        EXPECT_NE(since(mark).find("-> 2\n"), std::string::npos) << service << since(mark);
        EXPECT_EQ(layout.panels().queuedResponses(), 1u) << service;
    }
    EXPECT_EQ(itemCount(), before);

    // With everything there the queued answer is used and the cage is made.
    script("Activate LayoutGeneric Zentrik_Morvane_Add 2\n");
    EXPECT_NE(out.str().find("activate LayoutGeneric Zentrik_Morvane_Add -> 0\n"),
              std::string::npos);
    EXPECT_EQ(layout.panels().queuedResponses(), 0u);
    ASSERT_NO_FATAL_FAILURE(expectFreshCubeCage(cageOn("_Cage")));
}

TEST_F(AddCage, AJapaneseLocaleShowsTheJapaneseTexts) {
    loadCube();
    script("SetLocale 0x10411\nSelect\n");
    size_t mark = out.str().size();
    script("Respond OK\nGeneric \"Morvane Add\"\n");
    EXPECT_EQ(since(mark), "panel: ケージ作成 -> OK\n"
                           "warning: 参照オブジェクトを選択してください。\n");

    // The English labels are gone.
    EXPECT_THROW(script("Respond OK \"Reference Object=cube\"\nGeneric \"Morvane Add\"\n"),
                 host::HostError);
    EXPECT_EQ(layout.scene().find("_Cage"), nullptr);

    script("AddNull Rig\nSelect\n");
    host::ScriptRunner runner(layout);
    runner.execute(
        {"Respond", "OK", std::string(kParentJa) + "=Rig", std::string(kReferenceJa) + "=cube"});
    runner.execute({"Generic", "Morvane Add"});
    ASSERT_NE(layout.scene().find("_Cage"), nullptr);
    EXPECT_EQ(layout.scene().find("_Cage")->parent, id("Rig"));
    ASSERT_NO_FATAL_FAILURE(expectFreshCubeCage(cageOn("_Cage")));
}

TEST(AddCageRing, AnyEventGetsTheOrderCopied) {
    int object = 0, parent = 0;
    CageOrder order = {reinterpret_cast<LWItemID>(&object), reinterpret_cast<LWItemID>(&parent)};
    for (int code : {1, 0, 7}) {
        CageOrder request = {nullptr, nullptr};
        addCageRingEvent(&order, nullptr, code, &request);
        EXPECT_EQ(request.sourceObject, order.sourceObject) << code;
        EXPECT_EQ(request.parentItem, order.parentItem) << code;
    }
    CageOrder empty = {nullptr, nullptr};
    CageOrder request = {reinterpret_cast<LWItemID>(&object), nullptr};
    addCageRingEvent(&empty, nullptr, 1, &request);
    EXPECT_EQ(request.sourceObject, nullptr);
}

} // namespace
