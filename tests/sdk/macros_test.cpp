// What the helper macros expand to when driven through fake host records,
// plus the panel and XPanel enumerations they rely on.
#include "lwpanel.h"
#include "lwxpanel.h"
#include "lwio.h"
#include "lwlaytool.h"
#include "lwrender.h"

#include "c_side.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

uintptr_t word(const void* p) {
    return reinterpret_cast<uintptr_t>(p);
}

TEST(SdkXPanel, Enumerations) {
    EXPECT_EQ(LWXP_VIEW, 1);
    EXPECT_EQ(LWXP_FORM, 2);
    EXPECT_EQ(LWXPEVENT_TRACK, 1);
    EXPECT_EQ(LWXPEVENT_VALUE, 2);
    EXPECT_EQ(LWXPEVENT_HIT, 3);
    EXPECT_EQ(LWXPEVENT_FOCUS, 4);
    EXPECT_EQ(LWXPEVENT_LOSEFOCUS, 5);
    EXPECT_EQ(LWXPRC_NONE, 0);
    EXPECT_EQ(LWXPRC_DFLT, 1);
    EXPECT_EQ(LWXPRC_DRAW, 2);
    EXPECT_EQ(LWXPRC_FULL, 3);
    EXPECT_EQ(LWXPDLG_OKCANCEL, 2);
    EXPECT_EQ(LWXPDLG_DONE, 3);
    EXPECT_EQ(LWXPDLG_OKONLY, 4);
    EXPECT_EQ(LWXPDLG_YESNO, 5);
    EXPECT_EQ(LWXPDLG_YESNOALL, 6);
    EXPECT_EQ(LWXPDLG_YESNOCAN, 7);
    EXPECT_EQ(LWXPTEXTXFORM_TODISPLAY, 0);
    EXPECT_EQ(LWXPTEXTXFORM_FROMDISPLAY, 1);
    EXPECT_EQ(LWXPREQ_LOAD, 0);
    EXPECT_EQ(LWXPREQ_SAVE, 1);
    EXPECT_EQ(LWXPREQ_DIR, 2);
    EXPECT_EQ(LWXPBDR_NONE, 0);
    EXPECT_EQ(LWXPBDR_UP, 1);
    EXPECT_EQ(LWXPBDR_DOWN, 2);
}

TEST(SdkXPanel, ThumbnailBits) {
    EXPECT_EQ(THUM_SML, 1);
    EXPECT_EQ(THUM_MED, 2);
    EXPECT_EQ(THUM_LRG, 4);
    EXPECT_EQ(THUM_XLG, 8);
    EXPECT_EQ(THUM_SNGL, 16);
    EXPECT_EQ(THUM_BORDER_UP, 0x200);
    EXPECT_EQ(THUM_BORDER_DOWN, 0x400);
    EXPECT_EQ(THUM_BORDER_NONE, 0x600);
    EXPECT_EQ(THUM_SQ, 0x10000);
    EXPECT_EQ(THUM_NTSC, 0x20000);
    EXPECT_EQ(THUM_LAND, 0x20000);
    EXPECT_EQ(THUM_35MM, 0x40000);
    EXPECT_EQ(THUM_PORT, 0x80000);
    EXPECT_EQ(THUM_WIDE, 0x100000);
    EXPECT_EQ(THUM_ANAW, 0x200000);
    EXPECT_EQ(THUM_EURO, 0x400000);
    EXPECT_EQ(static_cast<unsigned int>(THUM_FULL), 0x80000000u);
}

struct TagCase {
    const char* name;
    unsigned long value;
    unsigned long expected;
};

