#include "commands/commands.h"

#include "commands/interface_panels.h"
#include "common/file_names.h"
#include "common/host_error.h"
#include "core/host_core.h"
#include "io/scene_io.h"
#include "mesh/lwo2_reader.h"
#include "mesh/object_file.h"
#include "plugins/displacement.h"
#include "scene/clone.h"
#include "scene/transform.h"

#include <cerrno>
#include <filesystem>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <vector>

namespace host {

namespace {

const double kPi = 3.141592653589793;
// The frames a scene's timing and GoToFrame accept lie within plus or minus
// this.
const int kFrameLimit = 1000000;

// The arguments of one command, read in the order its letters give.
class Args {
  public:
    Args(const std::string& text) : text_(text) {}

    bool more() {
        skipSpaces();
        return pos_ < text_.size();
    }
    std::string word() {
        skipSpaces();
        size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ' ' && text_[pos_] != '\t')
            ++pos_;
        if (start == pos_) throw HostError("missing argument");
        return text_.substr(start, pos_ - start);
    }
    std::string rest() {
        skipSpaces();
        std::string r = text_.substr(pos_);
        while (!r.empty() && (r.back() == ' ' || r.back() == '\t' || r.back() == '\r'))
            r.pop_back();
        pos_ = text_.size();
        if (r.empty()) throw HostError("missing argument");
        return r;
    }
    double number() {
        std::string w = word();
        char* end = nullptr;
        errno = 0;
        double v = std::strtod(w.c_str(), &end);
        if (*end || errno || !std::isfinite(v)) throw HostError("'" + w + "' is not a number");
        return v;
    }
    long integer() {
        std::string w = word();
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(w.c_str(), &end, 10);
        if (*end || errno) throw HostError("'" + w + "' is not a whole number");
        return v;
    }
    // Only the low 32 bits of an item ID matter in a command.
    std::uint32_t hex() {
        std::string w = word();
        std::string digits =
            (w.size() > 2 && w[0] == '0' && (w[1] == 'x' || w[1] == 'X')) ? w.substr(2) : w;
        char* end = nullptr;
        errno = 0;
        unsigned long long v = std::strtoull(digits.c_str(), &end, 16);
        if (digits.empty() || *end || errno) throw HostError("'" + w + "' is not a hexadecimal ID");
        return std::uint32_t(v);
    }
    void end() {
        if (more()) throw HostError("unexpected argument '" + word() + "'");
    }

