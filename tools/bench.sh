#!/usr/bin/env bash
# tools/bench.sh [BENCHMARK OPTIONS]: builds the release preset and runs every
# benchmark with repetitions, reporting medians and spreads. The figures in
# docs/performance.md come from this. Extra options go to both programs,
# e.g. --benchmark_filter=Chart. Then bench/whole_program.py times the report
# tool as a whole process.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh core qt
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" --target quillbox_bench quillbox_qt_bench quillbox-scoregen quillbox-report

options=(--benchmark_repetitions="${REPETITIONS:-5}" --benchmark_report_aggregates_only=true "$@")
build/release/bench/quillbox_bench "${options[@]}"
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" build/release/bench/qt/quillbox_qt_bench "${options[@]}"

# The report tool as a whole process, against wc -l and a memory budget.
python3 bench/whole_program.py build/release