TEST(SdkXPanel, TagValues) {
    const TagCase tags[] = {
        {"CALL", XPTAG_CALL, 0x000DD002},
        {"NEST", XPTAG_NEST, 0x00000101},
        {"LABEL", XPTAG_LABEL, 0x3D000B03},
        {"CLASS", XPTAG_CLASS, 0x3D000C02},
        {"ADD", XPTAG_ADD, 0x3D000D03},
        {"DELETE", XPTAG_DELETE, 0x3D000E01},
        {"CHGNOTIFY", XPTAG_CHGNOTIFY, 0x3D000F01},
        {"FOCUS", XPTAG_FOCUS, 0x3D001201},
        {"AUTORESTORE", XPTAG_AUTORESTORE, 0x3D001481},
        {"DESTROYNOTIFY", XPTAG_DESTROYNOTIFY, 0x3D001302},
        {"VALUE", XPTAG_VALUE, 0x3D006502},
        {"LINK", XPTAG_LINK, 0x3D006681},
        {"IMMUPD", XPTAG_IMMUPD, 0x3D006781},
        {"TRACK", XPTAG_TRACK, 0x3D006802},
        {"ORIENT", XPTAG_ORIENT, 0x3D00CB02},
        {"MIN", XPTAG_MIN, 0x3D014002},
        {"MAX", XPTAG_MAX, 0x3D014102},
        {"STEP", XPTAG_STEP, 0x3D014202},
        {"RANGE", XPTAG_RANGE, 0x3D014304},
        {"SENS", XPTAG_SENS, 0x3D014402},
        {"STRLIST", XPTAG_STRLIST, 0x3D014503},
        {"HARDMINMAX", XPTAG_HARDMINMAX, 0x3D014703},
        {"CLRMINMAX", XPTAG_CLRMINMAX, 0x3D014803},
        {"BUTNOTIFY", XPTAG_BUTNOTIFY, 0x3D015F02},
        {"POPCMDFUNC", XPTAG_POPCMDFUNC, 0x3D016002},
        {"POPFUNCS", XPTAG_POPFUNCS, 0x3D016203},
        {"INTXFORM", XPTAG_INTXFORM, 0x3D016303},
        {"DRAWCBFUNC", XPTAG_DRAWCBFUNC, 0x3D016502},
        {"ZOOMCBFUNC", XPTAG_ZOOMCBFUNC, 0x3D016603},
        {"TEXTXFORMFUNC", XPTAG_TEXTXFORMFUNC, 0x3D016802},
        {"VECLABEL", XPTAG_VECLABEL, 0x3D017202},
        {"CTRLFRONT", XPTAG_CTRLFRONT, 0x3D017301},
        {"CTRLCFG", XPTAG_CTRLCFG, 0x3D017403},
        {"XREQCFG", XPTAG_XREQCFG, 0x3D019105},
        {"ALIAS", XPTAG_ALIAS, 0x3D01F481},
        {"UNALIAS", XPTAG_UNALIAS, 0x3D01F581},
        {"ENABLE", XPTAG_ENABLE, 0x3D01F984},
        {"GROUP", XPTAG_GROUP, 0x3D01FE81},
        {"ORDER", XPTAG_ORDER, 0x3D01FF81},
        {"STACK", XPTAG_STACK, 0x3D020983},
        {"TABS", XPTAG_TABS, 0x3D020A81},
        {"LEFT", XPTAG_LEFT, 0x3D021280},
        {"NARROW", XPTAG_NARROW, 0x3D021380},
        {"DIVADD", XPTAG_DIVADD, 0x3D021481},
        {"DIVREM", XPTAG_DIVREM, 0x3D021581},
        {"BORDER", XPTAG_BORDER, 0x3D021501},
        {"DLOGTYPE", XPTAG_DLOGTYPE, 0x3D02BD01},
    };
    for (const TagCase& t : tags)
        EXPECT_EQ(t.value, t.expected) << "XPTAG_" << t.name;
    EXPECT_EQ(XPTAG_END, 0);
    EXPECT_EQ(XPTAG_NULL, 0);
}

// The low byte of a regular tag counts the fixed words that follow it; the
// macros must emit exactly that many (id lists are the caller's).
template <size_t N> size_t words(LWXPanelHint (&)[N]) {
    return N;
}

