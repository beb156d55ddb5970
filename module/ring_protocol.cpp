#include "module/ring_protocol.h"

#include <stdlib.h>
#include <string.h>

#include "module/memory.h"
#include "module/strings.h"

namespace {

const int kSpareEntries = 16;

struct TopicBuffer {
    char text[64];
    explicit TopicBuffer(const char* topic) { copyCStringN(text, topic, int(sizeof text)); }
};

} // namespace

void appendToRingQuery(RingQuery* query, void* instance) {
    if (!query || !query->list || query->count < 0) return;
    if (query->count < query->capacity) query->list[query->count++] = instance;
}

void sendRingMessage(LWComRing* ring, const char* topic, int code, void* payload) {
    if (!ring || !ring->ringMessage) return;
    TopicBuffer t(topic);
    ring->ringMessage(t.text, code, payload);
}

int attachRing(LWComRing* ring, const char* topic, void* data, RingEvent handler) {
    if (!ring || !ring->ringAttach) return 0;
    TopicBuffer t(topic);
    return ring->ringAttach(t.text, data, handler);
}

void detachRing(LWComRing* ring, const char* topic, void* data) {
    if (!ring || !ring->ringDetach) return;
    TopicBuffer t(topic);
    ring->ringDetach(t.text, data);
}

void** collectRingList(LWComRing* ring, const char* topic, int listCode, const char* groupName,
                       int* count) {
    *count = 0;
    RingQuery query;
    memset(&query, 0, sizeof query);
    sendRingMessage(ring, topic, kRingCount, &query);
    if (query.count <= 0) return nullptr;

    // Room for 16 more than counted; the handlers are told only the count.
    int counted = query.count;
    void** list =
        static_cast<void**>(morvaneCalloc(size_t(counted + kSpareEntries), sizeof(void*)));
    if (!list) return nullptr;
    memset(&query, 0, sizeof query);
    query.list = list;
    query.capacity = counted;
    if (groupName) copyCStringN(query.name, groupName, int(sizeof query.name));
    sendRingMessage(ring, topic, listCode, &query);
    *count = query.count;
    return list;
}
