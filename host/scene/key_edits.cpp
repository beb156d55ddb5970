#include "scene/key_edits.h"

#include "common/host_error.h"
#include "scene/scene.h"

#include <cstdio>

namespace host {

namespace {

Envelope& envelopeOf(Scene& scene, const std::string& itemName, const std::string& channel) {
    Item* item = scene.find(itemName);
    if (!item) throw HostError("no item named '" + itemName + "'");
    Channel* found = item->channels ? item->channels->findChannel(channel) : nullptr;
    if (!found) throw HostError(itemName + " has no channel '" + channel + "'");
    return found->envelope();
}

std::string seconds(double t) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", t);
    return text;
}

Envelope::Key& keyAt(Envelope& env, const std::string& channel, double t) {
    Envelope::Key* key = env.findKey(t);
    if (!key) throw HostError(channel + " has no key at " + seconds(t) + " s");
    return *key;
}

void requireFree(Envelope& env, const std::string& channel, double t) {
    if (env.findKey(t)) throw HostError(channel + " already has a key at " + seconds(t) + " s");
}

// Gives `to` every parameter of `from` but its time.
void copyShape(Envelope& env, const Envelope::Key& from, Envelope::Key* to) {
    int shape = from.shape();
    env.keySet(to, LWKEY_SHAPE, &shape);
    double values[3] = {from.tension(), from.continuity(), from.bias()};
    const int tags[3] = {LWKEY_TENSION, LWKEY_CONTINUITY, LWKEY_BIAS};
    for (int i = 0; i < 3; ++i)
        env.keySet(to, tags[i], &values[i]);
    for (int i = 0; i < 4; ++i) {
        double p = from.param(i);
        env.keySet(to, LWKEY_PARAM_0 + i, &p);
    }
}

} // namespace

void moveKey(Scene& scene, const std::string& item, const std::string& channel, double from,
             double to) {
    Envelope& env = envelopeOf(scene, item, channel);
    Envelope::Key& key = keyAt(env, channel, from);
    requireFree(env, channel, to);
    Envelope::Key saved = key;
    env.destroyKey(&key);
    Envelope::Key* moved = env.createKey(to, saved.value());
    copyShape(env, saved, moved);
}

void copyKey(Scene& scene, const std::string& item, const std::string& channel, double from,
             double to) {
    Envelope& env = envelopeOf(scene, item, channel);
    Envelope::Key source = keyAt(env, channel, from);
    requireFree(env, channel, to);
    Envelope::Key* copy = env.createKey(to, source.value());
    copyShape(env, source, copy);
}

void createKey(Scene& scene, const std::string& item, const std::string& channel, double time,
               double value) {
    Envelope& env = envelopeOf(scene, item, channel);
    requireFree(env, channel, time);
    env.createKey(time, value);
}

void deleteKey(Scene& scene, const std::string& item, const std::string& channel, double time) {
    Envelope& env = envelopeOf(scene, item, channel);
    env.destroyKey(&keyAt(env, channel, time));
}

} // namespace host
