#include "ui/panels.h"

#include "host.h"
#include "common/host_error.h"
#include "common/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ostream>

namespace host {

namespace {

// How a control keeps its value.
enum class Kind { Item, String, Int, Float, IVec, FVec, Pointer, Button, Plain };

struct TypeName {
    const char* name;
    Kind kind;
    bool boolean;
};

const TypeName kTypes[] = {
    {"LWListControl", Kind::Item, false},
    {"LWItemControl", Kind::Item, false},
    {"LWPickListControl", Kind::Item, false},
    {"InfoControl", Kind::String, false},
    {"EditControl", Kind::String, false},
    {"FileControl", Kind::String, false},
    {"FileButtonControl", Kind::String, false},
    {"LoadControl", Kind::String, false},
    {"LoadButtonControl", Kind::String, false},
    {"SaveControl", Kind::String, false},
    {"SaveButtonControl", Kind::String, false},
    {"DirControl", Kind::String, false},
    {"DirButtonControl", Kind::String, false},
    {"BoolControl", Kind::Int, true},
    {"BoolButtonControl", Kind::Int, true},
    {"ChoiceControl", Kind::Int, false},
    {"TabChoiceControl", Kind::Int, false},
    {"PopupControl", Kind::Int, false},
    {"PopDownControl", Kind::Int, false},
    {"CustomPopupControl", Kind::Int, false},
    {"ListBoxControl", Kind::Int, false},
    {"MultiListBoxControl", Kind::Int, false},
    {"NumControl", Kind::Int, false},
    {"NumInfoControl", Kind::Int, false},
    {"SliderControl", Kind::Int, false},
    {"VSlideControl", Kind::Int, false},
    {"HSlideControl", Kind::Int, false},
    {"MiniSliderControl", Kind::Int, false},
    {"UnboundSlideControl", Kind::Int, false},
    {"DragButtonControl", Kind::Int, false},
    {"PaletteControl", Kind::Int, false},
    {"ColorControl", Kind::Int, false},
    {"FloatControl", Kind::Float, false},
    {"FloatInfoControl", Kind::Float, false},
    {"PercentControl", Kind::Float, false},
    {"AngleControl", Kind::Float, false},
    {"MiniDistanceControl", Kind::Float, false},
    {"VecControl", Kind::IVec, false},
    {"VecInfoControl", Kind::IVec, false},
    {"RGBControl", Kind::IVec, false},
    {"MiniRGBControl", Kind::IVec, false},
    {"MiniHSVControl", Kind::IVec, false},
    {"FVecControl", Kind::FVec, false},
    {"FVecInfoControl", Kind::FVec, false},
    {"RGBVecControl", Kind::FVec, false},
    {"ChannelControl", Kind::Pointer, false},
    {"TreeControl", Kind::Pointer, false},
    {"XPanelControl", Kind::Pointer, false},
    {"ButtonControl", Kind::Button, false},
    {"TextControl", Kind::Plain, false},
    {"AreaControl", Kind::Plain, false},
    {"OpenGLControl", Kind::Plain, false},
    {"CanvasControl", Kind::Plain, false},
    {"DragAreaControl", Kind::Plain, false},
    {"BorderControl", Kind::Plain, false},
};

constexpr int kCharWidth = 8;
constexpr int kRowHeight = 20;
constexpr int kGap = 4;

bool isFloatType(LWType t) {
    return t == LWT_FLOAT || t == LWT_DISTANCE || t == LWT_PERCENT;
}

bool isIntType(LWType t) {
    return t == LWT_INTEGER || t == LWT_BOOLEAN || t == LWT_CHOICE || t == LWT_RANGE ||
           t == LWT_POPUP;
}

void copyOut(const std::string& text, LWValue* v) {
    if (!v->str.buf || v->str.bufLen <= 0) return;
    size_t n = std::min(text.size(), size_t(v->str.bufLen - 1));
    std::memcpy(v->str.buf, text.data(), n);
    v->str.buf[n] = '\0';
}

std::string copyIn(const LWValue* v) {
    if (!v->str.buf) return "";
    size_t n =
        v->str.bufLen > 0 ? strnlen(v->str.buf, size_t(v->str.bufLen)) : std::strlen(v->str.buf);
    return std::string(v->str.buf, n);
}

bool parseWholeInt(const std::string& text, long& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno || *end || v < -2147483647L - 1 || v > 2147483647L) return false;
    out = v;
    return true;
}

bool parseWholeDouble(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(text.c_str(), &end);
    if (errno || *end || !std::isfinite(v)) return false;
    out = v;
    return true;
}

// "1 2 3" or "1,2,3".
bool parseTriple(const std::string& text, double out[3]) {
    std::string t = text;
    std::replace(t.begin(), t.end(), ',', ' ');
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < t.size()) {
        while (i < t.size() && t[i] == ' ')
            ++i;
        size_t j = i;
        while (j < t.size() && t[j] != ' ')
            ++j;
        if (j > i) parts.push_back(t.substr(i, j - i));
        i = j;
    }
    if (parts.size() != 3) return false;
    for (int k = 0; k < 3; ++k)
        if (!parseWholeDouble(parts[size_t(k)], out[k])) return false;
    return true;
}

