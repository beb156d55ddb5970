#include "module/cpu_features.h"

#include <atomic>
#include <stdlib.h>

#if defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
#include <immintrin.h>
#include <intrin.h>
#endif

namespace {

// CPUID leaf 1, ECX.
const unsigned int kFma = 1u << 12;
const unsigned int kOsXsave = 1u << 27;
const unsigned int kAvx = 1u << 28;
// CPUID leaf 7, EBX.
const unsigned int kAvx2 = 1u << 5;
const unsigned int kAvx512F = 1u << 16;
const unsigned int kAvx512Dq = 1u << 17;
const unsigned int kAvx512Vl = 1u << 31;
// XCR0: SSE and AVX state; the AVX-512 mask, upper-half and upper-sixteen state.
const unsigned long long kYmmState = 0x6;
const unsigned long long kZmmState = 0xE6;

int measure() {
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
    __builtin_cpu_init();
    if (!(__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))) return 0;
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                   __builtin_cpu_supports("avx512dq")
               ? 2
               : 1;
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
    int words[4];
    __cpuid(words, 0);
    if (words[0] < 7) return 0;
    __cpuid(words, 1);
    const unsigned int leaf1Ecx = static_cast<unsigned int>(words[2]);
    __cpuidex(words, 7, 0);
    const unsigned int leaf7Ebx = static_cast<unsigned int>(words[1]);
    const unsigned long long xcr0 = (leaf1Ecx & kOsXsave) ? _xgetbv(0) : 0;
    return vectorLevelOfCpuid(leaf1Ecx, leaf7Ebx, xcr0);
#else
    return 0;
#endif
}

} // namespace

int vectorLevelOfCpuid(unsigned int leaf1Ecx, unsigned int leaf7Ebx, unsigned long long xcr0) {
    const bool avxUsable =
        (leaf1Ecx & kOsXsave) && (leaf1Ecx & kAvx) && (xcr0 & kYmmState) == kYmmState;
    if (!avxUsable || !(leaf1Ecx & kFma) || !(leaf7Ebx & kAvx2)) return 0;
    const unsigned int avx512 = kAvx512F | kAvx512Dq | kAvx512Vl;
    return (leaf7Ebx & avx512) == avx512 && (xcr0 & kZmmState) == kZmmState ? 2 : 1;
}

int cpuVectorLevel() {
    static const int level = measure();
    return level;
}

namespace {
// Written at a frame's first point, read by the frame pass's threads.
std::atomic<int> gLevelCap(-1);
} // namespace

void capVectorLevel(int level) {
    gLevelCap.store(level, std::memory_order_relaxed);
}

void capVectorLevelByEnvironment() {
    const char* setting = getenv("MORVANE_VECTOR_LEVEL");
    const bool given = setting && setting[0] >= '0' && setting[0] <= '2' && !setting[1];
    capVectorLevel(given ? setting[0] - '0' : -1);
}

int vectorLevelInUse() {
    const int level = cpuVectorLevel();
    const int cap = gLevelCap.load(std::memory_order_relaxed);
    return cap >= 0 && cap < level ? cap : level;
}
