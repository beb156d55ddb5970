// The test acts as a module: it builds panels through the service records
// and reads back what a queued response put into the controls.
#include "host/host.h"
#include "host/common/host_error.h"
#include "host/commands/script.h"

#include <lwpanel.h>

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The cells the value macros work through, as a module defines them.
LWValue ival = {LWT_INTEGER}, fval = {LWT_FLOAT}, fvecval = {LWT_VFLOAT}, sval = {LWT_STRING},
        pval = {LWT_POINTER};

std::vector<std::string> events;

void onEvent(LWControlID, void* data) {
    events.push_back(std::string("event:") + static_cast<const char*>(data));
}

void onOpen(LWPanelID, void* data) {
    events.push_back(std::string("open:") + static_cast<const char*>(data));
}

void onClose(LWPanelID, void* data) {
    events.push_back(std::string("close:") + static_cast<const char*>(data));
}

class Panels : public ::testing::Test {
  protected:
    Panels() : layout(out), script(layout) {
        pf = static_cast<LWPanelFuncs*>(layout.services().lookup("LWPanelServices"));
        script.execute({"AddNull", "Box"});
        script.execute({"AddNull", "Cage"});
        script.execute({"AddLight", "Key"});
        box = layout.scene().find("Box")->id;
        cage = layout.scene().find("Cage")->id;
        events.clear();
    }

    // The panel the module's "Add Cage" command builds.
    void build() {
        pan = PAN_CREATE(pf, (char*)"Add Cage");
        ASSERT_NE(pan, nullptr);
        LWPanControlDesc desc;
        std::memset(&desc, 0, sizeof desc);
        object = ITEM_CTL(pf, pan, (char*)"Object", (void*)pf->globalFun, LWI_OBJECT);
        std::memset(&desc, 0, sizeof desc);
        desc.type = LWT_STRING;
        desc.string.width = 20;
        name = pf->addControl(pan, (char*)"EditControl", &desc, (char*)"Name");
        std::memset(&desc, 0, sizeof desc);
        smooth = BOOL_CTL(pf, pan, (char*)"Smooth");
        ASSERT_TRUE(object && name && smooth);
    }

    std::string text(LWControl* ctl) {
        char buf[64] = "untouched";
        GET_STR(ctl, buf, int(sizeof buf));
        return buf;
    }

    void* itemOf(LWControl* ctl) {
        void* p = reinterpret_cast<void*>(1);
        GET_ADDR(ctl, p);
        return p;
    }

    std::ostringstream out;
    host::Host layout;
    host::ScriptRunner script;
    LWPanelFuncs* pf = nullptr;
    LWItemID box = nullptr, cage = nullptr;
    LWPanelID pan = nullptr;
    LWControl *object = nullptr, *name = nullptr, *smooth = nullptr;
};

TEST_F(Panels, OkResponseFillsTheControlsBeforeTheModalOpenReturns) {
    build();
    script.execute({"Respond", "OK", "Object=Box", "Name=abc", "Smooth=on"});
    EXPECT_EQ(PAN_POST(pf, pan), 1);
    EXPECT_EQ(itemOf(object), box);
    EXPECT_EQ(text(name), "abc");
    int on = -1;
    GET_INT(smooth, on);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(layout.panels().takePendingError(), "");
    EXPECT_NE(out.str().find("panel: Add Cage -> OK\n"), std::string::npos);
    EXPECT_EQ(pf->handle(pan, 0), -1); // closed again
    PAN_KILL(pf, pan);
}

TEST_F(Panels, WordsWithSpacesComeFromAQuotedScriptLine) {
    build();
    std::istringstream lines("Respond OK \"Name=two words\" Object=Cage\n");
    script.run(lines, "panel.lws");
    EXPECT_EQ(PAN_POST(pf, pan), 1);
    EXPECT_EQ(text(name), "two words");
    EXPECT_EQ(itemOf(object), cage);
    PAN_KILL(pf, pan);
}

