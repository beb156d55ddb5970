#include "cage/cage_keys.h"

#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "geometry/curve.h"
#include "module/memory.h"

namespace {

const unsigned int kLabelMask = 0xFFFFF;

double labelOf(unsigned int counter) {
    uint64_t bits = uint64_t((counter & kLabelMask) | 0x3FF00000u) << 32;
    double label;
    memcpy(&label, &bits, sizeof label);
    return label;
}

int labelInUse(const CageInstance* cage, double label) {
    for (const CageKey* k = cage->keyHead; k; k = k->next)
        if (k->label == label) return 1;
    for (const CageKey* k = cage->removedKeyHead; k; k = k->next)
        if (k->label == label) return 1;
    return 0;
}

void unlink(CageKey** head, CageKey** tail, CageKey* key) {
    if (key->prev)
        key->prev->next = key->next;
    else if (*head == key)
        *head = key->next;
    if (key->next)
        key->next->prev = key->prev;
    else if (*tail == key)
        *tail = key->prev;
    key->prev = key->next = nullptr;
}

// Links key between after and after->next (at the head when after is null).
void linkAfter(CageInstance* cage, CageKey* after, CageKey* key) {
    key->prev = after;
    key->next = after ? after->next : cage->keyHead;
    if (key->next)
        key->next->prev = key;
    else
        cage->keyTail = key;
    if (after)
        after->next = key;
    else
        cage->keyHead = key;
}

// The last key with time <= t, skipping one key.
CageKey* lastAtOrBefore(CageInstance* cage, double t, const CageKey* skip) {
    CageKey* found = nullptr;
    for (CageKey* k = cage->keyHead; k && k->time <= t; k = k->next)
        if (k != skip) found = k;
    return found;
}

CageKey* firstAfter(CageInstance* cage, double t, const CageKey* skip) {
    for (CageKey* k = cage->keyHead; k; k = k->next)
        if (k != skip && k->time > t) return k;
    return nullptr;
}

// A time within the tolerance of a listed key other than skip.
int timeTaken(CageInstance* cage, double t, const CageKey* skip) {
    for (CageKey* k = cage->keyHead; k; k = k->next)
        if (k != skip && fabs(k->time - t) < CAGE_KEY_TIME_TOLERANCE) return 1;
    return 0;
}

// The interpolated deltas between K0 and K1 (t0 <= t < t1) into out.
// Each point's delta at t between k0 and k1, handed to put(i, delta).
template <class Put>
void interpolateSegment(const CageInstance* cage, const CageKey* k0, const CageKey* k1, double t,
                        Put put) {
    const CageKey* kp = k0->breakFlag ? nullptr : k0->prev;
    const CageKey* kn = k1->breakFlag ? nullptr : k1->next;
    double t0 = k0->time, t1 = k1->time;

    double curve[11];
    if (kp && kn) {
        curve[0] = kp->time;
        curve[3] = kn->time;
    } else if (kp) {
        curve[0] = kp->time;
        curve[3] = kp->time + 3.0 * (t1 - t0);
    } else if (kn) {
        curve[0] = kn->time + 3.0 * (t0 - t1);
        curve[3] = kn->time;
    } else {
        curve[0] = 2.0 * t0 - t1;
        curve[3] = 2.0 * t1 - t0;
    }
    curve[1] = t0;
    curve[2] = t1;
    calcBezParm1D(curve);
    double s = solveBezier1DWithNt(curve, t, (t - t0) / (t1 - t0));

    double s2 = s * s, s3 = s2 * s;
    double h01 = 3.0 * s2 - 2.0 * s3, h00 = 1.0 - h01;
    double h10 = s3 - 2.0 * s2 + s, h11 = s3 - s2;

    for (int i = 0; i < cage->pointCount; ++i) {
        const double* d0 = k0->deltas + 3 * i;
        const double* d1 = k1->deltas + 3 * i;
        double dp[3], dn[3];
        for (int c = 0; c < 3; ++c) {
            if (kp && kn) {
                dp[c] = kp->deltas[3 * i + c];
                dn[c] = kn->deltas[3 * i + c];
            } else if (kp) {
                dp[c] = kp->deltas[3 * i + c];
                dn[c] = dp[c] + 3.0 * (d1[c] - d0[c]);
            } else if (kn) {
                dn[c] = kn->deltas[3 * i + c];
                dp[c] = dn[c] + 3.0 * (d0[c] - d1[c]);
            } else {
                dp[c] = 2.0 * d0[c] - d1[c];
                dn[c] = 2.0 * d1[c] - d0[c];
            }
        }
        double m0[3], m1[3];
        getTangents(dp, d0, d1, dn, m0, m1);
        double d[3];
        for (int c = 0; c < 3; ++c)
            d[c] = h00 * d0[c] + h01 * d1[c] + h10 * m0[c] + h11 * m1[c];
        put(i, d);
    }
}

double length3(const double a[3], const double b[3]) {
    double x = b[0] - a[0], y = b[1] - a[1], z = b[2] - a[2];
    return sqrt(x * x + y * y + z * z);
}

} // namespace

