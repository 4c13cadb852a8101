#!/usr/bin/env python3
"""quillbox-report export, compare and versus, read back with Python's own json and
csv readers: every field of every song on generated files with titles that
are easy to get wrong and on the demo file; compare and versus on pairs with known edits;
usage and load errors.

usage: report_formats_test.py PATH/TO/quillbox-report EXAMPLES_DIR"""
import csv
import io
import json
import random
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent / "reference"))
from reference import PARTS, parse, rank_summary  # noqa: E402  (the independent reader)

FIELDS = ["hiPerfect", "playCount", "score1", "score2", "score3", "perfect1", "perfect2", "perfect3"]
RANGES = {"hiPerfect": (0, 255), "playCount": (-32768, 32767), "score": (-2**31, 2**31 - 1), "perfect": (0, 255)}
COLUMNS = ["song", "title", "part", "name", "hiPerfect", "playCount", "score1", "perfect1", "score2", "perfect2",
           "score3", "perfect3"]

# What a title can hold (it ends at the first backslash or line end): the
# bytes written and the text the reader gives back.
PIECES = [(b'"', '"'), (b",", ","), (b"\t", "\t"), (b'""', '""'), (b" ", " "), (b"Song", "Song"),
          (b"\x80", "\ufffd"), (b"\xa0", "\ufffd"), (b"\xfd", "\ufffd"), (b"\xff", "\ufffd"), (b"\x00", "\u2400"),
          (b"\x01", "\x01"), (b"\x1b", "\x1b"), (b"\x7f", "\x7f"), (b"'", "'"), (b";", ";"), (b"=", "="),
          (b"[", "["), (b"]", "]"), ("表".encode("cp932"), "表"), ("ソーダ".encode("cp932"), "ソーダ"),
          ("ｶﾅ".encode("cp932"), "ｶﾅ"), ("①".encode("cp932"), "①"), (b"\x0c\x08", "\x0c\x08")]

failures = 0


def check(name, ok, detail=""):
    global failures
    if not ok:
        failures += 1
        print(f"FAIL {name} {detail}"[:2000])


def random_title(rng):
    chosen = [rng.choice(PIECES) for _ in range(rng.randint(0, 5))]
    return b"".join(b for b, _ in chosen), "".join(t for _, t in chosen)


def random_value(rng, field):
    lo, hi = RANGES[field.rstrip("123")]
    return rng.choice([lo, hi, rng.randint(lo, hi), rng.randint(0, min(hi, 999))])


def random_song(rng, title=None):
    raw, text = title if title else random_title(rng)
    return {"raw": raw, "title": text,
            "values": {(p, f): random_value(rng, f) for p in range(1, 9) for f in FIELDS}}


def file_bytes(songs):
    """A score file as the game writes it; values in a random order within a song."""
    out = [b"; generated", b"[Options]", b"Volume=80"]
    for song in songs:
        out.append(b"[" + song["raw"] + b"\\Hard]")
        for (p, f), v in song["values"].items():
            key = {"hiPerfect": f"HPR{p}", "playCount": f"HPs{p}"}.get(f) or (
                f"SCORE{f[-1]}{p}" if f.startswith("score") else f"PR{f[-1]}{p}")
            out.append(f"{key}={v}".encode())
    return b"\r\n".join(out) + b"\r\n"


def from_reference(songs):
    """The songs of the independent reader in the same form."""
    out = []
    for s in songs[1:]:
        values = {}
        for p in range(1, 9):
            values[(p, "hiPerfect")], values[(p, "playCount")] = s["hp"][p], s["pc"][p]
            for r in (1, 2, 3):
                values[(p, f"score{r}")], values[(p, f"perfect{r}")] = s["bs"][p][r], s["bp"][p][r]
        out.append({"title": s["title"], "values": values})
    return out


def run(report, *args):
    p = subprocess.run([report, *args], capture_output=True, timeout=120)
    return p.returncode, p.stdout, p.stderr.decode("utf-8", "replace")


