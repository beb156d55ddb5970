#include "mesh/mesh.h"

#include "common/host_error.h"

#include <cmath>

namespace host {

std::string id4Name(Id4 id) {
    std::string name;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char((id >> shift) & 0xFF);
        name += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return name;
}

void ReadNotes::add(const ReadNotes& other) {
    for (const auto& [type, count] : other.skippedPolygons)
        skippedPolygons[type] += count;
    if (unknownStatements == 0) {
        firstUnknown = other.firstUnknown;
        firstUnknownLine = other.firstUnknownLine;
    }
    unknownStatements += other.unknownStatements;
}

std::string readWarning(const std::string& path, const ReadNotes& notes) {
    std::string text;
    if (!notes.skippedPolygons.empty()) {
        std::size_t total = 0, done = 0;
        text = "skipped ";
        for (const auto& [type, count] : notes.skippedPolygons) {
            if (done > 0) text += done + 1 == notes.skippedPolygons.size() ? " and " : ", ";
            text += std::to_string(count) + " " + type;
            total += count;
            ++done;
        }
        text += total == 1 ? " polygon" : " polygons";
    }
    if (notes.unknownStatements > 0) {
        if (!text.empty()) text += "; ";
        text += "skipped " + std::to_string(notes.unknownStatements) +
                (notes.unknownStatements == 1 ? " statement" : " statements") + " not read" +
                " (the first '" + notes.firstUnknown + "' on line " +
                std::to_string(notes.firstUnknownLine) + ")";
    }
    return text.empty() ? text : path + ": " + text;
}

std::optional<float> Mesh::weight(const std::string& map, std::uint32_t point) const {
    auto found = weightMaps.find(map);
    if (found == weightMaps.end()) return std::nullopt;
    auto entry = found->second.find(point);
    if (entry == found->second.end()) return std::nullopt;
    return entry->second;
}

void checkMesh(const Mesh& mesh, const std::string& what) {
    const std::size_t count = mesh.points.size();
    for (std::size_t i = 0; i < count; ++i) {
        const Point& p = mesh.points[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            throw HostError(what + ": point " + std::to_string(i) + " is not finite");
    }
    for (std::size_t i = 0; i < mesh.polygons.size(); ++i) {
        const Polygon& poly = mesh.polygons[i];
        if (poly.points.empty())
            throw HostError(what + ": polygon " + std::to_string(i) + " has no points");
        for (std::uint32_t index : poly.points)
            if (index >= count)
                throw HostError(what + ": polygon " + std::to_string(i) + " uses point " +
                                std::to_string(index) + " of " + std::to_string(count));
    }
    for (const auto& [name, map] : mesh.weightMaps)
        for (const auto& [index, value] : map) {
            if (index >= count)
                throw HostError(what + ": weight map \"" + name + "\" uses point " +
                                std::to_string(index) + " of " + std::to_string(count));
            if (!std::isfinite(value))
                throw HostError(what + ": weight map \"" + name + "\" has a non-finite value");
        }
}

} // namespace host
