// The inside of a headless XPanel, shared by the files that make up the
// XPanel service: what a control holds, how its values are typed and shown,
// and the layout relations (groups, stacks, enable) its hints declare.
#ifndef MORVANE_HOST_UI_XPANEL_PARTS_H
#define MORVANE_HOST_UI_XPANEL_PARTS_H

#include "ui/xpanels.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace host {

namespace xpanel {

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
    const std::string& shown() const { return hinted.empty() ? label : hinted; }
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

// XpSTACK_: the members are pages, one shown at a time by the value of vid
// (through map when there is one).
struct Stack {
    unsigned int gid = 0;
    unsigned int vid = 0;
    const int* map = nullptr;
    std::vector<unsigned int> pages;
};

// XpENABLE_: the members are ghosted unless the value of vid is set (or,
// with a map, maps to non-zero).
struct Enable {
    unsigned int vid = 0;
    std::string message;
    const int* map = nullptr;
    std::vector<unsigned int> targets;
};

ValueType typeFor(const std::string& type, const std::string& cls);
const char* defaultType(const std::string& cls);
// A choice's entries: its string list, else what its pop functions say.
std::vector<std::string> entriesOf(const Control& c, void* userData);
const std::vector<std::string>& axisNames();

// Converts typed text into v by the control's type, applying hard limits.
// False when the text does not fit; why then says how.
bool parseValue(const Control& c, const ValueType& t, void* userData, const std::string& text,
                Value& v, std::string& why);
// A value as the person reads it (and types it back).
std::string showValue(const Control& c, const ValueType& t, void* userData, const void* p);

} // namespace xpanel

struct XPanelSystem::Panel {
    int type = 0;
    std::vector<xpanel::Control> controls;
    std::vector<xpanel::DataDesc> data;
    LWXPanelGetFunc* get = nullptr;
    LWXPanelSetFunc* set = nullptr;
    LWXPanelChangeNotifyFunc* notify = nullptr;
    LWXPanelDestroyNotifyFunc* destroyNotify = nullptr;
    std::string label;
    void* inst = nullptr;
    bool open = false;
    std::map<unsigned int, void*> userData;
    std::vector<std::unique_ptr<xpanel::Stored>> values;
    // Layout: every group's members (stacks are groups of their pages), in
    // the order the hints gave them.
    std::map<unsigned int, std::vector<unsigned int>> groups;
    std::vector<unsigned int> groupOrder;
    std::vector<xpanel::Stack> stacks;
    std::vector<xpanel::Enable> enables;

    xpanel::Control* control(unsigned int cid);
    const xpanel::Control* byLabel(const std::string& text) const;
    // The control showing a value: the one XpVALUE gave it, else its own id.
    const xpanel::Control* showing(unsigned int vid) const;
    xpanel::ValueType typeOf(const xpanel::Control& c) const;
    xpanel::Stored& stored(unsigned int vid);
    void* dataFor(unsigned int id) const;
    void* userDataOf(const xpanel::Control& c) const {
        return dataFor(c.cid) ? dataFor(c.cid) : dataFor(0);
    }
    std::string title() const { return label.empty() ? "the panel" : "panel \"" + label + "\""; }
};

namespace xpanel {
// Why a person cannot type into the control now (it is ghosted, or on a
// stack page not shown), as words that follow its name; empty when they can.
std::string unreachable(XPanelSystem::Panel& panel, const Control& c);
} // namespace xpanel

} // namespace host

#endif
