#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the core
# tests (plain and under sanitizers), the windows' tests and the fuzzer.
# Each stage lives in tools/test.d/ and runs in name order.
set -uo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh all || { echo "setup failed"; exit 1; }

passed=0 failed=0 failedNames=()
for stage in tools/test.d/*.sh; do
  name=$(basename "$stage" .sh)
  echo "=== stage $name"
  if bash "$stage"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1)); failedNames+=("$name")
    echo "=== stage $name FAILED"
  fi
done
[ $failed -eq 0 ] || echo "failed stages: ${failedNames[*]}"
echo "stages: $passed passed, $failed failed"
[ $failed -eq 0 ]
