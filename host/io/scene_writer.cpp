#include "io/scene_file.h"

#include "common/host_error.h"
#include "core/host_core.h"
#include "io/plugin_io.h"
#include "io/scene_keywords.h"
#include "scene/scene.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <utility>
#include <vector>

namespace host {

namespace {

std::string hexId(LWItemID id) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", Scene::fileId(id));
    return text;
}

class Writer {
  public:
    Writer(const Scene& scene, const PluginBlockWriter& plugins)
        : scene_(scene), plugins_(plugins) {}

    std::string run() {
        line("LWSC");
        line("5");
        // Scene-level blocks go where the file had them, or else in the head.
        for (const Item* item : scene_.items())
            for (const FileLine& l : item->fileLines)
                sceneBlocksLater_ = sceneBlocksLater_ || (l.marker && l.text == "scene plugins");
        const std::vector<std::string> timingParts = {
            "timing FirstFrame",        "timing LastFrame",        "timing FrameStep",
            "timing PreviewFirstFrame", "timing PreviewLastFrame", "timing PreviewFrameStep",
            "timing CurrentFrame",      "timing FramesPerSecond"};
        if (scene_.fileHead.empty()) {
            line("");
            for (const std::string& part : timingParts)
                headPart(part);
            line("");
            headPart("scene plugins");
        } else {
            std::vector<std::string> parts = timingParts;
            if (!sceneBlocksLater_) parts.push_back("scene plugins");
            std::set<std::string> done;
            kept(scene_.fileHead, parts, done, [this](const std::string& part) { headPart(part); });
        }
        for (LWItemType type : {LWI_OBJECT, LWI_LIGHT, LWI_CAMERA})
            for (LWItemID id = scene_.first(type); id; id = scene_.next(id)) {
                if (const Item* found = scene_.find(id)) writeItem(*found);
            }
        return text_;
    }

    std::string part(const Item* item, const std::string& name) {
        if (item)
            itemPart(*item, name);
        else
            headPart(name);
        return text_;
    }

  private:
    void line(const std::string& text) {
        text_ += text;
        text_ += '\n';
    }

    // A name or path is the rest of its line, so it must read back as written.
    std::string restOfLine(const std::string& text, const std::string& what) {
        bool control = false;
        for (char c : text)
            control = control || static_cast<unsigned char>(c) < 32;
        if (text.empty() || control || text.front() == ' ' || text.back() == ' ')
            throw HostError("cannot save " + what + " \"" + text +
                            "\": it is empty, has outer spaces or holds a control byte");
        return text;
    }

    std::string number(double value, const std::string& what) {
        if (!std::isfinite(value)) throw HostError("cannot save " + what + ": it is not finite");
        return formatDouble(value);
    }

    // Writes kept lines with the parts they mark, then the parts no marker
    // placed, before the lines' trailing blank ones. `done` collects the
    // parts written; each is written once.
    template <typename Part>
    void kept(const std::vector<FileLine>& lines, const std::vector<std::string>& parts,
              std::set<std::string>& done, const Part& part) {
        size_t end = lines.size();
        while (end > 0 && !lines[end - 1].marker && trimmedEmpty(lines[end - 1].text))
            --end;
        for (size_t i = 0; i < end; ++i) {
            const FileLine& l = lines[i];
            if (!l.marker) {
                line(l.text);
            } else if (done.insert(l.text).second) {
                size_t start = text_.size();
                part(l.text);
                // generated: "=" and the text written at load, or a stamp.
                bool same = l.text == "motion" && item_
                                ? l.generated == motionStamp(*item_)
                                : !l.generated.empty() && text_.compare(start, std::string::npos,
                                                                        l.generated.substr(1)) == 0;
                if (!l.generated.empty() && same) {
                    text_.resize(start);
                    for (const std::string& o : l.original)
                        line(o);
                }
            }
        }
        for (const std::string& p : parts)
            if (done.insert(p).second) part(p);
        for (size_t i = end; i < lines.size(); ++i)
            line(lines[i].text);
    }

    static bool trimmedEmpty(const std::string& text) {
        return text.find_first_not_of(" \t\v\f\r\n") == std::string::npos;
    }

