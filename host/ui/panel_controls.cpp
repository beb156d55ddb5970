// The controls of LWPanels panels: their types, sizes in the headless layout,
// and the values they keep and hand out.
#include "common/host_error.h"
#include "scene/scene.h"
#include "ui/panel_parts.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

namespace host {

namespace {

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

void ctlDraw(LWControlID c, DrMode mode) {
    if (PanelSystem* p = PanelSystem::current()) p->controlDraw(c, mode);
}

void ctlGet(LWControlID c, cTag tag, LWValue* v) {
    if (PanelSystem* p = PanelSystem::current()) p->controlGet(c, tag, v);
}

void ctlSet(LWControlID c, cTag tag, LWValue* v) {
    if (PanelSystem* p = PanelSystem::current()) p->controlSet(c, tag, v);
}

bool is(const std::string& type, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (type == n) return true;
    return false;
}

int textPixels(const char* text) {
    return PanelSystem::textWidth(text);
}

// Buttons and pop-down menus show their label on their face and a check
// box to its right: no label column to their left.
bool labelInside(const std::string& type) {
    return is(type, {"ButtonControl", "BoolButtonControl", "BoolControl", "PopDownControl"});
}

struct HotSize {
    int w, h;
};

// The hot area's size by the control's type, from its description where it
// gives one (README, "LWPanels panels").
HotSize hotSize(const PanelSystem::Control& c, const ControlDesc& d, LWType descType) {
    const std::string& t = c.type;
    auto given = [](int v, int fallback) { return v > 0 ? v : fallback; };
    if (descType == LWT_AREA) {
        int w = given(d.area.width, is(t, {"ButtonControl", "BoolButtonControl"})
                                        ? int(c.label.size()) * kCharWidth + 16
                                        : 100);
        return {w, given(d.area.height, kRowHeight)};
    }
    if (descType == LWT_TEXT) {
        int lines = 0, widest = 0;
        for (const char** l = d.text.text; l && *l && lines < 1000; ++l, ++lines)
            widest = std::max(widest, textPixels(*l));
        return {widest, std::max(1, lines) * (kRowHeight - 4)};
    }
    if (is(t, {"ButtonControl", "BoolButtonControl"}))
        return {int(c.label.size()) * kCharWidth + 16, kRowHeight};
    if (t == "BoolControl") return {18 + kGap + textPixels(c.label.c_str()), 18};
    if (t == "PopDownControl") return {textPixels(c.label.c_str()) + 28, kRowHeight};
    if (is(t, {"InfoControl", "NumInfoControl", "FloatInfoControl", "VecInfoControl",
               "FVecInfoControl"})) {
        int w = descType == LWT_STRING ? d.string.width * kCharWidth : 0;
        return {given(w, t == "InfoControl" ? 160 : 64), 18};
    }
    if (descType == LWT_CHOICE) {
        int n = 0, widest = 0, sum = 0;
        for (const char** e = d.choice.items; e && *e && n < 1000; ++e, ++n) {
            widest = std::max(widest, textPixels(*e));
            sum += textPixels(*e) + 16;
        }
        if (d.choice.vertical == MX_POPUP || t == "PopupControl") return {widest + 28, kRowHeight};
        if (d.choice.vertical == MX_VCHOICE) return {widest + 24, std::max(1, n) * 18};
        return {std::max(sum, 16), kRowHeight};
    }
    if (descType == LWT_POPUP) return {given(d.popup.width, 120), kRowHeight};
    if (descType == LWT_RANGE && is(t, {"MiniSliderControl", "HSlideControl", "SliderControl",
                                        "VSlideControl", "UnboundSlideControl"}))
        return {given(d.range.width, 120), kRowHeight};
    if (is(t,
           {"PercentControl", "NumControl", "FloatControl", "AngleControl", "MiniDistanceControl"}))
        return {64, kRowHeight};
    if (descType == LWT_STRING) return {given(d.string.width * kCharWidth, 160), kRowHeight};
    if (descType == LWT_LWITEM) return {given(d.lwitem.width, 160), kRowHeight};
    if (t == "ListBoxControl" && descType != LWT_NULL)
        return {given(d.listbox.width, 160), std::max(1, d.listbox.visItems) * kRowHeight};
    if (c.kind == Kind::IVec || c.kind == Kind::FVec) return {200, kRowHeight};
    return {160, kRowHeight};
}
} // namespace

int PanelSystem::textWidth(const char* text) {
    return text ? int(strnlen(text, 512)) * kCharWidth : 0;
}

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
    // Stacked one per row until the module places it (MOVE_CON); nothing
    // moves it after that.
    c.x = kGap;
    c.y = kGap;
    if (!panel.controls.empty()) {
        const Control& last = *panel.controls.back();
        c.y = last.y + last.h + kGap;
    }
    c.labelWidth =
        c.label.empty() || labelInside(c.type) ? 0 : int(c.label.size()) * kCharWidth + kGap;
    const LWType descType = desc ? desc->type : LWT_NULL;
    const HotSize size = hotSize(c, desc ? *desc : ControlDesc{}, descType);
    c.h = std::min(size.h, 4096);
    c.w = c.labelWidth + std::min(size.w, 4096);
    if (descType == LWT_TEXT)
        for (const char** t = desc->text.text; t && *t && c.lines.size() < 1000; ++t)
            c.lines.push_back(*t);
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
                const Item* item = scene_.find(LWItemID(c->item));
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
        v->ptr.ptr = panelFuncs_;
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
                Item* item = low ? scene_.findByFileId(low) : nullptr;
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

} // namespace host
