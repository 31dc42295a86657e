#!/usr/bin/env bash
# sfxpack as `make install` leaves it for a publisher: this build folder installed into a scratch
# prefix, the prefix then moved, and the installed program, found through a link in a folder of
# PATH, packs a manifest behind the stub installed beside it without being told where it is.
#     install_test.sh CMAKE BUILD_FOLDER STUB VERSION
set -euo pipefail
cmake=$1 build=$2 stub=$3 version=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/sfxpack-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
    echo "install_test: $*" >&2
    exit 1
}

"$cmake" --install "$build" --prefix "$work/prefix" >/dev/null
for file in bin/sfxpack share/sfx-installer/setup.exe share/doc/sfx-installer/README.md; do
    [[ -f $work/prefix/$file ]] || fail "nothing installed at $file"
done
cmp -s "$stub" "$work/prefix/share/sfx-installer/setup.exe" ||
    fail "the installed stub differs from $stub"
[[ -x $work/prefix/share/sfx-installer/setup.exe ]] || fail "the installed stub is not executable"

# The build's own stub is the last default and has the same bytes: mark the installed one, so
# that only a package built behind it passes.
mv "$work/prefix" "$work/moved"
printf 'MZ installed stub' >"$work/moved/share/sfx-installer/setup.exe"
mkdir "$work/path"
ln -s "$work/moved/bin/sfxpack" "$work/path/sfxpack"
export PATH="$work/path:$PATH"
unset SFXPACK_STUB

mkdir "$work/app"
cd "$work/app"
echo "hello" >readme.txt
printf '[application]\nname = "app"\n[[files]]\nsource = "readme.txt"\n' >setup.toml
sfxpack build setup.toml -o setup.exe --quiet || fail "build without --stub failed"
[[ $(head -c 17 setup.exe) == "MZ installed stub" ]] || fail "setup.exe is not behind the installed stub"
sfxpack verify setup.exe --quiet || fail "verify refused the package"
# SFXPACK_STUB still comes before the installed stub.
printf 'MZ other stub' >other.exe
SFXPACK_STUB=other.exe sfxpack build setup.toml -o other-setup.exe --quiet
[[ $(head -c 13 other-setup.exe) == "MZ other stub" ]] || fail "SFXPACK_STUB was not taken first"

[[ $(sfxpack --version) == "sfxpack $version" ]] || fail "--version: $(sfxpack --version)"
sfxpack --help | grep -q '^usage: sfxpack COMMAND' || fail "--help shows no usage"
echo "install_test: the installed sfxpack packs behind its own stub"
