// Neither the bind caches nor the frame pass on several threads change a
// result bit: a sequence of frames (new key shapes, a moved object, a moved
// cage, edited settings, Rest Shape at Frame 0 and the object moved at
// frame 0 alone, another evaluation order, a rebuilt cage, fewer points,
// the other mode) gives exactly what the same sequence gives with the
// caches off, or on one thread, in either mode and every cage shape and
// falloff.
#include "point_harness.h"

#include "deform/bind_cache.h"
#include "deform/frame_pass.h"
#include "deform/volume_bind_cache.h"

#include <gtest/gtest.h>
#include <lwmtutil.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

using harness::P3;
using harness::PointHarness;

std::vector<P3> randomPoints(int count, std::mt19937& rng) {
    std::uniform_real_distribution<double> coordinate(-1.4, 1.4);
    std::vector<P3> points(static_cast<std::size_t>(count));
    for (P3& p : points)
        for (double& v : p)
            v = coordinate(rng);
    return points;
}

struct Setting {
    bool cached;
    int threads;
    bool groupsStart = true; // false: the host's thread groups never start
};

// Every result of the sequence, in order.
std::vector<P3> runSequence(const host::Mesh& cageShape, const std::vector<P3>& points, int mode,
                            int falloff, Setting setting, unsigned seed) {
    const bool cached = setting.cached;
    if (cached)
        unsetenv("MORVANE_BIND_CACHE");
    else
        setenv("MORVANE_BIND_CACHE", "off", 1);
    setenv("MORVANE_THREADS", std::to_string(setting.threads).c_str(), 1);
    setenv("MORVANE_PASS_FROM", "0", 1); // however few the points
    const host::Mesh mesh = harness::meshOf(points);
    PointHarness h(cageShape, mesh);
    if (!setting.groupsStart)
        static_cast<LWMTUtilFuncs*>(h.host().services().lookup(LWMTUTILFUNCS_GLOBAL))->groupBegin =
            [](LWMTGroupID) { return 0; };
    // Where the host has point i (its mesh holds floats).
    auto at = [&](std::size_t i) {
        const host::Point& p = mesh.points[i];
        return P3{p.x, p.y, p.z};
    };
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> amount(-0.3, 0.3);
    std::vector<P3> out;
    const std::size_t n = points.size();
    auto frame = [&](auto&& evaluate) {
        const double a = amount(rng), b = amount(rng), c = amount(rng);
        h.key([&](const P3& p) {
            return P3{a * std::sin(2.0 * p[1]), b * p[0] * p[2], c * p[2] * p[2]};
        });
        h.newTime();
        evaluate();
    };
    auto inOrder = [&] {
        for (std::size_t i = 0; i < n; ++i)
            out.push_back(h.evaluate(i));
    };
    h.set(mode, falloff);
    frame(inOrder);
    frame(inOrder);
    // The second frame's points were worked out ahead by the threads (by
    // the calling thread alone when the group does not start).
    EXPECT_EQ(framePassAnswered(h.deform->framePass), setting.threads > 1 ? int(n) : 0);
    if (cached && mode == kCageModeVolume) {
        // The second frame summed every point's kept weights.
        const VolumeBindCache* cache = h.deform->volumeBinds[0];
        EXPECT_TRUE(cache && cache->rowCount >= int(n));
        for (int i = 0; cache && i < int(n) && i < cache->rowCount; ++i)
            EXPECT_EQ(cache->rows[i].epoch, cache->epoch) << i;
    }
    if (cached && mode == kCageModeSkin) {
        // The second frame found its answers in the cache.
        const SkinBindCache* cache = h.deform->bindCaches[0];
        EXPECT_TRUE(cache && cache->slotCount >= int(n));
        if (!cache || cache->slotCount < int(n)) return out;
        EXPECT_EQ(cache->slots[n - 1].epoch, cache->epoch);
        // and the blends' steps in programs (which make the location tapes
        // needless; those are kept where no program could be)
        int programs = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const SkinBindSlot& slot = cache->slots[i];
            programs += slot.programEpoch == cache->programEpoch && slot.programCount > 0;
        }
        EXPECT_GT(programs, int(n / 2));
    }
    frame([&] { // every third point of the object moved
        for (std::size_t i = 0; i < n; ++i) {
            const double shift = i % 3 ? 0.0 : 0.01;
            out.push_back(h.evaluateAt(P3{at(i)[0] + shift, at(i)[1], at(i)[2]}, i));
        }
    });
    for (int k = 1; k <= 3; ++k) // bones move every point at every frame
        frame([&] {
            for (std::size_t i = 0; i < n; ++i)
                out.push_back(h.evaluateAt(P3{at(i)[0] + 0.001 * k, at(i)[1], at(i)[2]}, i));
        });
    frame(inOrder);                   // still again
    h.placeCage({0.05, -0.03, 0.02}); // the points lie elsewhere over its rest shape
    frame(inOrder);
    frame(inOrder);
    h.placeCage({0.0, 0.0, 0.0});
    h.cage->falloffType = (falloff + 3) % 7; // other weights for the same points
    frame(inOrder);
    h.cage->falloffType = falloff;
    h.cage->limitedRange = 1;
    h.cage->parallelDistance = 0.3;
    h.cage->perpendicularDistance = 0.5;
    frame(inOrder);
    frame(inOrder); // the range's weight factors replayed
    h.cage->restShapeAtFrame0 = 1;
    frame(inOrder);
    auto movedObject = [&] { // at frame 0 the object stood where it did
        for (std::size_t i = 0; i < n; ++i)
            out.push_back(h.evaluateFrom(at(i), P3{at(i)[0] + 0.02, at(i)[1], at(i)[2] - 0.01}, i));
    };
    for (int k = 0; k < 3; ++k) // the third frame's inputs worked out ahead
        frame(movedObject);
    frame([&] { // the same world points, from elsewhere at frame 0
        for (std::size_t i = 0; i < n; ++i)
            out.push_back(h.evaluateFrom(P3{at(i)[0], at(i)[1] - 0.03, at(i)[2]},
                                         P3{at(i)[0] + 0.02, at(i)[1], at(i)[2] - 0.01}, i));
    });
    frame([&] { // backwards
        for (std::size_t i = n; i-- > 0;)
            out.push_back(h.evaluate(i));
    });
    h.cage->restShapeAtFrame0 = 0;
    h.cage->rebuildNeeded = 1;
    frame(inOrder);
    frame([&] { // half the points
        for (std::size_t i = 0; i < n; i += 2)
            out.push_back(h.evaluate(i));
    });
    frame(inOrder);
    h.set(mode == kCageModeSkin ? kCageModeVolume : kCageModeSkin, falloff);
    frame(inOrder);
    frame(inOrder);
    unsetenv("MORVANE_BIND_CACHE");
    unsetenv("MORVANE_THREADS");
    unsetenv("MORVANE_PASS_FROM");
    return out;
}

