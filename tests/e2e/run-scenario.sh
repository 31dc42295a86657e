#!/usr/bin/env bash
# Runs one end-to-end scenario: a fresh copy of the build's template prefix with a HOME of its
# own, a display of its own, the program under test staged in C:\e2e\app, and the driver
# following the scenario script. Screenshots land as PNG files in the scenario's folder.
#
#   run-scenario.sh --script S.scn --shots DIR --driver DRIVER.EXE
#                   [--manifest M.toml --stub SETUP.EXE | --program SETUP.EXE]
#                   [--pack NAME.EXE=M.toml]... [--patch ARG]... [--copy FILE]...
#                   [--overrides WINE_DLL_OVERRIDES] [--stage-dir WINDOWS_FOLDER]
#                   [--temp WINDOWS_FOLDER] [--with BUILT_FILE]...
#
# --manifest packs the package with `$SFXPACK build`; --pack packs another manifest with the
# same stub beside it under another name; --patch hands its arguments to patch-package.py to
# damage the package afterwards; --copy puts a file beside setup.exe; --overrides is added to
# the Wine DLL overrides of this run. --stage-dir stages all of these in another folder of
# drive C (created; names in UTF-8) instead of C:\e2e\app; --temp makes a new folder the
# user's TEMP and TMP; --with puts a file of the build (a control) in the folder "built" beside
# the manifest before it is packed. The exit status is the driver's.
set -uo pipefail
: "${SFX_WINE_ROOT:?run-scenario: SFX_WINE_ROOT must name the build folder of the Wine template}"
here=$(cd "$(dirname "$0")" && pwd)
# Bash itself cannot switch to the build's own locale and says so; Wine, started later, can.
. "$here/../wine/wine-env.sh" 2>/dev/null

script="" shots="" driver="" manifest="" stub="" program="" overrides="" stage_dir="" temp=""
patches=() copies=() packs=() built=()
while [[ $# -gt 0 ]]; do
    case "$1" in
        --script) script=$2 ;;
        --shots) shots=$2 ;;
        --driver) driver=$2 ;;
        --manifest) manifest=$2 ;;
        --stub) stub=$2 ;;
        --program) program=$2 ;;
        --patch) patches+=("$2") ;;
        --copy) copies+=("$2") ;;
        --overrides) overrides=$2 ;;
        --pack) packs+=("$2") ;;
        --stage-dir) stage_dir=$2 ;;
        --temp) temp=$2 ;;
        --with) built+=("$2") ;;
        *) echo "run-scenario: unknown option $1" >&2; exit 2 ;;
    esac
    shift 2
done
if [[ ! -f "$SFX_WINE_TEMPLATE/.complete" ]]; then
    echo "run-scenario: no Wine template in $SFX_WINE_TEMPLATE" >&2
    exit 125
fi

# The Unix path of a Windows path on drive C of the prefix. Existing folders are matched without
# regard to case, as Windows does: C:\Users is Wine's drive_c/users, not a second folder.
unix_path() {
    local path="$WINEPREFIX/drive_c" part match parts
    IFS='\' read -ra parts <<<"${1#[Cc]:\\}"
    for part in "${parts[@]}"; do
        [[ -n "$part" ]] || continue
        match=$(find "$path" -mindepth 1 -maxdepth 1 -iname "$part" -printf '%f\n' 2>/dev/null |
            head -n1)
        path+="/${match:-$part}"
    done
    printf '%s\n' "$path"
}

scratch=$(mktemp -d)
xvfb=""
cleanup() {
    # The prefix's own server first: it still talks to the display.
    WINEPREFIX="$scratch/prefix" wineserver -k 2>/dev/null
    WINEPREFIX="$scratch/prefix" wineserver -w 2>/dev/null
    if [[ -n "$xvfb" ]]; then kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; fi
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

export HOME="$scratch/home" WINEPREFIX="$scratch/prefix"
mkdir -p "$HOME"
cp -a "$SFX_WINE_TEMPLATE" "$WINEPREFIX"
# A benchmark waits until the copy (some 600 MB) is on the disk, so that it times its program
# and not the copy's writeback.
[[ -n "${SFX_SYNC_PREFIX:-}" ]] && sync
stage="$WINEPREFIX/drive_c/e2e"
app="$stage/app"
[[ -n "$stage_dir" ]] && app=$(unix_path "$stage_dir")
mkdir -p "$stage" "$app"
cp "$driver" "$stage/driver.exe"
cp "$script" "$stage/scenario.scn"

if [[ ${#built[@]} -gt 0 ]]; then
    # The manifests' folder with the build's files in it: the sources stay untouched.
    cp -r "$(dirname "$manifest")" "$scratch/packages"
    mkdir -p "$scratch/packages/built"
    cp "${built[@]}" "$scratch/packages/built/"
    manifest="$scratch/packages/$(basename "$manifest")"
fi
if [[ -n "$manifest" ]]; then
    if ! "${SFXPACK:?run-scenario: SFXPACK must name the host sfxpack}" build "$manifest" \
            -o "$app/setup.exe" --stub "$stub" --quiet; then
        echo "run-scenario: sfxpack build failed" >&2
        exit 1
    fi
elif [[ -n "$program" ]]; then
    cp "$program" "$app/setup.exe"
fi
for pack in "${packs[@]}"; do
    if ! "$SFXPACK" build "${pack#*=}" -o "$app/${pack%%=*}" --stub "$stub" --quiet; then
        echo "run-scenario: sfxpack build of ${pack#*=} failed" >&2
        exit 1
    fi
done
for patch in "${patches[@]}"; do
    # shellcheck disable=SC2086  # one --patch carries several words
    python3 "$here/patch-package.py" "$app/setup.exe" $patch || exit 1
done
for file in "${copies[@]}"; do cp "$file" "$app/"; done
[[ -n "$overrides" ]] && export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$overrides"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
    [[ -s "$scratch/display" ]] && break
    sleep 0.1
done
if [[ ! -s "$scratch/display" ]]; then
    echo "run-scenario: Xvfb did not start" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$scratch/display")"

if [[ -n "$temp" ]]; then
    # Wine takes TEMP and TMP from the user's registry, not from the Unix environment, and reg add
    # would pass a name through the console's code page: regedit reads UTF-16 as it is.
    mkdir -p "$(unix_path "$temp")"
    value=${temp//\\/\\\\}
    { printf '\xff\xfe'
      printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Environment]\r\n"TEMP"="%s"\r\n"TMP"="%s"\r\n' \
          "$value" "$value" | iconv -f UTF-8 -t UTF-16LE
    } >"$stage/environment.reg"
    if ! wine regedit /S 'C:\e2e\environment.reg'; then
        echo "run-scenario: regedit could not set TEMP" >&2
        exit 1
    fi
fi

cd "$stage"
timeout 120 wine driver.exe scenario.scn 'C:\e2e\shots'
status=$?

mkdir -p "$shots"
rm -f "$shots"/*.png
for bmp in "$stage"/shots/*.bmp; do
    [[ -f "$bmp" ]] || continue
    convert "$bmp" "$shots/$(basename "${bmp%.bmp}").png"
done
exit $status
