#include "module/memory.h"

#include <stdlib.h>

namespace {

// Counts down to the allocation that fails; 0 when nothing is armed. Only a
// test writes it, so the hosts' threads never race on it.
int stFailAllocationAt = 0;

bool failNow() {
    return stFailAllocationAt > 0 && --stFailAllocationAt == 0;
}

} // namespace

void* morvaneAlloc(size_t size) {
    return failNow() ? nullptr : malloc(size);
}

void* morvaneCalloc(size_t count, size_t size) {
    return failNow() ? nullptr : calloc(count, size);
}

void* morvaneRealloc(void* block, size_t size) {
    return failNow() ? nullptr : realloc(block, size);
}

void morvaneFree(void* block) {
    free(block);
}

void failMorvaneAllocationAt(int n) {
    stFailAllocationAt = n > 0 ? n : 0;
}

int pendingMorvaneAllocationFailure() {
    return stFailAllocationAt;
}