double getNextLabelDValue(CageInstance* cage) {
    // Skipping labels still in use keeps labels unique after the counter
    // wraps; 2^20 live keys would be needed for this to search in vain.
    for (unsigned int tries = 0; tries <= kLabelMask; ++tries) {
        double label = labelOf(cage->labelCounter);
        cage->labelCounter = (cage->labelCounter + 1) & kLabelMask;
        if (!labelInUse(cage, label)) return label;
    }
    return labelOf(cage->labelCounter);
}

CageKey* newCageKey(CageInstance* cage, double time, const double* deltas) {
    CageKey* key = static_cast<CageKey*>(morvaneCalloc(1, sizeof(CageKey)));
    if (!key) return nullptr;
    size_t n = size_t(cage->pointCount > 0 ? cage->pointCount : 0) * 3;
    key->deltas = static_cast<double*>(morvaneCalloc(n ? n : 1, sizeof(double)));
    if (!key->deltas) {
        morvaneFree(key);
        return nullptr;
    }
    if (deltas && n) memcpy(key->deltas, deltas, n * sizeof(double));
    key->time = time;
    key->label = getNextLabelDValue(cage);
    return key;
}

void deallocCageKey(CageKey* key) {
    if (!key) return;
    morvaneFree(key->deltas);
    morvaneFree(key);
}

CageKey* searchCageKeyAtTime(CageInstance* cage, double t) {
    CageKey* last = nullptr;
    for (CageKey* k = cage->keyHead; k && k->time <= t + CAGE_KEY_TIME_TOLERANCE; k = k->next)
        last = k;
    return last && fabs(last->time - t) < CAGE_KEY_TIME_TOLERANCE ? last : nullptr;
}

int insertCageKeyToTime(CageInstance* cage, CageKey* key, double t) {
    if (!key || !isfinite(t) || timeTaken(cage, t, key)) return 0;
    key->time = t;
    linkAfter(cage, lastAtOrBefore(cage, t, key), key);
    return 1;
}

int moveCageKeyToTime(CageInstance* cage, CageKey* key, double t) {
    if (!key || !isfinite(t)) return 0;
    CageKey* before = lastAtOrBefore(cage, t, key);
    CageKey* after = firstAfter(cage, t, key);
    if (before && t - before->time < CAGE_KEY_TIME_TOLERANCE) return 0;
    if (after && after->time - t < CAGE_KEY_TIME_TOLERANCE) return 0;
    unlink(&cage->keyHead, &cage->keyTail, key);
    key->time = t;
    linkAfter(cage, before, key);
    return 1;
}

CageKey* copyCageKeyAtTime(CageInstance* cage, const CageKey* source, double t) {
    if (!source || !isfinite(t) || timeTaken(cage, t, nullptr)) return nullptr;
    CageKey* key = newCageKey(cage, t, source->deltas);
    if (!key) return nullptr;
    key->breakFlag = source->breakFlag;
    linkAfter(cage, lastAtOrBefore(cage, t, key), key);
    return key;
}

