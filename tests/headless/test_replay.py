"""RXTX logs back into frames, and their replay on the panel's clock."""

import random

import pytest

import orppanel
from orppanel import MODE_CHECKSUM, MODE_CRC, MODE_KEY_ACK, MODE_KEY_REPORTS, MODE_SEQUENCE, build_frame
from orppanel.log_replay import readings

pytestmark = pytest.mark.orppanel_design("demo")

TRICKY = [  # (mode, direction, frame)
    (0, 1, b"WHi\r"), (0, 1, b"V\r"), (0x18, 1, b"Ve\xa1\xb2\r"), (0x08, 2, b"\x06f\r"),
    (0, 1, b"L\x01\x1b\r\r"), (0, 1, b"W(0d){41}[x] END\\\r"), (0, 1, b"W\x1b\r\x1b\x1bA\r"),
    (0x18, 1, build_frame(b"Wab", 0x18, 0x0D)), (0x1C, 2, build_frame(b"k\x81\x1b", 0x1C, 0x1B)),
    (0x0C, 1, build_frame(b"S\xc0{7b}", 0x0C, ord("{"))), (0, 1, b"\x01\x00\r"), (0x10, 1, b"RU\xaa\xcc3\r"),
]


def test_monitor_lines_read_back_into_their_frames(panel):
    rng = random.Random(7)
    cases = list(TRICKY)
    for _ in range(400):
        mode = rng.choice([0, 0x04, 0x08, 0x0C, 0x10, 0x18])
        body = bytes([rng.choice(b"WSLDVA\x06k")]) + bytes(rng.choice(b"\x1b\r{}[]() ENDAz\\\x7e\xff\x00") for _ in range(rng.randint(0, 9)))
        cases.append((mode, rng.choice([1, 2]), build_frame(body, mode, rng.choice(b"\r\x1be{"))))
    for mode, direction, frame in cases:
        line = panel.monitor_line(frame, direction, mode)
        found = readings(line, lambda c: panel.monitor_line(c, direction, mode) == line)
        # Where a line has several readings the first is the frame; the rest render alike.
        assert found and found[0] == frame, (line, frame, found)


class Recorder(orppanel.Panel):
    """A panel that writes its RXTX log as the DLL does, stamped from its own clock."""

    def __init__(self, start_ms, **kwargs):
        self.lines, self.start = ["######## START 10.00.00 START ########"], start_ms
        super().__init__(**kwargs)

    def log(self, kind, frame, direction):
        stamp = (self.start + self.now) % 60000
        self.lines.append("[%s %02d:%03d] %s" % (kind, stamp // 1000, stamp % 1000, self.monitor_line(frame, direction)))

    def receive_from_app(self, frame):
        self.log("RX", frame, 1)
        super().receive_from_app(frame)

    def read_to_host(self):
        frame = super().read_to_host()
        if frame:
            self.log("TX", frame, 2)
        return frame


def test_replay_gives_the_logged_answers_and_lcd(tmp_path):
    recorder = Recorder(58500, design=orppanel.demo_design())
    host = recorder.host()
    recorder.advance(2100)                      # one more announcement before the host answers
    assert host.acknowledge_reset()
    assert host.set_mode(MODE_KEY_REPORTS | MODE_KEY_ACK | MODE_SEQUENCE | MODE_CRC)
    host.text("Log\x1b\r")
    host.goto(1, 2)
    host.text("line two")
    lcd_after_text = recorder.lcd_lines()
    host.all_leds(0x0F)
    recorder.press_key(3)                       # by the mouse: not in the log
    recorder.advance(1500)                      # the report is repeated once, then taken
    host.poll()
    host.clear()
    log = tmp_path / "RXTX10.12.2026.log"
    earlier = ["######## START 09.00.00 START ########", "[RX 01:000] V  END"]
    log.write_bytes("\r\n".join(earlier + recorder.lines).encode("latin-1") + b"\r\n")

    lines = list(enumerate(earlier + recorder.lines, 1))
    text_line = next(n for n, text in lines if "] W line two{" in text)
    key_line = next(n for n, text in lines if "] O 0f {" in text)
    result = orppanel.replay(log, design=orppanel.demo_design(),
                             on_frame=lambda step, panel: step.line_number == key_line and panel.press_key(3))
    assert result.answers == result.logged_answers and len(result.answers) > 8
    assert result.panel.lcd_lines() == recorder.lcd_lines()
    assert result.step_at(text_line).lcd == result.step_at(key_line).lcd == lcd_after_text
    assert result.panel.leds_on() == [0, 1, 2, 3]


@pytest.mark.parametrize("bad", ["[RX 12:34] W Hi END", "[RX 12:345] W Hi", "[Trace 01:002] x\r",
                                 "[TX 01:002] ACK {zz} END", "[RX 01:002] VV END"])
def test_unreadable_line_is_named_by_its_number(tmp_path, bad):
    log = tmp_path / "RXTX.log"
    log.write_bytes(("######## START 10.00.00 START ########\n[RX 00:000] V  END\r\n%s\r\n" % bad).encode())
    with pytest.raises(orppanel.LogFormatError) as error:
        orppanel.replay(log)
    assert error.value.line_number == 3 and str(error.value).startswith("%s:3: " % log)
