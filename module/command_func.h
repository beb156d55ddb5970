// The host's command function. Older SDK headers do not declare it; newer
// ones do, together with the name macro.
#ifndef MORVANE_MODULE_COMMAND_FUNC_H
#define MORVANE_MODULE_COMMAND_FUNC_H

#ifndef LWCOMMANDFUNC_GLOBAL
#define LWCOMMANDFUNC_GLOBAL "LW Command Interface"
typedef int LWCommandFunc(const char* cmd);
#endif

#endif
