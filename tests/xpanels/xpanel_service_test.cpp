// The test acts as a module: it builds XPanels through the "LWXPanel" record
// and types into them as the script would, checking what its own callbacks
// were handed.
#include "host/host.h"
#include "host/common/host_error.h"

#include <lwxpanel.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

enum : unsigned int {
    kName = 0x8001,
    kSize = 0x8002,
    kAmount = 0x8003,
    kTurn = 0x8004,
    kTint = 0x8005,
    kOn = 0x8006,
    kPick = 0x8007,
    kGo = 0x8008
};

const double kPi = 3.141592653589793;

std::vector<std::string> calls;

struct Thing {
    std::string name;
    double size = 0;
    double amount = 0;
    double turn = 0;
    double tint[3] = {0, 0, 0};
    int on = 0;
    int pick = 0;
    bool giveNothing = false;
};

void* thingGet(void* inst, unsigned int vid) {
    auto* t = static_cast<Thing*>(inst);
    if (t->giveNothing) return nullptr;
    switch (vid) {
    case kName:
        return &t->name[0];
    case kSize:
        return &t->size;
    case kAmount:
        return &t->amount;
    case kTurn:
        return &t->turn;
    case kTint:
        return t->tint;
    case kOn:
        return &t->on;
    case kPick:
        return &t->pick;
    default:
        return nullptr;
    }
}

LWXPRefreshCode thingSet(void* inst, unsigned int vid, void* value) {
    auto* t = static_cast<Thing*>(inst);
    calls.push_back("set " + std::to_string(vid - 0x8000));
    switch (vid) {
    case kName:
        t->name = static_cast<const char*>(value);
        break;
    case kSize:
        t->size = *static_cast<double*>(value);
        break;
    case kAmount:
        t->amount = *static_cast<double*>(value);
        break;
    case kTurn:
        t->turn = *static_cast<double*>(value);
        break;
    case kTint:
        std::memcpy(t->tint, value, sizeof t->tint);
        break;
    case kOn:
        t->on = *static_cast<int*>(value);
        break;
    case kPick:
        t->pick = *static_cast<int*>(value);
        break;
    default:
        break;
    }
    return LWXPRC_DFLT;
}

LWXPRefreshCode recordNotify(LWXPanelID, unsigned int cid, unsigned int vid, int event) {
    calls.push_back("notify " + std::to_string(cid - 0x8000) + " " + std::to_string(vid - 0x8000) +
                    " " + std::to_string(event));
    return LWXPRC_NONE;
}

LWXPanelFuncs* killer = nullptr;
LWXPRefreshCode destroyingNotify(LWXPanelID pan, unsigned int, unsigned int, int) {
    calls.push_back("destroying");
    killer->destroy(pan);
    return LWXPRC_NONE;
}

void pressed(LWXPanelID, int cid) {
    calls.push_back("pressed " + std::to_string(cid - 0x8000));
}

const char* pickNames[] = {"Low", "Mid", "High"};
int pickCount(void* data) {
    calls.push_back(std::string("count ") + static_cast<const char*>(data));
    return 3;
}
const char* pickName(void*, int index) {
    return index >= 0 && index < 3 ? pickNames[index] : "";
}

void gone(void* data) {
    calls.push_back(std::string("gone ") + (data ? static_cast<const char*>(data) : "null"));
}

LWXPanelControl controls[] = {
    {kName, "Name", "sPresetText"}, {kSize, "Size", "distance"}, {kAmount, "Amount", "percent"},
    {kTurn, "Turn", "angle"},       {kTint, "Tint", "color"},    {kOn, "Enabled", "iBoolean"},
    {kPick, "Pick", "iPopChoice"},  {kGo, "Go", "vButton"},      {0, nullptr, nullptr}};
LWXPanelDataDesc descs[] = {{kName, "Name", "string"},      {kSize, "Size", "distance"},
                            {kAmount, "Amount", "percent"}, {kTurn, "Turn", "angle"},
                            {kTint, "Tint", "color"},       {kOn, "Enabled", "integer"},
                            {kPick, "Pick", "integer"},     {0, nullptr, nullptr}};

class XPanelService : public testing::Test {
  protected:
    XPanelService() : layout(out) {
        xp = static_cast<LWXPanelFuncs*>(layout.services().lookup(LWXPANELFUNCS_GLOBAL));
        calls.clear();
        killer = xp;
    }

