"""The headless panel as a test sees it: timers on the test's clock, key presses with their
reports, clicks and looks, the LCD read back as text and cursor, and PNG snapshots."""

import struct
import threading

import pytest

import orppanel
from orppanel import HeadlessPanel, ACK, MODE_CRC, MODE_KEY_ACK, MODE_KEY_REPORTS, MODE_SEQUENCE, build_frame

pytestmark = pytest.mark.orppanel_design("demo")


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n"
    return struct.unpack(">II", head[16:24])


def test_reset_announcement_repeats_on_the_clock_until_acknowledged(panel):
    assert panel.read_to_host() == b"r\r"
    panel.advance(1999)
    assert panel.read_to_host() is None
    panel.advance(1)
    assert panel.read_to_host() == b"r\r"
    panel.advance(4 * 2000)  # the fifth repetition writes a '?' to the LCD
    assert [panel.read_to_host() for _ in range(5)] == [b"r\r"] * 4 + [b"\x06\r"]
    assert panel.lcd_text(0)[0] == "?"
    panel.receive_from_app(b"\x06\r")
    panel.advance(60000)
    assert panel.read_to_host() is None
    assert panel.now == 2000 + 4 * 2000 + 60000


def test_key_reports_wait_for_their_acknowledgement_and_keys_click(panel, tmp_path):
    host = panel.host()
    assert host.acknowledge_reset()
    assert host.set_mode(MODE_KEY_REPORTS | MODE_KEY_ACK | MODE_SEQUENCE | MODE_CRC)
    assert host.send(b"E\x01") == [bytes([ACK])]  # click on every key

    panel.press_key(9)
    first = panel.read_to_host()
    assert first is not None and first.startswith(b"k\x81\x02")
    assert panel.last_beep() == (3000, 75)
    panel.advance(1000)
    assert panel.read_to_host() == first  # repeated with the same sequence byte
    host.acknowledge(first)
    panel.advance(10000)
    assert panel.read_to_host() is None

    before = tmp_path / "before.png"
    after = tmp_path / "after.png"
    panel.save_panel_png(before)
    panel.latch_key(4)  # Ctrl+click: pressed look, one more click
    assert panel.key(4) and panel.beeps == 2
    panel.save_panel_png(after)
    assert before.read_bytes() != after.read_bytes()
    panel.release_all_keys()
    assert not panel.key(4) and not panel.key(9)


def test_lcd_reads_back_as_text_cursor_and_pictures(panel, tmp_path):
    host = panel.host()
    host.acknowledge_reset()
    assert host.send(b"D\x01") == [bytes([ACK])]
    assert host.send(b"W\x5C\x7E\xE4\xB1") == [bytes([ACK])]
    assert panel.lcd_text(0).startswith("\u00A5\u2192\u03BC\uFF71 ")
    assert panel.lcd_codes(0)[:4] == b"\x5C\x7E\xE4\xB1"

    assert host.send(b"D\x0F") == [bytes([ACK])]  # display, cursor and blink on
    assert panel.cursor() == (0, 4, True, True)
    assert host.send(b"D\x08") == [bytes([ACK])]  # display off
    assert not panel.display_on

    host.send(b"D\x0F")
    shots = []
    for phase in range(3):
        path = tmp_path / ("lcd%d.png" % phase)
        panel.save_lcd_png(path)
        shots.append(path.read_bytes())
        panel.advance(500)  # the blink timer toggles the cursor block
    assert shots[0] != shots[1] and shots[0] == shots[2]
    width, height = png_size(tmp_path / "lcd0.png")
    assert 100 < width < 640 and 20 < height < 400
    panel.save_panel_png(tmp_path / "panel.png")
    assert png_size(tmp_path / "panel.png") == (640, 400)


def test_frames_with_stuffing_and_checks_reach_the_lcd(panel):
    host = panel.host()
    host.acknowledge_reset()
    assert host.set_mode(MODE_SEQUENCE | MODE_CRC)
    assert host.send(b"D\x01") == [bytes([ACK])]
    assert host.send(b"WA\x0DB") == [bytes([ACK])]  # a CR inside the text is stuffed
    assert panel.lcd_codes(0)[:3] == b"A\x0DB"
    # A frame with a broken CRC is refused and changes nothing.
    bad = bytearray(build_frame(b"WX", MODE_SEQUENCE | MODE_CRC, ord("w")))
    bad[1] ^= 1
    panel.receive_from_app(bytes(bad))
    assert panel.read_to_host()[:1] == b"\x15"
    assert panel.lcd_codes(0)[:3] == b"A\x0DB"


def test_panels_of_one_process_are_independent(tmp_path):
    english, german = HeadlessPanel(), HeadlessPanel()
    english.load_design(orppanel.demo_design())
    german.load_design(orppanel.demo_design("de"))
    assert english.key_by_name("Up") == german.key_by_name("Hoch") == 4
    with pytest.raises(KeyError):
        german.key_by_name("Up")  # the German design names its keys in German

    hosts = english.host(), german.host()
    for host in hosts:
        assert host.acknowledge_reset()
    assert hosts[0].send(b"Wone") == [bytes([ACK])]
    assert hosts[1].send(b"Wtwo") == [bytes([ACK])]
    assert english.lcd_text(0).startswith("one") and german.lcd_text(0).startswith("two")

    assert hosts[0].set_mode(MODE_KEY_REPORTS)
    english.click_key(3)
    assert [m[:1] for m in hosts[0].messages()] == [b"k", b"k"]
    assert hosts[1].messages() == [] and not german.key(3)

    english.advance(5000)
    assert (english.now, german.now) == (5000, 0)
    german.set_resolution(144)  # the German panel is laid out for a screen of 144 dots per inch
    english.save_panel_png(tmp_path / "english.png")
    german.save_panel_png(tmp_path / "german.png")
    width, height = png_size(tmp_path / "english.png")
    assert png_size(tmp_path / "german.png") == (round(width * 1.5), round(height * 1.5))
    english.close()
    with pytest.raises(RuntimeError):
        english.lcd_text(0)
    assert hosts[1].send(b"W!") == [bytes([ACK])]
    assert german.lcd_text(0).startswith("two!")
    german.close()


def test_panels_run_on_two_threads_at_once():
    design = orppanel.demo_design()
    failures = []

    def drive(word):
        with HeadlessPanel() as panel:
            panel.load_design(design)
            host = panel.host()
            host.acknowledge_reset()
            for round in range(200):
                text = ("%s%d" % (word, round % 10)).encode()
                if host.send(b"D\x80") != [bytes([ACK])] or host.send(b"W" + text) != [bytes([ACK])]:
                    failures.append((word, round, "no ACK"))
                if not panel.lcd_text(0).startswith(text.decode()):
                    failures.append((word, round, panel.lcd_text(0)))
                panel.advance(3)
            if panel.now != 600:
                failures.append((word, "clock", panel.now))

    threads = [threading.Thread(target=drive, args=(word,)) for word in ("left", "right")]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert failures == []
