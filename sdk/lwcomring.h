/*
 * lwcomring.h -- publish/subscribe messages between plug-ins.
 *
 * Includes nothing: include lwtypes.h (or any header that does) first.
 */
#ifndef LWSDK_COMRING_H
#define LWSDK_COMRING_H

#define LWCOMRING_GLOBAL "LW Communication Ring"

/* clientData is the pidata given to ringAttach; portData is the host's. */
typedef void (*RingEvent)(void* clientData, void* portData, int eventCode, void* eventData);

/* Topics are plain char *: pass a writable buffer. ringMessage reaches every
   subscriber of the topic except the sender. */
typedef struct st_LWComRing {
    int (*ringAttach)(char* topic, LWInstance pidata, RingEvent eventCallback); /* 1 = ok */
    void (*ringDetach)(char* topic, LWInstance pidata);
    void (*ringMessage)(char* topic, int eventCode, void* eventData);
} LWComRing;

#define LW_PLUGIN_LIMBO_STATES "LW Plugin Limbo States"
#define LW_LIMBO_START 0x00000001
#define LW_LIMBO_END 0x00000002

#endif
