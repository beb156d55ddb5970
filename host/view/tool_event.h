// The event a Layout tool gets for the pointer in a viewport (LWToolEvent).
//
// Pointer positions are window positions of the view as ViewGeometry's
// project gives them: from the view's top-left, x right, y down, a whole
// number on a pixel's edge, so pixel (i, j) is covered by [i, i + 1) x
// [j, j + 1) and its centre is (i + 0.5, j + 0.5).
//
// posRaw is the world point under the pointer on the view's pointer plane,
// which is perpendicular to the view direction: side and perspective views
// put it through the view's centre (the orbit centre), camera and light views
// 1 m in front of the viewer. So posRaw lies on the ray from the viewer (the
// viewport service's pos) through the pointer, and project(posRaw) gives the
// pointer's position back.
#ifndef MORVANE_HOST_VIEW_TOOL_EVENT_H
#define MORVANE_HOST_VIEW_TOOL_EVENT_H

#include "view/viewport.h"

#include <lwtool.h>

namespace host {

// Where a button went down, which the events of its drag are measured from.
struct PointerPress {
    double x = 0, y = 0;       // window position in the view
    double pos[3] = {0, 0, 0}; // posRaw of the press
    bool right = false;        // the alternate button
};

// The world point under window position (x, y) on the view's pointer plane
// (v: the view's settings, g: its geometry now).
void pointerPoint(const ViewGeometry& g, const Viewport& v, double x, double y, double world[3]);

// The event for the pointer at window position (x, y) of view `index` while
// the button pressed at `press` is held (at the press itself, x and y are
// the press's):
//   posRaw = posSnap: the point under the pointer on the pointer plane;
//   deltaRaw = deltaSnap: posRaw minus the press's posRaw;
//   ax, ay: the screen's right and up in world space, each as long as one
//     pixel at posRaw's depth; az and axis: the view direction (unit, into
//     the screen), so unit(ax) x unit(ay) = az;
//   pxRaw = pxSnap = x, pyRaw = pySnap = y; dx, dy: whole pixels from the
//     press, y down as the window's;
//   portAxis: the axis a side view looks along (x 0, y 1, z 2), else -1;
//   flags: LWTOOLF_ALT_BUTTON while the right button is held;
//   viewNumber: index.
LWToolEvent toolEventAt(const ViewGeometry& g, const Viewport& v, int index, double x, double y,
                        const PointerPress& press);

} // namespace host

#endif
