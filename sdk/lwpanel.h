/*
 * lwpanel.h -- classic panels: plug-in laid out windows with controls,
 * plus raster and context-menu services.
 */
#ifndef LWPANEL_H
#define LWPANEL_H

#include "lwserver.h"
#include "lwxpanel.h"

#define LWPANELFUNCS_GLOBAL "LWPanelServices"
#define PANEL_SERVICES_NAME LWPANELFUNCS_GLOBAL
#define LWPANELS_API_VERSION 20

typedef void* LWPanelID;
typedef void* LWControlID;
typedef void* LWContextMenuID;
typedef void* LWRasterID;

typedef unsigned short LWDualKey;

/* ---- values ---- */

typedef int LWType;

#define LWT_NULL 0
#define LWT_STRING 1
#define LWT_INTEGER 2
#define LWT_FLOAT 3
#define LWT_DISTANCE 4
#define LWT_VINT 5
#define LWT_VFLOAT 6
#define LWT_VDIST 7
#define LWT_BOOLEAN 8
#define LWT_CHOICE 9
#define LWT_SURFACE 10
#define LWT_FONT 11
#define LWT_TEXT 12
#define LWT_LAYERS 13
#define LWT_CUSTOM 14
#define LWT_RANGE 15
#define LWT_LWITEM 16
#define LWT_PERCENT 17
#define LWT_POPUP 18
#define LWT_AREA 19
#define LWT_XPANEL 20
#define LWT_TREE 21
#define LWT_MLIST 22
#define LWT_POINTER 23
#define LWT__LAST LWT_POINTER

typedef struct st_LWValString {
    LWType type;
    char* buf;
    int bufLen;
} LWValString;

typedef struct st_LWValInt {
    LWType type;
    int value;
    int defVal;
} LWValInt;

typedef struct st_LWValFloat {
    LWType type;
    double value;
    double defVal;
} LWValFloat;

typedef struct st_LWValIVector {
    LWType type;
    int val[3];
    int defVal;
} LWValIVector;

typedef struct st_LWValFVector {
    LWType type;
    double val[3];
    double defVal;
} LWValFVector;

typedef struct st_LWValCustom {
    LWType type;
    int val[4];
} LWValCustom;

typedef struct st_LWValPointer {
    LWType type;
    void* ptr;
} LWValPointer;

typedef union un_LWValue {
    LWType type;
    LWValString str;
    LWValInt intv;
    LWValFloat flt;
    LWValIVector ivec;
    LWValFVector fvec;
    LWValPointer ptr;
    LWValCustom cust;
} LWValue;

/* ---- control descriptions ---- */

typedef struct st_LWPanStringDesc {
    LWType type;
    int width;
} LWPanStringDesc;

typedef struct st_LWPanChoiceDesc {
    LWType type;
    const char** items; /* NULL-terminated */
    int vertical;
} LWPanChoiceDesc;

typedef struct st_LWPanTextDesc {
    LWType type;
    const char** text;
} LWPanTextDesc;

typedef struct st_LWPanRangeDesc {
    LWType type;
    int width;
    int min;
    int max;
} LWPanRangeDesc;

typedef struct st_LWPanAreaDesc {
    LWType type;
    int width;
    int height;
} LWPanAreaDesc;

typedef struct st_LWPanLWItemDesc {
    LWType type;
    void* global;
    int itemType;
    char** list;
    int count;
    int width;
} LWPanLWItemDesc;

typedef struct st_LWPanPopupDesc {
    LWType type;
    int width;
    int (*countFn)(void* userData);
    char* (*nameFn)(void* userData, int idx);
} LWPanPopupDesc;

typedef struct st_LWPanListBoxDesc {
    LWType type;
    int width;
    int visItems;
    int top;
    int (*countFn)(void* userData);
    char* (*nameFn)(void* userData, int idx);
} LWPanListBoxDesc;

typedef struct st_LWPanMultiListBoxDesc {
    LWType type;
    int width;
    int visItems;
    int top;
    int (*countFn)(void* userData);
    char* (*nameFn)(void* userData, int idx, int column);
    int (*colWidth)(void* userData, int column);
} LWPanMultiListBoxDesc;

typedef struct st_LWPanXPanDesc {
    LWType type;
    int width;
    int height;
    void* xpan;
} LWPanXPanDesc;

