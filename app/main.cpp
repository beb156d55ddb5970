// morvane: the stand-in Layout on the command line.
#include "commands/script.h"
#include "common/host_error.h"
#include "host.h"
#include "platform.h"
#include "plugins/module_file.h"
#include "render.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* kUsage =
    "usage: morvane VERB [ARGS]\n"
    "\n"
    "verbs:\n"
    "  info MODULE                  print a module's descriptor and server table\n"
    "  run SCRIPT [--module FILE]   run a command script in the stand-in Layout\n"
    "                               with the module loaded (default: the built morvane.p)\n"
    "  render SCENE [--frames A-B] [--out DIR] [--pictures] [--module FILE]\n"
    "                               play a scene and write each deformed object per frame\n"
    "                               as DIR/NAME_FFFF.obj (world coordinates), then\n"
    "                               DIR/scene.lws; frames default to the scene's range,\n"
    "                               DIR to render-out; --pictures also writes the\n"
    "                               viewport window per frame as DIR/view_FFFF.png\n"
    "  demo [--out DIR] [--frames A-B] [--module FILE]\n"
    "                               render the bundled arm example (examples/arm.lws)\n"
    "                               into DIR (default demo-out) with its pictures and\n"
    "                               DIR/contact.png, 12 frames at a glance\n"
    "  help                         print this text\n"
    "\n"
    "render and demo end with one line on stdout:\n"
    "  frames N, points P, cages C, S seconds per frame, Q points per second\n"
    "P counts the deformed objects' points; S and Q time the deformation alone.\n";

// The module beside the program, else the one the build produced.
std::string defaultModulePath() {
    const std::string dir = programFolder();
    if (!dir.empty()) {
        std::string beside = dir + "/morvane.p";
        if (isReadable(beside)) return beside;
    }
    return MORVANE_DEFAULT_MODULE;
}

int fail(const std::string& message) {
    std::cerr << "morvane: " << message << "\n";
    return 1;
}

int verbInfo(const std::vector<std::string>& args) {
    if (args.size() != 1) return fail("usage: morvane info MODULE");
    host::ModuleFile module(args[0]);
    const ModuleDescriptor& d = module.descriptor();
    char line[128];
    std::snprintf(line, sizeof line, "sync 0x%08X version %u machine 0x%X", d.sysSync, d.sysVersion,
                  d.sysMachine);
    std::cout << line << "\n";
    for (const host::ServerEntry& s : module.servers()) {
        std::cout << "server " << s.className << " " << s.name;
        std::string button = s.buttonName();
        if (!button.empty()) std::cout << " \"" << button << "\"";
        std::cout << "\n";
    }
    return 0;
}

int verbRun(const std::vector<std::string>& args) {
    std::string script, modulePath = defaultModulePath();
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--module") {
            if (++i == args.size()) return fail("--module needs a file");
            modulePath = args[i];
        } else if (script.empty()) {
            script = args[i];
        } else {
            return fail("usage: morvane run SCRIPT [--module MODULE]");
        }
    }
    if (script.empty()) return fail("usage: morvane run SCRIPT [--module MODULE]");

    host::Host layout(std::cout);
    layout.loadModule(modulePath);
    host::ScriptRunner(layout).runFile(script);
    return 0;
}

// render and demo share their options; demo has its scene built in.
int verbRender(const std::vector<std::string>& args, bool demo) {
    const char* usage = demo ? "usage: morvane demo [--out DIR] [--frames A-B] [--module FILE]"
                             : "usage: morvane render SCENE [--frames A-B] [--out DIR] "
                               "[--pictures] [--module FILE]";
    app::RenderOptions options;
    options.modulePath = defaultModulePath();
    options.outDir = demo ? "demo-out" : "render-out";
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--module" || a == "--out" || a == "--frames") {
            if (i + 1 == args.size()) return fail(a + " needs a value");
            const std::string& value = args[++i];
            if (a == "--module") {
                options.modulePath = value;
            } else if (a == "--out") {
                options.outDir = value;
            } else {
                std::string why;
                if (!app::parseFrameRange(value, options.first, options.last, why))
                    return fail(why);
                options.haveFrames = true;
            }
        } else if (!demo && a == "--pictures") {
            options.pictures = true;
        } else if (!demo && options.scene.empty() && (a.empty() || a[0] != '-')) {
            options.scene = a;
        } else {
            return fail(std::string("unexpected argument '") + a + "'; " + usage);
        }
    }
    if (demo) {
        options.pictures = options.contactSheet = true;
        options.scene = app::exampleScenePath();
        if (options.scene.empty()) return fail("cannot find the bundled examples/arm.lws");
    }
    if (options.scene.empty()) return fail(usage);
    app::render(options);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    useBinaryStandardStreams();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    std::string verb = args[0];
    args.erase(args.begin());
    if (verb == "help" || verb == "--help" || verb == "-h") {
        std::cout << kUsage;
        return 0;
    }
    for (const std::string& a : args)
        if (a == "--help") {
            std::cout << kUsage;
            return 0;
        }
    try {
        if (verb == "info") return verbInfo(args);
        if (verb == "run") return verbRun(args);
        if (verb == "render") return verbRender(args, false);
        if (verb == "demo") return verbRender(args, true);
        return fail("unknown verb '" + verb + "' (see morvane help)");
    } catch (const host::HostError& e) {
        std::cout.flush();
        return fail(e.what());
    }
}