  private:
    void skipSpaces() {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r'))
            ++pos_;
    }
    std::string text_;
    size_t pos_ = 0;
};

using Handler = std::function<void(HostCore&, Args&)>;

Item& currentItem(HostCore& h) {
    Item* item = h.scene().find(h.scene().firstSelected());
    if (!item) throw HostError("no item is selected");
    return *item;
}

Item& itemByFileId(HostCore& h, std::uint32_t id) {
    Item* item = h.scene().findByFileId(id);
    if (!item) {
        char text[16];
        std::snprintf(text, sizeof text, "%08X", id);
        throw HostError(std::string("no item with ID ") + text);
    }
    return *item;
}

// Kept absolute, so a scene file names the object wherever it is read.
std::string objectPath(HostCore& h, const std::string& given) {
    return std::filesystem::absolute(h.resolvePath(given)).lexically_normal().string();
}

// The item name of one layer of a file with several: "stem:NAME", or
// "stem:Layer N" for a layer without a name. A file of one layer is "stem".

void warnRead(HostCore& h, const std::string& path, const ReadNotes& notes) {
    std::string text = readWarning(path, notes);
    if (!text.empty()) h.out() << "warning: " << text << "\n";
}

// After a scene load: one line per object file for what its reader skipped,
// over every layer the scene loaded from it, in item order.
void warnSceneObjects(HostCore& h) {
    std::vector<std::string> order;
    std::map<std::string, ReadNotes> notes;
    std::set<const Mesh*> seen;
    for (const Item* item : h.scene().items()) {
        if (!item->mesh || !seen.insert(item->mesh.get()).second) continue;
        if (notes.count(item->path) == 0) order.push_back(item->path);
        notes[item->path].add(item->mesh->notes);
    }
    for (const std::string& path : order)
        warnRead(h, path, notes[path]);
}

Item& addLayer(HostCore& h, const std::string& path, ObjectLayer& layer, bool layered) {
    Item& item = h.scene().addObject(layerItemName(path, layer.name, layer.layer, layered), path,
                                     std::make_shared<const Mesh>(std::move(layer.mesh)));
    item.layer = layer.layer;
    return item;
}

// Every layer of the file becomes an item, parented as its LAYR chunk says;
// the first is selected.
void loadObject(HostCore& h, Args& a) {
    std::string path = objectPath(h, a.rest());
    std::vector<ObjectLayer> layers = readObjectLayers(path);
    ReadNotes notes;
    for (const ObjectLayer& layer : layers)
        notes.add(layer.mesh.notes);
    const bool layered = layers.size() > 1;
    std::map<unsigned, LWItemID> items;
    std::vector<std::pair<LWItemID, unsigned>> parents;
    for (ObjectLayer& layer : layers) {
        Item& item = addLayer(h, path, layer, layered);
        items[layer.layer] = item.id;
        if (layer.parentLayer) parents.emplace_back(item.id, layer.parentLayer);
    }
    // A parent layer the file lacks, or one that would close a loop, leaves
    // the layer at the top.
    for (const auto& [child, parentLayer] : parents) {
        auto parent = items.find(parentLayer);
        if (parent == items.end() || parent->second == child) continue;
        try {
            h.scene().setParent(child, parent->second);
        } catch (const HostError&) {
        }
    }
    h.scene().select(items.at(layers.front().layer));
    warnRead(h, path, notes);
}

// LoadObjectLayer N PATH: layer N alone, named as LoadObject names it.
void loadObjectLayer(HostCore& h, Args& a) {
    long number = a.integer();
    if (number < 1 || number > 65536)
        throw HostError("layer " + std::to_string(number) + " is out of range (1 to 65536)");
    std::string path = objectPath(h, a.rest());
    ObjectLayer layer;
    layer.layer = unsigned(number);
    layer.mesh = readObjectLayer(path, layer.layer);
    Item& item = h.scene().addObject(objectItemName(path, layer.layer), path,
                                     std::make_shared<const Mesh>(std::move(layer.mesh)));
    item.layer = layer.layer;
    h.scene().select(item.id);
    warnRead(h, path, item.mesh->notes);
}

// Toggles one bit of the selected objects' shadow options or render flags;
// with n, sets it to n != 0.
Handler toggle(unsigned int Item::*field, unsigned int bit) {
    return [field, bit](HostCore& h, Args& a) {
        const bool given = a.more();
        const bool on = given && a.integer() != 0;
        a.end();
        for (const LWItemID* id = h.scene().selection(); *id; ++id) {
            Item& item = h.scene().get(*id);
            if (item.type != LWI_OBJECT) continue;
            if (!given)
                item.*field ^= bit;
            else if (on)
                item.*field |= bit;
            else
                item.*field &= ~bit;
        }
    };
}

Handler setTiming(int SceneTiming::*field, int minimum) {
    return [field, minimum](HostCore& h, Args& a) {
        long n = a.integer();
        a.end();
        if (n < minimum || n > kFrameLimit) throw HostError(std::to_string(n) + " is out of range");
        h.scene().timing().*field = int(n);
    };
}

Handler setMotionCommand(int firstChannel, double unit) {
    return [firstChannel, unit](HostCore& h, Args& a) {
        double v[3];
        for (double& x : v)
            x = a.number() * unit;
        a.end();
        Item& item = currentItem(h);
        setMotion(h.scene(), item.id, firstChannel, v, h.scene().timing().time);
    };
}

Handler editMode(LWItemType type) {
    return [type](HostCore& h, Args& a) {
        a.end();
        h.setEditMode(type);
        // Bones are edited on the selected object; the host has none.
        if (type != LWI_BONE) h.scene().selectForEditing(type);
    };
}

Handler addItem(LWItemType type) {
    return [type](HostCore& h, Args& a) {
        std::string name = a.rest();
        h.scene().select(h.scene().add(type, name).id);
    };
}

const std::map<std::string, Handler>& commands() {
    static const std::map<std::string, Handler> table = {
        {"AddNull", addItem(LWI_OBJECT)},
        {"AddCamera", addItem(LWI_CAMERA)},
        {"AddLight", addItem(LWI_LIGHT)},
        {"AddPointLight", addItem(LWI_LIGHT)},
        {"LoadObject", loadObject},
        {"LoadObjectLayer", loadObjectLayer},
        {"SelectItem",
         [](HostCore& h, Args& a) {
             std::uint32_t id = a.hex();
             a.end();
             h.scene().select(itemByFileId(h, id).id);
         }},
        {"SelectByName",
         [](HostCore& h, Args& a) {
             std::string name = a.rest();
             Item* item = h.scene().find(name);
             if (!item) throw HostError("no item named '" + name + "'");
             h.scene().select(item->id);
         }},
        {"AddToSelection",
         [](HostCore& h, Args& a) {
             std::uint32_t id = a.hex();
             a.end();
             h.scene().addToSelection(itemByFileId(h, id).id);
         }},
        {"ParentItem",
         [](HostCore& h, Args& a) {
             std::uint32_t id = a.hex();
             a.end();
             Item& child = currentItem(h);
             parentItem(h, child.id, id ? itemByFileId(h, id).id : nullptr);
         }},
        {"ParentInPlace",
         [](HostCore& h, Args& a) {
             bool& state = h.scene().timing().parentInPlace;
             if (a.more())
                 state = a.integer() != 0;
             else
                 state = !state;
             a.end();
         }},
        {"ItemVisibility",
         [](HostCore& h, Args& a) {
             long v = a.integer();
             a.end();
             for (const LWItemID* id = h.scene().selection(); *id; ++id) {
                 Item& item = h.scene().get(*id);
                 long top = item.type == LWI_OBJECT ? LWOVIS_TEXTURED_WIRE : LWIVIS_VISIBLE;
                 if (v < 0 || v > top)
                     throw HostError("visibility " + std::to_string(v) + " out of range");
                 item.visibility = int(v);
             }
         }},
        {"GoToFrame",
         [](HostCore& h, Args& a) {
             double frame = a.number();
             a.end();
             // Frames as far out as the timing commands accept; farther ones
             // would not fit a frame number.
             if (frame < -kFrameLimit || frame > kFrameLimit)
                 throw HostError("frame out of range (" + std::to_string(-kFrameLimit) + " to " +
                                 std::to_string(kFrameLimit) + ")");
             h.goToTime(frame / h.scene().timing().framesPerSecond);
         }},
        {"Refresh",
         [](HostCore& h, Args& a) {
             a.end();
             h.refreshScene();
         }},
        {"RefreshNow",
         [](HostCore& h, Args& a) {
             a.end();
             h.refreshScene();
         }},
        {"Redraw", [](HostCore&, Args& a) { a.end(); }},
        {"RedrawNow", [](HostCore&, Args& a) { a.end(); }},
        {"Position", setMotionCommand(0, 1.0)},
        {"Rotation", setMotionCommand(3, kPi / 180.0)},
        {"Scale", setMotionCommand(6, 1.0)},
        {"CreateKey",
         [](HostCore& h, Args& a) {
             double time = a.number();
             a.end();
             Item& item = currentItem(h);
             for (const char* name : kMotionChannelNames) {
                 Envelope& env = item.channels->findChannel(name)->envelope();
                 env.createKey(time, env.evaluate(time));
             }
         }},
        {"DeleteKey",
         [](HostCore& h, Args& a) {
             double time = a.number();
             a.end();
             Item& item = currentItem(h);
             for (const char* name : kMotionChannelNames) {
                 Envelope& env = item.channels->findChannel(name)->envelope();
                 if (Envelope::Key* key = env.findKey(time)) env.destroyKey(key);
             }
         }},
        {"EditObjects", editMode(LWI_OBJECT)},
        {"EditBones", editMode(LWI_BONE)},
        {"EditLights", editMode(LWI_LIGHT)},
        {"EditCameras", editMode(LWI_CAMERA)},
        {"ChangeTool",
         [](HostCore& h, Args& a) {
             a.end();
             h.dropTool();
         }},
        {"FramesPerSecond",
         [](HostCore& h, Args& a) {
             double fps = a.number();
             a.end();
             if (!(fps > 0.0) || fps > 10000.0) throw HostError("frame rate out of range");
             h.scene().timing().framesPerSecond = fps;
         }},
        {"FirstFrame", setTiming(&SceneTiming::frameStart, -kFrameLimit)},
        {"LastFrame", setTiming(&SceneTiming::frameEnd, -kFrameLimit)},
        {"FrameStep", setTiming(&SceneTiming::frameStep, 1)},
        {"PreviewFirstFrame", setTiming(&SceneTiming::previewStart, -kFrameLimit)},
        {"PreviewLastFrame", setTiming(&SceneTiming::previewEnd, -kFrameLimit)},
        {"PreviewFrameStep", setTiming(&SceneTiming::previewStep, 1)},
        {"Rename",
         [](HostCore& h, Args& a) {
             std::string name = a.rest();
             Item& item = currentItem(h);
             if (item.type == LWI_OBJECT && !item.path.empty())
                 throw HostError("objects take their names from their files");
             std::string oldName = item.name;
             item.name = name;
             h.instances().changeName(item.id, oldName, name);
         }},
        {"ApplyServer",
         [](HostCore& h, Args& a) {
             std::string cls = a.word();
             std::string server = a.rest();
             h.instances().apply(currentItem(h).id, cls, server);
             if (cls == LWDISPLACEMENT_HCLASS) evaluateDisplacements(h.scene(), h.instances());
         }},
        {"RemoveServer",
         [](HostCore& h, Args& a) {
             std::string cls = a.word();
             long index = a.integer();
             a.end();
             h.instances().remove(currentItem(h).id, cls, int(index));
             if (cls == LWDISPLACEMENT_HCLASS) evaluateDisplacements(h.scene(), h.instances());
         }},
        {"EditServer",
         [](HostCore& h, Args& a) {
             std::string cls = a.word();
             long index = a.integer();
             a.end();
             Item& item = currentItem(h);
             ServerInstance* instance = h.instances().find(item.id, cls, int(index));
             if (!instance)
                 throw HostError("no " + cls + " number " + std::to_string(index) + " on " +
                                 item.name);
             // Opened when the interface server gives an XPanel; without one
             // (or when it will not start) the panel is only named, with why.
             std::string why;
             LWXPanelID panel = nullptr;
             try {
                 panel = instancePanel(h, *instance, why, true);
             } catch (const HostError& e) {
                 why = e.what();
             }
             if (panel) h.xpanels().open(panel);
             h.out() << "panel: " << cls << " " << instance->serverName;
             if (!panel) h.out() << " (no panel: " << why << ")";
             h.out() << "\n";
         }},
        {"Clone",
         [](HostCore& h, Args& a) {
             long count = a.integer();
             a.end();
             if (count < 1 || count > 1000)
                 throw HostError(std::to_string(count) + " is out of range");
             cloneItem(h, currentItem(h).id, int(count));
         }},
        {"ClearScene",
         [](HostCore& h, Args& a) {
             a.end();
             h.clearScene();
         }},
        {"SaveSceneAs",
         [](HostCore& h, Args& a) { saveSceneWithPlugins(h, h.resolvePath(a.rest())); }},
        {"LoadScene",
         [](HostCore& h, Args& a) {
             loadSceneWithPlugins(h, h.resolvePath(a.rest()));
             warnSceneObjects(h);
             // The plug-ins arrive after the load's own frame change.
             evaluateDisplacements(h.scene(), h.instances());
         }},
        {"SelfShadow", toggle(&Item::shadowOptions, LWOSHAD_SELF)},
        {"CastShadow", toggle(&Item::shadowOptions, LWOSHAD_CAST)},
        {"ReceiveShadow", toggle(&Item::shadowOptions, LWOSHAD_RECEIVE)},
        {"UnseenByCamera", toggle(&Item::renderFlags, LWOBJF_UNSEEN_BY_CAMERA)},
        {"UnseenByRays", toggle(&Item::renderFlags, LWOBJF_UNSEEN_BY_RAYS)},
        {"UnaffectedByFog", toggle(&Item::renderFlags, LWOBJF_UNAFFECT_BY_FOG)},
        {"UnseenByAlphaChannel", toggle(&Item::renderFlags, 0x40u)},
        {"UnseenByRadiosity", toggle(&Item::renderFlags, LWOBJF_UNSEEN_BY_RADIOSITY)},
    };
    return table;
}

} // namespace

