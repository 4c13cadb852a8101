#!/usr/bin/env python3
"""Runs quillbox-report on each golden case and compares its bytes with the
baselines beside it (see README.md in this folder).

usage: golden.py REPORT_EXE [CASE ...]   (no CASE: every case, and no stray baselines)
QUILLBOX_GOLDEN_UPDATE=1 rewrites the baselines from what the tool prints now.
"""
import calendar
import difflib
import os
import subprocess
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
UPDATE = os.environ.get("QUILLBOX_GOLDEN_UPDATE") == "1"

# history prints each file's modification time in local time: the files get
# these (UTC) and the tool runs in Japan's zone, whatever the machine's.
MTIMES = {"demo.ini": "2026-11-01 11:00", "played.ini": "2026-11-15 12:30", "later.ini": "2026-12-06 10:05"}
ZONE = "JST-9"

# The language of compare, versus and history follows the locale unless
# --lang names one: every run gets the same, English one.
ENV = {k: v for k, v in os.environ.items() if k not in ("LC_ALL", "LC_MESSAGES", "LANG")}
ENV.update({"TZ": ZONE, "LANG": "C"})


def set_mtimes():
    for name, when in MTIMES.items():
        seconds = calendar.timegm(tuple(map(int, when.replace("-", " ").replace(":", " ").split())) + (0, 0, 0, 0))
        os.utime(HERE / name, (seconds, seconds))


def baselines(case):
    """The command names of a case: '<case>.<command>.out' files."""
    return sorted(p.name[len(case) + 1 : -len(".out")] for p in HERE.glob(case + ".*.out"))


def shown(data):
    """Bytes as readable lines: UTF-8 where it is, control bytes escaped."""
    text = data.decode("utf-8", errors="backslashreplace")
    lines = []
    for line in text.splitlines(keepends=True):
        lines.append("".join(c if c >= " " or c == "\n" else "\\x%02x" % ord(c) for c in line))
    if lines and not lines[-1].endswith("\n"):
        lines[-1] += "  (no line end)\n"
    return lines


def compare(name, want, got):
    if want == got:
        return True
    sys.stdout.writelines(difflib.unified_diff(shown(want), shown(got), name + " (baseline)", name + " (now)"))
    print()
    return False


def run_case(report, case):
    if not (HERE / (case + ".ini")).is_file():
        print("FAIL %s: no %s.ini" % (case, case))
        return False
    commands = baselines(case)
    if not commands:
        print("FAIL %s: no baselines (add an empty %s.COMMAND.out and update)" % (case, case))
        return False
    ok = True
    for command in commands:
        words = command.split("+")
        # compare, versus and history name their files themselves and take no --file.
        args = [report] + ([] if words[0] in ("compare", "versus", "history") else ["--file", case + ".ini"]) + words
        run = subprocess.run(args, cwd=HERE, capture_output=True, check=False, env=ENV)
        # A failure is kept as its status line and standard error; success
        # has no .err file at all.
        err = b"" if run.returncode == 0 else b"exit %d\n" % run.returncode + run.stderr
        out_file = HERE / ("%s.%s.out" % (case, command))
        err_file = HERE / ("%s.%s.err" % (case, command))
        if UPDATE:
            out_file.write_bytes(run.stdout)
            if err:
                err_file.write_bytes(err)
            elif err_file.exists():
                err_file.unlink()
            print("updated %s.%s" % (case, command))
            continue
        want_err = err_file.read_bytes() if err_file.exists() else b""
        good = compare(out_file.name, out_file.read_bytes(), run.stdout)
        good = compare(err_file.name, want_err, err) and good
        if run.returncode == 0 and run.stderr:
            print("%s.%s: exit 0 but standard error says:\n%s" % (case, command, run.stderr.decode(errors="replace")))
            good = False
        print("%s %s.%s" % ("ok  " if good else "FAIL", case, command))
        ok = ok and good
    return ok


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    report = sys.argv[1]
    cases = sys.argv[2:]
    set_mtimes()
    ok = True
    if not cases:
        cases = sorted(p.stem for p in HERE.glob("*.ini"))
        for stray in sorted(HERE.glob("*.out")) + sorted(HERE.glob("*.err")):
            if not (HERE / (stray.name.split(".")[0] + ".ini")).exists():
                print("FAIL %s: a baseline without its case" % stray.name)
                ok = False
    for case in cases:
        ok = run_case(report, case) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
