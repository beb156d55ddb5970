// The communication-ring protocol between the module's servers: topic names,
// event codes, and the helpers every sender and handler uses.
#ifndef MORVANE_MODULE_RING_PROTOCOL_H
#define MORVANE_MODULE_RING_PROTOCOL_H

#include <lwserver.h>
#include <lwcomring.h>

#include "ring_query.h"

#define RING_TOPIC_CAGES "COMRING_CAGECUSTOM"
#define RING_TOPIC_DEFORMERS "COMRING_MORVANE"
#define RING_TOPIC_TOOL "COMRING_EDITCAGE"
#define RING_TOPIC_ORDER "COMRING_CAGEGENERICORDER"

enum {
    kRingCount = 0,
    kRingListWithPoints = 2,
    kRingListGroup = 3,
    kRingListAll = 4,
    kRingLastOfGroup = 8,
    kRingSetDisplay = 9,
    kRingShowBaseOn = 10,
    kRingShowBaseOff = 11,
    kRingToolEnds = 12,
    kRingToolStarts = 13,
    kRingHighestCopy = 20,
    kRingStoreSlider = 90,
    kRingReadSlider = 91,
    kRingRefreshBit = 0x8000
};

enum {
    kToolIsRunning = 1,
    kToolCageCreated = 9,
    kToolCageDestroyed = 10,
    kToolKeysChanged = 11,
    kToolCageUnseen = 12
};

// Stores an instance at place count of the query's list when there is room.
void appendToRingQuery(RingQuery* query, void* instance);

// Sends an event; the topic is copied into a writable buffer because older
// hosts declare it char *.
void sendRingMessage(LWComRing* ring, const char* topic, int code, void* payload);
int attachRing(LWComRing* ring, const char* topic, void* data, RingEvent handler);
void detachRing(LWComRing* ring, const char* topic, void* data);

// Counts the instances on a topic (event 0), then lists them with listCode
// into an array of count + 16 entries, offering the handlers count places.
// Returns the array (free it with morvaneFree) and its fill in *count; null
// and 0 when there is none or no memory.
void** collectRingList(LWComRing* ring, const char* topic, int listCode, const char* groupName,
                       int* count);

#endif