void parentItem(HostCore& h, LWItemID child, LWItemID parent) {
    if (h.scene().timing().parentInPlace)
        parentKeepingWorld(h.scene(), child, parent, h.scene().timing().time);
    else
        h.scene().setParent(child, parent);
}

std::vector<LWItemID> cloneItem(HostCore& h, LWItemID source, int count) {
    std::string firstError;
    std::vector<LWItemID> clones;
    for (int n = 0; n < count; ++n) {
        LWItemID clone = addItemCopy(h.scene(), source).id;
        clones.push_back(clone);
        try {
            h.instances().cloneInstances(source, clone);
        } catch (const HostError& e) {
            if (firstError.empty()) firstError = e.what();
        }
    }
    if (!clones.empty()) h.scene().select(clones.back());
    if (!firstError.empty()) throw HostError(firstError);
    return clones;
}

bool CommandInterpreter::knows(const std::string& name) {
    // "Tool_" alone names no tool.
    return commands().count(name) || (name.size() > 5 && name.rfind("Tool_", 0) == 0);
}

void CommandInterpreter::execute(const std::string& line) {
    Args args(line);
    if (!args.more()) throw HostError("empty command");
    std::string name = args.word();
    if (!knows(name)) throw HostError("unknown command '" + name + "'");
    try {
        if (name.rfind("Tool_", 0) == 0 && name.size() > 5) {
            args.end();
            int result = host_.activate(LWLAYOUTTOOL_CLASS, name.substr(5), 1);
            if (result != AFUNC_OK)
                throw HostError("tool " + name.substr(5) + " did not start (" +
                                std::to_string(result) + ")");
        } else {
            commands().at(name)(host_, args);
        }
    } catch (const HostError& e) {
        host_.services().refresh();
        throw HostError(name + ": " + e.what());
    }
    host_.services().refresh();
}

} // namespace host
