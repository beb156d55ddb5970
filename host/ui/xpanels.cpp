#include "ui/xpanels.h"

#include "common/host_error.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace host {

namespace {

const double kPi = 3.141592653589793;

// How a value is held: the C type the get/set callbacks exchange.
enum class Kind { None, String, Int, Float, Float3, Button, Unsupported };
// How a number is typed and shown.
enum class Unit { Plain, Percent, Angle };
// How an integer is typed and shown.
enum class Look { Plain, Boolean, Choice, Axis };

struct ValueType {
    Kind kind = Kind::None;
    Unit unit = Unit::Plain;
    Look look = Look::Plain;
    std::string name;
};

struct Control {
    unsigned int cid = 0;
    unsigned int vid = 0;
    std::string label;
    std::string hinted;
    std::string ctrlClass;
    int min = 0, max = 0;
    bool hasMin = false, hasMax = false, hardMin = false, hardMax = false;
    bool hasList = false;
    std::vector<std::string> list;
    LWXPanelPopCntFunc* popCount = nullptr;
    LWXPanelPopNameFunc* popName = nullptr;
    LWXPanelBtnClickFunc* button = nullptr;
};

struct DataDesc {
    unsigned int vid = 0;
    std::string name;
    std::string type;
};

// A FORM panel's own copy of a value.
struct Stored {
    unsigned int vid = 0;
    int i = 0;
    double d[3] = {0, 0, 0};
    std::string s;
};

// The words of one typed value, in the form set and formSet take.
struct Value {
    int i = 0;
    double d[3] = {0, 0, 0};
    std::vector<char> s;
    void* pointer(Kind kind) {
        if (kind == Kind::String) return s.data();
        if (kind == Kind::Int) return &i;
        return d;
    }
};

const char* defaultType(const std::string& cls) {
    static const char* const strings[] = {"string", "sPresetText", "sFileName", "sInfo"};
    static const char* const integers[] = {"integer",       "iBoolean",     "iSlider",
                                           "iSliderText",   "iChoice",      "iPopChoice",
                                           "iChoTransform", "iPopTransform"};
    static const char* const same[] = {"float",  "distance", "percent",   "angle",
                                       "time",   "float3",   "distance3", "percent3",
                                       "angle3", "color",    "axis"};
    for (const char* s : strings)
        if (cls == s) return "string";
    for (const char* s : integers)
        if (cls == s) return "integer";
    for (const char* s : same)
        if (cls == s) return s;
    return "";
}

Look lookOf(const std::string& cls) {
    if (cls == "iBoolean") return Look::Boolean;
    if (cls == "iChoice" || cls == "iPopChoice" || cls == "iChoTransform" || cls == "iPopTransform")
        return Look::Choice;
    if (cls == "axis") return Look::Axis;
    return Look::Plain;
}

ValueType typeFor(const std::string& type, const std::string& cls) {
    ValueType t;
    t.name = type;
    t.look = lookOf(cls);
    if (cls == "vButton" || cls == "vPopCmd") {
        t.kind = Kind::Button;
        return t;
    }
    if (type.empty()) return t;
    if (type == "string")
        t.kind = Kind::String;
    else if (type == "integer")
        t.kind = Kind::Int;
    else if (type == "axis") {
        t.kind = Kind::Int;
        t.look = Look::Axis;
    } else if (type == "float" || type == "distance" || type == "time")
        t.kind = Kind::Float;
    else if (type == "percent" || type == "angle") {
        t.kind = Kind::Float;
        t.unit = type == "percent" ? Unit::Percent : Unit::Angle;
    } else if (type == "float3" || type == "distance3" || type == "color")
        t.kind = Kind::Float3;
    else if (type == "percent3" || type == "angle3") {
        t.kind = Kind::Float3;
        t.unit = type == "percent3" ? Unit::Percent : Unit::Angle;
    } else
        t.kind = Kind::Unsupported;
    if (t.kind != Kind::Int) t.look = Look::Plain;
    return t;
}

std::string number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", v);
    return std::strcmp(text, "-0") == 0 ? "0" : text;
}

bool wholeInt(const std::string& text, int& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno || *end || v < -2147483647L - 1 || v > 2147483647L) return false;
    out = int(v);
    return true;
}

