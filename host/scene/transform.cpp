#include "scene/transform.h"

#include "common/host_error.h"
#include "common/vec3.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace host {

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;
// Below this a determinant or an axis length counts as a zero scale.
constexpr double kSingular = 1e-300;
constexpr double kShortAxis = 1e-12;

const Channel* findMotionChannel(const Item& item, int index) {
    if (!item.channels) return nullptr;
    for (const auto& c : item.channels->channels())
        if (c->name() == kMotionChannelNames[index]) return c.get();
    return nullptr;
}

void column(const Affine& a, int j, double out[3]) {
    for (int i = 0; i < 3; ++i)
        out[i] = a.m[i][j];
}

void toMatrix4(const Affine& a, double out[4][4]) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            out[i][j] = a.m[i][j];
        out[i][3] = a.t[i];
    }
    out[3][0] = out[3][1] = out[3][2] = 0.0;
    out[3][3] = 1.0;
}

// The angle equivalent to `angle` nearest `near`, so a re-keyed rotation does
// not spin a full turn on the way from the neighbouring key.
double nearestTurn(double angle, double near) {
    return angle + kTwoPi * std::round((near - angle) / kTwoPi);
}

double unitOrZero(const double v[3], double out[3]) {
    const double length = vec3::length(v);
    vec3::scale(v, length > 0.0 ? 1.0 / length : 0.0, out);
    return length;
}

// Heading, pitch and bank of the rotation whose columns are right, up and
// forward. Looking straight up or down leaves heading free: it is folded into
// bank.
void anglesFromFrame(const double right[3], const double up[3], const double forward[3],
                     double hpb[3]) {
    // forward = (sh cp, -sp, ch cp); right.y = cp sb, up.y = cp cb.
    const double cp = std::sqrt(forward[0] * forward[0] + forward[2] * forward[2]);
    hpb[1] = std::atan2(-forward[1], cp);
    if (cp > 1e-9) {
        hpb[0] = std::atan2(forward[0], forward[2]);
        hpb[2] = std::atan2(right[1], up[1]);
    } else {
        // With heading 0: right.x = cb, up.x = -sb.
        hpb[0] = 0.0;
        hpb[2] = std::atan2(-up[0], right[0]);
    }
}

} // namespace

Affine identityAffine() {
    Affine a{};
    for (int i = 0; i < 3; ++i)
        a.m[i][i] = 1.0;
    return a;
}

Affine compose(const Affine& outer, const Affine& inner) {
    Affine r{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                r.m[i][j] += outer.m[i][k] * inner.m[k][j];
        r.t[i] = outer.t[i];
        for (int k = 0; k < 3; ++k)
            r.t[i] += outer.m[i][k] * inner.t[k];
    }
    return r;
}

double determinant(const double m[3][3]) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

Affine inverse(const Affine& a) {
    Affine r{};
    const double det = determinant(a.m);
    if (std::fabs(det) < kSingular) return r;
    // Adjugate over determinant; cyclic indices give the cofactor signs.
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int j1 = (j + 1) % 3, j2 = (j + 2) % 3;
            const int i1 = (i + 1) % 3, i2 = (i + 2) % 3;
            r.m[i][j] = (a.m[j1][i1] * a.m[j2][i2] - a.m[j1][i2] * a.m[j2][i1]) / det;
        }
    for (int i = 0; i < 3; ++i) {
        r.t[i] = 0.0;
        for (int k = 0; k < 3; ++k)
            r.t[i] -= r.m[i][k] * a.t[k];
    }
    return r;
}

void transformPoint(const Affine& a, const double p[3], double out[3]) {
    double r[3];
    for (int i = 0; i < 3; ++i)
        r[i] = a.m[i][0] * p[0] + a.m[i][1] * p[1] + a.m[i][2] * p[2] + a.t[i];
    vec3::copy(r, out);
}

void rotationMatrix(const double hpb[3], double r[3][3]) {
    const double ch = std::cos(hpb[0]), sh = std::sin(hpb[0]);
    const double cp = std::cos(hpb[1]), sp = std::sin(hpb[1]);
    const double cb = std::cos(hpb[2]), sb = std::sin(hpb[2]);
    // Ry(h) * Rx(p) * Rz(b), multiplied out.
    r[0][0] = ch * cb + sh * sp * sb;
    r[0][1] = -ch * sb + sh * sp * cb;
    r[0][2] = sh * cp;
    r[1][0] = cp * sb;
    r[1][1] = cp * cb;
    r[1][2] = -sp;
    r[2][0] = -sh * cb + ch * sp * sb;
    r[2][1] = sh * sb + ch * sp * cb;
    r[2][2] = ch * cp;
}

void motionValues(const Item& item, double time, double values[9]) {
    for (int i = 0; i < 9; ++i) {
        const Channel* c = findMotionChannel(item, i);
        values[i] = c ? c->envelope().evaluate(time) : (i < 6 ? 0.0 : 1.0);
    }
}

