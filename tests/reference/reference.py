#!/usr/bin/env python3
"""A second, independent reading of score files and the text views, written
from the rules rather than from the C++ code, used to cross-check
quillbox-report byte for byte on generated files."""
import math
import random
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

PARTS = ["", "MIRELLA", "TOPAZ", "ONYX", "PIP", "SORANNE", "LUMINA", "BRISKA", "NOVA"]
LADDER = [("なし", 240), ("十級", 480), ("九級", 770), ("八級", 960), ("七級", 1080), ("六級", 1200),
          ("五級", 1320), ("四級", 4480), ("三級", 4900), ("二級", 5320), ("一級", 7380), ("初段", 7920),
          ("弐段", 8370), ("参段", 8820), ("四段", 9090), ("五段", 9360), ("六段", 9630), ("七段", 9900),
          ("八段", 10080), ("九段", 10260), ("十段", 10440), ("名人", 10521), ("超人", 10566), ("魔人", 10611),
          ("驚愕", 10656), ("唖然", 10692), ("覇王", 10799), ("神", 20000)]
I32 = (-2**31, 2**31 - 1)


class Fail(Exception):
    pass


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def read_value(text):
    s = [c for c in text if c not in " \t\n"]
    out, i = "", 0
    if i < len(s) and s[i] in "+-":
        out += s[i]; i += 1
    point = digit = False
    while i < len(s):
        c = s[i]
        if c.isascii() and c.isdigit():
            out += c; digit = True
        elif c == "." and not point:
            out += c; point = True
        else:
            break
        i += 1
    if not digit:
        return 0.0
    return float(out)  # float() rounds correctly and gives inf when too large


def new_song(title):
    return {"title": title, "hp": [0] * 9, "pc": [0] * 9,
            "bp": [[0] * 4 for _ in range(9)], "bs": [[0] * 4 for _ in range(9)]}


def parse(data):
    lines, cur = [], bytearray()
    i = 0
    while i < len(data):
        b = data[i]
        if b in (13, 10):
            lines.append(bytes(cur)); cur = bytearray()
            i += 2 if (b == 13 and data[i + 1:i + 2] == b"\n") else 1
        else:
            cur.append(b); i += 1
    if cur:
        lines.append(bytes(cur))
    songs = [new_song("")]
    for n, raw in enumerate(lines, 1):
        line = raw.decode("cp932")
        if "\\" in line:
            g = line.index("\\")
            if g == 0:
                raise Fail(n, "header line starts with the backslash, so it has no title", line)
            songs.append(new_song(line[1:g].replace("\0", "\u2400"))); continue
        if len(songs) == 1:
            continue
        song = songs[-1]
        digit = lambda pos: int(line[pos - 1]) if len(line) >= pos and line[pos - 1] in "0123456789" else 0
        for key, rank_at, part_at, value_at, field, lo, hi in (
                ("HPR", None, 4, 6, "hp", 0, 255), ("PR", 3, 4, 6, "bp", 0, 255),
                ("SCORE", 6, 7, 9, "bs", I32[0], I32[1]), ("HPs", None, 4, 6, "pc", -32768, 32767)):
            if not line.startswith(key):
                continue
            part = digit(part_at)
            if part > 8:
                raise Fail(n, f"part number {part} is out of range (0 to 8)", line)
            rank = digit(rank_at) if rank_at else None
            if rank is not None and rank > 3:
                raise Fail(n, f"rank number {rank} is out of range (0 to 3)", line)
            v = read_value(line[value_at - 1:])
            r = v if math.isinf(v) else round(v)
            if not (lo <= r <= hi):
                name = {"hp": "HiPerfect", "bp": "BestPerfect", "bs": "BestScore", "pc": "PlayCount"}[field]
                raise Fail(n, f"value is out of range for {name} ({lo} to {hi})", line)
            if rank is None:
                song[field][part] = int(r)
            else:
                song[field][part][rank] = int(r)
            break
    return songs


