#!/usr/bin/env bash
# Makes, with the Linux build of the 7-Zip tool outside Wine, the archives that the archive tests
# then read through the archive classes: one file packed without and with a password, with its
# names encrypted, split into three volumes, and a copy damaged in the middle.
set -euo pipefail
dir="$1/archive-7zz-made"
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"
# 250,000 bytes that repeat only every 64 KB, the same on every run.
LC_ALL=C awk 'BEGIN { x = 1; for (i = 0; i < 250000; i++) { x = (x * 75 + 74) % 65537; printf "%c", x % 255 + 1 } }' >data.bak
[ "$(stat -c %s data.bak)" = 250000 ] || { echo "data.bak has the wrong size"; exit 1; }
pack() { 7zz a -y -bd "$@" </dev/null >/dev/null; }
pack plain.7z data.bak
pack -p'Secret-27' password.7z data.bak
pack -p'Secret-27' -mhe=on names.7z data.bak
# Stored, so that 100,000-byte volumes make exactly three.
pack -mx0 -v100000b split.7z data.bak
[ -f split.7z.003 ] && [ ! -f split.7z.004 ] || { echo "expected three volumes"; ls; exit 1; }
cp plain.7z damaged.7z
size=$(stat -c %s damaged.7z)
middle=$((size / 2))
byte=$(od -An -tu1 -j"$middle" -N1 damaged.7z | tr -d ' ')
printf "$(printf '\\%03o' $(((byte + 1) % 256)))" | dd of=damaged.7z bs=1 seek="$middle" conv=notrunc status=none
cmp -s plain.7z damaged.7z && { echo "the copy is not damaged"; exit 1; }
echo "archives made: $(ls | tr '\n' ' ')"
