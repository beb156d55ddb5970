// Texts a module hands the host are in the host's system encoding: Shift-JIS
// under a Japanese locale. The console shows UTF-8.
#ifndef MORVANE_HOST_COMMON_TEXT_ENCODING_H
#define MORVANE_HOST_COMMON_TEXT_ENCODING_H

#include <string>

namespace host {

// The UTF-8 form of a Shift-JIS text; bytes that do not convert are kept as
// they are.
std::string shiftJisToUtf8(const std::string& text);

} // namespace host

#endif
