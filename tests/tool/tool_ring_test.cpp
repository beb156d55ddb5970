// The edit tool's port on the ring, through the real module file: cages made
// while it runs are not highlighted, the tool's start and end reach every
// cage, and a destroyed cage leaves the tool's selection.
#include "host/commands/commands.h"
#include "host/host.h"

#include "cage_instance.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class ToolRing : public testing::Test {
  protected:
    ToolRing() : layout(out), run(layout) {
        layout.loadModule(MORVANE_MODULE_PATH);
        run.execute("AddNull Body");
    }
    CageInstance* addCage(const std::string& name) {
        run.execute("AddNull " + name);
        run.execute("ApplyServer CustomObjHandler Zentrik_Morvane");
        return static_cast<CageInstance*>(
            layout.instances().on(layout.scene().find(name)->id)[0]->instance);
    }
    std::ostringstream out;
    host::Host layout;
    host::CommandInterpreter run;
};

TEST_F(ToolRing, StartAndEndReachEveryCageAndNewCagesKnowTheToolRuns) {
    CageInstance* before = addCage("A");
    EXPECT_EQ(before->highlighted, 1); // no tool: drawn highlighted

    run.execute("SelectByName Body");
    run.execute("Tool_Zentrik_Morvane_Tool");
    EXPECT_EQ(layout.ring().attachedCount("COMRING_EDITCAGE"), 1);
    EXPECT_EQ(before->highlighted, 0); // the start clears it

    CageInstance* during = addCage("B");
    EXPECT_EQ(during->highlighted, 0); // the tool answered

    run.execute("ChangeTool");
    EXPECT_EQ(layout.ring().attachedCount("COMRING_EDITCAGE"), 0);
    EXPECT_EQ(before->highlighted, 1);
    EXPECT_EQ(during->highlighted, 1);
    EXPECT_EQ(out.str().find("error"), std::string::npos) << out.str();
}

TEST_F(ToolRing, ReactivatingKeepsOneAttachment) {
    addCage("A");
    run.execute("SelectByName Body");
    run.execute("Tool_Zentrik_Morvane_Tool");
    run.execute("SelectByName Body");
    run.execute("Tool_Zentrik_Morvane_Tool");
    EXPECT_EQ(layout.ring().attachedCount("COMRING_EDITCAGE"), 1);
}

} // namespace
