#include "commands/dump.h"

#include "io/plugin_io.h"
#include "plugins/instances.h"
#include "scene/transform.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace host {

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string jsonNumber(double value) {
    // Rounding noise such as cos(90 degrees) reads as 0.
    if (!std::isfinite(value)) return "null";
    if (std::fabs(value) < 1e-12) value = 0.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

namespace {

std::string vector3(const Scene& scene, const Item& item, LWItemParam param) {
    double v[3];
    itemParam(scene, item.id, param, scene.timing().time, v);
    return "[" + jsonNumber(v[0]) + "," + jsonNumber(v[1]) + "," + jsonNumber(v[2]) + "]";
}

// The lines the instance's save callback writes, as the scene file holds
// them; null when it has no save callback or refuses.
std::string recordOf(const ServerInstance& i) {
    if (!i.server->inst.save) return "null";
    PluginWriter writer;
    if (i.server->inst.save(i.instance, writer.state())) return "null";
    if (!writer.finish().empty()) return "null";
    std::string json = "[";
    for (const std::string& line : writer.lines()) {
        if (json.size() > 1) json += ",";
        json += jsonString(line);
    }
    return json + "]";
}

std::string dumpServers(const InstanceTable& instances, const Item& item) {
    std::string json = "[";
    for (ServerInstance* i : instances.on(item.id)) {
        const char* text = instances.describe(*i);
        if (json.size() > 1) json += ",";
        json += "{\"class\":" + jsonString(i->className) +
                ",\"name\":" + jsonString(i->serverName) +
                ",\"description\":" + (text ? jsonString(text) : "null") +
                ",\"record\":" + recordOf(*i) + "}";
    }
    return json + "]";
}

} // namespace

std::string dumpItem(const Scene& scene, const Item& item, const InstanceTable* instances) {
    char id[32];
    std::snprintf(id, sizeof id, "0x%016llX",
                  static_cast<unsigned long long>(std::uintptr_t(item.id)));
    const Item* parent = scene.find(item.parent);
    std::string json = "{\"name\":" + jsonString(item.name) + ",\"id\":\"" + id + "\"" +
                       ",\"type\":\"" + itemTypeName(item.type) + "\"" +
                       ",\"parent\":" + (parent ? jsonString(parent->name) : "null") +
                       ",\"visibility\":" + std::to_string(item.visibility) +
                       ",\"position\":" + vector3(scene, item, LWIP_W_POSITION) +
                       ",\"right\":" + vector3(scene, item, LWIP_RIGHT) +
                       ",\"up\":" + vector3(scene, item, LWIP_UP) +
                       ",\"forward\":" + vector3(scene, item, LWIP_FORWARD) +
                       ",\"scaling\":" + vector3(scene, item, LWIP_SCALING);
    if (item.type == LWI_OBJECT) {
        size_t points = item.mesh ? item.mesh->points.size() : 0;
        size_t polygons = item.mesh ? item.mesh->polygons.size() : 0;
        json +=
            ",\"points\":" + std::to_string(points) + ",\"polygons\":" + std::to_string(polygons);
    }
    if (instances) json += ",\"servers\":" + dumpServers(*instances, item);
    return json + "}";
}

} // namespace host
