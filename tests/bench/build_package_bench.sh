#!/usr/bin/env bash
# Packs about 100 MB in a few thousand files taken from /usr/share and /usr/lib with
# `sfxpack build`, once compressed and once raw, and reports the time and the ratio; beside it
# `makensis` with zlib on the same tree when Debian's nsis is installed. Run by hand:
#     tests/bench/build_package_bench.sh [MEGABYTES]
# It builds an optimised sfxpack (no sanitizers) in build/release first.
set -euo pipefail
cd "$(dirname "$0")/../.."
megabytes=${1:-100}
release=build/release

cmake -S . -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSFX_SANITIZE=OFF >/dev/null
cmake --build "$release" --target sfxpack >/dev/null
sfxpack=$PWD/$release/tools/sfxpack

work=$(mktemp -d "${TMPDIR:-/tmp}/sfxpack-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "bench: copying ${megabytes} MB of /usr/share and /usr/lib into $work/tree"
read -r files bytes < <(tests/bench/make_tree.sh "$megabytes" "$work")
echo "bench: $files files, $bytes bytes"
seconds() { printf '%.2f' "$(echo "$2 - $1" | bc)"; }
percent() { printf '%.1f' "$(echo "100 * $1 / $2" | bc -l)"; }
printf 'MZ' >"$work/stub.exe"

for compress in true false; do
    cat >"$work/setup-$compress.toml" <<EOF
[application]
name = "bench"
[[files]]
source = "tree"
compress = $compress
EOF
    start=$(date +%s.%N)
    "$sfxpack" build "$work/setup-$compress.toml" -o "$work/setup-$compress.exe" \
        --stub "$work/stub.exe" | sed 's/^/bench: /'
    end=$(date +%s.%N)
    size=$(stat -c %s "$work/setup-$compress.exe")
    echo "bench: compress = $compress: $(seconds "$start" "$end") s, package $size bytes," \
        "$(percent "$size" "$bytes")% of the files"
    start=$(date +%s.%N)
    "$sfxpack" verify "$work/setup-$compress.exe" --quiet
    end=$(date +%s.%N)
    echo "bench: verify (decodes every compressed file): $(seconds "$start" "$end") s"
done

if command -v makensis >/dev/null; then
    cat >"$work/bench.nsi" <<EOF
SetCompressor zlib
OutFile "$work/nsis-setup.exe"
InstallDir "\$PROGRAMFILES\\bench"
Section
SetOutPath "\$INSTDIR"
File /r "$work/tree/*"
SectionEnd
EOF
    start=$(date +%s.%N)
    makensis -V1 "$work/bench.nsi"
    end=$(date +%s.%N)
    size=$(stat -c %s "$work/nsis-setup.exe")
    echo "bench: makensis zlib (file by file): $(seconds "$start" "$end") s, package $size bytes," \
        "$(percent "$size" "$bytes")% of the files"
fi
