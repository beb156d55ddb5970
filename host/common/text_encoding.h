// Texts a module hands the host are in the host's system encoding: Shift-JIS
// under a Japanese locale. The console shows UTF-8.
#ifndef MORVANE_HOST_COMMON_TEXT_ENCODING_H
#define MORVANE_HOST_COMMON_TEXT_ENCODING_H

#include <lwserver.h>

#include <string>

namespace host {

// The UTF-8 form of a Shift-JIS text; bytes that do not convert are kept as
// they are.
std::string shiftJisToUtf8(const std::string& text);

// True when the text is well-formed UTF-8 with at least one multi-byte
// character: a Shift-JIS text of any length almost never is.
bool isMultiByteUtf8(const std::string& text);

// The language the host runs in: the value "Locale Info" reports, which
// decides how the texts a module shows are read.
class Locale {
  public:
    static constexpr unsigned int kDefault = LANGID_USENGLISH;

    unsigned int id() const { return id_; }
    void set(unsigned int id) { id_ = id; }
    // The language is in the low 16 bits; the high ones carry the sort order.
    bool japanese() const { return (id_ & 0xFFFF) == LANGID_JAPANESE; }
    // A module's text as the console shows it. Newer hosts take some texts
    // (popup lists) in UTF-8 from a Japanese module, the rest in Shift-JIS.
    std::string shown(const std::string& text) const {
        return japanese() && !isMultiByteUtf8(text) ? shiftJisToUtf8(text) : text;
    }

  private:
    unsigned int id_ = kDefault;
};

} // namespace host

#endif