TEST(SdkXPanel, MacrosEmitTheTagsArgumentCount) {
    static const char* strs[] = {"a", nullptr};
    LWXPanelHint label[] = {XpLABEL(0, "Title")};
    LWXPanelHint destroy[] = {XpDESTROYNOTIFY(0)};
    LWXPanelHint strlist[] = {XpSTRLIST(0x8001, strs)};
    LWXPanelHint range[] = {XpRANGE(0x8001, 0, 10, 1)};
    LWXPanelHint xreq[] = {XpXREQCFG(0x8001, LWXPREQ_LOAD, "Load", "*.lwo")};
    LWXPanelHint cfg[] = {XpCTRLCFG(0x8001, THUM_SML)};
    LWXPanelHint hard[] = {XpHARDMINMAX(0x8001, 1, 0)};
    LWXPanelHint min[] = {XpMIN(0x8001, 2)};
    LWXPanelHint popf[] = {XpPOPFUNCS(0x8001, 0, 0)};
    LWXPanelHint add[] = {XpADD(0x8001, "float", 0x8002)};
    LWXPanelHint del[] = {XpDELETE(0x8001)};
    LWXPanelHint border[] = {XpBORDER(LWXPBDR_UP)};
    LWXPanelHint dlog[] = {XpDLOGTYPE(LWXPDLG_OKONLY)};
    LWXPanelHint stack[] = {XpSTACK_(0x8003, 0x8001)};
    LWXPanelHint enable[] = {XpENABLE_(0x8001)};
    LWXPanelHint restore[] = {XpRESTORE_()};
    LWXPanelHint group[] = {XpGROUP_(0x8003)};
    LWXPanelHint left[] = {XpLEFT_()};
    struct Case {
        const char* what;
        size_t emitted;
        LWXPanelHint first;
    } cases[] = {
        {"LABEL", words(label), label[0]},       {"DESTROYNOTIFY", words(destroy), destroy[0]},
        {"STRLIST", words(strlist), strlist[0]}, {"RANGE", words(range), range[0]},
        {"XREQCFG", words(xreq), xreq[0]},       {"CTRLCFG", words(cfg), cfg[0]},
        {"HARDMINMAX", words(hard), hard[0]},    {"MIN", words(min), min[0]},
        {"POPFUNCS", words(popf), popf[0]},      {"ADD", words(add), add[0]},
        {"DELETE", words(del), del[0]},          {"BORDER", words(border), border[0]},
        {"DLOGTYPE", words(dlog), dlog[0]},      {"STACK_", words(stack), stack[0]},
        {"ENABLE_", words(enable), enable[0]},   {"RESTORE_", words(restore), restore[0]},
        {"GROUP_", words(group), group[0]},      {"LEFT_", words(left), left[0]},
    };
    for (const Case& c : cases) {
        const uintptr_t tag = word(c.first);
        EXPECT_EQ(tag & 0xFF000000u, 0x3D000000u) << c.what;
        EXPECT_EQ(c.emitted - 1, tag & 0x7Fu) << c.what;
    }
    // List-opening macros carry the list bit; single-shot ones do not.
    EXPECT_NE(word(stack[0]) & 0x80u, 0u);
    EXPECT_NE(word(group[0]) & 0x80u, 0u);
    EXPECT_EQ(word(label[0]) & 0x80u, 0u);
    EXPECT_EQ(std::strcmp(static_cast<const char*>(label[2]), "Title"), 0);
    EXPECT_EQ(label[3], nullptr);
}

TEST(SdkXPanel, IrregularTagsAndSelfTerminatedForms) {
    LWXPanelHint call[] = {XpCALL(0), XpSUBCALL(0x8001, 0)};
    EXPECT_EQ(word(call[0]), 0x000DD002u);
    EXPECT_EQ(call[1], nullptr);
    EXPECT_EQ(word(call[4]), 0x8001u);
    LWXPanelHint nest[] = {XpNEST(0x8001)};
    EXPECT_EQ(word(nest[0]), 0x101u);
    LWXPanelHint en[] = {XpENABLE(0x8001, 0x8002)};
    ASSERT_EQ(words(en), 7u);
    EXPECT_EQ(word(en[1]), 0x8001u);
    EXPECT_EQ(word(en[5]), 0x8002u);
    EXPECT_EQ(en[6], nullptr);
    LWXPanelHint on[] = {XpRESTORE_ON}, off[] = {XpRESTORE_OFF};
    EXPECT_EQ(word(on[1]), 1u);
    EXPECT_EQ(word(off[1]), 0u);
    LWXPanelHint pop[] = {XpPOPXFORM(0x8001, 2, 0)}, cho[] = {XpCHOXFORM(0x8001, 2, 0)};
    EXPECT_EQ(word(pop[0]), 0x3D016303u);
    EXPECT_EQ(word(cho[0]), 0x3D016303u);
    EXPECT_EQ(XpEND, nullptr);
}

TEST(SdkXPanel, HintArrayWrittenInC) {
    ASSERT_EQ(sdk_c_hint_words(), 19u);
    const uintptr_t expected[] = {
        0x3D000B03, 0,          0 /* title */, 0,      0x3D000F01, 0 /* fn */,
        0x3D014503, 0x8002,     0 /* list */,  0,      0x3D014002, 0x8001,
        1,          0x3D01FE81, 0x8003,        0x8001, 0x8002,     0,
        0};
    for (size_t i = 0; i < 19; ++i) {
        if (i == 2 || i == 5 || i == 8) {
            EXPECT_NE(sdk_c_hint_word(i), nullptr) << "word " << i;
            continue;
        }
        EXPECT_EQ(word(sdk_c_hint_word(i)), expected[i]) << "word " << i;
    }
    EXPECT_STREQ(static_cast<const char*>(sdk_c_hint_word(2)), "Cage");
}