    LWXPanelID viewPanel() {
        LWXPanelID pan = xp->create(LWXP_VIEW, controls);
        xp->describe(pan, descs, thingGet, thingSet);
        LWXPanelHint hints[] = {XpLABEL(0, "Thing"), XpCHGNOTIFY(recordNotify),
                                XpPOPFUNCS(kPick, pickCount, pickName), XpBUTNOTIFY(kGo, pressed),
                                XpEND};
        xp->hint(pan, 0, hints);
        xp->viewInst(pan, &thing);
        return pan;
    }

    std::string enterFails(LWXPanelID pan, const std::string& label, const std::string& text) {
        try {
            layout.xpanels().enter(pan, label, text);
        } catch (const host::HostError& e) {
            return e.what();
        }
        return "(accepted)";
    }

    std::ostringstream out;
    host::Host layout;
    LWXPanelFuncs* xp = nullptr;
    Thing thing;
};

TEST_F(XPanelService, TheRecordIsFilled) {
    ASSERT_NE(xp, nullptr);
    EXPECT_EQ(xp->version, 1);
    ASSERT_NE(xp->drawf, nullptr);
    EXPECT_EQ(xp->drawf->textWidth(nullptr, (char*)"abc"), 24);
    EXPECT_EQ(xp->drawf->textHeight(nullptr, (char*)"abc"), 16);
    EXPECT_EQ(xp->create(0, controls), nullptr);
    EXPECT_EQ(xp->create(3, controls), nullptr);
    EXPECT_EQ(layout.xpanels().panelCount(), 0u);
}

TEST_F(XPanelService, ValuesGoThroughSetThenTheNotifyInTheirUnits) {
    LWXPanelID pan = viewPanel();
    layout.xpanels().enter(pan, "Size", "2.5");
    layout.xpanels().enter(pan, "Amount", "50%");
    layout.xpanels().enter(pan, "Turn", "90");
    layout.xpanels().enter(pan, "Tint", "0.25, 0.5 1");
    layout.xpanels().enter(pan, "Enabled", "on");
    layout.xpanels().enter(pan, "Name", "Dome");
    EXPECT_EQ(thing.size, 2.5);
    EXPECT_EQ(thing.amount, 0.5);
    EXPECT_NEAR(thing.turn, kPi / 2, 1e-12);
    EXPECT_EQ(thing.tint[0], 0.25);
    EXPECT_EQ(thing.tint[1], 0.5);
    EXPECT_EQ(thing.tint[2], 1.0);
    EXPECT_EQ(thing.on, 1);
    EXPECT_EQ(thing.name, "Dome");
    EXPECT_EQ(calls, (std::vector<std::string>{"set 2", "notify 2 2 2", "set 3", "notify 3 3 2",
                                               "set 4", "notify 4 4 2", "set 5", "notify 5 5 2",
                                               "set 6", "notify 6 6 2", "set 1", "notify 1 1 2"}));
    // Read back as they would be typed.
    EXPECT_EQ(layout.xpanels().read(pan, "Size"), "2.5");
    EXPECT_EQ(layout.xpanels().read(pan, "Amount"), "50%");
    EXPECT_EQ(layout.xpanels().read(pan, "Turn"), "90");
    EXPECT_EQ(layout.xpanels().read(pan, "Tint"), "0.25 0.5 1");
    EXPECT_EQ(layout.xpanels().read(pan, "Enabled"), "on");
    EXPECT_EQ(layout.xpanels().read(pan, "Name"), "Dome");
    thing.amount = 0.07;
    EXPECT_EQ(layout.xpanels().read(pan, "Amount"), "7%");
    layout.xpanels().enter(pan, "Amount", "12.5");
    EXPECT_EQ(thing.amount, 0.125);
}

TEST_F(XPanelService, BadTextIsRefusedBeforeAnyCallback) {
    LWXPanelID pan = viewPanel();
    EXPECT_EQ(enterFails(pan, "Size", "big"),
              "panel \"Thing\", control \"Size\": 'big' is not a number");
    EXPECT_EQ(enterFails(pan, "Size", "inf"),
              "panel \"Thing\", control \"Size\": 'inf' is not a number");
    EXPECT_EQ(enterFails(pan, "Tint", "1 2"),
              "panel \"Thing\", control \"Tint\": '1 2' is not three numbers");
    EXPECT_EQ(enterFails(pan, "Enabled", "maybe"),
              "panel \"Thing\", control \"Enabled\": 'maybe' does not fit");
    EXPECT_EQ(enterFails(pan, "Colour", "1"), "panel \"Thing\" has no control \"Colour\"");
    EXPECT_EQ(calls, std::vector<std::string>{});
    EXPECT_EQ(enterFails(nullptr, "Size", "1"), "no such XPanel");
}

