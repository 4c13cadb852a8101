#!/usr/bin/env bash
# Runs one fuzz target for longer than CI does and keeps what it finds.
# usage: tools/fuzz-long.sh [--target reader|scorefile|compare|versus|history] [SECONDS] [JOBS]
#   reader (default): the reader alone, the fast one for long runs;
#   scorefile: the reader and every view; compare: two files compared;
#   versus: two files set against each other; history: two to four files.
#   SECONDS defaults to 3600, JOBS to 1.
# QUILLBOX_FUZZ_MAX_LEN sets the largest input tried (default 4096 bytes);
# QUILLBOX_FUZZ_RUNS, when set, also stops the run after that many inputs.
# New interesting inputs go to build/fuzz/corpus-long-TARGET (seeded from
# the target's corpus in fuzz/); findings go to build/fuzz/findings-TARGET.
# Copy an input worth keeping into the target's corpus by hand.
set -euo pipefail
cd "$(dirname "$0")/.."
target=reader
if [ "${1:-}" = --target ]; then
  target=${2:?--target needs a name}
  shift 2
fi
case $target in
  reader | scorefile) seeds=fuzz/corpus dict=fuzz/scorefile.dict ;;
  compare | versus | history) seeds=fuzz/corpus-$target dict=fuzz/compare.dict ;;
  *) echo "unknown target: $target (reader, scorefile, compare, versus or history)" >&2; exit 2 ;;
esac
seconds=${1:-3600}
jobs=${2:-1}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "quillbox_fuzz_$target"
corpus=build/fuzz/corpus-long-$target
findings=build/fuzz/findings-$target
mkdir -p "$corpus" "$findings"
cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true

args=("$corpus" -dict="$dict" -max_total_time="$seconds"
      -max_len="${QUILLBOX_FUZZ_MAX_LEN:-4096}" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1
      -artifact_prefix="$findings/")
if [ -n "${QUILLBOX_FUZZ_RUNS:-}" ]; then
  args+=(-runs="$QUILLBOX_FUZZ_RUNS")
fi
if [ "$jobs" -gt 1 ]; then
  # Each worker fuzzes for the whole time and shares the corpus directory.
  args+=(-fork="$jobs")
fi
echo "fuzzing $target: ${args[*]}"
exec "build/fuzz/fuzz/quillbox_fuzz_$target" "${args[@]}"
