#!/bin/sh
# Installs the Debian packages the builds and tests need, when any is missing:
# both MinGW-w64 compilers with LLVM's linker, zlib for the host and both
# Windows targets, Python for the build's scripts, Wine of both architectures
# (the 32-bit one is installed even where the kernel cannot run it; the
# scripts probe before use) and the font that draws the caption buttons.
# The shipped build compiles parts of the C runtime and zlib from their
# Debian source packages: a deb-src entry is added for every Debian mirror
# and suite apt already uses, and dpkg-dev unpacks them.
set -e
packages="cmake make g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 mingw-w64-tools lld
zlib1g-dev libz-mingw-w64-dev python3 dpkg-dev
wine wine32:i386 wine64 libwine-dev fonts-wine
xvfb x11-apps x11-utils imagemagick fp-utils"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
sources=/etc/apt/sources.list.d/quellmark-deb-src.sources
have_sources=yes
apt-cache showsrc mingw-w64 2>/dev/null | grep -q '^Package:' || have_sources=""
[ -z "$missing" ] && [ -n "$have_sources" ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ -z "$have_sources" ]; then
  echo "adding deb-src entries: $sources"
  apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Identifier: Packages' |
    sort -u | while read -r uri suite component; do
      printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n' "$uri" "$suite" "$component"
      printf 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n\n'
    done | $sudo tee "$sources" >/dev/null
fi
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -qq
if [ -n "$missing" ]; then
  echo "installing:$missing"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
