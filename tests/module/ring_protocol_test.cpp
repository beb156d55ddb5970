#include "module/ring_protocol.h"

#include "host/host.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

// A stand-in instance answering counts and lists as every server does.
struct Fake {
    const char* group;
};

void fakeHandler(void* data, void*, int code, void* payload) {
    auto* self = static_cast<Fake*>(data);
    auto* query = static_cast<RingQuery*>(payload);
    if (!query) return;
    if (code == kRingCount) query->count += 1;
    if (code == kRingListAll) appendToRingQuery(query, self);
    if (code == kRingListGroup && !std::strcmp(query->name, self->group))
        appendToRingQuery(query, self);
}

TEST(RingProtocol, AppendStopsAtCapacity) {
    void* slots[3] = {};
    RingQuery q;
    std::memset(&q, 0, sizeof q);
    q.list = slots;
    q.capacity = 2;
    int a, b, c;
    appendToRingQuery(&q, &a);
    appendToRingQuery(&q, &b);
    appendToRingQuery(&q, &c);
    EXPECT_EQ(q.count, 2);
    EXPECT_EQ(slots[1], &b);
    EXPECT_EQ(slots[2], nullptr);
}

TEST(RingProtocol, CollectCountsFirstThenListsInAttachOrder) {
    std::ostringstream out;
    host::Host layout(out);
    auto* ring = static_cast<LWComRing*>(layout.services().lookup("LW Communication Ring"));
    Fake arm1{"arm"}, leg{"leg"}, arm2{"arm"};
    for (Fake* f : {&arm1, &leg, &arm2})
        ASSERT_EQ(attachRing(ring, RING_TOPIC_CAGES, f, fakeHandler), 1);

    int count = 0;
    void** all = collectRingList(ring, RING_TOPIC_CAGES, kRingListAll, nullptr, &count);
    ASSERT_NE(all, nullptr);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(all[0], &arm1);
    EXPECT_EQ(all[1], &leg);
    EXPECT_EQ(all[2], &arm2);
    std::free(all);

    void** arms = collectRingList(ring, RING_TOPIC_CAGES, kRingListGroup, "arm", &count);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(arms[0], &arm1);
    EXPECT_EQ(arms[1], &arm2);
    std::free(arms);

    detachRing(ring, RING_TOPIC_CAGES, &leg);
    void** rest = collectRingList(ring, RING_TOPIC_CAGES, kRingListAll, nullptr, &count);
    EXPECT_EQ(count, 2);
    std::free(rest);

    // Nobody on a topic: no list at all.
    EXPECT_EQ(collectRingList(ring, RING_TOPIC_DEFORMERS, kRingListAll, nullptr, &count), nullptr);
    EXPECT_EQ(count, 0);
}

} // namespace
