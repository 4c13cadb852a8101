#!/usr/bin/env bash
# Runs the score-file fuzzer for longer than CI does and keeps what it finds.
# usage: tools/fuzz-long.sh [SECONDS] [JOBS]      (default: 3600 seconds, 1 job)
# QUILLBOX_FUZZ_MAX_LEN sets the largest input tried (default 4096 bytes).
# New interesting inputs go to build/fuzz/corpus-long (seeded from
# fuzz/corpus); findings go to build/fuzz/findings. Copy an input worth
# keeping into fuzz/corpus by hand.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-3600}
jobs=${2:-1}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target quillbox_fuzz_scorefile
mkdir -p build/fuzz/corpus-long build/fuzz/findings
cp -n fuzz/corpus/* build/fuzz/corpus-long/ 2>/dev/null || true

args=(build/fuzz/corpus-long -dict=fuzz/scorefile.dict -max_total_time="$seconds"
      -max_len="${QUILLBOX_FUZZ_MAX_LEN:-4096}" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1
      -artifact_prefix=build/fuzz/findings/)
if [ "$jobs" -gt 1 ]; then
  # Each worker fuzzes for the whole time and shares the corpus directory.
  args+=(-fork="$jobs")
fi
exec build/fuzz/fuzz/quillbox_fuzz_scorefile "${args[@]}"
