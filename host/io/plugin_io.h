// Plug-in instance data in scene text: the LWSaveState a plug-in's save
// callback writes through and the LWLoadState its load callback reads from.
//
// Written text, one line per call outside a leaf block:
//   I1/I2/I4   decimal, the n values separated by single spaces
//   U1/U2/U4   lowercase hex, no 0x, no padding
//   FP         %.8g, or %.9g where %.8g would not read back as the same float
//   DP         the shortest %.Ng (N from 8 to 17) that reads back exactly
//   Str        "text"; a string holding '"' or a byte below 32 is refused
//   write      the bytes as they are (up to len or the first zero byte); a
//              byte below 32 is refused
//   writeID    the ident's token
//   beginBlk   leaf: "Token", and every value up to endBlk joins that line;
//              otherwise "{ Token", contents indented 2 more, "}" to close
// A call with n <= 0 writes nothing. Save callbacks run inside the module,
// so the writer never throws: the first fault is kept and finish() gives it.
//
// Reading mirrors that: outside a leaf block each call takes one whole line
// (values it did not ask for are dropped with the line); inside a leaf block
// (entered by findBlk) calls take the line's values in turn and never move
// on. A read returns the count it parsed, stopping at the first value that
// is malformed or out of range for its width. The end of the lines, or the
// "}" closing the current block, is the end of the data: numeric reads give
// 0, readStr 0 with an empty string, read -1.
#ifndef MORVANE_HOST_IO_PLUGIN_IO_H
#define MORVANE_HOST_IO_PLUGIN_IO_H

#include <lwio.h>

#include <string>
#include <vector>

namespace host {

class PluginWriter {
  public:
    PluginWriter();
    PluginWriter(const PluginWriter&) = delete;
    PluginWriter& operator=(const PluginWriter&) = delete;

    // The record handed to the plug-in's save callback; valid while the
    // writer lives.
    const LWSaveState* state() const { return &state_; }

    // The finished lines, or an error text (lines then are unusable): the
    // first refused call, a block left open, or a line that would read as
    // the EndPlugin closing the data.
    std::string finish();
    const std::vector<std::string>& lines() const { return lines_; }

    // Calls the callbacks make; public so the C callbacks can forward.
    void emit(const std::string& text);
    void fail(const std::string& what);
    void beginBlock(const LWBlockIdent* ident, int leaf);
    void endBlock();
    int depth() const { return int(leaf_.size()); }

  private:
    std::string indent() const { return std::string(2 * nonLeafDepth_, ' '); }

    LWSaveState state_;
    std::vector<std::string> lines_;
    std::vector<bool> leaf_; // one entry per open block
    std::string leafLine_;
    int nonLeafDepth_ = 0;
    std::string error_;
};

class PluginReader {
  public:
    // The data lines (without the Plugin/EndPlugin frame).
    explicit PluginReader(std::vector<std::string> lines);
    PluginReader(const PluginReader&) = delete;
    PluginReader& operator=(const PluginReader&) = delete;

    // The record handed to the plug-in's load callback; valid while the
    // reader lives.
    const LWLoadState* state() const { return &state_; }

    // Calls the callbacks make; public so the C callbacks can forward.
    template <typename T> int readNumbers(T* values, int n, bool hex);
    int readString(char* buf, int max);
    int readRaw(char* buf, int len);
    LWID readIdent(const LWBlockIdent* idents);
    LWID findBlock(const LWBlockIdent* idents);
    void endBlock();
    int depth() const { return int(frames_.size()); }

  private:
    struct Frame {
        bool leaf;
        size_t line; // leaf: its line; otherwise the line of its "}"
    };
    bool inLeaf() const { return !frames_.empty() && frames_.back().leaf; }
    // First line past the current block's data.
    size_t limit() const;
    // The current line with col_ placed past its indentation; null at the end.
    const std::string* currentLine();
    void nextLine();
    // The next whitespace-separated token of the current line, moving past it
    // only when `take` accepts it.
    template <typename Take> bool token(Take take);

    LWLoadState state_;
    std::vector<std::string> lines_;
    std::vector<size_t> match_; // for a "{" line: its "}" (or the end)
    std::vector<Frame> frames_;
    size_t cur_ = 0;
    size_t col_ = std::string::npos; // npos: the line is not started yet
};

// Number text shared with the scene file.
std::string formatFloat(float value);
std::string formatDouble(double value);

} // namespace host

#endif
