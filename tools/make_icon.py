#!/usr/bin/env python3
"""Writes res/tarnwick.ico: one 32x32 image, 24 bits per pixel.

The image is 3,240 bytes: a 40-byte BITMAPINFOHEADER (height doubled for
the AND mask), 32*32*3 bytes of colour bits and 32 rows of 4 bytes of AND
mask (all zero: every pixel opaque). The picture is a four-winged star
fighter seen from behind, in gold on a night-blue disc with a few stars.
It is computed, so the same file comes out on every run.

Usage: python3 tools/make_icon.py [output]   (default: res/tarnwick.ico)
"""
import math
import os
import struct
import sys

SIZE = 32
BG = (0x10, 0x14, 0x30)        # night blue
DISC = (0x1c, 0x2c, 0x5c)      # lighter blue disc
RIM = (0x70, 0x90, 0xd0)       # disc rim
GOLD = (0xf0, 0xc0, 0x30)
DARK_GOLD = (0xa0, 0x70, 0x10)
ENGINE = (0xff, 0x60, 0x30)
STAR = (0xff, 0xff, 0xff)
STARS = [(3, 4), (27, 2), (29, 26), (2, 28), (6, 17), (25, 12)]


def dist_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    cx, cy = ax + t * dx, ay + t * dy
    return math.hypot(px - cx, py - cy)


def pixel(x, y):
    """Colour of the pixel in column x, row y (row 0 at the top)."""
    px, py = x + 0.5, y + 0.5
    c = 16.0
    r = math.hypot(px - c, py - c)
    colour = BG
    if r <= 14.5:
        colour = DISC
    if 13.5 <= r <= 14.8:
        colour = RIM
    # Four wings in an X, each with a darker edge.
    for ex, ey in ((4, 5), (28, 5), (4, 27), (28, 27)):
        d = dist_to_segment(px, py, c, c, ex, ey)
        if d <= 2.2:
            colour = DARK_GOLD if d > 1.3 else GOLD
    # Engines at the wing tips.
    for ex, ey in ((5, 6), (27, 6), (5, 26), (27, 26)):
        if math.hypot(px - ex, py - ey) <= 1.6:
            colour = ENGINE
    # Fuselage: a round hull in the middle.
    if r <= 4.2:
        colour = GOLD if r <= 3.0 else DARK_GOLD
    if r <= 1.4:
        colour = ENGINE
    if (x, y) in STARS:
        colour = STAR
    return colour


def icon_bytes():
    header = struct.pack('<IiiHHIIiiII',
                         40,            # biSize
                         SIZE,          # biWidth
                         SIZE * 2,      # biHeight: colour bits + AND mask
                         1,             # biPlanes
                         24,            # biBitCount
                         0,             # biCompression: BI_RGB
                         SIZE * SIZE * 3 + SIZE * 4,  # biSizeImage
                         0, 0, 0, 0)
    rows = []
    for y in range(SIZE - 1, -1, -1):     # bottom-up
        row = bytearray()
        for x in range(SIZE):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row))           # 96 bytes: already DWORD aligned
    xor_bits = b''.join(rows)
    and_mask = bytes(SIZE * 4)
    image = header + xor_bits + and_mask
    assert len(image) == 3240, len(image)
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'res', 'tarnwick.ico')
    with open(out, 'wb') as f:
        f.write(icon_bytes())


if __name__ == '__main__':
    main()
