/* A module file with faults planted by -D switches, for check_dll_test.sh. */
#include <lwmodule.h>

#ifdef PLANT_USER32
#include <windows.h>
#endif

static void* startup(void) {
#ifdef PLANT_USER32
    MessageBeep(0);
#endif
    return (void*)4;
}

static ServerRecord servers[] = {{0, 0, 0, 0}};

__declspec(dllexport) ModuleDescriptor _mod_descrip = {MOD_SYSSYNC, MOD_SYSVER, MOD_MACHINE,
                                                       startup,     0,          servers};

#ifdef PLANT_EXPORT
__declspec(dllexport) int morvaneLeak(void) {
    return 1;
}
#endif
