#include "io/scene_file.h"

#include "common/file_names.h"
#include "common/host_error.h"
#include "core/host_core.h"
#include "io/plugin_io.h"
#include "io/scene_keywords.h"
#include "mesh/lwo2_reader.h"
#include "mesh/object_file.h"
#include "mesh/obj_reader.h"
#include "scene/scene.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <utility>

namespace host {

namespace {

// A folder opens as a stream on some systems and not on others; either way
// it goes on to the object readers, which refuse it in the same words. The
// name is taken as far as the stream takes it (to a NUL); errno is kept for
// the caller's message.
bool isFolder(const std::string& path) {
    const int saved = errno;
    std::error_code error;
    const bool folder = std::filesystem::is_directory(path.c_str(), error);
    errno = saved;
    return folder;
}

// Plug-in classes that belong to the item whose lines they sit in; any
// other class is scene-level.
const char* const kItemClasses[] = {"DisplacementHandler", "CustomObjHandler",
                                    "ItemMotionHandler",   "ObjReplacementHandler",
                                    "LightHandler",        "CameraHandler"};

struct KeyData {
    double value, time;
    int shape;
    double p[6];
};

struct EnvelopeData {
    std::vector<KeyData> keys;
    int pre = kBehaviorConstant, post = kBehaviorConstant;
};

struct ItemData {
    LWItemType type = LWI_OBJECT;
    bool bone = false;
    std::uint32_t fileId = 0;
    int line = 0;
    std::string name, path;
    int layer = 1;
    std::shared_ptr<const Mesh> mesh;
    std::string resolvedPath;
    int visibility = -1;
    std::optional<unsigned int> shadow;
    unsigned int flags = 0;
    double pivot[3] = {0, 0, 0}, pivotRotation[3] = {0, 0, 0};
    std::optional<EnvelopeData> channels[9];
    int numChannels = -1, numChannelsLine = 0, channelsRead = 0;
    std::uint32_t parent = 0;
    int parentLine = 0;
    std::vector<FileLine> lines; // with bones' lines, which are kept verbatim
    std::string colour;          // the Show line's colour fields
    std::string missing;         // why the object file could not be read
};

struct PluginData {
    int item = -1; // index into the items, -1 for scene level
    std::string className, server;
    int index = 0;
    std::vector<std::string> lines;
    int line = 0, endLine = 0;
};

// White space, one rule for trimming lines and splitting them into fields:
// a line of only \v, \f or \r is blank, not a field-less statement.
const char* const kBlank = " \t\v\f\r\n";

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(kBlank);
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(kBlank);
    return text.substr(first, last - first + 1);
}

std::vector<std::string> fieldsOf(const std::string& text) {
    std::vector<std::string> fields;
    for (size_t at = text.find_first_not_of(kBlank); at != std::string::npos;) {
        size_t end = text.find_first_of(kBlank, at);
        fields.push_back(text.substr(at, end == std::string::npos ? end : end - at));
        at = end == std::string::npos ? end : text.find_first_not_of(kBlank, end);
    }
    return fields;
}

// What follows the first `skip` fields of a trimmed line.
std::string restAfter(const std::string& text, size_t skip) {
    size_t at = 0;
    for (size_t i = 0; i < skip; ++i) {
        at = text.find_first_not_of(kBlank, at);
        at = at == std::string::npos ? text.size() : text.find_first_of(kBlank, at);
        if (at == std::string::npos) return "";
    }
    return trimmed(text.substr(at));
}

std::string hexText(std::uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", id);
    return text;
}

class Reader {
  public:
    Reader(HostCore& host, const std::string& path) : host_(host), path_(path) {}

