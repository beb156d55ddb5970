#include "ring/ring.h"

#include <algorithm>

namespace host {

int Ring::attach(const std::string& topic, void* data, RingEvent handler) {
    if (!handler) return 0;
    ports_.push_back({topic, data, handler, nextSerial_++, true});
    return 1;
}

void Ring::detach(const std::string& topic, void* data) {
    for (Port& p : ports_)
        if (p.live && p.topic == topic && p.data == data) {
            p.live = false;
            break;
        }
    if (!delivering_) compact();
}

void Ring::compact() {
    ports_.erase(
        std::remove_if(ports_.begin(), ports_.end(), [](const Port& p) { return !p.live; }),
        ports_.end());
}

void Ring::message(const std::string& topic, int code, void* payload) {
    unsigned long last = nextSerial_;
    ++delivering_;
    // Index by position: handlers may attach while we deliver.
    for (size_t i = 0; i < ports_.size(); ++i) {
        if (ports_[i].serial >= last) break;
        if (!ports_[i].live || ports_[i].topic != topic) continue;
        Port p = ports_[i];
        p.handler(p.data, this, code, payload);
    }
    if (--delivering_ == 0) compact();
}

int Ring::attachedCount(const std::string& topic) const {
    return int(std::count_if(ports_.begin(), ports_.end(),
                             [&](const Port& p) { return p.live && p.topic == topic; }));
}

} // namespace host
