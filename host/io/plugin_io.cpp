#include "io/plugin_io.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>

namespace host {

namespace {

bool isIdentifier(const char* token) {
    if (!token || !(std::isalpha(static_cast<unsigned char>(token[0])) || token[0] == '_'))
        return false;
    for (const char* c = token; *c; ++c)
        if (!(std::isalnum(static_cast<unsigned char>(*c)) || *c == '_')) return false;
    return true;
}

bool hasControlByte(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 32) return true;
    return false;
}

std::string trimmed(const std::string& line) {
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    size_t last = line.find_last_not_of(" \t");
    return line.substr(first, last - first + 1);
}

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

// ---- writer callbacks ----

PluginWriter& writer(void* data) {
    return *static_cast<PluginWriter*>(data);
}

template <typename T> void writeNumbers(void* data, const T* values, int n, bool hex) {
    if (n <= 0) return;
    if (!values) return writer(data).fail("a write of " + std::to_string(n) + " values from null");
    std::string text;
    for (int i = 0; i < n; ++i) {
        if (i) text += ' ';
        char buf[32];
        if (hex)
            std::snprintf(buf, sizeof buf, "%llx", static_cast<unsigned long long>(values[i]));
        else
            std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(values[i]));
        text += buf;
    }
    writer(data).emit(text);
}

void cbWrite(void* data, const char* buf, int len) {
    if (!buf) return writer(data).fail("a raw write from null");
    std::string text = len < 0 ? std::string(buf) : std::string(buf, strnlen(buf, size_t(len)));
    if (hasControlByte(text)) return writer(data).fail("a raw line holding a control byte");
    writer(data).emit(text);
}
void cbWriteI1(void* data, const char* v, int n) {
    // I1 is signed whatever the platform's char is.
    if (n <= 0) return;
    if (!v) return writeNumbers(data, static_cast<const signed char*>(nullptr), n, false);
    writeNumbers(data, reinterpret_cast<const signed char*>(v), n, false);
}
void cbWriteI2(void* data, const short* v, int n) {
    writeNumbers(data, v, n, false);
}
void cbWriteI4(void* data, const int* v, int n) {
    writeNumbers(data, v, n, false);
}
void cbWriteU1(void* data, const unsigned char* v, int n) {
    writeNumbers(data, v, n, true);
}
void cbWriteU2(void* data, const unsigned short* v, int n) {
    writeNumbers(data, v, n, true);
}
void cbWriteU4(void* data, const unsigned int* v, int n) {
    writeNumbers(data, v, n, true);
}
void cbWriteFP(void* data, const float* v, int n) {
    if (n <= 0) return;
    if (!v) return writer(data).fail("a write of " + std::to_string(n) + " floats from null");
    std::string text;
    for (int i = 0; i < n; ++i)
        text += (i ? " " : "") + formatFloat(v[i]);
    writer(data).emit(text);
}
void cbWriteDP(void* data, const double* v, int n) {
    if (n <= 0) return;
    if (!v) return writer(data).fail("a write of " + std::to_string(n) + " doubles from null");
    std::string text;
    for (int i = 0; i < n; ++i)
        text += (i ? " " : "") + formatDouble(v[i]);
    writer(data).emit(text);
}
void cbWriteStr(void* data, const char* str) {
    if (!str) return writer(data).fail("a string write from null");
    std::string text(str);
    // No escape convention is known to readers, so such strings cannot be kept.
    if (text.find('"') != std::string::npos || hasControlByte(text))
        return writer(data).fail("the string \"" + text +
                                 "\" holds a quote or control byte, which scene text cannot keep");
    writer(data).emit("\"" + text + "\"");
}
void cbWriteID(void* data, const LWBlockIdent* ident) {
    if (!ident || !isIdentifier(ident->token))
        return writer(data).fail("an ident without a valid token");
    writer(data).emit(ident->token);
}
void cbBeginBlk(void* data, const LWBlockIdent* ident, int leaf) {
    writer(data).beginBlock(ident, leaf);
}
void cbEndBlk(void* data) {
    writer(data).endBlock();
}
int cbSaveDepth(void* data) {
    return writer(data).depth();
}