    void read() {
        std::ifstream in(path_, std::ios::binary);
        if (!in) throw HostError(path_ + ": cannot open the scene file: " + std::strerror(errno));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines_.push_back(line);
        }
        if (lines_.empty() || trimmed(lines_[0]) != "LWSC")
            fail(1, "not a LightWave scene (the first line is not LWSC)");
        if (lines_.size() < 2) fail(1, "the version line is missing");
        version_ = integer(trimmed(lines_[1]), 2, "the version");
        if (version_ < 3 || version_ > 5)
            fail(2, "scene version " + std::to_string(version_) + " is not supported (3 to 5 are)");
        for (size_t i = 2; i < lines_.size();)
            i = statement(i);
        endItem();
        resolve();
    }

    // Makes the items in `scene`, which is not the host's yet.
    void build(Scene& scene, SceneLoadResult& result) {
        result.warnings = warnings_;
        SceneTiming& t = scene.timing();
        t = host_.scene().timing();
        t.frameStart = frameStart_.value_or(t.frameStart);
        t.frameEnd = frameEnd_.value_or(t.frameEnd);
        t.frameStep = frameStep_.value_or(t.frameStep);
        t.previewStart = previewStart_.value_or(t.previewStart);
        t.previewEnd = previewEnd_.value_or(t.previewEnd);
        t.previewStep = previewStep_.value_or(t.previewStep);
        t.framesPerSecond = fps_.value_or(t.framesPerSecond);
        t.time = currentFrame_.value_or(0) / t.framesPerSecond;

        for (ItemData& d : items_) {
            if (d.bone) {
                newIds_.push_back(nullptr);
                continue;
            }
            Item* item = nullptr;
            if (d.type == LWI_OBJECT && !d.path.empty())
                item = &scene.addObject(d.missing.empty()
                                            ? objectItemName(d.resolvedPath, unsigned(d.layer))
                                            : fileStem(d.path),
                                        d.resolvedPath, d.mesh);
            else
                item = &scene.add(d.type, d.name);
            item->fileLines = std::move(d.lines);
            item->fileColour = d.colour;
            item->filePath = d.path;
            item->fileResolvedPath = d.resolvedPath;
            item->fileLayer = d.layer;
            if (d.type == LWI_OBJECT && !d.path.empty()) item->layer = unsigned(d.layer);
            item->fileProblem = d.missing;
            if (d.visibility >= 0) item->visibility = d.visibility;
            if (d.shadow) item->shadowOptions = *d.shadow;
            item->renderFlags = d.flags;
            std::copy(std::begin(d.pivot), std::end(d.pivot), item->pivot);
            std::copy(std::begin(d.pivotRotation), std::end(d.pivotRotation), item->pivotRotation);
            for (int c = 0; c < 9; ++c)
                if (d.channels[c])
                    setEnvelope(item->channels->findChannel(kMotionChannelNames[c])->envelope(),
                                *d.channels[c]);
            newIds_.push_back(item->id);
            result.ids[d.fileId] = item->id;
        }
        scene.fileHead = std::move(head_);
        for (size_t i = 0; i < items_.size(); ++i) {
            if (!items_[i].parent || items_[i].bone) continue;
            try {
                scene.setParent(newIds_[i], result.ids.at(items_[i].parent));
            } catch (const HostError& e) {
                fail(items_[i].parentLine, e.what());
            }
        }
    }

    // Hands each block to its plug-in; those nothing takes are kept in their
    // place as read, the others are written from the instances they made.
    void runPlugins(const PluginBlockReader& plugins, SceneLoadResult& result, Scene& scene) {
        std::vector<bool> kept(plugins_.size(), true);
        for (size_t n = 0; n < plugins_.size() && plugins.load; ++n) {
            const PluginData& p = plugins_[n];
            PluginReader data(p.lines);
            PluginBlock block;
            block.item = p.item >= 0 ? newIds_[size_t(p.item)] : nullptr;
            block.className = p.className;
            block.index = p.index;
            block.server = p.server;
            block.state = data.state();
            block.where = path_ + ":" + std::to_string(p.line);
            try {
                plugins.load(block, result.ids);
            } catch (const HostError& e) {
                result.pluginErrors.push_back(block.where + ": plug-in " + p.server + ": " +
                                              e.what());
            }
            kept[n] = block.kept;
        }
        placePlugins(scene.fileHead, kept);
        for (LWItemID id : newIds_)
            if (Item* item = id ? scene.find(id) : nullptr) placePlugins(item->fileLines, kept);
    }

