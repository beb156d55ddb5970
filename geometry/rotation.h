// Quaternions, the rotation between two directions, a perpendicular frame for
// a direction, and heading-pitch-bank angles of a frame.
//
// Quaternions are double[4] in the order (w, x, y, z); vectors are double[3].
// Inputs are read completely before any output is written, so outputs may
// alias inputs.
#ifndef MORVANE_GEOMETRY_ROTATION_H
#define MORVANE_GEOMETRY_ROTATION_H

// out[4] = b (x) a, the Hamilton product with b on the left, of a[4] and b[4]:
// the rotation a followed by the rotation b. Returns out.
double* multiplyQuaternion(const double a[4], const double b[4], double out[4]);

// q[4] = (cos(angle/2), axis * sin(angle/2)) and qc[4] = its conjugate, for a
// unit axis[3] and an angle in radians (right-handed about axis).
void getQuaternion(double q[4], double qc[4], const double axis[3], double angle);

// out[3] = the vector part of q (x) (0, v) (x) qc: v[3] rotated by the unit
// quaternion q[4], with qc[4] its conjugate.
void transformQuaternion(const double q[4], const double qc[4], const double v[3], double out[3]);

// The rotation that takes unit a[3] to unit b[3]: writes the unit axis[3] and
// *angle (radians, in [0, pi]) and returns 0. When a and b already agree
// (a.b > 0.9999999) returns 1 and leaves axis and *angle untouched. For
// opposite a and b the angle is pi about an axis perpendicular to a.
int getRotateAngleAndAxis(const double a[3], const double b[3], double axis[3], double* angle);

// axis1[3] and axis2[3]: unit vectors perpendicular to the unit dir[3] such
// that (axis1, axis2, dir) is a right-handed orthonormal frame. axis2 is built
// by dropping the component of dir of smallest magnitude.
void getLocalAxis(const double dir[3], double axis1[3], double axis2[3]);

// hpb[3] out = (heading, pitch, bank) in radians of the frame whose +z axis is
// the unit forward[3] and whose +x axis is the unit right[3] (perpendicular to
// forward). The frame is rebuilt as Ry(heading) * Rx(pitch) * Rz(bank): bank
// about z first, then pitch about x, then heading about y; heading turns +z
// towards +x and positive pitch tips +z towards -y.
void getOilarRotFromAxisVec(double hpb[3], const double forward[3], const double right[3]);

#endif // MORVANE_GEOMETRY_ROTATION_H
