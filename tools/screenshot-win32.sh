#!/usr/bin/env bash
# Runs quillbox.exe under wine on a virtual X display with examples/hsc.ini
# and saves a screenshot of the screen to /tmp/quillbox-win32.png (or $1),
# at 96 DPI or the DPI given as $2 (120, 144, 192, ...).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-/tmp/quillbox-win32.png}
dpi=${2:-96}
exe=build/mingw/ui/win32/quillbox.exe
[ -f "$exe" ] || { cmake --preset mingw >/dev/null && cmake --build --preset mingw --target quillbox; }

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
mkdir -p "$work/app" "$WINEPREFIX"
cp "$exe" examples/hsc.ini "$work/app/"

# Big enough for the window at 192 DPI.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -e
  wineserver -p
  wine cmd /c exit
  # Windows links its UI font to a Japanese font; give wine the same link so
  # the Japanese captions of the options and the button show.
  wine reg add "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink" \
    /v Tahoma /t REG_MULTI_SZ /d "ipag.ttf,IPAGothic" /f >/dev/null
  # The screen DPI, as the display settings would set it.
  wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$3" /f >/dev/null
  wine "$1" & app=$!
  # Wait for the window to be mapped, then give it a moment to paint.
  for _ in $(seq 100); do
    xwininfo -root -tree 2>/dev/null | grep -q "Ver 0" && break
    sleep 0.2
  done
  sleep 1
  import -window root "$2"
  kill $app 2>/dev/null || true
' _ "$work/app/quillbox.exe" "$out" "$dpi"
echo "screenshot: $out"
