#include "geometry/rotation.h"

#include <cmath>

#include "geometry/vector.h"

namespace {
constexpr double kPi = 3.141592653589793;
// Cosines above this count as "no rotation" / "no bank".
constexpr double kNearlyOne = 0.9999999;
} // namespace

double* multiplyQuaternion(const double a[4], const double b[4], double out[4]) {
    const double w = a[0] * b[0] - a[1] * b[1] - a[2] * b[2] - a[3] * b[3];
    const double x = a[0] * b[1] + a[1] * b[0] + a[3] * b[2] - a[2] * b[3];
    const double y = a[0] * b[2] + a[2] * b[0] + a[1] * b[3] - a[3] * b[1];
    const double z = a[0] * b[3] + a[3] * b[0] + a[2] * b[1] - a[1] * b[2];
    out[0] = w;
    out[1] = x;
    out[2] = y;
    out[3] = z;
    return out;
}

void getQuaternion(double q[4], double qc[4], const double axis[3], double angle) {
    const double c = std::cos(angle * 0.5);
    const double s = std::sin(angle * 0.5);
    const double x = axis[0] * s, y = axis[1] * s, z = axis[2] * s;
    q[0] = c;
    q[1] = x;
    q[2] = y;
    q[3] = z;
    qc[0] = c;
    qc[1] = -x;
    qc[2] = -y;
    qc[3] = -z;
}

void transformQuaternion(const double q[4], const double qc[4], const double v[3], double out[3]) {
    double t[4] = {0.0, v[0], v[1], v[2]};
    multiplyQuaternion(qc, t, t); // t (x) qc
    multiplyQuaternion(t, q, t);  // q (x) t (x) qc
    out[0] = t[1];
    out[1] = t[2];
    out[2] = t[3];
}

int getRotateAngleAndAxis(const double a[3], const double b[3], double axis[3], double* angle) {
    const double av[3] = {a[0], a[1], a[2]}; // axis may be a's array
    double c = dot3D(av, b);
    if (c >= -1.0) {
        if (c > 1.0) c = 1.0;
        if (c > kNearlyOne) return 1;
    } else {
        c = -1.0;
    }
    if (norm3D(av, b, axis)) {
        // Opposite directions: any axis perpendicular to a will do; cross with
        // the coordinate axis a is least aligned with.
        const double ax = std::fabs(av[0]), ay = std::fabs(av[1]), az = std::fabs(av[2]);
        double e[3] = {0.0, 0.0, 1.0};
        if (ax < ay && ax < az) {
            e[0] = 1.0;
            e[2] = 0.0;
        } else if (ay <= ax && ay < az) {
            e[1] = 1.0;
            e[2] = 0.0;
        }
        norm3D(av, e, axis);
        *angle = kPi;
    } else {
        *angle = std::acos(c);
    }
    return 0;
}

void getLocalAxis(const double dir[3], double axis1[3], double axis2[3]) {
    const double d[3] = {dir[0], dir[1], dir[2]};
    const double ax = std::fabs(d[0]), ay = std::fabs(d[1]), az = std::fabs(d[2]);
    double p[3];
    if (ay > ax && az > ax) {
        p[0] = 0.0;
        p[1] = d[2];
        p[2] = -d[1];
    } else if (ay <= ax && az > ay) {
        p[0] = -d[2];
        p[1] = 0.0;
        p[2] = d[0];
    } else {
        p[0] = d[1];
        p[1] = -d[0];
        p[2] = 0.0;
    }
    normalize3D(p);
    double q[3];
    cross3D(p, d, q);
    copy3D(p, axis2);
    copy3D(q, axis1);
}

void getOilarRotFromAxisVec(double hpb[3], const double forward[3], const double right[3]) {
    const double fx = forward[0], fy = forward[1], fz = forward[2];
    const double rx = right[0], ry = right[1], rz = right[2];

    // Looking straight up or down leaves heading undefined; fold it into bank.
    double heading = 0.0;
    if (!(std::fabs(fx) <= kGeomEpsilon && std::fabs(fz) <= kGeomEpsilon))
        heading = std::atan2(fx, fz);

    double sp = fy;
    if (sp < -1.0) sp = -1.0;
    if (sp > 1.0) sp = 1.0;
    sp = -sp;
    const double pitch = std::asin(sp);

    // Undo heading and pitch on the right axis; what is left is the bank.
    const double ch = std::cos(heading), sh = std::sin(heading);
    const double cb = rx * ch - rz * sh;
    double bank = 0.0;
    if (cb < kNearlyOne) bank = std::atan2(rz * ch * sp + rx * sh * sp + ry * std::cos(pitch), cb);

    hpb[0] = heading;
    hpb[1] = pitch;
    hpb[2] = bank;
}
