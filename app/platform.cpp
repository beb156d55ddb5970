#include "platform.h"

#if defined(_WIN32)
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cstdio>

#if defined(_WIN32)

std::string programFolder() {
    char self[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    if (n == 0 || n >= sizeof self) return "";
    const std::string path(self, n);
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

bool isReadable(const std::string& path) {
    return _access(path.c_str(), 4) == 0;
}

bool isWritableFolder(const std::string& path) {
    return _access(path.c_str(), 2) == 0;
}

long processId() {
    return long(GetCurrentProcessId());
}

void useBinaryStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

#else

std::string programFolder() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "";
    const std::string path(self, std::size_t(n));
    return path.substr(0, path.rfind('/'));
}

bool isReadable(const std::string& path) {
    return access(path.c_str(), R_OK) == 0;
}

bool isWritableFolder(const std::string& path) {
    return access(path.c_str(), W_OK | X_OK) == 0;
}

long processId() {
    return long(getpid());
}

void useBinaryStandardStreams() {}

#endif
