// What the program asks of its operating system, the same on Unix and Windows.
#ifndef MORVANE_APP_PLATFORM_H
#define MORVANE_APP_PLATFORM_H

#include <string>

// The folder holding the running program, or "" when it cannot be found.
std::string programFolder();
// Whether the file can be read, and whether files can be made in the folder.
bool isReadable(const std::string& path);
bool isWritableFolder(const std::string& path);
// This process's number, for names no other run of the program uses.
long processId();
// Standard output and error carry "\n" as written: Windows would otherwise
// turn each into "\r\n", and the program's output would differ by platform.
void useBinaryStandardStreams();

#endif