typedef struct st_LWPanTreeDesc {
    LWType type;
    int width;
    int height;
    int (*countFn)(void* userData, void* node);
    void* (*leafFn)(void* userData, void* node, int i);
    char* (*infoFn)(void* userData, void* node, int* flags);
    void (*moveFn)(void* userData, void* node, void* parent, int i);
} LWPanTreeDesc;

/* Zero the whole union before filling one variant. */
typedef union un_LWPanControlDesc {
    LWType type;
    LWPanStringDesc string;
    LWPanChoiceDesc choice;
    LWPanTextDesc text;
    LWPanRangeDesc range;
    LWPanAreaDesc area;
    LWPanLWItemDesc lwitem;
    LWPanPopupDesc popup;
    LWPanListBoxDesc listbox;
    LWPanXPanDesc xpanel;
    LWPanTreeDesc tree;
    LWPanMultiListBoxDesc multiList;
} LWPanControlDesc;

typedef LWPanControlDesc ControlDesc;

/* ---- attribute tags and modes ---- */

typedef enum {
    PAN_X = 0,
    PAN_Y,
    PAN_W,
    PAN_H,
    PAN_MOUSEX,
    PAN_MOUSEY,
    PAN_FLAGS,
    PAN_USERDRAW,
    PAN_USERACTIVATE,
    PAN_USEROPEN,
    PAN_USERCLOSE,
    PAN_TITLE,
    PAN_USERDATA,
    PAN_USERKEYS,
    PAN_LWINSTANCE,
    PAN_MOUSEBUTTON,
    PAN_MOUSEMOVE,
    PAN_PANFUN,
    PAN_VERSION,
    PAN_RESULT,
    PAN_HOSTDISPLAY,
    PAN_USERKEYUPS,
    PAN_QUALIFIERS,
    PAN_TO_FRONT,
    PAN_MOUSEWHEEL
} pTag;

typedef enum {
    CTL_X = 0,
    CTL_Y,
    CTL_W,
    CTL_H,
    CTL_VALUE,
    CTL_HOTX,
    CTL_HOTY,
    CTL_HOTW,
    CTL_HOTH,
    CTL_LABELWIDTH,
    CTL_MOUSEX,
    CTL_MOUSEY,
    CTL_FLAGS,
    CTL_USERDRAW,
    CTL_USEREVENT,
    CTL_LABEL,
    CTL_USERDATA,
    CTL_PANEL,
    CTL_PANFUN,
    CTL_RANGEMIN,
    CTL_RANGEMAX,
    CTL_ACTIVATE,
    CTL_MOUSEBUTTON
} cTag;

typedef enum { CTL_MOUSELEFT = 1, CTL_MOUSECENTER, CTL_MOUSERIGHT } mBut;

typedef enum { DR_ERASE = 0, DR_RENDER, DR_GHOST, DR_REFRESH } DrMode;

typedef enum { MX_HCHOICE = 0, MX_VCHOICE, MX_POPUP } MxType;

/* ---- hooks: userData is what PAN_USERDATA / CTL_USERDATA set ---- */

typedef void (*LWPanHook)(LWPanelID pan, void* userData);
typedef int (*LWPanKeyHook)(LWPanelID pan, void* userData, LWDualKey key); /* 1 = handled */
typedef void (*LWPanMouseHook)(LWPanelID pan, void* userData, int qualifiers, int x, int y);
typedef void (*LWPanDrawHook)(LWPanelID pan, void* userData, DrMode mode);
typedef void (*LWCtlDrawHook)(LWControlID ctl, void* userData, DrMode mode);
typedef void (*LWCtlEventHook)(LWControlID ctl, void* userData);

/* ---- controls and drawing ---- */

/* The control passes itself first: ctl->get(ctl, CTL_VALUE, &val). */
typedef struct st_LWControl {
    void (*draw)(LWControlID ctl, DrMode mode);
    void (*get)(LWControlID ctl, cTag tag, LWValue* value);
    void (*set)(LWControlID ctl, cTag tag, LWValue* value);
    void* priv_data;
} LWControl;

typedef struct st_display_Metrics {
    int width;
    int height;
    int pixX;
    int pixY;
    int maxColors;
    int depth;
    int textHeight;
    int textAscent;
} display_Metrics;

