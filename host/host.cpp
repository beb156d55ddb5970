#include "host/host.h"

#include "host/host_error.h"
#include "host/text_encoding.h"

#include <ostream>

namespace host {

namespace {
Host* currentHost = nullptr;
} // namespace

Host::Host(std::ostream& out) : out_(out), services_(*this), previous_(currentHost) {
    currentHost = this;
}

Host::~Host() {
    unloadModule();
    currentHost = previous_;
}

Host& Host::current() {
    if (!currentHost) throw HostError("no host is running");
    return *currentHost;
}

Host* Host::currentOrNull() {
    return currentHost;
}

ModuleFile& Host::loadModule(const std::string& path) {
    unloadModule();
    module_ = std::make_unique<ModuleFile>(path);
    return *module_;
}

void Host::unloadModule() {
    dropTool();
    activations_.clear();
    module_.reset();
}

int Host::activate(const std::string& className, const std::string& name, int version) {
    if (!module_) throw HostError("no module is loaded");
    const ServerEntry* server = module_->find(className, name);
    if (!server) throw HostError("module has no server " + className + " " + name);
    if (!server->activate)
        throw HostError("server " + className + " " + name + " has no activation");

    if (className == LWLAYOUTTOOL_CLASS) {
        // Layout keeps one tool record: the tool in use is dropped, and the
        // new one fills the same record.
        dropTool();
        toolRecord_.tool = &toolFuncs_;
        int result =
            server->activate(version, ServiceTable::accessor, &toolRecord_, module_->serverData());
        if (result != AFUNC_OK) {
            toolRecord_ = LWLayoutTool{};
            toolFuncs_ = LWLayoutToolFuncs{};
        }
        return result;
    }

    auto record = std::make_unique<ActivationRecord>();
    record->className = className;
    record->name = name;
    void* local = record->localFor(className);
    if (!local) throw HostError("the host does not run servers of class " + className);
    record->result =
        server->activate(version, ServiceTable::accessor, local, module_->serverData());
    int result = record->result;
    if (result == AFUNC_OK) activations_.push_back(std::move(record));
    return result;
}

void Host::dropTool() {
    if (toolRecord_.instance && toolFuncs_.done) toolFuncs_.done(toolRecord_.instance);
    toolRecord_ = LWLayoutTool{};
    toolFuncs_ = LWLayoutToolFuncs{};
}

int Host::runCommand(const char* text) {
    out_ << "command: " << (text ? text : "") << "\n";
    return 1;
}

void Host::message(const char* kind, const char* line1, const char* line2) {
    for (const char* line : {line1, line2}) {
        if (!line || (line == line2 && !line[0])) continue;
        std::string text = services_.japanese() ? shiftJisToUtf8(line) : std::string(line);
        out_ << kind << ": " << text << "\n";
    }
}

} // namespace host
