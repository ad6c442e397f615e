"""Replaying an RXTX log: the frames a host sent to a panel, fed into a headless panel again.

The panel's RXTX log holds one monitor line per frame, "[RX ss:mmm] line" for a frame from the
host and "[TX ss:mmm] line" for one to the host, stamped with the seconds and milliseconds of
the time, and a "######## START hh.mm.ss START ########" banner each time the log was opened.

    result = orppanel.replay("RXTX07.12.2026.log", design="device.orp")
    assert result.answers == result.logged_answers       # the panel answers as it did then
    assert result.steps[-1].lcd == ["Hello           ", "                "]

A monitor line shows text as text and marks the trailer bytes, so it is read back into bytes by
trying the readings its notation allows and keeping the one the panel's own monitor renders
into exactly the logged line (in the protocol mode the replaying panel is in at that point,
else in any mode). A line that no reading gives back raises LogFormatError with its number.
"""

import os
import re
from dataclasses import dataclass, field

from .panel import Panel

HOST_TO_PANEL, PANEL_TO_HOST = 1, 2
_ENTRY = re.compile(r"^\[(RX|TX) (\d\d):(\d\d\d)\] (.*)$", re.S)
_BANNER = re.compile(r"^######## START \d\d\.\d\d\.\d\d START ########$")
_HEX = re.compile(r"[0-9a-f]{2}")
# The renderings that differ in the trailer marks alone.
_MODES = (0x00, 0x04, 0x08, 0x0C, 0x10, 0x18)
_MAX_CANDIDATES = 16
_MAX_STEPS = 200000
RESET_REPEAT_MS = 2000  # the panel's reset announcement repeats this often until answered


class LogFormatError(ValueError):
    """A line of a log that cannot be read; `line_number` counts from 1."""

    def __init__(self, path, line_number, text, why):
        super().__init__("%s:%d: %s: %r" % (path, line_number, why, text))
        self.path, self.line_number, self.text = path, line_number, text


@dataclass
class Entry:
    """One monitor line of the log."""
    line_number: int
    direction: int           # HOST_TO_PANEL (RX) or PANEL_TO_HOST (TX)
    stamp: int               # seconds and milliseconds of the time, in ms (0-59999)
    text: str                # the monitor line without its "\r\n"
    candidates: list = field(repr=False, default_factory=list)  # readings, most likely first


@dataclass
class Step:
    """One host frame of the replay and what followed it."""
    line_number: int
    time: int                # the panel's clock when the frame went in
    frame: bytes             # transmitted form, CR included
    monitor: str             # the logged monitor line
    answers: list            # the frames the panel queued in reply (transmitted form)
    lcd: list                # the LCD's shown rows afterwards


@dataclass
class Replay:
    """What the replay gave: the panel (still open), one Step per host frame, every frame the
    panel queued in order (replies and timer frames alike), and the frames the log shows the
    panel sent then (its TX lines)."""
    panel: Panel
    steps: list = field(default_factory=list)
    answers: list = field(default_factory=list)
    logged_answers: list = field(default_factory=list)

    def step_at(self, line_number):
        """The step of the frame logged on that line."""
        for step in self.steps:
            if step.line_number == line_number:
                return step
        raise KeyError("no host frame on line %d" % line_number)


def read_log(path):
    """The sessions of an RXTX log, each a list of Entry; a session begins at each start
    banner (lines before the first banner make a session of their own)."""
    sessions, current = [], None
    scratch = Panel()
    try:
        with open(path, "rb") as f:
            raw = f.read()
        for number, line in enumerate(raw.split(b"\n"), start=1):
            text = line.rstrip(b"\r").decode("latin-1")
            if not text.strip():
                continue
            if _BANNER.match(text):
                current = []
                sessions.append(current)
                continue
            match = _ENTRY.match(text)
            if not match:
                raise LogFormatError(path, number, text, "not a line of an RXTX log")
            kind, seconds, millis, monitor = match.groups()
            entry = Entry(number, HOST_TO_PANEL if kind == "RX" else PANEL_TO_HOST,
                          int(seconds) * 1000 + int(millis), monitor)
            entry.candidates = readings(monitor, lambda c: _renders_in_some_mode(scratch, c, entry))
            if not entry.candidates:
                raise LogFormatError(path, number, text, "monitor line that no frame gives")
            if current is None:
                current = []
                sessions.append(current)
            current.append(entry)
    finally:
        scratch.close()
    return sessions


