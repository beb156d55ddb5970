// Three-vectors for tests that check the module's geometry with arithmetic
// of their own.
#ifndef MORVANE_TESTS_SUPPORT_TEST_VEC3_H
#define MORVANE_TESTS_SUPPORT_TEST_VEC3_H

#include <array>
#include <cmath>

namespace testvec {

using V3 = std::array<double, 3>;

inline V3 sub(const V3& a, const V3& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
inline V3 add(const V3& a, const V3& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
inline V3 mul(const V3& a, double k) {
    return {a[0] * k, a[1] * k, a[2] * k};
}
inline double dot(const V3& a, const V3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
inline V3 cross(const V3& a, const V3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double norm(const V3& a) {
    return std::sqrt(dot(a, a));
}

} // namespace testvec

#endif
