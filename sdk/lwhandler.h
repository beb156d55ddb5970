/*
 * lwhandler.h -- the instance life cycle shared by every handler class, and
 * the interface record for their UI servers.
 */
#ifndef LWSDK_HANDLER_H
#define LWSDK_HANDLER_H

#include "lwio.h"
#include "lwxpanel.h"

/* The host stores priv and passes it back to create(); for item handlers
   context is the LWItemID the instance is applied to. */
typedef struct st_LWInstanceFuncs {
    void* priv;
    LWInstance (*create)(void* priv, void* context, LWError* error);
    void (*destroy)(LWInstance inst);
    LWError (*copy)(LWInstance to, LWInstance from);
    LWError (*load)(LWInstance inst, const LWLoadState* ls);
    LWError (*save)(LWInstance inst, const LWSaveState* ss);
    const char* (*descln)(LWInstance inst);
} LWInstanceFuncs;

typedef struct st_LWHandler {
    LWInstanceFuncs* inst;
} LWHandler;

/* Local of every "...Interface" class. Either give an XPanel (non-modal)
   or an options() call that runs a modal dialog. */
typedef struct st_LWInterface {
    LWInstance inst;
    LWXPanelID panel;
    LWError (*options)(LWInstance inst);
    LWError (*command)(LWInstance inst, const char* command);
} LWInterface;

#define LWINTERFACE_VERSION 4

/* Tell the host an instance changed outside of its own UI. */
#define LWINSTUPDATE_GLOBAL "Instance Update"

typedef void LWInstUpdate(const char* className, LWInstance inst);

#endif
