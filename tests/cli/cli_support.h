// Running the morvane program from tests: its output, errors and status.
#ifndef MORVANE_TESTS_CLI_SUPPORT_H
#define MORVANE_TESTS_CLI_SUPPORT_H

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

// Files of one test process: ctest runs tests side by side.
inline std::string tempPath(const std::string& name) {
    return testing::TempDir() + "/morvane_cli_" + std::to_string(getpid()) + "_" + name;
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// MORVANE_APP in the environment names another command to run in place of
// the built program (make check-windows runs the Windows one under Wine).
inline Outcome morvane(const std::string& args) {
    std::string errFile = tempPath("stderr.txt");
    const char* app = std::getenv("MORVANE_APP");
    std::string command =
        std::string(app && *app ? app : MORVANE_APP_PATH) + " " + args + " 2>" + errFile;
    Outcome run{};
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errFile);
    run.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return run;
}

// An absolute path as the program names files in its messages. With
// MORVANE_APP_DRIVE set (say "Z:", as Wine maps the root) the program runs
// on Windows and names them from that drive, with backslashes.
inline std::string shownPath(const std::string& path) {
    const char* drive = std::getenv("MORVANE_APP_DRIVE");
    if (!drive || !*drive || path.empty() || path[0] != '/') return path;
    std::string shown = drive + path;
    for (char& c : shown)
        if (c == '/') c = '\\';
    return shown;
}

inline std::string script(const std::string& name, const std::string& text) {
    std::string path = tempPath(name);
    std::ofstream(path) << text;
    return path;
}

#endif
