// A kept blend program replays the steps it recorded to the bit, however
// its maps were packed into runs (long runs included) and polygons folded.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "deform/binding_weights.h"
#include "deform/blend_program.h"
#include "module/cpu_features.h"
#include "weights_support.h"

namespace {

using namespace wt;

// A quad (four fan triangles) and a standalone triangle, twisted and
// stretched, so that every map moves the point differently.
class BlendProgram : public testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        Shape s;
        s.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0.2}, {0, 1, 0}, {2, 0.5, 0.1}};
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
    void expectReplayGives(const double want[3], bool sound) {
        double wm = 1.0, got[3] = {9, 9, 9};
        EXPECT_EQ(replayBlendProgram(c.cage, bytes.data(), rec.used, P, &wm, got), sound);
        EXPECT_EQ(wm, 1.0);
        if (sound) {
            EXPECT_EQ(std::memcmp(got, want, sizeof got), 0);
        }
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

INSTANTIATE_TEST_SUITE_P(Builds, BlendProgram, testing::Values(0, 2));

} // namespace