def check_export(report, name, path, songs, version):
    code, out, err = run(report, "--file", str(path), "export")
    check(f"{name}: json exit", code == 0 and err == "", f"{code} {err}")
    check(f"{name}: json ends with one LF, no BOM", out.endswith(b"}\n") and not out.startswith(b"\xef\xbb\xbf"))
    data = json.loads(out.decode("utf-8"))
    want = {"version": version, "songs": [
        {"song": i, "title": s["title"], "parts": [
            {"part": p, "name": PARTS[p], "hiPerfect": s["values"][(p, "hiPerfect")],
             "playCount": s["values"][(p, "playCount")],
             "best": [{"score": s["values"][(p, f"score{r}")], "perfect": s["values"][(p, f"perfect{r}")]}
                      for r in (1, 2, 3)]} for p in range(1, 9)]}
        for i, s in enumerate(songs, 1)]}
    check(f"{name}: json holds every field", data == want, f"\n got {str(data)[:600]}\nwant {str(want)[:600]}")
    # Key order is part of the shape.
    check(f"{name}: json key order", list(json.loads(out)) == ["version", "songs"] and
          (not songs or list(data["songs"][0]) == ["song", "title", "parts"]))

    rows = [[str(i), s["title"], str(p), PARTS[p]] + [str(s["values"][(p, f)]) for f in COLUMNS[4:]]
            for i, s in enumerate(songs, 1) for p in range(1, 9)]
    code, out, _ = run(report, "--file", str(path), "export", "--format", "csv")
    check(f"{name}: csv has BOM and only CR LF ends", code == 0 and out.startswith(b"\xef\xbb\xbf") and
          out.count(b"\n") == out.count(b"\r\n") == len(rows) + 1 and out.endswith(b"\r\n"))
    got = list(csv.reader(io.StringIO(out.decode("utf-8-sig"), newline="")))
    check(f"{name}: csv rows", got == [COLUMNS] + rows, f"\n got {got[:3]}\nwant {rows[:2]}")

    code, out, _ = run(report, "--file", str(path), "export", "--format", "tsv")
    tsv_rows = [[r[0], r[1].replace("\t", " ")] + r[2:] for r in rows]
    check(f"{name}: tsv no BOM, LF ends", code == 0 and not out.startswith(b"\xef\xbb\xbf") and b"\r" not in out)
    got = list(csv.reader(io.StringIO(out.decode("utf-8"), newline=""), delimiter="\t", quoting=csv.QUOTE_NONE))
    check(f"{name}: tsv rows", got == [COLUMNS] + tsv_rows, f"\n got {got[:3]}\nwant {tsv_rows[:2]}")


def expected_comparison(old, new):
    """Matching by the k-th song of each title, as the tool documents it."""
    pending = {}
    for i, s in enumerate(old, 1):
        pending.setdefault(s["title"], []).append(i)
    changes, added, matched = [], [], set()
    for i, s in enumerate(new, 1):
        if not pending.get(s["title"]):
            added.append({"song": i, "title": s["title"]})
            continue
        o = pending[s["title"]].pop(0)
        matched.add(o)
        for p in range(1, 9):
            for f in FIELDS:
                a, b = old[o - 1]["values"][(p, f)], s["values"][(p, f)]
                if a != b:
                    changes.append({"song": i, "title": s["title"], "part": p, "field": f, "old": a, "new": b})
    removed = [{"song": i, "title": s["title"]} for i, s in enumerate(old, 1) if i not in matched]

    def rank(songs):  # the reference reads the hi-perfect values only
        return rank_summary([None] + [{"hp": [0] + [s["values"][(p, "hiPerfect")] for p in range(1, 9)]}
                                      for s in songs])
    return {"changes": changes, "added": added, "removed": removed, "rank": {"old": rank(old), "new": rank(new)}}


def edited(rng, old, structural):
    """A copy with values raised and lowered, and when `structural`, songs
    removed, added and given titles that other songs already have."""
    new = [{"raw": s["raw"], "title": s["title"], "values": dict(s["values"])} for s in old]
    edits, wanted = set(), rng.randint(1, 12)
    while len(edits) < wanted:
        song, key = rng.randrange(len(new)), (rng.randint(1, 8), rng.choice(FIELDS))
        if (song + 1, *key) in edits:
            continue
        lo, hi = RANGES[key[1].rstrip("123")]
        value = new[song]["values"][key]
        new[song]["values"][key] = value + rng.randint(1, 9) if value < hi - 9 and (
            value < lo + 9 or rng.random() < 0.5) else value - rng.randint(1, 9)
        edits.add((song + 1, *key))
    if structural:
        for _ in range(min(len(new) - 1, rng.randint(1, 3))):
            new.pop(rng.randrange(len(new)))
        for _ in range(rng.randint(1, 4)):
            twin = rng.choice(old) if rng.random() < 0.5 else None
            song = random_song(rng, (twin["raw"], twin["title"]) if twin else None)
            new.insert(rng.randint(0, len(new)), song)
    return new, edits


