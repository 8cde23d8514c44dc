#!/usr/bin/env python3
"""Bitmaps in the smallest encoding that keeps every pixel: 4 or 8 bits with
a palette of exactly the picture's colours, 8-bit run-length encoded, or
24 bits when there are more than 256 colours. Never 1 bit: Windows loads a
two-colour picture as a monochrome bitmap, drawn in the text colours.

As a module: encode(width, height, rows) and decode(data), rows top-down of
(r, g, b). As a program: re-encodes the .bmp files it is given, in place.

    exact_bmp.py FILE.bmp...
"""

import struct
import sys
from collections import Counter

BI_RGB = 0
BI_RLE8 = 1


def _palette(rows):
    counts = Counter(p for row in rows for p in row)
    # Most used first, then by colour: the same picture gives the same file.
    colours = sorted(counts, key=lambda c: (-counts[c], c))
    return colours, {c: i for i, c in enumerate(colours)}


def _packed_rows(rows, index, bits):
    """Bottom-up rows of palette indices, each padded to four bytes."""
    data = bytearray()
    per_byte = 8 // bits
    for row in reversed(rows):
        line = bytearray()
        for start in range(0, len(row), per_byte):
            byte = 0
            for k, p in enumerate(row[start:start + per_byte]):
                byte |= index[p] << (8 - bits * (k + 1))
            line.append(byte)
        line += bytes(-len(line) % 4)
        data += line
    return bytes(data)


def _rle8_row(indices):
    out = bytearray()
    i, n = 0, len(indices)
    while i < n:
        run = 1
        while i + run < n and run < 255 and indices[i + run] == indices[i]:
            run += 1
        if run >= 2:
            out += bytes((run, indices[i]))
            i += run
            continue
        # Literal bytes until the next run of three or more.
        j = i
        while j < n and j - i < 255:
            if j + 2 < n and indices[j] == indices[j + 1] == indices[j + 2]:
                break
            j += 1
        literal = indices[i:j]
        if len(literal) >= 3:
            out += bytes((0, len(literal))) + bytes(literal)
            if len(literal) % 2:
                out.append(0)
        else:
            for value in literal:
                out += bytes((1, value))
        i = j
    return out


def _rle8(rows, index):
    data = bytearray()
    for row in reversed(rows):
        data += _rle8_row([index[p] for p in row]) + b"\x00\x00"
    return bytes(data + b"\x00\x01")


def _file(width, height, bits, compression, palette, data):
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(data),
                         2835, 2835, len(palette), 0)
    offset = 14 + len(header) + len(table)
    return struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) + header + table + data


def encode(width, height, rows):
    palette, index = _palette(rows)
    candidates = []
    if len(palette) <= 16:
        candidates.append(_file(width, height, 4, BI_RGB, palette, _packed_rows(rows, index, 4)))
    if len(palette) <= 256:
        candidates.append(_file(width, height, 8, BI_RGB, palette, _packed_rows(rows, index, 8)))
        candidates.append(_file(width, height, 8, BI_RLE8, palette, _rle8(rows, index)))
    if not candidates:
        data = bytearray()
        for row in reversed(rows):
            line = b"".join(struct.pack("<BBB", b, g, r) for r, g, b in row)
            data += line + bytes(-len(line) % 4)
        candidates.append(_file(width, height, 24, BI_RGB, [], bytes(data)))
    # The smallest; on a tie the one listed first, which is uncompressed.
    return min(candidates, key=len)


def decode(data):
    """(width, height, rows) of a BMP of 1, 4, 8 or 24 bits, or 8-bit RLE."""
    offset = struct.unpack_from("<I", data, 10)[0]
    (size, width, height, _, bits, compression, _, _, _, used, _) = struct.unpack_from(
        "<IiiHHIIiiII", data, 14)
    bottom_up = height > 0
    height = abs(height)
    palette = []
    if bits <= 8:
        count = used or 1 << bits
        for k in range(count):
            b, g, r, _ = struct.unpack_from("<BBBB", data, 14 + size + 4 * k)
            palette.append((r, g, b))
    pixels = data[offset:]
    rows = []
    if compression == BI_RLE8:
        grid = [[palette[0]] * width for _ in range(height)]
        x = y = i = 0
        while i < len(pixels):
            count, value = pixels[i], pixels[i + 1]
            i += 2
            if count:
                for _ in range(count):
                    grid[y][x] = palette[value]
                    x += 1
            elif value == 0:
                x, y = 0, y + 1
            elif value == 1:
                break
            elif value == 2:
                x, y = x + pixels[i], y + pixels[i + 1]
                i += 2
            else:
                for k in range(value):
                    grid[y][x] = palette[pixels[i + k]]
                    x += 1
                i += value + (value % 2)
        rows = grid
    elif compression == BI_RGB:
        stride = (width * bits + 31) // 32 * 4
        for y in range(height):
            line = pixels[y * stride:(y + 1) * stride]
            if bits == 24:
                rows.append([(line[3 * x + 2], line[3 * x + 1], line[3 * x])
                             for x in range(width)])
            else:
                per_byte = 8 // bits
                mask = (1 << bits) - 1
                rows.append([palette[line[x // per_byte] >> (8 - bits * (x % per_byte + 1)) & mask]
                             for x in range(width)])
    else:
        raise ValueError("unsupported compression %d" % compression)
    if bottom_up:
        rows.reverse()
    return width, height, rows


def main():
    for path in sys.argv[1:]:
        with open(path, "rb") as f:
            width, height, rows = decode(f.read())
        encoded = encode(width, height, rows)
        if decode(encoded)[2] != rows:
            raise SystemExit("%s: the new encoding changes the picture" % path)
        with open(path, "wb") as f:
            f.write(encoded)


if __name__ == "__main__":
    main()
