#!/usr/bin/env bash
# The installer against a plain copier and, where Debian's nsis is installed, against NSIS, all
# under Wine on the same tree (about 100 MB in a few thousand real files of this machine):
#   - tree_copier.exe copies the tree file by file with the installer's buffer size;
#   - setup.exe /S installs it packed stored and packed compressed, and once more over itself
#     (an update: every file replaced, each flushed first);
#   - NSIS's silent install of the same tree, compression off and zlib.
# Every contender runs in one prefix with one running wineserver, timed from outside the same
# way, less the median time Wine takes to start and end a program that does nothing. Each runs
# ROUNDS times (default 3), the contenders taking turns, after a sync and into a folder that is
# not there; the medians are printed. A benchmark, not a test: it never fails on a time.
#   install_bench.sh WIN32_BUILD RELEASE_BUILD [MEGABYTES] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
win=$(cd "$1" && pwd)
sfxpack=$(cd "$2" && pwd)/tools/sfxpack
megabytes=${3:-100}
rounds=${4:-3}
export SFX_WINE_ROOT="$win/wine"
if [[ ! -f "$SFX_WINE_ROOT/template/.complete" ]]; then
    "$root/tests/wine/make-template.sh" "$SFX_WINE_ROOT" > /dev/null
fi
. "$root/tests/wine/wine-env.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/install-bench-XXXXXX")
export HOME="$work/home" WINEPREFIX="$work/prefix"
finish() {
    wineserver -k 2> /dev/null || true
    wineserver -w 2> /dev/null || true
    rm -rf "$work"
}
trap finish EXIT
mkdir -p "$HOME"
cp -a "$SFX_WINE_TEMPLATE" "$WINEPREFIX"
unset DISPLAY
wineserver -p
drive_c="$WINEPREFIX/drive_c"
windows_path() { echo "Z:${1//\//\\}"; }

read -r files bytes < <("$root/tests/bench/make_tree.sh" "$megabytes" "$work")
echo "install_bench: $files files, $bytes bytes, $rounds rounds"

for compress in false true; do
    printf '[application]\nname = "bench-%s"\n[[files]]\nsource = "tree"\ncompress = %s\n' \
        "$compress" "$compress" > "$work/setup-$compress.toml"
    (cd "$work" && "$sfxpack" build "setup-$compress.toml" --stub "$win/ui/setup.exe" \
        -o "$work/setup-$compress.exe" > /dev/null)
done
contenders=(idle copier stored compressed update)
if command -v makensis > /dev/null; then
    for mode in off zlib; do
        if [[ $mode == off ]]; then compressor="SetCompress off"; else compressor="SetCompressor zlib"; fi
        cat > "$work/nsis-$mode.nsi" <<NSI
$compressor
OutFile "$work/nsis-$mode.exe"
InstallDir "C:\\nsis-$mode"
RequestExecutionLevel user
Section
SetOutPath "\$INSTDIR"
File /r "$work/tree/*"
SectionEnd
NSI
        makensis -V1 "$work/nsis-$mode.nsi" > /dev/null
    done
    contenders+=(nsis-off nsis-zlib)
fi
mkdir -p "$work/empty"

# Milliseconds of one run of a contender, its folder removed first and the disk synced.
run() {
    local folder="" command=()
    case $1 in
        idle) command=("$win/tests/win32/tree_copier.exe" "$(windows_path "$work/empty")" 'C:\idle') ;;
        copier) folder=copy; command=("$win/tests/win32/tree_copier.exe" "$(windows_path "$work/tree")" 'C:\copy') ;;
        stored) folder=stored; command=("$work/setup-false.exe" /S '/D=C:\stored') ;;
        compressed) folder=compressed; command=("$work/setup-true.exe" /S '/D=C:\compressed') ;;
        # Over the stored install of this round, which it leaves in place.
        update) command=("$work/setup-false.exe" /S '/D=C:\stored') ;;
        nsis-off) folder=nsis-off; command=("$work/nsis-off.exe" /S '/D=C:\nsis-off') ;;
        nsis-zlib) folder=nsis-zlib; command=("$work/nsis-zlib.exe" /S '/D=C:\nsis-zlib') ;;
    esac
    [[ -n "$folder" ]] && rm -rf "${drive_c:?}/$folder"
    rm -rf "$drive_c/idle"
    sync
    local start status
    start=$(date +%s%N)
    status=0
    wine "${command[@]}" > /dev/null 2>&1 || status=$?
    if [[ $status != 0 ]]; then
        echo "install_bench: $1 exited $status" >&2
        exit 1
    fi
    echo $(( ($(date +%s%N) - start) / 1000000 ))
}

declare -A times
for (( round = 0; round < rounds; ++round )); do
    for contender in "${contenders[@]}"; do
        times[$contender]+="$(run "$contender") "
    done
done
median() { tr ' ' '\n' <<< "$1" | grep . | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
declare -A net
idle=$(median "${times[idle]}")
printf '%-44s %8s  %s\n' "under Wine, $bytes bytes in $files files" "ms" "(each run, with Wine's start)"
printf '%-44s %8d  %s\n' "Wine starting a program that does nothing" "$idle" "${times[idle]}"
for contender in "${contenders[@]:1}"; do
    net[$contender]=$(( $(median "${times[$contender]}") - idle ))
    printf '%-44s %8d  %s\n' "$contender" "${net[$contender]}" "${times[$contender]}"
done
ratio() { python3 -c "print(f'$1: {$2 / $3:.2f}x')"; }
ratio "stored over the copier" "${net[stored]}" "${net[copier]}"
ratio "update (flushed) over the fresh stored install" "${net[update]}" "${net[stored]}"
if [[ -n "${net[nsis-off]:-}" ]]; then
    ratio "stored over NSIS, compression off" "${net[stored]}" "${net[nsis-off]}"
    ratio "compressed over NSIS, zlib" "${net[compressed]}" "${net[nsis-zlib]}"
fi
