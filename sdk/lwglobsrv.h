/*
 * lwglobsrv.h -- "Global" class servers: a plug-in that publishes a service
 * other plug-ins fetch through GlobalFunc.
 */
#ifndef LWSDK_GLOBSERV_H
#define LWSDK_GLOBSERV_H

#define LWGLOBALSERVICE_CLASS "Global"
#define LWGLOBALSERVICE_VERSION 1

/* The host fills id with the requested name; the server sets data. */
typedef struct st_LWGlobalService {
    const char* id;
    void* data;
} LWGlobalService;

#endif