struct SequenceCase {
    const char* name;
    host::Mesh cage;
};

// Each setting against the reference (searched, one thread), all with the
// wide builds of the loops held at `level` (MORVANE_VECTOR_LEVEL; null:
// the widest).
void expectSameSequences(const std::vector<Setting>& settings, const char* level = nullptr) {
    if (level) setenv("MORVANE_VECTOR_LEVEL", level, 1);
    struct Uncap {
        ~Uncap() { unsetenv("MORVANE_VECTOR_LEVEL"); }
    } uncap;
    const std::vector<SequenceCase> cases = {{"cube", harness::boxCage(1)},
                                             {"twisted box", harness::boxCage(3, 0.6, 0.15)},
                                             {"sheet", harness::sheetCage(4, 0.3)},
                                             {"mixed", harness::mixedCage()}};
    // MORVANE_TEST_SEED picks other points and keys, for longer runs by hand.
    const char* first = getenv("MORVANE_TEST_SEED");
    std::mt19937 rng(first ? unsigned(strtoul(first, nullptr, 10)) : 2026u);
    for (const SequenceCase& c : cases)
        for (int falloff : {0, 2, 6})
            for (int mode : {kCageModeSkin, kCageModeVolume}) {
                SCOPED_TRACE(std::string(c.name) + " falloff " + std::to_string(falloff) +
                             " mode " + std::to_string(mode));
                const std::vector<P3> points = randomPoints(120, rng);
                const unsigned seed = unsigned(rng());
                const std::vector<P3> want =
                    runSequence(c.cage, points, mode, falloff, {false, 1}, seed);
                int moved = 0;
                for (std::size_t i = 0; i < want.size(); ++i)
                    moved += want[i] != points[i % points.size()];
                EXPECT_GT(moved, int(want.size() / 2)); // real work is compared
                for (const Setting& setting : settings) {
                    SCOPED_TRACE("cache " + std::to_string(setting.cached) + ", threads " +
                                 std::to_string(setting.threads));
                    const std::vector<P3> got =
                        runSequence(c.cage, points, mode, falloff, setting, seed);
                    ASSERT_EQ(got.size(), want.size());
                    for (std::size_t i = 0; i < got.size(); ++i)
                        ASSERT_EQ(std::memcmp(&got[i], &want[i], sizeof(P3)), 0) << "result " << i;
                }
            }
}

