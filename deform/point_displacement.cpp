#include "deform/point_displacement.h"

#include <math.h>

#include "deform/bind_cache.h"
#include "deform/binding_weights.h"
#include "deform/skin_blends.h"
#include "deform/trigon_maps.h"
#include "deform/volume_bind_cache.h"
#include "deform/volume_table.h"
#include "deform_instance.h"
#include "geometry/inside_test.h"
#include "geometry/vector.h"

namespace {

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

// The point a Skin cage's search measures from: the point in the cage's
// space, or its place at frame 0 (into q0) when the cage rests there.
const double* searchPointOf(const DeformInstance* deform, const CageInstance* cage,
                            const double oPos[3], const double Plocal[3], double q0[3]) {
    if (!cage->restShapeAtFrame0) return Plocal;
    double q[3];
    place(deform->zeroAxes, oPos, q);
    toLocal(cage->zeroAxes, q, q0);
    return q0;
}

// One Skin cage: the displacement of its nearest element's blend, with the
// weight-map factor and the range limits; false when it gives nothing. The
// search's answer comes from the bind cache when this point and the cage's
// binding shape are what they were last frame; otherwise the cage's search
// hint (the previous point's nearest triangle) bounds the search.
bool skinDisplacement(DeformInstance* deform, int index, const PointWork& work, const double P[3],
                      const double Plocal[3], double* wm, double d[3]) {
    CageInstance* cage = deform->cageArray[index];
    double q0[3];
    const double* searchPt = searchPointOf(deform, cage, work.oPos, Plocal, q0);
    SkinBindCache* cache = deform->bindCaches[index];
    SkinBindSlot* slot = work.growCache ? skinBindSlot(cache, work.slot, &deform->bindCacheBytes)
                                        : heldSkinBindSlot(cache, work.slot);
    NearestElement near;
    const NearestElement* bound = &near;
    const bool hit = slot && skinBindHit(cache, slot, work.point, searchPt);
    if (work.growCache) countSkinBindLookup(cache, slot, work.point, searchPt, hit);
    if (hit) {
        bound = &slot->near;
        // The blend's steps, recorded at this very point.
        int count = 0;
        if (const unsigned char* program = heldBlendProgram(cache, slot, P, Plocal, &count))
            return replayBlendProgram(cage, boundedTrigonMaps(deform->mapTables[index]), program,
                                      count, P, wm, d);
    } else {
        // The hint is kept as the triangle's place, so that a rebuilt cage
        // never leaves a stale pointer behind.
        int& hint = work.hints[index];
        searchSkinBinding(cage, searchPt, hint >= 0 ? trigonAtPlace(cage, unsigned(hint)) : nullptr,
                          &near);
        hint = near.trigon ? int(near.trigon->place) : -1;
        if (slot) storeSkinBind(cache, slot, work.point, searchPt, &near);
    }
    if (!slot || !cache->recording)
        return skinBindingDisplacement(cage, bound, P, Plocal, searchPt, wm, d);
    // Otherwise the blend's questions about the rest shape are answered
    // from the slot's tape when they are the ones asked last frame, and
    // the blend's steps are recorded.
    LocationMemo memo;
    LocationMemoEntry room[kBindTapeRoom];
    beginSkinBindTape(cache, slot, &memo, room);
    unsigned char program[kBlendProgramBytes];
    BlendRecorder recorder = {program, 0, kBlendProgramBytes, cage, 0, 0, -1, {-1, -1}};
    stBlendRecorder = &recorder;
    const bool moved = skinBindingDisplacement(cage, bound, P, Plocal, searchPt, wm, d);
    stBlendRecorder = nullptr;
    // A kept program makes the tape needless.
    const bool kept =
        storeBlendProgram(cache, slot, P, Plocal, &recorder, &deform->bindCacheBytes, work.lock);
    endSkinBindTape(cache, slot, &memo, &deform->bindCacheBytes, work.lock, !kept);
    return moved;
}

// One Volume cage's blend: summed from the point's kept weights when it
// is where it was last frame over the same rest side, else weighed (into
// its row of the bind cache when it has one).
void volumeBlend(DeformInstance* deform, int index, const PointWork& work, const double P[3],
                 ScaledBlend* out) {
    VolumeTable* table = deform->volumeTables[index];
    VolumeBindCache* cache = deform->volumeBinds[index];
    double nearest = 0.0;
    const double* kept = heldVolumeWeights(cache, work.slot, work.point, P, &nearest);
    if (work.growCache) countVolumeLookup(cache, work.slot, work.point, P, kept != nullptr);
    if (kept) return volumeBlendOfWeights(table, kept, nearest, P, out);
    double* room = volumeWeightRoom(cache, work.slot, work.growCache, &deform->bindCacheBytes);
    if (!room) {
        noteVolumePoint(cache, work.slot, work.point, P);
        return volumeBlendOfTable(table, P, out);
    }
    nearest = weighAndBlendVolumeTable(table, P, room, out);
    keepVolumeWeights(cache, work.slot, work.point, P, nearest);
}

// P + move into out; false (out untouched) when that is not finite: the
// host never gets a NaN.
bool movedBy(const double P[3], const double move[3], double out[3]) {
    double to[3];
    for (int c = 0; c < 3; ++c) {
        to[c] = P[c] + move[c];
        if (!isfinite(to[c])) return false;
    }
    copy3D(to, out);
    return true;
}

// A lone Skin cage's part wm * d is the whole sum, of weight 1: P moved
// by it as the sum would move P, without the sum.
bool loneSkinMove(const double P[3], double wm, const double d[3], double out[3]) {
    const double move[3] = {wm * d[0], wm * d[1], wm * d[2]};
    return finite3D(move) && movedBy(P, move, out);
}

} // namespace

