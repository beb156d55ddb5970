// Pictures of the viewports as PNG files, for scripts.
#ifndef MORVANE_HOST_COMMANDS_SNAPSHOT_H
#define MORVANE_HOST_COMMANDS_SNAPSHOT_H

#include <string>
#include <vector>

namespace host {

class HostCore;

// Snapshot PATH: the whole window; Snapshot N PATH: view N (from 0) alone,
// at its own size. Drawn at the scene's current time; a relative PATH is
// taken from the content directory. Prints "snapshot: PATH (W x H)". Throws
// HostError for a view that does not exist or a file that cannot be written.
void snapshot(HostCore& host, const std::vector<std::string>& args);

} // namespace host

#endif
