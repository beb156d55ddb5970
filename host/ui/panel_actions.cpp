// A person using an open LWPanels panel: finding it and its controls by what
// they show, changing them as clicks and typing would, reading them back and
// describing the panel for its picture.
#include "common/host_error.h"
#include "common/text_encoding.h"
#include "scene/scene.h"
#include "ui/number_text.h"
#include "ui/panel_parts.h"

#include <algorithm>
#include <initializer_list>
#include <tuple>

namespace host {

namespace {

using Control = PanelSystem::Control;

bool oneOf(const std::string& type, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (type == n) return true;
    return false;
}

bool isSlider(const Control& c) {
    return oneOf(c.type, {"MiniSliderControl", "HSlideControl", "SliderControl", "VSlideControl",
                          "UnboundSlideControl"});
}

bool takesNumber(const Control& c) {
    return isSlider(c) || oneOf(c.type, {"NumControl", "FloatControl", "PercentControl",
                                         "AngleControl", "MiniDistanceControl"});
}

bool takesText(const Control& c) {
    return c.kind == Kind::String && c.type != "InfoControl";
}

bool isInfo(const Control& c) {
    return oneOf(c.type, {"InfoControl", "NumInfoControl", "FloatInfoControl", "VecInfoControl",
                          "FVecInfoControl"});
}

std::string trimmed(const std::string& s) {
    size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

// N of "#N", or -1 when the word is not one.
long indexWord(const std::string& word) {
    if (word.size() < 2 || word.size() > 10 || word[0] != '#') return -1;
    if (word.find_first_not_of("0123456789", 1) != std::string::npos) return -1;
    return std::stol(word.substr(1));
}

} // namespace

PanelSystem::Panel& PanelSystem::shownPanel(const std::string& title) const {
    Panel* latest = nullptr;
    for (const auto& p : panels_)
        if (p->open && locale_.shown(p->title) == title && (!latest || p->opened > latest->opened))
            latest = p.get();
    if (!latest) throw HostError("no open panel \"" + title + "\"");
    return *latest;
}

PanelSystem::Control& PanelSystem::controlOf(const Panel& panel, const std::string& label) const {
    for (const auto& c : panel.controls)
        if (locale_.shown(c->label) == label) return *c;
    const std::string title = locale_.shown(panel.title);
    long n = indexWord(label);
    if (n >= 1 && size_t(n) <= panel.controls.size()) return *panel.controls[size_t(n) - 1];
    if (n >= 0)
        throw HostError("panel \"" + title + "\" has no control " + label + " (it has " +
                        std::to_string(panel.controls.size()) + ")");
    throw HostError("panel \"" + title + "\" has no control \"" + label + "\"");
}

PanelSystem::Control& PanelSystem::reachable(const Panel& panel, const std::string& label) const {
    Control& c = controlOf(panel, label);
    const std::string where =
        "control \"" + label + "\" of panel \"" + locale_.shown(panel.title) + "\"";
    if (c.flags & CTLF_INVISIBLE) throw HostError(where + " is hidden");
    if (c.flags & CTLF_DISABLE) throw HostError(where + " is ghosted");
    return c;
}

void PanelSystem::fireEvent(Control& c) {
    if (c.userEvent) hookAs<LWCtlEventHook>(c.userEvent)(&c.rec, c.userData);
}

bool PanelSystem::entries(const Control& c, std::vector<std::string>& out) const {
    out.clear();
    if (c.choices) {
        for (int i = 0; c.choices[i] && i < 10000; ++i)
            out.push_back(locale_.shown(c.choices[i]));
        return true;
    }
    if (!c.countFn || !c.nameFn) return false;
    // The popup's functions get the control's user data (CON_SETEVENT's).
    int count = std::min(c.countFn(c.userData), 100000);
    for (int i = 0; i < count; ++i) {
        const char* name = c.nameFn(c.userData, i);
        out.push_back(name ? locale_.shown(name) : "");
    }
    return true;
}

namespace {

HostError wrongType(const Control& c, const std::string& label, const std::string& wanted) {
    return HostError("control \"" + label + "\" is a " + c.type + ", not " + wanted);
}

} // namespace

void PanelSystem::press(const std::string& title, const std::string& label) {
    Control& c = reachable(shownPanel(title), label);
    if (c.boolean)
        c.num[0] = c.num[0] != 0 ? 0 : 1;
    else if (c.type != "ButtonControl")
        throw wrongType(c, label, "a button or check box");
    fireEvent(c);
}

void PanelSystem::tick(const std::string& title, const std::string& label, bool on) {
    Control& c = reachable(shownPanel(title), label);
    if (!c.boolean) throw wrongType(c, label, "a check box or bool button");
    if ((c.num[0] != 0) == on) return;
    c.num[0] = on ? 1 : 0;
    fireEvent(c);
}

void PanelSystem::choose(const std::string& title, const std::string& label,
                         const std::string& entry) {
    Control& c = reachable(shownPanel(title), label);
    std::vector<std::string> names;
    if (!entries(c, names)) throw wrongType(c, label, "a popup or choice");
    long index = -1;
    for (size_t i = 0; i < names.size() && index < 0; ++i)
        if (trimmed(names[i]) == trimmed(entry)) index = long(i);
    long n = indexWord(entry);
    if (index < 0 && n >= 0 && size_t(n) < names.size()) index = n;
    if (index < 0) {
        std::string list;
        for (size_t i = 0; i < names.size() && i < 20; ++i)
            list += (i ? ", " : "") + trimmed(names[i]);
        throw HostError("\"" + label + "\" has no entry \"" + entry +
                        "\" (entries: " + (list.empty() ? "none" : list) + ")");
    }
    c.num[0] = double(index);
    fireEvent(c);
}

void PanelSystem::type(const std::string& title, const std::string& label,
                       const std::string& text) {
    Control& c = reachable(shownPanel(title), label);
    if (takesText(c)) {
        c.text = text;
    } else if (!takesNumber(c)) {
        throw wrongType(c, label, "a number, slider, percent or edit control");
    } else if (c.kind == Kind::Float) {
        double d = 0;
        if (!parseWholeDouble(text, d)) throw HostError("'" + text + "' is not a number");
        c.num[0] = d;
    } else {
        long n = 0;
        if (!parseWholeInt(text, n)) throw HostError("'" + text + "' is not a whole number");
        c.num[0] = double(n);
    }
    fireEvent(c);
}

void PanelSystem::click(const std::string& title, int button, const int* xy) {
    Panel& panel = shownPanel(title);
    const auto size = panelSize(panel);
    auto under = [&panel](int x, int y) -> const Control* {
        for (const auto& c : panel.controls)
            if (!(c->flags & CTLF_INVISIBLE) && x >= c->x && y >= c->y && x < c->x + c->w &&
                y < c->y + c->h)
                return c.get();
        return nullptr;
    };
    const std::string name = "panel \"" + title + "\"";
    int x = -1, y = -1;
    if (xy) {
        x = xy[0];
        y = xy[1];
        const std::string at = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
        if (x < 0 || y < 0 || x >= size.first || y >= size.second)
            throw HostError(at + " is outside " + name + " (" + std::to_string(size.first) + " x " +
                            std::to_string(size.second) + ")");
        if (const Control* c = under(x, y))
            throw HostError(at + " is on control \"" + locale_.shown(c->label) + "\" of " + name);
    } else {
        // The lowest, then rightmost, pixel of the panel under no control.
        for (int py = size.second - 1; py >= 0 && x < 0; --py)
            for (int px = size.first - 1; px >= 0; --px)
                if (!under(px, py)) {
                    x = px;
                    y = py;
                    break;
                }
        if (x < 0) throw HostError(name + " has no place outside its controls");
    }
    LWPanelID id = &panel;
    for (int qualifiers : {button | MOUSE_DOWN, button}) {
        Panel* p = findPanel(id);
        if (!p || !p->open) return; // the press closed it
        p->mouseX = x;
        p->mouseY = y;
        p->qualifiers = qualifiers;
        if (p->hooks[PAN_MOUSEBUTTON])
            hookAs<LWPanMouseHook>(p->hooks[PAN_MOUSEBUTTON])(id, p->userData, qualifiers, x, y);
    }
    if (Panel* p = findPanel(id)) p->qualifiers = 0;
}

void PanelSystem::userClose(const std::string& title) {
    close(&shownPanel(title));
}

std::string PanelSystem::valueText(const Control& c) const {
    switch (c.kind) {
    case Kind::Item: {
        const Item* item = c.item ? scene_.find(LWItemID(c.item)) : nullptr;
        return item ? item->name : "(none)";
    }
    case Kind::String:
        return locale_.shown(c.text);
    case Kind::Int: {
        if (c.boolean) return c.num[0] != 0 ? "on" : "off";
        std::vector<std::string> names;
        long index = long(c.num[0]);
        if (entries(c, names) && index >= 0 && size_t(index) < names.size())
            return trimmed(names[size_t(index)]);
        // A custom popup names its value itself, beyond its list too (a
        // popup showing "several" that cannot be chosen).
        if (!c.choices && c.countFn && c.nameFn && index >= 0 && index <= 1000000) {
            const char* name = c.nameFn(c.userData, int(index));
            if (name) return trimmed(locale_.shown(name));
        }
        return numberText(c.num[0]);
    }
    case Kind::Float:
        return numberText(c.num[0]);
    case Kind::IVec:
    case Kind::FVec:
        return numberText(c.num[0]) + " " + numberText(c.num[1]) + " " + numberText(c.num[2]);
    default:
        return "";
    }
}

std::string PanelSystem::value(const std::string& title, const std::string& label) const {
    const Control& c = controlOf(shownPanel(title), label);
    if (c.kind == Kind::Button || c.kind == Kind::Plain || c.kind == Kind::Pointer)
        throw HostError("control \"" + label + "\" is a " + c.type + ", which has no value");
    return valueText(c);
}

namespace {

ControlLook lookOf(const Control& c, bool hasEntries) {
    if (c.type == "ButtonControl") return ControlLook::Button;
    if (c.type == "BoolButtonControl") return ControlLook::Toggle;
    if (c.type == "BoolControl") return ControlLook::Check;
    if (c.type == "PopDownControl") return ControlLook::Menu;
    if (hasEntries) return ControlLook::Popup;
    if (isSlider(c)) return ControlLook::Slider;
    if (isInfo(c)) return ControlLook::Info;
    if (c.type == "TextControl") return ControlLook::Lines;
    if (c.kind == Kind::Plain || c.kind == Kind::Pointer) return ControlLook::Area;
    return ControlLook::Field;
}

} // namespace

PanelPicture PanelSystem::picture(const std::string& title) const {
    const Panel& panel = shownPanel(title);
    PanelPicture picture;
    picture.title = locale_.shown(panel.title);
    std::tie(picture.w, picture.h) = panelSize(panel);
    std::vector<std::string> names;
    for (const auto& control : panel.controls) {
        const Control& c = *control;
        if (c.flags & CTLF_INVISIBLE) continue;
        ControlPicture shown;
        shown.label = locale_.shown(c.label);
        shown.look = lookOf(c, entries(c, names));
        shown.x = c.x;
        shown.y = c.y;
        shown.w = c.w;
        shown.h = c.h;
        shown.labelWidth = c.labelWidth;
        shown.value = valueText(c);
        if (c.type == "PercentControl") shown.value += "%";
        shown.on = c.boolean && c.num[0] != 0;
        if (c.ranged && c.rangeMax > c.rangeMin)
            shown.fraction =
                std::clamp((c.num[0] - c.rangeMin) / double(c.rangeMax - c.rangeMin), 0.0, 1.0);
        for (const std::string& line : c.lines)
            shown.lines.push_back(locale_.shown(line));
        shown.ghosted = (c.flags & CTLF_DISABLE) != 0;
        picture.controls.push_back(std::move(shown));
    }
    picture.ops.assign(panel.display.begin(), panel.display.end());
    return picture;
}

} // namespace host
