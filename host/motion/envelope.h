// Animation envelopes: keyed scalar curves over time, with the key and event
// interface plug-ins reach through the envelope global.
//
// Key parameters are stored by their position on a scene-file Key line, so a
// loaded key round-trips unchanged:
//   tension, continuity, bias = p1 p2 p3;  param[0..2] = p4 p5 p6;  param[3] spare.
// Per shape that means: TCB uses tension/continuity/bias; Hermite and 1D Bezier
// use param[0] as the incoming and param[1] as the outgoing tangent; 2D Bezier
// uses tension/continuity as the incoming handle (time, value offset) and
// bias/param[0] as the outgoing one.
//
// Evaluation conventions:
// * No key gives 0; a single key gives its value at every time.
// * A span runs from k0 to k1 and is shaped by k1's shape. At a key time the
//   result is that key's value. Stepped holds v0; linear interpolates.
// * TCB, Hermite and 1D Bezier spans use the cubic Hermite blend of v0, v1,
//   k0's outgoing and k1's incoming tangent. Each tangent comes from its own
//   key's shape and is scaled by this span's length over the two-span length
//   around the key. At the first and last key (no outer neighbour) a TCB
//   tangent is the span difference weighted by the TCB factors, unscaled.
// * A 2D Bezier span is a cubic in (time, value), solved for time by bisection.
// * Outside the keys the pre/post behaviour applies: reset 0, constant end
//   value, repeat wraps the time, oscillate also mirrors odd copies, offset
//   repeat adds (last - first) per copy, linear extends along the end tangent.
#ifndef MORVANE_HOST_MOTION_ENVELOPE_H
#define MORVANE_HOST_MOTION_ENVELOPE_H

#include <lwenvel.h>

#include <list>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace host {

enum EnvelopeShape {
    kShapeTCB = 0,
    kShapeHermite = 1,
    kShapeBezier1D = 2,
    kShapeLinear = 3,
    kShapeStepped = 4,
    kShapeBezier2D = 5,
};

enum EnvelopeBehavior {
    kBehaviorReset = 0,
    kBehaviorConstant = 1,
    kBehaviorRepeat = 2,
    kBehaviorOscillate = 3,
    kBehaviorOffsetRepeat = 4,
    kBehaviorLinear = 5,
};

// Fields change only through Envelope so the key order stays valid.
class EnvelopeKey {
  public:
    double time() const { return time_; }
    double value() const { return value_; }
    int shape() const { return shape_; }
    double tension() const { return tension_; }
    double continuity() const { return continuity_; }
    double bias() const { return bias_; }
    double param(int i) const { return param_[i]; }

  private:
    friend class Envelope;
    double time_ = 0.0;
    double value_ = 0.0;
    int shape_ = kShapeTCB;
    double tension_ = 0.0;
    double continuity_ = 0.0;
    double bias_ = 0.0;
    double param_[4] = {0.0, 0.0, 0.0, 0.0};
    // Set while its KEY_DELETE event runs, so a nested destroy is a no-op.
    bool dying_ = false;
};

class Envelope {
  public:
    using Key = EnvelopeKey;
    // Times closer than this are the same key.
    static constexpr double kTimeEpsilon = 1e-6;

    explicit Envelope(std::string name = std::string(), int type = LWET_FLOAT);
    // Fires DESTROY while the keys are still readable.
    ~Envelope();
    Envelope(const Envelope&) = delete;
    Envelope& operator=(const Envelope&) = delete;

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    int type() const { return type_; }

    // The ID passed to event callbacks; the envelope's own address by default.
    LWEnvelopeID id() const { return id_; }
    void setId(LWEnvelopeID id) { id_ = id; }

    int preBehavior() const { return pre_; }
    int postBehavior() const { return post_; }
    // False (and unchanged) for a code outside 0..5.
    bool setPreBehavior(int behavior);
    bool setPostBehavior(int behavior);

    int keyCount() const { return static_cast<int>(keys_.size()); }
    // Counts the calls that may have changed keys or behaviours.
    unsigned long revision() const { return revision_; }
    bool contains(const Key* key) const;

    // A new key is TCB with zero parameters. A time already keyed only
    // updates that key's value, and no event fires.
    Key* createKey(double time, double value);
    // Ignores keys that do not belong to this envelope.
    void destroyKey(Key* key);
    Key* findKey(double time);
    // A null key gives the first (next) or last (prev) key.
    Key* nextKey(const Key* key);
    Key* prevKey(const Key* key);

    // `value` is an int* for LWKEY_SHAPE and a double* otherwise. Returns 1, or
    // 0 for an unknown tag or key, a shape outside 0..5, or a time that
    // another key already holds.
    int keySet(Key* key, int tag, const void* value);
    int keyGet(const Key* key, int tag, void* value) const;

    double evaluate(double time) const;

    // One callback per data pointer; a null callback removes the entry for
    // `data`. Returns 1, or 0 when asked to remove an entry that is absent.
    int setEvent(LWEnvEventFunc callback, void* data);

  private:
    using KeyList = std::list<Key>;
    using ConstIter = KeyList::const_iterator;

    struct Listener {
        LWEnvEventFunc callback;
        void* data;
    };

    KeyList::iterator locate(const Key* key);
    ConstIter locate(const Key* key) const;
    void fire(LWEnvEvent event, void* eventData);

    double evaluateInside(double time) const;
    double outTangent(ConstIter k0, ConstIter k1) const;
    double inTangent(ConstIter k0, ConstIter k1) const;
    double bezier2D(ConstIter k0, ConstIter k1, double time) const;

    std::string name_;
    int type_;
    int pre_ = kBehaviorConstant;
    int post_ = kBehaviorConstant;
    LWEnvelopeID id_;
    unsigned long revision_ = 0;
    KeyList keys_;
    // Where each key sits in keys_, so that a key is found without a scan.
    std::unordered_map<const Key*, KeyList::iterator> where_;
    std::vector<Listener> listeners_;
};

} // namespace host

#endif
