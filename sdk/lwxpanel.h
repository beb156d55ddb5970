/*
 * lwxpanel.h -- declarative panels: the plug-in describes controls, data and
 * hints; the host builds and runs the panel.
 */
#ifndef LWSDK_LWXPANEL_H
#define LWSDK_LWXPANEL_H

#include "lwtypes.h"

#define LWXPANELFUNCS_GLOBAL "LWXPanel"

typedef void* LWXPanelID;
typedef void* LWXPanelHint;
typedef void* LWXPDrAreaID;

/* Panel kinds for create(). A VIEW reads and writes the instance through the
   describe() callbacks; a FORM owns its values (formGet/formSet). */
#define LWXP_VIEW 1
#define LWXP_FORM 2

typedef enum en_LWXPEventTypes {
    LWXPEVENT_TRACK = 1,
    LWXPEVENT_VALUE,
    LWXPEVENT_HIT,
    LWXPEVENT_FOCUS,
    LWXPEVENT_LOSEFOCUS
} LWXPEventTypes;

typedef enum en_LWXPRefreshCodes {
    LWXPRC_NONE = 0,
    LWXPRC_DFLT,
    LWXPRC_DRAW,
    LWXPRC_FULL
} LWXPRefreshCode;

typedef enum en_LWXPDialogTypes {
    LWXPDLG_OKCANCEL = 2,
    LWXPDLG_DONE,
    LWXPDLG_OKONLY,
    LWXPDLG_YESNO,
    LWXPDLG_YESNOALL,
    LWXPDLG_YESNOCAN
} LWXPDialogTypes;

typedef enum en_LWXPanelTextXFormMode {
    LWXPTEXTXFORM_TODISPLAY = 0,
    LWXPTEXTXFORM_FROMDISPLAY
} LWXPanelTextXFormMode;

/* File requester modes (XpXREQCFG). */
#define LWXPREQ_LOAD 0
#define LWXPREQ_SAVE 1
#define LWXPREQ_DIR 2

/* Group borders (XpBORDER). */
#define LWXPBDR_NONE 0
#define LWXPBDR_UP 1
#define LWXPBDR_DOWN 2

/* Thumbnail options (XpCTRLCFG): size, aspect and border bits. */
#define THUM_SML (1 << 0)
#define THUM_MED (1 << 1)
#define THUM_LRG (1 << 2)
#define THUM_XLG (1 << 3)
#define THUM_SNGL (1 << 4)
#define THUM_BORDER_UP (1 << 9)
#define THUM_BORDER_DOWN (1 << 10)
#define THUM_BORDER_NONE (THUM_BORDER_UP | THUM_BORDER_DOWN)
#define THUM_SQ (1 << 16)
#define THUM_NTSC (1 << 17)
#define THUM_LAND THUM_NTSC
#define THUM_35MM (1 << 18)
#define THUM_PORT (1 << 19)
#define THUM_WIDE (1 << 20)
#define THUM_ANAW (1 << 21)
#define THUM_EURO (1 << 22)
#define THUM_FULL ((int)(1u << 31))

/* Both description arrays end with an all-zero entry, must outlive the panel,
   and use ids of 0x8000 and up. */
typedef struct st_LWXPanelControl {
    unsigned int cid;
    const char* label;
    const char* ctrlclass;
} LWXPanelControl;

typedef struct st_LWXPanelDataDesc {
    unsigned int vid;
    const char* name;
    const char* datatype;
} LWXPanelDataDesc;

/* Drawing inside a "dThumbnail"-style control's area. */
typedef struct st_LWXPDrawFuncs {
    void (*drawPixel)(LWXPDrAreaID reg, int c, int x, int y);
    void (*drawRGBPixel)(LWXPDrAreaID reg, int r, int g, int b, int x, int y);
    void (*drawLine)(LWXPDrAreaID reg, int c, int xFrom, int yFrom, int xTo, int yTo);
    void (*drawBox)(LWXPDrAreaID reg, int c, int x, int y, int w, int h);
    void (*drawRGBBox)(LWXPDrAreaID reg, int r, int g, int b, int x, int y, int w, int h);
    void (*drawBorder)(LWXPDrAreaID reg, int indent, int x, int y, int w, int h);
    int (*textWidth)(LWXPDrAreaID reg, char* text);
    int (*textHeight)(LWXPDrAreaID reg, char* text);
    void (*drawText)(LWXPDrAreaID reg, char* text, int c, int x, int y);
} LWXPDrawFuncs;

