// Numbers typed into panels: the whole text must be the number.
#ifndef MORVANE_HOST_UI_NUMBER_TEXT_H
#define MORVANE_HOST_UI_NUMBER_TEXT_H

#include <string>

namespace host {

// A decimal integer within 32 bits, nothing before or after it.
bool parseWholeInt(const std::string& text, long& out);
// A finite number in C's notation, nothing before or after it.
bool parseWholeDouble(const std::string& text, double& out);
// A number as a panel shows it: %.9g, with no negative zero.
std::string numberText(double v);

} // namespace host

#endif
