#!/usr/bin/env bash
# The fuzz targets: build them with the fuzz preset, replay each corpus as a
# test, then fuzz each for a bounded time (QUILLBOX_FUZZ_SECONDS each,
# default 30, so that the five stay under three minutes): the reader alone,
# the reader with every view, compare, versus and history. Any
# crash, sanitizer report, failed check, leak, timeout or out-of-memory
# fails the stage.
set -euo pipefail
cd "$(dirname "$0")/../.."

targets=(reader scorefile compare versus history)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]/#/quillbox_fuzz_}"
(cd build/fuzz && ctest -R '^fuzz_(reader|corpus|compare|versus|history)_replay$' --output-on-failure)

# Work on copies: new inputs the runs find must not end up in the repository.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for target in "${targets[@]}"; do
  case $target in
    compare | versus | history) seeds=fuzz/corpus-$target dict=fuzz/compare.dict ;;
    *) seeds=fuzz/corpus dict=fuzz/scorefile.dict ;;
  esac
  cp -r "$seeds" "$work/corpus-$target"
  mkdir -p "$work/artifacts-$target"
  set +e
  "build/fuzz/fuzz/quillbox_fuzz_$target" "$work/corpus-$target" \
    -dict="$dict" -max_total_time="${QUILLBOX_FUZZ_SECONDS:-30}" \
    -max_len=4096 -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts-$target/" >"$work/log-$target" 2>&1
  status=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log-$target")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log-$target")
  echo "fuzz $target: ${runs:-?} executions, ${speed:-?} a second"
  if [ $status -ne 0 ] || [ -n "$(ls -A "$work/artifacts-$target")" ]; then
    tail -n 60 "$work/log-$target"
    for f in "$work/artifacts-$target"/*; do
      [ -e "$f" ] || continue
      echo "finding of $target: $(basename "$f") ($(stat -c %s "$f") bytes), base64:"
      head -c 4096 "$f" | base64
    done
    echo "fuzz $target: FAILED (exit $status)"
    failed=1
  fi
done
if [ $failed -ne 0 ]; then
  echo "fuzz: FAILED"
  exit 1
fi
echo "fuzz: no finding"
