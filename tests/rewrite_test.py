#!/usr/bin/env python3
"""The report tool reading a score file that another program keeps
rewriting in place, as the game saves hsc.ini when a song ends: truncated,
then written in 64 KiB pieces, then a rest. Every read must either show the
whole file (all its songs) or fail with the message that the file kept
changing; and enough reads must get through to be of use.

usage: rewrite_test.py PATH/TO/quillbox-report [--reads N] [--songs N] [--rest-ms N]
                       [--min-success-share X]

Prints one line of counts; exit 1 when a half-written file was shown as
whole, a read failed for another reason, or fewer reads than the share
succeeded."""
import argparse
import json
import os
import subprocess
import sys
import tempfile
import time

PIECE = 64 * 1024


def score_file(songs):
    """A score file as the game writes it: every key of every part."""
    lines = []
    for i in range(songs):
        lines.append(f"[song {i}\\Hard]")
        for part in range(1, 9):
            lines += [f"HPR{part}={(i + part) % 200}", f"HPs{part}={i % 50}"]
            for rank in range(1, 4):
                lines += [f"PR{rank}{part}={(i * rank) % 200}", f"SCORE{rank}{part}={i * 1000 + part * 10 + rank}"]
    return ("\r\n".join(lines) + "\r\n").encode()


def rewrite(path, data, rest):
    """Rewrites `path` again and again until killed."""
    while True:
        fd = os.open(path, os.O_WRONLY | os.O_TRUNC)
        for at in range(0, len(data), PIECE):
            os.write(fd, data[at:at + PIECE])
        os.close(fd)
        if rest > 0:
            time.sleep(rest)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("report")
    parser.add_argument("--reads", type=int, default=300)
    parser.add_argument("--songs", type=int, default=3000)
    parser.add_argument("--rest-ms", type=float, default=50)
    parser.add_argument("--min-success-share", type=float, default=0.1)
    parser.add_argument("--writer", nargs=2, help=argparse.SUPPRESS)  # PATH REST: the rewriting process
    args = parser.parse_args()
    if args.writer:
        with open(args.writer[0], "rb") as f:
            data = f.read()
        rewrite(args.writer[0], data, float(args.writer[1]))
        return 0

    data = score_file(args.songs)
    whole = half = changing = other = 0
    started = time.monotonic()
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "hsc.ini")
        with open(path, "wb") as f:
            f.write(data)
        writer = subprocess.Popen([sys.executable, __file__, args.report, "--writer", path, str(args.rest_ms / 1000)])
        try:
            for _ in range(args.reads):
                p = subprocess.run([args.report, "--file", path, "export"], capture_output=True, timeout=60)
                err = p.stderr.decode("utf-8", "replace")
                if p.returncode == 0:
                    songs = len(json.loads(p.stdout)["songs"])
                    if songs == args.songs:
                        whole += 1
                    else:
                        half += 1
                        print(f"half-written file shown as whole: {songs} of {args.songs} songs")
                elif p.returncode == 1 and "kept changing" in err and "-- try again in a moment" in err:
                    changing += 1
                else:
                    other += 1
                    print(f"unexpected failure, exit {p.returncode}: {err.strip()}")
        finally:
            writer.kill()
            writer.wait()
    seconds = time.monotonic() - started
    print(f"rewrite ({args.songs} songs, {len(data)} bytes, {args.rest_ms:g} ms rest): {args.reads} reads, "
          f"{whole} whole, {changing} told the file kept changing, {half} half-written shown as whole, "
          f"{other} other failures ({seconds:.1f} s)")
    return 1 if half or other or whole < args.min_success_share * args.reads else 0


if __name__ == "__main__":
    sys.exit(main())