// ---- form helpers through a fake XPanel ----

std::map<unsigned int, std::vector<unsigned char>> formStore;

void* fakeFormGet(LWXPanelID, unsigned int vid) {
    return formStore[vid].data();
}

void fakeFormSet(LWXPanelID, unsigned int vid, void* value) {
    // 0x8001 holds an int, 0x8002 a double.
    size_t size = vid == 0x8001 ? sizeof(int) : sizeof(double);
    auto& slot = formStore[vid];
    slot.assign(static_cast<unsigned char*>(value), static_cast<unsigned char*>(value) + size);
}

TEST(SdkXPanel, FormHelpersPassAddressesOfTemporaries) {
    LWXPanelFuncs xf{};
    xf.formGet = fakeFormGet;
    xf.formSet = fakeFormSet;
    LWXPanelFuncs* f = &xf;
    FSETINT(f, nullptr, 0x8001, 42);
    FSETFLT(f, nullptr, 0x8002, 0.25);
    EXPECT_EQ(FGETINT(f, nullptr, 0x8001), 42);
    EXPECT_EQ(FGETFLT(f, nullptr, 0x8002), 0.25);
}

// ---- load/save macros ----

struct Reader {
    int calls = 0;
    int lastN = 0;
    int depth = 2;
};

int readI4(void* data, int* vals, int n) {
    auto* r = static_cast<Reader*>(data);
    for (int i = 0; i < n; ++i)
        vals[i] = 100 + i;
    r->calls++;
    r->lastN = n;
    return n;
}

int readStr(void* data, char* buf, int bufLen) {
    static_cast<Reader*>(data)->calls++;
    std::strncpy(buf, "cage", static_cast<size_t>(bufLen));
    return 4;
}

LWID findBlk(void* data, const LWBlockIdent* idents) {
    static_cast<Reader*>(data)->calls++;
    return idents[1].id;
}

int readDepth(void* data) {
    return static_cast<Reader*>(data)->depth;
}

TEST(SdkIo, LoadMacrosPassReadDataFirst) {
    Reader r;
    LWLoadState ls{};
    ls.ioMode = LWIO_SCENE;
    ls.readData = &r;
    ls.readI4 = readI4;
    ls.readStr = readStr;
    ls.findBlk = findBlk;
    ls.depth = readDepth;
    int v[3] = {0, 0, 0};
    EXPECT_EQ(LWLOAD_I4(&ls, v, 3), 3);
    EXPECT_EQ(v[2], 102);
    char buf[8] = {0};
    EXPECT_EQ(LWLOAD_STR(&ls, buf, 8), 4);
    EXPECT_STREQ(buf, "cage");
    const LWBlockIdent ids[] = {
        {LWID_('A', 'A', 'A', 'A'), "A"}, {LWID_('C', 'A', 'G', 'E'), "Cage"}, {0, nullptr}};
    EXPECT_EQ(LWLOAD_FIND(&ls, ids), 0x43414745u);
    EXPECT_EQ(LWLOAD_DEPTH(&ls), 2);
    EXPECT_EQ(r.calls, 3);
}

TEST(SdkIo, SaveMacrosFromC) {
    int out[3] = {0, 0, 0};
    // inside the block the depth is 1; after LWSAVE_END it is 0 again
    EXPECT_EQ(sdk_c_save_through_macros(out, 3), 10);
    EXPECT_EQ(out[0], static_cast<int>(0x43414745u + 1)); // block id + leaf flag
    EXPECT_EQ(out[1], 7);
    EXPECT_EQ(out[2], -3);
}

// ---- a Layout tool activated by C code ----

TEST(SdkTool, ActivationFillsEverySlot) {
    LWLayoutToolFuncs funcs{};
    LWLayoutTool local{nullptr, &funcs};
    EXPECT_EQ(sdk_c_activate_layout_tool(2, &local), AFUNC_BADVERSION);
    ASSERT_EQ(sdk_c_activate_layout_tool(LWLAYOUTTOOL_VERSION, &local), AFUNC_OK);
    ASSERT_NE(local.instance, nullptr);
    void* const* slots = reinterpret_cast<void* const*>(&funcs);
    for (size_t i = 0; i < sizeof funcs / sizeof(void*); ++i)
        EXPECT_NE(slots[i], nullptr) << "slot " << i;
    EXPECT_EQ(funcs.dirty(local.instance), LWT_DIRTY_WIREFRAME | LWT_DIRTY_HELPTEXT);
    LWToolEvent ev{};
    ev.flags = LWTOOLF_ALT_BUTTON;
    EXPECT_EQ(funcs.down(local.instance, &ev), 1);
    EXPECT_STREQ(funcs.help(local.instance, &ev), "help");
    LWDVector pos = {0, 0, 0};
    EXPECT_EQ(funcs.handle(local.instance, &ev, 5, pos), 1);
    EXPECT_EQ(pos[0], 5.0);
}

