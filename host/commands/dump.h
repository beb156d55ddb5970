// One line of JSON describing an item at the scene's current time, for
// scripts and tests to read.
#ifndef MORVANE_HOST_COMMANDS_DUMP_H
#define MORVANE_HOST_COMMANDS_DUMP_H

#include "scene/scene.h"

#include <string>

namespace host {

class InstanceTable;

// {"name", "id" (hex), "type", "parent" (name or null), "visibility",
//  "position" (world), "right", "up", "forward" (world axes), "scaling",
//  for objects "points" and "polygons", and, given the instance table,
//  "servers": the item's plug-in instances in the order applied}.
std::string dumpItem(const Scene& scene, const Item& item,
                     const InstanceTable* instances = nullptr);

std::string jsonString(const std::string& text);
std::string jsonNumber(double value);

} // namespace host

#endif
