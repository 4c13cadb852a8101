#!/usr/bin/env bash
# Screenshot of the real window on the demo score file under Xvfb.
# usage: tools/screenshot-qt.sh [OUT.png] [BUILD_DIR]   (default /tmp/quillbox-qt.png build/debug)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-/tmp/quillbox-qt.png}")
build=${2:-build/debug}
program="$build/ui/qt/quillbox"
[ -x "$program" ] || { echo "screenshot-qt: no $program; build first (cmake --workflow --preset debug)" >&2; exit 1; }

# The program reads hsc.ini from its own directory: give it one of its own.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$program" "$dir/quillbox"
cp examples/hsc.ini "$dir/hsc.ini"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  QT_QPA_PLATFORM=xcb "$1/quillbox" &
  pid=$!
  for _ in $(seq 50); do
    xwininfo -root -tree 2>/dev/null | grep -q "くいるぼっくす" && break
    sleep 0.2
  done
  sleep 1
  import -window root -crop 600x440+0+0 "$2"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
' screenshot "$dir" "$out"
echo "screenshot-qt: wrote $out"
