"""Finding and loading liborppanel-headless.so, with the C signatures of its functions."""

import ctypes
import os

LIBRARY_NAME = "liborppanel-headless.so"
_PACKAGE = os.path.dirname(os.path.abspath(__file__))


def library_path():
    """Where the library is taken from: $ORPPANEL_HEADLESS_LIB, else the copy the package was
    installed with, else build/lib of the source tree the package lies in."""
    chosen = os.environ.get("ORPPANEL_HEADLESS_LIB")
    if chosen:
        return chosen
    candidates = [os.path.join(_PACKAGE, LIBRARY_NAME),
                  os.path.normpath(os.path.join(_PACKAGE, "..", "..", "build", "lib", LIBRARY_NAME))]
    for candidate in candidates:
        if os.path.exists(candidate):
            return candidate
    raise FileNotFoundError(
        "%s not found: install the package (python3 -m pip install --no-build-isolation <repository>), "
        "build it in the repository (build/lib), or point $ORPPANEL_HEADLESS_LIB at it; looked in %s"
        % (LIBRARY_NAME, ", ".join(candidates)))


def _declare(lib):
    c_int, c_uint, c_char_p, c_ubyte_p = ctypes.c_int, ctypes.c_uint, ctypes.c_char_p, ctypes.POINTER(ctypes.c_ubyte)
    c_int_p = ctypes.POINTER(c_int)
    handle = ctypes.c_void_p
    lib.orph_open.restype, lib.orph_open.argtypes = handle, []
    lib.orph_close.restype, lib.orph_close.argtypes = None, [handle]
    # Every other function takes the panel first.
    signatures = {
        "orph_load_design": (c_int, [c_char_p]),
        "orph_set_resolution": (c_int, [c_uint, c_uint]),
        "orph_load_lcd_library": (c_int, [c_char_p]),
        "orph_receive_from_app": (None, [c_ubyte_p, c_uint]),
        "orph_read_to_host": (c_int, [c_ubyte_p, c_int]),
        "orph_advance_ms": (None, [c_uint]),
        "orph_now_ms": (ctypes.c_ulonglong, []),
        "orph_lcd_rows": (c_int, []),
        "orph_lcd_columns": (c_int, []),
        "orph_lcd_row_codes": (c_int, [c_int, c_ubyte_p, c_int]),
        "orph_lcd_row_text": (c_int, [c_int, c_char_p, c_int]),
        "orph_lcd_cursor": (c_int, [c_int_p] * 3),
        "orph_lcd_display_on": (c_int, []),
        "orph_lcd_backlight": (c_int, []),
        "orph_lcd_contrast": (c_int, []),
        "orph_lcd_char_set": (ctypes.c_char, []),
        "orph_led_state": (c_int, [c_int]),
        "orph_led_colour": (ctypes.c_long, [c_int]),
        "orph_key_state": (c_int, [c_int]),
        "orph_press_key": (c_int, [c_int]),
        "orph_release_key": (c_int, [c_int]),
        "orph_latch_key": (c_int, [c_int]),
        "orph_release_all_keys": (None, []),
        "orph_key_by_name": (c_int, [c_char_p]),
        "orph_beep_count": (c_int, []),
        "orph_last_beep": (c_int, [ctypes.POINTER(c_uint), ctypes.POINTER(c_uint)]),
        "orph_save_lcd_png": (c_int, [c_char_p]),
        "orph_save_panel_png": (c_int, [c_char_p]),
        "orph_key_ids": (c_int, [c_int_p, c_int]),
        "orph_led_ids": (c_int, [c_int_p, c_int]),
        "orph_led_bitmap": (c_int, [c_ubyte_p, c_int]),
        "orph_next_timer_ms": (ctypes.c_longlong, []),
        "orph_monitor_line": (c_int, [c_int, c_ubyte_p, c_uint, c_int, c_char_p, c_int]),
    }
    for name, (result, arguments) in signatures.items():
        function = getattr(lib, name)
        function.restype = result
        function.argtypes = [handle] + arguments
    return lib


_libraries = {}


def load(path=None):
    """The library at `path` (default: library_path()), loaded and declared once per path."""
    path = path or library_path()
    if path not in _libraries:
        _libraries[path] = _declare(ctypes.CDLL(path))
    return _libraries[path]
