#!/usr/bin/env bash
# The release: the Windows programs built in two checkouts at different
# paths must be the same bytes after strip, and the zip a player gets must
# hold exactly what it promises (tools/release/check.py, itself checked
# against spoiled zips). tools/release.sh checks the whole release, the
# Linux archive too, by building it twice.
set -euo pipefail
cd "$(dirname "$0")/../.."

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
version=$(sed -n 's/^project(quillbox VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The files of this checkout as they are now (uncommitted changes too), at
# two paths of different lengths.
first=$work/a/src second=$work/another-folder/quillbox-checkout
for dir in "$first" "$second"; do
  mkdir -p "$dir"
  git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$dir"
  (cd "$dir" && cmake --preset dist-win64 >/dev/null && cmake --build --preset dist-win64 >/dev/null)
done

same=0
for exe in ui/win32/quillbox.exe report/quillbox-report.exe; do
  for dir in "$first" "$second"; do
    x86_64-w64-mingw32-strip -p -o "$dir/$(basename "$exe")" "$dir/build/dist-win64/$exe"
  done
  if cmp "$first/$(basename "$exe")" "$second/$(basename "$exe")"; then
    echo "release: $(basename "$exe") is the same from both paths: $(sha256sum < "$first/$(basename "$exe")")"
  else
    echo "release: $(basename "$exe") differs between the two paths"; same=1
  fi
done

bash tools/release/package.sh "$first" "$work/dist" "$version" win
python3 tools/release/check.py "$work/dist/quillbox-$version-win64.zip"
python3 tools/release/check_test.py "$work/dist/quillbox-$version-win64.zip" "$first/build/dist-win64/ui/win32/quillbox.exe"
# Left for 37-player.sh, which tries it as a player would.
mkdir -p build/dist
cp "$work/dist/quillbox-$version-win64.zip" build/dist/
exit $same
