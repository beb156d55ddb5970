// Item motion, channel and envelope services. Every ID a module hands back is
// looked up among the groups the host knows before it is used, so a stale or
// foreign ID gets a null answer instead of a crash.
#include "scene/scene.h"
#include "scene/transform.h"
#include "services/service_records.h"
#include "services/services.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace host {

namespace {

// Groups plug-ins create outside any item. Channels created with no group go
// to the host's orphan group, which is not listed: the plug-in asked for none.
struct PluginGroups {
    std::vector<std::unique_ptr<ChannelGroup>> roots;
    std::unique_ptr<ChannelGroup> orphans = std::make_unique<ChannelGroup>("", nullptr);
};

// Keyed by the host's records, which every new host fills afresh. Neither map
// is ever destroyed: envelope DESTROY events must not reach a module that has
// been unloaded, as they would at exit or when a host's groups are dropped.
std::map<const ServiceRecords*, PluginGroups>& registry() {
    static auto* groups = new std::map<const ServiceRecords*, PluginGroups>;
    return *groups;
}
std::vector<PluginGroups>& retired() {
    static auto* old = new std::vector<PluginGroups>;
    return *old;
}

Scene* scene() {
    ServiceTable* table = ServiceTable::currentOrNull();
    return table ? &table->sources().scene : nullptr;
}

PluginGroups* pluginGroups() {
    ServiceTable* table = ServiceTable::currentOrNull();
    return table ? &registry()[&table->records()] : nullptr;
}

// The top-level groups Channel Info lists under the root, in order.
std::vector<ChannelGroup*> rootGroups() {
    std::vector<ChannelGroup*> out;
    Scene* s = scene();
    if (!s) return out;
    for (Item* item : s->items())
        if (item->channels) out.push_back(item->channels.get());
    for (auto& g : pluginGroups()->roots)
        out.push_back(g.get());
    return out;
}

// Visits every group the host knows, depth first; stops when visit says so.
template <typename Visit> bool walkGroup(ChannelGroup* group, Visit& visit) {
    if (visit(group)) return true;
    for (auto& sub : group->groups())
        if (walkGroup(sub.get(), visit)) return true;
    return false;
}
template <typename Visit> void walkAll(Visit visit) {
    if (!scene()) return;
    for (ChannelGroup* g : rootGroups())
        if (walkGroup(g, visit)) return;
    walkGroup(pluginGroups()->orphans.get(), visit);
}

ChannelGroup* knownGroup(LWChanGroupID id) {
    ChannelGroup* found = nullptr;
    if (!id) return nullptr;
    walkAll([&](ChannelGroup* g) {
        if (g != id) return false;
        found = g;
        return true;
    });
    return found;
}

Channel* knownChannel(LWChannelID id) {
    Channel* found = nullptr;
    if (!id) return nullptr;
    walkAll([&](ChannelGroup* g) {
        for (auto& c : g->channels())
            if (c.get() == id) {
                found = c.get();
                return true;
            }
        return false;
    });
    return found;
}

Channel* channelOfEnvelope(LWEnvelopeID id) {
    Channel* found = nullptr;
    if (!id) return nullptr;
    walkAll([&](ChannelGroup* g) {
        for (auto& c : g->channels())
            if (&c->envelope() == id) {
                found = c.get();
                return true;
            }
        return false;
    });
    return found;
}

Envelope* knownEnvelope(LWEnvelopeID id) {
    Channel* c = channelOfEnvelope(id);
    return c ? &c->envelope() : nullptr;
}

const Item* itemOwning(const ChannelGroup* group) {
    Scene* s = scene();
    if (!s || !group) return nullptr;
    for (Item* item : s->items())
        if (item->channels.get() == group) return item;
    return nullptr;
}

// Items keep their nine motion channels: a plug-in may only remove its own.
bool isMotionChannel(const Channel* c) {
    if (!itemOwning(c->group())) return false;
    for (const char* name : kMotionChannelNames)
        if (c->name() == name) return true;
    return false;
}

// ---- Item Info ----

XCALL_(LWItemID) itemFirstChild(LWItemID id) {
    Scene* s = scene();
    return s && s->find(id) ? s->firstChild(id) : nullptr;
}

XCALL_(LWItemID) itemNextChild(LWItemID parent, LWItemID previous) {
    Scene* s = scene();
    return s && s->find(parent) && previous ? s->nextChild(parent, previous) : nullptr;
}

XCALL_(LWItemID) itemParent(LWItemID id) {
    Scene* s = scene();
    const Item* item = s ? s->find(id) : nullptr;
    return item ? item->parent : nullptr;
}

XCALL_(LWItemID) itemNone(LWItemID) {
    return nullptr;
}

XCALL_(void) itemParamCall(LWItemID id, LWItemParam param, LWTime time, LWDVector out) {
    if (!out) return;
    Scene* s = scene();
    if (s)
        itemParam(*s, id, param, time, out);
    else
        out[0] = out[1] = out[2] = 0.0;
}

XCALL_(unsigned int) itemLimits(LWItemID, LWItemParam, LWDVector lo, LWDVector hi) {
    for (double* v : {lo, hi})
        if (v) v[0] = v[1] = v[2] = 0.0;
    return 0;
}

XCALL_(LWChanGroupID) itemChanGroup(LWItemID id) {
    Scene* s = scene();
    const Item* item = s ? s->find(id) : nullptr;
    return item ? item->channels.get() : nullptr;
}

XCALL_(void) itemController(LWItemID, LWItemParam, int type[3]) {
    if (type) type[0] = type[1] = type[2] = LWMOTCTL_KEYFRAMES;
}

XCALL_(unsigned int) itemFlags(LWItemID) {
    return 0;
}

XCALL_(unsigned int) itemSelected(LWItemID id) {
    Scene* s = scene();
    return s && s->isSelected(id) ? 1 : 0;
}

// ---- Channel Info ----

XCALL_(LWChanGroupID) chanNextGroup(LWChanGroupID parentId, LWChanGroupID prev) {
    std::vector<ChannelGroup*> list;
    if (!parentId) {
        list = rootGroups();
    } else {
        ChannelGroup* parent = knownGroup(parentId);
        if (!parent) return nullptr;
        for (auto& g : parent->groups())
            list.push_back(g.get());
    }
    if (!prev) return list.empty() ? nullptr : list.front();
    auto at = std::find(list.begin(), list.end(), prev);
    if (at == list.end() || ++at == list.end()) return nullptr;
    return *at;
}

XCALL_(LWChannelID) chanNextChannel(LWChanGroupID groupId, LWChannelID prev) {
    ChannelGroup* group = knownGroup(groupId);
    if (!group) return nullptr;
    const auto& list = group->channels();
    if (!prev) return list.empty() ? nullptr : list.front().get();
    auto at = std::find_if(list.begin(), list.end(), [&](auto& c) { return c.get() == prev; });
    if (at == list.end() || ++at == list.end()) return nullptr;
    return at->get();
}

XCALL_(const char*) chanGroupName(LWChanGroupID id) {
    ChannelGroup* g = knownGroup(id);
    return g ? g->name().c_str() : nullptr;
}

XCALL_(const char*) chanChannelName(LWChannelID id) {
    Channel* c = knownChannel(id);
    return c ? c->name().c_str() : nullptr;
}

XCALL_(LWChanGroupID) chanGroupParent(LWChanGroupID id) {
    ChannelGroup* g = knownGroup(id);
    return g ? g->parent() : nullptr;
}

XCALL_(LWChanGroupID) chanChannelParent(LWChannelID id) {
    Channel* c = knownChannel(id);
    if (!c || c->group() == pluginGroups()->orphans.get()) return nullptr;
    return c->group();
}

XCALL_(int) chanType(LWChannelID id) {
    Channel* c = knownChannel(id);
    return c ? c->type() : 0;
}

XCALL_(double) chanEvaluate(LWChannelID id, LWTime time) {
    Channel* c = knownChannel(id);
    return c ? c->envelope().evaluate(time) : 0.0;
}

XCALL_(LWEnvelopeID) chanEnvelope(LWChannelID id) {
    Channel* c = knownChannel(id);
    return c ? &c->envelope() : nullptr;
}

// Channel events are accepted; the host does not raise any yet.
XCALL_(int) chanSetEvent(LWChannelID id, LWChanEventFunc, void*) {
    return knownChannel(id) ? 1 : 0;
}

// ---- Animation Envelopes ----

XCALL_(LWEnvelopeID) envCreate(LWChanGroupID groupId, const char* name, int type) {
    ChannelGroup* group = groupId ? knownGroup(groupId) : nullptr;
    if (!groupId && scene()) group = pluginGroups()->orphans.get();
    if (!group) return nullptr;
    return &group->addChannel(name ? name : "", type).envelope();
}

XCALL_(void) envDestroy(LWEnvelopeID id) {
    Channel* c = channelOfEnvelope(id);
    if (!c || isMotionChannel(c)) return;
    c->group()->removeChannel(c);
}

XCALL_(LWChanGroupID) envCreateGroup(LWChanGroupID parentId, const char* name) {
    const std::string groupName = name ? name : "";
    if (!parentId) {
        PluginGroups* groups = scene() ? pluginGroups() : nullptr;
        if (!groups) return nullptr;
        groups->roots.push_back(std::make_unique<ChannelGroup>(groupName, nullptr));
        return groups->roots.back().get();
    }
    ChannelGroup* parent = knownGroup(parentId);
    return parent ? &parent->addGroup(groupName) : nullptr;
}

XCALL_(void) envDestroyGroup(LWChanGroupID id) {
    ChannelGroup* g = knownGroup(id);
    if (!g || itemOwning(g) || g == pluginGroups()->orphans.get()) return;
    if (g->parent()) {
        g->parent()->removeGroup(g);
        return;
    }
    auto& roots = pluginGroups()->roots;
    auto at = std::find_if(roots.begin(), roots.end(), [&](auto& r) { return r.get() == g; });
    if (at == roots.end()) return;
    // Out of the list before its envelopes' DESTROY callbacks can look.
    std::unique_ptr<ChannelGroup> doomed = std::move(*at);
    roots.erase(at);
}

XCALL_(LWError) envCopy(LWEnvelopeID toId, LWEnvelopeID fromId) {
    Envelope* to = knownEnvelope(toId);
    Envelope* from = knownEnvelope(fromId);
    if (!to || !from) return "unknown envelope";
    if (to == from) return nullptr;

    struct KeyCopy {
        double time, value;
        int shape;
        double params[7];
    };
    static const int kDoubleTags[7] = {LWKEY_TENSION, LWKEY_CONTINUITY, LWKEY_BIAS,   LWKEY_PARAM_0,
                                       LWKEY_PARAM_1, LWKEY_PARAM_2,    LWKEY_PARAM_3};
    // Read everything first: to's callbacks may run while it is rebuilt.
    std::vector<KeyCopy> keys;
    for (Envelope::Key* k = from->nextKey(nullptr); k; k = from->nextKey(k)) {
        KeyCopy copy{k->time(), k->value(), k->shape(), {}};
        for (int i = 0; i < 7; ++i)
            from->keyGet(k, kDoubleTags[i], &copy.params[i]);
        keys.push_back(copy);
    }
    const int pre = from->preBehavior(), post = from->postBehavior();

    while (Envelope::Key* k = to->nextKey(nullptr)) {
        to->destroyKey(k);
        if (to->nextKey(nullptr) == k) return "a key could not be removed";
    }
    for (KeyCopy& copy : keys) {
        Envelope::Key* k = to->createKey(copy.time, copy.value);
        if (!k) continue;
        to->keySet(k, LWKEY_SHAPE, &copy.shape);
        for (int i = 0; i < 7; ++i)
            to->keySet(k, kDoubleTags[i], &copy.params[i]);
    }
    to->setPreBehavior(pre);
    to->setPostBehavior(post);
    return nullptr;
}

XCALL_(LWError) envLoad(LWEnvelopeID, const LWLoadState*) {
    return "not supported";
}

XCALL_(LWError) envSave(LWEnvelopeID, const LWSaveState*) {
    return "not supported";
}

XCALL_(double) envEvaluate(LWEnvelopeID id, LWTime time) {
    Envelope* env = knownEnvelope(id);
    return env ? env->evaluate(time) : 0.0;
}

XCALL_(int) envEdit(LWChanGroupID, LWEnvelopeID, int, void*) {
    return 0;
}

XCALL_(int) envAge(LWEnvelopeID) {
    return 0;
}

Envelope::Key* asKey(LWEnvKeyframeID key) {
    return static_cast<Envelope::Key*>(key);
}

XCALL_(LWEnvKeyframeID) envCreateKey(LWEnvelopeID id, LWTime time, double value) {
    Envelope* env = knownEnvelope(id);
    return env ? env->createKey(time, value) : nullptr;
}

XCALL_(void) envDestroyKey(LWEnvelopeID id, LWEnvKeyframeID key) {
    if (Envelope* env = knownEnvelope(id)) env->destroyKey(asKey(key));
}

XCALL_(LWEnvKeyframeID) envFindKey(LWEnvelopeID id, LWTime time) {
    Envelope* env = knownEnvelope(id);
    return env ? env->findKey(time) : nullptr;
}

XCALL_(LWEnvKeyframeID) envNextKey(LWEnvelopeID id, LWEnvKeyframeID key) {
    Envelope* env = knownEnvelope(id);
    return env ? env->nextKey(asKey(key)) : nullptr;
}

XCALL_(LWEnvKeyframeID) envPrevKey(LWEnvelopeID id, LWEnvKeyframeID key) {
    Envelope* env = knownEnvelope(id);
    return env ? env->prevKey(asKey(key)) : nullptr;
}

XCALL_(int) envKeySet(LWEnvelopeID id, LWEnvKeyframeID key, LWKeyTag tag, void* value) {
    Envelope* env = knownEnvelope(id);
    return env ? env->keySet(asKey(key), tag, value) : 0;
}

XCALL_(int) envKeyGet(LWEnvelopeID id, LWEnvKeyframeID key, LWKeyTag tag, void* value) {
    Envelope* env = knownEnvelope(id);
    return env ? env->keyGet(asKey(key), tag, value) : 0;
}

XCALL_(int) envSetEvent(LWEnvelopeID id, LWEnvEventFunc callback, void* data) {
    Envelope* env = knownEnvelope(id);
    return env ? env->setEvent(callback, data) : 0;
}

// The graph-editor visibility flag, per envelope. An entry goes when its
// envelope's DESTROY event arrives, so a later envelope at the same address
// starts visible.
std::map<LWEnvelopeID, int>& visibility() {
    static auto* flags = new std::map<LWEnvelopeID, int>;
    return *flags;
}
int visibilityKeeper;

XCALL_(int) forgetVisibility(void*, LWEnvelopeID env, LWEnvEvent event, void*) {
    if (event == LWEEVNT_DESTROY) visibility().erase(env);
    return 0;
}

XCALL_(int) envGroupSet(LWEnvelopeID id, LWChanGroupID, int tag, void* value) {
    Envelope* env = knownEnvelope(id);
    if (!env || !value) return 0;
    const int v = *static_cast<const int*>(value);
    switch (tag) {
    case LWENVTAG_VISIBLE:
        if (!visibility().count(env->id())) env->setEvent(forgetVisibility, &visibilityKeeper);
        visibility()[env->id()] = v ? 1 : 0;
        return 1;
    case LWENVTAG_PREBEHAVE:
        return env->setPreBehavior(v) ? 1 : 0;
    case LWENVTAG_POSTBEHAVE:
        return env->setPostBehavior(v) ? 1 : 0;
    default:
        return 0;
    }
}

XCALL_(int) envGroupGet(LWEnvelopeID id, LWChanGroupID, int tag, void* value) {
    Envelope* env = knownEnvelope(id);
    if (!env || !value) return 0;
    int& out = *static_cast<int*>(value);
    switch (tag) {
    case LWENVTAG_VISIBLE: {
        auto found = visibility().find(env->id());
        out = found == visibility().end() ? 1 : found->second;
        return 1;
    }
    case LWENVTAG_PREBEHAVE:
        out = env->preBehavior();
        return 1;
    case LWENVTAG_POSTBEHAVE:
        out = env->postBehavior();
        return 1;
    case LWENVTAG_KEYCOUNT:
        out = env->keyCount();
        return 1;
    default:
        return 0;
    }
}

} // namespace

