#!/usr/bin/env bash
# The real window as a screen reader reads it through AT-SPI, on an X server
# and a D-Bus session of its own: the window's role and name, the options as
# one named group, the text box's name and description, the button's name.
# usage: atspi_test.sh PATH/TO/quillbox EXAMPLES_DIR PYTHON3 atspi_tree.py
set -u
program=$1
examples=$2
python=$3
tree=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
cp "$program" "$work/quillbox" && cp "$examples/hsc.ini" "$work/hsc.ini" || exit 1

cat >"$work/expected" <<'TREE'
frame|くいるぼっくす！   Ver N|
  panel|表示|
    radio button|Perfect|
    radio button|Score|
    radio button|PlayCount|
    radio button|段位|
    radio button|ランダムパートセレクト|
    radio button|ランダムパートセレクト (PlayCount考慮)|
  text|レポート|選んだ表示の内容です。「クリップボードへコピー」ボタンで、この内容をクリップボードにコピーできます。
  push button|クリップボードへコピー|
TREE

# Qt joins the accessibility bus only when a screen reader is said to run.
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" dbus-run-session -- bash -c '
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$1/quillbox" 2>"$1/stderr" &
  pid=$!
  timeout 60 "$2" "$3" >"$1/actual"
  status=$?
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  exit $status
' atspi "$work" "$python" "$tree" 2>"$work/session.log"
status=$?
if [ $status -ne 0 ]; then
  echo "FAIL no tree read (status $status)"
  cat "$work/session.log" "$work/stderr"
  exit 1
fi
sed -i 's/Ver [0-9.]*|/Ver N|/' "$work/actual"
diff -u "$work/expected" "$work/actual" && echo "ok   the window as AT-SPI shows it"
