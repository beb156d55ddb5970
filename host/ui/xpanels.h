// Headless XPanels: the panels a module declares (controls, data, hints) and
// the instance a VIEW panel edits. Nothing is drawn; the script types values
// into a panel's controls by label, and the host reads and writes them
// through the module's get/set callbacks (VIEW) or the panel's own storage
// (FORM), then tells the module through its change notify.
#ifndef MORVANE_HOST_UI_XPANELS_H
#define MORVANE_HOST_UI_XPANELS_H

#include "ui/pending_error.h"

#include <lwxpanel.h>

#include <memory>
#include <string>
#include <vector>

namespace host {

namespace xpanel {
struct Control;
}

// One control of an open panel as a person sees it, in the panel's order.
struct XPanelRow {
    unsigned int cid = 0;
    std::string label;     // as shown: the hinted label, else the created one
    std::string ctrlClass; // "iPopChoice", "color", ...
    std::string value;     // as PanelGet prints it (a choice by its entry); empty without one
    int group = 0;         // outermost group or stack, numbered from 1 as they first show; 0: none
    bool enabled = true;   // not ghosted by an enable relation
    bool visible = true;   // not on a stack page that is hidden
};

class XPanelSystem {
  public:
    XPanelSystem();
    ~XPanelSystem();
    XPanelSystem(const XPanelSystem&) = delete;
    XPanelSystem& operator=(const XPanelSystem&) = delete;

    // The XPanel service. Every call accepts null or foreign IDs and then
    // does nothing (or returns 0 / null).
    // Null for a type other than LWXP_VIEW or LWXP_FORM.
    LWXPanelID create(int type, const LWXPanelControl* controls);
    // Frees the panel, then calls its destroy notify with the panel's data.
    void destroy(LWXPanelID panel);
    void describe(LWXPanelID panel, const LWXPanelDataDesc* data, LWXPanelGetFunc* get,
                  LWXPanelSetFunc* set);
    // id 0 aims the hints at the panel. An unknown tag ends the array: the
    // hints before it apply and a pending error names it.
    void hint(LWXPanelID panel, unsigned int id, LWXPanelHint* hints);
    void* getData(LWXPanelID panel, unsigned int id);
    void setData(LWXPanelID panel, unsigned int id, void* data);
    // FORM values; the pointer stays valid until the next formSet of that
    // value or the panel's destroy.
    void* formGet(LWXPanelID panel, unsigned int vid);
    void formSet(LWXPanelID panel, unsigned int vid, void* value);
    void viewInst(LWXPanelID panel, void* inst);
    // Reads every described value again through get, as a redraw would.
    void viewRefresh(LWXPanelID panel);
    // Modal: nobody is there to cancel, so it answers 1 (OK).
    int post(LWXPanelID panel);
    // Non-modal: marks the panel open and answers 1.
    int open(LWXPanelID panel);

    // What a person does at the panel. The control is found by the label it
    // shows (a hinted label) or the one it was created with. enter converts
    // the text by the control's data type, hands it to set (VIEW) or keeps it
    // (FORM), then runs the change notify with LWXPEVENT_VALUE. read gives
    // the value as enter takes it. Both throw HostError for an unknown
    // panel or label, a control without a value, or text that does not fit.
    // A control that is ghosted (XpENABLE_) or on a stack page not shown
    // (XpSTACK_) cannot be typed into: HostError says why.
    void enter(LWXPanelID panel, const std::string& label, const std::string& text);
    std::string read(LWXPanelID panel, const std::string& label);
    // A person dragging a number's slider through the values: each is set
    // and notified with LWXPEVENT_TRACK, the last, where they let go, with
    // LWXPEVENT_VALUE. Only numbers (not choices or check boxes) drag.
    void drag(LWXPanelID panel, const std::string& label, const std::vector<std::string>& texts);
    // The panel row by row, for drawing it; empty for an unknown panel.
    // Values are read through the module's get callback.
    std::vector<XPanelRow> rows(LWXPanelID panel);

    bool knows(LWXPanelID panel) const { return find(panel) != nullptr; }
    size_t panelCount() const { return panels_.size(); }
    // The panel's hinted label; empty for an unknown panel.
    std::string label(LWXPanelID panel) const;
    bool isOpen(LWXPanelID panel) const;
    void* instance(LWXPanelID panel) const;

    // A failure inside a module's call (a malformed hint array); empty when
    // there is none. Taking it clears it.
    std::string takePendingError() { return pending_.take(); }

    // Frees every panel without calling into the module: it is gone.
    void dropAll();

    struct Panel;

  private:
    Panel* find(LWXPanelID panel) const;
    void change(LWXPanelID panel, const std::string& label, const std::vector<std::string>& texts,
                bool dragged);
    const void* valueOf(LWXPanelID id, const Panel& panel, const xpanel::Control& c);
    void parseHints(Panel& panel, unsigned int id, LWXPanelHint* hints, int depth);

    std::vector<std::unique_ptr<Panel>> panels_;
    PendingError pending_;
};

} // namespace host

#endif