TEST_F(XPanelService, PopFunctionsNameTheChoicesWithTheControlsData) {
    LWXPanelID pan = viewPanel();
    static char panelData[] = "panel", pickData[] = "pick";
    xp->setData(pan, 0, panelData);
    layout.xpanels().enter(pan, "Pick", "High");
    EXPECT_EQ(thing.pick, 2);
    xp->setData(pan, kPick, pickData);
    EXPECT_EQ(layout.xpanels().read(pan, "Pick"), "High");
    EXPECT_EQ(calls,
              (std::vector<std::string>{"count panel", "set 7", "notify 7 7 2", "count pick"}));
    EXPECT_EQ(xp->getData(pan, 0), panelData);
    EXPECT_EQ(xp->getData(pan, kPick), pickData);
    EXPECT_EQ(xp->getData(pan, kSize), nullptr);
}

TEST_F(XPanelService, AButtonIsPressedAndHasNoValue) {
    LWXPanelID pan = viewPanel();
    layout.xpanels().enter(pan, "Go", "");
    EXPECT_EQ(calls, (std::vector<std::string>{"pressed 8", "notify 8 8 3"}));
    EXPECT_EQ(
        [&] {
            try {
                layout.xpanels().read(pan, "Go");
            } catch (const host::HostError& e) {
                return std::string(e.what());
            }
            return std::string("(read)");
        }(),
        "panel \"Thing\", control \"Go\" has no value");
}

TEST_F(XPanelService, ViewNeedsAnInstanceAndAValueFromGet) {
    LWXPanelID pan = viewPanel();
    xp->viewInst(pan, nullptr);
    EXPECT_EQ(enterFails(pan, "Size", "1"), "panel \"Thing\" shows no instance");
    xp->viewInst(pan, &thing);
    thing.giveNothing = true;
    EXPECT_THROW(layout.xpanels().read(pan, "Size"), host::HostError);
    thing.giveNothing = false;
    xp->viewRefresh(pan);
    EXPECT_EQ(calls, std::vector<std::string>{});
}

TEST_F(XPanelService, HintedLabelsAndTheCreatedOnesBothFindAControl) {
    LWXPanelID pan = viewPanel();
    LWXPanelHint forSize[] = {XpLABEL(0, "Radius"), XpEND};
    xp->hint(pan, kSize, forSize);
    layout.xpanels().enter(pan, "Radius", "3");
    layout.xpanels().enter(pan, "Size", "4");
    EXPECT_EQ(thing.size, 4.0);
    EXPECT_EQ(layout.xpanels().read(pan, "Radius"), "4");
    EXPECT_EQ(layout.xpanels().label(pan), "Thing");
}

TEST_F(XPanelService, KnownTagsAreSteppedOverByTheirShape) {
    LWXPanelID pan = viewPanel();
    LWXPanelHint sub[] = {XpLABEL(0, "Called"), XpEND};
    LWXPanelHint hints[] = {XpGROUP_(0x9000),
                            XpH(kSize),
                            XpH(kAmount),
                            XpEND,
                            XpENABLE_(kOn),
                            XpH(kPick),
                            XpEND,
                            XpSTACK_(0x9001, kPick),
                            XpH(kSize),
                            XpEND,
                            XpXREQCFG(kName, LWXPREQ_LOAD, "Pick", "*.txt"),
                            XpCTRLCFG(kName, THUM_SML),
                            XpRANGE(kSize, 0, 10, 1),
                            XpLEFT(0x9000),
                            XpRESTORE_ON,
                            XpDIVADD(kSize),
                            XpNEST(0x9000),
                            XpSUBCALL(kTurn, sub),
                            XpLABEL(0, "After all"),
                            XpEND};
    xp->hint(pan, 0, hints);
    EXPECT_EQ(layout.xpanels().takePendingError(), "");
    EXPECT_EQ(layout.xpanels().label(pan), "After all");
    layout.xpanels().enter(pan, "Called", "45");
    EXPECT_NEAR(thing.turn, kPi / 4, 1e-12);
}

