#include "core/host_core.h"

#include "common/file_names.h"
#include "common/host_error.h"
#include "plugins/displacement.h"
#include "view/viewport_drawing.h"

#include <ostream>

namespace host {

HostCore::HostCore(std::ostream& out)
    : out_(out), messages_(out, locale_),
      instances_(std::make_unique<InstanceTable>(scene_, out, ServiceTable::accessor)),
      panels_(std::make_unique<PanelSystem>(scene_, out, locale_)),
      xpanels_(std::make_unique<XPanelSystem>()) {
    ServiceSources sources{
        scene_,    ring_,      *panels_,
        *xpanels_, viewports_, messages_,
        locale_,   out_,       [this](const char* text) { return runCommand(text); }};
    services_ = std::make_unique<ServiceTable>(sources);
}

HostCore::~HostCore() {
    // Items go while the module is still loaded: envelopes and instances on
    // them call back into it as they are destroyed.
    dropTool();
    clearScene();
    unloadModule();
}

ModuleFile& HostCore::loadModule(const std::string& path) {
    unloadModule();
    module_ = std::make_unique<ModuleFile>(path);
    instances_->setModule(module_.get());
    return *module_;
}

void HostCore::unloadModule() {
    dropTool();
    instances_->forgetServers();
    activations_.clear();
    module_.reset();
    // Their callbacks were the module's.
    xpanels_->dropAll();
}

int HostCore::activate(const std::string& className, const std::string& name, int version) {
    if (!module_) throw HostError("no module is loaded");
    const ServerEntry* server = module_->find(className, name);
    if (!server) throw HostError("module has no server " + className + " " + name);
    if (!server->activate)
        throw HostError("server " + className + " " + name + " has no activation");

    if (className == LWLAYOUTTOOL_CLASS)
        return activateTool(server->activate, version, module_->serverData());

    auto record = std::make_unique<ActivationRecord>();
    record->className = className;
    record->name = name;
    record->runCommand = [this](const char* text) { return runCommand(text); };
    void* local = record->localFor(className);
    if (!local) throw HostError("the host does not run servers of class " + className);
    record->result =
        server->activate(version, ServiceTable::accessor, local, module_->serverData());
    int result = record->result;
    if (result == AFUNC_OK) activations_.push_back(std::move(record));
    return result;
}

int HostCore::activateTool(ActivateFunc* activation, int version, void* serverData) {
    // Layout keeps one tool record: the tool in use is dropped, and the new
    // one fills the same record.
    dropTool();
    toolRecord_.tool = &toolFuncs_;
    int result = activation(version, ServiceTable::accessor, &toolRecord_, serverData);
    if (result != AFUNC_OK) {
        toolRecord_ = LWLayoutTool{};
        toolFuncs_ = LWLayoutToolFuncs{};
    } else if (toolFuncs_.help) {
        const char* help = toolFuncs_.help(toolRecord_.instance, nullptr);
        status_ = help ? locale_.shown(help) : "";
    }
    return result;
}

void HostCore::dropTool() {
    // A button held for the tool is forgotten with it.
    held_.reset();
    eventPending_ = false;
    if (toolRecord_.instance && toolFuncs_.done) toolFuncs_.done(toolRecord_.instance);
    toolRecord_ = LWLayoutTool{};
    toolFuncs_ = LWLayoutToolFuncs{};
    status_.clear();
}

void HostCore::afterEvent() {
    // A tool's draw may issue commands, which end in another afterEvent.
    if (inAfterEvent_) return;
    inAfterEvent_ = true;
    // The event is the one of this command only; help gets its own copy.
    LWToolEvent event = lastEvent_;
    LWToolEvent* latest = eventPending_ ? &event : nullptr;
    eventPending_ = false;
    if (toolRecord_.instance && toolFuncs_.dirty) {
        const int dirty = toolFuncs_.dirty(toolRecord_.instance);
        if ((dirty & LWT_DIRTY_HELPTEXT) && toolRecord_.instance && toolFuncs_.help) {
            const char* help = toolFuncs_.help(toolRecord_.instance, latest);
            status_ = help ? locale_.shown(help) : "";
        }
        if (dirty & LWT_DIRTY_WIREFRAME)
            // Layout redraws every view: the custom objects (which bring
            // their items up to date as they draw) and the tool's overlay.
            drawWindow(viewports_,
                       DrawnScene{scene_, *instances_, &toolRecord_, scene_.timing().time});
    }
    inAfterEvent_ = false;
}

int HostCore::runCommand(const char* text) {
    std::string line = text ? text : "";
    out_ << "command: " << line << "\n";
    try {
        if (!commandRunner_) throw HostError("this host runs no commands");
        commandRunner_(line);
    } catch (const HostError& e) {
        out_ << "error: " << e.what() << "\n";
        return 0;
    }
    return 1;
}

std::string HostCore::resolvePath(const std::string& path) const {
    if (path.empty() || isAbsolutePath(path) || contentDirectory_.empty()) return path;
    return contentDirectory_ + "/" + path;
}

void HostCore::goToTime(double time) {
    scene_.timing().time = time;
    services_->refresh();
    instances_->newTime(InstanceTable::frameAt(scene_.timing(), time), time);
    evaluateDisplacements(scene_, *instances_);
}

void HostCore::clearScene() {
    instances_->destroyAll();
    scene_.clear();
}

} // namespace host
