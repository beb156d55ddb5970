#include "common/file_names.h"

#include <cctype>

namespace host {

std::string fileStem(const std::string& path) {
    size_t slash = path.find_last_of("/\\:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string lowerExtension(const std::string& path) {
    size_t dot = path.find_last_of('.');
    size_t slash = lastSeparator(path);
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

#if defined(_WIN32)
const char* const kSeparators = "/\\";
#else
const char* const kSeparators = "/";
#endif

bool isAbsolutePath(const std::string& path) {
    if (path.empty()) return false;
#if defined(_WIN32)
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])))
        return true;
#endif
    return std::string(kSeparators).find(path[0]) != std::string::npos;
}

std::size_t lastSeparator(const std::string& path) {
    return path.find_last_of(kSeparators);
}

} // namespace host
