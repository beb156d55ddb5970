// Envelope key bookkeeping, key parameters and event callbacks.
#include "host/motion/envelope.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using host::Envelope;

std::vector<double> times(Envelope& env) {
    std::vector<double> out;
    for (Envelope::Key* k = env.nextKey(nullptr); k; k = env.nextKey(k))
        out.push_back(k->time());
    return out;
}

TEST(EnvelopeKeys, KeysAreKeptInTimeOrderWhateverTheCreationOrder) {
    Envelope env("Position.X", LWET_DISTANCE);
    EXPECT_EQ(env.name(), "Position.X");
    EXPECT_EQ(env.type(), LWET_DISTANCE);
    env.createKey(2.0, 20.0);
    env.createKey(-1.0, -10.0);
    env.createKey(0.5, 5.0);
    EXPECT_EQ(times(env), (std::vector<double>{-1.0, 0.5, 2.0}));
    EXPECT_EQ(env.keyCount(), 3);
}

TEST(EnvelopeKeys, NextAndPrevWalkBothWaysFromNull) {
    Envelope env;
    EXPECT_EQ(env.nextKey(nullptr), nullptr);
    EXPECT_EQ(env.prevKey(nullptr), nullptr);
    Envelope::Key* a = env.createKey(0.0, 1.0);
    Envelope::Key* b = env.createKey(1.0, 2.0);
    EXPECT_EQ(env.nextKey(nullptr), a);
    EXPECT_EQ(env.prevKey(nullptr), b);
    EXPECT_EQ(env.nextKey(a), b);
    EXPECT_EQ(env.nextKey(b), nullptr);
    EXPECT_EQ(env.prevKey(b), a);
    EXPECT_EQ(env.prevKey(a), nullptr);
}

TEST(EnvelopeKeys, CreateAtAnExistingTimeUpdatesThatKey) {
    Envelope env;
    Envelope::Key* a = env.createKey(1.0, 3.0);
    Envelope::Key* again = env.createKey(1.0 + Envelope::kTimeEpsilon / 2, 8.0);
    EXPECT_EQ(again, a);
    EXPECT_EQ(env.keyCount(), 1);
    EXPECT_EQ(a->value(), 8.0);
    EXPECT_EQ(a->time(), 1.0);
    // Just past the tolerance is a different key.
    EXPECT_NE(env.createKey(1.0 + 10 * Envelope::kTimeEpsilon, 0.0), a);
    EXPECT_EQ(env.keyCount(), 2);
}

TEST(EnvelopeKeys, FindKeyMatchesOnlyWithinTolerance) {
    Envelope env;
    env.createKey(0.0, 0.0);
    Envelope::Key* b = env.createKey(2.0, 1.0);
    EXPECT_EQ(env.findKey(2.0), b);
    EXPECT_EQ(env.findKey(2.0 - Envelope::kTimeEpsilon / 4), b);
    EXPECT_EQ(env.findKey(2.001), nullptr);
    EXPECT_EQ(env.findKey(1.0), nullptr);
}

TEST(EnvelopeKeys, SettingTimeReordersAndKeepsTheId) {
    Envelope env;
    Envelope::Key* a = env.createKey(0.0, 10.0);
    Envelope::Key* b = env.createKey(1.0, 11.0);
    Envelope::Key* c = env.createKey(2.0, 12.0);
    double t = 5.0;
    ASSERT_EQ(env.keySet(a, LWKEY_TIME, &t), 1);
    EXPECT_EQ(times(env), (std::vector<double>{1.0, 2.0, 5.0}));
    EXPECT_EQ(env.nextKey(nullptr), b);
    EXPECT_EQ(env.nextKey(c), a);
    EXPECT_EQ(a->value(), 10.0);
    t = 1.5;
    ASSERT_EQ(env.keySet(a, LWKEY_TIME, &t), 1);
    EXPECT_EQ(env.nextKey(b), a);
    EXPECT_EQ(env.nextKey(a), c);
    // Moving onto another key's time is refused.
    t = 2.0;
    EXPECT_EQ(env.keySet(a, LWKEY_TIME, &t), 0);
    EXPECT_EQ(a->time(), 1.5);
    // The value now follows the new order: linear span from (1.5,10) to (2,12).
    int linear = host::kShapeLinear;
    env.keySet(c, LWKEY_SHAPE, &linear);
    EXPECT_NEAR(env.evaluate(1.75), 11.0, 1e-12);
}

