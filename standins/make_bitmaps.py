#!/usr/bin/env python3
# Stand-in for parts outside the system, not the system's own code.
# Writes the demonstration plug-in's special-bits glyphs SB1.bmp .. SB3.bmp:
# 16x16, 24 bits per pixel, a coloured digit on a magenta ground (the
# bottom-left pixel, which glyph drawing treats as transparent).
# Run once; the bitmaps are kept in the repository beside this script.
import os
import struct

DIGITS = {
    1: ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    2: [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    3: [".###.", "#...#", "....#", "..##.", "....#", "#...#", ".###."],
}
INK = {1: (0xC0, 0x00, 0x00), 2: (0x00, 0x80, 0x00), 3: (0x00, 0x00, 0xC0)}
GROUND = (0xFF, 0x00, 0xFF)


def glyph(n):
    size = 16
    pixels = [[GROUND] * size for _ in range(size)]
    # A 5x7 digit drawn at double size, centred: 10x14 from (3, 1).
    for row, line in enumerate(DIGITS[n]):
        for col, ch in enumerate(line):
            if ch == "#":
                for dy in range(2):
                    for dx in range(2):
                        pixels[1 + row * 2 + dy][3 + col * 2 + dx] = INK[n]
    return pixels


def bmp(pixels):
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


here = os.path.dirname(os.path.abspath(__file__))
for n in (1, 2, 3):
    with open(os.path.join(here, "SB%d.bmp" % n), "wb") as f:
        f.write(bmp(glyph(n)))
