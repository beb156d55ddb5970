// The tool's start and end as Layout drives them: the object check, what a
// second start keeps, the scene preparation, the mode check of panel events
// and the cages' ring events.
#include "tool_panel_support.h"

#include "tool/tool_undo.h"

namespace {

TEST_F(ToolPanelTest, WithoutAnObjectSelectedTheToolDoesNotStart) {
    newCage();
    EXPECT_EQ(layout.activateTool(EditCageHandler, 1, nullptr), AFUNC_BADAPP_SILENT);
    run("AddLight Key");
    EXPECT_EQ(layout.activateTool(EditCageHandler, 1, nullptr), AFUNC_BADAPP_SILENT);
    EXPECT_EQ(out.str(), "warning: Objects mode only.\nwarning: Objects mode only.\n");
    EXPECT_EQ(layout.panels().panelCount(), 0u);
    EXPECT_EQ(stInstData.undoHead, nullptr);
    EXPECT_EQ(stInstData.mixKeyChunks, nullptr);
    EXPECT_EQ(layout.ring().attachedCount("COMRING_EDITCAGE"), 0);
    EXPECT_EQ(run("Status"), "status: \n");
}

TEST_F(ToolPanelTest, ASecondStartKeepsTheSettingsAndStartsAfresh) {
    newCage();
    ASSERT_EQ(start(), AFUNC_OK);
    EXPECT_EQ(run("Status"), "status: Morvane Tool\n");
    run("PanelChoose \"Morvane Tool\" Current Cage1\n"
        "PanelPress \"Morvane Tool\" \"Create Key\"\n"
        "PanelPress \"Morvane Tool\" GrabBody\n"
        "PanelType \"Morvane Tool\" \"Brush Radius\" 300\n"
        "PanelType \"Morvane Tool\" Stiffness 40\n"
        "PanelTick \"Morvane Tool\" \"Fix Outer Edges\" on\n"
        "PanelTick \"Morvane Tool\" \"Fix pnts out of range\" on\n"
        "PanelPress \"Morvane Tool\" Erase\n"
        "PanelType \"Morvane Tool\" Strength 35\n"
        "PanelPress \"Morvane Tool\" ReBody\n"
        "PanelType \"Morvane Tool\" Strength 70\n"
        "PanelPress \"Morvane Tool\" \"Sel Point\"\n"
        "PanelType \"Morvane Tool\" \"Brush Radius\" 12\n"
        "PanelChoose \"Morvane Tool\" Edit \"Open Falloff Panel\"\n"
        "PanelChoose \"Falloff Preferences\" Presets \"Ease In\"\n");
    ASSERT_EQ(stInstData.selectedCageCount, 1);
    ASSERT_TRUE(undoAvailable(&stInstData));
    stInstData.timeSliderBX = 120; // as the key strip leaves them
    stInstData.pixPerFrame = 24.0;
    const EditCageState before = stInstData;

    ASSERT_EQ(start(), AFUNC_OK);
    const EditCageState& after = stInstData;
    EXPECT_EQ(after.brushRadius, 300);
    EXPECT_EQ(after.pointBrushRadius, 12);
    EXPECT_DOUBLE_EQ(after.strength, 0.35);
    EXPECT_DOUBLE_EQ(after.reBodyStrength, 0.7);
    EXPECT_EQ(after.stiffnessSlider, 40);
    EXPECT_EQ(after.stiffnessFactor, before.stiffnessFactor);
    EXPECT_EQ(after.stiffnessIterations, 20);
    EXPECT_EQ(after.fixOuterEdges, 1);
    EXPECT_EQ(after.fixPointsOutOfRange, 1);
    EXPECT_EQ(after.falloffCurve1, 100);
    EXPECT_EQ(after.falloffCurve2, 0);
    EXPECT_EQ(after.timeSliderBX, 120);
    EXPECT_EQ(after.pixPerFrame, 24.0);
    EXPECT_EQ(after.toolMode, 0);
    EXPECT_EQ(after.selectedCageCount, 0);
    EXPECT_FALSE(undoAvailable(&after));
    EXPECT_EQ(run("PanelValue \"Morvane Tool\" \"Sel Cage\"\n"
                  "PanelValue \"Morvane Tool\" \"Sel Point\"\n"
                  "PanelValue \"Morvane Tool\" Current\n"),
              "panel: Sel Cage = on\npanel: Sel Point = off\npanel: Current = (none)\n");
}

TEST_F(ToolPanelTest, PreparationRaisesHiddenObjectsAndPutsCagesAfterTheirObjects) {
    CageInstance* cage = newCage();
    host::Item& object = layout.scene().addNull("Reference");
    object.visibility = 0;
    cage->refObject = object.id;
    ASSERT_GT(layout.scene().index(object.id), layout.scene().index(cage->itemID));
    const std::string printed = (start(), out.str());

    EXPECT_EQ(layout.scene().find(object.id)->visibility, 2);
    EXPECT_EQ(layout.scene().index(cage->itemID), layout.scene().index(object.id) + 1);
    const size_t visibility = printed.find("info: The visibility setting of objects was changed.");
    const size_t order = printed.find("The internal array of objects was arranged.");
    ASSERT_NE(visibility, std::string::npos) << printed;
    EXPECT_GT(order, visibility) << printed;
    // The item selected at the start is selected again after the raise.
    EXPECT_EQ(layout.scene().firstSelected(), layout.scene().find("Body")->id);

    // Nothing to change: nothing said.
    const size_t from = out.str().size();
    start();
    EXPECT_EQ(out.str().find("info:", from), std::string::npos) << out.str().substr(from);
}

TEST_F(ToolPanelTest, PanelEventsCheckTheEditModeFirst) {
    newCage();
    ASSERT_EQ(start(), AFUNC_OK);
    // A light selected: Layout goes back to objects, which selects one.
    run("AddLight Key");
    std::string printed = run("PanelChoose \"Morvane Tool\" Current Cage1");
    EXPECT_NE(printed.find("command: EditObjects"), std::string::npos) << printed;
    EXPECT_EQ(stInstData.selectedCageCount, 1);

    // Another tool took over the record: this one comes back.
    LWLayoutToolFuncs other{};
    LWLayoutTool* record = const_cast<LWLayoutTool*>(&layout.toolRecord());
    LWLayoutToolFuncs* mine = record->tool;
    record->tool = &other;
    printed = run("PanelPress \"Morvane Tool\" Move");
    record->tool = mine;
    EXPECT_NE(printed.find("command: Tool_Zentrik_Morvane_Tool"), std::string::npos) << printed;
    EXPECT_EQ(stInstData.toolMode, 0); // the press itself was dropped

    // The user closes the panel: the tool ends.
    printed = run("PanelClose \"Morvane Tool\"");
    EXPECT_NE(printed.find("command: ChangeTool"), std::string::npos) << printed;
    EXPECT_EQ(layout.toolRecord().instance, nullptr);
    EXPECT_EQ(isOpen, 0);
    EXPECT_NE(failure("PanelPress \"Morvane Tool\" Move").find("Morvane Tool"), std::string::npos);
}

TEST_F(ToolPanelTest, ADestroyedOrHiddenCageLeavesTheSelection) {
    CageInstance* a = newCage(3);
    CageInstance* b = newCage(5);
    ASSERT_EQ(start(), AFUNC_OK);
    add1CageToSelection(&stInstData, a, 1);
    add1CageToSelection(&stInstData, b, 1);
    b->pointArray[1]->selected = b->pointArray[4]->selected = 1;
    a->pointArray[0]->selected = 1;
    recountPointSelectionForSelectedCages(&stInstData);
    ASSERT_EQ(stInstData.selectedPointCount, 3);

    CageCustomDestroy(b);
    cages[1] = nullptr;
    EXPECT_EQ(stInstData.selectedCageCount, 1);
    EXPECT_EQ(stInstData.selectedPointCount, 1);
    EXPECT_EQ(run("PanelValue \"Morvane Tool\" Current"), "panel: Current = Cage1\n");

    run("PanelChoose \"Morvane Tool\" Edit \"Display: Unseen\"");
    EXPECT_EQ(a->display, 0);
    EXPECT_EQ(stInstData.selectedCageCount, 0);
    EXPECT_EQ(run("PanelValue \"Morvane Tool\" \"#3\""), "panel: #3 = (none)\n");
}

TEST_F(ToolPanelTest, RingEventsWithoutPayloadAreSafeAndKeyEditsElsewhereDropTheHistory) {
    CageInstance* cage = newCage();
    ASSERT_EQ(start(), AFUNC_OK);
    for (int code : {1, 9, 10, 11, 12, 77})
        layout.ring().message("COMRING_EDITCAGE", code, nullptr);
    run("PanelChoose \"Morvane Tool\" Current Cage1\nPanelPress \"Morvane Tool\" \"Create Key\"");
    ASSERT_TRUE(undoAvailable(&stInstData));
    void* answer[1] = {nullptr};
    layout.ring().message("COMRING_EDITCAGE", 11, answer);
    EXPECT_EQ(answer[0], &stInstData);
    EXPECT_FALSE(undoAvailable(&stInstData));
    EXPECT_EQ(stInstData.selectedCages[0], cage);
}

} // namespace
