// plugins/: the module file and what runs from it: the descriptor and server
// table, activations with their local records, plug-in instances on items and
// their life cycle, and the displacement pass. Knows the scene and meshes;
// reaches the host's services only through the global function it is given.
//
// Plug-in instances on scene items: which server instances an item carries
// and their life cycle as Layout runs it. Handler servers are activated once
// per class and name, the first time one is needed; every instance of that
// server then uses the callbacks that activation filled.
#ifndef MORVANE_HOST_PLUGINS_INSTANCES_H
#define MORVANE_HOST_PLUGINS_INSTANCES_H

#include "plugins/activation.h"

#include <lwrender.h>
#include <lwserver.h>

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace host {

class ModuleFile;
class Scene;
struct SceneTiming;

struct ServerInstance {
    LWItemID item = nullptr;
    std::string className;
    std::string serverName;
    ActivationRecord* server = nullptr; // owned by the table
    LWInstance instance = nullptr;
};

class InstanceTable {
  public:
    // Instances live on the scene's items; error texts from newTime are
    // printed to out; activations get globals as their global function.
    InstanceTable(Scene& scene, std::ostream& out, GlobalFunc* globals)
        : scene_(scene), out_(out), globals_(globals) {}
    // Never calls into the module: the host destroys the instances (and
    // unloads the module) before the table goes.
    ~InstanceTable() = default;
    InstanceTable(const InstanceTable&) = delete;
    InstanceTable& operator=(const InstanceTable&) = delete;

    // The interface version the host activates a class with, or 0 for a
    // class it does not keep activations of.
    static int versionFor(const std::string& className);
    // The whole frame a time falls in (fractional frames round down).
    static LWFrame frameAt(const SceneTiming& timing, double time);

    // The module servers are activated from; null when none is loaded.
    void setModule(ModuleFile* module) { module_ = module; }

    // The server's activation, made on first use with versionFor(className)
    // and kept until the module is unloaded. Throws HostError when there is
    // no module or no such server, or the activation fails.
    ActivationRecord& server(const std::string& className, const std::string& name);

    // The server's activation when it has been made; null otherwise.
    ActivationRecord* activation(const std::string& className, const std::string& name);

    // Opens an interface server (CustomObjInterface, DisplacementInterface)
    // on one instance as Layout does each time a person opens its panel: the
    // activation runs again with interface.inst set to the instance. The
    // panel it gave for an earlier opening is closed (destroyed) first, so a
    // server shows one panel at a time. Throws HostError as server does.
    ActivationRecord& openInterface(const std::string& className, const std::string& name,
                                    LWInstance instance);

    // Creates an instance of a handler server (CustomObjHandler or
    // DisplacementHandler) on an object and adds it after the item's others;
    // newTime runs once at the current time. Throws HostError, adding
    // nothing, when create gives an error text or no instance.
    // With a load record the instance reads its saved data (load callback)
    // between create and its first newTime, as a scene load does.
    ServerInstance& apply(LWItemID item, const std::string& className, const std::string& name,
                          const LWLoadState* saved = nullptr);

    // Indices count from 1 among the item's instances of one class, as
    // Layout's commands do. find gives null, remove throws, when out of range.
    ServerInstance* find(LWItemID item, const std::string& className, int index) const;
    void remove(LWItemID item, const std::string& className, int index);

    // The item's instances, every class, in the order they were applied.
    std::vector<ServerInstance*> on(LWItemID item) const;
    std::vector<ServerInstance*> on(LWItemID item, const std::string& className) const;
    // Whether the instance is still in the table, on that item and of that
    // class. Builds no list: the displacement pass asks it before every point.
    bool holds(LWItemID item, const char* className, const ServerInstance* instance) const;
    size_t size() const { return instances_.size(); }

    // Destroys the item's instances; call it before the item leaves the scene.
    void removeItem(LWItemID item);
    // Destroys every instance, in scene item order.
    void destroyAll();
    // destroyAll, then drops the activations and the module: it is going.
    void forgetServers();

    // Every instance's newTime: custom objects first, then displacements,
    // each in scene item order. Error texts are printed, not thrown.
    void newTime(LWFrame frame, LWTime time);

    // Re-creates the source's instances on the clone in the source's order:
    // create with the clone as context, then copy(clone's, source's), then
    // newTime. Every instance is tried; the first failure is thrown after.
    void cloneInstances(LWItemID source, LWItemID clone);

    // descln's text, or null when the server gives none.
    const char* describe(const ServerInstance& instance) const;
    // The items an instance says it depends on (may hold LWITEM_ALL).
    std::vector<LWItemID> usedItems(const ServerInstance& instance) const;
    // IDs changed (old, new pairs, null-terminated, as changeID takes them):
    // every instance is told and the table follows the new IDs.
    void changeID(const LWItemID* pairs);
    // An item was renamed: every instance is told.
    void changeName(LWItemID item, const std::string& oldName, const std::string& newName);

  private:
    ServerInstance* create(LWItemID item, ActivationRecord& record, std::string& error);
    void destroy(std::unique_ptr<ServerInstance> instance);
    // Destroys an interface panel through the host's XPanel service.
    void closePanel(ActivationRecord& record);
    void callNewTime(ServerInstance& instance, LWFrame frame, LWTime time);
    bool holds(const ServerInstance* instance) const;
    std::vector<ServerInstance*> inSceneOrder() const;

    Scene& scene_;
    std::ostream& out_;
    GlobalFunc* globals_;
    ModuleFile* module_ = nullptr;
    std::vector<std::unique_ptr<ActivationRecord>> servers_;
    std::vector<std::unique_ptr<ServerInstance>> instances_;
};

} // namespace host

#endif
