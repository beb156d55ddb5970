// Envelope evaluation: spans between keys and behaviours outside them.
#include "motion/envelope.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace host {

namespace {

// Scene-file positions of the key parameters (see envelope.h).
double p1(const EnvelopeKey& k) {
    return k.tension();
}
double p2(const EnvelopeKey& k) {
    return k.continuity();
}
double p3(const EnvelopeKey& k) {
    return k.bias();
}
double p4(const EnvelopeKey& k) {
    return k.param(0);
}
double p5(const EnvelopeKey& k) {
    return k.param(1);
}

// x / d, with tiny handle lengths clamped instead of blowing up.
double handleRatio(double x, double d) {
    return std::fabs(d) < 1e-5 ? x * 1e5 : x / d;
}

double cubicBezier(double a, double b, double c, double d, double s) {
    double r = 1.0 - s;
    return r * r * r * a + 3.0 * r * r * s * b + 3.0 * r * s * s * c + s * s * s * d;
}

} // namespace

double Envelope::outTangent(ConstIter k0, ConstIter k1) const {
    const double d = k1->value_ - k0->value_;
    const double span = k1->time_ - k0->time_;
    const bool hasPrev = k0 != keys_.begin();
    ConstIter kp = hasPrev ? std::prev(k0) : k0;
    const double scale = hasPrev ? span / (k1->time_ - kp->time_) : 1.0;
    switch (k0->shape_) {
    case kShapeTCB: {
        const double t = k0->tension_, c = k0->continuity_, b = k0->bias_;
        const double wa = (1 - t) * (1 + c) * (1 + b);
        const double wb = (1 - t) * (1 - c) * (1 - b);
        return hasPrev ? scale * (wa * (k0->value_ - kp->value_) + wb * d) : wb * d;
    }
    case kShapeHermite:
    case kShapeBezier1D:
        return p5(*k0) * scale;
    case kShapeLinear:
        return hasPrev ? scale * (k0->value_ - kp->value_ + d) : d;
    case kShapeBezier2D:
        return handleRatio(p4(*k0) * span, p3(*k0));
    default:
        return 0.0;
    }
}

double Envelope::inTangent(ConstIter k0, ConstIter k1) const {
    const double d = k1->value_ - k0->value_;
    const double span = k1->time_ - k0->time_;
    ConstIter kn = std::next(k1);
    const bool hasNext = kn != keys_.end();
    const double scale = hasNext ? span / (kn->time_ - k0->time_) : 1.0;
    switch (k1->shape_) {
    case kShapeTCB: {
        const double t = k1->tension_, c = k1->continuity_, b = k1->bias_;
        const double wa = (1 - t) * (1 - c) * (1 + b);
        const double wb = (1 - t) * (1 + c) * (1 - b);
        return hasNext ? scale * (wb * (kn->value_ - k1->value_) + wa * d) : wa * d;
    }
    case kShapeHermite:
    case kShapeBezier1D:
        return p4(*k1) * scale;
    case kShapeLinear:
        return hasNext ? scale * (kn->value_ - k1->value_ + d) : d;
    case kShapeBezier2D:
        return handleRatio(p2(*k1) * span, p1(*k1));
    default:
        return 0.0;
    }
}

double Envelope::bezier2D(ConstIter k0, ConstIter k1, double time) const {
    const double t0 = k0->time_, t1 = k1->time_;
    const double v0 = k0->value_, v1 = k1->value_;
    const bool k0Bezier = k0->shape_ == kShapeBezier2D;
    const double c1 = k0Bezier ? t0 + p3(*k0) : t0 + (t1 - t0) / 3.0;
    const double c2 = t1 + p1(*k1);
    const double w1 = k0Bezier ? v0 + p4(*k0) : v0 + p5(*k0) / 3.0;
    const double w2 = v1 + p2(*k1);

    // Bisect the curve parameter for the wanted time; the time curve rises
    // from t0 to t1 for sane handles.
    double lo = 0.0, hi = 1.0;
    for (int i = 0; i < 64 && hi - lo > 1e-12; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (cubicBezier(t0, c1, c2, t1, mid) < time)
            lo = mid;
        else
            hi = mid;
    }
    return cubicBezier(v0, w1, w2, v1, 0.5 * (lo + hi));
}

double Envelope::evaluateInside(double time) const {
    // First key later than `time`; the caller keeps time within the key range.
    ConstIter k1 =
        std::find_if(keys_.begin(), keys_.end(), [time](const Key& k) { return k.time_ > time; });
    if (k1 == keys_.end()) return keys_.back().value_;
    if (k1 == keys_.begin()) return k1->value_;
    ConstIter k0 = std::prev(k1);
    if (time == k0->time_) return k0->value_;

    const double v0 = k0->value_, v1 = k1->value_;
    const double u = (time - k0->time_) / (k1->time_ - k0->time_);
    switch (k1->shape_) {
    case kShapeStepped:
        return v0;
    case kShapeLinear:
        return v0 + u * (v1 - v0);
    case kShapeBezier2D:
        return bezier2D(k0, k1, time);
    default: {
        const double u2 = u * u, u3 = u2 * u;
        const double h2 = 3.0 * u2 - 2.0 * u3;
        const double h1 = 1.0 - h2;
        const double h3 = u3 - 2.0 * u2 + u;
        const double h4 = u3 - u2;
        return h1 * v0 + h2 * v1 + h3 * outTangent(k0, k1) + h4 * inTangent(k0, k1);
    }
    }
}

double Envelope::evaluate(double time) const {
    if (keys_.empty()) return 0.0;
    const Key& first = keys_.front();
    const Key& last = keys_.back();
    if (keys_.size() == 1) return first.value_;
    if (time >= first.time_ && time <= last.time_) return evaluateInside(time);

    const bool before = time < first.time_;
    const int behavior = before ? pre_ : post_;
    const double range = last.time_ - first.time_;
    switch (behavior) {
    case kBehaviorReset:
        return 0.0;
    case kBehaviorRepeat:
    case kBehaviorOscillate:
    case kBehaviorOffsetRepeat: {
        // Whole periods from the first key; negative before it. Kept as a
        // double so far-off times cannot overflow an integer.
        const double periods = std::floor((time - first.time_) / range);
        double wrapped = time - periods * range;
        wrapped = std::min(std::max(wrapped, first.time_), last.time_);
        if (behavior == kBehaviorOscillate && std::fmod(periods, 2.0) != 0.0)
            wrapped = last.time_ - (wrapped - first.time_);
        double v = evaluateInside(wrapped);
        if (behavior == kBehaviorOffsetRepeat) v += periods * (last.value_ - first.value_);
        return v;
    }
    case kBehaviorLinear: {
        if (before) {
            ConstIter k0 = keys_.begin(), k1 = std::next(k0);
            const double slope = outTangent(k0, k1) / (k1->time_ - k0->time_);
            return first.value_ + slope * (time - first.time_);
        }
        ConstIter k1 = std::prev(keys_.end()), k0 = std::prev(k1);
        const double slope = inTangent(k0, k1) / (k1->time_ - k0->time_);
        return last.value_ + slope * (time - last.time_);
    }
    default:
        return before ? first.value_ : last.value_;
    }
}

} // namespace host
