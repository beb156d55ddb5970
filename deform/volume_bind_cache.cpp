#include "deform/volume_bind_cache.h"

#include <string.h>

#include "deform/bind_cache.h"
#include "deform/still_points.h"
#include "deform/volume_table.h"
#include "module/memory.h"

namespace {

const int kFirstRows = 1024;

size_t rowBytes(const VolumeBindCache* cache) {
    return sizeof(VolumeBindRow) + size_t(cache->stride) * sizeof(double);
}

void dropRows(VolumeBindCache* cache) {
    if (++cache->epoch == 0) {
        // After 2^32 drops the epochs start over from clean rows.
        for (int i = 0; i < cache->rowCount; ++i)
            cache->rows[i].epoch = 0;
        cache->epoch = 1;
    }
}

void freeRows(VolumeBindCache* cache) {
    morvaneFree(cache->rows);
    morvaneFreeLines(cache->weights);
    cache->rows = nullptr;
    cache->weights = nullptr;
    cache->rowCount = 0;
}

// Grows the rows to hold index, doubling but never past the budget.
bool growRows(VolumeBindCache* cache, int index, size_t* used) {
    const size_t each = rowBytes(cache);
    const size_t count = grownCount(size_t(cache->rowCount), kFirstRows, index, each, *used);
    if (!count) return false;
    auto* rows = static_cast<VolumeBindRow*>(morvaneCalloc(count, sizeof(VolumeBindRow)));
    auto* weights =
        static_cast<double*>(morvaneAllocLines(count * size_t(cache->stride) * sizeof(double)));
    if (!rows || !weights) {
        morvaneFree(rows);
        morvaneFreeLines(weights);
        return false;
    }
    if (cache->rowCount) {
        memcpy(rows, cache->rows, size_t(cache->rowCount) * sizeof(VolumeBindRow));
        memcpy(weights, cache->weights,
               size_t(cache->rowCount) * size_t(cache->stride) * sizeof(double));
    }
    *used += (count - size_t(cache->rowCount)) * each;
    freeRows(cache);
    cache->rows = rows;
    cache->weights = weights;
    cache->rowCount = int(count);
    return true;
}

} // namespace

VolumeBindCache* newVolumeBindCache() {
    auto* cache = static_cast<VolumeBindCache*>(morvaneCalloc(1, sizeof(VolumeBindCache)));
    if (cache) cache->epoch = cache->recording = 1;
    return cache;
}

void freeVolumeBindCache(VolumeBindCache* cache) {
    if (!cache) return;
    freeRows(cache);
    morvaneFree(cache);
}

void refreshVolumeBindCache(VolumeBindCache* cache, const VolumeTable* table) {
    if (!cache) return;
    const unsigned int restEpoch = volumeTableRestEpoch(table);
    const int stride = volumeWeightCount(table);
    if (stride != cache->stride) {
        freeRows(cache);
        cache->stride = stride;
    }
    if (restEpoch != cache->restEpoch || restEpoch == 0) dropRows(cache);
    cache->restEpoch = restEpoch;
    // A frame worked out by the pass counts nothing: its points were still.
    cache->recording = mostlyStill(cache->lookups, cache->repeats);
    cache->lookups = cache->repeats = 0;
}

const double* heldVolumeWeights(const VolumeBindCache* cache, int index, LWPntID point,
                                const double P[3], double* nearest) {
    if (!cache || index < 0 || index >= cache->rowCount || cache->restEpoch == 0) return nullptr;
    const VolumeBindRow& row = cache->rows[index];
    if (row.epoch != cache->epoch || row.level != volumeVectorLevel() || row.point != point ||
        memcmp(row.P, P, sizeof row.P) != 0)
        return nullptr;
    *nearest = row.nearest;
    return cache->weights + size_t(index) * size_t(cache->stride);
}

double* volumeWeightRoom(VolumeBindCache* cache, int index, bool grow, size_t* used) {
    if (!cache || index < 0 || cache->stride <= 0 || cache->restEpoch == 0 || !cache->recording)
        return nullptr;
    if (index >= cache->rowCount && (!grow || !growRows(cache, index, used))) return nullptr;
    return cache->weights + size_t(index) * size_t(cache->stride);
}

void keepVolumeWeights(VolumeBindCache* cache, int index, LWPntID point, const double P[3],
                       double nearest) {
    if (!cache || index < 0 || index >= cache->rowCount) return;
    VolumeBindRow& row = cache->rows[index];
    row.point = point;
    memcpy(row.P, P, sizeof row.P);
    row.nearest = nearest;
    row.level = volumeVectorLevel();
    row.epoch = cache->epoch;
}

void countVolumeLookup(VolumeBindCache* cache, int index, LWPntID point, const double P[3],
                       bool hit) {
    if (!cache || index < 0 || index >= cache->rowCount) return;
    // A row that never held a point has nothing to compare.
    const VolumeBindRow& row = cache->rows[index];
    if (!row.point) return;
    ++cache->lookups;
    cache->repeats += hit || (row.point == point && !memcmp(row.P, P, sizeof row.P));
}

void noteVolumePoint(VolumeBindCache* cache, int index, LWPntID point, const double P[3]) {
    if (!cache || index < 0 || index >= cache->rowCount) return;
    VolumeBindRow& row = cache->rows[index];
    row.point = point;
    memcpy(row.P, P, sizeof row.P);
    row.level = -1;
}

size_t volumeBindCacheBytes(const VolumeBindCache* cache) {
    return cache ? size_t(cache->rowCount) * rowBytes(cache) : 0;
}
