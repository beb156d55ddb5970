// Item Info's motion members, Channel Info and Animation Envelopes as a module
// sees them through the host's global accessor.
#include "host/host.h"
#include "host/services/service_records.h"
#include "host/scene/transform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Services {
    std::ostringstream out;
    host::Host layout{out};
    host::ItemInfo9* item =
        static_cast<host::ItemInfo9*>(layout.services().lookup("LW Item Info 9"));
    LWItemInfo* item5 = static_cast<LWItemInfo*>(layout.services().lookup("LW Item Info 5"));
    LWChannelInfo* chan = static_cast<LWChannelInfo*>(layout.services().lookup("Channel Info 2"));
    LWEnvelopeFuncs* env =
        static_cast<LWEnvelopeFuncs*>(layout.services().lookup("Animation Envelopes"));
    host::Scene& scene = layout.scene();

    std::vector<LWChanGroupID> groups(LWChanGroupID parent) {
        std::vector<LWChanGroupID> list;
        for (LWChanGroupID g = chan->nextGroup(parent, nullptr); g; g = chan->nextGroup(parent, g))
            list.push_back(g);
        return list;
    }
    std::vector<std::string> channelNames(LWChanGroupID group) {
        std::vector<std::string> names;
        for (LWChannelID c = chan->nextChannel(group, nullptr); c; c = chan->nextChannel(group, c))
            names.push_back(chan->channelName(c));
        return names;
    }
    LWChannelID channel(LWChanGroupID group, const char* name) {
        for (LWChannelID c = chan->nextChannel(group, nullptr); c; c = chan->nextChannel(group, c))
            if (!std::strcmp(chan->channelName(c), name)) return c;
        return nullptr;
    }
};

TEST(ItemInfoMotion, RecordsAreThere) {
    Services s;
    ASSERT_NE(s.item, nullptr);
    ASSERT_EQ(static_cast<void*>(s.item5), static_cast<void*>(s.item));
    ASSERT_NE(s.chan, nullptr);
    ASSERT_NE(s.env, nullptr);
}

TEST(ItemInfoMotion, ParamAnswersThroughTheRecord) {
    // Heading 90: right (0,0,-1), forward (1,0,0); a child at local (0,0,1) of a
    // parent at (1,2,3) sits at (1,2,3) + (1,0,0) = (2,2,3).
    Services s;
    LWItemID parent = s.scene.addNull("Parent").id;
    LWItemID child = s.scene.addNull("Child").id;
    const double pos[3] = {1, 2, 3}, hpb[3] = {kPi / 2, 0, 0}, local[3] = {0, 0, 1};
    host::setMotion(s.scene, parent, 0, pos, 0.0);
    host::setMotion(s.scene, parent, 3, hpb, 0.0);
    host::setMotion(s.scene, child, 0, local, 0.0);
    s.scene.setParent(child, parent);

    double v[3];
    s.item->v5.param(parent, LWIP_RIGHT, 0.0, v);
    EXPECT_NEAR(v[0], 0, 1e-12);
    EXPECT_NEAR(v[1], 0, 1e-12);
    EXPECT_NEAR(v[2], -1, 1e-12);
    s.item->v5.param(parent, LWIP_FORWARD, 0.0, v);
    EXPECT_NEAR(v[0], 1, 1e-12);
    EXPECT_NEAR(v[2], 0, 1e-12);
    s.item->v5.param(child, LWIP_W_POSITION, 0.0, v);
    EXPECT_NEAR(v[0], 2, 1e-12);
    EXPECT_NEAR(v[1], 2, 1e-12);
    EXPECT_NEAR(v[2], 3, 1e-12);
    v[0] = v[1] = v[2] = 9;
    s.item->v5.param(nullptr, LWIP_POSITION, 0.0, v);
    EXPECT_EQ(v[0] + v[1] + v[2], 0.0);
    s.item->v5.param(child, LWIP_POSITION, 0.0, nullptr); // must not crash
}

