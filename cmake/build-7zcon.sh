#!/usr/bin/env bash
# Builds the 7-Zip library's own console program for Windows from the same Debian source package and
# with the same toolchain as 7z.dll, for the packing benchmark's comparison.
# Usage: build-7zcon.sh <deps dir> [i686|x86_64]. Leaves <deps dir>/7zcon.exe; does nothing when it exists.
set -euo pipefail
deps=$1
arch=${2:-i686}
extra=()
[ "$arch" = x86_64 ] && extra=(IS_X64=1)
[ -f "$deps/7zcon.exe" ] && exit 0
mkdir -p "$deps/src"
cd "$deps/src"
ls 7zip_*.orig.tar.* >/dev/null 2>&1 || apt-get source --download-only 7zip
# A source tree of its own: the library's recipe removes and unpacks 7zip-src when it runs.
rm -rf 7zcon-src && mkdir 7zcon-src
tar -xf 7zip_*.orig.tar.* -C 7zcon-src --strip-components=1
cd 7zcon-src/CPP/7zip/Bundles/Alone2
make -f makefile.gcc IS_MINGW=1 DISABLE_RAR=1 "${extra[@]}" \
    CC=$arch-w64-mingw32-gcc CXX=$arch-w64-mingw32-g++ RC=$arch-w64-mingw32-windres \
    -j"$(nproc)" >"$deps/7zcon-build.log" 2>&1
cp _o/7zz.exe "$deps/7zcon.exe.tmp"
mv "$deps/7zcon.exe.tmp" "$deps/7zcon.exe"
