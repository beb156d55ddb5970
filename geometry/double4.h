// Four doubles that arithmetic treats lane by lane.
//
// A blend's running sum is (D, W): three displacement lanes and the weight
// lane. Kept as one Double4 it takes one vector step where the compiler has
// vectors (GCC and Clang) instead of four scalar ones; elsewhere (or with
// MORVANE_PLAIN_DOUBLE4) the struct below does the same lane by lane. Either
// way every lane rounds exactly as the scalar expression written for it
// would: the operations are the plain IEEE ones, in the same order. Pass
// Double4 by reference: a vector passed by value changes the calling
// convention between builds.
#ifndef MORVANE_GEOMETRY_DOUBLE4_H
#define MORVANE_GEOMETRY_DOUBLE4_H

#include <string.h>

#if defined(__GNUC__) && !defined(MORVANE_PLAIN_DOUBLE4)
typedef double Double4 __attribute__((vector_size(32)));
#else
struct Double4 {
    double v[4];
    double& operator[](int i) { return v[i]; }
    double operator[](int i) const { return v[i]; }
};
#define MORVANE_DOUBLE4_LANES(op)                                                                  \
    inline Double4 operator op(const Double4& a, const Double4& b) {                               \
        return Double4{{a.v[0] op b.v[0], a.v[1] op b.v[1], a.v[2] op b.v[2], a.v[3] op b.v[3]}};  \
    }
MORVANE_DOUBLE4_LANES(+)
MORVANE_DOUBLE4_LANES(-)
MORVANE_DOUBLE4_LANES(*)
MORVANE_DOUBLE4_LANES(/)
#undef MORVANE_DOUBLE4_LANES
#endif

inline void load4(const double* src, Double4& out) {
    memcpy(&out, src, sizeof out);
}
inline void set4(double x, double y, double z, double w, Double4& out) {
    out[0] = x, out[1] = y, out[2] = z, out[3] = w;
}
inline void splat4(double x, Double4& out) {
    set4(x, x, x, x, out);
}

// v's first three lanes and w's fourth, (v0, v1, v2, w3): one blend of two
// vectors where the compiler has them, rather than taking the lane out and
// putting it back.
inline void withLane3(const Double4& v, const Double4& w, Double4& out) {
#if defined(__GNUC__) && !defined(MORVANE_PLAIN_DOUBLE4) && (defined(__clang__) || __GNUC__ >= 12)
    out = __builtin_shufflevector(v, w, 0, 1, 2, 7);
#else
    const double last = w[3];
    out = v;
    out[3] = last;
#endif
}

#endif // MORVANE_GEOMETRY_DOUBLE4_H