TEST_F(Panels, CancelAnswersZero) {
    build();
    script.execute({"Respond", "Cancel"});
    EXPECT_EQ(PAN_POST(pf, pan), 0);
    EXPECT_EQ(layout.panels().takePendingError(), "");
    EXPECT_NE(out.str().find("panel: Add Cage -> Cancel\n"), std::string::npos);
    PAN_KILL(pf, pan);
}

TEST_F(Panels, ResponsesAreTakenInTheOrderQueued) {
    build();
    script.execute({"Respond", "Cancel", "Name=first"});
    script.execute({"Respond", "OK", "Name=second"});
    EXPECT_EQ(PAN_POST(pf, pan), 0);
    EXPECT_EQ(text(name), "first");
    EXPECT_EQ(PAN_POST(pf, pan), 1);
    EXPECT_EQ(text(name), "second");
    EXPECT_EQ(layout.panels().queuedResponses(), 0u);
    PAN_KILL(pf, pan);
}

TEST_F(Panels, NoResponseIsCancelAndStopsTheScript) {
    build();
    EXPECT_EQ(PAN_POST(pf, pan), 0);
    EXPECT_EQ(out.str().find("panel:"), std::string::npos);
    // The next script command reports it.
    try {
        script.execute({"Select", "Box"});
        FAIL() << "the script went on";
    } catch (const host::HostError& e) {
        EXPECT_STREQ(e.what(), "panel \"Add Cage\" opened with no response queued (use Respond)");
    }
    EXPECT_EQ(layout.panels().takePendingError(), "");
    PAN_KILL(pf, pan);
}

TEST_F(Panels, UnknownLabelIsAnErrorAndNothingIsSet) {
    build();
    SET_STR(name, (char*)"before", 7);
    script.execute({"Respond", "OK", "Name=after", "Colour=red"});
    EXPECT_EQ(PAN_POST(pf, pan), 0);
    EXPECT_EQ(layout.panels().takePendingError(), "panel \"Add Cage\" has no control \"Colour\"");
    EXPECT_EQ(text(name), "before");
    PAN_KILL(pf, pan);
}

TEST_F(Panels, ItemsMustExistAndBeOfTheListsType) {
    build();
    script.execute({"Respond", "OK", "Object=Nowhere"});
    EXPECT_EQ(PAN_POST(pf, pan), 0);
    EXPECT_EQ(layout.panels().takePendingError(),
              "panel \"Add Cage\", control \"Object\": no item named 'Nowhere'");
    script.execute({"Respond", "OK", "Object=Key"});
    EXPECT_EQ(PAN_POST(pf, pan), 0);
    EXPECT_EQ(layout.panels().takePendingError(),
              "panel \"Add Cage\", control \"Object\": 'Key' is a light; the list shows object "
              "items");
    EXPECT_EQ(itemOf(object), nullptr);
    PAN_KILL(pf, pan);
}

TEST_F(Panels, AnyItemListTakesLightsToo) {
    pan = PAN_CREATE(pf, (char*)"Pick");
    LWPanControlDesc desc;
    std::memset(&desc, 0, sizeof desc);
    LWControl* any = PIKITEM_CTL(pf, pan, (char*)"Item", nullptr, LWI_ANY, 200);
    script.execute({"Respond", "OK", "Item=Key"});
    EXPECT_EQ(PAN_POST(pf, pan), 1);
    EXPECT_EQ(itemOf(any), layout.scene().find("Key")->id);
    PAN_KILL(pf, pan);
}

TEST_F(Panels, NoneClearsTheItem) {
    build();
    SET_ADDR(object, box);
    ASSERT_EQ(itemOf(object), box);
    script.execute({"Respond", "OK", "Object=(none)"});
    EXPECT_EQ(PAN_POST(pf, pan), 1);
    EXPECT_EQ(itemOf(object), nullptr);
    int n = -1;
    GET_INT(object, n);
    EXPECT_EQ(n, 0);
    PAN_KILL(pf, pan);
}

