#include "common/text_encoding.h"

#include <iconv.h>

namespace host {

bool isMultiByteUtf8(const std::string& text) {
    bool multiByte = false;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int follow = c < 0x80         ? 0
                     : (c >> 5) == 6  ? 1
                     : (c >> 4) == 14 ? 2
                     : (c >> 3) == 30 ? 3
                                      : -1;
        if (follow < 0 || (follow == 1 && c < 0xC2) || text.size() - i <= size_t(follow))
            return false;
        for (int k = 1; k <= follow; ++k)
            if ((static_cast<unsigned char>(text[i + size_t(k)]) >> 6) != 2) return false;
        multiByte = multiByte || follow > 0;
        i += size_t(follow) + 1;
    }
    return multiByte;
}

std::string shiftJisToUtf8(const std::string& text) {
    iconv_t cd = iconv_open("UTF-8", "SHIFT_JIS");
    if (cd == iconv_t(-1)) return text;
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, size_t(outPtr - buffer));
        if (r == size_t(-1) && inLeft > 0 && outPtr == buffer) {
            // An invalid or incomplete byte: keep it and go on.
            out.push_back(*in);
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace host
