// Scene files: a scene saved, loaded into another host and saved again gives
// the same text; hand-written scenes load into the expected items; faulty
// files are refused with their line and leave the scene alone.
#include "host/host.h"
#include "host/common/host_error.h"
#include "host/mesh/obj_reader.h"
#include "host/io/plugin_io.h"
#include "host/scene/scene.h"
#include "host/io/scene_file.h"
#include "host/commands/script.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const LWBlockIdent kOptions = {1, "Options"};
const LWBlockIdent kMode = {2, "Mode"};
const LWBlockIdent kFalloff = {3, "Falloff"};
const LWBlockIdent kOptionIds[] = {kOptions, {0, nullptr}};
const LWBlockIdent kInnerIds[] = {kMode, kFalloff, {0, nullptr}};

// The data a test plug-in keeps; `empty` ones save nothing at all.
struct DeformData {
    bool empty = false;
    int ints[3] = {0, 0, 0};
    unsigned int target = 0; // an item's file ID
    float weight = 0;
    double precise = 0;
    std::string label;
    int mode = 0;
    float falloff = 0;
};

bool operator==(const DeformData& a, const DeformData& b) {
    return a.empty == b.empty && std::equal(a.ints, a.ints + 3, b.ints) && a.target == b.target &&
           a.weight == b.weight && a.precise == b.precise && a.label == b.label &&
           a.mode == b.mode && a.falloff == b.falloff;
}

void saveDeform(const DeformData& d, const LWSaveState* s) {
    if (d.empty) return;
    LWSAVE_I4(s, d.ints, 3);
    LWSAVE_U4(s, &d.target, 1);
    LWSAVE_FP(s, &d.weight, 1);
    LWSAVE_DP(s, &d.precise, 1);
    LWSAVE_STR(s, d.label.c_str());
    LWSAVE_BEGIN(s, &kOptions, 0);
    LWSAVE_BEGIN(s, &kMode, 1);
    LWSAVE_I4(s, &d.mode, 1);
    LWSAVE_END(s);
    LWSAVE_BEGIN(s, &kFalloff, 1);
    LWSAVE_FP(s, &d.falloff, 1);
    LWSAVE_END(s);
    LWSAVE_END(s);
}

// Reads what saveDeform writes; `counts` gets each call's result in order.
DeformData loadDeform(const LWLoadState* l, std::vector<int>& counts) {
    DeformData d;
    counts.push_back(LWLOAD_I4(l, d.ints, 3));
    if (counts.back() == 0) {
        d.empty = true;
        return d;
    }
    counts.push_back(LWLOAD_U4(l, &d.target, 1));
    counts.push_back(LWLOAD_FP(l, &d.weight, 1));
    counts.push_back(LWLOAD_DP(l, &d.precise, 1));
    char label[64];
    counts.push_back(LWLOAD_STR(l, label, sizeof label));
    d.label = label;
    counts.push_back(int(LWLOAD_FIND(l, kOptionIds)));
    counts.push_back(int(LWLOAD_FIND(l, kInnerIds)));
    counts.push_back(LWLOAD_I4(l, &d.mode, 1));
    LWLOAD_END(l);
    counts.push_back(int(LWLOAD_FIND(l, kInnerIds)));
    counts.push_back(LWLOAD_FP(l, &d.falloff, 1));
    LWLOAD_END(l);
    LWLOAD_END(l);
    // Past the block's end nothing more is there.
    int extra = 0;
    counts.push_back(LWLOAD_I4(l, &extra, 1));
    return d;
}

struct Instance {
    std::string className;
    int index;
    std::string server;
    DeformData data;
};
// Per item (null: the scene), in save order.
using Store = std::map<LWItemID, std::vector<Instance>>;

host::PluginBlockWriter writerFor(const Store& store) {
    return [&store](LWItemID item) {
        std::vector<host::PluginSaveEntry> entries;
        auto found = store.find(item);
        if (found == store.end()) return entries;
        for (const Instance& i : found->second) {
            DeformData data = i.data;
            entries.push_back({i.className, i.index, i.server,
                               [data](const LWSaveState* s) { saveDeform(data, s); }});
        }
        return entries;
    };
}

host::PluginBlockReader readerInto(Store& store, std::vector<std::vector<int>>& counts) {
    host::PluginBlockReader reader;
    reader.load = [&store, &counts](const host::PluginBlock& b, const host::FileIdMap& ids) {
        counts.emplace_back();
        DeformData d = loadDeform(b.state, counts.back());
        // Item references follow the items to their new IDs.
        if (d.target) d.target = host::Scene::fileId(ids.at(d.target));
        store[b.item].push_back({b.className, b.index, b.server, d});
    };
    return reader;
}

class SceneFiles : public testing::Test {
  protected:
    SceneFiles() : layout(out) {
        static int serial = 0;
        dir = testing::TempDir() + "/morvane_scn_" + std::to_string(getpid()) + "_" +
              std::to_string(++serial);
        mkdir(dir.c_str(), 0755);
    }