bool wholeDouble(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(text.c_str(), &end);
    if (errno || *end || !std::isfinite(v)) return false;
    out = v;
    return true;
}

// A number in the control's unit, as stored: percent as a fraction, angles
// in radians. A percent sign is optional.
bool unitNumber(std::string text, Unit unit, double& out) {
    if (unit == Unit::Percent && !text.empty() && text.back() == '%') text.pop_back();
    if (!wholeDouble(text, out)) return false;
    if (unit == Unit::Percent) out /= 100.0;
    if (unit == Unit::Angle) out *= kPi / 180.0;
    return std::isfinite(out);
}

std::string unitText(double v, Unit unit) {
    if (unit == Unit::Percent) return number(v * 100.0) + "%";
    if (unit == Unit::Angle) return number(v * 180.0 / kPi);
    return number(v);
}

// "1 2 3" or "1,2,3".
bool threeNumbers(const std::string& text, Unit unit, double out[3]) {
    std::string t = text;
    std::replace(t.begin(), t.end(), ',', ' ');
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < t.size()) {
        while (i < t.size() && (t[i] == ' ' || t[i] == '\t'))
            ++i;
        size_t start = i;
        while (i < t.size() && t[i] != ' ' && t[i] != '\t')
            ++i;
        if (i > start) parts.push_back(t.substr(start, i - start));
    }
    if (parts.size() != 3) return false;
    for (int k = 0; k < 3; ++k)
        if (!unitNumber(parts[size_t(k)], unit, out[k])) return false;
    return true;
}

// Tags the host knows the shape of, so it can step over the ones it does not
// act on.
bool knownTag(std::uint32_t tag) {
    static const std::uint32_t tags[] = {
        XPTAG_CALL, XPTAG_NEST, XPTAG_LABEL, XPTAG_CLASS, XPTAG_ADD, XPTAG_DELETE, XPTAG_CHGNOTIFY,
        XPTAG_FOCUS, XPTAG_AUTORESTORE, XPTAG_DESTROYNOTIFY, XPTAG_VALUE, XPTAG_LINK, XPTAG_IMMUPD,
        XPTAG_TRACK, XPTAG_ORIENT, XPTAG_MIN, XPTAG_MAX, XPTAG_STEP, XPTAG_RANGE, XPTAG_SENS,
        XPTAG_STRLIST, XPTAG_HARDMINMAX, XPTAG_CLRMINMAX, XPTAG_BUTNOTIFY, XPTAG_POPCMDFUNC,
        XPTAG_POPFUNCS, XPTAG_INTXFORM, XPTAG_DRAWCBFUNC, XPTAG_ZOOMCBFUNC, XPTAG_TEXTXFORMFUNC,
        XPTAG_VECLABEL, XPTAG_CTRLFRONT, XPTAG_CTRLCFG, XPTAG_XREQCFG, XPTAG_ALIAS, XPTAG_UNALIAS,
        XPTAG_ENABLE, XPTAG_GROUP, XPTAG_ORDER, XPTAG_STACK, XPTAG_TABS, XPTAG_LEFT, XPTAG_NARROW,
        XPTAG_DIVADD, XPTAG_DIVREM, XPTAG_BORDER, XPTAG_DLOGTYPE,
        // Later hosts' tags, same shape.
        0x3D001503, 0x3D001603, 0x3D014602, 0x3D016702, 0x3D016902, 0x3D021880, 0x3D021680,
        0x3D021701};
    for (std::uint32_t t : tags)
        if (t == tag) return true;
    return false;
}

unsigned int idWord(LWXPanelHint word) {
    return unsigned(reinterpret_cast<std::uintptr_t>(word));
}

int intWord(LWXPanelHint word) {
    return int(reinterpret_cast<std::intptr_t>(word));
}

template <class F> F* fnWord(LWXPanelHint word) {
    return reinterpret_cast<F*>(word);
}

} // namespace

