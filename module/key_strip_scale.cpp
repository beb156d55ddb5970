#include "module/key_strip_scale.h"

#include <math.h>

double boundPixPerFrame(double scale) {
    if (isnan(scale)) return kPixPerFrameDefault;
    return scale < kPixPerFrameMin ? kPixPerFrameMin
                                   : (scale > kPixPerFrameMax ? kPixPerFrameMax : scale);
}

int boundStripPixels(double pixels) {
    if (isnan(pixels)) return 0;
    if (pixels > kStripPixelLimit) pixels = kStripPixelLimit;
    if (pixels < -kStripPixelLimit) pixels = -kStripPixelLimit;
    return int(pixels);
}