TEST(ItemInfoMotion, ParentAndChildrenFollowTheScene) {
    Services s;
    LWItemID p = s.scene.addNull("P").id;
    LWItemID a = s.scene.addNull("A").id;
    LWItemID loner = s.scene.addNull("Loner").id;
    LWItemID c = s.scene.addNull("C").id;
    s.scene.setParent(a, p);
    s.scene.setParent(c, p);
    EXPECT_EQ(s.item->v5.parent(a), p);
    EXPECT_EQ(s.item->v5.parent(p), nullptr);
    EXPECT_EQ(s.item->v5.firstChild(p), a);
    EXPECT_EQ(s.item->v5.nextChild(p, a), c);
    EXPECT_EQ(s.item->v5.nextChild(p, c), nullptr);
    EXPECT_EQ(s.item->v5.firstChild(loner), nullptr);
    EXPECT_EQ(s.item->v5.target(a), nullptr);
    EXPECT_EQ(s.item->v5.goal(a), nullptr);
    EXPECT_EQ(s.item->v5.pole(a), nullptr);
    EXPECT_EQ(s.item->v5.flags(a), 0u);
    int ctl[3] = {9, 9, 9};
    s.item->v5.controller(a, LWIP_ROTATION, ctl);
    EXPECT_EQ(ctl[0], LWMOTCTL_KEYFRAMES);
    EXPECT_EQ(ctl[1], LWMOTCTL_KEYFRAMES);
    EXPECT_EQ(ctl[2], LWMOTCTL_KEYFRAMES);
    double lo[3] = {1, 1, 1}, hi[3] = {1, 1, 1};
    EXPECT_EQ(s.item->v5.limits(a, LWIP_POSITION, lo, hi), 0u);
}

TEST(ItemInfoMotion, SelectedFollowsTheSelection) {
    Services s;
    LWItemID a = s.scene.addNull("A").id;
    LWItemID b = s.scene.addNull("B").id;
    s.scene.select(a);
    EXPECT_EQ(s.item->selected(a), 1u);
    EXPECT_EQ(s.item->selected(b), 0u);
    s.scene.addToSelection(b);
    EXPECT_EQ(s.item->selected(b), 1u);
    s.scene.clearSelection();
    EXPECT_EQ(s.item->selected(a), 0u);
    EXPECT_EQ(s.item->selected(nullptr), 0u);
}

TEST(ChannelInfo, ListsEachItemGroupWithItsNineChannelsInOrder) {
    Services s;
    LWItemID cam = s.scene.add(LWI_CAMERA, "Camera").id;
    LWItemID obj = s.scene.addNull("Null").id;
    std::vector<LWChanGroupID> roots = s.groups(nullptr);
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_EQ(roots[0], s.item->v5.chanGroup(cam));
    EXPECT_EQ(roots[1], s.item->v5.chanGroup(obj));
    EXPECT_STREQ(s.chan->groupName(roots[0]), "Camera");
    EXPECT_STREQ(s.chan->groupName(roots[1]), "Null");
    EXPECT_EQ(s.chan->groupParent(roots[1]), nullptr);

    const std::vector<std::string> expected = {"Position.X", "Position.Y", "Position.Z",
                                               "Rotation.H", "Rotation.P", "Rotation.B",
                                               "Scale.X",    "Scale.Y",    "Scale.Z"};
    for (LWChanGroupID g : roots)
        EXPECT_EQ(s.channelNames(g), expected);

    LWChannelID sx = s.channel(roots[1], "Scale.X");
    ASSERT_NE(sx, nullptr);
    EXPECT_EQ(s.chan->channelParent(sx), roots[1]);
    EXPECT_EQ(s.chan->channelType(sx), LWET_PERCENT);
    EXPECT_EQ(s.chan->channelType(s.channel(roots[1], "Rotation.P")), LWET_ANGLE);
    EXPECT_EQ(s.chan->channelEvaluate(sx, 5.0), 1.0);
    const double scale[3] = {3, 1, 1};
    host::setMotion(s.scene, obj, 6, scale, 0.0);
    EXPECT_EQ(s.chan->channelEvaluate(sx, 5.0), 3.0);
    EXPECT_EQ(s.env->evaluate(s.chan->channelEnvelope(sx), 5.0), 3.0);
    EXPECT_EQ(s.chan->setChannelEvent(sx, nullptr, nullptr), 1);
}