    void headPart(const std::string& part) {
        const SceneTiming& t = scene_.timing();
        const std::pair<const char*, int> ints[] = {
            {"FirstFrame", t.frameStart},       {"LastFrame", t.frameEnd},
            {"FrameStep", t.frameStep},         {"PreviewFirstFrame", t.previewStart},
            {"PreviewLastFrame", t.previewEnd}, {"PreviewFrameStep", t.previewStep}};
        for (const auto& k : ints)
            if (part == std::string("timing ") + k.first)
                line(std::string(k.first) + " " + std::to_string(k.second));
        double fps = t.framesPerSecond;
        if (!(fps > 0) || !std::isfinite(fps)) throw HostError("cannot save the frame rate");
        if (part == "timing CurrentFrame")
            line("CurrentFrame " + std::to_string(std::lround(t.time * fps)));
        else if (part == "timing FramesPerSecond")
            line("FramesPerSecond " + number(fps, "the frame rate"));
        else if (part == "scene plugins")
            pluginBlocks(nullptr, "the scene");
    }

    void writeItem(const Item& item) {
        if (item.type != LWI_OBJECT && item.type != LWI_LIGHT && item.type != LWI_CAMERA) return;
        std::vector<std::string> parts = {"declare",       "name",          "show",   "motion",
                                          "PivotPosition", "PivotRotation", "parent", "plugins"};
        if (item.type == LWI_OBJECT) {
            parts.push_back("shadow");
            for (const FlagKeyword& f : kFlagKeywords)
                parts.push_back(std::string("flag ") + f.keyword);
            parts.push_back("flag AffectedByFog");
        }
        std::set<std::string> done;
        auto part = [&](const std::string& p) { itemPart(item, p); };
        item_ = &item;
        if (item.fileLines.empty()) {
            for (const std::string& p : parts)
                part(p);
            line("");
        } else {
            kept(item.fileLines, parts, done, part);
        }
        item_ = nullptr;
    }

    void itemPart(const Item& item, const std::string& part) {
        std::string what = std::string(itemTypeName(item.type)) + " " + item.name;
        const char* kind = item.type == LWI_OBJECT  ? "Object"
                           : item.type == LWI_LIGHT ? "Light"
                                                    : "Camera";
        if (part == "declare") {
            // An object's path as the file gave it, unless it was loaded anew.
            bool asRead = !item.filePath.empty() && item.path == item.fileResolvedPath;
            if (item.type != LWI_OBJECT)
                line(std::string("Add") + kind + " " + hexId(item.id));
            else if (item.path.empty())
                line("AddNullObject " + hexId(item.id) + " " + restOfLine(item.name, "the name"));
            else
                line("LoadObjectLayer " +
                     std::to_string(asRead ? unsigned(item.fileLayer) : item.layer) + " " +
                     hexId(item.id) + " " +
                     restOfLine(asRead ? item.filePath : item.path, "the object path"));
        } else if (part == "name") {
            if (item.type != LWI_OBJECT)
                line(std::string(kind) + "Name " + restOfLine(item.name, "the name"));
        } else if (part == "show") {
            const char* colour = item.type == LWI_OBJECT ? "3" : item.type == LWI_LIGHT ? "5" : "2";
            std::string text = std::string("Show") + kind + " " + std::to_string(item.visibility);
            if (!item.fileColour.empty())
                text += " " + item.fileColour;
            else
                text += std::string(" ") + colour;
            line(text);
        } else if (part == "motion") {
            line(std::string(kind) + "Motion");
            motion(item, what);
        } else if (part == "PivotPosition") {
            triple("PivotPosition", item.pivot, what);
        } else if (part == "PivotRotation") {
            triple("PivotRotation", item.pivotRotation, what);
        } else if (part == "parent") {
            if (item.parent) line("ParentItem " + hexId(item.parent));
        } else if (part == "plugins") {
            pluginBlocks(item.id, what);
        } else if (part == "scene plugins") {
            pluginBlocks(nullptr, "the scene");
        } else if (item.type == LWI_OBJECT && part == "shadow") {
            line("ShadowOptions " + std::to_string(item.shadowOptions));
        } else if (item.type == LWI_OBJECT && part == "flag AffectedByFog") {
            if (item.renderFlags & LWOBJF_UNAFFECT_BY_FOG) line("AffectedByFog 0");
        } else if (item.type == LWI_OBJECT) {
            for (const FlagKeyword& f : kFlagKeywords)
                if (part == std::string("flag ") + f.keyword && (item.renderFlags & f.bit))
                    line(std::string(f.keyword) + " 1");
        }
    }

