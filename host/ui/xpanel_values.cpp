// How an XPanel control's value is typed and shown: units, choices, limits.
#include "ui/number_text.h"
#include "ui/xpanel_parts.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace host {
namespace xpanel {

namespace {

const double kPi = 3.141592653589793;

Look lookOf(const std::string& cls) {
    if (cls == "iBoolean") return Look::Boolean;
    if (cls == "iChoice" || cls == "iPopChoice" || cls == "iChoTransform" || cls == "iPopTransform")
        return Look::Choice;
    if (cls == "axis") return Look::Axis;
    return Look::Plain;
}

bool wholeInt(const std::string& text, int& out) {
    long v = 0;
    if (!parseWholeInt(text, v)) return false;
    out = int(v);
    return true;
}

// A number in the control's unit, as stored: percent as a fraction, angles
// in radians. A percent sign is optional.
bool unitNumber(std::string text, Unit unit, double& out) {
    if (unit == Unit::Percent && !text.empty() && text.back() == '%') text.pop_back();
    if (!parseWholeDouble(text, out)) return false;
    if (unit == Unit::Percent) out /= 100.0;
    if (unit == Unit::Angle) out *= kPi / 180.0;
    return std::isfinite(out);
}

std::string unitText(double v, Unit unit) {
    if (unit == Unit::Percent) return numberText(v * 100.0) + "%";
    if (unit == Unit::Angle) return numberText(v * 180.0 / kPi);
    return numberText(v);
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

// Hard limits hold a typed number in; soft ones only size the slider. The
// limits are in the unit the value is stored in (a fraction for percent).
template <class T> T limited(const Control& c, T v) {
    if (c.hasMin && c.hardMin && v < T(c.min)) v = T(c.min);
    if (c.hasMax && c.hardMax && v > T(c.max)) v = T(c.max);
    return v;
}

} // namespace

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

bool parseValue(const Control& c, const ValueType& t, void* userData, const std::string& text,
                Value& v, std::string& why) {
    switch (t.kind) {
    case Kind::String:
        v.s.assign(text.begin(), text.end());
        v.s.push_back('\0');
        return true;
    case Kind::Int: {
        bool ok = false;
        if (t.look == Look::Boolean) {
            ok = text == "on" || text == "off" || text == "1" || text == "0";
            v.i = text == "on" || text == "1";
        } else if (t.look == Look::Choice || t.look == Look::Axis) {
            std::vector<std::string> names =
                t.look == Look::Axis ? axisNames() : entriesOf(c, userData);
            for (size_t k = 0; k < names.size() && !ok; ++k)
                if (names[k] == text) {
                    v.i = int(k);
                    ok = true;
                }
            if (!ok && wholeInt(text, v.i))
                ok = names.empty() ? v.i >= 0 : v.i >= 0 && size_t(v.i) < names.size();
        } else {
            ok = wholeInt(text, v.i);
            if (ok) v.i = limited(c, v.i);
        }
        if (!ok) why = "'" + text + "' does not fit";
        return ok;
    }
    case Kind::Float:
        if (!unitNumber(text, t.unit, v.d[0])) {
            why = "'" + text + "' is not a number";
            return false;
        }
        v.d[0] = limited(c, v.d[0]);
        return true;
    case Kind::Float3:
        if (!threeNumbers(text, t.unit, v.d)) {
            why = "'" + text + "' is not three numbers";
            return false;
        }
        for (double& d : v.d)
            d = limited(c, d);
        return true;
    default:
        why = "has no value";
        return false;
    }
}

std::string showValue(const Control& c, const ValueType& t, void* userData, const void* p) {
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

} // namespace xpanel
} // namespace host
