#include "cage/cage_envelope.h"

#include <stdio.h>
#include <string.h>

#include "cage/cage_keys.h"
#include "cage/cage_services.h"
#include "module/ring_protocol.h"
#include "module/strings.h"

namespace {

const int kLastEnvelopeNumber = 9998;

double hostKeyTime(LWEnvelopeFuncs* env, LWEnvelopeID envelope, LWEnvKeyframeID key) {
    double t = 0.0;
    env->keyGet(envelope, key, LWKEY_TIME, &t);
    return t;
}

void tellKeysChanged(CageInstance* cage) {
    EditCageQuery query = {nullptr};
    sendRingMessage(stCageServices.comRing, RING_TOPIC_TOOL, kToolKeysChanged, &query);
    if (stCageServices.instUpdate) stCageServices.instUpdate("CustomObjHandler", cage);
}

// Sets a host key's value without the callback seeing it.
void relabelHostKey(CageInstance* cage, LWEnvelopeFuncs* env, LWEnvelopeID envelope,
                    LWEnvKeyframeID key, double label) {
    unsigned char mute = cage->envelopeMute;
    cage->envelopeMute = 1;
    env->keySet(envelope, key, LWKEY_VALUE, &label);
    cage->envelopeMute = mute;
}

// Takes a host key out again without the callback seeing it.
void dropHostKey(CageInstance* cage, LWEnvelopeFuncs* env, LWEnvelopeID envelope,
                 LWEnvKeyframeID key) {
    unsigned char mute = cage->envelopeMute;
    cage->envelopeMute = 1;
    env->destroyKey(envelope, key);
    cage->envelopeMute = mute;
}

// Whether a host key other than `except` carries this label.
bool otherHostKeyWithLabel(LWEnvelopeFuncs* env, LWEnvelopeID envelope, LWEnvKeyframeID except,
                           double label) {
    for (LWEnvKeyframeID k = env->nextKey(envelope, nullptr); k; k = env->nextKey(envelope, k)) {
        double value = 0.0;
        if (k != except && env->keyGet(envelope, k, LWKEY_VALUE, &value) && value == label)
            return true;
    }
    return false;
}

// A host key moved onto a time another key holds: the move is refused. The
// parked key returns to its own time and its host key with it; when even
// that time is taken, the host key goes and the key stays parked.
void refuseMove(CageInstance* cage, LWEnvelopeFuncs* env, LWEnvelopeID envelope,
                LWEnvKeyframeID hostKey, CageKey* parked) {
    double back = parked->time;
    unsigned char mute = cage->envelopeMute;
    cage->envelopeMute = 1;
    int moved =
        !searchCageKeyAtTime(cage, back) && env->keySet(envelope, hostKey, LWKEY_TIME, &back);
    cage->envelopeMute = mute;
    if (moved && insertCageKeyToTime(cage, parked, back)) return;
    temporarilyRemoveCageKeyFromList(cage, parked); // unlinked already: parks it again
    dropHostKey(cage, env, envelope, hostKey);
}

// A host key inserted at t: the cage key it stands for, found or made, and
// the host key labelled with it. A host key that would double a key already
// mirrored (a copy or a typed key within the tolerance of another) is taken
// out again, so that host keys and cage keys stay one to one.
void mirrorInsertedKey(CageInstance* cage, LWEnvelopeFuncs* env, LWEnvelopeID envelope,
                       LWEnvKeyframeID hostKey, double t, double value) {
    if (CageKey* parked = takeRemovedCageKeyWithLabelDVal(cage, value)) {
        // Moved in the host: deleted and inserted again.
        if (!insertCageKeyToTime(cage, parked, t)) refuseMove(cage, env, envelope, hostKey, parked);
        return;
    }
    CageKey* key = nullptr;
    if (CageKey* source = takeCageKeyWithLabelDVal(cage, 0, value))
        key = copyCageKeyAtTime(cage, source, t); // copied in the host
    else if (!searchCageKeyAtTime(cage, t))
        key = getMakeEvaluatedCageKeyAtTime(cage, t); // typed in with a value of the user's
    if (!key) {
        // t is taken: the host key stands for the key there only when that
        // key has no host key of its own.
        CageKey* there = searchCageKeyAtTime(cage, t);
        if (there && !otherHostKeyWithLabel(env, envelope, hostKey, there->label)) key = there;
    }
    if (key)
        relabelHostKey(cage, env, envelope, hostKey, key->label);
    else
        dropHostKey(cage, env, envelope, hostKey);
}

} // namespace

