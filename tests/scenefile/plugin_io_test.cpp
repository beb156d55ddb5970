// Plug-in data in scene text: what each save call writes, and what the load
// calls read back from lines, including short, malformed and exhausted ones.
#include "host/io/plugin_io.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const LWBlockIdent kOptions = {0x4f505453, "Options"};
const LWBlockIdent kMode = {0x4d4f4445, "Mode"};
const LWBlockIdent kFalloff = {0x46414c4c, "Falloff"};
const LWBlockIdent kOptionIds[] = {kOptions, {0, nullptr}};
const LWBlockIdent kInnerIds[] = {kMode, kFalloff, {0, nullptr}};

TEST(PluginWriter, EachCallOutsideABlockIsOneLineInItsOwnNotation) {
    host::PluginWriter w;
    const LWSaveState* s = w.state();
    EXPECT_EQ(s->ioMode, LWIO_SCENE);
    const int ints[3] = {3, -7, 2147483647};
    const char bytes[2] = {-128, 127};
    const short shorts[2] = {-32768, 12};
    const unsigned char ubytes[3] = {0, 15, 255};
    const unsigned short ushorts[1] = {0x12c};
    const unsigned int id = 0x5f425042u;
    const float colour[3] = {1.0f, 0.38800001f, -122.55f};
    const double third = 1.0 / 3.0;
    LWSAVE_I4(s, ints, 3);
    LWSAVE_I1(s, bytes, 2);
    LWSAVE_I2(s, shorts, 2);
    LWSAVE_U1(s, ubytes, 3);
    LWSAVE_U2(s, ushorts, 1);
    LWSAVE_U4(s, &id, 1);
    LWSAVE_FP(s, colour, 3);
    LWSAVE_DP(s, &third, 1);
    LWSAVE_STR(s, "         Goal with shape");
    s->write(s->writeData, "raw text, kept as is", -1);
    s->write(s->writeData, "abcdef", 3);
    EXPECT_EQ(w.finish(), "");
    EXPECT_EQ(w.lines(), (Lines{"3 -7 2147483647", "-128 127", "-32768 12", "0 f ff", "12c",
                                "5f425042", "1 0.38800001 -122.55", "0.3333333333333333",
                                "\"         Goal with shape\"", "raw text, kept as is", "abc"}));
}

TEST(PluginWriter, FloatsNeedingNineDigitsGetThem) {
    // 1000 + 2^-14: "1000.0001" would read back as the next float up.
    float f = 1000.00006103515625f;
    EXPECT_EQ(host::formatFloat(f), "1000.00006");
    EXPECT_EQ(host::formatFloat(0.1f), "0.1");
    EXPECT_EQ(host::formatDouble(0.1), "0.1");
    EXPECT_EQ(host::formatDouble(100000.0), "100000");
}

TEST(PluginWriter, EveryFloatAndDoubleReadsBackExactly) {
    // A spread of bit patterns across the whole range, both signs.
    for (std::uint32_t bits = 0x00000001u; bits < 0x7f800000u; bits += 0x00012345u) {
        for (std::uint32_t sign : {0u, 0x80000000u}) {
            std::uint32_t b = bits | sign;
            float f;
            std::memcpy(&f, &b, sizeof f);
            ASSERT_EQ(std::strtof(host::formatFloat(f).c_str(), nullptr), f)
                << host::formatFloat(f);
            double d = double(f) * (1.0 + 1.0 / 3.0);
            ASSERT_EQ(std::strtod(host::formatDouble(d).c_str(), nullptr), d);
        }
    }
}