// ---- reader callbacks ----

PluginReader& reader(void* data) {
    return *static_cast<PluginReader*>(data);
}

int cbRead(void* data, char* buf, int len) {
    return reader(data).readRaw(buf, len);
}
int cbReadI1(void* data, char* v, int n) {
    return reader(data).readNumbers(reinterpret_cast<signed char*>(v), n, false);
}
int cbReadI2(void* data, short* v, int n) {
    return reader(data).readNumbers(v, n, false);
}
int cbReadI4(void* data, int* v, int n) {
    return reader(data).readNumbers(v, n, false);
}
int cbReadU1(void* data, unsigned char* v, int n) {
    return reader(data).readNumbers(v, n, true);
}
int cbReadU2(void* data, unsigned short* v, int n) {
    return reader(data).readNumbers(v, n, true);
}
int cbReadU4(void* data, unsigned int* v, int n) {
    return reader(data).readNumbers(v, n, true);
}
int cbReadFP(void* data, float* v, int n) {
    return reader(data).readNumbers(v, n, false);
}
int cbReadDP(void* data, double* v, int n) {
    return reader(data).readNumbers(v, n, false);
}
int cbReadStr(void* data, char* buf, int max) {
    return reader(data).readString(buf, max);
}
LWID cbReadID(void* data, const LWBlockIdent* idents) {
    return reader(data).readIdent(idents);
}
LWID cbFindBlk(void* data, const LWBlockIdent* idents) {
    return reader(data).findBlock(idents);
}
void cbLoadEndBlk(void* data) {
    reader(data).endBlock();
}
int cbLoadDepth(void* data) {
    return reader(data).depth();
}

// Parses one whole token as a value of T; false when malformed or out of range.
template <typename T> bool parseValue(const std::string& text, bool hex, T& out) {
    if (text.empty()) return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    if constexpr (std::is_floating_point_v<T>) {
        T v = std::is_same_v<T, float> ? T(std::strtof(begin, &end)) : T(std::strtod(begin, &end));
        // Subnormal results set ERANGE too; only an overflow is refused.
        if (*end || (errno == ERANGE && std::isinf(v))) return false;
        out = v;
    } else if (hex) {
        for (char c : text)
            if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        unsigned long long v = std::strtoull(begin, &end, 16);
        if (*end || errno || v > std::numeric_limits<T>::max()) return false;
        out = T(v);
    } else {
        long long v = std::strtoll(begin, &end, 10);
        if (*end || errno || v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max())
            return false;
        out = T(v);
    }
    return true;
}

} // namespace

std::string formatFloat(float value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.8g", double(value));
    if (std::isfinite(value) && std::strtof(buf, nullptr) != value)
        std::snprintf(buf, sizeof buf, "%.9g", double(value));
    return buf;
}

std::string formatDouble(double value) {
    char buf[40];
    for (int precision = 8; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, value);
        if (!std::isfinite(value) || std::strtod(buf, nullptr) == value) break;
    }
    return buf;
}

// ---- PluginWriter ----

PluginWriter::PluginWriter() {
    state_.ioMode = LWIO_SCENE;
    state_.writeData = this;
    state_.write = cbWrite;
    state_.writeI1 = cbWriteI1;
    state_.writeI2 = cbWriteI2;
    state_.writeI4 = cbWriteI4;
    state_.writeU1 = cbWriteU1;
    state_.writeU2 = cbWriteU2;
    state_.writeU4 = cbWriteU4;
    state_.writeFP = cbWriteFP;
    state_.writeStr = cbWriteStr;
    state_.writeID = cbWriteID;
    state_.beginBlk = cbBeginBlk;
    state_.endBlk = cbEndBlk;
    state_.depth = cbSaveDepth;
    state_.writeDP = cbWriteDP;
}

void PluginWriter::emit(const std::string& text) {
    if (!leaf_.empty() && leaf_.back())
        leafLine_ += " " + text;
    else
        lines_.push_back(indent() + text);
}

