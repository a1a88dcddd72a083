#!/usr/bin/env python3
"""Draws the navigation bar's view bitmaps as 8-bit .bmp files.

- uinavbar_advexplorer_collapse.bmp, uinavbar_advexplorer_expand.bmp
  (22 x 22): the caption sign of the advanced explorer-bar view, a round
  button with a double chevron pointing up (the group is expanded: a click
  collapses it) or down. Pure blue marks the chevrons, which the sign
  painter draws in the view's sign colour; white the button and the grey
  ring its edge, which it blends over the caption by their red channel
  (white covers, black would let the caption through); magenta, the
  top-left pixel, is the background it leaves out.
- uinavbar_office11_expand.bmp, uinavbar_office11_collapse.bmp (16 x 16):
  the Office 11 task pane's sign, a double chevron down (collapsed) or up.
- uinavbar_navpane_overflow.bmp (13 x 17): the navigation pane's overflow
  button, a small downward triangle over a bar.
- uinavbar_navpane_splitter.bmp (37 x 5): the splitter's grip, a row of
  dots.
- uinavbar_navpane_arrowup.bmp, uinavbar_navpane_arrowdown.bmp (16 x 16):
  the header's arrows.
- uinavbar_navpane_defaultlarge.bmp (32 x 32),
  uinavbar_navpane_defaultsmall.bmp (16 x 16): the picture of a group
  without one of its own, a folder.

The navigation-pane pictures are drawn on magenta, the colour of their
bottom-left pixel, which the navigation bar makes transparent.

Run from anywhere: writes the .bmp files beside this script. A program that
uses the navigation bar lists them in its resource script under the names
UINAVBARADVEXPLORERBARGROUPCAPTIONCOLLAPSESIGN,
UINAVBARADVEXPLORERBARGROUPCAPTIONEXPANDSIGN, UINAVBAROFFICE11EXPANDSIGN,
UINAVBAROFFICE11COLLAPSESIGN, UINAVBAROFFICE11NAVPANEOVERFLOW,
UINAVBAROFFICE11NAVPANESPLITTER, UINAVBAROFFICE11NAVPANEARROWUP,
UINAVBAROFFICE11NAVPANEARROWDOWN, UINAVBAROFFICE11NAVPANEDEFAULTLARGE and
UINAVBAROFFICE11NAVPANEDEFAULTSMALL, as the navigation bar tests do
(tests/navbar/resources/test_navbar.qvrc).
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

MAGENTA = (255, 0, 255)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (160, 160, 160)
YELLOW = (240, 200, 80)
BROWN = (176, 128, 32)


def write_bmp8(name, rows):
    """rows: top-down rows of (r, g, b); at most 256 colours."""
    height, width = len(rows), len(rows[0])
    palette = []
    for row in rows:
        for c in row:
            if c not in palette:
                palette.append(c)
    assert len(palette) <= 256
    stride = (width + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytes(palette.index(c) for c in row)
        data += line + bytes(stride - width)
    pal = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(data), 2835, 2835,
                         len(palette), 0)
    offset = 14 + len(header) + len(pal)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', offset + len(data), 0, 0, offset))
        f.write(header + pal + data)


def canvas(w, h, colour=MAGENTA):
    return [[colour] * w for _ in range(h)]


BLUE = (0, 0, 255)


def chevrons(rows, cx, top, up, width=3, colour=BLACK):
    """Two chevrons of the given half-width, three rows apart."""
    for k in (0, 4):
        for i in range(width + 1):
            y = top + k + (i if up else width - i)
            for x in (cx - i, cx + i):
                rows[y][x] = colour
                rows[y + 1][x] = colour


def round_button(size, up):
    rows = canvas(size, size)
    c = (size - 1) / 2.0
    for y in range(size):
        for x in range(size):
            d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
            if d <= c - 0.5:
                rows[y][x] = GREY if d > c - 1.7 else WHITE
    chevrons(rows, size // 2 - (1 - size % 2), size // 2 - 5, up, colour=BLUE)
    return rows


def office11_sign(up):
    rows = canvas(16, 16)
    chevrons(rows, 7, 3, up)
    return rows


def overflow():
    rows = canvas(13, 17)
    for i in range(4):
        for x in range(3 + i, 10 - i):
            rows[8 + i][x] = BLACK
    for x in range(3, 10):
        rows[5][x] = BLACK
    return rows


def splitter():
    rows = canvas(37, 5)
    for x in range(1, 37, 4):
        rows[1][x] = rows[1][x + 1] = (100, 100, 100)
        rows[2][x] = rows[2][x + 1] = WHITE
    return rows


def arrow(up):
    rows = canvas(16, 16)
    for i in range(4):
        y = 6 + i if up else 9 - i
        for x in range(7 - i, 9 + i):
            rows[y][x] = BLACK
    return rows


def folder(size):
    rows = canvas(size, size)
    s = size / 16.0
    top, bottom = int(4 * s), int(13 * s)
    for y in range(top, bottom):
        for x in range(int(1 * s), int(15 * s)):
            rows[y][x] = YELLOW
    for x in range(int(1 * s), int(7 * s)):
        rows[top - int(1 * s)][x] = YELLOW
    for x in range(int(1 * s), int(15 * s)):
        rows[top][x] = BROWN
        rows[bottom - 1][x] = BROWN
    for y in range(top, bottom):
        rows[y][int(1 * s)] = BROWN
        rows[y][int(15 * s) - 1] = BROWN
    return rows


if __name__ == '__main__':
    write_bmp8('uinavbar_advexplorer_collapse.bmp', round_button(22, True))
    write_bmp8('uinavbar_advexplorer_expand.bmp', round_button(22, False))
    write_bmp8('uinavbar_office11_expand.bmp', office11_sign(False))
    write_bmp8('uinavbar_office11_collapse.bmp', office11_sign(True))
    write_bmp8('uinavbar_navpane_overflow.bmp', overflow())
    write_bmp8('uinavbar_navpane_splitter.bmp', splitter())
    write_bmp8('uinavbar_navpane_arrowup.bmp', arrow(True))
    write_bmp8('uinavbar_navpane_arrowdown.bmp', arrow(False))
    write_bmp8('uinavbar_navpane_defaultlarge.bmp', folder(32))
    write_bmp8('uinavbar_navpane_defaultsmall.bmp', folder(16))