def check_compare(report, work, rng):
    for case in range(40):
        dup = random_title(rng)
        old = [random_song(rng, dup if rng.random() < 0.3 else None) for _ in range(rng.randint(1, 25))]
        structural = case % 2 == 1
        new, edits = edited(rng, old, structural)
        paths = [work / f"old{case}.ini", work / f"new{case}.ini"]
        for path, songs in zip(paths, (old, new)):
            path.write_bytes(file_bytes(songs))
        want = expected_comparison(old, new)
        if not structural:  # with no song moved, the changes are exactly the edits made
            check(f"compare {case}: edits found", edits == {(c["song"], c["part"], c["field"]) for c in want["changes"]}
                  and not want["added"] and not want["removed"])
        code, out, err = run(report, "compare", str(paths[0]), str(paths[1]), "--format", "json")
        check(f"compare {case}: json exit", code == 0 and out.endswith(b"}\n"), f"{code} {err}")
        got = json.loads(out.decode("utf-8"))
        check(f"compare {case}: json", got == want, f"\n got {got}\nwant {want}")
        check(f"compare {case}: json key order", list(got) == ["changes", "added", "removed", "rank"])

        code, out, _ = run(report, "compare", str(paths[0]), str(paths[1]))
        songs = len({c["song"] for c in want["changes"]})
        parts = len({(c["song"], c["part"]) for c in want["changes"]})
        total = out.decode("utf-8").split("\r\n")[-2]
        plural = lambda n, noun: f"{n} {noun}" + ("" if n == 1 else "s")  # noqa: E731
        check(f"compare {case}: text totals", code == 0 and total.startswith(
            f"{plural(songs, 'song')} changed ({plural(parts, 'part')}, {plural(len(want['changes']), 'value')}), "
            f"{len(want['added'])} added, {len(want['removed'])} removed, "), total)

        code, out, _ = run(report, "compare", str(paths[1]), str(paths[1]), "--format", "json")
        check(f"compare {case}: a file with itself", code == 0 and json.loads(out)["changes"] == [] and
              json.loads(out)["added"] == json.loads(out)["removed"] == [])
    code, out, _ = run(report, "compare", str(paths[1]), str(paths[1]))
    check("compare text of a file with itself", code == 0 and out == (
        "no change\r\n+" + "-" * 62 + "+\r\n0 songs changed (0 parts, 0 values), 0 added, 0 removed, "
        "0 rank lines changed\r\n").encode(), repr(out))


def expected_versus(mine, theirs):
    """Wins, losses and draws counted one pair at a time, songs matched as compare matches them."""
    pending = {}
    for i, s in enumerate(theirs, 1):
        pending.setdefault(s["title"], []).append(i)
    tally = lambda: {"wins": 0, "losses": 0, "draws": 0}  # noqa: E731
    rows = {key: {"hiPerfect": tally(), "bestScore": tally()}
            for key in list(range(1, 9)) + ["front", "back", "standard", "added"]}
    trailing, only_mine, matched = [], [], set()
    for i, s in enumerate(mine, 1):
        if not pending.get(s["title"]):
            only_mine.append({"song": i, "title": s["title"]})
            continue
        t = pending[s["title"]].pop(0)
        matched.add(t)
        for p in range(1, 9):
            for field, key in (("hiPerfect", "hiPerfect"), ("bestScore", "score1")):
                a, b = s["values"][(p, key)], theirs[t - 1]["values"][(p, key)]
                word = "wins" if a > b else "losses" if a < b else "draws"
                for row in (p, "front" if p <= 4 else "back", "standard" if i <= 9 else "added"):
                    rows[row][field][word] += 1
            a, b = s["values"][(p, "hiPerfect")], theirs[t - 1]["values"][(p, "hiPerfect")]
            if a < b:
                trailing.append({"song": i, "theirSong": t, "title": s["title"], "part": p, "mine": a, "theirs": b})
    trailing.sort(key=lambda x: (x["mine"] - x["theirs"], x["song"], x["part"]))
    only_theirs = [{"song": i, "title": s["title"]} for i, s in enumerate(theirs, 1) if i not in matched]
    ranks = expected_comparison(mine, theirs)["rank"]
    return {"mine": {"songs": len(mine), "only": only_mine, "rank": ranks["old"]},
            "theirs": {"songs": len(theirs), "only": only_theirs, "rank": ranks["new"]},
            "matched": len(matched),
            "parts": [{"part": p, "name": PARTS[p], **rows[p]} for p in range(1, 9)],
            **{key: rows[key] for key in ("front", "back", "standard", "added")}, "trailing": trailing[:10]}


