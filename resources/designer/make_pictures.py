#!/usr/bin/env python3
"""Draws the designer's pictures: the product logo and the maker's logo of the
header, and the glyph strips of the tool bar and the navigation bar.

- logo.bmp: 273 x 73, a disc beside coloured title bars on white.
- maker.bmp: 120 x 40, the maker's mark.
- glyphs.bmp: 18 glyphs of 16 x 16 side by side (288 x 16); magenta is the
  transparent colour.
- glyphs_gray.bmp: the same glyphs in grey, for disabled buttons.

Run from anywhere: writes the bitmaps beside this script (24 bits, bottom-up).
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = (255, 0, 255)


def write_bmp(path, width, height, pixel):
    stride = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        data += row + b"\0" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    with open(path, "wb") as f:
        f.write(header + info + bytes(data))


def mix(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def logo(x, y):
    cx, cy = 36, 36
    d = math.hypot(x - cx, y - cy)
    if d <= 30 and d >= 6:
        sheen = 0.5 + 0.5 * math.cos(2 * math.atan2(y - cy, x - cx) - 0.8)
        return mix((40, 70, 160), (190, 210, 245), sheen)
    if 75 <= x < 260 and 20 <= y < 34:
        return mix((40, 70, 160), (120, 160, 230), (x - 75) / 185)
    if 75 <= x < 200 and 42 <= y < 50:
        return (150, 150, 150)
    return (255, 255, 255)


def maker(x, y):
    if 4 <= y < 36 and (x - 4) % 14 < 8 and x < 60:
        return mix((200, 90, 20), (240, 180, 60), (y - 4) / 32)
    if 64 <= x < 116 and 16 <= y < 24:
        return (90, 90, 90)
    return (255, 255, 255)


# One colour and one shape per glyph.
GLYPHS = [
    ((250, 250, 250), "page"),    # 0 new
    ((230, 190, 60), "folder"),   # 1 open
    ((60, 90, 180), "disk"),      # 2 save
    ((200, 60, 60), "cross"),     # 3 close
    ((40, 160, 60), "play"),      # 4 test
    ((90, 130, 200), "disc"),     # 5 position and size
    ((160, 80, 180), "note"),     # 6 music
    ((60, 120, 200), "arrow"),    # 7 deploy
    ((120, 120, 120), "bar"),     # 8 toolbar
    ((60, 140, 220), "info"),     # 9 info
    ((100, 160, 100), "window"),  # 10 general
    ((60, 140, 220), "help"),     # 11 help
    ((200, 160, 60), "gear"),     # 12 settings
    ((200, 60, 60), "exit"),      # 13 exit
    ((180, 140, 60), "list"),     # 14 optional settings
    ((120, 80, 160), "skin"),     # 15 skin
    ((140, 140, 140), "dot"),     # 16 spare
    ((80, 160, 160), "plug"),     # 17 extensions
]


def glyph_pixel(kind, colour, x, y):
    inside = False
    if kind == "page":
        inside = 3 <= x <= 12 and 1 <= y <= 14
    elif kind == "folder":
        inside = (1 <= x <= 14 and 4 <= y <= 13) or (1 <= x <= 6 and y == 3)
    elif kind == "disk":
        inside = 2 <= x <= 13 and 2 <= y <= 13 and not (5 <= x <= 10 and 3 <= y <= 6)
    elif kind in ("cross", "exit"):
        inside = abs(x - y) <= 1 or abs(x + y - 15) <= 1
        inside = inside and 2 <= x <= 13 and 2 <= y <= 13
    elif kind == "play":
        inside = 4 <= x <= 12 and abs(y - 7.5) <= (x - 3) * 0.7
    elif kind in ("disc", "dot"):
        d = math.hypot(x - 7.5, y - 7.5)
        inside = 2 <= d <= 6.5 if kind == "disc" else d <= 4
    elif kind == "note":
        inside = (9 <= x <= 10 and 2 <= y <= 11) or math.hypot(x - 7, y - 12) <= 2.5
    elif kind == "arrow":
        inside = (2 <= x <= 9 and 6 <= y <= 9) or (9 <= x <= 14 and abs(y - 7.5) <= 14 - x)
    elif kind == "bar":
        inside = 1 <= x <= 14 and 5 <= y <= 10 and (x % 4 != 0)
    elif kind in ("info", "help"):
        d = math.hypot(x - 7.5, y - 7.5)
        inside = d <= 7 and not (7 <= x <= 8 and (3 <= y <= 4 or 6 <= y <= 12))
    elif kind == "window":
        inside = 1 <= x <= 14 and 2 <= y <= 13 and not (2 <= x <= 13 and 5 <= y <= 12)
    elif kind == "gear":
        d = math.hypot(x - 7.5, y - 7.5)
        a = math.atan2(y - 7.5, x - 7.5)
        inside = 2.5 <= d <= (5.5 + 1.5 * (math.cos(6 * a) > 0))
    elif kind == "list":
        inside = 2 <= x <= 13 and y in (3, 4, 7, 8, 11, 12) and x != 4
    elif kind == "skin":
        inside = math.hypot((x - 7.5) / 1.2, y - 7.5) <= 6.5 and not math.hypot(x - 7.5, y - 7.5) <= 2.5
    elif kind == "plug":
        inside = (4 <= x <= 11 and 6 <= y <= 11) or (x in (5, 6, 9, 10) and 2 <= y <= 5) or (7 <= x <= 8 and y >= 12)
    if not inside:
        return None
    edge = x in (0, 15) or y in (0, 15)
    return mix(colour, (0, 0, 0), 0.25 if edge else (y / 40.0))


def strip(gray):
    def pixel(x, y):
        colour, kind = GLYPHS[x // 16]
        c = glyph_pixel(kind, colour, x % 16, y)
        if c is None:
            return KEY
        if gray:
            v = int(0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2])
            v = 96 + v // 2
            return (v, v, v)
        return c
    return pixel


def main():
    write_bmp(os.path.join(HERE, "logo.bmp"), 273, 73, logo)
    write_bmp(os.path.join(HERE, "maker.bmp"), 120, 40, maker)
    write_bmp(os.path.join(HERE, "glyphs.bmp"), 16 * len(GLYPHS), 16, strip(False))
    write_bmp(os.path.join(HERE, "glyphs_gray.bmp"), 16 * len(GLYPHS), 16, strip(True))


if __name__ == "__main__":
    main()
