#!/usr/bin/env python3
"""Draws the pictures of the 'Replace' window's two small buttons.

capitalize_first.png: "Ab" over "cd", only the very first letter a capital.
capitalize_words.png: "Ab" over "Cd", the first letter of each word a capital.

Run from this folder; writes 32 x 32 RGBA PNG files beside it.
"""
import struct
import zlib

GLYPHS = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "b": ["#....", "#....", "####.", "#...#", "#...#", "#...#", "####."],
    "c": [".....", ".....", ".####", "#....", "#....", "#....", ".####"],
    "d": ["....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"],
}
CAPITAL = (0x1F, 0x4E, 0xA8, 255)  # the upper-cased letters stand out in blue
SMALL = (0x50, 0x50, 0x50, 255)
SIZE = 32
SCALE = 2


def draw(lines):
    pixels = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]
    for line_no, text in enumerate(lines):
        top = 1 + line_no * 16
        for i, ch in enumerate(text):
            left = 4 + i * 13
            colour = CAPITAL if ch.isupper() else SMALL
            for gy, row in enumerate(GLYPHS[ch]):
                for gx, bit in enumerate(row):
                    if bit != "#":
                        continue
                    for dy in range(SCALE):
                        for dx in range(SCALE):
                            pixels[top + gy * SCALE + dy][left + gx * SCALE + dx] = colour
    return pixels


def write_png(path, pixels):
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


write_png("capitalize_first.png", draw(["Ab", "cd"]))
write_png("capitalize_words.png", draw(["Ab", "Cd"]))
