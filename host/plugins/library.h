// The platform's loader of module files: dlopen on Unix, LoadLibrary on
// Windows, as the host application on each uses.
#ifndef MORVANE_HOST_PLUGINS_LIBRARY_H
#define MORVANE_HOST_PLUGINS_LIBRARY_H

#include <string>

namespace host {

// The loaded library, or null with the loader's reason in `why`.
void* openLibrary(const std::string& path, std::string& why);
// The address of an exported symbol, or null.
void* librarySymbol(void* library, const char* name);
void closeLibrary(void* library);

} // namespace host

#endif
