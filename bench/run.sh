#!/usr/bin/env bash
# Runs every benchmark and prints one table of ratios against their targets:
#   bench/run.sh            the full run (a few minutes)
#   bench/run.sh --quick    fewer rounds, for a rough look
#   bench/run.sh --only startup|command-line|tree-walk|footprint   (repeatable)
# Needs what ./test.sh needs (mingw-w64, wine64, Google Benchmark); builds what it uses.
set -euo pipefail
exec python3 "$(dirname "$0")/run.py" "$@"