#define LWDisplayMetrics display_Metrics

/* Colours are LWP_* palette entries or RGB_ values. */
typedef struct st_DrawFuncs {
    void (*drawPixel)(LWPanelID pan, int c, int x, int y);
    void (*drawRGBPixel)(LWPanelID pan, int r, int g, int b, int x, int y);
    void (*drawLine)(LWPanelID pan, int c, int xFrom, int yFrom, int xTo, int yTo);
    void (*drawBox)(LWPanelID pan, int c, int x, int y, int w, int h);
    void (*drawRGBBox)(LWPanelID pan, int r, int g, int b, int x, int y, int w, int h);
    void (*drawBorder)(LWPanelID pan, int indent, int x, int y, int w, int h); /* h 0: divider */
    int (*textWidth)(LWPanelID pan, char* text);
    void (*drawText)(LWPanelID pan, char* text, int c, int x, int y);
    const LWDisplayMetrics* (*dispMetrics)();
} DrawFuncs;

typedef struct st_LWPanelFuncs {
    LWPanelID (*create)(char* title, void* data);
    void (*destroy)(LWPanelID pan);
    int (*open)(LWPanelID pan, int flags);
    int (*handle)(LWPanelID pan, int flags); /* 0 while open, -1 once closed */
    void (*draw)(LWPanelID pan, DrMode mode);
    void (*close)(LWPanelID pan);
    void (*get)(LWPanelID pan, pTag tag, void* value);
    void (*set)(LWPanelID pan, pTag tag, void* value);
    LWControl* (*addControl)(LWPanelID pan, char* type, ControlDesc* desc, char* label);
    LWControl* (*nextControl)(LWPanelID pan, LWControlID ctl); /* NULL ctl: first */
    DrawFuncs* drawFuncs;
    void* user_data;
    GlobalFunc* globalFun; /* set it: some controls need the globals */
} LWPanelFuncs;

/* open() flags */
#define PANF_BLOCKING 1
#define PANF_CANCEL 2
#define PANF_FRAME 4
#define PANF_MOUSETRAP 8
#define PANF_PASSALLKEYS 16
#define PANF_ABORT 32
#define PANF_NOBUTT 64
#define PANF_RESIZE 128

/* CTL_FLAGS */
#define CTLF_DISABLE 0x100
#define CTLF_INVISIBLE 0x200
#define CTLF_GHOST CTLF_DISABLE

/* handle() flags */
#define EVNT_BLOCKING 1
#define EVNT_ALL 2

/* tree node flags */
#define NODE_FLAG_EXPND 1
#define NODE_FLAG_WRITE 1024

/* Item-list control types beyond the scene item types of lwrender.h. */
#define LWI_IMAGE (LWI_BONE + 1)
#define LWI_ANY (LWI_IMAGE + 1)

/* Input qualifiers. The right button is reported as LEFT | MID. */
#define IQ_CTRL 1
#define IQ_SHIFT 2
#define IQ_ALT 4
#define IQ_CONSTRAIN 8
#define IQ_ADJUST 16
#define MOUSE_LEFT 32
#define MOUSE_MID 64
#define MOUSE_RIGHT 96
#define MOUSE_DOWN 128

#define RCLICK(q) (((q)&MOUSE_RIGHT) == MOUSE_RIGHT)
#define LCLICK(q) (((q)&MOUSE_RIGHT) == MOUSE_LEFT)
#define MCLICK(q) (((q)&MOUSE_RIGHT) == MOUSE_MID)

/* Blue sits at bit 8 and green in the low byte; that is the host's order. */
#define RGB_(r, g, b) ((unsigned int)(((r) << 16) | ((b) << 8) | (g) | 0x1000000))

#define TRUECOLOR(dm) ((dm)->depth ? 1 : 0)
#define PALETTESIZE(dm) ((dm)->depth ? 1 << 24 : 1 << (dm)->depth)

/* ---- palette ---- */

#define SYSTEM_Ic(i) (4136 + (i))

