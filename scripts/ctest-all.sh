#!/usr/bin/env bash
# Runs the tests of every build folder that exists in one ctest run.
set -euo pipefail
build=${1:-build}
jobs=${2:-2}
dirs=()
for d in host win32 fuzz; do
    [[ -f "$build/$d/CTestTestfile.cmake" ]] && dirs+=("\"$d\"")
done
printf 'subdirs(%s)\n' "${dirs[*]}" > "$build/CTestTestfile.cmake"
exec ctest --test-dir "$build" -j"$jobs" --output-on-failure
