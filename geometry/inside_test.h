// Whether a point lies inside a closed cage, from the cage's 2D triangle grid.
#ifndef MORVANE_GEOMETRY_INSIDE_TEST_H
#define MORVANE_GEOMETRY_INSIDE_TEST_H

#include "cage_instance.h"

// q is cage-local. Looks straight down and straight up from q for the nearest
// triangle of the rest shape (makeTrisMat2D builds the grid): q is inside
// when the nearest one below faces up or the nearest one above faces down,
// the triangle normals pointing into the cage. False when q is off the
// cage's x-y range, nothing lies both below and above, the cage has no 2D
// grid or an empty one, or q is not finite.
bool isWithinTheCage(CageInstance* cage, const double q[3]);

#endif // MORVANE_GEOMETRY_INSIDE_TEST_H
