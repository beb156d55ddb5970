/*
 * The headers as C sees them: everything included (in an order unlike the
 * C++ tests), module-style code written against the declared signatures,
 * and layout rows for the C++ side to compare.
 */
#include "lwpanel.h"
#include "lwmtutil.h"
#include "lwlaytool.h"
#include "lwhost.h"
#include "lwgeneric.h"
#include "lwglobsrv.h"
#include "lwdisplce.h"
#include "lwcomring.h"
#include "lwcustobj.h"
#include "lwmodule.h"
#include "lwdyna.h"
#include "lwenvel.h"
#include "lwhandler.h"
#include "lwio.h"
#include "lwmeshes.h"
#include "lwrender.h"
#include "lwserver.h"
#include "lwtool.h"
#include "lwtypes.h"
#include "lwxpanel.h"

#include "c_side.h"

static const struct sdk_c_row rows[] = {
#define SDK_RECORD(T, count, lp64size) {#T, NULL, sizeof(T)},
#define SDK_MEMBER(T, m, lp64off) {#T, #m, offsetof(T, m)},
#include "records.inc"
#undef SDK_RECORD
#undef SDK_MEMBER
};

const struct sdk_c_row* sdk_c_rows(size_t* count) {
    *count = sizeof rows / sizeof rows[0];
    return rows;
}

unsigned long sdk_c_mod_machine(void) {
    return MOD_MACHINE;
}
unsigned long sdk_c_lwid_face(void) {
    return LWPOLTYPE_FACE;
}
unsigned long sdk_c_rgb(int r, int g, int b) {
    return RGB_(r, g, b);
}
int sdk_c_lwi_any(void) {
    return LWI_ANY;
}
int sdk_c_srvtag_button_usenglish(void) {
    return SRVTAG_BUTTONNAME | LANGID_USENGLISH;
}

/* A save state that records what the macros pass through. */
struct recorder {
    int ints[8];
    int count;
    int depth;
};

static void rec_write_i4(void* data, const int* vals, int n) {
    struct recorder* r = (struct recorder*)data;
    int i;
    for (i = 0; i < n && r->count < 8; ++i)
        r->ints[r->count++] = vals[i];
}

static void rec_begin(void* data, const LWBlockIdent* ident, int leaf) {
    struct recorder* r = (struct recorder*)data;
    r->depth += 1;
    r->ints[r->count++] = (int)ident->id + leaf;
}

static void rec_end(void* data) {
    ((struct recorder*)data)->depth -= 1;
}
static int rec_depth(void* data) {
    return ((struct recorder*)data)->depth;
}

int sdk_c_save_through_macros(int* out, int n) {
    static const LWBlockIdent blk = {LWID_('C', 'A', 'G', 'E'), "Cage"};
    struct recorder r = {{0}, 0, 0};
    LWSaveState ss = {0};
    const int vals[2] = {7, -3};
    int inside;
    int i;
    ss.ioMode = LWIO_BINARY;
    ss.writeData = &r;
    ss.writeI4 = rec_write_i4;
    ss.beginBlk = rec_begin;
    ss.endBlk = rec_end;
    ss.depth = rec_depth;
    LWSAVE_BEGIN(&ss, &blk, 1);
    LWSAVE_I4(&ss, vals, 2);
    inside = LWSAVE_DEPTH(&ss);
    LWSAVE_END(&ss);
    for (i = 0; i < n && i < r.count; ++i)
        out[i] = r.ints[i];
    return inside * 10 + LWSAVE_DEPTH(&ss);
}

/* A hint array as a module would write it. */
enum { CH_SIZE = 0x8001, CH_MODE, GR_MAIN };

static const char* mode_names[] = {"Soft", "Rigid", NULL};

static LWXPRefreshCode on_change(LWXPanelID pan, unsigned int cid, unsigned int vid, int ev) {
    (void)pan;
    (void)cid;
    (void)vid;
    return ev == LWXPEVENT_VALUE ? LWXPRC_DRAW : LWXPRC_NONE;
}

