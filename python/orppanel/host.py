"""The host side of a headless panel: what the firmware does, in the C++ host kit's calls.

    host = panel.host(on_key_down=lambda key: print("down", key))
    host.acknowledge_reset()
    host.set_mode(MODE_KEY_REPORTS | MODE_SEQUENCE | MODE_CRC)
    host.backlight(255)
    host.text("Hello")
    host.goto(1, 0)
    host.led(0, True)
    panel.click_key("OK")
    host.poll()                # key reports are taken (and acknowledged) here

Every call frames its message for the protocol mode in force (sequence byte, checksum or CRC,
stuffing), hands it to the panel and takes the panel's answers at once: the headless panel
answers before the call returns. Key reports among them update `keys_down`, are logged as
KeyReport events in `key_events` and in the panel's `events`, and run on_key_down / on_key_up;
the reset announcement is acknowledged. For the full host side in C++ see
include/orppanel_host.h; the names here are the kit's in Python's spelling.
"""

from collections import namedtuple

from . import protocol
from .panel import KeyReport, UnknownIdError
from .protocol import ACK, NAK, MODE_KEY_ACK, MODE_SEQUENCE, MAX_MESSAGE

Model = namedtuple("Model", "model type buffer_size key_count led_count capabilities")


class Answer:
    """The panel's answer to one call: kind "ack", "nak", "reply" or None (no answer); a reply's
    code (b"v", b"t", ...) and parameters. True for ACK and for the reply that was asked for."""

    def __init__(self, kind=None, code=b"", params=b""):
        self.kind, self.code, self.params = kind, code, params

    def __bool__(self):
        return self.kind in ("ack", "reply")

    def __eq__(self, other):
        return isinstance(other, Answer) and (self.kind, self.code, self.params) == (other.kind, other.code, other.params)

    def __repr__(self):
        if self.kind == "reply":
            return "Answer(reply %r %r)" % (self.code, self.params)
        return "Answer(%s)" % self.kind


