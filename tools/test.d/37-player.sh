#!/usr/bin/env bash
# The release zip as a player meets it, under wine with a Japanese locale
# and font, as Windows 10 and then 11: unzipped into a Japanese-named
# folder, quillbox.exe copied beside a score file as the readme says,
# started, every option pressed, the shown text copied. Then the same with
# the game under C:\Program Files (x86)\, its scores only in the virtual
# store, where Windows keeps what the old game writes there. What the window
# shows must be what the Linux report tool prints for the same file.
# Screenshots: build/player/win10.png, build/player/win11.png.
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$PWD

if [ "${1:-}" != --inside ]; then
  export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
  version=$(sed -n 's/^project(quillbox VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
  zip=build/dist/quillbox-$version-win64.zip
  # The zip 35-release.sh left, else one packed here the same way;
  # QUILLBOX_PLAYER_REPACK=1 packs it afresh from this checkout.
  if [ ! -f "$zip" ] || [ "${QUILLBOX_PLAYER_REPACK:-0}" = 1 ]; then
    cmake --preset dist-win64 >/dev/null && cmake --build --preset dist-win64 >/dev/null
    bash tools/release/package.sh "$repo" build/dist "$version" win
  fi
  echo "player: trying $zip ($(date -r "$zip" -u '+%F %T UTC'))"
  cmake --preset mingw >/dev/null && cmake --build --preset mingw --target quillbox_player >/dev/null
  cmake --preset release >/dev/null && cmake --build --preset release --target quillbox-report >/dev/null
  locale -a | grep -qix 'ja_JP.utf8' || { echo "player: no ja_JP.UTF-8 locale (tools/setup.sh win32)"; exit 1; }
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --inside "$version" "$repo/$zip"
fi

version=$2 zip=$3
report=$repo/build/release/report/quillbox-report
driver=$repo/build/mingw/tests/win32/quillbox_player.exe
shots=$repo/build/player
mkdir -p "$shots"
work=$(mktemp -d)
mkdir -p "$work/prefix"
export WINEPREFIX=$work/prefix WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
wineserver -p
wine cmd /c exit
# Windows links its UI font to a Japanese font; so must wine.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
  /v Tahoma /t REG_MULTI_SZ /d "ipag.ttf,IPAGothic" /f >/dev/null
# A Japanese Windows reads and writes text in code page 932.
wine reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP | grep -q 'ACP.*REG_SZ.*932' ||
  { echo "player: wine is not in a Japanese locale (ANSI code page is not 932)"; exit 1; }
c=$WINEPREFIX/drive_c
local_app_data=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')")
signature=$'dori-fen record chart "quillbox!" 0.90\r\n'
failures=0
fail() { echo "player: FAIL $*"; failures=$((failures + 1)); }

# The window's texts against the Linux report tool's for score file $2.
compare() {
  local out=$1 ini=$2 what=$3 i view
  if [ -f "$out/error.txt" ]; then fail "$what: a message instead of the window: $(cat "$out/error.txt")"; return; fi
  [ "$(cat "$out/title.txt")" = "くいるぼっくす！   Ver 0.90" ] || fail "$what: title $(cat "$out/title.txt")"
  [ "$(cat "$out/marks.txt")" = "$(printf '%s\n' 0 1 2 3 4 5)" ] || fail "$what: marks $(tr '\n' ' ' < "$out/marks.txt")"
  i=0
  for view in perfect score playcount rank; do
    "$report" --file "$ini" $view | cmp -s - "$out/view$i.txt" || fail "$what: option $i is not the $view view"
    i=$((i + 1))
  done
  # A random pick is the detail of some song and part.
  local songs
  songs=$("$report" --file "$ini" export --format csv | tail -n +2 | cut -d, -f1 | sort -un | tail -1)
  for i in 4 5; do
    local found=0 s p
    for s in $(seq "$songs"); do
      for p in 1 2 3 4 5 6 7 8; do
        "$report" --file "$ini" detail "$s" "$p" | cmp -s - "$out/view$i.txt" && { found=1; break 2; }
      done
    done
    [ $found = 1 ] || fail "$what: option $i shows no song's part detail: $(cat "$out/view$i.txt")"
  done
  { cat "$out/view5.txt"; printf '%s' "$signature"; } | cmp -s - "$out/clip.txt" ||
    fail "$what: the clipboard is not the shown text and the signature line"
  echo "player: $what: title, six views, marks and clipboard as expected"
}

# Runs the driver on the exe at Windows path $1, writing to $2; takes the
# screenshot $3 while the window is up, if given.
play() {
  local exe=$1 out=$2 shot=${3:-}
  mkdir -p "$out"
  wine "$driver" "$exe" "$(winepath -w "$out")" & local pid=$!
  for _ in $(seq 300); do
    [ -f "$out/shoot" ] || ! kill -0 $pid 2>/dev/null && break
    sleep 0.1
  done
  [ -n "$shot" ] && [ -f "$out/shoot" ] && import -window root "$shot"
  touch "$out/shot"
  wait $pid || echo "player: the driver ended with status $? (expected where a message box comes instead)"
}

# This wine knows Windows 10 by name; Windows 11 is NT 10.0 from build
# 22000 on, which is what programs see of it.
set_windows() {
  wine winecfg -v win10
  if [ "$1" = win11 ]; then
    for value in CurrentBuild CurrentBuildNumber; do
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion' /v $value /d 22631 /f >/dev/null
    done
  fi
  local seen
  seen=$(wine cmd /c ver | tr -d '\r' | grep -v '^$')
  echo "player: $1: $seen"
  case "$1:$seen" in
    win10:*" 10.0.1"*|win11:*" 10.0.22631"*) ;;
    *) fail "$1: wine says $seen" ;;
  esac
}