TEST_F(XPanelService, AnUnknownTagStopsWithoutReadingOn) {
    LWXPanelID pan = viewPanel();
    // One word on the heap: reading past it would be caught.
    auto hints = std::make_unique<LWXPanelHint[]>(1);
    hints[0] = XpH(0x3D7F7F05);
    xp->hint(pan, 0, hints.get());
    EXPECT_EQ(layout.xpanels().takePendingError(),
              "XPanel hint: unknown tag 0x3D7F7F05; the hints after it are ignored");
    LWXPanelHint mixed[] = {XpLABEL(0, "Before"), XpH(0x12345678), XpLABEL(0, "After"), XpEND};
    xp->hint(pan, 0, mixed);
    EXPECT_EQ(layout.xpanels().label(pan), "Before");
    EXPECT_NE(layout.xpanels().takePendingError(), "");
    EXPECT_EQ(layout.xpanels().takePendingError(), "");
    // A hint array that calls itself ends.
    static LWXPanelHint loop[4];
    loop[0] = XpH(XPTAG_CALL);
    loop[1] = XpH(0);
    loop[2] = loop;
    loop[3] = XpEND;
    xp->hint(pan, 0, loop);
    EXPECT_EQ(layout.xpanels().takePendingError(), "XPanel hint: hint arrays nested too deep");
}

TEST_F(XPanelService, FormPanelsKeepTheirOwnValues) {
    static LWXPanelControl form[] = {{kSize, "Size", "float"},  {kAmount, "Amount", "percent"},
                                     {kName, "Name", "string"}, {kOn, "Enabled", "iBoolean"},
                                     {kTint, "Tint", "color"},  {0, nullptr, nullptr}};
    LWXPanelID pan = xp->create(LWXP_FORM, form);
    ASSERT_NE(pan, nullptr);
    LWXPanelHint hints[] = {XpLABEL(0, "Form"), XpCHGNOTIFY(recordNotify), XpEND};
    xp->hint(pan, 0, hints);
    EXPECT_EQ(FGETINT(xp, pan, kOn), 0);
    EXPECT_STREQ(static_cast<const char*>(xp->formGet(pan, kName)), "");
    FSETINT(xp, pan, kOn, 1);
    FSETFLT(xp, pan, kSize, 1.5);
    xp->formSet(pan, kName, (void*)"typed by module");
    EXPECT_EQ(FGETINT(xp, pan, kOn), 1);
    EXPECT_EQ(FGETFLT(xp, pan, kSize), 1.5);
    EXPECT_EQ(layout.xpanels().read(pan, "Name"), "typed by module");
    EXPECT_EQ(layout.xpanels().read(pan, "Size"), "1.5");

    layout.xpanels().enter(pan, "Amount", "25");
    layout.xpanels().enter(pan, "Enabled", "off");
    layout.xpanels().enter(pan, "Tint", "1 0 0.5");
    layout.xpanels().enter(pan, "Name", "typed by person");
    EXPECT_EQ(FGETFLT(xp, pan, kAmount), 0.25);
    EXPECT_EQ(FGETINT(xp, pan, kOn), 0);
    const double* tint = static_cast<const double*>(xp->formGet(pan, kTint));
    EXPECT_EQ(tint[0], 1.0);
    EXPECT_EQ(tint[2], 0.5);
    EXPECT_STREQ(static_cast<const char*>(xp->formGet(pan, kName)), "typed by person");
    EXPECT_EQ(calls, (std::vector<std::string>{"notify 3 3 2", "notify 6 6 2", "notify 5 5 2",
                                               "notify 1 1 2"}));
    EXPECT_EQ(xp->formGet(pan, 0x8999), nullptr);
    xp->formSet(pan, 0x8999, &thing);
    // A VIEW panel has no values of its own.
    LWXPanelID view = viewPanel();
    EXPECT_EQ(xp->formGet(view, kSize), nullptr);
}

