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
    if (!env || envelope != cage->envelope) return 0;

    LWEnvKeyframeID hostKey = static_cast<LWEnvKeyframeID>(eventData);
    double t = 0.0, value = 0.0;
    env->keyGet(envelope, hostKey, LWKEY_TIME, &t);
    int haveValue = env->keyGet(envelope, hostKey, LWKEY_VALUE, &value);

    if (event == LWEEVNT_KEY_DELETE) {
        if (haveValue) {
            CageKey* key = takeCageKeyWithLabelDVal(cage, 0, value);
            if (key) temporarilyRemoveCageKeyFromList(cage, key);
        }
    } else if (haveValue && cage->pointCount > 0) {
        if (CageKey* parked = takeRemovedCageKeyWithLabelDVal(cage, value)) {
            // Moved in the host: deleted and inserted again.
            if (!insertCageKeyToTime(cage, parked, t)) deallocCageKey(parked);
        } else if (CageKey* source = takeCageKeyWithLabelDVal(cage, 0, value)) {
            // Copied in the host.
            if (CageKey* copy = copyCageKeyAtTime(cage, source, t))
                relabelHostKey(cage, env, envelope, hostKey, copy->label);
        } else if (CageKey* made = getMakeEvaluatedCageKeyAtTime(cage, t)) {
            // Typed in with a value of the user's.
            relabelHostKey(cage, env, envelope, hostKey, made->label);
        }
    }
    tellKeysChanged(cage);
    return 0;
}
