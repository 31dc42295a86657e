#!/usr/bin/env bash
# Runs one Windows program under Wine in a fresh copy of the build's template prefix, with a
# HOME of its own, and ends that prefix's server afterwards. The exit status is the program's.
set -uo pipefail
: "${SFX_WINE_ROOT:?run-in-prefix: SFX_WINE_ROOT must name the build folder of the Wine template}"
. "$(dirname "$0")/wine-env.sh"
if [[ ! -f "$SFX_WINE_TEMPLATE/.complete" ]]; then
    echo "run-in-prefix: no Wine template in $SFX_WINE_TEMPLATE (run make-template.sh)" >&2
    exit 125
fi
scratch=$(mktemp -d)
export HOME="$scratch/home" WINEPREFIX="$scratch/prefix"
mkdir -p "$HOME"
cp -a "$SFX_WINE_TEMPLATE" "$WINEPREFIX"
# A benchmark waits until the copy (some 600 MB) is on the disk, so that it times its program
# and not the copy's writeback.
[[ -n "${SFX_SYNC_PREFIX:-}" ]] && sync
unset DISPLAY
wine "$@"
status=$?
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
rm -rf "$scratch"
exit $status