/* Callbacks are function types; describe() and the hints take pointers. */
typedef void* LWXPanelGetFunc(void* inst, unsigned int vid);
typedef LWXPRefreshCode LWXPanelSetFunc(void* inst, unsigned int vid, void* value);
typedef LWXPRefreshCode LWXPanelChangeNotifyFunc(LWXPanelID pan, unsigned int cid, unsigned int vid,
                                                 int event_type);
typedef void LWXPanelDestroyNotifyFunc(void* panData);
typedef void LWXPanelBtnClickFunc(LWXPanelID pan, int cid);
typedef void LWXPanelPopCmdFunc(LWXPanelID pan, int cid, int cmdid);
typedef int LWXPanelPopCntFunc(void* userdata);
typedef const char* LWXPanelPopNameFunc(void* userdata, int idx);
typedef const char* LWXPanelTextXFormFunc(LWXPanelID pan, unsigned int cid, const char* string,
                                          LWXPanelTextXFormMode mode);
typedef void LWXPanelControlDrawFunc(LWXPanelID pan, unsigned int cid, LWXPDrAreaID reg, int w,
                                     int h);
typedef void LWXPanelControlZoomFunc(LWXPanelID pan, unsigned int cid, int x, int y, int* region,
                                     int clickcount);

typedef struct st_LWXPanelFuncs {
    int version;
    LWXPDrawFuncs* drawf;
    LWXPanelID (*create)(int type, LWXPanelControl* controls);
    void (*destroy)(LWXPanelID pan);
    void (*describe)(LWXPanelID pan, LWXPanelDataDesc* data, LWXPanelGetFunc* get,
                     LWXPanelSetFunc* set);
    void (*hint)(LWXPanelID pan, unsigned int id, LWXPanelHint* hints); /* id 0 = panel */
    void* (*getData)(LWXPanelID pan, unsigned int id);
    void (*setData)(LWXPanelID pan, unsigned int id, void* data);
    void* (*formGet)(LWXPanelID pan, unsigned int vid);
    void (*formSet)(LWXPanelID pan, unsigned int vid, void* value);
    void (*viewInst)(LWXPanelID pan, void* inst);
    void (*viewRefresh)(LWXPanelID pan);
    int (*post)(LWXPanelID pan); /* modal: 1 OK, 0 cancel */
    int (*open)(LWXPanelID pan); /* non-modal */
} LWXPanelFuncs;

/* Form value helpers. */
#define FSETINT(f, pan, id, i)                                                                     \
    do {                                                                                           \
        int lwxp_int_tmp_ = (i);                                                                   \
        (f)->formSet(pan, id, &lwxp_int_tmp_);                                                     \
    } while (0)
#define FGETINT(f, pan, id) (*(int*)(f)->formGet(pan, id))
#define FSETFLT(f, pan, id, x)                                                                     \
    do {                                                                                           \
        double lwxp_flt_tmp_ = (x);                                                                \
        (f)->formSet(pan, id, &lwxp_flt_tmp_);                                                     \
    } while (0)
#define FGETFLT(f, pan, id) (*(double*)(f)->formGet(pan, id))

/* Hint tags. A regular tag is 0x3D000000 | number << 8, plus 0x80 when a
   0-terminated id list follows, plus the count of fixed arguments. */
