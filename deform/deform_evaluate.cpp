#include "deform/deform_evaluate.h"

#include <limits.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <lwmeshes.h>

#include "deform/bind_cache.h"
#include "deform/binding_weights.h"
#include "deform/deform_services.h"
#include "deform/skin_blends.h"
#include "deform/volume_table.h"
#include "deform_instance.h"
#include "geometry/inside_test.h"
#include "geometry/vector.h"
#include "module/host_services.h"
#include "module/memory.h"
#include "module/ring_protocol.h"
#include "module/strings.h"

namespace {

const unsigned int kFirstBuildWithNamedMaps = 3211;
// Beyond this a double no longer resolves a unit step, so no displacement of
// such a point means anything; it stays where it is.
const double kFarthestPoint = 1e15;

void toLocal(const double axes[4][3], const double p[3], double out[3]) {
    double d[3];
    sub3D(p, axes[3], d);
    for (int k = 0; k < 3; ++k)
        out[k] = dot3D(d, axes[k]);
}

void place(const double axes[4][3], const double o[3], double out[3]) {
    for (int c = 0; c < 3; ++c)
        out[c] = o[0] * axes[0][c] + o[1] * axes[1][c] + o[2] * axes[2][c] + axes[3][c];
}

// Grows the five arrays to count + 16 entries; on failure the instance acts
// as if its group had no cages.
bool reserveCages(DeformInstance* deform, int count) {
    if (count <= deform->cageCapacity && deform->cageArray) return true;
    freeCageArrays(deform);
    deform->cageArray =
        static_cast<CageInstance**>(morvaneCalloc(size_t(count) + 16, sizeof(void*)));
    deform->weightMapIDs = static_cast<void**>(morvaneCalloc(size_t(count) + 16, sizeof(void*)));
    deform->volumeTables =
        static_cast<VolumeTable**>(morvaneCalloc(size_t(count) + 16, sizeof(void*)));
    deform->nearHints = static_cast<int*>(morvaneCalloc(size_t(count) + 16, sizeof(int)));
    deform->bindCaches =
        static_cast<SkinBindCache**>(morvaneCalloc(size_t(count) + 16, sizeof(void*)));
    if (!deform->cageArray || !deform->weightMapIDs || !deform->volumeTables ||
        !deform->nearHints || !deform->bindCaches) {
        freeCageArrays(deform);
        return false;
    }
    deform->cageCapacity = count;
    return true;
}

void* lookupWeightMap(const CageInstance* cage, LWMeshInfo* info) {
    if (!cage->weightMapIndex || !info || !info->pntVLookup) return nullptr;
    if (stDeformBuildNumber < kFirstBuildWithNamedMaps)
        return info->pntVLookup(info, LWVMAP_WGHT, cage->weightMapName);
    auto* objects9 = static_cast<LWObjectFuncs*>(acquireService("Scene Objects 9"));
    auto* objects6 = static_cast<LWObjectFuncs*>(acquireService("Scene Objects 6"));
    if (!objects9 || !objects6 || !cage->weightMapName[0]) return nullptr;
    int n = objects6->numVMaps(LWVMAP_WGHT);
    for (int j = 0; j < n; ++j) {
        if (!compareCString(objects6->vmapName(LWVMAP_WGHT, j), cage->weightMapName)) continue;
        const char* name = objects9->vmapName(LWVMAP_WGHT, j);
        return name ? info->pntVLookup(info, LWVMAP_WGHT, name) : nullptr;
    }
    return nullptr;
}

void refreshAtFirstPoint(DeformInstance* deform, LWMeshInfo* info) {
    RingQuery query;
    memset(&query, 0, sizeof query);
    copyCStringN(query.name, deform->groupName, int(sizeof query.name));
    sendRingMessage(stDeformServices.comRing, RING_TOPIC_CAGES, kRingRefreshBit, &query);
    const int cached = bindCacheEnabled();
    for (int i = 0; i < deform->cageCount; ++i) {
        CageInstance* cage = deform->cageArray[i];
        deform->weightMapIDs[i] = lookupWeightMap(cage, info);
        // Volume cages are weighed from a flat copy of this frame's elements;
        // without one (no memory) element by element.
        VolumeTable*& table = deform->volumeTables[i];
        const bool volume = cage->mode == kCageModeVolume;
        if (volume && !table) table = newVolumeTable();
        fillVolumeTable(table, volume ? cage : nullptr);
        deform->nearHints[i] = -1;
        SkinBindCache*& bound = deform->bindCaches[i];
        if (!volume && !bound && cached) bound = newSkinBindCache();
        if (!cached) {
            freeSkinBindCache(bound);
            bound = nullptr;
        }
        refreshSkinBindCache(bound, cage);
    }
    deform->bindCacheBytes = 0;
    for (int i = 0; i < deform->cageCapacity + 16; ++i)
        deform->bindCacheBytes += skinBindCacheBytes(deform->bindCaches[i]);
    deform->pointCursor = 0;
    deform->refreshPending = 0;
}

// The last nearest triangle of a cage, kept as its place in the cage's
// blocks (fan triangle k of polygon i: 4 i + k; standalone trigon j:
// -2 - j) so that a rebuilt cage can never leave a stale pointer behind.
TrigonData* hintTriangle(const CageInstance* cage, int code) {
    if (code >= 0) {
        const int poly = code / 4;
        if (cage->polygonBlock && poly < cage->polygonCount)
            return &cage->polygonBlock[poly].tri[code % 4];
    } else if (code <= -2) {
        const int tri = -2 - code;
        if (cage->trigonBlock && tri < cage->trigonCount) return &cage->trigonBlock[tri];
    }
    return nullptr;
}

int hintCode(const CageInstance* cage, const TrigonData* tri) {
    if (!tri) return -1;
    if (tri->polygon) {
        const long poly = long(tri->polygon - cage->polygonBlock);
        if (poly >= 0 && poly < cage->polygonCount) return int(poly) * 4 + int(tri->subIndex & 3u);
        return -1;
    }
    const long index = long(tri - cage->trigonBlock);
    return index >= 0 && index < cage->trigonCount ? -2 - int(index) : -1;
}

// One Skin cage: the displacement of its nearest element's blend, with the
// weight-map factor and the range limits; false when it gives nothing. The
// search's answer comes from the bind cache when this point and the cage's
// binding shape are what they were last frame; otherwise the cage's search
// hint (the previous point's nearest triangle) bounds the search.
bool skinDisplacement(DeformInstance* deform, int index, int slotIndex, LWPntID point,
                      const double P[3], const double Plocal[3], const double oPos[3], double* wm,
                      double d[3]) {
    CageInstance* cage = deform->cageArray[index];
    // The search measures from the point's place at frame 0 when the cage
    // rests there.
    double q0[3];
    if (cage->restShapeAtFrame0) {
        double q[3];
        place(deform->zeroAxes, oPos, q);
        toLocal(cage->zeroAxes, q, q0);
    }
    const double* searchPt = cage->restShapeAtFrame0 ? q0 : Plocal;
    SkinBindCache* cache = deform->bindCaches[index];
    SkinBindSlot* slot = skinBindSlot(cache, slotIndex, &deform->bindCacheBytes);
    NearestElement near;
    const NearestElement* bound = &near;
    if (slot && skinBindHit(cache, slot, point, searchPt)) {
        bound = &slot->near;
    } else {
        int& hint = deform->nearHints[index];
        searchSkinBinding(cage, searchPt, hintTriangle(cage, hint), &near);
        hint = hintCode(cage, near.trigon);
        if (slot) storeSkinBind(cache, slot, point, searchPt, &near);
    }
    if (!slot) return skinBindingDisplacement(cage, bound, P, Plocal, searchPt, wm, d);
    // The blend's questions about the rest shape are answered from the
    // slot's tape when they are the ones asked last frame.
    LocationMemo memo;
    beginSkinBindTape(cache, slot, &memo);
    const bool moved = skinBindingDisplacement(cage, bound, P, Plocal, searchPt, wm, d);
    endSkinBindTape(cache, slot, &memo, &deform->bindCacheBytes);
    return moved;
}

} // namespace

