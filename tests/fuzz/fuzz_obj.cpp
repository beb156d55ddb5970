// The OBJ reader on arbitrary bytes: it reads the file or refuses it with the
// host's one-line error, nothing else.
#include "fuzz_support.h"
#include "host/common/host_error.h"
#include "host/mesh/obj_reader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    std::string path = fuzz::writeFile("input.obj", data, size);
    try {
        host::Mesh mesh = host::readObj(path);
    } catch (const host::HostError&) {
    }
    return 0;
}
