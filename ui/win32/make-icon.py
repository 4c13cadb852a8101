#!/usr/bin/env python3
"""Draws the quillbox icon (a quill over an open box) and writes it as a
16-colour .ico holding 32 x 32 and 16 x 16 images.

usage: make-icon.py OUTPUT.ico
"""
import struct
import sys

# The 16-colour VGA palette that 4-bit icons use, as (B, G, R, 0).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]  # as (R, G, B)
BLACK, NAVY, YELLOW, OLIVE, WHITE, SILVER, TEAL = 0, 4, 11, 3, 15, 7, 6


def draw(size):
    """Returns rows of palette indices, or None for transparent pixels, on a 32-unit grid scaled to size."""
    s = size / 32.0
    pixels = [[None] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y0 * s) + 1, int(y1 * s))):
            for x in range(int(x0 * s), max(int(x0 * s) + 1, int(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    pixels[y][x] = colour

    # The box: an olive body with a yellow lid edge and a dark outline.
    fill(3, 16, 29, 30, BLACK)
    fill(4, 17, 28, 29, OLIVE)
    fill(4, 17, 28, 20, YELLOW)
    fill(6, 22, 26, 23, BLACK)
    # The quill: a white vane along a diagonal with a teal shaft, nib in the box.
    for i in range(0, 20):
        x, y = 24 - i, 2 + i
        fill(x - 4, y - 2, x + 2, y + 2, BLACK)
    for i in range(0, 20):
        x, y = 24 - i, 2 + i
        fill(x - 3, y - 1, x + 1, y + 1, WHITE if i < 15 else SILVER)
        fill(x - 1, y, x, y + 1, TEAL)
    fill(6, 21, 8, 23, NAVY)
    return pixels


def image(size):
    pixels = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor_rows, and_rows = [], []
    for row in reversed(pixels):  # bottom-up
        nibbles = [0 if p is None else p for p in row]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_rows.append(packed + b"\0" * (-len(packed) % 4))
        bits = 0
        mask = bytearray()
        for i, p in enumerate(row):
            bits = (bits << 1) | (1 if p is None else 0)
            if i % 8 == 7:
                mask.append(bits)
                bits = 0
        and_rows.append(bytes(mask) + b"\0" * (-len(mask) % 4))
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def main():
    images = [(32, image(32)), (16, image(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
