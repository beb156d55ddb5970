#include "view/png_stored.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace host {

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    static std::uint32_t table[256];
    static bool filled = false;
    if (!filled) {
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        filled = true;
    }
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void putBig32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

// Length, type, data and the CRC of type and data.
void putChunk(Bytes& out, const char type[5], const Bytes& data) {
    putBig32(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBig32(out, crc32(&out[start], out.size() - start));
}

// A zlib stream of stored blocks (at most 65535 bytes each) over `raw`.
Bytes storedZlib(const Bytes& raw) {
    Bytes z = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        const bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(std::uint8_t(n));
        z.push_back(std::uint8_t(n >> 8));
        z.push_back(std::uint8_t(~n));
        z.push_back(std::uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + std::ptrdiff_t(at), raw.begin() + std::ptrdiff_t(at + n));
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBig32(z, (b << 16) | a);
    return z;
}

} // namespace

bool writeStoredPng(const std::string& path, const Raster& picture, std::string& error) {
    const int w = picture.width(), h = picture.height();
    if (w == 0 || h == 0) {
        error = "cannot write " + path + ": the picture is empty";
        return false;
    }
    // Each row: filter type 0 (none), then its RGB bytes.
    Bytes raw;
    raw.reserve(std::size_t(h) * (std::size_t(w) * 3 + 1));
    const std::vector<std::uint8_t>& rgba = picture.rgba();
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &rgba[(std::size_t(y) * w + x) * 4];
            raw.insert(raw.end(), p, p + 3);
        }
    }
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    putBig32(header, std::uint32_t(w));
    putBig32(header, std::uint32_t(h));
    header.insert(header.end(),
                  {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter choice, no interlace
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", storedZlib(raw));
    putChunk(file, "IEND", Bytes());

    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        error = "cannot open " + path + " for writing: " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    const bool closed = std::fclose(out) == 0;
    if (written && closed) return true;
    error = "cannot write " + path + ": " + std::strerror(errno);
    std::remove(path.c_str());
    return false;
}

} // namespace host
