#include "cage/cage_storage.h"

#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "cage/cage_keys.h"
#include "cage/cage_model.h"
#include "cage/cage_ring.h"
#include "cage/cage_storage_build.h"
#include "cage_instance.h"
#include "module/key_strip_scale.h"
#include "module/memory.h"
#include "module/strings.h"

namespace {

// Popup ranges of the item panel.
const int kDisplayMax = 2;
const int kModeMax = kCageModeVolume;
const int kFalloffMax = 6;
const int kRefModeMax = 2;

int clampInt(int v, int lo, int hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

// Reads that succeed only whole. A text that reads empty may be the end of
// the data, so it is kept only once the next read succeeds.
struct RecordReader {
    const LWLoadState* ls;
    char* pendingTarget;

    void settle() {
        if (pendingTarget) pendingTarget[0] = 0;
        pendingTarget = nullptr;
    }
    int ints(int* v, int n) {
        if (!ls->readI4 || (*ls->readI4)(ls->readData, v, n) != n) return 0;
        settle();
        return 1;
    }
    int floats(float* v, int n) {
        if (!ls->readFP || (*ls->readFP)(ls->readData, v, n) != n) return 0;
        settle();
        return 1;
    }
    int unsigneds(unsigned int* v, int n) {
        if (!ls->readU4 || (*ls->readU4)(ls->readData, v, n) != n) return 0;
        settle();
        return 1;
    }
    void text(char* target) {
        char buf[256];
        buf[0] = 0;
        int len = ls->readStr ? (*ls->readStr)(ls->readData, buf, int(sizeof buf)) : 0;
        buf[sizeof buf - 1] = 0;
        if (len > 0) {
            copyCStringN(target, buf, 256);
            pendingTarget = nullptr;
        } else {
            pendingTarget = target;
        }
    }
};

// A finite value replaces the setting; NaN or infinity leaves it.
void setFinite(double* setting, float v) {
    if (isfinite(v)) *setting = double(v);
}

// The settings, from the display mode to the weight-map name (in their
// older forms by version). 0 when a read failed; the settings read before
// it stay.
int loadSettings(CageInstance* cage, RecordReader* in, double v) {
    int i[7];
    if (v > 1.015) {
        if (!in->ints(i, 6)) return 0;
        cage->display = clampInt(i[0], 0, kDisplayMax);
        cage->mode = clampInt(i[1], kCageModeSkin, kModeMax);
        cage->falloffType = clampInt(i[2], 0, kFalloffMax);
        cage->ignoreOutside = i[3];
        cage->limitedRange = i[4];
        cage->weightMapIndex = i[5];
        in->text(cage->groupName);
    } else {
        if (!in->ints(i, 7)) return 0;
        cage->display = clampInt(i[0], 0, kDisplayMax);
        snprintf(cage->groupName, sizeof cage->groupName, "%d", i[1]);
        cage->mode = clampInt(i[2], kCageModeSkin, kModeMax);
        cage->falloffType = clampInt(i[3], 0, kFalloffMax);
        cage->ignoreOutside = i[4];
        cage->limitedRange = i[5];
        cage->weightMapIndex = i[6];
    }

    float f[5];
    if (v > 1.045) {
        if (!in->floats(f, 2)) return 0;
        setFinite(&cage->parallelDistance, f[0]);
        setFinite(&cage->perpendicularDistance, f[1]);
        if (!in->ints(i, 1)) return 0;
        cage->restShapeAtFrame0 = i[0];
    }
    if (v > 1.005) {
        if (!in->ints(i, 1)) return 0;
        // Records before 1.035 lacked the " (disabled) " choice at 0.
        int refMode = clampInt(i[0], -1, kRefModeMax);
        if (v < 1.035) refMode += 1;
        cage->refMode = clampInt(refMode, 0, kRefModeMax);
    }
    if (v > 1.025) {
        if (!in->floats(f, 3)) return 0;
        for (int c = 0; c < 3; ++c)
            setFinite(&cage->selectedColor[c], f[c]);
        if (!in->floats(f, 3)) return 0;
        for (int c = 0; c < 3; ++c)
            setFinite(&cage->unselectedColor[c], f[c]);
        if (!in->floats(f, 2)) return 0;
        setFinite(&cage->opacity, f[0]);
        setFinite(&cage->smoothDistance, f[1]);
    } else {
        if (!in->floats(f, 5)) return 0;
        for (int c = 0; c < 3; ++c)
            setFinite(&cage->selectedColor[c], f[c]);
        setFinite(&cage->opacity, f[3]);
        setFinite(&cage->smoothDistance, f[4]);
    }
    if (v > 1.065) {
        if (!in->ints(i, 1)) return 0;
        stTimeSliderBX = boundStripPixels(i[0]);
        if (!in->floats(f, 1)) return 0;
        if (!isnan(f[0])) stPixPerFrame = boundPixPerFrame(f[0]);
    }
    unsigned int ref;
    if (!in->unsigneds(&ref, 1)) return 0;
    // File IDs are mapped to the host's by changeID after the scene is read.
    cage->refObject =
        (ref == 0 || ref == storedItemID(cage->itemID)) ? LWITEM_NULL : (LWItemID)(uintptr_t)ref;
    in->text(cage->weightMapName);
    return 1;
}

// A growing array whose size follows the data actually read, so a count far
// beyond the data costs nothing.
template <class T> struct Staged {
    T* data;
    size_t count;
    size_t capacity;

    int reserve(size_t more) {
        if (count + more <= capacity) return 1;
        size_t cap = capacity ? capacity : 64;
        while (cap < count + more)
            cap *= 2;
        T* grown = static_cast<T*>(morvaneRealloc(data, cap * sizeof(T)));
        if (!grown) return 0;
        data = grown;
        capacity = cap;
        return 1;
    }
    int push(const T* values, size_t n) {
        if (!reserve(n)) return 0;
        memcpy(data + count, values, n * sizeof(T));
        count += n;
        return 1;
    }
    void release() {
        morvaneFree(data);
        data = nullptr;
        count = capacity = 0;
    }
};

struct StagedKey {
    double time;
    unsigned char breakFlag;
};

struct StagedGeometry {
    int pointCount;
    Staged<StagedKey> keys;
    Staged<double> deltas; // pointCount x 3 per staged key
    Staged<double> positions;
    Staged<int> elements[3]; // linegon pairs, trigon triples, polygon quadruples

    void release() {
        keys.release();
        deltas.release();
        positions.release();
        for (Staged<int>& e : elements)
            e.release();
    }
};

// One position or delta; non-finite components read as 0.
int readVector(RecordReader* in, double out[3]) {
    float f[3];
    if (!in->floats(f, 3)) return 0;
    for (int c = 0; c < 3; ++c)
        out[c] = isfinite(f[c]) ? double(f[c]) : 0.0;
    return 1;
}

// The keys and their end mark. 0 when a read failed or memory ran out.
int stageKeys(RecordReader* in, double v, StagedGeometry* g) {
    float t;
    if (!in->floats(&t, 1)) return 0;
    double previous = 0.0;
    int havePrevious = 0;
    while (!(double(t) < CAGE_KEY_LIST_END_BOUND)) {
        int flag = 0;
        if (v > 1.055 && !in->ints(&flag, 1)) return 0;
        const double time = double(t);
        const int keep =
            isfinite(time) && (!havePrevious || time - previous >= CAGE_KEY_TIME_TOLERANCE);
        for (int p = 0; p < g->pointCount; ++p) {
            double d[3];
            if (!readVector(in, d)) return 0;
            if (keep && !g->deltas.push(d, 3)) return 0;
        }
        if (keep) {
            // Any set flag stays set, whatever its width in the record.
            const unsigned char breakFlag = flag == 0 ? 0 : (flag > 0 && flag < 256 ? flag : 1);
            StagedKey key = {time, breakFlag};
            if (!g->keys.push(&key, 1)) return 0;
            previous = time;
            havePrevious = 1;
        }
        if (!in->floats(&t, 1)) return 0;
    }
    return 1;
}

// The points' base positions. 0 when a read failed or memory ran out.
int stagePoints(RecordReader* in, StagedGeometry* g) {
    for (int p = 0; p < g->pointCount; ++p) {
        double pos[3];
        if (!readVector(in, pos) || !g->positions.push(pos, 3)) return 0;
    }
    return 1;
}

// The linegons, trigons and polygons. Stops at the first damage, keeping
// the elements before it; an element naming a point outside the array is
// skipped. 0 when memory ran out (nothing of the record may then be used).
int stageElements(RecordReader* in, StagedGeometry* g) {
    static const int kCorners[3] = {2, 3, 4};
    for (int kind = 0; kind < 3; ++kind) {
        const int corners = kCorners[kind];
        int count;
        if (!in->ints(&count, 1) || count < 0) return 1;
        for (int e = 0; e < count; ++e) {
            int idx[4];
            if (!in->ints(idx, corners)) return 1;
            int valid = 1;
            for (int c = 0; c < corners; ++c)
                if (idx[c] < 0 || idx[c] >= g->pointCount) valid = 0;
            if (valid && !g->elements[kind].push(idx, size_t(corners))) return 0;
        }
    }
    return 1;
}

// Makes the staged points, keys and elements the cage's: all of them, or,
// when memory runs out, none.
void buildLoadedCage(CageInstance* cage, const StagedGeometry* g) {
    emptyStoredCage(cage);
    const int n = g->pointCount;
    const int lines = int(g->elements[0].count / 2);
    const int tris = int(g->elements[1].count / 3);
    const int quads = int(g->elements[2].count / 4);
    int whole = allocCageBlocks(cage, n, lines, tris, quads);
    if (whole) {
        cage->pointArray = static_cast<PointData**>(morvaneCalloc(size_t(n), sizeof(PointData*)));
        whole = cage->pointArray != nullptr;
    }
    if (whole) {
        for (int i = 0; i < n; ++i) {
            PointData* p = add1PointData(cage, g->positions.data + size_t(i) * 3);
            p->index = unsigned(i);
            cage->pointArray[i] = p;
        }
        for (size_t k = 0; k < g->keys.count && whole; ++k) {
            CageKey* key =
                newCageKey(cage, g->keys.data[k].time, g->deltas.data + k * size_t(n) * 3);
            if (key) {
                key->breakFlag = g->keys.data[k].breakFlag;
                appendStoredKey(cage, key);
            }
            whole = key != nullptr;
        }
    }
    if (whole) {
        PointData** at = cage->pointArray;
        const int* e = g->elements[0].data;
        for (int j = 0; j < lines; ++j, e += 2)
            add1LinegonData(cage, at[e[0]], at[e[1]]);
        e = g->elements[1].data;
        for (int j = 0; j < tris; ++j, e += 3)
            add1TrigonData(cage, at[e[0]], at[e[1]], at[e[2]]);
        e = g->elements[2].data;
        for (int j = 0; j < quads; ++j, e += 4)
            add1PolygonData(cage, at[e[0]], at[e[1]], at[e[2]], at[e[3]]);
    }
    finishStoredCage(cage, whole);
}

} // namespace

XCALL_(LWError) CageCustomLoad(LWInstance instance, const LWLoadState* ls) {
    CageInstance* cage = static_cast<CageInstance*>(instance);
    if (!cage || !ls) return nullptr;
    RecordReader in = {ls, nullptr};

    float version;
    if (!in.floats(&version, 1)) return nullptr;
    const double v = double(version);
    if (!loadSettings(cage, &in, v)) return nullptr;
    int n;
    if (!in.ints(&n, 1) || n <= 0) return nullptr;

    // Everything is read before the cage changes: keys and points stay only
    // when both are whole, since deltas and positions must match in count.
    StagedGeometry g;
    memset(&g, 0, sizeof g);
    g.pointCount = n;
    if (stageKeys(&in, v, &g) && stagePoints(&in, &g) && stageElements(&in, &g))
        buildLoadedCage(cage, &g);
    g.release();
    return nullptr;
}
