// mesh/: object meshes (points, polygons of every size and type, weight
// maps), read from Wavefront OBJ and LWO2 files and written as OBJ, and the
// mesh infos a module scans them through. Knows no scene.
//
// The stand-in host's own copy of an object layer: points, polygons and
// weight maps, in the order the file gave them.
#ifndef MORVANE_HOST_MESH_MESH_H
#define MORVANE_HOST_MESH_MESH_H

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace host {

// A four-character ID, first character in the high byte.
using Id4 = std::uint32_t;

constexpr Id4 makeId4(char a, char b, char c, char d) {
    return (Id4(std::uint8_t(a)) << 24) | (Id4(std::uint8_t(b)) << 16) |
           (Id4(std::uint8_t(c)) << 8) | Id4(std::uint8_t(d));
}

constexpr Id4 kPolygonFace = makeId4('F', 'A', 'C', 'E');
// Subdivision-patch cages: read as polygons of their point count.
constexpr Id4 kPolygonPatch = makeId4('P', 'T', 'C', 'H');
constexpr Id4 kPolygonSubdivision = makeId4('S', 'U', 'B', 'D');
constexpr Id4 kVMapWeight = makeId4('W', 'G', 'H', 'T');

// "FACE" for kPolygonFace; unprintable bytes come out as '?'.
std::string id4Name(Id4 id);

// Meshes are single precision, as the module sees them.
struct Point {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct Polygon {
    Id4 type = kPolygonFace;
    std::vector<std::uint32_t> points; // at least one index into Mesh::points
};

// Sparse: a point with no entry is unmapped.
using WeightMap = std::map<std::uint32_t, float>;

// What a reader left out of a file it still loaded.
struct ReadNotes {
    // Polygons of types that are not surfaces (CURV, BONE, MBAL, ...), by type.
    std::map<std::string, std::size_t> skippedPolygons;
    // Statements the reader does not know, the first one and its line.
    std::size_t unknownStatements = 0;
    std::string firstUnknown;
    int firstUnknownLine = 0;

    void add(const ReadNotes& other);
};

// The one line that tells what reading `path` left out ("" when nothing was):
// "PATH: skipped 2 CURV and 1 BONE polygons" or "PATH: skipped 3 statements
// not read (the first 'vt' on line 2)".
std::string readWarning(const std::string& path, const ReadNotes& notes);

struct Mesh {
    std::vector<Point> points;
    std::vector<Polygon> polygons;
    std::map<std::string, WeightMap> weightMaps;
    // The layer's pivot as stored; points are not shifted by it.
    std::array<float, 3> pivot{};
    ReadNotes notes;

    // The point's value in the named map, or nothing when the map is absent
    // or the point is unmapped.
    std::optional<float> weight(const std::string& map, std::uint32_t point) const;
};

// Throws HostError (prefixed with `what`) if a polygon is empty or an index
// in a polygon or weight map does not name a point, or a coordinate or
// weight is not finite.
void checkMesh(const Mesh& mesh, const std::string& what);

} // namespace host

#endif