void freeCageArrays(DeformInstance* deform) {
    if (!deform) return;
    if (deform->volumeTables)
        for (int i = 0; i < deform->cageCapacity + 16; ++i)
            freeVolumeTable(deform->volumeTables[i]);
    if (deform->bindCaches)
        for (int i = 0; i < deform->cageCapacity + 16; ++i)
            freeSkinBindCache(deform->bindCaches[i]);
    morvaneFree(deform->bindCaches);
    deform->bindCaches = nullptr;
    deform->bindCacheBytes = 0;
    morvaneFree(deform->volumeTables);
    morvaneFree(deform->nearHints);
    morvaneFree(deform->cageArray);
    morvaneFree(deform->weightMapIDs);
    deform->volumeTables = nullptr;
    deform->nearHints = nullptr;
    deform->cageArray = nullptr;
    deform->weightMapIDs = nullptr;
    deform->cageCapacity = 0;
    deform->cageCount = 0;
}

XCALL_(LWError) MorvaneNewTime(LWInstance instance, LWFrame, LWTime) {
    DeformInstance* deform = static_cast<DeformInstance*>(instance);
    if (!deform) return nullptr;
    deform->refreshPending = 1;
    deform->cageCount = 0;
    LWItemInfo* items = stDeformServices.itemInfo;
    if (items) {
        items->param(deform->itemID, LWIP_RIGHT, 0.0, deform->zeroAxes[0]);
        items->param(deform->itemID, LWIP_UP, 0.0, deform->zeroAxes[1]);
        items->param(deform->itemID, LWIP_FORWARD, 0.0, deform->zeroAxes[2]);
        items->param(deform->itemID, LWIP_W_POSITION, 0.0, deform->zeroAxes[3]);
        for (int k = 0; k < 3; ++k)
            normalize3D(deform->zeroAxes[k]);
    }
    RingQuery query;
    memset(&query, 0, sizeof query);
    sendRingMessage(stDeformServices.comRing, RING_TOPIC_CAGES, kRingCount, &query);
    if (query.count <= 0 || !reserveCages(deform, query.count)) return nullptr;

    memset(&query, 0, sizeof query);
    query.list = reinterpret_cast<void**>(deform->cageArray);
    query.capacity = deform->cageCapacity;
    copyCStringN(query.name, deform->groupName, int(sizeof query.name));
    sendRingMessage(stDeformServices.comRing, RING_TOPIC_CAGES, kRingListGroup, &query);
    deform->cageCount = query.count;
    return nullptr;
}