    std::string write(const std::string& name, const std::string& text) {
        std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::ostringstream out;
    host::Host layout;
    std::string dir;
};

const char* const kTetra =
    "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 1 2 4\nf 1 3 4\nf 2 3 4\n";

void setKey(host::Envelope& env, double time, double value, int shape,
            std::vector<std::pair<int, double>> params = {}) {
    host::EnvelopeKey* key = env.createKey(time, value);
    env.keySet(key, LWKEY_SHAPE, &shape);
    for (auto& p : params)
        env.keySet(key, p.first, &p.second);
}

host::Envelope& channel(host::Item& item, int c) {
    return item.channels->findChannel(host::kMotionChannelNames[c])->envelope();
}

TEST_F(SceneFiles, SavedLoadedAndSavedAgainGivesTheSameText) {
    std::string objPath = write("cage.obj", kTetra);
    host::Scene& scene = layout.scene();
    host::Item& cage = scene.addObject("cage", objPath,
                                       std::make_shared<const host::Mesh>(host::readObj(objPath)));
    host::Item& control = scene.addNull("Control");
    host::Item& child = scene.addNull("Child Null");
    host::Item& light = scene.add(LWI_LIGHT, "Key Light");
    host::Item& camera = scene.add(LWI_CAMERA, "Camera");
    // A parent declared after its child, and children of a light and a null.
    scene.setParent(cage.id, control.id);
    scene.setParent(child.id, light.id);
    scene.setParent(camera.id, control.id);

    host::Envelope& x = channel(cage, 0);
    setKey(x, 0, 0, host::kShapeTCB,
           {{LWKEY_TENSION, 0.5}, {LWKEY_CONTINUITY, -0.25}, {LWKEY_BIAS, 0.125}});
    setKey(x, 1, 2.5, host::kShapeLinear);
    setKey(x, 1.5, -1, host::kShapeHermite, {{LWKEY_PARAM_0, 0.75}, {LWKEY_PARAM_1, -0.5}});
    setKey(
        x, 2, 3, host::kShapeBezier2D,
        {{LWKEY_TENSION, -0.1}, {LWKEY_CONTINUITY, 0.2}, {LWKEY_BIAS, 0.1}, {LWKEY_PARAM_0, 0.3}});
    setKey(x, 2.5, 3, host::kShapeStepped);
    x.setPreBehavior(host::kBehaviorRepeat);
    x.setPostBehavior(host::kBehaviorOffsetRepeat);
    setKey(channel(cage, 3), 0, 1.5707963267948966, host::kShapeTCB);
    setKey(channel(light, 1), 0, 3, host::kShapeTCB);
    setKey(channel(camera, 2), 0.5, -5, host::kShapeLinear);

    cage.visibility = LWOVIS_WIREFRAME;
    cage.shadowOptions = LWOSHAD_SELF | LWOSHAD_RECEIVE;
    cage.renderFlags = LWOBJF_UNSEEN_BY_CAMERA | LWOBJF_UNAFFECT_BY_FOG | LWOBJF_MATTE;
    cage.pivot[0] = 0.5;
    cage.pivot[2] = -1;
    control.visibility = LWOVIS_BOUNDINGBOX;
    host::SceneTiming& timing = scene.timing();
    timing.framesPerSecond = 24;
    timing.frameEnd = 48;
    timing.previewEnd = 48;
    timing.previewStep = 2;
    timing.time = 0.5;

    DeformData deform;
    deform.ints[0] = 3;
    deform.ints[1] = -7;
    deform.ints[2] = 2147483647;
    deform.target = host::Scene::fileId(control.id);
    deform.weight = 0.388f;
    deform.precise = 1.0 / 3.0;
    deform.label = "cage  box";
    deform.mode = 2;
    deform.falloff = 0.25f;
    DeformData shape = deform;
    shape.label = "  shape with leading spaces";
    shape.target = host::Scene::fileId(light.id);
    DeformData empty;
    empty.empty = true;
    Store store;
    store[cage.id] = {{"DisplacementHandler", 1, "Test_Deform", deform},
                      {"CustomObjHandler", 1, "Test_Shape", empty}};
    store[control.id] = {{"CustomObjHandler", 1, "Test_Shape", shape},
                         {"CustomObjHandler", 2, "Test_Shape", empty}};
    store[nullptr] = {{"MasterHandler", 1, "Test_Master", deform}};

    std::string path = dir + "/first.lws";
    host::saveScene(layout, path, writerFor(store));
    std::string first = read(path);

    // Lines worked out by hand from the scene above.
    EXPECT_EQ(first.rfind("LWSC\n5\n\nFirstFrame 1\nLastFrame 48\nFrameStep 1\n"
                          "PreviewFirstFrame 0\nPreviewLastFrame 48\nPreviewFrameStep 2\n"
                          "CurrentFrame 12\nFramesPerSecond 24\n\n",
                          0),
              0u);
    const std::string cageLines =
        "LoadObjectLayer 1 10000000 " + objPath +
        "\nShowObject 3 3\nObjectMotion\nNumChannels 9\nChannel 0\n{ Envelope\n  5\n"
        "  Key 0 0 0 0.5 -0.25 0.125 0 0 0\n"
        "  Key 2.5 1 3 0 0 0 0 0 0\n"
        "  Key -1 1.5 1 0 0 0 0.75 -0.5 0\n"
        "  Key 3 2 5 -0.1 0.2 0.1 0.3 0 0\n"
        "  Key 3 2.5 4 0 0 0 0 0 0\n"
        "  Behaviors 2 4\n}\nChannel 1\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n"
        "  Behaviors 1 1\n}\n";
    EXPECT_NE(first.find(cageLines), std::string::npos) << first;
    EXPECT_NE(first.find("Channel 3\n{ Envelope\n  1\n  Key 1.5707963267948966 0 0 0 0 0 0 0 0\n"),
              std::string::npos);
    EXPECT_NE(first.find("Channel 8\n{ Envelope\n  1\n  Key 1 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
                         "PivotPosition 0.5 0 -1\n"
                         "ParentItem 10000001\n"
                         "Plugin DisplacementHandler 1 Test_Deform\n"
                         "3 -7 2147483647\n"
                         "10000001\n"
                         "0.38800001\n"
                         "0.3333333333333333\n"
                         "\"cage  box\"\n"
                         "{ Options\n"
                         "  Mode 2\n"
                         "  Falloff 0.25\n"
                         "}\n"
                         "EndPlugin\n"
                         "Plugin CustomObjHandler 1 Test_Shape\n"
                         "EndPlugin\n"
                         "ShadowOptions 5\n"
                         "UnseenByCamera 1\n"
                         "MatteObject 1\n"
                         "AffectedByFog 0\n\n"
                         "AddNullObject 10000001 Control\nShowObject 1 3\n"),
              std::string::npos)
        << first;
    EXPECT_NE(first.find("FramesPerSecond 24\n\nPlugin MasterHandler 1 Test_Master\n3 -7"),
              std::string::npos);
    EXPECT_NE(first.find("AddNullObject 10000002 Child Null\n"), std::string::npos);
    EXPECT_NE(first.find(
                  "ParentItem 20000000\nShadowOptions 7\n\nAddLight 20000000\nLightName Key Light\n"
                  "ShowLight 1 5\nLightMotion\nNumChannels 9\n"),
              std::string::npos);
    EXPECT_NE(first.find("AddCamera 30000000\nCameraName Camera\nShowCamera 1 2\nCameraMotion\n"
                         "NumChannels 6\n"),
              std::string::npos);
    EXPECT_EQ(first.find("Channel 6", first.find("AddCamera")), std::string::npos);

    // Into another host, then saved again from there.
    std::ostringstream out2;
    host::Host other(out2);
    other.scene().addNull("Left over");
    Store loaded;
    std::vector<std::vector<int>> counts;
    host::SceneLoadResult result = host::loadScene(other, path, readerInto(loaded, counts));
    EXPECT_TRUE(result.pluginErrors.empty());
    std::string again = dir + "/again.lws";
    host::saveScene(other, again, writerFor(loaded));
    EXPECT_EQ(read(again), first);

    // What the plug-ins read is what they wrote, call by call.
    const std::vector<int> full = {
        3, 1, 1, 1, 9, int(kOptions.id), int(kMode.id), 1, int(kFalloff.id), 1, 0};
    ASSERT_EQ(counts.size(), 5u);
    EXPECT_EQ(counts[0], full);                       // the master
    EXPECT_EQ(counts[1], full);                       // the cage's deform
    EXPECT_EQ(counts[2], std::vector<int>{0});        // the empty block
    EXPECT_EQ(counts[3][4], int(shape.label.size())); // leading spaces kept
    host::Scene& s = other.scene();
    host::Item* newCage = s.find("cage");
    host::Item* newControl = s.find("Control");
    ASSERT_TRUE(newCage && newControl);
    EXPECT_EQ(s.find("Left over"), nullptr);
    EXPECT_EQ(loaded[nullptr][0].data, deform);
    EXPECT_EQ(loaded[newCage->id][0].data, deform);
    EXPECT_EQ(loaded[newControl->id][0].data, shape);
    EXPECT_EQ(result.ids.at(0x10000001u), newControl->id);

    // The items themselves.
    EXPECT_EQ(newCage->parent, newControl->id);
    EXPECT_EQ(s.find("Child Null")->parent, s.find("Key Light")->id);
    EXPECT_EQ(s.find("Camera")->parent, newControl->id);
    EXPECT_EQ(newCage->path, objPath);
    ASSERT_TRUE(newCage->mesh);
    EXPECT_EQ(newCage->mesh->points.size(), 4u);
    EXPECT_EQ(newControl->mesh, nullptr);
    EXPECT_EQ(newCage->visibility, LWOVIS_WIREFRAME);
    EXPECT_EQ(newCage->shadowOptions, unsigned(LWOSHAD_SELF | LWOSHAD_RECEIVE));
    EXPECT_EQ(newCage->renderFlags, cage.renderFlags);
    EXPECT_EQ(newCage->pivot[2], -1);
    host::Envelope& nx = channel(*newCage, 0);
    ASSERT_EQ(nx.keyCount(), 5);
    EXPECT_DOUBLE_EQ(nx.evaluate(0.5), x.evaluate(0.5));
    EXPECT_DOUBLE_EQ(nx.evaluate(1.25), x.evaluate(1.25));
    EXPECT_DOUBLE_EQ(nx.evaluate(1.8), x.evaluate(1.8));
    EXPECT_DOUBLE_EQ(nx.evaluate(-0.7), x.evaluate(-0.7));
    EXPECT_EQ(nx.preBehavior(), host::kBehaviorRepeat);
    EXPECT_EQ(s.timing().framesPerSecond, 24);
    EXPECT_EQ(s.timing().time, 0.5);
    EXPECT_EQ(s.firstSelected(), newCage->id);
}

const char* const kHandScene =
    "LWSC\r\n"
    "5\r\n"
    "\r\n"
    "FirstFrame 1\r\n"
    "LastFrame 60\r\n"
    "FrameStep 1\r\n"
    "PreviewFirstFrame 0\r\n"
    "PreviewLastFrame 60\r\n"
    "PreviewFrameStep 1\r\n"
    "CurrentFrame 15\r\n"
    "FramesPerSecond 30\r\n"
    "RenderRangeArbitrary 1-60\r\n"
    "\r\n"
    "Plugin MasterHandler 1 Hand_Master\r\n"
    "VERS 2\r\n"
    "{ CurrentWorkspace\r\n"
    "  Name \"<default>\"\r\n"
    "  { Bank\r\n"
    "    Divider1 0.30000001\r\n"
    "  }\r\n"
    "}\r\n"
    "EndPlugin\r\n"
    "\r\n"
    "LoadObjectLayer 1 10000000 box.obj\r\n"
    "ShowObject 6 3\r\n"
    "ObjectMotion\r\n"
    "NumChannels 9\r\n"
    "Channel 0\r\n"
    "{ Envelope\r\n"
    "  2\r\n"
    "  Key 0 0 0 0 0 0 0 0 0\r\n"
    "  Key 2.5 1 3 0 0 0 0 0 0\r\n"
    "  Behaviors 1 1\r\n"
    "}\r\n"
    "Channel 1\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 2\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 3\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 4\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 5\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 6\n{ Envelope\n  1\n  Key 1 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 7\n{ Envelope\n  1\n  Key 1 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 8\n{ Envelope\n  1\n  Key 2 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "ParentItem 10000001\n"
    "Plugin DisplacementHandler 1 Example_Displace\n"
    "3\n"
    "0.5\n"
    "1 0 0\n"
    "10000001\n"
    "\"cage_box\"\n"
    "{ Options\n"
    "  Mode 2\n"
    "  Falloff 0.25\n"
    "}\n"
    "EndPlugin\n"
    "ShadowOptions 7\n"
    "SchematicPosition 1 2\n"
    "{ UnknownThing\n"
    "  { Inner\n"
    "    ParentItem 99999999\n"
    "  }\n"
    "}\n"
    "\n"
    "AddBone 40000000\n"
    "BoneName Bone\n"
    "ShowBone 1 -1\n"
    "BoneMotion\n"
    "NumChannels 9\n"
    "Channel 0\n{ Envelope\n  1\n  Key 7 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "ParentItem 10000000\n"
    "Plugin ItemMotionHandler 1 Bone_Motion\n"
    "1\n"
    "EndPlugin\n"
    "\n"
    "AddNullObject 10000001 Cage Control\n"
    "// LABEL=a comment line\n"
    "ShowObject 2 2\n"
    "ObjectMotion\n"
    "NumChannels 9\n"
    "Channel 0\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 1\n{ Envelope\n  1\n  Key 4 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 2\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 3\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 4\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 5\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 6\n{ Envelope\n  1\n  Key 1 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 7\n{ Envelope\n  1\n  Key 1 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 8\n{ Envelope\n  1\n  Key 1 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Plugin CustomObjHandler 1 Example_Shape\n"
    "1\n"
    "EndPlugin\n"
    "UnseenByRays\n"
    "\n"
    "AmbientColor 1 1 1\n"
    "AmbientIntensity 0.25\n"
    "\n"
    "AddLight 20000000\n"
    "LightName Light\n"
    "ShowLight 0 5\n"
    "LightMotion\n"
    "NumChannels 9\n"
    "Channel 0\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 1\n{ Envelope\n  1\n  Key 2 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 2\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 3\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 4\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 5\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 6\n{ Envelope\n  1\n  Key 1 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 7\n{ Envelope\n  1\n  Key 1 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 8\n{ Envelope\n  1\n  Key 1 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "LightColor 1 1 1\n"
    "LightIntensity 1\n"
    "LightType 0\n"
    "ParentItem 30000000\n"
    "\n"
    "AddCamera 30000000\n"
    "CameraName Camera\n"
    "ShowCamera 1 2\n"
    "CameraMotion\n"
    "NumChannels 6\n"
    "Channel 0\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 1\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 2\n{ Envelope\n  1\n  Key -5 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 3\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 4\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 5\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "ZoomFactor 3.2\n"
    "FrameSize 640 480\n";

TEST_F(SceneFiles, AHandWrittenSceneLoadsItsItemsParentsKeysAndPluginData) {
    write("box.obj", kTetra);
    std::string path = write("hand.lws", kHandScene);
    layout.setContentDirectory(dir);

    struct Seen {
        LWItemID item;
        std::string className, server;
        int index;
    };
    std::vector<Seen> seen;
    std::vector<int> masterValues, displaceCounts, shapeCounts;
    float displace[5] = {0, 0, 0, 0, 0};
    unsigned int target = 0;
    char label[32] = "";
    int mode = 0;
    float falloff = 0;
    LWItemID targetItem = nullptr;
    host::PluginBlockReader reader;
    reader.load = [&](const host::PluginBlock& b, const host::FileIdMap& ids) {
        seen.push_back({b.item, b.className, b.server, b.index});
        const LWLoadState* l = b.state;
        if (b.server == "Hand_Master") {
            const LWBlockIdent vers[] = {{10, "VERS"}, {0, nullptr}};
            const LWBlockIdent work[] = {{11, "CurrentWorkspace"}, {0, nullptr}};
            const LWBlockIdent name[] = {{12, "Name"}, {0, nullptr}};
            int v = 0;
            masterValues.push_back(int(LWLOAD_FIND(l, vers)));
            masterValues.push_back(LWLOAD_I4(l, &v, 1));
            masterValues.push_back(v);
            LWLOAD_END(l);
            masterValues.push_back(int(LWLOAD_FIND(l, work)));
            masterValues.push_back(int(LWLOAD_FIND(l, name)));
            char text[16];
            masterValues.push_back(LWLOAD_STR(l, text, sizeof text));
            masterValues.push_back(std::string(text) == "<default>");
        } else if (b.server == "Example_Displace") {
            displaceCounts.push_back(LWLOAD_I4(l, &mode, 1));
            displace[0] = float(mode);
            displaceCounts.push_back(LWLOAD_FP(l, &displace[1], 1));
            displaceCounts.push_back(LWLOAD_FP(l, &displace[2], 3));
            displaceCounts.push_back(LWLOAD_U4(l, &target, 1));
            targetItem = ids.at(target);
            displaceCounts.push_back(LWLOAD_STR(l, label, sizeof label));
            displaceCounts.push_back(int(LWLOAD_FIND(l, kOptionIds)));
            displaceCounts.push_back(int(LWLOAD_FIND(l, kInnerIds)));
            displaceCounts.push_back(LWLOAD_I4(l, &mode, 1));
            LWLOAD_END(l);
            displaceCounts.push_back(int(LWLOAD_FIND(l, kInnerIds)));
            displaceCounts.push_back(LWLOAD_FP(l, &falloff, 1));
        } else {
            // One value, then nothing: the next block's lines are out of reach.
            int v[2] = {0, -3};
            shapeCounts.push_back(LWLOAD_I4(l, v, 2));
            shapeCounts.push_back(v[0]);
            shapeCounts.push_back(LWLOAD_I4(l, &v[1], 1));
            shapeCounts.push_back(v[1]);
            char buf[8];
            shapeCounts.push_back(l->read(l->readData, buf, 8));
            shapeCounts.push_back(LWLOAD_STR(l, buf, 8));
        }
    };
    host::SceneLoadResult result = host::loadScene(layout, path, reader);
    EXPECT_TRUE(result.pluginErrors.empty());

    host::Scene& s = layout.scene();
    ASSERT_EQ(s.items().size(), 4u); // the bone is not loaded
    host::Item* box = s.find("box");
    host::Item* control = s.find("Cage Control");
    host::Item* light = s.find("Light");
    host::Item* camera = s.find("Camera");
    ASSERT_TRUE(box && control && light && camera);
    EXPECT_EQ(box->path, dir + "/box.obj");
    EXPECT_EQ(box->mesh->polygons.size(), 4u);
    EXPECT_EQ(box->parent, control->id); // declared after the box
    EXPECT_EQ(light->parent, camera->id);
    EXPECT_EQ(control->parent, nullptr);
    EXPECT_EQ(light->type, LWI_LIGHT);
    EXPECT_EQ(camera->type, LWI_CAMERA);
    EXPECT_EQ(box->visibility, LWOVIS_TEXTURED);
    EXPECT_EQ(control->visibility, LWOVIS_VERTICES);
    EXPECT_EQ(light->visibility, LWIVIS_HIDDEN);
    EXPECT_EQ(box->shadowOptions, 7u);
    EXPECT_EQ(control->renderFlags, unsigned(LWOBJF_UNSEEN_BY_RAYS));
    // X goes linearly from 0 at 0 s to 2.5 at 1 s and stays.
    EXPECT_DOUBLE_EQ(channel(*box, 0).evaluate(0.5), 1.25);
    EXPECT_DOUBLE_EQ(channel(*box, 0).evaluate(3.0), 2.5);
    EXPECT_DOUBLE_EQ(channel(*box, 8).evaluate(0.0), 2.0);
    EXPECT_DOUBLE_EQ(channel(*control, 1).evaluate(0.0), 4.0);
    EXPECT_DOUBLE_EQ(channel(*light, 1).evaluate(0.0), 2.0);
    EXPECT_DOUBLE_EQ(channel(*camera, 2).evaluate(0.0), -5.0);
    EXPECT_DOUBLE_EQ(channel(*camera, 6).evaluate(0.0), 1.0); // not in the file: the rest value
    EXPECT_EQ(s.timing().framesPerSecond, 30);
    EXPECT_DOUBLE_EQ(s.timing().time, 0.5);
    EXPECT_EQ(result.ids.size(), 4u);
    EXPECT_EQ(result.ids.at(0x20000000u), light->id);

    // The blocks in file order, the bone's left out.
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].item, nullptr);
    EXPECT_EQ(seen[0].className, "MasterHandler");
    EXPECT_EQ(seen[1].item, box->id);
    EXPECT_EQ(seen[1].className, "DisplacementHandler");
    EXPECT_EQ(seen[1].index, 1);
    EXPECT_EQ(seen[2].item, control->id);
    EXPECT_EQ(seen[2].server, "Example_Shape");
    EXPECT_EQ(masterValues, (std::vector<int>{10, 1, 2, 11, 12, 9, 1}));
    EXPECT_EQ(displaceCounts, (std::vector<int>{1, 1, 3, 1, 8, int(kOptions.id), int(kMode.id), 1,
                                                int(kFalloff.id), 1}));
    EXPECT_EQ(displace[0], 3);
    EXPECT_EQ(displace[1], 0.5f);
    EXPECT_EQ(displace[2], 1);
    EXPECT_EQ(displace[3], 0);
    EXPECT_EQ(displace[4], 0);
    EXPECT_EQ(targetItem, control->id);
    EXPECT_STREQ(label, "cage_box");
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(falloff, 0.25f);
    EXPECT_EQ(shapeCounts, (std::vector<int>{1, 1, 0, -3, -1, 0}));
}

