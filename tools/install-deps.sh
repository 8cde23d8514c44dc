#!/bin/sh
# Installs the Debian packages the builds and tests need, when any is missing:
# both MinGW-w64 compilers with LLVM's linker, zlib for the host and both
# Windows targets, Python for the build's scripts, Wine of both architectures
# (the 32-bit one is installed even where the kernel cannot run it; the
# scripts probe before use) and the font that draws the caption buttons.
set -e
packages="cmake make g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 mingw-w64-tools lld
zlib1g-dev libz-mingw-w64-dev python3
wine wine32:i386 wine64 libwine-dev fonts-wine
xvfb x11-apps x11-utils imagemagick fp-utils"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing:$missing"
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
