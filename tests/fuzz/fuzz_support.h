// What the fuzz targets share: a private folder for the files they hand to
// the readers, and the module files they load.
//
// Each target is built two ways: with libFuzzer (MORVANE_FUZZ, clang), and
// as a plain program (replay.cpp's main) that runs the target over files and
// folders named on its command line, which is how the committed corpora and
// the inputs of fixed crashes stay tests in every build.
#ifndef MORVANE_TESTS_FUZZ_FUZZ_SUPPORT_H
#define MORVANE_TESTS_FUZZ_FUZZ_SUPPORT_H

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzz {

// A folder of this process's own, made on first use.
inline const std::string& workDir() {
    static const std::string dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string path = std::string(base && *base ? base : "/tmp") + "/morvane_fuzz_" +
                           std::to_string(getpid());
        std::filesystem::create_directories(path);
        return path;
    }();
    return dir;
}

// Writes the bytes to NAME in the work folder; returns its path.
inline std::string writeFile(const std::string& name, const std::uint8_t* data, size_t size) {
    std::string path = workDir() + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return path;
}

// Whether the text names a path the host must not be sent to: device and
// process files can block a read forever, and nothing may leave the work
// folder.
inline bool reachesOutside(const std::uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    return text.find('/') != std::string::npos || text.find('\\') != std::string::npos ||
           text.find("..") != std::string::npos || text.find('~') != std::string::npos;
}

} // namespace fuzz

#endif