// A grey ramp with a few accents; headless, so only consistency matters.
const unsigned int kPalette[44] = {
    0x000000, 0xFFFFFF, 0x6E6E6E, 0x000000, 0xFFFFFF, 0x505050, 0xE0E0E0, 0x808080, 0x9A9A9A,
    0x202020, 0xF0E68C, 0x8A8A8A, 0x000000, 0x3C3C3C, 0x5A5A5A, 0x828282, 0xC8C8C8, 0xFFF5B4,
    0xF0E08C, 0xE0CC64, 0xC8B446, 0xAA962D, 0x8C7819, 0xB4E6F0, 0x8CD2E6, 0x64BED8, 0x46A0BE,
    0x2D82A0, 0x196482, 0xE6D2F0, 0xD2B4E6, 0xBE96D8, 0xA078BE, 0x825AA0, 0x643C82, 0xDCE6B4,
    0xC8D296, 0xB4BE78, 0x96A05A, 0x78823C, 0x5A6428, 0x646464, 0x5A5A5A, 0x505050,
};

} // namespace

struct PanelSystem::Control {
    LWControl rec{};
    LWPanelID panel = nullptr;
    std::string type;
    std::string label;
    Kind kind = Kind::Plain;
    bool boolean = false;

    void* item = nullptr;
    int itemType = LWI_ANY;
    std::string text;
    double num[3] = {0, 0, 0};
    void* pointer = nullptr;

    // Names a choice answers to: a NULL-ended array or the popup's functions.
    const char** choices = nullptr;
    int (*countFn)(void*) = nullptr;
    char* (*nameFn)(void*, int) = nullptr;
    bool ranged = false;
    int rangeMin = 0, rangeMax = 0;

    int x = 0, y = 0, w = 0, h = 0, labelWidth = 0;
    int flags = 0;
    void* userData = nullptr;
    void* userDraw = nullptr;
    void* userEvent = nullptr;
    bool drawing = false;
};

struct PanelSystem::Panel {
    std::string title;
    std::vector<std::unique_ptr<Control>> controls;
    int x = 0, y = 0, w = 0, h = 0;
    bool sized = false;
    int flags = 0;
    bool open = false;
    int result = 0;
    void* userData = nullptr;
    void* instance = nullptr;
    void* hooks[PAN_MOUSEWHEEL + 1] = {};
    bool drawing = false;
};

struct PanelSystem::Raster {
    int w = 0, h = 0;
    std::vector<unsigned int> pixels;
};

namespace {

template <class F> F hookAs(void* p) {
    return reinterpret_cast<F>(p);
}

void ctlDraw(LWControlID c, DrMode mode) {
    if (Host* h = Host::currentOrNull()) h->panels().controlDraw(c, mode);
}

void ctlGet(LWControlID c, cTag tag, LWValue* v) {
    if (Host* h = Host::currentOrNull()) h->panels().controlGet(c, tag, v);
}

void ctlSet(LWControlID c, cTag tag, LWValue* v) {
    if (Host* h = Host::currentOrNull()) h->panels().controlSet(c, tag, v);
}

} // namespace

PanelSystem::PanelSystem(Host& host) : host_(host) {}

PanelSystem::~PanelSystem() = default;

PanelSystem::Panel* PanelSystem::findPanel(LWPanelID panel) const {
    if (!panel) return nullptr;
    for (const auto& p : panels_)
        if (p.get() == panel) return p.get();
    return nullptr;
}

PanelSystem::Control* PanelSystem::findControl(LWControlID control) const {
    if (!control) return nullptr;
    for (const auto& p : panels_)
        for (const auto& c : p->controls)
            if (&c->rec == control) return c.get();
    return nullptr;
}

PanelSystem::Raster* PanelSystem::findRaster(LWRasterID raster) const {
    if (!raster) return nullptr;
    for (const auto& r : rasters_)
        if (r.get() == raster) return r.get();
    return nullptr;
}

void PanelSystem::fail(const std::string& message) {
    // The first failure is the one the script reports.
    if (pendingError_.empty()) pendingError_ = message;
}

std::string PanelSystem::takePendingError() {
    std::string error;
    error.swap(pendingError_);
    return error;
}

