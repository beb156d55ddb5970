// Envelope keys, key parameters and event callbacks.
#include "motion/envelope.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

bool validBehavior(int behavior) {
    return behavior >= kBehaviorReset && behavior <= kBehaviorLinear;
}

} // namespace

Envelope::Envelope(std::string name, int type)
    : name_(std::move(name)), type_(type), id_(static_cast<LWEnvelopeID>(this)) {}

Envelope::~Envelope() {
    fire(LWEEVNT_DESTROY, nullptr);
}

bool Envelope::setPreBehavior(int behavior) {
    ++revision_;
    if (!validBehavior(behavior)) return false;
    pre_ = behavior;
    return true;
}

bool Envelope::setPostBehavior(int behavior) {
    ++revision_;
    if (!validBehavior(behavior)) return false;
    post_ = behavior;
    return true;
}

Envelope::KeyList::iterator Envelope::locate(const Key* key) {
    auto found = where_.find(key);
    return found == where_.end() ? keys_.end() : found->second;
}

Envelope::ConstIter Envelope::locate(const Key* key) const {
    auto found = where_.find(key);
    return found == where_.end() ? keys_.cend() : ConstIter(found->second);
}

bool Envelope::contains(const Key* key) const {
    return key && locate(key) != keys_.end();
}

Envelope::Key* Envelope::createKey(double time, double value) {
    ++revision_;
    if (Key* existing = findKey(time)) {
        existing->value_ = value;
        return existing;
    }
    // Keys usually come in time order (a file, a recording): those append.
    auto pos = keys_.empty() || keys_.back().time_ < time
                   ? keys_.end()
                   : std::find_if(keys_.begin(), keys_.end(),
                                  [time](const Key& k) { return k.time_ > time; });
    auto it = keys_.emplace(pos);
    where_[&*it] = it;
    it->time_ = time;
    it->value_ = value;
    Key* key = &*it;
    fire(LWEEVNT_KEY_INSERT, key);
    // A listener may have removed it again.
    return contains(key) ? key : nullptr;
}

void Envelope::destroyKey(Key* key) {
    ++revision_;
    if (!key) return;
    auto it = locate(key);
    if (it == keys_.end() || it->dying_) return;
    // The key stays readable during its event; list iterators survive other edits.
    it->dying_ = true;
    fire(LWEEVNT_KEY_DELETE, key);
    where_.erase(key);
    keys_.erase(it);
}

Envelope::Key* Envelope::findKey(double time) {
    if (keys_.empty() || keys_.back().time_ + kTimeEpsilon <= time) return nullptr;
    for (Key& k : keys_) {
        if (std::fabs(k.time_ - time) < kTimeEpsilon) return &k;
        if (k.time_ > time) break;
    }
    return nullptr;
}

Envelope::Key* Envelope::nextKey(const Key* key) {
    if (!key) return keys_.empty() ? nullptr : &keys_.front();
    auto it = locate(key);
    if (it == keys_.end() || ++it == keys_.end()) return nullptr;
    return &*it;
}

Envelope::Key* Envelope::prevKey(const Key* key) {
    if (!key) return keys_.empty() ? nullptr : &keys_.back();
    auto it = locate(key);
    if (it == keys_.end() || it == keys_.begin()) return nullptr;
    return &*--it;
}

int Envelope::keySet(Key* key, int tag, const void* value) {
    ++revision_;
    if (!key || !value) return 0;
    auto it = locate(key);
    if (it == keys_.end()) return 0;
    if (tag == LWKEY_SHAPE) {
        int shape = *static_cast<const int*>(value);
        if (shape < kShapeTCB || shape > kShapeBezier2D) return 0;
        key->shape_ = shape;
        return 1;
    }
    double v = *static_cast<const double*>(value);
    switch (tag) {
    case LWKEY_VALUE:
        key->value_ = v;
        return 1;
    case LWKEY_TIME: {
        for (const Key& k : keys_)
            if (&k != key && std::fabs(k.time_ - v) < kTimeEpsilon) return 0;
        auto pos = std::find_if(keys_.begin(), keys_.end(),
                                [key, v](const Key& k) { return &k != key && k.time_ > v; });
        key->time_ = v;
        // splice relinks the node, so the key's address (its ID) is unchanged.
        keys_.splice(pos, keys_, it);
        return 1;
    }
    case LWKEY_TENSION:
        key->tension_ = v;
        return 1;
    case LWKEY_CONTINUITY:
        key->continuity_ = v;
        return 1;
    case LWKEY_BIAS:
        key->bias_ = v;
        return 1;
    case LWKEY_PARAM_0:
    case LWKEY_PARAM_1:
    case LWKEY_PARAM_2:
    case LWKEY_PARAM_3:
        key->param_[tag - LWKEY_PARAM_0] = v;
        return 1;
    default:
        return 0;
    }
}

int Envelope::keyGet(const Key* key, int tag, void* value) const {
    if (!key || !value || !contains(key)) return 0;
    if (tag == LWKEY_SHAPE) {
        *static_cast<int*>(value) = key->shape_;
        return 1;
    }
    double* out = static_cast<double*>(value);
    switch (tag) {
    case LWKEY_VALUE:
        *out = key->value_;
        return 1;
    case LWKEY_TIME:
        *out = key->time_;
        return 1;
    case LWKEY_TENSION:
        *out = key->tension_;
        return 1;
    case LWKEY_CONTINUITY:
        *out = key->continuity_;
        return 1;
    case LWKEY_BIAS:
        *out = key->bias_;
        return 1;
    case LWKEY_PARAM_0:
    case LWKEY_PARAM_1:
    case LWKEY_PARAM_2:
    case LWKEY_PARAM_3:
        *out = key->param_[tag - LWKEY_PARAM_0];
        return 1;
    default:
        return 0;
    }
}

int Envelope::setEvent(LWEnvEventFunc callback, void* data) {
    auto it = std::find_if(listeners_.begin(), listeners_.end(),
                           [data](const Listener& l) { return l.data == data; });
    if (!callback) {
        if (it == listeners_.end()) return 0;
        listeners_.erase(it);
        return 1;
    }
    if (it != listeners_.end())
        it->callback = callback;
    else
        listeners_.push_back({callback, data});
    return 1;
}

void Envelope::fire(LWEnvEvent event, void* eventData) {
    // Callbacks may (un)register listeners; walk a snapshot and skip any
    // entry removed meanwhile, whose data may already be gone.
    const std::vector<Listener> snapshot = listeners_;
    for (const Listener& l : snapshot) {
        bool live = std::any_of(listeners_.begin(), listeners_.end(), [&l](const Listener& x) {
            return x.data == l.data && x.callback == l.callback;
        });
        if (live) l.callback(l.data, id_, event, eventData);
    }
}

} // namespace host