    void placePlugins(std::vector<FileLine>& lines, const std::vector<bool>& kept) const {
        std::vector<FileLine> placed;
        for (FileLine& l : lines) {
            if (!l.marker || l.text.compare(0, 7, "plugin ") != 0) {
                placed.push_back(std::move(l));
                continue;
            }
            size_t n = std::stoul(l.text.substr(7));
            const PluginData& p = plugins_[n];
            if (!kept[n]) {
                placed.push_back({true, p.item >= 0 ? "plugins" : "scene plugins", {}, {}});
                continue;
            }
            for (int j = p.line; j <= p.endLine; ++j)
                placed.push_back({false, lines_[size_t(j) - 1], {}, {}});
        }
        lines = std::move(placed);
    }

  private:
    [[noreturn]] void fail(int line, const std::string& what) const {
        throw HostError(path_ + ":" + std::to_string(line) + ": " + what);
    }

    int integer(const std::string& text, int line, const std::string& what) const {
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end || errno || v < INT32_MIN || v > INT32_MAX)
            fail(line, what + ": '" + text + "' is not a whole number");
        return int(v);
    }

    int integerIn(const std::string& text, int line, const std::string& what, int lo,
                  int hi) const {
        int v = integer(text, line, what);
        if (v < lo || v > hi)
            fail(line, what + " " + text + " is outside " + std::to_string(lo) + " to " +
                           std::to_string(hi));
        return v;
    }

    double real(const std::string& text, int line, const std::string& what) const {
        char* end = nullptr;
        errno = 0;
        double v = std::strtod(text.c_str(), &end);
        if (text.empty() || *end || !std::isfinite(v))
            fail(line, what + ": '" + text + "' is not a finite number");
        return v;
    }

    std::uint32_t hexId(const std::string& text, int line) const {
        bool ok = !text.empty() && text.size() <= 8;
        for (char c : text)
            ok = ok && std::isxdigit(static_cast<unsigned char>(c));
        if (!ok) fail(line, "'" + text + "' is not a hexadecimal item ID");
        return std::uint32_t(std::strtoul(text.c_str(), nullptr, 16));
    }

    void needFields(const std::vector<std::string>& f, size_t n, int line,
                    const std::string& keyword) const {
        if (f.size() != n)
            fail(line, keyword + " takes " + std::to_string(n) + " value(s), not " +
                           std::to_string(f.size()));
    }

    // Where the lines being read are kept: the current item's, a bone's
    // object's, or the scene's before the first item.
    std::vector<FileLine>& sink() {
        int at = current_ >= 0 && items_[size_t(current_)].bone ? owner_ : current_;
        return at >= 0 ? items_[size_t(at)].lines : head_;
    }

    // Reads the statement at line i and keeps its lines (or the marker of
    // what the host writes in their place); returns the next one's index.
    size_t statement(size_t i) {
        mark_.clear();
        size_t next = parse(i);
        std::vector<FileLine>& out = sink();
        if (mark_.empty()) {
            for (size_t j = i; j < next; ++j)
                out.push_back({false, lines_[j], {}, {}});
            return next;
        }
        // A channel and its envelope belong to the motion marker before them.
        bool same = !out.empty() && out.back().marker &&
                    (mark_ == "-" || (mark_ == "motion" && out.back().text == mark_));
        if (!same) out.push_back({true, mark_, {}, {}});
        out.back().original.insert(out.back().original.end(), lines_.begin() + long(i),
                                   lines_.begin() + long(next));
        return next;
    }

    size_t parse(size_t i) {
        std::string t = trimmed(lines_[i]);
        int line = int(i) + 1;
        if (t.empty() || t.compare(0, 2, "//") == 0) return i + 1;
        if (pendingChannel_ >= 0 && t != "{ Envelope")
            fail(pendingLine_, "Channel " + std::to_string(pendingChannel_) +
                                   " is not followed by an envelope block");
        if (t[0] == '{') {
            if (t == "{ Envelope" && pendingChannel_ >= 0) {
                mark_ = "-";
                return envelope(i);
            }
            return skipBlock(i);
        }
        if (t == "}") fail(line, "a } closes no block");

        std::vector<std::string> all = fieldsOf(t);
        std::string keyword = all[0];
        std::vector<std::string> f(all.begin() + 1, all.end());

        if (timing(keyword, f, line)) return i + 1;
        if (keyword == "Plugin") return plugin(i, t, f);
        if (keyword == "EndPlugin") fail(line, "EndPlugin without a Plugin line");
        if (keyword == "LoadObject")
            fail(line, "LoadObject without a layer and ID is not read; use LoadObjectLayer");
        if (declaration(keyword, t, f, line)) return i + 1;
        itemSetting(keyword, t, f, line);
        return i + 1;
    }

    bool timing(const std::string& keyword, const std::vector<std::string>& f, int line) {
        struct IntKey {
            const char* name;
            std::optional<int> Reader::*field;
            int minimum;
        };
        static const IntKey keys[] = {
            {"FirstFrame", &Reader::frameStart_, INT32_MIN},
            {"LastFrame", &Reader::frameEnd_, INT32_MIN},
            {"FrameStep", &Reader::frameStep_, 1},
            {"PreviewFirstFrame", &Reader::previewStart_, INT32_MIN},
            {"PreviewLastFrame", &Reader::previewEnd_, INT32_MIN},
            {"PreviewFrameStep", &Reader::previewStep_, 1},
            {"CurrentFrame", &Reader::currentFrame_, INT32_MIN},
        };
        for (const IntKey& k : keys) {
            if (keyword != k.name) continue;
            needFields(f, 1, line, keyword);
            this->*k.field = integerIn(f[0], line, keyword, k.minimum, INT32_MAX);
            mark_ = "timing " + keyword;
            return true;
        }
        if (keyword == "FramesPerSecond") {
            needFields(f, 1, line, keyword);
            double fps = real(f[0], line, keyword);
            if (!(fps > 0)) fail(line, "FramesPerSecond must be above 0");
            fps_ = fps;
            mark_ = "timing " + keyword;
            return true;
        }
        return false;
    }

    size_t skipBlock(size_t i) {
        int depth = 0;
        for (size_t j = i; j < lines_.size(); ++j) {
            std::string t = trimmed(lines_[j]);
            if (!t.empty() && t[0] == '{')
                ++depth;
            else if (t == "}")
                --depth;
            if (depth == 0) return j + 1;
        }
        fail(int(i) + 1, "the block '" + trimmed(lines_[i]) + "' is not closed");
    }

    size_t plugin(size_t i, const std::string& t, const std::vector<std::string>& f) {
        int line = int(i) + 1;
        if (f.size() < 3) fail(line, "Plugin needs a class, an index and a server name");
        PluginData p;
        p.className = f[0];
        p.index = integerIn(f[1], line, "the plug-in index", 1, INT32_MAX);
        p.server = restAfter(t, 3);
        p.line = line;
        size_t j = i + 1;
        for (; j < lines_.size() && trimmed(lines_[j]) != "EndPlugin"; ++j)
            p.lines.push_back(lines_[j]);
        if (j == lines_.size()) fail(line, "the Plugin block has no EndPlugin");
        p.endLine = int(j) + 1;
        bool itemClass = false;
        for (const char* c : kItemClasses)
            itemClass = itemClass || p.className == c;
        if (itemClass) {
            if (current_ < 0) fail(line, p.className + " block outside any item");
            if (items_[size_t(current_)].bone) return j + 1; // bones are not loaded
            p.item = current_;
        }
        mark_ = "plugin " + std::to_string(plugins_.size());
        plugins_.push_back(std::move(p));
        return j + 1;
    }

    bool declaration(const std::string& keyword, const std::string& t,
                     const std::vector<std::string>& f, int line) {
        ItemData d;
        d.line = line;
        bool ids = version_ >= 4;
        if (keyword == "LoadObjectLayer") {
            if (f.size() < (ids ? 3u : 2u))
                fail(line, "LoadObjectLayer needs a layer, ID and path");
            d.layer = integerIn(f[0], line, "the layer", 1, INT32_MAX);
            if (ids) d.fileId = hexId(f[1], line);
            d.path = restAfter(t, ids ? 3 : 2);
            if (fileStem(d.path).empty()) fail(line, "LoadObjectLayer needs an object file name");
        } else if (keyword == "AddNullObject") {
            if (ids && f.empty()) fail(line, "AddNullObject needs an ID and a name");
            if (ids) d.fileId = hexId(f[0], line);
            d.name = restAfter(t, ids ? 2 : 1);
            if (d.name.empty()) fail(line, "AddNullObject needs a name");
        } else if (keyword == "AddLight" || keyword == "AddCamera" || keyword == "AddBone") {
            d.type = keyword == "AddLight"    ? LWI_LIGHT
                     : keyword == "AddCamera" ? LWI_CAMERA
                                              : LWI_BONE;
            d.bone = d.type == LWI_BONE;
            d.name = d.type == LWI_LIGHT ? "Light" : "Camera";
            if (f.size() > 1) fail(line, keyword + " takes at most an ID");
            if (!f.empty()) d.fileId = hexId(f[0], line);
        } else {
            return false;
        }
        endItem();
        if (!d.bone) mark_ = "declare";
        std::uint32_t nibble = std::uint32_t(d.type) + 1;
        if (!d.fileId && !d.bone) d.fileId = (nibble << 28) | counts_[d.type];
        if (d.fileId) {
            if (d.fileId >> 28 != nibble)
                fail(line,
                     "ID " + hexText(d.fileId) + " is not an ID of type " + itemTypeName(d.type));
            for (const ItemData& other : items_)
                if (other.fileId == d.fileId)
                    fail(line, "ID " + hexText(d.fileId) + " is already used on line " +
                                   std::to_string(other.line));
        }
        ++counts_[d.type];
        items_.push_back(std::move(d));
        current_ = int(items_.size()) - 1;
        if (items_.back().type == LWI_OBJECT) owner_ = current_;
        return true;
    }

    ItemData& currentFor(const std::string& keyword, int line) {
        if (current_ < 0) fail(line, keyword + " outside any item");
        return items_[size_t(current_)];
    }

    void requireType(const ItemData& d, LWItemType type, const std::string& keyword, int line) {
        if (d.type != type) fail(line, keyword + " in a " + itemTypeName(d.type) + "'s lines");
    }

    void itemSetting(const std::string& keyword, const std::string& t,
                     const std::vector<std::string>& f, int line) {
        static const std::set<std::string> known = {
            "ShowObject",        "ShowLight",     "ShowCamera",
            "LightName",         "CameraName",    "NumChannels",
            "Channel",           "ParentItem",    "ShadowOptions",
            "AffectedByFog",     "PivotPosition", "PivotRotation",
            "UnseenByCamera",    "UnseenByRays",  "UnseenByAlphaChannel",
            "UnseenByRadiosity", "MatteObject",   "ObjectMotion",
            "LightMotion",       "CameraMotion"};
        if (!known.count(keyword)) return; // unknown keywords are kept as they are
        ItemData& d = currentFor(keyword, line);
        if (d.bone) return;
        mark_ = keyword;
        if (keyword == "ObjectMotion" || keyword == "LightMotion" || keyword == "CameraMotion") {
            mark_ = "motion";
            return;
        }
        if (keyword == "ShowObject" || keyword == "ShowLight" || keyword == "ShowCamera") {
            LWItemType type = keyword == "ShowObject"  ? LWI_OBJECT
                              : keyword == "ShowLight" ? LWI_LIGHT
                                                       : LWI_CAMERA;
            requireType(d, type, keyword, line);
            // The colour is a palette index, or -1 and an RGB colour.
            bool custom = f.size() == 5 && f[1] == "-1";
            if (f.empty() || (f.size() > 2 && !custom))
                fail(line, keyword + " takes a visibility and a colour (an index, or -1 R G B)");
            d.visibility = integerIn(f[0], line, "the visibility", 0, type == LWI_OBJECT ? 7 : 1);
            if (f.size() == 2) integerIn(f[1], line, "the colour", 0, INT32_MAX);
            for (size_t k = 2; custom && k < 5; ++k)
                real(f[k], line, "the colour");
            d.colour = restAfter(t, 2);
            mark_ = "show";
        } else if (keyword == "LightName" || keyword == "CameraName") {
            requireType(d, keyword == "LightName" ? LWI_LIGHT : LWI_CAMERA, keyword, line);
            d.name = restAfter(t, 1);
            if (d.name.empty()) fail(line, keyword + " needs a name");
            mark_ = "name";
        } else if (keyword == "NumChannels") {
            needFields(f, 1, line, keyword);
            if (d.numChannels >= 0) fail(line, "a second NumChannels for the same item");
            d.numChannels = integerIn(f[0], line, keyword, 0, 9);
            d.numChannelsLine = line;
            mark_ = "motion";
        } else if (keyword == "Channel") {
            needFields(f, 1, line, keyword);
            if (d.numChannels < 0) fail(line, "Channel before NumChannels");
            int c = integerIn(f[0], line, keyword, 0, d.numChannels - 1);
            if (d.channels[c]) fail(line, "channel " + f[0] + " is given twice");
            pendingChannel_ = c;
            pendingLine_ = line;
            mark_ = "-";
        } else if (keyword == "ParentItem") {
            needFields(f, 1, line, keyword);
            d.parent = hexId(f[0], line);
            d.parentLine = line;
            mark_ = "parent";
        } else if (keyword == "ShadowOptions") {
            requireType(d, LWI_OBJECT, keyword, line);
            needFields(f, 1, line, keyword);
            d.shadow = unsigned(integerIn(f[0], line, keyword, 0, INT32_MAX));
            mark_ = "shadow";
        } else if (keyword == "PivotPosition" || keyword == "PivotRotation") {
            needFields(f, 3, line, keyword);
            double* v = keyword == "PivotPosition" ? d.pivot : d.pivotRotation;
            for (int k = 0; k < 3; ++k)
                v[k] = real(f[size_t(k)], line, keyword);
        } else {
            // Render flags: no value sets the flag, as does a non-zero one.
            requireType(d, LWI_OBJECT, keyword, line);
            if (f.size() > 1) fail(line, keyword + " takes at most one value");
            bool on = f.empty() || integer(f[0], line, keyword) != 0;
            unsigned int bit = LWOBJF_UNAFFECT_BY_FOG;
            if (keyword == "AffectedByFog")
                on = !on;
            else
                for (const FlagKeyword& k : kFlagKeywords)
                    if (keyword == k.keyword) bit = k.bit;
            d.flags = on ? d.flags | bit : d.flags & ~bit;
            mark_ = "flag " + keyword;
        }
    }

    size_t envelope(size_t i) {
        int open = int(i) + 1;
        EnvelopeData env;
        int count = -1;
        for (size_t j = i + 1; j < lines_.size(); ++j) {
            std::string t = trimmed(lines_[j]);
            int line = int(j) + 1;
            if (t.empty() || t.compare(0, 2, "//") == 0) continue;
            if (t[0] == '{') {
                j = skipBlock(j) - 1;
                continue;
            }
            if (t == "}") {
                if (count < 0) fail(open, "the envelope has no key count");
                if (int(env.keys.size()) != count)
                    fail(open, "the envelope says " + std::to_string(count) + " keys but has " +
                                   std::to_string(env.keys.size()));
                ItemData& d = items_[size_t(current_)];
                d.channels[pendingChannel_] = std::move(env);
                ++d.channelsRead;
                pendingChannel_ = -1;
                return j + 1;
            }
            std::vector<std::string> f = fieldsOf(t);
            if (f[0] == "Key") {
                if (count < 0) fail(line, "a Key before the key count");
                needFields(std::vector<std::string>(f.begin() + 1, f.end()), 9, line, "Key");
                KeyData k;
                k.value = real(f[1], line, "the key value");
                k.time = real(f[2], line, "the key time");
                k.shape = integerIn(f[3], line, "the span type", kShapeTCB, kShapeBezier2D);
                for (int p = 0; p < 6; ++p)
                    k.p[p] = real(f[size_t(4 + p)], line, "a key parameter");
                if (!env.keys.empty() && k.time <= env.keys.back().time + Envelope::kTimeEpsilon)
                    fail(line, "key times must increase");
                env.keys.push_back(k);
            } else if (f[0] == "Behaviors") {
                needFields(std::vector<std::string>(f.begin() + 1, f.end()), 2, line, "Behaviors");
                env.pre = integerIn(f[1], line, "the pre behaviour", 0, 5);
                env.post = integerIn(f[2], line, "the post behaviour", 0, 5);
            } else if (count < 0) {
                if (f.size() != 1) fail(line, "the envelope's key count is not a single number");
                count = integerIn(f[0], line, "the key count", 0, INT32_MAX);
            }
            // Other lines in an envelope are not understood here and skipped.
        }
        fail(open, "the envelope block is not closed before the end of the file");
    }

    void endItem() {
        if (current_ < 0) return;
        const ItemData& d = items_[size_t(current_)];
        if (d.numChannels >= 0 && d.channelsRead != d.numChannels)
            fail(d.numChannelsLine, "NumChannels " + std::to_string(d.numChannels) + " but " +
                                        std::to_string(d.channelsRead) +
                                        " channel envelope(s) follow");
    }

    void resolve() {
        std::map<std::pair<std::string, int>, std::shared_ptr<const Mesh>> meshes;
        for (ItemData& d : items_) {
            if (d.parent) {
                const ItemData* parent = nullptr;
                for (const ItemData& other : items_)
                    if (other.fileId == d.parent) parent = &other;
                if (!parent)
                    fail(d.parentLine, "ParentItem " + hexText(d.parent) + " names no item");
                if (parent->bone)
                    fail(d.parentLine, "ParentItem " + hexText(d.parent) +
                                           " names a bone, which this host does not load");
            }
            if (d.type != LWI_OBJECT || d.path.empty()) continue;
            d.resolvedPath = host_.resolvePath(d.path);
            auto& mesh = meshes[{d.resolvedPath, d.layer}];
            if (!mesh && !std::ifstream(d.resolvedPath) && !isFolder(d.resolvedPath)) {
                // Layout keeps the item of an object it cannot find.
                d.missing = path_ + ":" + std::to_string(d.line) + ": cannot open " +
                            d.resolvedPath + " (" + std::strerror(errno) +
                            "); kept as an empty object";
                warnings_.push_back(d.missing);
                d.mesh = std::make_shared<const Mesh>();
                continue;
            }
            if (!mesh) {
                std::string ext = objectFileKind(d.resolvedPath);
                try {
                    if (ext == "lwo")
                        mesh = std::make_shared<const Mesh>(
                            readLwo2Layer(d.resolvedPath, unsigned(d.layer - 1)));
                    else if (ext == "obj" && d.layer == 1)
                        mesh = std::make_shared<const Mesh>(readObj(d.resolvedPath));
                    else if (ext == "obj")
                        throw HostError(d.resolvedPath + ": an OBJ file has only layer 1");
                    else
                        throw HostError(d.resolvedPath + ": unknown object format (.obj or .lwo)");
                } catch (const HostError& e) {
                    fail(d.line, std::string("cannot load the object: ") + e.what());
                }
            }
            d.mesh = mesh;
        }
    }

    static void setEnvelope(Envelope& envelope, const EnvelopeData& data) {
        while (envelope.keyCount() > 0)
            envelope.destroyKey(envelope.nextKey(nullptr));
        for (const KeyData& k : data.keys) {
            EnvelopeKey* key = envelope.createKey(k.time, k.value);
            envelope.keySet(key, LWKEY_SHAPE, &k.shape);
            const int tags[6] = {LWKEY_TENSION, LWKEY_CONTINUITY, LWKEY_BIAS,
                                 LWKEY_PARAM_0, LWKEY_PARAM_1,    LWKEY_PARAM_2};
            for (int p = 0; p < 6; ++p)
                envelope.keySet(key, tags[p], &k.p[p]);
        }
        envelope.setPreBehavior(data.pre);
        envelope.setPostBehavior(data.post);
    }

    HostCore& host_;
    std::string path_;
    std::vector<std::string> lines_;
    int version_ = 0;
    std::vector<ItemData> items_;
    std::vector<PluginData> plugins_;
    std::vector<LWItemID> newIds_; // per item, null for bones
    std::uint32_t counts_[4] = {};
    int current_ = -1;
    int owner_ = -1; // the object the bones being read belong to
    std::vector<FileLine> head_;
    std::vector<std::string> warnings_;
    std::string mark_; // empty: keep the statement verbatim; "-": drop it
    int pendingChannel_ = -1, pendingLine_ = 0;
    std::optional<int> frameStart_, frameEnd_, frameStep_, previewStart_, previewEnd_, previewStep_,
        currentFrame_;
    std::optional<double> fps_;
};

} // namespace

