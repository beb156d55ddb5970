// The number of processors the system has online (at least 1).
#ifndef MORVANE_MODULE_CPU_COUNT_H
#define MORVANE_MODULE_CPU_COUNT_H

int onlineProcessorCount();

#endif