TEST(BindCache, ChangesNoResultBit) {
    expectSameSequences({{true, 1}});
}

// The kept blends replayed by the build for every processor.
TEST(BindCache, ChangesNoResultBitInThePortableBuild) {
    expectSameSequences({{true, 1}}, "0");
}

TEST(FramePass, ChangesNoResultBit) {
    expectSameSequences({{false, 2}, {true, 3}, {true, kMarkLanes}, {true, 2, false}});
}

// A frame of the points, each moved by `shift` along x (as bones would).
void shiftedFrame(PointHarness& h, const std::vector<P3>& points, double shift) {
    h.newTime();
    for (std::size_t i = 0; i < points.size(); ++i)
        h.evaluateAt(P3{points[i][0] + shift, points[i][1], points[i][2]}, i);
}

// Points that move every frame would be worked out twice: the pass steps
// aside while fewer than half of the calls repeat the last frame's inputs.
TEST(FramePass, StepsAsideWhileThePointsMove) {
    setenv("MORVANE_THREADS", "2", 1);
    setenv("MORVANE_PASS_FROM", "0", 1);
    std::mt19937 rng(11);
    const std::vector<P3> points = randomPoints(40, rng);
    PointHarness h(harness::boxCage(2, 0.3), harness::meshOf(points));
    h.set(kCageModeSkin, 2);
    auto answeredAt = [&](double shift) {
        shiftedFrame(h, points, shift);
        return framePassAnswered(h.deform->framePass);
    };
    const int n = int(points.size());
    for (int k = 0; k < 3; ++k) // settled on the still points (the host's own pass had floats)
        answeredAt(0.0);
    EXPECT_EQ(answeredAt(0.0), n);  // a still object
    EXPECT_EQ(answeredAt(0.01), n); // worked out, but every point moved
    EXPECT_EQ(answeredAt(0.02), 0); // so it steps aside
    EXPECT_EQ(answeredAt(0.02), 0); // the last frame's points had moved too
    EXPECT_EQ(answeredAt(0.02), n); // still again
    unsetenv("MORVANE_THREADS");
    unsetenv("MORVANE_PASS_FROM");
}

