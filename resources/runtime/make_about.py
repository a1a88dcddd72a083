#!/usr/bin/env python3
"""Draws the About picture of the disc menu runtime and stores it in the
About box's form resource.

The picture is 212 x 393 pixels, 8 bits with a palette. Everything outside a
rounded frame has the key colour magenta, which the picture control cuts out
of the window (the key is the picture's bottom-left pixel, outside the
rounded corner). The top 50 pixels are the logo and title strip that the exit
splash shows; the title itself is the form's bold "Quorvel" label on it.

Run from anywhere: writes about.bmp beside this script and replaces the
Picture.Data block of forms/TABOUTBOX.txt with the bitmap as the class
library streams pictures (class name, then the bitmap's length and file).
"""
import math
import os
import re
import struct

WIDTH, HEIGHT = 212, 393
STRIP = 50
RADIUS = 18
KEY = (255, 0, 255)

HERE = os.path.dirname(os.path.abspath(__file__))


def inside_rounded(x, y, r=RADIUS):
    cx = min(max(x, r), WIDTH - 1 - r)
    cy = min(max(y, r), HEIGHT - 1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def mix(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def disc(x, y, cx, cy, outer, hole, base, shade):
    """Colour of a stylised disc at (x, y), or None outside it."""
    d = math.hypot(x - cx, y - cy)
    if d > outer or d < hole:
        return None
    if d < hole + 3:
        return mix(base, (255, 255, 255), 0.5)
    angle = math.atan2(y - cy, x - cx)
    # A sheen across the surface and faint track rings.
    sheen = 0.5 + 0.5 * math.cos(2 * angle - 0.8)
    ring = 0.08 if int(d) % 4 == 0 else 0.0
    return mix(mix(base, shade, 1 - sheen), (0, 0, 0), ring)


def pixel(x, y):
    if not inside_rounded(x, y):
        return KEY
    # The frame: the outermost ring of the shape.
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        nx, ny = x + dx, y + dy
        if not (0 <= nx < WIDTH and 0 <= ny < HEIGHT) or not inside_rounded(nx, ny):
            return (60, 80, 130)
    if y < STRIP:
        colour = mix((22, 44, 112), (44, 88, 172), y / (STRIP - 1))
        logo = disc(x, y, 27, 25, 17, 4, (215, 222, 235), (130, 150, 190))
        return logo or colour
    if y < STRIP + 3:
        return (240, 150, 30)
    colour = mix((252, 253, 255), (222, 230, 244), (y - STRIP) / (HEIGHT - STRIP))
    mark = disc(x, y, 106, 168, 72, 12, (230, 236, 246), (212, 222, 240))
    return mark or colour


def quantise(c):
    if c == KEY:
        return c
    return tuple(min(c[i] // 4 * 4, 252) for i in range(3))


def bitmap():
    rows = [[quantise(pixel(x, y)) for x in range(WIDTH)] for y in range(HEIGHT)]
    palette = sorted({c for row in rows for c in row})
    if len(palette) > 256:
        raise SystemExit("too many colours: %d" % len(palette))
    index = {c: i for i, c in enumerate(palette)}
    stride = (WIDTH + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytes(index[c] for c in row)
        pixels += line + b"\0" * (stride - WIDTH)
    colours = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    colours += b"\0" * (4 * (256 - len(palette)))
    offset = 14 + 40 + len(colours)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 3780, 3780, 256, 0)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + colours + bytes(pixels)


def picture_data(bmp):
    name = b"TBitmap"
    return bytes((len(name),)) + name + struct.pack("<I", len(bmp)) + bmp


def hex_block(data, indent):
    lines = [data[i:i + 32].hex().upper() for i in range(0, len(data), 32)]
    return "\n".join(indent + line for line in lines)


def main():
    bmp = bitmap()
    with open(os.path.join(HERE, "about.bmp"), "wb") as f:
        f.write(bmp)
    form_path = os.path.join(HERE, "forms", "TABOUTBOX.txt")
    with open(form_path, "r", encoding="cp1252", newline="") as f:
        form = f.read()
    pattern = re.compile(r"^( *)Picture\.Data = \{[^}]*\}", re.M)
    match = pattern.search(form)
    if not match:
        raise SystemExit("no Picture.Data in " + form_path)
    indent = match.group(1)
    block = indent + "Picture.Data = {\n" + hex_block(picture_data(bmp), indent + "  ") + "}"
    form = form[:match.start()] + block + form[match.end():]
    with open(form_path, "w", encoding="cp1252", newline="") as f:
        f.write(form)


if __name__ == "__main__":
    main()