TEST_F(XPanelService, DestroyFreesCallsItsNotifyOnceAndLeavesAStaleId) {
    LWXPanelID pan = viewPanel();
    static char data[] = "mine";
    xp->setData(pan, 0, data);
    LWXPanelHint hints[] = {XpDESTROYNOTIFY(gone), XpEND};
    xp->hint(pan, 0, hints);
    EXPECT_EQ(xp->open(pan), 1);
    EXPECT_TRUE(layout.xpanels().isOpen(pan));
    EXPECT_EQ(xp->post(pan), 1);
    EXPECT_FALSE(layout.xpanels().isOpen(pan));
    xp->destroy(pan);
    EXPECT_EQ(calls, std::vector<std::string>{"gone mine"});
    EXPECT_EQ(layout.xpanels().panelCount(), 0u);
    // Stale, null and foreign IDs are ignored.
    int foreign = 0;
    for (LWXPanelID id : {pan, (LWXPanelID) nullptr, (LWXPanelID)&foreign}) {
        xp->destroy(id);
        xp->describe(id, descs, thingGet, thingSet);
        LWXPanelHint h[] = {XpLABEL(0, "x"), XpEND};
        xp->hint(id, 0, h);
        xp->setData(id, 0, data);
        EXPECT_EQ(xp->getData(id, 0), nullptr);
        xp->formSet(id, kSize, &thing.size);
        EXPECT_EQ(xp->formGet(id, kSize), nullptr);
        xp->viewInst(id, &thing);
        xp->viewRefresh(id);
        EXPECT_EQ(xp->post(id), 0);
        EXPECT_EQ(xp->open(id), 0);
    }
    EXPECT_EQ(foreign, 0);
    EXPECT_EQ(calls, std::vector<std::string>{"gone mine"});
}

TEST_F(XPanelService, ANotifyThatDestroysThePanelIsSafe) {
    LWXPanelID pan = xp->create(LWXP_VIEW, controls);
    xp->describe(pan, descs, thingGet, thingSet);
    LWXPanelHint hints[] = {XpCHGNOTIFY(destroyingNotify), XpEND};
    xp->hint(pan, 0, hints);
    xp->viewInst(pan, &thing);
    layout.xpanels().enter(pan, "Size", "7");
    EXPECT_EQ(thing.size, 7.0);
    EXPECT_EQ(calls, (std::vector<std::string>{"set 2", "destroying"}));
    EXPECT_FALSE(layout.xpanels().knows(pan));
}

TEST_F(XPanelService, UnloadingTheModuleDropsThePanels) {
    viewPanel();
    viewPanel();
    EXPECT_EQ(layout.xpanels().panelCount(), 2u);
    layout.loadModule(std::string(MORVANE_FIXTURE_DIR) + "/xpanel_probe.p");
    EXPECT_EQ(layout.xpanels().panelCount(), 0u);
}

} // namespace

namespace {

// Layout: Pick switches a stack of two pages ({Size} and {Amount, Turn});
// Enabled enables Tint and Pick; with a map, Pick's "High" alone enables
// Name (so a ghosted Pick ghosts Name too); a non-zero Size enables Go.
class XPanelLayout : public XPanelService {
  protected:
    LWXPanelID layoutPanel() {
        static const int onlyHigh[] = {0, 0, 1};
        LWXPanelID pan = viewPanel();
        LWXPanelHint hints[] = {XpGROUP_(0x9000),
                                XpH(kName),
                                XpEND,
                                XpGROUP_(0x9001),
                                XpH(kSize),
                                XpEND,
                                XpGROUP_(0x9002),
                                XpH(kAmount),
                                XpH(kTurn),
                                XpEND,
                                XpSTACK_(0x9003, kPick),
                                XpH(0x9001),
                                XpH(0x9002),
                                XpEND,
                                XpENABLE_(kOn),
                                XpH(kTint),
                                XpH(kPick),
                                XpEND,
                                XpENABLEMSG_(kSize, "Needs a size"),
                                XpH(kGo),
                                XpEND,
                                XpENABLE_MAP_(kPick, onlyHigh),
                                XpH(0x9000),
                                XpEND,
                                XpEND};
        xp->hint(pan, 0, hints);
        static char pickData[] = "pick";
        xp->setData(pan, 0, pickData);
        return pan;
    }
    std::string shown(LWXPanelID pan) {
        std::string s;
        for (const host::XPanelRow& r : layout.xpanels().rows(pan))
            s += std::to_string(r.group) + (r.visible ? "" : "h") + (r.enabled ? "" : "g") + " ";
        return s;
    }
};

TEST_F(XPanelLayout, StacksAndEnableRelationsFollowTheirControls) {
    LWXPanelID pan = layoutPanel();
    // Name Size Amount Turn Tint Enabled Pick Go.
    EXPECT_EQ(shown(pan), "1g 2 2h 2h 0g 0 0g 0g ");
    thing.pick = 1;
    thing.on = 1;
    EXPECT_EQ(shown(pan), "1g 2h 2 2 0 0 0 0g ");
    thing.pick = 2; // no third page: both hidden; the map enables Name
    EXPECT_EQ(shown(pan), "1 2h 2h 2h 0 0 0 0g ");
    thing.on = 0;
    EXPECT_EQ(enterFails(pan, "Name", "x"),
              "panel \"Thing\", control \"Name\" is ghosted while \"Pick\" is ghosted");
    EXPECT_EQ(enterFails(pan, "Go", ""),
              "panel \"Thing\", control \"Go\" is ghosted: Needs a size");
    EXPECT_EQ(enterFails(pan, "Tint", "1 1 1"),
              "panel \"Thing\", control \"Tint\" is ghosted while \"Enabled\" is off");
    EXPECT_EQ(enterFails(pan, "Size", "1"),
              "panel \"Thing\", control \"Size\" is on a hidden stack page while \"Pick\" is High");
    // Refused before any set or notify.
    for (const std::string& call : calls)
        EXPECT_EQ(call, "count pick");
    // Reading is not typing: a hidden or ghosted control still shows its value.
    EXPECT_EQ(layout.xpanels().read(pan, "Size"), "0");
    const std::vector<host::XPanelRow> rows = layout.xpanels().rows(pan);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[6].label, "Pick");
    EXPECT_EQ(rows[6].ctrlClass, "iPopChoice");
    EXPECT_EQ(rows[6].value, "High");
    EXPECT_EQ(rows[7].value, "");
    EXPECT_TRUE(layout.xpanels().rows(nullptr).empty());
}

