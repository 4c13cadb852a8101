#!/usr/bin/env bash
# Closing the window ends the program at once on Wayland. The real program
# runs beside the demo hsc.ini under a headless weston whose test module asks
# each window to close as soon as it is shown. Every run must be over a
# second after its close, with status 0. Taking Qt 6.4 down after the close
# hung in about one run in ten here, hence the many runs.
# usage: wayland_close_test.sh PATH/TO/quillbox PATH/TO/closer.so EXAMPLES_DIR [RUNS]
set -u
program=$1
closer=$(realpath "$2")  # weston looks for a relative name among its own
examples=$3
runs=${4:-40}
work=$(mktemp -d)
compositor=
pid=
cleanup() {
  [ -z "$pid" ] || kill -9 "$pid" 2>/dev/null
  [ -z "$compositor" ] || kill "$compositor" 2>/dev/null
  wait
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -m 700 "$work/runtime"
mkdir "$work/app"
cp "$program" "$work/app/quillbox" && cp "$examples/hsc.ini" "$work/app/hsc.ini" || exit 1
export XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=quillbox-test QT_QPA_PLATFORM=wayland
unset DISPLAY
log="$work/weston.log"
weston --no-config --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 \
  --modules="$closer" --log="$log" 2>/dev/null &
compositor=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || { echo "FAIL weston did not start"; cat "$log"; exit 1; }

failures=0
for run in $(seq "$runs"); do
  kill -0 "$compositor" 2>/dev/null || { echo "FAIL weston ended"; cat "$log"; exit 1; }
  "$work/app/quillbox" 2>"$work/stderr" &
  pid=$!
  closed=
  for _ in $(seq 200); do
    if grep -q "close sent to quillbox pid $pid\$" "$log"; then closed=1; break; fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$closed" ]; then
    echo "FAIL run $run: the window was not shown to be closed"
    cat "$work/stderr"
    failures=$((failures + 1))
    kill -9 "$pid" 2>/dev/null
  else
    for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    if kill -0 "$pid" 2>/dev/null; then
      echo "FAIL run $run: still running a second after its window was closed"
      failures=$((failures + 1))
      kill -9 "$pid"
    fi
  fi
  wait "$pid"
  status=$?
  if [ -n "$closed" ] && [ "$status" -ne 0 ] && [ "$status" -ne 137 ]; then
    echo "FAIL run $run: status $status after the close"
    cat "$work/stderr"
    failures=$((failures + 1))
  fi
  pid=
done
echo "$runs runs, $failures failures"
[ $failures -eq 0 ]