struct XPanelSystem::Panel {
    int type = 0;
    std::vector<Control> controls;
    std::vector<DataDesc> data;
    LWXPanelGetFunc* get = nullptr;
    LWXPanelSetFunc* set = nullptr;
    LWXPanelChangeNotifyFunc* notify = nullptr;
    LWXPanelDestroyNotifyFunc* destroyNotify = nullptr;
    std::string label;
    void* inst = nullptr;
    bool open = false;
    std::map<unsigned int, void*> userData;
    std::vector<std::unique_ptr<Stored>> values;

    Control* control(unsigned int cid) {
        for (Control& c : controls)
            if (c.cid == cid) return &c;
        return nullptr;
    }
    const Control* byLabel(const std::string& text) const {
        for (const Control& c : controls)
            if (!c.hinted.empty() && c.hinted == text) return &c;
        for (const Control& c : controls)
            if (c.label == text) return &c;
        return nullptr;
    }
    // The control showing a value: the one XpVALUE gave it, else its own id.
    const Control* showing(unsigned int vid) const {
        for (const Control& c : controls)
            if (c.vid == vid) return &c;
        return nullptr;
    }
    ValueType typeOf(const Control& c) const {
        for (const DataDesc& d : data)
            if (d.vid == c.vid) return typeFor(d.type, c.ctrlClass);
        return typeFor(defaultType(c.ctrlClass), c.ctrlClass);
    }
    Stored& stored(unsigned int vid) {
        for (auto& s : values)
            if (s->vid == vid) return *s;
        values.push_back(std::make_unique<Stored>());
        values.back()->vid = vid;
        return *values.back();
    }
    void* dataFor(unsigned int id) const {
        auto found = userData.find(id);
        return found == userData.end() ? nullptr : found->second;
    }
    std::string title() const { return label.empty() ? "the panel" : "panel \"" + label + "\""; }
};

XPanelSystem::XPanelSystem() = default;

XPanelSystem::~XPanelSystem() = default;

XPanelSystem::Panel* XPanelSystem::find(LWXPanelID panel) const {
    if (!panel) return nullptr;
    for (const auto& p : panels_)
        if (p.get() == panel) return p.get();
    return nullptr;
}

void XPanelSystem::dropAll() {
    panels_.clear();
}

LWXPanelID XPanelSystem::create(int type, const LWXPanelControl* controls) {
    if (type != LWXP_VIEW && type != LWXP_FORM) return nullptr;
    auto panel = std::make_unique<Panel>();
    panel->type = type;
    for (const LWXPanelControl* c = controls; c && c->cid; ++c) {
        Control control;
        control.cid = c->cid;
        control.vid = c->cid;
        control.label = c->label ? c->label : "";
        control.ctrlClass = c->ctrlclass ? c->ctrlclass : "";
        panel->controls.push_back(control);
    }
    panels_.push_back(std::move(panel));
    return panels_.back().get();
}

void XPanelSystem::destroy(LWXPanelID id) {
    for (auto it = panels_.begin(); it != panels_.end(); ++it)
        if (it->get() == id) {
            // Gone before the notify runs, so the module cannot reach it again.
            std::unique_ptr<Panel> panel = std::move(*it);
            panels_.erase(it);
            if (panel->destroyNotify) panel->destroyNotify(panel->dataFor(0));
            return;
        }
}

void XPanelSystem::describe(LWXPanelID id, const LWXPanelDataDesc* data, LWXPanelGetFunc* get,
                            LWXPanelSetFunc* set) {
    Panel* panel = find(id);
    if (!panel) return;
    panel->data.clear();
    for (const LWXPanelDataDesc* d = data; d && d->vid; ++d)
        panel->data.push_back({d->vid, d->name ? d->name : "", d->datatype ? d->datatype : ""});
    panel->get = get;
    panel->set = set;
}

void XPanelSystem::hint(LWXPanelID id, unsigned int target, LWXPanelHint* hints) {
    Panel* panel = find(id);
    if (!panel || !hints) return;
    parseHints(*panel, target, hints, 0);
}

