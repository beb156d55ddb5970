#include "ui/xpanels.h"
#include "ui/xpanel_parts.h"

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

// A group named again gains the new members after its old ones.
void addGroup(XPanelSystem::Panel& panel, unsigned int gid, const std::vector<unsigned int>& ids) {
    if (!gid) return;
    auto& members = panel.groups[gid];
    if (std::find(panel.groupOrder.begin(), panel.groupOrder.end(), gid) == panel.groupOrder.end())
        panel.groupOrder.push_back(gid);
    for (unsigned int id : ids)
        if (id != gid && std::find(members.begin(), members.end(), id) == members.end())
            members.push_back(id);
}

} // namespace

using namespace xpanel;

Control* XPanelSystem::Panel::control(unsigned int cid) {
    for (Control& c : controls)
        if (c.cid == cid) return &c;
    return nullptr;
}

const Control* XPanelSystem::Panel::byLabel(const std::string& text) const {
    for (const Control& c : controls)
        if (!c.hinted.empty() && c.hinted == text) return &c;
    for (const Control& c : controls)
        if (c.label == text) return &c;
    return nullptr;
}

const Control* XPanelSystem::Panel::showing(unsigned int vid) const {
    for (const Control& c : controls)
        if (c.vid == vid) return &c;
    return nullptr;
}

ValueType XPanelSystem::Panel::typeOf(const Control& c) const {
    for (const DataDesc& d : data)
        if (d.vid == c.vid) return typeFor(d.type, c.ctrlClass);
    return typeFor(defaultType(c.ctrlClass), c.ctrlClass);
}

Stored& XPanelSystem::Panel::stored(unsigned int vid) {
    for (auto& s : values)
        if (s->vid == vid) return *s;
    values.push_back(std::make_unique<Stored>());
    values.back()->vid = vid;
    return *values.back();
}

void* XPanelSystem::Panel::dataFor(unsigned int id) const {
    auto found = userData.find(id);
    return found == userData.end() ? nullptr : found->second;
}

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
        std::vector<unsigned int> list;
        if (hasList) {
            while (*p)
                list.push_back(idWord(*p++));
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
        case XPTAG_GROUP:
            addGroup(panel, idArg(0), list);
            break;
        case XPTAG_STACK: {
            Stack stack;
            stack.gid = idArg(0);
            stack.vid = idWord(args[1]);
            stack.map = static_cast<const int*>(args[2]);
            stack.pages = list;
            addGroup(panel, stack.gid, list);
            panel.stacks.push_back(stack);
            break;
        }
        case XPTAG_ENABLE: {
            Enable enable;
            enable.vid = idArg(0);
            if (const char* message = static_cast<const char*>(args[1])) enable.message = message;
            enable.map = static_cast<const int*>(args[3]);
            enable.targets = list;
            panel.enables.push_back(enable);
            break;
        }
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

void XPanelSystem::enter(LWXPanelID id, const std::string& text, const std::string& value) {
    change(id, text, {value}, false);
}

void XPanelSystem::drag(LWXPanelID id, const std::string& text,
                        const std::vector<std::string>& values) {
    change(id, text, values, true);
}

void XPanelSystem::change(LWXPanelID id, const std::string& text,
                          const std::vector<std::string>& values, bool dragged) {
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
    void* userData = panel->userDataOf(c);

    if (t.kind == Kind::None && !dragged) throw HostError(where + " has no value");
    if (t.kind == Kind::Unsupported)
        throw HostError(where + " holds a " + t.name + " value, which cannot be typed");
    const bool slides = t.kind == Kind::Float || (t.kind == Kind::Int && t.look == Look::Plain);
    if (dragged && !slides) throw HostError(where + " has no slider to drag");
    if (values.empty()) throw HostError(where + ": nothing to enter");
    const std::string why = xpanel::unreachable(*panel, c);
    if (!why.empty()) throw HostError(where + " " + why);

    if (t.kind == Kind::Button) {
        // Any value presses it.
        if (c.button) c.button(id, int(c.cid));
        Panel* still = find(id);
        if (still && still->notify) still->notify(id, c.cid, c.vid, LWXPEVENT_HIT);
        return;
    }
    if (type == LWXP_VIEW) {
        if (!set) throw HostError(panel->title() + " gives no set callback");
        if (!inst) throw HostError(panel->title() + " shows no instance");
    }

    // Every text is checked before the module hears of any.
    std::vector<Value> typed(values.size());
    for (size_t k = 0; k < values.size(); ++k) {
        std::string problem;
        if (!parseValue(c, t, userData, values[k], typed[k], problem))
            throw HostError(where + ": " + problem);
    }
    if (!find(id)) throw HostError(where + ": the panel went while the value was typed");

    // A drag tracks through its values; letting go gives the last one.
    for (size_t k = 0; k < typed.size(); ++k) {
        if (!find(id)) return;
        if (type == LWXP_VIEW)
            set(inst, c.vid, typed[k].pointer(t.kind));
        else
            formSet(id, c.vid, typed[k].pointer(t.kind));
        Panel* still = find(id);
        const bool last = k + 1 == typed.size();
        if (still && still->notify)
            still->notify(id, c.cid, c.vid, last ? LWXPEVENT_VALUE : LWXPEVENT_TRACK);
    }
}

const void* XPanelSystem::valueOf(LWXPanelID id, const Panel& panel, const Control& c) {
    if (panel.type == LWXP_VIEW)
        return panel.get && panel.inst ? panel.get(panel.inst, c.vid) : nullptr;
    return formGet(id, c.vid);
}

std::string XPanelSystem::read(LWXPanelID id, const std::string& text) {
    Panel* panel = find(id);
    if (!panel) throw HostError("no such XPanel");
    const Control* found = panel->byLabel(text);
    if (!found) throw HostError(panel->title() + " has no control \"" + text + "\"");
    const Control c = *found;
    const ValueType t = panel->typeOf(c);
    const std::string where = panel->title() + ", control \"" + text + "\"";
    if (t.kind == Kind::None || t.kind == Kind::Button) throw HostError(where + " has no value");
    if (t.kind == Kind::Unsupported)
        throw HostError(where + " holds a " + t.name + " value, which cannot be shown");
    if (panel->type == LWXP_VIEW) {
        if (!panel->get) throw HostError(panel->title() + " gives no get callback");
        if (!panel->inst) throw HostError(panel->title() + " shows no instance");
    }
    const void* p = valueOf(id, *panel, c);
    if (!p) throw HostError(where + ": get gives no value");
    return showValue(c, t, panel->userDataOf(c), p);
}

} // namespace host
