#include "ui/panels.h"

#include "common/host_error.h"
#include "common/text_encoding.h"
#include "scene/scene.h"
#include "ui/number_text.h"
#include "ui/panel_parts.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ostream>

namespace host {

namespace {

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

} // namespace

namespace {
PanelSystem* currentPanels = nullptr;
} // namespace

PanelSystem::PanelSystem(Scene& scene, std::ostream& out, const Locale& locale)
    : scene_(scene), out_(out), locale_(locale), previous_(currentPanels) {
    currentPanels = this;
}

PanelSystem::~PanelSystem() {
    currentPanels = previous_;
}

PanelSystem* PanelSystem::current() {
    return currentPanels;
}

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
        panel->opened = ++opens_;
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
    const std::string title = locale_.shown(panelRef.title);
    if (responses_.empty()) {
        pending_.raise("panel \"" + title + "\" opened with no response queued (use Respond)");
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
            pending_.raise("panel \"" + title + "\" has no control \"" + pair.first + "\"");
            return 0;
        }
        if (control->flags & (CTLF_DISABLE | CTLF_INVISIBLE)) {
            pending_.raise("control \"" + pair.first + "\" of panel \"" + title + "\" is disabled");
            return 0;
        }
        Staged s{control, LWValue{}, nullptr, pair.second};
        std::string error = convert(panelRef, *control, pair.second, s.value, s.item);
        if (!error.empty()) {
            pending_.raise("panel \"" + title + "\", control \"" + pair.first + "\": " + error);
            return 0;
        }
        staged.push_back(std::move(s));
    }

    out_ << "panel: " << title << " -> " << (response.ok ? "OK" : "Cancel") << "\n";
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
        fireEvent(c);
        if (!findPanel(id)) return result;
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
        for (const Item* candidate : scene_.items()) {
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
    if (!panel || panel->drawing) return;
    // A redraw starts from the bare panel: what the hook draws is all there is.
    panel->display.clear();
    panel->displayPixels = 0;
    if (!panel->hooks[PAN_USERDRAW]) return;
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

std::pair<int, int> PanelSystem::panelSize(const Panel& panel) const {
    if (panel.sized) return {panel.w, panel.h};
    // Room for the controls and the OK/Cancel row.
    int w = 200, h = 0;
    for (const auto& c : panel.controls) {
        w = std::max(w, c->x + c->w + 2 * kGap);
        h = std::max(h, c->y + c->h);
    }
    return {w, h + kRowHeight + 4 * kGap};
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
        auto size = panelSize(*panel);
        *i = tag == PAN_W ? size.first : size.second;
        break;
    }
    case PAN_MOUSEX:
        *i = panel->mouseX;
        break;
    case PAN_MOUSEY:
        *i = panel->mouseY;
        break;
    case PAN_QUALIFIERS:
        *i = panel->qualifiers;
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
        *p = panelFuncs_;
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
            auto size = panelSize(*panel);
            panel->w = size.first;
            panel->h = size.second;
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

} // namespace host