std::string PanelSystem::shown(const std::string& text) const {
    return host_.services().japanese() ? shiftJisToUtf8(text) : text;
}

// ---- panels ----

LWPanelID PanelSystem::create(const char* title, void* data) {
    auto panel = std::make_unique<Panel>();
    panel->title = title ? title : "";
    panel->userData = data;
    panels_.push_back(std::move(panel));
    return panels_.back().get();
}

void PanelSystem::destroy(LWPanelID panel) {
    for (auto it = panels_.begin(); it != panels_.end(); ++it)
        if (it->get() == panel) {
            panels_.erase(it);
            return;
        }
}

void PanelSystem::callPanelHook(Panel* panel, void* hook) {
    if (hook) hookAs<LWPanHook>(hook)(panel, panel->userData);
}

int PanelSystem::open(LWPanelID id, int flags) {
    Panel* panel = findPanel(id);
    if (!panel) return 0;
    panel->flags = flags;
    if (!panel->open) {
        panel->open = true;
        callPanelHook(panel, panel->hooks[PAN_USEROPEN]);
        if (!findPanel(id)) return 0;
    }
    draw(id, DR_RENDER);
    if (!findPanel(id)) return 0;
    if (!(flags & PANF_BLOCKING)) return 1;

    int result = answer(*panel);
    if (!findPanel(id)) return result;
    panel->result = result;
    close(id);
    return result;
}

int PanelSystem::handle(LWPanelID id, int flags) {
    Panel* panel = findPanel(id);
    if (!panel || !panel->open) return -1;
    if (!(flags & EVNT_BLOCKING)) return 0;
    // A blocking wait would never end headless: the person answers now.
    int result = answer(*panel);
    if (!findPanel(id)) return -1;
    panel->result = result;
    close(id);
    return -1;
}

int PanelSystem::answer(Panel& panelRef) {
    LWPanelID id = &panelRef;
    const std::string title = shown(panelRef.title);
    if (responses_.empty()) {
        fail("panel \"" + title + "\" opened with no response queued (use Respond)");
        return 0;
    }
    Response response = std::move(responses_.front());
    responses_.pop_front();

    // Everything is checked before anything changes: a bad response leaves
    // the panel as the module set it.
    struct Staged {
        Control* control;
        LWValue value;
        void* item;
        std::string text;
    };
    std::vector<Staged> staged;
    for (const auto& pair : response.values) {
        Control* control = nullptr;
        for (const auto& c : panelRef.controls)
            if (c->label == pair.first) {
                control = c.get();
                break;
            }
        if (!control) {
            fail("panel \"" + title + "\" has no control \"" + pair.first + "\"");
            return 0;
        }
        if (control->flags & (CTLF_DISABLE | CTLF_INVISIBLE)) {
            fail("control \"" + pair.first + "\" of panel \"" + title + "\" is disabled");
            return 0;
        }
        Staged s{control, LWValue{}, nullptr, pair.second};
        std::string error = convert(panelRef, *control, pair.second, s.value, s.item);
        if (!error.empty()) {
            fail("panel \"" + title + "\", control \"" + pair.first + "\": " + error);
            return 0;
        }
        staged.push_back(std::move(s));
    }

    host_.out() << "panel: " << title << " -> " << (response.ok ? "OK" : "Cancel") << "\n";
    int result = response.ok ? 1 : 0;
    for (Staged& s : staged) {
        Control& c = *s.control;
        switch (c.kind) {
        case Kind::Item:
            c.item = s.item;
            break;
        case Kind::String:
            c.text = s.text;
            break;
        case Kind::Int:
        case Kind::Float:
            c.num[0] = s.value.flt.value;
            break;
        case Kind::IVec:
        case Kind::FVec:
            for (int k = 0; k < 3; ++k)
                c.num[k] = s.value.fvec.val[k];
            break;
        default:
            break;
        }
        // The person changed the control: its event runs as it would.
        if (c.userEvent) {
            hookAs<LWCtlEventHook>(c.userEvent)(&c.rec, c.userData);
            if (!findPanel(id)) return result;
        }
    }
    return result;
}

