#include "module/cpu_features.h"

#include <gtest/gtest.h>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#include <cpuid.h>
#endif

namespace {

// Leaf 1 ECX: FMA 12, OSXSAVE 27, AVX 28. Leaf 7 EBX: AVX2 5, AVX-512 F 16,
// DQ 17, VL 31. XCR0: 0x6 SSE and AVX state, 0xE0 the AVX-512 state.
const unsigned int kLeaf1All = (1u << 12) | (1u << 27) | (1u << 28);
const unsigned int kLeaf7All = (1u << 5) | (1u << 16) | (1u << 17) | (1u << 31);
const unsigned long long kXcr0All = 0xE7;

struct CpuidCase {
    const char* what;
    unsigned int leaf1Ecx, leaf7Ebx;
    unsigned long long xcr0;
    int level;
};

class CpuidLevel : public testing::TestWithParam<CpuidCase> {};

TEST_P(CpuidLevel, FollowsTheProcessorAndSystemWords) {
    const CpuidCase& c = GetParam();
    EXPECT_EQ(vectorLevelOfCpuid(c.leaf1Ecx, c.leaf7Ebx, c.xcr0), c.level) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Words, CpuidLevel,
    testing::Values(CpuidCase{"everything", kLeaf1All, kLeaf7All, kXcr0All, 2},
                    CpuidCase{"no AVX-512 VL", kLeaf1All, kLeaf7All & ~(1u << 31), kXcr0All, 1},
                    CpuidCase{"no AVX-512 DQ", kLeaf1All, kLeaf7All & ~(1u << 17), kXcr0All, 1},
                    CpuidCase{"system saves no AVX-512 state", kLeaf1All, kLeaf7All, 0x7, 1},
                    CpuidCase{"system saves half the AVX-512 state", kLeaf1All, kLeaf7All, 0x67, 1},
                    CpuidCase{"no FMA", kLeaf1All & ~(1u << 12), kLeaf7All, kXcr0All, 0},
                    CpuidCase{"no AVX2", kLeaf1All, kLeaf7All & ~(1u << 5), kXcr0All, 0},
                    CpuidCase{"no AVX", kLeaf1All & ~(1u << 28), kLeaf7All, kXcr0All, 0},
                    CpuidCase{"no OSXSAVE", kLeaf1All & ~(1u << 27), kLeaf7All, 0, 0},
                    CpuidCase{"system saves no AVX state", kLeaf1All, kLeaf7All, 0x3, 0},
                    CpuidCase{"nothing", 0, 0, 0, 0}));

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
// The words this processor reports, decoded as the MSVC build decodes them,
// give the level the compiler's runtime found.
TEST(CpuVectorLevel, DecodingThisProcessorsWordsAgreesWithTheRuntime) {
    unsigned int a, b, c, d;
    ASSERT_TRUE(__get_cpuid(1, &a, &b, &c, &d));
    const unsigned int leaf1Ecx = c;
    unsigned int leaf7Ebx = 0;
    if (__get_cpuid_max(0, nullptr) >= 7) {
        __cpuid_count(7, 0, a, b, c, d);
        leaf7Ebx = b;
    }
    unsigned long long xcr0 = 0;
    if (leaf1Ecx & (1u << 27)) {
        unsigned int lo, hi;
        __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
        xcr0 = (static_cast<unsigned long long>(hi) << 32) | lo;
    }
    EXPECT_EQ(vectorLevelOfCpuid(leaf1Ecx, leaf7Ebx, xcr0), cpuVectorLevel());
}
#endif

} // namespace
