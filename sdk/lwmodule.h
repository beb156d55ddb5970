/*
 * lwmodule.h -- the descriptor a module exports as the data symbol
 * `_mod_descrip`; the host checks the three leading words before calling
 * anything.
 */
#ifndef LWSDK_MODULE_H
#define LWSDK_MODULE_H

#include "lwserver.h"

typedef struct st_ModuleDescriptor {
    unsigned int sysSync;
    unsigned int sysVersion;
    unsigned int sysMachine;
    void* (*startup)(void); /* NULL result = the module refuses to load */
    void (*shutdown)(void* serverData);
    ServerRecord* serverDefs;
} ModuleDescriptor;

#define MOD_SYSSYNC 0x04121994
#define MOD_SYSVER 3

/* Left undefined on an unknown platform so a mismatched build fails early. */
#if defined(_MSWIN)
#if defined(_ALPHA_)
#define MOD_MACHINE 0x302
#else
#define MOD_MACHINE 0x300
#endif
#elif defined(_MACOS)
#define MOD_MACHINE 0x400
#elif defined(_XGL)
#define MOD_MACHINE 0x200
#endif

#endif