TEST_F(SceneFiles, VersionThreeNumbersItemsByFileOrder) {
    write("box.obj", kTetra);
    layout.setContentDirectory(dir);
    std::string path = write("old.lws", "LWSC\n3\n\nLoadObjectLayer 1 box.obj\n"
                                        "AddNullObject Ctl\nAddLight\nLightName L\n"
                                        "ParentItem 10000001\n");
    host::SceneLoadResult result = host::loadScene(layout, path, {});
    host::Scene& s = layout.scene();
    ASSERT_EQ(result.ids.size(), 3u);
    EXPECT_EQ(result.ids.at(0x10000000u), s.find("box")->id);
    EXPECT_EQ(s.find("L")->parent, s.find("Ctl")->id);
}

TEST_F(SceneFiles, APluginThatRefusesItsDataIsReportedAndTheRestLoads) {
    std::string path = write("refuse.lws", "LWSC\n5\n\nAddNullObject 10000000 A\n"
                                           "Plugin CustomObjHandler 1 Refuser\n7\nEndPlugin\n"
                                           "Plugin CustomObjHandler 2 Taker\n8\nEndPlugin\n");
    int taken = 0;
    host::PluginBlockReader reader;
    reader.load = [&](const host::PluginBlock& b, const host::FileIdMap&) {
        if (b.server == "Refuser") throw host::HostError("nope");
        LWLOAD_I4(b.state, &taken, 1);
    };
    host::SceneLoadResult result = host::loadScene(layout, path, reader);
    EXPECT_EQ(result.pluginErrors, std::vector<std::string>{path + ":5: plug-in Refuser: nope"});
    EXPECT_EQ(taken, 8);
    EXPECT_NE(layout.scene().find("A"), nullptr);
}

