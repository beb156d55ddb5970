// The cage's drawing: CageCustomEvaluate on a hand-built cage (one linegon,
// one trigon, one quad) with a recording drawing access and a viewport
// record filled here, checked call by call against hand-worked values.
#include "../cage/cage_test_support.h"

#include "cage/cage_display.h"
#include "cage/cage_model.h"
#include "module/host_services.h"

#include <lwrender.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using cagetest::V3;

// The viewport the fake host describes.
int viewType = LVVIEWT_TOP;
double viewXfrm[9];

int vpType(int) {
    return viewType;
}
void vpXfrm(int, double m[9]) {
    std::memcpy(m, viewXfrm, sizeof viewXfrm);
}
LWViewportInfo viewports = {};

void* fakeGlobal(const char* name, int) {
    return std::strcmp(name, "LW Viewport Info 4") == 0 ? &viewports : nullptr;
}

struct Call {
    char kind; // M draw mode, P pattern, C colour, L line, T triangle
    std::vector<double> v;
};
std::vector<Call> calls;

void record(char kind, std::initializer_list<const double*> points) {
    Call c{kind, {}};
    for (const double* p : points)
        c.v.insert(c.v.end(), p, p + 3);
    calls.push_back(c);
}
void onColor(void*, float rgba[4]) {
    calls.push_back({'C', {rgba[0], rgba[1], rgba[2], rgba[3]}});
}
void onPattern(void*, int p) {
    calls.push_back({'P', {double(p)}});
}
void onMode(void*, unsigned int m) {
    calls.push_back({'M', {double(m)}});
}
void onLine(void*, double a[3], double b[3], int csys) {
    EXPECT_EQ(csys, 0);
    record('L', {a, b});
}
void onTriangle(void*, double a[3], double b[3], double c[3], int csys) {
    EXPECT_EQ(csys, 0);
    record('T', {a, b, c});
}

class CageDisplay : public testing::Test {
  protected:
    CageDisplay() {
        viewports.type = vpType;
        viewports.xfrm = vpXfrm;
        stGlobal = fakeGlobal;
        calls.clear();
        viewType = LVVIEWT_TOP;
        // Screen right (1, 0, 0) with length 2, up (0, 1, 0).
        const double m[9] = {2, 0, 0, 0, 3, 0, 0, 0, 1};
        std::memcpy(viewXfrm, m, sizeof m);
        access.setColor = onColor;
        access.setPattern = onPattern;
        access.setDrawMode = onMode;
        access.line = onLine;
        access.triangle = onTriangle;
        access.viewPos[2] = -10.0;
        access.viewDir[2] = 1.0;

        // p0-p1 linegon, p2 p3 p4 trigon, p5..p8 quad.
        allocCageBlocks(cage.cage, 9, 1, 1, 1);
        pts = cagetest::addPoints(cage.cage, {{0, 0, 0},
                                              {1, 0, 0},
                                              {0, 2, 0},
                                              {1, 2, 0},
                                              {0, 3, 0},
                                              {0, 0, 5},
                                              {2, 0, 5},
                                              {2, 2, 5},
                                              {0, 2, 5}});
        add1LinegonData(cage.cage, pts[0], pts[1]);
        add1TrigonData(cage.cage, pts[2], pts[3], pts[4]);
        PolygonData* quad = add1PolygonData(cage.cage, pts[5], pts[6], pts[7], pts[8]);
        const double centre[3] = {1, 1, 5};
        std::memcpy(quad->center.worldOtherPos, centre, sizeof centre);
        for (PointData* p : pts)
            std::memcpy(p->worldOtherPos, p->basePos, sizeof p->basePos);
        cage->pointCount = int(pts.size());
        cage->display = 2;
        cage->highlighted = 1;
        cage->opacity = 0.25;
        const double yellow[3] = {1, 0.5, 0}, blue[3] = {0, 0, 1};
        std::memcpy(cage->selectedColor, yellow, sizeof yellow);
        std::memcpy(cage->unselectedColor, blue, sizeof blue);
    }
    ~CageDisplay() override { stGlobal = nullptr; }

    std::string kinds() const {
        std::string s;
        for (const Call& c : calls)
            s += c.kind;
        return s;
    }
    std::vector<double> at(const PointData* a, const PointData* b) const {
        return {a->worldOtherPos[0], a->worldOtherPos[1], a->worldOtherPos[2],
                b->worldOtherPos[0], b->worldOtherPos[1], b->worldOtherPos[2]};
    }

    cagetest::OwnedCage cage;
    std::vector<PointData*> pts;
    LWCustomObjAccess access = {};
};

// The square around (x, y, z) with half size s on the screen axes, as two
// triangles: (+r+u, +r-u, -r-u) and (+r+u, -r-u, -r+u).
std::vector<Call> box(double x, double y, double z, double s) {
    return {{'T', {x + s, y + s, z, x + s, y - s, z, x - s, y - s, z}},
            {'T', {x + s, y + s, z, x - s, y - s, z, x - s, y + s, z}}};
}

void expectCall(const Call& got, const Call& want) {
    ASSERT_EQ(got.kind, want.kind);
    ASSERT_EQ(got.v.size(), want.v.size());
    for (size_t k = 0; k < want.v.size(); ++k)
        EXPECT_NEAR(got.v[k], want.v[k], 1e-9) << got.kind << " value " << k;
}