Affine localTransform(const Item& item, double time) {
    double v[9];
    motionValues(item, time, v);
    double r[3][3];
    rotationMatrix(v + 3, r);
    Affine a{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            a.m[i][j] = r[i][j] * v[6 + j];
    // position + M * (p - pivot)
    for (int i = 0; i < 3; ++i) {
        a.t[i] = v[i];
        for (int k = 0; k < 3; ++k)
            a.t[i] -= a.m[i][k] * item.pivot[k];
    }
    return a;
}

Affine worldTransform(const Scene& scene, LWItemID id, double time) {
    std::vector<const Item*> chain;
    for (const Item* item = scene.find(id); item; item = scene.find(item->parent)) {
        // A parent loop cannot come from setParent, but a loaded scene might hold one.
        if (std::find(chain.begin(), chain.end(), item) != chain.end()) break;
        chain.push_back(item);
    }
    Affine world = identityAffine();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        world = compose(world, localTransform(**it, time));
    return world;
}

void worldMatrix(const Scene& scene, LWItemID id, double time, double out[4][4]) {
    toMatrix4(worldTransform(scene, id, time), out);
}

void inverseWorldMatrix(const Scene& scene, LWItemID id, double time, double out[4][4]) {
    toMatrix4(inverse(worldTransform(scene, id, time)), out);
}

void itemParam(const Scene& scene, LWItemID id, LWItemParam param, double time, double out[3]) {
    if (!out) return;
    out[0] = out[1] = out[2] = 0.0;
    const Item* item = scene.find(id);
    if (!item) return;
    double v[9];
    switch (param) {
    case LWIP_POSITION:
    case LWIP_ROTATION:
    case LWIP_SCALING:
        motionValues(*item, time, v);
        vec3::copy(v + (param == LWIP_POSITION ? 0 : param == LWIP_ROTATION ? 3 : 6), out);
        return;
    case LWIP_PIVOT:
        vec3::copy(item->pivot, out);
        return;
    case LWIP_PIVOT_ROT:
        vec3::copy(item->pivotRotation, out);
        return;
    case LWIP_RIGHT:
    case LWIP_UP:
    case LWIP_FORWARD:
        column(worldTransform(scene, id, time), param - LWIP_RIGHT, out);
        return;
    case LWIP_W_RIGHT:
    case LWIP_W_UP:
    case LWIP_W_FORWARD:
        column(inverse(worldTransform(scene, id, time)), param - LWIP_W_RIGHT, out);
        return;
    case LWIP_W_POSITION:
        transformPoint(worldTransform(scene, id, time), item->pivot, out);
        return;
    default:
        return;
    }
}

void parentKeepingWorld(Scene& scene, LWItemID child, LWItemID newParent, double time) {
    Item& item = scene.get(child);
    const Affine world = worldTransform(scene, child, time);
    Affine parentWorld = identityAffine();
    if (newParent) {
        scene.get(newParent);
        parentWorld = worldTransform(scene, newParent, time);
        if (std::fabs(determinant(parentWorld.m)) < kSingular)
            throw HostError("cannot keep " + item.name + " in place under an item scaled to zero");
    }
    scene.setParent(child, newParent); // refuses a cycle before anything is keyed

    const Affine local = compose(inverse(parentWorld), world);

    // Scale is the length of each axis; the unit axes give the rotation.
    double axis[3][3], scale[3];
    bool degenerate[3];
    int missing = 0;
    for (int j = 0; j < 3; ++j) {
        column(local, j, axis[j]);
        scale[j] = vec3::length(axis[j]);
        degenerate[j] = scale[j] < kShortAxis;
        if (degenerate[j])
            ++missing;
        else
            vec3::scale(axis[j], 1.0 / scale[j], axis[j]);
    }
    double hpb[3] = {0.0, 0.0, 0.0};
    if (missing <= 1) {
        // A zero-scaled axis still has a direction: it completes the frame.
        for (int j = 0; j < 3; ++j)
            if (degenerate[j]) vec3::cross(axis[(j + 1) % 3], axis[(j + 2) % 3], axis[j]);
        // Rebuild an orthonormal frame from forward and right, then read the
        // angles off R = Ry(h) * Rx(p) * Rz(b).
        double right[3], up[3], forward[3], along[3];
        unitOrZero(axis[2], forward);
        vec3::scale(forward, vec3::dot(axis[0], forward), along);
        vec3::subtract(axis[0], along, right);
        unitOrZero(right, right);
        vec3::cross(forward, right, up);
        anglesFromFrame(right, up, forward, hpb);
    }

    double values[9];
    motionValues(item, time, values);
    for (int k = 0; k < 3; ++k)
        hpb[k] = nearestTurn(hpb[k], values[3 + k]);

    // The pivot point lands where the position channels put it.
    double position[3];
    transformPoint(local, item.pivot, position);

    setMotion(scene, child, 0, position, time);
    setMotion(scene, child, 3, hpb, time);
    setMotion(scene, child, 6, scale, time);
}

void setMotion(Scene& scene, LWItemID id, int firstChannel, const double values[3], double time) {
    if (firstChannel != 0 && firstChannel != 3 && firstChannel != 6)
        throw HostError("motion channels start at 0, 3 or 6, not " + std::to_string(firstChannel));
    Item& item = scene.get(id);
    Channel* channels[3] = {};
    for (int k = 0; k < 3; ++k) {
        const char* name = kMotionChannelNames[firstChannel + k];
        channels[k] = item.channels ? item.channels->findChannel(name) : nullptr;
        if (!channels[k]) throw HostError(item.name + " has no channel " + name);
    }
    for (int k = 0; k < 3; ++k)
        channels[k]->envelope().createKey(time, values[k]);
}

} // namespace host