void XPanelSystem::parseHints(Panel& panel, unsigned int target, LWXPanelHint* hints, int depth) {
    LWXPanelHint* p = hints;
    while (*p) {
        std::uintptr_t word = reinterpret_cast<std::uintptr_t>(*p);
        std::uint32_t tag = std::uint32_t(word);
        if (word > 0xFFFFFFFFu || !knownTag(tag)) {
            char text[96];
            std::snprintf(text, sizeof text,
                          "XPanel hint: unknown tag 0x%llX; the hints after it are ignored",
                          static_cast<unsigned long long>(word));
            pending_.raise(text);
            return;
        }
        size_t fixed = tag == XPTAG_CALL ? 2 : tag == XPTAG_NEST ? 1 : size_t(tag & 0x7F);
        bool hasList = tag != XPTAG_CALL && tag != XPTAG_NEST && (tag & 0x80);
        LWXPanelHint* args = p + 1;
        p = args + fixed;
        if (hasList) {
            while (*p)
                ++p;
            ++p;
        }
        // An id of 0 in a tag means the id the hints were given for.
        auto idArg = [&](size_t k) {
            unsigned int v = idWord(args[k]);
            return v ? v : target;
        };

        switch (tag) {
        case XPTAG_LABEL: {
            unsigned int at = idArg(0);
            const char* text = static_cast<const char*>(args[1]);
            if (at == 0)
                panel.label = text ? text : "";
            else if (Control* c = panel.control(at))
                c->hinted = text ? text : "";
            break;
        }
        case XPTAG_CHGNOTIFY:
            panel.notify = fnWord<LWXPanelChangeNotifyFunc>(args[0]);
            break;
        case XPTAG_DESTROYNOTIFY:
            panel.destroyNotify = fnWord<LWXPanelDestroyNotifyFunc>(args[0]);
            break;
        case XPTAG_VALUE:
            if (Control* c = panel.control(idArg(0))) c->vid = idWord(args[1]);
            break;
        case XPTAG_MIN:
        case XPTAG_MAX:
        case XPTAG_RANGE:
            if (Control* c = panel.control(idArg(0))) {
                if (tag != XPTAG_MAX) {
                    c->min = intWord(args[1]);
                    c->hasMin = true;
                }
                if (tag != XPTAG_MIN) {
                    c->max = intWord(args[tag == XPTAG_RANGE ? 2 : 1]);
                    c->hasMax = true;
                }
            }
            break;
        case XPTAG_HARDMINMAX:
            if (Control* c = panel.control(idArg(0))) {
                c->hardMin = intWord(args[1]) != 0;
                c->hardMax = intWord(args[2]) != 0;
            }
            break;
        case XPTAG_STRLIST:
            if (Control* c = panel.control(idArg(0))) {
                c->hasList = true;
                c->list.clear();
                for (const char* const* s = static_cast<const char* const*>(args[1]); s && *s; ++s)
                    c->list.push_back(*s);
            }
            break;
        case XPTAG_POPFUNCS:
            if (Control* c = panel.control(idArg(0))) {
                c->popCount = fnWord<LWXPanelPopCntFunc>(args[1]);
                c->popName = fnWord<LWXPanelPopNameFunc>(args[2]);
            }
            break;
        case XPTAG_BUTNOTIFY:
            if (Control* c = panel.control(idArg(0)))
                c->button = fnWord<LWXPanelBtnClickFunc>(args[1]);
            break;
        case XPTAG_CALL:
            // A nested array; the depth guard stops arrays that call themselves.
            if (args[1] && depth < 8)
                parseHints(panel, idArg(0), static_cast<LWXPanelHint*>(args[1]), depth + 1);
            else if (args[1])
                pending_.raise("XPanel hint: hint arrays nested too deep");
            break;
        default:
            break;
        }
    }
}

void* XPanelSystem::getData(LWXPanelID id, unsigned int target) {
    Panel* panel = find(id);
    return panel ? panel->dataFor(target) : nullptr;
}

void XPanelSystem::setData(LWXPanelID id, unsigned int target, void* data) {
    if (Panel* panel = find(id)) panel->userData[target] = data;
}

void* XPanelSystem::formGet(LWXPanelID id, unsigned int vid) {
    Panel* panel = find(id);
    if (!panel || panel->type != LWXP_FORM) return nullptr;
    const Control* control = panel->showing(vid);
    if (!control) return nullptr;
    ValueType t = panel->typeOf(*control);
    Stored& s = panel->stored(vid);
    switch (t.kind) {
    case Kind::String:
        return &s.s[0];
    case Kind::Int:
        return &s.i;
    case Kind::Float:
    case Kind::Float3:
        return s.d;
    default:
        return nullptr;
    }
}

