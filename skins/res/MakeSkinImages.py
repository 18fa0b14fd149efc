#!/usr/bin/env python3
"""Draws the skin library's own images and writes them as 32-bit PNG files beside this script.

SF, SR, SD, SE, SC: the five built-in glyphs of the edit buttons, 48 x 16, three 16 x 16 states side
by side (normal grey, hot black, pressed black one pixel lower).
acSHDA, acSHDI: the default shadows of the extended form border, for an active and an inactive form;
the form covers the rectangle inside the margins 11, 7, 11, 11 and the middle stays clear.

The PNG files are kept in the tree; run this again only to change a drawing.
"""
import math
import os
import struct
import zlib

SCALE = 4  # supersampling for smooth edges


def write_png(path, width, height, pixels):
    """pixels: rows of (r, g, b, a) tuples."""
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


# ---------------------------------------------------------------------------------------------
# Glyphs: each drawing is a coverage test in 16 x 16 cell coordinates.

def inside_rect(x, y, l, t, r, b):
    return l <= x < r and t <= y < b


def folder(x, y):
    return inside_rect(x, y, 1, 5, 15, 14) or inside_rect(x, y, 1, 3, 7, 5)


def refresh(x, y):
    d = math.hypot(x - 8, y - 8.5)
    angle = math.degrees(math.atan2(y - 8.5, x - 8)) % 360
    ring = 3.6 <= d <= 5.4 and not (300 <= angle <= 350)
    # arrow head at the gap's upper end, pointing down the ring
    head = (y >= 1.5 and x >= 9 and y <= 7.5 and (x - 9) <= (y - 1.5) and (x - 9) <= (7.5 - y) * 1.0 + 0.0
            and x <= 15)
    return ring or head


def date(x, y):
    if inside_rect(x, y, 2, 2, 14, 5):
        return True
    frame = inside_rect(x, y, 2, 2, 14, 15) and not inside_rect(x, y, 3, 5, 13, 14)
    if frame:
        return True
    for row in range(2):
        for col in range(3):
            if inside_rect(x, y, 4 + col * 3, 7 + row * 3, 6 + col * 3, 9 + row * 3):
                return True
    return False


def ellipsis(x, y):
    return any(inside_rect(x, y, 3 + i * 4, 10, 5 + i * 4, 12) for i in range(3))


def calc(x, y):
    if inside_rect(x, y, 3, 1, 13, 15) and not inside_rect(x, y, 4, 2, 12, 14):
        return True
    if inside_rect(x, y, 5, 3, 11, 5):
        return True
    for row in range(3):
        for col in range(3):
            if inside_rect(x, y, 5 + col * 2, 7 + row * 2, 6 + col * 2, 8 + row * 2):
                return True
    return False


def glyph_strip(shape):
    colours = [(0x50, 0x50, 0x50), (0, 0, 0), (0, 0, 0)]
    rows = []
    for y in range(16):
        row = []
        for state in range(3):
            shift = 1 if state == 2 else 0
            for x in range(16):
                hits = 0
                for sy in range(SCALE):
                    for sx in range(SCALE):
                        px = x + (sx + 0.5) / SCALE
                        py = y - shift + (sy + 0.5) / SCALE
                        hits += shape(px, py)
                alpha = round(255 * hits / (SCALE * SCALE))
                r, g, b = colours[state] if alpha else (0, 0, 0)
                row.append((r, g, b, alpha))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------------------------
# Shadows

def shadow(darkest, width=40, height=40, margins=(11, 7, 11, 11), spread=9.0):
    left, top, right, bottom = margins
    inner = (left, top, width - right, height - bottom)
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            cx, cy = x + 0.5, y + 0.5
            dx = max(inner[0] - cx, 0, cx - inner[2])
            dy = max(inner[1] - cy, 0, cy - inner[3])
            d = math.hypot(dx, dy)
            if dx == 0 and dy == 0:
                alpha = 0  # under the form: nothing
            else:
                t = max(0.0, 1.0 - d / spread)
                alpha = round(darkest * t * t)
            row.append((0, 0, 0, alpha))
        rows.append(row)
    return width, height, rows


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, shape in (("SF", folder), ("SR", refresh), ("SD", date), ("SE", ellipsis), ("SC", calc)):
        write_png(os.path.join(here, name + ".png"), 48, 16, glyph_strip(shape))
    for name, darkest in (("acSHDA", 96), ("acSHDI", 48)):
        w, h, rows = shadow(darkest)
        write_png(os.path.join(here, name + ".png"), w, h, rows)


if __name__ == "__main__":
    main()
