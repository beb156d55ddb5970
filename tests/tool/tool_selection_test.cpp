#include "tool/tool_selection.h"

#include "cage/cage_model.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Cages {
    std::vector<CageInstance*> list;
    explicit Cages(int n) {
        for (int c = 0; c < n; ++c) {
            auto* cage = static_cast<CageInstance*>(std::calloc(1, sizeof(CageInstance)));
            allocCageBlocks(cage, 3, 0, 0, 0);
            cage->pointArray = static_cast<PointData**>(std::calloc(3, sizeof(PointData*)));
            for (int i = 0; i < 3; ++i) {
                double pos[3] = {double(i), 0, 0};
                cage->pointArray[i] = add1PointData(cage, pos);
            }
            cage->pointCount = 3;
            cage->display = 2;
            list.push_back(cage);
        }
    }
    ~Cages() {
        for (CageInstance* cage : list) {
            destroyCageData(cage);
            std::free(cage);
        }
    }
};

TEST(ToolSelection, AddRefusesUnseenHighlightedAndRepeatedCages) {
    Cages cages(3);
    EditCageState state;
    std::memset(&state, 0, sizeof state);
    cages.list[1]->display = 0;
    EXPECT_EQ(add1CageToSelection(&state, cages.list[0], 0), 1);
    EXPECT_EQ(cages.list[0]->highlighted, 1);
    EXPECT_EQ(cages.list[0]->forceShow, 1);
    EXPECT_EQ(add1CageToSelection(&state, cages.list[0], 1), 0); // already selected
    EXPECT_EQ(add1CageToSelection(&state, cages.list[1], 0), 0); // Unseen
    EXPECT_EQ(add1CageToSelection(&state, cages.list[1], 1), 1); // forced
    cages.list[2]->highlighted = 1;
    EXPECT_EQ(add1CageToSelection(&state, cages.list[2], 1), 0);
    EXPECT_EQ(state.selectedCageCount, 2);
    freeCageLists(&state);
}

TEST(ToolSelection, RemoveKeepsOrderAndDropsItsPoints) {
    Cages cages(3);
    EditCageState state;
    std::memset(&state, 0, sizeof state);
    for (CageInstance* c : cages.list)
        add1CageToSelection(&state, c, 1);
    cages.list[1]->pointArray[0]->selected = 1;
    cages.list[1]->pointArray[2]->selected = 1;
    cages.list[2]->pointArray[1]->selected = 1;
    recountPointSelectionForSelectedCages(&state);
    EXPECT_EQ(state.selectedPointCount, 3);

    EXPECT_EQ(remove1CageFromSelection(&state, cages.list[1]), 1);
    EXPECT_EQ(state.selectedCageCount, 2);
    EXPECT_EQ(state.selectedCages[0], cages.list[0]);
    EXPECT_EQ(state.selectedCages[1], cages.list[2]);
    EXPECT_EQ(state.selectedPointCount, 1);
    EXPECT_EQ(cages.list[1]->pointArray[0]->selected, 0);
    EXPECT_EQ(cages.list[1]->highlighted, 0);
    EXPECT_EQ(remove1CageFromSelection(&state, cages.list[1]), 0);

    clearCageSelection(&state);
    EXPECT_EQ(state.selectedCageCount, 0);
    EXPECT_EQ(state.selectedPointCount, 0);
    EXPECT_EQ(cages.list[2]->pointArray[1]->selected, 0);
    EXPECT_EQ(cages.list[2]->highlighted, 0);
    freeCageLists(&state);
}

TEST(ToolSelection, TheSelectionGrowsPastItsFirstBlock) {
    Cages cages(300);
    EditCageState state;
    std::memset(&state, 0, sizeof state);
    for (CageInstance* c : cages.list)
        ASSERT_EQ(add1CageToSelection(&state, c, 1), 1);
    EXPECT_EQ(state.selectedCageCount, 300);
    EXPECT_EQ(state.selectedCageCapacity, 512);
    EXPECT_EQ(state.selectedCages[299], cages.list[299]);
    freeCageLists(&state);
}

} // namespace
