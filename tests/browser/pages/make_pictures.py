#!/usr/bin/env python3
"""Draws the pictures of the test pages in this folder, one of each kind
the page view reads: a GIF with a transparent colour (logo.gif), a JPEG
photograph-like scene (photo.jpg), a PNG with soft alpha (badge.png), a
24-bit BMP (button.bmp), an 8-bit BMP tile (tile.bmp) and the image map's
picture (map.gif). Everything is drawn from scratch, so the files are the
same on every machine; run it again after changing a picture
(python3 tests/browser/pages/make_pictures.py)."""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "tools"))
from pictures import write_bmp8, write_bmp24, write_gif, write_jpeg, write_png  # noqa: E402


class Canvas:
    def __init__(self, width, height, fill=(255, 255, 255, 255)):
        self.width, self.height = width, height
        self.px = [list(fill) for _ in range(width * height)]

    def set(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y * self.width + x] = list(c)

    def rows(self):
        return [[tuple(p) for p in self.px[y * self.width:(y + 1) * self.width]] for y in range(self.height)]

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.set(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def triangle(self, pts, c):
        (ax, ay), (bx, by), (cx, cy) = pts
        for y in range(min(ay, by, cy), max(ay, by, cy) + 1):
            for x in range(min(ax, bx, cx), max(ax, bx, cx) + 1):
                px, py = x + 0.5, y + 0.5
                d1 = (px - bx) * (ay - by) - (ax - bx) * (py - by)
                d2 = (px - cx) * (by - cy) - (bx - cx) * (py - cy)
                d3 = (px - ax) * (cy - ay) - (cx - ax) * (py - ay)
                neg = d1 < 0 or d2 < 0 or d3 < 0
                pos = d1 > 0 or d2 > 0 or d3 > 0
                if not (neg and pos):
                    self.set(x, y, c)


# A 5 x 7 font for the words the pictures carry.
FONT = {
    "A": "01110 10001 10001 11111 10001 10001 10001", "B": "11110 10001 10001 11110 10001 10001 11110",
    "C": "01111 10000 10000 10000 10000 10000 01111", "D": "11110 10001 10001 10001 10001 10001 11110",
    "E": "11111 10000 10000 11110 10000 10000 11111", "G": "01111 10000 10000 10111 10001 10001 01111",
    "H": "10001 10001 10001 11111 10001 10001 10001", "I": "11111 00100 00100 00100 00100 00100 11111",
    "L": "10000 10000 10000 10000 10000 10000 11111", "M": "10001 11011 10101 10101 10001 10001 10001",
    "N": "10001 11001 10101 10011 10001 10001 10001", "O": "01110 10001 10001 10001 10001 10001 01110",
    "P": "11110 10001 10001 11110 10000 10000 10000", "Q": "01110 10001 10001 10001 10101 10010 01101",
    "R": "11110 10001 10001 11110 10100 10010 10001", "S": "01111 10000 10000 01110 00001 00001 11110",
    "T": "11111 00100 00100 00100 00100 00100 00100", "U": "10001 10001 10001 10001 10001 10001 01110",
    "V": "10001 10001 10001 10001 10001 01010 00100", " ": "00000 00000 00000 00000 00000 00000 00000",
}


def text(canvas, x, y, words, c, scale=1):
    for ch in words:
        rows = FONT[ch].split()
        for ry, row in enumerate(rows):
            for rx, bit in enumerate(row):
                if bit == "1":
                    canvas.rect(x + rx * scale, y + ry * scale, x + (rx + 1) * scale, y + (ry + 1) * scale, c)
        x += 6 * scale


# ---- the pictures -------------------------------------------------------------

def logo():
    # The disc's logo: a disc with a hole and a word beside it, on nothing.
    c = Canvas(160, 48, (255, 255, 255, 255))
    c.disc(24, 24, 21, (40, 70, 140, 255))
    c.disc(24, 24, 12, (120, 160, 220, 255))
    c.disc(24, 24, 5, (255, 255, 255, 255))
    text(c, 54, 17, "QUORVEL", (40, 70, 140, 255), 2)
    return c


def photo():
    # A hill under a sky with the sun: smooth colours for the JPEG.
    c = Canvas(160, 120)
    for y in range(120):
        for x in range(160):
            sky = (int(110 + y * 0.8), int(160 + y * 0.6), 235)
            hill = 85 + 18 * math.sin(x / 23.0)
            if y > hill:
                g = int(150 - (y - hill) * 0.9)
                c.set(x, y, (60, max(60, g), 50, 255))
            else:
                c.set(x, y, sky + (255,))
    c.disc(120, 30, 14, (250, 225, 90, 255))
    return c


def badge():
    # A round badge that fades out at its rim: alpha for the PNG.
    c = Canvas(64, 64, (0, 0, 0, 0))
    for y in range(64):
        for x in range(64):
            d = math.hypot(x + 0.5 - 32, y + 0.5 - 32)
            if d < 30:
                a = 255 if d < 24 else int(255 * (30 - d) / 6)
                c.set(x, y, (200, 40, 40, a))
    text(c, 20, 28, "NEU", (255, 255, 255, 255))
    return c


def button():
    c = Canvas(96, 28, (212, 208, 200, 255))
    c.rect(0, 0, 96, 1, (255, 255, 255, 255))
    c.rect(0, 0, 1, 28, (255, 255, 255, 255))
    c.rect(0, 27, 96, 28, (64, 64, 64, 255))
    c.rect(95, 0, 96, 28, (64, 64, 64, 255))
    c.triangle([(10, 8), (10, 20), (20, 14)], (0, 110, 0, 255))
    text(c, 28, 10, "START", (0, 0, 0, 255))
    return c


def tile():
    # A quiet paper pattern, repeated behind a page.
    c = Canvas(32, 32, (246, 242, 228, 255))
    for y in range(32):
        for x in range(32):
            if (x * 7 + y * 3) % 11 == 0:
                c.set(x, y, (232, 226, 204, 255))
    c.rect(0, 31, 32, 32, (236, 230, 210, 255))
    return c


def map_picture():
    # Three shapes, each an area of the map: a rectangle, a circle, a triangle.
    c = Canvas(300, 100, (250, 250, 250, 255))
    c.rect(10, 10, 90, 90, (200, 60, 60, 255))
    c.disc(150, 50, 40, (60, 140, 60, 255))
    c.triangle([(210, 90), (250, 10), (290, 90)], (60, 60, 200, 255))
    return c


if __name__ == "__main__":
    write_gif(os.path.join(HERE, "logo.gif"), logo().rows(), transparent=(255, 255, 255), interlace=True)
    write_jpeg(os.path.join(HERE, "photo.jpg"), photo().rows())
    write_png(os.path.join(HERE, "badge.png"), badge().rows())
    write_bmp24(os.path.join(HERE, "button.bmp"), button().rows())
    write_bmp8(os.path.join(HERE, "tile.bmp"), tile().rows())
    write_gif(os.path.join(HERE, "map.gif"), map_picture().rows())