def check_versus(report, work, rng):
    for case in range(20):
        mine = [random_song(rng) for _ in range(rng.randint(1, 25))]
        theirs, _ = edited(rng, mine, case % 2 == 1)
        paths = [work / f"mine{case}.ini", work / f"theirs{case}.ini"]
        for path, songs in zip(paths, (mine, theirs)):
            path.write_bytes(file_bytes(songs))
        code, out, err = run(report, "versus", str(paths[0]), str(paths[1]), "--format", "json")
        check(f"versus {case}: json exit", code == 0 and out.endswith(b"}\n"), f"{code} {err}")
        got, want = json.loads(out.decode("utf-8")), expected_versus(mine, theirs)
        check(f"versus {case}: json", got == want and list(got) == list(want), f"\n got {got}\nwant {want}")


def check_usage(report, work, demo):
    missing = str(work / "missing.ini")
    for args in (["export", "--format", "text"], ["export", "--format"], ["--format", "json", "export"],
                 ["export", "extra"], ["--copy", "export"], ["--seed", "1", "export"], ["perfect", "--format", "json"],
                 ["compare", missing], ["compare", missing, missing, "--format", "csv"],
                 ["--file", missing, "compare", missing, missing], ["--copy", "compare", missing, missing],
                 ["--seed", "3", "compare", missing, missing], ["compare", missing, missing, "more"],
                 ["export", "--format", "json", "--format", "csv"], ["versus", missing],
                 ["versus", missing, missing, "--format", "html"], ["--copy", "versus", missing, missing],
                 ["versus", missing, missing, "more"], ["--file", missing, "versus", missing, missing],
                 ["--seed", "3", "versus", missing, missing]):
        code, out, err = run(report, "--file", missing, *args) if args[0] not in ("compare", "versus") else run(
            report, *args)
        check(f"usage {args}", code == 2 and out == b"" and "usage:" in err, f"exit {code}")
    bad = work / "bad.ini"
    bad.write_bytes(b"[a\\]\r\nHPR1=1\r\nHPR9=5\r\n")
    line = f"{bad}:3: part number 9 is out of range (0 to 8): HPR9=5 -- if you edited the file by hand, fix this line and try again\n"
    for args, want in ((["--file", str(bad), "export"], line), (["compare", str(bad), str(demo)], line),
                       (["compare", str(demo), str(bad)], line), (["versus", str(demo), str(bad)], line)):
        code, out, err = run(report, *args)
        check(f"load error {args}", code == 1 and out == b"" and err == want, f"exit {code} {err!r}")
    # The next step, after " -- ", fits what named the file: only a file that
    # --file could name (or its absence) points to --file.
    folder = work / "sub"
    folder.mkdir()
    named = "check the path and the file's name\n"
    for args, want in ((["--file", str(folder), "perfect"], "sub is a folder, not a file: name the score file\n"),
                       (["--file", missing, "perfect"],
                        "check the path; without --file the tool reads hsc.ini in its own folder\n"),
                       (["compare", str(demo), missing], named), (["versus", missing, str(demo)], named),
                       (["history", str(demo), missing], named)):
        code, out, err = run(report, *args)
        clause = err.split(" -- ", 1)[-1]
        check(f"next step {args}", code == 1 and out == b"" and clause == want, f"exit {code} {err!r}")


def main():
    report, examples = sys.argv[1], Path(sys.argv[2])
    version = (examples.parent / "CMakeLists.txt").read_text().split("project(quillbox VERSION ")[1].split()[0]
    rng = random.Random(20261207)
    with tempfile.TemporaryDirectory() as tmp:
        work = Path(tmp)
        for case, n in enumerate([0, 1, 9, 12, 40]):
            songs = [random_song(rng) for _ in range(n)]
            path = work / f"odd{case}.ini"
            path.write_bytes(file_bytes(songs))
            check_export(report, f"odd titles, {n} songs", path, songs, version)
        demo = examples / "hsc.ini"
        check_export(report, "demo", demo, from_reference(parse(demo.read_bytes())), version)
        check_compare(report, work, rng)
        check_versus(report, work, rng)
        check_usage(report, work, demo)
    print(f"report_formats: {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