LWEnvelopeID findEnv(LWChannelInfo* channelInfo, LWChanGroupID group, const char* name) {
    if (!channelInfo || !group) return nullptr;
    for (LWChannelID ch = channelInfo->nextChannel(group, nullptr); ch;
         ch = channelInfo->nextChannel(group, ch))
        if (compareCString(channelInfo->channelName(ch), name))
            return channelInfo->channelEnvelope(ch);
    return nullptr;
}

int createCageEnvelope(CageInstance* cage, LWItemInfo* itemInfo, LWChannelInfo* channelInfo,
                       LWEnvelopeFuncs* envelopeFuncs) {
    cage->envelopeMute = 1;
    cage->envelope = nullptr;
    if (!itemInfo || !channelInfo || !envelopeFuncs) return 0;
    LWChanGroupID group = itemInfo->chanGroup(cage->itemID);
    if (!group) return 0;

    char name[16] = "Cage";
    for (int n = 2; findEnv(channelInfo, group, name); ++n) {
        if (n > kLastEnvelopeNumber) return 0;
        snprintf(name, sizeof name, "Cage(%d)", n);
    }
    cage->envelope = envelopeFuncs->create(group, name, LWET_PERCENT);
    if (!cage->envelope) return 0;
    copyCStringN(cage->envelopeName, name, int(sizeof cage->envelopeName));
    envelopeFuncs->setEnvEvent(cage->envelope, envelopeEventFunc, cage);
    cage->envelopeMute = 0;
    return 1;
}

void destroyCageEnvelope(CageInstance* cage, LWEnvelopeFuncs* envelopeFuncs) {
    if (!cage->envelope || !envelopeFuncs) return;
    // The host may report key deletions and the destruction on the way out;
    // none of it concerns the dying cage.
    cage->envelopeMute = 1;
    LWEnvelopeID envelope = cage->envelope;
    envelopeFuncs->setEnvEvent(envelope, nullptr, cage);
    cage->envelope = nullptr;
    envelopeFuncs->destroy(envelope);
}

void refreshLWEnvelopeForThisLattice(CageInstance* cage, LWEnvelopeFuncs* env) {
    if (!cage->envelope || !env) return;
    unsigned char mute = cage->envelopeMute;
    cage->envelopeMute = 1;
    LWEnvelopeID envelope = cage->envelope;

    LWEnvKeyframeID host = env->nextKey(envelope, nullptr);
    for (CageKey* k = cage->keyHead; k;) {
        if (!host) {
            env->createKey(envelope, k->time, k->label);
            k = k->next;
            continue;
        }
        double th = hostKeyTime(env, envelope, host);
        if (th - CAGE_KEY_TIME_TOLERANCE > k->time) {
            env->createKey(envelope, k->time, k->label);
            k = k->next;
        } else if (k->time > th + CAGE_KEY_TIME_TOLERANCE) {
            // Step on before destroying: the destroyed key has no successor.
            LWEnvKeyframeID next = env->nextKey(envelope, host);
            env->destroyKey(envelope, host);
            host = next;
        } else {
            env->keySet(envelope, host, LWKEY_VALUE, &k->label);
            host = env->nextKey(envelope, host);
            k = k->next;
        }
    }
    while (host) {
        LWEnvKeyframeID next = env->nextKey(envelope, host);
        env->destroyKey(envelope, host);
        host = next;
    }
    cage->envelopeMute = mute;
}

int envelopeEventFunc(void* data, LWEnvelopeID envelope, LWEnvEvent event, void* eventData) {
    CageInstance* cage = static_cast<CageInstance*>(data);
    if (!cage || cage->envelopeMute) return 0;
    LWEnvelopeFuncs* env = stCageServices.envelopeFuncs;

    if (event == LWEEVNT_DESTROY) {
        if (envelope == cage->envelope) cage->envelope = nullptr;
        return 0;
    }
    if (event != LWEEVNT_KEY_DELETE && event != LWEEVNT_KEY_INSERT) return 0;
    if (env && envelope == cage->envelope) {
        LWEnvKeyframeID hostKey = static_cast<LWEnvKeyframeID>(eventData);
        double t = 0.0, value = 0.0;
        env->keyGet(envelope, hostKey, LWKEY_TIME, &t);
        int haveValue = env->keyGet(envelope, hostKey, LWKEY_VALUE, &value);
        if (event == LWEEVNT_KEY_DELETE) {
            // A label another host key still carries (a scene saved with two)
            // keeps its key until the last of them goes.
            CageKey* key = haveValue ? takeCageKeyWithLabelDVal(cage, 0, value) : nullptr;
            if (key && !otherHostKeyWithLabel(env, envelope, hostKey, value))
                temporarilyRemoveCageKeyFromList(cage, key);
        } else if (haveValue && cage->pointCount > 0) {
            mirrorInsertedKey(cage, env, envelope, hostKey, t, value);
        }
    }
    tellKeysChanged(cage);
    return 0;
}
