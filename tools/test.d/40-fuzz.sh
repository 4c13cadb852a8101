#!/usr/bin/env bash
# The score-file fuzzer: build with the fuzz preset, replay the corpus as a
# test, then fuzz for about a minute. Any crash, sanitizer report, failed
# check, leak, timeout or out-of-memory fails the stage.
set -euo pipefail
cd "$(dirname "$0")/../.."

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target quillbox_fuzz_scorefile
(cd build/fuzz && ctest -R '^fuzz_corpus_replay$' --output-on-failure)

# Work on a copy: new inputs the run finds must not end up in the repository.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r fuzz/corpus "$work/corpus"
mkdir -p "$work/artifacts"

set +e
build/fuzz/fuzz/quillbox_fuzz_scorefile "$work/corpus" \
  -dict=fuzz/scorefile.dict -max_total_time="${QUILLBOX_FUZZ_SECONDS:-60}" \
  -max_len=4096 -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" >"$work/log" 2>&1
status=$?
set -e
grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|Done [0-9]+ runs)' "$work/log" || true
if [ $status -ne 0 ] || [ -n "$(ls -A "$work/artifacts")" ]; then
  tail -n 60 "$work/log"
  for f in "$work"/artifacts/*; do
    [ -e "$f" ] || continue
    echo "finding: $(basename "$f") ($(stat -c %s "$f") bytes), base64:"
    head -c 4096 "$f" | base64
  done
  echo "fuzz: FAILED (exit $status)"
  exit 1
fi
echo "fuzz: no finding"
