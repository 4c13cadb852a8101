#!/usr/bin/env bash
# Packs the built programs of one checkout into the release archives, with
# fixed names, order, owners, modes and times, so that the same build gives
# the same bytes.
# usage: tools/release/package.sh SRC OUT VERSION win|linux
#   SRC: the checkout, with build/dist-win64 or build/dist-linux built
#   SOURCE_DATE_EPOCH: the time every archived file carries
set -euo pipefail
src=$1 out=$2 version=$3 what=$4
: "${SOURCE_DATE_EPOCH:?set SOURCE_DATE_EPOCH to the last commit time}"
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

crlf() { sed 's/\r$//; s/$/\r/' "$1" > "$2"; }

case "$what" in
  win)
    # strip -p keeps the zero link time of the PE header. Players open the
    # texts in Notepad: CR LF throughout.
    x86_64-w64-mingw32-strip -p -o "$stage/quillbox.exe" "$src/build/dist-win64/ui/win32/quillbox.exe"
    x86_64-w64-mingw32-strip -p -o "$stage/quillbox-report.exe" "$src/build/dist-win64/report/quillbox-report.exe"
    cp "$src/docs/readme-ja.txt" "$stage/readme.txt"
    crlf "$src/LICENSE" "$stage/LICENSE.txt"
    crlf "$src/THIRD-PARTY-NOTICES.txt" "$stage/THIRD-PARTY-NOTICES.txt"
    python3 "$here/zip.py" "$out/quillbox-$version-win64.zip" "$stage" "quillbox-$version" \
      quillbox.exe quillbox-report.exe readme.txt LICENSE.txt THIRD-PARTY-NOTICES.txt
    ;;
  linux)
    strip -o "$stage/quillbox" "$src/build/dist-linux/ui/qt/quillbox"
    strip -o "$stage/quillbox-report" "$src/build/dist-linux/report/quillbox-report"
    cp "$src/docs/README-linux.txt" "$stage/README.txt"
    cp "$src/LICENSE" "$src/THIRD-PARTY-NOTICES.txt" "$stage/"
    cp /usr/share/common-licenses/LGPL-3 "$stage/LGPL-3.txt"
    cp /usr/share/common-licenses/GPL-3 "$stage/GPL-3.txt"
    chmod 0755 "$stage/quillbox" "$stage/quillbox-report"
    chmod 0644 "$stage"/*.txt "$stage/LICENSE"
    # One folder, so that extracting it anywhere (the game's folder too)
    # replaces nothing: the player copies quillbox beside hsc.ini.
    top=quillbox-$version
    mkdir "$stage/$top"
    (cd "$stage" && mv quillbox quillbox-report ./*.txt LICENSE "$top/")
    chmod 0755 "$stage/$top"
    (cd "$stage" && tar --no-recursion --sort=name --format=gnu --owner=0 --group=0 --numeric-owner \
       --mtime="@$SOURCE_DATE_EPOCH" -cf - "$top/" "$top/quillbox" "$top/quillbox-report" "$top/README.txt" \
       "$top/LICENSE" "$top/THIRD-PARTY-NOTICES.txt" "$top/LGPL-3.txt" "$top/GPL-3.txt") \
      | gzip -9 -n > "$out/quillbox-$version-linux-x86_64.tar.gz"
    ;;
  *) echo "package: win or linux, not $what" >&2; exit 2 ;;
esac
