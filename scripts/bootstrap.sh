#!/usr/bin/env bash
# Installs what the builds and tests need from Debian's packages. Quick when all is present.
set -euo pipefail

packages=(
    cmake ninja-build g++ make python3 pkg-config
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    wine wine32:i386 fonts-wine xvfb xauth x11-utils imagemagick
    locales fonts-wqy-microhei
    clang libclang-rt-14-dev
    libtomlplusplus-dev ncompress zlib1g-dev
    osslsigncode openssl
    nsis
    lzma-dev liblzma-dev
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_i386=1
else
    need_i386=0
fi
for p in "${packages[@]}"; do
    # dpkg-query knows "name:arch"; a package is present only when fully installed.
    status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null || true)
    [[ "$status" == ii* ]] || missing+=("$p")
done
if [[ $need_i386 == 0 && ${#missing[@]} == 0 ]]; then
    exit 0
fi

sudo=""
if [[ $(id -u) != 0 ]]; then sudo="sudo"; fi
echo "bootstrap: installing ${missing[*]}"
if [[ $need_i386 == 1 ]]; then $sudo dpkg --add-architecture i386; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
