#!/usr/bin/env python3
"""Draws the row indicator glyphs of the look-and-feel library as 24-bit .bmp files.

Each is 12 x 12, black on white; white is the transparent colour when the
painters add them to their image list, so only the black glyph shows:
- lk_arrow.bmp: the current row, a triangle pointing right;
- lk_edit.bmp: a row being edited, an I-beam;
- lk_insert.bmp: a new row, an asterisk;
- lk_multidot.bmp: a selected row, a square dot;
- lk_multiarrow.bmp: the current row among selected ones, the dot and a
  smaller triangle;
- lk_filter.bmp: the filter row, a funnel.

Run from anywhere: writes the .bmp files beside this script. A program that
uses the library lists them in its resource script under the names
LK_ARROWBITMAP, LK_EDITBITMAP, LK_INSERTBITMAP, LK_MULTIDOTBITMAP,
LK_MULTIARROWBITMAP and LK_FILTERBITMAP, as the look-and-feel tests do
(tests/lookandfeel/resources/test_lookandfeel.qvrc).
"""
import os

from make_office11_bitmaps import write_bmp

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 12
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def canvas():
    return [[WHITE] * SIZE for _ in range(SIZE)]


def triangle(rows, left, top, depth):
    # Pointing right: column i holds 2 * (depth - i) - 1 pixels.
    for i in range(depth):
        for y in range(top + i, top + 2 * depth - 1 - i):
            rows[y][left + i] = BLACK


def arrow():
    rows = canvas()
    triangle(rows, 4, 2, 4)
    return rows


def edit():
    rows = canvas()
    for y in range(2, 10):
        rows[y][5] = BLACK
    for x in (3, 4, 6, 7):
        rows[2][x] = BLACK
        rows[9][x] = BLACK
    return rows


def insert():
    rows = canvas()
    for i in range(-3, 4):
        rows[5 + i][5] = BLACK
        rows[5][5 + i] = BLACK
        if abs(i) <= 2:
            rows[5 + i][5 + i] = BLACK
            rows[5 + i][5 - i] = BLACK
    return rows


def multidot():
    rows = canvas()
    for y in range(4, 8):
        for x in range(4, 8):
            rows[y][x] = BLACK
    return rows


def multiarrow():
    rows = canvas()
    triangle(rows, 2, 3, 3)
    for y in range(5, 8):
        for x in range(7, 10):
            rows[y][x] = BLACK
    return rows


def filter_():
    rows = canvas()
    for i, (a, b) in enumerate(((1, 10), (2, 9), (3, 8), (4, 7))):
        for x in range(a, b + 1):
            rows[2 + i][x] = BLACK
    for y in range(6, 10):
        rows[y][5] = BLACK
        rows[y][6] = BLACK
    return rows


if __name__ == '__main__':
    os.chdir(HERE)
    for name, draw in (('lk_arrow.bmp', arrow), ('lk_edit.bmp', edit), ('lk_insert.bmp', insert),
                       ('lk_multidot.bmp', multidot), ('lk_multiarrow.bmp', multiarrow),
                       ('lk_filter.bmp', filter_)):
        write_bmp(name, draw())
