// morvane: the stand-in Layout on the command line.
#include "host/host.h"
#include "host/host_error.h"
#include "host/module_file.h"
#include "host/script.h"

#include <unistd.h>

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
    "  help                         print this text\n";

// The module beside the program, else the one the build produced.
std::string defaultModulePath() {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        self[n] = 0;
        std::string dir(self);
        dir = dir.substr(0, dir.rfind('/'));
        std::string beside = dir + "/morvane.p";
        if (access(beside.c_str(), R_OK) == 0) return beside;
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

} // namespace

int main(int argc, char** argv) {
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
        return fail("unknown verb '" + verb + "' (see morvane help)");
    } catch (const host::HostError& e) {
        std::cout.flush();
        return fail(e.what());
    }
}
