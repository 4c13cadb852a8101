#!/usr/bin/env python3
"""Builds of the report tool and the core benchmarks, timed in turn.

usage: bench/side_by_side.py BUILD_DIR... [--rounds N] [--no-bench]

Each round runs `quillbox-report --file F rank` on a 100 000-song file (in
the page cache) and `quillbox-report history F G` of two such files once per
build, then, unless --no-bench, `quillbox_bench
--benchmark_filter=BM_ParseBytes` once per build; the order is reversed every
other round. A busy machine slows some rounds more than others, so each
build is given as the median of its round-by-round ratios to the first build
given (the reference), beside its median time. Every BUILD_DIR is a release
build with -DQUILLBOX_BUILD_BENCH=ON; docs/performance.md tells how the
fast paths of the reader were weighed with it.
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time


def wall(command):
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('builds', nargs='+')
    parser.add_argument('--rounds', type=int, default=9)
    parser.add_argument('--no-bench', action='store_true')
    args = parser.parse_args()
    whole = {b: [] for b in args.builds}
    history = {b: [] for b in args.builds}
    parse = {b: {} for b in args.builds}
    with tempfile.TemporaryDirectory() as folder:
        big = os.path.join(folder, '100000.ini')
        with open(big, 'wb') as out:
            subprocess.run([os.path.join(args.builds[0], 'bench', 'quillbox-scoregen'), '100000'], stdout=out,
                           check=True)
        other = os.path.join(folder, '100000-2.ini')
        with open(other, 'wb') as out:
            subprocess.run([os.path.join(args.builds[0], 'bench', 'quillbox-scoregen'), '100000', '2'], stdout=out,
                           check=True)
        subprocess.run(['cat', big, other], stdout=subprocess.DEVNULL, check=True)
        for r in range(args.rounds):
            order = args.builds if r % 2 == 0 else args.builds[::-1]
            for b in order:
                whole[b].append(wall([os.path.join(b, 'report', 'quillbox-report'), '--file', big, 'rank']))
                history[b].append(wall([os.path.join(b, 'report', 'quillbox-report'), 'history', big, other]))
            for b in [] if args.no_bench else order:
                out = subprocess.run([os.path.join(b, 'bench', 'quillbox_bench'), '--benchmark_filter=BM_ParseBytes',
                                      '--benchmark_format=json'], capture_output=True, text=True, check=True).stdout
                for bench in json.loads(out)['benchmarks']:
                    parse[b].setdefault(bench['name'], []).append(bench['real_time'])
            print(f'round {r + 1} of {args.rounds}, load {os.getloadavg()[0]:.1f}', file=sys.stderr)

    def paired(times, reference):
        return statistics.median(a / b for a, b in zip(times, reference))

    reference = args.builds[0]
    for b in args.builds:
        line = f'{b}: whole program {statistics.median(whole[b]) * 1e3:.0f} ms, {paired(whole[b], whole[reference]):.3f}'
        line += f'; history {statistics.median(history[b]) * 1e3:.0f} ms, {paired(history[b], history[reference]):.3f}'
        for name, times in sorted(parse[b].items()):
            line += f'; {name} {statistics.median(times):.2f} ms, {paired(times, parse[reference][name]):.3f}'
        print(line)


if __name__ == '__main__':
    main()