TEST(ChannelInfo, ListsPluginRootGroupsAfterTheItemsAndSubgroupsUnderTheirParent) {
    Services s;
    LWItemID obj = s.scene.addNull("Null").id;
    LWChanGroupID itemGroup = s.item->v5.chanGroup(obj);
    LWChanGroupID mine = s.env->createGroup(nullptr, "Mine");
    LWChanGroupID sub = s.env->createGroup(itemGroup, "Sub");
    ASSERT_NE(mine, nullptr);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(s.groups(nullptr), (std::vector<LWChanGroupID>{itemGroup, mine}));
    EXPECT_EQ(s.groups(itemGroup), (std::vector<LWChanGroupID>{sub}));
    EXPECT_EQ(s.chan->groupParent(sub), itemGroup);
    EXPECT_EQ(s.chan->groupParent(mine), nullptr);
    EXPECT_STREQ(s.chan->groupName(mine), "Mine");

    s.env->destroyGroup(mine);
    EXPECT_EQ(s.groups(nullptr), (std::vector<LWChanGroupID>{itemGroup}));
    EXPECT_EQ(s.chan->groupName(mine), nullptr);
    s.env->destroyGroup(itemGroup); // items keep their group
    EXPECT_EQ(s.groups(nullptr), (std::vector<LWChanGroupID>{itemGroup}));
}

TEST(ChannelInfo, ANewHostStartsWithoutTheOldPluginGroups) {
    // The same storage for both hosts, so the second one stands at the first's address.
    std::optional<Services> s;
    s.emplace();
    ASSERT_NE(s->env->createGroup(nullptr, "Leftover"), nullptr);
    EXPECT_EQ(s->groups(nullptr).size(), 1u);
    const void* firstAddress = &s->layout;
    s.reset();
    s.emplace();
    ASSERT_EQ(static_cast<const void*>(&s->layout), firstAddress);
    EXPECT_TRUE(s->groups(nullptr).empty());
}

struct EventLog {
    std::vector<int> events;
    std::vector<void*> data;
    LWEnvelopeID env = nullptr;
};

int recordEvent(void* data, LWEnvelopeID env, LWEnvEvent event, void* eventData) {
    auto* log = static_cast<EventLog*>(data);
    EXPECT_EQ(env, log->env);
    log->events.push_back(event);
    log->data.push_back(eventData);
    return 0;
}

TEST(Envelopes, EventsFireOnInsertDeleteAndDestroyInThatOrder) {
    Services s;
    LWChanGroupID group = s.env->createGroup(nullptr, "Mine");
    LWEnvelopeID env = s.env->create(group, "Amount", LWET_FLOAT);
    ASSERT_NE(env, nullptr);
    EXPECT_EQ(s.channelNames(group), (std::vector<std::string>{"Amount"}));
    EXPECT_EQ(s.chan->channelEnvelope(s.channel(group, "Amount")), env);

    EventLog log;
    log.env = env;
    ASSERT_EQ(s.env->setEnvEvent(env, recordEvent, &log), 1);
    LWEnvKeyframeID key = s.env->createKey(env, 1.0, 2.0);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(s.env->findKey(env, 1.0), key);
    EXPECT_EQ(s.env->evaluate(env, 7.0), 2.0);
    s.env->destroyKey(env, key);
    s.env->destroy(env);
    EXPECT_EQ(log.events,
              (std::vector<int>{LWEEVNT_KEY_INSERT, LWEEVNT_KEY_DELETE, LWEEVNT_DESTROY}));
    EXPECT_EQ(log.data, (std::vector<void*>{key, key, nullptr}));
    EXPECT_TRUE(s.channelNames(group).empty());
    // The stale ID is refused, not followed.
    EXPECT_EQ(s.env->evaluate(env, 0.0), 0.0);
    EXPECT_EQ(s.env->createKey(env, 0.0, 1.0), nullptr);
}

