// Parts of a file's path, as the host names items after their files and
// picks a reader by extension.
#ifndef MORVANE_HOST_COMMON_FILE_NAMES_H
#define MORVANE_HOST_COMMON_FILE_NAMES_H

#include <cstddef>
#include <string>

namespace host {

// The file name without its folders and its last extension ("arm" for
// "/objects/arm.lwo"). Backslashes and colons count as folder separators
// too, so paths written on other systems give the same name.
std::string fileStem(const std::string& path);

// The last extension in lower case, without the dot; empty when there is none.
std::string lowerExtension(const std::string& path);

// Whether the path starts at a root rather than at the current folder: a
// slash everywhere; on Windows also a backslash or a drive letter ("C:").
bool isAbsolutePath(const std::string& path);

// The position of the last folder separator (a slash, and on Windows a
// backslash too), or npos.
std::size_t lastSeparator(const std::string& path);

} // namespace host

#endif
