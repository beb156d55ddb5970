// ring/: the communication ring, on its own: it needs nothing of the host.
//
// The communication ring: named topics, handlers attached with their own
// data, and messages delivered synchronously to every handler of a topic in
// the order they attached, before the sender goes on.
#ifndef MORVANE_HOST_RING_RING_H
#define MORVANE_HOST_RING_RING_H

#include <lwserver.h>
#include <lwcomring.h>

#include <string>
#include <vector>

namespace host {

class Ring {
  public:
    // 1 on success; a null handler is refused with 0.
    int attach(const std::string& topic, void* data, RingEvent handler);
    void detach(const std::string& topic, void* data);
    // A handler may attach or detach during delivery: one detached before its
    // turn is not called, one attached meanwhile waits for the next message.
    void message(const std::string& topic, int code, void* payload);

    int attachedCount(const std::string& topic) const;

  private:
    void compact();

    struct Port {
        std::string topic;
        void* data;
        RingEvent handler;
        unsigned long serial;
        bool live;
    };
    std::vector<Port> ports_;
    unsigned long nextSerial_ = 1;
    int delivering_ = 0;
};

} // namespace host

#endif