std::string PanelSystem::convert(const Panel&, const Control& c, const std::string& text,
                                 LWValue& out, void*& item) const {
    switch (c.kind) {
    case Kind::Item: {
        if (text == "(none)") {
            item = nullptr;
            return "";
        }
        const Item* other = nullptr;
        for (const Item* candidate : host_.scene().items()) {
            if (candidate->name != text) continue;
            if (c.itemType == LWI_ANY || candidate->type == c.itemType) {
                item = candidate->id;
                return "";
            }
            other = candidate;
        }
        if (c.itemType == LWI_IMAGE) return "no image named '" + text + "'";
        if (other)
            return "'" + text + "' is a " + itemTypeName(other->type) + "; the list shows " +
                   itemTypeName(c.itemType) + " items";
        return "no item named '" + text + "'";
    }
    case Kind::String:
        return "";
    case Kind::Int: {
        long n = 0;
        if (c.boolean) {
            if (text == "1" || text == "on" || text == "true" || text == "yes")
                n = 1;
            else if (text == "0" || text == "off" || text == "false" || text == "no")
                n = 0;
            else
                return "'" + text + "' is not on or off";
        } else if (!parseWholeInt(text, n)) {
            // A choice also answers to the name of one of its entries.
            bool named = false;
            if (c.choices) {
                for (int i = 0; c.choices[i] && i < 10000; ++i)
                    if (text == c.choices[i]) {
                        n = i;
                        named = true;
                        break;
                    }
            } else if (c.countFn && c.nameFn) {
                int count = c.countFn(c.userData);
                for (int i = 0; i < count && i < 100000; ++i) {
                    const char* name = c.nameFn(c.userData, i);
                    if (name && text == name) {
                        n = i;
                        named = true;
                        break;
                    }
                }
            }
            if (!named)
                return (c.choices || c.countFn) ? "no entry '" + text + "'"
                                                : "'" + text + "' is not a whole number";
        }
        if (c.choices) {
            long count = 0;
            while (c.choices[count] && count < 10000)
                ++count;
            if (n < 0 || n >= count) return "entry " + std::to_string(n) + " out of range";
        }
        if (c.ranged && (n < c.rangeMin || n > c.rangeMax))
            return text + " is outside " + std::to_string(c.rangeMin) + " to " +
                   std::to_string(c.rangeMax);
        out.flt.value = double(n);
        return "";
    }
    case Kind::Float: {
        double d = 0;
        if (!parseWholeDouble(text, d)) return "'" + text + "' is not a number";
        if (c.ranged && (d < c.rangeMin || d > c.rangeMax))
            return text + " is outside " + std::to_string(c.rangeMin) + " to " +
                   std::to_string(c.rangeMax);
        out.flt.value = d;
        return "";
    }
    case Kind::IVec:
    case Kind::FVec: {
        double v[3];
        if (!parseTriple(text, v)) return "'" + text + "' is not three numbers";
        for (int k = 0; k < 3; ++k)
            out.fvec.val[k] = c.kind == Kind::IVec ? std::round(v[k]) : v[k];
        return "";
    }
    case Kind::Button:
        // Any value presses it.
        return "";
    case Kind::Pointer:
    case Kind::Plain:
        break;
    }
    return "a " + c.type + " takes no value";
}

void PanelSystem::draw(LWPanelID id, DrMode mode) {
    Panel* panel = findPanel(id);
    if (!panel || panel->drawing || !panel->hooks[PAN_USERDRAW]) return;
    panel->drawing = true;
    hookAs<LWPanDrawHook>(panel->hooks[PAN_USERDRAW])(id, panel->userData, mode);
    if ((panel = findPanel(id))) panel->drawing = false;
}

void PanelSystem::close(LWPanelID id) {
    Panel* panel = findPanel(id);
    if (!panel || !panel->open) return;
    panel->open = false;
    callPanelHook(panel, panel->hooks[PAN_USERCLOSE]);
}

void PanelSystem::get(LWPanelID id, pTag tag, void* value) {
    Panel* panel = findPanel(id);
    if (!panel || !value) return;
    int* i = static_cast<int*>(value);
    void** p = static_cast<void**>(value);
    switch (tag) {
    case PAN_X:
        *i = panel->x;
        break;
    case PAN_Y:
        *i = panel->y;
        break;
    case PAN_W:
    case PAN_H: {
        int w = panel->w, h = panel->h;
        if (!panel->sized) {
            // Room for the controls and the OK/Cancel row.
            w = 200;
            h = 0;
            for (const auto& c : panel->controls) {
                w = std::max(w, c->x + c->w + 2 * kGap);
                h = std::max(h, c->y + c->h);
            }
            h += kRowHeight + 4 * kGap;
        }
        *i = tag == PAN_W ? w : h;
        break;
    }
    case PAN_MOUSEX:
    case PAN_MOUSEY:
    case PAN_QUALIFIERS:
        *i = 0;
        break;
    case PAN_FLAGS:
        *i = panel->flags;
        break;
    case PAN_USERDRAW:
    case PAN_USERACTIVATE:
    case PAN_USEROPEN:
    case PAN_USERCLOSE:
    case PAN_USERKEYS:
    case PAN_MOUSEBUTTON:
    case PAN_MOUSEMOVE:
    case PAN_USERKEYUPS:
    case PAN_MOUSEWHEEL:
        *p = panel->hooks[tag];
        break;
    case PAN_TITLE:
        *static_cast<const char**>(value) = panel->title.c_str();
        break;
    case PAN_USERDATA:
        *p = panel->userData;
        break;
    case PAN_LWINSTANCE:
        *p = panel->instance;
        break;
    case PAN_PANFUN:
        *p = &host_.services().records().panelFuncs;
        break;
    case PAN_VERSION:
        *i = LWPANELS_API_VERSION;
        break;
    case PAN_RESULT:
        *i = panel->result;
        break;
    case PAN_HOSTDISPLAY:
        *p = nullptr;
        break;
    case PAN_TO_FRONT:
        break;
    }
}