void XPanelSystem::formSet(LWXPanelID id, unsigned int vid, void* value) {
    Panel* panel = find(id);
    if (!panel || panel->type != LWXP_FORM || !value) return;
    const Control* control = panel->showing(vid);
    if (!control) return;
    ValueType t = panel->typeOf(*control);
    Stored& s = panel->stored(vid);
    switch (t.kind) {
    case Kind::String:
        s.s = static_cast<const char*>(value);
        break;
    case Kind::Int:
        s.i = *static_cast<const int*>(value);
        break;
    case Kind::Float:
        s.d[0] = *static_cast<const double*>(value);
        break;
    case Kind::Float3:
        std::memcpy(s.d, value, sizeof s.d);
        break;
    default:
        break;
    }
}

void XPanelSystem::viewInst(LWXPanelID id, void* inst) {
    if (Panel* panel = find(id)) panel->inst = inst;
}

void XPanelSystem::viewRefresh(LWXPanelID id) {
    Panel* panel = find(id);
    if (!panel || panel->type != LWXP_VIEW || !panel->get || !panel->inst) return;
    std::vector<unsigned int> vids;
    for (const DataDesc& d : panel->data)
        vids.push_back(d.vid);
    LWXPanelGetFunc* get = panel->get;
    void* inst = panel->inst;
    for (unsigned int vid : vids)
        get(inst, vid);
}

int XPanelSystem::post(LWXPanelID id) {
    Panel* panel = find(id);
    if (!panel) return 0;
    panel->open = false;
    return 1;
}

int XPanelSystem::open(LWXPanelID id) {
    Panel* panel = find(id);
    if (!panel) return 0;
    panel->open = true;
    return 1;
}

std::string XPanelSystem::label(LWXPanelID id) const {
    Panel* panel = find(id);
    return panel ? panel->label : std::string();
}

bool XPanelSystem::isOpen(LWXPanelID id) const {
    Panel* panel = find(id);
    return panel && panel->open;
}

void* XPanelSystem::instance(LWXPanelID id) const {
    Panel* panel = find(id);
    return panel ? panel->inst : nullptr;
}

namespace {

// A choice's entries: its string list, else what its pop functions say.
std::vector<std::string> entriesOf(const Control& c, void* userData) {
    if (c.hasList) return c.list;
    std::vector<std::string> names;
    if (c.popCount && c.popName) {
        int n = c.popCount(userData);
        for (int k = 0; k < n && k < 10000; ++k) {
            const char* name = c.popName(userData, k);
            names.push_back(name ? name : "");
        }
    }
    return names;
}

const std::vector<std::string>& axisNames() {
    static const std::vector<std::string> names = {"X", "Y", "Z"};
    return names;
}

} // namespace