#define LWP_NONE SYSTEM_Ic(0)
#define LWP_INVERT SYSTEM_Ic(1)
#define LWP_BG SYSTEM_Ic(2)
#define LWP_NORMAL SYSTEM_Ic(3)
#define LWP_HEADLINE SYSTEM_Ic(4)
#define LWP_INFO_BG SYSTEM_Ic(5)
#define LWP_INFO_IMG SYSTEM_Ic(6)
#define LWP_INFO_DIS SYSTEM_Ic(7)
#define LWP_EDIT_BG SYSTEM_Ic(8)
#define LWP_EDIT_IMG SYSTEM_Ic(9)
#define LWP_EDIT_SEL SYSTEM_Ic(10)
#define LWP_EDIT_DIS SYSTEM_Ic(11)
#define LWP_BLACK SYSTEM_Ic(12)
#define LWP_SHADOW SYSTEM_Ic(13)
#define LWP_LOWERED SYSTEM_Ic(14)
#define LWP_RAISED SYSTEM_Ic(15)
#define LWP_HILIGHT SYSTEM_Ic(16)
#define LWP_0_STAT SYSTEM_Ic(17)
#define LWP_1_STAT SYSTEM_Ic(18)
#define LWP_2_STAT SYSTEM_Ic(19)
#define LWP_3_STAT SYSTEM_Ic(20)
#define LWP_4_STAT SYSTEM_Ic(21)
#define LWP_5_STAT SYSTEM_Ic(22)
#define LWP_0_DLOG SYSTEM_Ic(23)
#define LWP_1_DLOG SYSTEM_Ic(24)
#define LWP_2_DLOG SYSTEM_Ic(25)
#define LWP_3_DLOG SYSTEM_Ic(26)
#define LWP_4_DLOG SYSTEM_Ic(27)
#define LWP_5_DLOG SYSTEM_Ic(28)
#define LWP_0_DOIT SYSTEM_Ic(29)
#define LWP_1_DOIT SYSTEM_Ic(30)
#define LWP_2_DOIT SYSTEM_Ic(31)
#define LWP_3_DOIT SYSTEM_Ic(32)
#define LWP_4_DOIT SYSTEM_Ic(33)
#define LWP_5_DOIT SYSTEM_Ic(34)
#define LWP_0_DRAG SYSTEM_Ic(35)
#define LWP_1_DRAG SYSTEM_Ic(36)
#define LWP_2_DRAG SYSTEM_Ic(37)
#define LWP_3_DRAG SYSTEM_Ic(38)
#define LWP_4_DRAG SYSTEM_Ic(39)
#define LWP_5_DRAG SYSTEM_Ic(40)
#define LWP_1_BG SYSTEM_Ic(41)
#define LWP_2_BG SYSTEM_Ic(42)
#define LWP_3_BG SYSTEM_Ic(43)

#define LWP_GRAY1 SYSTEM_Ic(7)
#define LWP_GRAY2 SYSTEM_Ic(13)
#define LWP_GRAY3 SYSTEM_Ic(1)
#define LWP_GRAY4 SYSTEM_Ic(8)
#define LWP_GRAY5 SYSTEM_Ic(5)
#define LWP_GRAY6 SYSTEM_Ic(2)
#define LWP_GRAY7 SYSTEM_Ic(11)
#define LWP_GRAY8 SYSTEM_Ic(9)
#define LWP_WHITE SYSTEM_Ic(4)
#define LWP_CANARY1 SYSTEM_Ic(17)
#define LWP_CANARY2 SYSTEM_Ic(18)
#define LWP_CANARY3 SYSTEM_Ic(19)
#define LWP_CANARY4 SYSTEM_Ic(20)
#define LWP_CANARY5 SYSTEM_Ic(21)
#define LWP_CANARY6 SYSTEM_Ic(22)
#define LWP_AQUA1 SYSTEM_Ic(23)
#define LWP_AQUA2 SYSTEM_Ic(24)
#define LWP_AQUA3 SYSTEM_Ic(25)
#define LWP_AQUA4 SYSTEM_Ic(26)
#define LWP_AQUA5 SYSTEM_Ic(27)
#define LWP_AQUA6 SYSTEM_Ic(28)
#define LWP_LAVENDER1 SYSTEM_Ic(29)
#define LWP_LAVENDER2 SYSTEM_Ic(30)
#define LWP_LAVENDER3 SYSTEM_Ic(31)
#define LWP_LAVENDER4 SYSTEM_Ic(32)
#define LWP_LAVENDER5 SYSTEM_Ic(33)
#define LWP_LAVENDER6 SYSTEM_Ic(34)
#define LWP_OLIVE1 SYSTEM_Ic(35)
#define LWP_OLIVE2 SYSTEM_Ic(36)
#define LWP_OLIVE3 SYSTEM_Ic(37)
#define LWP_OLIVE4 SYSTEM_Ic(38)
#define LWP_OLIVE5 SYSTEM_Ic(39)
#define LWP_OLIVE6 SYSTEM_Ic(40)

