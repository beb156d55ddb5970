#include "plugins/instances.h"

#include "common/host_error.h"
#include "plugins/module_file.h"
#include "scene/scene.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>

namespace host {

namespace {

bool isHandlerClass(const std::string& cls) {
    return cls == LWCUSTOMOBJ_HCLASS || cls == LWDISPLACEMENT_HCLASS;
}

} // namespace

int InstanceTable::versionFor(const std::string& cls) {
    if (cls == LWCUSTOMOBJ_HCLASS || cls == LWDISPLACEMENT_HCLASS) return 5;
    if (cls == LWCUSTOMOBJ_ICLASS || cls == LWDISPLACEMENT_ICLASS) return 4;
    if (cls == LWLAYOUTGENERIC_CLASS) return 2;
    return 0;
}

LWFrame InstanceTable::frameAt(const SceneTiming& timing, double time) {
    // The epsilon keeps 0.1 s at 30 fps on frame 3 despite rounding.
    // Times past what a frame number holds give the farthest frame.
    double frame = std::floor(time * timing.framesPerSecond + 1e-6);
    const double limit = double(std::numeric_limits<LWFrame>::max());
    if (!(frame > -limit)) return -std::numeric_limits<LWFrame>::max();
    if (frame > limit) return std::numeric_limits<LWFrame>::max();
    return LWFrame(frame);
}

ActivationRecord& InstanceTable::server(const std::string& cls, const std::string& name) {
    for (auto& record : servers_)
        if (record->className == cls && record->name == name) return *record;

    ModuleFile* module = module_;
    if (!module) throw HostError("no module is loaded");
    const ServerEntry* entry = module->find(cls, name);
    if (!entry) throw HostError("module has no server " + cls + " " + name);
    int version = versionFor(cls);
    if (!version || !entry->activate)
        throw HostError("the host does not run servers of class " + cls);

    auto record = std::make_unique<ActivationRecord>();
    record->className = cls;
    record->name = name;
    void* local = record->localFor(cls);
    record->result = entry->activate(version, globals_, local, module->serverData());
    if (record->result != AFUNC_OK)
        throw HostError(cls + " " + name + " did not activate (" + std::to_string(record->result) +
                        ")");
    servers_.push_back(std::move(record));
    return *servers_.back();
}

ActivationRecord* InstanceTable::activation(const std::string& cls, const std::string& name) {
    for (auto& record : servers_)
        if (record->className == cls && record->name == name) return record.get();
    return nullptr;
}

ActivationRecord& InstanceTable::openInterface(const std::string& cls, const std::string& name,
                                               LWInstance instance) {
    if (cls != LWCUSTOMOBJ_ICLASS && cls != LWDISPLACEMENT_ICLASS)
        throw HostError(cls + " is not an interface class");
    ModuleFile* module = module_;
    if (!module) throw HostError("no module is loaded");
    const ServerEntry* entry = module->find(cls, name);
    if (!entry || !entry->activate) throw HostError("module has no server " + cls + " " + name);

    ActivationRecord* record = nullptr;
    for (auto& r : servers_)
        if (r->className == cls && r->name == name) record = r.get();
    if (record) {
        closePanel(*record);
    } else {
        servers_.push_back(std::make_unique<ActivationRecord>());
        record = servers_.back().get();
        record->className = cls;
        record->name = name;
    }
    record->interface = LWInterface{};
    record->interface.inst = instance;
    record->result =
        entry->activate(versionFor(cls), globals_, record->localFor(cls), module->serverData());
    if (record->result != AFUNC_OK) {
        const int result = record->result;
        record->interface = LWInterface{};
        throw HostError(cls + " " + name + " did not activate (" + std::to_string(result) + ")");
    }
    return *record;
}

void InstanceTable::closePanel(ActivationRecord& record) {
    LWXPanelID panel = record.interface.panel;
    record.interface.panel = nullptr;
    record.interface.inst = nullptr;
    auto* xpanels = static_cast<LWXPanelFuncs*>(
        globals_ ? globals_(LWXPANELFUNCS_GLOBAL, GFUSE_TRANSIENT) : nullptr);
    // Destroying a stale or foreign ID is a no-op for the service.
    if (panel && xpanels && xpanels->destroy) xpanels->destroy(panel);
}

ServerInstance* InstanceTable::create(LWItemID item, ActivationRecord& record, std::string& error) {
    if (!record.inst.create) {
        error = record.className + " " + record.name + " gives no create callback";
        return nullptr;
    }
    LWError text = nullptr;
    LWInstance instance = record.inst.create(record.inst.priv, item, &text);
    if (text) {
        error = text;
        // A server that reports an error but still made an instance gets it back.
        if (instance && record.inst.destroy) record.inst.destroy(instance);
        return nullptr;
    }
    if (!instance) {
        error = record.className + " " + record.name + " made no instance";
        return nullptr;
    }
    auto entry = std::make_unique<ServerInstance>();
    entry->item = item;
    entry->className = record.className;
    entry->serverName = record.name;
    entry->server = &record;
    entry->instance = instance;
    instances_.push_back(std::move(entry));
    return instances_.back().get();
}

ServerInstance& InstanceTable::apply(LWItemID item, const std::string& cls, const std::string& name,
                                     const LWLoadState* saved) {
    if (!isHandlerClass(cls)) throw HostError("servers of class " + cls + " are not applied");
    Item& target = scene_.get(item);
    if (target.type != LWI_OBJECT) throw HostError(cls + " goes on objects, not on " + target.name);
    ActivationRecord& record = server(cls, name);
    std::string error;
    ServerInstance* made = create(item, record, error);
    if (!made) throw HostError(error);
    if (saved && record.inst.load) {
        LWError failed = record.inst.load(made->instance, saved);
        if (failed) {
            std::string text = failed;
            remove(item, cls, int(on(item, cls).size()));
            throw HostError(cls + " " + name + ": " + text);
        }
    }
    double time = scene_.timing().time;
    callNewTime(*made, frameAt(scene_.timing(), time), time);
    return *made;
}

ServerInstance* InstanceTable::find(LWItemID item, const std::string& cls, int index) const {
    if (index < 1) return nullptr;
    std::vector<ServerInstance*> list = on(item, cls);
    return size_t(index) <= list.size() ? list[size_t(index) - 1] : nullptr;
}

void InstanceTable::remove(LWItemID item, const std::string& cls, int index) {
    ServerInstance* target = find(item, cls, index);
    if (!target) {
        const Item* owner = scene_.find(item);
        throw HostError("no " + cls + " number " + std::to_string(index) + " on " +
                        (owner ? owner->name : std::string("that item")));
    }
    auto at = std::find_if(instances_.begin(), instances_.end(),
                           [&](auto& i) { return i.get() == target; });
    std::unique_ptr<ServerInstance> taken = std::move(*at);
    instances_.erase(at);
    destroy(std::move(taken));
}

std::vector<ServerInstance*> InstanceTable::on(LWItemID item) const {
    std::vector<ServerInstance*> list;
    for (auto& i : instances_)
        if (i->item == item) list.push_back(i.get());
    return list;
}

std::vector<ServerInstance*> InstanceTable::on(LWItemID item, const std::string& cls) const {
    std::vector<ServerInstance*> list;
    for (auto& i : instances_)
        if (i->item == item && i->className == cls) list.push_back(i.get());
    return list;
}

bool InstanceTable::holds(LWItemID item, const char* className,
                          const ServerInstance* instance) const {
    // Read only once it is known to be held: a removed one is freed.
    return holds(instance) && instance->item == item && instance->className == className;
}

void InstanceTable::destroy(std::unique_ptr<ServerInstance> instance) {
    // A panel showing the instance closes with it, as Layout's does.
    for (auto& record : servers_)
        if (record->interface.inst == instance->instance) closePanel(*record);
    // Already out of the table, so a callback that asks sees it gone.
    if (instance->server->inst.destroy) instance->server->inst.destroy(instance->instance);
}

void InstanceTable::removeItem(LWItemID item) {
    for (;;) {
        auto at = std::find_if(instances_.begin(), instances_.end(),
                               [&](auto& i) { return i->item == item; });
        if (at == instances_.end()) return;
        std::unique_ptr<ServerInstance> taken = std::move(*at);
        instances_.erase(at);
        destroy(std::move(taken));
    }
}

void InstanceTable::destroyAll() {
    for (Item* item : scene_.items())
        removeItem(item->id);
    // Instances on IDs the scene no longer knows.
    while (!instances_.empty())
        removeItem(instances_.front()->item);
}

void InstanceTable::forgetServers() {
    destroyAll();
    servers_.clear();
    module_ = nullptr;
}

bool InstanceTable::holds(const ServerInstance* instance) const {
    return std::any_of(instances_.begin(), instances_.end(),
                       [&](auto& i) { return i.get() == instance; });
}

std::vector<ServerInstance*> InstanceTable::inSceneOrder() const {
    std::vector<ServerInstance*> list;
    for (const char* cls : {LWCUSTOMOBJ_HCLASS, LWDISPLACEMENT_HCLASS})
        for (Item* item : scene_.items())
            for (ServerInstance* i : on(item->id, cls))
                list.push_back(i);
    return list;
}

void InstanceTable::callNewTime(ServerInstance& instance, LWFrame frame, LWTime time) {
    if (!instance.server->rend.newTime) return;
    if (LWError error = instance.server->rend.newTime(instance.instance, frame, time))
        out_ << "error: " << instance.className << " " << instance.serverName << ": " << error
             << "\n";
}

void InstanceTable::newTime(LWFrame frame, LWTime time) {
    // A callback may apply or remove instances; only those still held run.
    for (ServerInstance* instance : inSceneOrder())
        if (holds(instance)) callNewTime(*instance, frame, time);
}

void InstanceTable::cloneInstances(LWItemID source, LWItemID clone) {
    std::string firstError;
    double time = scene_.timing().time;
    for (ServerInstance* from : on(source)) {
        if (!holds(from)) continue;
        std::string error;
        ServerInstance* made = create(clone, *from->server, error);
        if (made && holds(from) && from->server->inst.copy) {
            if (LWError text = from->server->inst.copy(made->instance, from->instance))
                error = text;
        }
        if (made) callNewTime(*made, frameAt(scene_.timing(), time), time);
        if (!error.empty() && firstError.empty())
            firstError = from->className + " " + from->serverName + ": " + error;
    }
    if (!firstError.empty()) throw HostError(firstError);
}

const char* InstanceTable::describe(const ServerInstance& instance) const {
    if (!instance.server->inst.descln) return nullptr;
    return instance.server->inst.descln(instance.instance);
}

std::vector<LWItemID> InstanceTable::usedItems(const ServerInstance& instance) const {
    std::vector<LWItemID> items;
    if (!instance.server->item.useItems) return items;
    const LWItemID* list = instance.server->item.useItems(instance.instance);
    if (list == LWITEM_ALL) return {LWITEM_ALL};
    for (; list && *list; ++list)
        items.push_back(*list);
    return items;
}

void InstanceTable::changeID(const LWItemID* pairs) {
    if (!pairs || !pairs[0]) return;
    std::vector<std::pair<LWItemID, LWItemID>> changes;
    for (const LWItemID* p = pairs; p[0] && p[1]; p += 2)
        changes.emplace_back(p[0], p[1]);
    // Renumbering may swap IDs, so each instance moves at most once.
    for (auto& i : instances_)
        for (auto& change : changes)
            if (i->item == change.first) {
                i->item = change.second;
                break;
            }
    std::vector<ServerInstance*> all;
    for (auto& i : instances_)
        all.push_back(i.get());
    for (ServerInstance* i : all)
        if (holds(i) && i->server->item.changeID) i->server->item.changeID(i->instance, pairs);
}

void InstanceTable::changeName(LWItemID item, const std::string& oldName,
                               const std::string& newName) {
    LWNameChangeData data{oldName.c_str(), newName.c_str(), item};
    std::vector<ServerInstance*> all;
    for (auto& i : instances_)
        all.push_back(i.get());
    for (ServerInstance* i : all)
        if (holds(i) && i->server->item.changeName) i->server->item.changeName(i->instance, &data);
}

} // namespace host
