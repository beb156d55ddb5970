// The edit tool's falloff shape and one segment of a smooth 1D curve through
// successive values, with its inverse.
#ifndef MORVANE_GEOMETRY_CURVE_H
#define MORVANE_GEOMETRY_CURVE_H

#include <cstdint>

// Falloff at x in [0, 1]. flags[2] and e[2] (exponents) shape the two ends:
// A = 1 - x^e[0] when flags[0] != 0, else (1 - x)^e[0]; B likewise from
// flags[1] and e[1]; the result is (1 - x) * B + x * A. For positive
// exponents it is 1 at x = 0 and 0 at x = 1.
double calcFalloffCurve(const std::uint32_t flags[2], const double e[2], double x);

// v[11] (in/out). On entry v[0..3] are four successive values p0, p1, p2, p3;
// the segment runs from p1 (t = 0) to p2 (t = 1) with end slopes shaped by p0
// and p3. Writes the cubic a*t^3 + b*t^2 + c*t + d as v[4] = a, v[5] = b,
// v[6] = c, v[7] = d, and its derivative as v[8] = 3a, v[9] = 2b, v[10] = c.
void calcBezParm1D(double v[11]);

// The parameter t in the segment where the cubic in v[11] (as filled by
// calcBezParm1D; only v[4..10] are read) equals target, by Newton's method
// from t0. Returns the first iterate whose value is within 1e-7 of target.
//
// Bounds on the iteration: at most 50 Newton steps, each taken only while the
// derivative is non-zero and finite and the next iterate is finite and inside
// the segment [0, 1]. If Newton stops without converging, an end of the
// segment (0, then 1) within 1e-7 of target is returned; else, when target
// lies strictly between the segment's end values, bisection over [0, 1]
// returns the first midpoint within 1e-7 (at most 64 halvings). Failing all
// that (target outside the segment's values, or no convergence), the result is
// the parameter with the smallest |curve(t) - target| among those evaluated
// (t0, the Newton iterates, 0, 1, the midpoints; the earliest wins a tie).
// The result is always finite: a non-finite t0 starts at 0.5.
double solveBezier1DWithNt(const double v[11], double target, double t0);

#endif // MORVANE_GEOMETRY_CURVE_H
