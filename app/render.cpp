#include "render.h"

#include "pictures.h"

#include "commands/commands.h"
#include "common/host_error.h"
#include "host.h"
#include "io/scene_io.h"
#include "platform.h"
#include "plugins/displacement.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace app {

namespace {

const char* kServer = "Zentrik_Morvane";

bool parseInt(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) return false;
    for (size_t j = i; j < text.size(); ++j)
        if (text[j] < '0' || text[j] > '9') return false;
    value = std::atoi(text.c_str());
    return true;
}

// An item's name made fit for a file name: no directories, no spaces.
std::string fileSafeName(const std::string& name) {
    std::string out = name;
    for (char& c : out)
        if (c == '/' || c == ' ' || c == '\\') c = '_';
    return out.empty() ? "object" : out;
}

bool carries(host::Host& layout, const host::Item& item, const std::string& cls) {
    for (const host::ServerInstance* s : layout.instances().on(item.id, cls))
        if (s->serverName == kServer) return true;
    return false;
}

// Frames are written into a folder beside the output and moved in only when
// all of them are done, so a failed render leaves no partial frame set.
class Staging {
  public:
    explicit Staging(const fs::path& outDir)
        : outDir_(outDir), dir_(outDir / (".morvane-render-" + std::to_string(processId()))) {
        std::error_code ec;
        fs::remove_all(dir_, ec);
        if (!fs::create_directory(dir_, ec))
            throw host::HostError(outDir_.string() + ": cannot write there (" + ec.message() + ")");
    }
    ~Staging() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path path(const std::string& name) {
        names_.push_back(name);
        return dir_ / name;
    }
    void commit() {
        for (const std::string& name : names_) {
            std::error_code ec;
            fs::rename(dir_ / name, outDir_ / name, ec);
            if (ec)
                throw host::HostError((outDir_ / name).string() + ": cannot write (" +
                                      ec.message() + ")");
        }
    }

  private:
    fs::path outDir_, dir_;
    std::vector<std::string> names_;
};

void writePicture(const host::Raster& picture, const fs::path& path) {
    std::string why;
    if (!host::writePng(path.string(), picture, why)) throw host::HostError(why);
}

fs::path prepareOutDir(const std::string& dir, bool& created) {
    if (dir.empty()) throw host::HostError("--out needs a folder");
    fs::path out(dir);
    std::error_code ec;
    created = false;
    if (fs::exists(out, ec)) {
        if (!fs::is_directory(out, ec)) throw host::HostError(dir + ": exists and is not a folder");
    } else {
        created = fs::create_directories(out, ec);
        if (ec) throw host::HostError(dir + ": cannot create the folder (" + ec.message() + ")");
    }
    if (!isWritableFolder(out.string())) {
        if (created) fs::remove(out, ec);
        throw host::HostError(dir + ": the folder is not writable");
    }
    return out;
}

} // namespace

bool parseFrameRange(const std::string& text, int& first, int& last, std::string& why) {
    // The separating dash is the first one after the first character, so
    // a negative start frame keeps its sign.
    size_t dash = text.find('-', 1);
    std::string a = dash == std::string::npos ? text : text.substr(0, dash);
    std::string b = dash == std::string::npos ? text : text.substr(dash + 1);
    if (!parseInt(a, first) || !parseInt(b, last)) {
        why = "bad frame range '" + text + "' (want A-B, e.g. 0-90)";
        return false;
    }
    if (last < first) {
        why = "bad frame range '" + text + "': the last frame comes before the first";
        return false;
    }
    return true;
}

std::string exampleScenePath() {
    std::vector<std::string> candidates;
    const std::string self = programFolder();
    if (!self.empty()) {
        fs::path dir(self);
        candidates.push_back((dir / "examples/arm.lws").string());
        candidates.push_back((dir.parent_path() / "examples/arm.lws").string());
    }
#ifdef MORVANE_EXAMPLES_DIR
    candidates.push_back(std::string(MORVANE_EXAMPLES_DIR) + "/arm.lws");
#endif
    for (const std::string& c : candidates)
        if (isReadable(c)) return c;
    return "";
}

