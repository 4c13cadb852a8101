#!/usr/bin/env bash
# Installs what is missing, builds, and shows the demo score file.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh core
cmake --preset core-only >/dev/null
cmake --build --preset core-only --target quillbox-report >/dev/null
build/core-only/tools/quillbox-report --file examples/hsc.ini perfect