void PanelSystem::set(LWPanelID id, pTag tag, void* value) {
    Panel* panel = findPanel(id);
    if (!panel) return;
    const int* i = static_cast<const int*>(value);
    switch (tag) {
    case PAN_X:
        if (i) panel->x = *i;
        break;
    case PAN_Y:
        if (i) panel->y = *i;
        break;
    case PAN_W:
    case PAN_H:
        if (!i) break;
        if (!panel->sized) {
            int w = 0, h = 0;
            get(id, PAN_W, &w);
            get(id, PAN_H, &h);
            panel->w = w;
            panel->h = h;
            panel->sized = true;
        }
        (tag == PAN_W ? panel->w : panel->h) = std::max(0, *i);
        break;
    case PAN_FLAGS:
        if (i) panel->flags = *i;
        break;
    case PAN_USERDRAW:
    case PAN_USERACTIVATE:
    case PAN_USEROPEN:
    case PAN_USERCLOSE:
    case PAN_USERKEYS:
    case PAN_MOUSEBUTTON:
    case PAN_MOUSEMOVE:
    case PAN_USERKEYUPS:
    case PAN_MOUSEWHEEL:
        panel->hooks[tag] = value;
        break;
    case PAN_TITLE:
        panel->title = value ? static_cast<const char*>(value) : "";
        break;
    case PAN_USERDATA:
        panel->userData = value;
        break;
    case PAN_LWINSTANCE:
        panel->instance = value;
        break;
    default:
        break;
    }
}

// ---- controls ----

LWControl* PanelSystem::addControl(LWPanelID id, const char* typeName, const ControlDesc* desc,
                                   const char* label) {
    Panel* panel = findPanel(id);
    if (!panel || !typeName) return nullptr;
    const TypeName* type = nullptr;
    for (const TypeName& t : kTypes)
        if (std::strcmp(t.name, typeName) == 0) type = &t;
    if (!type) return nullptr;

    auto control = std::make_unique<Control>();
    Control& c = *control;
    c.rec.draw = ctlDraw;
    c.rec.get = ctlGet;
    c.rec.set = ctlSet;
    c.rec.priv_data = &c;
    c.panel = id;
    c.type = typeName;
    c.label = label ? label : "";
    c.kind = type->kind;
    c.boolean = type->boolean;
    if (desc) {
        switch (desc->type) {
        case LWT_LWITEM:
            c.itemType = desc->lwitem.itemType;
            break;
        case LWT_CHOICE:
            c.choices = desc->choice.items;
            break;
        case LWT_POPUP:
            c.countFn = desc->popup.countFn;
            c.nameFn = desc->popup.nameFn;
            break;
        case LWT_RANGE:
            c.ranged = true;
            c.rangeMin = desc->range.min;
            c.rangeMax = desc->range.max;
            break;
        default:
            break;
        }
        if (std::strcmp(typeName, "ListBoxControl") == 0) {
            c.countFn = desc->listbox.countFn;
            c.nameFn = desc->listbox.nameFn;
        }
    }
    layout(*panel, c, desc);
    panel->controls.push_back(std::move(control));
    return &c.rec;
}

void PanelSystem::layout(Panel& panel, Control& c, const ControlDesc* desc) {
    // One control per row, label on the left, as the panel would stack them.
    c.x = kGap;
    c.y = kGap;
    if (!panel.controls.empty()) {
        const Control& last = *panel.controls.back();
        c.y = last.y + last.h + kGap;
    }
    c.labelWidth = c.label.empty() ? 0 : int(c.label.size()) * kCharWidth + kGap;
    int hotW = 20 * kCharWidth;
    c.h = kRowHeight;
    if (desc) {
        switch (desc->type) {
        case LWT_STRING:
            if (desc->string.width > 0) hotW = desc->string.width * kCharWidth;
            break;
        case LWT_RANGE:
            if (desc->range.width > 0) hotW = desc->range.width;
            break;
        case LWT_AREA:
            if (desc->area.width > 0) hotW = desc->area.width;
            if (desc->area.height > 0) c.h = desc->area.height;
            break;
        case LWT_LWITEM:
            if (desc->lwitem.width > 0) hotW = desc->lwitem.width;
            break;
        case LWT_POPUP:
            if (desc->popup.width > 0) hotW = desc->popup.width;
            break;
        case LWT_TEXT: {
            int lines = 0;
            for (const char** t = desc->text.text; t && *t && lines < 1000; ++t)
                ++lines;
            c.h = std::max(1, lines) * (kRowHeight - 4);
            break;
        }
        default:
            break;
        }
    }
    c.w = c.labelWidth + std::min(hotW, 4096);
}

