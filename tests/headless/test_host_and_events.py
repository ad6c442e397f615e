"""The host side in firmware calls, the event log, identifiers the design lacks, and waiting on
the panel's clock."""

import pytest

import orppanel
from orppanel import (Beep, KeyReport, LcdWrite, LedChange, MODE_CRC, MODE_KEY_ACK, MODE_KEY_REPORTS, MODE_SEQUENCE,
                      UnknownIdError)

pytestmark = pytest.mark.orppanel_design("demo")


def test_firmware_calls_reach_the_panel_and_are_logged(host, panel):
    assert host.set_mode(MODE_SEQUENCE | MODE_CRC)
    assert host.version() == (1, 0, 0)
    assert host.query_model().key_count == 11
    assert host.backlight(255) and panel.backlight == 255
    assert host.text("A\x0d\x1bB")  # CR and ESC in the text are stuffed by the framing
    host.goto(1, 3)
    assert host.fill(3, "-")
    assert host.read_address() == 6
    host.goto(0, 0)
    assert host.read_data() == ord("A")
    assert host.led(2, True) and host.led(4, True) and host.led(2, False)
    assert host.beep(2000, 500)
    assert panel.lcd_codes(0)[:4] == b"A\x0d\x1bB" and panel.lcd_text(1) == "   ---          "
    assert panel.events == [LcdWrite(0, 0, panel.lcd_text(0)[:4]), LcdWrite(1, 3, "---"), LedChange(2, True),
                            LedChange(4, True), LedChange(2, False), Beep(2000, 500)]
    assert host.leds([0, 1]) and panel.leds_on() == [0, 1]
    assert not host.fill(1, "x")  # NAK: a count below 2
    assert host.reset() and host.mode == 0 and panel.lcd_text(0).strip() == ""


def test_key_reports_reach_callbacks_once_each(host, panel):
    seen = []
    host.on_key_down = lambda key: seen.append(("down", key))
    host.on_key_up = lambda key: seen.append(("up", key))
    assert host.set_mode(MODE_KEY_REPORTS | MODE_KEY_ACK | MODE_SEQUENCE | MODE_CRC)
    panel.press_key("F1")
    first = panel.read_to_host()           # not taken: the panel repeats it ...
    panel.release_key("F1")                # ... with the release merged into it
    panel.press_key("Stop")
    panel.advance(1000)
    host.poll()
    panel.advance(10000)
    assert host.poll() == []               # acknowledged: nothing repeats
    assert first.startswith(b"k")
    assert seen == [("down", 0), ("up", 0), ("down", 10)]
    assert panel.events_of(KeyReport) == [KeyReport(0, True), KeyReport(0, False), KeyReport(10, True)]
    assert host.keys_down == {10}
    assert host.request_keys().kind == "reply"


@pytest.mark.parametrize("call", [
    lambda p, h: p.press_key(99), lambda p, h: p.release_key(11), lambda p, h: p.latch_key(-1),
    lambda p, h: p.click_key("Enter"), lambda p, h: p.key(200), lambda p, h: p.led(5),
    lambda p, h: p.led_colour(7), lambda p, h: h.led(5, True), lambda p, h: h.leds([1, 9]),
    lambda p, h: h.click_mask([12]), lambda p, h: p.key_by_name("Up "),
])
def test_identifiers_the_design_lacks_are_errors(panel, host, call):
    with pytest.raises(UnknownIdError) as error:
        call(panel, host)
    assert isinstance(error.value, KeyError) and isinstance(error.value, ValueError)
    assert "the design has no" in str(error.value)
    assert panel.events == [] and host.poll() == []


def test_a_panel_without_design_has_no_keys(panel_factory):
    bare = panel_factory(design=None)
    assert bare.key_ids == [] and bare.led_ids == [] and bare.lcd_lines() == []
    with pytest.raises(UnknownIdError):
        bare.press_key(0)


def test_wait_for_runs_the_clock_from_timer_to_timer(panel):
    seen = []

    def second_announcement():  # read, not answered: the panel repeats it every 2000 ms
        seen.append(panel.read_to_host())
        return seen.count(b"r\r") >= 2

    assert panel.wait_for(second_announcement, 5000) and panel.now == 2000
    panel.host().acknowledge_reset()
    with pytest.raises(TimeoutError, match="3000 ms"):
        panel.wait_for(lambda: panel.lcd_text(0).startswith("y"), 3000)
    assert panel.now == 5000


def test_panel_factory_makes_independent_panels(panel_factory, panel):
    english, german = panel, panel_factory(design=orppanel.demo_design("de"), resolution=144)
    english.host().acknowledge_reset()
    english.host().text("one")
    assert german.lcd_text(0).strip() == "" and german.key_by_name("Hoch") == 4
    assert german.panel_picture().size == (960, 600)
