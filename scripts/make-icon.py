#!/usr/bin/env python3
"""Writes the program's icon: the four coloured squares at 16, 32 and 48 pixels, each a
16-colour (4 bits per pixel) BMP-format entry with an AND mask for its transparent corners."""

import struct
import sys

# The standard 16-colour palette (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, RED, GREEN, YELLOW, BLUE = 0, 9, 10, 11, 12
TRANSPARENT = None


def draw(size):
    """Rows of palette indexes (top row first); None where the icon is transparent."""
    pixels = [[BLACK] * size for _ in range(size)]
    # Cut the tile's corners so it reads as a rounded tile.
    cut = max(1, size // 16)
    for y in range(size):
        for x in range(size):
            dx = min(x, size - 1 - x)
            dy = min(y, size - 1 - y)
            if dx + dy < cut:
                pixels[y][x] = TRANSPARENT
    margin = max(1, size // 12)
    gap = max(1, size // 16)
    square = (size - 2 * margin - gap) // 2
    first = (size - 2 * square - gap) // 2
    second = first + square + gap
    for colour, left, top in ((RED, first, first), (YELLOW, second, first),
                              (BLUE, first, second), (GREEN, second, second)):
        for y in range(top, top + square):
            for x in range(left, left + square):
                pixels[y][x] = colour
    return pixels


def entry(size):
    pixels = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, index in enumerate(row):
            value = BLACK if index is TRANSPARENT else index
            line[x // 2] |= value << (4 if x % 2 == 0 else 0)
            if index is TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    return header + palette + bytes(xor) + bytes(mask)


def main(path):
    sizes = (16, 32, 48)
    images = [entry(size) for size in sizes]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        data += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    data += b''.join(images)
    with open(path, 'wb') as out:
        out.write(data)


if __name__ == '__main__':
    main(sys.argv[1])