LWControl* PanelSystem::nextControl(LWPanelID id, LWControlID control) {
    Panel* panel = findPanel(id);
    if (!panel) return nullptr;
    if (!control) return panel->controls.empty() ? nullptr : &panel->controls.front()->rec;
    for (size_t i = 0; i < panel->controls.size(); ++i)
        if (&panel->controls[i]->rec == control)
            return i + 1 < panel->controls.size() ? &panel->controls[i + 1]->rec : nullptr;
    return nullptr;
}

void PanelSystem::controlDraw(LWControlID id, DrMode mode) {
    Control* c = findControl(id);
    if (!c) return;
    switch (mode) {
    case DR_GHOST:
        c->flags |= CTLF_DISABLE;
        break;
    case DR_ERASE:
        c->flags |= CTLF_INVISIBLE;
        break;
    case DR_RENDER:
        c->flags &= ~(CTLF_DISABLE | CTLF_INVISIBLE);
        break;
    case DR_REFRESH:
        break;
    }
    if (c->userDraw && !c->drawing) {
        c->drawing = true;
        hookAs<LWCtlDrawHook>(c->userDraw)(id, c->userData, mode);
        if ((c = findControl(id))) c->drawing = false;
    }
}

void PanelSystem::controlGet(LWControlID id, cTag tag, LWValue* v) {
    Control* c = findControl(id);
    if (!c || !v) return;
    switch (tag) {
    case CTL_VALUE:
        switch (c->kind) {
        case Kind::Item:
            if (v->type == LWT_INTEGER)
                // What 32-bit code keeps of an ID; a set with it finds the item again.
                v->intv.value = int(Scene::fileId(c->item));
            else if (v->type == LWT_STRING) {
                const Item* item = host_.scene().find(LWItemID(c->item));
                copyOut(item ? item->name : "", v);
            } else
                v->ptr.ptr = c->item;
            break;
        case Kind::String:
            copyOut(c->text, v);
            break;
        case Kind::IVec:
        case Kind::FVec:
            if (v->type == LWT_VINT ||
                (v->type != LWT_VFLOAT && v->type != LWT_VDIST && c->kind == Kind::IVec)) {
                for (int k = 0; k < 3; ++k)
                    v->ivec.val[k] = int(std::lround(c->num[k]));
            } else {
                for (int k = 0; k < 3; ++k)
                    v->fvec.val[k] = c->num[k];
            }
            break;
        case Kind::Pointer:
            v->ptr.ptr = c->pointer;
            break;
        default:
            if (isFloatType(v->type) || (!isIntType(v->type) && c->kind == Kind::Float))
                v->flt.value = c->num[0];
            else
                v->intv.value = int(std::lround(c->num[0]));
            break;
        }
        break;
    case CTL_X:
        v->intv.value = c->x;
        break;
    case CTL_Y:
    case CTL_HOTY:
        v->intv.value = c->y;
        break;
    case CTL_W:
        v->intv.value = c->w;
        break;
    case CTL_H:
    case CTL_HOTH:
        v->intv.value = c->h;
        break;
    case CTL_HOTX:
        v->intv.value = c->x + c->labelWidth;
        break;
    case CTL_HOTW:
        v->intv.value = c->w - c->labelWidth;
        break;
    case CTL_LABELWIDTH:
        v->intv.value = c->labelWidth;
        break;
    case CTL_MOUSEX:
    case CTL_MOUSEY:
    case CTL_MOUSEBUTTON:
    case CTL_ACTIVATE:
        v->intv.value = 0;
        break;
    case CTL_FLAGS:
        v->intv.value = c->flags;
        break;
    case CTL_USERDRAW:
        v->ptr.ptr = c->userDraw;
        break;
    case CTL_USEREVENT:
        v->ptr.ptr = c->userEvent;
        break;
    case CTL_USERDATA:
        v->ptr.ptr = c->userData;
        break;
    case CTL_LABEL:
        // buf and ptr share their place: a buffer gets a copy, else the text itself.
        if (v->str.buf && v->str.bufLen > 0)
            copyOut(c->label, v);
        else
            v->ptr.ptr = const_cast<char*>(c->label.c_str());
        break;
    case CTL_PANEL:
        v->ptr.ptr = c->panel;
        break;
    case CTL_PANFUN:
        v->ptr.ptr = &host_.services().records().panelFuncs;
        break;
    case CTL_RANGEMIN:
        v->intv.value = c->rangeMin;
        break;
    case CTL_RANGEMAX:
        v->intv.value = c->rangeMax;
        break;
    }
}

