// The XPanel service and its drawing functions. Nothing is on screen, so
// drawing does nothing; text is measured in a fixed-width font.
#include "services/service_records.h"
#include "services/services.h"
#include "ui/xpanels.h"

#include <cstring>

namespace host {

namespace {

XPanelSystem* xpanels() {
    ServiceTable* table = ServiceTable::currentOrNull();
    return table ? &table->sources().xpanels : nullptr;
}

LWXPanelID xpCreate(int type, LWXPanelControl* controls) {
    XPanelSystem* x = xpanels();
    return x ? x->create(type, controls) : nullptr;
}

void xpDestroy(LWXPanelID pan) {
    if (XPanelSystem* x = xpanels()) x->destroy(pan);
}

void xpDescribe(LWXPanelID pan, LWXPanelDataDesc* data, LWXPanelGetFunc* get,
                LWXPanelSetFunc* set) {
    if (XPanelSystem* x = xpanels()) x->describe(pan, data, get, set);
}

void xpHint(LWXPanelID pan, unsigned int id, LWXPanelHint* hints) {
    if (XPanelSystem* x = xpanels()) x->hint(pan, id, hints);
}

void* xpGetData(LWXPanelID pan, unsigned int id) {
    XPanelSystem* x = xpanels();
    return x ? x->getData(pan, id) : nullptr;
}

void xpSetData(LWXPanelID pan, unsigned int id, void* data) {
    if (XPanelSystem* x = xpanels()) x->setData(pan, id, data);
}

void* xpFormGet(LWXPanelID pan, unsigned int vid) {
    XPanelSystem* x = xpanels();
    return x ? x->formGet(pan, vid) : nullptr;
}

void xpFormSet(LWXPanelID pan, unsigned int vid, void* value) {
    if (XPanelSystem* x = xpanels()) x->formSet(pan, vid, value);
}

void xpViewInst(LWXPanelID pan, void* inst) {
    if (XPanelSystem* x = xpanels()) x->viewInst(pan, inst);
}

void xpViewRefresh(LWXPanelID pan) {
    if (XPanelSystem* x = xpanels()) x->viewRefresh(pan);
}

int xpPost(LWXPanelID pan) {
    XPanelSystem* x = xpanels();
    return x ? x->post(pan) : 0;
}

int xpOpen(LWXPanelID pan) {
    XPanelSystem* x = xpanels();
    return x ? x->open(pan) : 0;
}

void drawPixel(LWXPDrAreaID, int, int, int) {}
void drawRGBPixel(LWXPDrAreaID, int, int, int, int, int) {}
void drawLine(LWXPDrAreaID, int, int, int, int, int) {}
void drawBox(LWXPDrAreaID, int, int, int, int, int) {}
void drawRGBBox(LWXPDrAreaID, int, int, int, int, int, int, int) {}
void drawBorder(LWXPDrAreaID, int, int, int, int, int) {}
void drawText(LWXPDrAreaID, char*, int, int, int) {}

// The same font metrics the panel service reports.
int textWidth(LWXPDrAreaID, char* text) {
    return text ? int(std::strlen(text)) * 8 : 0;
}

int textHeight(LWXPDrAreaID, char* text) {
    return text ? 16 : 0;
}

} // namespace

void fillXPanelRecords(ServiceRecords& r) {
    r.xpanelFuncs.version = 1;
    r.xpanelFuncs.drawf = &r.xpanelDrawFuncs;
    r.xpanelFuncs.create = xpCreate;
    r.xpanelFuncs.destroy = xpDestroy;
    r.xpanelFuncs.describe = xpDescribe;
    r.xpanelFuncs.hint = xpHint;
    r.xpanelFuncs.getData = xpGetData;
    r.xpanelFuncs.setData = xpSetData;
    r.xpanelFuncs.formGet = xpFormGet;
    r.xpanelFuncs.formSet = xpFormSet;
    r.xpanelFuncs.viewInst = xpViewInst;
    r.xpanelFuncs.viewRefresh = xpViewRefresh;
    r.xpanelFuncs.post = xpPost;
    r.xpanelFuncs.open = xpOpen;

    r.xpanelDrawFuncs.drawPixel = drawPixel;
    r.xpanelDrawFuncs.drawRGBPixel = drawRGBPixel;
    r.xpanelDrawFuncs.drawLine = drawLine;
    r.xpanelDrawFuncs.drawBox = drawBox;
    r.xpanelDrawFuncs.drawRGBBox = drawRGBBox;
    r.xpanelDrawFuncs.drawBorder = drawBorder;
    r.xpanelDrawFuncs.textWidth = textWidth;
    r.xpanelDrawFuncs.textHeight = textHeight;
    r.xpanelDrawFuncs.drawText = drawText;
}

} // namespace host