def replay(log_path, design=None, panel=None, session=-1, on_frame=None):
    """Feeds the host frames of one session of an RXTX log (default: the last) into a headless
    panel, in order and with their logged time gaps on the panel's clock, and returns a Replay.

    `panel`: a panel prepared by the caller (design, resolution); otherwise a new one with
    `design` loaded. `on_frame(step, panel)` runs after each host frame, for checks or for
    what the log cannot hold (key presses on the panel's window). The clock starts at the
    session's first line, or earlier when the log shows the reset announcement repeated before
    the host answered it; gaps are taken modulo a minute, as the stamps hold no more."""
    sessions = read_log(log_path)
    if not sessions:
        raise ValueError("%s holds no log lines" % log_path)
    entries = sessions[session]
    if panel is None:
        panel = Panel(design=design)
    result = Replay(panel)

    def drain():
        frames = []
        while True:
            frame = panel.read_to_host()
            if frame is None:
                result.answers.extend(frames)
                return frames
            frames.append(frame)

    drain()
    last = entries[0].stamp if entries else 0
    panel.advance(_lead(entries))
    for entry in entries:
        panel.advance((entry.stamp - last) % 60000)
        last = entry.stamp
        drain()
        frame = _choose(panel, entry)
        if entry.direction == PANEL_TO_HOST:
            result.logged_answers.append(frame)
            continue
        panel.receive_from_app(frame)
        step = Step(entry.line_number, panel.now, frame, entry.text, drain(), panel.lcd_lines())
        result.steps.append(step)
        if on_frame:
            on_frame(step, panel)
            drain()
    return result


def _lead(entries):
    # The panel announced its reset when it started, before the log's first line, and repeats
    # the announcement every 2000 ms until the host's first ACK; announcements queued by then
    # are delivered after it. So n announcements logged before the host's first frame other
    # than an ACK mean that the first ACK came 2000 x (n - 1) ms or more after the start: the
    # clock is set ahead so that the replaying panel has announced as often by then.
    announcements, first_rx = 0, None
    for entry in entries:
        if entry.direction == HOST_TO_PANEL:
            first_rx = first_rx or entry
            if entry.candidates[0][:1] != b"\x06":
                break
        elif entry.candidates[0] == b"r\r":
            announcements += 1
    if not announcements or first_rx is None:
        return 0
    logged = (first_rx.stamp - entries[0].stamp) % 60000
    return max(0, RESET_REPEAT_MS * (announcements - 1) - logged)


def _choose(panel, entry):
    # The reading the panel renders into the logged line in its own mode, else the first that
    # some mode gives (a log that began in the middle of a session).
    for candidate in entry.candidates:
        if panel.monitor_line(candidate, entry.direction) == entry.text:
            return candidate
    return entry.candidates[0]


def _renders_in_some_mode(panel, candidate, entry):
    return any(panel.monitor_line(candidate, entry.direction, mode) == entry.text for mode in _MODES)


