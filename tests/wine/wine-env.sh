# Sourced by the Wine scripts: the environment every Wine run of the tests shares.
# Needs SFX_WINE_ROOT, the build's folder for the template prefix and the locale.
: "${SFX_WINE_ROOT:?SFX_WINE_ROOT names the build folder that holds the Wine template}"
# Absolute, since the scripts change folder before starting Wine: a relative LOCPATH would no
# longer lead to the locale, and Wine would then see every non-ASCII file name as missing.
SFX_WINE_ROOT=$(realpath -m "$SFX_WINE_ROOT")
export LOCPATH="$SFX_WINE_ROOT/locale"
# Bash itself cannot switch to the build's own locale and warns; Wine, started later, can.
{ export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8; } 2>/dev/null
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko prompts, no menu files written outside the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
SFX_WINE_TEMPLATE="$SFX_WINE_ROOT/template"