void removeCageKeyFromList(CageInstance* cage, CageKey* key) {
    if (!key) return;
    unlink(&cage->keyHead, &cage->keyTail, key);
    deallocCageKey(key);
}

void temporarilyRemoveCageKeyFromList(CageInstance* cage, CageKey* key) {
    if (!key) return;
    unlink(&cage->keyHead, &cage->keyTail, key);
    key->prev = cage->removedKeyTail;
    if (cage->removedKeyTail)
        cage->removedKeyTail->next = key;
    else
        cage->removedKeyHead = key;
    cage->removedKeyTail = key;
}

CageKey* takeCageKeyWithLabelDVal(CageInstance* cage, int unlinkIt, double label) {
    for (CageKey* k = cage->keyHead; k; k = k->next)
        if (k->label == label) {
            if (unlinkIt) unlink(&cage->keyHead, &cage->keyTail, k);
            return k;
        }
    return nullptr;
}

CageKey* takeRemovedCageKeyWithLabelDVal(CageInstance* cage, double label) {
    for (CageKey* k = cage->removedKeyTail; k; k = k->prev)
        if (k->label == label) {
            unlink(&cage->removedKeyHead, &cage->removedKeyTail, k);
            return k;
        }
    return nullptr;
}

void getTangents(const double dp[3], const double d0[3], const double d1[3], const double dn[3],
                 double m0[3], double m1[3]) {
    double d = length3(d0, d1);
    if (d == 0.0) {
        for (int c = 0; c < 3; ++c)
            m0[c] = m1[c] = 0.0;
        return;
    }
    double lp = length3(dp, d0), ln = length3(d1, dn);
    for (int c = 0; c < 3; ++c) {
        m0[c] = lp == 0.0 ? 0.0 : ((d0[c] - dp[c]) * d + (d1[c] - d0[c]) * lp) / (lp + d);
        m1[c] = ln == 0.0 ? 0.0 : ((d1[c] - d0[c]) * ln + (dn[c] - d1[c]) * d) / (d + ln);
    }
}

void setEvaluatedCageOtherPosAtTime(CageInstance* cage, double t) {
    if (!cage || cage->pointCount <= 0 || !cage->pointArray) return;
    int n = cage->pointCount;
    CageKey* k0 = lastAtOrBefore(cage, t, nullptr);
    CageKey* k1 = k0 ? k0->next : cage->keyHead;

    auto put = [cage](int i, const double* delta) {
        PointData* p = cage->pointArray[i];
        for (int c = 0; c < 3; ++c)
            p->otherPos[c] = p->restPos[c] + (delta ? delta[c] : 0.0);
    };
    if (k0 && k1) {
        interpolateSegment(cage, k0, k1, t, put);
        return;
    }
    const CageKey* held = k0 ? k0 : cage->keyHead;
    for (int i = 0; i < n; ++i)
        put(i, held ? held->deltas + 3 * i : nullptr);
}

CageKey* getMakeEvaluatedCageKeyAtTime(CageInstance* cage, double t) {
    if (!cage || !isfinite(t)) return nullptr;
    if (!cage->keyHead) {
        if (cage->pointCount <= 0) return nullptr;
        CageKey* key = newCageKey(cage, t, nullptr);
        if (key) linkAfter(cage, nullptr, key);
        return key;
    }
    CageKey* k0 = lastAtOrBefore(cage, t, nullptr);
    CageKey* k1 = k0 ? k0->next : cage->keyHead;
    if (k0 && t - k0->time < CAGE_KEY_TIME_TOLERANCE) return k0;
    if (k1 && k1->time - t < CAGE_KEY_TIME_TOLERANCE) return k1;

    CageKey* key = nullptr;
    if (k0 && k1) {
        key = newCageKey(cage, t, nullptr);
        if (key)
            interpolateSegment(cage, k0, k1, t, [key](int i, const double* delta) {
                for (int c = 0; c < 3; ++c)
                    key->deltas[3 * i + c] = delta[c];
            });
    } else {
        key = newCageKey(cage, t, (k0 ? k0 : k1)->deltas);
    }
    if (key) linkAfter(cage, k0, key);
    return key;
}
