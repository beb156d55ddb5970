#include "module/cpu_count.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

int onlineProcessorCount() {
#ifdef _WIN32
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const long count = long(info.dwNumberOfProcessors);
#else
    const long count = sysconf(_SC_NPROCESSORS_ONLN);
#endif
    return count >= 1 ? (count < 1024 ? int(count) : 1024) : 1;
}
