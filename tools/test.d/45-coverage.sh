#!/usr/bin/env bash
# How much of the reading and report code the fuzz corpora reach: fails when
# a change leaves less than nine tenths of those lines to the fuzzers.
set -euo pipefail
cd "$(dirname "$0")/../.."
exec tools/coverage.sh