TEST_F(XPanelLayout, AnEnableMessageSaysWhy) {
    LWXPanelID pan = layoutPanel();
    thing.size = 0.5;
    EXPECT_EQ(enterFails(pan, "Go", ""), "(accepted)");
    static LWXPanelControl plain[] = {
        {kName, "Name", "string"}, {kGo, "Go", "vButton"}, {0, nullptr, nullptr}};
    LWXPanelID form = xp->create(LWXP_FORM, plain);
    LWXPanelHint hints[] = {XpENABLEMSG_(kName, "Name it first"), XpH(kGo), XpEND, XpEND};
    xp->hint(form, 0, hints);
    EXPECT_EQ(enterFails(form, "Go", ""), "the panel, control \"Go\" is ghosted: Name it first");
    layout.xpanels().enter(form, "Name", "x");
    EXPECT_EQ(enterFails(form, "Go", ""), "(accepted)");
}

TEST_F(XPanelLayout, DraggingTracksThenSetsAndHardLimitsHoldNumbers) {
    LWXPanelID pan = viewPanel();
    LWXPanelHint hints[] = {XpMIN(kSize, -1),  XpMAX(kSize, 2),   XpHARDMINMAX(kSize, 1, 1),
                            XpMIN(kAmount, 0), XpMAX(kAmount, 1), XpEND};
    xp->hint(pan, 0, hints);
    layout.xpanels().drag(pan, "Size", {"0.5", "7", "-3"});
    EXPECT_EQ(calls, (std::vector<std::string>{"set 2", "notify 2 2 1", "set 2", "notify 2 2 1",
                                               "set 2", "notify 2 2 2"}));
    EXPECT_EQ(thing.size, -1.0);
    layout.xpanels().enter(pan, "Size", "2.5");
    EXPECT_EQ(thing.size, 2.0);
    // Soft limits leave the typed number alone.
    layout.xpanels().enter(pan, "Amount", "150");
    EXPECT_EQ(thing.amount, 1.5);
    calls.clear();
    EXPECT_EQ(enterFails(pan, "Size", "x"),
              "panel \"Thing\", control \"Size\": 'x' is not a number");
    try {
        layout.xpanels().drag(pan, "Size", {"1", "x"});
    } catch (const host::HostError&) {
    }
    try {
        layout.xpanels().drag(pan, "Pick", {"Low"});
        ADD_FAILURE() << "a choice has no slider";
    } catch (const host::HostError& e) {
        EXPECT_EQ(std::string(e.what()), "panel \"Thing\", control \"Pick\" has no slider to drag");
    }
    EXPECT_EQ(calls, std::vector<std::string>{});
}

} // namespace
