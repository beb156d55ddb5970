// ui/: the host's headless user interface: LWPanels panels, controls and
// rasters, XPanels, and the message service. Modal panels and questions take
// the answers a script or a test queued. Knows the scene (item controls list
// its items); nothing here calls the host's other parts.
//
// Headless LWPanels: panels and controls a module builds, opened modal and
// answered from the script, and the off-screen rasters of the raster service.
// Nothing is shown; a modal panel takes the next response the script queued,
// as a person would fill it in and press OK or Cancel.
#ifndef MORVANE_HOST_UI_PANELS_H
#define MORVANE_HOST_UI_PANELS_H

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

    Scene& scene_;
    std::ostream& out_;
    const Locale& locale_;
    LWPanelFuncs* panelFuncs_ = nullptr;
    PanelSystem* previous_;
    std::vector<std::unique_ptr<Panel>> panels_;
    std::vector<std::unique_ptr<Raster>> rasters_;
    std::deque<Response> responses_;
    PendingError pending_;
};

} // namespace host

#endif
