#!/usr/bin/env bash
# Packs examples/demo into build/demo-setup.exe and walks its installer through the wizard under
# Wine on a virtual display, as a user would; the pages are left as PNG screenshots.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
# The publishers' sfxpack (make release), not the sanitizer build the tests use.
sfxpack="$build/release/tools/sfxpack"
package="$build/demo-setup.exe"
shots="$build/demo-screenshots"

"$sfxpack" build "$top/examples/demo/setup.toml" -o "$package" --stub "$build/win32/ui/setup.exe"
echo
"$sfxpack" info "$package" | sed -n '/^files:/,$p'
echo
"$top/tests/wine/make-template.sh" "$build/win32/wine"
echo "demo: running $package under Wine"
SFX_WINE_ROOT="$build/win32/wine" "$top/tests/e2e/run-scenario.sh" \
    --script "$top/examples/demo/demo.scn" --shots "$shots" \
    --driver "$build/win32/tests/e2e/e2e_driver.exe" --program "$package"
echo
echo "demo: the package was installed into C:\\Program Files\\演示程序; the pages are in $shots:"
ls "$shots"
