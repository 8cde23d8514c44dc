#!/usr/bin/env python3
"""Draws the band's pictures: tab labels, logo, button faces, list icons, the
About picture and the pointing-hand cursor.

Run it from anywhere with Python 3 (standard library and the repository's
tools/exact_bmp.py, which writes each bitmap in its smallest exact encoding);
it rewrites the .bmp and .cur files beside itself. The sources are this
script (the logo, icons and About picture are drawn from shapes here),
font.txt (the label font), buttons.txt (the small button faces) and
cursor.txt (the hand).
"""

import os
import struct
import sys
from collections import Counter

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "tools"))
import exact_bmp  # noqa: E402

WHITE = (255, 255, 255)
NAVY = (36, 36, 59)  # the band's flash colour, also the logo's frame
MASK = (8, 0, 0)  # the list's transparent colour
RED = (206, 32, 32)
DARK_RED = (150, 18, 18)
BLUE_LIGHT = (86, 140, 222)
BLUE_DARK = (28, 66, 150)

SUPERSAMPLE = 4


# ---------------------------------------------------------------- canvas

class Canvas:
    def __init__(self, width, height, background=WHITE):
        self.width = width
        self.height = height
        self.pixels = [[tuple(map(float, background)) for _ in range(width)]
                       for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        if 0 <= x < self.width and 0 <= y < self.height and alpha > 0:
            old = self.pixels[y][x]
            self.pixels[y][x] = tuple(o + (c - o) * alpha for o, c in zip(old, colour))

    def set(self, x, y, colour):
        self.blend(x, y, colour, 1.0)

    def fill(self, inside, paint, box=None, opacity=1.0):
        """Covers every pixel by the share of its sub-samples inside the shape.

        `inside(x, y)` tests a point; `paint` is a colour or a function of the
        point giving one (gradients)."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.width, int(x1) + 1), min(self.height, int(y1) + 1)
        step = 1.0 / SUPERSAMPLE
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for sy in range(SUPERSAMPLE):
                    for sx in range(SUPERSAMPLE):
                        if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                            hits += 1
                if hits:
                    colour = paint(x + 0.5, y + 0.5) if callable(paint) else paint
                    self.blend(x, y, colour, opacity * hits / SUPERSAMPLE ** 2)

    def rows(self):
        return [[tuple(int(round(c)) for c in p) for p in row] for row in self.pixels]


# ---------------------------------------------------------------- shapes

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, outer, inner):
    return lambda x, y: inner * inner < (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def rounded_rect(left, top, right, bottom, radius):
    def inside(x, y):
        if not (left <= x <= right and top <= y <= bottom):
            return False
        dx = max(left + radius - x, 0, x - (right - radius))
        dy = max(top + radius - y, 0, y - (bottom - radius))
        return dx * dx + dy * dy <= radius * radius
    return inside


def bar(x0, y0, x1, y1, half_width):
    """A straight stroke with round ends."""
    length2 = (x1 - x0) ** 2 + (y1 - y0) ** 2

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * (x1 - x0) + (y - y0) * (y1 - y0)) / length2))
        px, py = x0 + t * (x1 - x0), y0 + t * (y1 - y0)
        return (x - px) ** 2 + (y - py) ** 2 <= half_width ** 2
    return inside


def both(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def vertical(top_colour, bottom_colour, top, bottom):
    def paint(x, y):
        t = max(0.0, min(1.0, (y - top) / float(bottom - top)))
        return tuple(a + (b - a) * t for a, b in zip(top_colour, bottom_colour))
    return paint


# ---------------------------------------------------------------- text

def load_font():
    glyphs = {}
    name, rows = None, []
    with open(os.path.join(HERE, "font.txt")) as source:
        for line in source:
            line = line.rstrip("\n")
            if line.startswith("# "):
                continue
            if line.startswith("char "):
                if name is not None:
                    glyphs[name] = rows
                name = line[5:]
                name = " " if name == "space" else name
                rows = []
            elif line:
                rows.append(line)
    glyphs[name] = rows
    for key, rows in glyphs.items():
        assert len(rows) == 10 and len(set(map(len, rows))) == 1, key
    return glyphs


FONT = load_font()


def text_width(text):
    return sum(len(FONT[c][0]) for c in text) + len(text) - 1


def draw_text(canvas, text, left, top, colour):
    x = left
    for c in text:
        rows = FONT[c]
        for dy, row in enumerate(rows):
            for dx, cell in enumerate(row):
                if cell == "#":
                    canvas.set(x + dx, top + dy, colour)
        x += len(rows[0]) + 1


def draw_centred(canvas, text, top, colour, centre=None):
    centre = canvas.width / 2.0 if centre is None else centre
    draw_text(canvas, text, int(round(centre - text_width(text) / 2.0)), top, colour)


# ---------------------------------------------------------------- motifs

def stop_sign(canvas, cx, cy, r):
    """The red 'no' sign: a ring with a bar across, white inside."""
    box = (cx - r - 2, cy - r - 2, cx + r + 2, cy + r + 2)
    canvas.fill(circle(cx + r * 0.08, cy + r * 0.12, r), (0, 0, 0), box, opacity=0.18)
    canvas.fill(circle(cx, cy, r), WHITE, box)
    red = vertical(RED, DARK_RED, cy - r, cy + r)
    canvas.fill(ring(cx, cy, r, r * 0.74), red, box)
    d = r * 0.62
    canvas.fill(both(circle(cx, cy, r * 0.8), bar(cx - d, cy - d, cx + d, cy + d, r * 0.14)),
                red, box)


def popup_window(canvas, left, top, right, bottom, title_height):
    """A small browser window: navy outline, blue title bar, white page with
    a few lines of text."""
    radius = max(1.0, (right - left) * 0.06)
    outline = max(1.0, (right - left) / 40.0)
    box = (left - 1, top - 1, right + 1, bottom + 1)
    canvas.fill(rounded_rect(left, top, right, bottom, radius), NAVY, box)
    inner = (left + outline, top + outline, right - outline, bottom - outline)
    canvas.fill(rounded_rect(*inner, max(0.5, radius - outline)),
                vertical((250, 252, 255), (222, 232, 248), inner[1], inner[3]), box)
    title_bottom = inner[1] + title_height
    canvas.fill(both(rounded_rect(*inner, max(0.5, radius - outline)),
                     lambda x, y: y <= title_bottom),
                vertical(BLUE_LIGHT, BLUE_DARK, inner[1], title_bottom), box)
    width = inner[2] - inner[0]
    for i, share in enumerate((0.55, 0.42, 0.5)):
        y = title_bottom + title_height * (0.9 + 0.8 * i)
        if y + title_height * 0.3 < inner[3] - title_height * 0.4:
            x0 = inner[0] + width * 0.1
            canvas.fill(rounded_rect(x0, y, x0 + width * share, y + title_height * 0.32, 0.5),
                        (170, 184, 210), box)


def emblem(canvas, left, top, size):
    popup_window(canvas, left + size * 0.04, top + size * 0.06, left + size * 0.84,
                 top + size * 0.72, size * 0.13)
    stop_sign(canvas, left + size * 0.66, top + size * 0.64, size * 0.31)


# ---------------------------------------------------------------- pictures

def tab_label(width, text):
    canvas = Canvas(width, 13)
    draw_centred(canvas, text, 2, (0, 0, 0))
    return canvas


def logo():
    canvas = Canvas(100, 100)
    canvas.fill(lambda x, y: True, vertical((220, 232, 250), WHITE, 0, 100))
    emblem(canvas, 18, 4, 64)
    draw_centred(canvas, "quellmark", 71, NAVY)
    draw_centred(canvas, "popup blocker", 85, (74, 104, 168))
    return canvas


def logo_minimised():
    canvas = Canvas(100, 12)
    canvas.fill(lambda x, y: True, vertical((232, 240, 252), WHITE, 0, 12))
    group = 11 + 4 + text_width("quellmark")
    left = (100 - group) // 2
    stop_sign(canvas, left + 5.5, 6.0, 4.8)
    draw_text(canvas, "quellmark", left + 15, 1, NAVY)
    # The button is cut off below the picture: its frame's bottom is drawn here.
    for x in range(100):
        canvas.set(x, 11, NAVY)
    return canvas


def about_picture():
    canvas = Canvas(100, 200)
    canvas.fill(lambda x, y: True, vertical((44, 74, 140), (12, 22, 50), 0, 200))
    canvas.fill(lambda x, y: -30 < (x - 0.55 * y) < 10, WHITE, opacity=0.05)
    canvas.fill(rounded_rect(8, 10, 92, 94, 10), WHITE, opacity=0.10)
    emblem(canvas, 12, 14, 76)
    draw_centred(canvas, "quellmark", 104, WHITE)
    draw_centred(canvas, "v1.01", 118, (160, 190, 238))
    draw_centred(canvas, "popup blocker", 138, (196, 212, 240))
    for x in range(14, 86):
        canvas.set(x, 176, (90, 116, 172))
    draw_centred(canvas, "Marrow Labs", 182, (214, 222, 238))
    return canvas


def large_icon():
    canvas = Canvas(32, 32, MASK)
    popup_window(canvas, 1, 3, 27, 24, 4)
    stop_sign(canvas, 22, 22, 8.5)
    return canvas


def small_icon():
    # Square to its edges: the bar button shows it as it is, without a mask.
    canvas = Canvas(16, 16)
    popup_window(canvas, 0, 0, 16, 16, 3.2)
    stop_sign(canvas, 10.2, 10.2, 5.2)
    return canvas


BUTTON_COLOURS = {
    ".": WHITE, "w": WHITE, "k": (28, 28, 28), "g": (110, 110, 110),
    "b": (40, 90, 200), "B": (24, 54, 150), "G": (44, 192, 44), "d": (18, 104, 18),
    "l": (168, 244, 168), "r": (226, 52, 52), "R": (150, 24, 24),
}


def buttons():
    pictures, name, rows = {}, None, []
    with open(os.path.join(HERE, "buttons.txt")) as source:
        for line in source:
            line = line.rstrip("\n")
            if line.startswith("# ") or not line:
                continue
            if line.startswith("picture "):
                if name:
                    pictures[name] = rows
                name, rows = line[8:], []
            else:
                rows.append(line)
    pictures[name] = rows
    result = {}
    for name, rows in pictures.items():
        assert len(rows) == 12 and all(len(r) == 14 for r in rows), name
        canvas = Canvas(14, 12)
        for y, row in enumerate(rows):
            for x, cell in enumerate(row):
                canvas.set(x, y, BUTTON_COLOURS[cell])
        result[name] = canvas
    return result


# ---------------------------------------------------------------- files

def quantise(rows, keep=()):
    """At most 256 colours: every colour when there are few enough, else a
    median cut; `keep` colours stay exact and nothing else maps to them."""
    counts = Counter(p for row in rows for p in row)
    colours = sorted(counts)
    if len(colours) <= 256:
        return colours, {c: i for i, c in enumerate(colours)}
    kept = [c for c in keep if c in counts]
    boxes = [[c for c in colours if c not in kept]]
    while len(boxes) + len(kept) < 256:
        def spread(box):
            return max(max(c[i] for c in box) - min(c[i] for c in box) for i in range(3))
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: (spread(b) * sum(counts[c] for c in b), b[0]))
        boxes.remove(box)
        axis = max(range(3), key=lambda i: max(c[i] for c in box) - min(c[i] for c in box))
        box.sort(key=lambda c: (c[axis], c))
        half = sum(counts[c] for c in box) / 2.0
        running, cut = 0, 1
        for i, c in enumerate(box[:-1]):
            running += counts[c]
            cut = i + 1
            if running >= half:
                break
        boxes += [box[:cut], box[cut:]]
    palette = list(kept)
    for box in boxes:
        total = sum(counts[c] for c in box)
        palette.append(tuple(int(round(sum(c[i] * counts[c] for c in box) / total))
                             for i in range(3)))
    index = {}
    for c in colours:
        if c in kept:
            index[c] = palette.index(c)
            continue
        best = min(range(len(kept), len(palette)),
                   key=lambda i: sum((a - b) ** 2 for a, b in zip(c, palette[i])))
        index[c] = best
    return palette, index


def write_bmp(name, canvas, keep=()):
    """The picture in at most 256 colours, in its smallest exact encoding."""
    rows = canvas.rows()
    palette, index = quantise(rows, keep)
    pixels = [[palette[index[p]] for p in row] for row in rows]
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(exact_bmp.encode(canvas.width, canvas.height, pixels))


def write_cursor(name):
    with open(os.path.join(HERE, "cursor.txt")) as source:
        lines = [l.rstrip("\n") for l in source if not l.startswith("# ")]
    hot_x, hot_y = map(int, lines[0].split()[1:])
    grid = [list(row) for row in lines[1:33]]
    assert len(grid) == 32 and all(len(r) == 32 for r in grid)
    # The black outline round the hand.
    for y in range(32):
        for x in range(32):
            if grid[y][x] != ".":
                continue
            near = [(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)]
            if any(0 <= a < 32 and 0 <= b < 32 and grid[b][a] == "o" for a, b in near):
                grid[y][x] = "k"
    xor, mask = bytearray(), bytearray()
    for row in reversed(grid):
        for byte in range(4):
            x_bits = m_bits = 0
            for bit in range(8):
                cell = row[byte * 8 + bit]
                x_bits = (x_bits << 1) | (cell == "o")
                m_bits = (m_bits << 1) | (cell == ".")
            xor.append(x_bits)
            mask.append(m_bits)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    image = header + struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0) + xor + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, hot_x, hot_y, len(image), 6 + 16)
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(directory + entry + image)


def main():
    write_bmp("tab_popup_windows.bmp", tab_label(98, "Popup Windows"))
    write_bmp("tab_tools.bmp", tab_label(38, "Tools"))
    write_bmp("tab_preferences.bmp", tab_label(81, "Preferences"))
    write_bmp("tab_other.bmp", tab_label(40, "Page"))
    write_bmp("logo.bmp", logo())
    write_bmp("logo_minimised.bmp", logo_minimised())
    write_bmp("about.bmp", about_picture())
    write_bmp("large_icon.bmp", large_icon(), keep=(MASK,))
    write_bmp("small_icon.bmp", small_icon())
    faces = buttons()
    for name in ("exit", "help", "size_maximised", "size_minimised", "on", "off"):
        write_bmp("button_%s.bmp" % name, faces[name])
    write_cursor("link.cur")


if __name__ == "__main__":
    main()
