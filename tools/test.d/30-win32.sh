#!/usr/bin/env bash
# The Windows build: cross-built with mingw-w64, checked to need no DLL that
# Windows does not ship, and tested under wine on a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/../.."

cmake --preset mingw
cmake --build --preset mingw

# Only system DLLs may be imported: the exes must run from a bare folder.
allowed='^(kernel32|user32|gdi32|comctl32|version|msvcrt|advapi32|shell32|ole32|ws2_32)\.dll$'
for exe in build/mingw/ui/win32/quillbox.exe build/mingw/report/quillbox-report.exe; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
  echo "$exe imports: $(echo $dlls)"
  for dll in $dlls; do
    [[ $dll =~ $allowed ]] || { echo "$exe needs $dll, which Windows does not ship"; exit 1; }
  done
done

# A throwaway wine prefix per run. A persistent wineserver and one warm-up
# start keep wine's helper processes from holding ctest's pipes open.
prefix=$(mktemp -d)
export WINEPREFIX=$prefix WINEDEBUG=-all
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$prefix"; }
trap cleanup EXIT

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  wineserver -p
  wine cmd /c exit
  # Windows links its UI font to a Japanese font; without the same link the
  # options show no Japanese glyphs and every caption would seem to fit.
  wine reg add "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink" \
    /v Tahoma /t REG_MULTI_SZ /d "ipag.ttf,IPAGothic" /f >/dev/null
  ctest --preset mingw
'

# Windows and Linux print the same bytes: every view of the same generated
# files through both report tools (one process each).
cmake --preset release >/dev/null
cmake --build --preset release --target quillbox-report-batch
python3 tests/crosscheck/crosscheck.py build/release/report/quillbox-report-batch \
  build/mingw/report/quillbox-report-batch.exe