// ---- panels ----

struct FakeControl {
    LWControl ctl{};
    std::map<int, LWValue> values;
    std::vector<int> draws;
};

FakeControl* owner(LWControlID id) {
    return static_cast<FakeControl*>(id);
}

void ctlGet(LWControlID id, cTag tag, LWValue* v) {
    auto it = owner(id)->values.find(tag);
    if (it != owner(id)->values.end()) {
        const LWType keep = v->type;
        *v = it->second;
        v->type = keep;
    }
}
void ctlSet(LWControlID id, cTag tag, LWValue* v) {
    owner(id)->values[tag] = *v;
}
void ctlDraw(LWControlID id, DrMode mode) {
    owner(id)->draws.push_back(mode);
}

LWValue ival = {LWT_INTEGER}, ivecval = {LWT_VINT}, fval = {LWT_FLOAT}, fvecval = {LWT_VFLOAT},
        sval = {LWT_STRING}, pval = {LWT_POINTER};

TEST(SdkPanel, ValueMacrosGoThroughTheControl) {
    FakeControl fc;
    fc.ctl.get = ctlGet;
    fc.ctl.set = ctlSet;
    fc.ctl.draw = ctlDraw;
    // The control record is the first member, so its address is the id.
    LWControl* ctl = &fc.ctl;
    ASSERT_EQ(static_cast<void*>(ctl), static_cast<void*>(&fc));

    int n = 0;
    SET_INT(ctl, 17);
    GET_INT(ctl, n);
    EXPECT_EQ(n, 17);
    double f = 0;
    SET_FLOAT(ctl, 2.5);
    GET_FLOAT(ctl, f);
    EXPECT_EQ(f, 2.5);
    double x = 0, y = 0, z = 0;
    SET_FVEC(ctl, 1.0, 2.0, 3.0);
    GET_FVEC(ctl, x, y, z);
    EXPECT_EQ(x + y * 10 + z * 100, 321.0);
    int iv[3] = {0, 0, 0};
    const int src[3] = {4, 5, 6};
    SETV_IVEC(ctl, src);
    GETV_IVEC(ctl, iv);
    EXPECT_EQ(iv[2], 6);
    char buf[] = "abc";
    SET_STR(ctl, buf, 4);
    EXPECT_EQ(fc.values[CTL_VALUE].str.buf, buf);
    EXPECT_EQ(fc.values[CTL_VALUE].str.bufLen, 4);

    void* addr = nullptr;
    SET_ADDR(ctl, &n);
    GET_ADDR(ctl, addr);
    EXPECT_EQ(addr, &n);

    MOVE_CON(ctl, 30, 40);
    EXPECT_EQ(CON_X(ctl), 30);
    EXPECT_EQ(CON_Y(ctl), 40);
    ACTIVATE_CON(ctl);
    EXPECT_EQ(fc.values.count(CTL_ACTIVATE), 1u);

    ERASE_CON(ctl);
    REDRAW_CON(ctl);
    GHOST_CON(ctl);
    RENDER_CON(ctl);
    UNGHOST_CON(ctl);
    EXPECT_EQ(fc.draws, (std::vector<int>{DR_ERASE, DR_REFRESH, DR_GHOST, DR_RENDER, DR_RENDER}));
}

struct AddedControl {
    std::string type;
    std::string label;
    LWPanControlDesc desc;
};
std::vector<AddedControl> added;
LWControl addedControl;

LWControl* fakeAdd(LWPanelID, char* type, ControlDesc* d, char* label) {
    added.push_back({type, label ? label : "", *d});
    return &addedControl;
}

char* popName(void*, int) {
    return nullptr;
}
int popCount(void*) {
    return 3;
}

