#!/usr/bin/env bash
# The core as a compiler without GCC/Clang extensions builds it: the
# standard C++ fallbacks pass the same unit tests.
set -euo pipefail
cmake --workflow --preset portable
