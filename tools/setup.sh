#!/usr/bin/env bash
# Installs what the build and the tests need, skipping what is there.
# usage: tools/setup.sh [core|qt|win32|fuzz|release|all]...   (default: all)
set -euo pipefail

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(all)

want=()
for g in "${groups[@]}"; do
  case "$g" in
    core)  want+=(g++ cmake make libgtest-dev googletest libbenchmark-dev libcli11-dev nlohmann-json3-dev python3 time) ;;
    # chromium: the history page is rendered headless in the release tests.
    qt)    want+=(qt6-base-dev qt6-base-dev-tools libgl-dev fonts-ipafont-gothic fonts-dejavu-core qt6-translations-l10n xvfb xauth x11-apps x11-utils imagemagick
                 dbus at-spi2-core python3-pyatspi
                 weston qt6-wayland libweston-10-dev pkg-config chromium) ;;
    # locales: the player stage runs wine in the ja_JP.UTF-8 locale.
    win32) want+=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 xvfb xauth fonts-ipafont-gothic x11-utils imagemagick
                  locales python3)
           japanese=1 ;;
    # llvm: llvm-profdata and llvm-cov, for tools/coverage.sh.
    fuzz)  want+=(clang libclang-rt-14-dev clang-tidy llvm nlohmann-json3-dev) ;;
    # tools/release.sh and its stage, besides the qt and win32 builds: a
    # clean clone, strip, the archives, the zip and its checks in python3,
    # the licence texts of /usr/share/common-licenses.
    release) want+=(git binutils tar gzip python3 base-files) ;;
    all)   exec "$0" core qt win32 fuzz release ;;
    *) echo "setup: unknown group $g" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get -o DPkg::Lock::Timeout=600 update -qq
  $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [ "${japanese:-0}" = 1 ] && ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