TEST(SdkPanel, CreationMacrosFillTheDescription) {
    LWPanelFuncs funcs{};
    funcs.addControl = fakeAdd;
    LWPanelFuncs* pf = &funcs;
    LWPanelID pan = nullptr;
    LWPanControlDesc desc;
    std::memset(&desc, 0, sizeof desc);
    static const char* items[] = {"One", "Two", nullptr};
    char label[] = "L";
    added.clear();
    EXPECT_EQ(STRRO_CTL(pf, pan, label, 20), &addedControl);
    POPDOWN_CTL(pf, pan, label, items);
    CUSTPOPUP_CTL(pf, pan, label, 80, popName, popCount);
    MINISLIDER_CTL(pf, pan, label, 50, -5, 5);
    PERCENT_CTL(pf, pan, label);
    WBUTTON_CTL(pf, pan, label, 60);
    BOOL_CTL(pf, pan, label);
    ITEM_CTL(pf, pan, label, reinterpret_cast<void*>(&fakeAdd), LWI_OBJECT);
    PIKITEM_CTL(pf, pan, label, nullptr, LWI_CAMERA, 90);
    ASSERT_EQ(added.size(), 9u);
    EXPECT_EQ(added[0].type, "InfoControl");
    EXPECT_EQ(added[0].desc.type, LWT_STRING);
    EXPECT_EQ(added[0].desc.string.width, 20);
    EXPECT_EQ(added[0].label, "L");
    EXPECT_EQ(added[1].type, "PopDownControl");
    EXPECT_EQ(added[1].desc.choice.vertical, MX_POPUP);
    EXPECT_EQ(added[1].desc.choice.items, items);
    EXPECT_EQ(added[2].type, "CustomPopupControl");
    EXPECT_EQ(added[2].desc.type, LWT_POPUP);
    EXPECT_EQ(added[2].desc.popup.width, 80);
    EXPECT_EQ(added[2].desc.popup.countFn, &popCount);
    EXPECT_EQ(added[2].desc.popup.nameFn, &popName);
    EXPECT_EQ(added[3].type, "MiniSliderControl");
    EXPECT_EQ(added[3].desc.range.min, -5);
    EXPECT_EQ(added[3].desc.range.max, 5);
    EXPECT_EQ(added[3].desc.range.width, 50);
    EXPECT_EQ(added[4].type, "PercentControl");
    EXPECT_EQ(added[4].desc.range.max, 100);
    EXPECT_EQ(added[5].type, "ButtonControl");
    EXPECT_EQ(added[5].desc.type, LWT_AREA);
    EXPECT_EQ(added[5].desc.area.width, 60);
    EXPECT_EQ(added[5].desc.area.height, 0);
    EXPECT_EQ(added[6].type, "BoolControl");
    EXPECT_EQ(added[6].desc.type, LWT_BOOLEAN);
    EXPECT_EQ(added[7].type, "LWListControl");
    EXPECT_EQ(added[7].desc.type, LWT_LWITEM);
    EXPECT_EQ(added[7].desc.lwitem.itemType, LWI_OBJECT);
    EXPECT_EQ(added[7].desc.lwitem.width, 0);
    EXPECT_EQ(added[7].desc.lwitem.list, nullptr);
    EXPECT_EQ(added[8].type, "LWPickListControl");
    EXPECT_EQ(added[8].desc.lwitem.itemType, LWI_CAMERA);
    EXPECT_EQ(added[8].desc.lwitem.width, 90);
}

TEST(SdkPanel, AttributeTags) {
    EXPECT_EQ(PAN_X, 0);
    EXPECT_EQ(PAN_FLAGS, 6);
    EXPECT_EQ(PAN_USERDRAW, 7);
    EXPECT_EQ(PAN_USERCLOSE, 10);
    EXPECT_EQ(PAN_TITLE, 11);
    EXPECT_EQ(PAN_USERDATA, 12);
    EXPECT_EQ(PAN_USERKEYS, 13);
    EXPECT_EQ(PAN_MOUSEBUTTON, 15);
    EXPECT_EQ(PAN_VERSION, 18);
    EXPECT_EQ(PAN_RESULT, 19);
    EXPECT_EQ(PAN_QUALIFIERS, 22);
    EXPECT_EQ(PAN_MOUSEWHEEL, 24);
    EXPECT_EQ(CTL_X, 0);
    EXPECT_EQ(CTL_VALUE, 4);
    EXPECT_EQ(CTL_LABELWIDTH, 9);
    EXPECT_EQ(CTL_FLAGS, 12);
    EXPECT_EQ(CTL_USEREVENT, 14);
    EXPECT_EQ(CTL_USERDATA, 16);
    EXPECT_EQ(CTL_PANFUN, 18);
    EXPECT_EQ(CTL_RANGEMAX, 20);
    EXPECT_EQ(CTL_ACTIVATE, 21);
    EXPECT_EQ(CTL_MOUSEBUTTON, 22);
    EXPECT_EQ(CTL_MOUSELEFT, 1);
    EXPECT_EQ(CTL_MOUSECENTER, 2);
    EXPECT_EQ(CTL_MOUSERIGHT, 3);
    EXPECT_EQ(DR_ERASE, 0);
    EXPECT_EQ(DR_RENDER, 1);
    EXPECT_EQ(DR_GHOST, 2);
    EXPECT_EQ(DR_REFRESH, 3);
    EXPECT_EQ(MX_HCHOICE, 0);
    EXPECT_EQ(MX_VCHOICE, 1);
    EXPECT_EQ(MX_POPUP, 2);
}

