"""ORPpanel's headless panel for Python: the panel without a window, for firmware tests.

    import orppanel

    with orppanel.Panel(design=orppanel.demo_design()) as panel:
        host = panel.host()
        host.acknowledge_reset()
        host.text("Hello")
        assert panel.lcd_text(0).startswith("Hello")

The package carries liborppanel-headless.so (built from the same core as orppanel.dll), a pytest
plugin (fixtures `panel`, `panel_factory`, `host`, `lcd_snapshot`, `panel_snapshot`), the replay
of RXTX logs (`replay`) and `python3 -m orppanel snapshot` for pictures outside pytest.
"""

import os

from .host import Answer, Host, Model
from .panel import Beep, HeadlessPanel, KeyReport, LcdWrite, LedChange, Panel, UnknownIdError
from .protocol import (ACK, CR, ESC, MODE_CHECKSUM, MODE_CRC, MODE_KEY_ACK, MODE_KEY_REPORTS, MODE_SEQUENCE, NAK,
                       build_frame, crc16, unstuff)
from .log_replay import LogFormatError, Replay, Step, read_log, replay
from ._library import library_path

__version__ = "1.0.0"


def demo_dir():
    """The demo designs' folder that comes with the package (demo.orp in English, demo_de.orp in
    German, their LCD type library in LCDs/): $ORPPANEL_DEMO_DIR, else the package's own."""
    folder = os.environ.get("ORPPANEL_DEMO_DIR") or os.path.join(os.path.dirname(os.path.abspath(__file__)), "demo")
    if not os.path.isfile(os.path.join(folder, "demo.orp")):
        raise FileNotFoundError("no demo designs in %s: they come with the installed package "
                                "(or set $ORPPANEL_DEMO_DIR to an ORPDesigns folder)" % folder)
    return folder


def demo_design(language="en"):
    """The demo device's design file: "en" (demo.orp) or "de" (demo_de.orp)."""
    return os.path.join(demo_dir(), {"en": "demo.orp", "de": "demo_de.orp"}[language])


__all__ = [
    "Panel", "HeadlessPanel", "Host", "Answer", "Model", "UnknownIdError",
    "LcdWrite", "LedChange", "Beep", "KeyReport",
    "replay", "read_log", "Replay", "Step", "LogFormatError",
    "demo_dir", "demo_design", "library_path",
    "ACK", "NAK", "CR", "ESC", "MODE_KEY_REPORTS", "MODE_KEY_ACK", "MODE_CHECKSUM", "MODE_SEQUENCE", "MODE_CRC",
    "build_frame", "crc16", "unstuff",
]