void PluginWriter::fail(const std::string& what) {
    if (error_.empty()) error_ = what;
}

void PluginWriter::beginBlock(const LWBlockIdent* ident, int leaf) {
    if (!ident || !isIdentifier(ident->token)) return fail("a block ident without a valid token");
    if (!leaf_.empty() && leaf_.back())
        return fail(std::string("block ") + ident->token + " begun inside a leaf block");
    leaf_.push_back(leaf != 0);
    if (leaf) {
        leafLine_ = indent() + ident->token;
    } else {
        lines_.push_back(indent() + "{ " + ident->token);
        ++nonLeafDepth_;
    }
}

void PluginWriter::endBlock() {
    if (leaf_.empty()) return fail("endBlk with no block open");
    bool leaf = leaf_.back();
    leaf_.pop_back();
    if (leaf) {
        lines_.push_back(leafLine_);
        leafLine_.clear();
    } else {
        --nonLeafDepth_;
        lines_.push_back(indent() + "}");
    }
}

std::string PluginWriter::finish() {
    if (!leaf_.empty()) fail(std::to_string(leaf_.size()) + " block(s) left open");
    for (const std::string& line : lines_)
        if (trimmed(line) == "EndPlugin") fail("a line reading EndPlugin would end the data early");
    return error_;
}

// ---- PluginReader ----

PluginReader::PluginReader(std::vector<std::string> lines) : lines_(std::move(lines)) {
    state_.ioMode = LWIO_SCENE;
    state_.readData = this;
    state_.read = cbRead;
    state_.readI1 = cbReadI1;
    state_.readI2 = cbReadI2;
    state_.readI4 = cbReadI4;
    state_.readU1 = cbReadU1;
    state_.readU2 = cbReadU2;
    state_.readU4 = cbReadU4;
    state_.readFP = cbReadFP;
    state_.readStr = cbReadStr;
    state_.readID = cbReadID;
    state_.findBlk = cbFindBlk;
    state_.endBlk = cbLoadEndBlk;
    state_.depth = cbLoadDepth;
    state_.readDP = cbReadDP;

    for (std::string& line : lines_)
        if (!line.empty() && line.back() == '\r') line.pop_back();
    // Pair the braces once; an unclosed "{" runs to the end.
    match_.assign(lines_.size(), lines_.size());
    std::vector<size_t> open;
    for (size_t i = 0; i < lines_.size(); ++i) {
        std::string t = trimmed(lines_[i]);
        if (t == "{" || t.compare(0, 2, "{ ") == 0) {
            open.push_back(i);
        } else if (t == "}" && !open.empty()) {
            match_[open.back()] = i;
            open.pop_back();
        }
    }
}

size_t PluginReader::limit() const {
    for (auto f = frames_.rbegin(); f != frames_.rend(); ++f)
        if (!f->leaf) return f->line;
    return lines_.size();
}

const std::string* PluginReader::currentLine() {
    if (inLeaf()) {
        if (col_ == std::string::npos) col_ = 0;
        return &lines_[frames_.back().line];
    }
    if (cur_ >= limit()) return nullptr;
    const std::string& line = lines_[cur_];
    if (col_ == std::string::npos) {
        // Drop only the indentation the writer adds for the open blocks.
        size_t indent = 0;
        for (const Frame& f : frames_)
            indent += f.leaf ? 0 : 2;
        col_ = 0;
        while (col_ < indent && col_ < line.size() && line[col_] == ' ')
            ++col_;
    }
    return &line;
}

void PluginReader::nextLine() {
    ++cur_;
    col_ = std::string::npos;
}

template <typename Take> bool PluginReader::token(Take take) {
    const std::string* line = currentLine();
    if (!line) return false;
    size_t start = col_;
    while (start < line->size() && isSpace((*line)[start]))
        ++start;
    size_t end = start;
    while (end < line->size() && !isSpace((*line)[end]))
        ++end;
    if (start == end || !take(line->substr(start, end - start))) return false;
    col_ = end;
    return true;
}

