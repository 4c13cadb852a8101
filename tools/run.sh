#!/usr/bin/env bash
# Installs what is missing, builds the window and opens it on the demo score
# file (examples/hsc.ini is put beside the program unless an hsc.ini is there).
# usage: tools/run.sh [release|debug]   (default: release)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-release}
case "$preset" in
  release|debug) ;;
  *) echo "run: unknown preset $preset (release or debug)" >&2; exit 2 ;;
esac

tools/setup.sh core qt
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target quillbox >/dev/null

program="build/$preset/ui/qt/quillbox"
dir=$(dirname "$program")
if [ ! -e "$dir/hsc.ini" ]; then
  cp examples/hsc.ini "$dir/hsc.ini"
  echo "run: put examples/hsc.ini beside the program ($dir/hsc.ini)"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display (DISPLAY and WAYLAND_DISPLAY are empty), so the window cannot open." >&2
  echo "run: to run it on a virtual screen:" >&2
  echo "       xvfb-run -a -s \"-screen 0 1024x768x24\" $program" >&2
  echo "run: or take a screenshot of it: tools/screenshot-qt.sh /tmp/quillbox-qt.png build/$preset" >&2
  exit 1
fi
exec "$program"
