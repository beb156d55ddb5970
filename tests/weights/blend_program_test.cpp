// A kept blend program replays the steps it recorded to the bit, however
// its maps were packed into runs (long runs included) and polygons folded.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "deform/binding_weights.h"
#include "deform/blend_program.h"
#include "deform/trigon_maps.h"
#include "module/cpu_features.h"
#include "weights_support.h"

namespace {

using namespace wt;

// A quad (four fan triangles, flat at rest) and a standalone triangle,
// twisted and stretched, so that every map moves the point differently.
class BlendProgram : public testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        Shape s;
        s.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0.5, 0.1}};
        s.faces = {{0, 1, 2, 3}, {1, 4, 2}};
        p = buildCage(c.cage, s);
        pose(c.cage, p, axisRot({0.2, 1, 0.3}, 0.4), {0.5, -1, 2}, [&](int i) {
            const double* r = p[std::size_t(i)]->restPos;
            return V3{r[0] * 1.3 + 0.1 * r[1], r[1] - 0.2 * r[2], r[2] + 0.3 * r[0] * r[1]};
        });
        for (int k = 0; k < 4; ++k)
            tris.push_back(&c->polygonList->tri[k]);
        tris.push_back(c->trigonList);
        capVectorLevel(GetParam());
    }
    void TearDown() override { capVectorLevel(-1); }

    // Records while the scalar steps run; true when the program was kept.
    template <class Steps> bool record(Steps steps, int capacity = kBlendProgramBytes) {
        bytes.assign(std::size_t(kBlendProgramBytes), 0);
        rec = {bytes.data(), 0, capacity, c.cage, 0, 0, -1, {-1, -1}};
        stBlendRecorder = &rec;
        steps();
        stBlendRecorder = nullptr;
        return !rec.abandoned;
    }
    // Replayed from the records, and from a table of the maps when every
    // map is a bounded one (the table says whether it serves).
    void expectReplayGives(const double want[3], bool sound, const double* at = nullptr) {
        TrigonMapTable* table = newTrigonMapTable();
        ASSERT_TRUE(reserveTrigonMaps(table, c.cage));
        copyTrigonMaps(table, c.cage, 0, trigonPlacesOf(c.cage));
        finishTrigonMaps(table);
        bool bounded = true;
        for (const TrigonData* t : tris)
            bounded = bounded && t->worldMapState == 1;
        EXPECT_EQ(boundedTrigonMaps(table) != nullptr, bounded);
        for (const double* maps : {static_cast<const double*>(nullptr), boundedTrigonMaps(table)}) {
            double wm = 1.0, got[3] = {9, 9, 9};
            EXPECT_EQ(
                replayBlendProgram(c.cage, maps, bytes.data(), rec.used, at ? at : P, &wm, got),
                sound);
            EXPECT_EQ(wm, 1.0);
            if (sound) {
                EXPECT_EQ(std::memcmp(got, want, sizeof got), 0);
            }
        }
        freeTrigonMapTable(table);
    }

    TestCage c;
    std::vector<PointData*> p;
    std::vector<const TrigonData*> tris;
    std::vector<unsigned char> bytes;
    BlendRecorder rec;
    const double P[3] = {0.7, 0.4, 1.1};
};

// Weights of 1 and others in turn: a run keeps both kinds of map.
double weightOf(int i) {
    return i % 3 ? 1.0 : 0.05 + 0.01 * i;
}

TEST_P(BlendProgram, RunsAndFoldedPolygonsReplayTheScalarSteps) {
    double want[3] = {0, 0, 0};
    bool sound = false;
    ASSERT_TRUE(record([&] {
        double D[3] = {0, 0, 0}, W = 0.0;
        recordBlendStep(kStepOpen);
        // Polygons of one to three maps, each closed and added at once.
        for (int maps = 1; maps <= 3; ++maps) {
            double d[3] = {0, 0, 0}, wd = 0.0;
            recordBlendStep(kStepOpen);
            for (int i = 0; i < maps; ++i)
                calcWeightWithTrigon_W(tris[std::size_t(i + maps) % 5], P, d, &wd, weightOf(i));
            recordBlendStep(kStepPolygonEnd);
            recordBlendStep(kStepAddPolygon, nullptr, 0.3 * maps);
            addPolygonBlend(d, wd, D, &W, 0.3 * maps);
        }
        // More maps in a row than one run holds.
        for (int i = 0; i < 300; ++i)
            calcWeightWithTrigon_W(tris[std::size_t(i) % 5], P, D, &W, weightOf(i));
        recordBlendStep(kStepFinish);
        sound = finishBlend(D, W, want);
    }));
    ASSERT_TRUE(sound);
    expectReplayGives(want, true);
}

