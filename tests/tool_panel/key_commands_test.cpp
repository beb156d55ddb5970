// The key commands of the tool panel over two selected cages: create, undo
// and redo with their frame changes, deleting keys with and without the
// question, and stepping from key to key.
#include "tool_panel_support.h"

#include "cage/cage_keys.h"
#include "tool/tool_mixed_keys.h"

namespace {

const std::string kPanel = "\"Morvane Tool\" ";

class ToolKeyCommands : public ToolPanelTest {
  protected:
    ToolKeyCommands() {
        a = newCage(3);
        b = newCage(5);
        EXPECT_EQ(start(), AFUNC_OK);
        add1CageToSelection(&stInstData, a, 1);
        add1CageToSelection(&stInstData, b, 1);
        refreshMixEnvelopeKeyData(&stInstData, 1);
        refreshCurrentCagePopCtl(&stInstData);
    }
    // A key at t on the cage whose deltas tell t and the point apart.
    void key(CageInstance* cage, double t) {
        std::vector<double> d(size_t(cage->pointCount) * 3);
        for (size_t i = 0; i < d.size(); ++i)
            d[i] = t + 0.125 * double(i);
        insertCageKeyToTime(cage, newCageKey(cage, t, d.data()), t);
    }
    std::vector<double> deltasAt(CageInstance* cage, double t) {
        const CageKey* k = searchCageKeyAtTime(cage, t);
        return k ? std::vector<double>(k->deltas, k->deltas + 3 * cage->pointCount)
                 : std::vector<double>{};
    }
    CageInstance* a;
    CageInstance* b;
};

TEST_F(ToolKeyCommands, CreateKeyThenUndoAndRedoOverBothCages) {
    key(a, 0.0);
    key(a, 2.0);
    key(b, 0.0);
    refreshMixEnvelopeKeyData(&stInstData, 1);
    run("GoToFrame 10\nPanelPress " + kPanel + "\"Create Key\"");
    const double t = 10.0 / fps();
    ASSERT_EQ(keyTimes(a), (std::vector<double>{0.0, t, 2.0}));
    ASSERT_EQ(keyTimes(b), (std::vector<double>{0.0, t}));
    const std::vector<double> createdA = deltasAt(a, t), createdB = deltasAt(b, t);
    // Halfway between the keys at 0 and 2 of cage a.
    EXPECT_NEAR(createdA[0], 1.0 / 3.0, 0.2);

    run("GoToFrame 0\nPanelRightClick \"Morvane Tool\"");
    ASSERT_EQ(stInstData.selectedCageCount, 0);
    std::string printed = run("PanelPress " + kPanel + "Undo");
    EXPECT_NE(printed.find("command: GoToFrame 10.000000000000\n"), std::string::npos) << printed;
    EXPECT_EQ(layout.scene().timing().time, t);
    EXPECT_EQ(keyTimes(a), (std::vector<double>{0.0, 2.0}));
    EXPECT_EQ(keyTimes(b), (std::vector<double>{0.0}));
    ASSERT_EQ(stInstData.selectedCageCount, 2);
    EXPECT_EQ(stInstData.selectedCages[0], a);
    EXPECT_EQ(stInstData.selectedCages[1], b);
    EXPECT_EQ(run("PanelValue " + kPanel + "Current"), "panel: Current = (multiple)\n");

    run("PanelPress " + kPanel + "Redo");
    EXPECT_EQ(deltasAt(a, t), createdA);
    EXPECT_EQ(deltasAt(b, t), createdB);
    // Nothing left to redo: the button is ghosted.
    EXPECT_NE(failure("PanelPress " + kPanel + "Redo").find("ghosted"), std::string::npos);
}

TEST_F(ToolKeyCommands, DeletingEveryKeyAsksFirstAndIsOneStep) {
    for (double t : {0.5, 1.0, 1.5}) {
        key(a, t);
        key(b, t);
    }
    refreshMixEnvelopeKeyData(&stInstData, 1);
    const auto before = std::make_pair(keyTimes(a), keyTimes(b));
    const std::vector<double> deltas = deltasAt(b, 1.0);

    run("GoToFrame 20\nAnswer No\nPanelChoose " + kPanel + "Edit \"Delete Keys\"");
    EXPECT_EQ(std::make_pair(keyTimes(a), keyTimes(b)), before);
    EXPECT_NE(out.str().find("Delete All Keys"), std::string::npos) << out.str();

    run("Answer Yes\nPanelChoose " + kPanel + "Edit \"Delete Keys\"");
    // Each cage keeps a key at 0 holding its shape there.
    EXPECT_EQ(keyTimes(a), (std::vector<double>{0.0}));
    EXPECT_EQ(keyTimes(b), (std::vector<double>{0.0}));

    run("PanelPress " + kPanel + "Undo");
    EXPECT_EQ(std::make_pair(keyTimes(a), keyTimes(b)), before);
    EXPECT_EQ(deltasAt(b, 1.0), deltas);
    EXPECT_NE(failure("PanelPress " + kPanel + "Undo").find("ghosted"), std::string::npos);
}

TEST_F(ToolKeyCommands, DeleteKeyTakesTheKeyAtTheCurrentTimeOnly) {
    key(a, 1.0);
    key(b, 1.00005); // merged with a's
    key(a, 2.0);
    refreshMixEnvelopeKeyData(&stInstData, 1);
    ASSERT_EQ(stInstData.mixKeyHead->keyCount, 2);
    run("GoToFrame 45\nPanelPress " + kPanel + "\"Delete Key\""); // 1.5 s: no key
    EXPECT_EQ(keyTimes(a).size(), 2u);
    run("GoToFrame 30\nPanelPress " + kPanel + "\"Delete Key\"");
    EXPECT_EQ(keyTimes(a), (std::vector<double>{2.0}));
    EXPECT_EQ(keyTimes(b), (std::vector<double>{0.0})); // its last key went
}

TEST_F(ToolKeyCommands, PreviousAndNextSkipTheKeyAtTheCurrentTime) {
    for (double t : {0.0, 1.0, 2.0})
        key(a, t);
    refreshMixEnvelopeKeyData(&stInstData, 1);
    struct Step {
        int frame;
        const char* button;
        int to; // frame, or -1: stays
    };
    for (const Step& s :
         {Step{30, "(i:103)", 0}, Step{30, "(i:104)", 60}, Step{45, "(i:103)", 30},
          Step{45, "(i:104)", 60}, Step{60, "(i:104)", -1}, Step{0, "(i:103)", -1}}) {
        run("GoToFrame " + std::to_string(s.frame) + "\nPanelPress " + kPanel + "\"" + s.button +
            "\"");
        const double expected = (s.to < 0 ? s.frame : s.to) / fps();
        EXPECT_NEAR(layout.scene().timing().time, expected, 1e-12) << s.frame << s.button;
    }
}

TEST_F(ToolKeyCommands, KeyButtonsWaitForTheRedraw) {
    stInstData.needsRedraw = 1;
    run("PanelPress " + kPanel + "\"Create Key\"");
    EXPECT_TRUE(keyTimes(a).empty());
    EXPECT_EQ(stInstData.needsRedraw, 0); // drawn after that event
    run("PanelPress " + kPanel + "\"Create Key\"");
    EXPECT_EQ(keyTimes(a).size(), 1u);
}

} // namespace
