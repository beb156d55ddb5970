// Three-component vectors as plain double[3] arrays. The host keeps its own
// rather than borrowing the module's: it is the oracle the module is checked
// against, so the two share no code. Outputs may alias inputs.
#ifndef MORVANE_HOST_COMMON_VEC3_H
#define MORVANE_HOST_COMMON_VEC3_H

#include <cmath>

namespace host::vec3 {

inline void copy(const double v[3], double out[3]) {
    for (int k = 0; k < 3; ++k)
        out[k] = v[k];
}

inline double dot(const double a[3], const double b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline double length(const double v[3]) {
    return std::sqrt(dot(v, v));
}

inline void subtract(const double a[3], const double b[3], double out[3]) {
    for (int k = 0; k < 3; ++k)
        out[k] = a[k] - b[k];
}

inline void scale(const double v[3], double s, double out[3]) {
    for (int k = 0; k < 3; ++k)
        out[k] = v[k] * s;
}

inline void cross(const double a[3], const double b[3], double out[3]) {
    const double x = a[1] * b[2] - a[2] * b[1];
    const double y = a[2] * b[0] - a[0] * b[2];
    const double z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

} // namespace host::vec3

#endif
