#!/usr/bin/env python3
"""Writes a demo work directory for the panel.

    make_demo_workdir.py OUTDIR --designtool PATH --lcdtool PATH

OUTDIR receives:
    orpstart.bmp, orpstarte.bmp        start pictures (German, English)
    ORPDesigns/LCDs/Standard.lcd       LCD type library: 1x16, 2x16, 2x20, 4x20, 2x40
    ORPDesigns/LCDs/Spezial.lcd        1x8 with 5x11 dots, 2x16 with the Cyrillic set
    ORPDesigns/demo_front.bmp          front plate of the demo device (English labels)
    ORPDesigns/demo.json, demo.orp     the demo design in English: key names, tooltips, tips
    ORPDesigns/demo_contexthelp.txt    its context help file
    ORPDesigns/demo_front_de.bmp       the same front plate with German labels
    ORPDesigns/demo_de.json, demo_de.orp   the demo design in German
    ORPDesigns/demo_kontexthilfe.txt   its context help file

The panel takes the names and tips from the design file, whatever the interface language, so
each language has its own design. The demo host runs the English interface (OPT_ENGLISH) and
uses demo.orp; a host with the German interface takes demo_de.orp.

Everything is drawn and written here with the standard library only; the two native tools
(build/tools/orp-designtool and build/tools/orp-lcdtool) encode the binary formats.
Point the panel's work directory (registry value WrkDir) at OUTDIR, the design file (FileCfg)
at OUTDIR/ORPDesigns/demo.orp and the context help file (ContextHelpFile) at
OUTDIR/ORPDesigns/demo_contexthelp.txt (or demo_de.orp and demo_kontexthilfe.txt).
"""

import argparse
import json
import os
import struct
import subprocess
import sys
import tempfile

NM_PER_PIXEL = 264583          # 96 dots per inch: the bitmaps are stored at 3780 pixels/metre
PIXELS_PER_METRE = 3780

# ---------------------------------------------------------------------------------------------
# LCD type library (orp-lcdtool's type list: UTF-8, colours #RRGGBB, lengths in millimetres)

YELLOW_GREEN = "BlColorOn=#A0C81E\nBlColorOff=#78825A\nTextColor=#141E0A\n"
BLUE_WHITE = "BlColorOn=#1E46DC\nBlColorOff=#142346\nTextColor=#FFFFFF\n"
AMBER = "BlColorOn=#FFA000\nBlColorOff=#5A3C14\nTextColor=#281400\n"

LCD_LIBRARIES = {
    "Standard.lcd": (
        "[LCD TYPES]\n"
        "Name=1x16 gelbgr\u00fcn\n"
        "Tooltip=Einzeilig, 16 Zeichen 5x8, LED-Beleuchtung gelbgr\u00fcn, Sichtfeld 64,5 x 13,8 mm\n"
        "Lines=1\nCharacters=16\nfontX=5\nfontY=8\n"
        "w=64.5\nh=13.8\ncharX=2.95\ncharY=5.55\ndotX=0.6\ndotY=0\n" + YELLOW_GREEN +
        "Name=2x16 gelbgr\u00fcn\n"
        "Tooltip=Zweizeilig, 16 Zeichen 5x8, LED-Beleuchtung gelbgr\u00fcn, Sichtfeld 64,5 x 16,0 mm\n"
        "Lines=2\nCharacters=16\nfontX=5\nfontY=8\n"
        "w=64.5\nh=16.0\ncharX=2.95\ncharY=5.55\ndotX=0.6\ndotY=0.4\n" + YELLOW_GREEN +
        "Name=2x20 gelbgr\u00fcn\n"
        "Tooltip=Zweizeilig, 20 Zeichen 5x8, LED-Beleuchtung gelbgr\u00fcn, Sichtfeld 83,0 x 18,6 mm\n"
        "Lines=2\nCharacters=20\nfontX=5\nfontY=8\n"
        "w=83.0\nh=18.6\ncharX=3.2\ncharY=5.55\ndotX=0.6\ndotY=0.6\n" + YELLOW_GREEN +
        "Name=4x20 blau/wei\u00df\n"
        "Tooltip=Vierzeilig, 20 Zeichen 5x8, STN blau negativ mit weisser Beleuchtung, Sichtfeld 76,0 x 25,2 mm\n"
        "Lines=4\nCharacters=20\nfontX=5\nfontY=8\n"
        "w=76.0\nh=25.2\ncharX=2.95\ncharY=4.75\ndotX=0.6\ndotY=0.6\n" + BLUE_WHITE +
        "Name=2x40 bernstein\n"
        "Tooltip=Zweizeilig, 40 Zeichen 5x8, Beleuchtung bernsteinfarben, Sichtfeld 154,4 x 15,8 mm\n"
        "Lines=2\nCharacters=40\nfontX=5\nfontY=8\n"
        "w=154.4\nh=15.8\ncharX=3.2\ncharY=5.55\ndotX=0.6\ndotY=0.4\n" + AMBER
    ),
    "Spezial.lcd": (
        "[LCD TYPES]\n"
        "Name=1x8 5x11 Punkte\n"
        "Tooltip=Einzeilig, 8 grosse Zeichen mit 5x11 Punkten, Sichtfeld 38,0 x 16,0 mm\n"
        "Lines=1\nCharacters=8\nfontX=5\nfontY=11\n"
        "w=38.0\nh=16.0\ncharX=3.55\ncharY=7.8\ndotX=0.65\ndotY=0\n" + YELLOW_GREEN +
        "Name=2x16 kyrillisch\n"
        "Tooltip=Zweizeilig, 16 Zeichen, kyrillischer Zeichensatz, blau mit weisser Beleuchtung\n"
        "Font=C\n"
        "Lines=2\nCharacters=16\nfontX=5\nfontY=8\n"
        "w=64.5\nh=16.0\ncharX=2.95\ncharY=5.55\ndotX=0.6\ndotY=0.4\n" + BLUE_WHITE
    ),
}

