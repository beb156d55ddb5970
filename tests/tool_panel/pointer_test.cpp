// Point selection through the host's pointer events: the lasso selects the
// points it encloses, two points make no lasso, moving the view during the
// drag cancels it; Sel Point brushes points along the cursor ray.
#include "tool_panel_support.h"

namespace {

class ToolLasso : public ToolPanelTest {
  protected:
    ToolLasso() {
        // Points at (0.5, 0, 1), (1.5, 0.5, 1), (2.5, 1, 1), (3.5, 1.5, 1):
        // in the top view zoomed to 0.01 per pixel around the origin they
        // sit at pixels (370, 140), (470, 140), (570, 140), (670, 140).
        cage = newCage(4);
        for (int i = 0; i < 4; ++i)
            for (int k = 0; k < 3; ++k)
                cage->pointArray[i]->worldOtherPos[k] = cage->pointArray[i]->basePos[k];
        EXPECT_EQ(start(), AFUNC_OK);
        add1CageToSelection(&stInstData, cage, 1);
        run("ViewCenter 0 0 0 0\nViewZoom 0 0.01\nPanelPress \"Morvane Tool\" \"Sel Lasso\"");
    }
    std::vector<int> selected() const {
        std::vector<int> picked;
        for (int i = 0; i < cage->pointCount; ++i)
            if (cage->pointArray[i]->selected) picked.push_back(i);
        return picked;
    }
    CageInstance* cage;
};

TEST_F(ToolLasso, ATriangleSelectsThePointsInside) {
    run("ToolPress 0 300 100\nToolDrag 560 100\nToolDrag 430 200\nToolRelease");
    EXPECT_EQ(selected(), (std::vector<int>{0, 1}));
    EXPECT_EQ(stInstData.selectedPointCount, 2);
    // Again over the selection: the left button takes them away.
    run("ToolPress 0 300 100\nToolDrag 560 100\nToolDrag 430 200\nToolRelease");
    EXPECT_TRUE(selected().empty());
}

TEST_F(ToolLasso, TwoPointsOrAMovedViewSelectNothing) {
    run("ToolPress 0 300 100\nToolDrag 560 180\nToolRelease");
    EXPECT_TRUE(selected().empty());
    run("ToolPress 0 300 100\nToolDrag 560 100\nViewCenter 0 0.1 0 0\nToolDrag 430 200\n"
        "ToolRelease");
    EXPECT_TRUE(selected().empty());
    EXPECT_EQ(stInstData.selectedPointCount, 0);
}

// Sel Point brushes along the cursor ray: the default point brush of 8
// pixels takes the point under the cursor; a right-button drag adds the
// points its events come near.
TEST_F(ToolLasso, SelPointTakesThePointsTheBrushPasses) {
    run("PanelPress \"Morvane Tool\" \"Sel Point\"\nToolPress 0 375 140\nToolRelease");
    EXPECT_EQ(selected(), (std::vector<int>{0}));
    run("ToolPress 0 400 140 right\nToolDrag 440 143\nToolDrag 472 143\nToolRelease");
    EXPECT_EQ(selected(), (std::vector<int>{0, 1}));
    EXPECT_EQ(stInstData.selectedPointCount, 2);
}

} // namespace
