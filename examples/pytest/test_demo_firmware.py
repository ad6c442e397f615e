"""The demo firmware against the headless panel: what a firmware team's test looks like.

    scripts/test-headless.sh          # builds what it needs and runs these tests
"""

import os

from orppanel_headless import ACK, MODE_KEY_REPORTS

# The messages the demo host sends after the panel announced itself.
DEMO_FIRMWARE = [
    b"D\x01",             # clear display
    b"WHello, panel!",    # first line
    b"D\xC0",             # DDRAM address 0x40: the second line
    b"WORPpanel demo",
    b"O\x55",             # every other LED on
]


def test_demo_firmware_greets_and_sees_the_keys(panel, snapshot_dir):
    host = panel.host()
    assert host.acknowledge_reset()
    assert host.send(b"V") == [b"v\x01\x00\x00"]
    for message in DEMO_FIRMWARE:
        assert host.send(message) == [bytes([ACK])]

    assert panel.lcd_lines() == ["Hello, panel!   ", "ORPpanel demo   "]
    assert panel.led(0) and not panel.led(1)

    assert host.set_mode(MODE_KEY_REPORTS)
    panel.press_key(panel.key_by_name("OK"))          # key 6
    assert host.messages() == [b"k\x40"]
    panel.release_key(panel.key_by_name("OK"))
    assert host.messages() == [b"k\x00"]

    panel.save_lcd_png(os.path.join(snapshot_dir, "demo_lcd.png"))
    panel.save_panel_png(os.path.join(snapshot_dir, "demo_panel.png"))
