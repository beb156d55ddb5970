// The module's servers: names, the interface versions they were written for,
// and their activation functions.
#ifndef MORVANE_MODULE_SERVERS_H
#define MORVANE_MODULE_SERVERS_H

#include <lwserver.h>

#define MORVANE_SERVER_NAME "Zentrik_Morvane"
#define MORVANE_TOOL_SERVER_NAME "Zentrik_Morvane_Tool"
#define MORVANE_ADD_SERVER_NAME "Zentrik_Morvane_Add"

enum {
    kCageHandlerVersion = 5,
    kCageInterfaceVersion = 4,
    kDeformHandlerVersion = 5,
    kDeformInterfaceVersion = 4,
    kEditToolVersion = 1,
    kAddCageGenericVersion = 2
};

XCALL_(int) CageCustomHandler(int version, GlobalFunc* global, void* local, void* serverData);
XCALL_(int) CageCustomInterface(int version, GlobalFunc* global, void* local, void* serverData);
XCALL_(int) MorvaneHandler(int version, GlobalFunc* global, void* local, void* serverData);
XCALL_(int) MorvaneInterface(int version, GlobalFunc* global, void* local, void* serverData);
XCALL_(int) EditCageHandler(int version, GlobalFunc* global, void* local, void* serverData);
XCALL_(int) MakeCageGeneric(int version, GlobalFunc* global, void* local, void* serverData);

// The server table of the module descriptor, ending with an all-zero record.
extern ServerRecord ServerDesc[];

#endif