def chart(songs, mode):
    wide = mode == 1
    head = (" MIRELLA TOPAZ  ONYX   PIP     SORANNE LUMINA BRISKA NOVA" if wide
            else "  MRL TPZ ONX PIP   SRN LUM BRI NOV") + "\r\n"
    sep = ("+" + "-" * 29 + "+" + "-" * 29 + "+" if wide else "+" + "-" * 17 + "+" + "-" * 17 + "+") + "\r\n"
    rows = []
    for s, song in enumerate(songs[1:], 1):
        if s == 10:
            rows.append(sep)
        row = "|"
        for p in range(1, 9):
            v = {0: song["hp"][p], 1: song["bs"][p][1], 2: song["pc"][p]}.get(mode)
            if v is not None:
                row += str(v).rjust(7 if wide else 4)
            if p == 4:
                row += " |"
        rows.append(row + " |  " + song["title"] + "\r\n")
    return head + sep + "".join(rows) + sep


def rank_text(value, scale):
    for name, threshold in LADDER:
        t = round(scale * threshold)
        if not I32[0] <= t <= I32[1]:
            raise OverflowError
        if value < t:
            return f"{name}  next {value_check(t - value)}"
    return ""


def value_check(v):
    if not I32[0] <= v <= I32[1]:
        raise OverflowError
    return v


def rank_summary(songs):
    n = len(songs) - 1
    a = sum(songs[s]["hp"][p] for s in range(1, min(n, 9) + 1) for p in range(1, 5))
    b = sum(songs[s]["hp"][p] for s in range(1, min(n, 9) + 1) for p in range(5, 9))
    c = sum(songs[s]["hp"][p] for s in range(10, n + 1) for p in range(1, 5))
    d = sum(songs[s]["hp"][p] for s in range(10, n + 1) for p in range(5, 9))
    lines = [("公認段位  ", a + 2 * b, 1.0, True), ("総合段位  ", a + 2 * b + c + 2 * d, f32(n / 9), True),
             ("追加曲段位  ", c + 2 * d, f32((n - 9) / 9), True), ("表キャラ  ", a + c, f32(n / 9 / 3), False),
             ("裏キャラ  ", b + d, f32(n / 9 / 3), True), ("標準曲 表キャラ  ", a, f32(1 / 3), False),
             ("標準曲 裏キャラ  ", b, f32(1 / 3), False), ("追加曲 表キャラ  ", c, f32((n - 9) / 9 / 3), False),
             ("追加曲 裏キャラ  ", d, f32((n - 9) / 9 / 3), False)]
    out = ""
    for label, value, scale, blank in lines:
        out += f"{label}{value_check(value)}  {rank_text(value, scale)}\r\n" + ("\r\n" if blank else "")
    return out


def detail(songs, s, p):
    x = songs[s]
    t = f"{s} : {x['title']} / {PARTS[p]}\r\n\r\nplayed {x['pc'][p]} times\r\n\r\nHi perfect {x['hp'][p]}\r\n\r\nscore best3"
    for r in (1, 2, 3):
        t += f"\r\n  {r} : {x['bs'][p][r]}({x['bp'][p][r]})"
    return t


TITLES = ["Song", "表参道", "ソーダ", "曲 名", "x", "", "  blank ", "Ｆｕｌｌ", "abc[", "ﾊﾝｶｸ"]
VALUES = ["0", "1", "42", " 42", "2.5", "3.5", "254.5", "255", "-0", ".5", "-.5", "+7", "1,5", "98765pts",
          "12 34", "1e5", "", "x", "100", "32767", "-32768", "2147483647", "-2147483648", "1234567",
          "12345678", "10250", "-1", "0.4999", "00077", "７"]
SAFE_VALUES = ["0", "1", "42", " 4 2", "2.5", "3.5", "254.5", "-0", ".5", "-.5", "+7", "1,5", "98pts", "",
               "x", "0.4999", "00077", "７", "1e5", "\t9", "+", "-", ".", "1.2.3", "0." + "0" * 400 + "1"]


