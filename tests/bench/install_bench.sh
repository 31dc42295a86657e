#!/usr/bin/env bash
# The installer against a plain copier, both under Wine: the same tree (about 100 MB in a few
# thousand real files of this machine) packed raw and packed compressed, each installed through
# the wizard by the e2e driver and timed from pressing 安装 to the finish page, less the three
# fixed pauses of 500 ms; beside it, tree_copier.exe copies the tree file by file with the
# installer's buffer size. A benchmark, not a test: it prints, it never fails on a time.
#   install_bench.sh WIN32_BUILD RELEASE_BUILD [MEGABYTES]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
win=$(cd "$1" && pwd)
sfxpack=$(cd "$2" && pwd)/tools/sfxpack
megabytes=${3:-100}
export SFX_WINE_ROOT="$win/wine" SFXPACK="$sfxpack" SFX_SYNC_PREFIX=1
if [[ ! -f "$SFX_WINE_ROOT/template/.complete" ]]; then
    "$root/tests/wine/make-template.sh" "$SFX_WINE_ROOT" > /dev/null
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/install-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
windows_path() { echo "Z:${1//\//\\}"; }

read -r files bytes < <("$root/tests/bench/make_tree.sh" "$megabytes" "$work")
echo "install_bench: $files files, $bytes bytes"

cat > "$work/bench.scn" <<'SCN'
start setup.exe
expect-sheet "bench"
click 0x3024
click 1001
click 0x3024
type 1000 "C:\bench"
timer-start
click 0x3024
expect-page 4 within 900
timer-print installed
end-program
SCN
# Each run starts after the last one's 100 MB have reached the disk: without the sync, the
# second run of any pair paid for the first one's writes (seconds, whichever came first).
declare -A installed
for compress in false true; do
    sync
    printf '[application]\nname = "bench"\n[[files]]\nsource = "tree"\ncompress = %s\n' \
        "$compress" > "$work/setup-$compress.toml"
    line=$("$root/tests/e2e/run-scenario.sh" --script "$work/bench.scn" --shots "$work/shots" \
        --driver "$win/tests/e2e/e2e_driver.exe" --manifest "$work/setup-$compress.toml" \
        --stub "$win/ui/setup.exe" | grep '^installed ')
    installed[$compress]=$(( $(echo "$line" | tr -d '\r' | awk '{print $2}') - 1500 ))
done
sync
line=$("$root/tests/wine/run-in-prefix.sh" "$win/tests/win32/tree_copier.exe" \
    "$(windows_path "$work/tree")" 'C:\copy')
copier=$(echo "$line" | tr -d '\r' | sed -n 's/.* in \([0-9]*\) ms/\1/p')

# NSIS (zlib, file by file, silent), where Debian's nsis is installed: timed from outside, less
# the time Wine takes to start and end a program that does nothing.
nsis=""
if command -v makensis > /dev/null; then
    cat > "$work/bench.nsi" <<NSI
SetCompressor zlib
OutFile "$work/nsis-setup.exe"
InstallDir "C:\\nsis"
RequestExecutionLevel user
Section
SetOutPath "\$INSTDIR"
File /r "$work/tree/*"
SectionEnd
NSI
    makensis -V1 "$work/bench.nsi" > /dev/null
    mkdir -p "$work/empty"
    start=$(date +%s%N)
    "$root/tests/wine/run-in-prefix.sh" "$win/tests/win32/tree_copier.exe" \
        "$(windows_path "$work/empty")" 'C:\none' > /dev/null
    idle=$(( ($(date +%s%N) - start) / 1000000 ))
    sync
    start=$(date +%s%N)
    "$root/tests/wine/run-in-prefix.sh" "$work/nsis-setup.exe" /S '/D=C:\nsis'
    nsis=$(( ($(date +%s%N) - start) / 1000000 - idle ))
fi

printf '%-40s %8s\n' "under Wine, $bytes bytes" "ms"
printf '%-40s %8d\n' "tree_copier (plain copy, 64 KB buffer)" "$copier"
printf '%-40s %8d\n' "setup.exe, stored files" "${installed[false]}"
printf '%-40s %8d\n' "setup.exe, compressed files" "${installed[true]}"
[[ -n "$nsis" ]] && printf '%-40s %8d\n' "NSIS 3 (zlib), silent" "$nsis"
python3 -c "print(f'stored over the copier: {${installed[false]} / $copier:.2f}x')"
python3 -c "print(f'compressed over stored: {${installed[true]} / ${installed[false]}:.2f}x')"
[[ -n "$nsis" ]] && python3 -c "print(f'compressed over NSIS: {${installed[true]} / $nsis:.2f}x')"
true