TEST(Envelopes, DestroyingAGroupDestroysItsEnvelopes) {
    Services s;
    LWChanGroupID group = s.env->createGroup(nullptr, "Mine");
    LWEnvelopeID env = s.env->create(group, "Amount", LWET_FLOAT);
    EventLog log;
    log.env = env;
    s.env->setEnvEvent(env, recordEvent, &log);
    s.env->destroyGroup(group);
    EXPECT_EQ(log.events, (std::vector<int>{LWEEVNT_DESTROY}));
}

TEST(Envelopes, AnEnvelopeWithoutAGroupStillWorks) {
    Services s;
    LWEnvelopeID env = s.env->create(nullptr, "Loose", LWET_DISTANCE);
    ASSERT_NE(env, nullptr);
    s.env->createKey(env, 0.0, 4.0);
    EXPECT_EQ(s.env->evaluate(env, 3.0), 4.0);
    // It belongs to no listed group.
    EXPECT_TRUE(s.groups(nullptr).empty());
    EventLog log;
    log.env = env;
    s.env->setEnvEvent(env, recordEvent, &log);
    s.env->destroy(env);
    EXPECT_EQ(log.events, (std::vector<int>{LWEEVNT_DESTROY}));
}

TEST(Envelopes, ItemMotionChannelsCannotBeDestroyed) {
    Services s;
    LWItemID obj = s.scene.addNull("Null").id;
    LWChanGroupID group = s.item->v5.chanGroup(obj);
    s.env->destroy(s.chan->channelEnvelope(s.channel(group, "Position.Y")));
    EXPECT_EQ(s.channelNames(group).size(), 9u);
    // A plug-in channel added to the item's group can be.
    LWEnvelopeID extra = s.env->create(group, "Extra", LWET_FLOAT);
    EXPECT_EQ(s.channelNames(group).size(), 10u);
    s.env->destroy(extra);
    EXPECT_EQ(s.channelNames(group).size(), 9u);
}

TEST(Envelopes, KeysAndTheirParametersGoThroughTheService) {
    Services s;
    LWEnvelopeID env = s.env->create(s.env->createGroup(nullptr, "G"), "E", LWET_FLOAT);
    LWEnvKeyframeID a = s.env->createKey(env, 0.0, 0.0);
    LWEnvKeyframeID b = s.env->createKey(env, 2.0, 10.0);
    EXPECT_EQ(s.env->nextKey(env, nullptr), a);
    EXPECT_EQ(s.env->nextKey(env, a), b);
    EXPECT_EQ(s.env->prevKey(env, b), a);
    EXPECT_EQ(s.env->prevKey(env, nullptr), b);
    int linear = host::kShapeLinear;
    EXPECT_EQ(s.env->keySet(env, b, LWKEY_SHAPE, &linear), 1);
    // Linear from (0,0) to (2,10): 2.5 at t = 0.5.
    EXPECT_DOUBLE_EQ(s.env->evaluate(env, 0.5), 2.5);
    double t = 0;
    EXPECT_EQ(s.env->keyGet(env, b, LWKEY_TIME, &t), 1);
    EXPECT_EQ(t, 2.0);
    // A key of another envelope is not this one's.
    LWEnvelopeID other = s.env->create(nullptr, "O", LWET_FLOAT);
    EXPECT_EQ(s.env->keyGet(other, b, LWKEY_TIME, &t), 0);
    EXPECT_EQ(s.env->nextKey(other, b), nullptr);
    s.env->destroyKey(other, b);
    EXPECT_EQ(s.env->nextKey(env, a), b);
}

