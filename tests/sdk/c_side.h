/* What the C translation units report back to the C++ tests. */
#ifndef MORVANE_TESTS_SDK_C_SIDE_H
#define MORVANE_TESTS_SDK_C_SIDE_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One row per record (member NULL, value = sizeof) and per member
   (value = offsetof), in records.inc order. */
struct sdk_c_row {
    const char* record;
    const char* member;
    size_t value;
};

const struct sdk_c_row* sdk_c_rows(size_t* count);

/* Macro values as the C preprocessor and compiler see them. */
unsigned long sdk_c_mod_machine(void);
/* MOD_MACHINE of a translation unit built as the Windows or macOS flavour. */
unsigned long sdk_c_mod_machine_mswin(void);
unsigned long sdk_c_mod_machine_macos(void);
unsigned long sdk_c_lwid_face(void);
unsigned long sdk_c_rgb(int r, int g, int b);
int sdk_c_lwi_any(void);
int sdk_c_srvtag_button_usenglish(void);

/* Runs module-style C code through the records and macros; each returns a
   summary value the C++ side knows to expect. */
int sdk_c_save_through_macros(int* out, int n);
size_t sdk_c_hint_words(void);
const void* sdk_c_hint_word(size_t i);
int sdk_c_activate_layout_tool(int version, void* local);
unsigned int sdk_c_descriptor_words(unsigned int out[3]);

/* One per header, each compiled in a translation unit that includes only
   that header (lwcomring.h: after lwtypes.h). */
size_t sdk_alone_lwtypes(void);
size_t sdk_alone_lwserver(void);
size_t sdk_alone_lwmodule(void);
size_t sdk_alone_lwio(void);
size_t sdk_alone_lwxpanel(void);
size_t sdk_alone_lwhandler(void);
size_t sdk_alone_lwmeshes(void);
size_t sdk_alone_lwenvel(void);
size_t sdk_alone_lwrender(void);
size_t sdk_alone_lwcustobj(void);
size_t sdk_alone_lwdisplce(void);
size_t sdk_alone_lwtool(void);
size_t sdk_alone_lwlaytool(void);
size_t sdk_alone_lwgeneric(void);
size_t sdk_alone_lwdyna(void);
size_t sdk_alone_lwhost(void);
size_t sdk_alone_lwpanel(void);
size_t sdk_alone_lwcomring(void);
size_t sdk_alone_lwmtutil(void);
size_t sdk_alone_lwglobsrv(void);

#ifdef __cplusplus
}
#endif

#endif
