// io/: scene files: the scene written and read in LightWave's scene layout,
// and the plug-in records inside them, one line per save call.
//
// Scene files with the plug-in instances of their items: what Layout's
// SaveSceneAs and LoadScene do.
#ifndef MORVANE_HOST_IO_SCENE_IO_H
#define MORVANE_HOST_IO_SCENE_IO_H

#include <string>

namespace host {

class HostCore;

// Writes the scene with every item's plug-in records (save callbacks).
void saveSceneWithPlugins(HostCore& host, const std::string& path);

// Replaces the scene with the file's: the old instances are destroyed once
// the file has been read whole, every plug-in block creates its instance
// and hands it its record (load callback), and instances that stored item
// IDs get changeID for items whose IDs differ from the file's. Plug-ins that
// refuse their data are reported as errors; the rest of the scene loads.
void loadSceneWithPlugins(HostCore& host, const std::string& path);

} // namespace host

#endif
