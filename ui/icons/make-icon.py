#!/usr/bin/env python3
"""Draws the quillbox icon (a quill and a note over an open box) in 32-bit
colour with anti-aliased edges, and writes it for both windows:
quillbox.ico (16, 24, 32, 48 and 256 pixels; the largest as PNG, as Windows
takes it) and quillbox-SIZE.png for the Qt window. Needs only Python.

usage: make-icon.py [OUTPUT_DIR]   (default: this script's folder)
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 256)

OUTLINE = (32, 32, 32)
BOX_INSIDE = (92, 58, 26)
BOX_FRONT = (198, 134, 66)
BOX_SIDE = (139, 90, 43)
CLASP = (240, 192, 32)
VANE = (255, 255, 255)
VANE_SHADE = (176, 176, 200)
SHAFT = (64, 64, 96)
NOTE = (30, 80, 200)

# The vane of the quill, leaning right, on a 32-unit grid.
VANE_LEFT = [(19.5, 1.0), (15.0, 6.0), (13.0, 11.0), (12.0, 16.5), (14.0, 17.0), (16.5, 10.0)]
VANE_RIGHT = [(19.5, 1.0), (16.5, 10.0), (14.0, 17.0), (17.0, 14.5), (21.0, 9.0), (23.0, 4.0)]


def in_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def near_segment(x, y, a, b, width):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= width / 2


def near_polygon(x, y, points, width):
    return in_polygon(x, y, points) or any(
        near_segment(x, y, points[i - 1], points[i], width) for i in range(len(points)))


def colour_at(x, y):
    """The colour at a point of the 32-unit grid, or None where the icon is clear."""
    # Topmost first: the note, the quill, then the box.
    if 23.5 <= x < 24.7 and 4.0 <= y < 12.5 or 23.5 <= x < 28.0 and 4.0 <= y < 5.2:
        return NOTE
    if ((x - 22.3) / 2.0) ** 2 + ((y - 12.5) / 1.5) ** 2 <= 1.0:
        return NOTE
    if 10.0 <= x < 24.0 and 0.0 <= y < 22.0:  # the quill's bounds, to skip the tests elsewhere
        if near_segment(x, y, (19.5, 1.5), (11.0, 21.0), 1.1):
            return SHAFT
        if in_polygon(x, y, VANE_LEFT):
            return VANE
        if in_polygon(x, y, VANE_RIGHT):
            return VANE_SHADE
        if near_polygon(x, y, VANE_LEFT + VANE_RIGHT[2:], 1.4):
            return OUTLINE
    if 2.0 <= x < 30.0 and 16.0 <= y < 30.0:
        inner = 3.0 <= x < 29.0 and 17.0 <= y < 29.0 and not 20.0 <= y < 21.0
        if not inner:
            return OUTLINE
        if y < 20.0:
            return BOX_INSIDE
        if 14.0 <= x < 18.0 and 22.0 <= y < 26.0:
            return CLASP
        return BOX_SIDE if y >= 26.0 else BOX_FRONT
    return None


def render(size):
    """Rows of (R, G, B, A), each pixel the average of n x n samples."""
    n = 4 if size < 256 else 3
    unit = 32.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) * unit, (py + (sy + 0.5) / n) * unit)
                    if c is not None:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / (n * n))))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def dib(rows):
    """A 32-bit icon image: BGRA rows bottom-up, then the 1-bit mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = (size + 31) // 32 * 4
    mask = b"".join(
        bytes(sum(0x80 >> k for k in range(8) if x + k < size and row[x + k][3] == 0) for x in range(0, size, 8))
        .ljust(mask_row, b"\0") for row in reversed(rows))
    return header + colour + mask


def ico(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    images = []
    for size in SIZES:
        rows = render(size)
        with open(os.path.join(out_dir, f"quillbox-{size}.png"), "wb") as f:
            f.write(png(rows))
        images.append((size, png(rows) if size == 256 else dib(rows)))
    with open(os.path.join(out_dir, "quillbox.ico"), "wb") as f:
        f.write(ico(images))


if __name__ == "__main__":
    main()
