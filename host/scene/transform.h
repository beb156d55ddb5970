// Item transforms: the local transform an item's nine motion channels give at
// a time, the world transform up the parent chain, the answers to the item
// parameters of Item Info, and the edits that key motion channels.
//
// Layout's frame is left-handed: +X right, +Y up, +Z forward. All maths here
// is plain matrix algebra on coordinates, with column vectors:
//   R = Ry(heading) * Rx(pitch) * Rz(bank)   (bank first, heading last)
//   Ry(h) * (0,0,1) = (sin h, 0, cos h)      heading +90 deg turns +Z to +X
//   Rx(p) * (0,0,1) = (0, -sin p, cos p)     positive pitch tips the nose down
//   Rz(b) * (1,0,0) = (cos b, sin b, 0)      positive bank lifts +X towards +Y
// A point p of the item lands in its parent's space at
//   position + R * (S * (p - pivot))
// so the pivot point sits at the position channels. The pivot rotation is
// reported by LWIP_PIVOT_ROT but does not enter the transform.
#ifndef MORVANE_HOST_SCENE_TRANSFORM_H
#define MORVANE_HOST_SCENE_TRANSFORM_H

#include "scene/scene.h"

#include <lwrender.h>

namespace host {

// p' = m * p + t; column j of m is the image of axis j.
struct Affine {
    double m[3][3]; // m[row][column]
    double t[3];
};

Affine identityAffine();
// outer after inner.
Affine compose(const Affine& outer, const Affine& inner);
// The inverse; a singular linear part (a zero scale) gives all zeros.
Affine inverse(const Affine& a);
double determinant(const double m[3][3]);
void transformPoint(const Affine& a, const double p[3], double out[3]);

// R for heading, pitch, bank in radians.
void rotationMatrix(const double hpb[3], double r[3][3]);

// The nine motion channel values (position, H/P/B, scale) at time. A missing
// channel gives its rest value.
void motionValues(const Item& item, double time, double values[9]);

// Item space to parent space.
Affine localTransform(const Item& item, double time);
// Item space to world space; identity for an unknown item. A parent that is
// not in the scene ends the chain.
Affine worldTransform(const Scene& scene, LWItemID id, double time);

// 4x4 forms, row-major for column vectors (translation in column 3).
void worldMatrix(const Scene& scene, LWItemID id, double time, double out[4][4]);
void inverseWorldMatrix(const Scene& scene, LWItemID id, double time, double out[4][4]);

// Item Info's param: LWIP_POSITION .. LWIP_PIVOT_ROT. RIGHT/UP/FORWARD are the
// item's axes in the world including scale; W_RIGHT/W_UP/W_FORWARD are the
// world axes in item coordinates (columns of the inverse). W_POSITION is the
// world position of the pivot point. An unknown item or param writes zeros.
void itemParam(const Scene& scene, LWItemID id, LWItemParam param, double time, double out[3]);

// Parents child to newParent (null unparents) and keys the child's nine
// channels at time so that its world transform at time is unchanged. Assumes
// the new local transform has no shear and positive scale. Throws HostError
// for an unknown item, a cycle, or a parent with zero scale; nothing changes
// then.
void parentKeepingWorld(Scene& scene, LWItemID child, LWItemID newParent, double time);

// Keys three channels starting at firstChannel (0 position, 3 rotation,
// 6 scale) at time. Throws HostError for an unknown item or channel.
void setMotion(Scene& scene, LWItemID id, int firstChannel, const double values[3], double time);

} // namespace host

#endif