# ---------------------------------------------------------------------------------------------
# A 5x7 pixel font for labels

FONT = {
    "A": "01110 10001 10001 11111 10001 10001 10001", "B": "11110 10001 10001 11110 10001 10001 11110",
    "C": "01110 10001 10000 10000 10000 10001 01110", "D": "11110 10001 10001 10001 10001 10001 11110",
    "E": "11111 10000 10000 11110 10000 10000 11111", "F": "11111 10000 10000 11110 10000 10000 10000",
    "G": "01110 10001 10000 10111 10001 10001 01111", "H": "10001 10001 10001 11111 10001 10001 10001",
    "I": "01110 00100 00100 00100 00100 00100 01110", "J": "00111 00010 00010 00010 00010 10010 01100",
    "K": "10001 10010 10100 11000 10100 10010 10001", "L": "10000 10000 10000 10000 10000 10000 11111",
    "M": "10001 11011 10101 10101 10001 10001 10001", "N": "10001 10001 11001 10101 10011 10001 10001",
    "O": "01110 10001 10001 10001 10001 10001 01110", "P": "11110 10001 10001 11110 10000 10000 10000",
    "Q": "01110 10001 10001 10001 10101 10010 01101", "R": "11110 10001 10001 11110 10100 10010 10001",
    "S": "01111 10000 10000 01110 00001 00001 11110", "T": "11111 00100 00100 00100 00100 00100 00100",
    "U": "10001 10001 10001 10001 10001 10001 01110", "V": "10001 10001 10001 10001 10001 01010 00100",
    "W": "10001 10001 10001 10101 10101 10101 01010", "X": "10001 10001 01010 00100 01010 10001 10001",
    "Y": "10001 10001 01010 00100 00100 00100 00100", "Z": "11111 00001 00010 00100 01000 10000 11111",
    "0": "01110 10001 10011 10101 11001 10001 01110", "1": "00100 01100 00100 00100 00100 00100 01110",
    "2": "01110 10001 00001 00010 00100 01000 11111", "3": "11111 00010 00100 00010 00001 10001 01110",
    "4": "00010 00110 01010 10010 11111 00010 00010", "5": "11111 10000 11110 00001 00001 10001 01110",
    "6": "00110 01000 10000 11110 10001 10001 01110", "7": "11111 00001 00010 00100 01000 01000 01000",
    "8": "01110 10001 10001 01110 10001 10001 01110", "9": "01110 10001 10001 01111 00001 00010 01100",
    " ": "00000 00000 00000 00000 00000 00000 00000", "-": "00000 00000 00000 11111 00000 00000 00000",
    ".": "00000 00000 00000 00000 00000 01100 01100", "/": "00001 00010 00010 00100 01000 01000 10000",
    "^": "00100 01110 11111 00100 00100 00100 00100", "v": "00100 00100 00100 00100 11111 01110 00100",
    "<": "00000 00100 01100 11111 01100 00100 00000", ">": "00000 00100 00110 11111 00110 00100 00000",
}