// Starting the host's threads costs about what a few thousand replayed
// blends take: a frame with less work runs call by call.
TEST(FramePass, RunsOnlyForFramesWithEnoughWork) {
    setenv("MORVANE_THREADS", "2", 1);
    std::mt19937 rng(13);
    const std::vector<P3> points = randomPoints(250, rng);
    auto answered = [&](bool cached, const char* from) {
        if (cached)
            unsetenv("MORVANE_BIND_CACHE");
        else
            setenv("MORVANE_BIND_CACHE", "off", 1);
        if (from)
            setenv("MORVANE_PASS_FROM", from, 1);
        else
            unsetenv("MORVANE_PASS_FROM");
        PointHarness h(harness::boxCage(2, 0.3), harness::meshOf(points));
        h.set(kCageModeSkin, 2);
        for (int k = 0; k < 4; ++k)
            shiftedFrame(h, points, 0.0);
        return framePassAnswered(h.deform->framePass);
    };
    const int n = int(points.size());
    EXPECT_EQ(answered(true, nullptr), 0);  // replayed blends: not worth the threads
    EXPECT_EQ(answered(false, nullptr), n); // searched ones, each about 14 times the work
    EXPECT_EQ(answered(true, "200"), n);    // a lower threshold, set by hand
    EXPECT_EQ(answered(true, "none"), 0);   // not a number: the usual one
    unsetenv("MORVANE_BIND_CACHE");
    unsetenv("MORVANE_PASS_FROM");
    unsetenv("MORVANE_THREADS");
}

TEST(FramePass, ThreadsFollowTheEnvironmentWithinTheLanes) {
    setenv("MORVANE_THREADS", "3", 1);
    EXPECT_EQ(framePassThreads(), 3);
    setenv("MORVANE_THREADS", "1000", 1);
    EXPECT_EQ(framePassThreads(), kMarkLanes);
    setenv("MORVANE_THREADS", "none", 1); // the processors online
    EXPECT_GE(framePassThreads(), 1);
    unsetenv("MORVANE_THREADS");
}

// Points that move at every frame are not recorded: the caches step aside
// while fewer than half of the calls find their point where it was, and
// take up again when the points are still.
TEST(BindCache, StepsAsideWhileThePointsMove) {
    setenv("MORVANE_THREADS", "1", 1);
    std::mt19937 rng(12);
    const std::vector<P3> points = randomPoints(40, rng);
    for (int mode : {kCageModeSkin, kCageModeVolume}) {
        PointHarness h(harness::boxCage(2, 0.3), harness::meshOf(points));
        h.set(mode, 2);
        auto recordingAt = [&](double shift) {
            shiftedFrame(h, points, shift);
            return mode == kCageModeSkin ? h.deform->bindCaches[0]->recording
                                         : h.deform->volumeBinds[0]->recording;
        };
        for (int k = 0; k < 2; ++k) // settled on the still points (the host's own pass had floats)
            recordingAt(0.0);
        EXPECT_EQ(recordingAt(0.0), 1) << mode;
        EXPECT_EQ(recordingAt(0.01), 1) << mode; // its points were the last frame's
        EXPECT_EQ(recordingAt(0.02), 0) << mode; // the last frame's had moved
        EXPECT_EQ(recordingAt(0.02), 0) << mode;
        EXPECT_EQ(recordingAt(0.02), 1) << mode; // still again
    }
    unsetenv("MORVANE_THREADS");
}

// Slots grow by doubling within the deformer's budget, the last growth cut
// to what fits; beyond it there is no slot (that point is searched).
TEST(BindCache, SlotsStayWithinTheBudget) {
    SkinBindCache* cache = newSkinBindCache();
    ASSERT_NE(cache, nullptr);
    size_t used = 0;
    ASSERT_NE(skinBindSlot(cache, 0, &used), nullptr);
    EXPECT_EQ(cache->slotCount, 1024);
    ASSERT_NE(skinBindSlot(cache, 5000, &used), nullptr);
    EXPECT_EQ(cache->slotCount, 8192);
    EXPECT_EQ(used, 8192 * sizeof(SkinBindSlot));
    used = kBindCacheBudget - 10 * sizeof(SkinBindSlot);
    EXPECT_NE(skinBindSlot(cache, 8192 + 9, &used), nullptr);
    EXPECT_EQ(cache->slotCount, 8192 + 10);
    EXPECT_EQ(used, kBindCacheBudget);
    EXPECT_EQ(skinBindSlot(cache, 8192 + 10, &used), nullptr);
    EXPECT_NE(skinBindSlot(cache, 8000, &used), nullptr); // held slots stay
    EXPECT_GE(skinBindCacheBytes(cache), size_t(8202) * sizeof(SkinBindSlot));
    freeSkinBindCache(cache);
}

