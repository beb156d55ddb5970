// The key strip's geometry as the tool and the cages exchange and store it:
// its scroll in whole pixels and its scale in pixels per frame. Both come from
// scene records and ring events, so every place that sets or reads them
// bounds them here first.
#ifndef MORVANE_MODULE_KEY_STRIP_SCALE_H
#define MORVANE_MODULE_KEY_STRIP_SCALE_H

// Pixels per frame: below the minimum the strip's frame ticks would crowd
// into a loop that never ends, above it one frame outgrows a viewport.
const double kPixPerFrameMin = 4.0;
const double kPixPerFrameMax = 128.0;
const double kPixPerFrameDefault = 16.0;

// The scroll stays this far from the int limits, so that the strip's pixel
// sums (a scroll plus a viewport's width) cannot overflow.
const double kStripPixelLimit = 1e9;

// scale within [kPixPerFrameMin, kPixPerFrameMax]; a NaN gives the default.
double boundPixPerFrame(double scale);

// The integer part of a pixel position, within plus or minus
// kStripPixelLimit; a NaN gives 0.
int boundStripPixels(double pixels);

#endif
