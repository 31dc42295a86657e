#!/usr/bin/env bash
# Runs every benchmark program of the optimised build, and prints the sizes of the programs that
# every package carries.
#   bench.sh BENCH_BUILD [WIN32_BUILD RELEASE_BUILD]
set -euo pipefail
bench=${1:-build/bench}
win=${2:-}
release=${3:-}
if [[ -n "$win" ]]; then
    echo "== program sizes"
    for program in "$win/ui/setup.exe" "$win/uninstaller/unwise.exe"; do
        [[ -f "$program" ]] && printf '%-12s %7d bytes\n' "$(basename "$program")" "$(stat -c %s "$program")"
    done
    # The stub's decoder runs under Wine in a copy of the build's template prefix.
    export SFX_WINE_ROOT="$PWD/$win/wine"
    if [[ ! -f "$SFX_WINE_ROOT/template/.complete" ]]; then
        "$(dirname "$0")/../tests/wine/make-template.sh" "$SFX_WINE_ROOT" > /dev/null
    fi
    export STUB_DECODE_BENCH="$PWD/$win/tests/win32/stub_decode_bench.exe"
fi
[[ -n "$release" ]] && export SFXPACK_RELEASE="$PWD/$release/tools/sfxpack"
for program in "$bench"/tests/bench/*_bench; do
    [[ -x "$program" ]] || continue
    echo "== $(basename "$program")"
    "$program"
done
if [[ -n "$win" && -n "$release" ]]; then
    echo "== check_bench"
    "$(dirname "$0")/../tests/bench/check_bench.sh" "$win" "$release"
    echo "== install_bench"
    "$(dirname "$0")/../tests/bench/install_bench.sh" "$win" "$release"
fi
