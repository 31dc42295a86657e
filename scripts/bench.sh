#!/usr/bin/env bash
# Runs every benchmark program of the optimised build.
set -euo pipefail
bench=${1:-build/bench}
for program in "$bench"/tests/bench/*_bench; do
    [[ -x "$program" ]] || continue
    echo "== $(basename "$program")"
    "$program"
done
