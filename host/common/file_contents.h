// Whole files read into memory, every failure reported as a HostError.
#ifndef MORVANE_HOST_COMMON_FILE_CONTENTS_H
#define MORVANE_HOST_COMMON_FILE_CONTENTS_H

#include <string>

namespace host {

// The file's bytes. Throws HostError "path: why" when the path names nothing,
// a folder or something that cannot be read (a NUL byte in the name is shown
// as \0); no stream exception escapes.
std::string readFileContents(const std::string& path);

} // namespace host

#endif
