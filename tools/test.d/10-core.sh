#!/usr/bin/env bash
# Release build with the window and benchmarks, all its tests.
set -euo pipefail
cmake --workflow --preset release
