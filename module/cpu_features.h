// What the processor offers the wide builds of the module's loops, tested
// once and remembered. The test itself is the compiler's: GCC and clang ask
// their runtime, MSVC reads the processor's identification words.
#ifndef MORVANE_MODULE_CPU_FEATURES_H
#define MORVANE_MODULE_CPU_FEATURES_H

// 2: AVX-512 (F, VL and DQ) with AVX2 and FMA; 1: AVX2 with FMA; 0: neither,
// or a processor that is not x86. A level counts only when the operating
// system saves the registers it uses.
int cpuVectorLevel();

// cpuVectorLevel() held at most at `level` to run the narrower builds of
// the loops (-1: no cap), and that level. MORVANE_VECTOR_LEVEL in the
// environment (0, 1 or 2) sets the cap at each frame's first point.
void capVectorLevel(int level);
void capVectorLevelByEnvironment();
int vectorLevelInUse();

// The same level from the words the processor and system report: ECX of
// CPUID leaf 1, EBX of leaf 7 (sub-leaf 0), and XCR0 (0 when ECX lacks
// OSXSAVE, as XCR0 cannot be read then).
int vectorLevelOfCpuid(unsigned int leaf1Ecx, unsigned int leaf7Ebx, unsigned long long xcr0);

#endif
