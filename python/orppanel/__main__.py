"""python3 -m orppanel snapshot DESIGN [--frames FILE] [--log RXTX.log] -o OUT.png

Opens the design in a headless panel, answers its reset announcement, feeds it the frames of a
frames file (or replays an RXTX log) and writes a PNG of the panel (--lcd: of the LCD alone);
prints the LCD's rows. A frames file holds one step per line, in the notation of the frame
examples in docs/messages.md:

    > 57 48 69 0D      a frame as it travels to the panel (hex, stuffing and CR included)
    < 06 0D            what the panel must answer next (checked; a difference fails)
    press 6            the mouse on a key (identifier or name); release 6, click OK
    wait 2000          the panel's clock moves on (ms)
    # ...              comment; text after '#' is left out on every line

Exit status 0, 1 when an answer differs (the picture is written all the same), 2 for bad input.
"""

import argparse
import sys

from .panel import Panel
from .log_replay import LogFormatError, replay


def _hex(words, number):
    try:
        return bytes(int(word, 16) for word in words)
    except ValueError:
        raise ValueError("line %d: not hex bytes: %s" % (number, " ".join(words)))


def run_frames(panel, lines):
    """Runs a frames file's lines on a panel; returns the descriptions of differing answers."""
    problems = []
    for number, raw in enumerate(lines, start=1):
        words = raw.split("#", 1)[0].split()
        if not words:
            continue
        step, rest = words[0], words[1:]
        if step == ">":
            panel.receive_from_app(_hex(rest, number))
        elif step == "<":
            wanted, got = _hex(rest, number), panel.read_to_host()
            if got != wanted:
                problems.append("line %d: the panel answered %s, not %s"
                                % (number, got.hex(" ") if got else "nothing", wanted.hex(" ")))
        elif step in ("press", "release", "click") and len(rest) == 1:
            key = int(rest[0]) if rest[0].isdigit() else rest[0]
            getattr(panel, step + "_key")(key)
        elif step == "wait" and len(rest) == 1 and rest[0].isdigit():
            panel.advance(int(rest[0]))
        else:
            raise ValueError("line %d: not a step: %s" % (number, raw.strip()))
    return problems


def snapshot(arguments):
    panel = Panel(design=arguments.design)
    try:
        if arguments.resolution:
            panel.set_resolution(arguments.resolution)
        problems = []
        if arguments.log:
            replay(arguments.log, panel=panel)
        else:
            panel.host().acknowledge_reset()
            if arguments.frames:
                with open(arguments.frames, encoding="utf-8") as f:
                    problems = run_frames(panel, f.read().splitlines())
        (panel.save_lcd_png if arguments.lcd else panel.save_panel_png)(arguments.output)
        for line in panel.lcd_lines():
            print(line)
        for problem in problems:
            print(problem, file=sys.stderr)
        return 1 if problems else 0
    finally:
        panel.close()


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python3 -m orppanel", description="The headless ORPpanel.")
    commands = parser.add_subparsers(dest="command", required=True)
    shot = commands.add_parser("snapshot", help="a PNG of a design after a list of frames or an RXTX log")
    shot.add_argument("design", help="the design file (.orp)")
    source = shot.add_mutually_exclusive_group()
    source.add_argument("--frames", help="frames file (see python3 -m orppanel --help)")
    source.add_argument("--log", help="an RXTX log to replay (its last session)")
    shot.add_argument("-o", "--output", required=True, help="the PNG to write")
    shot.add_argument("--lcd", action="store_true", help="the LCD alone instead of the whole panel")
    shot.add_argument("--resolution", type=float, help="dots per inch of the picture (default 96)")
    parser.epilog = __doc__.split("\n\n", 1)[1]
    parser.formatter_class = argparse.RawDescriptionHelpFormatter
    arguments = parser.parse_args(argv)
    try:
        return snapshot(arguments)
    except (ValueError, LogFormatError, OSError) as error:
        print("orppanel: %s" % error, file=sys.stderr)
        return 2


if __name__ == "__main__":
    sys.exit(main())