TEST_F(Panels, ATruncatedItemIdFindsTheWholeOneAgain) {
    build();
    // The old samples keep item IDs as int.
    SET_INT(object, int(host::Scene::fileId(cage)));
    EXPECT_EQ(itemOf(object), cage);
    int n = 0;
    GET_INT(object, n);
    EXPECT_EQ(unsigned(n), host::Scene::fileId(cage));
    PAN_KILL(pf, pan);
}

TEST_F(Panels, ChoicesRangesNumbersAndVectors) {
    pan = PAN_CREATE(pf, (char*)"Options");
    LWPanControlDesc desc;
    std::memset(&desc, 0, sizeof desc);
    static const char* modes[] = {"Linear", "Smooth", "Stepped", nullptr};
    LWControl* mode = POPDOWN_CTL(pf, pan, (char*)"Mode", modes);
    std::memset(&desc, 0, sizeof desc);
    LWControl* level = MINISLIDER_CTL(pf, pan, (char*)"Level", 60, 0, 10);
    std::memset(&desc, 0, sizeof desc);
    desc.type = LWT_FLOAT;
    LWControl* falloff = pf->addControl(pan, (char*)"FloatControl", &desc, (char*)"Falloff");
    std::memset(&desc, 0, sizeof desc);
    desc.type = LWT_VFLOAT;
    LWControl* centre = pf->addControl(pan, (char*)"FVecControl", &desc, (char*)"Centre");
    ASSERT_TRUE(mode && level && falloff && centre);

    script.execute({"Respond", "OK", "Mode=Stepped", "Level=7", "Falloff=2.5", "Centre=1 -2 3.5"});
    EXPECT_EQ(PAN_POST(pf, pan), 1);
    int m = -1, l = -1;
    GET_INT(mode, m);
    GET_INT(level, l);
    EXPECT_EQ(m, 2);
    EXPECT_EQ(l, 7);
    double f = 0, x = 0, y = 0, z = 0;
    GET_FLOAT(falloff, f);
    EXPECT_DOUBLE_EQ(f, 2.5);
    GET_FVEC(centre, x, y, z);
    EXPECT_DOUBLE_EQ(x, 1);
    EXPECT_DOUBLE_EQ(y, -2);
    EXPECT_DOUBLE_EQ(z, 3.5);

    script.execute({"Respond", "OK", "Mode=1"});
    EXPECT_EQ(PAN_POST(pf, pan), 1);
    GET_INT(mode, m);
    EXPECT_EQ(m, 1);

    for (const char* bad : {"Level=11", "Mode=Cubic", "Mode=3", "Falloff=lots", "Centre=1 2"}) {
        script.execute({"Respond", "OK", bad});
        EXPECT_EQ(PAN_POST(pf, pan), 0) << bad;
        EXPECT_NE(layout.panels().takePendingError(), "") << bad;
    }
    GET_INT(level, l);
    EXPECT_EQ(l, 7);
    PAN_KILL(pf, pan);
}

TEST_F(Panels, ControlEventsAndPanelHooksRunAsAPersonWouldTriggerThem) {
    build();
    static char panelData[] = "pan", nameData[] = "name", buttonData[] = "apply";
    PAN_SETDATA(pf, pan, panelData);
    pf->set(pan, PAN_USEROPEN, (void*)onOpen);
    pf->set(pan, PAN_USERCLOSE, (void*)onClose);
    CON_SETEVENT(name, onEvent, nameData);
    LWPanControlDesc desc;
    std::memset(&desc, 0, sizeof desc);
    LWControl* apply = BUTTON_CTL(pf, pan, (char*)"Apply");
    CON_SETEVENT(apply, onEvent, buttonData);

    script.execute({"Respond", "OK", "Name=x", "Apply=press"});
    EXPECT_EQ(PAN_POST(pf, pan), 1);
    EXPECT_EQ(events,
              (std::vector<std::string>{"open:pan", "event:name", "event:apply", "close:pan"}));
    PAN_KILL(pf, pan);
}

