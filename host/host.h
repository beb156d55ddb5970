// The stand-in Layout: one scene, the host services, the loaded module and
// its activated servers. One host is current at a time, as one Layout runs
// per process; the services reach it through Host::current().
#ifndef MORVANE_HOST_HOST_H
#define MORVANE_HOST_HOST_H

#include "plugins/activation.h"
#include "plugins/instances.h"
#include "plugins/module_file.h"
#include "ui/panels.h"
#include "ring/ring.h"
#include "scene/scene.h"
#include "services/services.h"
#include "ui/xpanels.h"

#include <deque>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace host {

class Host {
  public:
    // What a person would see (messages, commands, traces) goes to out.
    explicit Host(std::ostream& out);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The host the services answer for; throws HostError when none exists.
    static Host& current();
    static Host* currentOrNull();

    Scene& scene() { return scene_; }
    Ring& ring() { return ring_; }
    InstanceTable& instances() { return *instances_; }
    PanelSystem& panels() { return *panels_; }
    XPanelSystem& xpanels() { return *xpanels_; }
    ServiceTable& services() { return services_; }
    std::ostream& out() { return out_; }

    // Loads the module file, replacing any module loaded before.
    ModuleFile& loadModule(const std::string& path);
    ModuleFile* module() { return module_.get(); }

    // Activates a server of the loaded module as Layout does when it needs
    // one, and returns the activation's result code. Throws HostError when
    // no module is loaded or it has no such server.
    int activate(const std::string& className, const std::string& name, int version);

    // The active Layout tool's record; its instance is null when no tool is
    // active.
    const LWLayoutTool& toolRecord() const { return toolRecord_; }

    // Runs a command text sent by a module, as the command interface does:
    // printed, carried out, and 1 returned; a command that fails is reported
    // and gives 0.
    int runCommand(const char* text);

    // Relative file names in commands are taken from here, as Layout takes
    // them from its content directory. Empty: the working directory.
    void setContentDirectory(const std::string& dir) { contentDirectory_ = dir; }
    std::string resolvePath(const std::string& path) const;

    // Moves the scene to a time (seconds); every plug-in instance hears of it.
    void goToTime(double time);

    // Layout's ClearScene: every plug-in instance is destroyed, then every item.
    void clearScene();

    // Layout's edit mode: the item type its item tools act on.
    void setEditMode(LWItemType type) { editMode_ = type; }
    LWItemType editMode() const { return editMode_; }

    // Drops the Layout tool in use (its done callback runs).
    void dropTool();

    // Host messages, printed as "info: TEXT" and so on.
    void message(const char* kind, const char* line1, const char* line2);

    // Questions take answers queued in advance ("Yes", "No", "OK", "Cancel"),
    // as a person would click them. kind is "okCancel", "yesNo", "yesNoCan" or
    // "yesNoAll"; the result is the value the message service returns. With
    // no fitting answer queued the question is answered 0 and the failure is
    // kept for takePendingError: the host never guesses for the user.
    void queueAnswer(const std::string& answer);
    int ask(const std::string& kind, const char* title, const char* line1, const char* line2);

    // A failure that arose inside a module callback, where it could not be
    // thrown; empty when there is none. Taking it clears it.
    std::string takePendingError();

  private:
    void unloadModule();

    std::ostream& out_;
    Scene scene_;
    Ring ring_;
    std::unique_ptr<InstanceTable> instances_;
    std::unique_ptr<PanelSystem> panels_;
    std::unique_ptr<XPanelSystem> xpanels_;
    std::deque<std::string> answers_;
    std::string pendingError_;
    LWItemType editMode_ = LWI_OBJECT;
    std::string contentDirectory_;
    ServiceTable services_;
    std::unique_ptr<ModuleFile> module_;
    std::vector<std::unique_ptr<ActivationRecord>> activations_;
    LWLayoutToolFuncs toolFuncs_{};
    LWLayoutTool toolRecord_{};
    Host* previous_;
};

} // namespace host

#endif
