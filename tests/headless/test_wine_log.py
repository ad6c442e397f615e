"""A log the panel window wrote under Wine, replayed into a headless panel: the same answers
and the same LCD. scripts/test.sh runs the Wine test RxTxLog.* with ORP_REPLAY_DIR set, which
leaves the log (RXTX.log), the design (replay.orp) and the LCD's codes as the window's panel
held them (lcd.txt, one row of hex per line) there."""

import os

import pytest

import orppanel

FOLDER = os.environ.get("ORP_REPLAY_DIR", "")
pytestmark = pytest.mark.skipif(not os.path.isfile(os.path.join(FOLDER, "RXTX.log")),
                                reason="needs the log of the Wine test RxTxLog.* in $ORP_REPLAY_DIR (scripts/test.sh)")


def test_a_log_written_under_wine_replays_the_same():
    result = orppanel.replay(os.path.join(FOLDER, "RXTX.log"), design=os.path.join(FOLDER, "replay.orp"))
    with open(os.path.join(FOLDER, "lcd.txt")) as f:
        rows = [bytes.fromhex(line) for line in f.read().split()]
    assert len(result.steps) > 70
    assert result.answers == result.logged_answers
    assert [result.panel.lcd_codes(row) for row in range(len(rows))] == rows
    assert result.panel.lcd_text(1).startswith("  from Wine***")
    assert result.panel.leds_on() == [0] and result.panel.backlight == 255
