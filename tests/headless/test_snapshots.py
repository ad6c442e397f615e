"""Golden pictures through the plugin, as a firmware team's test run sees them, and the
snapshot command."""

import subprocess
import sys

import pytest
from PIL import Image

import orppanel

FIRMWARE_TEST = """
import pytest
pytestmark = pytest.mark.orppanel_design("demo")

def test_greeting(host, panel, lcd_snapshot, panel_snapshot):
    host.text("{text}")
    lcd_snapshot()
    panel_snapshot(name="whole")
"""


def test_golden_pictures_are_written_compared_and_explained(pytester, inner_pytest):
    pytester.makepyfile(test_firmware=FIRMWARE_TEST.format(text="Hello!"))
    golden = pytester.path / "snapshots" / "test_firmware"

    first = inner_pytest()
    first.assert_outcomes(failed=1)
    first.stdout.fnmatch_lines(["*no golden picture*test_greeting.lcd.png*--orppanel-update-snapshots*"])

    inner_pytest("--orppanel-update-snapshots").assert_outcomes(passed=1)
    assert sorted(p.name for p in golden.iterdir()) == ["test_greeting.lcd.png", "test_greeting.whole.png"]
    inner_pytest().assert_outcomes(passed=1)

    pytester.makepyfile(test_firmware=FIRMWARE_TEST.format(text="Hello?"))
    changed = inner_pytest("--basetemp", str(pytester.path / "out"))
    changed.assert_outcomes(failed=1)
    changed.stdout.fnmatch_lines(["*SnapshotMismatch: * of * pixels differ from *test_greeting.lcd.png*"])
    count = int(str(changed.stdout).split("SnapshotMismatch: ")[1].split()[0])
    folder = next((pytester.path / "out").glob("test_greeting*"))
    with Image.open(folder / "test_greeting.lcd-actual.png") as actual, \
            Image.open(folder / "test_greeting.lcd-expected.png") as expected, \
            Image.open(folder / "test_greeting.lcd-diff.png") as diff:
        changed_pixels = sum(a != e for a, e in zip(actual.convert("RGB").getdata(), expected.convert("RGB").getdata()))
        scale = diff.width // actual.width
        red = sum(pixel == (255, 0, 0) for pixel in diff.convert("RGB").getdata())
    assert 0 < count == changed_pixels and red == count * scale * scale


def test_fixtures_are_listed(inner_pytest):
    listed = str(inner_pytest("--fixtures").stdout)
    assert "fixtures defined from orppanel" in listed
    for name in ("panel", "panel_factory", "host", "lcd_snapshot", "panel_snapshot"):
        assert "\n%s -- " % name in listed


@pytest.mark.parametrize("steps, status", [
    ("> 57 48 69 0D   # 'W' Hi\n< 06 0D\nclick OK\nwait 100\n", 0),
    ("> 57 48 69 0D\n< 15 0D\n", 1),  # answered by ACK, not NAK
    ("> 57 4X 0D\n", 2),
])
def test_snapshot_command(tmp_path, steps, status):
    frames, picture = tmp_path / "frames.txt", tmp_path / "out.png"
    frames.write_text(steps)
    run = subprocess.run([sys.executable, "-m", "orppanel", "snapshot", orppanel.demo_design(), "--frames",
                          str(frames), "-o", str(picture), "--lcd"], capture_output=True, text=True)
    assert run.returncode == status, run.stderr
    if status < 2:
        assert run.stdout.splitlines()[0].startswith("Hi") and Image.open(picture).width < 640