#define COLOR_BG LWP_BG
#define COLOR_DK_YELLOW LWP_EDIT_IMG
#define COLOR_DK_GREY LWP_SHADOW
#define COLOR_LT_YELLOW LWP_EDIT_SEL
#define COLOR_BLACK LWP_NORMAL
#define COLOR_WHITE LWP_HEADLINE
/* These two name palette entries that were never defined: unusable, kept
   only so old sources still preprocess. */
#define COLOR_MD_GREY LWP_B_FACE
#define COLOR_LT_GREY LWP_GLINT

/* ---- keys ---- */

#define LWDK_CHAR(c) ((LWDualKey)(c))
#define LWDK_F1 0x1001
#define LWDK_F2 0x1002
#define LWDK_F3 0x1003
#define LWDK_F4 0x1004
#define LWDK_F5 0x1005
#define LWDK_F6 0x1006
#define LWDK_F7 0x1007
#define LWDK_F8 0x1008
#define LWDK_F9 0x1009
#define LWDK_F10 0x100A
#define LWDK_F11 0x100B
#define LWDK_F12 0x100C
#define LWDK_SC_LEFT 0x1010
#define LWDK_SC_RIGHT 0x1011
#define LWDK_SC_UP 0x1012
#define LWDK_SC_DOWN 0x1013
#define LWDK_DELETE 0x1020
#define LWDK_HELP 0x1021
#define LWDK_RETURN 0x1022
#define LWDK_TOP_0 0x1030
#define LWDK_TOP_1 0x1031
#define LWDK_TOP_2 0x1032
#define LWDK_TOP_3 0x1033
#define LWDK_TOP_4 0x1034
#define LWDK_TOP_5 0x1035
#define LWDK_TOP_6 0x1036
#define LWDK_TOP_7 0x1037
#define LWDK_TOP_8 0x1038
#define LWDK_TOP_9 0x1039
#define LWDK_PAD_0 0x1040
#define LWDK_PAD_1 0x1041
#define LWDK_PAD_2 0x1042
#define LWDK_PAD_3 0x1043
#define LWDK_PAD_4 0x1044
#define LWDK_PAD_5 0x1045
#define LWDK_PAD_6 0x1046
#define LWDK_PAD_7 0x1047
#define LWDK_PAD_8 0x1048
#define LWDK_PAD_9 0x1049
#define LWDK_PAD_OPAREN 0x1050
#define LWDK_PAD_CPAREN 0x1051
#define LWDK_PAD_SLASH 0x1052
#define LWDK_PAD_STAR 0x1053
#define LWDK_PAD_DASH 0x1054
#define LWDK_PAD_PLUS 0x1055
#define LWDK_PAD_DECIMAL 0x1056
#define LWDK_PAD_ENTER 0x1057
#define LWDK_ALT 0x1060
#define LWDK_SHIFT 0x1061
#define LWDK_CTRL 0x1062
#define LWDK_HOME 0x108F
#define LWDK_END 0x1090
#define LWDK_PAGEUP 0x1091
#define LWDK_PAGEDOWN 0x1092

/* ---- control creation ----
   Each needs an LWPanControlDesc named `desc` in scope and yields the new
   LWControl *. The type-name literal is cast because addControl takes
   char *. */

#define LWPAN_ADD_(pf, pan, tname, label) (pf)->addControl(pan, (char*)(tname), &desc, label)

#define STRRO_CTL(pf, pan, label, w)                                                               \
    (desc.type = LWT_STRING, desc.string.width = (w), LWPAN_ADD_(pf, pan, "InfoControl", label))
#define POPDOWN_CTL(pf, pan, label, strs)                                                          \
    (desc.type = LWT_CHOICE, desc.choice.vertical = MX_POPUP, desc.choice.items = (strs),          \
     LWPAN_ADD_(pf, pan, "PopDownControl", label))
