// 2D and 3D vector helpers on plain arrays of doubles.
//
// A 2D vector is double[2] (x, y), a 3D vector double[3] (x, y, z). Inputs
// are read completely before any output is written, so an output may be the
// same array as an input. Lengths below kGeomEpsilon count as zero.
#ifndef MORVANE_GEOMETRY_VECTOR_H
#define MORVANE_GEOMETRY_VECTOR_H

#include <cmath>

// Lengths (and cross-product magnitudes) below this are treated as zero.
constexpr double kGeomEpsilon = 1e-7;

// --- small inline helpers ---------------------------------------------------

inline double dot2D(const double a[2], const double b[2]) {
    return a[0] * b[0] + a[1] * b[1];
}
// z of the 3D cross product of (a, 0) and (b, 0).
inline double cross2D(const double a[2], const double b[2]) {
    return a[0] * b[1] - a[1] * b[0];
}
inline double len2D(const double v[2]) {
    return std::sqrt(dot2D(v, v));
}
inline void copy2D(const double src[2], double dst[2]) {
    dst[0] = src[0];
    dst[1] = src[1];
}
// out = a + b
inline void add2D(const double a[2], const double b[2], double out[2]) {
    out[0] = a[0] + b[0];
    out[1] = a[1] + b[1];
}
// out = a - b
inline void sub2D(const double a[2], const double b[2], double out[2]) {
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
}
// out = v * s
inline void scale2D(const double v[2], double s, double out[2]) {
    out[0] = v[0] * s;
    out[1] = v[1] * s;
}

inline bool finite3D(const double v[3]) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}
inline double dot3D(const double a[3], const double b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
inline double len3D(const double v[3]) {
    return std::sqrt(dot3D(v, v));
}
inline void copy3D(const double src[3], double dst[3]) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
}
// out = a + b
inline void add3D(const double a[3], const double b[3], double out[3]) {
    out[0] = a[0] + b[0];
    out[1] = a[1] + b[1];
    out[2] = a[2] + b[2];
}
// out = a - b
inline void sub3D(const double a[3], const double b[3], double out[3]) {
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
    out[2] = a[2] - b[2];
}
// out = v * s
inline void scale3D(const double v[3], double s, double out[3]) {
    out[0] = v[0] * s;
    out[1] = v[1] * s;
    out[2] = v[2] * s;
}
// out = a x b
inline void cross3D(const double a[3], const double b[3], double out[3]) {
    const double x = a[1] * b[2] - a[2] * b[1];
    const double y = a[2] * b[0] - a[0] * b[2];
    const double z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

// --- vector operations --------------------------------------------------------

// Distance between points a[3] and b[3].
double dist3D(const double a[3], const double b[3]);

// v[2] (in/out): scaled to unit length. Returns the former length L; when
// L < kGeomEpsilon, v becomes (0, 0) and 0 is returned.
double normalize2D(double v[2]);

// As normalize2D, but reads in[2] and writes the unit vector to out[2].
double normalize2D2(const double in[2], double out[2]);

// The 3D form of normalize2D on v[3] (in/out).
double normalize3D(double v[3]);

// out[2] = unit(b - a) for points a[2], b[2]; returns |b - a|. Below
// kGeomEpsilon, out is (0, 0) and 0 is returned.
double vect2D(const double a[2], const double b[2], double out[2]);

// The 3D form of vect2D: a[3], b[3] in, out[3] out.
double vect3D(const double a[3], const double b[3], double out[3]);

// out[3] = unit(a x b) for a[3], b[3]. Returns true when |a x b| < kGeomEpsilon
// (a and b parallel or one of them zero; out is then the zero vector), false
// otherwise. The result reports degeneracy, not success.
bool norm3D(const double a[3], const double b[3], double out[3]);

#endif // MORVANE_GEOMETRY_VECTOR_H
