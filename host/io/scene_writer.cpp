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
        line("");
        timing();
        line("");
        pluginBlocks(nullptr, "the scene");
        for (LWItemType type : {LWI_OBJECT, LWI_LIGHT, LWI_CAMERA})
            for (LWItemID id = scene_.first(type); id; id = scene_.next(id)) {
                if (const Item* found = scene_.find(id)) writeItem(*found);
            }
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

    void timing() {
        const SceneTiming& t = scene_.timing();
        line("FirstFrame " + std::to_string(t.frameStart));
        line("LastFrame " + std::to_string(t.frameEnd));
        line("FrameStep " + std::to_string(t.frameStep));
        line("PreviewFirstFrame " + std::to_string(t.previewStart));
        line("PreviewLastFrame " + std::to_string(t.previewEnd));
        line("PreviewFrameStep " + std::to_string(t.previewStep));
        double fps = t.framesPerSecond;
        if (!(fps > 0) || !std::isfinite(fps)) throw HostError("cannot save the frame rate");
        line("CurrentFrame " + std::to_string(std::lround(t.time * fps)));
        line("FramesPerSecond " + number(fps, "the frame rate"));
    }

    void writeItem(const Item& item) {
        std::string what = std::string(itemTypeName(item.type)) + " " + item.name;
        switch (item.type) {
        case LWI_OBJECT:
            if (item.path.empty())
                line("AddNullObject " + hexId(item.id) + " " + restOfLine(item.name, "the name"));
            else
                line("LoadObjectLayer 1 " + hexId(item.id) + " " +
                     restOfLine(item.path, "the object path"));
            line("ShowObject " + std::to_string(item.visibility) + " 3");
            line("ObjectMotion");
            break;
        case LWI_LIGHT:
            line("AddLight " + hexId(item.id));
            line("LightName " + restOfLine(item.name, "the name"));
            line("ShowLight " + std::to_string(item.visibility) + " 5");
            line("LightMotion");
            break;
        case LWI_CAMERA:
            line("AddCamera " + hexId(item.id));
            line("CameraName " + restOfLine(item.name, "the name"));
            line("ShowCamera " + std::to_string(item.visibility) + " 2");
            line("CameraMotion");
            break;
        default:
            return;
        }
        motion(item, what);
        triple("PivotPosition", item.pivot, what);
        triple("PivotRotation", item.pivotRotation, what);
        if (item.parent) line("ParentItem " + hexId(item.parent));
        pluginBlocks(item.id, what);
        if (item.type == LWI_OBJECT) {
            line("ShadowOptions " + std::to_string(item.shadowOptions));
            for (const FlagKeyword& f : kFlagKeywords)
                if (item.renderFlags & f.bit) line(std::string(f.keyword) + " 1");
            if (item.renderFlags & LWOBJF_UNAFFECT_BY_FOG) line("AffectedByFog 0");
        }
        line("");
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
};

} // namespace

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
