"""The headless panel (liborppanel-headless.so) from Python, standard library only.

    from orppanel_headless import HeadlessPanel

    panel = HeadlessPanel()                      # a new panel; it announces its reset ('r')
    panel.load_design("work/ORPDesigns/demo.orp")
    host = panel.host()                          # the host side: framing, ACKs, key reports
    host.acknowledge_reset()
    host.send(b"WHello")                         # -> [b"\\x06"]  (the panel's answers)
    assert panel.lcd_text(0).startswith("Hello")
    panel.click_key(3)                           # press and release, as with the mouse
    panel.advance(2000)                          # the panel's clock: its timers run now
    panel.save_panel_png("panel.png")

The library is looked for in $ORPPANEL_HEADLESS_LIB, then in build/lib below the repository.
Each HeadlessPanel is a panel of its own: several can be open at once, in one thread or in
several (one panel is used by one thread at a time), and closing one leaves the others running.
"""

import ctypes
import os

_HERE = os.path.dirname(os.path.abspath(__file__))
_DEFAULT_LIBRARY = os.path.join(_HERE, "..", "build", "lib", "liborppanel-headless.so")

CR, ESC, ACK, NAK = 0x0D, 0x1B, 0x06, 0x15
MODE_KEY_REPORTS, MODE_KEY_ACK, MODE_CHECKSUM, MODE_SEQUENCE, MODE_CRC = 0x01, 0x02, 0x04, 0x08, 0x10


def _load(path):
    lib = ctypes.CDLL(path)
    c_int, c_uint, c_char_p, c_ubyte_p = ctypes.c_int, ctypes.c_uint, ctypes.c_char_p, ctypes.POINTER(ctypes.c_ubyte)
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
        "orph_lcd_row_text": (c_int, [c_int, ctypes.c_char_p, c_int]),
        "orph_lcd_cursor": (c_int, [ctypes.POINTER(c_int)] * 3),
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
    }
    for name, (result, arguments) in signatures.items():
        function = getattr(lib, name)
        function.restype = result
        function.argtypes = [handle] + arguments
    return lib


_libraries = {}


def _library(path):
    # ctypes loads a library once per process anyway; the signatures are set once per path.
    if path not in _libraries:
        _libraries[path] = _load(path)
    return _libraries[path]


class _Calls:
    # The library's functions with this panel's handle put in front of the arguments.
    def __init__(self, lib, handle):
        self._lib, self._handle = lib, handle

    def __getattr__(self, name):
        function = getattr(self._lib, name)
        handle = self._handle
        if handle is None:
            raise RuntimeError("the headless panel is closed")
        return lambda *arguments: function(handle, *arguments)


def _path(value):
    return os.fsencode(os.fspath(value))