    void triple(const char* keyword, const double (&v)[3], const std::string& what) {
        if (v[0] == 0 && v[1] == 0 && v[2] == 0) return;
        std::string text = keyword;
        for (double x : v)
            text += " " + number(x, what + " " + keyword);
        line(text);
    }

    void motion(const Item& item, const std::string& what) {
        int count = item.type == LWI_CAMERA ? 6 : 9;
        line("NumChannels " + std::to_string(count));
        for (int i = 0; i < count; ++i) {
            const Channel* channel =
                item.channels ? item.channels->findChannel(kMotionChannelNames[i]) : nullptr;
            if (!channel)
                throw HostError("cannot save " + what + ": it has no channel " +
                                kMotionChannelNames[i]);
            line("Channel " + std::to_string(i));
            envelope(channel->envelope(), what + " " + kMotionChannelNames[i]);
        }
    }

    void envelope(const Envelope& env, const std::string& what) {
        line("{ Envelope");
        line("  " + std::to_string(env.keyCount()));
        // nextKey is not const; the keys are only read.
        Envelope& keys = const_cast<Envelope&>(env);
        for (const EnvelopeKey* k = keys.nextKey(nullptr); k; k = keys.nextKey(k)) {
            std::string text = "  Key " + number(k->value(), what) + " " + number(k->time(), what) +
                               " " + std::to_string(k->shape());
            for (double p :
                 {k->tension(), k->continuity(), k->bias(), k->param(0), k->param(1), k->param(2)})
                text += " " + number(p, what);
            line(text);
        }
        line("  Behaviors " + std::to_string(env.preBehavior()) + " " +
             std::to_string(env.postBehavior()));
        line("}");
    }

    void pluginBlocks(LWItemID id, const std::string& what) {
        if (!plugins_) return;
        for (const PluginSaveEntry& entry : plugins_(id)) {
            std::string who = "plug-in " + entry.server + " on " + what;
            bool identifier = !entry.className.empty();
            for (char c : entry.className)
                identifier =
                    identifier && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
            if (!identifier || entry.index < 1)
                throw HostError("cannot save " + who + ": bad class or index");
            line("Plugin " + entry.className + " " + std::to_string(entry.index) + " " +
                 restOfLine(entry.server, "the server name"));
            PluginWriter out;
            try {
                if (entry.save) entry.save(out.state());
            } catch (const HostError& e) {
                throw HostError("cannot save " + who + ": " + e.what());
            }
            std::string error = out.finish();
            if (!error.empty()) throw HostError("cannot save " + who + ": " + error);
            for (const std::string& l : out.lines())
                line(l);
            line("EndPlugin");
        }
    }

    const Scene& scene_;
    const PluginBlockWriter& plugins_;
    std::string text_;
    const Item* item_ = nullptr;    // the item being written
    bool sceneBlocksLater_ = false; // an item's lines hold the scene-level blocks
};

} // namespace

std::string motionStamp(const Item& item) {
    std::string stamp = "motion";
    for (const char* name : kMotionChannelNames) {
        const Channel* channel = item.channels ? item.channels->findChannel(name) : nullptr;
        const Envelope* env = channel ? &channel->envelope() : nullptr;
        char text[64];
        std::snprintf(text, sizeof text, " %p:%lu", static_cast<const void*>(env),
                      env ? env->revision() : 0ul);
        stamp += text;
    }
    return stamp;
}

std::string formatPart(const Scene& scene, const Item* item, const std::string& part) {
    PluginBlockWriter none;
    return Writer(scene, none).part(item, part);
}

std::string formatScene(const Scene& scene, const PluginBlockWriter& plugins) {
    return Writer(scene, plugins).run();
}

void saveScene(HostCore& host, const std::string& path, const PluginBlockWriter& plugins) {
    std::string text = formatScene(host.scene(), plugins);
    std::string temporary = path + ".saving";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            throw HostError(path + ": cannot write the scene");
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        int code = errno;
        std::remove(temporary.c_str());
        throw HostError(path + ": cannot write the scene: " + std::strerror(code));
    }
}

} // namespace host
