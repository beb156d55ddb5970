// The edit tool linked into the test and started by a stand-in Layout as its
// Layout tool, with cages made by the cage server's create callback; scripts
// drive its panels as a person would.
#ifndef MORVANE_TESTS_TOOL_PANEL_SUPPORT_H
#define MORVANE_TESTS_TOOL_PANEL_SUPPORT_H

#include "cage/cage_keys.h"
#include "module/servers.h"
#include "tool/falloff_panel.h"
#include "tool/tool_lifecycle.h"
#include "tool/tool_panel.h"
#include "tool/tool_selection.h"

#include "host/commands/script.h"
#include "host/common/host_error.h"
#include "host/host.h"

#include "../support/in_process_cage.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

class ToolPanelTest : public testing::Test {
  protected:
    ToolPanelTest() : layout(out), runner(layout) {
        installCageServices(layout);
        layout.scene().addNull("Body");
    }
    ~ToolPanelTest() override {
        layout.dropTool();
        for (CageInstance* cage : cages)
            if (cage) CageCustomDestroy(cage);
        // What the module's Shutdown does: the host's panels go with it.
        forgetEditTool();
        stCageServices = CageServices{};
        stGlobal = nullptr;
    }

    // Selects the item and starts the tool; the activation's result.
    int start(const std::string& item = "Body") {
        run("SelectByName " + item);
        return layout.activateTool(EditCageHandler, 1, nullptr);
    }
    CageInstance* newCage(int points = 4) {
        cages.push_back(makePointCage(layout, "Cage" + std::to_string(cages.size() + 1), points,
                                      0.5 + double(cages.size())));
        return cages.back();
    }
    // Runs script lines; what they printed. A line that fails fails the test.
    std::string run(const std::string& lines) {
        const size_t from = out.str().size();
        std::istringstream in(lines);
        try {
            runner.run(in, "t");
        } catch (const host::HostError& e) {
            ADD_FAILURE() << e.what() << "\nprinted:\n" << out.str().substr(from);
        }
        return out.str().substr(from);
    }
    // The error a script stops with, or "(none)".
    std::string failure(const std::string& lines) {
        std::istringstream in(lines);
        try {
            runner.run(in, "t");
        } catch (const host::HostError& e) {
            return e.what();
        }
        return "(none)";
    }
    static std::vector<double> keyTimes(const CageInstance* cage) {
        std::vector<double> times;
        for (const CageKey* k = cage->keyHead; k; k = k->next)
            times.push_back(k->time);
        return times;
    }
    double fps() { return layout.scene().timing().framesPerSecond; }

    std::ostringstream out;
    host::Host layout;
    host::ScriptRunner runner;
    std::vector<CageInstance*> cages;
};

#endif