for windows in win10 win11; do
  set_windows $windows

  # Downloaded and unzipped into a Japanese-named folder; the one program
  # copied beside the game's hsc.ini.
  rm -rf "$c/ダウンロード" "$c/ドリフェン記録"
  mkdir -p "$c/ダウンロード" "$c/ドリフェン記録"
  python3 -m zipfile -e "$zip" "$c/ダウンロード/"
  cp "$c/ダウンロード/quillbox-$version/quillbox.exe" "$repo/examples/hsc.ini" "$c/ドリフェン記録/"
  play 'C:\ドリフェン記録\quillbox.exe' "$work/$windows-home" "$shots/$windows.png"
  compare "$work/$windows-home" "$repo/examples/hsc.ini" "$windows, C:\\ドリフェン記録"

  # Under Program Files the game's saves went to the virtual store. On
  # Windows 10 a stale copy stays beside the program; on 11 there is none.
  game="$c/Program Files (x86)/ドリフェン記録"
  store="$local_app_data/VirtualStore/Program Files (x86)/ドリフェン記録"
  rm -rf "$game" "$store"
  mkdir -p "$game" "$store"
  cp "$c/ダウンロード/quillbox-$version/quillbox.exe" "$c/ダウンロード/quillbox-$version/quillbox-report.exe" "$game/"
  cp "$repo/tests/golden/odd.ini" "$store/hsc.ini"
  [ $windows = win10 ] && cp "$repo/examples/hsc.ini" "$game/"
  play 'C:\Program Files (x86)\ドリフェン記録\quillbox.exe' "$work/$windows-store"
  compare "$work/$windows-store" "$repo/tests/golden/odd.ini" "$windows, virtual store"
  for view in perfect rank; do
    wine 'C:\Program Files (x86)\ドリフェン記録\quillbox-report.exe' $view > "$work/$windows-report.txt" || true
    "$report" --file "$repo/tests/golden/odd.ini" $view | cmp -s - "$work/$windows-report.txt" ||
      fail "$windows: quillbox-report.exe $view does not read the virtual store"
  done
done

# A bad copy in the virtual store: the message names that copy, the one read.
cp "$repo/tests/golden/bad.ini" "$store/hsc.ini"
play 'C:\Program Files (x86)\ドリフェン記録\quillbox.exe' "$work/bad-store"
grep -q 'VirtualStore' "$work/bad-store/error.txt" 2>/dev/null ||
  fail "the message about a bad virtual-store copy does not name it: $(cat "$work/bad-store/error.txt" 2>/dev/null)"

[ -f "$shots/win10.png" ] && [ -f "$shots/win11.png" ] || fail "a screenshot is missing"
echo "player: screenshots in build/player/"
[ $failures -eq 0 ] || { echo "player: $failures failures"; exit 1; }