template <typename T> int PluginReader::readNumbers(T* values, int n, bool hex) {
    if (n <= 0 || !values || !currentLine()) return 0;
    int count = 0;
    while (count < n &&
           token([&](const std::string& t) { return parseValue(t, hex, values[count]); }))
        ++count;
    if (!inLeaf()) nextLine();
    return count;
}

int PluginReader::readString(char* buf, int max) {
    std::string text;
    const std::string* line = currentLine();
    if (line) {
        size_t start = col_;
        while (start < line->size() && isSpace((*line)[start]))
            ++start;
        size_t end = line->size();
        if (start < end && (*line)[start] == '"') {
            // Outside a leaf the string is the whole line, so its last quote
            // closes it; in a leaf more values may follow.
            size_t close = inLeaf() ? line->find('"', start + 1) : line->rfind('"');
            if (close == std::string::npos || close == start) close = line->size();
            text = line->substr(start + 1, close - start - 1);
            end = std::min(close + 1, line->size());
        } else if (inLeaf()) {
            end = start;
            while (end < line->size() && !isSpace((*line)[end]))
                ++end;
            text = line->substr(start, end - start);
        } else {
            text = trimmed(line->substr(start));
        }
        if (inLeaf())
            col_ = end;
        else
            nextLine();
    }
    if (!buf || max <= 0) return 0;
    size_t kept = std::min(text.size(), size_t(max - 1));
    std::memcpy(buf, text.data(), kept);
    buf[kept] = '\0';
    return int(kept);
}

int PluginReader::readRaw(char* buf, int len) {
    const std::string* line = currentLine();
    if (!line) return -1;
    if (inLeaf()) {
        while (col_ < line->size() && isSpace((*line)[col_]))
            ++col_;
        if (col_ >= line->size()) return -1;
    }
    if (!buf || len <= 0) return 0;
    size_t count = std::min(line->size() - col_, size_t(len));
    std::memcpy(buf, line->data() + col_, count);
    if (count < size_t(len)) buf[count] = '\0';
    col_ += count;
    if (!inLeaf() && col_ >= line->size()) nextLine();
    return int(count);
}

LWID PluginReader::readIdent(const LWBlockIdent* idents) {
    if (!currentLine()) return 0;
    LWID found = 0;
    token([&](const std::string& t) {
        for (const LWBlockIdent* i = idents; i && i->id; ++i)
            if (i->token && t == i->token) found = i->id;
        return true;
    });
    if (!inLeaf()) nextLine();
    return found;
}

LWID PluginReader::findBlock(const LWBlockIdent* idents) {
    if (!idents || inLeaf()) return 0;
    size_t end = limit();
    // A line partly read already counts as read.
    size_t i = col_ == std::string::npos || cur_ >= end ? cur_ : cur_ + 1;
    auto lookup = [&](const std::string& t) -> LWID {
        for (const LWBlockIdent* k = idents; k->id; ++k)
            if (k->token && t == k->token) return k->id;
        return 0;
    };
    while (i < end) {
        std::string t = trimmed(lines_[i]);
        if (t == "{" || t.compare(0, 2, "{ ") == 0) {
            if (LWID id = lookup(trimmed(t.substr(1)))) {
                frames_.push_back({false, match_[i]});
                cur_ = i + 1;
                col_ = std::string::npos;
                return id;
            }
            i = match_[i] + 1; // skip the whole block
            continue;
        }
        size_t space = t.find_first_of(" \t");
        if (LWID id = lookup(t.substr(0, space))) {
            frames_.push_back({true, i});
            cur_ = i;
            col_ = lines_[i].find(t) + (space == std::string::npos ? t.size() : space);
            return id;
        }
        ++i;
    }
    cur_ = std::min(i, end);
    col_ = std::string::npos;
    return 0;
}

void PluginReader::endBlock() {
    if (frames_.empty()) return;
    Frame top = frames_.back();
    frames_.pop_back();
    cur_ = std::min(top.line + 1, lines_.size());
    col_ = std::string::npos;
}

} // namespace host
