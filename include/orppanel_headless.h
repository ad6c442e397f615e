/*
 * orppanel_headless.h - the panel without a window, for automated tests on Linux.
 *
 * liborppanel-headless.so is built from the same portable core as orppanel.dll: the same
 * dispatcher, LCD controller, character sets, design files and LCD drawing. A process may open
 * any number of panels; each call names the panel it acts on, and panels share nothing: each
 * has its own design, LCD, keys, LEDs, host side and clock. The host side is the DLL's (receive from the host, deliver to the host's
 * callback); beside it a test reads the LCD, the LEDs and the keys, presses keys, saves PNG
 * snapshots, and moves the panel's clock, which alone drives its timers (reset announcement
 * every 2000 ms, key report repeats every 1000 ms, cursor blink every 500 ms).
 *
 * Every function returns at once; nothing runs in the background. One panel must not be used
 * by two threads at the same time; different panels may be used on different threads at once.
 * Text is UTF-8; paths are the platform's.
 */
#ifndef ORPPANEL_HEADLESS_H
#define ORPPANEL_HEADLESS_H

#if defined(__GNUC__) && !defined(_WIN32)
#define ORPH_API __attribute__((visibility("default")))
#else
#define ORPH_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* One panel; opaque. */
typedef struct orph_panel orph_panel;

/* ---- life cycle ------------------------------------------------------------------------- */
/* A new panel, as after the first activation of the window: clock at 0, protocol mode 0, an
 * empty design, the LCD powered up, the reset announcement 'r' queued for the host. Other
 * panels of the process are not touched. Returns null only when memory ran out. */
ORPH_API orph_panel* orph_open(void);
/* Ends the panel and frees it; the pointer is invalid afterwards. Null does nothing. */
ORPH_API void orph_close(orph_panel* panel);
/* The screen resolution the panel is laid out for, in pixels per 10 000 inches (dots per inch
 * x 10 000; 960000 = 96 dots per inch, the default). Lengths in a design are nanometres, so
 * this decides the pixel size of the pictures, as the screen does for the window. Applies to
 * the design in memory at once. Returns 0 (nothing changes) for a zero value. */
ORPH_API int orph_set_resolution(orph_panel* panel, unsigned int pixelsPer10kInchX,
                                 unsigned int pixelsPer10kInchY);
/* Opens a design file (".orp"): front plate, keys, LEDs, model and LCD. Returns 1, or 0 when the
 * file was refused (the design in memory stays as it was). */
ORPH_API int orph_load_design(orph_panel* panel, const char* path);
/* Reads every ".lcd" file of a folder into the LCD type library (as the window does at start
 * with the LCD library option). Returns the number of LCD types read, or -1 when the folder
 * cannot be read. */
ORPH_API int orph_load_lcd_library(orph_panel* panel, const char* folder);

/* ---- the host side, as the DLL's ReceiveFromApp / SetRxTarget / CheckRx ------------------ */
ORPH_API void orph_receive_from_app(orph_panel* panel, const unsigned char* data,
                                   unsigned int length);
ORPH_API void orph_set_rx_target(orph_panel* panel, void (*callback)(void),
                                 unsigned char* byteBuffer);
ORPH_API void orph_check_rx(orph_panel* panel);
/* Takes the first message queued for the host into `out` (transmitted form, CR included) and
 * returns its length; 0 when nothing waits; minus its length when `capacity` is too small (it
 * stays queued). */
ORPH_API int orph_read_to_host(orph_panel* panel, unsigned char* out, int capacity);

/* ---- clock ------------------------------------------------------------------------------- */
/* Moves the clock on, firing every timer that falls due on the way, in time order. */
ORPH_API void orph_advance_ms(orph_panel* panel, unsigned int ms);
ORPH_API unsigned long long orph_now_ms(orph_panel* panel);

/* ---- LCD --------------------------------------------------------------------------------- */
ORPH_API int orph_lcd_rows(orph_panel* panel);     /* display rows shown (0 without an LCD) */
ORPH_API int orph_lcd_columns(orph_panel* panel);  /* characters per display row shown */
/* The character codes of a shown row, as the LCD shows them (display shift included). Returns
 * the count, or -1 for a row that is not shown. */
ORPH_API int orph_lcd_row_codes(orph_panel* panel, int row, unsigned char* out, int capacity);
/* The same row as UTF-8 text through the current character set, NUL-terminated. User-defined
 * characters (codes 0-15) and glyphs without a Unicode equivalent become U+FFFD. Returns the
 * byte count without the NUL, or -1. */
ORPH_API int orph_lcd_row_text(orph_panel* panel, int row, char* out, int capacity);
/* The cursor's cell: returns 1 and sets row and column when the address counter is in a shown
 * cell, else 0. `mode` (may be null): bit 0 underline cursor on, bit 1 blinking block on. */
ORPH_API int orph_lcd_cursor(orph_panel* panel, int* row, int* column, int* mode);
ORPH_API int orph_lcd_display_on(orph_panel* panel);
ORPH_API int orph_lcd_backlight(orph_panel* panel); /* last level set by 'B' (0-255) */
ORPH_API int orph_lcd_contrast(orph_panel* panel);  /* 0-255 */
ORPH_API char orph_lcd_char_set(orph_panel* panel); /* 'N' or 'C' */

