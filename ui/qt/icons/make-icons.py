#!/usr/bin/env python3
"""Draws the window icon, a quill standing in an open box, at 32 and 16 pixels
in a 16-colour palette, and writes it as XPM (the source) and as 4-bit PNG
through ImageMagick. Run it from anywhere after changing the drawing."""
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))

# Sixteen colours at most; '.' is transparent.
PALETTE = {
    '.': 'None',
    'k': '#202020',  # outline
    'b': '#8B5A2B',  # box side
    'l': '#C68642',  # box front, lit
    'd': '#5C3A1A',  # box inside
    'w': '#FFFFFF',  # quill vane
    'g': '#B0B0C8',  # quill shade
    's': '#404060',  # quill shaft
    'n': '#1E50C8',  # note
    'y': '#F0C020',  # box clasp
}


def draw(size):
    px = [['.'] * size for _ in range(size)]
    u = size / 32.0

    def put(x, y, c):
        x, y = int(x), int(y)
        if 0 <= x < size and 0 <= y < size:
            px[y][x] = c

    def rect(x0, y0, x1, y1, c):
        for y in range(int(y0 * u), int(y1 * u)):
            for x in range(int(x0 * u), int(x1 * u)):
                put(x, y, c)

    # The quill: a feather leaning right, its shaft going down into the box.
    top, bottom = int(2 * u), int(20 * u)
    for y in range(top, bottom):
        t = (y - top) / max(1, bottom - top - 1)  # 0 at the tip, 1 in the box
        shaft = int(round((19 - 9 * t) * u))
        half = 0 if t > 0.8 else max(1, int(round((1.2 + 3.5 * (1 - abs(t - 0.4) * 2.2)) * u / 1.6)))
        for x in range(shaft - half, shaft + half + 1):
            put(x, y, 'w' if x < shaft else 'g')
        if half:
            put(shaft - half - 1, y, 'k')
            put(shaft + half + 1, y, 'k')
        put(shaft, y, 's')
    put(int(round(19 * u)), top - 1, 'k')
    # A note beside the quill.
    rect(24, 4, 25, 12, 'k')
    rect(25, 4, 28, 5, 'k')
    rect(21, 11, 24, 14, 'n')
    # The box: inside, front and clasp.
    rect(3, 17, 29, 20, 'd')
    rect(2, 16, 30, 17, 'k')
    rect(2, 20, 30, 30, 'l')
    rect(2, 20, 30, 21, 'k')
    rect(2, 29, 30, 30, 'k')
    for y in range(int(16 * u), int(30 * u)):
        put(int(2 * u), y, 'k')
        put(int(30 * u) - 1, y, 'k')
    rect(3, 26, 29, 29, 'b')
    rect(14, 22, 18, 26, 'y')
    return [''.join(row) for row in px]


def write_xpm(name, rows):
    size = len(rows)
    used = sorted({c for row in rows for c in row})
    lines = [f'"{size} {size} {len(used)} 1",']
    lines += [f'"{c} c {PALETTE[c]}",' for c in used]
    lines += [f'"{row}",' for row in rows]
    lines[-1] = lines[-1].rstrip(',')
    with open(os.path.join(HERE, name + '.xpm'), 'w') as f:
        f.write('/* XPM */\nstatic const char *%s[] = {\n%s\n};\n' % (name.replace('-', '_'), '\n'.join(lines)))


for size in (32, 16):
    name = f'quillbox-{size}'
    write_xpm(name, draw(size))
    subprocess.run(['convert', os.path.join(HERE, name + '.xpm'), '-colors', '16', 'PNG8:' + os.path.join(HERE, name + '.png')],
                   check=True)
