#include "host/host.h"
#include "host/common/host_error.h"
#include "host/plugins/module_file.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string fixture(const char* name) {
    return std::string(MORVANE_FIXTURE_DIR) + "/" + name;
}

// The loader's message for a file it refuses, or "" when it loads.
std::string refusal(const std::string& path) {
    try {
        host::ModuleFile module(path);
    } catch (const host::HostError& e) {
        return e.what();
    }
    return "";
}

// The machine value a module built for this platform must carry, from the
// compiler's own platform macros rather than the build's SDK flavour.
#if defined(_WIN32)
const unsigned int kPlatformMachine = 0x300;
#elif defined(__APPLE__)
const unsigned int kPlatformMachine = 0x400;
#else
const unsigned int kPlatformMachine = 0x200;
#endif

TEST(ModuleFile, ReadsTheDescriptorAndServerTableOfTheModule) {
    host::ModuleFile module(MORVANE_MODULE_PATH);
    EXPECT_EQ(module.descriptor().sysSync, 0x04121994u);
    EXPECT_EQ(module.descriptor().sysVersion, 3u);
    EXPECT_EQ(module.descriptor().sysMachine, kPlatformMachine);
    EXPECT_EQ(module.serverData(), reinterpret_cast<void*>(4));

    struct Expected {
        const char* cls;
        const char* name;
        const char* button;
    } expected[] = {
        {"CustomObjHandler", "Zentrik_Morvane", ""},
        {"CustomObjInterface", "Zentrik_Morvane", ""},
        {"DisplacementHandler", "Zentrik_Morvane", ""},
        {"DisplacementInterface", "Zentrik_Morvane", ""},
        {"LayoutTool", "Zentrik_Morvane_Tool", "Morvane Tool"},
        {"LayoutGeneric", "Zentrik_Morvane_Add", "Morvane Add"},
    };
    ASSERT_EQ(module.servers().size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        const host::ServerEntry& s = module.servers()[i];
        EXPECT_EQ(s.className, expected[i].cls);
        EXPECT_EQ(s.name, expected[i].name);
        EXPECT_EQ(s.buttonName(), expected[i].button);
        EXPECT_NE(s.activate, nullptr);
    }
    EXPECT_NE(module.find("LayoutTool", "Zentrik_Morvane_Tool"), nullptr);
    EXPECT_EQ(module.find("LayoutTool", "Zentrik_Morvane"), nullptr);
}

TEST(ModuleFile, RefusesWhatIsNotAWorkingModule) {
    EXPECT_NE(refusal("/nonexistent/morvane.p").find("no such module file"), std::string::npos);
    EXPECT_NE(refusal("/tmp").find("not a module file"), std::string::npos);

    std::string text = testing::TempDir() + "/not_a_module_" + std::to_string(getpid()) + ".p";
    std::ofstream(text) << "plain text\n";
    EXPECT_NE(refusal(text).find("cannot load module"), std::string::npos);

    EXPECT_NE(refusal(fixture("no_descriptor.p")).find("no _mod_descrip"), std::string::npos);
    EXPECT_NE(refusal(fixture("bad_sync.p")).find("wrong synchronisation value 0x12345678"),
              std::string::npos);
    EXPECT_NE(refusal(fixture("bad_version.p")).find("unsupported descriptor version 2"),
              std::string::npos);
    EXPECT_NE(refusal(fixture("refusing_startup.p")).find("refused to start"), std::string::npos);

    // Every refusal names the file.
    EXPECT_EQ(refusal(fixture("bad_sync.p")).rfind(fixture("bad_sync.p"), 0), 0u);
}

TEST(ModuleFile, CallsShutdownWithTheServerDataOnUnload) {
    testing::internal::CaptureStdout();
    { host::ModuleFile module(fixture("probe.p")); }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "probe shutdown ok\n");
}

TEST(Activation, HonoursResultCodesAndKeepsOneToolRecord) {
    std::ostringstream out;
    host::Host layout(out);
    layout.loadModule(fixture("probe.p"));
    testing::internal::CaptureStdout();

    // The probe answers with version % 10.
    EXPECT_EQ(layout.activate("LayoutTool", "probe_tool", 11), AFUNC_BADVERSION);
    EXPECT_EQ(layout.toolRecord().instance, nullptr);
    EXPECT_EQ(layout.activate("LayoutTool", "probe_tool", 15), AFUNC_BADAPP_SILENT);
    EXPECT_EQ(layout.toolRecord().instance, nullptr);
    EXPECT_EQ(layout.activate("LayoutTool", "probe_tool", 10), AFUNC_OK);
    EXPECT_NE(layout.toolRecord().instance, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    // Choosing a tool again drops the one in use first.
    testing::internal::CaptureStdout();
    EXPECT_EQ(layout.activate("LayoutTool", "probe_tool", 20), AFUNC_OK);
    std::string dropped = testing::internal::GetCapturedStdout();
    EXPECT_EQ(dropped.rfind("probe tool done", 0), 0u) << dropped;

    EXPECT_THROW(layout.activate("LayoutTool", "no_such_tool", 1), host::HostError);
    EXPECT_THROW(layout.activate("Global", "probe_tool", 1), host::HostError);

    // Unloading drops the tool, then shuts the module down.
    testing::internal::CaptureStdout();
    layout.loadModule(MORVANE_MODULE_PATH);
    std::string unloaded = testing::internal::GetCapturedStdout();
    EXPECT_NE(unloaded.find("probe tool done"), std::string::npos);
    EXPECT_LT(unloaded.find("probe tool done"), unloaded.find("probe shutdown ok"));
}

TEST(Activation, AGenericRunsCommandsThroughItsLocalRecord) {
    std::ostringstream out;
    host::Host layout(out);
    layout.loadModule(fixture("probe.p"));
    testing::internal::CaptureStdout();
    EXPECT_EQ(layout.activate("LayoutGeneric", "probe_generic", 2), AFUNC_BADGLOBAL);
    EXPECT_EQ(layout.activate("LayoutGeneric", "probe_generic", 0), AFUNC_OK);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "probe product found\nprobe evaluate -> 1\n");
    EXPECT_EQ(out.str(), "command: RefreshNow\n");
}

} // namespace
