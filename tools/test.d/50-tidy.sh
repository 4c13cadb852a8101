#!/usr/bin/env bash
# clang-tidy over our own code with the checks in .clang-tidy; any finding
# fails the stage. Covered: the core (base, scores, ranks, views, render,
# core), the report tool, the fuzz target, the unit and hostile-file tests with their helpers and,
# when Qt 6 is installed, the Qt window (ui/qt), all from the compile database
# of a clang build configured in build/tidy. Not covered: ui/win32 (Windows headers only),
# tests/qt and bench/.
set -euo pipefail
cd "$(dirname "$0")/../.."

tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
configure() {
  cmake -S . -B build/tidy -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
    -DQUILLBOX_BUILD_TESTS=ON -DQUILLBOX_BUILD_BENCH=OFF -DQUILLBOX_BUILD_FUZZ=OFF \
    -DQUILLBOX_BUILD_QT="$1" >/dev/null
}
patterns=('base/*.cpp' 'core/*.cpp' 'scores/*.cpp' 'ranks/*.cpp' 'views/*.cpp' 'render/*.cpp' 'report/*.cpp'
          'fuzz/*.cpp'
          ':(glob)tests/*.cpp' 'tests/support/*.cpp' 'tests/hostile/*.cpp')
if configure ON 2>/dev/null && grep -q '/ui/qt/' build/tidy/compile_commands.json; then
  patterns+=('ui/qt/*.cpp')
else
  echo "clang-tidy: no Qt build here, ui/qt not checked"
  configure OFF
fi
files=$(git ls-files "${patterns[@]}")
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Two files at a time: the machine has two cores.
status=0
printf '%s\n' $files | xargs -P 2 -n 1 "$tidy" -p build/tidy --quiet >"$log" 2>&1 || status=$?
grep -E '(warning|error): ' "$log" | sort -u || true
count=$(grep -cE '(warning|error): .*\[[a-z0-9.,-]+\]$' "$log" || true)
checked=$(printf '%s\n' $files | wc -l)
echo "clang-tidy: $checked files, $count findings"
[ "$status" -eq 0 ] && [ "$count" -eq 0 ]
