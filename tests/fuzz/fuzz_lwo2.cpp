// The LWO2 reader on arbitrary bytes, through its first-layer and its
// numbered-layer entries: the file is read or refused with the host's
// one-line error, nothing else.
#include "fuzz_support.h"
#include "host/common/host_error.h"
#include "host/mesh/lwo2_reader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    std::string path = fuzz::writeFile("input.lwo", data, size);
    try {
        host::Mesh mesh = host::readLwo2(path);
    } catch (const host::HostError&) {
    }
    try {
        // The layer number from the last byte, so that files with layers
        // reach each of the first few.
        host::Mesh mesh = host::readLwo2Layer(path, size ? data[size - 1] % 4 : 0);
    } catch (const host::HostError&) {
    }
    return 0;
}
