#include "mesh/lwo2_reader.h"

#include "common/file_contents.h"
#include "common/host_error.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace host {

namespace {

constexpr Id4 kForm = makeId4('F', 'O', 'R', 'M');
constexpr Id4 kLwo2 = makeId4('L', 'W', 'O', '2');
constexpr Id4 kLwob = makeId4('L', 'W', 'O', 'B');
constexpr Id4 kLwlo = makeId4('L', 'W', 'L', 'O');
constexpr Id4 kLayr = makeId4('L', 'A', 'Y', 'R');
constexpr Id4 kPnts = makeId4('P', 'N', 'T', 'S');
constexpr Id4 kPols = makeId4('P', 'O', 'L', 'S');
constexpr Id4 kVmap = makeId4('V', 'M', 'A', 'P');

using Bytes = std::string;

std::uint32_t be32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

const std::uint8_t* byteAt(const Bytes& file, std::size_t at) {
    return reinterpret_cast<const std::uint8_t*>(file.data() + at);
}

// Reads big-endian fields out of one chunk's data; running off its end is
// reported against the chunk.
class ChunkCursor {
  public:
    ChunkCursor(const std::uint8_t* begin, std::size_t size, std::string where)
        : p_(begin), end_(begin + size), where_(std::move(where)) {}

    bool atEnd() const { return p_ == end_; }
    std::size_t left() const { return std::size_t(end_ - p_); }

    [[noreturn]] void fail(const std::string& what) const { throw HostError(where_ + ": " + what); }

    std::uint16_t u2(const char* field) {
        need(2, field);
        std::uint16_t v = std::uint16_t((p_[0] << 8) | p_[1]);
        p_ += 2;
        return v;
    }
    std::uint32_t u4(const char* field) {
        need(4, field);
        std::uint32_t v = be32(p_);
        p_ += 4;
        return v;
    }
    float f4(const char* field) {
        std::uint32_t bits = u4(field);
        float v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    // Two bytes below 0xFF00, otherwise four with the top byte 0xFF.
    std::uint32_t vx(const char* field) {
        need(1, field);
        if (p_[0] == 0xFF) return u4(field) & 0x00FFFFFFu;
        return u2(field);
    }
    // A zero-terminated string padded to an even length.
    std::string s0(const char* field) {
        const void* zero = std::memchr(p_, 0, left());
        if (zero == nullptr) fail(std::string(field) + " has no terminating zero");
        std::size_t length = std::size_t(static_cast<const std::uint8_t*>(zero) - p_);
        std::string text(reinterpret_cast<const char*>(p_), length);
        std::size_t stored = (length + 2) & ~std::size_t(1);
        need(stored, field);
        p_ += stored;
        return text;
    }

  private:
    void need(std::size_t n, const char* field) const {
        if (left() < n) throw HostError(where_ + " ends inside " + field);
    }

    const std::uint8_t* p_;
    const std::uint8_t* end_;
    std::string where_;
};

class Lwo2Parser {
  public:
    Lwo2Parser(const std::string& path, std::optional<unsigned> layer)
        : path_(path), wanted_(layer) {
        // Data ahead of any LAYR is layer 0 when picking by number, and the
        // first layer otherwise.
        active_ = !wanted_ || *wanted_ == 0;
    }