TEST_F(CageDisplay, XRayDrawsEveryElementInOrderWithItsAlphas) {
    CageCustomEvaluate(cage.cage, &access);
    ASSERT_EQ(kinds(), "MPC"
                       "TTLTT"
                       "CLLLCT"
                       "CLLLLCTTTT");
    EXPECT_EQ(calls[0].v[0], 0.0); // X-Ray
    EXPECT_EQ(calls[1].v[0], 0.0); // solid lines
    // Box half size 1.5 x the length 2 of the transform's first row.
    const std::vector<Call> a = box(0, 0, 0, 3), b = box(1, 0, 0, 3);
    expectCall(calls[3], a[0]);
    expectCall(calls[4], a[1]);
    expectCall(calls[5], {'L', at(pts[0], pts[1])});
    expectCall(calls[6], b[0]);
    expectCall(calls[7], b[1]);
    // Edges at alpha 1, then the fill at the opacity.
    const float opaque[4] = {1, 0.5f, 0, 1}, seeThrough[4] = {1, 0.5f, 0, 0.25f};
    for (size_t k : {2u, 8u, 14u})
        expectCall(calls[k], {'C', {opaque[0], opaque[1], opaque[2], opaque[3]}});
    for (size_t k : {12u, 19u})
        expectCall(calls[k], {'C', {seeThrough[0], seeThrough[1], seeThrough[2], seeThrough[3]}});
    expectCall(calls[9], {'L', at(pts[2], pts[3])});
    expectCall(calls[10], {'L', at(pts[3], pts[4])});
    expectCall(calls[11], {'L', at(pts[4], pts[2])});
    std::vector<double> tri = at(pts[2], pts[3]);
    tri.insert(tri.end(), pts[4]->worldOtherPos, pts[4]->worldOtherPos + 3);
    expectCall(calls[13], {'T', tri});
    const PolygonData* quad = cage->polygonList;
    for (int k = 0; k < 4; ++k) {
        expectCall(calls[15 + k], {'L', at(quad->pnt[k], quad->pnt[(k + 1) % 4])});
        std::vector<double> fan = at(&quad->center, quad->pnt[k]);
        const double* next = quad->pnt[(k + 1) % 4]->worldOtherPos;
        fan.insert(fan.end(), next, next + 3);
        expectCall(calls[20 + k], {'T', fan});
    }
}

struct DisplayCase {
    int display;
    unsigned char forceShow;
    unsigned char highlighted;
    int drawMode; // -1: nothing drawn
    float red;    // of the colour used
};

class CageDisplayModes : public CageDisplay, public testing::WithParamInterface<DisplayCase> {};

TEST_P(CageDisplayModes, DisplayPicksTheDrawModeAndTheHighlightTheColour) {
    const DisplayCase& c = GetParam();
    cage->display = c.display;
    cage->forceShow = c.forceShow;
    cage->highlighted = c.highlighted;
    CageCustomEvaluate(cage.cage, &access);
    if (c.drawMode < 0) {
        EXPECT_TRUE(calls.empty());
        return;
    }
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0].v[0], c.drawMode);
    EXPECT_EQ(calls[2].v[0], c.red);
}

INSTANTIATE_TEST_SUITE_P(Cases, CageDisplayModes,
                         testing::Values(DisplayCase{1, 0, 1, 4, 1.0f},
                                         DisplayCase{2, 0, 0, 0, 0.0f},
                                         DisplayCase{0, 0, 1, -1, 0.0f},
                                         DisplayCase{0, 1, 0, 0, 0.0f}));

TEST_F(CageDisplay, NothingIsDrawnBeforeTheFirstFrameOrWithoutPoints) {
    cage->notYetTimed = 1;
    CageCustomEvaluate(cage.cage, &access);
    cage->notYetTimed = 0;
    cage->pointCount = 0;
    CageCustomEvaluate(cage.cage, &access);
    EXPECT_TRUE(calls.empty());
}

// In perspective views a box is drawn only in front of the viewer, sized by
// its depth; the linegon's line is drawn either way.
TEST_F(CageDisplay, PerspectiveBoxesFollowTheirDepth) {
    for (int type : {LVVIEWT_PERSPECTIVE, LVVIEWT_LIGHT, LVVIEWT_CAMERA}) {
        calls.clear();
        viewType = type;
        pts[1]->worldOtherPos[2] = -9.995; // depth 0.005: behind the near limit
        CageCustomEvaluate(cage.cage, &access);
        ASSERT_EQ(kinds().substr(0, 6), "MPCTTL") << type;
        EXPECT_EQ(kinds()[6], 'C') << type;
        // Depth 10 from (0, 0, -10) along +z: half size 10 x 1.5 x 2.
        const std::vector<Call> a = box(0, 0, 0, 30);
        expectCall(calls[3], a[0]);
        expectCall(calls[4], a[1]);
    }
}

TEST(CageDisplayBox, TheSquareSpansTheGivenAxes) {
    calls.clear();
    LWCustomObjAccess access = {};
    access.triangle = onTriangle;
    const double right[3] = {0, 0, 1}, up[3] = {1, 0, 0}, at[3] = {1, 2, 3};
    drawPoint2DBox(&access, right, up, at, 0.5);
    ASSERT_EQ(calls.size(), 2u);
    expectCall(calls[0], {'T', {1.5, 2, 3.5, 0.5, 2, 3.5, 0.5, 2, 2.5}});
    expectCall(calls[1], {'T', {1.5, 2, 3.5, 0.5, 2, 2.5, 1.5, 2, 2.5}});
}

} // namespace
