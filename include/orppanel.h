/*
 * orppanel.h - what a host application needs to drive the ORPpanel virtual front panel.
 *
 * orppanel.dll is a Windows DLL: a 32-bit host loads the 32-bit build (build-win/bin), a 64-bit
 * host the 64-bit build (build-win64/bin). A host either links against an import library of the
 * same width (lib/orppanel.lib for MSVC-style linkers, lib/liborppanel.dll.a for MinGW) or loads
 * the DLL with LoadLibrary and resolves the six functions by the ORPPANEL_NAME_... names below.
 *
 * Calling order: SetOptions (once) -> SetRxTarget -> any number of ReceiveFromApp and periodic
 * CheckRx calls -> Close -> unload the DLL.
 */
#ifndef ORPPANEL_H
#define ORPPANEL_H

#ifndef __cplusplus
#error "orppanel.h declares C++ functions: include it from C++ code"
#endif

/* Passed to SetOptions. */
struct stOrpOpts {
    unsigned long revision; /* 0 or 1; anything else is refused */
    unsigned long flags;    /* OPT_... bits */
};

/* Option bits. */
#define OPT_EDIT_A            0x00002ul /* coupled with OPT_LCD_LIBRARY */
#define OPT_EDIT_B            0x00004ul
#define OPT_COMM_UI           0x00008ul /* connection icons, communication settings */
#define OPT_NO_LCD_LIBRARY    0x00010ul /* clears OPT_LCD_LIBRARY and OPT_EDIT_A */
#define OPT_ENGLISH           0x00020ul /* English user interface (default German) */
#define OPT_HIDE_HOST         0x00080ul /* hide the host's window at start */
#define OPT_LCD_LIBRARY       0x00100ul /* LCDs menu from the LCD type library */
#define OPT_NO_MENU           0x00400ul /* no menu bar; About and Help in the system menu */
#define OPT_LCD_PANEL         0x00800ul /* LCD control panel available */
#define OPT_FILE_COMMANDS     0x01000ul /* New, Open, Save, Save as, bitmap import/export */
#define OPT_EDIT_C            0x02000ul
#define OPT_FONT_TABLE        0x04000ul /* font table window */
#define OPT_EDIT_D            0x08000ul
#define OPT_SHOW_COORDS       0x10000ul /* mouse coordinates in the status line */
#define OPT_IGNORE_HANDSHAKE  0x20000ul /* network handshake replies not evaluated */
#define OPT_LINK_SETUP_MSG    0x40000ul /* '!' link notices queued for the host */
#define OPT_EDIT_MASK         0x0F98Eul /* any of these allows editing the design */

/*
 * The DLL exports the functions under the names an MSVC C++ compiler gives these declarations:
 * the 32-bit orppanel.dll the 32-bit names, the 64-bit orppanel.dll the 64-bit names (pointers
 * are encoded with the extra "E"). MSVC produces them by itself; with GCC and clang in MinGW mode
 * the asm labels below bind to the same names in the import library.
 */
#if defined(_WIN64)
#define ORPPANEL_NAME_BINDLCDDLL     "?BindLcdDll@@YAXXZ"
#define ORPPANEL_NAME_CHECKRX        "?CheckRx@@YAXXZ"
#define ORPPANEL_NAME_CLOSE          "?Close@@YAXXZ"
#define ORPPANEL_NAME_RECEIVEFROMAPP "?ReceiveFromApp@@YAXPEAEI@Z"
#define ORPPANEL_NAME_SETOPTIONS     "?SetOptions@@YAKPEAUstOrpOpts@@@Z"
#define ORPPANEL_NAME_SETRXTARGET    "?SetRxTarget@@YAXP6AXXZPEAE@Z"
#else
#define ORPPANEL_NAME_BINDLCDDLL     "?BindLcdDll@@YAXXZ"
#define ORPPANEL_NAME_CHECKRX        "?CheckRx@@YAXXZ"
#define ORPPANEL_NAME_CLOSE          "?Close@@YAXXZ"
#define ORPPANEL_NAME_RECEIVEFROMAPP "?ReceiveFromApp@@YAXPAEI@Z"
#define ORPPANEL_NAME_SETOPTIONS     "?SetOptions@@YAKPAUstOrpOpts@@@Z"
#define ORPPANEL_NAME_SETRXTARGET    "?SetRxTarget@@YAXP6AXXZPAE@Z"
#endif
/* The names above are also the ones for GetProcAddress (ordinals 1 to 6 in this order). */

#if defined(__GNUC__) && !defined(_MSC_VER)
#define ORPPANEL_NAME(decorated) __asm__("\"" decorated "\"")
#else
#define ORPPANEL_NAME(decorated)
#endif

void BindLcdDll() ORPPANEL_NAME(ORPPANEL_NAME_BINDLCDDLL);
void CheckRx() ORPPANEL_NAME(ORPPANEL_NAME_CHECKRX);
void Close() ORPPANEL_NAME(ORPPANEL_NAME_CLOSE);
void ReceiveFromApp(unsigned char* data, unsigned int length) ORPPANEL_NAME(ORPPANEL_NAME_RECEIVEFROMAPP);
unsigned long SetOptions(stOrpOpts* opts) ORPPANEL_NAME(ORPPANEL_NAME_SETOPTIONS);
void SetRxTarget(void (*callback)(), unsigned char* byteBuffer) ORPPANEL_NAME(ORPPANEL_NAME_SETRXTARGET);

#endif /* ORPPANEL_H */