    Mesh parse(const Bytes& file) {
        if (file.size() < 12) fail("too short to be an LWO2 file (" + sizeText(file.size()) + ")");
        if (be32(byteAt(file, 0)) != kForm) fail("not an IFF FORM file");
        Id4 type = be32(byteAt(file, 8));
        if (type == kLwob) fail("is an LWOB (LightWave 5) object; only LWO2 is read");
        if (type == kLwlo) fail("is an LWLO (LightWave 5 layered) object; only LWO2 is read");
        if (type != kLwo2) fail("not an LWO2 file (FORM type '" + id4Name(type) + "')");
        std::uint32_t formSize = be32(byteAt(file, 4));
        if (std::uint64_t(formSize) + 8 != file.size())
            fail("FORM size " + std::to_string(formSize) + " disagrees with the file length (" +
                 sizeText(file.size()) + ", so " + std::to_string(file.size() - 8) + ")");

        std::size_t pos = 12;
        while (pos < file.size()) {
            if (file.size() - pos < 8)
                fail("truncated chunk header at offset " + std::to_string(pos));
            Id4 tag = be32(byteAt(file, pos));
            std::uint32_t size = be32(byteAt(file, pos + 4));
            std::size_t data = pos + 8;
            if (size > file.size() - data)
                fail("chunk " + id4Name(tag) + " runs past the end of the file");
            chunk(tag, ChunkCursor(byteAt(file, data), size,
                                   path_ + ": chunk " + id4Name(tag) + " at offset " +
                                       std::to_string(pos)));
            // Odd sizes are followed by a pad byte; a file that stops right
            // before the last one lost nothing, so let it pass.
            pos = data + size + (size & 1u);
        }
        if (wanted_ && !found_) fail("has no layer " + std::to_string(*wanted_));
        // Geometry ahead of any LAYR is a layer 0 of its own.
        if (sawEarlyGeometry_ && std::none_of(layers_.begin(), layers_.end(),
                                              [](const Lwo2Layer& l) { return l.number == 0; }))
            layers_.insert(layers_.begin(), Lwo2Layer{});
        return std::move(mesh_);
    }

    const std::vector<Lwo2Layer>& layers() const { return layers_; }

  private:
    [[noreturn]] void fail(const std::string& what) const { throw HostError(path_ + ": " + what); }

    static std::string sizeText(std::size_t n) { return std::to_string(n) + " bytes"; }

    void chunk(Id4 tag, ChunkCursor in) {
        if (tag == kLayr) {
            layer(in);
            return;
        }
        if (tag != kPnts && tag != kPols && tag != kVmap) return;
        if (!active_) return;
        if (!sawLayer_) sawEarlyGeometry_ = true;
        found_ = true;
        if (tag == kPnts)
            points(in);
        else if (tag == kPols)
            polygons(in);
        else
            vmap(in);
    }

    void layer(ChunkCursor& in) {
        unsigned number = in.u2("the layer number");
        in.u2("the layer flags");
        std::array<float, 3> pivot{};
        for (float& v : pivot)
            v = in.f4("the pivot");
        std::string name = in.s0("the layer name");
        std::optional<unsigned> parent;
        if (in.left() >= 2) {
            unsigned parentNumber = in.u2("the parent layer");
            if (parentNumber != 0xFFFFu) parent = parentNumber;
        }
        if (std::none_of(layers_.begin(), layers_.end(),
                         [number](const Lwo2Layer& l) { return l.number == number; }))
            layers_.push_back({number, name, parent});
        bool first = !sawLayer_;
        sawLayer_ = true;
        // A new layer has no PNTS of its own yet.
        pointsBase_ = std::uint32_t(mesh_.points.size());
        pointsCount_ = 0;
        if (wanted_)
            active_ = number == *wanted_;
        else
            active_ = first && !sawEarlyGeometry_;
        if (!active_) return;
        for (float v : pivot)
            if (!std::isfinite(v)) in.fail("has a pivot that is not finite");
        mesh_.pivot = pivot;
        found_ = true;
    }

    void points(ChunkCursor& in) {
        if (in.left() % 12 != 0)
            in.fail("size " + std::to_string(in.left()) + " is not a multiple of 12");
        // Later indexes count from the start of this PNTS.
        pointsBase_ = std::uint32_t(mesh_.points.size());
        pointsCount_ = std::uint32_t(in.left() / 12);
        mesh_.points.reserve(mesh_.points.size() + pointsCount_);
        while (!in.atEnd()) {
            Point p;
            p.x = in.f4("a point");
            p.y = in.f4("a point");
            p.z = in.f4("a point");
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
                in.fail("point " + std::to_string(mesh_.points.size() - pointsBase_) +
                        " is not finite");
            mesh_.points.push_back(p);
        }
    }