TEST(PluginWriter, NestedBlocksIndentAndLeafBlocksCollectOneLine) {
    host::PluginWriter w;
    const LWSaveState* s = w.state();
    const int mode[2] = {2, 5};
    const float falloff = 0.25f;
    EXPECT_EQ(LWSAVE_DEPTH(s), 0);
    LWSAVE_BEGIN(s, &kOptions, 0);
    EXPECT_EQ(LWSAVE_DEPTH(s), 1);
    LWSAVE_BEGIN(s, &kMode, 1);
    EXPECT_EQ(LWSAVE_DEPTH(s), 2);
    LWSAVE_I4(s, mode, 2);
    LWSAVE_STR(s, "fast");
    LWSAVE_END(s);
    LWSAVE_BEGIN(s, &kFalloff, 1);
    LWSAVE_FP(s, &falloff, 1);
    LWSAVE_END(s);
    LWSAVE_BEGIN(s, &kOptions, 0);
    LWSAVE_ID(s, &kMode);
    LWSAVE_END(s);
    LWSAVE_END(s);
    EXPECT_EQ(LWSAVE_DEPTH(s), 0);
    EXPECT_EQ(w.finish(), "");
    EXPECT_EQ(w.lines(), (Lines{"{ Options", "  Mode 2 5 \"fast\"", "  Falloff 0.25", "  { Options",
                                "    Mode", "  }", "}"}));
}

// The fault the writer reports for one bad sequence of calls.
template <typename Calls> std::string writerFault(Calls calls) {
    host::PluginWriter w;
    calls(w.state());
    return w.finish();
}

TEST(PluginWriter, RefusesWhatTheTextCannotHold) {
    EXPECT_NE(writerFault([](const LWSaveState* s) { LWSAVE_STR(s, "say \"hi\""); }), "");
    EXPECT_NE(writerFault([](const LWSaveState* s) { LWSAVE_STR(s, "two\nlines"); }), "");
    EXPECT_NE(writerFault([](const LWSaveState* s) { LWSAVE_STR(s, nullptr); }), "");
    EXPECT_NE(writerFault([](const LWSaveState* s) { s->write(s->writeData, "a\tb", -1); }), "");
    EXPECT_NE(writerFault([](const LWSaveState* s) { s->write(s->writeData, "EndPlugin", -1); }),
              "");
    EXPECT_NE(writerFault([](const LWSaveState* s) { LWSAVE_I4(s, nullptr, 2); }), "");
    EXPECT_NE(writerFault([](const LWSaveState* s) { LWSAVE_END(s); }), "");
    EXPECT_NE(writerFault([](const LWSaveState* s) { LWSAVE_BEGIN(s, &kOptions, 0); }), "");
    EXPECT_NE(writerFault([](const LWSaveState* s) {
                  LWSAVE_BEGIN(s, &kMode, 1);
                  LWSAVE_BEGIN(s, &kOptions, 0);
                  LWSAVE_END(s);
                  LWSAVE_END(s);
              }),
              "");
    const LWBlockIdent badToken = {1, "two words"};
    EXPECT_NE(writerFault([&](const LWSaveState* s) {
                  LWSAVE_BEGIN(s, &badToken, 1);
                  LWSAVE_END(s);
              }),
              "");
    // The first fault is the one reported.
    EXPECT_EQ(writerFault([](const LWSaveState* s) {
                  LWSAVE_END(s);
                  LWSAVE_STR(s, "\"");
              }),
              "endBlk with no block open");
    // Nothing at all is not a fault.
    EXPECT_EQ(writerFault([](const LWSaveState* s) { LWSAVE_I4(s, nullptr, 0); }), "");
}

