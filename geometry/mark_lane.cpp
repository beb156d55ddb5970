#include "geometry/mark_lane.h"

thread_local int stMarkLane MORVANE_QUICK_TLS = 0;
