// The host's side of plug-in records: the read callbacks of the load record
// on arbitrary lines, and the write callbacks of the save record on what was
// read, driven by the io_probe test module (tests/fixtures/io_probe.cpp),
// whose record's first line says which callbacks it calls and which guards
// every buffer. What the save record writes is read back through a load
// record.
#include "fuzz_support.h"
#include "host/common/host_error.h"
#include "host/host.h"
#include "host/io/plugin_io.h"
#include "host/plugins/instances.h"
#include "host/scene/scene.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

const std::string kModule = std::string(MORVANE_FIXTURE_DIR) + "/io_probe.p";

std::vector<std::string> linesOf(const std::uint8_t* data, size_t size) {
    std::vector<std::string> lines;
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Loads an instance from the lines and saves it again: the lines written,
// or none when the save record refused what the instance wrote.
std::vector<std::string> loadAndSave(host::Host& layout, LWItemID item,
                                     const std::vector<std::string>& lines, bool& saved) {
    host::PluginReader reader(lines);
    host::ServerInstance& inst =
        layout.instances().apply(item, "CustomObjHandler", "ioprobe", reader.state());
    host::PluginWriter writer;
    inst.server->inst.save(inst.instance, writer.state());
    std::string error = writer.finish();
    layout.instances().remove(item, "CustomObjHandler", 1);
    saved = error.empty();
    if (!saved && std::getenv("MORVANE_FUZZ_SHOW")) std::fprintf(stderr, "%s\n", error.c_str());
    return saved ? writer.lines() : std::vector<std::string>();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    dlopen(kModule.c_str(), RTLD_NOW);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    std::ostringstream out;
    host::Host layout(out);
    layout.loadModule(kModule);
    std::string obj = fuzz::workDir() + "/point.obj";
    { std::ofstream(obj) << "v 0 0 0\np 1\n"; }
    layout.runCommand(("LoadObject " + obj).c_str());
    const host::Item* item = layout.scene().find("point");
    if (!item) std::abort();
    LWItemID id = item->id;

    bool saved = false;
    std::vector<std::string> written = loadAndSave(layout, id, linesOf(data, size), saved);
    if (std::getenv("MORVANE_FUZZ_SHOW")) {
        // For writing seeds: what the probe wrote back.
        std::fprintf(stderr, "%s\n", saved ? "saved:" : "save refused");
        for (const std::string& line : written)
            std::fprintf(stderr, "  |%s\n", line.c_str());
    }
    if (saved) {
        // The host's own lines read back, with the guards and sanitizers
        // watching again. Whether they save again is not checked: the
        // same calls can meet other lines on the way back (a leaf line read
        // whole as a string keeps its quotes, which a string cannot be
        // saved with).
        bool again = false;
        std::vector<std::string> rewritten = loadAndSave(layout, id, written, again);
        if (std::getenv("MORVANE_FUZZ_SHOW")) {
            std::fprintf(stderr, "%s\n", again ? "saved again:" : "refused again");
            for (const std::string& line : rewritten)
                std::fprintf(stderr, "  |%s\n", line.c_str());
        }
    }
    return 0;
}
