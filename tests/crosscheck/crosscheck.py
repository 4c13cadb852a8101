#!/usr/bin/env python3
"""Windows and Linux must print the same bytes: runs every view, --copy,
seeded picks, export, compare and history on the same generated score files through
the native report tool and through the Windows one under wine (each a batch
build that takes all runs in one process and writes its error lines among
its output; wine's own messages are left out), and fails on any difference.

usage: crosscheck.py NATIVE_BATCH WINDOWS_BATCH_EXE"""
import os
import random
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "reference"))
from reference import generate  # noqa: E402  (the reference's file generator)

EXAMPLES = Path(__file__).resolve().parents[2] / "examples" / "hsc.ini"
ZONE = "Europe/Berlin"


def odd_files():
    """Files built around the bytes where converters are most likely to differ."""
    titles = {
        "undefined-singles": b"[a\x80b\xA0c\xFDd\xFEe\xFF]",
        "trail-80-a0": b"[\x81\x80\x88\xA0\x81\xFD]",
        "backslash-trails": b"[\x95\x5C\x83\x5C\x94\x5C\x8F\x5C]",
        "broken-pairs": b"[\x81\x0A\x82\xE0\x20\x9F]",
        "lead-at-end": b"[ok\x82",
        "katakana-half": b"[\xB1\xB2\xB3\xDF\xA1]",
        "nec-specials": b"[\x87\x40\x87\x54\x87\x82\x87\x8A\x87\x9C]",
        "ibm-extensions": b"[\xFA\x40\xFA\x55\xFB\x40\xFC\x4B\xED\x40\xEE\xFC]",
        "user-defined": b"[\xF0\x40\xF9\xFC]",
        "symbols": b"[\x81\x5F\x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA]",
        "nul-bytes": b"[a\x00b\x00]",
        "controls": b"[\x01\x1B\x7F\x09]",
    }
    files = {}
    for name, title in titles.items():
        body = title + b"\\Hard]\r\nHPR1=5\r\nHPs3=7\r\nSCORE11=912345\r\nPR11=87\r\n"
        files[name] = body + b"[second\\]\r\nHPR8=255\r\n"
        files[name + "-error"] = body + b"HPR9=" + title + b"\r\n"
    files["cr-only"] = b"[a\\]\rHPR1=1\r[b\\]\rHPR2=2\r"
    files["lf-only"] = b"[a\\]\nHPR1=1\n[\x95\x5C\\]\nHPR2=2\n"
    files["mixed-ends"] = b"[a\\]\r\nHPR1=1\n[b\\]\rHPR2=2\r\n\r\n"
    files["empty"] = b""
    files["no-title"] = b"\\x\r\n"
    return files


def commands(name, songs):
    runs = [["perfect"], ["score"], ["playcount"], ["rank"], ["--copy", "perfect"], ["--copy", "rank"],
            ["export"], ["export", "--format", "csv"], ["export", "--format", "tsv"]]
    if songs > 0:
        runs += [["detail", "1", "1"], ["detail", str(songs), "8"], ["--copy", "detail", "1", "3"]]
    for seed in ("1", "20261207", "18446744073709551615"):
        runs += [["--seed", seed, "random"], ["--seed", seed, "weighted"], ["--copy", "--seed", seed, "weighted"]]
    # The language is named: the two systems' own could differ.
    compares = [["compare", "demo.ini", name, "--lang", "en"], ["compare", "demo.ini", name, "--lang", "ja"],
                ["compare", name, "demo.ini", "--format", "json"],
                ["versus", name, "demo.ini", "--lang", "en"], ["versus", name, "demo.ini", "--lang", "ja"],
                ["versus", "demo.ini", name, "--format", "json"],
                ["history", "demo.ini", name, "demo.ini", "--lang", "en"],
                ["history", "demo.ini", name, "demo.ini", "--lang", "ja"],
                ["history", name, "demo.ini", "--format", "json"]]
    if name == "demo.ini":
        compares.append(["history", "demo.ini", "demo.ini", "--format", "html", "--lang", "en"])
        compares.append(["history", "demo.ini", "demo.ini", "--format", "html", "--lang", "ja"])
        # A slash begins an operand, not an option, on Windows as elsewhere.
        compares.append(["--file", "demo.ini", "detail", "/1", "1"])
    return ["\t".join(["--file", name] + run) for run in runs] + ["\t".join(run) for run in compares]


def runs_of(output):
    """Each run's (output, exit status), in order."""
    parts = output.split(b"\n== exit ")
    runs, text = [], parts[0]
    for part in parts[1:]:
        code, _, rest = part.partition(b"\n")
        runs.append((text, code))
        text = rest
    return runs


def main():
    native, windows = (str(Path(p).resolve()) for p in sys.argv[1:3])
    rng = random.Random(932)
    files = {"demo": EXAMPLES.read_bytes(), **odd_files()}
    for i, n in enumerate([0, 1, 9, 10, 27, 40, 500, 2000, 3000]):
        files[f"generated-{i}-{n}"] = generate(rng, n)
    with tempfile.TemporaryDirectory() as tmp:
        work = Path(tmp)
        lines = []
        for i, (name, data) in enumerate(files.items()):
            (work / f"{name}.ini").write_bytes(data)
            # history shows modification times in local time: times on both
            # sides of a summer-time change, read in a zone that has one.
            mtime = 1774746000 + (i - len(files) // 2) * 3599
            os.utime(work / f"{name}.ini", (mtime, mtime))
            lines += commands(f"{name}.ini", data.count(b"\\"))
        script = "\n".join(lines) + "\n"
        outputs = []
        for program in ([native], ["wine", windows]):
            run = subprocess.run(program, input=script.encode("utf-8"), cwd=work, stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL, timeout=1200, env={**os.environ, "TZ": ZONE})
            outputs.append(runs_of(run.stdout))
    native_out, windows_out = outputs
    differences = 0
    if not len(native_out) == len(windows_out) == len(lines):
        print(f"crosscheck: {len(lines)} runs asked, {len(native_out)} native, {len(windows_out)} on Windows")
        differences += 1
    for command, a, b in zip(lines, native_out, windows_out):
        if a != b:
            differences += 1
            if differences <= 5:
                print(f"DIFFERENT: {command!r}\n  native:  {a[:300]!r}\n  windows: {b[:300]!r}")
    print(f"crosscheck: {len(files)} files, {len(lines)} runs, {differences} differences")
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
