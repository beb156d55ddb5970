// The deformer and the tool when memory runs out at any one allocation: the
// Volume table falls back to weighing element by element with the same
// result, a cage list that cannot grow leaves the object alone for the frame
// and the next frame recovers, and a selection that cannot grow stays as it
// was.
#include "failure_support.h"

#include "../weights/weights_support.h"
#include "deform/binding_weights.h"
#include "deform/deform_evaluate.h"
#include "deform/deform_server.h"
#include "deform/deform_services.h"
#include "deform/frame_pass.h"
#include "deform/volume_table.h"
#include "deform_instance.h"
#include "edit_cage_state.h"
#include "tool/tool_selection.h"

#include <cstring>
#include <vector>

namespace {

using oom::failEachAllocation;
using oom::unarmed;
using namespace wt;

// Within rounding of the element-by-element weighing.
constexpr double kSameBlend = 1e-9;

// Answers for a hand-built cage on the cage topic: counted, and listed when
// its group is asked for.
void listedCage(void* data, void*, int code, void* payload) {
    auto* cage = static_cast<CageInstance*>(data);
    auto* query = static_cast<RingQuery*>(payload);
    if (code == kRingCount)
        query->count += 1;
    else if (code == kRingListGroup && std::strcmp(cage->groupName, query->name) == 0)
        appendToRingQuery(query, cage);
}

// A box of six quads with a linegon through it, bent and placed.
Shape boxWithAxle() {
    Shape s;
    s.points = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, 1},
                {1, -1, 1},   {1, 1, 1},   {-1, 1, 1}, {0, 0, -2},  {0, 0, 2}};
    s.faces = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    s.lines = {{8, 9}};
    return s;
}

// Hand-built cages in the deformer's group, each on the cage topic.
class DeformFailure : public oom::InProcessLayout {
  protected:
    DeformFailure() {
        stDeformServices = DeformServices{};
        stDeformServices.comRing = ring;
    }
    ~DeformFailure() override {
        for (CageInstance* cage : listed)
            detachRing(ring, RING_TOPIC_CAGES, cage);
        stDeformServices = DeformServices{};
    }

    CageInstance* addCage(TestCage& cage, int mode) {
        std::strcpy(cage->groupName, "name");
        cage->mode = mode;
        cage->falloffType = 2;
        cage->smoothDistance = cage->smoothDistanceClamped = 0.05;
        const std::vector<PointData*> p = buildCage(cage.cage, boxWithAxle());
        pose(cage.cage, p, axisRot({0.2, 1, 0.4}, 0.6), {1, -2, 0.5}, [&](int i) {
            const V3 r = fromArr(p[std::size_t(i)]->restPos);
            return add(r, {0.3 * r[2] * r[2], 0.1 * std::sin(r[0] + i), 0.2 * r[1]});
        });
        attachRing(ring, RING_TOPIC_CAGES, cage.cage, listedCage);
        listed.push_back(cage.cage);
        return cage.cage;
    }

    DeformInstance* newDeformer() {
        host::Item& object = layout.scene().addNull("Object" + std::to_string(++deformersMade));
        LWError error = nullptr;
        auto* deform = static_cast<DeformInstance*>(MorvaneCreate(nullptr, object.id, &error));
        EXPECT_NE(deform, nullptr);
        return deform;
    }

    // Where a new deformer moves the points at its first frame, with all
    // the memory it asks for.
    std::vector<V3> firstFrame(const std::vector<V3>& points) {
        std::vector<V3> moved;
        unarmed([&] {
            DeformInstance* d = newDeformer();
            MorvaneNewTime(d, 0, 0.0);
            moved = deformed(d, points);
            MorvaneDestroy(d);
        });
        return moved;
    }

    // Where the deformer moves each point, evaluated in order.
    static std::vector<V3> deformed(DeformInstance* deform, const std::vector<V3>& points) {
        std::vector<V3> out;
        for (const V3& p : points) {
            LWDisplacementAccess access;
            std::memset(&access, 0, sizeof access);
            for (int a = 0; a < 3; ++a)
                access.oPos[a] = access.source[a] = p[a];
            MorvaneEvaluate(deform, &access);
            out.push_back(fromArr(access.source));
        }
        return out;
    }

    std::vector<CageInstance*> listed;
    int deformersMade = 0;
};

std::vector<V3> probes() {
    std::vector<V3> out;
    for (int i = 0; i < 27; ++i)
        out.push_back({-1.5 + 1.5 * (i % 3), -2.5 + 1.5 * (i / 3 % 3), -1.0 + 1.2 * (i / 9)});
    return out;
}

void expectSamePoints(const std::vector<V3>& got, const std::vector<V3>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        for (int a = 0; a < 3; ++a)
            EXPECT_NEAR(got[i][a], want[i][a], kSameBlend * (1.0 + std::fabs(want[i][a])))
                << "point " << i << " axis " << a;
}