TEST(SdkPanel, FlagsAndQualifiers) {
    EXPECT_EQ(PANF_BLOCKING, 1);
    EXPECT_EQ(PANF_CANCEL, 2);
    EXPECT_EQ(PANF_FRAME, 4);
    EXPECT_EQ(PANF_MOUSETRAP, 8);
    EXPECT_EQ(PANF_PASSALLKEYS, 16);
    EXPECT_EQ(PANF_ABORT, 32);
    EXPECT_EQ(PANF_NOBUTT, 64);
    EXPECT_EQ(PANF_RESIZE, 128);
    EXPECT_EQ(CTLF_DISABLE, 0x100);
    EXPECT_EQ(CTLF_INVISIBLE, 0x200);
    EXPECT_EQ(CTLF_GHOST, 0x100);
    EXPECT_EQ(EVNT_BLOCKING, 1);
    EXPECT_EQ(EVNT_ALL, 2);
    EXPECT_EQ(NODE_FLAG_EXPND, 1);
    EXPECT_EQ(NODE_FLAG_WRITE, 1024);
    EXPECT_EQ(IQ_CTRL, 1);
    EXPECT_EQ(IQ_SHIFT, 2);
    EXPECT_EQ(IQ_ALT, 4);
    EXPECT_EQ(IQ_CONSTRAIN, 8);
    EXPECT_EQ(IQ_ADJUST, 16);
    EXPECT_EQ(MOUSE_LEFT, 32);
    EXPECT_EQ(MOUSE_MID, 64);
    EXPECT_EQ(MOUSE_RIGHT, 96);
    EXPECT_EQ(MOUSE_DOWN, 128);
    // Right is reported as left and middle together.
    EXPECT_TRUE(RCLICK(MOUSE_DOWN | 96 | IQ_SHIFT));
    EXPECT_FALSE(LCLICK(96));
    EXPECT_FALSE(MCLICK(96));
    EXPECT_TRUE(LCLICK(MOUSE_DOWN | 32));
    EXPECT_FALSE(RCLICK(32));
    EXPECT_TRUE(MCLICK(64 | IQ_CTRL));
    EXPECT_FALSE(LCLICK(64));
}

