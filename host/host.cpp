#include "host.h"

#include "commands/commands.h"
#include "plugins/displacement.h"
#include "common/host_error.h"
#include "common/text_encoding.h"

#include <ostream>

namespace host {

namespace {
Host* currentHost = nullptr;
} // namespace

Host::Host(std::ostream& out)
    : out_(out), instances_(std::make_unique<InstanceTable>(*this)),
      panels_(std::make_unique<PanelSystem>(*this)),
      xpanels_(std::make_unique<XPanelSystem>(*this)), services_(*this), previous_(currentHost) {
    currentHost = this;
}

Host::~Host() {
    // Items go while the module is still loaded: envelopes and instances on
    // them call back into it as they are destroyed.
    dropTool();
    clearScene();
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
    instances_->forgetServers();
    activations_.clear();
    module_.reset();
    // Their callbacks were the module's.
    xpanels_->dropAll();
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
    std::string line = text ? text : "";
    out_ << "command: " << line << "\n";
    try {
        CommandInterpreter(*this).execute(line);
    } catch (const HostError& e) {
        out_ << "error: " << e.what() << "\n";
        return 0;
    }
    return 1;
}

std::string Host::resolvePath(const std::string& path) const {
    if (path.empty() || path[0] == '/' || contentDirectory_.empty()) return path;
    return contentDirectory_ + "/" + path;
}

void Host::goToTime(double time) {
    scene_.timing().time = time;
    services_.refresh();
    instances_->newTime(InstanceTable::frameAt(scene_.timing(), time), time);
    evaluateDisplacements(*this);
}

void Host::clearScene() {
    instances_->destroyAll();
    scene_.clear();
}

void Host::message(const char* kind, const char* line1, const char* line2) {
    for (const char* line : {line1, line2}) {
        if (!line || (line == line2 && !line[0])) continue;
        std::string text = services_.japanese() ? shiftJisToUtf8(line) : std::string(line);
        out_ << kind << ": " << text << "\n";
    }
}

void Host::queueAnswer(const std::string& answer) {
    static const char* const known[] = {"Yes", "No", "OK", "Cancel", "YesToAll"};
    for (const char* k : known)
        if (answer == k) {
            answers_.push_back(answer);
            return;
        }
    throw HostError("unknown answer '" + answer + "' (Yes, No, OK, Cancel or YesToAll)");
}

int Host::ask(const std::string& kind, const char* title, const char* line1, const char* line2) {
    // The values the message service returns for each kind of question.
    static const std::vector<std::pair<std::string, std::vector<std::pair<std::string, int>>>>
        choices = {
            {"okCancel", {{"OK", 1}, {"Cancel", 0}}},
            {"yesNo", {{"Yes", 1}, {"No", 0}}},
            {"yesNoCan", {{"Yes", 2}, {"No", 1}, {"Cancel", 0}}},
            {"yesNoAll", {{"YesToAll", 3}, {"Yes", 2}, {"No", 1}, {"Cancel", 0}}},
        };
    std::string text;
    for (const char* part : {title, line1, line2})
        if (part && part[0]) {
            if (!text.empty()) text += " / ";
            text += services_.japanese() ? shiftJisToUtf8(part) : std::string(part);
        }

    if (answers_.empty()) {
        if (pendingError_.empty())
            pendingError_ = "question \"" + text + "\" has no answer queued (use Answer)";
        return 0;
    }
    std::string answer = answers_.front();
    answers_.pop_front();
    for (const auto& question : choices) {
        if (question.first != kind) continue;
        for (const auto& choice : question.second)
            if (choice.first == answer) {
                out_ << "question: " << text << " -> " << answer << "\n";
                return choice.second;
            }
    }
    if (pendingError_.empty())
        pendingError_ = "answer " + answer + " does not fit question \"" + text + "\"";
    return 0;
}

std::string Host::takePendingError() {
    std::string error;
    error.swap(pendingError_);
    return error;
}

} // namespace host
