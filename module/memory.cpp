#include "module/memory.h"

#include <stdint.h>
#include <stdlib.h>

namespace {

// Counts down to the allocation that fails; 0 when nothing is armed. Only a
// test writes it, so the hosts' threads never race on it.
int stFailAllocationAt = 0;

// A cache line, what morvaneAllocLines aligns to.
const size_t kLine = 64;

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

// The block from morvaneAlloc, its address kept in the word before the
// line the caller gets; morvaneFreeLines gives it back through morvaneFree.
void* morvaneAllocLines(size_t size) {
    if (size > SIZE_MAX - kLine - sizeof(void*)) return nullptr;
    void* raw = morvaneAlloc(size + kLine + sizeof(void*));
    if (!raw) return nullptr;
    const uintptr_t start = (uintptr_t(raw) + sizeof(void*) + kLine - 1) & ~uintptr_t(kLine - 1);
    void** block = reinterpret_cast<void**>(start);
    block[-1] = raw;
    return block;
}

void morvaneFreeLines(void* block) {
    if (block) morvaneFree(static_cast<void**>(block)[-1]);
}

void failMorvaneAllocationAt(int n) {
    stFailAllocationAt = n > 0 ? n : 0;
}

int pendingMorvaneAllocationFailure() {
    return stFailAllocationAt;
}