TEST_F(DeformFailure, AVolumeCageWithoutItsTableMovesThePointsAlike) {
    TestCage volume;
    const CageInstance* cage = addCage(volume, kCageModeVolume);
    const std::vector<V3> points = probes();
    // Element by element, independently of the table.
    std::vector<V3> reference;
    for (const V3& p : points) {
        ScaledBlend blend;
        calcVolumeWeightsOfCage(cage, p.data(), &blend);
        double d[3];
        ASSERT_TRUE(scaledBlendDisplacement(&blend, d));
        reference.push_back(add(p, fromArr(d)));
    }
    ASSERT_GT(norm(sub(reference[13], points[13])), 0.01) << "the cage moves the points";

    DeformInstance* deform = nullptr;
    std::vector<V3> moved;
    int attempt = 0;
    const int attempts = failEachAllocation(
        [&] {
            ++attempt;
            unarmed([&] {
                deform = newDeformer();
                MorvaneNewTime(deform, 0, 0.0);
            });
            moved = deformed(deform, points);
        },
        [&](bool fired) {
            ASSERT_EQ(deform->cageCount, 1);
            EXPECT_EQ(volumeTableReady(deform->volumeTables[0]), !fired || attempt > 3);
            expectSamePoints(moved, reference);
            MorvaneDestroy(deform);
        });
    // The table's record, then its block and its list of odd triangles;
    // the bind cache's record, then its rows and their weights.
    EXPECT_EQ(attempts, 3 + 3 + 1);
}

TEST_F(DeformFailure, ATableThatCannotGrowIsEmptyAndRefillsLater) {
    TestCage small, large;
    Shape one;
    one.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    one.faces = {{0, 1, 2}};
    poseRest(small.cage, buildCage(small.cage, one), identityRot(), {0, 0, 0});
    const CageInstance* cage = addCage(large, kCageModeVolume);
    const V3 P = {0.3, -0.4, 0.9};
    ScaledBlend want;
    calcVolumeWeightsOfCage(cage, P.data(), &want);

    VolumeTable* table = nullptr;
    bool filled = false;
    failEachAllocation(
        [&] {
            unarmed([&] {
                table = newVolumeTable();
                ASSERT_TRUE(fillVolumeTable(table, small.cage));
            });
            filled = fillVolumeTable(table, cage);
        },
        [&](bool fired) {
            EXPECT_EQ(filled, !fired);
            EXPECT_EQ(volumeTableReady(table), !fired);
            ScaledBlend got;
            volumeBlendOfTable(table, P.data(), &got);
            if (fired) {
                EXPECT_EQ(got.weight, 0.0);
                // The next fill with memory to spare is whole again.
                EXPECT_TRUE(fillVolumeTable(table, cage));
                volumeBlendOfTable(table, P.data(), &got);
            }
            double g[3], w[3];
            ASSERT_TRUE(scaledBlendDisplacement(&got, g));
            ASSERT_TRUE(scaledBlendDisplacement(&want, w));
            for (int a = 0; a < 3; ++a)
                EXPECT_NEAR(g[a], w[a], kSameBlend * (1.0 + std::fabs(w[a])));
            freeVolumeTable(table);
        });
}

TEST_F(DeformFailure, ACageListThatCannotGrowSkipsTheFrameAndTheNextRecovers) {
    TestCage first, second, third;
    addCage(first, kCageModeSkin);
    addCage(second, kCageModeVolume);
    addCage(third, kCageModeSkin);
    const std::vector<V3> points = probes();

    DeformInstance* deform = nullptr;
    const int attempts = failEachAllocation(
        [&] {
            unarmed([&] {
                // A frame with one cage, then two more cages appear.
                detachRing(ring, RING_TOPIC_CAGES, second.cage);
                detachRing(ring, RING_TOPIC_CAGES, third.cage);
                deform = newDeformer();
                MorvaneNewTime(deform, 0, 0.0);
                attachRing(ring, RING_TOPIC_CAGES, second.cage, listedCage);
                attachRing(ring, RING_TOPIC_CAGES, third.cage, listedCage);
            });
            ASSERT_EQ(deform->cageCount, 1);
            MorvaneNewTime(deform, 1, 1.0);
        },
        [&](bool fired) {
            if (fired) {
                EXPECT_EQ(deform->cageCount, 0);
                EXPECT_EQ(deform->cageArray, nullptr);
                EXPECT_EQ(deform->volumeTables, nullptr);
                EXPECT_EQ(deform->bindCaches, nullptr);
                EXPECT_EQ(deform->volumeBinds, nullptr);
                EXPECT_EQ(deform->mapTables, nullptr);
                expectSamePoints(deformed(deform, points), points);
                MorvaneNewTime(deform, 2, 2.0);
            }
            ASSERT_EQ(deform->cageCount, 3);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(deform->cageArray[i], listed[std::size_t(i)]);
            MorvaneDestroy(deform);
        });
    // The cages, their weight maps, Volume tables, search hints, Skin and
    // Volume bind caches, map tables and the point's weight-map values.
    EXPECT_EQ(attempts, 8 + 1);
}