TEST_F(Panels, AGhostedControlCannotBeAnswered) {
    build();
    GHOST_CON(name);
    EXPECT_EQ(CON_W(name) > 0, true);
    name->get(name, CTL_FLAGS, &ival);
    EXPECT_TRUE(ival.intv.value & CTLF_DISABLE);
    script.execute({"Respond", "OK", "Name=x"});
    EXPECT_EQ(PAN_POST(pf, pan), 0);
    EXPECT_EQ(layout.panels().takePendingError(),
              "control \"Name\" of panel \"Add Cage\" is disabled");
    UNGHOST_CON(name);
    script.execute({"Respond", "OK", "Name=x"});
    EXPECT_EQ(PAN_POST(pf, pan), 1);
    PAN_KILL(pf, pan);
}

TEST_F(Panels, NonModalPanelsStayOpenUntilClosedOrAnswered) {
    build();
    EXPECT_EQ(pf->open(pan, PANF_FRAME), 1);
    EXPECT_EQ(pf->handle(pan, 0), 0);
    pf->close(pan);
    EXPECT_EQ(pf->handle(pan, 0), -1);

    EXPECT_EQ(pf->open(pan, 0), 1);
    script.execute({"Respond", "OK", "Name=waited"});
    EXPECT_EQ(pf->handle(pan, EVNT_BLOCKING), -1);
    EXPECT_EQ(text(name), "waited");
    int result = -1;
    pf->get(pan, PAN_RESULT, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(layout.panels().queuedResponses(), 0u);
    PAN_KILL(pf, pan);
}

TEST_F(Panels, PanelAndControlAttributes) {
    build();
    const char* title = nullptr;
    pf->get(pan, PAN_TITLE, &title);
    EXPECT_STREQ(title, "Add Cage");
    EXPECT_EQ(PAN_GETVERSION(pf, pan), LWPANELS_API_VERSION);
    EXPECT_GT(PAN_GETW(pf, pan), 0);
    PAN_SETW(pf, pan, 321);
    PAN_SETH(pf, pan, 123);
    EXPECT_EQ(PAN_GETW(pf, pan), 321);
    EXPECT_EQ(PAN_GETH(pf, pan), 123);
    int marker = 0;
    PAN_SETDATA(pf, pan, &marker);
    void* data = nullptr;
    pf->get(pan, PAN_USERDATA, &data);
    EXPECT_EQ(data, &marker);
    void* funcs = nullptr;
    pf->get(pan, PAN_PANFUN, &funcs);
    EXPECT_EQ(funcs, pf);

    // Controls come back in the order they were added.
    std::vector<std::string> labels;
    for (LWControl* c = pf->nextControl(pan, nullptr); c; c = pf->nextControl(pan, c)) {
        char buf[32] = "";
        sval.str.buf = buf;
        sval.str.bufLen = int(sizeof buf);
        c->get(c, CTL_LABEL, &sval);
        labels.push_back(buf);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"Object", "Name", "Smooth"}));
    int objectY = CON_Y(object), nameY = CON_Y(name);
    EXPECT_GT(nameY, objectY); // stacked
    MOVE_CON(name, 40, 50);
    EXPECT_EQ(CON_X(name), 40);
    EXPECT_EQ(CON_Y(name), 50);
    EXPECT_EQ(CON_PAN(name), pan);
    EXPECT_EQ(CON_MOUSEX(name), 0);

    LWPanControlDesc desc;
    std::memset(&desc, 0, sizeof desc);
    EXPECT_EQ(pf->addControl(pan, (char*)"NoSuchControl", &desc, (char*)"X"), nullptr);
    PAN_KILL(pf, pan);
}

