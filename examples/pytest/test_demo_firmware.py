"""The demo firmware against the headless panel: what a firmware team's test looks like.

    python3 -m venv --system-site-packages venv
    venv/bin/python -m pip install --no-build-isolation <repository>
    venv/bin/python -m pytest examples/pytest     # add --orppanel-update-snapshots to rewrite the pictures

The orppanel plugin gives the fixtures: `panel` (a fresh headless panel with the design of the
marker below), `host` (its host side, the reset announcement answered) and `lcd_snapshot` /
`panel_snapshot` (the pictures against the golden PNGs in snapshots/ beside this file).
"""

import pytest

from orppanel import KeyReport, LcdWrite, LedChange, MODE_CRC, MODE_KEY_REPORTS, MODE_SEQUENCE

# Your design instead: a path relative to this file.
pytestmark = pytest.mark.orppanel_design("demo")

LED_POWER, LED_RUN = 0, 1


def demo_firmware(host):
    """What the demo firmware does once the panel announced itself."""
    host.clear()
    host.text("Hello, panel!")
    host.goto(1, 0)
    host.text("ORPpanel demo")
    host.led(LED_POWER, True)


def test_demo_firmware_greets(host, panel, lcd_snapshot):
    assert host.version() == (1, 0, 0)
    demo_firmware(host)

    assert panel.lcd_lines() == ["Hello, panel!   ", "ORPpanel demo   "]
    assert panel.leds_on() == [LED_POWER]
    assert panel.events == [LcdWrite(0, 0, "Hello, panel!"), LcdWrite(1, 0, "ORPpanel demo"),
                            LedChange(LED_POWER, True)]
    lcd_snapshot()


def test_demo_firmware_sees_the_keys(host, panel, panel_snapshot):
    pressed = []
    host.on_key_down = pressed.append
    assert host.set_mode(MODE_KEY_REPORTS | MODE_SEQUENCE | MODE_CRC)
    assert host.backlight(255)
    demo_firmware(host)

    panel.click_key("OK")
    host.poll()  # the firmware's main loop takes the key reports
    assert pressed == [panel.key_by_name("OK")]
    assert panel.events_of(KeyReport) == [KeyReport(6, True), KeyReport(6, False)]

    panel.latch_key("Start")  # Ctrl+click: it stays down
    host.poll()
    assert host.keys_down == {9}
    panel_snapshot()
