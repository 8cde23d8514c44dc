#!/usr/bin/env python3
"""Writes a Windows icon file with three images of each size: 32 bits with
alpha, 256 colours and 16 colours, so that 256- and 16-colour displays get a
picture made for them rather than the system's reduction. Each size comes as
raw RGBA bytes (ImageMagick: convert PICTURE -depth 8 rgba:FILE) or as a
drawing in a .txt file: lines "# comment", lines "LETTER RRGGBB" naming the
colours, then one row of letters a line, "." for transparent.

The 16-colour images use the standard VGA colours every such display has;
the 256-colour ones use the picture's own colours when there are at most
256 of them, else the nearest of the 6 x 6 x 6 colour cube and the VGA
colours, which the system's halftone palette holds. A pixel at least half
opaque is drawn, any other is transparent.

    make_icon.py OUT.ico SIZE:RGBA_FILE...
"""

import struct
import sys

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
CUBE = [(r, g, b) for r in range(0, 256, 51) for g in range(0, 256, 51) for b in range(0, 256, 51)]


def nearest(colour, palette):
    return min(range(len(palette)),
               key=lambda i: (sum((a - b) ** 2 for a, b in zip(colour, palette[i])), i))


def and_mask(size, pixels, opaque):
    """Bottom-up 1-bit rows: set where the image is transparent."""
    data = bytearray()
    stride = (size + 31) // 32 * 4
    for y in reversed(range(size)):
        line = bytearray(stride)
        for x in range(size):
            if not opaque(pixels[y * size + x]):
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    return bytes(data)


def header(size, bits, colours, image_bytes):
    return struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, image_bytes, 0, 0,
                       colours, 0)


def true_colour(size, pixels):
    xor = bytearray()
    for y in reversed(range(size)):
        for r, g, b, a in pixels[y * size:(y + 1) * size]:
            xor += bytes((b, g, r, a))
    mask = and_mask(size, pixels, lambda p: p[3] > 0)
    return header(size, 32, 0, len(xor) + len(mask)) + bytes(xor) + mask


def paletted(size, pixels, bits, palette):
    drawn = lambda p: p[3] >= 128  # noqa: E731
    index = {}
    for p in pixels:
        if drawn(p) and p[:3] not in index:
            index[p[:3]] = nearest(p[:3], palette)
    per_byte = 8 // bits
    stride = (size * bits + 31) // 32 * 4
    xor = bytearray()
    for y in reversed(range(size)):
        line = bytearray(stride)
        for x in range(size):
            p = pixels[y * size + x]
            value = index[p[:3]] if drawn(p) else 0
            line[x // per_byte] |= value << (8 - bits * (x % per_byte + 1))
        xor += line
    mask = and_mask(size, pixels, drawn)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header(size, bits, len(palette), len(xor) + len(mask)) + table + bytes(xor) + mask


def own_colours(pixels):
    colours = sorted({p[:3] for p in pixels if p[3] >= 128})
    if len(colours) <= 256:
        return colours + [(0, 0, 0)] * (256 - len(colours))
    return CUBE + VGA + [(0, 0, 0)] * (256 - len(CUBE) - len(VGA))


def drawing(path, size):
    colours = {".": (0, 0, 0, 0)}
    rows = []
    with open(path) as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("#") or not line:
                continue
            parts = line.split()
            if len(parts) == 2 and len(parts[0]) == 1 and len(parts[1]) == 6:
                value = int(parts[1], 16)
                colours[parts[0]] = (value >> 16, value >> 8 & 0xFF, value & 0xFF, 255)
            else:
                rows.append(line)
    if len(rows) != size or any(len(row) != size for row in rows):
        raise SystemExit("%s: not %d rows of %d letters" % (path, size, size))
    return [colours[letter] for row in rows for letter in row]


def rgba(path):
    with open(path, "rb") as f:
        raw = f.read()
    return [tuple(raw[i:i + 4]) for i in range(0, len(raw), 4)]


def main():
    out, sizes = sys.argv[1], sys.argv[2:]
    images = []
    for item in sizes:
        size, path = item.split(":", 1)
        size = int(size)
        pixels = drawing(path, size) if path.endswith(".txt") else rgba(path)
        if len(pixels) != size * size:
            raise SystemExit("%s: not %d x %d RGBA" % (path, size, size))
        images.append((size, 0, 32, true_colour(size, pixels)))
        images.append((size, 0, 8, paletted(size, pixels, 8, own_colours(pixels))))
        images.append((size, 16, 4, paletted(size, pixels, 4, VGA)))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, colours, bits, image in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits,
                               len(image), offset)
        offset += len(image)
    with open(out, "wb") as f:
        f.write(directory + entries + b"".join(image for _, _, _, image in images))


if __name__ == "__main__":
    main()
