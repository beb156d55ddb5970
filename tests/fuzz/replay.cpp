// Runs a fuzz target's entry point over files, as libFuzzer would run them
// one by one, for builds without libFuzzer: every file named, and every file
// in every folder named. An input the target does not survive ends the
// process as it would end the fuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size);

namespace {

void runFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    LLVMFuzzerInitialize(&argc, &argv);
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            std::vector<std::filesystem::path> entries;
            for (const auto& entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file()) entries.push_back(entry.path());
            for (const auto& entry : entries) {
                runFile(entry);
                ++files;
            }
        } else if (std::filesystem::is_regular_file(path)) {
            runFile(path);
            ++files;
        } else {
            std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
            return 2;
        }
    }
    if (files == 0) {
        std::fprintf(stderr, "no inputs\n");
        return 2;
    }
    std::printf("%d inputs run\n", files);
    return 0;
}