bool displacePoint(DeformInstance* deform, const PointWork& work, double out[3]) {
    const double P[3] = {work.source[0], work.source[1], work.source[2]};
    if (!isfinite(P[0] + P[1] + P[2])) return false;
    if (fabs(P[0]) >= kFarthestPoint || fabs(P[1]) >= kFarthestPoint ||
        fabs(P[2]) >= kFarthestPoint)
        return false;

    ScaledBlend total = {{0.0, 0.0, 0.0}, 0.0, 0.0};
    for (int i = 0; i < deform->cageCount; ++i) {
        CageInstance* cage = deform->cageArray[i];
        double wm = 1.0;
        if (deform->weightMapIDs[i]) {
            wm = work.weights[i]; // NaN when the point has no value
            if (!(wm >= 1e-7)) continue;
        }
        double Plocal[3];
        toLocal(cage->worldAxes, P, Plocal);
        if (cage->mode == kCageModeVolume) {
            if (cage->ignoreOutside && !isWithinTheCage(cage, Plocal)) continue;
            ScaledBlend part;
            VolumeTable* table = deform->volumeTables[i];
            if (volumeTableReady(table))
                volumeBlend(deform, i, work, P, &part);
            else
                calcVolumeWeightsOfCage(cage, P, &part);
            addScaledBlend(&total, &part, wm);
        } else {
            double d[3];
            if (!skinDisplacement(deform, i, work, P, Plocal, &wm, d)) continue;
            if (deform->cageCount == 1) return loneSkinMove(P, wm, d, out);
            // A Skin cage adds wm * d and counts one in the common weight.
            ScaledBlend part = {{wm * d[0], wm * d[1], wm * d[2]}, 1.0, 0.0};
            addScaledBlend(&total, &part, 1.0);
        }
    }
    double move[3];
    return scaledBlendDisplacement(&total, move) && movedBy(P, move, out);
}

bool displaceByKeptBlend(DeformInstance* deform, const PointWork& work, bool* moved,
                         double out[3]) {
    if (deform->cageCount != 1 || deform->weightMapIDs[0]) return false;
    const CageInstance* cage = deform->cageArray[0];
    SkinBindCache* cache = deform->bindCaches[0];
    const SkinBindSlot* slot = heldSkinBindSlot(cache, work.slot);
    if (cage->mode == kCageModeVolume || !slot) return false;
    const double P[3] = {work.source[0], work.source[1], work.source[2]};
    double Plocal[3], q0[3];
    toLocal(cage->worldAxes, P, Plocal);
    const double* searchPt = searchPointOf(deform, cage, work.oPos, Plocal, q0);
    int count = 0;
    const unsigned char* program = nullptr;
    if (skinBindHit(cache, slot, work.point, searchPt))
        program = heldBlendProgram(cache, slot, P, Plocal, &count);
    if (!program) return false;
    if (work.growCache) countSkinBindLookup(cache, slot, work.point, searchPt, true);
    // The program was recorded by displacePoint at this P, to the bit, so P
    // is finite and near enough.
    double wm = 1.0, d[3];
    *moved = replayBlendProgram(cage, boundedTrigonMaps(deform->mapTables[0]), program, count, P,
                                &wm, d) &&
             loneSkinMove(P, wm, d, out);
    return true;
}

void readPointWeights(const DeformInstance* deform, LWMeshInfo* info, LWPntID point, float* row) {
    for (int i = 0; i < deform->cageCount; ++i) {
        row[i] = 1.0f;
        void* map = deform->weightMapIDs[i];
        if (!map) continue;
        float value = 0.0f;
        row[i] = info && info->pntVIDGet(info, point, &value, map) ? value : NAN;
    }
}
