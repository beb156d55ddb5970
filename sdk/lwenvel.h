/*
 * lwenvel.h -- animation channels and the envelopes behind them.
 */
#ifndef LWSDK_ENVEL_H
#define LWSDK_ENVEL_H

#include "lwtypes.h"
#include "lwio.h"

typedef void* LWEnvelopeID;
typedef void* LWChanGroupID;
typedef void* LWEnvKeyframeID;

/* Value types for create(). */
#define LWET_FLOAT 2
#define LWET_DISTANCE 3
#define LWET_PERCENT 4
#define LWET_ANGLE 5

/* keySet/keyGet: LWKEY_SHAPE takes an int *, every other tag a double *. */
typedef enum en_LWKeyTag {
    LWKEY_VALUE = 0,
    LWKEY_TIME,
    LWKEY_SHAPE,
    LWKEY_TENSION,
    LWKEY_CONTINUITY,
    LWKEY_BIAS,
    LWKEY_PARAM_0,
    LWKEY_PARAM_1,
    LWKEY_PARAM_2,
    LWKEY_PARAM_3
} LWKeyTag;

/* egSet/egGet, int * values; the key count can only be read. */
typedef enum en_LWEnvTag {
    LWENVTAG_VISIBLE = 0,
    LWENVTAG_PREBEHAVE,
    LWENVTAG_POSTBEHAVE,
    LWENVTAG_KEYCOUNT
} LWEnvTag;

/* Envelope events, followed by the channel events sharing the numbering. */
typedef enum en_LWEnvEvent {
    LWEEVNT_DESTROY = 0,
    LWEEVNT_KEY_INSERT,
    LWEEVNT_KEY_DELETE,
    LWEEVNT_KEY_VALUE,
    LWEEVNT_KEY_TIME,
    LWCEVNT_VALUE,
    LWCEVNT_TRACK,
    LWCEVNT_CREATE,
    LWCEVNT_EDITTEST,
    LWEEVNT_RENAME
} LWEnvEvent;

typedef int (*LWEnvEventFunc)(void* data, LWEnvelopeID env, LWEnvEvent event, void* eventData);
typedef int (*LWChanEventFunc)(void* data, LWChannelID chan, int event, void* eventData);

#define LWCHANNELINFO_GLOBAL "Channel Info 2"

/* NULL prev starts an iteration; NULL parent is the root. Server indices
   are 1-based. */
typedef struct st_LWChannelInfo {
    LWChanGroupID (*nextGroup)(LWChanGroupID parent, LWChanGroupID prev);
    LWChannelID (*nextChannel)(LWChanGroupID parent, LWChannelID prev);
    const char* (*groupName)(LWChanGroupID group);
    const char* (*channelName)(LWChannelID chan);
    LWChanGroupID (*groupParent)(LWChanGroupID group);
    LWChanGroupID (*channelParent)(LWChannelID chan);
    int (*channelType)(LWChannelID chan);
    double (*channelEvaluate)(LWChannelID chan, LWTime t);
    LWEnvelopeID (*channelEnvelope)(LWChannelID chan);
    int (*setChannelEvent)(LWChannelID chan, LWChanEventFunc fn, void* data);
    const char* (*server)(LWChannelID chan, const char* cls, int idx);
    unsigned int (*serverFlags)(LWChannelID chan, const char* cls, int idx);
    LWInstance (*serverInstance)(LWChannelID chan, const char* cls, int idx);
    int (*serverApply)(LWChannelID chan, const char* cls, const char* name, int flags);
    void (*serverRemove)(LWChannelID chan, const char* cls, const char* name, LWInstance inst);
} LWChannelInfo;

#define LWENVELOPEFUNCS_GLOBAL "Animation Envelopes"

typedef struct st_LWEnvelopeFuncs {
    LWEnvelopeID (*create)(LWChanGroupID group, const char* name, int type);
    void (*destroy)(LWEnvelopeID env);
    LWChanGroupID (*createGroup)(LWChanGroupID parent, const char* name);
    void (*destroyGroup)(LWChanGroupID group);
    LWError (*copy)(LWEnvelopeID to, LWEnvelopeID from);
    LWError (*load)(LWEnvelopeID env, const LWLoadState* ls);
    LWError (*save)(LWEnvelopeID env, const LWSaveState* ss);
    double (*evaluate)(LWEnvelopeID env, LWTime t);
    int (*edit)(LWChanGroupID group, LWEnvelopeID env, int flags, void* data);
    int (*envAge)(LWEnvelopeID env);
    LWEnvKeyframeID (*createKey)(LWEnvelopeID env, LWTime t, double value);
    void (*destroyKey)(LWEnvelopeID env, LWEnvKeyframeID key);
    LWEnvKeyframeID (*findKey)(LWEnvelopeID env, LWTime t);
    LWEnvKeyframeID (*nextKey)(LWEnvelopeID env, LWEnvKeyframeID key);
    LWEnvKeyframeID (*prevKey)(LWEnvelopeID env, LWEnvKeyframeID key);
    int (*keySet)(LWEnvelopeID env, LWEnvKeyframeID key, LWKeyTag tag, void* value);
    int (*keyGet)(LWEnvelopeID env, LWEnvKeyframeID key, LWKeyTag tag, void* value);
    int (*setEnvEvent)(LWEnvelopeID env, LWEnvEventFunc fn, void* data); /* NULL fn removes */
    int (*egSet)(LWEnvelopeID env, LWChanGroupID group, int tag, void* value);
    int (*egGet)(LWEnvelopeID env, LWChanGroupID group, int tag, void* value);
} LWEnvelopeFuncs;

#endif
