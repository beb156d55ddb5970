// Panel, panel-drawing and raster services. Panels are headless: drawing on
// a panel is recorded for its picture, while rasters keep their pixels in
// memory.
#include "services/service_records.h"
#include "services/services.h"
#include "ui/panels.h"

#include <cstring>

namespace host {

namespace {

PanelSystem* panels() {
    ServiceTable* table = ServiceTable::currentOrNull();
    return table ? &table->sources().panels : nullptr;
}

// ---- LWPanelFuncs ----

LWPanelID panCreate(char* title, void* data) {
    PanelSystem* p = panels();
    return p ? p->create(title, data) : nullptr;
}

void panDestroy(LWPanelID pan) {
    if (PanelSystem* p = panels()) p->destroy(pan);
}

int panOpen(LWPanelID pan, int flags) {
    PanelSystem* p = panels();
    return p ? p->open(pan, flags) : 0;
}

int panHandle(LWPanelID pan, int flags) {
    PanelSystem* p = panels();
    return p ? p->handle(pan, flags) : -1;
}

void panDraw(LWPanelID pan, DrMode mode) {
    if (PanelSystem* p = panels()) p->draw(pan, mode);
}

void panClose(LWPanelID pan) {
    if (PanelSystem* p = panels()) p->close(pan);
}

void panGet(LWPanelID pan, pTag tag, void* value) {
    if (PanelSystem* p = panels()) p->get(pan, tag, value);
}

void panSet(LWPanelID pan, pTag tag, void* value) {
    if (PanelSystem* p = panels()) p->set(pan, tag, value);
}

LWControl* panAddControl(LWPanelID pan, char* type, ControlDesc* desc, char* label) {
    PanelSystem* p = panels();
    return p ? p->addControl(pan, type, desc, label) : nullptr;
}

LWControl* panNextControl(LWPanelID pan, LWControlID ctl) {
    PanelSystem* p = panels();
    return p ? p->nextControl(pan, ctl) : nullptr;
}

// ---- DrawFuncs: recorded in the panel's display list ----

unsigned int rgb(int r, int g, int b) {
    auto clamp = [](int v) { return unsigned(v < 0 ? 0 : v > 255 ? 255 : v); };
    return (clamp(r) << 16) | (clamp(g) << 8) | clamp(b);
}

void drawPixel(LWPanelID pan, int c, int x, int y) {
    if (PanelSystem* p = panels()) p->panelBox(pan, x, y, 1, 1, PanelSystem::rgbOf(c));
}

void drawRGBPixel(LWPanelID pan, int r, int g, int b, int x, int y) {
    if (PanelSystem* p = panels()) p->panelBox(pan, x, y, 1, 1, rgb(r, g, b));
}

void drawLine(LWPanelID pan, int c, int x0, int y0, int x1, int y1) {
    if (PanelSystem* p = panels()) p->panelLine(pan, x0, y0, x1, y1, PanelSystem::rgbOf(c));
}

void drawBox(LWPanelID pan, int c, int x, int y, int w, int h) {
    if (PanelSystem* p = panels()) p->panelBox(pan, x, y, w, h, PanelSystem::rgbOf(c));
}

void drawRGBBox(LWPanelID pan, int r, int g, int b, int x, int y, int w, int h) {
    if (PanelSystem* p = panels()) p->panelBox(pan, x, y, w, h, rgb(r, g, b));
}

void drawBorder(LWPanelID pan, int indent, int x, int y, int w, int h) {
    if (PanelSystem* p = panels()) p->panelBorder(pan, indent, x, y, w, h);
}

void drawText(LWPanelID pan, char* text, int c, int x, int y) {
    if (PanelSystem* p = panels()) p->panelText(pan, text, x, y, PanelSystem::rgbOf(c));
}

// A fixed-width font, so layout code gets stable numbers.
int textWidth(LWPanelID, char* text) {
    return PanelSystem::textWidth(text);
}

const LWDisplayMetrics* dispMetrics() {
    static const LWDisplayMetrics metrics = {1920, 1080, 1, 1, 1 << 24, 24, 16, 12};
    return &metrics;
}

// ---- LWRasterFuncs ----

void rasPixel(LWRasterID r, int c, int x, int y) {
    if (PanelSystem* p = panels()) p->rasterPixel(r, x, y, PanelSystem::rgbOf(c));
}

void rasRGBPixel(LWRasterID ras, int r, int g, int b, int x, int y) {
    if (PanelSystem* p = panels()) p->rasterPixel(ras, x, y, rgb(r, g, b));
}

void rasLine(LWRasterID r, int c, int x0, int y0, int x1, int y1) {
    if (PanelSystem* p = panels()) p->rasterLine(r, x0, y0, x1, y1, PanelSystem::rgbOf(c));
}

void rasBox(LWRasterID r, int c, int x, int y, int w, int h) {
    if (PanelSystem* p = panels()) p->rasterBox(r, x, y, w, h, PanelSystem::rgbOf(c));
}

void rasRGBBox(LWRasterID ras, int r, int g, int b, int x, int y, int w, int h) {
    if (PanelSystem* p = panels()) p->rasterBox(ras, x, y, w, h, rgb(r, g, b));
}

void rasErase(LWRasterID r, int x, int y, int w, int h) {
    if (PanelSystem* p = panels()) p->rasterBox(r, x, y, w, h, PanelSystem::rgbOf(LWP_BG));
}

void rasBorder(LWRasterID r, int indent, int x, int y, int w, int h) {
    if (PanelSystem* p = panels()) p->rasterBorder(r, indent, x, y, w, h);
}

// There are no glyphs to draw headless.
void rasText(LWRasterID, char*, int, int, int) {}

LWRasterID rasCreate(int w, int h, int flags) {
    PanelSystem* p = panels();
    return p ? p->createRaster(w, h, flags) : nullptr;
}

void rasDestroy(LWRasterID r) {
    if (PanelSystem* p = panels()) p->destroyRaster(r);
}

void rasBlitPanel(LWRasterID src, int sx, int sy, LWPanelID pan, int dx, int dy, int w, int h) {
    if (PanelSystem* p = panels()) p->blitPanel(src, sx, sy, pan, dx, dy, w, h);
}

void rasBlitRaster(LWRasterID src, int sx, int sy, LWRasterID dest, int dx, int dy, int w, int h) {
    if (PanelSystem* p = panels()) p->blitRaster(src, sx, sy, dest, dx, dy, w, h);
}

} // namespace

void fillPanelRecords(ServiceRecords& r) {
    r.panelFuncs.create = panCreate;
    r.panelFuncs.destroy = panDestroy;
    r.panelFuncs.open = panOpen;
    r.panelFuncs.handle = panHandle;
    r.panelFuncs.draw = panDraw;
    r.panelFuncs.close = panClose;
    r.panelFuncs.get = panGet;
    r.panelFuncs.set = panSet;
    r.panelFuncs.addControl = panAddControl;
    r.panelFuncs.nextControl = panNextControl;
    r.panelFuncs.drawFuncs = &r.panelDrawFuncs;
    r.panelFuncs.user_data = nullptr;
    r.panelFuncs.globalFun = ServiceTable::accessor;

    r.panelDrawFuncs.drawPixel = drawPixel;
    r.panelDrawFuncs.drawRGBPixel = drawRGBPixel;
    r.panelDrawFuncs.drawLine = drawLine;
    r.panelDrawFuncs.drawBox = drawBox;
    r.panelDrawFuncs.drawRGBBox = drawRGBBox;
    r.panelDrawFuncs.drawBorder = drawBorder;
    r.panelDrawFuncs.textWidth = textWidth;
    r.panelDrawFuncs.drawText = drawText;
    r.panelDrawFuncs.dispMetrics = dispMetrics;

    r.rasterFuncs.drawPixel = rasPixel;
    r.rasterFuncs.drawRGBPixel = rasRGBPixel;
    r.rasterFuncs.drawLine = rasLine;
    r.rasterFuncs.drawBox = rasBox;
    r.rasterFuncs.drawRGBBox = rasRGBBox;
    r.rasterFuncs.eraseBox = rasErase;
    r.rasterFuncs.drawBorder = rasBorder;
    r.rasterFuncs.drawText = rasText;
    r.rasterFuncs.create = rasCreate;
    r.rasterFuncs.destroy = rasDestroy;
    r.rasterFuncs.blitPanel = rasBlitPanel;
    r.rasterFuncs.blitRaster = rasBlitRaster;
}

} // namespace host
