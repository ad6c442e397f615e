"""One headless panel: the panel without a window, driven as a host and a person drive the DLL.

    from orppanel import Panel

    panel = Panel(design="work/ORPDesigns/demo.orp")   # it announces its reset ('r') at once
    host = panel.host()                                 # the host side: framing, ACKs, key reports
    host.acknowledge_reset()
    host.text("Hello")
    assert panel.lcd_text(0).startswith("Hello")
    panel.click_key(panel.key_by_name("OK"))            # press and release, as with the mouse
    panel.advance(2000)                                 # the panel's clock: its timers run now
    panel.save_panel_png("panel.png")

Each Panel is a panel of its own: several can be open at once, in one thread or in several
(one panel is used by one thread at a time), and closing one leaves the others running.
What the panel shows and sends is logged in `events` (LCD cells written, LEDs switched, tones,
key reports taken by its host).
"""

import ctypes
import os
import tempfile
from dataclasses import dataclass, field

from . import _library


class UnknownIdError(KeyError, ValueError):
    """A key or LED identifier the panel's design does not have."""

    def __str__(self):
        return self.args[0] if self.args else "unknown identifier"


@dataclass(frozen=True)
class LcdWrite:
    """Cells of a shown LCD row changed: `text` (from the first to the last changed cell) now
    stands at `column` of `row`."""
    row: int
    column: int
    text: str
    time: int = field(default=0, compare=False)


@dataclass(frozen=True)
class LedChange:
    """An LED of the design went on or off."""
    id: int
    on: bool
    time: int = field(default=0, compare=False)


@dataclass(frozen=True)
class Beep:
    """A tone: a key click or 'Z'."""
    hz: int
    ms: int
    time: int = field(default=0, compare=False)


@dataclass(frozen=True)
class KeyReport:
    """A key report the host took says that a key went down or up."""
    id: int
    down: bool
    time: int = field(default=0, compare=False)


def _path(value):
    return os.fsencode(os.fspath(value))


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