#define CUSTPOPUP_CTL(pf, pan, label, w, nfn, cfn)                                                 \
    (desc.type = LWT_POPUP, desc.popup.width = (w), desc.popup.nameFn = (nfn),                     \
     desc.popup.countFn = (cfn), LWPAN_ADD_(pf, pan, "CustomPopupControl", label))
#define BUTTON_CTL(pf, pan, label)                                                                 \
    (desc.type = LWT_INTEGER, LWPAN_ADD_(pf, pan, "ButtonControl", label))
#define WBUTTON_CTL(pf, pan, label, w)                                                             \
    (desc.type = LWT_AREA, desc.area.width = (w), desc.area.height = 0,                            \
     LWPAN_ADD_(pf, pan, "ButtonControl", label))
#define BOOLBUTTON_CTL(pf, pan, label)                                                             \
    (desc.type = LWT_BOOLEAN, LWPAN_ADD_(pf, pan, "BoolButtonControl", label))
#define WBOOLBUTTON_CTL(pf, pan, label, w)                                                         \
    (desc.type = LWT_AREA, desc.area.width = (w), desc.area.height = 0,                            \
     LWPAN_ADD_(pf, pan, "BoolButtonControl", label))
#define BOOL_CTL(pf, pan, label)                                                                   \
    (desc.type = LWT_BOOLEAN, LWPAN_ADD_(pf, pan, "BoolControl", label))
#define MINISLIDER_CTL(pf, pan, label, w, lo, hi)                                                  \
    (desc.type = LWT_RANGE, desc.range.width = (w), desc.range.min = (lo), desc.range.max = (hi),  \
     LWPAN_ADD_(pf, pan, "MiniSliderControl", label))
#define PERCENT_CTL(pf, pan, label)                                                                \
    (desc.type = LWT_RANGE, desc.range.min = 0, desc.range.max = 100,                              \
     LWPAN_ADD_(pf, pan, "PercentControl", label))
#define HSLIDER_CTL(pf, pan, label, w, lo, hi)                                                     \
    (desc.type = LWT_RANGE, desc.range.width = (w), desc.range.min = (lo), desc.range.max = (hi),  \
     LWPAN_ADD_(pf, pan, "HSlideControl", label))
#define WITEM_CTL(pf, pan, label, glob, itype, w)                                                  \
    (desc.type = LWT_LWITEM, desc.lwitem.global = (glob), desc.lwitem.itemType = (itype),          \
     desc.lwitem.list = NULL, desc.lwitem.count = 0, desc.lwitem.width = (w),                      \
     LWPAN_ADD_(pf, pan, "LWListControl", label))
#define ITEM_CTL(pf, pan, label, glob, itype) WITEM_CTL(pf, pan, label, glob, itype, 0)
#define PIKITEM_CTL(pf, pan, label, glob, itype, w)                                                \
    (desc.type = LWT_LWITEM, desc.lwitem.global = (glob), desc.lwitem.itemType = (itype),          \
     desc.lwitem.list = NULL, desc.lwitem.count = 0, desc.lwitem.width = (w),                      \
     LWPAN_ADD_(pf, pan, "LWPickListControl", label))

/* ---- value and attribute helpers ----
   They work through LWValue cells the module defines itself:
     static LWValue ival = {LWT_INTEGER}, ivecval = {LWT_VINT}, fval = {LWT_FLOAT},
                    fvecval = {LWT_VFLOAT}, sval = {LWT_STRING}, pval = {LWT_POINTER};
*/

#define SET_INT(ctl, n) (ival.intv.value = (n), (ctl)->set(ctl, CTL_VALUE, &ival))
#define GET_INT(ctl, n) ((ctl)->get(ctl, CTL_VALUE, &ival), n = ival.intv.value)
#define SET_FLOAT(ctl, f) (fval.flt.value = (f), (ctl)->set(ctl, CTL_VALUE, &fval))
#define GET_FLOAT(ctl, f) ((ctl)->get(ctl, CTL_VALUE, &fval), f = fval.flt.value)
#define SET_STR(ctl, s, l)                                                                         \
    (sval.str.buf = (s), sval.str.bufLen = (l), (ctl)->set(ctl, CTL_VALUE, &sval))
