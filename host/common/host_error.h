// common/: the host's own small tools, used by every other part of it:
// HostError, vector helpers, file names and text encoding. Nothing here knows
// a scene or a module.
//
// The stand-in host reports failures as exceptions inside its own C++ code;
// they never cross into a module.
#ifndef MORVANE_HOST_COMMON_HOST_ERROR_H
#define MORVANE_HOST_COMMON_HOST_ERROR_H

#include <stdexcept>
#include <string>

namespace host {

class HostError : public std::runtime_error {
  public:
    explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace host

#endif
