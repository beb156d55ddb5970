#include "common/text_encoding.h"

#include <iconv.h>

namespace host {

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
