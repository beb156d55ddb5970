// The module's heap. Every block the module owns is taken and given back
// through these four, so that a test can make one chosen allocation fail and
// check that the code around it copes. Unarmed they are exactly malloc,
// calloc, realloc and free.
#ifndef MORVANE_MODULE_MEMORY_H
#define MORVANE_MODULE_MEMORY_H

#include <stddef.h>

void* morvaneAlloc(size_t size);
void* morvaneCalloc(size_t count, size_t size);
// As realloc: on failure null is returned and the block stays as it was.
void* morvaneRealloc(void* block, size_t size);
void morvaneFree(void* block);

// A block that starts on a cache line (64 bytes), for arrays that vector
// loops read a line at a time: a load that straddles two lines costs two.
// Given back with morvaneFreeLines (null is fine), never morvaneFree.
void* morvaneAllocLines(size_t size);
void morvaneFreeLines(void* block);

// Arms the failure: the nth allocation from now (1 = the next one) returns
// null; n <= 0 disarms. The failure fires once.
void failMorvaneAllocationAt(int n);
// Allocations left before the armed failure fires; 0 once it has fired or
// when nothing is armed.
int pendingMorvaneAllocationFailure(void);

#endif