TEST_F(Panels, DestroyFreesAndStaleOrForeignIdsAreIgnored) {
    build();
    LWPanelID other = PAN_CREATE(pf, (char*)"Other");
    EXPECT_EQ(layout.panels().panelCount(), 2u);
    auto get = name->get;
    auto set = name->set;
    LWControl* stale = name;
    PAN_KILL(pf, pan);
    EXPECT_EQ(layout.panels().panelCount(), 1u);

    // Nothing behind these is touched.
    char buf[8] = "same";
    sval.str.buf = buf;
    sval.str.bufLen = 8;
    get(stale, CTL_VALUE, &sval);
    set(stale, CTL_VALUE, &sval);
    EXPECT_STREQ(buf, "same");
    int foreign = 0;
    EXPECT_EQ(pf->open(pan, PANF_BLOCKING), 0);
    EXPECT_EQ(pf->open(&foreign, PANF_BLOCKING), 0);
    EXPECT_EQ(pf->open(nullptr, PANF_BLOCKING), 0);
    EXPECT_EQ(layout.panels().takePendingError(), ""); // no panel, nothing asked
    EXPECT_EQ(pf->handle(&foreign, 0), -1);
    EXPECT_EQ(pf->nextControl(&foreign, nullptr), nullptr);
    EXPECT_EQ(pf->nextControl(other, stale), nullptr);
    pf->draw(&foreign, DR_RENDER);
    pf->close(nullptr);
    pf->set(&foreign, PAN_TITLE, (void*)"x");
    pf->get(nullptr, PAN_W, &foreign);
    EXPECT_EQ(foreign, 0);
    pf->destroy(&foreign);
    pf->destroy(nullptr);
    LWPanControlDesc desc;
    std::memset(&desc, 0, sizeof desc);
    EXPECT_EQ(pf->addControl(pan, (char*)"BoolControl", &desc, (char*)"X"), nullptr);
    EXPECT_EQ(layout.panels().panelCount(), 1u);
    // "Other" is left for the host to free at its end.
}

TEST_F(Panels, RespondRefusesMalformedWords) {
    EXPECT_THROW(script.execute({"Respond"}), host::HostError);
    EXPECT_THROW(script.execute({"Respond", "Maybe"}), host::HostError);
    EXPECT_THROW(script.execute({"Respond", "OK", "Name"}), host::HostError);
    EXPECT_THROW(script.execute({"Respond", "OK", "=abc"}), host::HostError);
    EXPECT_EQ(layout.panels().queuedResponses(), 0u);
    script.execute({"Respond", "OK", "Name=a=b"});
    build();
    EXPECT_EQ(PAN_POST(pf, pan), 1);
    EXPECT_EQ(text(name), "a=b");
    PAN_KILL(pf, pan);
}

TEST_F(Panels, DrawFuncsAreHeadlessButMeasure) {
    DrawFuncs* df = pf->drawFuncs;
    ASSERT_NE(df, nullptr);
    const LWDisplayMetrics* dm = df->dispMetrics();
    ASSERT_NE(dm, nullptr);
    EXPECT_GT(dm->width, 0);
    EXPECT_GT(dm->textHeight, 0);
    EXPECT_EQ(df->textWidth(nullptr, (char*)"abcd"), 2 * df->textWidth(nullptr, (char*)"ab"));
    EXPECT_EQ(df->textWidth(nullptr, nullptr), 0);
    df->drawBox(nullptr, LWP_BG, 0, 0, 10, 10);
    df->drawText(nullptr, nullptr, LWP_NORMAL, 0, 0);
}

class Rasters : public ::testing::Test {
  protected:
    Rasters() : layout(out) {
        rf = static_cast<LWRasterFuncs*>(layout.services().lookup("RasterServices"));
    }
    unsigned pixel(LWRasterID r, int x, int y) {
        unsigned v = 0xDEADBEEF;
        EXPECT_TRUE(layout.panels().readRasterPixel(r, x, y, &v)) << x << "," << y;
        return v;
    }
    std::ostringstream out;
    host::Host layout;
    LWRasterFuncs* rf = nullptr;
};