#define XPTAG_END 0
#define XPTAG_NULL 0
#define XPTAG_CALL 0x000DD002
#define XPTAG_NEST 0x00000101
#define XPTAG_LABEL 0x3D000B03
#define XPTAG_CLASS 0x3D000C02
#define XPTAG_ADD 0x3D000D03
#define XPTAG_DELETE 0x3D000E01
#define XPTAG_CHGNOTIFY 0x3D000F01
#define XPTAG_FOCUS 0x3D001201
#define XPTAG_DESTROYNOTIFY 0x3D001302
#define XPTAG_AUTORESTORE 0x3D001481
#define XPTAG_VALUE 0x3D006502
#define XPTAG_LINK 0x3D006681
#define XPTAG_IMMUPD 0x3D006781
#define XPTAG_TRACK 0x3D006802
#define XPTAG_ORIENT 0x3D00CB02
#define XPTAG_MIN 0x3D014002
#define XPTAG_MAX 0x3D014102
#define XPTAG_STEP 0x3D014202
#define XPTAG_RANGE 0x3D014304
#define XPTAG_SENS 0x3D014402
#define XPTAG_STRLIST 0x3D014503
#define XPTAG_HARDMINMAX 0x3D014703
#define XPTAG_CLRMINMAX 0x3D014803
#define XPTAG_BUTNOTIFY 0x3D015F02
#define XPTAG_POPCMDFUNC 0x3D016002
#define XPTAG_POPFUNCS 0x3D016203
#define XPTAG_INTXFORM 0x3D016303
#define XPTAG_DRAWCBFUNC 0x3D016502
#define XPTAG_ZOOMCBFUNC 0x3D016603
#define XPTAG_TEXTXFORMFUNC 0x3D016802
#define XPTAG_VECLABEL 0x3D017202
#define XPTAG_CTRLFRONT 0x3D017301
#define XPTAG_CTRLCFG 0x3D017403
#define XPTAG_XREQCFG 0x3D019105
#define XPTAG_ALIAS 0x3D01F481
#define XPTAG_UNALIAS 0x3D01F581
#define XPTAG_ENABLE 0x3D01F984
#define XPTAG_GROUP 0x3D01FE81
#define XPTAG_ORDER 0x3D01FF81
#define XPTAG_STACK 0x3D020983
#define XPTAG_TABS 0x3D020A81
#define XPTAG_LEFT 0x3D021280
#define XPTAG_NARROW 0x3D021380
#define XPTAG_DIVADD 0x3D021481
#define XPTAG_DIVREM 0x3D021581
#define XPTAG_BORDER 0x3D021501
#define XPTAG_DLOGTYPE 0x3D02BD01

/* Every word of a hint array goes through XpH. Macros ending in '_' open an
   id list that the caller closes with XpEND. */
#define XpH(x) ((void*)(x))
#define XpEND XpH(XPTAG_END)

