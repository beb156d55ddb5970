#include "plugins/library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace host {

#if defined(_WIN32)

namespace {

std::string lastErrorText() {
    const DWORD code = GetLastError();
    char text[512] = "";
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, text, sizeof text, nullptr);
    std::string why(text, n);
    while (!why.empty() && (why.back() == '\n' || why.back() == '\r' || why.back() == '.'))
        why.pop_back();
    return why.empty() ? "error " + std::to_string(code) : why;
}

} // namespace

void* openLibrary(const std::string& path, std::string& why) {
    // A bare file name would be searched for on the system's paths; the
    // caller means the file in the current folder.
    const bool bare = path.find_first_of("/\\:") == std::string::npos;
    const std::string name = bare ? ".\\" + path : path;
    // No "cannot load" dialog: the failure is reported as an error.
    DWORD previous = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
    HMODULE module = LoadLibraryA(name.c_str());
    if (!module) why = lastErrorText();
    SetThreadErrorMode(previous, nullptr);
    return reinterpret_cast<void*>(module);
}

void* librarySymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}

#else

void* openLibrary(const std::string& path, std::string& why) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        why = reason ? reason : "unknown error";
    }
    return library;
}

void* librarySymbol(void* library, const char* name) {
    return dlsym(library, name);
}

void closeLibrary(void* library) {
    dlclose(library);
}

#endif

} // namespace host