void fillMotionRecords(ServiceRecords& r) {
    // A host built where an earlier one stood starts with no plug-in groups.
    auto stale = registry().find(&r);
    if (stale != registry().end()) {
        retired().push_back(std::move(stale->second));
        registry().erase(stale);
    }

    LWItemInfo& item = r.itemInfo.v5;
    item.firstChild = itemFirstChild;
    item.nextChild = itemNextChild;
    item.parent = itemParent;
    item.target = itemNone;
    item.goal = itemNone;
    item.pole = itemNone;
    item.param = itemParamCall;
    item.limits = itemLimits;
    item.chanGroup = itemChanGroup;
    item.controller = itemController;
    item.flags = itemFlags;
    r.itemInfo.selected = itemSelected;

    LWChannelInfo& chan = r.channelInfo;
    chan.nextGroup = chanNextGroup;
    chan.nextChannel = chanNextChannel;
    chan.groupName = chanGroupName;
    chan.channelName = chanChannelName;
    chan.groupParent = chanGroupParent;
    chan.channelParent = chanChannelParent;
    chan.channelType = chanType;
    chan.channelEvaluate = chanEvaluate;
    chan.channelEnvelope = chanEnvelope;
    chan.setChannelEvent = chanSetEvent;

    LWEnvelopeFuncs& env = r.envelopeFuncs;
    env.create = envCreate;
    env.destroy = envDestroy;
    env.createGroup = envCreateGroup;
    env.destroyGroup = envDestroyGroup;
    env.copy = envCopy;
    env.load = envLoad;
    env.save = envSave;
    env.evaluate = envEvaluate;
    env.edit = envEdit;
    env.envAge = envAge;
    env.createKey = envCreateKey;
    env.destroyKey = envDestroyKey;
    env.findKey = envFindKey;
    env.nextKey = envNextKey;
    env.prevKey = envPrevKey;
    env.keySet = envKeySet;
    env.keyGet = envKeyGet;
    env.setEnvEvent = envSetEvent;
    env.egSet = envGroupSet;
    env.egGet = envGroupGet;
}

} // namespace host
