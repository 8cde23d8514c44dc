#!/usr/bin/env python3
"""Draws the pictures of the rules and log tools as bitmaps.

rule_icons.bmp (bitmap 252): eight 16 x 16 pictures side by side, in the order
of the rule lists' image list: an arrow leaving one window (FROM exact),
arrows leaving a stack of windows (FROM domain), an arrow entering one window
(TO exact), arrows entering a stack (TO domain); each first with a red cross
(rule off), then with a green dot (rule on).

log_icons.bmp (bitmap 249): two 16 x 16 pictures: a small window (recorded
only) and the same window crossed out in red (stopped).

The background is RGB(8, 0, 0), the colour the image lists make transparent.

Run it from anywhere with Python 3 (standard library and the repository's
tools/exact_bmp.py); it rewrites the two .bmp files beside itself, like
band/resources/pictures/make_pictures.py for the band's pictures.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                "tools"))
import exact_bmp  # noqa: E402

SIZE = 16
MASK = (8, 0, 0)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
TITLE = (0, 0, 128)
RED = (206, 32, 32)
DARK_RED = (150, 18, 18)
GREEN = (0, 192, 0)
DARK_GREEN = (0, 96, 0)


class Picture:
    def __init__(self):
        self.pixels = [[MASK] * SIZE for _ in range(SIZE)]

    def plot(self, x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.pixels[y][x] = colour

    def window(self, left, top, right, bottom):
        """A window with a black frame, a title bar and a white inside."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                edge = x in (left, right) or y in (top, bottom)
                self.plot(x, y, BLACK if edge else TITLE if y == top + 1 else WHITE)

    def stack(self, left, top, width, height):
        """Three windows, each two pixels down and left of the one behind."""
        for step in (2, 1, 0):
            x = left + 2 * step
            y = top - 2 * step
            self.window(x, y, x + width - 1, y + height - 1)

    def diagonal(self, x0, y0, x1, y1, colour):
        """A two-pixel line at 45 degrees from (x0, y0) to (x1, y1)."""
        dx = 1 if x1 > x0 else -1
        dy = 1 if y1 > y0 else -1
        for i in range(abs(x1 - x0) + 1):
            x = x0 + i * dx
            y = y0 + i * dy
            self.plot(x, y, colour)
            self.plot(x, y + 1 if dy < 0 else y - 1, colour)

    def arrow(self, tail, tip, head=3):
        """A red arrow at 45 degrees with its head at `tip`."""
        (tx, ty) = tip
        self.diagonal(tail[0], tail[1], tx, ty, RED)
        back_x = -1 if tx > tail[0] else 1
        back_y = 1 if ty < tail[1] else -1
        for k in range(head + 1):
            self.plot(tx + k * back_x, ty, DARK_RED)
            self.plot(tx, ty + k * back_y, DARK_RED)

    def cross(self, left, top, size, colour=RED):
        for i in range(size):
            for x in (left + i, left + size - 1 - i):
                self.plot(x, top + i, colour)
                self.plot(x + (1 if x < left + size - 1 else -1), top + i, colour)

    def dot(self, cx, cy):
        rows = [".ggg.", "gGGGg", "gGGGg", "gGGGg", ".ggg."]
        for j, row in enumerate(rows):
            for i, c in enumerate(row):
                if c != ".":
                    self.plot(cx - 2 + i, cy - 2 + j, DARK_GREEN if c == "g" else GREEN)


def from_exact():
    p = Picture()
    p.window(0, 6, 9, 14)
    p.arrow((4, 10), (14, 0))
    return p


def from_domain():
    p = Picture()
    p.stack(0, 10, 6, 5)
    p.arrow((6, 5), (11, 0), head=2)
    p.arrow((10, 7), (15, 2), head=2)
    return p


def to_exact():
    p = Picture()
    p.window(0, 6, 9, 14)
    p.arrow((14, 0), (4, 10))
    return p


def to_domain():
    p = Picture()
    p.stack(0, 10, 6, 5)
    p.arrow((11, 0), (6, 5), head=2)
    p.arrow((15, 2), (10, 7), head=2)
    return p


def with_status(draw, on):
    p = draw()
    if on:
        p.dot(13, 13)
    else:
        p.cross(11, 11, 5)
    return p


def log_window(crossed):
    p = Picture()
    p.window(1, 2, 14, 13)
    if crossed:
        p.cross(2, 3, 12)
    return p


def write_bmp(path, pictures):
    """The pictures side by side, in their smallest exact encoding."""
    rows = [[pixel for picture in pictures for pixel in picture.pixels[y]] for y in range(SIZE)]
    with open(path, "wb") as out:
        out.write(exact_bmp.encode(SIZE * len(pictures), SIZE, rows))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    rules = []
    for draw in (from_exact, from_domain, to_exact, to_domain):
        rules += [with_status(draw, False), with_status(draw, True)]
    write_bmp(os.path.join(here, "rule_icons.bmp"), rules)
    write_bmp(os.path.join(here, "log_icons.bmp"), [log_window(False), log_window(True)])


if __name__ == "__main__":
    main()
