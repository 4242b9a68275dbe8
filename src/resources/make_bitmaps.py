#!/usr/bin/env python3
"""Draws the two side pictures of the wizard pages as 8-bit BMP files.

A surveyor's plan at dusk: a sky-to-sea gradient, a faint survey grid, the
contour lines of a hill and a triangulation mark on its top. Deterministic,
standard library only; run it from anywhere to rewrite the .bmp files beside it.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Palette layout: 0-191 background ramp, 192-223 contour ramp,
# 224-239 grid ramp, 240 mark outline, 241 mark fill, 255 white.
BACKGROUND, CONTOUR, GRID = (0, 192), (192, 32), (224, 16)
MARK_OUTLINE, MARK_FILL, WHITE = 240, 241, 255
TOP, BOTTOM = (14, 34, 74), (38, 128, 138)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def lighter(colour, amount):
    return mix(colour, (255, 255, 255), amount)


def palette():
    colours = [(0, 0, 0)] * 256
    for (first, count), lift in ((BACKGROUND, 0.0), (CONTOUR, 0.38), (GRID, 0.14)):
        for i in range(count):
            colours[first + i] = lighter(mix(TOP, BOTTOM, i / (count - 1)), lift)
    colours[MARK_OUTLINE] = (250, 236, 180)
    colours[MARK_FILL] = (196, 70, 40)
    colours[WHITE] = (255, 255, 255)
    return colours


def ramp(kind, t):
    first, count = kind
    return first + min(count - 1, max(0, int(t * count)))


def inside_triangle(px, py, cx, cy, size):
    # Upright triangle with its apex size above (cx, cy) and base size/2 below.
    top, base = cy - size, cy + size / 2
    if py < top or py > base:
        return False
    half = (py - top) / (base - top) * size * 0.9
    return abs(px - cx) <= half


def draw(width, height):
    # Both placeholders show the left 120 pixels: keep the mark inside them.
    hill_x, hill_y = 58, height * 0.42
    pixels = bytearray(width * height)
    for y in range(height):
        t = y / (height - 1)
        for x in range(width):
            index = ramp(BACKGROUND, t)
            if (x % 24 == 0 or y % 24 == 0) and (x + y) % 3 != 0:
                index = ramp(GRID, t)
            dx, dy = (x - hill_x) / (width * 0.9), (y - hill_y) / (height * 0.35)
            level = math.sqrt(dx * dx + dy * dy) * 9 + 0.6 * math.sin(x / 13.0 + y / 29.0)
            if abs(level - round(level)) < 0.06 and round(level) >= 1:
                index = ramp(CONTOUR, t)
            if inside_triangle(x, y, hill_x, hill_y, 14):
                index = MARK_FILL if inside_triangle(x, y, hill_x, hill_y + 3, 9) else MARK_OUTLINE
            pixels[y * width + x] = index
    return pixels


def write_bmp(path, width, height, pixels):
    stride = (width + 3) & ~3
    colours = palette()
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    rows = b"".join(bytes(pixels[y * width:(y + 1) * width]) + bytes(stride - width)
                    for y in reversed(range(height)))
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 3780, 3780, 256, 0)
    with open(path, "wb") as out:
        out.write(header + info + table + rows)


def main():
    for name, width, height in (("side_narrow.bmp", 120, 258), ("side_wide.bmp", 218, 331)):
        write_bmp(os.path.join(HERE, name), width, height, draw(width, height))


if __name__ == "__main__":
    main()
