#include "deform/deform_evaluate.h"

#include <limits.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <lwmeshes.h>

#include "deform/bind_cache.h"
#include "deform/binding_weights.h"
#include "deform/deform_services.h"
#include "deform/frame_pass.h"
#include "deform/point_displacement.h"
#include "deform/skin_blends.h"
#include "deform/trigon_maps.h"
#include "deform/volume_bind_cache.h"
#include "deform/volume_table.h"
#include "deform_instance.h"
#include "geometry/inside_test.h"
#include "geometry/vector.h"
#include "module/cpu_features.h"
#include "module/host_services.h"
#include "module/memory.h"
#include "module/ring_protocol.h"
#include "module/strings.h"

namespace {

const unsigned int kFirstBuildWithNamedMaps = 3211;
// Grows the per-cage arrays to count + 16 entries (the hints to a row of
// them per mark lane); on failure the instance acts as if its group had no
// cages.
bool reserveCages(DeformInstance* deform, int count) {
    if (count <= deform->cageCapacity && deform->cageArray) return true;
    freeCageArrays(deform);
    deform->cageArray =
        static_cast<CageInstance**>(morvaneCalloc(size_t(count) + 16, sizeof(void*)));
    deform->weightMapIDs = static_cast<void**>(morvaneCalloc(size_t(count) + 16, sizeof(void*)));
    deform->volumeTables =
        static_cast<VolumeTable**>(morvaneCalloc(size_t(count) + 16, sizeof(void*)));
    deform->nearHints =
        static_cast<int*>(morvaneCalloc((size_t(count) + 16) * kMarkLanes, sizeof(int)));
    deform->pointWeights = static_cast<float*>(morvaneCalloc(size_t(count) + 16, sizeof(float)));
    deform->bindCaches =
        static_cast<SkinBindCache**>(morvaneCalloc(size_t(count) + 16, sizeof(void*)));
    deform->volumeBinds =
        static_cast<VolumeBindCache**>(morvaneCalloc(size_t(count) + 16, sizeof(void*)));
    deform->mapTables =
        static_cast<TrigonMapTable**>(morvaneCalloc(size_t(count) + 16, sizeof(void*)));
    if (!deform->cageArray || !deform->weightMapIDs || !deform->volumeTables ||
        !deform->nearHints || !deform->bindCaches || !deform->volumeBinds || !deform->mapTables ||
        !deform->pointWeights) {
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
    const int lastCalls = deform->pointCursor;
    RingQuery query;
    memset(&query, 0, sizeof query);
    copyCStringN(query.name, deform->groupName, int(sizeof query.name));
    sendRingMessage(stDeformServices.comRing, RING_TOPIC_CAGES, kRingRefreshBit, &query);
    const int cached = bindCacheEnabled();
    capVectorLevelByEnvironment();
    for (int i = 0; i < deform->cageCount; ++i) {
        CageInstance* cage = deform->cageArray[i];
        deform->weightMapIDs[i] = lookupWeightMap(cage, info);
        // Volume cages are weighed from a flat copy of this frame's elements;
        // without one (no memory) element by element.
        VolumeTable*& table = deform->volumeTables[i];
        const bool volume = cage->mode == kCageModeVolume;
        if (volume && !table) table = newVolumeTable();
        fillVolumeTable(table, volume ? cage : nullptr);
        SkinBindCache*& bound = deform->bindCaches[i];
        if (!volume && !bound && cached) bound = newSkinBindCache();
        VolumeBindCache*& weighed = deform->volumeBinds[i];
        if (volume && !weighed && cached) weighed = newVolumeBindCache();
        // A cage keeps the cache of its mode only.
        if (!cached || volume) {
            freeSkinBindCache(bound);
            bound = nullptr;
        }
        if (!cached || !volume) {
            freeVolumeBindCache(weighed);
            weighed = nullptr;
        }
        refreshSkinBindCache(bound, cage);
        refreshVolumeBindCache(weighed, table);
        // The replays read the triangles' maps side by side, when enough
        // points replay to pay for copying them all (and the copy takes at
        // most a quarter of the caches' budget).
        TrigonMapTable*& maps = deform->mapTables[i];
        const int places = trigonPlacesOf(cage);
        const bool replays =
            bound && bound->recording && lastCalls >= places &&
            size_t(places) * kTrigonMapDoubles * sizeof(double) <= kBindCacheBudget / 4;
        if (replays && !maps) maps = newTrigonMapTable();
        if (!replays) {
            freeTrigonMapTable(maps);
            maps = nullptr;
        }
        reserveTrigonMaps(maps, cage);
    }
    const size_t row = size_t(deform->cageCapacity) + 16;
    for (size_t i = 0; i < row * kMarkLanes; ++i)
        deform->nearHints[i] = -1;
    deform->bindCacheBytes = 0;
    for (size_t i = 0; i < row; ++i)
        deform->bindCacheBytes += skinBindCacheBytes(deform->bindCaches[i]) +
                                  volumeBindCacheBytes(deform->volumeBinds[i]) +
                                  trigonMapTableBytes(deform->mapTables[i]);
    deform->pointCursor = 0;
    deform->refreshPending = 0;

    // The frame's points worked out ahead on the host's threads, from the
    // last frame's inputs, when there is enough work to share (a frame
    // without a last one records its inputs for the next).
    deform->passThreads = framePassThreads();
    const bool worth = lastCalls == 0 || framePassWork(deform, lastCalls) >= framePassWorthPoints();
    if (deform->passThreads < 2 || !stDeformServices.mtUtil || !worth) {
        freeFramePass(deform->framePass);
        deform->framePass = nullptr;
    } else {
        if (!deform->framePass) deform->framePass = newFramePass();
        runFramePass(deform->framePass, deform, lastCalls, stDeformServices.mtUtil,
                     deform->passThreads);
    }
    // The maps a pass did not copy on its threads.
    for (int i = 0; i < deform->cageCount; ++i) {
        TrigonMapTable* maps = deform->mapTables[i];
        if (!maps || !maps->places || maps->finished) continue;
        copyTrigonMaps(maps, deform->cageArray[i], 0, maps->places);
        finishTrigonMaps(maps);
    }
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
    if (deform->volumeBinds)
        for (int i = 0; i < deform->cageCapacity + 16; ++i)
            freeVolumeBindCache(deform->volumeBinds[i]);
    if (deform->mapTables)
        for (int i = 0; i < deform->cageCapacity + 16; ++i)
            freeTrigonMapTable(deform->mapTables[i]);
    morvaneFree(deform->mapTables);
    deform->mapTables = nullptr;
    morvaneFree(deform->bindCaches);
    deform->bindCaches = nullptr;
    morvaneFree(deform->volumeBinds);
    deform->volumeBinds = nullptr;
    deform->bindCacheBytes = 0;
    morvaneFree(deform->volumeTables);
    morvaneFree(deform->nearHints);
    morvaneFree(deform->pointWeights);
    deform->pointWeights = nullptr;
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

    // Each way below writes the answer straight to the host's point, and
    // only when the point moves: read back from a copy of its own, the
    // answer would wait on the copy's stores.
    bool moved = false;
    FramePass* pass = deform->framePass;
    if (!pass) {
        // Without a pass nothing is recorded, and most calls of a still
        // object replay their kept blend.
        const PointWork work = {access->point, access->source,    access->oPos, slot,
                                nullptr,       deform->nearHints, true,         nullptr};
        if (displaceByKeptBlend(deform, work, &moved, access->source)) return;
    }
    float* weights = deform->pointWeights;
    readPointWeights(deform, access->info, access->point, weights);
    if (takeFrameAnswer(pass, slot, access->point, access->source, access->oPos, weights,
                        deform->cageCount, &moved, access->source))
        return;
    recordFrameInputs(pass, slot, access->point, access->source, access->oPos, weights,
                      deform->cageCount);
    const PointWork work = {access->point, access->source,    access->oPos, slot,
                            weights,       deform->nearHints, true,         nullptr};
    displacePoint(deform, work, access->source);
}
