#include "module/panel_controls.h"

#include <string.h>

namespace {

LWValue valueOfType(LWType type) {
    LWValue value;
    memset(&value, 0, sizeof value);
    value.type = type;
    return value;
}

} // namespace

LWControl* addPanelControl(LWPanelFuncs* panels, LWPanelID panel, const char* type,
                           LWPanControlDesc* desc, const char* label) {
    // Older hosts declare the texts char *; they are only read.
    return panels->addControl(panel, const_cast<char*>(type), desc, const_cast<char*>(label));
}

int controlInt(LWControlID id, cTag tag) {
    LWControl* control = static_cast<LWControl*>(id);
    LWValue value = valueOfType(LWT_INTEGER);
    control->get(control, tag, &value);
    return value.intv.value;
}

void setControlInt(LWControlID id, cTag tag, int n) {
    LWControl* control = static_cast<LWControl*>(id);
    LWValue value = valueOfType(LWT_INTEGER);
    value.intv.value = n;
    control->set(control, tag, &value);
}

double controlFloat(LWControlID id) {
    LWControl* control = static_cast<LWControl*>(id);
    LWValue value = valueOfType(LWT_FLOAT);
    control->get(control, CTL_VALUE, &value);
    return value.flt.value;
}

void setControlFloat(LWControlID id, double n) {
    LWControl* control = static_cast<LWControl*>(id);
    LWValue value = valueOfType(LWT_FLOAT);
    value.flt.value = n;
    control->set(control, CTL_VALUE, &value);
}

void setControlText(LWControlID id, const char* text) {
    LWControl* control = static_cast<LWControl*>(id);
    LWValue value = valueOfType(LWT_STRING);
    value.str.buf = const_cast<char*>(text);
    value.str.bufLen = int(strlen(text)) + 1;
    control->set(control, CTL_VALUE, &value);
}

void moveControl(LWControlID id, int x, int y) {
    LWControl* control = static_cast<LWControl*>(id);
    setControlInt(control, CTL_X, x);
    setControlInt(control, CTL_Y, y);
}

void setControlEvent(LWControlID id, LWCtlEventHook handler, void* data) {
    LWControl* control = static_cast<LWControl*>(id);
    LWValue value = valueOfType(LWT_POINTER);
    value.ptr.ptr = data;
    control->set(control, CTL_USERDATA, &value);
    value.ptr.ptr = reinterpret_cast<void*>(handler);
    control->set(control, CTL_USEREVENT, &value);
}