static LWXPanelHint hints[] = {XpLABEL(0, "Cage"),
                               XpCHGNOTIFY(on_change),
                               XpSTRLIST(CH_MODE, mode_names),
                               XpMIN(CH_SIZE, 1),
                               XpGROUP_(GR_MAIN),
                               XpH(CH_SIZE),
                               XpH(CH_MODE),
                               XpEND,
                               XpEND};

size_t sdk_c_hint_words(void) {
    return sizeof hints / sizeof hints[0];
}
const void* sdk_c_hint_word(size_t i) {
    return hints[i];
}

/* A Layout tool filled in by its activation, every slot with the declared
   signature (a mismatch is a diagnostic under -Werror). */
static void t_done(LWInstance inst) {
    (void)inst;
}
static void t_draw(LWInstance inst, LWCustomObjAccess* access) {
    (void)inst;
    (void)access;
}
static const char* t_help(LWInstance inst, LWToolEvent* ev) {
    (void)inst;
    (void)ev;
    return "help";
}
static int t_dirty(LWInstance inst) {
    (void)inst;
    return LWT_DIRTY_WIREFRAME | LWT_DIRTY_HELPTEXT;
}
static int t_count(LWInstance inst, LWToolEvent* ev) {
    (void)inst;
    (void)ev;
    return 8;
}
static int t_handle(LWInstance inst, LWToolEvent* ev, int h, LWDVector pos) {
    (void)inst;
    (void)ev;
    pos[0] = h;
    return 1;
}
static int t_start(LWInstance inst, LWToolEvent* ev) {
    (void)inst;
    (void)ev;
    return 0;
}
static int t_adjust(LWInstance inst, LWToolEvent* ev, int h) {
    (void)inst;
    (void)ev;
    return h;
}
static int t_down(LWInstance inst, LWToolEvent* ev) {
    (void)inst;
    return (ev->flags & LWTOOLF_ALT_BUTTON) != 0;
}
static void t_move(LWInstance inst, LWToolEvent* ev) {
    (void)inst;
    (void)ev;
}
static void t_up(LWInstance inst, LWToolEvent* ev) {
    (void)inst;
    (void)ev;
}
static void t_event(LWInstance inst, int code) {
    (void)inst;
    (void)code;
}
static LWXPanelID t_panel(LWInstance inst) {
    (void)inst;
    return NULL;
}

static int tool_instance;

static int activate_tool(int version, GlobalFunc* global, void* local, void* serverData) {
    LWLayoutTool* lt = (LWLayoutTool*)local;
    (void)global;
    (void)serverData;
    if (version != LWLAYOUTTOOL_VERSION) return AFUNC_BADVERSION;
    lt->instance = &tool_instance;
    lt->tool->done = t_done;
    lt->tool->draw = t_draw;
    lt->tool->help = t_help;
    lt->tool->dirty = t_dirty;
    lt->tool->count = t_count;
    lt->tool->handle = t_handle;
    lt->tool->start = t_start;
    lt->tool->adjust = t_adjust;
    lt->tool->down = t_down;
    lt->tool->move = t_move;
    lt->tool->up = t_up;
    lt->tool->event = t_event;
    lt->tool->panel = t_panel;
    return AFUNC_OK;
}

int sdk_c_activate_layout_tool(int version, void* local) {
    return activate_tool(version, NULL, local, NULL);
}

