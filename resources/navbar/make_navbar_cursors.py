#!/usr/bin/env python3
"""Draws the navigation bar's three cursors as 32 x 32 monochrome .cur files.

They are drawn with the look-and-feel library's figures
(resources/lookandfeel/make_cursors.py), so that they match its cursors:
- uinavbar_drag.cur: the pointer carrying a link, a dotted row;
- uinavbar_dragcopy.cur: the same with a plus sign, for a copy;
- uinavbar_links.cur: a pointing hand over a link.

Run from anywhere: writes the .cur files beside this script. A program that
uses the bar lists them in its resource script under the names
uiNavBarDragCursor, uiNavBarDragCopyCursor and uiNavBarLinksCursor.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "lookandfeel"))

import make_cursors as lk  # noqa: E402


def link_row(f):
    """A dotted row below the pointer: the dragged link."""
    f.frame(8, 20, 27, 25, dotted=True)


def copy_badge(f):
    link_row(f)
    # A bold plus above the row's right end.
    f.rect(23, 10, 25, 18)
    f.rect(20, 13, 28, 15)


def hand_figure():
    f = lk.Figure()
    f.rect(5, 0, 7, 12)          # the pointing finger
    f.rect(9, 6, 10, 12)         # three fingers folded beside it
    f.rect(12, 7, 13, 12)
    f.rect(15, 8, 16, 12)
    f.polygon([(0, 9), (2, 8), (5, 12)])  # the thumb
    f.rect(2, 12, 16, 19)        # the palm
    f.polygon([(0, 9), (2, 8), (5, 13), (2, 13)])
    return f, (6, 0)


CURSORS = {
    "uinavbar_drag.cur": lambda: lk.pointer_with(link_row),
    "uinavbar_dragcopy.cur": lambda: lk.pointer_with(copy_badge),
    "uinavbar_links.cur": hand_figure,
}


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else HERE
    for name, make in CURSORS.items():
        fig, hotspot = make()
        with open(os.path.join(out_dir, name), "wb") as out:
            out.write(lk.cur_bytes(fig, hotspot))


if __name__ == "__main__":
    main()