SceneLoadResult loadScene(HostCore& host, const std::string& path,
                          const PluginBlockReader& plugins) {
    Reader reader(host, path);
    reader.read();
    SceneLoadResult result;
    // Everything is built aside; the host's scene changes only past this point.
    Scene fresh;
    reader.build(fresh, result);
    // What the writer makes of the settings as read (a stamp for motion):
    // while it still makes that, the file's own lines are written. Not for
    // lines holding item IDs, which the host may have renumbered.
    auto remember = [&fresh](std::vector<FileLine>& lines, const Item* item) {
        for (FileLine& l : lines) {
            if (!l.marker || l.text == "declare" || l.text == "parent" ||
                l.text.find("plugins") != std::string::npos)
                continue;
            l.generated =
                l.text == "motion" ? motionStamp(*item) : "=" + formatPart(fresh, item, l.text);
        }
    };
    remember(fresh.fileHead, nullptr);
    for (Item* item : fresh.items())
        remember(item->fileLines, item);
    if (plugins.replacing) plugins.replacing();
    std::swap(host.scene(), fresh);
    Scene& scene = host.scene();
    host.goToTime(scene.timing().time);
    LWItemID first = scene.first(LWI_OBJECT);
    for (LWItemType type : {LWI_LIGHT, LWI_CAMERA})
        if (!first) first = scene.first(type);
    if (first) scene.select(first);
    reader.runPlugins(plugins, result, scene);
    fresh.clear(); // the old items, children first
    return result;
}

} // namespace host
