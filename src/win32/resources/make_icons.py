#!/usr/bin/env python3
"""Draws the panel's icons and writes them as .ico files (32x32 and 16x16, 32-bit colour).

  make_icons.py OUTDIR

panel.ico      the main window's icon (a small front panel: LCD, keys, LED)
serial_off.ico / serial_on.ico    connection state: serial link closed / open
net_off.ico / net_on.ico          connection state: network link closed / open
monitor.ico    the Rx/Tx monitor, trace and font table windows
"""
import os
import struct
import sys


def canvas(size):
    return [[None] * size for _ in range(size)]


def rect(img, x0, y0, x1, y1, colour):
    n = len(img)
    for y in range(max(0, y0), min(n, y1)):
        for x in range(max(0, x0), min(n, x1)):
            img[y][x] = colour


def disc(img, cx, cy, r, colour):
    n = len(img)
    for y in range(n):
        for x in range(n):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                img[y][x] = colour


def scaled(draw, size):
    img = canvas(size)
    draw(img, size / 32.0)
    return img


def draw_panel(img, s):
    r = lambda v: int(round(v * s))
    rect(img, r(1), r(4), r(31), r(28), (60, 60, 70))
    rect(img, r(3), r(6), r(29), r(15), (120, 200, 60))
    rect(img, r(5), r(8), r(15), r(10), (20, 50, 20))
    rect(img, r(5), r(11), r(22), r(13), (20, 50, 20))
    for i in range(3):
        rect(img, r(4 + i * 7), r(18), r(9 + i * 7), r(25), (200, 200, 205))
    disc(img, r(26) + 0.5, r(21.5), max(1.5, 2.5 * s), (240, 40, 40))


def draw_plug(on):
    def draw(img, s):
        r = lambda v: int(round(v * s))
        colour = (40, 170, 60) if on else (150, 150, 150)
        rect(img, r(4), r(9), r(22), r(23), colour)           # connector shell
        for i in range(4):
            rect(img, r(7 + i * 4), r(13), r(9 + i * 4), r(15), (20, 20, 20))
        rect(img, r(22), r(14), r(30), r(18), colour)        # cable
        if not on:
            for d in range(r(24)):
                rect(img, r(4) + d, r(4) + d, r(4) + d + max(1, r(2)), r(4) + d + max(1, r(2)), (200, 30, 30))
    return draw


def draw_net(on):
    def draw(img, s):
        r = lambda v: int(round(v * s))
        colour = (40, 120, 220) if on else (150, 150, 150)
        rect(img, r(3), r(4), r(13), r(12), colour)
        rect(img, r(19), r(4), r(29), r(12), colour)
        rect(img, r(11), r(20), r(21), r(28), colour)
        rect(img, r(7), r(12), r(9), r(17), (40, 40, 40))
        rect(img, r(23), r(12), r(25), r(17), (40, 40, 40))
        rect(img, r(7), r(16), r(25), r(18), (40, 40, 40))
        rect(img, r(15), r(16), r(17), r(20), (40, 40, 40))
        if not on:
            for d in range(r(24)):
                rect(img, r(4) + d, r(4) + d, r(4) + d + max(1, r(2)), r(4) + d + max(1, r(2)), (200, 30, 30))
    return draw


def draw_monitor(img, s):
    r = lambda v: int(round(v * s))
    rect(img, r(2), r(3), r(30), r(25), (60, 60, 70))
    rect(img, r(4), r(5), r(28), r(23), (250, 250, 245))
    for i, w in enumerate((18, 12, 20, 9, 15)):
        rect(img, r(6), r(7 + i * 3), r(6 + w), r(8 + i * 3), (40, 90, 160))
    rect(img, r(12), r(25), r(20), r(28), (60, 60, 70))
    rect(img, r(8), r(28), r(24), r(30), (60, 60, 70))


def icon_image(img):
    n = len(img)
    header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for y in range(n - 1, -1, -1):
        for x in range(n):
            c = img[y][x]
            pixels += bytes((0, 0, 0, 0)) if c is None else bytes((c[2], c[1], c[0], 255))
    mask_row = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        row = bytearray(mask_row)
        for x in range(n):
            if img[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(pixels) + bytes(mask)


def write_ico(path, draw):
    images = [icon_image(scaled(draw, n)) for n in (32, 16)]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for n, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_ico(os.path.join(out, "panel.ico"), draw_panel)
    write_ico(os.path.join(out, "serial_off.ico"), draw_plug(False))
    write_ico(os.path.join(out, "serial_on.ico"), draw_plug(True))
    write_ico(os.path.join(out, "net_off.ico"), draw_net(False))
    write_ico(os.path.join(out, "net_on.ico"), draw_net(True))
    write_ico(os.path.join(out, "monitor.ico"), draw_monitor)


if __name__ == "__main__":
    main()
