// core/: the stand-in Layout's central object. It owns one of each part (the
// scene, the ring, the plug-in instances, the panel systems, the messages, the
// viewports, the services) and the loaded module with its activations, and wires them
// together: each part gets the others it uses, and nothing below core/ knows
// this class. Layout's command language sits above it (commands/) and is
// handed in as the command runner; the full host is Host (host.h).
#ifndef MORVANE_HOST_CORE_HOST_CORE_H
#define MORVANE_HOST_CORE_HOST_CORE_H

#include "common/text_encoding.h"
#include "plugins/activation.h"
#include "plugins/instances.h"
#include "plugins/module_file.h"
#include "ring/ring.h"
#include "scene/scene.h"
#include "services/services.h"
#include "ui/messages.h"
#include "ui/panels.h"
#include "ui/xpanels.h"
#include "view/tool_event.h"
#include "view/viewport.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace host {

class HostCore {
  public:
    // What a person would see (messages, commands, traces) goes to out.
    explicit HostCore(std::ostream& out);
    ~HostCore();
    HostCore(const HostCore&) = delete;
    HostCore& operator=(const HostCore&) = delete;

    Scene& scene() { return scene_; }
    Ring& ring() { return ring_; }
    InstanceTable& instances() { return *instances_; }
    PanelSystem& panels() { return *panels_; }
    XPanelSystem& xpanels() { return *xpanels_; }
    ServiceTable& services() { return *services_; }
    // The viewport window; clearing the scene leaves it as it is.
    ViewportWindow& viewports() { return viewports_; }
    std::ostream& out() { return out_; }

    // Loads the module file, replacing any module loaded before.
    ModuleFile& loadModule(const std::string& path);
    ModuleFile* module() { return module_.get(); }

    // Activates a server of the loaded module as Layout does when it needs
    // one, and returns the activation's result code. Throws HostError when
    // no module is loaded or it has no such server.
    int activate(const std::string& className, const std::string& name, int version);

    // Starts a Layout tool from its activation function, as activate does
    // for the module's LayoutTool servers: the tool in use is dropped and
    // the new one fills the same record. Tests start tool code linked into
    // them this way.
    int activateTool(ActivateFunc* activation, int version, void* serverData);

    // The active Layout tool's record; its instance is null when no tool is
    // active.
    const LWLayoutTool& toolRecord() const { return toolRecord_; }

    // What carries out a command text; it throws HostError when the command
    // fails. Until one is set every command fails.
    using CommandRunner = std::function<void(const std::string&)>;
    void setCommandRunner(CommandRunner runner) { commandRunner_ = std::move(runner); }

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

    // Pointer events of the active tool in the views (tool_pointer.cpp),
    // positions in a view's window pixels as toolEventAt takes them. A
    // button goes down at (x, y) of view `view` and the tool's down gets the
    // event (its result is not used). Throws HostError, calling nothing,
    // when no tool is active, the view does not exist or has no geometry,
    // (x, y) is outside the view, or a button is held already.
    void toolPress(int view, double x, double y, bool right);
    // The held pointer moves to (x, y) of the press's view, inside it or
    // not, and the tool's move gets the event built from the view as it is
    // now. Throws HostError when no button is held, the view is gone, or a
    // coordinate is more than a million pixels away.
    void toolDrag(double x, double y);
    // The held button comes up where the pointer last was: the tool's up.
    // Throws HostError when no button is held.
    void toolRelease();
    bool toolPressHeld() const { return held_.has_value(); }

    // After every event Layout asks the active tool what it made dirty: a
    // dirty help text becomes the status line, a dirty wireframe redraws
    // every view (the tool's draw runs once per view). The help callback
    // gets the pointer event that came just before, else null.
    void afterEvent();
    // The status line: the active tool's help text, else empty.
    const std::string& status() const { return status_; }

    // Layout's RefreshNow: every plug-in instance hears of the current time
    // again and the objects are displaced anew.
    void refreshScene() { goToTime(scene_.timing().time); }

    // The message service (ui/messages.h): messages printed as
    // "info: TEXT" and so on, questions answered from the queued answers.
    void message(const char* kind, const char* line1, const char* line2) {
        messages_.message(kind, line1, line2);
    }
    void queueAnswer(const std::string& answer) { messages_.queueAnswer(answer); }
    int ask(const std::string& kind, const char* title, const char* line1, const char* line2) {
        return messages_.ask(kind, title, line1, line2);
    }

    // A failure that arose inside a module callback, where it could not be
    // thrown (a question with no answer); empty when there is none. Taking it
    // clears it.
    std::string takePendingError() { return messages_.takePendingError(); }

  private:
    // A held button: where it went down and where the pointer is.
    struct HeldPointer {
        int view = 0;
        PointerPress press;
        double x = 0, y = 0;
        LWToolEvent last{};
    };

    void unloadModule();
    // The event for the held pointer at (x, y) from its view now.
    LWToolEvent heldEventAt(double x, double y) const;
    // Hands the event to one of the tool's callbacks and keeps it for help.
    void sendToolEvent(void (*call)(LWLayoutToolFuncs&, LWInstance, LWToolEvent*),
                       const LWToolEvent& event);

    std::ostream& out_;
    Locale locale_;
    Scene scene_;
    Ring ring_;
    Messages messages_;
    ViewportWindow viewports_;
    std::unique_ptr<InstanceTable> instances_;
    std::unique_ptr<PanelSystem> panels_;
    std::unique_ptr<XPanelSystem> xpanels_;
    std::unique_ptr<ServiceTable> services_;
    CommandRunner commandRunner_;
    LWItemType editMode_ = LWI_OBJECT;
    std::string contentDirectory_;
    std::unique_ptr<ModuleFile> module_;
    std::vector<std::unique_ptr<ActivationRecord>> activations_;
    LWLayoutToolFuncs toolFuncs_{};
    LWLayoutTool toolRecord_{};
    std::string status_;
    bool inAfterEvent_ = false;
    std::optional<HeldPointer> held_;
    LWToolEvent lastEvent_{};
    bool eventPending_ = false;
};

} // namespace host

#endif