TEST(Envelopes, GroupTagsSetAndGetBehavioursVisibilityAndKeyCount) {
    Services s;
    LWEnvelopeID env = s.env->create(nullptr, "E", LWET_FLOAT);
    s.env->createKey(env, 0.0, 1.0);
    s.env->createKey(env, 1.0, 3.0);
    int v = host::kBehaviorRepeat;
    EXPECT_EQ(s.env->egSet(env, nullptr, LWENVTAG_PREBEHAVE, &v), 1);
    v = host::kBehaviorOffsetRepeat;
    EXPECT_EQ(s.env->egSet(env, nullptr, LWENVTAG_POSTBEHAVE, &v), 1);
    v = 17;
    EXPECT_EQ(s.env->egSet(env, nullptr, LWENVTAG_POSTBEHAVE, &v), 0);
    int got = -1;
    EXPECT_EQ(s.env->egGet(env, nullptr, LWENVTAG_PREBEHAVE, &got), 1);
    EXPECT_EQ(got, host::kBehaviorRepeat);
    EXPECT_EQ(s.env->egGet(env, nullptr, LWENVTAG_POSTBEHAVE, &got), 1);
    EXPECT_EQ(got, host::kBehaviorOffsetRepeat);
    // Offset repeat after the last key: 1 s past it is the first span again plus (3 - 1).
    EXPECT_DOUBLE_EQ(s.env->evaluate(env, 2.0), 3.0 + 2.0);
    EXPECT_EQ(s.env->egGet(env, nullptr, LWENVTAG_KEYCOUNT, &got), 1);
    EXPECT_EQ(got, 2);
    v = 5;
    EXPECT_EQ(s.env->egSet(env, nullptr, LWENVTAG_KEYCOUNT, &v), 0);

    EXPECT_EQ(s.env->egGet(env, nullptr, LWENVTAG_VISIBLE, &got), 1);
    EXPECT_EQ(got, 1);
    v = 0;
    EXPECT_EQ(s.env->egSet(env, nullptr, LWENVTAG_VISIBLE, &v), 1);
    EXPECT_EQ(s.env->egGet(env, nullptr, LWENVTAG_VISIBLE, &got), 1);
    EXPECT_EQ(got, 0);
    EXPECT_EQ(s.env->egGet(env, nullptr, 99, &got), 0);
    EXPECT_EQ(s.env->egGet(env, nullptr, LWENVTAG_KEYCOUNT, nullptr), 0);
}

TEST(Envelopes, CopyTakesKeysShapesAndBehaviours) {
    Services s;
    LWChanGroupID g = s.env->createGroup(nullptr, "G");
    LWEnvelopeID from = s.env->create(g, "From", LWET_FLOAT);
    LWEnvelopeID to = s.env->create(g, "To", LWET_FLOAT);
    s.env->createKey(to, 5.0, -1.0); // replaced by the copy
    s.env->createKey(from, 0.0, 1.0);
    LWEnvKeyframeID mid = s.env->createKey(from, 1.0, 4.0);
    s.env->createKey(from, 3.0, 2.0);
    double tension = 0.5;
    s.env->keySet(from, mid, LWKEY_TENSION, &tension);
    int stepped = host::kShapeStepped;
    s.env->keySet(from, mid, LWKEY_SHAPE, &stepped);
    int oscillate = host::kBehaviorOscillate;
    s.env->egSet(from, nullptr, LWENVTAG_POSTBEHAVE, &oscillate);

    EXPECT_EQ(s.env->copy(to, from), nullptr);
    int count = 0;
    s.env->egGet(to, nullptr, LWENVTAG_KEYCOUNT, &count);
    EXPECT_EQ(count, 3);
    for (double t : {-1.0, 0.0, 0.3, 1.0, 1.7, 3.0, 4.2, 8.9})
        EXPECT_DOUBLE_EQ(s.env->evaluate(to, t), s.env->evaluate(from, t)) << t;
    LWEnvKeyframeID copied = s.env->findKey(to, 1.0);
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, mid);
    double got = 0;
    s.env->keyGet(to, copied, LWKEY_TENSION, &got);
    EXPECT_EQ(got, 0.5);
    EXPECT_NE(s.env->copy(to, nullptr), nullptr);
}

