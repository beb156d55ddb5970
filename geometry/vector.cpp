#include "geometry/vector.h"

double dist3D(const double a[3], const double b[3]) {
    const double d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    return len3D(d);
}

double normalize2D(double v[2]) {
    return normalize2D2(v, v);
}

double normalize2D2(const double in[2], double out[2]) {
    const double len = len2D(in);
    if (len < kGeomEpsilon) {
        out[0] = 0.0;
        out[1] = 0.0;
        return 0.0;
    }
    out[0] = in[0] / len;
    out[1] = in[1] / len;
    return len;
}

double normalize3D(double v[3]) {
    const double len = len3D(v);
    if (len < kGeomEpsilon) {
        v[0] = 0.0;
        v[1] = 0.0;
        v[2] = 0.0;
        return 0.0;
    }
    v[0] /= len;
    v[1] /= len;
    v[2] /= len;
    return len;
}

double vect2D(const double a[2], const double b[2], double out[2]) {
    const double d[2] = {b[0] - a[0], b[1] - a[1]};
    return normalize2D2(d, out);
}

double vect3D(const double a[3], const double b[3], double out[3]) {
    double d[3];
    sub3D(b, a, d);
    const double len = normalize3D(d);
    copy3D(d, out);
    return len;
}

bool norm3D(const double a[3], const double b[3], double out[3]) {
    double c[3];
    cross3D(a, b, c);
    const bool degenerate = normalize3D(c) < kGeomEpsilon;
    copy3D(c, out);
    return degenerate;
}
