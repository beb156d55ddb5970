// A tape of what the rest-shape location queries answered for one point.
//
// Where a point lies over a cage's rest triangles (getLocationPerAtTrigon,
// getLocationPerAtPolygon, nearestFanTriangle) depends on the point and the
// rest shape alone. A caller that evaluates the same point against the same
// rest shape again can record the answers once and replay them: while a tape
// is set (stLocationMemo), each query either appends its question and answer
// (recording) or, replaying, takes the next entry when its question is the
// same to the bit and otherwise stops replaying and answers by itself. So a
// replay can only ever give the answers a computation would give.
//
// One tape at a time per thread (a caller sets and clears it around one
// point's work).
#ifndef MORVANE_GEOMETRY_LOCATION_MEMO_H
#define MORVANE_GEOMETRY_LOCATION_MEMO_H

#include "geometry/quick_tls.h"

#include <string.h>

enum { kMemoRecord = 1, kMemoReplay = 2 };
enum { kMemoTrigon = 1, kMemoPolygon = 2, kMemoNearestFan = 3, kMemoFanBands = 4 };

struct LocationMemoEntry {
    const void* element; // the triangle or polygon asked about
    double pt[3];
    double within; // the depth band asked for; -1 when no depths were
    int kind;
    int code;
    double out[4];
    double depth[2];
    void* result; // nearestFanTriangle's answer
};

struct LocationMemo {
    LocationMemoEntry* entries;
    int count;    // entries held (recorded so far, or on the tape)
    int capacity; // room for entries when recording
    int cursor;   // the next entry to replay
    int mode;     // kMemoRecord or kMemoReplay; 0 once a replay diverged
    int full;     // recording ran out of room: the tape holds a first part
};

// The thread's tape.
extern thread_local LocationMemo* stLocationMemo MORVANE_QUICK_TLS;

// The replayed answer of the next query on the tape memo (the thread's
// stLocationMemo, read once by the caller; may be null), when it is this
// one: true with the answer filled in. Otherwise false (and replaying
// stops).
inline bool replayLocation(LocationMemo* memo, int kind, const void* element, const double pt[3],
                           double within, int* code, double* out, int outCount, double* depth,
                           void** result) {
    if (!memo || memo->mode != kMemoReplay) return false;
    if (memo->cursor >= memo->count) {
        // Past a tape that filled up: the rest is computed, as recorded.
        if (!memo->full) memo->mode = 0;
        return false;
    }
    const LocationMemoEntry& e = memo->entries[memo->cursor];
    if (e.kind != kind || e.element != element || memcmp(e.pt, pt, sizeof e.pt) != 0 ||
        memcmp(&e.within, &within, sizeof within) != 0) {
        memo->mode = 0;
        return false;
    }
    ++memo->cursor;
    if (code) *code = e.code;
    for (int k = 0; k < outCount; ++k)
        out[k] = e.out[k];
    if (depth) depth[0] = e.depth[0], depth[1] = e.depth[1];
    if (result) *result = e.result;
    return true;
}

// Records a computed answer (recording only; memo may be null).
void recordLocation(LocationMemo* memo, int kind, const void* element, const double pt[3],
                    double within, int code, const double* out, int outCount, const double* depth,
                    void* result);

#endif
