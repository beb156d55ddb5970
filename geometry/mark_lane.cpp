#include "geometry/mark_lane.h"

thread_local int stMarkLane = 0;
