#include "geometry/quad_split.h"

#include "geometry/vector.h"

bool boolSpinTrigon(const double a[3], const double b[3], const double c[3], const double d[3]) {
    double ba[3], da[3], dc[3], bc[3];
    sub3D(b, a, ba);
    sub3D(d, a, da);
    sub3D(d, c, dc);
    sub3D(b, c, bc);

    double u[3], v[3], p[3], q[3];
    cross3D(ba, da, u); // triangle a, b, d
    cross3D(dc, bc, v); // triangle c, d, b
    cross3D(bc, ba, p); // triangle b, c, a
    cross3D(da, dc, q); // triangle d, a, c
    return dot3D(u, v) > dot3D(p, q);
}
