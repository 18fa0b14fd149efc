#!/usr/bin/env bash
# Builds the 7-Zip library (7z.dll) for Windows from Debian's 7zip source package.
# Usage: build-7zdll.sh <deps dir> [i686|x86_64]. Leaves <deps dir>/7z.dll; does nothing when it exists
# and was built by this recipe (the stamp names the recipe).
# The 32-bit library is entered from window procedures and timers, where Windows promises a 4-byte
# aligned stack only; its cipher code keeps 16-byte values on the stack, so every function that needs
# the alignment makes it itself (-mstackrealign). The 64-bit calling convention keeps 16 bytes.
set -euo pipefail
deps=$1
arch=${2:-i686}
case $arch in
    i686) recipe="7z.dll stack-realigned"; cc="i686-w64-mingw32-gcc -mstackrealign"
          cxx="i686-w64-mingw32-g++ -mstackrealign"; extra=() ;;
    x86_64) recipe="7z.dll x86_64"; cc=x86_64-w64-mingw32-gcc; cxx=x86_64-w64-mingw32-g++; extra=(IS_X64=1) ;;
    *) echo "build-7zdll.sh: unknown architecture $arch" >&2; exit 2 ;;
esac
[ -f "$deps/7z.dll" ] && [ "$(cat "$deps/7z.dll.stamp" 2>/dev/null)" = "$recipe" ] && exit 0
mkdir -p "$deps/src"
cd "$deps/src"
ls 7zip_*.orig.tar.* >/dev/null 2>&1 || apt-get source --download-only 7zip
rm -rf 7zip-src && mkdir 7zip-src
tar -xf 7zip_*.orig.tar.* -C 7zip-src --strip-components=1
cd 7zip-src/CPP/7zip/Bundles/Format7zF
make -f makefile.gcc IS_MINGW=1 DISABLE_RAR=1 "${extra[@]}" \
    CC="$cc" CXX="$cxx" RC=$arch-w64-mingw32-windres \
    -j"$(nproc)" >"$deps/7zdll-build.log" 2>&1
cp _o/7z.dll "$deps/7z.dll.tmp"
mv "$deps/7z.dll.tmp" "$deps/7z.dll"
echo "$recipe" >"$deps/7z.dll.stamp"
