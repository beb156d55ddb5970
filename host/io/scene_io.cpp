#include "io/scene_io.h"

#include "common/host_error.h"
#include "core/host_core.h"
#include "io/scene_file.h"
#include "plugins/module_file.h"

#include <ostream>
#include <vector>

namespace host {

void saveSceneWithPlugins(HostCore& host, const std::string& path) {
    InstanceTable& table = host.instances();
    PluginBlockWriter plugins = [&table](LWItemID item) {
        std::vector<PluginSaveEntry> entries;
        if (!item) return entries;
        std::map<std::string, int> perClass;
        for (ServerInstance* inst : table.on(item)) {
            PluginSaveEntry entry;
            entry.className = inst->className;
            entry.index = ++perClass[inst->className];
            entry.server = inst->serverName;
            entry.save = [inst](const LWSaveState* state) {
                if (!inst->server->inst.save) return;
                LWError failed = inst->server->inst.save(inst->instance, state);
                if (failed)
                    throw HostError(inst->className + " " + inst->serverName + ": " + failed);
            };
            entries.push_back(std::move(entry));
        }
        return entries;
    };
    saveScene(host, path, plugins);
}

void loadSceneWithPlugins(HostCore& host, const std::string& path) {
    PluginBlockReader plugins;
    plugins.replacing = [&host]() { host.instances().destroyAll(); };
    plugins.load = [&host](const PluginBlock& block, const FileIdMap&) {
        // Scene-level classes, built-in servers (a light's DistantLight, a
        // camera's Perspective) and any other server the loaded module does
        // not provide are kept as read; the module's own are run.
        ModuleFile* module = host.module();
        if (!block.item || !module || !module->find(block.className, block.server)) {
            block.kept = true;
            return;
        }
        host.instances().apply(block.item, block.className, block.server, block.state);
    };
    SceneLoadResult result = loadScene(host, path, plugins);

    // Plug-ins keep items by their scene-file IDs; tell them the host's.
    std::vector<LWItemID> pairs;
    for (const auto& entry : result.ids) {
        LWItemID fileId = reinterpret_cast<LWItemID>(std::uintptr_t(entry.first));
        if (fileId != entry.second) {
            pairs.push_back(fileId);
            pairs.push_back(entry.second);
        }
    }
    pairs.push_back(nullptr);
    if (pairs.size() > 1) host.instances().changeID(pairs.data());
    for (const std::string& warning : result.warnings)
        host.out() << "warning: " << warning << "\n";
    for (const std::string& error : result.pluginErrors)
        host.out() << "error: " << error << "\n";
}

} // namespace host
