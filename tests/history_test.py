#!/usr/bin/env python3
"""quillbox-report history read back: its JSON with Python's json against an
independent reckoning of the same generated files (edited from one file to
the next), its HTML with html.parser (self-contained, no script, and every
chart point where the totals put it, every guide at a rank boundary), and
its usage and load errors.

usage: history_test.py PATH/TO/quillbox-report"""
import calendar
import json
import os
import random
import subprocess
import sys
import tempfile
import time
from html.parser import HTMLParser
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.path.insert(0, str(HERE / "reference"))
from reference import LADDER, f32, rank_text  # noqa: E402  (the independent reader)
from report_formats_test import TEXT_PIECES, edited, expected_comparison, file_bytes, random_song  # noqa: E402

ZONE, OFFSET = "JST-9", 9 * 3600  # the tool runs in Japan's zone, whatever the machine's
LABELS = ["公認段位", "総合段位", "追加曲段位", "表キャラ", "裏キャラ", "標準曲 表キャラ", "標準曲 裏キャラ",
          "追加曲 表キャラ", "追加曲 裏キャラ"]
VOID = {"meta", "br", "img", "link", "input", "hr"}  # HTML elements that never close
failures = 0


def check(name, ok, detail=""):
    global failures
    if not ok:
        failures += 1
        print(f"FAIL {name} {detail}"[:2000])


def run(report, *args):
    p = subprocess.run([report, *args], capture_output=True, timeout=120, env={**os.environ, "TZ": ZONE})
    return p.returncode, p.stdout, p.stderr.decode("utf-8", "replace")


def scales(n):
    return [1.0, f32(n / 9), f32((n - 9) / 9), f32(n / 9 / 3), f32(n / 9 / 3), f32(1 / 3), f32(1 / 3),
            f32((n - 9) / 9 / 3), f32((n - 9) / 9 / 3)]


def rank_lines(songs):
    """The nine lines as label, total, rank name and points to the next rank."""
    hp = [[0] + [s["values"][(p, "hiPerfect")] for p in range(1, 9)] for s in songs]
    n = len(songs)
    a = sum(hp[s][p] for s in range(min(n, 9)) for p in range(1, 5))
    b = sum(hp[s][p] for s in range(min(n, 9)) for p in range(5, 9))
    c = sum(hp[s][p] for s in range(9, n) for p in range(1, 5))
    d = sum(hp[s][p] for s in range(9, n) for p in range(5, 9))
    totals = [a + 2 * b, a + 2 * b + c + 2 * d, c + 2 * d, a + c, b + d, a, b, c, d]
    out = []
    for label, total, scale in zip(LABELS, totals, scales(n)):
        text = rank_text(total, scale)
        name, _, next_ = text.partition("  next ")
        out.append({"label": label, "total": total, "name": name, "next": int(next_) if next_ else None})
    return out


def expected_history(names, tables, mtimes):
    files, steps = [], []
    for name, songs, mtime in zip(names, tables, mtimes):
        files.append({"file": name, "modified": time.strftime("%Y-%m-%d %H:%M", time.gmtime(mtime + OFFSET)),
                      "songs": len(songs), "plays": sum(s["values"][(p, "playCount")] for s in songs
                                                        for p in range(1, 9)),
                      "rank": rank_lines(songs)})
    for i in range(1, len(tables)):
        old, new = tables[i - 1], tables[i]
        cmp = expected_comparison(old, new)
        raised = lambda field: sum(1 for c in cmp["changes"] if c["field"] == field and c["new"] > c["old"])  # noqa
        plays = sum(c["new"] - c["old"] for c in cmp["changes"] if c["field"] == "playCount")
        plays += sum(new[a["song"] - 1]["values"][(p, "playCount")] for a in cmp["added"] for p in range(1, 9))
        steps.append({"from": i, "to": i + 1, "partsImproved": raised("hiPerfect"), "newBestScores": raised("score1"),
                      "playsAdded": plays, "songsAdded": len(cmp["added"]), "songsRemoved": len(cmp["removed"]),
                      "rankChanges": [{"label": x["label"], "old": x["name"], "new": y["name"]}
                                      for x, y in zip(files[i - 1]["rank"], files[i]["rank"]) if x["name"] != y["name"]]})
    return {"files": files, "steps": steps}