class Canvas:
    """RGB pixels, top row first; written as a bottom-up 24-bit bitmap."""

    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.rows = [bytearray(bytes(colour) * width) for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][3 * x:3 * x + 3] = bytes(colour)

    def fill(self, x0, y0, x1, y1, colour):
        x0, x1 = max(0, x0), min(self.width, x1)
        for y in range(max(0, y0), min(self.height, y1)):
            if x1 > x0:
                self.rows[y][3 * x0:3 * x1] = bytes(colour) * (x1 - x0)

    def rounded(self, x0, y0, x1, y1, radius, colour, bottom=None):
        """Rounded rectangle; with `bottom` a vertical gradient from colour to bottom."""
        for y in range(y0, y1):
            c = colour if bottom is None else mix(colour, bottom, (y - y0) / max(1, y1 - y0 - 1))
            dy = max(y0 + radius - y, y - (y1 - 1 - radius), 0)
            inset = 0
            if dy:
                inset = radius - int((radius * radius - dy * dy) ** 0.5)
            self.fill(x0 + inset, y, x1 - inset, y + 1, c)

    def bevel(self, x0, y0, x1, y1, radius, light, dark, width=2):
        """Raised edge: light top/left, dark bottom/right (as rounded outlines)."""
        for i in range(width):
            self.outline(x0 + i, y0 + i, x1 - i, y1 - i, max(1, radius - i), light, dark)

    def outline(self, x0, y0, x1, y1, radius, light, dark):
        for y in range(y0, y1):
            dy = max(y0 + radius - y, y - (y1 - 1 - radius), 0)
            inset = radius - int((radius * radius - dy * dy) ** 0.5) if dy else 0
            upper = y < (y0 + y1) // 2
            self.set(x0 + inset, y, light if upper else mix(light, dark, 0.5))
            self.set(x1 - 1 - inset, y, mix(light, dark, 0.5) if upper else dark)
        for x in range(x0 + radius, x1 - radius):
            self.set(x, y0, light)
            self.set(x, y1 - 1, dark)

    def disc(self, cx, cy, r, colour, bottom=None):
        for y in range(cy - r, cy + r + 1):
            c = colour if bottom is None else mix(colour, bottom, (y - cy + r) / (2 * r))
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r * 0.8:
                    self.set(x, y, c)

    def text(self, x, y, label, scale, colour):
        for ch in label:
            rows = FONT[ch].split()
            for gy, row in enumerate(rows):
                for gx, bit in enumerate(row):
                    if bit == "1":
                        self.fill(x + gx * scale, y + gy * scale, x + (gx + 1) * scale, y + (gy + 1) * scale, colour)
            x += 6 * scale

    def centred(self, x0, y0, x1, y1, label, scale, colour):
        w = text_width(label, scale)
        h = 7 * scale
        self.text(x0 + (x1 - x0 - w) // 2, y0 + (y1 - y0 - h) // 2, label, scale, colour)

    def bmp(self):
        stride = (self.width * 3 + 3) & ~3
        pixels = bytearray()
        for row in reversed(self.rows):
            bgr = bytearray(len(row))
            bgr[0::3], bgr[1::3], bgr[2::3] = row[2::3], row[1::3], row[0::3]
            pixels += bgr + bytes(stride - len(bgr))
        header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(pixels),
                           PIXELS_PER_METRE, PIXELS_PER_METRE, 0, 0)
        return header + info + bytes(pixels)


def text_width(label, scale):
    return (6 * len(label) - 1) * scale


