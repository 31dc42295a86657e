#!/usr/bin/env bash
# The installer against a plain copier and against NSIS, all under Wine on the same tree (about
# 100 MB in a few thousand real files of this machine), method by method:
#   - the package sizes and build times of `sfxpack build` (stored, LZW, LZMA, solid LZMA) and of
#     `makensis` (off, zlib, LZMA, solid LZMA) on the tree;
#   - tree_copier.exe copies the tree file by file with the installer's buffer size;
#   - setup.exe /S installs each package, and the stored one once more over itself (an update:
#     every file replaced, each flushed first); NSIS's silent install of each of its packages.
# Every install is compared with the tree byte for byte once; a difference fails the benchmark.
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

seconds() { python3 -c "print(f'{($2 - $1) / 1e9:.1f}')"; }
declare -A size build
methods=(stored lzw lzma solid)
declare -A method=([stored]=false [lzw]='"lzw"' [lzma]='"lzma"' [solid]='"lzma-solid"')
for m in "${methods[@]}"; do
    if [[ $m == stored ]]; then rule='compress = false'; else rule=''; fi
    if [[ $m == stored || $m == lzw ]]; then table=''; else table="[compression]
method = ${method[$m]}"; fi
    printf '[application]\nname = "bench-%s"\n%s\n[[files]]\nsource = "tree"\n%s\n' \
        "$m" "$table" "$rule" > "$work/setup-$m.toml"
    start=$(date +%s%N)
    (cd "$work" && "$sfxpack" build "setup-$m.toml" --stub "$win/ui/setup.exe" \
        -o "$work/setup-$m.exe" --quiet)
    build[$m]=$(seconds "$start" "$(date +%s%N)")
    size[$m]=$(stat -c %s "$work/setup-$m.exe")
done
contenders=(idle copier stored lzw lzma solid update)
nsis_modes=()
if command -v makensis > /dev/null; then
    nsis_modes=(off zlib lzma solid)
    declare -A compressor=([off]="SetCompress off" [zlib]="SetCompressor zlib"
                           [lzma]="SetCompressor lzma" [solid]="SetCompressor /SOLID lzma")
    for mode in "${nsis_modes[@]}"; do
        cat > "$work/nsis-$mode.nsi" <<NSI
${compressor[$mode]}
OutFile "$work/nsis-$mode.exe"
InstallDir "C:\\nsis-$mode"
RequestExecutionLevel user
Section
SetOutPath "\$INSTDIR"
File /r "$work/tree/*"
SectionEnd
NSI
        start=$(date +%s%N)
        makensis -V1 "$work/nsis-$mode.nsi" > /dev/null
        build[nsis-$mode]=$(seconds "$start" "$(date +%s%N)")
        size[nsis-$mode]=$(stat -c %s "$work/nsis-$mode.exe")
        contenders+=("nsis-$mode")
    done
fi
printf '%-22s %12s %8s   %-22s %12s %8s\n' "sfxpack build" "bytes" "s" "makensis" "bytes" "s"
pairs=("stored off" "lzw zlib" "lzma lzma" "solid solid")
for pair in "${pairs[@]}"; do
    read -r ours theirs <<< "$pair"
    printf '%-22s %12d %8s   ' "$ours" "${size[$ours]}" "${build[$ours]}"
    if [[ -n "${size[nsis-$theirs]:-}" ]]; then
        printf '%-22s %12d %8s\n' "$theirs" "${size[nsis-$theirs]}" "${build[nsis-$theirs]}"
    else
        printf '\n'
    fi
done
mkdir -p "$work/empty"

# Milliseconds of one run of a contender, its folder removed first and the disk synced.
run() {
    local folder="" command=()
    case $1 in
        idle) command=("$win/tests/win32/tree_copier.exe" "$(windows_path "$work/empty")" 'C:\idle') ;;
        copier) folder=copy; command=("$win/tests/win32/tree_copier.exe" "$(windows_path "$work/tree")" 'C:\copy') ;;
        stored|lzw|lzma|solid) folder=$1; command=("$work/setup-$1.exe" /S "/D=C:\\$1") ;;
        # Over the stored install of this round, which it leaves in place.
        update) command=("$work/setup-stored.exe" /S '/D=C:\stored') ;;
        nsis-*) folder=$1; command=("$work/$1.exe" /S "/D=C:\\$1") ;;
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

# The contender's folder, once after its first run, against the tree byte for byte: the
# installer's own files (its log, its list, the uninstaller) aside.
check() {
    local folder=$1
    [[ $1 == update ]] && folder=stored
    [[ $1 == idle ]] && return 0
    [[ $1 == copier ]] && folder=copy
    if ! diff -rq -x setup.log -x setup.lst -x unwise.exe "$work/tree" "$drive_c/$folder" \
        > "$work/diff" 2>&1; then
        echo "install_bench: $1 did not install the tree as it is:" >&2
        head -5 "$work/diff" >&2
        exit 1
    fi
}

declare -A times
for (( round = 0; round < rounds; ++round )); do
    for contender in "${contenders[@]}"; do
        times[$contender]+="$(run "$contender") "
        (( round == 0 )) && check "$contender"
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
for pair in "${pairs[@]}"; do
    read -r ours theirs <<< "$pair"
    [[ -n "${net[nsis-$theirs]:-}" ]] &&
        ratio "$ours over NSIS $theirs" "${net[$ours]}" "${net[nsis-$theirs]}"
done
