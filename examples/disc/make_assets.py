#!/usr/bin/env python3
"""Draws the demo disc's pictures and composes its sound: the splash and
skin bitmaps, the pages' logo, the window icon and the intro chime.
Everything here is made from scratch, so the output is the same on every
machine; run it again after changing a shape or a colour
(python3 examples/disc/make_assets.py).

Both bitmaps put magenta at their bottom-left pixel: the runtime takes that
pixel's colour as the key colour and cuts every run of it out of the window,
so the magenta corners and holes become see-through."""

import math
import os
import struct
import sys
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
from pictures import write_bmp8, write_gif  # noqa: E402

MAGENTA = (255, 0, 255)

# A 5 x 7 font for the few words the pictures carry.
FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "G": ["01111", "10000", "10000", "10111", "10001", "10001", "01111"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "W": ["10001", "10001", "10001", "10101", "10101", "11011", "10001"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    " ": ["00000"] * 7,
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
}


class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.px = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = colour

    def rect(self, left, top, right, bottom, colour):
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                self.px[y][x] = colour

    def rounded(self, left, top, right, bottom, radius, colour_at):
        """A rounded rectangle whose colour may vary with the point."""
        for y in range(top, bottom):
            for x in range(left, right):
                cx = min(max(x, left + radius), right - 1 - radius)
                cy = min(max(y, top + radius), bottom - 1 - radius)
                if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                    self.put(x, y, colour_at(x, y))

    def disc(self, mx, my, radius, colour_at):
        for y in range(my - radius, my + radius + 1):
            for x in range(mx - radius, mx + radius + 1):
                d = math.hypot(x - mx, y - my)
                if d <= radius:
                    self.put(x, y, colour_at(x, y, d))

    def text(self, x, y, words, scale, colour):
        for ch in words:
            glyph = FONT[ch]
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == "1":
                        self.rect(x + gx * scale, y + gy * scale, x + (gx + 1) * scale, y + (gy + 1) * scale, colour)
            x += 6 * scale

    @staticmethod
    def text_width(words, scale):
        return len(words) * 6 * scale - scale


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def quantise(c, step=8):
    return tuple(min(255, (v // step) * step) for v in c)


def splash():
    """The start splash: a rounded card with a disc and the title."""
    w, h = 320, 180
    c = Canvas(w, h, MAGENTA)
    top, bottom = (24, 48, 112), (8, 16, 48)
    c.rounded(0, 0, w, h, 22, lambda x, y: quantise(mix(top, bottom, y / h)))

    def cd(x, y, d):
        if d < 9:
            return MAGENTA  # the hole in the middle is see-through
        if d < 16:
            return (200, 200, 210)
        shade = 0.5 + 0.5 * math.sin(math.atan2(y - 90, x - 70) * 3)
        return quantise(mix((230, 150, 40), (250, 220, 120), shade))

    c.disc(70, 90, 46, cd)
    c.text(134, 52, "QUORVEL", 4, (255, 255, 255))
    c.text(136, 96, "DEMO DISC", 2, (250, 200, 90))
    c.text(136, 124, "STARTING.", 2, (160, 180, 220))
    write_bmp8(os.path.join(HERE, "splash.bmp"), c.px)


def logo():
    """The pages' logo: the disc and the title on nothing (GIF, magenta is
    its transparent colour), for the dark band at the top of each page."""
    w, h = 300, 44
    c = Canvas(w, h, MAGENTA)

    def cd(x, y, d):
        if d < 5:
            return MAGENTA
        if d < 9:
            return (200, 200, 210)
        shade = 0.5 + 0.5 * math.sin(math.atan2(y - 22, x - 22) * 3)
        return quantise(mix((230, 150, 40), (250, 220, 120), shade))

    c.disc(22, 22, 19, cd)
    c.text(52, 12, "QUORVEL", 3, (255, 255, 255))
    c.text(52 + Canvas.text_width("QUORVEL", 3) + 12, 19, "DEMO DISC", 2, (250, 200, 90))
    write_gif(os.path.join(HERE, "logo.gif"), c.px, transparent=MAGENTA)


def skin():
    """The skin of skinned.inf: a rounded frame with a title strip; the
    browser sits in the frame's window at 30,56 (420 x 300)."""
    w, h = 480, 392
    c = Canvas(w, h, MAGENTA)
    light, dark = (205, 210, 220), (90, 96, 112)
    c.rounded(0, 0, w, h, 28, lambda x, y: quantise(mix(light, dark, y / h)))
    c.rect(24, 50, 456, 362, (10, 20, 40))
    c.rect(30, 56, 450, 356, (255, 255, 255))
    title = "QUORVEL DEMO"
    c.text((w - Canvas.text_width(title, 3)) // 2, 14, title, 3, (30, 40, 80))
    # A round hole at the bottom shows that shaping follows every key run.
    c.disc(w // 2, 376, 7, lambda x, y, d: MAGENTA)
    write_bmp8(os.path.join(HERE, "skin.bmp"), c.px)


def icon():
    """A 32 x 32 icon of 32 bits with its AND mask: a disc."""
    size = 32
    rows = []
    mask_rows = []
    for y in range(size):
        row = bytearray()
        mask = 0
        for x in range(size):
            d = math.hypot(x - 15.5, y - 15.5)
            if 4 <= d <= 15:
                col = mix((230, 150, 40), (250, 230, 140), (x + y) / 62)
                row += bytes((col[2], col[1], col[0], 255))
            else:
                row += b"\0\0\0\0"
                mask |= 1 << (31 - x)
        rows.append(bytes(row))
        mask_rows.append(struct.pack(">I", mask))
    xor = b"".join(reversed(rows))
    andmask = b"".join(reversed(mask_rows))
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    image = info + xor + andmask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16)
    with open(os.path.join(HERE, "disc.ico"), "wb") as f:
        f.write(header + entry + image)


def chime():
    """Three rising notes with a soft decay, 8-bit mono at 11025 Hz."""
    rate = 11025
    notes = [(523.25, 0.0), (659.25, 0.25), (783.99, 0.5)]
    length = int(rate * 1.4)
    frames = bytearray()
    for i in range(length):
        t = i / rate
        v = 0.0
        for freq, start in notes:
            if t >= start:
                u = t - start
                v += math.sin(2 * math.pi * freq * u) * math.exp(-3.0 * u) * 0.3
        frames.append(int(round(128 + 127 * max(-1.0, min(1.0, v)))))
    with wave.open(os.path.join(HERE, "intro.wav"), "wb") as f:
        f.setnchannels(1)
        f.setsampwidth(1)
        f.setframerate(rate)
        f.writeframes(bytes(frames))


if __name__ == "__main__":
    splash()
    logo()
    skin()
    icon()
    chime()