def readings(line, accept=None):
    """The byte strings (frames in transmitted form) whose monitor line this could be, those
    `accept` (if given) takes, the structural readings (escape, trailer mark, hex byte in text,
    END) before literal text."""
    head = _read_head(line)
    if head is None:
        return []
    command, body = head
    text_mode = command in (ord("W"), ord("S"))
    out, steps = [], 0
    # Depth-first over (position, text mode, escape pending, line ends in a space, CRC pair open,
    # bytes so far); each step reads one byte's rendering.
    stack = [(0, text_mode, False, False, False, [command])]
    while stack and len(out) < _MAX_CANDIDATES and steps < _MAX_STEPS:
        steps += 1
        pos, text, escape, space, crc, got = stack.pop()
        if pos == len(body):
            if not escape and not crc and got[-1] == 0x0D and (accept is None or accept(bytes(got))):
                out.append(bytes(got))
            continue
        options = _next_bytes(body, pos, text, escape, space, crc)
        for option in reversed(options):
            value, end, state = option
            stack.append((end,) + state + (got + [value],))
    return out


def _read_head(line):
    if line.startswith("ACK "):
        return 0x06, line[4:]
    if line.startswith("NAK "):
        return 0x15, line[4:]
    if len(line) >= 5 and line[0] == "(" and line[3:5] == ") " and _HEX.fullmatch(line[1:3]):
        return int(line[1:3], 16), line[5:]
    if len(line) >= 2 and line[1] == " ":
        return ord(line[0]), line[2:]
    return None


def _hex_at(body, pos):
    piece = body[pos:pos + 2]
    return int(piece, 16) if len(piece) == 2 and _HEX.fullmatch(piece) else None


def _next_bytes(body, pos, text, escape, space, crc):
    """The readings of the next byte at `pos`: (value, end position, (text, escape, space, crc))."""
    options, later = [], []
    escaped = escape  # this byte is the one an ESC escapes: ']' closes it
    if not escaped:
        end_mark = "END" if space else " END"
        if body.startswith(end_mark, pos):
            # A CR that ends the line ends the frame; one before its end (bytes after a frame
            # in the same call) is read after the literal text " END".
            end = pos + len(end_mark)
            (options if end == len(body) else later).append((0x0D, end, (text, False, space, crc)))
        if body.startswith("[", pos):
            for value, end, state in _renderings(body, pos + 1, text, crc, closes=False):
                if value == 0x1B:
                    options.append((value, end, state[:1] + (True,) + state[1:]))
    for value, end, state in _renderings(body, pos, text, crc, closes=escaped):
        if not escaped and value in (0x0D, 0x1B):
            continue  # an unescaped CR shows as END, an ESC opens a bracket
        options.append((value, end, state[:1] + (False,) + state[1:]))
    return options + later


def _renderings(body, pos, text, crc, closes):
    """(value, end, (text, space, crc)) for each way a byte may be shown at `pos`. With `closes`
    the byte is the escaped one: its separator (' ' or ')') gives way to ']'."""
    out = []

    def token(length, value, state, separator):
        # The token is `length` characters up to its separator; the separator is written unless
        # the bracket closes here.
        end = pos + length
        if closes:
            if separator in (" ", ")"):
                if body.startswith("]", end):
                    out.append((value, end + 1, state[:1] + (False,) + state[2:]))
                return
            if body.startswith(separator + "]", end):
                out.append((value, end + 2, state[:1] + (False,) + state[2:]))
            return
        if body.startswith(separator, end):
            out.append((value, end + len(separator), state))

    if crc:
        value = _hex_at(body, pos)
        if value is not None:
            token(2, value, (False, False, False), "}")
        return out
    if body.startswith("{", pos):
        value = _hex_at(body, pos + 1)
        if value is not None:
            token(3, value, (False, False, False), "}")
            token(3, value, (False, True, True), " ")
    if text:
        if body.startswith("(", pos):
            value = _hex_at(body, pos + 1)
            if value is not None and not (0x20 <= value <= 0x7D and value != 0x5C):
                token(3, value, (True, False, False), ")")
        if pos < len(body):
            value = ord(body[pos])
            if 0x20 <= value <= 0x7D and value != 0x5C:
                token(1, value, (True, False, False), "")
    else:
        value = _hex_at(body, pos)
        if value is not None:
            token(2, value, (False, True, False), " ")
    return out


__all__ = ["replay", "read_log", "readings", "Replay", "Step", "Entry", "LogFormatError"]
