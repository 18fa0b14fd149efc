#!/usr/bin/env bash
# Checks, with the Linux build of the 7-Zip tool outside Wine, the archives that the archive tests
# wrote: the backup archive (one entry under the bare file name, encrypted, testable with the
# password and refused without it) and a set of three volumes.
set -euo pipefail
arc="$1/archive-check/srv_db_check.bak.7z"
[ -f "$arc" ] || { echo "missing $arc"; exit 1; }
listing=$(7zz l -slt -p"" "$arc" </dev/null)
[ "$(grep -c '^Path = ' <<<"$listing")" = 2 ] || { echo "expected one entry"; echo "$listing"; exit 1; }
grep -qx 'Path = srv_db_check.bak' <<<"$listing" || { echo "entry name"; echo "$listing"; exit 1; }
grep -qx 'Encrypted = +' <<<"$listing" || { echo "entry not encrypted"; exit 1; }
7zz t -p'Secret-42' "$arc" </dev/null >/dev/null || { echo "test with the password failed"; exit 1; }
if 7zz t -p'wrong' "$arc" </dev/null >/dev/null 2>&1; then echo "a wrong password passed"; exit 1; fi
if 7zz t -p'' "$arc" </dev/null >/dev/null 2>&1; then echo "no password passed"; exit 1; fi
# The volume set: three volumes, read by the tool from the first one and unpacked byte for byte.
vol="$1/archive-check/volumes.bak.7z"
[ -f "$vol.003" ] && [ ! -f "$vol.004" ] || { echo "expected three volumes of $vol"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
7zz x -o"$out" "$vol.001" </dev/null >/dev/null || { echo "the tool could not unpack the volumes"; exit 1; }
cmp "$out/data.bak" "$1/archive-check/volumes.bak" || { echo "the volumes unpack to other bytes"; exit 1; }
echo "archives checked: 2 passed, 0 failed"
