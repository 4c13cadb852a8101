#!/usr/bin/env python3
"""The icon both windows show: every size Windows asks for, in 32-bit colour,
and exactly what its drawing script makes (so no one edits the images alone).

usage: icon_test.py ICON_DIR"""
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

SIZES = [16, 24, 32, 48, 256]


def png_size_and_type(data):
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
    return width, height, depth, colour


def main():
    icons = Path(sys.argv[1])
    failures = []
    ico = (icons / "quillbox.ico").read_bytes()
    _, kind, count = struct.unpack("<HHH", ico[:6])
    found = []
    for i in range(count):
        w, h, _, _, _, bpp, length, offset = struct.unpack("<BBBBHHII", ico[6 + 16 * i:22 + 16 * i])
        image = ico[offset:offset + length]
        if image[:4] == b"\x89PNG":
            w2, h2, depth, colour = png_size_and_type(image)
            ok = (w2, h2) == (w or 256, h or 256) and (depth, colour) == (8, 6)
        else:
            _, w2, h2, _, bits = struct.unpack("<IiiHH", image[:16])
            ok = (w2, h2 // 2) == (w or 256, h or 256) and bits == bpp == 32
        if not ok:
            failures.append(f"ico image {i}: not {w or 256} px in 32-bit colour")
        found.append(w or 256)
    if kind != 1 or sorted(found) != SIZES:
        failures.append(f"ico sizes {sorted(found)}, wanted {SIZES}")
    for size in SIZES:
        if png_size_and_type((icons / f"quillbox-{size}.png").read_bytes()) != (size, size, 8, 6):
            failures.append(f"quillbox-{size}.png is not {size} px RGBA")
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run([sys.executable, str(icons / "make-icon.py"), tmp], check=True)
        for name in ["quillbox.ico"] + [f"quillbox-{s}.png" for s in SIZES]:
            if (Path(tmp) / name).read_bytes() != (icons / name).read_bytes():
                failures.append(f"{name} differs from what make-icon.py draws")
    for f in failures:
        print("FAIL", f)
    print(f"icon: {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
