#!/usr/bin/env bash
# Builds the 7-Zip library (7z.dll) for 32-bit Windows from Debian's 7zip source package.
# Usage: build-7zdll.sh <deps dir>. Leaves <deps dir>/7z.dll; does nothing when it exists and was
# built by this recipe (the stamp names the recipe).
# The library is entered from window procedures and timers, where Windows promises a 4-byte aligned
# stack only; its cipher code keeps 16-byte values on the stack, so every function that needs the
# alignment makes it itself (-mstackrealign).
set -euo pipefail
deps=$1
recipe="7z.dll stack-realigned"
[ -f "$deps/7z.dll" ] && [ "$(cat "$deps/7z.dll.stamp" 2>/dev/null)" = "$recipe" ] && exit 0
mkdir -p "$deps/src"
cd "$deps/src"
ls 7zip_*.orig.tar.* >/dev/null 2>&1 || apt-get source --download-only 7zip
rm -rf 7zip-src && mkdir 7zip-src
tar -xf 7zip_*.orig.tar.* -C 7zip-src --strip-components=1
cd 7zip-src/CPP/7zip/Bundles/Format7zF
make -f makefile.gcc IS_MINGW=1 DISABLE_RAR=1 \
    CC="i686-w64-mingw32-gcc -mstackrealign" CXX="i686-w64-mingw32-g++ -mstackrealign" RC=i686-w64-mingw32-windres \
    -j"$(nproc)" >"$deps/7zdll-build.log" 2>&1
cp _o/7z.dll "$deps/7z.dll.tmp"
mv "$deps/7z.dll.tmp" "$deps/7z.dll"
echo "$recipe" >"$deps/7z.dll.stamp"