TEST(EnvelopeKeys, KeyIdsSurviveOtherInsertionsAndDeletions) {
    Envelope env;
    Envelope::Key* kept = env.createKey(5.1, 42.0);
    std::vector<Envelope::Key*> others;
    for (int i = 0; i < 50; ++i)
        others.push_back(env.createKey(i * 0.25 - 3.0, i));
    for (size_t i = 0; i < others.size(); i += 2)
        env.destroyKey(others[i]);
    EXPECT_TRUE(env.contains(kept));
    double v = 0.0;
    ASSERT_EQ(env.keyGet(kept, LWKEY_VALUE, &v), 1);
    EXPECT_EQ(v, 42.0);
    EXPECT_EQ(env.keyCount(), 26);
}

TEST(EnvelopeKeys, KeySetAndGetRoundTripEveryTag) {
    Envelope env;
    Envelope::Key* k = env.createKey(0.0, 0.0);
    int shape = -1;
    ASSERT_EQ(env.keyGet(k, LWKEY_SHAPE, &shape), 1);
    EXPECT_EQ(shape, host::kShapeTCB);
    shape = host::kShapeHermite;
    ASSERT_EQ(env.keySet(k, LWKEY_SHAPE, &shape), 1);
    shape = -1;
    env.keyGet(k, LWKEY_SHAPE, &shape);
    EXPECT_EQ(shape, host::kShapeHermite);

    const int tags[] = {LWKEY_VALUE,   LWKEY_TENSION, LWKEY_CONTINUITY, LWKEY_BIAS,
                        LWKEY_PARAM_0, LWKEY_PARAM_1, LWKEY_PARAM_2,    LWKEY_PARAM_3};
    for (int i = 0; i < 8; ++i) {
        double in = 0.5 + i;
        ASSERT_EQ(env.keySet(k, tags[i], &in), 1) << "tag " << tags[i];
    }
    for (int i = 0; i < 8; ++i) {
        double out = -1.0;
        ASSERT_EQ(env.keyGet(k, tags[i], &out), 1) << "tag " << tags[i];
        EXPECT_EQ(out, 0.5 + i) << "tag " << tags[i];
    }
    EXPECT_EQ(k->tension(), 1.5);
    EXPECT_EQ(k->param(3), 7.5);
}

TEST(EnvelopeKeys, UnknownTagsKeysAndShapesAreRefused) {
    Envelope env;
    Envelope other;
    Envelope::Key* k = env.createKey(0.0, 1.0);
    Envelope::Key* foreign = other.createKey(0.0, 1.0);
    double d = 3.0;
    EXPECT_EQ(env.keySet(k, 10, &d), 0);
    EXPECT_EQ(env.keyGet(k, -1, &d), 0);
    EXPECT_EQ(env.keySet(foreign, LWKEY_VALUE, &d), 0);
    EXPECT_EQ(env.keyGet(foreign, LWKEY_VALUE, &d), 0);
    EXPECT_EQ(env.keySet(nullptr, LWKEY_VALUE, &d), 0);
    int shape = 6;
    EXPECT_EQ(env.keySet(k, LWKEY_SHAPE, &shape), 0);
    EXPECT_EQ(k->shape(), host::kShapeTCB);
    EXPECT_EQ(foreign->value(), 1.0);
    env.destroyKey(foreign); // not ours: ignored
    EXPECT_EQ(other.keyCount(), 1);
}

struct Event {
    int event;
    void* env;
    void* eventData;
    bool operator==(const Event& o) const {
        return event == o.event && env == o.env && eventData == o.eventData;
    }
};

struct Recorder {
    std::vector<Event> events;
    // Keys visible to the callback when the event fires.
    std::vector<int> keyCounts;
    Envelope* env = nullptr;
};