class HeadlessPanel:
    """One panel without a window. Keys and LEDs are addressed by identifier (0-255)."""

    def __init__(self, library=None):
        path = library or os.environ.get("ORPPANEL_HEADLESS_LIB") or _DEFAULT_LIBRARY
        self._library = _library(path)
        handle = self._library.orph_open()
        if not handle:
            raise RuntimeError("the headless panel could not start")
        self._lib = _Calls(self._library, handle)

    def close(self):
        """Ends this panel; further calls on it raise RuntimeError. Closing twice is harmless."""
        if self._lib._handle is not None:
            self._library.orph_close(self._lib._handle)
            self._lib._handle = None

    def __del__(self):
        # A panel that was never closed is freed with its object.
        if getattr(self, "_lib", None) is not None:
            self.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # ---- design and LCD library
    def load_design(self, path):
        if not self._lib.orph_load_design(_path(path)):
            raise ValueError("design file refused: %s" % path)

    def set_resolution(self, dots_per_inch_x, dots_per_inch_y=None):
        """The screen resolution the pictures stand for (default 96 dots per inch)."""
        y = dots_per_inch_x if dots_per_inch_y is None else dots_per_inch_y
        if not self._lib.orph_set_resolution(int(dots_per_inch_x * 10000), int(y * 10000)):
            raise ValueError("bad resolution")

    def load_lcd_library(self, folder):
        return self._lib.orph_load_lcd_library(_path(folder))

    # ---- the host side
    def receive_from_app(self, frame):
        """Hands the panel one whole frame (transmitted form, ending with CR)."""
        data = bytes(frame)
        buffer = (ctypes.c_ubyte * len(data)).from_buffer_copy(data)
        self._lib.orph_receive_from_app(buffer, len(data))

    def read_to_host(self):
        """The next frame queued for the host (transmitted form), or None."""
        size = 1024
        while True:
            buffer = (ctypes.c_ubyte * size)()
            n = self._lib.orph_read_to_host(buffer, size)
            if n == 0:
                return None
            if n > 0:
                return bytes(buffer[:n])
            size = -n

    def host(self):
        return Host(self)

    # ---- clock
    def advance(self, ms):
        self._lib.orph_advance_ms(int(ms))

    @property
    def now(self):
        return self._lib.orph_now_ms()

    # ---- LCD
    @property
    def lcd_rows(self):
        return self._lib.orph_lcd_rows()

    @property
    def lcd_columns(self):
        return self._lib.orph_lcd_columns()

    def lcd_codes(self, row):
        buffer = (ctypes.c_ubyte * 64)()
        n = self._lib.orph_lcd_row_codes(row, buffer, 64)
        if n < 0:
            raise IndexError("LCD row %d is not shown" % row)
        return bytes(buffer[:n])

    def lcd_text(self, row):
        buffer = ctypes.create_string_buffer(256)
        if self._lib.orph_lcd_row_text(row, buffer, 256) < 0:
            raise IndexError("LCD row %d is not shown" % row)
        return buffer.value.decode("utf-8")

    def lcd_lines(self):
        """Every shown row as text (rows that are not shown are left out)."""
        lines = []
        for row in range(self.lcd_rows):
            try:
                lines.append(self.lcd_text(row))
            except IndexError:
                pass
        return lines

    def cursor(self):
        """(row, column, underline, blink) of the cursor's cell, or None when it is off screen."""
        row, column, mode = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        shown = self._lib.orph_lcd_cursor(ctypes.byref(row), ctypes.byref(column), ctypes.byref(mode))
        if not shown:
            return None
        return row.value, column.value, bool(mode.value & 1), bool(mode.value & 2)

    @property
    def display_on(self):
        return bool(self._lib.orph_lcd_display_on())

    @property
    def backlight(self):
        return self._lib.orph_lcd_backlight()

    @property
    def contrast(self):
        return self._lib.orph_lcd_contrast()

    @property
    def char_set(self):
        return self._lib.orph_lcd_char_set().decode("ascii")

    # ---- LEDs, keys, buzzer
    def led(self, led_id):
        return self._lib.orph_led_state(led_id) == 1

    def led_colour(self, led_id):
        """0x00BBGGRR of the first LED with this identifier, or None."""
        colour = self._lib.orph_led_colour(led_id)
        return None if colour < 0 else colour

    def key(self, key_id):
        return self._lib.orph_key_state(key_id) == 1

    def key_by_name(self, name):
        key_id = self._lib.orph_key_by_name(name.encode("cp1252"))
        if key_id < 0:
            raise KeyError(name)
        return key_id

    def press_key(self, key_id):
        self._check_id(self._lib.orph_press_key(key_id), key_id)

    def release_key(self, key_id):
        self._check_id(self._lib.orph_release_key(key_id), key_id)

    def click_key(self, key_id):
        self.press_key(key_id)
        self.release_key(key_id)

    def latch_key(self, key_id):
        self._check_id(self._lib.orph_latch_key(key_id), key_id)

    def release_all_keys(self):
        self._lib.orph_release_all_keys()

    @property
    def beeps(self):
        return self._lib.orph_beep_count()

    def last_beep(self):
        """(frequency in Hz, duration in ms) of the last tone, or None."""
        hz, ms = ctypes.c_uint(), ctypes.c_uint()
        if not self._lib.orph_last_beep(ctypes.byref(hz), ctypes.byref(ms)):
            return None
        return hz.value, ms.value

    # ---- snapshots
    def save_lcd_png(self, path):
        if not self._lib.orph_save_lcd_png(_path(path)):
            raise OSError("no LCD snapshot written to %s" % path)

    def save_panel_png(self, path):
        if not self._lib.orph_save_panel_png(_path(path)):
            raise OSError("no panel snapshot written to %s" % path)

    @staticmethod
    def _check_id(ok, key_id):
        if not ok:
            raise ValueError("bad key identifier %r" % key_id)


