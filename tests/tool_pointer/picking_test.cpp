// Hit tests of the cursor ray: linegons within 16 pixels, triangles by an
// exact ray test, the 16 nearest points, and a cross-check of both element
// tests against a plain ray/segment test of every element.
#include "picking_support.h"

#include <random>

namespace {

using namespace searchtest;

TEST_F(PickingTest, ALinegonIsHitUpTo16PixelsAway) {
    TestCage cage;
    buildCage(cage.cage, Shape{{{-1, 0, 0}, {1, 0, 0}}, {}, {{0, 1}}});
    placeCageIdentity(cage.cage);
    setView(topView(0.01));
    for (double z : {0.16, 0.1601, -0.16}) {
        cursorAt({0.25, 0, z});
        state->hitDepth = 1e20;
        state->hitLinegon = nullptr;
        checkCollisionWithLinegon(state.get(), cage->linegonList);
        EXPECT_EQ(state->hitLinegon != nullptr, z != 0.1601) << z;
    }
    EXPECT_NEAR(state->hitPos[0], 0.25, 1e-12);
    EXPECT_NEAR(state->hitPos[2], 0.0, 1e-12);
    // Past an end the distance is to the end.
    cursorAt({1.1, 0, 0.12});
    state->hitLinegon = nullptr;
    state->hitDepth = 1e20;
    checkCollisionWithLinegon(state.get(), cage->linegonList);
    EXPECT_NE(state->hitLinegon, nullptr); // |(0.1, 0.12)| = 15.6 pixels
}

TEST_F(PickingTest, ALinegonBehindTheEyeIsCutAtTheNearPlane) {
    // From 5 in front of the eye to 5 behind it, along the view: the cut
    // part projects onto the screen centre, never to the mirrored side.
    TestCage cage;
    buildCage(cage.cage, Shape{{{0.2, 0, -5}, {0.2, 0, -15}}, {}, {{0, 1}}});
    placeCageIdentity(cage.cage);
    setView(perspectiveView(0.001));
    cursorAt({-0.2, 0, 0}); // the mirror image of the far end's direction
    state->hitDepth = 1e20;
    checkCollisionWithLinegon(state.get(), cage->linegonList);
    EXPECT_EQ(state->hitLinegon, nullptr);
    cursorAt({0.2 / 5 * 10, 0, 0}); // on the near end's ray
    checkCollisionWithLinegon(state.get(), cage->linegonList);
    EXPECT_NE(state->hitLinegon, nullptr);
    EXPECT_NEAR(state->hitDepth, 5.0, 1e-9);
}

TEST_F(PickingTest, TrianglesHitOnTheirEdgesButNotAlongTheirPlane) {
    TestCage cage;
    buildCage(cage.cage,
              Shape{{{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}}, {{0, 1, 2}, {0, 1, 3}}, {}});
    placeCageIdentity(cage.cage);
    setView(topView());
    TrigonData* flat = cage->trigonList; // in the view's plane
    TrigonData* edgeOn = flat->next;     // contains the ray direction
    if (flat->worldN[1] == 0.0) std::swap(flat, edgeOn);
    for (testvec::V3 p : {testvec::V3{0.5, 0, 0.5}, testvec::V3{0, 0, 0.3}, testvec::V3{0, 0, 0}}) {
        cursorAt(p);
        state->hitDepth = 1e20;
        state->hitTrigon = nullptr;
        checkCollisionWithTrigon(state.get(), flat);
        EXPECT_EQ(state->hitTrigon, flat) << p[0] << " " << p[2];
    }
    cursorAt({0.5, 0, 0.51});
    state->hitTrigon = nullptr;
    checkCollisionWithTrigon(state.get(), flat);
    EXPECT_EQ(state->hitTrigon, nullptr);
    cursorAt({0.5, 0, 0});
    checkCollisionWithTrigon(state.get(), edgeOn);
    EXPECT_EQ(state->hitTrigon, nullptr);
}

// Points near the cursor: the 16 nearest become candidates, and one behind
// the hit triangle that is not its corner is not picked.
TEST_F(PickingTest, TheSixteenNearestPointsAreCandidates) {
    TestCage cage;
    Shape shape;
    for (int i = 0; i < 17; ++i) // 17 points from 0.5 to 8.5 pixels right of the cursor
        shape.points.push_back({0.005 + 0.005 * i, -2.0, 0});
    buildCage(cage.cage, shape);
    placeCageIdentity(cage.cage);
    add1CageToSelection(state.get(), cage.cage, 1);
    setView(topView(0.01));
    cursorAt({0, 0, 0});
    EXPECT_EQ(getClickedCage_Selected(state.get()), cage.cage);
    ASSERT_EQ(state->candidateCount, 16);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(state->candidates[i].point, cage->pointArray[i]);
    EXPECT_EQ(state->hitPoint, cage->pointArray[0]);
}

TEST_F(PickingTest, APointBehindTheHitTriangleIsNotPickedButItsCornerIs) {
    TestCage cage;
    // A triangle narrowing to its corner C = (0.115, -0.001, 0) a little
    // below the view plane, and a lone point (0.11, -1, 0) far below it.
    buildCage(cage.cage,
              Shape{{{-1, 0, -1}, {1, 0, -1}, {0.115, -0.001, 0}, {0.11, -1, 0}}, {{0, 1, 2}}, {}});
    placeCageIdentity(cage.cage);
    add1CageToSelection(state.get(), cage.cage, 1);
    setView(topView(0.01));
    cursorAt({0, 0, -0.5}); // on the triangle, no point within 12 pixels
    getClickedCage_Selected(state.get());
    EXPECT_EQ(state->hitPoint, nullptr);
    EXPECT_NE(state->hitTrigon, nullptr);
    // On the triangle near C: the lone point is nearer on the screen (5.1
    // against 5.2 pixels) but behind the hit; C is behind it too, yet its
    // corner.
    cursorAt({0.1, 0, -0.05});
    getClickedCage_Selected(state.get());
    ASSERT_EQ(state->candidateCount, 2);
    EXPECT_EQ(state->candidates[0].point, cage->pointArray[3]);
    EXPECT_EQ(state->hitPoint, cage->pointArray[2]);
    EXPECT_EQ(state->hitTrigon, nullptr);
}

// Every element tested through the two hit tests against a textbook test of
// the same ray: Moller-Trumbore for triangles, a clipped screen segment for
// linegons. Random cages, random clicks, every view type.
TEST_F(PickingTest, ElementHitsAgreeWithAnExhaustiveTest) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const PickView views[] = {
        {LVVIEWT_TOP, {0, 0, 0}, {1, 0, 0}, {0, 0, 1}, 0.004},
        {LVVIEWT_FRONT, {0, 0, 0}, {-1, 0, 0}, {0, 1, 0}, 0.004},
        {LVVIEWT_RIGHT, {0, 0, 0}, {0, 0, 1}, {0, 1, 0}, 0.004},
        {LVVIEWT_PERSPECTIVE, {0.3, 0.2, -4}, {1, 0, 0}, {0, 1, 0}, 0.0015},
    };
    int hits = 0, tried = 0;
    for (int round = 0; round < 12; ++round) {
        TestCage cage;
        Shape shape;
        for (int i = 0; i < 12; ++i)
            shape.points.push_back({u(rng), u(rng), u(rng)});
        for (int i = 0; i < 6; ++i)
            shape.faces.push_back({2 * i % 12, (2 * i + 1) % 12, (2 * i + 5) % 12});
        shape.faces.push_back({0, 3, 6, 9});
        shape.lines = {{1, 4}, {7, 10}};
        buildCage(cage.cage, shape);
        placeCageIdentity(cage.cage);
        std::vector<TrigonData*> tris = allTriangles(cage.cage);
        std::vector<LinegonData*> lines = allLinegons(cage.cage);
        for (const PickView& v : views) {
            setView(v);
            for (int click = 0; click < 250; ++click) {
                const testvec::V3 target{u(rng), u(rng), u(rng)};
                cursorAt(target);
                const EditCageState& s = *state;
                double best = 1e20;
                const void* bestElement = nullptr;
                const testvec::V3 origin =
                    s.perspective ? testvec::V3{s.eyePos[0], s.eyePos[1], s.eyePos[2]}
                                  : testvec::V3{s.cursorPos[0], s.cursorPos[1], s.cursorPos[2]};
                const testvec::V3 dir{s.rayDir[0], s.rayDir[1], s.rayDir[2]};
                const testvec::V3 normal{s.viewNormal[0], s.viewNormal[1], s.viewNormal[2]};
                const testvec::V3 eye{s.eyePos[0], s.eyePos[1], s.eyePos[2]};
                auto depthOf = [&](const testvec::V3& p) { return dot(sub(p, eye), normal); };
                bool close = false;
                auto offer = [&](double depth, const void* element) {
                    if (depth < 0.01) return;
                    if (std::fabs(depth - best) < 1e-7) close = true;
                    if (depth <= best) {
                        best = depth;
                        bestElement = element;
                    }
                };
                for (LinegonData* l : lines) {
                    const testvec::V3 a0 = rest(l->pnt[0]), b0 = rest(l->pnt[1]);
                    testvec::V3 a = a0, b = b0;
                    const double za = depthOf(a0), zb = depthOf(b0);
                    if (s.perspective) {
                        if (za < 0.01 && zb < 0.01) continue;
                        if (za < 0.01) a = add(a0, mul(sub(b0, a0), (0.01 - za) / (zb - za)));
                        if (zb < 0.01) b = add(b0, mul(sub(a0, b0), (0.01 - zb) / (za - zb)));
                    }
                    // Nearest point of the screen segment, by dense sampling refined once.
                    auto screen = [&](const testvec::V3& p) {
                        const double z = s.perspective ? depthOf(p) : 1.0;
                        const testvec::V3 d = sub(p, eye);
                        return std::array<double, 2>{
                            dot(d, {s.screenX[0], s.screenX[1], s.screenX[2]}) / z,
                            dot(d, {s.screenY[0], s.screenY[1], s.screenY[2]}) / z};
                    };
                    const auto sa = screen(a), sb = screen(b);
                    const double ex = sb[0] - sa[0], ey = sb[1] - sa[1];
                    const double cx = s.cursorScreen[0] - sa[0], cy = s.cursorScreen[1] - sa[1];
                    const double len2 = ex * ex + ey * ey;
                    const double t =
                        len2 < 1e-14 ? 0.0 : std::clamp((cx * ex + cy * ey) / len2, 0.0, 1.0);
                    const double dx = cx - t * ex, dy = cy - t * ey;
                    const double e = std::sqrt(dx * dx + dy * dy);
                    if (std::fabs(e - 16 * s.pixelSize) < 1e-9) close = true;
                    if (e <= 16 * s.pixelSize) offer(depthOf(add(a, mul(sub(b, a), t))), l);
                }
                for (TrigonData* tri : tris) {
                    const testvec::V3 p0 = rest(tri->pnt[0]), p1 = rest(tri->pnt[1]),
                                      p2 = rest(tri->pnt[2]);
                    const testvec::V3 e1 = sub(p1, p0), e2 = sub(p2, p0), h = cross(dir, e2);
                    const double det = dot(e1, h);
                    if (std::fabs(det) < 1e-9) continue;
                    const testvec::V3 o = sub(origin, p0);
                    const double bu = dot(o, h) / det;
                    const testvec::V3 q = cross(o, e1);
                    const double bv = dot(dir, q) / det;
                    if (std::min({bu, bv, 1 - bu - bv}) < -1e-9) continue;
                    if (std::min({bu, bv, 1 - bu - bv}) < 1e-9) close = true;
                    offer(depthOf(add(origin, mul(dir, dot(e2, q) / det))), tri);
                }
                if (close) continue;
                state->hitDepth = 1e20;
                state->hitLinegon = nullptr;
                state->hitTrigon = nullptr;
                for (LinegonData* l : lines)
                    checkCollisionWithLinegon(state.get(), l);
                for (TrigonData* tri : tris)
                    checkCollisionWithTrigon(state.get(), tri);
                ++tried;
                const void* got = state->hitTrigon ? static_cast<const void*>(state->hitTrigon)
                                                   : static_cast<const void*>(state->hitLinegon);
                ASSERT_EQ(got, bestElement) << "view " << v.type << " click " << click;
                if (got) {
                    ++hits;
                    EXPECT_NEAR(state->hitDepth, best, 1e-9 * std::max(1.0, best));
                }
            }
        }
    }
    EXPECT_GT(tried, 10000);
    EXPECT_GT(hits, tried / 10);
}

} // namespace
