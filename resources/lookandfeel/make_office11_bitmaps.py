#!/usr/bin/env python3
"""Draws the Office 2003 bitmaps of the look-and-feel library as 24-bit .bmp files.

- uisubmenuexpand.bmp (12 x 12): a round button shaded from light grey at the
  top to mid grey at the bottom with a black double chevron pointing down, on
  a magenta background. The library recolours the grey shades to the colour
  scheme at run time (lightest shade -> light end, darkest -> dark end); the
  background (the top-left pixel) and black stay.
- uiexpandbutton_minus.bmp, uiexpandbutton_plus.bmp (11 x 11): the tree
  expand button, a framed box shaded from white to a pale blue with a black
  minus or plus. The four corner pixels are blended with the background by
  the painter when it draws the button.

Run from anywhere: writes the .bmp files beside this script. A program that
uses the library lists them in its resource script under the names
UISUBMENUEXPAND, UIEXPANDBUTTON_MINUS and UIEXPANDBUTTON_PLUS, as the
look-and-feel tests do (tests/lookandfeel/resources/test_lookandfeel.qvrc).
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write_bmp(name, pixels):
    """pixels: rows top-down of (r, g, b)."""
    height = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    size = 14 + len(header) + len(data)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', size, 0, 0, 14 + len(header)))
        f.write(header)
        f.write(data)


def submenu_expand():
    size = 12
    magenta = (255, 0, 255)
    rows = [[magenta] * size for _ in range(size)]
    c = (size - 1) / 2.0
    for y in range(size):
        shade = round(245 - (245 - 150) * y / (size - 1))
        for x in range(size):
            if (x - c) ** 2 + (y - c) ** 2 <= 5.8 ** 2:
                rows[y][x] = (shade, shade, shade)
    # Two chevrons pointing down.
    for top in (3, 6):
        for i in range(3):
            rows[top + i][3 + i] = (0, 0, 0)
            rows[top + i][8 - i] = (0, 0, 0)
    return rows


def expand_button(plus):
    size = 11
    frame = (120, 152, 181)
    rows = []
    for y in range(size):
        t = y / (size - 1)
        inner = (round(255 - 52 * t), round(255 - 38 * t), round(255 - 22 * t))
        rows.append([inner] * size)
    for i in range(size):
        rows[0][i] = rows[size - 1][i] = frame
        rows[i][0] = rows[i][size - 1] = frame
    for x, y in ((0, 0), (size - 1, 0), (0, size - 1), (size - 1, size - 1)):
        rows[y][x] = (255, 255, 255)
    for x in range(3, 8):
        rows[5][x] = (0, 0, 0)
    if plus:
        for y in range(3, 8):
            rows[y][5] = (0, 0, 0)
    return rows


if __name__ == '__main__':
    write_bmp('uisubmenuexpand.bmp', submenu_expand())
    write_bmp('uiexpandbutton_minus.bmp', expand_button(False))
    write_bmp('uiexpandbutton_plus.bmp', expand_button(True))