void render(const RenderOptions& options) {
    std::error_code ec;
    if (options.scene.empty()) throw host::HostError("no scene given");
    if (!fs::is_regular_file(options.scene, ec) || !isReadable(options.scene))
        throw host::HostError(options.scene + ": no such scene file");
    fs::path scenePath = fs::absolute(options.scene, ec).lexically_normal();

    bool created = false, progress = false;
    fs::path outDir = prepareOutDir(options.outDir, created);
    try {
        // The host's messages go to stderr: stdout carries the summary only.
        host::Host layout(std::cerr);
        layout.loadModule(options.modulePath);
        // Objects in the scene are found beside it, whatever the working folder.
        layout.setContentDirectory(scenePath.parent_path().string());
        host::CommandInterpreter commands(layout);
        commands.execute("LoadScene " + scenePath.string());
        std::string pending = layout.takePendingError();
        if (!pending.empty()) throw host::HostError(pending);

        host::Scene& scene = layout.scene();
        int first = options.haveFrames ? options.first : scene.timing().frameStart;
        int last = options.haveFrames ? options.last : scene.timing().frameEnd;
        if (last < first)
            throw host::HostError("the scene's frame range " + std::to_string(first) + "-" +
                                  std::to_string(last) + " is empty");

        std::vector<host::Item*> deformed;
        size_t points = 0;
        int cages = 0;
        for (host::Item* item : scene.items()) {
            if (item->type != LWI_OBJECT) continue;
            if (carries(layout, *item, "CustomObjHandler")) ++cages;
            if (!item->fileProblem.empty() && carries(layout, *item, "DisplacementHandler"))
                throw host::HostError(item->fileProblem);
            if (item->mesh && carries(layout, *item, "DisplacementHandler")) {
                deformed.push_back(item);
                points += item->mesh->points.size();
            }
        }
        if (deformed.empty())
            std::cerr << "morvane: warning: " << options.scene << " has no deformed objects\n";

        Staging staging(outDir);
        // The views are fitted to the scene at the first frame.
        commands.execute("GoToFrame " + std::to_string(first));
        std::unique_ptr<RenderPictures> pictures;
        if (options.pictures || options.contactSheet)
            pictures = std::make_unique<RenderPictures>(layout, first, last, options.contactSheet);
        double deformSeconds = 0.0;
        for (int frame = first; frame <= last; ++frame) {
            progress = true;
            std::cerr << "\rframe " << frame << "/" << last << std::flush;
            auto start = std::chrono::steady_clock::now();
            commands.execute("GoToFrame " + std::to_string(frame));
            deformSeconds +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            pending = layout.takePendingError();
            if (!pending.empty()) throw host::HostError(pending);
            char number[16];
            std::snprintf(number, sizeof number, "%04d", frame);
            for (host::Item* item : deformed)
                host::exportObject(
                    layout.scene(), item->name,
                    staging.path(fileSafeName(item->name) + "_" + number + ".obj").string());
            if (pictures) {
                host::Raster window = pictures->frame(frame);
                if (options.pictures)
                    writePicture(window, staging.path(std::string("view_") + number + ".png"));
            }
        }
        if (options.contactSheet)
            writePicture(pictures->contactSheet(), staging.path("contact.png"));
        std::cerr << "\n";
        host::saveSceneWithPlugins(layout, staging.path("scene.lws").string());
        staging.commit();

        const int frames = last - first + 1;
        const double perFrame = deformSeconds / frames;
        const double rate = double(points) * frames / (deformSeconds > 1e-9 ? deformSeconds : 1e-9);
        char summary[256];
        std::snprintf(summary, sizeof summary,
                      "frames %d, points %zu, cages %d, %.4f seconds per frame, %.0f points per "
                      "second",
                      frames, points, cages, perFrame, rate);
        std::cout << summary << std::endl;
    } catch (...) {
        if (progress) std::cerr << "\n";
        if (created) fs::remove_all(outDir, ec);
        throw;
    }
}

} // namespace app
