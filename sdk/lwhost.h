/*
 * lwhost.h -- host-wide services: message boxes, and the product, locale and
 * system words.
 */
#ifndef LWSDK_HOST_H
#define LWSDK_HOST_H

#define LWMESSAGEFUNCS_GLOBAL "Info Messages 2"

/* Dialog results: okCancel 1/0; yesNo 1/0; yesNoCan yes 2, no 1, cancel 0;
   yesNoAll adds yes-to-all 3. */
typedef struct st_LWMessageFuncs {
    void (*info)(const char* line1, const char* line2);
    void (*error)(const char* line1, const char* line2);
    void (*warning)(const char* line1, const char* line2);
    int (*okCancel)(const char* title, const char* line1, const char* line2);
    int (*yesNo)(const char* title, const char* line1, const char* line2);
    int (*yesNoCan)(const char* title, const char* line1, const char* line2);
    int (*yesNoAll)(const char* title, const char* line1, const char* line2);
} LWMessageFuncs;

/* The next three globals return an unsigned word cast to a pointer. */

#define LWPRODUCTINFO_GLOBAL "Product Info"

#define LWINF_PRODUCT 0x0000000F
#define LWINF_BUILD 0x0000FFF0
#define LWINF_MINORREV 0x000F0000
#define LWINF_MAJORREV 0x00F00000
#define LWINF_RESERVED 0xFF000000

#define LWINF_PRODLWAV 0x00000001
#define LWINF_PRODINSP3D 0x00000002
#define LWINF_PRODOTHER 0x00000004

#define LWINF_GETBUILD(x) (((x)&LWINF_BUILD) >> 4)
#define LWINF_GETMINOR(x) (((x)&LWINF_MINORREV) >> 16)
#define LWINF_GETMAJOR(x) (((x)&LWINF_MAJORREV) >> 20)

#define LWLOCALEINFO_GLOBAL "Locale Info"

#define LWLOC_LANGID 0x0000FFFF /* a LANGID_* value */
#define LWLOC_RESERVED 0xFFFF0000

#define LWSYSTEMID_GLOBAL "System ID"

#define LWSYS_TYPEBITS 0xF0000000
#define LWSYS_SERIALBITS 0x0FFFFFFF
#define LWSYS_LAYOUT 0x00000000
#define LWSYS_MODELER 0x10000000
#define LWSYS_SCREAMERNET 0x20000000
#define LWSYS_OTHER 0x80000000

#endif
