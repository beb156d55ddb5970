// ui/: the host's headless user interface: LWPanels panels, controls and
// rasters, XPanels, and the message service. Modal panels and questions take
// the answers a script or a test queued. Knows the scene (item controls list
// its items); nothing here calls the host's other parts.
//
// Headless LWPanels: panels and controls a module builds, opened modal and
// answered from the script, or opened non-modal and used control by control
// as a person would (press, tick, choose, type, click, close), and the
// off-screen rasters of the raster service. Nothing is shown: what the
// module draws on a panel is recorded, so a picture of the panel can be
// made; a modal panel takes the next response the script queued, as a
// person would fill it in and press OK or Cancel.
#ifndef MORVANE_HOST_UI_PANELS_H
#define MORVANE_HOST_UI_PANELS_H

#include "ui/panel_look.h"
#include "ui/pending_error.h"

#include <lwpanel.h>

#include <cstdint>
#include <deque>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace host {

class Locale;
class Scene;

class PanelSystem {
  public:
    // Item controls list the scene's items; panels answered from responses
    // are printed to out; titles and labels are read in the locale's encoding.
    PanelSystem(Scene& scene, std::ostream& out, const Locale& locale);
    ~PanelSystem();
    PanelSystem(const PanelSystem&) = delete;
    PanelSystem& operator=(const PanelSystem&) = delete;

    // The panel system of the running host, or null. The callbacks of a
    // control record carry no context of their own; they reach it here.
    static PanelSystem* current();

    // The record a module gets back for PAN_PANFUN and CTL_PANFUN: the host's
    // own "LWPanelServices".
    void setPanelFuncs(LWPanelFuncs* funcs) { panelFuncs_ = funcs; }

    // The panel service. Every call accepts null or foreign IDs and then does
    // nothing (or returns 0 / null).
    LWPanelID create(const char* title, void* data);
    void destroy(LWPanelID panel);
    // Blocking: answered from the next queued response; 1 for OK, 0 for
    // Cancel or when nothing fits. Otherwise the panel is just marked open.
    int open(LWPanelID panel, int flags);
    // 0 while open, -1 once closed. EVNT_BLOCKING on an open panel waits for
    // the person: the next response is applied and the panel closes.
    int handle(LWPanelID panel, int flags);
    void draw(LWPanelID panel, DrMode mode);
    void close(LWPanelID panel);
    void get(LWPanelID panel, pTag tag, void* value);
    void set(LWPanelID panel, pTag tag, void* value);
    // Null for an unknown type name.
    LWControl* addControl(LWPanelID panel, const char* typeName, const ControlDesc* desc,
                          const char* label);
    LWControl* nextControl(LWPanelID panel, LWControlID control);

    void controlDraw(LWControlID control, DrMode mode);
    void controlGet(LWControlID control, cTag tag, LWValue* value);
    void controlSet(LWControlID control, cTag tag, LWValue* value);

    // Drawing on a panel (DrawFuncs, the raster service's blitPanel): each
    // call is appended to the panel's display list, which a redraw (draw)
    // clears before the module's draw hook records into it again. Colours
    // are 0xRRGGBB; a blit copies the raster's pixels as they are now.
    void panelLine(LWPanelID panel, int x0, int y0, int x1, int y1, unsigned int rgb);
    void panelBox(LWPanelID panel, int x, int y, int w, int h, unsigned int rgb);
    // h 0 is a divider: a dark line over a light one; else a frame of
    // thickness indent, raised (sunken for a negative indent).
    void panelBorder(LWPanelID panel, int indent, int x, int y, int w, int h);
    void panelText(LWPanelID panel, const char* text, int x, int y, unsigned int rgb);
    void blitPanel(LWRasterID src, int sx, int sy, LWPanelID panel, int dx, int dy, int w, int h);

