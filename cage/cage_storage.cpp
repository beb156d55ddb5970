#include "cage/cage_storage.h"

#include <float.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "cage/cage_envelope.h"
#include "cage/cage_keys.h"
#include "cage/cage_model.h"
#include "cage/cage_ring.h"
#include "cage/cage_storage_build.h"
#include "cage_instance.h"
#include "geometry/element_grids.h"
#include "module/host_services.h"
#include "module/memory.h"
#include "module/ring_protocol.h"
#include "module/strings.h"
#include "module/version.h"

namespace {

// Doubles beyond float range would be undefined as floats; they saturate.
float toFloat(double v) {
    if (v > FLT_MAX) return FLT_MAX;
    if (v < -FLT_MAX) return -FLT_MAX;
    return float(v);
}

void putInts(const LWSaveState* ss, const int* v, int n) {
    LWSAVE_I4(ss, v, n);
}

void putFloats(const LWSaveState* ss, const double* v, int n) {
    float f[3];
    for (int i = 0; i < n; ++i)
        f[i] = toFloat(v[i]);
    LWSAVE_FP(ss, f, n);
}

void putFloat(const LWSaveState* ss, double v) {
    putFloats(ss, &v, 1);
}

template <class T> int listLength(const T* list) {
    int n = 0;
    for (; list; list = list->next)
        ++n;
    return n;
}

template <class T> unsigned int serial(const T* element, int corner) {
    return element->pnt[corner]->serialIndex;
}

// A copied element's corners must be points of the source's array.
int inArray(PointData* const* corners, int count, int n) {
    for (int c = 0; c < count; ++c)
        if (!corners[c] || corners[c]->serialIndex >= unsigned(n)) return 0;
    return 1;
}

template <class T> T* reversed(T* list) {
    T* out = nullptr;
    while (list) {
        T* next = list->next;
        list->next = out;
        out = list;
        list = next;
    }
    return out;
}

} // namespace

uint32_t storedItemID(LWItemID id) {
    return uint32_t(uintptr_t(id));
}

void emptyStoredCage(CageInstance* cage) {
    if (!cage->pointBlock && !cage->linegonBlock && !cage->trigonBlock && !cage->polygonBlock &&
        !cage->pointArray && !cage->keyHead && !cage->removedKeyHead && !cage->edgeBlock)
        return;
    unsigned int counter = cage->labelCounter;
    freeCageGrids(cage);
    destroyCageData(cage);
    cage->labelCounter = counter;
    cage->rebuildNeeded = 1;
}

void appendStoredKey(CageInstance* cage, CageKey* key) {
    key->next = nullptr;
    key->prev = cage->keyTail;
    if (cage->keyTail)
        cage->keyTail->next = key;
    else
        cage->keyHead = key;
    cage->keyTail = key;
}

int finishStoredCage(CageInstance* cage, int whole) {
    if (whole) {
        cage->linegonList = reversed(cage->linegonList);
        cage->trigonList = reversed(cage->trigonList);
        cage->polygonList = reversed(cage->polygonList);
        whole = createEdgeData(cage, 0) >= 0.0;
    }
    if (!whole) emptyStoredCage(cage);
    refreshLWEnvelopeForThisLattice(
        cage, static_cast<LWEnvelopeFuncs*>(acquireService("Animation Envelopes")));
    return whole;
}

XCALL_(LWError) CageCustomSave(LWInstance instance, const LWSaveState* ss) {
    CageInstance* cage = static_cast<CageInstance*>(instance);
    if (!cage || !ss) return nullptr;

    putFloat(ss, double(MORVANE_VERSION));
    const int settings[6] = {cage->display,       cage->mode,         cage->falloffType,
                             cage->ignoreOutside, cage->limitedRange, cage->weightMapIndex};
    putInts(ss, settings, 6);
    LWSAVE_STR(ss, cage->groupName);
    const double distances[2] = {cage->parallelDistance, cage->perpendicularDistance};
    putFloats(ss, distances, 2);
    putInts(ss, &cage->restShapeAtFrame0, 1);
    putInts(ss, &cage->refMode, 1);
    putFloats(ss, cage->selectedColor, 3);
    putFloats(ss, cage->unselectedColor, 3);
    const double look[2] = {cage->opacity, cage->smoothDistance};
    putFloats(ss, look, 2);
    putInts(ss, &stTimeSliderBX, 1);
    putFloat(ss, stPixPerFrame);
    const unsigned int ref = storedItemID(cage->refObject);
    LWSAVE_U4(ss, &ref, 1);
    LWSAVE_STR(ss, cage->weightMapName);

    const int n = cage->pointArray && cage->pointCount > 0 ? cage->pointCount : 0;
    putInts(ss, &n, 1);
    if (n == 0) return nullptr;

    for (const CageKey* key = cage->keyHead; key; key = key->next) {
        putFloat(ss, key->time);
        const int flag = key->breakFlag;
        putInts(ss, &flag, 1);
        for (int p = 0; p < n; ++p)
            putFloats(ss, key->deltas + size_t(p) * 3, 3);
    }
    const float end = CAGE_KEY_LIST_END_MARKER;
    LWSAVE_FP(ss, &end, 1);

    for (int p = 0; p < n; ++p) {
        cage->pointArray[p]->serialIndex = unsigned(p);
        putFloats(ss, cage->pointArray[p]->basePos, 3);
    }

    int count = listLength(cage->linegonList);
    putInts(ss, &count, 1);
    for (const LinegonData* lin = cage->linegonList; lin; lin = lin->next) {
        const int idx[2] = {int(lin->pnt[0]->serialIndex), int(lin->pnt[1]->serialIndex)};
        putInts(ss, idx, 2);
    }
    count = listLength(cage->trigonList);
    putInts(ss, &count, 1);
    for (const TrigonData* tri = cage->trigonList; tri; tri = tri->next) {
        const int idx[3] = {int(tri->pnt[0]->serialIndex), int(tri->pnt[1]->serialIndex),
                            int(tri->pnt[2]->serialIndex)};
        putInts(ss, idx, 3);
    }
    count = listLength(cage->polygonList);
    putInts(ss, &count, 1);
    for (const PolygonData* poly = cage->polygonList; poly; poly = poly->next) {
        int idx[4];
        for (int c = 0; c < 4; ++c)
            idx[c] = int(poly->pnt[c]->serialIndex);
        putInts(ss, idx, 4);
    }
    return nullptr;
}

