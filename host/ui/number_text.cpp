#include "ui/number_text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>

namespace host {

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

std::string numberText(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", v);
    return std::strcmp(text, "-0") == 0 ? "0" : text;
}

} // namespace host
