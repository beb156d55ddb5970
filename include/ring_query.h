// Payloads of the module's communication-ring topics. Senders build them on
// their stack; handlers fill them and never keep them.
#ifndef MORVANE_INCLUDE_RING_QUERY_H
#define MORVANE_INCLUDE_RING_QUERY_H

#include <lwrender.h>

// The payload of every event on the cage and deformer topics. Senders clear
// the fields they do not set.
struct RingQuery {
    void** list;    // events 2, 3, 4: the array handlers append to
    int capacity;   // entries available in list
    LWItemID item;  // event 8: the item of the best cage
    int count;      // instances counted or stored; 1 from a handler of 90/91
    int value;      // event 8: best list index; 9: display; 20: highest copy
                    // number; 90/91: time-slider position
    double scale;   // events 90, 91: pixels per frame of the time slider
    char name[256]; // events 3, 8, 20 and the refresh bit: a group name
};

// The add-cage command's order, handed to the new cage's creation.
struct CageOrder {
    LWItemID sourceObject;
    LWItemID parentItem; // 0 when none
};

// The payload of every event on the tool's topic: its first member is a
// pointer, a cage going in or the tool's state coming out.
struct EditCageQuery {
    void* pointer;
};

#endif