    void polygons(ChunkCursor& in) {
        Id4 type = in.u4("the polygon type");
        // Curves, metaballs, skelegons and unknown kinds are not surfaces:
        // counted, not read. Subdivision cages are polygons like faces.
        if (type != kPolygonFace && type != kPolygonPatch && type != kPolygonSubdivision) {
            mesh_.notes.skippedPolygons[id4Name(type)] += countRecords(type, in);
            return;
        }
        std::size_t ordinal = 0;
        while (!in.atEnd()) {
            // The high six bits are flags, meaningful only for curves.
            unsigned count = in.u2("a polygon vertex count") & 0x03FFu;
            if (count == 0) in.fail("polygon " + std::to_string(ordinal) + " has no vertices");
            Polygon poly;
            poly.type = type;
            poly.points.reserve(count);
            for (unsigned i = 0; i < count; ++i) {
                std::uint32_t index = in.vx("a polygon vertex");
                if (index >= pointsCount_)
                    in.fail("polygon " + std::to_string(ordinal) + " uses point " +
                            std::to_string(index) + " out of range (" +
                            std::to_string(pointsCount_) + " points)");
                poly.points.push_back(pointsBase_ + index);
            }
            mesh_.polygons.push_back(std::move(poly));
            ++ordinal;
        }
    }

    // The number of whole polygon records in a chunk that is skipped; a curve's
    // four highest flag bits extend its vertex count.
    static std::size_t countRecords(Id4 type, ChunkCursor& in) {
        const bool curve = type == makeId4('C', 'U', 'R', 'V');
        std::size_t records = 0;
        try {
            while (!in.atEnd()) {
                unsigned word = in.u2("a polygon vertex count");
                unsigned count = (word & 0x03FFu) | (curve ? (word >> 12) << 10 : 0u);
                for (unsigned i = 0; i < count; ++i)
                    in.vx("a polygon vertex");
                ++records;
            }
        } catch (const HostError&) {
            // A damaged record in a chunk that is not read ends the count.
        }
        return records;
    }

    void vmap(ChunkCursor& in) {
        Id4 type = in.u4("the map type");
        if (type != kVMapWeight) return;
        unsigned dimension = in.u2("the map dimension");
        std::string name = in.s0("the map name");
        if (dimension != 1)
            in.fail("weight map \"" + name + "\" has dimension " + std::to_string(dimension) +
                    ", expected 1");
        WeightMap& map = mesh_.weightMaps[name];
        while (!in.atEnd()) {
            std::uint32_t index = in.vx("a weight map entry");
            float value = in.f4("a weight map entry");
            if (index >= pointsCount_)
                in.fail("weight map \"" + name + "\" refers to point " + std::to_string(index) +
                        " out of range (" + std::to_string(pointsCount_) + " points)");
            if (!std::isfinite(value))
                in.fail("weight map \"" + name + "\" has a value that is not finite");
            map[pointsBase_ + index] = value;
        }
    }

    std::string path_;
    std::optional<unsigned> wanted_;
    bool active_ = true;
    bool found_ = false;
    bool sawLayer_ = false;
    bool sawEarlyGeometry_ = false;
    std::uint32_t pointsBase_ = 0;
    std::uint32_t pointsCount_ = 0;
    std::vector<Lwo2Layer> layers_;
    Mesh mesh_;
};

Mesh read(const std::string& path, std::optional<unsigned> layer) {
    Bytes file = readFileContents(path);
    Mesh mesh = Lwo2Parser(path, layer).parse(file);
    checkMesh(mesh, path);
    return mesh;
}

} // namespace

std::vector<Lwo2Layer> lwo2Layers(const std::string& path) {
    Bytes file = readFileContents(path);
    Lwo2Parser parser(path, std::nullopt);
    checkMesh(parser.parse(file), path);
    return parser.layers();
}

bool isIffForm(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char head[4] = {};
    std::size_t n = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    return n == sizeof head && std::memcmp(head, "FORM", 4) == 0;
}

Mesh readLwo2(const std::string& path) {
    return read(path, std::nullopt);
}

Mesh readLwo2Layer(const std::string& path, unsigned layerNumber) {
    return read(path, layerNumber);
}

} // namespace host
