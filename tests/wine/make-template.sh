#!/usr/bin/env bash
# Makes the build's Wine template prefix once; every test copies it (about 1 s) instead of
# making a prefix of its own (10 to 15 s).
set -euo pipefail
export SFX_WINE_ROOT="${1:?usage: make-template.sh WINE_ROOT}"
. "$(dirname "$0")/wine-env.sh"
[[ -f "$SFX_WINE_TEMPLATE/.complete" ]] && exit 0

mkdir -p "$SFX_WINE_ROOT"
# A prefix made without a Chinese UTF-8 locale stores dialog fonts that show boxes for Chinese,
# and Chinese file names fail; the machine may have no such locale, so the build makes its own.
if [[ ! -d "$LOCPATH/zh_CN.UTF-8" ]]; then
    mkdir -p "$LOCPATH"
    localedef -i zh_CN -f UTF-8 "$LOCPATH/zh_CN.UTF-8" 2>/dev/null || [[ -d "$LOCPATH/zh_CN.UTF-8" ]]
fi

work=$(mktemp -d "$SFX_WINE_ROOT/template.XXXXXX")
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME="$work/home" WINEPREFIX="$work/prefix"
mkdir -p "$HOME"
unset DISPLAY
wine wineboot -i >/dev/null 2>&1
# Caption buttons are drawn with the symbol font Marlett; Debian's Wine does not look for it in
# its own fonts folder (package fonts-wine), so without a copy in the prefix's Fonts folder they
# show as the letters "0 1 r".
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
# Without a window manager Wine waits 2 s each time it hides a window; unmanaged windows do not.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
# The prefix records its server's socket folder: copies must each start their own server.
rm -f "$WINEPREFIX/wineserver"
# Wine links the user's shell folders to the HOME that made the prefix; make them real folders.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [[ -L "$link" ]]; then rm "$link" && mkdir "$link"; fi
done
touch "$WINEPREFIX/.complete"
rm -rf "$SFX_WINE_TEMPLATE"
mv "$WINEPREFIX" "$SFX_WINE_TEMPLATE"