TEST(Envelopes, LoadAndSaveAreNotSupportedYet) {
    Services s;
    LWEnvelopeID env = s.env->create(nullptr, "E", LWET_FLOAT);
    EXPECT_STREQ(s.env->load(env, nullptr), "not supported");
    EXPECT_STREQ(s.env->save(env, nullptr), "not supported");
    EXPECT_EQ(s.env->edit(nullptr, env, 0, nullptr), 0);
    EXPECT_EQ(s.env->envAge(env), 0);
}

TEST(MotionServices, NullAndForeignIdsAreRefused) {
    Services s;
    s.scene.addNull("Null");
    // Memory that looks like nothing the host made; any dereference as a group,
    // channel or envelope would read garbage (and trip the sanitizer build).
    static unsigned char junkBytes[512];
    std::memset(junkBytes, 0xA5, sizeof junkBytes);
    for (void* id : {static_cast<void*>(nullptr), static_cast<void*>(junkBytes)}) {
        SCOPED_TRACE(id ? "foreign" : "null");
        EXPECT_EQ(s.item->v5.parent(id), nullptr);
        EXPECT_EQ(s.item->v5.firstChild(id), nullptr);
        EXPECT_EQ(s.item->v5.nextChild(id, id), nullptr);
        EXPECT_EQ(s.item->v5.chanGroup(id), nullptr);
        EXPECT_EQ(s.item->selected(id), 0u);

        if (id) {
            EXPECT_EQ(s.chan->nextGroup(id, nullptr), nullptr);
        }
        EXPECT_EQ(s.chan->nextChannel(id, nullptr), nullptr);
        EXPECT_EQ(s.chan->groupName(id), nullptr);
        EXPECT_EQ(s.chan->channelName(id), nullptr);
        EXPECT_EQ(s.chan->groupParent(id), nullptr);
        EXPECT_EQ(s.chan->channelParent(id), nullptr);
        EXPECT_EQ(s.chan->channelType(id), 0);
        EXPECT_EQ(s.chan->channelEvaluate(id, 0.0), 0.0);
        EXPECT_EQ(s.chan->channelEnvelope(id), nullptr);
        EXPECT_EQ(s.chan->setChannelEvent(id, nullptr, nullptr), 0);

        if (id) {
            EXPECT_EQ(s.env->create(id, "x", LWET_FLOAT), nullptr);
        }
        s.env->destroy(id);
        s.env->destroyGroup(id);
        if (id) {
            EXPECT_EQ(s.env->createGroup(id, "x"), nullptr);
        }
        EXPECT_NE(s.env->copy(id, id), nullptr);
        EXPECT_EQ(s.env->evaluate(id, 1.0), 0.0);
        EXPECT_EQ(s.env->createKey(id, 0.0, 1.0), nullptr);
        s.env->destroyKey(id, id);
        EXPECT_EQ(s.env->findKey(id, 0.0), nullptr);
        EXPECT_EQ(s.env->nextKey(id, nullptr), nullptr);
        EXPECT_EQ(s.env->prevKey(id, id), nullptr);
        double d = 0;
        int n = 0;
        EXPECT_EQ(s.env->keySet(id, id, LWKEY_VALUE, &d), 0);
        EXPECT_EQ(s.env->keyGet(id, id, LWKEY_VALUE, &d), 0);
        EXPECT_EQ(s.env->setEnvEvent(id, recordEvent, nullptr), 0);
        EXPECT_EQ(s.env->egSet(id, id, LWENVTAG_VISIBLE, &n), 0);
        EXPECT_EQ(s.env->egGet(id, id, LWENVTAG_KEYCOUNT, &n), 0);
    }
    // A real envelope with a foreign key.
    LWEnvelopeID env = s.env->create(nullptr, "E", LWET_FLOAT);
    double d = 1;
    EXPECT_EQ(s.env->keySet(env, junkBytes, LWKEY_VALUE, &d), 0);
    EXPECT_EQ(s.env->nextKey(env, junkBytes), nullptr);
    s.env->destroyKey(env, junkBytes);
}

} // namespace
