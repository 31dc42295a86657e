#!/usr/bin/env bash
# The installer's start-up check of a 100 MB package (the benchmark tree, packed raw by the
# release sfxpack) under Wine, three runs and their median: what a user waits before the first
# page. A benchmark, not a test: it prints, it never fails on a time.
#   check_bench.sh WIN32_BUILD RELEASE_BUILD [MEGABYTES]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
win=$(cd "$1" && pwd)
sfxpack=$(cd "$2" && pwd)/tools/sfxpack
megabytes=${3:-100}
export SFX_WINE_ROOT="$win/wine"
work=$(mktemp -d "${TMPDIR:-/tmp}/check-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

"$root/tests/bench/make_tree.sh" "$megabytes" "$work" > /dev/null
printf '[application]\nname = "bench"\n[[files]]\nsource = "tree"\ncompress = false\n' \
    > "$work/setup.toml"
"$sfxpack" build "$work/setup.toml" -o "$work/setup.exe" --stub "$win/ui/setup.exe" --quiet
echo "check_bench: $(stat -c %s "$work/setup.exe") bytes"
times=()
for run in 1 2 3; do
    line=$("$root/tests/wine/run-in-prefix.sh" "$win/tests/win32/stub_check_bench.exe" \
        "Z:${work//\//\\}\\setup.exe" | tr -d '\r')
    echo "  run $run: $line"
    times+=("$(echo "$line" | sed -n 's/.* in \([0-9.]*\) s.*/\1/p')")
done
printf 'median: %s s\n' "$(printf '%s\n' "${times[@]}" | sort -n | sed -n 2p)"