def generate(rng, songs):
    out = []
    if rng.random() < 0.3:
        out.append("HPR1=5")
    for _ in range(songs):
        out.append(rng.choice("[ a") + rng.choice(TITLES) + "\\" + rng.choice(["Hard", "", "x\\y"]))
        for _ in range(rng.randint(0, 30)):
            kind = rng.random()
            if kind < 0.003:
                out.append(rng.choice(["HPR9=1", "PR51=3", "SCORE91=2", "\\no title", "HPs9"]))
                continue
            if kind < 0.05:
                out.append(rng.choice(["; comment", "hpr1=5", " HPR1=5", "Volume=3", "HPS1=4", "PRESET=1"]))
                continue
            key = rng.choice(["HPR", "PR", "SCORE", "HPs"])
            rank = str(rng.randint(0, 3)) if key in ("PR", "SCORE") else ""
            part = str(rng.randint(0, 8)) if rng.random() < 0.97 else rng.choice(["x", ""])
            sep = rng.choice(["=", "=", ":", " "])
            lo, hi = {"HPR": (0, 255), "PR": (0, 255), "SCORE": I32, "HPs": (-32768, 32767)}[key]
            roll = rng.random()
            if roll < 0.02:
                val = rng.choice(VALUES)  # may well be out of range: the file then fails
            elif roll < 0.4:
                val = rng.choice(SAFE_VALUES)
            else:
                val = str(rng.randint(lo, hi)) + rng.choice(["", "", ".5", ".49", "pts", " "])
                if val.endswith(".5") and int(val[:-2]) in (hi, lo):
                    val = val[:-2]
            out.append(key + rank + part + sep + val)
    ends = rng.choice(["\r\n", "\r\n", "\r", "\n"])
    return (ends.join(out) + (ends if rng.random() < 0.8 else "")).encode("cp932")


def run(report, path, *args):
    p = subprocess.run([report, "--file", str(path), *args], capture_output=True)
    return p.returncode, p.stdout, p.stderr.decode("utf-8", "replace")


def main():
    report, count = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 300
    rng = random.Random(20261207)
    failures = checked = 0
    with tempfile.TemporaryDirectory() as tmp:
        path = Path(tmp) / "hsc.ini"
        for case in range(count):
            n = rng.choice([0, 1, 2, 8, 9, 10, 11, 27, 40]) if case % 50 else rng.choice([500, 2000])
            data = generate(rng, n)
            path.write_bytes(data)
            try:
                songs, error = parse(data), None
            except Fail as e:
                songs, error = None, e
            views = [("perfect",), ("score",), ("playcount",), ("rank",)]
            if songs and len(songs) > 1:
                s = rng.randint(1, len(songs) - 1)
                views.append(("detail", str(s), str(rng.randint(1, 8))))
            for view in views:
                code, out, err = run(report, path, *view)
                checked += 1
                if error:
                    want = (f"{path}:{error.args[0]}: {error.args[1]}: {error.args[2]}"
                            " -- if you edited the file by hand, fix this line and try again\n")
                    ok = code == 1 and err == want and out == b""
                    detail_text = f"want error {want!r}, got {code} {err!r}"
                else:
                    if view[0] == "detail":
                        want = detail(songs, int(view[1]), int(view[2]))
                    elif view[0] == "rank":
                        want = rank_summary(songs)
                    else:
                        want = chart(songs, ["perfect", "score", "playcount"].index(view[0]))
                    ok = code == 0 and out == want.encode("utf-8")
                    detail_text = f"exit {code}, {err!r}"
                if not ok:
                    failures += 1
                    if failures <= 5:
                        bad = Path(tmp).parent / f"quillbox-mismatch-{case}.ini"
                        bad.write_bytes(data)
                        print(f"MISMATCH case {case} view {view}: {detail_text} (file kept at {bad})")
                if error:
                    break  # every view fails the same way on a file that does not load
    print(f"reference: {checked - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
