// What the layout hints of an XPanel mean for a person looking at it:
// groups, stack pages switched by a control, controls ghosted by enable
// relations; and the panel described row by row for drawing.
#include "ui/xpanel_parts.h"

#include <algorithm>

namespace host {

using namespace xpanel;

namespace {

// Deeper nesting than this is taken as a loop in the hints.
const int kMaxDepth = 32;

using Panel = XPanelSystem::Panel;

unsigned int parentOf(const Panel& panel, unsigned int id) {
    for (unsigned int gid : panel.groupOrder) {
        const auto& members = panel.groups.at(gid);
        if (std::find(members.begin(), members.end(), id) != members.end()) return gid;
    }
    return 0;
}

// The id itself, then every group around it, innermost first.
std::vector<unsigned int> chainOf(const Panel& panel, unsigned int id) {
    std::vector<unsigned int> chain = {id};
    for (unsigned int at = parentOf(panel, id); at && chain.size() < size_t(kMaxDepth);
         at = parentOf(panel, at)) {
        if (std::find(chain.begin(), chain.end(), at) != chain.end()) break;
        chain.push_back(at);
    }
    return chain;
}

const void* rawValue(Panel& panel, const Control& c, const ValueType& t) {
    if (panel.type == LWXP_VIEW)
        return panel.get && panel.inst ? panel.get(panel.inst, c.vid) : nullptr;
    Stored& s = panel.stored(c.vid);
    if (t.kind == Kind::String) return s.s.c_str();
    if (t.kind == Kind::Int) return &s.i;
    return s.d;
}

// How many values a controlling control can take, so that a map given with
// it is read only that far; 0 when unknown (the map is then not used).
int valueCount(const Control& c, const ValueType& t, void* userData) {
    if (t.kind != Kind::Int) return 0;
    if (t.look == Look::Boolean) return 2;
    if (t.look == Look::Axis) return 3;
    if (t.look == Look::Choice) return int(entriesOf(c, userData).size());
    return 0;
}

struct Controller {
    const Control* control = nullptr;
    ValueType type;
    int number = 0; // the value as a whole number (strings: 1 when not empty)
    int count = 0;
};

Controller controllerOf(Panel& panel, unsigned int vid) {
    Controller out;
    out.control = panel.showing(vid);
    if (!out.control) return out;
    out.type = panel.typeOf(*out.control);
    const void* p = rawValue(panel, *out.control, out.type);
    if (p && out.type.kind == Kind::Int) out.number = *static_cast<const int*>(p);
    if (p && (out.type.kind == Kind::Float || out.type.kind == Kind::Float3))
        out.number = *static_cast<const double*>(p) != 0.0;
    if (p && out.type.kind == Kind::String) out.number = *static_cast<const char*>(p) != 0;
    out.count = valueCount(*out.control, out.type, panel.userDataOf(*out.control));
    return out;
}

int mapped(const Controller& c, const int* map) {
    if (map && c.count > 0 && c.number >= 0 && c.number < c.count) return map[c.number];
    return c.number;
}

std::string describe(Panel& panel, const Controller& c) {
    const void* p = rawValue(panel, *c.control, c.type);
    const std::string value =
        p ? showValue(*c.control, c.type, panel.userDataOf(*c.control), p) : "unset";
    return "\"" + c.control->shown() + "\" is " + value;
}

// Why the id is ghosted; empty when it is not.
std::string ghosted(Panel& panel, unsigned int id, int depth) {
    if (depth > kMaxDepth) return "";
    const std::vector<unsigned int> chain = chainOf(panel, id);
    for (const Enable& e : panel.enables) {
        bool aimed = false;
        for (unsigned int at : chain)
            aimed = aimed || std::find(e.targets.begin(), e.targets.end(), at) != e.targets.end();
        if (!aimed) continue;
        Controller c = controllerOf(panel, e.vid);
        if (!c.control) continue;
        if (mapped(c, e.map) == 0)
            return e.message.empty() ? "is ghosted while " + describe(panel, c)
                                     : "is ghosted: " + e.message;
        // A ghosted control ghosts what it enables.
        if (!ghosted(panel, c.control->cid, depth + 1).empty())
            return "is ghosted while \"" + c.control->shown() + "\" is ghosted";
    }
    return "";
}

// Why the id is not shown; empty when it is.
std::string hidden(Panel& panel, unsigned int id) {
    const std::vector<unsigned int> chain = chainOf(panel, id);
    for (size_t k = 0; k + 1 < chain.size(); ++k)
        for (const Stack& s : panel.stacks) {
            if (s.gid != chain[k + 1]) continue;
            Controller c = controllerOf(panel, s.vid);
            if (!c.control) continue;
            const int page = mapped(c, s.map);
            const bool shown =
                page >= 0 && size_t(page) < s.pages.size() && s.pages[size_t(page)] == chain[k];
            if (!shown) return "is on a hidden stack page while " + describe(panel, c);
        }
    return "";
}

} // namespace

namespace xpanel {

std::string unreachable(XPanelSystem::Panel& panel, const Control& c) {
    std::string why = hidden(panel, c.cid);
    return why.empty() ? ghosted(panel, c.cid, 0) : why;
}

} // namespace xpanel

std::vector<XPanelRow> XPanelSystem::rows(LWXPanelID id) {
    std::vector<XPanelRow> out;
    Panel* panel = find(id);
    if (!panel) return out;
    std::vector<unsigned int> tops; // outermost groups, numbered as they first show
    for (const Control& c : std::vector<Control>(panel->controls)) {
        if (!find(id)) return {};
        XPanelRow row;
        row.cid = c.cid;
        row.label = c.shown();
        row.ctrlClass = c.ctrlClass;
        const ValueType t = panel->typeOf(c);
        if (t.kind != Kind::None && t.kind != Kind::Button && t.kind != Kind::Unsupported)
            if (const void* p = valueOf(id, *panel, c))
                row.value = showValue(c, t, panel->userDataOf(c), p);
        // A get callback may have destroyed the panel.
        if (!find(id)) return {};
        const std::vector<unsigned int> chain = chainOf(*panel, c.cid);
        if (chain.size() > 1) {
            auto at = std::find(tops.begin(), tops.end(), chain.back());
            if (at == tops.end()) at = tops.insert(tops.end(), chain.back());
            row.group = int(at - tops.begin()) + 1;
        }
        row.visible = hidden(*panel, c.cid).empty();
        row.enabled = ghosted(*panel, c.cid, 0).empty();
        out.push_back(row);
    }
    return out;
}

} // namespace host
