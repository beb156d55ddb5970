// Where the compiler is told how to inline, and what to fetch ahead.
//
// MORVANE_ALWAYS_INLINE: a body inlined into each build of its caller
// (plain, AVX, ...), so that each runs the vector code of its own build.
// MORVANE_NOINLINE: a body kept as one copy however many places call it.
// The per-point work runs through many functions; were each inlined at
// every call, its code would outgrow the processor's instruction cache
// and every point would wait on fetching it again.
// MORVANE_LIKELY(c): c, with the hint that it is nearly always true (the
// other way is laid out of the hot path).
// MORVANE_PREFETCH(p): asks for the cache line at p ahead of its use (a
// hint: p need not point into anything, and nothing is read).
#ifndef MORVANE_GEOMETRY_INLINING_H
#define MORVANE_GEOMETRY_INLINING_H

#if defined(__GNUC__)
#define MORVANE_ALWAYS_INLINE inline __attribute__((always_inline))
#define MORVANE_NOINLINE __attribute__((noinline))
#elif defined(_MSC_VER)
#define MORVANE_ALWAYS_INLINE __forceinline
#define MORVANE_NOINLINE __declspec(noinline)
#else
#define MORVANE_ALWAYS_INLINE inline
#define MORVANE_NOINLINE
#endif

#if defined(__GNUC__)
#define MORVANE_PREFETCH(p) __builtin_prefetch((p), 0, 3)
#define MORVANE_LIKELY(c) __builtin_expect(!!(c), 1)
#else
#define MORVANE_PREFETCH(p) ((void)0)
#define MORVANE_LIKELY(c) (c)
#endif

#endif // MORVANE_GEOMETRY_INLINING_H
