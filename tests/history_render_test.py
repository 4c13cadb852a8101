#!/usr/bin/env python3
"""The history page in a real browser: headless Chromium loads the golden
page at 1280 x 900, must exit 0 with no console message, and its screenshot
must show the page (text, and the charts' blue lines), not a blank.

usage: history_render_test.py GOLDEN_HTML
Exit 77 (skipped) only when no chromium is installed."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path


def pixels(png):
    """Rows of (r, g, b) from an 8-bit RGB or RGBA PNG, filters undone."""
    assert png[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat = 8, b""
    while pos < len(png):
        length, kind = struct.unpack(">I4s", png[pos:pos + 8])
        body = png[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    assert depth == 8 and colour in (2, 6), f"PNG depth {depth} colour type {colour}"
    size = 3 if colour == 2 else 4
    raw, stride, rows, prev = zlib.decompress(idat), width * size, [], bytearray(width * size)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - size] if i >= size else 0
            b, c = prev[i], prev[i - size] if i >= size else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x:x + 3]) for x in range(0, stride, size)])
        prev = line
    return width, height, rows


def main():
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    if not browser:
        print("SKIPPED: chromium is not installed (tools/setup.sh qt installs it)")
        return 77
    with tempfile.TemporaryDirectory() as tmp:
        work = Path(tmp)
        page = work / "history.html"  # the browser takes the page's kind from its name
        shutil.copyfile(sys.argv[1], page)
        shot = work / "shot.png"
        run = subprocess.run(
            [browser, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars", "--no-first-run",
             f"--user-data-dir={work / 'profile'}", "--enable-logging=stderr", "--v=0",
             f"--screenshot={shot}", "--window-size=1280,900", page.as_uri()],
            capture_output=True, timeout=180, env={**os.environ, "HOME": tmp})
        log = run.stderr.decode("utf-8", "replace")
        console = [line for line in log.splitlines() if ":CONSOLE" in line]
        failures = []
        if run.returncode != 0:
            failures.append(f"chromium exit {run.returncode}:\n{log[-2000:]}")
        if console:
            failures.append("console messages:\n" + "\n".join(console))
        if not shot.is_file():
            failures.append("no screenshot")
        else:
            width, height, rows = pixels(shot.read_bytes())
            inked = sum(1 for row in rows for r, g, b in row if r + g + b < 600)
            blue = sum(1 for row in rows for r, g, b in row if b > 150 and b - r > 80)
            print(f"screenshot {width}x{height}: {inked} inked pixels, {blue} chart-blue")
            if (width, height) != (1280, 900):
                failures.append(f"screenshot is {width}x{height}")
            if inked < width * height // 100:
                failures.append("screenshot is (nearly) blank")
            if blue < 500:
                failures.append("no chart lines in the screenshot")
        for failure in failures:
            print("FAIL " + failure)
        return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
