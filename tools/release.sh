#!/usr/bin/env bash
# Builds a release from the last commit and writes dist/: the Windows zip,
# the Linux archive and SHA256SUMS. It builds everything twice, in two fresh
# clones at different paths, and fails unless both give the same bytes:
# anyone can rebuild a release from its commit and compare.
# usage: tools/release.sh [--once]   (--once: a single build, no comparison)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
runs=2
"$repo/tools/setup.sh" core qt win32 release
[ "${1:-}" = --once ] && runs=1

commit=$(git -C "$repo" rev-parse HEAD)
if [ -n "$(git -C "$repo" status --porcelain)" ]; then
  echo "release: note: uncommitted changes are not in the release; it is built from $commit"
fi
# Every time in the archives is the commit's.
SOURCE_DATE_EPOCH=$(git -C "$repo" log -1 --format=%ct "$commit")
# rcc would store the clone's file times in the Qt window's resources.
QT_RCC_SOURCE_DATE_OVERRIDE=$SOURCE_DATE_EPOCH
export SOURCE_DATE_EPOCH QT_RCC_SOURCE_DATE_OVERRIDE TZ=UTC LC_ALL=C.UTF-8
version=$(git -C "$repo" show "$commit:CMakeLists.txt" | sed -n 's/^project(quillbox VERSION \([0-9.]*\) .*/\1/p')
[ -n "$version" ] || { echo "release: no version in CMakeLists.txt"; exit 1; }

work=$(mktemp -d /tmp/quillbox-release.XXXXXX)
trap 'rm -rf "$work"' EXIT

# One whole release from a fresh clone of the commit at $1: nothing
# uncommitted or ignored in this checkout can leak in.
build() {
  local src=$1
  git clone -q --no-checkout "$repo" "$src"
  git -C "$src" -c advice.detachedHead=false checkout -q "$commit"
  echo "release: building $version ($commit) in $src"
  for preset in dist-win64 dist-linux; do
    (cd "$src" && cmake --preset $preset >/dev/null && cmake --build --preset $preset >/dev/null)
  done
  bash "$src/tools/release/package.sh" "$src" "$src/dist" "$version" win
  bash "$src/tools/release/package.sh" "$src" "$src/dist" "$version" linux
  (cd "$src/dist" && sha256sum "quillbox-$version-win64.zip" "quillbox-$version-linux-x86_64.tar.gz" > SHA256SUMS)
}

build "$work/first/quillbox"
if [ $runs -eq 2 ]; then
  build "$work/second-build-at-another-path/src"
  if ! diff "$work/first/quillbox/dist/SHA256SUMS" "$work/second-build-at-another-path/src/dist/SHA256SUMS"; then
    echo "release: FAILED: the two builds differ"
    exit 1
  fi
  echo "release: both builds give the same bytes"
fi

python3 "$work/first/quillbox/tools/release/check.py" "$work/first/quillbox/dist/quillbox-$version-win64.zip"
# The Linux archive too: one folder, nothing beside it.
if tar -tzf "$work/first/quillbox/dist/quillbox-$version-linux-x86_64.tar.gz" | grep -v "^quillbox-$version/"; then
  echo "release: FAILED: the Linux archive holds the names above outside quillbox-$version/"
  exit 1
fi
mkdir -p "$repo/dist"
for f in "quillbox-$version-win64.zip" "quillbox-$version-linux-x86_64.tar.gz" SHA256SUMS; do
  cp "$work/first/quillbox/dist/$f" "$repo/dist/$f"
done
(cd "$repo/dist" && sha256sum -c SHA256SUMS)
cat "$repo/dist/SHA256SUMS"
