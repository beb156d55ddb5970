// The cage's side of the communication ring: what every cage answers on
// "COMRING_CAGECUSTOM", and the key-strip settings the cages keep for the
// edit tool.
#ifndef MORVANE_CAGE_CAGE_RING_H
#define MORVANE_CAGE_CAGE_RING_H

#include "cage_instance.h"

// Module-wide time-slider settings: position and pixels per frame. Saved in
// every cage record and exchanged with the edit tool (events 90 and 91).
extern int stTimeSliderBX;
extern double stPixPerFrame;

// The handler attached for each cage; data is the cage.
void ringEvent(void* data, void* portData, int code, void* payload);

#endif