/* ---- LEDs, keys, buzzer -------------------------------------------------------------------- */
/* The bit of the LED state bitmap: 0 or 1, -1 bad id. */
ORPH_API int orph_led_state(orph_panel* panel, int id);
/* The colour (0x00BBGGRR) the first LED with this identifier shows now; -1 when there is none. */
ORPH_API long orph_led_colour(orph_panel* panel, int id);
ORPH_API int orph_key_state(orph_panel* panel, int id); /* 1 pressed, 0 released, -1 bad id */
/* Key presses as the mouse makes them: press (with the key click), release, latch toggle
 * (Ctrl+click) and release all (Ctrl released); each sends the key report the protocol mode
 * asks for. Return 1, or 0 for a bad identifier. */
ORPH_API int orph_press_key(orph_panel* panel, int id);
ORPH_API int orph_release_key(orph_panel* panel, int id);
ORPH_API int orph_latch_key(orph_panel* panel, int id);
ORPH_API void orph_release_all_keys(orph_panel* panel);
/* Identifier of the first key of the design with this name, or -1. */
ORPH_API int orph_key_by_name(orph_panel* panel, const char* name);
/* Tones so far (key clicks and 'Z'); the last one's frequency and duration. */
ORPH_API int orph_beep_count(orph_panel* panel);
ORPH_API int orph_last_beep(orph_panel* panel, unsigned int* frequencyHz,
                            unsigned int* durationMs);

/* ---- snapshots --------------------------------------------------------------------------- */
/* PNG of the LCD frame alone, or of the whole panel (front plate, LCD, LEDs, latched key
 * looks), drawn with the window's LCD drawing. Returns 1, or 0 (nothing to draw, file error). */
ORPH_API int orph_save_lcd_png(orph_panel* panel, const char* path);
ORPH_API int orph_save_panel_png(orph_panel* panel, const char* path);

/* ---- for test frameworks ----------------------------------------------------------------- */
/* The identifiers of the design's keys / LEDs in the design's order (a multicolour LED gives
 * both of its identifiers). Returns how many there are; at most `capacity` are written. */
ORPH_API int orph_key_ids(orph_panel* panel, int* out, int capacity);
ORPH_API int orph_led_ids(orph_panel* panel, int* out, int capacity);
/* The 32 bytes of the LED state bitmap (LED k is bit k & 7 of byte k >> 3). Returns 32, or 0
 * when `capacity` is below 32. */
ORPH_API int orph_led_bitmap(orph_panel* panel, unsigned char* out, int capacity);
/* Milliseconds until the next timer falls due (0: due now), or -1 when no timer runs. */
ORPH_API long long orph_next_timer_ms(orph_panel* panel);
/* The Rx/Tx monitor line of `count` bytes (one frame in transmitted form) travelling in
 * `direction` (1 host to panel, 2 panel to host), "\r\n" included, NUL-terminated: as the log
 * file shows it after its time stamp. `mode` is the protocol mode the trailer is marked in; -1
 * takes the panel's own (active, and pending for an 'A' from the host). Returns the length
 * without the NUL; minus the size needed (NUL included) when `capacity` is too small; 0 for no
 * bytes or a bad direction. */
ORPH_API int orph_monitor_line(orph_panel* panel, int direction, const unsigned char* bytes,
                               unsigned int count, int mode, char* out, int capacity);

/* ---- the panel in a viewer (a window of its own, a web page) ----------------------------- */
/* The whole panel's picture as orph_save_panel_png draws it: width x height colours 0x00BBGGRR,
 * row by row from the top left. Sets *width and *height (either may be null) and returns 1 when
 * the picture fit into `capacity` pixels; returns 0 with the size set when it did not, and 0
 * with a size of 0 x 0 when there is nothing to draw. */
ORPH_API int orph_render_panel(orph_panel* panel, unsigned int* pixels, int capacity, int* width,
                               int* height);

#define ORPH_OBJECT_KEY 1
#define ORPH_OBJECT_LED 2
/* A key or LED of the design and its place on the panel's picture (pixels, right and bottom
 * exclusive). */
typedef struct orph_object {
    int kind; /* ORPH_OBJECT_KEY or ORPH_OBJECT_LED */
    int id;
    int left, top, right, bottom;
} orph_object;
/* The design's LEDs, then its keys, in the design's order. */
ORPH_API int orph_object_count(orph_panel* panel);
/* The index-th of them (0 .. count - 1): fills `object` and the object's name and tooltip as
 * UTF-8, NUL-terminated and cut to their capacities (any of the three may be null). Returns 1,
 * or 0 for an index out of range. */
ORPH_API int orph_object_info(orph_panel* panel, int index, orph_object* object, char* name,
                              int nameCapacity, char* tooltip, int tooltipCapacity);

/* The window's mouse at pixel (x, y) of the panel's picture. Button down: on a key, a press, or
 * with Ctrl the latch toggle; on an LED nothing (an LED over a key hides that part of the key).
 * Button up: without Ctrl, the release of the key under the pointer (a key pressed elsewhere
 * stays down). Both return the key acted on, or -1 when none was. Ctrl released is
 * orph_release_all_keys. */
ORPH_API int orph_mouse_down(orph_panel* panel, int x, int y, int ctrl);
ORPH_API int orph_mouse_up(orph_panel* panel, int x, int y, int ctrl);
/* Mouse moved: over a key or LED its tooltip (when longer than one character) goes to the status
 * line and the operating tips stop rotating; elsewhere the next operating tip of the design
 * shows and the tips rotate every tip interval of the design's model on the panel's clock. */
ORPH_API void orph_mouse_move(orph_panel* panel, int x, int y);
/* The status line's text as UTF-8, NUL-terminated and cut to `capacity`. Returns the byte count
 * without the NUL, or -1 (no room at all). */
ORPH_API int orph_status_text(orph_panel* panel, char* out, int capacity);

#ifdef __cplusplus
}
#endif

#endif /* ORPPANEL_HEADLESS_H */