void PanelSystem::controlSet(LWControlID id, cTag tag, LWValue* v) {
    Control* c = findControl(id);
    if (!c || !v) return;
    switch (tag) {
    case CTL_VALUE:
        switch (c->kind) {
        case Kind::Item:
            if (v->type == LWT_INTEGER) {
                // A truncated ID: the item whose low 32 bits these are.
                auto low = std::uint32_t(v->intv.value);
                Item* item = low ? host_.scene().findByFileId(low) : nullptr;
                c->item = item ? item->id : reinterpret_cast<void*>(std::uintptr_t(low));
            } else
                c->item = v->ptr.ptr;
            break;
        case Kind::String:
            c->text = copyIn(v);
            break;
        case Kind::IVec:
        case Kind::FVec:
            if (v->type == LWT_VINT ||
                (v->type != LWT_VFLOAT && v->type != LWT_VDIST && c->kind == Kind::IVec)) {
                for (int k = 0; k < 3; ++k)
                    c->num[k] = v->ivec.val[k];
            } else {
                for (int k = 0; k < 3; ++k)
                    c->num[k] = c->kind == Kind::IVec ? std::round(v->fvec.val[k]) : v->fvec.val[k];
            }
            break;
        case Kind::Pointer:
            c->pointer = v->ptr.ptr;
            break;
        default: {
            double d = (isFloatType(v->type) || (!isIntType(v->type) && c->kind == Kind::Float))
                           ? v->flt.value
                           : double(v->intv.value);
            if (c->kind != Kind::Float) d = std::round(d);
            if (c->boolean) d = d != 0 ? 1 : 0;
            c->num[0] = d;
            break;
        }
        }
        break;
    case CTL_X:
        c->x = v->intv.value;
        break;
    case CTL_Y:
        c->y = v->intv.value;
        break;
    case CTL_W:
        c->w = std::max(0, v->intv.value);
        break;
    case CTL_H:
        c->h = std::max(0, v->intv.value);
        break;
    case CTL_LABELWIDTH:
        c->labelWidth = std::max(0, v->intv.value);
        break;
    case CTL_FLAGS:
        c->flags = v->intv.value;
        break;
    case CTL_USERDRAW:
        c->userDraw = v->ptr.ptr;
        break;
    case CTL_USEREVENT:
        c->userEvent = v->ptr.ptr;
        break;
    case CTL_USERDATA:
        c->userData = v->ptr.ptr;
        break;
    case CTL_LABEL:
        c->label = copyIn(v);
        break;
    case CTL_RANGEMIN:
        c->rangeMin = v->intv.value;
        c->ranged = true;
        break;
    case CTL_RANGEMAX:
        c->rangeMax = v->intv.value;
        c->ranged = true;
        break;
    default:
        break;
    }
}

// ---- responses ----

void PanelSystem::queueResponse(const std::vector<std::string>& words) {
    if (words.empty() || (words[0] != "OK" && words[0] != "Cancel"))
        throw HostError("a response starts with OK or Cancel");
    Response response;
    response.ok = words[0] == "OK";
    for (size_t i = 1; i < words.size(); ++i) {
        size_t eq = words[i].find('=');
        if (eq == std::string::npos || eq == 0)
            throw HostError("expected LABEL=VALUE, not '" + words[i] + "'");
        response.values.emplace_back(words[i].substr(0, eq), words[i].substr(eq + 1));
    }
    responses_.push_back(std::move(response));
}

// ---- rasters ----

unsigned int PanelSystem::rgbOf(int colour) {
    auto c = unsigned(colour);
    if ((c & 0xFF000000u) == 0x01000000u) {
        // RGB_ keeps blue above green.
        unsigned r = (c >> 16) & 0xFF, b = (c >> 8) & 0xFF, g = c & 0xFF;
        return (r << 16) | (g << 8) | b;
    }
    int index = colour - SYSTEM_Ic(0);
    if (index >= 0 && index < int(sizeof kPalette / sizeof kPalette[0])) return kPalette[index];
    return 0;
}