// Past the bounds within which the replay leaves out the maps' tests (a
// map's entries beyond 2^500, a point beyond 2^50, a sum beyond 2^900 at a
// run's start), the tests are made and refuse what the scalar steps refuse.
// The quad only moves within its plane and the triangle alone stretches
// along x, so that far along x only the triangle maps beyond the largest
// double, and a sum pushed near it by the quad still takes the triangle's
// parts along z while its four lanes add up to more than the largest
// double.
TEST_P(BlendProgram, BeyondTheBoundsTheMapsAreTested) {
    struct Case {
        double scale; // of the current shape
        double far;   // the point's x
        double push;  // weight of the quad's polygon added before the maps
    };
    for (const Case k : {Case{1e307, 0.7, 0.0}, Case{1.0, 1.7e308, 0.0}, Case{1.0, 0.7, 1.2e308}}) {
        SCOPED_TRACE(std::to_string(k.scale) + " " + std::to_string(k.far) + " " +
                     std::to_string(k.push));
        pose(c.cage, p, axisRot({0, 0, 1}, 0.0), {0, 0, 0}, [&](int i) {
            const double* r = p[std::size_t(i)]->restPos;
            const bool apex = i == 4;
            return V3{(apex ? 3.0 * r[0] : r[0] + 0.5) * k.scale, (r[1] + 0.5) * k.scale,
                      (apex ? r[2] + 0.3 : r[2]) * k.scale};
        });
        const double at[3] = {k.far, 0.4, 1.1};
        double want[3] = {0, 0, 0};
        bool sound = false;
        ASSERT_TRUE(record([&] {
            double D[3] = {0, 0, 0}, W = 0.0;
            recordBlendStep(kStepOpen);
            double d[3] = {0, 0, 0}, wd = 0.0;
            recordBlendStep(kStepOpen);
            calcWeightWithTrigon_W(tris[0], at, d, &wd, 1.0);
            recordBlendStep(kStepPolygonEnd);
            recordBlendStep(kStepAddPolygon, nullptr, k.push);
            addPolygonBlend(d, wd, D, &W, k.push);
            for (int i = 0; i < 12; ++i)
                calcWeightWithTrigon_W(tris[std::size_t(i) % 5], at, D, &W, weightOf(i));
            recordBlendStep(kStepFinish);
            sound = finishBlend(D, W, want);
        }));
        if (k.scale > 1.0) {
            EXPECT_EQ(tris[0]->worldMapState, 3);
        }
        expectReplayGives(want, sound, at);
    }
}

TEST_P(BlendProgram, AProgramThatDoesNotFitIsNotKept) {
    EXPECT_FALSE(record(
        [&] {
            double D[3] = {0, 0, 0}, W = 0.0;
            recordBlendStep(kStepOpen);
            for (int i = 0; i < 40; ++i)
                calcWeightWithTrigon_W(tris[std::size_t(i) % 5], P, D, &W, weightOf(i));
            recordBlendStep(kStepFinish);
        },
        200));
}

// A polygon added with a weight below 0 or not finite (the scalar step adds
// nothing then) leaves no program: the replay tests no polygon weight.
TEST_P(BlendProgram, OnlySoundPolygonWeightsAreKept) {
    for (const double w : {0.0, 1e308, -1.0, -0.0, double(HUGE_VAL), double(NAN)}) {
        const bool sound = w >= 0.0 && w < HUGE_VAL;
        EXPECT_EQ(record([&] {
                      recordBlendStep(kStepOpen);
                      recordBlendStep(kStepOpen);
                      double d[3] = {0, 0, 0}, wd = 0.0;
                      calcWeightWithTrigon_W(tris[0], P, d, &wd, 1.0);
                      recordBlendStep(kStepPolygonEnd);
                      recordBlendStep(kStepAddPolygon, nullptr, w);
                      recordBlendStep(kStepFinish);
                  }),
                  sound)
            << w;
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, BlendProgram, testing::Values(0, 2));

} // namespace