    // A person using an open panel. TITLE and LABEL are UTF-8 (a Japanese
    // module's Shift-JIS texts are converted to compare); of two open panels
    // with one title, the latest opened is used; a label "#N" is the N-th
    // control added, from 1. Each throws HostError and changes nothing when
    // there is no such open panel or control, the control is of the wrong
    // type, ghosted or hidden, or the value does not fit; otherwise the
    // control's event runs as after a person's change.
    // A button is pressed; a check box or bool button flips.
    void press(const std::string& title, const std::string& label);
    // A check box or bool button is set; its event runs when it changed.
    void tick(const std::string& title, const std::string& label, bool on);
    // A popup or choice takes the entry whose text (blanks around it
    // ignored) is entry, or "#N" the N-th from 0.
    void choose(const std::string& title, const std::string& label, const std::string& entry);
    // A number typed into a number, slider or percent control (whole numbers
    // for integer ones), stored as typed even outside the range; text into
    // an edit control.
    void type(const std::string& title, const std::string& label, const std::string& text);
    // The panel's mouse-button hook gets a press and a release of button
    // (MOUSE_LEFT or MOUSE_RIGHT) at (x, y), or, without xy, at a point on
    // the panel under no control. A point outside the panel or on a control
    // is an error.
    void click(const std::string& title, int button, const int* xy);
    // The person closes the window: marked closed, its close hook runs.
    void userClose(const std::string& title);
    // A control's value as a person reads it: numbers in their shortest
    // form, on/off, a popup's entry text, text as it is.
    std::string value(const std::string& title, const std::string& label) const;
    // The open panel as a person sees it, for a picture.
    PanelPicture picture(const std::string& title) const;

    // Queues one response from the script's words: OK or Cancel, then
    // LABEL=VALUE pairs. Throws HostError on malformed words.
    void queueResponse(const std::vector<std::string>& words);
    size_t queuedResponses() const { return responses_.size(); }

    // A failure inside a module's call (no response, a label or item that
    // does not exist); empty when there is none. Taking it clears it.
    std::string takePendingError() { return pending_.take(); }

    size_t panelCount() const { return panels_.size(); }

    // The raster service: RGB pixels, 0xRRGGBB.
    LWRasterID createRaster(int w, int h, int flags);
    void destroyRaster(LWRasterID raster);
    void rasterPixel(LWRasterID raster, int x, int y, unsigned int colour);
    void rasterBox(LWRasterID raster, int x, int y, int w, int h, unsigned int colour);
    void rasterLine(LWRasterID raster, int x0, int y0, int x1, int y1, unsigned int colour);
    void rasterBorder(LWRasterID raster, int indent, int x, int y, int w, int h);
    void blitRaster(LWRasterID src, int sx, int sy, LWRasterID dest, int dx, int dy, int w, int h);
    // False for a foreign raster or a pixel outside it.
    bool readRasterPixel(LWRasterID raster, int x, int y, unsigned int* rgb) const;
    size_t rasterCount() const { return rasters_.size(); }
    // Pixels a text takes in panels: a fixed width per byte.
    static int textWidth(const char* text);
    // A colour argument (LWP_* palette entry or RGB_ value) as 0xRRGGBB.
    static unsigned int rgbOf(int colour);

    struct Panel;
    struct Control;
    struct Raster;

  private:
    struct Response {
        bool ok = false;
        std::vector<std::pair<std::string, std::string>> values;
    };

    Panel* findPanel(LWPanelID panel) const;
    Control* findControl(LWControlID control) const;
    Raster* findRaster(LWRasterID raster) const;
    // Applies the next response to an open panel; the result open returns.
    int answer(Panel& panel);
    // Checks a response value against its control; empty when it fits.
    std::string convert(const Panel& panel, const Control& control, const std::string& text,
                        LWValue& out, void*& item) const;
    void layout(Panel& panel, Control& control, const ControlDesc* desc);
    void callPanelHook(Panel* panel, void* hook);
    void record(LWPanelID panel, PanelDrawOp op);
    // PAN_W and PAN_H: as the module set them, else room for the controls.
    std::pair<int, int> panelSize(const Panel& panel) const;
    // The open panel of a title and its control by label; throw HostError.
    Panel& shownPanel(const std::string& title) const;
    Control& controlOf(const Panel& panel, const std::string& label) const;
    // As controlOf, for a control a person can reach.
    Control& reachable(const Panel& panel, const std::string& label) const;
    // Runs the control's event as after a person's change.
    void fireEvent(Control& control);
    std::string valueText(const Control& control) const;
    // A choice control's entries, or false when it is none.
    bool entries(const Control& control, std::vector<std::string>& out) const;

    Scene& scene_;
    std::ostream& out_;
    const Locale& locale_;
    LWPanelFuncs* panelFuncs_ = nullptr;
    PanelSystem* previous_;
    std::vector<std::unique_ptr<Panel>> panels_;
    std::vector<std::unique_ptr<Raster>> rasters_;
    std::deque<Response> responses_;
    PendingError pending_;
    unsigned long opens_ = 0;
};

} // namespace host

#endif