def crc16(data):
    """CRC-16/XMODEM."""
    crc = 0
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021) if crc & 0x8000 else crc << 1
            crc &= 0xFFFF
    return crc


def build_frame(message, mode=0, sequence=0):
    """A message framed for a protocol mode and stuffed, as the panel expects it."""
    plain = bytearray(message)
    if plain[:1] != b"R":
        if mode & MODE_SEQUENCE:
            plain.append(sequence)
        if mode & MODE_CRC:
            crc = crc16(plain)
            plain += bytes([crc >> 8, crc & 0xFF])
        elif mode & MODE_CHECKSUM:
            plain.append(~sum(plain) & 0xFF)
    out = bytearray()
    for byte in plain:
        if byte in (ESC, CR):
            out.append(ESC)
        out.append(byte)
    out.append(CR)
    return bytes(out)


def unstuff(frame):
    """The frame without stuffing and without its final CR."""
    out, escaped = bytearray(), False
    for byte in frame[:-1]:
        if not escaped and byte == ESC:
            escaped = True
            continue
        escaped = False
        out.append(byte)
    return bytes(out)


class Host:
    """The host side in a few calls, in protocol mode 0 or with sequence bytes and checks.

    send() frames a message, hands it to the panel and returns the panel's answers as messages
    (without sequence, check bytes and CR); key reports among them are acknowledged when the
    mode asks for it. For the full host side in C++ see include/orppanel_host.h.
    """

    def __init__(self, panel):
        self.panel = panel
        self.mode = 0
        self._sequence = ord("c")
        self._last_taken = 0

    def _next_sequence(self):
        self._sequence += 1
        if self._sequence >= ord("y"):
            self._sequence = ord("e")
        if self._sequence == self._last_taken:
            return self._next_sequence()
        return self._sequence

    def _strip(self, frame):
        body = unstuff(frame)
        if body == b"r":
            return body
        if self.mode & MODE_CRC:
            if crc16(body) != 0:
                raise ValueError("bad CRC in %r" % frame)
            body = body[:-2]
        elif self.mode & MODE_CHECKSUM:
            if (sum(body[:-1]) + body[-1]) & 0xFF != 0xFF:
                raise ValueError("bad checksum in %r" % frame)
            body = body[:-1]
        if self.mode & MODE_SEQUENCE:
            self._last_sequence = body[-1]
            body = body[:-1]
        return body

    def _ack(self, sequence):
        self._last_taken = sequence if self.mode & MODE_SEQUENCE else 0
        self.panel.receive_from_app(build_frame(bytes([ACK]), self.mode, sequence))

    def acknowledge(self, frame):
        """Acknowledges a key report frame read with panel.read_to_host()."""
        self._last_sequence = 0
        self._strip(frame)
        self._ack(self._last_sequence)

    def messages(self):
        """Every message the panel queued; the reset announcement and key reports are answered."""
        out = []
        while True:
            frame = self.panel.read_to_host()
            if frame is None:
                return out
            self._last_sequence = 0
            message = self._strip(frame)
            if message == b"r":
                self.mode = 0
                self._ack(0)
            elif message[:1] == b"k" and self.mode & MODE_KEY_ACK:
                self._ack(self._last_sequence)
            out.append(message)

    def acknowledge_reset(self):
        """Answers the reset announcement the panel sent at its start. True when there was one."""
        return b"r" in self.messages()

    def send(self, message):
        sequence = self._next_sequence() if self.mode & MODE_SEQUENCE else 0
        if self.mode & MODE_SEQUENCE:
            self._last_taken = sequence
        self.panel.receive_from_app(build_frame(bytes(message), self.mode, sequence))
        return self.messages()

    def set_mode(self, mode):
        """'M' then 'A'; True when the panel acknowledged the new mode."""
        if self.send(bytes([ord("M"), mode])) != [bytes([ord("m"), mode])]:
            return False
        old, self.mode = self.mode, mode
        if self.send(b"A") == [bytes([ACK])]:
            return True
        self.mode = old
        return False