int record(void* data, LWEnvelopeID env, LWEnvEvent event, void* eventData) {
    auto* r = static_cast<Recorder*>(data);
    r->events.push_back({event, env, eventData});
    if (r->env) {
        int n = 0;
        for (Envelope::Key* k = r->env->nextKey(nullptr); k; k = r->env->nextKey(k))
            ++n;
        r->keyCounts.push_back(n);
    }
    return 0;
}

TEST(EnvelopeEvents, InsertDeleteDestroyInOrderWithTheirKeys) {
    Recorder rec;
    void* id = nullptr;
    Envelope::Key* k1 = nullptr;
    Envelope::Key* k2 = nullptr;
    {
        auto env = std::make_unique<Envelope>("e");
        id = env->id();
        EXPECT_EQ(id, static_cast<void*>(env.get()));
        ASSERT_EQ(env->setEvent(record, &rec), 1);
        k1 = env->createKey(0.0, 1.0);
        k2 = env->createKey(1.0, 2.0);
        env->createKey(1.0, 5.0); // value update only
        env->destroyKey(k1);
        env.reset();
    }
    const std::vector<Event> want = {{LWEEVNT_KEY_INSERT, id, k1},
                                     {LWEEVNT_KEY_INSERT, id, k2},
                                     {LWEEVNT_KEY_DELETE, id, k1},
                                     {LWEEVNT_DESTROY, id, nullptr}};
    EXPECT_EQ(rec.events, want);
}

TEST(EnvelopeEvents, CallbacksCanReadTheEnvelopeDuringEvents) {
    Recorder rec;
    auto env = std::make_unique<Envelope>();
    rec.env = env.get();
    env->setEvent(record, &rec);
    env->createKey(0.0, 1.0);
    Envelope::Key* k = env->createKey(1.0, 2.0);
    env->destroyKey(k);
    env.reset();
    // Inserted keys are already listed; a deleted key is still listed while
    // its event runs; DESTROY still sees the remaining key.
    EXPECT_EQ(rec.keyCounts, (std::vector<int>{1, 2, 2, 1}));
}

TEST(EnvelopeEvents, SeveralListenersAndRemoval) {
    Recorder a, b;
    Envelope env;
    env.setEvent(record, &a);
    env.setEvent(record, &b);
    env.createKey(0.0, 0.0);
    EXPECT_EQ(env.setEvent(nullptr, &a), 1);
    EXPECT_EQ(env.setEvent(nullptr, &a), 0);
    Envelope::Key* k = env.createKey(1.0, 0.0);
    env.destroyKey(k);
    EXPECT_EQ(a.events.size(), 1u);
    ASSERT_EQ(b.events.size(), 3u);
    EXPECT_EQ(b.events[2].event, LWEEVNT_KEY_DELETE);
    EXPECT_EQ(b.events[2].eventData, k);
    env.setEvent(nullptr, &b);
}

// Removes the other listener while an event is in progress, then deletes
// the key it is told about, which must not free it twice.
struct Meddler {
    Envelope* env;
    void* victim;
    int calls = 0;
};

int meddle(void* data, LWEnvelopeID, LWEnvEvent event, void* eventData) {
    auto* m = static_cast<Meddler*>(data);
    ++m->calls;
    m->env->setEvent(nullptr, m->victim);
    if (event == LWEEVNT_KEY_DELETE) m->env->destroyKey(static_cast<Envelope::Key*>(eventData));
    return 0;
}

TEST(EnvelopeEvents, ReentrantRemovalAndDeleteAreSafe) {
    Envelope env;
    Recorder victim;
    Meddler m{&env, &victim};
    env.setEvent(meddle, &m);
    env.setEvent(record, &victim);
    Envelope::Key* k = env.createKey(0.0, 1.0);
    ASSERT_NE(k, nullptr);
    EXPECT_TRUE(victim.events.empty());
    env.destroyKey(k);
    EXPECT_EQ(env.keyCount(), 0);
    EXPECT_EQ(m.calls, 2);
    env.setEvent(nullptr, &m);
}

} // namespace