LWRasterID PanelSystem::createRaster(int w, int h, int) {
    // Bounded so a wild size is refused rather than exhausting memory.
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384 || long(w) * long(h) > 64L * 1024 * 1024)
        return nullptr;
    auto raster = std::make_unique<Raster>();
    raster->w = w;
    raster->h = h;
    raster->pixels.assign(size_t(w) * size_t(h), rgbOf(LWP_BG));
    rasters_.push_back(std::move(raster));
    return rasters_.back().get();
}

void PanelSystem::destroyRaster(LWRasterID id) {
    for (auto it = rasters_.begin(); it != rasters_.end(); ++it)
        if (it->get() == id) {
            rasters_.erase(it);
            return;
        }
}

void PanelSystem::rasterPixel(LWRasterID id, int x, int y, unsigned int colour) {
    Raster* r = findRaster(id);
    if (!r || x < 0 || y < 0 || x >= r->w || y >= r->h) return;
    r->pixels[size_t(y) * size_t(r->w) + size_t(x)] = colour & 0xFFFFFF;
}

void PanelSystem::rasterBox(LWRasterID id, int x, int y, int w, int h, unsigned int colour) {
    Raster* r = findRaster(id);
    if (!r || w <= 0 || h <= 0) return;
    long x0 = std::max(0L, long(x)), y0 = std::max(0L, long(y));
    long x1 = std::min(long(r->w), long(x) + w), y1 = std::min(long(r->h), long(y) + h);
    for (long py = y0; py < y1; ++py)
        for (long px = x0; px < x1; ++px)
            r->pixels[size_t(py) * size_t(r->w) + size_t(px)] = colour & 0xFFFFFF;
}

void PanelSystem::rasterLine(LWRasterID id, int x0, int y0, int x1, int y1, unsigned int colour) {
    Raster* r = findRaster(id);
    if (!r) return;
    // Endpoints far outside would only cost time: nothing there is drawn.
    const long limit = 1L << 20;
    if (std::labs(x0) > limit || std::labs(y0) > limit || std::labs(x1) > limit ||
        std::labs(y1) > limit)
        return;
    long dx = std::labs(long(x1) - x0), dy = -std::labs(long(y1) - y0);
    long sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long err = dx + dy, x = x0, y = y0;
    for (;;) {
        rasterPixel(id, int(x), int(y), colour);
        if (x == x1 && y == y1) break;
        long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void PanelSystem::rasterBorder(LWRasterID id, int indent, int x, int y, int w, int h) {
    if (!findRaster(id) || w <= 0) return;
    unsigned light = rgbOf(LWP_HILIGHT), dark = rgbOf(LWP_SHADOW);
    if (h == 0) {
        rasterBox(id, x, y, w, 1, dark);
        rasterBox(id, x, y + 1, w, 1, light);
        return;
    }
    if (h < 0) return;
    // A negative indent is sunken: the shading swaps.
    if (indent < 0) std::swap(light, dark);
    int t = std::min(std::abs(indent), std::min(w, h) / 2);
    rasterBox(id, x, y, w, t, light);
    rasterBox(id, x, y, t, h, light);
    rasterBox(id, x, y + h - t, w, t, dark);
    rasterBox(id, x + w - t, y, t, h, dark);
}

void PanelSystem::blitRaster(LWRasterID srcId, int sx, int sy, LWRasterID destId, int dx, int dy,
                             int w, int h) {
    Raster* src = findRaster(srcId);
    Raster* dest = findRaster(destId);
    if (!src || !dest || w <= 0 || h <= 0) return;
    w = std::min(w, src->w);
    h = std::min(h, src->h);
    // Copied out first: source and destination may be the same raster.
    std::vector<long> colours(size_t(w) * size_t(h), -1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            long px = long(sx) + x, py = long(sy) + y;
            if (px >= 0 && py >= 0 && px < src->w && py < src->h)
                colours[size_t(y) * size_t(w) + size_t(x)] =
                    long(src->pixels[size_t(py) * size_t(src->w) + size_t(px)]);
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            long colour = colours[size_t(y) * size_t(w) + size_t(x)];
            long px = long(dx) + x, py = long(dy) + y;
            if (colour >= 0 && px >= 0 && py >= 0 && px < dest->w && py < dest->h)
                dest->pixels[size_t(py) * size_t(dest->w) + size_t(px)] = unsigned(colour);
        }
}

bool PanelSystem::readRasterPixel(LWRasterID id, int x, int y, unsigned int* rgb) const {
    Raster* r = findRaster(id);
    if (!r || !rgb || x < 0 || y < 0 || x >= r->w || y >= r->h) return false;
    *rgb = r->pixels[size_t(y) * size_t(r->w) + size_t(x)];
    return true;
}

} // namespace host