/* Handler and descriptor slots with their declared C signatures. */
static LWInstance h_create(void* priv, void* context, LWError* err) {
    (void)priv;
    *err = NULL;
    return context;
}
static void h_destroy(LWInstance inst) {
    (void)inst;
}
static LWError h_copy(LWInstance to, LWInstance from) {
    (void)to;
    (void)from;
    return NULL;
}
static LWError h_load(LWInstance inst, const LWLoadState* ls) {
    (void)inst;
    (void)ls;
    return NULL;
}
static LWError h_save(LWInstance inst, const LWSaveState* ss) {
    (void)inst;
    (void)ss;
    return NULL;
}
static const char* h_descln(LWInstance inst) {
    (void)inst;
    return "";
}
static const LWItemID* h_use_items(LWInstance inst) {
    (void)inst;
    return NULL;
}
static LWError h_init(LWInstance inst, int mode) {
    (void)inst;
    (void)mode;
    return NULL;
}
static LWError h_new_time(LWInstance inst, LWFrame fr, LWTime t) {
    (void)inst;
    (void)fr;
    (void)t;
    return NULL;
}
static void h_evaluate(LWInstance inst, const LWCustomObjAccess* access) {
    (void)inst;
    (void)access;
}
static void h_displace(LWInstance inst, LWDisplacementAccess* access) {
    (void)inst;
    access->source[0] = access->oPos[0];
}
static unsigned int h_flags(LWInstance inst) {
    (void)inst;
    return 0;
}
static LWError i_options(LWInstance inst) {
    (void)inst;
    return NULL;
}
static LWError i_command(LWInstance inst, const char* cmd) {
    (void)inst;
    (void)cmd;
    return NULL;
}
static char* pop_name(void* data, int idx) {
    (void)data;
    (void)idx;
    return NULL;
}
static int pop_count(void* data) {
    (void)data;
    return 0;
}
static int generic_evaluate(void* data, const char* cmd) {
    (void)data;
    return cmd != NULL;
}
static int activate_other(int version, GlobalFunc* global, void* local, void* serverData) {
    LWCustomObjHandler* co = (LWCustomObjHandler*)local;
    (void)version;
    (void)global;
    (void)serverData;
    co->inst->create = h_create;
    co->inst->destroy = h_destroy;
    co->inst->copy = h_copy;
    co->inst->load = h_load;
    co->inst->save = h_save;
    co->inst->descln = h_descln;
    if (co->item) co->item->useItems = h_use_items;
    co->rend->init = h_init;
    co->rend->newTime = h_new_time;
    co->evaluate = h_evaluate;
    co->flags = h_flags;
    return AFUNC_OK;
}

static void* startup(void) {
    return (void*)4;
}
static void mod_shutdown(void* serverData) {
    (void)serverData;
}

static ServerTagInfo tags[] = {{"Morvane Test", SRVTAG_USERNAME | LANGID_USENGLISH}, {NULL, 0}};
static ServerRecord servers[] = {{LWLAYOUTTOOL_CLASS, "MorvaneTool", activate_tool, tags},
                                 {LWCUSTOMOBJ_HCLASS, "MorvaneObj", activate_other, tags},
                                 {NULL, NULL, NULL, NULL}};
static ModuleDescriptor descriptor = {MOD_SYSSYNC, MOD_SYSVER,   MOD_MACHINE,
                                      startup,     mod_shutdown, servers};

unsigned int sdk_c_descriptor_words(unsigned int out[3]) {
    LWDisplacementHandler dh;
    LWInterface ui;
    LWLayoutGeneric gen;
    LWPanControlDesc desc;
    dh.evaluate = h_displace;
    dh.flags = h_flags;
    ui.options = i_options;
    ui.command = i_command;
    desc.popup.nameFn = pop_name;
    desc.popup.countFn = pop_count;
    gen.evaluate = generic_evaluate;
    out[0] = descriptor.sysSync;
    out[1] = descriptor.sysVersion;
    out[2] = descriptor.sysMachine;
    if (dh.evaluate != h_displace || ui.command != i_command || desc.popup.nameFn != pop_name ||
        gen.evaluate != generic_evaluate || descriptor.startup() != (void*)4)
        return 0;
    {
        unsigned int n = 0;
        const ServerRecord* sr;
        for (sr = descriptor.serverDefs; sr->className; ++sr)
            ++n;
        return n;
    }
}
