// Key edits a person makes in the graph editor, on one channel of an item.
// They go through the envelope as Layout's do, so plug-ins watching the
// envelope see the same events: a moved key is deleted and inserted again.
#ifndef MORVANE_HOST_SCENE_KEY_EDITS_H
#define MORVANE_HOST_SCENE_KEY_EDITS_H

#include <string>

namespace host {

class Scene;

// Each throws HostError naming what is missing: the item, the channel, a
// key at the time given, or a free destination time.
void moveKey(Scene& scene, const std::string& item, const std::string& channel, double from,
             double to);
void copyKey(Scene& scene, const std::string& item, const std::string& channel, double from,
             double to);
void createKey(Scene& scene, const std::string& item, const std::string& channel, double time,
               double value);
void deleteKey(Scene& scene, const std::string& item, const std::string& channel, double time);

} // namespace host

#endif