struct BadScene {
    const char* what;
    std::string text;
    int line; // 0: no line in the message
    const char* says;
};

const std::string kHead = "LWSC\n5\n\nFramesPerSecond 30\n"; // lines 1 to 4
const std::string kNull = "AddNullObject 10000000 N\nObjectMotion\nNumChannels 1\nChannel 0\n";

TEST_F(SceneFiles, FaultyFilesAreRefusedWithTheirLineAndTheSceneIsUntouched) {
    write("broken.obj", "v 0 0 0\nf 1 2 3\n");
    std::string objFault;
    try {
        host::readObj(dir + "/broken.obj");
    } catch (const host::HostError& e) {
        objFault = e.what();
    }
    ASSERT_NE(objFault, "");
    const std::string key = "  Key 0 0 0 0 0 0 0 0 0\n";
    const std::vector<BadScene> cases = {
        {"not a scene", "LWSX\n5\n", 1, "not a LightWave scene"},
        {"empty file", "", 1, "not a LightWave scene"},
        {"unsupported version", "LWSC\n6\n", 2, "version 6 is not supported"},
        {"version not a number", "LWSC\nfive\n", 2, "'five' is not a whole number"},
        {"truncated envelope", kHead + kNull + "{ Envelope\n  1\n" + key, 9, "not closed"},
        {"envelope cut before its keys", kHead + kNull + "{ Envelope\n  2\n" + key + "}\n", 9,
         "says 2 keys but has 1"},
        {"non-numeric key", kHead + kNull + "{ Envelope\n  1\n  Key 0 zero 0 0 0 0 0 0 0\n}\n", 11,
         "'zero' is not a finite number"},
        {"short key", kHead + kNull + "{ Envelope\n  1\n  Key 0 0 0 0\n}\n", 11,
         "Key takes 9 value(s), not 4"},
        {"unknown span type", kHead + kNull + "{ Envelope\n  1\n  Key 0 0 9 0 0 0 0 0 0\n}\n", 11,
         "span type 9 is outside 0 to 5"},
        {"keys out of order",
         kHead + kNull + "{ Envelope\n  2\n  Key 0 1 0 0 0 0 0 0 0\n" + key + "}\n", 12,
         "key times must increase"},
        {"channel without envelope", kHead + kNull + "ShadowOptions 7\n", 8,
         "not followed by an envelope"},
        {"channels missing",
         kHead + "AddNullObject 10000000 N\nNumChannels 2\nChannel 0\n" + "{ Envelope\n  1\n" +
             key + "}\n",
         6, "NumChannels 2 but 1"},
        {"non-numeric timing", kHead + "FirstFrame one\n", 5, "'one' is not a whole number"},
        {"zero frame step", kHead + "FrameStep 0\n", 5, "FrameStep 0 is outside"},
        {"unknown parent", kHead + "AddNullObject 10000000 N\nParentItem 10000007\n", 6,
         "ParentItem 10000007 names no item"},
        {"parent not hex", kHead + "AddNullObject 10000000 N\nParentItem 1000zz07\n", 6,
         "not a hexadecimal item ID"},
        {"parent cycle",
         kHead + "AddNullObject 10000000 A\nParentItem 10000001\n"
                 "AddNullObject 10000001 B\nParentItem 10000000\n",
         8, "own descendant"},
        {"parent is a bone",
         kHead + "AddBone 40000000\nAddNullObject 10000000 A\n"
                 "ParentItem 40000000\n",
         7, "names a bone"},
        {"duplicate ID", kHead + "AddNullObject 10000000 A\nAddNullObject 10000000 B\n", 6,
         "already used on line 5"},
        {"ID of the wrong type", kHead + "AddNullObject 20000000 A\n", 5,
         "not an ID of type object"},
        {"null without a name", kHead + "AddNullObject 10000000\n", 5, "needs a name"},
        {"broken object file",
         kHead + "AddNullObject 10000001 A\n" + "LoadObjectLayer 1 10000000 broken.obj\n", 6,
         objFault.c_str()},
        {"OBJ has one layer", kHead + "LoadObjectLayer 2 10000000 broken.obj\n", 5, "only layer 1"},
        {"plug-in without EndPlugin",
         kHead + "AddNullObject 10000000 A\nPlugin CustomObjHandler 1 S\n1\n", 6, "no EndPlugin"},
        {"item plug-in outside items", kHead + "Plugin CustomObjHandler 1 S\nEndPlugin\n", 5,
         "outside any item"},
        {"stray EndPlugin", kHead + "EndPlugin\n", 5, "EndPlugin without"},
        {"stray brace", kHead + "}\n", 5, "closes no block"},
        {"unclosed unknown block", kHead + "{ Graph\n  x\n", 5, "not closed"},
        {"setting outside items", kHead + "ShowObject 6 3\n", 5, "outside any item"},
        {"object setting on a light", kHead + "AddLight 20000000\nShowObject 6 3\n", 6,
         "ShowObject in a light"},
        {"visibility out of range", kHead + "AddNullObject 10000000 A\nShowObject 9 3\n", 6,
         "visibility 9 is outside 0 to 7"},
        {"old LoadObject", kHead + "LoadObject box.lwo\n", 5, "LoadObject"},
        {"fault after good items",
         kHead + "AddNullObject 10000000 A\nAddLight 20000000\nLightName L\nCurrentFrame x\n", 8,
         "'x' is not a whole number"},
    };
    for (const BadScene& c : cases) {
        SCOPED_TRACE(c.what);
        host::Host h(out);
        h.setContentDirectory(dir);
        h.scene().addNull("Existing");
        h.scene().timing().framesPerSecond = 25;
        std::string path = write("bad.lws", c.text);
        bool called = false;
        host::PluginBlockReader reader;
        reader.replacing = [&] { called = true; };
        reader.load = [&](const host::PluginBlock&, const host::FileIdMap&) { called = true; };
        std::string message;
        try {
            host::loadScene(h, path, reader);
        } catch (const host::HostError& e) {
            message = e.what();
        }
        std::string where = path + ":" + std::to_string(c.line) + ": ";
        EXPECT_EQ(message.compare(0, where.size(), where), 0) << message;
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
        EXPECT_FALSE(called);
        ASSERT_EQ(h.scene().items().size(), 1u);
        EXPECT_EQ(h.scene().items()[0]->name, "Existing");
        EXPECT_EQ(h.scene().timing().framesPerSecond, 25);
    }
}

