#include "common/file_contents.h"

#include "common/host_error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>

namespace host {

std::string readFileContents(const std::string& path) {
    // A NUL inside the name would cut it short and name another file; the
    // message shows it as \0 so that it is not cut short either.
    if (path.find('\0') != std::string::npos) {
        std::string shown;
        for (char c : path)
            shown += c == '\0' ? std::string("\\0") : std::string(1, c);
        throw HostError(shown + ": cannot open file (the name holds a NUL byte)");
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) throw HostError(path + ": cannot open file");
    if (S_ISDIR(info.st_mode)) throw HostError(path + ": cannot open file (it is a folder)");
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         std::fclose);
    if (!file) throw HostError(path + ": cannot open file");
    std::string bytes;
    char buffer[65536];
    for (;;) {
        std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, n);
        if (n < sizeof buffer) break;
    }
    if (std::ferror(file.get()))
        throw HostError(path + ": read error (" + std::strerror(errno) + ")");
    return bytes;
}

} // namespace host
