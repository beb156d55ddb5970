// The key strip along the bottom 32 pixels of each viewport: what a press,
// drag and release on it do. A press scrubs the current time, scrolls or
// zooms the strip, fits it to the preview range, jumps to the previous or
// next key, toggles the break flag of the keys at the current time, selects a
// time range, or grabs keys; the drag and the release move, copy or delete
// the grabbed keys.
#ifndef MORVANE_TOOL_KEY_STRIP_H
#define MORVANE_TOOL_KEY_STRIP_H

#include <lwtool.h>

#include "edit_cage_state.h"

// Kinds of strip drag (stripDrag).
enum {
    kStripScroll = 1,
    kStripMoveKeys = 2,
    kStripCopyKeys = 3,
    kStripRange = 4,
    kStripScrub = 5,
    kStripZoom = 6,
    kStripFit = 96,
    kStripPreviousKey = 97,
    kStripNextKey = 98,
    kStripBreakFlag = 99
};

// A range of dragged keys reaches this far past its first and last key.
const double kRangeMargin = 0.0002;

// The strip's part of a press, after the view frame is built: recomputes the
// strip geometry and, when the cursor is on the strip, acts on the zone it is
// in and returns 1; 0 when the press is for the tool mode.
int keyStripPress(EditCageState* state, const LWToolEvent* event);
// A motion while stripDrag is set.
void keyStripMotion(EditCageState* state, const LWToolEvent* event);
// The release of a strip drag, before the common end of every release.
void keyStripRelease(EditCageState* state, const LWToolEvent* event);

// Shared by the strip's files.
// t snapped to a whole frame unless the host allows fractional frames.
double snapStripTime(const EditCageState* state, double t);
// Sends Layout to time t (seconds).
void goToStripTime(const EditCageState* state, double t);
// Whether the grab took a run of keys from the selected range rather than
// one key: a run keeps its last entry in grabbedLast.
inline int grabbedRun(const EditCageState* state) {
    return state->grabbedLast != nullptr;
}

#endif
