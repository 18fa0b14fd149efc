#!/usr/bin/env bash
# Builds a static libjpeg (IJG 6b interface) for Windows from Debian's libjpeg-turbo source package;
# the toolchain file picks 32 or 64 bits.
# Usage: build-libjpeg.sh <deps dir> <toolchain file>. Installs into <deps dir>/libjpeg; does nothing when done.
set -euo pipefail
deps=$1
toolchain=$2
[ -f "$deps/libjpeg/lib/libjpeg.a" ] && exit 0
mkdir -p "$deps/src"
cd "$deps/src"
ls libjpeg-turbo_*.orig.tar.* >/dev/null 2>&1 || apt-get source --download-only libjpeg-turbo
rm -rf jpeg-src jpeg-build && mkdir jpeg-src
tar -xf libjpeg-turbo_*.orig.tar.* -C jpeg-src --strip-components=1
cmake -S jpeg-src -B jpeg-build -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$deps/libjpeg" -DWITH_SIMD=OFF -DENABLE_SHARED=OFF \
    -DWITH_TURBOJPEG=OFF -DCMAKE_BUILD_TYPE=Release >"$deps/libjpeg-build.log" 2>&1
cmake --build jpeg-build --target jpeg-static -j"$(nproc)" >>"$deps/libjpeg-build.log" 2>&1
mkdir -p "$deps/libjpeg.tmp/lib" "$deps/libjpeg.tmp/include"
cp jpeg-build/libjpeg.a "$deps/libjpeg.tmp/lib/"
cp jpeg-src/jpeglib.h jpeg-src/jmorecfg.h jpeg-src/jerror.h jpeg-build/jconfig.h "$deps/libjpeg.tmp/include/"
rm -rf "$deps/libjpeg"
mv "$deps/libjpeg.tmp" "$deps/libjpeg"