XCALL_(void) MorvaneEvaluate(LWInstance instance, LWDisplacementAccess* access) {
    DeformInstance* deform = static_cast<DeformInstance*>(instance);
    if (!deform || !access || deform->cageCount <= 0) return;
    if (deform->refreshPending) refreshAtFirstPoint(deform, access->info);
    // A slot per call, whatever becomes of the point below; a host that
    // never starts a new frame runs out of slots, not past the int.
    const int slot = deform->pointCursor < INT_MAX ? deform->pointCursor++ : -1;

    const double P[3] = {access->source[0], access->source[1], access->source[2]};
    if (!isfinite(P[0] + P[1] + P[2])) return;
    if (fabs(P[0]) >= kFarthestPoint || fabs(P[1]) >= kFarthestPoint ||
        fabs(P[2]) >= kFarthestPoint)
        return;

    ScaledBlend total = {{0.0, 0.0, 0.0}, 0.0, 0.0};
    for (int i = 0; i < deform->cageCount; ++i) {
        CageInstance* cage = deform->cageArray[i];
        double wm = 1.0;
        if (void* map = deform->weightMapIDs[i]) {
            float value = 0.0f;
            if (!access->info->pntVIDGet(access->info, access->point, &value, map)) continue;
            wm = value;
            if (!(wm >= 1e-7)) continue;
        }
        double Plocal[3];
        toLocal(cage->worldAxes, P, Plocal);
        if (cage->mode == kCageModeVolume) {
            if (cage->ignoreOutside && !isWithinTheCage(cage, Plocal)) continue;
            ScaledBlend part;
            VolumeTable* table = deform->volumeTables[i];
            if (volumeTableReady(table))
                volumeBlendOfTable(table, P, &part);
            else
                calcVolumeWeightsOfCage(cage, P, &part);
            addScaledBlend(&total, &part, wm);
        } else {
            double d[3];
            if (!skinDisplacement(deform, i, slot, access->point, P, Plocal, access->oPos, &wm, d))
                continue;
            // A Skin cage adds wm * d and counts one in the common weight.
            ScaledBlend part = {{wm * d[0], wm * d[1], wm * d[2]}, 1.0, 0.0};
            addScaledBlend(&total, &part, 1.0);
        }
    }
    double move[3];
    if (!scaledBlendDisplacement(&total, move)) return;
    for (int c = 0; c < 3; ++c) {
        double moved = P[c] + move[c];
        if (!isfinite(moved)) return; // never hand the host a NaN
    }
    for (int c = 0; c < 3; ++c)
        access->source[c] = P[c] + move[c];
}
