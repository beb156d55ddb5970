// When points count as still from frame to frame.
//
// The frame pass and the bind caches pay off only for points that are
// where they were last frame. Each counts, over a frame, the calls it could
// compare with the last frame and those whose point had not moved; the
// next frame it works ahead (or records) only while at least half had not.
// A frame with nothing to compare counts as still.
#ifndef MORVANE_DEFORM_STILL_POINTS_H
#define MORVANE_DEFORM_STILL_POINTS_H

inline bool mostlyStill(int compared, int repeated) {
    return compared == 0 || 2 * repeated >= compared;
}

#endif