TEST(PluginReader, ReadsTheValuesOfOneLineAndReportsTheCount) {
    host::PluginReader r({"1 -2 3", "4 5", "7 x 9", "abc", "10"});
    const LWLoadState* l = r.state();
    EXPECT_EQ(l->ioMode, LWIO_SCENE);
    int v[5] = {0, 0, 0, 0, 0};
    EXPECT_EQ(LWLOAD_I4(l, v, 3), 3);
    EXPECT_EQ(v[0], 1);
    EXPECT_EQ(v[1], -2);
    EXPECT_EQ(v[2], 3);
    // Asking for more than the line holds gives what is there, no more.
    int more[5] = {0, 0, 0, -1, -1};
    EXPECT_EQ(LWLOAD_I4(l, more, 5), 2);
    EXPECT_EQ(more[0], 4);
    EXPECT_EQ(more[1], 5);
    EXPECT_EQ(more[2], 0);
    EXPECT_EQ(more[3], -1);
    // A malformed value stops the read; the line is used up all the same.
    EXPECT_EQ(LWLOAD_I4(l, v, 3), 1);
    EXPECT_EQ(v[0], 7);
    EXPECT_EQ(LWLOAD_I4(l, v, 1), 0);
    EXPECT_EQ(LWLOAD_I4(l, v, 1), 1);
    EXPECT_EQ(v[0], 10);
    // The end of the data.
    v[0] = 99;
    EXPECT_EQ(LWLOAD_I4(l, v, 1), 0);
    EXPECT_EQ(v[0], 99);
    char buf[8] = "xxxxxxx";
    EXPECT_EQ(LWLOAD_STR(l, buf, 8), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(l->read(l->readData, buf, 8), -1);
}

TEST(PluginReader, AReadTakesOneLineEvenWhenValuesAreLeft) {
    host::PluginReader r({"1 2 3", "4"});
    const LWLoadState* l = r.state();
    int v = 0;
    EXPECT_EQ(LWLOAD_I4(l, &v, 1), 1);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(LWLOAD_I4(l, &v, 1), 1);
    EXPECT_EQ(v, 4);
}

TEST(PluginReader, ChecksEachWidthsRange) {
    host::PluginReader r({"127 128", "-128 -129", "32767 32768", "-2147483648 2147483648", "ff 100",
                          "ffff 10000", "ffffffff 100000000", "-1", "0x10", "5f425042", "1e40",
                          "1.5"});
    const LWLoadState* l = r.state();
    char c[2];
    short s[2];
    int i[2];
    unsigned char uc[2];
    unsigned short us[2];
    unsigned int ui[2];
    EXPECT_EQ(LWLOAD_I1(l, c, 2), 1);
    EXPECT_EQ(c[0], 127);
    EXPECT_EQ(LWLOAD_I1(l, c, 2), 1);
    EXPECT_EQ(static_cast<signed char>(c[0]), -128);
    EXPECT_EQ(LWLOAD_I2(l, s, 2), 1);
    EXPECT_EQ(s[0], 32767);
    EXPECT_EQ(LWLOAD_I4(l, i, 2), 1);
    EXPECT_EQ(i[0], INT32_MIN);
    EXPECT_EQ(LWLOAD_U1(l, uc, 2), 1);
    EXPECT_EQ(uc[0], 255);
    EXPECT_EQ(LWLOAD_U2(l, us, 2), 1);
    EXPECT_EQ(us[0], 0xffff);
    EXPECT_EQ(LWLOAD_U4(l, ui, 2), 1);
    EXPECT_EQ(ui[0], 0xffffffffu);
    EXPECT_EQ(LWLOAD_U4(l, ui, 1), 0); // no sign on hex
    EXPECT_EQ(LWLOAD_U4(l, ui, 1), 0); // nor a prefix
    EXPECT_EQ(LWLOAD_U4(l, ui, 1), 1);
    EXPECT_EQ(ui[0], 0x5f425042u);
    float f = 7;
    EXPECT_EQ(LWLOAD_FP(l, &f, 1), 0); // beyond a float
    EXPECT_EQ(f, 7);
    EXPECT_EQ(LWLOAD_I4(l, i, 1), 0); // not a whole number
}

TEST(PluginReader, ReadsFloatsAndDoublesAsWritten) {
    host::PluginReader r({"0.38800001 1 -122.55", "0.3333333333333333", "1000.00006"});
    const LWLoadState* l = r.state();
    float f[3];
    EXPECT_EQ(LWLOAD_FP(l, f, 3), 3);
    EXPECT_EQ(f[0], 0.388f);
    EXPECT_EQ(f[1], 1.0f);
    EXPECT_EQ(f[2], -122.55f);
    double d = 0;
    EXPECT_EQ(LWLOAD_DP(l, &d, 1), 1);
    EXPECT_EQ(d, 1.0 / 3.0);
    EXPECT_EQ(LWLOAD_FP(l, f, 1), 1);
    EXPECT_EQ(f[0], 1000.00006103515625f);
}

TEST(PluginReader, StringsLoseTheirQuotesAndHonourTheBufferSize) {
    host::PluginReader r(
        {"\"         Goal with shape\"", "\"abcdefgh\"", "bare words here", "\"\"", "\"x\""});
    const LWLoadState* l = r.state();
    char buf[64];
    EXPECT_EQ(LWLOAD_STR(l, buf, sizeof buf), 24);
    EXPECT_STREQ(buf, "         Goal with shape");
    char small[8];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(LWLOAD_STR(l, small, 5), 4);
    EXPECT_STREQ(small, "abcd");
    EXPECT_EQ(small[5], '#');
    EXPECT_EQ(LWLOAD_STR(l, buf, sizeof buf), 15);
    EXPECT_STREQ(buf, "bare words here");
    EXPECT_EQ(LWLOAD_STR(l, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    // No room at all: nothing is stored, but the line is still used.
    EXPECT_EQ(LWLOAD_STR(l, small, 0), 0);
    EXPECT_EQ(small[0], 'a');
    EXPECT_EQ(LWLOAD_STR(l, buf, sizeof buf), 0);
}

TEST(PluginReader, RawReadsGiveTheLineInPiecesThenMinusOne) {
    host::PluginReader r({"abcdef", "", "xy"});
    const LWLoadState* l = r.state();
    char buf[8];
    EXPECT_EQ(l->read(l->readData, buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "abcd");
    EXPECT_EQ(l->read(l->readData, buf, 4), 2);
    EXPECT_STREQ(buf, "ef");
    EXPECT_EQ(l->read(l->readData, buf, 4), 0); // the empty line
    EXPECT_EQ(l->read(l->readData, buf, 8), 2);
    EXPECT_STREQ(buf, "xy");
    EXPECT_EQ(l->read(l->readData, buf, 8), -1);
}

TEST(PluginReader, FindsBlocksReadsLeafValuesInTurnAndNeverLeavesTheBlock) {
    host::PluginReader r({"1", "{ Skipped", "  Mode 9", "}", "{ Options", "  Falloff 0.25",
                          "  { Deeper", "    Mode 8", "  }", "  Mode 2 5 \"fast\"", "}", "77"});
    const LWLoadState* l = r.state();
    int v = 0;
    EXPECT_EQ(LWLOAD_I4(l, &v, 1), 1);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(LWLOAD_FIND(l, kOptionIds), kOptions.id);
    EXPECT_EQ(LWLOAD_DEPTH(l), 1);
    EXPECT_EQ(LWLOAD_FIND(l, kInnerIds), kFalloff.id);
    float f = 0;
    EXPECT_EQ(LWLOAD_FP(l, &f, 1), 1);
    EXPECT_EQ(f, 0.25f);
    EXPECT_EQ(LWLOAD_FP(l, &f, 1), 0); // a leaf line never moves on
    LWLOAD_END(l);
    // The Deeper block is skipped whole: the Mode found is the one after it.
    EXPECT_EQ(LWLOAD_FIND(l, kInnerIds), kMode.id);
    EXPECT_EQ(LWLOAD_DEPTH(l), 2);
    EXPECT_EQ(LWLOAD_I4(l, &v, 1), 1);
    EXPECT_EQ(v, 2);
    EXPECT_EQ(LWLOAD_I4(l, &v, 1), 1);
    EXPECT_EQ(v, 5);
    char buf[16];
    EXPECT_EQ(LWLOAD_STR(l, buf, sizeof buf), 4);
    EXPECT_STREQ(buf, "fast");
    LWLOAD_END(l);
    // Nothing more in Options: the 77 after its "}" is out of reach.
    EXPECT_EQ(LWLOAD_FIND(l, kInnerIds), 0u);
    v = -5;
    EXPECT_EQ(LWLOAD_I4(l, &v, 1), 0);
    EXPECT_EQ(v, -5);
    EXPECT_EQ(l->read(l->readData, buf, 16), -1);
    LWLOAD_END(l);
    EXPECT_EQ(LWLOAD_DEPTH(l), 0);
    EXPECT_EQ(LWLOAD_I4(l, &v, 1), 1);
    EXPECT_EQ(v, 77);
    EXPECT_EQ(LWLOAD_FIND(l, kOptionIds), 0u);
}

TEST(PluginReader, EndBlkLeavesANestedBlockUnread) {
    host::PluginReader r({"{ Options", "  Mode 1", "  { Options", "  }", "  Falloff 2", "}", "3"});
    const LWLoadState* l = r.state();
    EXPECT_EQ(LWLOAD_FIND(l, kOptionIds), kOptions.id);
    LWLOAD_END(l);
    int v = 0;
    EXPECT_EQ(LWLOAD_I4(l, &v, 1), 1);
    EXPECT_EQ(v, 3);
}

TEST(PluginReader, ReadsIdentsAndRawLinesInsideBlocksWithoutTheirIndent) {
    host::PluginReader r({"Mode", "{ Options", "    two spaces kept", "}"});
    const LWLoadState* l = r.state();
    EXPECT_EQ(LWLOAD_ID(l, kInnerIds), kMode.id);
    EXPECT_EQ(LWLOAD_FIND(l, kOptionIds), kOptions.id);
    char buf[32];
    int n = l->read(l->readData, buf, sizeof buf);
    ASSERT_EQ(n, 17);
    EXPECT_EQ(std::string(buf, size_t(n)), "  two spaces kept");
    EXPECT_EQ(l->read(l->readData, buf, sizeof buf), -1);
}

TEST(PluginIo, WhatIsWrittenReadsBackValueForValue) {
    host::PluginWriter w;
    const LWSaveState* s = w.state();
    const int ints[3] = {-1, 0, 65536};
    const unsigned int ids[2] = {0x10000001u, 0x4024000au};
    const float fp[2] = {0.36078432f, 1e-30f};
    const double dp[2] = {-2.5e300, 0.1};
    const char i1[3] = {-5, 0, 100};
    const unsigned short u2[2] = {0, 0xbeef};
    LWSAVE_I4(s, ints, 3);
    LWSAVE_U4(s, ids, 2);
    LWSAVE_FP(s, fp, 2);
    LWSAVE_DP(s, dp, 2);
    LWSAVE_STR(s, "a label with  spaces");
    LWSAVE_BEGIN(s, &kOptions, 0);
    LWSAVE_BEGIN(s, &kMode, 1);
    LWSAVE_I1(s, i1, 3);
    LWSAVE_U2(s, u2, 2);
    LWSAVE_END(s);
    LWSAVE_END(s);
    ASSERT_EQ(w.finish(), "");

    host::PluginReader r(w.lines());
    const LWLoadState* l = r.state();
    int ri[3];
    unsigned int rid[2];
    float rf[2];
    double rd[2];
    char rs[64];
    char r1[3];
    unsigned short r2[2];
    EXPECT_EQ(LWLOAD_I4(l, ri, 3), 3);
    EXPECT_EQ(LWLOAD_U4(l, rid, 2), 2);
    EXPECT_EQ(LWLOAD_FP(l, rf, 2), 2);
    EXPECT_EQ(LWLOAD_DP(l, rd, 2), 2);
    EXPECT_EQ(LWLOAD_STR(l, rs, sizeof rs), 20);
    EXPECT_EQ(LWLOAD_FIND(l, kOptionIds), kOptions.id);
    EXPECT_EQ(LWLOAD_FIND(l, kInnerIds), kMode.id);
    EXPECT_EQ(LWLOAD_I1(l, r1, 3), 3);
    EXPECT_EQ(LWLOAD_U2(l, r2, 2), 2);
    LWLOAD_END(l);
    LWLOAD_END(l);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(ri[k], ints[k]);
        EXPECT_EQ(r1[k], i1[k]);
    }
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(rid[k], ids[k]);
        EXPECT_EQ(rf[k], fp[k]);
        EXPECT_EQ(rd[k], dp[k]);
        EXPECT_EQ(r2[k], u2[k]);
    }
    EXPECT_STREQ(rs, "a label with  spaces");
    EXPECT_EQ(LWLOAD_I4(l, ri, 1), 0);
}

} // namespace
