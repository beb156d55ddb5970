// Which lane of the element records' scratch marks (kMarkLanes) the calling
// thread's searches and blends use. Lane 0 unless a thread of a parallel
// pass set another for its run; two threads working on one cage at once
// must hold different lanes.
#ifndef MORVANE_GEOMETRY_MARK_LANE_H
#define MORVANE_GEOMETRY_MARK_LANE_H

#include "geometry/quick_tls.h"

extern thread_local int stMarkLane MORVANE_QUICK_TLS;

#endif
