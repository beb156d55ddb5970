#include "common/text_encoding.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>
#endif

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

#if defined(_WIN32)

// Windows converts through its Shift-JIS code page (932), one character (one
// or two bytes) at a time, so that a byte that does not convert is kept.
std::string shiftJisToUtf8(const std::string& text) {
    const UINT kShiftJis = 932;
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const BYTE lead = static_cast<BYTE>(text[i]);
        const int size = IsDBCSLeadByteEx(kShiftJis, lead) && i + 1 < text.size() ? 2 : 1;
        wchar_t wide[2];
        const int n = MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, &text[i], size, wide, 2);
        char utf8[8];
        const int m =
            n > 0 ? WideCharToMultiByte(CP_UTF8, 0, wide, n, utf8, sizeof utf8, nullptr, nullptr)
                  : 0;
        if (m > 0) {
            out.append(utf8, size_t(m));
            i += size_t(size);
        } else {
            out.push_back(text[i]);
            ++i;
        }
    }
    return out;
}

#else

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

#endif

} // namespace host
