#!/usr/bin/env bash
# Packs examples/demo, with the program and control of the Windows build, into
# build/demo-setup.exe and walks its installer through the wizard under Wine on a virtual
# display, as a user would: then it shows what was installed, the log, the links and the
# registry keys. The pages are left as PNG screenshots.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
# The publishers' sfxpack (make release), not the sanitizer build the tests use.
sfxpack="$build/release/tools/sfxpack"
package="$build/demo-setup.exe"
shots="$build/demo-screenshots"

stage="$build/demo-package"
rm -rf "$stage"
cp -r "$top/examples/demo" "$stage"
cp "$build/win32/examples/demo/program/demo.exe" "$build/win32/examples/demo/program/democtl.ocx" \
    "$stage/program/"
"$sfxpack" build "$stage/setup.toml" -o "$package" --stub "$build/win32/ui/setup.exe"
echo
"$sfxpack" info "$package" | sed -n '/^files:/,$p'
echo
"$top/tests/wine/make-template.sh" "$build/win32/wine"
echo "demo: running $package under Wine"
SFX_WINE_ROOT="$build/win32/wine" "$top/tests/e2e/run-scenario.sh" \
    --script "$top/examples/demo/demo.scn" --shots "$shots" \
    --driver "$build/win32/tests/e2e/e2e_driver.exe" --program "$package"
echo
echo "demo: the pages are in $shots:"
ls "$shots"
