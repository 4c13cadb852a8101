#!/usr/bin/env bash
# How much of the layers a score file's bytes pass through (scores/, ranks/,
# views/, render/) the fuzz corpora reach: builds every fuzz target's corpus
# replay with clang's source-based coverage, replays each corpus, and prints
# the lines reached per file and in total. Fails below QUILLBOX_COVERAGE_MIN
# percent (default 90).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/coverage
flags="-fprofile-instr-generate -fcoverage-mapping"
major=$(clang++ --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n 1)
tool() { if command -v "$1-$major" >/dev/null; then echo "$1-$major"; else echo "$1"; fi; }
profdata=$(tool llvm-profdata)
cov=$(tool llvm-cov)

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DQUILLBOX_BUILD_QT=OFF \
  -DQUILLBOX_BUILD_TESTS=ON -DQUILLBOX_BUILD_FUZZ=OFF "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null

# target:corpus
runs=(reader:corpus scorefile:corpus compare:corpus-compare versus:corpus-versus history:corpus-history)
targets=()
for run in "${runs[@]}"; do targets+=("quillbox_fuzz_${run%%:*}_replay"); done
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null

profiles=$(mktemp -d)
trap 'rm -rf "$profiles"' EXIT
objects=()
for run in "${runs[@]}"; do
  target=${run%%:*} corpus=${run#*:}
  program=$build/fuzz/quillbox_fuzz_${target}_replay
  LLVM_PROFILE_FILE="$profiles/$target.profraw" "$program" "fuzz/$corpus" >/dev/null
  objects+=(-object "$program")
done
"$profdata" merge -sparse "$profiles"/*.profraw -o "$profiles/all.profdata"
"$cov" export -summary-only -instr-profile="$profiles/all.profdata" "${objects[@]:1}" \
  >"$profiles/summary.json"

# A file is named through the build's include roots and from each program;
# each counts once, by its real path, as reached from the program that
# reaches most of it.
python3 - "$profiles/summary.json" "$PWD/" "${QUILLBOX_COVERAGE_MIN:-90}" <<'PY'
import json, os, sys
summary = json.load(open(sys.argv[1]))["data"][0]
root, minimum = sys.argv[2], float(sys.argv[3])
layers = ("scores/", "ranks/", "views/", "render/")
files = {}
for f in summary["files"]:
    name = os.path.realpath(f["filename"]).removeprefix(root)
    lines = f["summary"]["lines"]
    if name.startswith(layers) and lines["count"] > 0:
        if name not in files or lines["covered"] > files[name]["covered"]:
            files[name] = lines
print(f"| {'file':<26} | {'lines':>5} | {'reached':>7} | {'%':>6} |")
print(f"|{'-' * 28}|{'-' * 7}|{'-' * 9}|{'-' * 8}|")
for name in sorted(files):
    lines = files[name]
    print(f"| {name:<26} | {lines['count']:>5} | {lines['covered']:>7} | {lines['percent']:>6.2f} |")
count = sum(lines["count"] for lines in files.values())
covered = sum(lines["covered"] for lines in files.values())
percent = 100 * covered / count
print(f"| {'total':<26} | {count:>5} | {covered:>7} | {percent:>6.2f} |")
if percent < minimum:
    sys.exit(f"coverage: {percent:.2f} % of the lines, below {minimum} %")
PY
