#include "geometry/location_memo.h"

#include <string.h>

thread_local LocationMemo* stLocationMemo MORVANE_QUICK_TLS = nullptr;

void recordLocation(LocationMemo* memo, int kind, const void* element, const double pt[3],
                    double within, int code, const double* out, int outCount, const double* depth,
                    void* result) {
    if (!memo || memo->mode != kMemoRecord || memo->full) return;
    if (memo->count >= memo->capacity) {
        memo->full = 1;
        return;
    }
    LocationMemoEntry& e = memo->entries[memo->count++];
    e.kind = kind;
    e.element = element;
    memcpy(e.pt, pt, sizeof e.pt);
    e.within = within;
    e.code = code;
    for (int k = 0; k < 4; ++k)
        e.out[k] = k < outCount ? out[k] : 0.0;
    e.depth[0] = depth ? depth[0] : 0.0;
    e.depth[1] = depth ? depth[1] : 0.0;
    e.result = result;
}