TEST_F(Rasters, DrawsIntoMemory) {
    LWRasterID r = rf->create(16, 8, 0);
    ASSERT_NE(r, nullptr);
    unsigned bg = pixel(r, 0, 0);
    rf->drawRGBBox(r, 255, 128, 0, 2, 2, 3, 2);
    EXPECT_EQ(pixel(r, 2, 2), 0xFF8000u);
    EXPECT_EQ(pixel(r, 4, 3), 0xFF8000u);
    EXPECT_EQ(pixel(r, 5, 3), bg);
    EXPECT_EQ(pixel(r, 4, 4), bg);

    // RGB_ puts blue above green.
    rf->drawPixel(r, int(RGB_(10, 20, 30)), 0, 7);
    EXPECT_EQ(pixel(r, 0, 7), 0x0A141Eu);

    rf->drawLine(r, int(RGB_(0, 0, 255)), 0, 0, 7, 7);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(pixel(r, i, i), 0x0000FFu) << i;
    EXPECT_EQ(pixel(r, 1, 0), bg);

    rf->eraseBox(r, 0, 0, 16, 8);
    EXPECT_EQ(pixel(r, 3, 3), bg);

    // Clipped, never outside.
    rf->drawRGBBox(r, 1, 2, 3, -5, -5, 100, 100);
    EXPECT_EQ(pixel(r, 15, 7), 0x010203u);
    rf->drawRGBPixel(r, 9, 9, 9, 16, 0);
    rf->drawLine(r, LWP_NORMAL, -100, -100, 200, 300);
    unsigned dummy;
    EXPECT_FALSE(layout.panels().readRasterPixel(r, 16, 0, &dummy));

    rf->drawBorder(r, 1, 0, 0, 16, 8);
    EXPECT_NE(pixel(r, 0, 0), pixel(r, 15, 7)); // light and dark sides
    rf->drawText(r, (char*)"text", LWP_NORMAL, 1, 1);
    rf->destroy(r);
    EXPECT_EQ(layout.panels().rasterCount(), 0u);
}

TEST_F(Rasters, BlitCopiesARectangle) {
    LWRasterID a = rf->create(4, 4, 0);
    LWRasterID b = rf->create(4, 4, 0);
    rf->drawRGBBox(a, 0, 255, 0, 0, 0, 2, 2);
    rf->blitRaster(a, 0, 0, b, 2, 2, 2, 2);
    EXPECT_EQ(pixel(b, 2, 2), 0x00FF00u);
    EXPECT_EQ(pixel(b, 3, 3), 0x00FF00u);
    EXPECT_NE(pixel(b, 1, 1), 0x00FF00u);
    // Overlapping copy within one raster reads the source as it was.
    rf->blitRaster(a, 0, 0, a, 1, 1, 3, 3);
    EXPECT_EQ(pixel(a, 2, 2), 0x00FF00u);
    EXPECT_NE(pixel(a, 3, 3), 0x00FF00u);
    rf->blitPanel(a, 0, 0, nullptr, 0, 0, 4, 4);
    rf->destroy(a);
    rf->destroy(b);
    EXPECT_EQ(layout.panels().rasterCount(), 0u);
}

TEST_F(Rasters, RefusesBadSizesAndIgnoresForeignIds) {
    EXPECT_EQ(rf->create(0, 10, 0), nullptr);
    EXPECT_EQ(rf->create(10, -1, 0), nullptr);
    EXPECT_EQ(rf->create(1 << 20, 1 << 20, 0), nullptr);
    int foreign = 0;
    rf->drawBox(&foreign, LWP_BG, 0, 0, 10, 10);
    rf->drawPixel(nullptr, LWP_BG, 0, 0);
    rf->blitRaster(&foreign, 0, 0, nullptr, 0, 0, 1, 1);
    rf->destroy(&foreign);
    EXPECT_EQ(foreign, 0);
    // Left undestroyed: the host frees it.
    EXPECT_NE(rf->create(2, 2, 0), nullptr);
    EXPECT_EQ(layout.panels().rasterCount(), 1u);
}

} // namespace
