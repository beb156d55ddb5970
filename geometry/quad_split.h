// Choice of diagonal when a four-point polygon is split into two triangles.
#ifndef MORVANE_GEOMETRY_QUAD_SPLIT_H
#define MORVANE_GEOMETRY_QUAD_SPLIT_H

// For the quadrilateral a[3], b[3], c[3], d[3] (in that order): true when the
// split along b-d has the larger dot product of its two triangles' unnormalised
// normals, (b-a)x(d-a) . (d-c)x(b-c), than the split along a-c,
// (b-c)x(b-a) . (d-a)x(d-c). Ties give false (split along a-c).
bool boolSpinTrigon(const double a[3], const double b[3], const double c[3], const double d[3]);

#endif // MORVANE_GEOMETRY_QUAD_SPLIT_H
