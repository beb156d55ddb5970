#include "module/strings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(NumberedCopySuffix, ParsesAndCutsAWellFormedSuffix) {
    char name[32] = "name_#(12)";
    EXPECT_EQ(getNameAndIndexWithString(name), 12);
    EXPECT_STREQ(name, "name");

    char nine[32] = "a_#(999999999)";
    EXPECT_EQ(getNameAndIndexWithString(nine), 999999999);
    EXPECT_STREQ(nine, "a");
}

TEST(NumberedCopySuffix, EmptyOrZeroDigitsCutTheSuffixAndGiveZero) {
    char empty[32] = "xy_#()";
    EXPECT_EQ(getNameAndIndexWithString(empty), 0);
    EXPECT_STREQ(empty, "xy");

    char zero[32] = "arm_#(0)";
    EXPECT_EQ(getNameAndIndexWithString(zero), 0);
    EXPECT_STREQ(zero, "arm");
}

TEST(NumberedCopySuffix, RefusesMalformedSuffixesAndLeavesThemAlone) {
    const char* refused[] = {"name(12)",   "_#(1)",     "abc_#(1234567890)", "x_#(5", "x_#()",
                             "name_#(1a)", "name#(12)", "name_(12)",         "",      "leg"};
    for (const char* text : refused) {
        char name[64];
        std::strcpy(name, text);
        EXPECT_EQ(getNameAndIndexWithString(name), 0) << text;
        EXPECT_STREQ(name, text) << text;
    }
}

TEST(NumberedCopySuffix, BuildsTheSuffixWhenItFits) {
    char name[256] = "name";
    getStringWithNameAndIndex(name, 12, 256);
    EXPECT_STREQ(name, "name_#(12)");

    char capped[256] = "n";
    getStringWithNameAndIndex(capped, 2000000000, 256);
    EXPECT_STREQ(capped, "n_#(999999999)");
}

TEST(NumberedCopySuffix, CutsTheNameSoSuffixAndTerminatorFit) {
    // size 12, 2 digits: the suffix starts at 12 - 7 - 2 = 3.
    char name[12] = "abcdefghij";
    getStringWithNameAndIndex(name, 12, 12);
    EXPECT_STREQ(name, "abc_#(12)");
    EXPECT_LT(std::strlen(name) + 1, sizeof name);
}

TEST(NumberedCopySuffix, BufferTooSmallForTheSuffixIsNotOverrun) {
    char guard[16];
    std::memset(guard, 'G', sizeof guard);
    std::strcpy(guard, "abc");
    // Size 5 cannot hold "_#(7)" and a terminator: the name stays as it was.
    getStringWithNameAndIndex(guard, 7, 5);
    EXPECT_STREQ(guard, "abc");
    EXPECT_EQ(guard[5], 'G');

    // Size 6 is exactly enough for the bare suffix.
    char tight[6] = "abcd";
    getStringWithNameAndIndex(tight, 7, 6);
    EXPECT_STREQ(tight, "_#(7)");
}

TEST(NumberedCopySuffix, RoundTripsThroughBuildAndParse) {
    for (int n : {0, 1, 9, 10, 123456789, 999999999}) {
        char name[64] = "group";
        getStringWithNameAndIndex(name, n, sizeof name);
        int parsed = getNameAndIndexWithString(name);
        EXPECT_EQ(parsed, n);
        EXPECT_STREQ(name, "group");
    }
}

TEST(CString, CopyNTruncatesAndAlwaysTerminates) {
    char out[8];
    std::memset(out, 'X', sizeof out);
    copyCStringN(out, "abcdefghij", 4);
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(out[4], 'X');

    copyCStringN(out, "abc", 1);
    EXPECT_STREQ(out, "");

    std::strcpy(out, "keep");
    copyCStringN(out, "abc", 0);
    EXPECT_STREQ(out, "keep");
}

TEST(CString, CompareLengthCopyAndSearch) {
    EXPECT_EQ(cStringLength("abc"), 3);
    EXPECT_EQ(cStringLength(""), 0);
    EXPECT_EQ(compareCString("arm", "arm"), 1);
    EXPECT_EQ(compareCString("arm", "arms"), 0);
    EXPECT_EQ(compareCString("arms", "arm"), 0);
    EXPECT_EQ(compareCString("", ""), 1);

    char out[8];
    copyCString(out, "leg");
    EXPECT_STREQ(out, "leg");

    EXPECT_EQ(hasStringInName("Cage lw_err 3", "lw_err"), 1);
    EXPECT_EQ(hasStringInName("abcabd", "abd"), 1);
    EXPECT_EQ(hasStringInName("ab", "abc"), 0);
    EXPECT_EQ(hasStringInName("abc", ""), 0);
}

} // namespace
