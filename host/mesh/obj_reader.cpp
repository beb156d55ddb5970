#include "mesh/obj_reader.h"

#include "common/file_contents.h"
#include "common/host_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <string_view>

namespace host {

namespace {

class ObjParser {
  public:
    explicit ObjParser(const std::string& path) : path_(path) {}

    Mesh parse(const std::string& text) {
        std::size_t pos = 0;
        int lineNo = 0;
        while (pos < text.size()) {
            line_ = lineNo + 1;
            std::string logical;
            // A trailing backslash continues the statement on the next line.
            for (;;) {
                std::size_t end = text.find('\n', pos);
                if (end == std::string::npos) end = text.size();
                std::string_view piece(text.data() + pos, end - pos);
                pos = end + 1;
                ++lineNo;
                if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
                if (!piece.empty() && piece.back() == '\\' && pos < text.size()) {
                    piece.remove_suffix(1);
                    logical.append(piece);
                    logical += ' ';
                    continue;
                }
                logical.append(piece);
                break;
            }
            statement(logical);
        }
        return std::move(mesh_);
    }

  private:
    [[noreturn]] void fail(const std::string& what) const {
        throw HostError(path_ + ":" + std::to_string(line_) + ": " + what);
    }

    static std::vector<std::string_view> split(std::string_view s) {
        std::vector<std::string_view> fields;
        std::size_t i = 0;
        while (i < s.size()) {
            while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
                ++i;
            std::size_t start = i;
            while (i < s.size() && s[i] != ' ' && s[i] != '\t')
                ++i;
            if (i > start) fields.push_back(s.substr(start, i - start));
        }
        return fields;
    }

    void statement(std::string_view s) {
        std::size_t hash = s.find('#');
        if (hash != std::string_view::npos) s = s.substr(0, hash);
        std::vector<std::string_view> fields = split(s);
        if (fields.empty()) return;
        std::string_view key = fields[0];
        fields.erase(fields.begin());
        if (key == "v") {
            vertex(fields);
        } else if (key == "f") {
            if (fields.empty()) fail("f has no vertices");
            addPolygon(indices(fields, "face"));
        } else if (key == "p") {
            if (fields.empty()) fail("p has no vertices");
            for (std::uint32_t index : indices(fields, "point"))
                addPolygon({index});
        } else if (key == "l") {
            if (fields.size() < 2) fail("l needs at least 2 vertices");
            std::vector<std::uint32_t> line = indices(fields, "line");
            for (std::size_t i = 0; i + 1 < line.size(); ++i)
                addPolygon({line[i], line[i + 1]});
        } else if (freeForm().count(key) != 0) {
            fail("free-form geometry ('" + std::string(key) + "') is not supported");
        } else if (!std::all_of(key.begin(), key.end(),
                                [](char c) { return c > ' ' && c < 0x7F; })) {
            // Not text: some other kind of file.
            fail("unknown statement '" + std::string(key) + "'");
        } else {
            // Texture coordinates, normals, groups, materials, the counts
            // some exporters write first, ...: skipped and counted.
            ReadNotes& notes = mesh_.notes;
            if (notes.unknownStatements++ == 0) {
                notes.firstUnknown = std::string(key);
                notes.firstUnknownLine = line_;
            }
        }
    }

    static const std::set<std::string_view>& freeForm() {
        static const std::set<std::string_view> keys = {
            "cstype", "deg",  "bmat", "step", "curv", "curv2", "surf",  "parm",
            "trim",   "hole", "scrv", "sp",   "end",  "con",   "ctech", "stech"};
        return keys;
    }

    void vertex(const std::vector<std::string_view>& fields) {
        if (fields.size() < 3) fail("v needs 3 coordinates, got " + std::to_string(fields.size()));
        float xyz[3] = {};
        for (std::size_t i = 0; i < fields.size(); ++i) {
            float value = number(fields[i]);
            if (i < 3) xyz[i] = value;
        }
        mesh_.points.push_back({xyz[0], xyz[1], xyz[2]});
    }

    float number(std::string_view field) const {
        std::string_view digits = field;
        if (digits.size() > 1 && digits[0] == '+') digits.remove_prefix(1);
        double value = 0.0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (ec == std::errc::result_out_of_range)
            fail("coordinate '" + std::string(field) + "' is out of range");
        if (ec != std::errc() || end != digits.data() + digits.size())
            fail("coordinate '" + std::string(field) + "' is not a number");
        if (!std::isfinite(value)) fail("coordinate '" + std::string(field) + "' is not finite");
        // Halfway between the largest float and 2^128 is where rounding gives inf.
        if (std::fabs(value) >= 0x1.ffffffp+127)
            fail("coordinate '" + std::string(field) + "' is out of range");
        return float(value);
    }

    static bool isInteger(std::string_view s, long long& out) {
        if (s.empty()) return false;
        auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
        return ec == std::errc() && end == s.data() + s.size();
    }

    std::vector<std::uint32_t> indices(const std::vector<std::string_view>& fields,
                                       const char* element) const {
        const long long count = (long long)mesh_.points.size();
        std::vector<std::uint32_t> out;
        out.reserve(fields.size());
        for (std::string_view field : fields) {
            // v, v/t, v//n or v/t/n: only the position index matters here.
            std::size_t slash = field.find('/');
            std::string_view head = field.substr(0, slash);
            long long index = 0;
            if (!isInteger(head, index))
                fail(std::string(element) + " index '" + std::string(field) + "' is not a number");
            if (slash != std::string_view::npos) {
                std::string_view rest = field.substr(slash + 1);
                for (int part = 0; part < 2; ++part) {
                    std::size_t next = rest.find('/');
                    std::string_view sub = rest.substr(0, next);
                    long long unused = 0;
                    if (!sub.empty() && !isInteger(sub, unused))
                        fail(std::string(element) + " index '" + std::string(field) +
                             "' is not a number");
                    if (next == std::string_view::npos) break;
                    if (part == 1)
                        fail(std::string(element) + " index '" + std::string(field) +
                             "' has too many parts");
                    rest = rest.substr(next + 1);
                }
            }
            if (index == 0)
                fail(std::string(element) + " index 0 is not allowed (indices start at 1)");
            long long zeroBased = index > 0 ? index - 1 : count + index;
            if (zeroBased < 0 || zeroBased >= count)
                fail(std::string(element) + " index " + std::to_string(index) + " out of range (" +
                     std::to_string(count) + " points)");
            out.push_back(std::uint32_t(zeroBased));
        }
        return out;
    }

    void addPolygon(std::vector<std::uint32_t> points) {
        Polygon poly;
        poly.type = kPolygonFace;
        poly.points = std::move(points);
        mesh_.polygons.push_back(std::move(poly));
    }

    std::string path_;
    int line_ = 0;
    Mesh mesh_;
};

} // namespace

Mesh readObj(const std::string& path) {
    std::string text = readFileContents(path);
    Mesh mesh = ObjParser(path).parse(text);
    checkMesh(mesh, path);
    return mesh;
}

} // namespace host