class Host:
    """The host side in a few calls. `send` and `messages` give the panel's messages as bytes
    (without sequence, check bytes and CR); the firmware calls (`text`, `goto`, `led`, ...) give
    an Answer, the queries their values."""

    def __init__(self, panel, on_key_down=None, on_key_up=None, on_reset=None):
        self.panel = panel
        self.on_key_down, self.on_key_up, self.on_reset = on_key_down, on_key_up, on_reset
        self.mode = 0
        self.key_events = []
        self._previous_mode = 0
        self._sequence = ord("c")     # the host's own numbering
        self._panel_last = 0          # the last number the panel accepted from the host
        self._accepted = 0            # the last number of the panel's own the host accepted
        self._keys = bytearray(32)
        self._last_report = b""
        self._leds = bytearray(32)
        self._pending = []            # key and reset events not yet given to the callbacks
        self._firing = False

    # ---- messages
    def send(self, message):
        """Frames a message, hands it to the panel and returns every message it answered."""
        message = bytes(message)
        sequence = 0
        if self.mode & MODE_SEQUENCE and message[:1] != b"R":
            sequence = self._next_sequence()
            self._panel_last = sequence
        if message[:1] == b"R":
            self._sequence, self._panel_last, self._accepted = ord("c"), 0, 0
        self.panel.receive_from_app(protocol.build_frame(message, self.mode, sequence))
        return self.messages()

    def messages(self):
        """Every message the panel queued; the reset announcement and key reports are answered."""
        out = [message for message, _ in self._take()]
        self._fire()
        return out

    def poll(self):
        """Takes what waits from the panel (key reports, the reset announcement), as a firmware's
        main loop does; returns the messages."""
        return self.messages()

    def acknowledge_reset(self):
        """Answers the reset announcement the panel sent at its start. True when there was one."""
        return b"r" in self.messages()

    def wait_for_reset(self, ms=2000):
        """Runs the panel's clock (at most `ms`) until a reset announcement came and was answered."""
        seen = []
        try:
            self.panel.wait_for(lambda: seen.extend(self.messages()) or b"r" in seen, ms)
        except TimeoutError:
            return False
        return True

    def acknowledge(self, frame):
        """Acknowledges a key report frame read with panel.read_to_host()."""
        _, sequence = protocol.split_frame(frame, self.mode)
        self._ack(sequence)

    def call(self, message, reply=None):
        """Sends a message and returns the Answer: the reply `reply` (b"v", ...) if one is asked
        for, else ACK or NAK."""
        answer = Answer()
        for got in self.send(message):
            code = got[:1]
            if answer.kind is None and code == bytes([ACK]):
                answer = Answer("ack")
            elif answer.kind is None and code == bytes([NAK]):
                answer = Answer("nak")
            elif reply is not None and code == reply and answer.kind != "reply":
                answer = Answer("reply", code, got[1:])
        return answer

    # ---- LCD
    def text(self, text):
        """'W': text at the cursor (str in the LCD's character codes, latin-1, or bytes); long
        text goes in several frames."""
        data = text.encode("latin-1") if isinstance(text, str) else bytes(text)
        answer = Answer("ack")
        for at in range(0, max(len(data), 1), MAX_MESSAGE - 1):
            answer = self.call(b"W" + data[at:at + MAX_MESSAGE - 1])
            if not answer:
                break
        return answer

    def instruction(self, instruction):
        """'D': one LCD instruction (0x01 clear, 0x0C display on, 0x80 + address, ...)."""
        return self.call(bytes([ord("D"), instruction]))

    def instruction_and_text(self, instruction, text):
        data = text.encode("latin-1") if isinstance(text, str) else bytes(text)
        return self.call(bytes([ord("S"), instruction]) + data)

    def fill(self, count, code):
        """'P': the code `count` times (2 to 255)."""
        return self.call(bytes([ord("P"), count, code if isinstance(code, int) else ord(code)]))

    def clear(self):
        return self.instruction(0x01)

    def set_address(self, address):
        return self.instruction(0x80 | address)

    def goto(self, line, column, columns=None):
        """The cursor to a cell of a 1- to 4-line LCD; lines 2 and 3 need the characters per line
        (`columns`, else the design's LCD)."""
        columns = columns or self.panel.lcd_columns
        if not 0 <= line <= 3 or not 0 <= column <= 0x3F:
            raise ValueError("goto(%d, %d) is outside a 4-line LCD" % (line, column))
        if line >= 2 and not columns:
            raise ValueError("goto(%d, %d) needs the LCD's characters per line: the design has no LCD" % (line, column))
        base = 0x40 if line & 1 else 0x00
        return self.set_address(base + (columns if line >= 2 else 0) + column)

    def backlight(self, level):
        """'B': the backlight level (0-255); NAK when the design's model has no backlight."""
        return self.call(bytes([ord("B"), level]))

    def contrast(self, level):
        """'C': the contrast; the reply 'c'."""
        return self.call(bytes([ord("C"), level]), reply=b"c")

    def read_address(self):
        """'G' 'A': the cursor's column within its line, or None."""
        return self._byte_reply(self.call(b"GA", reply=b"g"))

    def read_data(self):
        """'G' 'R': the character code at the cursor, or None."""
        return self._byte_reply(self.call(b"GR", reply=b"g"))

    # ---- LEDs, buzzer, keys
    def led(self, led_id, on):
        """'L' with the one byte that holds the LED; the design must have the LED."""
        self.panel._check("LED", self.panel._led_ids, led_id)
        index, bit = led_id >> 3, 1 << (led_id & 7)
        self._leds[index] = self._leds[index] | bit if on else self._leds[index] & ~bit
        return self.call(bytes([ord("L"), 0x80 | index, self._leds[index]]))

    def leds(self, on):
        """'L' with the whole bitmap: the LEDs `on` (identifiers) on, every other one off."""
        on = set(on)
        for led_id in on:
            self.panel._check("LED", self.panel._led_ids, led_id)
        self._leds = bytearray(32)
        for led_id in on:
            self._leds[led_id >> 3] |= 1 << (led_id & 7)
        return self.call(b"L" + protocol.encode_groups(self._leds))

    def all_leds(self, value):
        """'O': every byte of the LED bitmap set to `value`."""
        self._leds = bytearray([value] * 32)
        return self.call(bytes([ord("O"), value]))

    def beep(self, hz, ms):
        """'Z': a tone; the panel takes the frequency in steps of 100 Hz and the duration in
        steps of 50 ms (up to 25 500 Hz and 12 750 ms)."""
        if hz % 100 or ms % 50 or not 0 <= hz <= 25500 or not 0 <= ms <= 12750:
            raise ValueError("beep(%d Hz, %d ms): the panel takes multiples of 100 Hz and 50 ms" % (hz, ms))
        return self.call(bytes([ord("Z"), ms // 50, hz // 100]))

    def click_mode(self, mode):
        """'E': which keys click (0 none, 1 every key, 2 those of the click mask)."""
        return self.call(bytes([ord("E"), mode]))

    def click_mask(self, keys):
        """'I': the keys that click in click mode 2."""
        mask = bytearray(32)
        for key_id in keys:
            self.panel._check("key", self.panel._key_ids, key_id)
            mask[key_id >> 3] |= 1 << (key_id & 7)
        return self.call(b"I" + protocol.encode_groups(mask))

    def request_keys(self):
        """'K': the panel reports the keys that changed since its last report."""
        return self.call(b"K", reply=b"k")

    @property
    def keys_down(self):
        """The keys down as the key reports told the host."""
        return protocol.bits(self._keys)

    def key_down(self, key_id):
        return key_id in self.keys_down

    # ---- queries
    def version(self):
        """'V': (major, minor, revision), or None."""
        answer = self.call(b"V", reply=b"v")
        return tuple(answer.params[:3]) if answer.kind == "reply" and len(answer.params) >= 3 else None

    def query_model(self):
        """'T': the model reply as a Model, or None."""
        answer = self.call(b"T", reply=b"t")
        p = answer.params
        if answer.kind != "reply" or len(p) < 7:
            return None
        return Model(p[0], p[1], p[2] << 8 | p[3], p[4], p[5], p[6])

    # ---- protocol mode and reset
    def set_mode(self, mode):
        """'M' then 'A'; True when the panel acknowledged the new mode."""
        if self.send(bytes([ord("M"), mode])) != [bytes([ord("m"), mode])]:
            return False
        old, self.mode = self.mode, mode
        self._previous_mode = old
        answer = self.call(b"A")
        if answer.kind == "ack":
            return True
        if answer.kind == "nak":
            self.mode = old
        return False

    def reset(self):
        """'R': the panel resets its LCD and numbering and announces itself again (answered)."""
        return b"r" in self.send(b"RU\xaa\xcc3")

    # ---- internals
    def _next_sequence(self):
        while True:
            self._sequence += 1
            if self._sequence >= ord("y"):
                self._sequence = ord("e")
            if self._sequence != self._panel_last:
                return self._sequence

    def _ack(self, sequence):
        self._panel_last = sequence if self.mode & MODE_SEQUENCE else 0
        self.panel.receive_from_app(protocol.build_frame(bytes([ACK]), self.mode, sequence))

    def _take(self):
        # Every waiting frame as (message, sequence), checked in the mode in force (or, for the
        # answer to 'A', the mode before it); reset announcements and key reports answered.
        out = []
        while True:
            frame = self.panel.read_to_host()
            if frame is None:
                return out
            if protocol.unstuff(frame) == b"r":
                self.mode = self._previous_mode = 0
                self._accepted = 0
                self._ack(0)
                self._pending.append(("reset", 0))
                out.append((b"r", 0))
                continue
            try:
                message, sequence = protocol.split_frame(frame, self.mode)
            except ValueError:
                if self._previous_mode == self.mode:
                    raise
                message, sequence = protocol.split_frame(frame, self._previous_mode)
            numbered_by_panel = message[:1] not in (bytes([ACK]), bytes([NAK]))
            repeat = numbered_by_panel and sequence and sequence == self._accepted
            if numbered_by_panel and sequence:
                self._accepted = sequence
            self._previous_mode = self.mode
            if message[:1] == b"k":
                self._key_report(message[1:], sequence, repeat)
            out.append((message, sequence))

    def _key_report(self, params, sequence, repeat):
        if self.mode & MODE_KEY_ACK:
            self._ack(sequence)
        # A repeated report carries the reports merged into it meanwhile after the old ones.
        if repeat:
            if len(params) <= len(self._last_report) or not params.startswith(self._last_report):
                return
            new = params[len(self._last_report):]
        else:
            new = params
        self._last_report = params
        for index, value in protocol.group_bytes(new):
            at = max(index, 0)
            before = self._keys[at]
            self._keys[at] = (before & 0x80) | (value & 0x7F) if index < 0 else value
            for bit in range(8):
                if (before ^ self._keys[at]) >> bit & 1:
                    event = KeyReport(at * 8 + bit, bool(self._keys[at] >> bit & 1), self.panel.now)
                    self.key_events.append(event)
                    self.panel.events.append(event)
                    self._pending.append(("key", event))

    def _fire(self):
        # The callbacks run after the frames were taken, oldest first; one that calls the host
        # queues its own events behind, and they run in this same loop.
        if self._firing:
            return
        self._firing = True
        try:
            while self._pending:
                kind, event = self._pending.pop(0)
                if kind == "reset" and self.on_reset:
                    self.on_reset()
                elif kind == "key":
                    callback = self.on_key_down if event.down else self.on_key_up
                    if callback:
                        callback(event.id)
        finally:
            self._firing = False

    @staticmethod
    def _byte_reply(answer):
        return answer.params[0] if answer.kind == "reply" and answer.params else None


__all__ = ["Host", "Answer", "Model", "UnknownIdError"]