// Without memory for the bind cache (its record, its snapshot, its slots,
// its blend programs or the location tapes kept instead of them, the table
// of the triangles' maps the programs read) the points
// are searched again, or located from the tapes, and move exactly as with
// it.
TEST_F(DeformFailure, ABindCacheThatCannotBeMadeOrGrowChangesNoResult) {
    TestCage skin;
    addCage(skin, kCageModeSkin);
    const std::vector<V3> points = probes();
    const std::vector<V3> want = firstFrame(points);
    DeformInstance* deform = nullptr;
    std::vector<V3> first, second;
    const int attempts = failEachAllocation(
        [&] {
            unarmed([&] {
                deform = newDeformer();
                MorvaneNewTime(deform, 0, 0.0);
            });
            first = deformed(deform, points);
            MorvaneNewTime(deform, 1, 0.0);
            second = deformed(deform, points);
        },
        [&](bool) {
            for (const std::vector<V3>* got : {&first, &second})
                for (std::size_t i = 0; i < got->size(); ++i)
                    EXPECT_EQ(std::memcmp(&(*got)[i], &want[i], sizeof(V3)), 0) << i;
            MorvaneDestroy(deform);
        });
    // The record, snapshot, slots and programs (a tape only when a program
    // could not be kept), and the map table's record and maps.
    EXPECT_EQ(attempts, 4 + 2 + 1);
}

// Without memory for the frame pass (its record, its rows, the bind cache's
// slots it grows ahead) the points are computed call by call, to the same
// bits.
TEST_F(DeformFailure, AFramePassThatCannotBeMadeOrGrowChangesNoResult) {
    TestCage skin;
    addCage(skin, kCageModeSkin);
    stDeformServices.mtUtil =
        static_cast<LWMTUtilFuncs*>(layout.services().lookup(LWMTUTILFUNCS_GLOBAL));
    ASSERT_NE(stDeformServices.mtUtil, nullptr);
    setenv("MORVANE_THREADS", "2", 1);
    setenv("MORVANE_PASS_FROM", "0", 1); // however few the points
    const std::vector<V3> points = probes();
    const std::vector<V3> want = firstFrame(points);
    DeformInstance* deform = nullptr;
    std::vector<V3> frames[3];
    int answered = 0;
    const int attempts = failEachAllocation(
        [&] {
            unarmed([&] {
                deform = newDeformer();
                MorvaneNewTime(deform, 0, 0.0);
            });
            for (std::vector<V3>& got : frames) {
                got = deformed(deform, points);
                MorvaneNewTime(deform, 1, 0.0);
            }
            answered = framePassAnswered(deform->framePass);
        },
        [&](bool fired) {
            for (const std::vector<V3>& got : frames)
                for (std::size_t i = 0; i < got.size(); ++i)
                    EXPECT_EQ(std::memcmp(&got[i], &want[i], sizeof(V3)), 0) << i;
            if (!fired) {
                EXPECT_EQ(answered, int(points.size()));
            }
            MorvaneDestroy(deform);
        });
    unsetenv("MORVANE_THREADS");
    unsetenv("MORVANE_PASS_FROM");
    // The bind cache's four, the map table's two, the pass's record and its
    // three row arrays.
    EXPECT_EQ(attempts, 4 + 2 + 4 + 1);
}

TEST_F(DeformFailure, ASelectionThatCannotGrowStaysAsItWas) {
    const int kFull = 256; // the selection grows by this many entries
    std::vector<TestCage> cages(kFull + 1);
    EditCageState state;
    std::memset(&state, 0, sizeof state);
    for (int i = 0; i < kFull; ++i) {
        cages[std::size_t(i)]->display = 1;
        ASSERT_EQ(add1CageToSelection(&state, cages[std::size_t(i)].cage, 0), 1);
    }
    CageInstance* last = cages[kFull].cage;
    last->display = 1;

    int added = 0;
    failEachAllocation([&] { added = add1CageToSelection(&state, last, 0); },
                       [&](bool fired) {
                           EXPECT_EQ(added, fired ? 0 : 1);
                           EXPECT_EQ(state.selectedCageCount, fired ? kFull : kFull + 1);
                           EXPECT_EQ(last->highlighted, fired ? 0 : 1);
                           for (int i = 0; i < kFull; ++i)
                               EXPECT_EQ(state.selectedCages[i], cages[std::size_t(i)].cage);
                       });
    EXPECT_EQ(state.selectedCages[kFull], last);
    EXPECT_EQ(state.selectedCageCapacity, 2 * kFull);
    freeCageLists(&state);
}

} // namespace