#define GET_STR(ctl, s, l)                                                                         \
    (sval.str.buf = (s), sval.str.bufLen = (l), (ctl)->get(ctl, CTL_VALUE, &sval))
#define SET_ADDR(ctl, p) (pval.ptr.ptr = (void*)(p), (ctl)->set(ctl, CTL_VALUE, &pval))
#define GET_ADDR(ctl, p) ((ctl)->get(ctl, CTL_VALUE, &pval), p = pval.ptr.ptr)

#define SET_FVEC(ctl, x, y, z)                                                                     \
    (fvecval.fvec.val[0] = (x), fvecval.fvec.val[1] = (y), fvecval.fvec.val[2] = (z),              \
     (ctl)->set(ctl, CTL_VALUE, &fvecval))
#define SETV_FVEC(ctl, v) SET_FVEC(ctl, (v)[0], (v)[1], (v)[2])
#define GET_FVEC(ctl, x, y, z)                                                                     \
    ((ctl)->get(ctl, CTL_VALUE, &fvecval), x = fvecval.fvec.val[0], y = fvecval.fvec.val[1],       \
     z = fvecval.fvec.val[2])
#define GETV_FVEC(ctl, v) GET_FVEC(ctl, (v)[0], (v)[1], (v)[2])

#define SET_IVEC(ctl, x, y, z)                                                                     \
    (ivecval.ivec.val[0] = (x), ivecval.ivec.val[1] = (y), ivecval.ivec.val[2] = (z),              \
     (ctl)->set(ctl, CTL_VALUE, &ivecval))
#define SETV_IVEC(ctl, v) SET_IVEC(ctl, (v)[0], (v)[1], (v)[2])
#define GET_IVEC(ctl, x, y, z)                                                                     \
    ((ctl)->get(ctl, CTL_VALUE, &ivecval), x = ivecval.ivec.val[0], y = ivecval.ivec.val[1],       \
     z = ivecval.ivec.val[2])
#define GETV_IVEC(ctl, v) GET_IVEC(ctl, (v)[0], (v)[1], (v)[2])

#define LWPAN_CON_INT_(ctl, tag) ((ctl)->get(ctl, tag, &ival), ival.intv.value)
#define CON_X(ctl) LWPAN_CON_INT_(ctl, CTL_X)
#define CON_Y(ctl) LWPAN_CON_INT_(ctl, CTL_Y)
#define CON_W(ctl) LWPAN_CON_INT_(ctl, CTL_W)
#define CON_H(ctl) LWPAN_CON_INT_(ctl, CTL_H)
#define CON_LW(ctl) LWPAN_CON_INT_(ctl, CTL_LABELWIDTH)
#define CON_HOTX(ctl) LWPAN_CON_INT_(ctl, CTL_HOTX)
#define CON_HOTY(ctl) LWPAN_CON_INT_(ctl, CTL_HOTY)
#define CON_HOTW(ctl) LWPAN_CON_INT_(ctl, CTL_HOTW)
#define CON_HOTH(ctl) LWPAN_CON_INT_(ctl, CTL_HOTH)
#define CON_MOUSEX(ctl) LWPAN_CON_INT_(ctl, CTL_MOUSEX)
#define CON_MOUSEY(ctl) LWPAN_CON_INT_(ctl, CTL_MOUSEY)
#define CON_PAN(ctl) ((ctl)->get(ctl, CTL_PANEL, &sval), sval.ptr.ptr)
#define CON_PANFUN(ctl) ((ctl)->get(ctl, CTL_PANFUN, &sval), sval.ptr.ptr)

#define MOVE_CON(ctl, x, y)                                                                        \
    (ival.intv.value = (x), (ctl)->set(ctl, CTL_X, &ival), ival.intv.value = (y),                  \
     (ctl)->set(ctl, CTL_Y, &ival))
#define CON_SETEVENT(ctl, fn, data)                                                                \
    (ival.ptr.ptr = (void*)(data), (ctl)->set(ctl, CTL_USERDATA, &ival),                           \
     ival.ptr.ptr = (void*)(fn), (ctl)->set(ctl, CTL_USEREVENT, &ival))

