#!/usr/bin/env bash
# The real program, copied into a folder beside the demo hsc.ini, starts and
# shows its window on an X server of its own, whatever the folder's name:
# plain, Japanese in UTF-8, or Japanese in code page 932 bytes as unzipped
# from a Japanese archive. Were the folder lost, the missing-file message
# would show instead: a box of another size.
# usage: program_folder_test.sh PATH/TO/quillbox EXAMPLES_DIR
set -u
program=$1
examples=$2
work=$(mktemp -d)
server=
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null
  wait
  rm -rf "$work"
}
trap cleanup EXIT
# xwininfo shows the UTF-8 titles only in a UTF-8 locale.
export LC_ALL=C.UTF-8
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb

# The main window: its caption and its fixed, designed size.
window='"くいるぼっくす！   Ver [0-9.]*": ("quillbox" "quillbox")  553x396+'
failures=0
check() {  # name folder-name
  local dir="$work/$2"
  mkdir "$dir" && cp "$program" "$dir/quillbox" && cp "$examples/hsc.ini" "$dir/hsc.ini" || exit 1
  "$dir/quillbox" 2>"$work/stderr" &
  local pid=$! shown=
  for _ in $(seq 100); do
    if xwininfo -root -tree | grep -q "$window"; then shown=1; break; fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -n "$shown" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1: no main window; the program's windows:"
    xwininfo -root -tree | grep '("quillbox"'
    cat "$work/stderr"
    failures=$((failures + 1))
  fi
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  # The next run must not see this one's window.
  for _ in $(seq 50); do xwininfo -root -tree | grep -q '("quillbox"' || break; sleep 0.1; done
}

check "plain folder name" "quillbox"
check "Japanese folder name in UTF-8" "テスト"
check "Japanese folder name in code page 932" $'\x83\x65\x83\x58\x83\x67'

[ $failures -eq 0 ]