void XPanelSystem::enter(LWXPanelID id, const std::string& text, const std::string& value) {
    Panel* panel = find(id);
    if (!panel) throw HostError("no such XPanel");
    const Control* found = panel->byLabel(text);
    if (!found) throw HostError(panel->title() + " has no control \"" + text + "\"");
    // Copies: the module's callbacks may change or destroy the panel.
    const Control c = *found;
    const ValueType t = panel->typeOf(c);
    const std::string where = panel->title() + ", control \"" + text + "\"";
    const int type = panel->type;
    LWXPanelSetFunc* set = panel->set;
    void* inst = panel->inst;
    void* userData = panel->dataFor(c.cid) ? panel->dataFor(c.cid) : panel->dataFor(0);

    if (t.kind == Kind::Button) {
        // Any value presses it.
        if (c.button) c.button(id, int(c.cid));
        Panel* still = find(id);
        if (still && still->notify) still->notify(id, c.cid, c.vid, LWXPEVENT_HIT);
        return;
    }
    if (t.kind == Kind::None) throw HostError(where + " has no value");
    if (t.kind == Kind::Unsupported)
        throw HostError(where + " holds a " + t.name + " value, which cannot be typed");
    if (type == LWXP_VIEW) {
        if (!set) throw HostError(panel->title() + " gives no set callback");
        if (!inst) throw HostError(panel->title() + " shows no instance");
    }

    Value v;
    switch (t.kind) {
    case Kind::String:
        v.s.assign(value.begin(), value.end());
        v.s.push_back('\0');
        break;
    case Kind::Int: {
        bool ok = false;
        if (t.look == Look::Boolean) {
            ok = value == "on" || value == "off" || value == "1" || value == "0";
            v.i = value == "on" || value == "1";
        } else if (t.look == Look::Choice || t.look == Look::Axis) {
            std::vector<std::string> names =
                t.look == Look::Axis ? axisNames() : entriesOf(c, userData);
            for (size_t k = 0; k < names.size() && !ok; ++k)
                if (names[k] == value) {
                    v.i = int(k);
                    ok = true;
                }
            if (!ok && wholeInt(value, v.i))
                ok = names.empty() ? v.i >= 0 : v.i >= 0 && size_t(v.i) < names.size();
        } else {
            ok = wholeInt(value, v.i);
            // Hard limits hold the typed number in; soft ones only size the slider.
            if (ok && c.hasMin && c.hardMin && v.i < c.min) v.i = c.min;
            if (ok && c.hasMax && c.hardMax && v.i > c.max) v.i = c.max;
        }
        if (!ok) throw HostError(where + ": '" + value + "' does not fit");
        break;
    }
    case Kind::Float:
        if (!unitNumber(value, t.unit, v.d[0]))
            throw HostError(where + ": '" + value + "' is not a number");
        break;
    case Kind::Float3:
        if (!threeNumbers(value, t.unit, v.d))
            throw HostError(where + ": '" + value + "' is not three numbers");
        break;
    default:
        break;
    }
    if (!find(id)) throw HostError(where + ": the panel went while the value was typed");

    if (type == LWXP_VIEW) {
        set(inst, c.vid, v.pointer(t.kind));
    } else {
        formSet(id, c.vid, v.pointer(t.kind));
    }
    Panel* still = find(id);
    if (still && still->notify) still->notify(id, c.cid, c.vid, LWXPEVENT_VALUE);
}

std::string XPanelSystem::read(LWXPanelID id, const std::string& text) {
    Panel* panel = find(id);
    if (!panel) throw HostError("no such XPanel");
    const Control* found = panel->byLabel(text);
    if (!found) throw HostError(panel->title() + " has no control \"" + text + "\"");
    const Control c = *found;
    const ValueType t = panel->typeOf(c);
    const std::string where = panel->title() + ", control \"" + text + "\"";
    void* userData = panel->dataFor(c.cid) ? panel->dataFor(c.cid) : panel->dataFor(0);
    if (t.kind == Kind::None || t.kind == Kind::Button) throw HostError(where + " has no value");
    if (t.kind == Kind::Unsupported)
        throw HostError(where + " holds a " + t.name + " value, which cannot be shown");

    const void* p = nullptr;
    if (panel->type == LWXP_VIEW) {
        if (!panel->get) throw HostError(panel->title() + " gives no get callback");
        if (!panel->inst) throw HostError(panel->title() + " shows no instance");
        p = panel->get(panel->inst, c.vid);
    } else {
        p = formGet(id, c.vid);
    }
    if (!p) throw HostError(where + ": get gives no value");

    switch (t.kind) {
    case Kind::String:
        return static_cast<const char*>(p);
    case Kind::Int: {
        int i = *static_cast<const int*>(p);
        if (t.look == Look::Boolean) return i ? "on" : "off";
        if (t.look == Look::Choice || t.look == Look::Axis) {
            std::vector<std::string> names =
                t.look == Look::Axis ? axisNames() : entriesOf(c, userData);
            if (i >= 0 && size_t(i) < names.size()) return names[size_t(i)];
        }
        return std::to_string(i);
    }
    case Kind::Float:
        return unitText(*static_cast<const double*>(p), t.unit);
    case Kind::Float3: {
        const double* d = static_cast<const double*>(p);
        return unitText(d[0], t.unit) + " " + unitText(d[1], t.unit) + " " + unitText(d[2], t.unit);
    }
    default:
        return "";
    }
}

} // namespace host