#define ERASE_CON(ctl) (ctl)->draw(ctl, DR_ERASE)
#define REDRAW_CON(ctl) (ctl)->draw(ctl, DR_REFRESH)
#define GHOST_CON(ctl) (ctl)->draw(ctl, DR_GHOST)
#define RENDER_CON(ctl) (ctl)->draw(ctl, DR_RENDER)
#define UNGHOST_CON(ctl) (ctl)->draw(ctl, DR_RENDER)
#define ACTIVATE_CON(ctl) (ival.intv.value = 0, (ctl)->set(ctl, CTL_ACTIVATE, &ival))

#define PAN_CREATE(pf, title) (pf)->create(title, NULL)
#define PAN_POST(pf, pan) (pf)->open(pan, PANF_BLOCKING | PANF_CANCEL | PANF_FRAME)
#define PAN_KILL(pf, pan) (pf)->destroy(pan)

#define LWPAN_GET_INT_(pf, pan, tag) ((pf)->get(pan, tag, &ival.intv.value), ival.intv.value)
#define LWPAN_SET_INT_(pf, pan, tag, v)                                                            \
    (ival.intv.value = (v), (pf)->set(pan, tag, &ival.intv.value))
#define PAN_GETX(pf, pan) LWPAN_GET_INT_(pf, pan, PAN_X)
#define PAN_GETY(pf, pan) LWPAN_GET_INT_(pf, pan, PAN_Y)
#define PAN_GETW(pf, pan) LWPAN_GET_INT_(pf, pan, PAN_W)
#define PAN_GETH(pf, pan) LWPAN_GET_INT_(pf, pan, PAN_H)
#define PAN_GETVERSION(pf, pan) LWPAN_GET_INT_(pf, pan, PAN_VERSION)
#define PAN_SETW(pf, pan, w) LWPAN_SET_INT_(pf, pan, PAN_W, w)
#define PAN_SETH(pf, pan, h) LWPAN_SET_INT_(pf, pan, PAN_H, h)
#define MOVE_PAN(pf, pan, x, y)                                                                    \
    (LWPAN_SET_INT_(pf, pan, PAN_X, x), LWPAN_SET_INT_(pf, pan, PAN_Y, y))
#define PAN_SETDATA(pf, pan, d) (pf)->set(pan, PAN_USERDATA, (void*)(d))
#define PAN_SETDRAW(pf, pan, fn) (pf)->set(pan, PAN_USERDRAW, (void*)(fn))
#define PAN_SETKEYS(pf, pan, fn) (pf)->set(pan, PAN_USERKEYS, (void*)(fn))

/* ---- context menus ---- */

#define LWCONTEXTMENU_GLOBAL "ContextMenuServices"

typedef struct st_ContextMenuFuncs {
    LWContextMenuID (*cmenuCreate)(LWPanPopupDesc* desc, void* userData);
    int (*cmenuDeploy)(LWContextMenuID menu, LWPanelID pan, int item);
    void (*cmenuDestroy)(LWContextMenuID menu);
} ContextMenuFuncs;

/* ---- off-screen rasters ---- */

#define LWRASTERFUNCS_GLOBAL "RasterServices"

typedef struct st_LWRasterFuncs {
    void (*drawPixel)(LWRasterID ras, int c, int x, int y);
    void (*drawRGBPixel)(LWRasterID ras, int r, int g, int b, int x, int y);
    void (*drawLine)(LWRasterID ras, int c, int xFrom, int yFrom, int xTo, int yTo);
    void (*drawBox)(LWRasterID ras, int c, int x, int y, int w, int h);
    void (*drawRGBBox)(LWRasterID ras, int r, int g, int b, int x, int y, int w, int h);
    void (*eraseBox)(LWRasterID ras, int x, int y, int w, int h);
    void (*drawBorder)(LWRasterID ras, int indent, int x, int y, int w, int h);
    void (*drawText)(LWRasterID ras, char* text, int c, int x, int y);
    LWRasterID (*create)(int w, int h, int flags);
    void (*destroy)(LWRasterID ras);
    void (*blitPanel)(LWRasterID src, int sx, int sy, LWPanelID dest, int dx, int dy, int w, int h);
    void (*blitRaster)(LWRasterID src, int sx, int sy, LWRasterID dest, int dx, int dy, int w,
                       int h);
} LWRasterFuncs;

#endif