TEST_F(SceneFiles, AMissingSceneFileIsNamed) {
    std::string path = dir + "/nowhere.lws";
    try {
        host::loadScene(layout, path, {});
        FAIL() << "loaded a missing file";
    } catch (const host::HostError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(path + ": cannot open the scene file", 0), 0u)
            << e.what();
    }
}

TEST_F(SceneFiles, AFailedSaveLeavesTheOldFileWhole) {
    std::string path = write("kept.lws", "older scene\n");
    host::Item& a = layout.scene().addNull("A");
    Store none;
    host::PluginBlockWriter bad = [&](LWItemID item) {
        std::vector<host::PluginSaveEntry> entries;
        if (item == a.id)
            entries.push_back({"CustomObjHandler", 1, "Quoter",
                               [](const LWSaveState* s) { LWSAVE_STR(s, "a \"quoted\" word"); }});
        return entries;
    };
    try {
        host::saveScene(layout, path, bad);
        FAIL() << "saved a string the text cannot hold";
    } catch (const host::HostError& e) {
        EXPECT_NE(std::string(e.what()).find("plug-in Quoter on object A"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(read(path), "older scene\n");

    host::Item& open = layout.scene().addNull("B");
    host::PluginBlockWriter unclosed = [&](LWItemID item) {
        std::vector<host::PluginSaveEntry> entries;
        if (item == open.id)
            entries.push_back({"CustomObjHandler", 1, "Opener",
                               [](const LWSaveState* s) { LWSAVE_BEGIN(s, &kOptions, 0); }});
        return entries;
    };
    EXPECT_THROW(host::formatScene(layout.scene(), unclosed), host::HostError);
    EXPECT_NO_THROW(host::formatScene(layout.scene(), writerFor(none)));
    // A name that would not read back as it is.
    layout.scene().addNull(" leading space");
    EXPECT_THROW(host::formatScene(layout.scene(), writerFor(none)), host::HostError);
}

} // namespace

// Lines blank apart from \v, \f or \r are blank lines, at the top level and
// inside an envelope.
TEST_F(SceneFiles, LinesOfOtherWhiteSpaceAreBlank) {
    const std::vector<std::string> texts = {
        std::string("LWSC\n4\n\v", 8),
        "LWSC\n4\n\f\n\r\n \v\t\n",
        "LWSC\n5\n\nAddNullObject 10000000 N\nObjectMotion\nNumChannels 1\nChannel 0\n"
        "{ Envelope\n\v\n  1\n\f\r\n  Key 2 0 0 0 0 0 0 0 0\n\v \n  Behaviors 1 1\n}\n",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        host::Host h(out);
        EXPECT_NO_THROW(host::loadScene(h, write("blank.lws", text), {}));
    }
    host::Item* n = layout.scene().find("N");
    EXPECT_EQ(n, nullptr);
    host::loadScene(layout, write("blank.lws", texts[2]), {});
    n = layout.scene().find("N");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(channel(*n, 0).evaluate(5), 2);
    // Fields split at the same white space the lines are trimmed of.
    host::loadScene(layout, write("tabs.lws", "LWSC\n5\n\nAddNullObject\v10000000\fM\r\n"), {});
    EXPECT_NE(layout.scene().find("M"), nullptr);
}

// A long envelope loads and saves in time close to linear in its keys.
TEST_F(SceneFiles, AnEnvelopeOfTwoHundredThousandKeysLoads) {
    const int count = 200000;
    std::string text = "LWSC\n5\n\nFramesPerSecond 30\nAddNullObject 10000000 Long\n"
                       "ObjectMotion\nNumChannels 1\nChannel 0\n{ Envelope\n  " +
                       std::to_string(count) + "\n";
    for (int k = 0; k < count; ++k)
        text += "  Key " + std::to_string(k % 7) + " " + std::to_string(k) + " 3 0 0 0 0 0 0\n";
    text += "  Behaviors 1 1\n}\n";
    std::string path = write("long.lws", text);
    auto start = std::chrono::steady_clock::now();
    host::loadScene(layout, path, {});
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("[ time     ] %d keys loaded in %.3f s\n", count, seconds);
    host::Item* item = layout.scene().find("Long");
    ASSERT_NE(item, nullptr);
    host::Envelope& env = channel(*item, 0);
    ASSERT_EQ(env.keyCount(), count);
    // Linear spans between keys one second apart: halfway is the mean.
    EXPECT_DOUBLE_EQ(env.evaluate(199997.5), (199997 % 7 + 199998 % 7) / 2.0);
    EXPECT_DOUBLE_EQ(env.evaluate(3), 3);
    EXPECT_EQ(env.prevKey(nullptr)->time(), count - 1);
    std::string saved = host::formatScene(layout.scene(), {});
    EXPECT_NE(saved.find("\n  Key 2 199999 3 0 0 0 0 0 0\n"), std::string::npos);
}

// One channel group as Layout writes it: constant envelopes of these values.
std::string motionLines(const char* keyword, std::vector<double> values) {
    std::string text =
        std::string(keyword) + "\nNumChannels " + std::to_string(values.size()) + "\n";
    for (size_t c = 0; c < values.size(); ++c) {
        std::ostringstream v;
        v << values[c];
        text += "Channel " + std::to_string(c) + "\n{ Envelope\n  1\n  Key " + v.str() +
                " 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n";
    }
    return text;
}

const std::vector<double> kRest = {0, 0, 0, 0, 0, 0, 1, 1, 1};

// A light's motion with numbers in another notation and a line inside an
// envelope that the host does not model.
std::string lightMotion() {
    std::string text = motionLines("LightMotion", kRest);
    text.replace(text.find("  Key 1 0"), 9, "  Key 1.0 0");
    text.replace(text.find("  Behaviors"), 0, "  Unmodelled 1 2\n");
    return text;
}

// A scene in the layout Layout writes, with much the host does not model.
std::string layoutScene() {
    return "LWSC\n5\n\nRenderRangeType 0\nFirstFrame 1\nLastFrame 60\nFrameStep 1\n"
           "RenderRangeArbitrary 1-60\nPreviewFirstFrame 0\nPreviewLastFrame 60\n"
           "PreviewFrameStep 1\nCurrentFrame 0\nFramesPerSecond 30.0\nChangeScene 0\n\n"
           "Plugin MasterHandler 1 SomeMaster\nVERS 2\n{ CurrentWorkspace\n  Name \"<default>\"\n"
           "}\nEndPlugin\n\n"
           "LoadObjectLayer 1 10000000 objects/box.obj\nChangeObject 0\n"
           "ShowObject 7 -1 0.376 0.878 0.941\n" +
           motionLines("ObjectMotion", {0.5, 0, 0, 0, 0, 0, 1, 1, 1}) +
           "IKInitialState 0\n// LABEL=a comment\nPlugin DisplacementHandler 1 OtherDeformer\n"
           "1 2 3\nEndPlugin\nShadowOptions 7\nUnseenByRays 1\n\n"
           "AddBone 40000000\nBoneName Bone\nShowBone 1 -1 0.376 0.878 0.941\n"
           "BoneRestPosition 0 0 0\nBoneRestLength 1\n" +
           motionLines("BoneMotion", kRest) +
           "ParentItem 10000000\nIKInitialState 0\n\n"
           "AddNullObject 10000001 Control\nShowObject 6 2\n" +
           motionLines("ObjectMotion", {0, 2, 0, 0, 0, 0, 1, 1, 1}) +
           "GoalStrength 1\nIKInitialState 1\nHLimits -1.5 1.5\nParentItem 10000000\n"
           "PivotPosition 0 0 0\nShadowOptions 7\nUnseenByCamera 0\nAffectedByFog 1\n\n"
           "LoadObjectLayer 1 10000002 objects/gone.obj\nShowObject 6 3\n" +
           motionLines("ObjectMotion", kRest) +
           "ShadowOptions 7\n\nAmbientColor 1 1 1\nAmbientIntensity 0.05\n\n"
           "AddLight 20000000\nLightName Sun\nShowLight 0 -1 1 1 0.5\n" +
           lightMotion() +
           "LightColor 1 1 1\nLightIntensity 1\nAffectCaustics 1\nLightType 0\n"
           "Plugin LightHandler 1 DistantLight\nEndPlugin\nShadowType 1\n\n"
           "AddCamera 30000000\nCameraName Camera\nShowCamera 1 2\n" +
           motionLines("CameraMotion", {0, 0, -5, 0, 0, 0}) +
           "ZoomFactor 3.2\nResolutionMultiplier 1.0\nFrameSize 640 480\n"
           "Plugin CameraHandler 1 Perspective\nEndPlugin\n\nAntialiasing 0\n"
           "CurrentObject 0\n{ GraphEditor\n  { Bank\n    Channel 1\n  }\n}\n";
}

class LayoutScenes : public SceneFiles {
  protected:
    // Runs a script in this host; what it printed.
    std::string run(const std::string& script) {
        out.str("");
        std::istringstream in(script);
        host::ScriptRunner(layout).run(in, "test.script");
        return out.str();
    }
};

TEST_F(LayoutScenes, LoadedAndSavedAgainEveryLineComesBackInItsPlace) {
    mkdir((dir + "/objects").c_str(), 0755);
    write("objects/box.obj", kTetra);
    std::string text = layoutScene();
    std::string path = write("layout.lws", text);
    layout.setContentDirectory(dir);
    layout.loadModule(MORVANE_MODULE_PATH);
    std::string printed = run("LoadScene " + path +
                              "\nDump box\nDump Control\nDump gone\n"
                              "Dump Sun\nDump Camera\nSaveSceneAs " +
                              dir + "/again.lws\n");
    // The missing object: a warning, and an empty object of its name.
    size_t at = text.find("LoadObjectLayer 1 10000002");
    std::string line = std::to_string(std::count(text.begin(), text.begin() + long(at), '\n') + 1);
    std::string warning =
        "warning: " + path + ":" + line + ": cannot open " + dir +
        "/objects/gone.obj (No such file or directory); kept as an empty object\n";
    EXPECT_EQ(printed.rfind(warning, 0), 0u) << printed;
    EXPECT_EQ(printed.find("error"), std::string::npos) << printed;
    std::istringstream dumps(printed.substr(printed.find('\n') + 1));
    std::vector<std::string> lines;
    for (std::string l; std::getline(dumps, l);)
        lines.push_back(l);
    ASSERT_EQ(lines.size(), 5u) << printed;
    const std::vector<std::vector<std::string>> want = {
        {"\"name\":\"box\"", "\"visibility\":7", "\"position\":[0.5,0,0]", "\"points\":4",
         "\"servers\":[]"},
        {"\"name\":\"Control\"", "\"parent\":\"box\"", "\"visibility\":6",
         "\"position\":[0.5,2,0]"},
        {"\"name\":\"gone\"", "\"type\":\"object\"", "\"points\":0", "\"polygons\":0"},
        {"\"name\":\"Sun\"", "\"type\":\"light\"", "\"visibility\":0"},
        {"\"name\":\"Camera\"", "\"type\":\"camera\"", "\"position\":[0,0,-5]"},
    };
    for (size_t i = 0; i < want.size(); ++i)
        for (const std::string& part : want[i])
            EXPECT_NE(lines[i].find(part), std::string::npos) << part << " in " << lines[i];

    // Saved again: the same lines in the same order.
    std::istringstream a(text), b(read(dir + "/again.lws"));
    int number = 0;
    for (std::string x, y; std::getline(a, x);) {
        ++number;
        ASSERT_TRUE(std::getline(b, y)) << "the saved file ends before line " << number;
        EXPECT_EQ(y, x) << "line " << number;
    }
    std::string rest;
    EXPECT_FALSE(std::getline(b, rest)) << "extra line: " << rest;
}

TEST_F(LayoutScenes, ChangedItemsWriteTheirChangesAndKeepTheRest) {
    mkdir((dir + "/objects").c_str(), 0755);
    write("objects/box.obj", kTetra);
    std::string path = write("layout.lws", layoutScene());
    layout.setContentDirectory(dir);
    run("LoadScene " + path +
        "\nSelectByName Control\nParentItem 30000000\nPosition 4 2 0\nSelectByName Sun\n"
        "Rename Key\n"
        "SaveSceneAs " +
        dir + "/changed.lws\n");
    std::string saved = read(dir + "/changed.lws");
    // The new parent in the old ParentItem line's place; the rest as read.
    EXPECT_NE(
        saved.find("HLimits -1.5 1.5\nParentItem 30000000\nPivotPosition 0 0 0\nShadowOptions 7\n"),
        std::string::npos)
        << saved;
    EXPECT_NE(saved.find("LightName Key\nShowLight 0 -1 1 1 0.5\n"), std::string::npos);
    EXPECT_NE(saved.find("LoadObjectLayer 1 10000000 objects/box.obj\n"), std::string::npos);
    // The moved null's motion is written from its keys, the light's as read.
    EXPECT_NE(saved.find("ObjectMotion\nNumChannels 9\nChannel 0\n{ Envelope\n  1\n"
                         "  Key 4 0 0 0 0 0 0 0 0\n"),
              std::string::npos)
        << saved;
    EXPECT_NE(saved.find("  Key 0 0 0 0 0 0 0 0 0\n  Unmodelled 1 2\n"), std::string::npos);
    EXPECT_NE(saved.find("\nChannel 6\n{ Envelope\n  1\n  Key 1.0 0 0 0 0 0 0 0 0\n"),
              std::string::npos);
    EXPECT_NE(saved.find("FramesPerSecond 30.0\n"), std::string::npos);
}

TEST_F(LayoutScenes, ShowLinesTakeAPaletteIndexOrACustomColour) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"ShowObject 7 -1 0.376 0.878 0.941", true}, {"ShowObject 6 3", true},
        {"ShowObject 6 -1 0.5 0.5", false},          {"ShowObject 6 2 0.5 0.5 0.5", false},
        {"ShowObject 6 -1 red 0.5 0.5", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        host::Host h(out);
        std::string text = "LWSC\n5\n\nAddNullObject 10000000 N\n" + c.first + "\n";
        std::string path = write("show.lws", text);
        if (!c.second) {
            EXPECT_THROW(host::loadScene(h, path, {}), host::HostError);
            continue;
        }
        host::loadScene(h, path, {});
        EXPECT_NE(host::formatScene(h.scene(), {}).find("\n" + c.first + "\n"), std::string::npos);
    }
}

TEST_F(LayoutScenes, VersionsThreeToFiveReadAndOlderAreRefusedByNumber) {
    for (int version : {3, 4, 5}) {
        host::Host h(out);
        std::string id = version >= 4 ? " 10000000" : "";
        host::loadScene(
            h,
            write("v.lws", "LWSC\n" + std::to_string(version) + "\n\nAddNullObject" + id + " N\n"),
            {});
        EXPECT_NE(h.scene().find("N"), nullptr) << version;
    }
    for (int version : {1, 2}) {
        try {
            host::loadScene(layout, write("v.lws", "LWSC\n" + std::to_string(version) + "\n"), {});
            ADD_FAILURE() << "version " << version << " loaded";
        } catch (const host::HostError& e) {
            EXPECT_NE(std::string(e.what()).find(":2: scene version " + std::to_string(version) +
                                                 " is not supported"),
                      std::string::npos)
                << e.what();
        }
    }
}
