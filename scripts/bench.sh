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
    # What LZMA costs the stub: the decoder's and the solid stream's code and data, from the
    # link map (the uninstaller it carries LZMA-compressed pays for more than that).
    python3 - "$win/ui/setup.map" <<'PY'
import re, sys
lines = open(sys.argv[1]).read().split("\n")
lines = lines[next(i for i, l in enumerate(lines) if l.startswith("Linker script and memory map")):]
total, section = 0, None
for line in lines:
    one = re.match(r"^ \S+\s+0x[0-9a-f]+\s+(0x[0-9a-f]+)\s+(\S+)$", line)
    two = re.match(r"^\s+0x[0-9a-f]+\s+(0x[0-9a-f]+)\s+(\S+)$", line) if section else None
    section = re.match(r"^ \S+$", line)
    match = one or two
    if match and re.search(r"(LzmaDec\.c|lzma_decoder\.cpp|solid_stream\.cpp)\.obj", match.group(2)):
        total += int(match.group(1), 16)
print(f"LZMA in setup.exe: {total} bytes of code and data")
PY
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