class Page(HTMLParser):
    """What the checks need of the page: charts, their points and guides,
    anything that would run or fetch, and whether every element closes."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack, self.errors, self.charts, self.fetches = [], [], [], []
        self.text_of = None

    def handle_starttag(self, tag, attrs):
        self.element(tag, dict(attrs))
        if tag not in VOID:
            self.stack.append(tag)

    def handle_startendtag(self, tag, attrs):  # <line .../>: opens and closes
        self.element(tag, dict(attrs))

    def element(self, tag, a):
        if tag == "script" or any(k.startswith("on") for k in a):
            self.errors.append(f"script: <{tag}>")
        for key in ("src", "href", "xlink:href", "action", "data"):
            if key in a:
                self.fetches.append(f"{tag} {key}={a[key]}")
        if tag == "link":
            self.fetches.append(f"link {a}")
        if tag == "svg" and a.get("class") == "chart":
            self.charts.append({"attrs": a, "points": [], "lines": [], "guides": [], "texts": []})
        elif tag == "circle" and self.charts:
            self.charts[-1]["points"].append(a)
        elif tag == "polyline" and self.charts:
            pts = [tuple(map(float, p.split(","))) for p in a["points"].split()]
            self.charts[-1]["lines" if a.get("class") == "line" else "guides"].append(pts)
        elif tag == "text" and self.charts:
            self.text_of = {"class": a.get("class"), "x": float(a["x"]), "y": float(a["y"]), "text": ""}
            self.charts[-1]["texts"].append(self.text_of)

    def handle_endtag(self, tag):
        if tag == "text":
            self.text_of = None
        if tag in VOID:
            return
        if not self.stack or self.stack[-1] != tag:
            self.errors.append(f"</{tag}> closes {self.stack[-1:]}")
            return
        self.stack.pop()

    def handle_data(self, data):
        if self.text_of is not None:
            self.text_of["text"] += data


def texts(chart, kind):
    return [t["text"] for t in chart["texts"] if t["class"] == kind]


def overlapping(chart):
    """Pairs of centred labels (values, ticks) whose boxes meet, at 11 px:
    digits 0.6 em wide, kana and kanji 1 em."""
    boxes = []
    for t in chart["texts"]:
        if t["class"] in ("value", "tick"):
            w = sum(6.6 if ord(c) < 0x2000 else 11 for c in t["text"])
            boxes.append((t["x"] - w / 2, t["x"] + w / 2, t["y"] - 8.8, t["y"] + 2.2, t["text"]))
    return [(a[4], b[4]) for i, a in enumerate(boxes) for b in boxes[i + 1:]
            if a[0] < b[1] and b[0] < a[1] and a[2] < b[3] and b[2] < a[3]]


def check_html(name, html, want):
    check(f"{name}: html is UTF-8 with a charset", html.startswith(b"<!DOCTYPE html>\n") and
          b'<meta charset="utf-8">' in html and b"\r" not in html)
    text = html.decode("utf-8")
    page = Page()
    page.feed(text)
    page.close()
    check(f"{name}: html well formed, no script", not page.errors and page.stack == [], f"{page.errors} {page.stack}")
    check(f"{name}: html fetches nothing", not page.fetches and "url(" not in text and "@import" not in text,
          str(page.fetches))
    check(f"{name}: one chart per rank line", [c["attrs"]["data-label"] for c in page.charts] == LABELS)
    for line, chart in enumerate(page.charts):
        a = chart["attrs"]
        lo, hi, top, bottom = (float(a[k]) for k in ("data-lo", "data-hi", "data-top", "data-bottom"))
        value = lambda y: lo + (bottom - y) / (bottom - top) * (hi - lo)  # noqa: E731
        unit = (hi - lo) / (bottom - top) * 0.06  # coordinates are written to a tenth
        totals = [f["rank"][line]["total"] for f in want["files"]]
        got = [int(p["data-total"]) for p in chart["points"]]
        check(f"{name} {a['data-label']}: a point per file", got == totals and
              [int(p["data-file"]) for p in chart["points"]] == list(range(1, len(totals) + 1)), f"{got} {totals}")
        off = [(t, value(float(p["cy"]))) for t, p in zip(totals, chart["points"]) if abs(value(float(p["cy"])) - t) > unit]
        check(f"{name} {a['data-label']}: points at their totals", not off, str(off))
        centres = [(float(p["cx"]), float(p["cy"])) for p in chart["points"]]
        check(f"{name} {a['data-label']}: the line joins the points", chart["lines"] == [centres],
              f"{chart['lines']} {centres}")
        # Each guide follows one boundary through every file whose line has
        # songs, labelled with the rank that begins there, at the last such
        # file's scale; a line without songs has no guide and says so.
        n_scales = [scales(f["songs"])[line] for f in want["files"] if scales(f["songs"])[line] > 0]
        boundaries = {LADDER[r + 1][0]: [round(s * LADDER[r][1]) for s in n_scales] for r in range(len(LADDER) - 1)}
        for label in texts(chart, "guide-label"):
            rank, _, at = label.partition(" ")
            check(f"{name} {a['data-label']}: guide label {label}", (boundaries.get(rank) or [None])[-1] == int(at))
        guide_values = [[value(y) for _, y in g[1:-1]] for g in chart["guides"]]
        stray = [g for g in guide_values if len(g) != len(n_scales) or min(g) <= 0 or not any(
            all(abs(v - b) <= unit for v, b in zip(g, bs)) for bs in boundaries.values())]
        check(f"{name} {a['data-label']}: guides on boundaries above 0",
              bool(chart["guides"]) == bool(n_scales) and not stray, str(stray)[:300])
        check(f"{name} {a['data-label']}: a note where no file has songs on the line",
              bool(texts(chart, "note")) == (not n_scales))
        ticks = texts(chart, "tick")
        check(f"{name} {a['data-label']}: 1 to 12 ticks, the first and the last file's", 0 < len(ticks) <= 12 and
              ticks[-1] != ticks[0] or len(totals) == 1, str(ticks))
        values = texts(chart, "value")
        check(f"{name} {a['data-label']}: the first and last values", values[:1] == [str(totals[0])] and
              values[-1:] == [str(totals[-1])], str(values))
        check(f"{name} {a['data-label']}: no labels overlap", not overlapping(chart), str(overlapping(chart)))
        # Files at their dates: x in proportion to the time since the first.
        t = [calendar.timegm(time.strptime(f["modified"], "%Y-%m-%d %H:%M")) for f in want["files"]]
        x = [float(p["cx"]) for p in chart["points"]]
        if len(t) > 1:
            off = [(xi, ti) for xi, ti in zip(x, t) if abs((xi - x[0]) / (x[-1] - x[0]) - (ti - t[0]) / (t[-1] - t[0]))
                   * (x[-1] - x[0]) > 0.11]
            check(f"{name} {a['data-label']}: points at their dates", x == sorted(x) and not off, str(off))


def check_usage(report, work):
    missing = str(work / "missing.ini")
    for args in (["history"], ["history", missing], ["history", missing, missing, "--format", "csv"],
                 ["history", missing, missing, "--bogus"], ["--file", missing, "history", missing, missing],
                 ["--copy", "history", missing, missing], ["--format", "json", "history", missing, missing],
                 ["history", missing, missing, "--format"]):
        code, out, err = run(report, *args)
        check(f"usage {args}", code == 2 and out == b"" and "usage:" in err, f"exit {code} {err[:200]}")
    bad = work / "bad.ini"
    bad.write_bytes(b"[a\\]\r\nHPR1=1\r\nHPR9=5\r\n")
    good = work / "h0-0.ini"
    code, out, err = run(report, "history", str(good), str(bad), str(good))
    check("load error", code == 1 and out == b"" and err == f"{bad}:3: part number 9 is out of range (0 to 8): "
          "HPR9=5 -- if you edited the file by hand, fix this line and try again\n", f"exit {code} {err!r}")


def check_edges(report, work):
    """A total exactly on a rank boundary (the guide test is strict: the
    boundary the total sits on bounds the chart from below), and a date whose
    fields are exactly 10 (zero-padding only below 10)."""
    names = []
    for i in range(2):
        path = work / f"edge-{i}.ini"
        path.write_bytes(b"[a\\Hard]\r\nHPR1=240\r\n")
        when = calendar.timegm((2026, 10, 10, 1, 10, 0))  # 10:10 in Japan
        os.utime(path, (when, when))
        names.append(str(path))
    code, out, err = run(report, "history", *names, "--format", "html")
    page = Page()
    page.feed(out.decode("utf-8"))
    first = page.charts[0] if page.charts else {"attrs": {}, "texts": []}
    check("boundary total: chart bounds", (first["attrs"].get("data-lo"), first["attrs"].get("data-hi")) ==
          ("240", "480"), f"{code} {err} {first['attrs']}")
    check("boundary total: guide", "九級 480" in texts(first, "guide-label"), str(first))
    check("same date: files spaced evenly, ticked by number", texts(first, "tick") == ["1", "2"], str(first))
    code, out, err = run(report, "history", *names, "--format", "json")
    check("date fields of 10", b'"modified":"2026-10-10 10:10"' in out, f"{code} {err} {out[:200]!r}")


def main():
    report = sys.argv[1]
    rng = random.Random(20261208)
    base = calendar.timegm((2026, 12, 31, 14, 59, 0))  # a minute before New Year in Japan
    with tempfile.TemporaryDirectory() as tmp:
        work = Path(tmp)
        for case, (count, songs) in enumerate([(2, 9), (3, 12), (4, 30), (5, 1), (3, 0), (50, 12)]):
            tables = [[random_song(rng, pieces=TEXT_PIECES) for _ in range(songs)]]
            for i in range(1, count):
                tables.append(edited(rng, tables[-1], structural=i % 2 == 0)[0] if tables[-1] else
                              [random_song(rng, pieces=TEXT_PIECES)])
            names, mtimes, later = [], [], 0  # the 50 files: minutes to months apart
            for i, table in enumerate(tables):
                later += rng.choice([60, 3600, 86400, 86400 * 30]) if count == 50 else 0
                path = work / f"h{case}-{i}.ini"
                path.write_bytes(file_bytes(table))
                mtime = base + case * 86400 + i * 3659 + rng.randint(0, 59) + later
                os.utime(path, (mtime, mtime))
                names.append(str(path))
                mtimes.append(mtime)
            if not tables[0]:  # a file without a song is no score file
                code, out, err = run(report, "history", *names)
                check(f"case {case}: empty file refused", code == 1 and out == b"" and "holds no song" in err,
                      f"{code} {err}")
                continue
            want = expected_history(names, tables, mtimes)
            code, out, err = run(report, "history", *names, "--format", "json")
            check(f"case {case}: json exit", code == 0 and err == "" and out.endswith(b"]}\n") and
                  out.count(b"\n") == 1, f"{code} {err}")
            got = json.loads(out.decode("utf-8"))
            check(f"case {case}: json", got == want, f"\n got {str(got)[:900]}\nwant {str(want)[:900]}")
            check(f"case {case}: json key order", list(got) == ["files", "steps"] and
                  list(got["files"][0]) == ["file", "modified", "songs", "plays", "rank"])
            code, out, err = run(report, "history", *names, "--format", "html")
            check(f"case {case}: html exit", code == 0 and err == "", f"{code} {err}")
            check_html(f"case {case}", out, want)
            code, out, err = run(report, "history", *names)
            check(f"case {case}: text", code == 0 and out.startswith(f"history: {count} files\r\n".encode()) and
                  out.count(b"\n") == out.count(b"\r\n") and
                  all(f["modified"].encode() in out for f in want["files"]), f"{code} {err}")
        check_usage(report, work)
        check_edges(report, work)
    print(f"history: {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