TEST(SdkPanel, ColoursAndKeys) {
    EXPECT_EQ(RGB_(0x11, 0x22, 0x33), 0x01113322u);
    EXPECT_EQ(sdk_c_rgb(0x11, 0x22, 0x33), 0x01113322ul);
    EXPECT_EQ(SYSTEM_Ic(0), 4136);
    EXPECT_EQ(LWP_NONE, 4136);
    EXPECT_EQ(LWP_BG, 4138);
    EXPECT_EQ(LWP_NORMAL, 4139);
    EXPECT_EQ(LWP_HEADLINE, 4140);
    EXPECT_EQ(LWP_EDIT_SEL, 4146);
    EXPECT_EQ(LWP_BLACK, 4148);
    EXPECT_EQ(LWP_HILIGHT, 4152);
    EXPECT_EQ(LWP_0_STAT, 4153);
    EXPECT_EQ(LWP_5_DLOG, 4164);
    EXPECT_EQ(LWP_0_DOIT, 4165);
    EXPECT_EQ(LWP_5_DRAG, 4176);
    EXPECT_EQ(LWP_3_BG, 4179);
    EXPECT_EQ(LWP_GRAY1, LWP_INFO_DIS);
    EXPECT_EQ(LWP_GRAY2, LWP_SHADOW);
    EXPECT_EQ(LWP_GRAY3, LWP_INVERT);
    EXPECT_EQ(LWP_GRAY4, LWP_EDIT_BG);
    EXPECT_EQ(LWP_GRAY5, LWP_INFO_BG);
    EXPECT_EQ(LWP_GRAY6, LWP_BG);
    EXPECT_EQ(LWP_GRAY7, LWP_EDIT_DIS);
    EXPECT_EQ(LWP_GRAY8, LWP_EDIT_IMG);
    EXPECT_EQ(LWP_WHITE, LWP_HEADLINE);
    EXPECT_EQ(LWP_CANARY1, LWP_0_STAT);
    EXPECT_EQ(LWP_AQUA6, LWP_5_DLOG);
    EXPECT_EQ(LWP_LAVENDER1, LWP_0_DOIT);
    EXPECT_EQ(LWP_OLIVE6, LWP_5_DRAG);
    EXPECT_EQ(COLOR_BG, LWP_BG);
    EXPECT_EQ(COLOR_DK_YELLOW, LWP_EDIT_IMG);
    EXPECT_EQ(COLOR_DK_GREY, LWP_SHADOW);
    EXPECT_EQ(COLOR_LT_YELLOW, LWP_EDIT_SEL);
    EXPECT_EQ(COLOR_BLACK, LWP_NORMAL);
    EXPECT_EQ(COLOR_WHITE, LWP_HEADLINE);
    display_Metrics dm{};
    dm.depth = 24;
    EXPECT_EQ(TRUECOLOR(&dm), 1);
    EXPECT_EQ(PALETTESIZE(&dm), 1 << 24);

    EXPECT_EQ(LWDK_CHAR('a'), 'a');
    static_assert(std::is_same<decltype(LWDK_CHAR('a')), LWDualKey>::value, "keys are LWDualKey");
    static_assert(sizeof(LWDualKey) == sizeof(unsigned short), "LWDualKey is unsigned short");
    EXPECT_EQ(LWDK_F1, 0x1001);
    EXPECT_EQ(LWDK_F12, 0x100C);
    EXPECT_EQ(LWDK_SC_LEFT, 0x1010);
    EXPECT_EQ(LWDK_SC_DOWN, 0x1013);
    EXPECT_EQ(LWDK_DELETE, 0x1020);
    EXPECT_EQ(LWDK_HELP, 0x1021);
    EXPECT_EQ(LWDK_RETURN, 0x1022);
    EXPECT_EQ(LWDK_TOP_0, 0x1030);
    EXPECT_EQ(LWDK_TOP_9, 0x1039);
    EXPECT_EQ(LWDK_PAD_0, 0x1040);
    EXPECT_EQ(LWDK_PAD_9, 0x1049);
    EXPECT_EQ(LWDK_PAD_OPAREN, 0x1050);
    EXPECT_EQ(LWDK_PAD_ENTER, 0x1057);
    EXPECT_EQ(LWDK_ALT, 0x1060);
    EXPECT_EQ(LWDK_SHIFT, 0x1061);
    EXPECT_EQ(LWDK_CTRL, 0x1062);
    EXPECT_EQ(LWDK_HOME, 0x108F);
    EXPECT_EQ(LWDK_END, 0x1090);
    EXPECT_EQ(LWDK_PAGEUP, 0x1091);
    EXPECT_EQ(LWDK_PAGEDOWN, 0x1092);
}

int panelInts[32];
void panGet(LWPanelID, pTag tag, void* value) {
    *static_cast<int*>(value) = panelInts[tag];
}
void panSet(LWPanelID, pTag tag, void* value) {
    panelInts[tag] = tag == PAN_USERDATA ? 1 : *static_cast<int*>(value);
}
int panOpen(LWPanelID, int flags) {
    return flags;
}

TEST(SdkPanel, PanelMacros) {
    LWPanelFuncs funcs{};
    funcs.get = panGet;
    funcs.set = panSet;
    funcs.open = panOpen;
    LWPanelFuncs* pf = &funcs;
    LWPanelID pan = nullptr;
    MOVE_PAN(pf, pan, 11, 22);
    PAN_SETW(pf, pan, 300);
    PAN_SETH(pf, pan, 200);
    EXPECT_EQ(PAN_GETX(pf, pan), 11);
    EXPECT_EQ(PAN_GETY(pf, pan), 22);
    EXPECT_EQ(PAN_GETW(pf, pan), 300);
    EXPECT_EQ(PAN_GETH(pf, pan), 200);
    panelInts[PAN_VERSION] = LWPANELS_API_VERSION;
    EXPECT_EQ(PAN_GETVERSION(pf, pan), 20);
    EXPECT_EQ(PAN_POST(pf, pan), PANF_BLOCKING | PANF_CANCEL | PANF_FRAME);
    int data = 0;
    PAN_SETDATA(pf, pan, &data);
    EXPECT_EQ(panelInts[PAN_USERDATA], 1);
}

} // namespace
