#!/usr/bin/env python3
"""The report tool as a user meets it, against the limits of the machine.

usage: bench/whole_program.py [BUILD_DIR] [--runs N]

Times `quillbox-report --file F rank` as a whole process against `wc -l F`
on a 100 000-song file (the file in the page cache), and at 2 000 songs
against the report tool on an empty file (start-up). Peak resident memory
comes from /usr/bin/time. Medians of N runs, measured side by side in one
run, so that the ratios hold on a busy machine. BUILD_DIR defaults to
build/release, which tools/bench.sh builds.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def wall(command, runs):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def peak_kb(command):
    result = subprocess.run(['/usr/bin/time', '-f', '%M'] + command, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, check=True, text=True)
    return int(result.stderr.strip().splitlines()[-1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('build', nargs='?', default='build/release')
    parser.add_argument('--runs', type=int, default=5)
    args = parser.parse_args()
    report = os.path.join(args.build, 'report', 'quillbox-report')
    scoregen = os.path.join(args.build, 'bench', 'quillbox-scoregen')
    for program in (report, scoregen, '/usr/bin/time', shutil.which('wc')):
        if not program or not os.path.exists(program):
            sys.exit(f'whole_program: {program} is missing (build with tools/bench.sh; apt install time)')

    with tempfile.TemporaryDirectory() as folder:
        files = {}
        for songs in (0, 2000, 100000):
            files[songs] = os.path.join(folder, f'{songs}.ini')
            with open(files[songs], 'wb') as out:
                subprocess.run([scoregen, str(songs)], stdout=out, check=True)
        for name in files.values():  # into the page cache
            subprocess.run(['cat', name], stdout=subprocess.DEVNULL, check=True)

        def run(songs):
            return [report, '--file', files[songs], 'rank']

        big = files[100000]
        size_mb = os.path.getsize(big) / 1e6
        rows = []
        t_report = wall(run(100000), args.runs)
        t_wc = wall(['wc', '-l', big], args.runs)
        rows.append(('100 000 songs, report over wc -l', f'{t_report * 1e3:.0f} ms / {t_wc * 1e3:.1f} ms',
                     t_report / t_wc, 8.0))
        t_small = wall(run(2000), args.runs)
        t_empty = wall(run(0), args.runs)
        rows.append(('2 000 songs, report over an empty file', f'{t_small * 1e3:.1f} ms / {t_empty * 1e3:.1f} ms',
                     t_small / t_empty, 3.0))
        peak_mb = peak_kb(run(100000)) * 1024 / 1e6
        budget = size_mb / 2 + 40
        rows.append(('100 000 songs, peak memory over half the file + 40 MB',
                     f'{peak_mb:.0f} MB / {budget:.0f} MB (file {size_mb:.0f} MB)', peak_mb / budget, 1.0))

    print(f'{"what":56} {"figures":36} {"ratio":>7} {"target":>7}  met')
    for what, figures, ratio, target in rows:
        print(f'{what:56} {figures:36} {ratio:7.2f} {target:7.2f}  {"yes" if ratio <= target else "NO"}')


if __name__ == '__main__':
    main()