XCALL_(LWError) CageCustomCopy(LWInstance toInstance, LWInstance fromInstance) {
    CageInstance* to = static_cast<CageInstance*>(toInstance);
    const CageInstance* from = static_cast<const CageInstance*>(fromInstance);
    if (!to || !from || to == from) return nullptr;

    // The next free copy number among the cages of the same base name.
    RingQuery query;
    memset(&query, 0, sizeof query);
    copyCStringN(query.name, from->groupName, int(sizeof query.name));
    query.value = getNameAndIndexWithString(query.name);
    sendRingMessage(static_cast<LWComRing*>(acquireService("LW Communication Ring")),
                    RING_TOPIC_CAGES, kRingHighestCopy, &query);
    copyCStringN(to->groupName, query.name, int(sizeof to->groupName));
    const int highest = query.value < 0 ? 0 : query.value;
    getStringWithNameAndIndex(to->groupName, highest < 999999999 ? highest + 1 : highest,
                              int(sizeof to->groupName));

    to->display = from->display;
    memcpy(to->selectedColor, from->selectedColor, sizeof to->selectedColor);
    memcpy(to->unselectedColor, from->unselectedColor, sizeof to->unselectedColor);
    to->opacity = from->opacity;
    to->mode = from->mode;
    to->falloffType = from->falloffType;
    to->smoothDistance = from->smoothDistance;
    to->ignoreOutside = from->ignoreOutside;
    to->limitedRange = from->limitedRange;
    to->parallelDistance = from->parallelDistance;
    to->perpendicularDistance = from->perpendicularDistance;
    to->restShapeAtFrame0 = from->restShapeAtFrame0;
    to->refObjectIndex = from->refObjectIndex;
    to->refObject = from->refObject;
    to->refMode = from->refMode;
    to->weightMapIndex = from->weightMapIndex;
    copyCStringN(to->weightMapName, from->weightMapName, int(sizeof to->weightMapName));

    const int n = from->pointArray && from->pointCount > 0 ? from->pointCount : 0;
    if (n == 0) return nullptr;

    emptyStoredCage(to);
    int whole = allocCageBlocks(to, n, listLength(from->linegonList), listLength(from->trigonList),
                                listLength(from->polygonList));
    if (whole) {
        to->pointArray = static_cast<PointData**>(morvaneCalloc(size_t(n), sizeof(PointData*)));
        whole = to->pointArray != nullptr;
    }
    if (whole) {
        // Points first, so each new key takes the source key's n deltas;
        // labels are drawn in key order either way.
        for (int i = 0; i < n; ++i) {
            PointData* source = from->pointArray[i];
            source->serialIndex = unsigned(i);
            PointData* p = add1PointData(to, source->basePos);
            p->index = unsigned(i);
            to->pointArray[i] = p;
        }
        for (const CageKey* key = from->keyHead; key && whole; key = key->next) {
            CageKey* copy = newCageKey(to, key->time, key->deltas);
            if (copy) {
                copy->breakFlag = key->breakFlag;
                appendStoredKey(to, copy);
            }
            whole = copy != nullptr;
        }
    }
    if (whole) {
        PointData** at = to->pointArray;
        for (const LinegonData* lin = from->linegonList; lin; lin = lin->next)
            if (inArray(lin->pnt, 2, n))
                add1LinegonData(to, at[serial(lin, 0)], at[serial(lin, 1)]);
        for (const TrigonData* tri = from->trigonList; tri; tri = tri->next)
            if (inArray(tri->pnt, 3, n))
                add1TrigonData(to, at[serial(tri, 0)], at[serial(tri, 1)], at[serial(tri, 2)]);
        for (const PolygonData* poly = from->polygonList; poly; poly = poly->next)
            if (inArray(poly->pnt, 4, n))
                add1PolygonData(to, at[serial(poly, 0)], at[serial(poly, 1)], at[serial(poly, 2)],
                                at[serial(poly, 3)]);
    }
    finishStoredCage(to, whole);
    return nullptr;
}