def mix(a, b, t):
    t = min(1.0, max(0.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def hex_colour(rgb):
    return "#%02X%02X%02X" % rgb

# ---------------------------------------------------------------------------------------------
# The demo device

PLATE_W, PLATE_H = 640, 400
LCD_TYPE = {  # the 2x16 yellow-green type of Standard.lcd, in nanometres
    "name": "2x16 gelbgr\u00fcn",
    "tooltip": "Zweizeilig, 16 Zeichen 5x8, LED-Beleuchtung gelbgr\u00fcn, Sichtfeld 64,5 x 16,0 mm",
    "font": "N", "characters": 16, "lines": 2, "fontX": 5, "fontY": 8,
    "width": 64500000, "height": 16000000, "charX": 2950000, "charY": 5550000,
    "dotX": 600000, "dotY": 400000,
}
LCD_AT = (68, 86)  # upper left corner of the LCD frame on the plate, in pixels
LCD_PX = (LCD_TYPE["width"] // NM_PER_PIXEL, LCD_TYPE["height"] // NM_PER_PIXEL)

# Each key: an internal handle, the label on the plate, id, rectangle (left, top, right,
# bottom), cap colour. Names, tooltips and help texts per language follow below.
KEYS = [
    ("F1", "F1", 0, (48, 196, 112, 228), (62, 66, 74)),
    ("F2", "F2", 1, (122, 196, 186, 228), (62, 66, 74)),
    ("F3", "F3", 2, (196, 196, 260, 228), (62, 66, 74)),
    ("F4", "F4", 3, (270, 196, 334, 228), (62, 66, 74)),
    ("up", "^", 4, (446, 52, 496, 100), (70, 74, 82)),
    ("left", "<", 5, (392, 106, 440, 154), (70, 74, 82)),
    ("OK", "OK", 6, (446, 106, 496, 154), (44, 92, 160)),
    ("right", ">", 7, (502, 106, 550, 154), (70, 74, 82)),
    ("down", "v", 8, (446, 160, 496, 208), (70, 74, 82)),
    ("start", "START", 9, (396, 264, 490, 316), (34, 140, 60)),
    ("stop", "STOP", 10, (506, 264, 600, 316), (176, 36, 36)),
]
# handle (also the name in both languages), label, id, centre, on colour, off colour,
# second (id, on colour) or None
LEDS = [
    ("POWER", "POWER", 0, (78, 296), (40, 230, 60), (20, 50, 24), None),
    ("RUN", "RUN", 1, (154, 296), (40, 230, 60), (24, 44, 24), (2, (240, 40, 30))),
    ("ALARM", "ALARM", 3, (230, 296), (250, 40, 30), (60, 20, 20), None),
    ("COM", "COM", 4, (306, 296), (250, 200, 30), (60, 50, 20), None),
]
LED_RADIUS = 8

# What the demo device (examples/demo_host) does with each key, in each language.
TEXTS = {
    "en": {
        "design": "demo", "help": "demo_contexthelp.txt", "plate": "demo_front.bmp",
        "plate labels": ("MEASURING DEVICE", "MEASUREMENT", "ORPPANEL DEMO - FRONT PLATE 640 X 400"),
        "names": {"F1": "F1", "F2": "F2", "F3": "F3", "F4": "F4", "up": "Up", "left": "Left", "OK": "OK",
                  "right": "Right", "down": "Down", "start": "Start", "stop": "Stop"},
        "key tips": {
            "F1": "Soft key 1: measured value", "F2": "Soft key 2: menu", "F3": "Soft key 3: backlight on/off",
            "F4": "Soft key 4: reset value and alarm", "up": "Cursor up", "left": "Cursor left, lower the value",
            "OK": "Confirm the selection", "right": "Cursor right, raise the value", "down": "Cursor down",
            "start": "Start the measurement", "stop": "Stop the measurement",
        },
        "lcd tip": "Two lines of 16 characters 5x8, yellow-green LED backlight, viewing area 64.5 x 16.0 mm",
        "led tips": {
            "POWER": "Supply voltage", "RUN": "Running (green) or fault (red)",
            "ALARM": "Threshold exceeded", "COM": "Data traffic with the host",
        },
        "tips": [
            "Press START to begin a measurement; STOP ends it.",
            "F1 over a key or LED shows the context help for it.",
            "The RUN LED is green while measuring and red on a fault.",
        ],
        "help texts": {
            "F1": "Shows the measured value.",
            "F2": "Opens the menu.",
            "F3": "Switches the backlight of the display on or off.",
            "F4": "Resets the measured value and the alarm.\r\nThe threshold keeps its setting.",
            "up": "Moves the selection one line up.",
            "left": "Moves the selection to the left or lowers a value.",
            "OK": "Takes the selected line or the value set.",
            "right": "Moves the selection to the right or raises a value.",
            "down": "Moves the selection one line down.",
            "start": "Begins a new measurement.\r\nThe RUN LED lights green meanwhile.",
            "stop": "Ends the running measurement and keeps its result.",
            "POWER": "Lit while the device is switched on.",
            "RUN": "Green: a measurement is running.\r\nRed: a fault has occurred.",
            "ALARM": "Lights red when the threshold has been exceeded.",
            "COM": "Flashes yellow with every data packet between device and host.",
            "lcd": "Two lines of 16 characters.\r\nThe menu, the measured value and the threshold.",
        },
    },
    "de": {
        "design": "demo_de", "help": "demo_kontexthilfe.txt", "plate": "demo_front_de.bmp",
        "plate labels": ("MESSGERAET", "MESSUNG", "ORPPANEL DEMO - FRONTPLATTE 640 X 400"),
        "names": {"F1": "F1", "F2": "F2", "F3": "F3", "F4": "F4", "up": "Hoch", "left": "Links", "OK": "OK",
                  "right": "Rechts", "down": "Runter", "start": "Start", "stop": "Stop"},
        "key tips": {
            "F1": "Softkey 1: Messwert", "F2": "Softkey 2: Men\u00fc", "F3": "Softkey 3: Beleuchtung ein/aus",
            "F4": "Softkey 4: Messwert und Alarm zur\u00fccksetzen", "up": "Cursor nach oben",
            "left": "Cursor nach links, Wert verringern", "OK": "Auswahl best\u00e4tigen",
            "right": "Cursor nach rechts, Wert erh\u00f6hen", "down": "Cursor nach unten",
            "start": "Messung starten", "stop": "Messung anhalten",
        },
        "lcd tip": LCD_TYPE["tooltip"],
        "led tips": {
            "POWER": "Betriebsspannung", "RUN": "Betrieb (gr\u00fcn) oder St\u00f6rung (rot)",
            "ALARM": "Grenzwert \u00fcberschritten", "COM": "Datenverkehr mit dem Host",
        },
        "tips": [
            "Dr\u00fccken Sie START, um eine Messung zu beginnen; STOP h\u00e4lt sie an.",
            "F1 \u00fcber einer Taste oder LED zeigt die Kontexthilfe zu diesem Element.",
            "Die LED RUN leuchtet gr\u00fcn im Betrieb und rot bei einer St\u00f6rung.",
        ],
        "help texts": {
            "F1": "Zeigt den aktuellen Messwert.",
            "F2": "\u00d6ffnet das Men\u00fc.",
            "F3": "Schaltet die Beleuchtung der Anzeige ein oder aus.",
            "F4": "Setzt Messwert und Alarm zur\u00fcck.\r\nDer Grenzwert bleibt eingestellt.",
            "up": "Bewegt die Auswahl eine Zeile nach oben.",
            "left": "Bewegt die Auswahl nach links oder verringert einen Wert.",
            "OK": "\u00dcbernimmt die ausgew\u00e4hlte Zeile oder den eingestellten Wert.",
            "right": "Bewegt die Auswahl nach rechts oder erh\u00f6ht einen Wert.",
            "down": "Bewegt die Auswahl eine Zeile nach unten.",
            "start": "Beginnt eine neue Messung.\r\nDie LED leuchtet dabei gr\u00fcn.",
            "stop": "Beendet die laufende Messung und speichert das Ergebnis.",
            "POWER": "Leuchtet, solange das Ger\u00e4t eingeschaltet ist.",
            "RUN": "Gr\u00fcn: eine Messung l\u00e4uft.\r\nRot: eine St\u00f6rung ist aufgetreten.",
            "ALARM": "Leuchtet rot, wenn ein Grenzwert \u00fcberschritten wurde.",
            "COM": "Blinkt gelb bei jedem Datenpaket zwischen Ger\u00e4t und Host.",
            "lcd": "Zweizeilige Anzeige mit 16 Zeichen je Zeile.\r\nOben der Messwert, unten der Status.",
        },
    },
}


def draw_screw(c, cx, cy):
    c.disc(cx, cy, 6, (178, 182, 188), (96, 100, 106))
    c.fill(cx - 4, cy - 1, cx + 5, cy + 1, (70, 72, 76))


def draw_front_plate(labels):
    """The plate of the demo device; `labels`: the device's title, the caption over START and
    STOP, and the line at the bottom."""
    title, measurement, bottom = labels
    desk = (214, 216, 220)
    c = Canvas(PLATE_W, PLATE_H, desk)
    # housing with a soft shadow, then the body with a vertical gradient and a raised edge
    c.rounded(6, 8, PLATE_W - 2, PLATE_H - 1, 22, (170, 172, 176))
    c.rounded(2, 2, PLATE_W - 4, PLATE_H - 4, 22, (78, 83, 92), (42, 45, 51))
    c.bevel(2, 2, PLATE_W - 4, PLATE_H - 4, 22, (120, 126, 136), (28, 30, 34))
    for x, y in ((22, 22), (PLATE_W - 26, 22), (22, PLATE_H - 26), (PLATE_W - 26, PLATE_H - 26)):
        draw_screw(c, x, y)
    c.text(44, 24, "ORP DEMO 1", 2, (214, 218, 226))
    c.text(PLATE_W - 44 - text_width(title, 1), 30, title, 1, (150, 156, 166))
    c.fill(44, 44, PLATE_W - 44, 45, (96, 102, 112))

    # LCD bezel and window
    lx, ly = LCD_AT
    lw, lh = LCD_PX
    c.rounded(lx - 22, ly - 20, lx + lw + 22, ly + lh + 20, 10, (30, 32, 36), (22, 24, 27))
    c.bevel(lx - 22, ly - 20, lx + lw + 22, ly + lh + 20, 10, (16, 17, 19), (92, 96, 104))
    c.fill(lx - 4, ly - 4, lx + lw + 4, ly + lh + 4, (12, 14, 12))
    c.fill(lx, ly, lx + lw, ly + lh, (120, 138, 88))

    # keys: shadow, cap with gradient, raised edge, label
    for _name, label, _id, (x0, y0, x1, y1), cap in KEYS:
        c.rounded(x0 + 2, y0 + 3, x1 + 2, y1 + 3, 7, (24, 26, 30))
        c.rounded(x0, y0, x1, y1, 7, mix(cap, (255, 255, 255), 0.18), mix(cap, (0, 0, 0), 0.25))
        c.bevel(x0, y0, x1, y1, 7, mix(cap, (255, 255, 255), 0.45), mix(cap, (0, 0, 0), 0.55), 1)
        scale = 2 if text_width(label, 2) + 12 <= x1 - x0 else 1
        c.centred(x0, y0, x1, y1, label, scale, (236, 238, 242))
    c.text(396, 248, measurement, 1, (170, 176, 186))

    # LED sockets with labels underneath
    c.text(48, 266, "STATUS", 1, (170, 176, 186))
    c.fill(48, 276, 334, 277, (96, 102, 112))
    for _name, label, _id, (cx, cy), _on, off, _second in LEDS:
        c.disc(cx, cy, LED_RADIUS + 4, (150, 154, 160), (60, 62, 66))
        c.disc(cx, cy, LED_RADIUS + 1, (18, 18, 20))
        c.disc(cx, cy, LED_RADIUS, off)
        c.centred(cx - 30, cy + 14, cx + 30, cy + 24, label, 1, (206, 210, 218))

    c.text(44, PLATE_H - 40, bottom, 1, (128, 134, 144))
    return c


def draw_splash(english):
    w, h = 480, 270
    c = Canvas(w, h, (30, 34, 42))
    c.rounded(0, 0, w, h, 0, (40, 56, 92), (16, 20, 28))
    c.fill(0, 182, w, 184, (230, 160, 40))
    c.centred(0, 50, w, 110, "ORPPANEL", 6, (240, 242, 248))
    subtitle = "VIRTUAL FRONT PANEL" if english else "VIRTUELLE FRONTPLATTE"
    c.centred(0, 122, w, 150, subtitle, 2, (200, 208, 224))
    hint = "OPEN A DESIGN WITH FILE / OPEN" if english else "DESIGN OEFFNEN MIT DATEI / OEFFNEN"
    c.centred(0, 200, w, 220, hint, 1, (190, 196, 210))
    # a row of LEDs as decoration
    for i, colour in enumerate([(40, 230, 60), (250, 200, 30), (250, 40, 30)]):
        c.disc(w // 2 - 40 + 40 * i, 250, 6, colour, mix(colour, (0, 0, 0), 0.4))
    return c

# ---------------------------------------------------------------------------------------------
# Design description and context help


def logical(rect):
    x0, y0, x1, y1 = rect
    return [x0 * NM_PER_PIXEL, y0 * NM_PER_PIXEL, (x1 - x0) * NM_PER_PIXEL, (y1 - y0) * NM_PER_PIXEL]


def design_description(texts):
    lx, ly = LCD_AT
    lw, lh = LCD_PX
    lcd = dict(LCD_TYPE)
    # The name stays the library type's (the LCDs menu and the context help know it by it).
    lcd["tooltip"] = texts["lcd tip"]
    # Menu id of the 2x16 type when the library lists Spezial.lcd before Standard.lcd.
    lcd["placement"] = {"id": 32891, "pixelRect": [lx, ly, lx + lw, ly + lh],
                        "logicalRect": [lx * NM_PER_PIXEL, ly * NM_PER_PIXEL, LCD_TYPE["width"], LCD_TYPE["height"]]}
    lcd["colours"] = {"background": "#A0C81E", "backlightOn": "#A0C81E", "backlightOff": "#78825A",
                      "dot": "#141E0A", "text": "#141E0A", "contrast": 255}
    keys = []
    for handle, _label, ident, rect, cap in KEYS:
        keys.append({"name": texts["names"][handle], "tooltip": texts["key tips"][handle], "id": ident, "pixelRect": list(rect),
                     "logicalRect": logical(rect), "colour": hex_colour(cap),
                     "colourOn": hex_colour(mix(cap, (255, 255, 255), 0.5)), "colourOff": hex_colour(cap)})
    leds = []
    for name, _label, ident, (cx, cy), on, off, second in LEDS:
        rect = (cx - LED_RADIUS, cy - LED_RADIUS, cx + LED_RADIUS + 1, cy + LED_RADIUS + 1)
        led = {"name": name, "tooltip": texts["led tips"][name], "id": ident, "pixelRect": list(rect),
               "logicalRect": logical(rect), "colour": hex_colour(off), "colourOn": hex_colour(on),
               "colourOff": hex_colour(off)}
        if second:
            led["second"] = {"id": second[0], "pixelRect": list(rect), "logicalRect": logical(rect),
                             "colour": hex_colour(off), "colourOn": hex_colour(second[1]),
                             "colourOff": hex_colour(off)}
        leds.append(led)
    return {
        "frontPlate": texts["plate"],
        "model": {"model": 1, "type": 1, "keyCount": len(KEYS), "ledCount": 5, "bufferSize": 64,
                  "options": 1 | 4 | 16 | 32},
        "lcd": lcd,
        "keys": keys,
        "leds": leds,
        "tips": texts["tips"],
        "tipIntervalSeconds": 7,
    }


def help_subjects(texts):
    """(section, object name, help text) of every entry, in file order."""
    subjects = [("[Taste]", texts["names"][k[0]], texts["help texts"][k[0]]) for k in KEYS]
    subjects += [("[Led]", l[0], texts["help texts"][l[0]]) for l in LEDS]
    return subjects + [("[Lcd]", LCD_TYPE["name"], texts["help texts"]["lcd"])]


def context_help_entries(texts):
    # The section names belong to the file format: they are the same in every language.
    lines = ["[KontextHilfe 1.0]", ""]
    section = None
    for where, name, text in help_subjects(texts):
        if where != section:
            lines.append(where)
            section = where
        lines += ["Name=" + name, "Text=" + text, ""]
    return "\r\n".join(lines)


def check_context_help(text, texts):
    """Looks every object up the way the panel does, so no name is shadowed by another entry."""
    entries = []
    pos = 0
    while pos < len(text):
        end = len(text)
        for stop in ("\r", "\n"):
            i = text.find(stop, pos)
            if i != -1:
                end = min(end, i)
        line = text[pos:end]
        if "Text=" in line and not any(k in line for k in ("[Taste]", "[Led]", "Name=")):
            while end < len(text):
                nxt = end + (2 if text.startswith("\r\n", end) else 1)
                nend = len(text)
                for stop in ("\r", "\n"):
                    i = text.find(stop, nxt)
                    if i != -1:
                        nend = min(nend, i)
                if not any(ch.isascii() and ch.isalpha() for ch in text[nxt:nend]):
                    break
                end = nend
        entries.append(text[pos:end])
        pos = end
        while pos < len(text) and text[pos] in "\r\n":
            pos += 1
    for section, name, help_text in help_subjects(texts):
        start = entries.index(section)
        found = next(i for i in range(start, len(entries)) if name in entries[i])
        if entries[found] != "Name=" + name or entries[found + 1] != "Text=" + help_text:
            raise SystemExit("context help: %s would show the wrong entry" % name)

# ---------------------------------------------------------------------------------------------


def run(args):
    """Runs a tool; its warnings count as failures too (a clipped LCD, for one)."""
    result = subprocess.run(args, capture_output=True, text=True, encoding="utf-8")
    if result.returncode != 0 or result.stderr:
        raise SystemExit("%s failed:\n%s%s" % (" ".join(args), result.stdout, result.stderr))
    return result.stdout


def main():
    parser = argparse.ArgumentParser(description="Writes a demo work directory for the panel.")
    parser.add_argument("outdir")
    parser.add_argument("--designtool", required=True, help="path of orp-designtool")
    parser.add_argument("--lcdtool", required=True, help="path of orp-lcdtool")
    options = parser.parse_args()

    out = os.path.abspath(options.outdir)
    designs = os.path.join(out, "ORPDesigns")
    lcds = os.path.join(designs, "LCDs")
    os.makedirs(lcds, exist_ok=True)

    with tempfile.TemporaryDirectory() as scratch:
        for name, text in LCD_LIBRARIES.items():
            plain = os.path.join(scratch, name + ".txt")
            with open(plain, "w", encoding="utf-8") as f:
                f.write(text)
            target = os.path.join(lcds, name)
            run([options.lcdtool, "encode", plain, target])
            listed = run([options.lcdtool, "list", target])
            names = [line.split("  ")[1] for line in listed.splitlines() if line[:1].isdigit()]
            expected = [line[5:] for line in text.splitlines() if line.startswith("Name=")]
            if names != expected:
                raise SystemExit("%s: expected the types %s, the LCD tool lists:\n%s" % (name, expected, listed))
            if run([options.lcdtool, "decode", target]) != text:
                raise SystemExit("%s does not decode to the type list it was made from" % name)

    with open(os.path.join(out, "orpstart.bmp"), "wb") as f:
        f.write(draw_splash(False).bmp())
    with open(os.path.join(out, "orpstarte.bmp"), "wb") as f:
        f.write(draw_splash(True).bmp())

    for texts in TEXTS.values():
        with open(os.path.join(designs, texts["plate"]), "wb") as f:
            f.write(draw_front_plate(texts["plate labels"]).bmp())
        json_path = os.path.join(designs, texts["design"] + ".json")
        with open(json_path, "w", encoding="utf-8") as f:
            json.dump(design_description(texts), f, ensure_ascii=False, indent=2)
            f.write("\n")
        orp_path = os.path.join(designs, texts["design"] + ".orp")
        run([options.designtool, "build", json_path, orp_path])

        help_text = context_help_entries(texts)
        check_context_help(help_text, texts)
        with open(os.path.join(designs, texts["help"]), "wb") as f:
            f.write(help_text.encode("cp1252"))

        # Read the design back the way the panel would accept it.
        dumped = json.loads(run([options.designtool, "dump", orp_path]))
        if ([k["name"] for k in dumped["keys"]] != [texts["names"][k[0]] for k in KEYS] or
                len(dumped["leds"]) != len(LEDS) or dumped["tips"] != texts["tips"]):
            raise SystemExit("%s does not read back as written" % orp_path)
    print("demo work directory written to %s" % out)


if __name__ == "__main__":
    main()
