// Snapping a time to the frame grid.
#ifndef MORVANE_GEOMETRY_FRAME_TIME_H
#define MORVANE_GEOMETRY_FRAME_TIME_H

// time (seconds) rounded to the nearest whole multiple of step (the length of
// one frame, seconds, non-zero). An exact half frame rounds toward zero:
// 2.5 frames gives 2, -2.5 gives -2. A zero or non-finite step leaves time
// as it is.
double getIntegerFrameTimeWithFractionalFrameTime(double time, double step);

#endif // MORVANE_GEOMETRY_FRAME_TIME_H
