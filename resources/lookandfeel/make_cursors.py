#!/usr/bin/env python3
"""Draws the look-and-feel library's cursors as 32 x 32 monochrome .cur files.

Every cursor is a black figure with a one-pixel white rim, so that it shows
on light and dark backgrounds alike; everything else is transparent. The
figures are built from a few primitives (the pointer arrow, filled polygons,
rectangles, circles) so that they stay consistent with each other.

Run from anywhere: writes the .cur files beside this script. A program that
uses the library lists them in its resource script under the names
LK_DRAGCOPYCURSOR ... LK_COLORPICKERCURSOR, as the look-and-feel tests do
(tests/lookandfeel/resources/test_lookandfeel.qvrc).
"""
import os
import struct

SIZE = 32
HERE = os.path.dirname(os.path.abspath(__file__))


class Figure:
    def __init__(self):
        self.black = set()

    def px(self, x, y):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.black.add((x, y))

    def unpx(self, x, y):
        self.black.discard((x, y))

    def rect(self, x0, y0, x1, y1):
        """Filled, both corners inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.px(x, y)

    def frame(self, x0, y0, x1, y1, dotted=False):
        for x in range(x0, x1 + 1):
            if not dotted or x % 2 == 0:
                self.px(x, y0)
                self.px(x, y1)
        for y in range(y0, y1 + 1):
            if not dotted or y % 2 == 0:
                self.px(x0, y)
                self.px(x1, y)

    def polygon(self, points):
        """Filled, by pixel centres."""
        for y in range(SIZE):
            for x in range(SIZE):
                if inside(points, x + 0.5, y + 0.5):
                    self.px(x, y)

    def ring(self, cx, cy, r_out, r_in):
        for y in range(SIZE):
            for x in range(SIZE):
                d = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2
                if r_in ** 2 <= d <= r_out ** 2:
                    self.px(x, y)

    def arrow_head(self, cx, cy, direction, size=4):
        """A filled triangle pointing up, down, left or right from (cx, cy)."""
        s = size
        if direction == "up":
            pts = [(cx + 0.5, cy - s), (cx - s + 0.5, cy + 0.5), (cx + s + 0.5, cy + 0.5)]
        elif direction == "down":
            pts = [(cx + 0.5, cy + s + 1), (cx - s + 0.5, cy + 0.5), (cx + s + 0.5, cy + 0.5)]
        elif direction == "left":
            pts = [(cx - s, cy + 0.5), (cx + 0.5, cy - s + 0.5), (cx + 0.5, cy + s + 0.5)]
        else:
            pts = [(cx + s + 1, cy + 0.5), (cx + 0.5, cy - s + 0.5), (cx + 0.5, cy + s + 0.5)]
        self.polygon(pts)

    def pointer(self):
        """The usual arrow pointer with its tip at (0, 0)."""
        self.polygon([(0, 0), (0, 16), (4, 12.5), (7, 19), (9.5, 18), (6.5, 11.5), (11.5, 11.5)])


def inside(points, x, y):
    result = False
    n = len(points)
    for i in range(n):
        x1, y1 = points[i]
        x2, y2 = points[(i + 1) % n]
        if (y1 > y) != (y2 > y):
            xc = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
            if x < xc:
                result = not result
    return result


def white_rim(black):
    rim = set()
    for (x, y) in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in black and 0 <= p[0] < SIZE and 0 <= p[1] < SIZE:
                    rim.add(p)
    return rim


def cur_bytes(fig, hotspot):
    black = fig.black
    white = white_rim(black)
    xor_rows, and_rows = [], []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        xor_bits = and_bits = 0
        for x in range(SIZE):
            bit = 1 << (31 - x)
            if (x, y) in white:
                xor_bits |= bit
            elif (x, y) not in black:
                and_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, SIZE * SIZE // 4, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return directory + entry + image


def scroll_figure(directions):
    """A ring with a centre dot and arrow heads: the autoscroll cursors."""
    f = Figure()
    f.ring(16, 16, 4.5, 2.5)
    f.rect(15, 15, 16, 16)
    place = {"up": (15.5, 6), "down": (15.5, 25), "left": (6, 15.5), "right": (25, 15.5)}
    for d in directions:
        cx, cy = place[d]
        f.arrow_head(int(cx), int(cy), d, 4)
    return f, (15, 15)


def pointer_with(badge):
    f = Figure()
    f.pointer()
    badge(f)
    return f, (0, 0)


def plus_badge(f):
    f.rect(13, 17, 23, 27)
    for x in range(14, 23):
        for y in range(18, 27):
            f.unpx(x, y)
    f.rect(17, 19, 19, 25)
    f.rect(15, 21, 21, 23)


def cross_badge(f):
    for i in range(8):
        for w in range(2):
            f.px(15 + i + w, 18 + i)
            f.px(22 - i + w, 18 + i)


def stack_badge(f):
    for k in range(3):
        f.frame(12 + 3 * k, 16 + 3 * k, 20 + 3 * k, 22 + 3 * k)


def dotted_badge(f):
    f.frame(12, 18, 24, 27, dotted=True)


def size_figure(vertical):
    f = Figure()
    if vertical:
        f.rect(6, 14, 25, 14)
        f.rect(6, 17, 25, 17)
        f.rect(15, 5, 16, 12)
        f.rect(15, 19, 16, 26)
        f.arrow_head(15, 5, "up", 4)
        f.arrow_head(15, 26, "down", 4)
    else:
        f.rect(14, 6, 14, 25)
        f.rect(17, 6, 17, 25)
        f.rect(5, 15, 12, 16)
        f.rect(19, 15, 26, 16)
        f.arrow_head(5, 15, "left", 4)
        f.arrow_head(26, 15, "right", 4)
    return f, (15, 15)


def no_drop_figure():
    f = Figure()
    f.ring(16, 16, 9.5, 6.5)
    for i in range(-5, 6):
        for w in (-1, 0, 1):
            f.px(16 + i + w, 16 + i)
    return f, (15, 15)


def color_picker_figure():
    f = Figure()
    # A pipette from the bottom-left tip up to its bulb at the top right.
    f.polygon([(1, 30), (1, 27), (17, 11), (20, 14), (4, 30)])
    f.polygon([(15, 9), (22, 16), (24, 14), (17, 7)])
    f.ring(24.5, 7.5, 5, 0)
    return f, (1, 30)


CURSORS = {
    "lk_dragcopy.cur": lambda: pointer_with(plus_badge),
    "lk_fullscroll.cur": lambda: scroll_figure(["up", "down", "left", "right"]),
    "lk_horscroll.cur": lambda: scroll_figure(["left", "right"]),
    "lk_verscroll.cur": lambda: scroll_figure(["up", "down"]),
    "lk_upscroll.cur": lambda: scroll_figure(["up"]),
    "lk_rightscroll.cur": lambda: scroll_figure(["right"]),
    "lk_downscroll.cur": lambda: scroll_figure(["down"]),
    "lk_leftscroll.cur": lambda: scroll_figure(["left"]),
    "lk_remove.cur": lambda: pointer_with(cross_badge),
    "lk_vertsize.cur": lambda: size_figure(True),
    "lk_horzsize.cur": lambda: size_figure(False),
    "lk_multidrag.cur": lambda: pointer_with(stack_badge),
    "lk_nodrop.cur": no_drop_figure,
    "lk_drag.cur": lambda: pointer_with(dotted_badge),
    "lk_colorpicker.cur": color_picker_figure,
}


def main():
    for name, make in CURSORS.items():
        fig, hotspot = make()
        with open(os.path.join(HERE, name), "wb") as out:
            out.write(cur_bytes(fig, hotspot))


if __name__ == "__main__":
    main()
