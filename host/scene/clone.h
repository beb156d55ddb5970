// The item half of Layout's Clone: a copy of an item under a fresh name. The
// plug-in instances that go with it are the caller's to re-create.
#ifndef MORVANE_HOST_SCENE_CLONE_H
#define MORVANE_HOST_SCENE_CLONE_H

#include "scene/scene.h"

namespace host {

// Adds one copy of the item, named "NAME (N)" with the lowest free N from 2
// up (a trailing " (N)" on the source's name is not repeated), with the same
// type, parent, visibility, pivot, motion keys, shared mesh and render
// settings. The name is set before anything else can look it up. Throws
// HostError for an unknown source.
Item& addItemCopy(Scene& scene, LWItemID source);

} // namespace host

#endif