#define XpLABEL(id, str) XpH(XPTAG_LABEL), XpH(id), XpH(str), XpH(0)
#define XpCHGNOTIFY(fn) XpH(XPTAG_CHGNOTIFY), XpH(fn)
#define XpDESTROYNOTIFY(fn) XpH(XPTAG_DESTROYNOTIFY), XpH(fn), XpH(0)
#define XpBUTNOTIFY(cid, fn) XpH(XPTAG_BUTNOTIFY), XpH(cid), XpH(fn)
#define XpPOPCMDFUNC(cid, fn) XpH(XPTAG_POPCMDFUNC), XpH(cid), XpH(fn)
#define XpPOPFUNCS(cid, cntfn, namefn) XpH(XPTAG_POPFUNCS), XpH(cid), XpH(cntfn), XpH(namefn)
#define XpSTRLIST(cid, list) XpH(XPTAG_STRLIST), XpH(cid), XpH(list), XpH(0)
#define XpMIN(cid, v) XpH(XPTAG_MIN), XpH(cid), XpH(v)
#define XpMAX(cid, v) XpH(XPTAG_MAX), XpH(cid), XpH(v)
#define XpSTEP(cid, v) XpH(XPTAG_STEP), XpH(cid), XpH(v)
#define XpRANGE(cid, mn, mx, st) XpH(XPTAG_RANGE), XpH(cid), XpH(mn), XpH(mx), XpH(st)
#define XpHARDMINMAX(cid, bmin, bmax) XpH(XPTAG_HARDMINMAX), XpH(cid), XpH(bmin), XpH(bmax)
#define XpCLRMINMAX(cid, bmin, bmax) XpH(XPTAG_CLRMINMAX), XpH(cid), XpH(bmin), XpH(bmax)
#define XpSENS(cid, d) XpH(XPTAG_SENS), XpH(cid), XpH(d)
#define XpGROUP_(gid) XpH(XPTAG_GROUP), XpH(gid)
#define XpORDER_(gid) XpH(XPTAG_ORDER), XpH(gid)
#define XpTABS_(gid) XpH(XPTAG_TABS), XpH(gid)
#define XpSTACK_(gid, vid) XpH(XPTAG_STACK), XpH(gid), XpH(vid), XpH(0)
#define XpSTACK_MAP_(gid, vid, map) XpH(XPTAG_STACK), XpH(gid), XpH(vid), XpH(map)
#define XpENABLE_(vid) XpH(XPTAG_ENABLE), XpH(vid), XpH(0), XpH(0), XpH(0)
#define XpENABLE_MAP_(vid, map) XpH(XPTAG_ENABLE), XpH(vid), XpH(0), XpH(0), XpH(map)
#define XpENABLEMSG_(vid, msg) XpH(XPTAG_ENABLE), XpH(vid), XpH(msg), XpH(0), XpH(0)
#define XpENABLEMSG_MAP_(vid, map, msg) XpH(XPTAG_ENABLE), XpH(vid), XpH(msg), XpH(0), XpH(map)
#define XpENABLE(vid, sub) XpENABLE_(vid), XpH(sub), XpH(0)
#define XpLEFT(gid) XpH(XPTAG_LEFT), XpH(gid), XpH(0)
#define XpLEFT_() XpH(XPTAG_LEFT)
#define XpNARROW(gid) XpH(XPTAG_NARROW), XpH(gid), XpH(0)
#define XpNARROW_() XpH(XPTAG_NARROW)
#define XpDIVADD(id) XpH(XPTAG_DIVADD), XpH(id), XpH(0)
#define XpDIVADD_(id) XpH(XPTAG_DIVADD), XpH(id)
#define XpDIVREM(id) XpH(XPTAG_DIVREM), XpH(id), XpH(0)
#define XpDIVREM_(id) XpH(XPTAG_DIVREM), XpH(id)
#define XpCALL(arr) XpH(XPTAG_CALL), XpH(0), XpH(arr)
#define XpSUBCALL(id, arr) XpH(XPTAG_CALL), XpH(id), XpH(arr)
#define XpNEST(id) XpH(XPTAG_NEST), XpH(id)
#define XpCLASS(id, cls) XpH(XPTAG_CLASS), XpH(id), XpH(cls)
#define XpADD(id, cls, vid) XpH(XPTAG_ADD), XpH(id), XpH(cls), XpH(vid)
#define XpDELETE(id) XpH(XPTAG_DELETE), XpH(id)
#define XpFOCUS(cid) XpH(XPTAG_FOCUS), XpH(cid)
#define XpRESTORE(vid) XpH(XPTAG_AUTORESTORE), XpH(1), XpH(vid), XpH(0)
#define XpRESTORE_() XpH(XPTAG_AUTORESTORE), XpH(1)
#define XpRESTORE_ON XpH(XPTAG_AUTORESTORE), XpH(1), XpH(0)
#define XpRESTORE_OFF XpH(XPTAG_AUTORESTORE), XpH(0), XpH(0)
#define XpVALUE(cid, vid) XpH(XPTAG_VALUE), XpH(cid), XpH(vid)
#define XpLINK_(vid) XpH(XPTAG_LINK), XpH(vid)
#define XpLINK(vid, link) XpH(XPTAG_LINK), XpH(vid), XpH(link), XpH(0)
#define XpIMMUPD(cid, dep) XpH(XPTAG_IMMUPD), XpH(cid), XpH(dep), XpH(0)
#define XpIMMUPD_(cid) XpH(XPTAG_IMMUPD), XpH(cid)
#define XpTRACK(cid, on) XpH(XPTAG_TRACK), XpH(cid), XpH(on)
#define XpORIENT(cid, o) XpH(XPTAG_ORIENT), XpH(cid), XpH(o)
#define XpVECLABEL(cid, labels) XpH(XPTAG_VECLABEL), XpH(cid), XpH(labels)
#define XpCTRLFRONT(cid) XpH(XPTAG_CTRLFRONT), XpH(cid)
#define XpCTRLCFG(cid, opt) XpH(XPTAG_CTRLCFG), XpH(cid), XpH(0), XpH(opt)
#define XpXREQCFG(cid, mode, title, ftype)                                                         \
    XpH(XPTAG_XREQCFG), XpH(cid), XpH(mode), XpH(title), XpH(ftype), XpH(0)
#define XpINTXFORM(cid, n, list) XpH(XPTAG_INTXFORM), XpH(cid), XpH(n), XpH(list)
#define XpPOPXFORM XpINTXFORM
#define XpCHOXFORM XpINTXFORM
#define XpDRAWCBFUNC(cid, fn) XpH(XPTAG_DRAWCBFUNC), XpH(cid), XpH(fn)
#define XpZOOMCBFUNC(cid, fn, rect) XpH(XPTAG_ZOOMCBFUNC), XpH(cid), XpH(fn), XpH(rect)
#define XpTEXTXFORMFUNC(cid, fn) XpH(XPTAG_TEXTXFORMFUNC), XpH(cid), XpH(fn)
#define XpALIAS_(id) XpH(XPTAG_ALIAS), XpH(id)
#define XpUNALIAS_(id) XpH(XPTAG_UNALIAS), XpH(id)
#define XpBORDER(t) XpH(XPTAG_BORDER), XpH(t)
#define XpDLOGTYPE(t) XpH(XPTAG_DLOGTYPE), XpH(t)

#endif