// The Volume rows grow the same way, keep their weights as they grow, and
// give no room while the cache steps aside.
TEST(BindCache, VolumeRowsStayWithinTheBudget) {
    VolumeBindCache* cache = newVolumeBindCache();
    ASSERT_NE(cache, nullptr);
    cache->stride = 16; // as a refresh over a table of 8 elements leaves it
    cache->restEpoch = 1;
    const size_t row = sizeof(VolumeBindRow) + 16 * sizeof(double);
    size_t used = 0;
    double* room = volumeWeightRoom(cache, 100, true, &used);
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(cache->rowCount, 1024);
    for (int e = 0; e < 16; ++e)
        room[e] = 0.5 + e;
    const double P[3] = {1, 2, 3};
    const LWPntID point = reinterpret_cast<LWPntID>(std::uintptr_t(7));
    keepVolumeWeights(cache, 100, point, P, 0.25);
    ASSERT_NE(volumeWeightRoom(cache, 5000, true, &used), nullptr);
    EXPECT_EQ(cache->rowCount, 8192);
    EXPECT_EQ(used, 8192 * row);
    used = kBindCacheBudget - 10 * row;
    EXPECT_NE(volumeWeightRoom(cache, 8192 + 9, true, &used), nullptr);
    EXPECT_EQ(cache->rowCount, 8192 + 10);
    EXPECT_EQ(used, kBindCacheBudget);
    EXPECT_EQ(volumeWeightRoom(cache, 8192 + 10, true, &used), nullptr);
    double nearest = 0.0;
    const double* kept = heldVolumeWeights(cache, 100, point, P, &nearest);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(nearest, 0.25);
    for (int e = 0; e < 16; ++e)
        EXPECT_EQ(kept[e], 0.5 + e);
    cache->recording = 0;
    EXPECT_EQ(volumeWeightRoom(cache, 100, false, &used), nullptr);
    EXPECT_EQ(volumeBindCacheBytes(cache), size_t(8192 + 10) * row);
    freeVolumeBindCache(cache);
}

// Without a new frame the calls run out of slots, not past the int: the
// points are then searched, with the same results.
TEST(BindCache, CallsBeyondTheLastSlotAreSearched) {
    std::mt19937 rng(7);
    const std::vector<P3> points = randomPoints(8, rng);
    PointHarness h(harness::boxCage(2, 0.3), harness::meshOf(points));
    h.set(kCageModeSkin, 2);
    std::vector<P3> first;
    for (std::size_t i = 0; i < points.size(); ++i)
        first.push_back(h.evaluate(i));
    h.deform->pointCursor = INT_MAX - 2;
    for (std::size_t i = 0; i < points.size(); ++i)
        EXPECT_EQ(std::memcmp(&first[i], &h.evaluate(i)[0], sizeof(P3)), 0) << i;
    EXPECT_EQ(h.deform->pointCursor, INT_MAX);
}

// Chunk k of an arena holds entries kFirstTapeChunk (2^k - 1) on, up to
// the next; the last chunk holds all beyond.
TEST(BindCache, ArenaEntriesFindTheirChunk) {
    for (int k = 0; k < kTapeChunks; ++k) {
        const size_t start = kFirstTapeChunk * ((size_t(1) << k) - 1);
        const size_t next = kFirstTapeChunk * ((size_t(2) << k) - 1);
        for (size_t e : {start, start + 1, next - 1})
            EXPECT_EQ(arenaChunkOf(e), k) << e;
    }
    EXPECT_EQ(arenaChunkOf(SIZE_MAX), kTapeChunks - 1);
}

TEST(BindCache, IsOffWhenTheEnvironmentSaysSo) {
    setenv("MORVANE_BIND_CACHE", "off", 1);
    EXPECT_EQ(bindCacheEnabled(), 0);
    setenv("MORVANE_BIND_CACHE", "on", 1);
    EXPECT_EQ(bindCacheEnabled(), 1);
    unsetenv("MORVANE_BIND_CACHE");
    EXPECT_EQ(bindCacheEnabled(), 1);
}

} // namespace
