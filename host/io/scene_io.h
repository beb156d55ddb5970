// Scene files with the plug-in instances of their items: what Layout's
// SaveSceneAs and LoadScene do.
#ifndef MORVANE_HOST_IO_SCENE_IO_H
#define MORVANE_HOST_IO_SCENE_IO_H

#include <string>

namespace host {

class Host;

// Writes the scene with every item's plug-in records (save callbacks).
void saveSceneWithPlugins(Host& host, const std::string& path);

// Replaces the scene with the file's: the old instances are destroyed once
// the file has been read whole, every plug-in block creates its instance
// and hands it its record (load callback), and instances that stored item
// IDs get changeID for items whose IDs differ from the file's. Plug-ins that
// refuse their data are reported as errors; the rest of the scene loads.
void loadSceneWithPlugins(Host& host, const std::string& path);

} // namespace host

#endif