class Panel:
    """One panel without a window. Keys and LEDs are addressed by the identifiers the design
    gives them; an identifier the design lacks raises UnknownIdError."""

    def __init__(self, library=None, design=None):
        self._library = _library.load(library)
        handle = self._library.orph_open()
        if not handle:
            raise RuntimeError("the headless panel could not start")
        self._lib = _Calls(self._library, handle)
        self.events = []
        self._key_ids = self._led_ids = frozenset()
        self._seen_lines, self._seen_leds, self._seen_beeps = [], bytes(32), 0
        if design is not None:
            self.load_design(design)

    def close(self):
        """Ends this panel; further calls on it raise RuntimeError. Closing twice is harmless."""
        if self._lib._handle is not None:
            self._library.orph_close(self._lib._handle)
            self._lib._handle = None

    @property
    def closed(self):
        return self._lib._handle is None

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
        self._key_ids = frozenset(self._ids(self._lib.orph_key_ids))
        self._led_ids = frozenset(self._ids(self._lib.orph_led_ids))
        self._observe(log=False)

    def _ids(self, function):
        count = function(None, 0)
        ids = (ctypes.c_int * max(count, 1))()
        function(ids, count)
        return list(ids[:count])

    @property
    def key_ids(self):
        """The identifiers of the design's keys, sorted."""
        return sorted(self._key_ids)

    @property
    def led_ids(self):
        """The identifiers of the design's LEDs (both of a multicolour LED), sorted."""
        return sorted(self._led_ids)

    def set_resolution(self, dots_per_inch_x, dots_per_inch_y=None):
        """The screen resolution the pictures stand for (default 96 dots per inch)."""
        y = dots_per_inch_x if dots_per_inch_y is None else dots_per_inch_y
        if not self._lib.orph_set_resolution(int(dots_per_inch_x * 10000), int(y * 10000)):
            raise ValueError("bad resolution")
        self._observe(log=False)

    def load_lcd_library(self, folder):
        return self._lib.orph_load_lcd_library(_path(folder))

    # ---- the host side
    def receive_from_app(self, frame):
        """Hands the panel one whole frame (transmitted form, ending with CR)."""
        data = bytes(frame)
        buffer = (ctypes.c_ubyte * len(data)).from_buffer_copy(data)
        self._lib.orph_receive_from_app(buffer, len(data))
        self._observe()

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

    def host(self, **callbacks):
        """A Host on this panel (on_key_down=..., on_key_up=... as keyword arguments)."""
        from .host import Host
        return Host(self, **callbacks)

    def monitor_line(self, frame, direction, mode=None):
        """The Rx/Tx monitor line of a frame (direction 1 host to panel, 2 panel to host), in
        `mode` or the panel's own protocol mode, without its "\\r\\n"."""
        data = bytes(frame)
        if not data:
            return ""
        buffer = (ctypes.c_ubyte * len(data)).from_buffer_copy(data)
        mode = -1 if mode is None else mode
        size = 4 * len(data) + 64
        while True:
            out = ctypes.create_string_buffer(size)
            n = self._lib.orph_monitor_line(direction, buffer, len(data), mode, out, size)
            if n >= 0:
                return out.raw[:n].decode("latin-1").rstrip("\r\n")
            size = -n

    # ---- clock
    def advance(self, ms):
        """Moves the panel's clock on by `ms`, running every timer that falls due on the way."""
        self._lib.orph_advance_ms(int(ms))
        self._observe()

    @property
    def now(self):
        return self._lib.orph_now_ms()

    def next_timer(self):
        """Milliseconds until the next timer falls due, or None when no timer runs."""
        due = self._lib.orph_next_timer_ms()
        return None if due < 0 else due

    def wait_for(self, condition, ms):
        """Runs the panel's clock until condition() is true, at most `ms` milliseconds, from
        one timer to the next; returns condition()'s value. TimeoutError when it stays false."""
        end = self.now + int(ms)
        while True:
            result = condition()
            if result:
                return result
            left = end - self.now
            if left <= 0:
                raise TimeoutError("%s still false after %d ms on the panel's clock (now %d ms)"
                                   % (getattr(condition, "__name__", "condition"), ms, self.now))
            due = self.next_timer()
            self.advance(left if due is None else min(max(due, 1), left))

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
    def _check(self, kind, ids, wanted):
        if wanted not in ids:
            listed = ", ".join(str(i) for i in sorted(ids)) or "none"
            raise UnknownIdError("the design has no %s %r (its %ss: %s)" % (kind, wanted, kind, listed))

    def led(self, led_id):
        self._check("LED", self._led_ids, led_id)
        return self._lib.orph_led_state(led_id) == 1

    def led_colour(self, led_id):
        """0x00BBGGRR that the first LED with this identifier shows."""
        self._check("LED", self._led_ids, led_id)
        return self._lib.orph_led_colour(led_id)

    def leds_on(self):
        """The identifiers of the design's LEDs that are on, sorted."""
        bitmap = self._led_bitmap()
        return sorted(i for i in self._led_ids if bitmap[i >> 3] >> (i & 7) & 1)

    def _led_bitmap(self):
        buffer = (ctypes.c_ubyte * 32)()
        self._lib.orph_led_bitmap(buffer, 32)
        return bytes(buffer)

    def key(self, key_id):
        self._check("key", self._key_ids, key_id)
        return self._lib.orph_key_state(key_id) == 1

    def key_by_name(self, name):
        key_id = self._lib.orph_key_by_name(name.encode("cp1252"))
        if key_id < 0:
            raise UnknownIdError("the design has no key named %r" % name)
        return key_id

    def _key_action(self, function, key_id):
        if isinstance(key_id, str):
            key_id = self.key_by_name(key_id)
        self._check("key", self._key_ids, key_id)
        function(key_id)
        self._observe()

    def press_key(self, key_id):
        """Presses a key (its identifier or its name) as the mouse does, with its click."""
        self._key_action(self._lib.orph_press_key, key_id)

    def release_key(self, key_id):
        self._key_action(self._lib.orph_release_key, key_id)

    def click_key(self, key_id):
        self.press_key(key_id)
        self.release_key(key_id)

    def latch_key(self, key_id):
        """Ctrl+click: the key stays down (pressed look) until latched again or Ctrl is released."""
        self._key_action(self._lib.orph_latch_key, key_id)

    def release_all_keys(self):
        self._lib.orph_release_all_keys()
        self._observe()

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

    def lcd_picture(self):
        """The LCD frame as a Pillow image."""
        return self._picture(self.save_lcd_png)

    def panel_picture(self):
        """The whole panel as a Pillow image."""
        return self._picture(self.save_panel_png)

    @staticmethod
    def _picture(save):
        from PIL import Image
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "snapshot.png")
            save(path)
            with Image.open(path) as image:
                return image.convert("RGB")

    # ---- the event log
    def events_of(self, kind):
        """The logged events of one kind (LcdWrite, LedChange, Beep, KeyReport)."""
        return [event for event in self.events if isinstance(event, kind)]

    def _observe(self, log=True):
        # What changed since the last look: the cells of each shown row, the design's LEDs, the
        # tones. A change of the LCD's size (a design load) starts afresh without events.
        now = self.now if log else 0
        lines = self.lcd_lines()
        if log and len(lines) == len(self._seen_lines):
            for row, (before, after) in enumerate(zip(self._seen_lines, lines)):
                for column, text in _changed_runs(before, after):
                    self.events.append(LcdWrite(row, column, text, now))
        self._seen_lines = lines
        leds = self._led_bitmap()
        if log and leds != self._seen_leds:
            for led_id in sorted(self._led_ids):
                was, on = self._seen_leds[led_id >> 3] >> (led_id & 7) & 1, leds[led_id >> 3] >> (led_id & 7) & 1
                if was != on:
                    self.events.append(LedChange(led_id, bool(on), now))
        self._seen_leds = leds
        beeps = self.beeps
        if log and beeps > self._seen_beeps:
            hz, ms = self.last_beep()
            self.events.extend(Beep(hz, ms, now) for _ in range(beeps - self._seen_beeps))
        self._seen_beeps = beeps


def _changed_runs(before, after):
    """[(column, new text)] from the first to the last cell that differs between two texts of
    a row (nothing when they are the same)."""
    padded = before.ljust(len(after))
    changed = [column for column, (old, new) in enumerate(zip(padded, after)) if old != new]
    return [(changed[0], after[changed[0]:changed[-1] + 1])] if changed else []


# The name of the first Python interface.
HeadlessPanel = Panel
